#include "dag/ObjectSetNode.h"

#include "dag/Dag.h"

#include <maya/MFnMessageAttribute.h>
#include <maya/MFnNumericAttribute.h>

namespace host {

const MTypeId ObjectSetNode::id(0x4f424a53);  // 'OBJS'
const char* const ObjectSetNode::typeName = "objectSet";

MObject ObjectSetNode::dagSetMembers;
MObject ObjectSetNode::dnSetMembers;
MObject ObjectSetNode::groupNodes;
MObject ObjectSetNode::usedBy;
MObject ObjectSetNode::verticesOnlySet;

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
    groupNodes = fn.create("groupNodes", "gn", &status);
    DAG_CHECK(status);
    DAG_CHECK(fn.setArray(true));
    DAG_CHECK(fn.setIndexMatters(false));
    usedBy = fn.create("usedBy", "ub", &status);
    DAG_CHECK(status);
    DAG_CHECK(fn.setArray(true));
    MFnNumericAttribute numeric;
    verticesOnlySet = numeric.create("verticesOnlySet", "vo", MFnNumericData::kBoolean, 0, &status);
    DAG_CHECK(status);
    for (MObject* attribute : {&dagSetMembers, &dnSetMembers, &groupNodes, &usedBy, &verticesOnlySet})
        DAG_CHECK(addAttribute(*attribute));
    return MS::kSuccess;
}

} // namespace host
