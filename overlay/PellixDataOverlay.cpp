#include "overlay/PellixDataOverlay.h"

#include "hoverMarker/HoverMarkerState.h"
#include "overlay/OverlayNodeRegistry.h"
#include "plugin/IntArrayData.h"
#include "plugin/NodeAttributes.h"
#include "plugin/PlugQueries.h"
#include "plugin/StatusCheck.h"

#include <maya/MDagPath.h>
#include <maya/MDagPathArray.h>
#include <maya/MDataBlock.h>
#include <maya/MDataHandle.h>
#include <maya/MEvaluationManager.h>
#include <maya/MEvaluationNode.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnIntArrayData.h>
#include <maya/MFnMesh.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MGlobal.h>
#include <maya/MMessage.h>
#include <maya/MNodeCacheDisablingInfo.h>
#include <maya/MNodeCacheSetupInfo.h>
#include <maya/MNodeMessage.h>
#include <maya/MObjectArray.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MViewport2Renderer.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

std::atomic<void (*)()> PellixDataOverlay::fewVerticesMovedListener{nullptr};

namespace {

const char* const kStatusSource = "pellixDataOverlay";

// The stored patch arrays: saved with the scene, written only by binding.
const unsigned kPatchArrayFlags =
    kAttrStorable | kAttrReadable | kAttrWritable | kAttrNotConnectable | kAttrHidden;

// The message arrays that connect patch meshes, controls and tracked shape controls.
const unsigned kMessageArrayFlags =
    kAttrArray | kAttrIndexMatters | kAttrStorable | kAttrNotReadable | kAttrWritable | kAttrHidden;

// Outputs computed from inMesh, never saved or set.
const unsigned kOutputFlags = kAttrNotStorable | kAttrReadable | kAttrNotWritable | kAttrNotConnectable | kAttrHidden;

// A keyable 0..1 transparency.
MStatus createTransparency(MObject& attr, const char* name, const char* shortName, double value)
{
    MStatus status = createNumericAttribute(attr, name, shortName, MFnNumericData::kFloat, value, kAttrKeyable);
    PELLIX_PASS_ON(status);
    MFnNumericAttribute limits(attr);
    status = limits.setMin(0.0);
    PELLIX_PASS_ON(status);
    return limits.setMax(1.0);
}

// Path of the driver's instance `instance`, else its first path.
bool pathOfInstance(const MObject& node, unsigned instance, MDagPath& path)
{
    if (node.isNull() || !node.hasFn(MFn::kDagNode)) {
        return false;
    }
    MStatus status;
    MFnDagNode dagNode(node, &status);
    if (!status) {
        return false;
    }
    MDagPathArray paths;
    if (!dagNode.getAllPaths(paths) || paths.length() == 0) {
        return false;
    }
    path = paths[0];
    for (unsigned i = 0; i < paths.length(); ++i) {
        if (paths[i].instanceNumber() == instance) {
            path = paths[i];
            break;
        }
    }
    return path.isValid();
}

} // namespace

const MTypeId PellixDataOverlay::id(kPellixDataOverlayTypeId);
const MString PellixDataOverlay::typeName("pellixDataOverlay");

MObject PellixDataOverlay::enable;
MObject PellixDataOverlay::liveDraw;
MObject PellixDataOverlay::inMesh;
MObject PellixDataOverlay::bindTolerance;
MObject PellixDataOverlay::evaluatedMesh;
MObject PellixDataOverlay::geometryChanging;
MObject PellixDataOverlay::color;
MObject PellixDataOverlay::hoverColor;
MObject PellixDataOverlay::selectedColor;
MObject PellixDataOverlay::transparency;
MObject PellixDataOverlay::hoverTransparency;
MObject PellixDataOverlay::selectedTransparency;
MObject PellixDataOverlay::drawInXray;
MObject PellixDataOverlay::drawWireframe;
MObject PellixDataOverlay::wireframeWidth;
MObject PellixDataOverlay::drawMarker;
MObject PellixDataOverlay::showTransformReadout;
MObject PellixDataOverlay::readoutTextSize;
MObject PellixDataOverlay::hoveredPatch;
MObject PellixDataOverlay::selectedPatches;
MObject PellixDataOverlay::patchVertexCounts;
MObject PellixDataOverlay::patchDriverVertexIndices;
MObject PellixDataOverlay::patchTriangleOffsets;
MObject PellixDataOverlay::patchTriangleCounts;
MObject PellixDataOverlay::patchTriangleIndices;
MObject PellixDataOverlay::patchEdgeOffsets;
MObject PellixDataOverlay::patchEdgeCounts;
MObject PellixDataOverlay::patchEdgeIndices;
MObject PellixDataOverlay::patchSourcePaths;
MObject PellixDataOverlay::patchSelectPaths;
MObject PellixDataOverlay::patchSourceMeshes;
MObject PellixDataOverlay::patchControl;
MObject PellixDataOverlay::trackedShapeControls;

PellixDataOverlay::PellixDataOverlay() = default;

PellixDataOverlay::~PellixDataOverlay()
{
    removeReadoutCallbacks();
    while (!fPatchMeshCallbacks.empty()) {
        unwatchPatchMesh(fPatchMeshCallbacks.begin()->first);
    }
    detachDriver();
    unregisterOverlayNode(fSelf);
}

