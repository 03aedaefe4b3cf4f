#include "anim/TimeNode.h"

#include "anim/AnimStatus.h"
#include "anim/SceneTime.h"
#include "dg/Graph.h"

#include <maya/MFnUnitAttribute.h>
#include <maya/MTime.h>

namespace host {

const MTypeId TimeNode::id(0x4e54494d);  // 'NTIM'
const char* const TimeNode::typeName = "time";

MObject TimeNode::outTime;
MObject TimeNode::unwarpedTime;

void* TimeNode::creator()
{
    return new TimeNode;
}

MStatus TimeNode::initialize()
{
    MStatus status;
    MFnUnitAttribute unit;
    outTime = unit.create("outTime", "o", MFnUnitAttribute::kTime, 0.0, &status);
    ANIM_CHECK(status);
    unwarpedTime = unit.create("unwarpedTime", "unw", MFnUnitAttribute::kTime, 0.0, &status);
    ANIM_CHECK(status);
    ANIM_CHECK(addAttribute(outTime));
    ANIM_CHECK(addAttribute(unwarpedTime));
    return MS::kSuccess;
}

MStatus TimeNode::setDependentsDirty(const MPlug& plug, MPlugArray&)
{
    // A value written to outTime from outside moves the scene's time, once the wave that
    // carries the write is done (moving the time starts a wave of its own).
    if (plug == outTime && !plug.isDestination()) {
        const MTime time = plug.asMTime();
        afterDirtyWave([time] { followTimeNode(time); });
    }
    return MS::kSuccess;
}

} // namespace host
