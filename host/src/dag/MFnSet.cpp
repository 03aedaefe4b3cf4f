#include <maya/MFnSet.h>
#include <maya/MSelectionList.h>

#include "dag/Dag.h"
#include "dag/DagAttributes.h"
#include "dag/ObjectSetNode.h"
#include "dg/FnSet.h"
#include "dg/Graph.h"
#include "dg/Node.h"
#include "dg/Scene.h"

#include <maya/MIntArray.h>
#include <maya/MPxNode.h>

using namespace host;

namespace {

// One connected member slot of a set.
struct Member
{
    MPlug element;  // dagSetMembers[i] or dnSetMembers[i]
    MPlug source;   // instObjGroups[instance] or message of the member
};

void membersOf(const MObject& set, const MObject& attribute, std::vector<Member>& out)
{
    MPlug array(set, attribute);
    unsigned count = array.numElements();
    for (unsigned i = 0; i < count; ++i) {
        MPlug element = array.elementByPhysicalIndex(i);
        MPlug source = element.source();
        if (!source.isNull())
            out.push_back({element, source});
    }
}

// The DAG path a dagSetMembers source stands for.
bool memberPath(const MPlug& source, MDagPath& path)
{
    Node* node = dagNodeOf(source.node());
    return node && source.isElement() && pathOfInstance(node, source.logicalIndex(), path);
}

unsigned nextFreeIndex(const MObject& set, const MObject& attribute)
{
    MPlug array(set, attribute);
    MIntArray indices;
    array.getExistingArrayAttributeIndices(indices);
    int next = 0;
    for (unsigned i = 0; i < indices.length(); ++i)
        if (indices[i] >= next)
            next = indices[i] + 1;
    return static_cast<unsigned>(next);
}

MStatus connectMember(const MObject& set, const MPlug& source, const MObject& attribute)
{
    MStatus status;
    MPlug destination = MPlug(set, attribute).elementByLogicalIndex(nextFreeIndex(set, attribute), &status);
    DAG_CHECK(status);
    return connect(source, destination);
}

} // namespace

MFnSet::MFnSet() = default;

MFnSet::MFnSet(MObject& object, MStatus* ReturnStatus)
{
    init(object, ReturnStatus);
}

MFnSet::MFnSet(const MObject& object, MStatus* ReturnStatus)
{
    init(object, ReturnStatus);
}

MFnSet::~MFnSet() = default;

MFn::Type MFnSet::type() const
{
    return MFn::kSet;
}

MObject MFnSet::create(const MSelectionList& members, Restriction restriction, MStatus* ReturnStatus)
{
    MStatus status;
    if (restriction != kNone) {
        setStatus(ReturnStatus, MS::kNotImplemented);
        return MObject::kNullObj;
    }
    MObject set = host::createNode(ObjectSetNode::typeName, MString(), &status);
    if (status)
        status = setObject(set);
    if (status)
        status = addMembers(members);
    setStatus(ReturnStatus, status);
    return status ? set : MObject::kNullObj;
}

MStatus MFnSet::getMembers(MSelectionList& members, bool flatten) const
{
    if (mObject.isNull())
        return MS::kInvalidParameter;
    std::vector<Member> found;
    membersOf(mObject, ObjectSetNode::dagSetMembers, found);
    for (const Member& member : found) {
        MDagPath path;
        if (memberPath(member.source, path))
            DAG_CHECK(members.add(path, MObject::kNullObj, true));
    }
    found.clear();
    membersOf(mObject, ObjectSetNode::dnSetMembers, found);
    for (const Member& member : found) {
        MObject node = member.source.node();
        if (flatten && node.hasFn(MFn::kSet) && node != mObject) {
            MFnSet nested(node);
            DAG_CHECK(nested.getMembers(members, true));
            continue;
        }
        DAG_CHECK(members.add(node, true));
    }
    return MS::kSuccess;
}

bool MFnSet::isMember(const MDagPath& object, const MObject& component, MStatus* ReturnStatus) const
{
    if (mObject.isNull() || !object.isValid()) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return false;
    }
    setStatus(ReturnStatus, MS::kSuccess);
    std::vector<Member> found;
    membersOf(mObject, ObjectSetNode::dagSetMembers, found);
    for (const Member& member : found) {
        MDagPath path;
        if (memberPath(member.source, path) && path == object)
            return true;
    }
    return false;
}

bool MFnSet::isMember(const MObject& object, MStatus* ReturnStatus) const
{
    if (mObject.isNull() || object.isNull()) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return false;
    }
    setStatus(ReturnStatus, MS::kSuccess);
    std::vector<Member> found;
    membersOf(mObject, ObjectSetNode::dagSetMembers, found);
    membersOf(mObject, ObjectSetNode::dnSetMembers, found);
    for (const Member& member : found)
        if (member.source.node() == object)
            return true;
    return false;
}