void* PellixDataOverlay::creator()
{
    return new PellixDataOverlay();
}

MStatus PellixDataOverlay::initialize()
{
    PELLIX_CHECK(createNumericAttribute(enable, "enable", "en", MFnNumericData::kBoolean, 1.0, kAttrKeyable));
    PELLIX_CHECK(addAttribute(enable));
    PELLIX_CHECK(createNumericAttribute(liveDraw, "liveDraw", "ldw", MFnNumericData::kBoolean, 0.0, kAttrKeyable));
    PELLIX_CHECK(addAttribute(liveDraw));
    PELLIX_CHECK(createTypedAttribute(inMesh, "inMesh", "inMesh", MFnData::kMesh, MObject::kNullObj,
                                      kAttrNotStorable | kAttrNotReadable | kAttrWritable | kAttrConnectable));
    PELLIX_CHECK(addAttribute(inMesh));

    PELLIX_CHECK(createNumericAttribute(bindTolerance, "bindTolerance", "btol", MFnNumericData::kDouble, 0.0001,
                                        kAttrStorable | kAttrReadable | kAttrWritable | kAttrNotConnectable |
                                            kAttrNotKeyable | kAttrHidden));
    MFnNumericAttribute toleranceLimits(bindTolerance);
    PELLIX_CHECK(toleranceLimits.setMin(1e-12));
    PELLIX_CHECK(addAttribute(bindTolerance));

    PELLIX_CHECK(createTypedAttribute(evaluatedMesh, "evaluatedMesh", "evm", MFnData::kMesh, MObject::kNullObj,
                                      kOutputFlags));
    PELLIX_CHECK(addAttribute(evaluatedMesh));
    PELLIX_CHECK(createNumericAttribute(geometryChanging, "geometryChanging", "gcg", MFnNumericData::kBoolean, 1.0,
                                        kOutputFlags));
    PELLIX_CHECK(addAttribute(geometryChanging));

    PELLIX_CHECK(createColorAttribute(color, "color", "col", 0.2f, 0.64f, 1.0f, 0u));
    PELLIX_CHECK(addAttribute(color));
    PELLIX_CHECK(createColorAttribute(hoverColor, "hoverColor", "hcol", 1.0f, 0.92f, 0.25f, 0u));
    PELLIX_CHECK(addAttribute(hoverColor));
    PELLIX_CHECK(createColorAttribute(selectedColor, "selectedColor", "scol", 0.056f, 1.0f, 0.366f, 0u));
    PELLIX_CHECK(addAttribute(selectedColor));

    PELLIX_CHECK(createTransparency(transparency, "transparency", "tp", 1.0));
    PELLIX_CHECK(addAttribute(transparency));
    PELLIX_CHECK(createTransparency(hoverTransparency, "hoverTransparency", "htp", 0.85));
    PELLIX_CHECK(addAttribute(hoverTransparency));
    PELLIX_CHECK(createTransparency(selectedTransparency, "selectedTransparency", "stp", 0.85));
    PELLIX_CHECK(addAttribute(selectedTransparency));

    PELLIX_CHECK(createNumericAttribute(drawInXray, "drawInXray", "dix", MFnNumericData::kBoolean, 0.0, kAttrKeyable));
    PELLIX_CHECK(addAttribute(drawInXray));
    PELLIX_CHECK(createNumericAttribute(drawWireframe, "drawWireframe", "dwf", MFnNumericData::kBoolean, 0.0, 0u));
    PELLIX_CHECK(addAttribute(drawWireframe));
    PELLIX_CHECK(
        createNumericAttribute(wireframeWidth, "wireframeWidth", "wfw", MFnNumericData::kFloat, 1.0, kAttrKeyable));
    MFnNumericAttribute widthLimits(wireframeWidth);
    PELLIX_CHECK(widthLimits.setMin(0.1));
    PELLIX_CHECK(addAttribute(wireframeWidth));
    PELLIX_CHECK(createNumericAttribute(drawMarker, "drawMarker", "dmk", MFnNumericData::kBoolean, 0.0, 0u));
    PELLIX_CHECK(addAttribute(drawMarker));
    PELLIX_CHECK(createNumericAttribute(showTransformReadout, "showTransformReadout", "strd", MFnNumericData::kBoolean,
                                        0.0, kAttrKeyable));
    PELLIX_CHECK(addAttribute(showTransformReadout));
    PELLIX_CHECK(
        createNumericAttribute(readoutTextSize, "readoutTextSize", "rts", MFnNumericData::kInt, 13.0, kAttrKeyable));
    MFnNumericAttribute textSizeLimits(readoutTextSize);
    PELLIX_CHECK(textSizeLimits.setMin(6.0));
    PELLIX_CHECK(textSizeLimits.setSoftMax(32.0));
    PELLIX_CHECK(addAttribute(readoutTextSize));

    PELLIX_CHECK(createNumericAttribute(hoveredPatch, "hoveredPatch", "hp", MFnNumericData::kInt, -1.0,
                                        kAttrNotStorable | kAttrHidden));
    PELLIX_CHECK(addAttribute(hoveredPatch));
    PELLIX_CHECK(createIntArrayAttribute(selectedPatches, "selectedPatches", "sps",
                                         kAttrNotStorable | kAttrReadable | kAttrWritable | kAttrNotConnectable |
                                             kAttrHidden));
    PELLIX_CHECK(addAttribute(selectedPatches));

    PELLIX_CHECK(createIntArrayAttribute(patchVertexCounts, "patchVertexCounts", "pvc", kPatchArrayFlags));
    PELLIX_CHECK(addAttribute(patchVertexCounts));
    PELLIX_CHECK(
        createIntArrayAttribute(patchDriverVertexIndices, "patchDriverVertexIndices", "pdvi", kPatchArrayFlags));
    PELLIX_CHECK(addAttribute(patchDriverVertexIndices));
    PELLIX_CHECK(createIntArrayAttribute(patchTriangleOffsets, "patchTriangleOffsets", "pto", kPatchArrayFlags));
    PELLIX_CHECK(addAttribute(patchTriangleOffsets));
    PELLIX_CHECK(createIntArrayAttribute(patchTriangleCounts, "patchTriangleCounts", "ptc", kPatchArrayFlags));
    PELLIX_CHECK(addAttribute(patchTriangleCounts));
    PELLIX_CHECK(createIntArrayAttribute(patchTriangleIndices, "patchTriangleIndices", "pti", kPatchArrayFlags));
    PELLIX_CHECK(addAttribute(patchTriangleIndices));
    PELLIX_CHECK(createIntArrayAttribute(patchEdgeOffsets, "patchEdgeOffsets", "peo", kPatchArrayFlags));
    PELLIX_CHECK(addAttribute(patchEdgeOffsets));
    PELLIX_CHECK(createIntArrayAttribute(patchEdgeCounts, "patchEdgeCounts", "pec", kPatchArrayFlags));
    PELLIX_CHECK(addAttribute(patchEdgeCounts));
    PELLIX_CHECK(createIntArrayAttribute(patchEdgeIndices, "patchEdgeIndices", "pei", kPatchArrayFlags));
    PELLIX_CHECK(addAttribute(patchEdgeIndices));

    PELLIX_CHECK(createStringArrayAttribute(patchSourcePaths, "patchSourcePaths", "psrc", kPatchArrayFlags));
    PELLIX_CHECK(addAttribute(patchSourcePaths));
    PELLIX_CHECK(createStringArrayAttribute(patchSelectPaths, "patchSelectPaths", "psp", kPatchArrayFlags));
    PELLIX_CHECK(addAttribute(patchSelectPaths));

    PELLIX_CHECK(createMessageAttribute(patchSourceMeshes, "patchSourceMeshes", "psm", kMessageArrayFlags));
    PELLIX_CHECK(addAttribute(patchSourceMeshes));
    PELLIX_CHECK(createMessageAttribute(patchControl, "patchControl", "pctl", kMessageArrayFlags));
    PELLIX_CHECK(addAttribute(patchControl));
    PELLIX_CHECK(createMessageAttribute(trackedShapeControls, "trackedShapeControls", "tsc", kMessageArrayFlags));
    PELLIX_CHECK(addAttribute(trackedShapeControls));

    // Everything else (display attributes, patch arrays, hover and selection) is
    // invalidated by the node's own dirty handling, not by affects relations.
    PELLIX_CHECK(attributeAffects(inMesh, evaluatedMesh));
    PELLIX_CHECK(attributeAffects(inMesh, geometryChanging));
    return MS::kSuccess;
}

