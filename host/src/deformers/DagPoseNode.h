#pragma once
// The built-in "dagPose": a saved pose of DAG nodes. members[i] is connected from node i's
// message, parents[i] from its parent's member (or "world"); worldMatrix[i] and xformMatrix[i]
// hold its world and local transformations when the pose was saved, global[i] whether it is
// restored in world space; "bindPose" marks the pose a skinCluster was bound in.

#include <maya/MPxNode.h>
#include <maya/MTypeId.h>

namespace host {

class DagPoseNode : public MPxNode
{
public:
    static const MTypeId id;
    static const char* const typeName;
    static void* creator();
    static MStatus initialize();

    static MObject members, parents, world, worldMatrix, xformMatrix, global, bindPose;
};

} // namespace host
