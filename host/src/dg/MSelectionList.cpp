#include <maya/MSelectionList.h>

#include <maya/MDagPath.h>
#include <maya/MFnDagNode.h>
#include <maya/MPlug.h>
#include <maya/MStringArray.h>

#include "dg/Component.h"
#include "dg/FnSet.h"
#include "dg/Node.h"
#include "dg/PlugPath.h"
#include "dg/Scene.h"
#include "dg/SelectionItem.h"

#include <algorithm>
#include <iterator>
#include <string>

using host::SelectionItem;

namespace host {
namespace {
DagNameResolver gDagResolver = nullptr;
ComponentNameResolver gComponentResolver = nullptr;
}

void setDagNameResolver(DagNameResolver resolver)
{
    gDagResolver = resolver;
}

void setComponentNameResolver(ComponentNameResolver resolver)
{
    gComponentResolver = resolver;
}

MString componentOwnerName(const MDagPath& shape, bool longName)
{
    if (longName)
        return shape.fullPathName();
    // A shape that is its transform's only visible shape is named by the transform, as Maya names it.
    MDagPath transform(shape);
    if (transform.length() > 1 && transform.pop() && !MFnDagNode(shape).isIntermediateObject()) {
        unsigned shapes = 0;
        for (unsigned i = 0, n = transform.childCount(); i < n; ++i) {
            const MObject child = transform.child(i);
            if (child.hasFn(MFn::kShape) && !MFnDagNode(child).isIntermediateObject())
                ++shapes;
        }
        if (shapes == 1)
            return transform.partialPathName();
    }
    return shape.partialPathName();
}

std::vector<MString> componentStrings(const MDagPath& shape, const MObject& component, bool longName, bool flat)
{
    std::vector<MString> strings;
    const Component* c = componentOf(component);
    const char* kind = c ? componentKindName(c->apiType()) : nullptr;
    if (!kind)
        return strings;
    const MString owner = componentOwnerName(shape, longName) + "." + kind + "[";
    const std::vector<int> indices = c->indices();
    if (flat) {
        for (int i : indices)
            strings.push_back(owner + std::to_string(i).c_str() + "]");
        return strings;
    }
    for (const std::string& range : indexRanges(indices))
        strings.push_back(owner + range.c_str() + "]");
    return strings;
}

} // namespace host