PellixDataOverlay* PellixDataOverlay::fromObject(const MObject& node)
{
    if (node.isNull() || !node.hasFn(MFn::kDependencyNode)) {
        return nullptr;
    }
    MStatus status;
    MFnDependencyNode fn(node, &status);
    if (!status || fn.typeId() != id) {
        return nullptr;
    }
    return static_cast<PellixDataOverlay*>(fn.userNode());
}

MStatus PellixDataOverlay::readIntArray(const MObject& node, const MObject& attribute, MIntArray& values)
{
    MStatus status;
    const MPlug plug(node, attribute);
    if (plug.isNull()) {
        return MS::kInvalidParameter;
    }
    const MObject data = plug.asMObject(&status);
    PELLIX_PASS_ON(status);
    MFnIntArrayData array(data, &status);
    PELLIX_PASS_ON(status);
    values = array.array(&status);
    return status;
}

OverlayDrawData::PatchArrays PellixDataOverlay::StoredPatchArrays::spans() const
{
    OverlayDrawData::IntSpan span[kPatchArrayCount];
    for (int i = 0; i < kPatchArrayCount; ++i) {
        span[i].length = values[i].length();
        span[i].data = intArrayData(values[i]);
    }
    OverlayDrawData::PatchArrays arrays;
    arrays.vertexCounts = span[0];
    arrays.driverVertexIndices = span[1];
    arrays.triangleOffsets = span[2];
    arrays.triangleCounts = span[3];
    arrays.triangleIndices = span[4];
    arrays.edgeOffsets = span[5];
    arrays.edgeCounts = span[6];
    arrays.edgeIndices = span[7];
    return arrays;
}

