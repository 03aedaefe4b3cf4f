#include "shapeControl/ShapeControl.h"

#include "plugin/NodeAttributes.h"
#include "plugin/StatusCheck.h"
#include "shapeControl/ShapeControlQueries.h"
#include "shapeControl/ShapeControlRegistry.h"

#include <maya/MDataBlock.h>
#include <maya/MDataHandle.h>
#include <maya/MEvaluationNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnEnumAttribute.h>
#include <maya/MFnGenericAttribute.h>
#include <maya/MFnMesh.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnNurbsCurve.h>
#include <maya/MPlug.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MViewport2Renderer.h>

namespace {

const char* const kStatusSource = "shapeControl";

// Drawing settings the animator may key and that are saved with the scene.
const unsigned kSettingFlags = kAttrKeyable | kAttrReadable | kAttrWritable | kAttrStorable;

// The explicit bounding box: saved, but not a channel.
const unsigned kBoxFlags = kAttrStorable | kAttrNotKeyable | kAttrHidden;

// One enum field: its name and the draw-manager value it stands for.
struct EnumField
{
    const char* name;
    short value;
};

MStatus createEnum(MObject& attr, const char* name, const char* shortName, short defaultValue,
                   const EnumField* fields, unsigned count, unsigned flags)
{
    MStatus status;
    MFnEnumAttribute fn;
    attr = fn.create(name, shortName, defaultValue, &status);
    PELLIX_PASS_ON(status);
    for (unsigned i = 0; i < count; ++i) {
        status = fn.addField(fields[i].name, fields[i].value);
        PELLIX_PASS_ON(status);
    }
    return applyAttributeFlags(fn, flags);
}

// A float with a 0..1 slider range.
MStatus createSoftUnitFloat(MObject& attr, const char* name, const char* shortName, double value, unsigned flags)
{
    MStatus status = createNumericAttribute(attr, name, shortName, MFnNumericData::kFloat, value, flags);
    PELLIX_PASS_ON(status);
    MFnNumericAttribute limits(attr);
    status = limits.setSoftMin(0.0);
    PELLIX_PASS_ON(status);
    return limits.setSoftMax(1.0);
}

// Values of the host's draw-manager primitive, line style and paint style enums.
const EnumField kPrimitiveFields[] = {{"lineStrip", 2}, {"closedLine", 3}, {"Points", 0},
                                      {"Lines", 1},     {"Triangles", 4},  {"TriStrip", 5}};
const EnumField kLineStyleFields[] = {
    {"Solid", 0}, {"shortdotted", 1}, {"shortdashed", 2}, {"dashed", 3}, {"dotted", 4}};
const EnumField kPaintStyleFields[] = {{"Flat", 0}, {"Stippled", 1}, {"Shaded", 2}};

} // namespace

const MTypeId ShapeControl::id(0x140542);
const MString ShapeControl::typeName("shapeControl");

MObject ShapeControl::primitive;
MObject ShapeControl::lineStyle;
MObject ShapeControl::paintStyle;
MObject ShapeControl::lineWidth;
MObject ShapeControl::transparency;
MObject ShapeControl::hoverTransparency;
MObject ShapeControl::selectedTransparency;
MObject ShapeControl::drawInXray;
MObject ShapeControl::wireframe;
MObject ShapeControl::enableHover;
MObject ShapeControl::hoverMarkerScale;
MObject ShapeControl::showTransformReadout;
MObject ShapeControl::useReadoutTextColor;
MObject ShapeControl::readoutTextColor;
MObject ShapeControl::readoutTextSize;
MObject ShapeControl::sliderHandleColor;
MObject ShapeControl::color;
MObject ShapeControl::hoverColor;
MObject ShapeControl::selectedColor;
MObject ShapeControl::inGeometry;
MObject ShapeControl::bbMinX;
MObject ShapeControl::bbMinY;
MObject ShapeControl::bbMinZ;
MObject ShapeControl::bbMaxX;
MObject ShapeControl::bbMaxY;
MObject ShapeControl::bbMaxZ;
MObject ShapeControl::hasBBox;
MObject ShapeControl::inverse;

ShapeControl::ShapeControl()
{
    registerShapeControl();
}

ShapeControl::~ShapeControl()
{
    if (fHasCacheKey) {
        dropShapeControlCurveSamples(fCacheKey);
    }
    if (unregisterShapeControl() == 0) {
        clearShapeControlCurveSamples();
    }
}

void* ShapeControl::creator()
{
    return new ShapeControl();
}

