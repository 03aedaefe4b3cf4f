#include "anim/AnimCurveNode.h"

#include "anim/AnimStatus.h"
#include "anim/KeyTable.h"
#include "dg/Graph.h"
#include "dg/Node.h"
#include "dg/Registry.h"

#include <maya/MAnimControl.h>
#include <maya/MDataHandle.h>
#include <maya/MFnCompoundAttribute.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnEnumAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnUnitAttribute.h>
#include <maya/MTime.h>
#include <maya/MTypeId.h>

#include <algorithm>

namespace host {

namespace {

struct KindInfo
{
    const char* typeName;
    unsigned id;
    MFnUnitAttribute::Type input;   // kInvalid: a plain number
    MFnUnitAttribute::Type output;
};

const KindInfo kKinds[AnimCurveNode::kKindCount] = {
    {"animCurveTL", 0x4e414354, MFnUnitAttribute::kTime, MFnUnitAttribute::kDistance},  // 'NACT'..
    {"animCurveTA", 0x4e414355, MFnUnitAttribute::kTime, MFnUnitAttribute::kAngle},
    {"animCurveTU", 0x4e414356, MFnUnitAttribute::kTime, MFnUnitAttribute::kInvalid},
    {"animCurveUL", 0x4e414357, MFnUnitAttribute::kInvalid, MFnUnitAttribute::kDistance},
    {"animCurveUA", 0x4e414358, MFnUnitAttribute::kInvalid, MFnUnitAttribute::kAngle},
    {"animCurveUU", 0x4e414359, MFnUnitAttribute::kInvalid, MFnUnitAttribute::kInvalid},
};

AnimCurveNode::Attributes gAttributes[AnimCurveNode::kKindCount];

// Live curves, for the time change to reach.
std::vector<AnimCurveNode*>& liveCurves()
{
    static std::vector<AnimCurveNode*> curves;
    return curves;
}

MObject scalar(const char* name, const char* shortName, MFnUnitAttribute::Type unit, MStatus& status)
{
    if (unit == MFnUnitAttribute::kInvalid) {
        MFnNumericAttribute numeric;
        return numeric.create(name, shortName, MFnNumericData::kDouble, 0.0, &status);
    }
    MFnUnitAttribute fn;
    return fn.create(name, shortName, unit, 0.0, &status);
}

MObject enumAttribute(const char* name, const char* shortName, short value,
                      std::initializer_list<std::pair<const char*, short>> fields, bool array, MStatus& status)
{
    MFnEnumAttribute fn;
    MObject attribute = fn.create(name, shortName, value, &status);
    if (!status)
        return attribute;
    for (const auto& field : fields)
        if (!(status = fn.addField(field.first, field.second)))
            return attribute;
    if (array)
        status = fn.setArray(true);
    return attribute;
}

MObject numericArray(const char* name, const char* shortName, MFnNumericData::Type type, double value,
                     MStatus& status)
{
    MFnNumericAttribute fn;
    MObject attribute = fn.create(name, shortName, type, value, &status);
    if (status)
        status = fn.setArray(true);
    return attribute;
}

const std::initializer_list<std::pair<const char*, short>> kTangentFields = {
    {"Fixed", 1}, {"Linear", 2}, {"Flat", 3}, {"Step", 5}, {"Slow", 6}, {"Fast", 7}, {"Spline", 9},
    {"Clamped", 10}, {"Plateau", 16}, {"StepNext", 17}, {"Auto", 18}};
const std::initializer_list<std::pair<const char*, short>> kInfinityFields = {
    {"Constant", 0}, {"Linear", 1}, {"Cycle", 3}, {"Cycle Relative", 4}, {"Oscillate", 5}};

MStatus initializeKind(AnimCurveNode::Kind kind)
{
    const KindInfo& info = kKinds[kind];
    AnimCurveNode::Attributes& a = gAttributes[kind];
    MStatus status;
    a.input = scalar("input", "i", info.input, status);
    ANIM_CHECK(status);
    {
        // Files never hold it: a time curve reads the current time, a driven key its driver.
        MFnAttribute fn(a.input);
        ANIM_CHECK(fn.setStorable(false));
        ANIM_CHECK(fn.setHidden(true));
    }
    a.output = scalar("output", "o", info.output, status);
    ANIM_CHECK(status);
    {
        MFnAttribute fn(a.output);
        ANIM_CHECK(fn.setWritable(false));
        ANIM_CHECK(fn.setStorable(false));
    }
    a.tangentType = enumAttribute("tangentType", "tan", 4, kTangentFields, false, status);
    ANIM_CHECK(status);
    {
        MFnAttribute fn(a.tangentType);
        ANIM_CHECK(fn.setHidden(true));
    }
    MFnNumericAttribute numeric;
    a.weightedTangents = numeric.create("weightedTangents", "wgt", MFnNumericData::kBoolean, 1.0, &status);
    ANIM_CHECK(status);
    a.keyTime = scalar("keyTime", "kt", info.input, status);
    ANIM_CHECK(status);
    a.keyValue = scalar("keyValue", "kv", info.output, status);
    ANIM_CHECK(status);
    MFnCompoundAttribute compound;
    a.keyTimeValue = compound.create("keyTimeValue", "ktv", &status);
    ANIM_CHECK(status);
    ANIM_CHECK(compound.addChild(a.keyTime));
    ANIM_CHECK(compound.addChild(a.keyValue));
    ANIM_CHECK(compound.setArray(true));
    a.keyTanInType = enumAttribute("keyTanInType", "kit", 0, kTangentFields, true, status);
    ANIM_CHECK(status);
    a.keyTanOutType = enumAttribute("keyTanOutType", "kot", 0, kTangentFields, true, status);
    ANIM_CHECK(status);
    a.keyTanInX = numericArray("keyTanInX", "kix", MFnNumericData::kFloat, 0.0, status);
    ANIM_CHECK(status);
    a.keyTanInY = numericArray("keyTanInY", "kiy", MFnNumericData::kFloat, 0.0, status);
    ANIM_CHECK(status);
    a.keyTanOutX = numericArray("keyTanOutX", "kox", MFnNumericData::kFloat, 0.0, status);
    ANIM_CHECK(status);
    a.keyTanOutY = numericArray("keyTanOutY", "koy", MFnNumericData::kFloat, 0.0, status);
    ANIM_CHECK(status);
    a.keyTanLocked = numericArray("keyTanLocked", "kl", MFnNumericData::kBoolean, 1.0, status);
    ANIM_CHECK(status);
    a.keyWeightLocked = numericArray("keyWeightLocked", "kwl", MFnNumericData::kBoolean, 1.0, status);
    ANIM_CHECK(status);
    a.keyBreakdown = numericArray("keyBreakdown", "kb", MFnNumericData::kBoolean, 0.0, status);
    ANIM_CHECK(status);
    a.preInfinity = enumAttribute("preInfinity", "pre", 0, kInfinityFields, false, status);
    ANIM_CHECK(status);
    a.postInfinity = enumAttribute("postInfinity", "pst", 0, kInfinityFields, false, status);
    ANIM_CHECK(status);

    // In the order scene files list them.
    for (MObject* attribute : {&a.input, &a.output, &a.tangentType, &a.weightedTangents, &a.keyTimeValue,
                               &a.keyTanInType, &a.keyTanOutType, &a.keyTanInX, &a.keyTanInY, &a.keyTanOutX,
                               &a.keyTanOutY, &a.keyTanLocked, &a.keyWeightLocked, &a.keyBreakdown, &a.preInfinity,
                               &a.postInfinity})
        ANIM_CHECK(MPxNode::addAttribute(*attribute));
    for (MObject* attribute : {&a.input, &a.tangentType, &a.weightedTangents, &a.keyTimeValue, &a.keyTanInType,
                               &a.keyTanOutType, &a.keyTanInX, &a.keyTanInY, &a.keyTanOutX, &a.keyTanOutY,
                               &a.preInfinity, &a.postInfinity})
        ANIM_CHECK(MPxNode::attributeAffects(*attribute, a.output));
    return MS::kSuccess;
}

template <AnimCurveNode::Kind K>
void* createKind()
{
    return new AnimCurveNode(K);
}

template <AnimCurveNode::Kind K>
MStatus initializeKindOf()
{
    return initializeKind(K);
}

const NodeCreatorFunction kCreators[AnimCurveNode::kKindCount] = {
    &createKind<AnimCurveNode::kTL>, &createKind<AnimCurveNode::kTA>, &createKind<AnimCurveNode::kTU>,
    &createKind<AnimCurveNode::kUL>, &createKind<AnimCurveNode::kUA>, &createKind<AnimCurveNode::kUU>};
const NodeInitializeFunction kInitializers[AnimCurveNode::kKindCount] = {
    &initializeKindOf<AnimCurveNode::kTL>, &initializeKindOf<AnimCurveNode::kTA>,
    &initializeKindOf<AnimCurveNode::kTU>, &initializeKindOf<AnimCurveNode::kUL>,
    &initializeKindOf<AnimCurveNode::kUA>, &initializeKindOf<AnimCurveNode::kUU>};

} // namespace

AnimCurveNode::~AnimCurveNode()
{
    auto& curves = liveCurves();
    curves.erase(std::remove(curves.begin(), curves.end(), this), curves.end());
}

void AnimCurveNode::postConstructor()
{
    liveCurves().push_back(this);
}

void AnimCurveNode::registerTypes()
{
    for (int kind = 0; kind < kKindCount; ++kind) {
        NodeTypeInfo info;
        info.name = kKinds[kind].typeName;
        info.id = MTypeId(kKinds[kind].id);
        info.creator = kCreators[kind];
        info.initialize = kInitializers[kind];
        info.apiType = MFn::kDependencyNode;
        CHECK_MSTATUS(registerNodeType(info));
    }
}

const char* AnimCurveNode::typeNameOf(Kind kind)
{
    return kKinds[kind].typeName;
}

const AnimCurveNode::Attributes& AnimCurveNode::attributesOf(Kind kind)
{
    return gAttributes[kind];
}

bool AnimCurveNode::kindOf(const MObject& node, Kind& kind)
{
    const Node* n = nodeOf(node);
    if (!n)
        return false;
    for (int k = 0; k < kKindCount; ++k)
        if (n->type->info.name == kKinds[k].typeName) {
            kind = Kind(k);
            return true;
        }
    return false;
}

MStatus AnimCurveNode::read(const MObject& node, AnimCurveMath& curve, int* defaultTangentType)
{
    Kind kind;
    if (!kindOf(node, kind))
        return MS::kInvalidParameter;
    const Attributes& a = gAttributes[kind];
    MStatus status;
    const int tangentType = MPlug(node, a.tangentType).asShort(&status);
    ANIM_CHECK(status);
    if (defaultTangentType)
        *defaultTangentType = tangentType;
    curve.weighted = MPlug(node, a.weightedTangents).asBool(&status);
    ANIM_CHECK(status);
    curve.preInfinity = MPlug(node, a.preInfinity).asShort(&status);
    ANIM_CHECK(status);
    curve.postInfinity = MPlug(node, a.postInfinity).asShort(&status);
    ANIM_CHECK(status);

    KeyTable keys;
    ANIM_CHECK(readKeyTable(node, keys));
    toCurveMath(keys, tangentType, curve);
    return MS::kSuccess;
}

MStatus AnimCurveNode::compute(const MPlug& plug, MDataBlock& block)
{
    const Attributes& a = gAttributes[mKind];
    if (plug != a.output)
        return MS::kUnknownParameter;
    MStatus status;
    const MObject self = thisMObject();
    AnimCurveMath curve;
    ANIM_CHECK(read(self, curve));
    double input = 0;
    const bool driven = MPlug(self, a.input).isConnected(&status);
    ANIM_CHECK(status);
    if (isTimeInput(mKind) && !driven) {
        input = MAnimControl::currentTime().as(MTime::kSeconds);
    } else {
        MDataHandle in = block.inputValue(a.input, &status);
        ANIM_CHECK(status);
        input = isTimeInput(mKind) ? in.asTime().as(MTime::kSeconds) : in.asDouble();
    }
    MDataHandle out = block.outputValue(a.output, &status);
    ANIM_CHECK(status);
    out.setDouble(curve.evaluate(input));
    return block.setClean(plug);
}

void AnimCurveNode::timeChanged()
{
    for (AnimCurveNode* curve : liveCurves()) {
        if (!isTimeInput(curve->mKind))
            continue;
        Node* node = NodeAccess::node(curve);
        if (!node || !node->inScene)
            continue;
        Slot* input = node->slotOf(attributeOf(gAttributes[curve->mKind].input));
        if (input && !isDestination(input))
            propagateDirty(input);
    }
}

} // namespace host
