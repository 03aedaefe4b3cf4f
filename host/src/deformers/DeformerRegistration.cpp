// The built-in deformation node types: skinCluster, blendShape, tweak, the group nodes of the older
// deformer wiring and the dagPose a skinCluster is bound in.

#include "deformers/AttributeBuilders.h"
#include "deformers/BlendShapeNode.h"
#include "deformers/DagPoseNode.h"
#include "deformers/GroupNodes.h"
#include "deformers/SkinClusterNode.h"
#include "deformers/TweakNode.h"
#include "dg/Registry.h"

namespace host {

namespace {

MStatus registerType(const char* name, const MTypeId& id, NodeCreatorFunction creator,
                     NodeInitializeFunction initialize, MPxNode::Type type, MFn::Type apiType)
{
    NodeTypeInfo info;
    info.name = name;
    info.id = id;
    info.creator = creator;
    info.initialize = initialize;
    info.type = type;
    info.apiType = apiType;
    return registerNodeType(info);
}

} // namespace

MStatus registerDeformerNodeTypes()
{
    DEFORMER_CHECK(registerType(SkinClusterNode::typeName, SkinClusterNode::id, &SkinClusterNode::creator,
                                &SkinClusterNode::initialize, MPxNode::kGeometryFilter, MFn::kSkinClusterFilter));
    DEFORMER_CHECK(registerType(BlendShapeNode::typeName, BlendShapeNode::id, &BlendShapeNode::creator,
                                &BlendShapeNode::initialize, MPxNode::kGeometryFilter, MFn::kBlend));
    DEFORMER_CHECK(registerType(TweakNode::typeName, TweakNode::id, &TweakNode::creator, &TweakNode::initialize,
                                MPxNode::kGeometryFilter, MFn::kGeometryFilt));
    DEFORMER_CHECK(registerType(GroupIdNode::typeName, GroupIdNode::id, &GroupIdNode::creator,
                                &GroupIdNode::initialize, MPxNode::kDependNode, MFn::kDependencyNode));
    DEFORMER_CHECK(registerType(GroupPartsNode::typeName, GroupPartsNode::id, &GroupPartsNode::creator,
                                &GroupPartsNode::initialize, MPxNode::kDependNode, MFn::kDependencyNode));
    return registerType(DagPoseNode::typeName, DagPoseNode::id, &DagPoseNode::creator, &DagPoseNode::initialize,
                        MPxNode::kDependNode, MFn::kDependencyNode);
}

} // namespace host
