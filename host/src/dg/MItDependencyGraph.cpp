#include <maya/MItDependencyGraph.h>

#include "dg/Node.h"
#include "dg/Registry.h"

#include <algorithm>

namespace {

using host::Slot;

// The connected counterpart of `slot` in the walk's direction.
void addNeighbours(Slot* slot, MItDependencyGraph::Direction direction, std::vector<std::pair<Slot*, Slot*>>& out)
{
    if (direction == MItDependencyGraph::kUpstream) {
        if (slot->source)
            out.push_back({slot->source, slot});
    } else {
        for (Slot* d : slot->dests)
            out.push_back({d, slot});
    }
}

// Every connection of a slot tree.
void collectConnections(Slot* slot, MItDependencyGraph::Direction direction,
                        std::vector<std::pair<Slot*, Slot*>>& out)
{
    addNeighbours(slot, direction, out);
    for (auto& c : slot->children)
        collectConnections(c.get(), direction, out);
    for (auto& e : slot->elements)
        collectConnections(e.get(), direction, out);
}

// Connections of the slots of `attr` anywhere in a slot tree.
void collectAttributeConnections(Slot* slot, const host::Attribute* attr, MItDependencyGraph::Direction direction,
                                 std::vector<std::pair<Slot*, Slot*>>& out)
{
    if (slot->attr == attr && !slot->isArray()) {
        collectConnections(slot, direction, out);
        return;
    }
    if (slot->attr == attr)
        addNeighbours(slot, direction, out);
    for (auto& c : slot->children)
        collectAttributeConnections(c.get(), attr, direction, out);
    for (auto& e : slot->elements)
        collectAttributeConnections(e.get(), attr, direction, out);
}

// Whether `a` is `b` or lies below it.
bool within(const host::Attribute* a, const host::Attribute* b)
{
    for (; a; a = a->parent)
        if (a == b)
            return true;
    return false;
}

// Attributes of the node related to `attr` through attributeAffects: those it
// affects (downstream) or those affecting it (upstream).
std::vector<const host::Attribute*> relatedAttributes(const host::Node* node, const host::Attribute* attr,
                                                      MItDependencyGraph::Direction direction)
{
    std::vector<const host::Attribute*> related;
    for (const auto& entry : node->type->affects) {
        for (const host::Attribute* target : entry.second) {
            bool hit = direction == MItDependencyGraph::kDownstream ? within(attr, entry.first) || within(entry.first, attr)
                                                                    : within(attr, target) || within(target, attr);
            const host::Attribute* other = direction == MItDependencyGraph::kDownstream ? target : entry.first;
            if (hit && std::find(related.begin(), related.end(), other) == related.end())
                related.push_back(other);
        }
    }
    return related;
}

} // namespace

MItDependencyGraph::MItDependencyGraph(MObject& rootNode, MFn::Type filter, Direction direction, Traversal traversal,
                                       Level level, MStatus* ReturnStatus)
    : fRootNode(rootNode), fFilter(filter), fInitialFilter(filter), fDirection(direction), fTraversal(traversal),
      fLevel(level)
{
    if (!host::nodeOf(rootNode)) {
        fRootNode = MObject();
        if (ReturnStatus)
            *ReturnStatus = MStatus::kInvalidParameter;
        return;
    }
    start();
    if (ReturnStatus)
        *ReturnStatus = MStatus::kSuccess;
}

MItDependencyGraph::MItDependencyGraph(MPlug& rootPlug, MFn::Type filter, Direction direction, Traversal traversal,
                                       Level level, MStatus* ReturnStatus)
    : fRootPlug(rootPlug), fRootIsPlug(true), fFilter(filter), fInitialFilter(filter), fDirection(direction),
      fTraversal(traversal), fLevel(level)
{
    if (rootPlug.isNull() || !host::resolve(rootPlug, false)) {
        fRootPlug = MPlug();
        if (ReturnStatus)
            *ReturnStatus = MStatus::kInvalidParameter;
        return;
    }
    fRootNode = rootPlug.node();
    start();
    if (ReturnStatus)
        *ReturnStatus = MStatus::kSuccess;
}

MItDependencyGraph::~MItDependencyGraph() = default;

void MItDependencyGraph::start()
{
    fPending.clear();
    fHead = 0;
    fVisited.clear();
    fDone = true;
    fPruned = false;
    if (fRootNode.isNull())
        return;
    Visit root{fRootNode, fRootPlug, MPlug()};
    markVisited(root);
    // The root is never pruned away: the walk starts from it whatever it is.
    if (accepts(root.node)) {
        fCurrent = root;
        fDone = false;
        return;
    }
    expand(root);
    advance();
}

bool MItDependencyGraph::accepts(const MObject& node) const
{
    return fFilter == MFn::kInvalid || node.hasFn(fFilter);
}

bool MItDependencyGraph::markVisited(const Visit& visit)
{
    const void* key = host::nodeOf(visit.node);
    if (fLevel == kPlugLevel && !visit.plug.isNull())
        key = host::resolve(visit.plug, false);
    return fVisited.insert(key).second;
}

