#include <maya/MFnDependencyNode.h>

#include <maya/MNodeMessage.h>
#include <maya/MPlugArray.h>

#include "commands/scene/MayaAsciiReader.h"
#include "dg/FnSet.h"
#include "dg/Graph.h"
#include "dg/Messages.h"
#include "dg/Node.h"
#include "dg/Registry.h"
#include "dg/Scene.h"

using host::Attribute;
using host::Node;
using host::Slot;

HOST_FN_SET_BASICS(MFnDependencyNode, MFn::kDependencyNode)

namespace {

Node* nodeOrStatus(const MObject& object, MStatus* status)
{
    Node* n = host::nodeOf(object);
    host::setStatus(status, n ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return n;
}

// Attributes in the order Maya lists them: each compound before its children.
void flatten(Attribute* a, std::vector<Attribute*>& out)
{
    out.push_back(a);
    for (Attribute* c : a->children)
        flatten(c, out);
}

std::vector<Attribute*> allAttributes(const Node* n)
{
    std::vector<Attribute*> out;
    for (Attribute* a : n->attrs)
        flatten(a, out);
    return out;
}

void markDynamic(Attribute* a)
{
    a->set(host::kDynamic, true);
    for (Attribute* c : a->children)
        markDynamic(c);
}

bool nameUsedOn(const Node* n, const Attribute* candidate)
{
    for (Attribute* a : allAttributes(n))
        if (a->matches(candidate->name) || a->matches(candidate->shortName))
            return true;
    return false;
}

void collectConnected(Slot* slot, MPlugArray& out)
{
    if (slot->source || !slot->dests.empty())
        out.append(host::plugOf(slot));
    for (auto& c : slot->children)
        collectConnected(c.get(), out);
    for (auto& e : slot->elements)
        collectConnected(e.get(), out);
}

void announceAttribute(Node* n, Attribute* a, MNodeMessage::AttributeMessage message)
{
    if (!host::hasAttributeChangedCallbacks(n))
        return;
    MObject node = n->object();
    MPlug plug(node, host::ObjectAccess::make(a));
    MPlug none;
    host::fireAttributeChanged(node, message, plug, none);
}

} // namespace

MObject MFnDependencyNode::create(const MTypeId& typeId, MStatus* ReturnStatus)
{
    return create(typeId, MString(), ReturnStatus);
}

MObject MFnDependencyNode::create(const MTypeId& typeId, const MString& name, MStatus* ReturnStatus)
{
    MObject node;
    MStatus status = host::instantiateNode(typeId, node);
    if (status)
        status = host::addNodeToScene(node, name);
    host::setStatus(ReturnStatus, status);
    mObject = status ? node : MObject();
    return mObject;
}

MObject MFnDependencyNode::create(const MString& type, MStatus* ReturnStatus)
{
    return create(type, MString(), ReturnStatus);
}

MObject MFnDependencyNode::create(const MString& type, const MString& name, MStatus* ReturnStatus)
{
    mObject = host::createNode(type, name, ReturnStatus);
    return mObject;
}

MString MFnDependencyNode::name(MStatus* ReturnStatus) const
{
    Node* n = nodeOrStatus(mObject, ReturnStatus);
    return n ? n->name : MString();
}

MString MFnDependencyNode::absoluteName(MStatus* ReturnStatus) const
{
    Node* n = nodeOrStatus(mObject, ReturnStatus);
    return n ? ":" + n->name : MString();
}

MString MFnDependencyNode::setName(const MString& name, bool, MStatus* ReturnStatus)
{
    Node* n = nodeOrStatus(mObject, ReturnStatus);
    if (!n)
        return MString();
    if (!host::isValidNodeName(name)) {
        host::setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return n->name;
    }
    if (n->locked) {
        host::setStatus(ReturnStatus, MStatus::kFailure);
        return n->name;
    }
    return host::renameNode(n, name);
}

MTypeId MFnDependencyNode::typeId(MStatus* ReturnStatus) const
{
    Node* n = nodeOrStatus(mObject, ReturnStatus);
    return n ? n->type->info.id : MTypeId();
}

MString MFnDependencyNode::typeName(MStatus* ReturnStatus) const
{
    Node* n = nodeOrStatus(mObject, ReturnStatus);
    return n ? n->type->info.name : MString();
}

MPlug MFnDependencyNode::findPlug(const MObject& attr, bool, MStatus* ReturnStatus) const
{
    Node* n = nodeOrStatus(mObject, ReturnStatus);
    Attribute* a = host::attributeOf(attr);
    if (!n || !a || !n->hasAttributeInTree(a)) {
        host::setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MPlug();
    }
    return MPlug(mObject, attr);
}

MPlug MFnDependencyNode::findPlug(const MString& attrName, bool, MStatus* ReturnStatus) const
{
    Node* n = nodeOrStatus(mObject, ReturnStatus);
    Attribute* a = n ? n->findAttribute(attrName) : nullptr;
    if (!a) {
        host::setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MPlug();
    }
    return MPlug(mObject, host::ObjectAccess::make(a));
}

MPlug MFnDependencyNode::findPlug(const MObject& attr, MStatus* ReturnStatus) const
{
    return findPlug(attr, false, ReturnStatus);
}

MPlug MFnDependencyNode::findPlug(const MString& attrName, MStatus* ReturnStatus) const
{
    return findPlug(attrName, false, ReturnStatus);
}

unsigned int MFnDependencyNode::attributeCount(MStatus* ReturnStatus) const
{
    Node* n = nodeOrStatus(mObject, ReturnStatus);
    return n ? static_cast<unsigned int>(allAttributes(n).size()) : 0;
}

MObject MFnDependencyNode::attribute(unsigned int index, MStatus* ReturnStatus) const
{
    Node* n = nodeOrStatus(mObject, ReturnStatus);
    if (!n)
        return MObject();
    std::vector<Attribute*> all = allAttributes(n);
    if (index >= all.size()) {
        host::setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MObject();
    }
    return host::ObjectAccess::make(all[index]);
}

MObject MFnDependencyNode::attribute(const MString& attrName, MStatus* ReturnStatus) const
{
    Node* n = nodeOrStatus(mObject, ReturnStatus);
    Attribute* a = n ? n->findAttribute(attrName) : nullptr;
    if (n && !a)
        host::setStatus(ReturnStatus, MStatus::kInvalidParameter);
    return a ? host::ObjectAccess::make(a) : MObject();
}

MFnDependencyNode::MAttrClass MFnDependencyNode::attributeClass(const MObject& attr, MStatus* ReturnStatus) const
{
    Node* n = nodeOrStatus(mObject, ReturnStatus);
    Attribute* a = host::attributeOf(attr);
    if (!n || !a || !n->hasAttributeInTree(a))
        return kInvalidAttr;
    return a->root()->is(host::kDynamic) ? kLocalDynamicAttr : kNormalAttr;
}

bool MFnDependencyNode::hasAttribute(const MString& name, MStatus* ReturnStatus) const
{
    Node* n = nodeOrStatus(mObject, ReturnStatus);
    return n && n->findAttribute(name);
}

MStatus MFnDependencyNode::addAttribute(const MObject& attr)
{
    Node* n = host::nodeOf(mObject);
    Attribute* a = host::attributeOf(attr);
    if (!n || !a || a->parent)
        return MStatus::kInvalidParameter;
    if (n->attributeIndex(a) >= 0 || nameUsedOn(n, a))
        return MStatus::kFailure;
    for (Attribute* c : a->children)
        if (nameUsedOn(n, c))
            return MStatus::kFailure;
    markDynamic(a);
    a->added = true;
    for (std::vector<Attribute*> stack(a->children.begin(), a->children.end()); !stack.empty();) {
        Attribute* c = stack.back();
        stack.pop_back();
        c->added = true;
        stack.insert(stack.end(), c->children.begin(), c->children.end());
    }
    if (a->indexHint < 0)
        a->indexHint = static_cast<int>(n->attrs.size());
    a->ref();
    n->attrs.push_back(a);
    auto slot = std::make_unique<Slot>(n, a, nullptr, -1);
    slot->initValue();
    n->slots.push_back(std::move(slot));
    announceAttribute(n, a, MNodeMessage::kAttributeAdded);
    return MStatus::kSuccess;
}

MStatus MFnDependencyNode::removeAttribute(const MObject& attr)
{
    Node* n = host::nodeOf(mObject);
    Attribute* a = host::attributeOf(attr);
    if (!n || !a)
        return MStatus::kInvalidParameter;
    int index = n->attributeIndex(a);
    if (index < 0)
        return MStatus::kInvalidParameter;
    if (static_cast<size_t>(index) < n->staticCount)
        return MStatus::kFailure;  // only dynamic attributes can go
    host::disconnectAll(n->slots[index].get(), nullptr);
    announceAttribute(n, a, MNodeMessage::kAttributeRemoved);
    n->slots.erase(n->slots.begin() + index);
    n->attrs.erase(n->attrs.begin() + index);
    a->unref();
    return MStatus::kSuccess;
}

MStatus MFnDependencyNode::getConnections(MPlugArray& array) const
{
    Node* n = host::nodeOf(mObject);
    if (!n)
        return MStatus::kInvalidParameter;
    array.clear();
    for (auto& slot : n->slots)
        collectConnected(slot.get(), array);
    return MStatus::kSuccess;
}

MPxNode* MFnDependencyNode::userNode(MStatus* ReturnStatus) const
{
    Node* n = nodeOrStatus(mObject, ReturnStatus);
    // Built-in types are not plug-in nodes, even though the host implements them as MPxNodes.
    if (!n || n->type->info.pluginName.length() == 0)
        return nullptr;
    return n->user;
}

bool MFnDependencyNode::isFromReferencedFile(MStatus* ReturnStatus) const
{
    return host::MayaAsciiReader::isReferenced(nodeOrStatus(mObject, ReturnStatus));
}

bool MFnDependencyNode::isLocked(MStatus* ReturnStatus) const
{
    Node* n = nodeOrStatus(mObject, ReturnStatus);
    return n && n->locked;
}

MStatus MFnDependencyNode::setLocked(bool locked)
{
    Node* n = host::nodeOf(mObject);
    if (!n)
        return MStatus::kInvalidParameter;
    n->locked = locked;
    return MStatus::kSuccess;
}

bool MFnDependencyNode::isDefaultNode(MStatus* ReturnStatus) const
{
    nodeOrStatus(mObject, ReturnStatus);
    return false;
}

bool MFnDependencyNode::canBeWritten(MStatus* ReturnStatus) const
{
    Node* n = nodeOrStatus(mObject, ReturnStatus);
    return n && !n->doNotWrite;
}

MStatus MFnDependencyNode::setDoNotWrite(bool flag)
{
    Node* n = host::nodeOf(mObject);
    if (!n)
        return MStatus::kInvalidParameter;
    n->doNotWrite = flag;
    return MStatus::kSuccess;
}

MStatus MFnDependencyNode::setIcon(const MString& filename)
{
    Node* n = host::nodeOf(mObject);
    if (!n)
        return MStatus::kInvalidParameter;
    n->icon = filename;
    return MStatus::kSuccess;
}

MString MFnDependencyNode::icon(MStatus* ReturnStatus) const
{
    Node* n = nodeOrStatus(mObject, ReturnStatus);
    return n ? n->icon : MString();
}

MString MFnDependencyNode::pluginName(MStatus* ReturnStatus) const
{
    Node* n = nodeOrStatus(mObject, ReturnStatus);
    return n ? n->type->info.pluginName : MString();
}

MString MFnDependencyNode::classification(const MString& nodeTypeName)
{
    const host::NodeTypeInfo* info = host::findNodeType(nodeTypeName);
    return info ? info->classification : MString();
}