PatchMatching::StoredPatchArrays PellixDataOverlay::StoredPatchArrays::matchingSpans() const
{
    const OverlayDrawData::PatchArrays drawn = spans();
    const auto span = [](const OverlayDrawData::IntSpan& s) { return PatchMatching::IntSpan{s.data, s.length}; };
    PatchMatching::StoredPatchArrays arrays;
    arrays.vertexCounts = span(drawn.vertexCounts);
    arrays.driverVertexIndices = span(drawn.driverVertexIndices);
    arrays.triangleOffsets = span(drawn.triangleOffsets);
    arrays.triangleCounts = span(drawn.triangleCounts);
    arrays.triangleIndices = span(drawn.triangleIndices);
    arrays.edgeOffsets = span(drawn.edgeOffsets);
    arrays.edgeCounts = span(drawn.edgeCounts);
    arrays.edgeIndices = span(drawn.edgeIndices);
    return arrays;
}

const MObject& PellixDataOverlay::patchArrayAttribute(int index)
{
    static const MObject* const attributes[kPatchArrayCount] = {
        &patchVertexCounts,    &patchDriverVertexIndices, &patchTriangleOffsets, &patchTriangleCounts,
        &patchTriangleIndices, &patchEdgeOffsets,         &patchEdgeCounts,      &patchEdgeIndices};
    return *attributes[index];
}

bool PellixDataOverlay::readPatchArrays(const MObject& node, StoredPatchArrays& arrays)
{
    for (int i = 0; i < kPatchArrayCount; ++i) {
        if (!readIntArray(node, patchArrayAttribute(i), arrays.values[i])) {
            return false;
        }
    }
    return true;
}

bool PellixDataOverlay::readEvaluatedPoints(const MObject& node, EvaluatedPoints& points)
{
    points = EvaluatedPoints();
    MStatus status;
    const MObject mesh = MPlug(node, evaluatedMesh).asMObject(&status);
    if (!status || mesh.isNull() || !(mesh.hasFn(MFn::kMeshData) || mesh.hasFn(MFn::kMesh))) {
        return false;
    }
    MFnMesh fnMesh(mesh, &status);
    if (!status) {
        return false;
    }
    const float* raw = fnMesh.getRawPoints(&status);
    if (!status || raw == nullptr) {
        return false;
    }
    const int count = fnMesh.numVertices(&status);
    if (!status || count <= 0) {
        return false;
    }
    points.mesh = mesh;
    points.points = raw;
    points.count = count;
    return true;
}

namespace {

// The raw points of a mesh data object, null when it has none.
const float* rawPointsOf(const MObject& mesh, int64_t& count)
{
    count = 0;
    if (mesh.isNull() || !(mesh.hasFn(MFn::kMeshData) || mesh.hasFn(MFn::kMesh))) {
        return nullptr;
    }
    MStatus status;
    MFnMesh fnMesh(mesh, &status);
    const float* raw = status ? fnMesh.getRawPoints(&status) : nullptr;
    const int vertices = status ? fnMesh.numVertices(&status) : 0;
    if (!status || raw == nullptr || vertices <= 0) {
        return nullptr;
    }
    count = vertices;
    return raw;
}

// The vertices [first, end) outside which two point arrays agree: compared from both ends a
// block at a time, then a vertex at a time inside the differing blocks, so a deformation
// moving everything costs next to nothing and a single moved vertex one pass.
void differingRange(const float* a, const float* b, int64_t count, int64_t& first, int64_t& end)
{
    constexpr int64_t kBlock = 256;
    constexpr size_t kVertexBytes = 3 * sizeof(float);
    auto differ = [a, b](int64_t from, int64_t n) {
        return std::memcmp(a + from * 3, b + from * 3, size_t(n) * kVertexBytes) != 0;
    };
    first = 0;
    while (first < count && !differ(first, std::min(kBlock, count - first))) {
        first += kBlock;
    }
    first = std::min(first, count);
    while (first < count && !differ(first, 1)) {
        ++first;
    }
    end = count;
    while (end > first && !differ(std::max(end - kBlock, first), end - std::max(end - kBlock, first))) {
        end = std::max(end - kBlock, first);
    }
    while (end > first && !differ(end - 1, 1)) {
        --end;
    }
}

} // namespace

void PellixDataOverlay::noteMovedRange(const MObject& previous, const MObject& incoming)
{
    int64_t wasCount = 0, count = 0;
    const float* was = rawPointsOf(previous, wasCount);
    const float* now = rawPointsOf(incoming, count);
    MovedRange range;
    {
        std::lock_guard<std::mutex> lock(fMutex);
        range.evaluation = ++fEvaluation;
        // Points shared with the incoming mesh may have been edited with it: only two
        // separate arrays, the older still the one the last evaluation noted, can be compared.
        range.known = was != nullptr && now != nullptr && was != now && was == fEvaluatedPoints && wasCount == count;
        fEvaluatedPoints = nullptr; // until the copy is noted
    }
    if (range.known) {
        differingRange(was, now, count, range.first, range.end);
    }
    {
        std::lock_guard<std::mutex> lock(fMutex);
        fMovedRanges[range.evaluation % kMovedRangeHistory] = range;
    }
    if (range.known && range.first < range.end && range.end - range.first <= kFewMovedVertices) {
        if (void (*listener)() = fewVerticesMovedListener.load(std::memory_order_acquire)) {
            listener();
        }
    }
}