void ShapeControl::postConstructor()
{
    const MObject self = thisMObject();
    fCacheKey = MObjectHandle(self).hashCode();
    fHasCacheKey = true;
    MStatus status;
    MFnDependencyNode node(self, &status);
    PELLIX_REPORT(status);
    if (status) {
        node.setName("ShapeControlShape#", false, &status);
        PELLIX_REPORT(status);
    }
    shapeControlCreated();
}

bool ShapeControl::isDrawingAttribute(const MPlug& plug) const
{
    static const MObject* const kDrawing[] = {
        &inGeometry,       &primitive,         &lineStyle,         &lineWidth,          &transparency,
        &hoverTransparency, &selectedTransparency, &paintStyle,    &drawInXray,         &wireframe,
        &enableHover,      &hoverMarkerScale,  &showTransformReadout, &useReadoutTextColor, &readoutTextSize,
        &bbMinX,           &bbMinY,            &bbMinZ,            &bbMaxX,             &bbMaxY,
        &bbMaxZ,           &hasBBox,           &inverse};
    // Colours and the locator's placement count for the compound and for each of its channels.
    static const MObject* const kColours[] = {&color,
                                              &hoverColor,
                                              &selectedColor,
                                              &readoutTextColor,
                                              &sliderHandleColor,
                                              &MPxLocatorNode::localPosition,
                                              &MPxLocatorNode::localScale};
    const MObject attribute = plug.attribute();
    for (const MObject* drawing : kDrawing) {
        if (attribute == *drawing) {
            return true;
        }
    }
    const MObject parent = plug.isChild() ? plug.parent().attribute() : MObject();
    for (const MObject* colour : kColours) {
        if (attribute == *colour || (!parent.isNull() && parent == *colour)) {
            return true;
        }
    }
    return false;
}

void ShapeControl::geometryChanged()
{
    dropShapeControlCurveSamples(thisMObject());
    ++fGeometrySerial;
    // A live source may hand over the same data object with new points.
    std::lock_guard<std::mutex> lock(fBoxMutex);
    fBoxValid = false;
    fBoxSource = MObjectHandle();
}

MStatus ShapeControl::setDependentsDirty(const MPlug& plug, MPlugArray& plugArray)
{
    if (plug.attribute() == inGeometry) {
        geometryChanged();
    }
    if (isDrawingAttribute(plug)) {
        MHWRender::MRenderer::setGeometryDrawDirty(thisMObject(), true);
    }
    return MPxLocatorNode::setDependentsDirty(plug, plugArray);
}

MStatus ShapeControl::postEvaluation(const MDGContext&, const MEvaluationNode& evaluationNode, PostEvaluationType)
{
    MStatus status;
    const bool geometryDirty = evaluationNode.dirtyPlugExists(inGeometry, &status);
    if (status && geometryDirty) {
        geometryChanged();
        MHWRender::MRenderer::setGeometryDrawDirty(thisMObject(), true);
    }
    return MS::kSuccess;
}

bool ShapeControl::isBounded() const
{
    return true;
}

bool ShapeControl::explicitBox(MDataBlock& block, MBoundingBox& box) const
{
    if (!block.inputValue(hasBBox).asBool()) {
        return false;
    }
    const MPoint low(block.inputValue(bbMinX).asDouble(), block.inputValue(bbMinY).asDouble(),
                     block.inputValue(bbMinZ).asDouble());
    const MPoint high(block.inputValue(bbMaxX).asDouble(), block.inputValue(bbMaxY).asDouble(),
                      block.inputValue(bbMaxZ).asDouble());
    if (low.x == high.x && low.y == high.y && low.z == high.z) {
        return false;
    }
    box = MBoundingBox(low, high);
    return true;
}

bool ShapeControl::geometryBox(MDataBlock& block, MBoundingBox& box) const
{
    MStatus status;
    MDataHandle geometryHandle = block.inputValue(inGeometry, &status);
    const MObject data = status ? geometryHandle.data() : MObject();
    const bool isMesh = status && data.hasFn(MFn::kMeshData);
    const bool isCurve = status && !isMesh && isShapeControlCurve(data);
    if (!isMesh && !isCurve) {
        std::lock_guard<std::mutex> lock(fBoxMutex);
        fBoxValid = false;
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(fBoxMutex);
        if (fBoxValid && fBoxSource.isValid() && fBoxSource.isAlive() && fBoxSource == data) {
            box = fBox;
            return true;
        }
    }
    // Measured outside the lock: the geometry is read-only here.
    MPointArray points;
    if (isMesh) {
        MFnMesh mesh(data, &status);
        if (status) {
            status = mesh.getPoints(points, MSpace::kObject);
        }
    } else {
        MFnNurbsCurve curve(data, &status);
        if (status) {
            status = curve.getCVs(points, MSpace::kObject);
        }
    }
    if (!status || points.length() == 0) {
        return false;
    }
    MBoundingBox measured;
    for (unsigned i = 0; i < points.length(); ++i) {
        measured.expand(points[i]);
    }
    std::lock_guard<std::mutex> lock(fBoxMutex);
    fBoxSource = MObjectHandle(data);
    fBox = measured;
    fBoxValid = true;
    box = measured;
    return true;
}

