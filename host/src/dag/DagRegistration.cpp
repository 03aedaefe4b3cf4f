#include "dag/Dag.h"

#include "dag/DagAttributes.h"
#include "dag/DisplayLayerNode.h"
#include "dag/JointNode.h"
#include "dag/ObjectSetNode.h"
#include "dag/TransformNode.h"
#include "dg/Registry.h"
#include "dg/Scene.h"
#include "dg/SelectionItem.h"

#include <maya/MDagPathArray.h>
#include <maya/MSelectionList.h>

namespace host {

namespace {

// Selection-list names: DAG paths for "|a|b", "a|b" and short names; a name
// that stands for several paths is refused rather than guessed.
MStatus resolveDagName(const MString& pattern, MSelectionList& list)
{
    MDagPathArray paths;
    findDagPaths(pattern, paths);
    if (paths.length() == 0)
        return MS::kNotFound;
    bool wildcard = false;
    for (const char* p = pattern.asChar(); *p; ++p)
        wildcard = wildcard || *p == '*' || *p == '?';
    if (!wildcard && paths.length() > 1)
        return MS::kInvalidParameter;
    for (unsigned i = 0; i < paths.length(); ++i) {
        MStatus status = list.add(paths[i], MObject::kNullObj, true);
        if (!status)
            return status;
    }
    return MS::kSuccess;
}

} // namespace

MStatus registerDagNodeTypes()
{
    DagAttributes::registerSteps();

    NodeTypeInfo transform;
    transform.name = TransformNode::typeName;
    transform.id = TransformNode::id;
    transform.creator = &TransformNode::creator;
    transform.initialize = &TransformNode::initialize;
    transform.type = MPxNode::kTransformNode;
    transform.apiType = MFn::kTransform;
    DAG_CHECK(registerNodeType(transform));

    NodeTypeInfo joint;
    joint.name = JointNode::typeName;
    joint.id = JointNode::id;
    joint.creator = &JointNode::creator;
    joint.initialize = &JointNode::initialize;
    joint.type = MPxNode::kTransformNode;
    joint.apiType = MFn::kJoint;
    DAG_CHECK(registerNodeType(joint));

    NodeTypeInfo set;
    set.name = ObjectSetNode::typeName;
    set.id = ObjectSetNode::id;
    set.creator = &ObjectSetNode::creator;
    set.initialize = &ObjectSetNode::initialize;
    set.type = MPxNode::kObjectSet;
    set.apiType = MFn::kSet;
    DAG_CHECK(registerNodeType(set));

    DAG_CHECK(registerDisplayNodeTypes());

    setDagNameResolver(&resolveDagName);
    setNodeRemovedHook(&dagNodeRemoved);
    setNodeRestoredHook(&dagNodeRestored);
    return MS::kSuccess;
}

} // namespace host
