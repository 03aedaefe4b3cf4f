#pragma once
// The "shapeControl" locator shape: an animator-facing control drawn by the plug-in, whose
// geometry (a baked mesh or curve, or a unit square) and drawing settings live on the node.

#include <maya/MApiNamespace.h>
#include <maya/MObject.h>
#include <maya/MPxLocatorNode.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

class ShapeControl : public MPxLocatorNode
{
public:
    ShapeControl();
    ~ShapeControl() override;

    static void* creator();
    static MStatus initialize();

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
};
