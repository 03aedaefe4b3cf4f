#include "dag/ObjectSetNode.h"

#include "dag/Dag.h"

#include <maya/MFnMessageAttribute.h>

namespace host {

const MTypeId ObjectSetNode::id(0x4f424a53);  // 'OBJS'
const char* const ObjectSetNode::typeName = "objectSet";

MObject ObjectSetNode::dagSetMembers;
MObject ObjectSetNode::dnSetMembers;

void* ObjectSetNode::creator()
{
    return new ObjectSetNode;
}

MPxNode::Type ObjectSetNode::type() const
{
    return MPxNode::kObjectSet;
}

MStatus ObjectSetNode::initialize()
{
    MStatus status;
    MFnMessageAttribute fn;
    dagSetMembers = fn.create("dagSetMembers", "dsm", &status);
    DAG_CHECK(status);
    DAG_CHECK(fn.setArray(true));
    DAG_CHECK(fn.setIndexMatters(false));
    dnSetMembers = fn.create("dnSetMembers", "dnsm", &status);
    DAG_CHECK(status);
    DAG_CHECK(fn.setArray(true));
    DAG_CHECK(fn.setIndexMatters(false));
    DAG_CHECK(addAttribute(dagSetMembers));
    DAG_CHECK(addAttribute(dnSetMembers));
    return MS::kSuccess;
}

} // namespace host
