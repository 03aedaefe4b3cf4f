#pragma once
// The "shapeControl" locator shape: an animator-facing control drawn by the plug-in, whose
// geometry (a baked mesh or curve, or a unit square) and drawing settings live on the node.

#include <maya/MApiNamespace.h>
#include <maya/MBoundingBox.h>
#include <maya/MObject.h>
#include <maya/MObjectHandle.h>
#include <maya/MPxLocatorNode.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

#include <atomic>
#include <mutex>

class ShapeControl : public MPxLocatorNode
{
public:
    ShapeControl();
    ~ShapeControl() override;

    static void* creator();
    static MStatus initialize();

    void postConstructor() override;
    MStatus setDependentsDirty(const MPlug& plug, MPlugArray& plugArray) override;
    MStatus postEvaluation(const MDGContext& context, const MEvaluationNode& evaluationNode,
                           PostEvaluationType evalType) override;
    bool isBounded() const override;
    MBoundingBox boundingBox() const override;

    // The data object held in "inGeometry" itself (not a copy), null when there is none; the
    // drawing keys its caches on its identity.
    MObject storedGeometry() const;

    // Counts the changes of "inGeometry": a live source may hand over the same data object
    // with new points, so the drawing keys its positions on this as well.
    unsigned long long geometrySerial() const { return fGeometrySerial; }

    // The box of the stored geometry joined with the explicit box, in the shape's local space
    // before local position and scale; false when the control has neither.
    bool storedBox(MBoundingBox& box) const;

    static const MTypeId id;
    static const MString typeName;

    static MObject primitive;
    static MObject lineStyle;
    static MObject paintStyle;
    static MObject lineWidth;
    static MObject transparency;
    static MObject hoverTransparency;
    static MObject selectedTransparency;
    static MObject drawInXray;
    static MObject wireframe;
    static MObject enableHover;
    static MObject hoverMarkerScale;
    static MObject showTransformReadout;
    static MObject useReadoutTextColor;
    static MObject readoutTextColor;
    static MObject readoutTextSize;
    static MObject sliderHandleColor;
    static MObject color;
    static MObject hoverColor;
    static MObject selectedColor;
    static MObject inGeometry;
    static MObject bbMinX;
    static MObject bbMinY;
    static MObject bbMinZ;
    static MObject bbMaxX;
    static MObject bbMaxY;
    static MObject bbMaxZ;
    static MObject hasBBox;
    static MObject inverse;

private:
    bool explicitBox(MDataBlock& block, MBoundingBox& box) const;
    bool geometryBox(MDataBlock& block, MBoundingBox& box) const;
    bool isDrawingAttribute(const MPlug& plug) const;
    void geometryChanged();

    // The box of the stored geometry, remembered per data object. The host may ask for
    // bounds from several threads at once, so the three members are read and written only
    // under fBoxMutex.
    mutable std::mutex fBoxMutex;
    mutable MObjectHandle fBoxSource;
    mutable MBoundingBox fBox;
    mutable bool fBoxValid = false;

    std::atomic<unsigned long long> fGeometrySerial{1};

    // The key of this node's curve samples, fixed once the node exists.
    unsigned fCacheKey = 0;
    bool fHasCacheKey = false;
};
