#include "plugin/PlugQueries.h"

#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>

#include <algorithm>

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

std::vector<MObject> messageSources(const MObject& node, const MObject& attribute, int64_t count)
{
    std::vector<MObject> sources(static_cast<size_t>(std::max<int64_t>(count, 0)));
    MStatus status;
    const MPlug array(node, attribute);
    const unsigned elements = array.numElements(&status);
    for (unsigned i = 0; status && i < elements; ++i) {
        const MPlug element = array.elementByPhysicalIndex(i, &status);
        const unsigned logical = status ? element.logicalIndex(&status) : 0;
        if (status && logical < sources.size()) {
            sources[logical] = sourceNodeOf(element);
        }
        status = MS::kSuccess; // an element that cannot be read is skipped, not the rest
    }
    return sources;
}
