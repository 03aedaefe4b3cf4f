#include "deformers/SkinClusterNode.h"

#include "deformers/AttributeBuilders.h"
#include "deformers/DeformedPoints.h"
#include "dg/Node.h"

#include <maya/MArrayDataHandle.h>
#include <maya/MDataBlock.h>
#include <maya/MDataHandle.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MGlobal.h>
#include <maya/MItGeometry.h>
#include <maya/MMatrix.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>

namespace host {

const MTypeId SkinClusterNode::id(0x534b4e43);  // 'SKNC'
const char* const SkinClusterNode::typeName = "skinCluster";

MObject SkinClusterNode::weightList, SkinClusterNode::weights;
MObject SkinClusterNode::matrix, SkinClusterNode::bindPreMatrix, SkinClusterNode::geomMatrix;
MObject SkinClusterNode::normalizeWeights;
MObject SkinClusterNode::maxInfluences, SkinClusterNode::maintainMaxInfluences;
MObject SkinClusterNode::skinningMethod;
MObject SkinClusterNode::dropoff, SkinClusterNode::smoothness, SkinClusterNode::nurbsSamples,
    SkinClusterNode::lockWeights, SkinClusterNode::influenceColor;
MObject SkinClusterNode::bindPose, SkinClusterNode::paintTrans;
MObject SkinClusterNode::useComponents, SkinClusterNode::deformUserNormals, SkinClusterNode::bindMethod,
    SkinClusterNode::bindVolume, SkinClusterNode::weightDistribution;
MObject SkinClusterNode::dqsSupportNonRigid, SkinClusterNode::dqsScale, SkinClusterNode::blendWeights,
    SkinClusterNode::heatmapFalloff;

namespace {

const char* const kMethodNames[] = {"classic linear", "dual quaternion", "weight blended"};

void setRow(SkinMatrix& out, const MMatrix& m)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c)
            out.m[r * 3 + c] = m(r, c);
}

} // namespace

void* SkinClusterNode::creator()
{
    return new SkinClusterNode;
}

MStatus SkinClusterNode::initialize()
{
    MStatus s;
    weights = numericAttribute("weights", "w", MFnNumericData::kDouble, 0.0, kMulti, s);
    weightList = compoundAttribute("weightList", "wl", {weights}, kMulti, s);
    matrix = matrixAttribute("matrix", "ma", kMulti, s);
    bindPreMatrix = matrixAttribute("bindPreMatrix", "pm", kMulti, s);
    geomMatrix = matrixAttribute("geomMatrix", "gm", kSingle, s);
    normalizeWeights = enumAttribute("normalizeWeights", "nw", 1, {"None", "Interactive", "Post"}, s);
    maxInfluences = numericAttribute("maxInfluences", "mi", MFnNumericData::kInt, 2, kSingle, s);
    maintainMaxInfluences = numericAttribute("maintainMaxInfluences", "mmi", MFnNumericData::kBoolean, 0, kSingle, s);
    skinningMethod =
        enumAttribute("skinningMethod", "skm", 0, {"Classic Linear", "Dual Quaternion", "Weight Blended"}, s);
    dropoff = numericAttribute("dropoff", "dpf", MFnNumericData::kDouble, 4.0, kMulti, s);
    smoothness = numericAttribute("smoothness", "smt", MFnNumericData::kDouble, 0.0, kMulti, s);
    nurbsSamples = numericAttribute("nurbsSamples", "ns", MFnNumericData::kInt, 10, kMulti, s);
    lockWeights = numericAttribute("lockWeights", "lw", MFnNumericData::kBoolean, 0, kMulti, s);
    static const char* const colorNames[3] = {"influenceColorR", "influenceColorG", "influenceColorB"};
    static const char* const colorShort[3] = {"ifcr", "ifcg", "ifcb"};
    influenceColor = float3Attribute("influenceColor", "ifcl", colorNames, colorShort, false, kMulti, s);
    if (s)
        s = MFnAttribute(influenceColor).setUsedAsColor(true);
    bindPose = messageAttribute("bindPose", "bp", kSingle, s);
    paintTrans = messageAttribute("paintTrans", "ptt", kSingle, s);
    useComponents = numericAttribute("useComponents", "ucm", MFnNumericData::kBoolean, 0, kSingle, s);
    deformUserNormals = numericAttribute("deformUserNormals", "dun", MFnNumericData::kBoolean, 1, kSingle, s);
    bindMethod = numericAttribute("bindMethod", "bm", MFnNumericData::kInt, 0, kSingle, s);
    bindVolume = numericAttribute("bindVolume", "bv", MFnNumericData::kBoolean, 0, kSingle, s);
    weightDistribution = enumAttribute("weightDistribution", "wd", 0, {"Distance", "Neighbors"}, s);
    dqsSupportNonRigid = numericAttribute("dqsSupportNonRigid", "dqsi", MFnNumericData::kBoolean, 0, kSingle, s);
    MObject scaleX = numericAttribute("dqsScaleX", "dqsx", MFnNumericData::kDouble, 1.0, kSingle, s);
    MObject scaleY = numericAttribute("dqsScaleY", "dqsy", MFnNumericData::kDouble, 1.0, kSingle, s);
    MObject scaleZ = numericAttribute("dqsScaleZ", "dqsz", MFnNumericData::kDouble, 1.0, kSingle, s);
    if (s) {
        MFnNumericAttribute fn;
        dqsScale = fn.create("dqsScale", "dqs", scaleX, scaleY, scaleZ, &s);
    }
    blendWeights = numericAttribute("blendWeights", "bw", MFnNumericData::kDouble, 0.0, kMulti, s);
    heatmapFalloff = numericAttribute("heatmapFalloff", "hmf", MFnNumericData::kFloat, 0.0, kSingle, s);
    DEFORMER_CHECK(s);

    DEFORMER_CHECK(addAttributes({&weightList, &bindPreMatrix, &geomMatrix, &matrix, &dropoff, &smoothness,
                                  &lockWeights, &maintainMaxInfluences, &maxInfluences, &bindMethod, &paintTrans,
                                  &useComponents, &nurbsSamples, &normalizeWeights, &deformUserNormals, &bindPose,
                                  &influenceColor, &skinningMethod, &dqsSupportNonRigid, &dqsScale, &blendWeights,
                                  &weightDistribution, &bindVolume, &heatmapFalloff}));
    return addAffects({&weightList, &matrix, &bindPreMatrix, &geomMatrix, &normalizeWeights, &skinningMethod},
                      {&outputGeom});
}

