#pragma once
// The built-in "objectSet" node: members are the nodes connected to its
// dagSetMembers (DAG instances, through their instObjGroups element) and
// dnSetMembers (other nodes, through their message attribute) arrays. A deformer
// set also has the deformer on "usedBy" and its groupId on "groupNodes".

#include <maya/MPxNode.h>
#include <maya/MTypeId.h>

namespace host {

class ObjectSetNode : public MPxNode
{
public:
    static const MTypeId id;
    static const char* const typeName;

    static void* creator();
    static MStatus initialize();
    MPxNode::Type type() const override;

    static MObject dagSetMembers;
    static MObject dnSetMembers;
    static MObject groupNodes;
    static MObject usedBy;
    static MObject verticesOnlySet;
};

} // namespace host