bool ShapeControl::storedBox(MBoundingBox& box) const
{
    // The node's own data: the stored geometry object itself, not a copy of it.
    MDataBlock block = const_cast<ShapeControl*>(this)->forceCache();
    MBoundingBox given;
    const bool hasGiven = explicitBox(block, given);
    // The box given at creation may be older than the geometry (a live source that grew, a new
    // value set): the geometry is always inside, so the control is never culled while in view.
    if (geometryBox(block, box)) {
        if (hasGiven) {
            box.expand(given);
        }
        return true;
    }
    box = given;
    return hasGiven;
}

MBoundingBox ShapeControl::boundingBox() const
{
    MBoundingBox box;
    return storedBox(box) ? box : MPxLocatorNode::boundingBox();
}

MObject ShapeControl::storedGeometry() const
{
    MDataBlock block = const_cast<ShapeControl*>(this)->forceCache();
    MStatus status;
    MDataHandle geometryHandle = block.inputValue(inGeometry, &status);
    return status ? geometryHandle.data() : MObject();
}

MStatus ShapeControl::initialize()
{
    PELLIX_CHECK(createEnum(primitive, "primitive", "pri", 4, kPrimitiveFields, 6, 0u));
    PELLIX_CHECK(addAttribute(primitive));
    PELLIX_CHECK(createEnum(lineStyle, "lineStyle", "ls", 0, kLineStyleFields, 5, kAttrReadable));
    PELLIX_CHECK(addAttribute(lineStyle));
    PELLIX_CHECK(createEnum(paintStyle, "paintStyle", "paintStyle", 0, kPaintStyleFields, 3, kAttrReadable));
    PELLIX_CHECK(addAttribute(paintStyle));
    PELLIX_CHECK(createNumericAttribute(lineWidth, "lineWidth", "lw", MFnNumericData::kFloat, 2.0, kAttrReadable));
    PELLIX_CHECK(addAttribute(lineWidth));

    PELLIX_CHECK(createSoftUnitFloat(transparency, "transparency", "tp", 0.5, kAttrKeyable | kAttrReadable));
    PELLIX_CHECK(addAttribute(transparency));
    PELLIX_CHECK(createSoftUnitFloat(hoverTransparency, "hoverTransparency", "htp", 0.5, kSettingFlags));
    PELLIX_CHECK(addAttribute(hoverTransparency));
    PELLIX_CHECK(createSoftUnitFloat(selectedTransparency, "selectedTransparency", "stp", 0.5, kSettingFlags));
    PELLIX_CHECK(addAttribute(selectedTransparency));

    PELLIX_CHECK(createNumericAttribute(drawInXray, "drawInXray", "dix", MFnNumericData::kBoolean, 0.0, kSettingFlags));
    PELLIX_CHECK(addAttribute(drawInXray));
    PELLIX_CHECK(createNumericAttribute(wireframe, "wireframe", "wf", MFnNumericData::kBoolean, 0.0, kSettingFlags));
    PELLIX_CHECK(addAttribute(wireframe));
    PELLIX_CHECK(
        createNumericAttribute(enableHover, "enableHover", "eh", MFnNumericData::kBoolean, 1.0, kSettingFlags));
    PELLIX_CHECK(addAttribute(enableHover));

    PELLIX_CHECK(createNumericAttribute(hoverMarkerScale, "hoverMarkerScale", "hms", MFnNumericData::kDouble, 1.0,
                                        kSettingFlags));
    MFnNumericAttribute markerScaleLimits(hoverMarkerScale);
    PELLIX_CHECK(markerScaleLimits.setMin(0.0));
    PELLIX_CHECK(markerScaleLimits.setSoftMax(5.0));
    PELLIX_CHECK(addAttribute(hoverMarkerScale));

    PELLIX_CHECK(createNumericAttribute(showTransformReadout, "showTransformReadout", "strd", MFnNumericData::kBoolean,
                                        1.0, kSettingFlags));
    PELLIX_CHECK(addAttribute(showTransformReadout));
    PELLIX_CHECK(createNumericAttribute(useReadoutTextColor, "useReadoutTextColor", "urtc", MFnNumericData::kBoolean,
                                        1.0, kSettingFlags));
    PELLIX_CHECK(addAttribute(useReadoutTextColor));
    PELLIX_CHECK(createColorAttribute(readoutTextColor, "readoutTextColor", "rtc", 1.0f, 0.95f, 0.55f, kSettingFlags));
    PELLIX_CHECK(addAttribute(readoutTextColor));

    PELLIX_CHECK(
        createNumericAttribute(readoutTextSize, "readoutTextSize", "rts", MFnNumericData::kInt, 15.0, kSettingFlags));
    MFnNumericAttribute textSizeLimits(readoutTextSize);
    PELLIX_CHECK(textSizeLimits.setMin(6.0));
    PELLIX_CHECK(textSizeLimits.setSoftMax(32.0));
    PELLIX_CHECK(addAttribute(readoutTextSize));

    PELLIX_CHECK(createColorAttribute(sliderHandleColor, "sliderHandleColor", "shc", 1.0f, 1.0f, 1.0f, kSettingFlags));
    PELLIX_CHECK(addAttribute(sliderHandleColor));
    PELLIX_CHECK(createColorAttribute(color, "color", "color", 1.0f, 0.0f, 0.0f, kAttrKeyable | kAttrWritable));
    PELLIX_CHECK(addAttribute(color));
    PELLIX_CHECK(createColorAttribute(hoverColor, "hoverColor", "hc", 1.0f, 0.82f, 0.18f, kAttrKeyable | kAttrWritable));
    PELLIX_CHECK(addAttribute(hoverColor));
    PELLIX_CHECK(createColorAttribute(selectedColor, "selectedColor", "scol", 0.056f, 1.0f, 0.366f,
                                      kAttrKeyable | kAttrWritable));
    PELLIX_CHECK(addAttribute(selectedColor));

    // Baked or live geometry: a mesh or a NURBS curve in the shape's object space.
    MStatus status;
    MFnGenericAttribute generic;
    inGeometry = generic.create("inGeometry", "ig", &status);
    PELLIX_CHECK(status);
    PELLIX_CHECK(generic.addDataAccept(MFnData::kMesh));
    PELLIX_CHECK(generic.addDataAccept(MFnData::kNurbsCurve));
    PELLIX_CHECK(applyAttributeFlags(
        generic, kAttrStorable | kAttrReadable | kAttrWritable | kAttrConnectable | kAttrHidden));
    PELLIX_CHECK(addAttribute(inGeometry));

    PELLIX_CHECK(createNumericAttribute(bbMinX, "bbMinX", "bbmnx", MFnNumericData::kDouble, 0.0, kBoxFlags));
    PELLIX_CHECK(addAttribute(bbMinX));
    PELLIX_CHECK(createNumericAttribute(bbMinY, "bbMinY", "bbmny", MFnNumericData::kDouble, 0.0, kBoxFlags));
    PELLIX_CHECK(addAttribute(bbMinY));
    PELLIX_CHECK(createNumericAttribute(bbMinZ, "bbMinZ", "bbmnz", MFnNumericData::kDouble, 0.0, kBoxFlags));
    PELLIX_CHECK(addAttribute(bbMinZ));
    PELLIX_CHECK(createNumericAttribute(bbMaxX, "bbMaxX", "bbmxx", MFnNumericData::kDouble, 0.0, kBoxFlags));
    PELLIX_CHECK(addAttribute(bbMaxX));
    PELLIX_CHECK(createNumericAttribute(bbMaxY, "bbMaxY", "bbmxy", MFnNumericData::kDouble, 0.0, kBoxFlags));
    PELLIX_CHECK(addAttribute(bbMaxY));
    PELLIX_CHECK(createNumericAttribute(bbMaxZ, "bbMaxZ", "bbmxz", MFnNumericData::kDouble, 0.0, kBoxFlags));
    PELLIX_CHECK(addAttribute(bbMaxZ));
    PELLIX_CHECK(createNumericAttribute(hasBBox, "hasBBox", "hbb", MFnNumericData::kBoolean, 0.0, kBoxFlags));
    PELLIX_CHECK(addAttribute(hasBBox));

    PELLIX_CHECK(createNumericAttribute(inverse, "inverse", "inv", MFnNumericData::kBoolean, 0.0,
                                        kAttrStorable | kAttrNotKeyable | kAttrReadable | kAttrWritable));
    PELLIX_CHECK(addAttribute(inverse));
    return MS::kSuccess;
}