namespace {

bool sameItem(const SelectionItem& a, const SelectionItem& b)
{
    if (a.kind != b.kind)
        return false;
    switch (a.kind) {
    case SelectionItem::kNode: return a.node == b.node;
    case SelectionItem::kDagPath: return a.path == b.path && a.component == b.component;
    default: return a.plug == b.plug;
    }
}

bool isComponentItem(const SelectionItem& item)
{
    return item.kind == SelectionItem::kDagPath && !item.component.isNull();
}

// The item holding components of the same kind on the same shape: a list keeps one per shape and kind.
std::vector<SelectionItem>::iterator componentItemLike(std::vector<SelectionItem>& items, const SelectionItem& item)
{
    return std::find_if(items.begin(), items.end(), [&](const SelectionItem& e) {
        return isComponentItem(e) && e.path == item.path && e.component.apiType() == item.component.apiType();
    });
}

std::vector<int> indicesOf(const MObject& component)
{
    const host::Component* c = host::componentOf(component);
    return c ? c->indices() : std::vector<int>();
}

// Merges a component item into the list: union, symmetric difference or difference with
// the components of the same kind already there. An item left without indices goes.
void mergeComponents(std::vector<SelectionItem>& items, const SelectionItem& item, MSelectionList::MergeStrategy how)
{
    auto existing = componentItemLike(items, item);
    const std::vector<int> incoming = indicesOf(item.component);
    if (existing == items.end()) {
        if (how != MSelectionList::kRemoveFromList && !incoming.empty()) {
            SelectionItem copy = item;
            copy.component = host::makeComponent(item.component.apiType(), incoming);
            items.push_back(copy);
        }
        return;
    }
    // Ranges added in order (a drag box's rows) extend a component only this list holds in place.
    host::Component* held = host::componentOf(existing->component);
    if (how == MSelectionList::kMergeNormal && held && !held->complete && held->refCount() == 1 &&
        !incoming.empty() && (held->elements.empty() || held->elements.back() < incoming.front())) {
        held->elements.insert(held->elements.end(), incoming.begin(), incoming.end());
        return;
    }
    const std::vector<int> current = indicesOf(existing->component);
    std::vector<int> result;
    result.reserve(current.size() + incoming.size());
    switch (how) {
    case MSelectionList::kMergeNormal:
        std::set_union(current.begin(), current.end(), incoming.begin(), incoming.end(), std::back_inserter(result));
        break;
    case MSelectionList::kXORWithList:
        std::set_symmetric_difference(current.begin(), current.end(), incoming.begin(), incoming.end(),
                                      std::back_inserter(result));
        break;
    case MSelectionList::kRemoveFromList:
        std::set_difference(current.begin(), current.end(), incoming.begin(), incoming.end(),
                            std::back_inserter(result));
        break;
    }
    if (result.empty())
        items.erase(existing);
    else
        existing->component = host::makeComponent(item.component.apiType(), std::move(result));
}

MStatus addItem(std::vector<SelectionItem>& items, const SelectionItem& item, bool merge)
{
    if (merge)
        for (const SelectionItem& existing : items)
            if (sameItem(existing, item))
                return MStatus::kSuccess;
    items.push_back(item);
    return MStatus::kSuccess;
}

SelectionItem nodeItem(const MObject& node)
{
    SelectionItem item;
    host::Node* n = host::nodeOf(node);
    // DAG nodes are selected through a path to them.
    if (n && n->isDag && MDagPath::getAPathTo(node, item.path)) {
        item.kind = SelectionItem::kDagPath;
    } else {
        item.kind = SelectionItem::kNode;
    }
    item.node = node;
    return item;
}

// Node named by the part before the first '.', for plug names.
MStatus nodeForPlugName(const MString& nodeName, MObject& node)
{
    std::string text = nodeName.asChar();
    if (text.find('|') != std::string::npos) {
        MSelectionList paths;
        if (!host::gDagResolver || host::gDagResolver(nodeName, paths) != MStatus::kSuccess || paths.length() != 1)
            return MStatus::kInvalidParameter;
        return paths.getDependNode(0, node);
    }
    host::Node* n = host::findNodeByName(nodeName);
    if (!n)
        return MStatus::kInvalidParameter;
    node = n->object();
    return MStatus::kSuccess;
}

} // namespace

MSelectionList::MSelectionList() = default;
MSelectionList::MSelectionList(const MSelectionList& other) = default;
MSelectionList& MSelectionList::operator=(const MSelectionList& other) = default;
MSelectionList::~MSelectionList() = default;

MStatus MSelectionList::clear()
{
    mItems.clear();
    return MStatus::kSuccess;
}

bool MSelectionList::isEmpty(MStatus* ReturnStatus) const
{
    host::setStatus(ReturnStatus, MStatus::kSuccess);
    return mItems.empty();
}

unsigned int MSelectionList::length(MStatus* ReturnStatus) const
{
    host::setStatus(ReturnStatus, MStatus::kSuccess);
    return static_cast<unsigned int>(mItems.size());
}

MStatus MSelectionList::add(const MObject& object, const bool mergeWithExisting)
{
    host::Node* node = host::nodeOf(object);
    if (!node)
        return MStatus::kInvalidParameter;
    // A DAG node goes in as its first path, as Maya does.
    MDagPath path;
    if (node->isDag && MDagPath::getAPathTo(object, path))
        return add(path, MObject::kNullObj, mergeWithExisting);
    return addItem(mItems, nodeItem(object), mergeWithExisting);
}