void MItDependencyGraph::expand(const Visit& visit)
{
    host::Node* node = host::nodeOf(visit.node);
    if (!node || !node->inScene)
        return;
    std::vector<std::pair<Slot*, Slot*>> next;  // (reached slot, slot it was reached from)
    Slot* from = visit.plug.isNull() ? nullptr : host::resolve(visit.plug, false);
    if (fLevel == kPlugLevel && from) {
        // Through the plug's own connections, and across the node through
        // the attributes it affects or is affected by.
        collectConnections(from, fDirection, next);
        for (const host::Attribute* related : relatedAttributes(node, from->attr, fDirection))
            if (Slot* top = node->slotOf(related->root()))
                collectAttributeConnections(top, related, fDirection, next);
    } else if (from && visit.previous.isNull()) {
        // A root plug leads on through its own connections only.
        collectConnections(from, fDirection, next);
    } else {
        for (auto& slot : node->slots)
            if (slot)
                collectConnections(slot.get(), fDirection, next);
    }
    // Depth first pops from the back: push in reverse so the first
    // connection is walked first.
    std::vector<Visit> visits;
    visits.reserve(next.size());
    for (const auto& n : next) {
        if (!n.first->node->inScene)
            continue;
        visits.push_back({n.first->node->object(), host::plugOf(n.first), host::plugOf(n.second)});
    }
    if (fTraversal == kDepthFirst)
        fPending.insert(fPending.end(), visits.rbegin(), visits.rend());
    else
        fPending.insert(fPending.end(), visits.begin(), visits.end());
}

void MItDependencyGraph::advance()
{
    while (true) {
        bool empty = fTraversal == kDepthFirst ? fPending.empty() : fHead >= fPending.size();
        if (empty) {
            fDone = true;
            fPending.clear();
            fHead = 0;
            return;
        }
        Visit visit;
        if (fTraversal == kDepthFirst) {
            visit = fPending.back();
            fPending.pop_back();
        } else {
            visit = fPending[fHead++];
        }
        if (!markVisited(visit))
            continue;
        if (accepts(visit.node)) {
            fCurrent = visit;
            fDone = false;
            fPruned = false;
            return;
        }
        if (!fPruneOnFilter)
            expand(visit);
    }
}

bool MItDependencyGraph::isDone(MStatus* ReturnStatus)
{
    if (ReturnStatus)
        *ReturnStatus = MStatus::kSuccess;
    return fDone;
}

MStatus MItDependencyGraph::next()
{
    if (fDone)
        return MStatus::kFailure;
    if (!fPruned)
        expand(fCurrent);
    advance();
    return MStatus::kSuccess;
}

MStatus MItDependencyGraph::prune()
{
    if (fDone)
        return MStatus::kFailure;
    fPruned = true;
    return MStatus::kSuccess;
}

MStatus MItDependencyGraph::reset()
{
    if (fRootNode.isNull())
        return MStatus::kInvalidParameter;
    start();
    return MStatus::kSuccess;
}

MObject MItDependencyGraph::currentItem(MStatus* ReturnStatus)
{
    return currentNode(ReturnStatus);
}

MObject MItDependencyGraph::currentNode(MStatus* ReturnStatus)
{
    if (ReturnStatus)
        *ReturnStatus = fDone ? MStatus::kFailure : MStatus::kSuccess;
    return fDone ? MObject() : fCurrent.node;
}

MPlug MItDependencyGraph::thisPlug(MStatus* ReturnStatus)
{
    if (ReturnStatus)
        *ReturnStatus = fDone ? MStatus::kFailure : MStatus::kSuccess;
    return fDone ? MPlug() : fCurrent.plug;
}

MPlug MItDependencyGraph::previousPlug(MStatus* ReturnStatus)
{
    if (ReturnStatus)
        *ReturnStatus = fDone ? MStatus::kFailure : MStatus::kSuccess;
    return fDone ? MPlug() : fCurrent.previous;
}

MObject MItDependencyGraph::rootNode(MStatus* ReturnStatus)
{
    if (ReturnStatus)
        *ReturnStatus = fRootNode.isNull() ? MStatus::kFailure : MStatus::kSuccess;
    return fRootNode;
}

MPlug MItDependencyGraph::rootPlug(MStatus* ReturnStatus)
{
    if (ReturnStatus)
        *ReturnStatus = fRootIsPlug ? MStatus::kSuccess : MStatus::kFailure;
    return fRootPlug;
}

MStatus MItDependencyGraph::setCurrentFilter(MFn::Type filter)
{
    fFilter = filter;
    return reset();
}

MStatus MItDependencyGraph::resetFilter()
{
    fFilter = fInitialFilter;
    return reset();
}

void MItDependencyGraph::disablePruningOnFilter()
{
    fPruneOnFilter = false;
}

void MItDependencyGraph::enablePruningOnFilter()
{
    fPruneOnFilter = true;
}
