#include "dg/Graph.h"

#include "dg/Data.h"
#include "dg/DataAccess.h"
#include "dg/Messages.h"
#include "dg/Registry.h"

#include <maya/MDGMessage.h>
#include <maya/MNodeMessage.h>
#include <maya/MPlugArray.h>

#include <algorithm>

namespace host {

MStatus computeDagAttribute(Node* node, const MPlug& plug, MDataBlock& block);  // src/dag
MStatus computeGeometryFilter(Node* node, const MPlug& plug, MDataBlock& block);  // MPxGeometryFilter.cpp

namespace {

uint32_t gWave = 0;

struct Work
{
    Slot* slot;
    bool full;  // dirty the slot and everything below it; otherwise only "an ancestor of a dirty slot"
};

// Work lists reused across waves (and nested waves started from callbacks).
struct WorkPool
{
    std::vector<std::vector<Work>> lists;
    int depth = 0;
};

WorkPool& pool()
{
    static WorkPool p;
    return p;
}

std::vector<std::function<void()>>& tasksAfterWave()
{
    static std::vector<std::function<void()>> tasks;
    return tasks;
}

// The node learns that `slot` became dirty; plugs it adds are dirtied too.
void notify(Slot* slot, std::vector<Work>& work)
{
    Node* node = slot->node;
    MPlug plug = plugOf(slot);
    if (node->user) {
        MPlugArray extra;
        node->user->setDependentsDirty(plug, extra);
        for (unsigned i = 0; i < extra.length(); ++i)
            if (Slot* s = resolve(extra[i], false))
                work.push_back({s, true});
    }
    if (hasNodeCallbacks(node)) {
        MObject object = node->object();
        fireNodeDirtyPlug(object, plug);
        fireNodeDirty(object, plug);
    }
}

// All slots of `attr` on the node (every element of the arrays above it).
void collectSlots(Slot* slot, const Attribute* attr, std::vector<Work>& work)
{
    if (slot->attr == attr) {
        work.push_back({slot, true});
        return;
    }
    if (slot->isArray()) {
        for (auto& e : slot->elements)
            collectSlots(e.get(), attr, work);
        return;
    }
    // Descend to the child on the path to attr.
    const Attribute* step = attr;
    while (step->parent && step->parent != slot->attr)
        step = step->parent;
    if (step->parent == slot->attr && static_cast<size_t>(step->childIndex) < slot->children.size())
        collectSlots(slot->children[step->childIndex].get(), attr, work);
}

void pushAffected(Slot* slot, const Attribute* attr, std::vector<Work>& work)
{
    const std::vector<Attribute*>* affected = slot->node->type->affectedBy(attr);
    if (!affected)
        return;
    Node* node = slot->node;
    for (Attribute* target : *affected)
        if (Slot* top = node->slotOf(target->root()))
            collectSlots(top, target, work);
}

// Marks the subtree below `slot` dirty (unless it is the changed plug's own
// value) and queues what depends on it: destinations and affected attributes
// of compound children.
void descend(Slot* slot, bool markDirty, std::vector<Work>& work)
{
    for (auto& c : slot->children) {
        if (markDirty)
            c->dirty = true;
        for (Slot* d : c->dests)
            work.push_back({d, true});
        pushAffected(c.get(), c->attr, work);
        descend(c.get(), markDirty, work);
    }
    for (auto& e : slot->elements) {
        if (markDirty)
            e->dirty = true;
        for (Slot* d : e->dests)
            work.push_back({d, true});
        descend(e.get(), markDirty, work);
    }
}

void setCleanTree(Slot* slot)
{
    slot->dirty = false;
    slot->pristine = false;
    for (auto& c : slot->children)
        setCleanTree(c.get());
    for (auto& e : slot->elements)
        setCleanTree(e.get());
}

// The nearest connected destination at or above a slot.
Slot* connectedAncestor(Slot* slot)
{
    for (Slot* s = slot; s; s = s->parent)
        if (s->source)
            return s;
    return nullptr;
}

void run(Slot* origin, bool markOrigin)
{
    WorkPool& p = pool();
    if (p.lists.size() <= static_cast<size_t>(p.depth))
        p.lists.emplace_back();
    std::vector<Work>& work = p.lists[p.depth++];
    work.clear();
    const uint32_t wave = ++gWave;

    work.push_back({origin, true});
    while (!work.empty()) {
        Work item = work.back();
        work.pop_back();
        Slot* s = item.slot;
        if (item.full) {
            if (s->visitMark == wave)
                continue;
            bool isOrigin = s == origin;
            // Propagation stops at plugs that are already dirty, unless they
            // have been dirty since the node was made and were never read.
            if (!isOrigin && s->dirty && !s->pristine)
                continue;
            s->visitMark = wave;
            s->pristine = false;
            s->upMark = wave;
            if (!isOrigin || markOrigin)
                s->dirty = true;
            // Mark the elements and children first: a callback told of the plug may read
            // them, and must not be handed their stale values.
            descend(s, !isOrigin || markOrigin, work);
            notify(s, work);
            for (Slot* d : s->dests)
                work.push_back({d, true});
            pushAffected(s, s->attr, work);
            for (Slot* a = s->parent; a; a = a->parent)
                work.push_back({a, false});
        } else {
            if (s->upMark == wave || s->visitMark == wave)
                continue;
            s->upMark = wave;
            // A changed child leaves its compound/array out of date, except
            // above the plug that was just set (its value is current).
            bool aboveOrigin = false;
            for (Slot* o = origin->parent; o; o = o->parent)
                if (o == s)
                    aboveOrigin = true;
            if (!aboveOrigin || markOrigin)
                s->dirty = true;
            notify(s, work);
            for (Slot* d : s->dests)
                work.push_back({d, true});
            pushAffected(s, s->attr, work);
        }
    }
    if (--p.depth == 0) {
        // Tasks may start waves of their own and queue more tasks.
        std::vector<std::function<void()>>& tasks = tasksAfterWave();
        while (!tasks.empty()) {
            std::vector<std::function<void()>> batch;
            batch.swap(tasks);
            for (auto& task : batch)
                task();
        }
    }
}

} // namespace

void afterDirtyWave(std::function<void()> task)
{
    if (pool().depth == 0)
        task();
    else
        tasksAfterWave().push_back(std::move(task));
}

namespace {

bool isNumericKind(const Attribute* a)
{
    return a->attrKind == AttrKind::Numeric || a->attrKind == AttrKind::Enum || a->attrKind == AttrKind::Unit ||
           (a->parent && a->parent->isNumericCompound());
}

// Copies the value of a connected source into its destination.
void copyValue(Slot* dst, Slot* src)
{
    Attribute* da = dst->attr;
    Attribute* sa = src->attr;
    if (dst->isArray() && src->isArray()) {
        // Follow the source's element set; keep destination elements that have their own inputs.
        for (auto& e : src->elements)
            copyValue(dst->element(e->logical, true), e.get());
        auto& elems = dst->elements;
        elems.erase(std::remove_if(elems.begin(), elems.end(),
                                   [&](const std::unique_ptr<Slot>& e) {
                                       return !src->element(e->logical, false) && !e->source && e->dests.empty() &&
                                              !e->evaluating;
                                   }),
                    elems.end());
        return;
    }
    if (da->isNumericCompound() && sa->isNumericCompound()) {
        size_t n = std::min(da->children.size(), sa->children.size());
        for (size_t i = 0; i < n; ++i)
            storeNumeric(dst->num, da->numericType, static_cast<int>(i), loadNumeric(src->num, sa->numericType, static_cast<int>(i)));
        return;
    }
    if (da->attrKind == AttrKind::Compound && sa->attrKind == AttrKind::Compound) {
        size_t n = std::min(dst->children.size(), src->children.size());
        for (size_t i = 0; i < n; ++i)
            copyValue(dst->children[i].get(), src->children[i].get());
        return;
    }
    if (isNumericKind(da) && (isNumericKind(sa) || sa->attrKind == AttrKind::Generic)) {
        setNumeric(dst, getNumeric(src), 0, false);
        return;
    }
    if (da->attrKind == AttrKind::Generic && isNumericKind(sa)) {
        setNumeric(dst, getNumeric(src), 0, false);
        return;
    }
    // Data values are shared, as the DG shares data between connected plugs.
    dst->data = src->data;
    dst->hasData = src->hasData;
}

MStatus computeSlot(Slot* slot)
{
    Node* node = slot->node;
    if (!node->user)
        return MStatus::kUnknownParameter;
    MDataBlock block = DataAccess::block(node);
    // Children and elements fall back to their parent plug, as the DG does. The walk up
    // goes by plug: a compute may free the slots.
    for (MPlug plug = plugOf(slot); !plug.isNull();
         plug = plug.isChild() ? plug.parent() : plug.isElement() ? plug.array() : MPlug()) {
        // The attributes every DAG node has are the host's to compute.
        MStatus status = node->isDag ? computeDagAttribute(node, plug, block) : MStatus(MStatus::kUnknownParameter);
        if (status == MStatus::kUnknownParameter)
            status = node->user->compute(plug, block);
        // Deformers leave their output geometry to the base class.
        if (status == MStatus::kUnknownParameter && (node->type->info.type == MPxNode::kDeformerNode ||
                                                     node->type->info.type == MPxNode::kGeometryFilter))
            status = computeGeometryFilter(node, plug, block);
        if (status != MStatus::kUnknownParameter)
            return status;
    }
    return MStatus::kUnknownParameter;
}

// The dirty connected inputs anywhere below a slot (e.g. input[0].inputGeometry below
// the input array), as plugs: pulling one may rebuild arrays of the node.
void collectConnectedBelow(Slot* slot, std::vector<MPlug>& plugs)
{
    for (auto* list : {&slot->children, &slot->elements})
        for (auto& s : *list) {
            if (!s->dirty)
                continue;
            if (s->source)
                plugs.push_back(plugOf(s.get()));
            else
                collectConnectedBelow(s.get(), plugs);
        }
}

// Brings in the connected inputs below a slot before the slot is computed and marked clean.
void pullConnectedBelow(Slot* slot)
{
    std::vector<MPlug> plugs;
    collectConnectedBelow(slot, plugs);
    for (const MPlug& plug : plugs)
        if (Slot* s = resolve(plug, false))
            evaluate(s);
}

} // namespace

void propagateDirty(Slot* slot)
{
    run(slot, false);
}

void dirtyAndPropagate(Slot* slot)
{
    run(slot, true);
}

void setClean(Slot* slot)
{
    setCleanTree(slot);
}

MStatus evaluate(Slot*& slot)
{
    if (!slot->dirty || slot->evaluating)
        return MStatus::kSuccess;
    // A compute may replace any output array of its node (MArrayDataHandle::set), which
    // frees the element slots it dropped; the plug finds this slot again afterwards, as
    // the plug of an element Maya dropped still reads.
    const MPlug plug = plugOf(slot);
    slot->evaluating = true;
    MStatus status = MStatus::kSuccess;
    if (Slot* dst = connectedAncestor(slot)) {
        const MPlug dstPlug = plugOf(dst);
        Slot* src = dst->source;
        status = evaluate(src);
        dst = resolve(dstPlug, true);
        if (dst && dst->source) {
            copyValue(dst, dst->source);
            setCleanTree(dst);
        }
    } else {
        // Inputs below this plug that are connected come in first.
        pullConnectedBelow(slot);
        slot = resolve(plug, true);
        if (slot && slot->dirty) {
            MStatus computed = computeSlot(slot);
            if (computed != MStatus::kUnknownParameter)
                status = computed;
            slot = resolve(plug, true);
            // A failed compute leaves the plug dirty, so the next pull tries again.
            if (slot && (computed || computed == MStatus::kUnknownParameter))
                setCleanTree(slot);
        }
    }
    slot = resolve(plug, true);
    if (slot)
        slot->evaluating = false;
    return status;
}

double getNumeric(Slot* slot, int component)
{
    Attribute* a = slot->attr;
    if (a->attrKind == AttrKind::Generic) {
        NumericData* d = dataAs<NumericData>(slot->data, MFnData::kNumeric);
        return d ? d->values[component & 3] : 0.0;
    }
    if (a->isNumericCompound())
        return loadNumeric(slot->num, a->numericType, component);
    int c = 0;
    NumericValue* v = slot->numericStorage(c);
    MFnNumericData::Type t = v == &slot->num ? a->numericType : a->parent->numericType;
    return loadNumeric(*v, t, c);
}

void setNumeric(Slot* slot, double value, int component, bool clamp)
{
    Attribute* a = slot->attr;
    if (clamp)
        value = a->clamp(value, component);
    if (a->attrKind == AttrKind::Generic) {
        NumericData* d = dataAs<NumericData>(slot->data, MFnData::kNumeric);
        if (!d) {
            d = new NumericData(MFnNumericData::kDouble);
            slot->data = ObjectAccess::make(d);
        }
        d->values[component & 3] = value;
        slot->hasData = true;
        return;
    }
    if (a->isNumericCompound()) {
        storeNumeric(slot->num, a->numericType, component, value);
        return;
    }
    int c = 0;
    NumericValue* v = slot->numericStorage(c);
    MFnNumericData::Type t = v == &slot->num ? a->numericType : a->parent->numericType;
    storeNumeric(*v, t, c, value);
}

bool isDestination(Slot* slot)
{
    return connectedAncestor(slot) != nullptr;
}

// A plug keyed by a time curve takes a value set on it, as in Maya, until the curve's
// output is dirtied again (the time changes): an animator poses a keyed control that way.
bool isKeyedByTime(const Slot* slot)
{
    if (!slot->source)
        return false;
    const MString& type = slot->source->node->type->info.name;
    return type.length() > 10 && type.substring(0, 9) == "animCurveT";
}

MStatus beginPlugWrite(const MPlug& plug, Slot*& slot)
{
    slot = resolve(plug, true);
    if (!slot)
        return MStatus::kInvalidParameter;
    // A locked node keeps its name, parent and attributes; its unlocked plugs still take values.
    if (slot->locked)
        return MStatus::kFailure;
    Slot* fed = connectedAncestor(slot);
    if (fed && !(fed == slot && isKeyedByTime(slot)))
        return MStatus::kFailure;  // the value comes from the connection
    return MStatus::kSuccess;
}

void endPlugWrite(const MPlug& plug, Slot* slot)
{
    setCleanTree(slot);
    propagateDirty(slot);
    if (hasAttributeChangedCallbacks(slot->node)) {
        MObject node = slot->node->object();
        MPlug p = plug;
        MPlug none;
        fireAttributeChanged(node, MNodeMessage::kAttributeSet, p, none);
    }
}

// ---------------------------------------------------------------------------
// Connections

namespace {

// A generic attribute takes the data and numeric types it was told to accept (all of
// them when it was told none).
bool genericAccepts(const Attribute* generic, const Attribute* source)
{
    const bool open = generic->acceptedData.empty() && generic->acceptedNumeric.empty() && generic->acceptedIds.empty();
    if (open)
        return true;
    auto acceptsData = [generic](MFnData::Type type) {
        return std::find(generic->acceptedData.begin(), generic->acceptedData.end(), type) != generic->acceptedData.end();
    };
    if (source->attrKind == AttrKind::Matrix)
        return acceptsData(MFnData::kMatrix);
    if (source->attrKind == AttrKind::Typed) {
        if (source->dataType == MFnData::kAny)
            return true;
        if (source->dataType == MFnData::kPlugin)
            return !generic->acceptedIds.empty() || acceptsData(MFnData::kPlugin);
        return acceptsData(source->dataType);
    }
    if (isNumericKind(source) || source->isNumericCompound())
        return !generic->acceptedNumeric.empty() || acceptsData(MFnData::kNumeric);
    return true;
}

bool compatible(const Slot* src, const Slot* dst)
{
    const Attribute* sa = src->attr;
    const Attribute* da = dst->attr;
    if (src->isArray() != dst->isArray())
        return false;
    if (da->attrKind == AttrKind::Message)
        return true;  // anything may drive a message plug
    if (sa->attrKind == AttrKind::Message)
        return false;
    if (sa->attrKind == AttrKind::Generic)
        return true;  // what it holds is only known when it is read
    if (da->attrKind == AttrKind::Generic)
        return genericAccepts(da, sa);
    if (da->attrKind == AttrKind::Compound || sa->attrKind == AttrKind::Compound) {
        if (da->attrKind != sa->attrKind || da->children.size() != sa->children.size())
            return false;
        return true;
    }
    if (isNumericKind(da) || isNumericKind(sa))
        return isNumericKind(da) && isNumericKind(sa);
    if (da->attrKind == AttrKind::Matrix || sa->attrKind == AttrKind::Matrix)
        return da->dataType == MFnData::kMatrix && sa->dataType == MFnData::kMatrix;
    return da->dataType == sa->dataType || da->dataType == MFnData::kAny || sa->dataType == MFnData::kAny;
}

bool legalOn(Node* node, const MPlug& plug, const MPlug& other, bool asSrc, bool disconnecting)
{
    if (!node->user)
        return true;
    bool isLegal = true;
    MStatus status = disconnecting ? node->user->legalDisconnection(plug, other, asSrc, isLegal)
                                   : node->user->legalConnection(plug, other, asSrc, isLegal);
    return status == MStatus::kUnknownParameter || isLegal;
}

void announce(const MPlug& srcPlug, const MPlug& dstPlug, Slot* src, Slot* dst, bool made)
{
    MPlug s = srcPlug, d = dstPlug;
    if (made) {
        if (src->node->user)
            src->node->user->connectionMade(s, d, true);
        if (dst->node->user)
            dst->node->user->connectionMade(d, s, false);
    } else {
        if (src->node->user)
            src->node->user->connectionBroken(s, d, true);
        if (dst->node->user)
            dst->node->user->connectionBroken(d, s, false);
    }
    fireConnection(s, d, made);
    auto message = made ? MNodeMessage::kConnectionMade : MNodeMessage::kConnectionBroken;
    if (hasAttributeChangedCallbacks(src->node)) {
        MObject n = src->node->object();
        fireAttributeChanged(n, message, s, d);
    }
    if (hasAttributeChangedCallbacks(dst->node)) {
        MObject n = dst->node->object();
        fireAttributeChanged(n, static_cast<MNodeMessage::AttributeMessage>(message | MNodeMessage::kIncomingDirection),
                             d, s);
    }
}

} // namespace

bool connectionTypesMatch(const MPlug& source, const MPlug& destination)
{
    Slot* src = resolve(source, true);
    Slot* dst = resolve(destination, true);
    return src && dst && compatible(src, dst);
}

MStatus connect(const MPlug& source, const MPlug& destination)
{
    Slot* src = resolve(source, true);
    Slot* dst = resolve(destination, true);
    if (!src || !dst || src == dst)
        return MStatus::kInvalidParameter;
    if (!src->attr->is(kConnectable) || !dst->attr->is(kConnectable) || !src->attr->is(kReadable) ||
        !dst->attr->is(kWritable))
        return MStatus::kInvalidParameter;
    if (dst->source || dst->locked)
        return MStatus::kFailure;  // already driven, or locked
    if (!compatible(src, dst))
        return MStatus::kInvalidParameter;
    MPlug srcPlug = plugOf(src), dstPlug = plugOf(dst);
    if (!legalOn(src->node, srcPlug, dstPlug, true, false) || !legalOn(dst->node, dstPlug, srcPlug, false, false))
        return MStatus::kInvalidParameter;
    dst->source = src;
    src->dests.push_back(dst);
    announce(srcPlug, dstPlug, src, dst, true);
    dirtyAndPropagate(dst);
    return MStatus::kSuccess;
}

namespace {
void unlink(Slot* src, Slot* dst)
{
    dst->source = nullptr;
    auto& dests = src->dests;
    dests.erase(std::remove(dests.begin(), dests.end(), dst), dests.end());
}
} // namespace

MStatus disconnect(const MPlug& source, const MPlug& destination)
{
    Slot* src = resolve(source, false);
    Slot* dst = resolve(destination, false);
    if (!src || !dst || dst->source != src)
        return MStatus::kNotFound;
    MPlug srcPlug = plugOf(src), dstPlug = plugOf(dst);
    if (!legalOn(src->node, srcPlug, dstPlug, true, true) || !legalOn(dst->node, dstPlug, srcPlug, false, true))
        return MStatus::kInvalidParameter;
    // The destination keeps the last value it received.
    evaluate(dst);
    src = resolve(source, false);
    if (!src || !dst || dst->source != src)
        return MStatus::kNotFound;
    unlink(src, dst);
    announce(srcPlug, dstPlug, src, dst, false);
    propagateDirty(dst);
    return MStatus::kSuccess;
}

void disconnectAll(Slot* slot, std::vector<std::pair<MPlug, MPlug>>* broken, bool keepDestinationValues)
{
    if (Slot* src = slot->source) {
        MPlug s = plugOf(src), d = plugOf(slot);
        unlink(src, slot);
        announce(s, d, src, slot, false);
        if (broken)
            broken->emplace_back(s, d);
    }
    while (!slot->dests.empty()) {
        Slot* dst = slot->dests.back();
        MPlug s = plugOf(slot), d = plugOf(dst);
        if (keepDestinationValues) {
            // Connected slots are kept when a compute rebuilds their array.
            Slot* pulled = dst;
            evaluate(pulled);
        }
        unlink(slot, dst);
        announce(s, d, slot, dst, false);
        propagateDirty(dst);
        if (broken)
            broken->emplace_back(s, d);
    }
    for (auto& c : slot->children)
        disconnectAll(c.get(), broken, keepDestinationValues);
    for (auto& e : slot->elements)
        disconnectAll(e.get(), broken, keepDestinationValues);
}

} // namespace host
