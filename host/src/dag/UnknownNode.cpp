#include "dag/UnknownNode.h"

#include "dag/Dag.h"
#include "dag/DagAttributes.h"
#include "dag/TransformNode.h"
#include "dg/Registry.h"

#include <maya/MPxNode.h>

#include <cstring>

namespace host {

const char* const UnknownNode::typeName = "unknown";
const char* const UnknownNode::dagTypeName = "unknownDag";
const char* const UnknownNode::transformTypeName = "unknownTransform";

namespace {

class UnknownDependNode : public MPxNode
{
public:
    static void* creator() { return new UnknownDependNode; }
    static MStatus initialize() { return MS::kSuccess; }
};

class UnknownDagNode : public MPxNode
{
public:
    static void* creator() { return new UnknownDagNode; }
    static MStatus initialize() { return MS::kSuccess; }
    MPxNode::Type type() const override { return MPxNode::kSurfaceShape; }
};

// The transform's own attributes, shared with "transform", so that a stand-in's
// translate, rotate and scale place what lies below it.
MStatus initializeUnknownTransform()
{
    return TransformNode::addTransformAttributes();
}

// Maya's own types that are transforms: they keep their children in place.
bool isTransformLike(const MString& type)
{
    static const char* const kTransforms[] = {"ikEffector", "fosterParent", "lookAt", "place3dTexture",
                                              "hikIKEffector", "hikFKJoint", "dagContainer", "assembly"};
    for (const char* name : kTransforms)
        if (type == name)
            return true;
    const char* text = type.asChar();
    const size_t length = std::strlen(text);
    // Constraints (parentConstraint, orientConstraint ...) and handles (ikHandle ...) are transforms.
    for (const char* suffix : {"Constraint", "Handle"}) {
        const size_t n = std::strlen(suffix);
        if (length > n && std::strcmp(text + length - n, suffix) == 0)
            return true;
    }
    return false;
}

} // namespace

void UnknownNode::registerTypes()
{
    NodeTypeInfo unknown;
    unknown.name = typeName;
    unknown.id = MTypeId(0x554e4b4e);  // 'UNKN'
    unknown.creator = &UnknownDependNode::creator;
    unknown.initialize = &UnknownDependNode::initialize;
    unknown.apiType = MFn::kUnknown;
    CHECK_MSTATUS(registerNodeType(unknown));

    NodeTypeInfo dag;
    dag.name = dagTypeName;
    dag.id = MTypeId(0x554e4b44);  // 'UNKD'
    dag.creator = &UnknownDagNode::creator;
    dag.initialize = &UnknownDagNode::initialize;
    dag.type = MPxNode::kSurfaceShape;
    // A DAG node, not a shape: a parentless one gets no transform made for it.
    dag.apiType = MFn::kDagNode;
    CHECK_MSTATUS(registerNodeType(dag));

    NodeTypeInfo transform;
    transform.name = transformTypeName;
    transform.id = MTypeId(0x554e4b54);  // 'UNKT'
    transform.creator = &TransformNode::creator;
    transform.initialize = &initializeUnknownTransform;
    transform.type = MPxNode::kTransformNode;
    transform.apiType = MFn::kTransform;
    CHECK_MSTATUS(registerNodeType(transform));
}

const NodeType* UnknownNode::standInFor(const MString& realType, bool hasParent)
{
    if (isTransformLike(realType))
        return findRegisteredType(transformTypeName);
    return findRegisteredType(hasParent ? dagTypeName : typeName);
}

bool UnknownNode::isStandIn(const NodeType* type)
{
    return type && (type->info.name == typeName || type->info.name == dagTypeName ||
                    type->info.name == transformTypeName);
}

// Called with the other built-in types by the registry.
void registerUnknownNodeTypes()
{
    UnknownNode::registerTypes();
}

} // namespace host