void PellixDataOverlay::setFewVerticesMovedListener(void (*listener)())
{
    fewVerticesMovedListener.store(listener, std::memory_order_release);
}

void PellixDataOverlay::noteEvaluatedMesh(const MObject& evaluated)
{
    int64_t count = 0;
    const float* points = rawPointsOf(evaluated, count);
    std::lock_guard<std::mutex> lock(fMutex);
    fEvaluatedMesh = evaluated;
    fEvaluatedPoints = points;
}

void PellixDataOverlay::noteUnknownEvaluation()
{
    std::lock_guard<std::mutex> lock(fMutex);
    const uint64_t evaluation = ++fEvaluation;
    fMovedRanges[evaluation % kMovedRangeHistory] = MovedRange{evaluation, false, 0, 0};
    fEvaluatedMesh = MObject::kNullObj;
    fEvaluatedPoints = nullptr;
}

uint64_t PellixDataOverlay::evaluationOf(const float* points) const
{
    std::lock_guard<std::mutex> lock(fMutex);
    return points != nullptr && points == fEvaluatedPoints ? fEvaluation : 0;
}

bool PellixDataOverlay::movedSince(uint64_t since, int64_t& first, int64_t& end) const
{
    std::lock_guard<std::mutex> lock(fMutex);
    if (since == 0 || since > fEvaluation || fEvaluation - since >= kMovedRangeHistory) {
        return false;
    }
    first = INT64_MAX;
    end = 0;
    for (uint64_t e = since + 1; e <= fEvaluation; ++e) {
        const MovedRange& range = fMovedRanges[e % kMovedRangeHistory];
        if (range.evaluation != e || !range.known) {
            return false;
        }
        if (range.first < range.end) {
            first = std::min(first, range.first);
            end = std::max(end, range.end);
        }
    }
    if (first >= end) {
        first = end = 0;
    }
    return true;
}

MObject PellixDataOverlay::connectedSource(const MObject& node, const MObject& messageArray, unsigned index)
{
    MStatus status;
    const MPlug array(node, messageArray);
    if (array.isNull()) {
        return MObject::kNullObj;
    }
    const MPlug element = array.elementByLogicalIndex(index, &status);
    return status ? sourceNodeOf(element) : MObject::kNullObj;
}

void PellixDataOverlay::postConstructor()
{
    MObject self = thisMObject();
    fSelf = self;
    MStatus status;
    MFnDependencyNode node(self, &status);
    PELLIX_REPORT(status);
    if (status) {
        node.setName("pellixDataOverlayShape#", false, &status);
        PELLIX_REPORT(status);
        if (!node.setIcon("out_normalDetail.png")) {
            MGlobal::displayWarning("pellixDataOverlay: could not load its Maya node icon.");
        }
    }
    registerCreatedOverlayNode(self);
    rearmReadoutTracking();
}

MStatus PellixDataOverlay::compute(const MPlug& plug, MDataBlock& data)
{
    MStatus status;
    if (plug == geometryChanging) {
        MDataHandle output = data.outputValue(geometryChanging, &status);
        PELLIX_CHECK(status);
        output.setBool(true);
        output.setClean();
        return MS::kSuccess;
    }
    if (plug == evaluatedMesh) {
        MDataHandle input = data.inputValue(inMesh, &status);
        PELLIX_CHECK(status);
        MDataHandle output = data.outputValue(evaluatedMesh, &status);
        PELLIX_CHECK(status);
        // The moved range is found before the copy, which may reuse the previous mesh.
        noteMovedRange(output.data(), input.data());
        PELLIX_CHECK(output.copy(input));
        output.setClean();
        noteEvaluatedMesh(output.data());
        return MS::kSuccess;
    }
    return MS::kUnknownParameter;
}

MStatus PellixDataOverlay::postEvaluation(const MDGContext& context, const MEvaluationNode& evaluationNode,
                                          PostEvaluationType evalType)
{
    // The evaluation manager dirties no plugs on its way: a new driver shape reaches the
    // counter (and the mouse filter's pick data) through here.
    if (evaluationNode.dirtyPlugExists(evaluatedMesh)) {
        // Points restored from a cache came without an evaluation noting what moved.
        if (evalType != kEvaluatedDirectly) {
            noteUnknownEvaluation();
        }
        bump(fGeometryCounter);
    }
    if (evalType == kEvaluatedDirectly && evaluationNode.dirtyPlugExists(geometryChanging)) {
        MDataBlock block = forceCache();
        MStatus status;
        MDataHandle output = block.outputValue(geometryChanging, &status);
        if (status) {
            output.setBool(true);
            output.setClean();
        } else {
            PELLIX_REPORT(status);
        }
    }
    return MPxLocatorNode::postEvaluation(context, evaluationNode, evalType);
}

