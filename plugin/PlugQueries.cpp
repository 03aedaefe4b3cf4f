#include "plugin/PlugQueries.h"

#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>

MObject sourceNodeOf(const MPlug& destination)
{
    MStatus status;
    MPlugArray sources;
    if (destination.isNull() || !destination.connectedTo(sources, true, false, &status) || !status ||
        sources.length() == 0) {
        return MObject::kNullObj;
    }
    return sources[0].node();
}

bool plugIsOn(const MObject& node, const MObject& attribute)
{
    MStatus status;
    const bool on = MPlug(node, attribute).asBool(&status);
    return status && on;
}