MStatus MSelectionList::add(const MDagPath& object, const MObject& component, const bool mergeWithExisting)
{
    if (!object.isValid())
        return MStatus::kInvalidParameter;
    SelectionItem item;
    item.kind = SelectionItem::kDagPath;
    item.path = object;
    item.node = object.node();
    if (component.isNull())
        return addItem(mItems, item, mergeWithExisting);
    if (!host::componentOf(component))
        return MStatus::kInvalidParameter;
    // Components of one shape are grouped into one item, as Maya groups them.
    item.component = component;
    mergeComponents(mItems, item, kMergeNormal);
    return MStatus::kSuccess;
}

MStatus MSelectionList::add(const MString& matchString, const bool)
{
    std::string text = matchString.asChar();
    // ":name" is the name in the root namespace, where names are kept (":time1" in scene files).
    if (text.size() > 1 && text[0] == ':' && text[1] != ':')
        return add(MString(text.c_str() + 1), false);
    if (text.empty())
        return MStatus::kInvalidParameter;
    size_t dot = text.find('.');
    if (dot != std::string::npos && host::gComponentResolver) {
        MDagPath shape;
        MObject component;
        const MStatus status = host::gComponentResolver(matchString, shape, component);
        if (status != MStatus::kNotFound)
            return status ? add(shape, component) : status;
    }
    if (dot != std::string::npos) {
        MObject node;
        MStatus status = nodeForPlugName(MString(text.substr(0, dot).c_str()), node);
        if (!status)
            return status;
        MPlug plug;
        status = host::parsePlugPath(host::nodeOf(node), MString(text.substr(dot + 1).c_str()), plug);
        if (!status)
            return status;
        return add(plug);
    }
    if (host::gDagResolver) {
        MStatus status = host::gDagResolver(matchString, *this);
        if (status != MStatus::kNotFound)
            return status;
    }
    std::vector<host::Node*> found;
    host::findNodesMatching(matchString, found);
    if (found.empty())
        return MStatus::kInvalidParameter;
    for (host::Node* n : found)
        // With a DAG resolver installed, DAG names are its business (paths, ambiguity).
        if (!host::gDagResolver || !n->isDag)
            addItem(mItems, nodeItem(n->object()), true);
    return MStatus::kSuccess;
}

MStatus MSelectionList::add(const MPlug& plug, const bool mergeWithExisting)
{
    if (plug.isNull())
        return MStatus::kInvalidParameter;
    SelectionItem item;
    item.kind = SelectionItem::kPlug;
    item.node = plug.node();
    item.plug = plug;
    return addItem(mItems, item, mergeWithExisting);
}

MStatus MSelectionList::merge(const MSelectionList& other, const MergeStrategy strategy)
{
    for (const SelectionItem& item : other.mItems) {
        if (isComponentItem(item)) {
            mergeComponents(mItems, item, strategy);
            continue;
        }
        auto it = std::find_if(mItems.begin(), mItems.end(), [&](const SelectionItem& e) { return sameItem(e, item); });
        switch (strategy) {
        case kMergeNormal:
            if (it == mItems.end())
                mItems.push_back(item);
            break;
        case kXORWithList:
            if (it == mItems.end())
                mItems.push_back(item);
            else
                mItems.erase(it);
            break;
        case kRemoveFromList:
            if (it != mItems.end())
                mItems.erase(it);
            break;
        }
    }
    return MStatus::kSuccess;
}

MStatus MSelectionList::remove(unsigned int index)
{
    if (index >= mItems.size())
        return MStatus::kInvalidParameter;
    mItems.erase(mItems.begin() + index);
    return MStatus::kSuccess;
}

MStatus MSelectionList::replace(unsigned int index, const MObject& item)
{
    if (index >= mItems.size() || !host::nodeOf(item))
        return MStatus::kInvalidParameter;
    mItems[index] = nodeItem(item);
    return MStatus::kSuccess;
}