MStatus SkinClusterNode::setDependentsDirty(const MPlug& plug, MPlugArray&)
{
    const Attribute* root = attributeOf(plug.attribute())->root();
    if (root == attributeOf(weightList) || root == attributeOf(normalizeWeights))
        mTableStale = true;
    return MS::kSuccess;
}

// Packs weightList into the table: one row per point index up to the highest listed.
MStatus SkinClusterNode::packWeights(MDataBlock& block)
{
    MStatus status;
    MArrayDataHandle lists = block.inputArrayValue(weightList, &status);
    DEFORMER_CHECK(status);
    mTable.clear();
    std::vector<uint32_t> influences;
    std::vector<float> values;
    const unsigned count = lists.elementCount();
    for (unsigned i = 0; i < count; ++i, lists.next()) {
        const unsigned point = lists.elementIndex(&status);
        DEFORMER_CHECK(status);
        while (mTable.pointCount() < point)
            mTable.addPoint(nullptr, nullptr, 0);
        MDataHandle list = lists.inputValue(&status);
        DEFORMER_CHECK(status);
        MArrayDataHandle entries(list.child(weights), &status);
        DEFORMER_CHECK(status);
        influences.clear();
        values.clear();
        const unsigned n = entries.elementCount();
        for (unsigned k = 0; k < n; ++k, entries.next()) {
            const double w = entries.inputValue(&status).asDouble();
            DEFORMER_CHECK(status);
            if (w == 0.0)
                continue;
            influences.push_back(entries.elementIndex());
            values.push_back(float(w));
        }
        mTable.addPoint(influences.data(), values.data(), influences.size());
    }
    if (block.inputValue(normalizeWeights, &status).asShort() == 2)
        mTable.normalize();
    DEFORMER_CHECK(status);
    mTableStale = false;
    return MS::kSuccess;
}