MPxNode::SchedulingType PellixDataOverlay::schedulingType() const
{
    return kParallel;
}

void PellixDataOverlay::getCacheSetup(const MEvaluationNode& evalNode, MNodeCacheDisablingInfo& disablingInfo,
                                      MNodeCacheSetupInfo& cacheSetupInfo, MObjectArray& monitoredAttributes) const
{
    MPxLocatorNode::getCacheSetup(evalNode, disablingInfo, cacheSetupInfo, monitoredAttributes);
    if (!disablingInfo.getCacheDisabled()) {
        cacheSetupInfo.setPreference(MNodeCacheSetupInfo::kWantToCacheByDefault, true);
    }
}

bool PellixDataOverlay::isGeometryChanging()
{
    MDataBlock block = forceCache();
    MStatus status;
    MDataHandle value = block.inputValue(geometryChanging, &status);
    return status ? value.asBool() : true;
}

void PellixDataOverlay::clearGeometryChanging()
{
    MDataBlock block = forceCache();
    MStatus status;
    MDataHandle value = block.outputValue(geometryChanging, &status);
    PELLIX_REPORT(status);
    if (status) {
        value.setBool(false);
        value.setClean();
    }
}

MStatus PellixDataOverlay::setDependentsDirty(const MPlug& plug, MPlugArray& affected)
{
    if (MEvaluationManager::graphConstructionActive() && plug == inMesh) {
        const MObject self = thisMObject();
        affected.append(MPlug(self, evaluatedMesh));
        affected.append(MPlug(self, geometryChanging));
    }

    // A marker shown for this overlay's hover goes when the setting changes; hovering shows it
    // again only while the setting is on.
    if (plug == drawMarker) {
        hideHoverMarker();
    }

    // A colour channel counts as its colour.
    const MObject attribute = plug.isChild() ? plug.parent().attribute() : plug.attribute();
    if (attribute == patchVertexCounts || attribute == patchDriverVertexIndices ||
        attribute == patchTriangleOffsets || attribute == patchTriangleCounts ||
        attribute == patchTriangleIndices || attribute == patchEdgeOffsets || attribute == patchEdgeCounts ||
        attribute == patchEdgeIndices) {
        bump(fTopologyCounter);
        requestDrawDirty(true);
    } else if (attribute == hoveredPatch || attribute == selectedPatches) {
        bump(fHighlightCounter);
        requestDrawDirty(true);
    } else if (attribute == enable || attribute == color || attribute == hoverColor ||
               attribute == selectedColor || attribute == transparency || attribute == hoverTransparency ||
               attribute == selectedTransparency || attribute == drawInXray || attribute == drawWireframe ||
               attribute == wireframeWidth || attribute == showTransformReadout ||
               attribute == readoutTextSize) {
        bump(fDisplayCounter);
        requestDrawDirty(false);
    } else if (attribute == inMesh) {
        bump(fGeometryCounter);
        requestDrawDirty(false);
    } else if (attribute == liveDraw) {
        {
            std::lock_guard<std::mutex> lock(fMutex);
            fBoundsValid = false;
        }
        bump(fGeometryCounter);
        requestDrawDirty(true);
    }

    if (attribute == selectedPatches || attribute == showTransformReadout) {
        rearmReadoutTracking();
    }
    return MS::kSuccess;
}

MStatus PellixDataOverlay::connectionMade(const MPlug& plug, const MPlug& otherPlug, bool asSrc)
{
    const MStatus result = MPxLocatorNode::connectionMade(plug, otherPlug, asSrc);
    if (!asSrc) {
        if (plug == inMesh) {
            attachDriver(otherPlug);
        } else if (plug.attribute() == patchControl) {
            controlConnectionChanged();
        } else if (plug.attribute() == patchSourceMeshes) {
            watchPatchMesh(plug.logicalIndex(), otherPlug.node());
            patchColoursChanged();
        }
    }
    return result;
}

MStatus PellixDataOverlay::connectionBroken(const MPlug& plug, const MPlug& otherPlug, bool asSrc)
{
    const MStatus result = MPxLocatorNode::connectionBroken(plug, otherPlug, asSrc);
    if (!asSrc) {
        if (plug == inMesh) {
            detachDriver();
            bump(fGeometryCounter);
            requestDrawDirty(false);
        } else if (plug.attribute() == patchControl) {
            controlConnectionChanged();
        } else if (plug.attribute() == patchSourceMeshes) {
            unwatchPatchMesh(plug.logicalIndex());
            patchColoursChanged();
        }
    }
    return result;
}

bool PellixDataOverlay::isBounded() const
{
    return true;
}

