#include "anim/KeyTable.h"

#include "anim/AnimCurveNode.h"
#include "anim/AnimStatus.h"
#include "dg/Graph.h"
#include "dg/Node.h"

#include <maya/MDGModifier.h>
#include <maya/MPlug.h>
#include <maya/MTime.h>

#include <algorithm>
#include <map>

namespace host {

namespace {

template <typename Read>
void readSparse(const MPlug& array, Read read)
{
    for (unsigned i = 0, n = array.numElements(); i < n; ++i) {
        const MPlug element = array.elementByPhysicalIndex(i);
        read(element.logicalIndex(), element);
    }
}

// Removes every element of an array attribute (their connections first).
void clearArray(const MPlug& array)
{
    Slot* slot = resolve(array, false);
    if (!slot || slot->elements.empty())
        return;
    for (auto& element : slot->elements)
        disconnectAll(element.get(), nullptr);
    slot->elements.clear();
    propagateDirty(slot);
}

} // namespace

MStatus readKeyTable(const MObject& curve, KeyTable& keys)
{
    AnimCurveNode::Kind kind;
    if (!AnimCurveNode::kindOf(curve, kind))
        return MS::kInvalidParameter;
    const AnimCurveNode::Attributes& a = AnimCurveNode::attributesOf(kind);
    const bool time = AnimCurveNode::isTimeInput(kind);
    std::map<unsigned, StoredKey> byIndex;
    readSparse(MPlug(curve, a.keyTimeValue), [&](unsigned index, const MPlug& element) {
        StoredKey key;
        const MPlug t = element.child(a.keyTime);
        key.input = time ? t.asMTime().as(MTime::kSeconds) : t.asDouble();
        key.value = element.child(a.keyValue).asDouble();
        byIndex[index] = key;
    });
    auto apply = [&](const MObject& attribute, auto set) {
        readSparse(MPlug(curve, attribute), [&](unsigned index, const MPlug& element) {
            auto it = byIndex.find(index);
            if (it != byIndex.end())
                set(it->second, element);
        });
    };
    apply(a.keyTanInType, [](StoredKey& k, const MPlug& p) { k.inType = p.asShort(); });
    apply(a.keyTanOutType, [](StoredKey& k, const MPlug& p) { k.outType = p.asShort(); });
    apply(a.keyTanInX, [](StoredKey& k, const MPlug& p) { k.inX = p.asFloat(), k.hasInX = true; });
    apply(a.keyTanInY, [](StoredKey& k, const MPlug& p) { k.inY = p.asFloat(), k.hasInY = true; });
    apply(a.keyTanOutX, [](StoredKey& k, const MPlug& p) { k.outX = p.asFloat(), k.hasOutX = true; });
    apply(a.keyTanOutY, [](StoredKey& k, const MPlug& p) { k.outY = p.asFloat(), k.hasOutY = true; });
    apply(a.keyTanLocked, [](StoredKey& k, const MPlug& p) { k.locked = p.asBool(); });
    apply(a.keyWeightLocked, [](StoredKey& k, const MPlug& p) { k.weightLocked = p.asBool(); });
    apply(a.keyBreakdown, [](StoredKey& k, const MPlug& p) { k.breakdown = p.asBool(); });
    keys.clear();
    for (const auto& entry : byIndex)
        keys.push_back(entry.second);
    // Keys are kept in input order; a file that breaks that is read in its order of inputs.
    std::stable_sort(keys.begin(), keys.end(),
                     [](const StoredKey& x, const StoredKey& y) { return x.input < y.input; });
    return MS::kSuccess;
}

MStatus writeKeyTable(const MObject& curve, const KeyTable& unsorted)
{
    AnimCurveNode::Kind kind;
    if (!AnimCurveNode::kindOf(curve, kind))
        return MS::kInvalidParameter;
    const AnimCurveNode::Attributes& a = AnimCurveNode::attributesOf(kind);
    KeyTable keys = unsorted;
    std::stable_sort(keys.begin(), keys.end(),
                     [](const StoredKey& x, const StoredKey& y) { return x.input < y.input; });
    const MObject arrays[] = {a.keyTimeValue, a.keyTanInType, a.keyTanOutType, a.keyTanInX, a.keyTanInY,
                              a.keyTanOutX, a.keyTanOutY, a.keyTanLocked, a.keyWeightLocked, a.keyBreakdown};
    for (const MObject& attribute : arrays)
        clearArray(MPlug(curve, attribute));
    const bool time = AnimCurveNode::isTimeInput(kind);
    MStatus status;
    for (unsigned i = 0; i < keys.size(); ++i) {
        const StoredKey& key = keys[i];
        MPlug element = MPlug(curve, a.keyTimeValue).elementByLogicalIndex(i, &status);
        ANIM_CHECK(status);
        MPlug t = element.child(a.keyTime);
        ANIM_CHECK(time ? t.setMTime(MTime(key.input, MTime::kSeconds)) : t.setDouble(key.input));
        ANIM_CHECK(element.child(a.keyValue).setDouble(key.value));
        auto elementOf = [&](const MObject& attribute) { return MPlug(curve, attribute).elementByLogicalIndex(i); };
        if (key.inType >= 0)
            ANIM_CHECK(elementOf(a.keyTanInType).setShort(short(key.inType)));
        if (key.outType >= 0)
            ANIM_CHECK(elementOf(a.keyTanOutType).setShort(short(key.outType)));
        if (key.hasInX)
            ANIM_CHECK(elementOf(a.keyTanInX).setFloat(key.inX));
        if (key.hasInY)
            ANIM_CHECK(elementOf(a.keyTanInY).setFloat(key.inY));
        if (key.hasOutX)
            ANIM_CHECK(elementOf(a.keyTanOutX).setFloat(key.outX));
        if (key.hasOutY)
            ANIM_CHECK(elementOf(a.keyTanOutY).setFloat(key.outY));
        if (key.locked >= 0)
            ANIM_CHECK(elementOf(a.keyTanLocked).setBool(key.locked != 0));
        if (key.weightLocked >= 0)
            ANIM_CHECK(elementOf(a.keyWeightLocked).setBool(key.weightLocked != 0));
        if (key.breakdown >= 0)
            ANIM_CHECK(elementOf(a.keyBreakdown).setBool(key.breakdown != 0));
    }
    return MS::kSuccess;
}

void toCurveMath(const KeyTable& keys, int defaultTangentType, AnimCurveMath& curve)
{
    curve.keys.clear();
    curve.keys.reserve(keys.size());
    for (const StoredKey& stored : keys) {
        AnimKey key;
        key.input = stored.input;
        key.value = stored.value;
        key.inType = stored.inType >= 0 ? stored.inType : defaultTangentType;
        key.outType = stored.outType >= 0 ? stored.outType : defaultTangentType;
        key.hasInTangent = stored.hasInX || stored.hasInY;
        key.hasOutTangent = stored.hasOutX || stored.hasOutY;
        key.inX = stored.hasInX ? stored.inX : 1.0;
        key.inY = stored.inY;
        key.outX = stored.hasOutX ? stored.outX : 1.0;
        key.outY = stored.outY;
        curve.keys.push_back(key);
    }
}

struct KeyEdits::Step
{
    MObject curve;
    KeyTable before, after;
    std::unique_ptr<MDGModifier> modifier;
};

KeyEdits::KeyEdits() = default;
KeyEdits::~KeyEdits() = default;

MStatus KeyEdits::changeTable(const MObject& curve, const KeyTable& after)
{
    auto step = std::make_unique<Step>();
    step->curve = curve;
    ANIM_CHECK(readKeyTable(curve, step->before));
    step->after = after;
    ANIM_CHECK(writeKeyTable(curve, after));
    mSteps.push_back(std::move(step));
    return MS::kSuccess;
}

MStatus KeyEdits::addModifier(std::unique_ptr<MDGModifier> modifier)
{
    ANIM_CHECK(modifier->doIt());
    auto step = std::make_unique<Step>();
    step->modifier = std::move(modifier);
    mSteps.push_back(std::move(step));
    return MS::kSuccess;
}

bool KeyEdits::empty() const
{
    return mSteps.empty();
}

MStatus KeyEdits::undo()
{
    for (auto it = mSteps.rbegin(); it != mSteps.rend(); ++it)
        ANIM_CHECK((*it)->modifier ? (*it)->modifier->undoIt() : writeKeyTable((*it)->curve, (*it)->before));
    return MS::kSuccess;
}

MStatus KeyEdits::redo()
{
    for (auto& step : mSteps)
        ANIM_CHECK(step->modifier ? step->modifier->doIt() : writeKeyTable(step->curve, step->after));
    return MS::kSuccess;
}

} // namespace host
