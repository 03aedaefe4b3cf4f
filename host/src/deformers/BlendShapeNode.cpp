#include "deformers/BlendShapeNode.h"

#include "deformers/AttributeBuilders.h"
#include "deformers/DeformedPoints.h"
#include "dg/Data.h"
#include "geometry/CurveData.h"
#include "geometry/MeshData.h"

#include <maya/MArrayDataHandle.h>
#include <maya/MDataBlock.h>
#include <maya/MDataHandle.h>
#include <maya/MFnAttribute.h>
#include <maya/MItGeometry.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>

#include <algorithm>
#include <vector>

namespace host {

const MTypeId BlendShapeNode::id(0x424c4e44);  // 'BLND'
const char* const BlendShapeNode::typeName = "blendShape";

MObject BlendShapeNode::weight;
MObject BlendShapeNode::inputTarget, BlendShapeNode::inputTargetGroup, BlendShapeNode::inputTargetItem;
MObject BlendShapeNode::inputGeomTarget, BlendShapeNode::inputPointsTarget, BlendShapeNode::inputComponentsTarget,
    BlendShapeNode::inputRelativePointsTarget, BlendShapeNode::inputRelativeComponentsTarget;
MObject BlendShapeNode::targetWeights, BlendShapeNode::normalizationId, BlendShapeNode::baseWeights;
MObject BlendShapeNode::origin;
MObject BlendShapeNode::topologyCheck, BlendShapeNode::supportNegativeWeights, BlendShapeNode::paintWeights;

namespace {

constexpr int kFullTarget = 6000;

// Points of a geometry value (x y z each, object space) and its world matrix.
bool pointsOf(const MObject& data, std::vector<double>& xyz, MMatrix& toWorld)
{
    xyz.clear();
    if (const MeshData* mesh = meshDataOf(data)) {
        const std::vector<float>& p = mesh->read().points;
        xyz.assign(p.begin(), p.end());
        toWorld = mesh->matrix;
        return true;
    }
    if (const CurveData* curve = curveDataOf(data)) {
        xyz = curve->geometry.cvs;
        toWorld = curve->matrix;
        return true;
    }
    return false;
}

// One item's offsets: for the listed points, or for every point when `points` is empty.
struct ItemOffsets
{
    double weight = 0;
    std::vector<int> points;
    std::vector<double> offsets;  // x y z per entry
};

// Reads a per-point weight multi (missing entries weigh 1) into `out`, sized to `count`.
MStatus perPointWeights(MArrayDataHandle values, size_t count, std::vector<float>& out)
{
    out.assign(count, 1.0f);
    MStatus status;
    for (unsigned i = 0, n = values.elementCount(); i < n; ++i, values.next()) {
        const unsigned p = values.elementIndex(&status);
        DEFORMER_CHECK(status);
        if (p < count)
            out[p] = values.inputValue(&status).asFloat();
        DEFORMER_CHECK(status);
    }
    return MS::kSuccess;
}

MStatus readItem(MDataHandle item, int itemIndex, const std::vector<double>& base, const MMatrix& baseToWorld,
                 bool world, ItemOffsets& out)
{
    out.weight = (itemIndex - 5000) / 1000.0;
    const size_t count = base.size() / 3;
    std::vector<double> target;
    MMatrix targetToWorld;
    if (pointsOf(item.child(BlendShapeNode::inputGeomTarget).data(), target, targetToWorld)) {
        // A live target: its points less the base's, both in the base's space.
        if (target.size() != base.size())
            return MS::kInvalidParameter;
        const MMatrix toBase = world ? targetToWorld * baseToWorld.inverse() : MMatrix::identity;
        out.offsets.resize(base.size());
        for (size_t p = 0; p < count; ++p) {
            const MPoint t = MPoint(target[3 * p], target[3 * p + 1], target[3 * p + 2]) * toBase;
            for (int k = 0; k < 3; ++k)
                out.offsets[3 * p + k] = t[k] - base[3 * p + k];
        }
        return MS::kSuccess;
    }
    // The data objects are held while their values are read.
    const MObject pointsValue = item.child(BlendShapeNode::inputPointsTarget).data();
    const MObject componentsValue = item.child(BlendShapeNode::inputComponentsTarget).data();
    const PointArrayData* offsets = dataAs<PointArrayData>(pointsValue, MFnData::kPointArray);
    if (!offsets)
        return MS::kSuccess;
    const ComponentListData* components = dataAs<ComponentListData>(componentsValue, MFnData::kComponentList);
    if (components) {
        std::vector<int> points;
        // Unreadable components name no points.
        if (components->pointIndices(int(count), points))
            out.points = std::move(points);
    } else {
        for (unsigned i = 0; i < offsets->value.length() && i < count; ++i)
            out.points.push_back(int(i));
    }
    out.points.resize(std::min<size_t>(out.points.size(), offsets->value.length()));
    for (size_t i = 0; i < out.points.size(); ++i)
        for (unsigned k = 0; k < 3; ++k)
            out.offsets.push_back(offsets->value[unsigned(i)][k]);
    return MS::kSuccess;
}

void addOffsets(const ItemOffsets& item, double factor, std::vector<double>& sum)
{
    if (factor == 0.0)
        return;
    if (item.points.empty()) {
        for (size_t i = 0; i < item.offsets.size() && i < sum.size(); ++i)
            sum[i] += factor * item.offsets[i];
        return;
    }
    for (size_t i = 0; i < item.points.size(); ++i)
        for (int k = 0; k < 3; ++k)
            sum[3 * size_t(item.points[i]) + k] += factor * item.offsets[3 * i + k];
}

// The items' offsets at a target weight: linear between neighbouring items, from no offset at
// weight 0, and along the end segments beyond them.
void blendItems(std::vector<ItemOffsets>& items, double w, std::vector<double>& sum)
{
    if (items.empty())
        return;
    bool hasZero = false;
    for (const ItemOffsets& item : items)
        hasZero = hasZero || item.weight == 0.0;
    if (!hasZero)
        items.emplace_back();  // weight 0, no offsets
    std::sort(items.begin(), items.end(), [](const ItemOffsets& a, const ItemOffsets& b) { return a.weight < b.weight; });
    if (items.size() == 1)
        return;
    size_t k = 0;
    while (k + 2 < items.size() && w > items[k + 1].weight)
        ++k;
    const ItemOffsets& a = items[k];
    const ItemOffsets& b = items[k + 1];
    const double t = (w - a.weight) / (b.weight - a.weight);
    addOffsets(a, 1.0 - t, sum);
    addOffsets(b, t, sum);
}

} // namespace

void* BlendShapeNode::creator()
{
    return new BlendShapeNode;
}

MStatus BlendShapeNode::initialize()
{
    MStatus s;
    weight = numericAttribute("weight", "w", MFnNumericData::kFloat, 0.0, kMulti, s);
    if (s)
        s = MFnAttribute(weight).setKeyable(true);
    inputGeomTarget = geometryAttribute("inputGeomTarget", "igt", kSingle, s);
    if (s)
        s = MFnAttribute(inputGeomTarget).setStorable(false);
    inputRelativePointsTarget = typedAttribute("inputRelativePointsTarget", "irp", MFnData::kPointArray, s);
    inputRelativeComponentsTarget =
        typedAttribute("inputRelativeComponentsTarget", "irc", MFnData::kComponentList, s);
    inputPointsTarget = typedAttribute("inputPointsTarget", "ipt", MFnData::kPointArray, s);
    inputComponentsTarget = typedAttribute("inputComponentsTarget", "ict", MFnData::kComponentList, s);
    inputTargetItem = compoundAttribute("inputTargetItem", "iti",
                                        {inputGeomTarget, inputRelativePointsTarget, inputRelativeComponentsTarget,
                                         inputPointsTarget, inputComponentsTarget},
                                        kMulti, s);
    targetWeights = numericAttribute("targetWeights", "tw", MFnNumericData::kFloat, 1.0, kMulti, s);
    normalizationId = numericAttribute("normalizationId", "nid", MFnNumericData::kInt, 0, kSingle, s);
    inputTargetGroup =
        compoundAttribute("inputTargetGroup", "itg", {inputTargetItem, targetWeights, normalizationId}, kMulti, s);
    baseWeights = numericAttribute("baseWeights", "bw", MFnNumericData::kFloat, 1.0, kMulti, s);
    inputTarget = compoundAttribute("inputTarget", "it", {inputTargetGroup, baseWeights}, kMulti, s);
    origin = enumAttribute("origin", "or", 1, {"world", "local", "user"}, s);
    topologyCheck = numericAttribute("topologyCheck", "tc", MFnNumericData::kBoolean, 1, kSingle, s);
    supportNegativeWeights = numericAttribute("supportNegativeWeights", "snw", MFnNumericData::kBoolean, 0, kSingle, s);
    paintWeights = typedAttribute("paintWeights", "pwt", MFnData::kDoubleArray, s);
    DEFORMER_CHECK(s);
    DEFORMER_CHECK(addAttributes(
        {&weight, &inputTarget, &origin, &topologyCheck, &supportNegativeWeights, &paintWeights}));
    return addAffects({&weight, &inputTarget, &origin}, {&outputGeom});
}

MStatus BlendShapeNode::deform(MDataBlock& block, MItGeometry&, const MMatrix& toWorld, unsigned int index)
{
    MStatus status;
    const float envelopeValue = block.inputValue(envelope, &status).asFloat();
    DEFORMER_CHECK(status);
    MArrayDataHandle groups = block.inputArrayValue(inputTarget, &status);
    DEFORMER_CHECK(status);
    if (envelopeValue == 0.0f || !groups.jumpToElement(index))
        return MS::kSuccess;
    MDataHandle geometryTargets = groups.inputValue(&status);
    DEFORMER_CHECK(status);

    // The input's points: what offsets of live targets are measured from.
    MArrayDataHandle inputs = block.inputArrayValue(input, &status);
    DEFORMER_CHECK(status);
    DEFORMER_CHECK(inputs.jumpToElement(index));
    std::vector<double> base;
    MMatrix inputToWorld;
    if (!pointsOf(inputs.inputValue(&status).child(inputGeom).data(), base, inputToWorld))
        return MS::kSuccess;
    const size_t count = base.size() / 3;
    const bool world = block.inputValue(origin, &status).asShort() == 0;
    DEFORMER_CHECK(status);

    std::vector<float> baseWeight, targetWeight;
    DEFORMER_CHECK(perPointWeights(MArrayDataHandle(geometryTargets.child(baseWeights)), count, baseWeight));
    MArrayDataHandle weights = block.inputArrayValue(weight, &status);
    DEFORMER_CHECK(status);
    MArrayDataHandle targets(geometryTargets.child(inputTargetGroup), &status);
    DEFORMER_CHECK(status);
    std::vector<double> total(base.size(), 0.0), one(base.size());
    bool moved = false;
    for (unsigned t = 0, n = targets.elementCount(); t < n; ++t, targets.next()) {
        const unsigned target = targets.elementIndex(&status);
        DEFORMER_CHECK(status);
        if (!weights.jumpToElement(target))
            continue;
        const double w = weights.inputValue(&status).asFloat();
        DEFORMER_CHECK(status);
        if (w == 0.0)
            continue;
        MDataHandle group = targets.inputValue(&status);
        DEFORMER_CHECK(status);
        MArrayDataHandle items(group.child(inputTargetItem), &status);
        DEFORMER_CHECK(status);
        std::vector<ItemOffsets> offsets;
        for (unsigned i = 0, m = items.elementCount(); i < m; ++i, items.next()) {
            offsets.emplace_back();
            status = readItem(items.inputValue(), int(items.elementIndex()), base, toWorld, world, offsets.back());
            if (!status)
                offsets.pop_back();  // a target of another point count moves nothing
        }
        std::fill(one.begin(), one.end(), 0.0);
        blendItems(offsets, w, one);
        DEFORMER_CHECK(perPointWeights(MArrayDataHandle(group.child(targetWeights)), count, targetWeight));
        for (size_t p = 0; p < count; ++p)
            for (int k = 0; k < 3; ++k)
                total[3 * p + k] += targetWeight[p] * one[3 * p + k];
        moved = true;
    }
    if (!moved)
        return MS::kSuccess;
    DeformedPoints points;
    DEFORMER_CHECK(points.attach(block, outputGeom, index));
    for (size_t p = 0; p < count && p < points.count(); ++p)
        for (int k = 0; k < 3; ++k) {
            const double offset = envelopeValue * baseWeight[p] * total[3 * p + k];
            if (points.floats())
                points.floats()[3 * p + k] = float(points.floats()[3 * p + k] + offset);
            else
                points.doubles()[3 * p + k] += offset;
        }
    points.done();
    return MS::kSuccess;
}

} // namespace host