bool MFnSet::isMember(const MPlug& plug, MStatus* ReturnStatus) const
{
    if (mObject.isNull() || plug.isNull()) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return false;
    }
    setStatus(ReturnStatus, MS::kSuccess);
    std::vector<Member> found;
    membersOf(mObject, ObjectSetNode::dnSetMembers, found);
    for (const Member& member : found)
        if (member.source == plug)
            return true;
    return false;
}

MStatus MFnSet::addMember(const MDagPath& object, const MObject& component)
{
    if (mObject.isNull() || !object.isValid() || object.length() == 0)
        return MS::kInvalidParameter;
    if (!component.isNull())
        return MS::kNotImplemented;
    if (isMember(object))
        return MS::kSuccess;
    MStatus status;
    MObject node = object.node(&status);
    DAG_CHECK(status);
    unsigned instance = object.instanceNumber(&status);
    DAG_CHECK(status);
    MPlug groups = MPlug(node, DagAttributes::instObjGroups).elementByLogicalIndex(instance, &status);
    DAG_CHECK(status);
    return connectMember(mObject, groups, ObjectSetNode::dagSetMembers);
}

MStatus MFnSet::addMember(const MObject& obj)
{
    if (mObject.isNull() || obj.isNull() || obj == mObject)
        return MS::kInvalidParameter;
    if (dagNodeOf(obj)) {
        MDagPath path;
        DAG_CHECK(MDagPath::getAPathTo(obj, path));
        return addMember(path);
    }
    if (!nodeOf(obj))
        return MS::kInvalidParameter;
    if (isMember(obj))
        return MS::kSuccess;
    return connectMember(mObject, MPlug(obj, MPxNode::message), ObjectSetNode::dnSetMembers);
}

MStatus MFnSet::addMember(const MPlug& plug)
{
    if (mObject.isNull() || plug.isNull())
        return MS::kInvalidParameter;
    if (isMember(plug))
        return MS::kSuccess;
    return connectMember(mObject, plug, ObjectSetNode::dnSetMembers);
}

MStatus MFnSet::addMembers(const MSelectionList& list)
{
    for (unsigned i = 0; i < list.length(); ++i) {
        MDagPath path;
        MObject component;
        if (list.getDagPath(i, path, component)) {
            DAG_CHECK(addMember(path, component));
            continue;
        }
        MPlug plug;
        if (list.getPlug(i, plug)) {
            DAG_CHECK(addMember(plug));
            continue;
        }
        MObject node;
        DAG_CHECK(list.getDependNode(i, node));
        DAG_CHECK(addMember(node));
    }
    return MS::kSuccess;
}

MStatus MFnSet::removeMember(const MDagPath& object, const MObject& component)
{
    if (mObject.isNull() || !object.isValid())
        return MS::kInvalidParameter;
    std::vector<Member> found;
    membersOf(mObject, ObjectSetNode::dagSetMembers, found);
    for (const Member& member : found) {
        MDagPath path;
        if (memberPath(member.source, path) && path == object)
            return disconnect(member.source, member.element);
    }
    return MS::kInvalidParameter;  // not a member
}

MStatus MFnSet::removeMember(const MObject& obj)
{
    if (mObject.isNull() || obj.isNull())
        return MS::kInvalidParameter;
    std::vector<Member> found;
    membersOf(mObject, ObjectSetNode::dagSetMembers, found);
    membersOf(mObject, ObjectSetNode::dnSetMembers, found);
    bool removed = false;
    for (const Member& member : found) {
        if (member.source.node() == obj) {
            DAG_CHECK(disconnect(member.source, member.element));
            removed = true;
        }
    }
    return removed ? MS::kSuccess : MS::kInvalidParameter;
}

MStatus MFnSet::removeMember(const MPlug& plug)
{
    if (mObject.isNull() || plug.isNull())
        return MS::kInvalidParameter;
    std::vector<Member> found;
    membersOf(mObject, ObjectSetNode::dnSetMembers, found);
    for (const Member& member : found)
        if (member.source == plug)
            return disconnect(member.source, member.element);
    return MS::kInvalidParameter;
}

MStatus MFnSet::removeMembers(const MSelectionList& list)
{
    for (unsigned i = 0; i < list.length(); ++i) {
        MDagPath path;
        MObject component;
        if (list.getDagPath(i, path, component)) {
            DAG_CHECK(removeMember(path, component));
            continue;
        }
        MObject node;
        DAG_CHECK(list.getDependNode(i, node));
        DAG_CHECK(removeMember(node));
    }
    return MS::kSuccess;
}

MStatus MFnSet::clear()
{
    if (mObject.isNull())
        return MS::kInvalidParameter;
    std::vector<Member> found;
    membersOf(mObject, ObjectSetNode::dagSetMembers, found);
    membersOf(mObject, ObjectSetNode::dnSetMembers, found);
    for (const Member& member : found)
        DAG_CHECK(disconnect(member.source, member.element));
    return MS::kSuccess;
}

MFnSet::Restriction MFnSet::restriction(MStatus* ReturnStatus) const
{
    setStatus(ReturnStatus, mObject.isNull() ? MS::kInvalidParameter : MS::kSuccess);
    return kNone;
}
