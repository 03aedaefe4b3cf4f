#include "deformers/DagPoseNode.h"

#include "deformers/AttributeBuilders.h"

namespace host {

const MTypeId DagPoseNode::id(0x44504f53);  // 'DPOS'
const char* const DagPoseNode::typeName = "dagPose";
MObject DagPoseNode::members, DagPoseNode::parents, DagPoseNode::world, DagPoseNode::worldMatrix,
    DagPoseNode::xformMatrix, DagPoseNode::global, DagPoseNode::bindPose;

void* DagPoseNode::creator()
{
    return new DagPoseNode;
}

MStatus DagPoseNode::initialize()
{
    MStatus s;
    worldMatrix = matrixAttribute("worldMatrix", "wm", kMulti, s);
    xformMatrix = matrixAttribute("xformMatrix", "xm", kMulti, s);
    members = messageAttribute("members", "m", kMulti, s);
    parents = messageAttribute("parents", "p", kMulti, s);
    world = messageAttribute("world", "w", kSingle, s);
    global = numericAttribute("global", "g", MFnNumericData::kBoolean, 0, kMulti, s);
    bindPose = numericAttribute("bindPose", "bp", MFnNumericData::kBoolean, 0, kSingle, s);
    DEFORMER_CHECK(s);
    return addAttributes({&worldMatrix, &xformMatrix, &members, &parents, &world, &global, &bindPose});
}

} // namespace host