MStatus MSelectionList::getDependNode(unsigned int index, MObject& depNode) const
{
    if (index >= mItems.size())
        return MStatus::kInvalidParameter;
    depNode = mItems[index].node;
    return MStatus::kSuccess;
}

MStatus MSelectionList::getDagPath(unsigned int index, MDagPath& dagPath, MObject& component) const
{
    if (index >= mItems.size())
        return MStatus::kInvalidParameter;
    const SelectionItem& item = mItems[index];
    if (item.kind != SelectionItem::kDagPath)
        return MStatus::kFailure;
    dagPath = item.path;
    // A copy: editing it through a function set leaves the list as it is.
    if (&component != &MObject::kNullObj)
        component = item.component.isNull() ? MObject()
                                             : host::makeComponent(item.component.apiType(), indicesOf(item.component));
    return MStatus::kSuccess;
}

MStatus MSelectionList::getPlug(unsigned int index, MPlug& plug) const
{
    if (index >= mItems.size())
        return MStatus::kInvalidParameter;
    if (mItems[index].kind != SelectionItem::kPlug)
        return MStatus::kFailure;
    plug = mItems[index].plug;
    return MStatus::kSuccess;
}

namespace {
MString itemString(const SelectionItem& item)
{
    switch (item.kind) {
    case SelectionItem::kDagPath: return item.path.partialPathName();
    case SelectionItem::kPlug: return item.plug.name();
    default: {
        host::Node* n = host::nodeOf(item.node);
        return n ? n->name : MString();
    }
    }
}

// An item's names: one per range of its components, or the object's.
void appendItemStrings(const SelectionItem& item, MStringArray& array)
{
    if (!isComponentItem(item)) {
        array.append(itemString(item));
        return;
    }
    for (const MString& text : host::componentStrings(item.path, item.component, false, false))
        array.append(text);
}
} // namespace

MStatus MSelectionList::getSelectionStrings(MStringArray& array) const
{
    array.clear();
    for (const SelectionItem& item : mItems)
        appendItemStrings(item, array);
    return MStatus::kSuccess;
}

MStatus MSelectionList::getSelectionStrings(unsigned int index, MStringArray& array) const
{
    array.clear();
    if (index >= mItems.size())
        return MStatus::kInvalidParameter;
    appendItemStrings(mItems[index], array);
    return MStatus::kSuccess;
}

bool MSelectionList::hasItem(const MObject& item, MStatus* ReturnStatus) const
{
    host::setStatus(ReturnStatus, MStatus::kSuccess);
    for (const SelectionItem& e : mItems)
        if (e.kind != SelectionItem::kPlug && e.node == item && e.component.isNull())
            return true;
    return false;
}

bool MSelectionList::hasItem(const MDagPath& item, const MObject& component, MStatus* ReturnStatus) const
{
    host::setStatus(ReturnStatus, MStatus::kSuccess);
    if (component.isNull()) {
        for (const SelectionItem& e : mItems)
            if (e.kind == SelectionItem::kDagPath && e.path == item && e.component.isNull())
                return true;
        return false;
    }
    // Components are on the list when every index is.
    for (const SelectionItem& e : mItems)
        if (isComponentItem(e) && e.path == item && e.component.apiType() == component.apiType()) {
            const std::vector<int> have = indicesOf(e.component), want = indicesOf(component);
            return std::includes(have.begin(), have.end(), want.begin(), want.end());
        }
    return false;
}

bool MSelectionList::hasItem(const MPlug& plug, MStatus* ReturnStatus) const
{
    host::setStatus(ReturnStatus, MStatus::kSuccess);
    for (const SelectionItem& e : mItems)
        if (e.kind == SelectionItem::kPlug && e.plug == plug)
            return true;
    return false;
}