MBoundingBox PellixDataOverlay::boundingBox() const
{
    // Local space: the driver's world box brought back through the overlay's own matrix.
    MMatrix inverse;
    MDagPath self;
    if (MDagPath::getAPathTo(thisMObject(), self)) {
        MStatus status;
        const MMatrix selfInverse = self.inclusiveMatrixInverse(&status);
        if (status) {
            inverse = selfInverse;
        }
    }
    const uint64_t version = geometryCounter();

    MObject driver;
    unsigned instance = 0;
    {
        std::lock_guard<std::mutex> lock(fMutex);
        if (fBoundsValid && fBoundsVersion == version && fCachedInverse.isEquivalent(inverse, 1e-10)) {
            return fCachedBounds;
        }
        if (fDriverNode.isValid() && fDriverNode.isAlive()) {
            driver = fDriverNode.object();
            instance = fDriverInstance;
        }
    }
    MDagPath path;
    if (driver.isNull() || !pathOfInstance(driver, instance, path)) {
        return MPxLocatorNode::boundingBox();
    }
    MStatus status;
    MFnDagNode driverNode(path, &status);
    if (!status) {
        return MPxLocatorNode::boundingBox();
    }
    MBoundingBox box = driverNode.boundingBox(&status);
    if (!status) {
        return MPxLocatorNode::boundingBox();
    }
    const MMatrix world = path.inclusiveMatrix(&status);
    if (!status) {
        return MPxLocatorNode::boundingBox();
    }
    box.transformUsing(world * inverse);

    std::lock_guard<std::mutex> lock(fMutex);
    // A change while the box was measured makes it stale already: don't keep it.
    if (geometryCounter() == version) {
        fCachedBounds = box;
        fCachedInverse = inverse;
        fBoundsVersion = version;
        fBoundsValid = true;
    }
    return box;
}

void PellixDataOverlay::refreshLiveDraw()
{
    {
        std::lock_guard<std::mutex> lock(fMutex);
        fBoundsValid = false;
    }
    bump(fGeometryCounter);
    requestDrawDirty(true);
}

void PellixDataOverlay::attachDriver(const MPlug& source)
{
    MStatus status;
    const unsigned instance = source.isElement() ? source.logicalIndex() : 0u;
    const MObject driver = source.node();
    bool fromWorldMesh = false;
    if (!driver.isNull()) {
        MFnDependencyNode driverNode(driver, &status);
        if (status) {
            const MObject worldMesh = driverNode.attribute("worldMesh", &status);
            fromWorldMesh = status && !worldMesh.isNull() && source.attribute() == worldMesh;
        }
    }

    detachDriver();
    if (!driver.isNull()) {
        {
            std::lock_guard<std::mutex> lock(fMutex);
            fDriverNode = driver;
            fDriverInstance = instance;
            fBoundsValid = false;
        }
        fDrivenByWorldMesh.store(fromWorldMesh, std::memory_order_release);
        updateDriverMatrix();
        MDagPath path;
        if (pathOfInstance(driver, instance, path)) {
            const MCallbackId callback =
                MDagMessage::addWorldMatrixModifiedCallback(path, driverMatrixChanged, this, &status);
            if (status) {
                fDriverMatrixCallback = callback;
            } else {
                PELLIX_REPORT(status);
            }
        }
    }
    bump(fGeometryCounter);
    requestDrawDirty(false);
}

void PellixDataOverlay::detachDriver()
{
    if (fDriverMatrixCallback != 0) {
        PELLIX_REPORT(MMessage::removeCallback(fDriverMatrixCallback));
        fDriverMatrixCallback = 0;
    }
    std::lock_guard<std::mutex> lock(fMutex);
    fDriverNode = MObjectHandle();
    fDriverInstance = 0;
    fDrivenByWorldMesh.store(false, std::memory_order_release);
    fDriverMatrix = MMatrix();
    fBoundsValid = false;
}

void PellixDataOverlay::updateDriverMatrix()
{
    MObject driver;
    unsigned instance = 0;
    {
        std::lock_guard<std::mutex> lock(fMutex);
        if (!fDriverNode.isValid() || !fDriverNode.isAlive()) {
            return;
        }
        driver = fDriverNode.object();
        instance = fDriverInstance;
    }
    MDagPath path;
    if (!pathOfInstance(driver, instance, path)) {
        return;
    }
    MStatus status;
    const MMatrix world = path.inclusiveMatrix(&status);
    if (!status) {
        PELLIX_REPORT(status);
        return;
    }
    std::lock_guard<std::mutex> lock(fMutex);
    fDriverMatrix = world;
}

void PellixDataOverlay::driverMatrixChanged(MObject&, MDagMessage::MatrixModifiedFlags&, void* clientData)
{
    auto* overlay = static_cast<PellixDataOverlay*>(clientData);
    overlay->updateDriverMatrix();
    bump(overlay->fGeometryCounter);
    overlay->requestDrawDirty(false);
}

void PellixDataOverlay::controlConnectionChanged()
{
    rearmReadoutTracking();
    bump(fTrackedCounter);
    requestDrawDirty(false);
}

void PellixDataOverlay::rearmReadoutTracking()
{
    removeReadoutCallbacks();

    // Only patches of one transform control show a readout.
    MObject self = thisMObject();
    MStatus status;
    const bool showReadout = MPlug(self, showTransformReadout).asBool(&status);
    if (!status || !showReadout) {
        return;
    }
    MIntArray selected;
    MIntArray counts;
    if (!readIntArray(self, selectedPatches, selected) || !readIntArray(self, patchVertexCounts, counts)) {
        return;
    }
    MObject control;
    MDagPath path;
    if (!readoutControl(self, selected, counts.length(), control, path)) {
        return;
    }
    MObject transform = path.node();

    MCallbackId callback = MNodeMessage::addNodeDirtyPlugCallback(control, readoutControlDirty, this, &status);
    if (status) {
        fReadoutCallbacks.append(callback);
    }
    if (transform != control) {
        callback = MNodeMessage::addNodeDirtyPlugCallback(transform, readoutControlDirty, this, &status);
        if (status) {
            fReadoutCallbacks.append(callback);
        }
    }
}