// geomMatrix * bindPreMatrix[j] * matrix[j] * geomMatrix^-1 for every influence index j; an
// influence without a matrix leaves its points where they are.
MStatus SkinClusterNode::influenceMatrices(MDataBlock& block, std::vector<SkinMatrix>& matrices)
{
    MStatus status;
    const MMatrix geometry = block.inputValue(geomMatrix, &status).asMatrix();
    DEFORMER_CHECK(status);
    const MMatrix geometryInverse = geometry.inverse();
    MArrayDataHandle influences = block.inputArrayValue(matrix, &status);
    DEFORMER_CHECK(status);
    MArrayDataHandle preMatrices = block.inputArrayValue(bindPreMatrix, &status);
    DEFORMER_CHECK(status);
    matrices.clear();
    const unsigned count = influences.elementCount();
    for (unsigned i = 0; i < count; ++i, influences.next()) {
        const unsigned j = influences.elementIndex(&status);
        DEFORMER_CHECK(status);
        while (matrices.size() <= j) {
            matrices.emplace_back();
            setRow(matrices.back(), MMatrix::identity);
        }
        const MMatrix world = influences.inputValue(&status).asMatrix();
        DEFORMER_CHECK(status);
        MMatrix pre;
        if (preMatrices.jumpToElement(j)) {
            pre = preMatrices.inputValue(&status).asMatrix();
            DEFORMER_CHECK(status);
        }
        setRow(matrices[j], geometry * pre * world * geometryInverse);
    }
    return MS::kSuccess;
}

MStatus SkinClusterNode::deform(MDataBlock& block, MItGeometry&, const MMatrix&, unsigned int index)
{
    MStatus status;
    const float weight = block.inputValue(envelope, &status).asFloat();
    DEFORMER_CHECK(status);
    const short method = block.inputValue(skinningMethod, &status).asShort();
    DEFORMER_CHECK(status);
    if (method != 0 && method != mWarnedMethod) {
        mWarnedMethod = method;
        const char* name = method > 0 && method < 3 ? kMethodNames[method] : "unknown";
        MGlobal::displayWarning(MString("skinCluster: ") + MFnDependencyNode(thisMObject()).name() +
                                " uses the " + name + " skinning method, which is skinned as classic linear here.");
    }
    if (mTableStale)
        DEFORMER_CHECK(packWeights(block));
    std::vector<SkinMatrix> matrices;
    DEFORMER_CHECK(influenceMatrices(block, matrices));
    if (weight == 0.0f)
        return MS::kSuccess;

    DeformedPoints points;
    DEFORMER_CHECK(points.attach(block, outputGeom, index));
    if (points.floats())
        skinPoints(points.floats(), points.floats(), points.count(), mTable, matrices.data(), matrices.size(), weight);
    else if (points.doubles())
        skinPoints(points.doubles(), points.doubles(), points.count(), mTable, matrices.data(), matrices.size(),
                   weight);
    points.done();
    return MS::kSuccess;
}

std::vector<std::pair<unsigned, MDagPath>> SkinClusterNode::influencesOf(const MObject& skin)
{
    std::vector<std::pair<unsigned, MDagPath>> result;
    const MPlug matrices(skin, matrix);
    for (unsigned i = 0; i < matrices.numElements(); ++i) {
        const MPlug element = matrices.elementByPhysicalIndex(i);
        const MPlug source = element.source();
        MDagPath path;
        if (!source.isNull() && MDagPath::getAPathTo(source.node(), path))
            result.emplace_back(element.logicalIndex(), path);
    }
    return result;
}

bool SkinClusterNode::outputShape(const MObject& skin, MDagPath& shape)
{
    MPlug output = MPlug(skin, outputGeom).elementByLogicalIndex(0);
    for (int depth = 0; depth < 64; ++depth) {
        MPlugArray destinations;
        output.destinations(destinations);
        if (destinations.length() == 0)
            return false;
        const MObject next = destinations[0].node();
        if (next.hasFn(MFn::kDagNode))
            return bool(MDagPath::getAPathTo(next, shape));
        // Through the deformers and group nodes stacked above.
        MFnDependencyNode fn(next);
        MPlug nextOutput = fn.findPlug("outputGeometry", false);
        if (nextOutput.isNull())
            return false;
        if (nextOutput.isArray()) {
            const MPlug in = destinations[0].parent();
            nextOutput = nextOutput.elementByLogicalIndex(in.isNull() ? 0 : in.logicalIndex());
        }
        output = nextOutput;
    }
    return false;
}

} // namespace host
