#include "dag/DrawOverrides.h"

#include "dag/DagAttributes.h"

#include <maya/MPlug.h>

namespace host {

PathDrawOverride drawOverrideOf(const MDagPath& path)
{
    PathDrawOverride result;
    if (!path.isValid())
        return result;
    bool decided = false;
    for (MDagPath p(path); p.length() > 0; p.pop()) {
        MStatus status;
        const MObject node = p.node(&status);
        if (!status)
            break;
        if (!MPlug(node, DagAttributes::overrideEnabled).asBool(&status) || !status)
            continue;
        if (!MPlug(node, DagAttributes::overrideVisibility).asBool())
            result.visible = false;
        if (!decided) {
            decided = true;
            result.enabled = true;
            result.displayType = MPlug(node, DagAttributes::overrideDisplayType).asInt();
        }
    }
    return result;
}

} // namespace host