MObject PellixDataOverlay::drivenBy(const MDagPath& driver)
{
    MStatus status;
    const unsigned instance = driver.instanceNumber(&status);
    const MObjectArray overlays = liveOverlayNodes();
    for (unsigned i = 0; status && i < overlays.length(); ++i) {
        MPlugArray sources;
        if (!MPlug(overlays[i], inMesh).connectedTo(sources, true, false) || sources.length() == 0) {
            continue;
        }
        const MPlug& source = sources[0];
        if (source.node() == driver.node() && (!source.isElement() || source.logicalIndex() == instance)) {
            return overlays[i];
        }
    }
    return MObject::kNullObj;
}

bool PellixDataOverlay::patchControlTransform(const MObject& node, unsigned patch, MObject& control,
                                              MDagPath& transform)
{
    control = connectedSource(node, patchControl, patch);
    if (control.isNull() || !control.hasFn(MFn::kDagNode) || !MDagPath::getAPathTo(control, transform)) {
        return false;
    }
    if (!control.hasFn(MFn::kTransform)) {
        transform.pop();
    }
    return transform.isValid() && transform.node().hasFn(MFn::kTransform);
}

bool PellixDataOverlay::readoutControl(const MObject& node, const MIntArray& selected, size_t patchCount,
                                       MObject& control, MDagPath& transform)
{
    if (selected.length() == 0) {
        return false;
    }
    for (unsigned i = 0; i < selected.length(); ++i) {
        if (selected[i] < 0 || static_cast<size_t>(selected[i]) >= patchCount) {
            return false;
        }
    }
    if (!patchControlTransform(node, static_cast<unsigned>(selected[0]), control, transform)) {
        return false;
    }
    for (unsigned i = 1; i < selected.length(); ++i) {
        if (connectedSource(node, patchControl, static_cast<unsigned>(selected[i])) != control) {
            return false;
        }
    }
    return true;
}

void PellixDataOverlay::removeReadoutCallbacks()
{
    for (unsigned i = 0; i < fReadoutCallbacks.length(); ++i) {
        PELLIX_REPORT(MMessage::removeCallback(fReadoutCallbacks[i]));
    }
    fReadoutCallbacks.clear();
}

void PellixDataOverlay::readoutControlDirty(MObject&, MPlug&, void* clientData)
{
    auto* overlay = static_cast<PellixDataOverlay*>(clientData);
    bump(overlay->fTrackedCounter);
    overlay->requestDrawDirty(false);
}

// A patch mesh's own colour is drawn by the overlay: its edits, and its arrival or removal,
// redraw the overlay, whichever way they come (setAttr, undo, redo, addAttr, deleteAttr).
void PellixDataOverlay::watchPatchMesh(unsigned patch, const MObject& mesh)
{
    unwatchPatchMesh(patch);
    MObject node = mesh;
    MStatus status;
    const MCallbackId callback =
        MNodeMessage::addAttributeChangedCallback(node, patchMeshAttributeChanged, this, &status);
    if (status) {
        fPatchMeshCallbacks[patch] = callback;
    } else {
        PELLIX_REPORT(status);
    }
}

void PellixDataOverlay::unwatchPatchMesh(unsigned patch)
{
    const auto found = fPatchMeshCallbacks.find(patch);
    if (found == fPatchMeshCallbacks.end()) {
        return;
    }
    PELLIX_REPORT(MMessage::removeCallback(found->second));
    fPatchMeshCallbacks.erase(found);
}

void PellixDataOverlay::patchMeshAttributeChanged(MNodeMessage::AttributeMessage message, MPlug& plug, MPlug&,
                                                  void* clientData)
{
    const int colourChanges = MNodeMessage::kAttributeSet | MNodeMessage::kAttributeAdded |
                              MNodeMessage::kAttributeRemoved | MNodeMessage::kConnectionMade |
                              MNodeMessage::kConnectionBroken;
    if ((message & colourChanges) == 0) {
        return;
    }
    const MPlug colour = plug.isChild() ? plug.parent() : plug;
    if (colour.partialName(false, false, false, false, false, true) != "pellixPatchColor") {
        return;
    }
    static_cast<PellixDataOverlay*>(clientData)->patchColoursChanged();
}

void PellixDataOverlay::patchColoursChanged()
{
    bump(fPatchColourCounter);
    requestDrawDirty(true);
}

void PellixDataOverlay::requestDrawDirty(bool topologyChanged)
{
    MHWRender::MRenderer::setGeometryDrawDirty(thisMObject(), topologyChanged);
}

void PellixDataOverlay::bump(std::atomic<uint64_t>& counter)
{
    counter.fetch_add(1, std::memory_order_acq_rel);
}
