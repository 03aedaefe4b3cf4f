#include "overlay/PellixDataOverlay.h"

#include "plugin/NodeAttributes.h"
#include "plugin/StatusCheck.h"

#include <maya/MFnNumericAttribute.h>

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

} // namespace

const MTypeId PellixDataOverlay::id(0x140548);
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
PellixDataOverlay::~PellixDataOverlay() = default;

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
