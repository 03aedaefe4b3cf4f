// Shape controls and the hover marker as a view draws them and the mouse meets them: a
// control's normal, hovered and selected looks, its outline and fill, the readout of its
// changes, hovering under the cursor with its ties and refusals, and the marker ring around a
// hovered point at a constant size.

#include "MouseEventRecorder.h"
#include "OwnLocatorType.h"
#include "PanelTestSupport.h"
#include "PluginTestSupport.h"

#include "dg/Registry.h"
#include "hoverMarker/HoverMarkerDrawOverride.h"
#include "hoverMarker/HoverMarkerNode.h"
#include "hoverMarker/HoverMarkerState.h"
#include "shapeControl/ShapeControl.h"
#include "shapeControl/ShapeControlDrawOverride.h"
#include "shapeControl/ShapeControlMouseFilter.h"
#include "shapeControl/ShapeControlRedraw.h"
#include "shapeControl/ShapeControlRegistry.h"
#include "support/TestValues.h"
#include "viewport/FrameRenderer.h"
#include "views/Views.h"

#include <maya/M3dView.h>
#include <maya/MGlobal.h>
#include <maya/MDagPath.h>
#include <maya/MDrawRegistry.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFnMesh.h>
#include <maya/MFrameContext.h>
#include <maya/MIntArray.h>
#include <maya/MPoint.h>
#include <maya/MSelectionList.h>

#include <QRect>
#include <QApplication>
#include <QColor>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QImage>
#include <QMouseEvent>
#include <QWidget>

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

// What the shape-control tests read from a picture of modelPanel4: controls made opaque so their
// colours compare exactly, the colours of their looks, and pixel tests near projected points.

using PixelTest = std::function<bool(const QColor&)>;

inline PixelTest colour(double r, double g, double b, int tolerance = 8)
{
    return [=](const QColor& c) {
        return std::abs(c.red() - int(r * 255 + 0.5)) <= tolerance &&
               std::abs(c.green() - int(g * 255 + 0.5)) <= tolerance &&
               std::abs(c.blue() - int(b * 255 + 0.5)) <= tolerance;
    };
}

// A control's default looks.
const PixelTest kNormal = colour(1.0, 0.0, 0.0);
const PixelTest kHovered = colour(1.0, 0.82, 0.18);
const PixelTest kSelected = colour(0.056, 1.0, 0.366);

class ShapeControlPicture : protected PanelView
{
protected:
    explicit ShapeControlPicture(const std::string& name) : PanelView(name) {}

    // A control "name" with its shape "nameShape", opaque in every state so colours compare exactly.
    static void makeControl(const std::string& name)
    {
        for (const std::string& command :
             {"createNode transform -n " + name, "createNode shapeControl -p " + name + " -n " + name + "Shape",
              "setAttr " + name + "Shape.transparency 0", "setAttr " + name + "Shape.hoverTransparency 0",
              "setAttr " + name + "Shape.selectedTransparency 0", std::string("select -cl")})
            ASSERT_TRUE(mel(command)) << command;
    }

    // Whether a pixel within `radius` of the projected point passes the test.
    bool drawnNear(const MPoint& world, const PixelTest& test, int radius = 2) const
    {
        short cx = 0, cy = 0;
        if (!view.worldToView(world, cx, cy)) return false;
        for (int dy = -radius; dy <= radius; ++dy)
            for (int dx = -radius; dx <= radius; ++dx) {
                const int x = cx + dx, y = cy + dy;
                if (x >= 0 && y >= 0 && x < image.width() && y < image.height() && test(pixel(x, y))) return true;
            }
        return false;
    }

    // How many pixels in a row pass the test, walking across a line through the projected point.
    int thicknessAt(const MPoint& world, const PixelTest& test, int dx, int dy) const
    {
        short cx = 0, cy = 0;
        if (!view.worldToView(world, cx, cy)) return -1;
        int count = 0;
        for (int step = -8; step <= 8; ++step) count += test(pixel(cx + dx * step, cy + dy * step));
        return count;
    }
};

namespace {

class BareFrameContext : public MHWRender::MFrameContext
{
};

class ShapeControlDrawing : public ::testing::Test, protected ShapeControlPicture
{
protected:
    ShapeControlDrawing() : ShapeControlPicture("shapecontrol") {}

    void SetUp() override
    {
        own.emplace("shapeControlDrawTest");
        lookFromTop();
    }

    void TearDown() override { own.reset(); }

    void lookFromTop()
    {
        ASSERT_TRUE(mel("lookThru top modelPanel4; setAttr topShape.orthographicWidth 10"));
        usePanel();
    }

    void lookFromFront()
    {
        ASSERT_TRUE(mel("lookThru persp modelPanel4; setAttr persp.rotate 0 0 0; setAttr persp.translate 0 0 10"));
        usePanel();
    }

    std::optional<OwnShapeControlType> own;
};

// A mesh shape "name" built from positions and quads.
void makeQuadMesh(const char* name, const std::vector<MFloatPoint>& positions, const std::vector<int>& quads)
{
    MFloatPointArray points;
    for (const MFloatPoint& p : positions) points.append(p);
    MIntArray counts, connects;
    for (size_t i = 0; i < quads.size(); i += 4) counts.append(4);
    for (int v : quads) connects.append(v);
    MStatus status;
    MFnMesh mesh;
    const MObject transform = mesh.create(static_cast<int>(points.length()), static_cast<int>(counts.length()),
                                          points, counts, connects, MObject::kNullObj, &status);
    ASSERT_TRUE(status);
    MFnDagNode transformFn(transform);
    const std::string shapePath = MFnDagNode(transformFn.child(0)).fullPathName().asChar();
    ASSERT_TRUE(mel("rename " + shapePath + " " + name + "Shape"));
    ASSERT_TRUE(mel(std::string("rename ") + transformFn.fullPathName().asChar() + " " + name));
}

} // namespace

TEST_F(ShapeControlDrawing, EmptyControlDrawsTheSquarePlacedByLocalScaleAndPosition)
{
    makeControl("ctrl");
    snapshot();
    for (const MPoint& edge : {MPoint(1, 0, 0), MPoint(-1, 0, 0), MPoint(0, 0, 1), MPoint(0, 0, -1)})
        EXPECT_TRUE(drawnNear(edge, kNormal)) << edge.x << " " << edge.z;
    EXPECT_FALSE(drawnNear(MPoint(0, 0, 0), kNormal, 6)) << "drawn as lines, not filled";

    snapshotAfter("setAttr ctrlShape.localScale 2 1 0.5; setAttr ctrlShape.localPosition 0.5 0 0");
    for (const MPoint& edge : {MPoint(2.5, 0, 0), MPoint(-1.5, 0, 0), MPoint(0.5, 0, 0.5), MPoint(0.5, 0, -0.5)})
        EXPECT_TRUE(drawnNear(edge, kNormal)) << edge.x << " " << edge.z;
    EXPECT_FALSE(drawnNear(MPoint(0, 0, 1), kNormal, 4)) << "the unplaced square is gone";
    EXPECT_FALSE(drawnNear(MPoint(1, 0, 0), kNormal, 4));

    // As points only the corners remain, as large as the line is wide.
    snapshotAfter("setAttr ctrlShape.primitive 0; setAttr ctrlShape.lineWidth 1");
    EXPECT_TRUE(drawnNear(MPoint(2.5, 0, 0.5), kNormal, 3));
    EXPECT_FALSE(drawnNear(MPoint(2.5, 0, 0), kNormal, 4));
    const int thin = thicknessAt(MPoint(2.5, 0, 0.5), kNormal, 1, 0);
    snapshotAfter("setAttr ctrlShape.lineWidth 7");
    EXPECT_GE(thicknessAt(MPoint(2.5, 0, 0.5), kNormal, 1, 0), thin + 4);
}

TEST_F(ShapeControlDrawing, ClosedCurveIsDrawnAllRoundAndClosedOnlyOnce)
{
    makeControl("ctrl");
    ASSERT_TRUE(mel("circle -nr 0 1 0 -r 2 -s 8 -n ring; setAttr ring.visibility 0"));
    snapshotAfter("connectAttr ringShape.local ctrlShape.inGeometry");
    for (int i = 0; i < 16; ++i) {
        const double angle = i * M_PI / 8.0;
        EXPECT_TRUE(drawnNear(MPoint(2.0 * std::cos(angle), 0, 2.0 * std::sin(angle)), kNormal)) << "sample " << i;
    }
    EXPECT_FALSE(drawnNear(MPoint(1, 0, 0), kNormal, 4)) << "the square gave way to the curve";

    // The periodic curve's samples already end where they start: no extra closing point.
    std::unique_ptr<MHWRender::MPxDrawOverride> drawOverride(ShapeControlDrawOverride::creator(nodeByName("ctrlShape")));
    BareFrameContext context;
    std::unique_ptr<MUserData> data(
        drawOverride->prepareForDraw(pathNamed("ctrlShape"), pathNamed("top"), context, nullptr));
    const ShapeControlData* drawn = dynamic_cast<const ShapeControlData*>(data.get());
    ASSERT_NE(drawn, nullptr);
    ASSERT_EQ(drawn->polylinePoints.length(), 8u * 8u + 1u);
    EXPECT_LT(drawn->polylinePoints[0].distanceTo(drawn->polylinePoints[64]), 1e-5);
}

TEST_F(ShapeControlDrawing, MeshIsFilledInItsColourOrDrawnAsStyledEdges)
{
    makeControl("ctrl");
    ASSERT_TRUE(mel("polyPlane -n plate -w 2 -h 2 -sx 2 -sy 2; setAttr plate.visibility 0"));
    snapshotAfter("connectAttr plateShape.outMesh ctrlShape.inGeometry");
    for (const MPoint& faceCentre : {MPoint(0.5, 0, 0.5), MPoint(-0.5, 0, -0.5), MPoint(-0.5, 0, 0.5)})
        EXPECT_TRUE(drawnNear(faceCentre, kNormal, 0)) << faceCentre.x << " " << faceCentre.z;
    EXPECT_FALSE(drawnNear(MPoint(1.5, 0, 0), kNormal, 3));

    // The source's points move: the control is drawn where they are now.
    snapshotAfter("move -r 3 0 0 \"plate.vtx[0:8]\"");
    EXPECT_TRUE(drawnNear(MPoint(3.5, 0, 0.5), kNormal, 0)) << "follows its source";
    EXPECT_FALSE(drawnNear(MPoint(-0.5, 0, 0.5), kNormal, 3));
    ASSERT_TRUE(mel("move -r -3 0 0 \"plate.vtx[0:8]\""));

    // Wireframe: the face centres empty, every edge drawn, solid then dashed.
    snapshotAfter("setAttr ctrlShape.wireframe 1");
    EXPECT_FALSE(drawnNear(MPoint(0.5, 0, 0.5), kNormal, 3));
    short x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    ASSERT_TRUE(view.worldToView(MPoint(0, 0, -0.9), x0, y0));
    ASSERT_TRUE(view.worldToView(MPoint(0, 0, 0.9), x1, y1));
    ASSERT_EQ(x0, x1) << "the middle edge runs straight up the image";
    auto gapsAlongMiddleEdge = [&] {
        int gaps = 0;
        for (int y = std::min(y0, y1); y <= std::max(y0, y1); ++y) {
            bool drawn = false;
            for (int dx = -1; dx <= 1; ++dx) drawn = drawn || kNormal(pixel(x0 + dx, y));
            gaps += drawn ? 0 : 1;
        }
        return gaps;
    };
    EXPECT_EQ(gapsAlongMiddleEdge(), 0);
    for (const MPoint& edge : {MPoint(0.5, 0, 0), MPoint(0, 0, 0.5), MPoint(1, 0, 0.5), MPoint(-0.5, 0, -1)})
        EXPECT_TRUE(drawnNear(edge, kNormal)) << edge.x << " " << edge.z;
    snapshotAfter("setAttr ctrlShape.lineStyle 3");
    EXPECT_GT(gapsAlongMiddleEdge(), 4) << "dashed";
}

TEST_F(ShapeControlDrawing, AnotherMeshWithTheSameCountsIsNotDrawnWithStaleTriangles)
{
    // Two squares side by side; the second mesh lists the same corners in another order, so
    // the first mesh's triangles on its vertices would bridge the gap between the squares.
    const std::vector<MFloatPoint> left = {{-3, 0, -1}, {-1, 0, -1}, {-1, 0, 1}, {-3, 0, 1}};
    const std::vector<MFloatPoint> right = {{1, 0, -1}, {3, 0, -1}, {3, 0, 1}, {1, 0, 1}};
    makeQuadMesh("apart", {left[0], left[1], left[2], left[3], right[0], right[1], right[2], right[3]},
                 {0, 3, 2, 1, 4, 7, 6, 5});
    makeQuadMesh("reordered", {left[0], right[2], left[2], left[3], right[0], right[1], left[1], right[3]},
                 {0, 3, 2, 6, 4, 7, 1, 5});
    makeControl("ctrl");
    ASSERT_TRUE(mel("connectAttr apartShape.outMesh ctrlShape.inGeometry"));

    // Prepared twice in a row by one override, as the renderer does on consecutive frames.
    std::unique_ptr<MHWRender::MPxDrawOverride> drawOverride(ShapeControlDrawOverride::creator(nodeByName("ctrlShape")));
    BareFrameContext context;
    std::unique_ptr<MUserData> data(
        drawOverride->prepareForDraw(pathNamed("ctrlShape"), pathNamed("top"), context, nullptr));
    ASSERT_TRUE(mel("connectAttr -f reorderedShape.outMesh ctrlShape.inGeometry"));
    MUserData* again = drawOverride->prepareForDraw(pathNamed("ctrlShape"), pathNamed("top"), context, data.get());
    ASSERT_EQ(again, data.get()) << "the draw data is reused";

    const ShapeControlData* drawn = dynamic_cast<const ShapeControlData*>(again);
    ASSERT_NE(drawn, nullptr);
    ASSERT_EQ(drawn->triangleCorners.length(), 12u);
    for (unsigned corner = 0; corner < 12; corner += 3) {
        const MPointArray& p = drawn->meshPoints;
        const MUintArray& t = drawn->triangleCorners;
        const double centreX = (p[t[corner]].x + p[t[corner + 1]].x + p[t[corner + 2]].x) / 3.0;
        EXPECT_GE(std::fabs(centreX), 1.0) << "triangle " << corner / 3 << " bridges the gap";
    }

    // And in a view both squares are filled with nothing between them.
    snapshot();
    EXPECT_TRUE(drawnNear(MPoint(-2, 0, 0), kNormal, 0));
    EXPECT_TRUE(drawnNear(MPoint(2, 0, 0), kNormal, 0));
    EXPECT_FALSE(drawnNear(MPoint(0, 0, 0.5), kNormal, 3));
    EXPECT_FALSE(drawnNear(MPoint(0, 0, -0.5), kNormal, 3));
}

TEST_F(ShapeControlDrawing, NormalHoveredAndSelectedLooks)
{
    makeControl("ctrl");
    ASSERT_TRUE(mel("setAttr ctrlShape.lineWidth 3"));
    const MPoint edge(1, 0, 0);
    snapshot();
    ASSERT_TRUE(drawnNear(edge, kNormal));
    const int normalWidth = thicknessAt(edge, kNormal, 1, 0);

    setHoveredShapeControl(nodeByName("ctrlShape"), false);
    snapshot();
    EXPECT_TRUE(drawnNear(edge, kHovered));
    EXPECT_FALSE(drawnNear(edge, kNormal, 4));
    EXPECT_GT(thicknessAt(edge, kHovered, 1, 0), normalWidth) << "hovered lines are wider";

    // Selecting the transform selects the control; the selected colour wins over the hover,
    // while the hover still widens the line.
    snapshotAfter("select -r ctrl");
    EXPECT_TRUE(drawnNear(edge, kSelected));
    EXPECT_FALSE(drawnNear(edge, kHovered, 4));
    const int hoveredSelectedWidth = thicknessAt(edge, kSelected, 1, 0);

    setHoveredShapeControl(MObject(), false);
    snapshot();
    EXPECT_TRUE(drawnNear(edge, kSelected));
    EXPECT_LT(thicknessAt(edge, kSelected, 1, 0), hoveredSelectedWidth);

    snapshotAfter("select -cl");
    EXPECT_TRUE(drawnNear(edge, kNormal));
    EXPECT_EQ(thicknessAt(edge, kNormal, 1, 0), normalWidth);
}

TEST_F(ShapeControlDrawing, NonInteractiveControlsAreNeverDrawnHoveredAndTemplatesDrawAsTemplates)
{
    makeControl("noHover");
    makeControl("templated");
    makeControl("referenced");
    makeControl("overridden");
    makeControl("plate");
    ASSERT_TRUE(mel("setAttr noHover.translateX -3; setAttr templated.translateX 3; setAttr referenced.translateZ 3"));
    ASSERT_TRUE(mel("setAttr overridden.translateZ -3; setAttr plate.translate -3 0 -3"));
    ASSERT_TRUE(mel("setAttr noHoverShape.enableHover 0; setAttr templatedShape.template 1"));
    ASSERT_TRUE(mel("setAttr overriddenShape.overrideEnabled 1; setAttr overriddenShape.overrideDisplayType 1"));
    ASSERT_TRUE(mel("select -r referenced; createDisplayLayer -n refLayer; setAttr refLayer.displayType 2; select -cl"));
    // A filled control under a template layer shows only its edges.
    ASSERT_TRUE(mel("polyPlane -n plateSource -w 2 -h 2 -sx 1 -sy 1; setAttr plateSource.visibility 0"));
    ASSERT_TRUE(mel("connectAttr plateSourceShape.outMesh plateShape.inGeometry"));
    ASSERT_TRUE(mel("select -r plate; createDisplayLayer -n ghosts; setAttr ghosts.displayType 1; select -cl"));
    const PixelTest kTemplate = colour(0.47, 0.47, 0.47, 4);
    const struct
    {
        const char* shape;
        MPoint edge;
        const PixelTest* look;
    } controls[] = {{"noHoverShape", MPoint(-2, 0, 0), &kNormal},
                    {"templatedShape", MPoint(4, 0, 0), &kTemplate},
                    {"referencedShape", MPoint(1, 0, 3), &kNormal},
                    {"overriddenShape", MPoint(1, 0, -3), &kTemplate},
                    {"plateShape", MPoint(-2, 0, -3), &kTemplate}};
    for (const auto& control : controls) {
        setHoveredShapeControl(nodeByName(control.shape), false);
        snapshot();
        EXPECT_TRUE(drawnNear(control.edge, *control.look)) << control.shape;
        EXPECT_FALSE(drawnNear(control.edge, kHovered, 4)) << control.shape;
    }
    EXPECT_FALSE(drawnNear(MPoint(-3, 0, -3), kTemplate, 4)) << "the templated plate is not filled";
    EXPECT_FALSE(drawnNear(MPoint(-3, 0, -3), kNormal, 4));

    // A selected template draws in the selected-template colour, not the control's own.
    snapshotAfter("select -r templated");
    EXPECT_FALSE(drawnNear(MPoint(4, 0, 0), kTemplate, 2));
    EXPECT_FALSE(drawnNear(MPoint(4, 0, 0), kSelected, 4));

    // A hidden control draws nothing at all.
    snapshotAfter("setAttr noHover.visibility 0");
    EXPECT_FALSE(drawnNear(MPoint(-2, 0, 0), kNormal, 4));
}

TEST_F(ShapeControlDrawing, InverseFollowsItsSourceOnlyWhileOnAndConnected)
{
    makeControl("ctrl");
    snapshotAfter("setAttr ctrl.translateX 3; setAttr ctrlShape.inverse 1");
    EXPECT_TRUE(drawnNear(MPoint(4, 0, 0), kNormal)) << "nothing connected: its own matrix";
    EXPECT_TRUE(drawnNear(MPoint(2, 0, 0), kNormal));

    ASSERT_TRUE(mel("circle -nr 0 1 0 -r 0.5 -s 8 -n ring; setAttr ring.translateX -2; setAttr ring.visibility 0"));
    snapshotAfter("connectAttr ringShape.local ctrlShape.inGeometry");
    EXPECT_TRUE(drawnNear(MPoint(-1.5, 0, 0), kNormal)) << "drawn where the source is";
    EXPECT_TRUE(drawnNear(MPoint(-2.5, 0, 0), kNormal));
    EXPECT_FALSE(drawnNear(MPoint(3.5, 0, 0), kNormal, 3));
    snapshotAfter("setAttr ring.translateZ 2");
    EXPECT_TRUE(drawnNear(MPoint(-1.5, 0, 2), kNormal)) << "and follows it";

    snapshotAfter("setAttr ctrlShape.inverse 0");
    EXPECT_TRUE(drawnNear(MPoint(3.5, 0, 0), kNormal)) << "inverse off: back on its own matrix";
    EXPECT_FALSE(drawnNear(MPoint(-1.5, 0, 2), kNormal, 3));

    snapshotAfter("setAttr ctrlShape.inverse 1");
    ASSERT_TRUE(drawnNear(MPoint(-1.5, 0, 2), kNormal));
    snapshotAfter("disconnectAttr ringShape.local ctrlShape.inGeometry");
    EXPECT_TRUE(drawnNear(MPoint(3.5, 0, 0), kNormal)) << "disconnected: the old source no longer steers it";
    EXPECT_FALSE(drawnNear(MPoint(-1.5, 0, 2), kNormal, 3));
}

// The readout follows what a drag in a view changes; a drag is told apart from other changes by
// the mouse filter, called here as it is on a press, each move with a button held, and release.
void dragChange(const std::string& change)
{
    ASSERT_TRUE(mel(change));
    redrawManipulatedControls();
}

// How many times the control was prepared while the event loop ran for `milliseconds`.
int preparesWhileIdle(int milliseconds)
{
    return overrideCallsWhileIdle("ctrlShape", milliseconds)["prepareForDraw"];
}

TEST_F(ShapeControlDrawing, ReadoutShowsWhatADragChangesAndEndsOnTimeWhileAnIdleViewPreparesNothing)
{
    lookFromFront();
    makeControl("ctrl");
    ASSERT_TRUE(mel("select -r ctrl"));
    setHoveredShapeControl(nodeByName("ctrlShape"), false);
    const PixelTest box = [](const QColor& c) { return c.red() < 50 && c.green() < 50 && c.blue() < 50; };
    snapshot();
    EXPECT_EQ(preparesWhileIdle(300), 0) << "a hovered, selected control that does not change is not prepared again";

    // Moved by a script, an undo or a new frame: no readout.
    snapshotAfter("setAttr ctrl.translateX 0.5; setAttr ctrlShape.lineWidth 3");
    // The readout's anchor: 1.2 above the control's origin.
    EXPECT_FALSE(drawnNear(MPoint(0.8, 1.2, 0), box, 3)) << "nothing was dragged";

    beginViewDrag();
    snapshot();
    ASSERT_NO_FATAL_FAILURE(dragChange("setAttr ctrl.translateX 1"));
    snapshot();
    endViewDrag();
    EXPECT_TRUE(drawnNear(MPoint(1.3, 1.2, 0), box, 3)) << "the text box above the dragged control";
    const PixelTest text = [](const QColor& c) { return c.red() > 180 && c.green() > 170 && c.blue() < 170; };
    EXPECT_TRUE(drawnNear(MPoint(1.3, 1.2, 0), text, 12)) << "with its light text";

    // The hold ends 0.9 s after the last change, and the view redraws then by itself.
    EXPECT_GE(preparesWhileIdle(1100), 1);
    snapshot();
    EXPECT_FALSE(drawnNear(MPoint(1.3, 1.2, 0), box, 3)) << "gone 0.9 s after the last change";
    EXPECT_EQ(preparesWhileIdle(300), 0) << "and then nothing more";
}

TEST_F(ShapeControlDrawing, SliderIsSizedInPixelsAlongTheScreenHoweverTheControlIsPlaced)
{
    // The changed attribute's slider runs 96 pixels to the right below the readout: the fill from
    // the default 2 to the value 7 of 0..10 spans half of it, the handle stands upright at 7.
    const struct
    {
        const char* placement;
        double cameraDistance;
    } kCases[] = {
        {"", 10},
        {"setAttr ctrl.scale 10 10 10", 60},
        {"setAttr ctrl.translateZ -60", 10},
        // An inverse control draws in its source's frame, here turned a quarter about the view axis.
        {"circle -n ring -r 0.5; setAttr ring.rotateZ 90; setAttr ring.visibility 0; "
         "connectAttr ringShape.local ctrlShape.inGeometry; setAttr ctrlShape.inverse 1",
         10},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.placement);
        ASSERT_TRUE(mel("file -force -new"));
        lookFromFront();
        ASSERT_TRUE(mel("setAttr persp.translateZ " + std::to_string(c.cameraDistance)));
        makeControl("ctrl");
        if (*c.placement) {
            ASSERT_TRUE(mel(c.placement));
        }
        ASSERT_TRUE(mel("addAttr -ln wiggle -at double -min 0 -max 10 -dv 2 -k 1 ctrl"));
        ASSERT_TRUE(mel("setAttr ctrlShape.sliderHandleColor 0 0 1; setAttr ctrlShape.readoutTextColor 0 1 0"));
        snapshotAfter("select -r ctrl");
        beginViewDrag();
        snapshot();
        ASSERT_NO_FATAL_FAILURE(dragChange("setAttr ctrl.wiggle 7"));
        snapshot();
        endViewDrag();

        // The handle (blue) below the text box, and the unbroken run of the readout's green that
        // ends at it: the fill.
        int boxBottom = -1;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor p = image.pixelColor(x, y);
                if (p.red() < 30 && p.green() < 40 && p.blue() < 40) boxBottom = std::max(boxBottom, y);
            }
        ASSERT_GE(boxBottom, 0) << "the readout is shown";
        QRect handle;
        for (int y = boxBottom + 1; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor p = image.pixelColor(x, y);
                if (p.blue() > 200 && p.red() < 60 && p.green() < 60) handle |= QRect(x, y, 1, 1);
            }
        ASSERT_FALSE(handle.isEmpty());
        int fill = 0;
        for (int y = handle.top(); y <= handle.bottom(); ++y) {
            int run = 0;
            for (int x = handle.left() - 1; x >= 0; --x, ++run) {
                const QColor p = image.pixelColor(x, y);
                if (!(p.green() > 200 && p.red() < 80 && p.blue() < 80)) break;
            }
            fill = std::max(fill, run);
        }
        EXPECT_NEAR(fill, 48, 4) << "fill from 2 to 7 of 0..10 on a 96-pixel slider, along the screen";
        EXPECT_LE(handle.width(), 4);
        EXPECT_NEAR(handle.height(), 12, 3) << "the handle upright";
    }
}

namespace {

// A view of the XZ plane from the top camera, 10 units wide, and the mouse in it.
class HoverView : protected ShapeControlPicture
{
protected:
    HoverView() : ShapeControlPicture("shapehover") {}

    void setUpView()
    {
        ASSERT_TRUE(mel("lookThru top modelPanel4; setAttr topShape.orthographicWidth 10"));
        ASSERT_TRUE(mel("setToolTo selectSuperContext; select -cl"));
        ASSERT_NO_FATAL_FAILURE(usePanel());
        pixelsPerUnit = widgetPoint(MPoint(1, 0, 0)).x() - widgetPoint(MPoint(0, 0, 0)).x();
        // The scenes below keep outlines a few tolerances (10 pixels) apart at this scale.
        ASSERT_GT(pixelsPerUnit, 40.0);
    }

    // A spot of the view where no control of these scenes lies.
    void moveAway() { moveTo(MPoint(-4.5, 0, -3.5)); }

    // Moves the mouse to `to`, and what the outline at `world` then looks like.
    template <typename Place>
    std::string lookAfterMoveTo(const Place& to, const MPoint& world)
    {
        moveTo(to);
        return lookAt(world);
    }

    // What the outline at `world` looks like in a fresh picture.
    std::string lookAt(const MPoint& world)
    {
        snapshot();
        return lookIn(world);
    }
    std::string lookIn(const MPoint& world) const
    {
        const bool hovered = drawnNear(world, kHovered);
        const bool normal = drawnNear(world, kNormal);
        const bool selected = drawnNear(world, kSelected);
        if (hovered + normal + selected != 1) return "unclear";
        return hovered ? "hovered" : normal ? "normal" : "selected";
    }

    double pixelsPerUnit = 0.0;
};

// The loaded module's filter, driven as a person drives it.
class ShapeControlHover : public PellixPluginTest, protected HoverView
{
protected:
    void SetUp() override
    {
        PellixPluginTest::SetUp();
        setUpView();
    }
    void TearDown() override
    {
        releasePanel();
        PellixPluginTest::TearDown();
    }
};

TEST_F(ShapeControlHover, TheControlUnderTheCursorLightsUpWithAThickerLineUntilTheCursorLeaves)
{
    makeControl("ctrl");
    ASSERT_TRUE(mel("setAttr ctrlShape.lineWidth 3"));
    const MPoint right(1, 0, 0), left(-1, 0, 0);
    ASSERT_EQ(lookAt(right), "normal");
    const int normalWidth = thicknessAt(right, kNormal, 1, 0);

    // Within the outline's reach (3.5 line widths), not only on it.
    ASSERT_EQ(lookAfterMoveTo(widgetPoint(right) + QPointF(9, 0), left), "hovered") << "the whole control lights up";
    EXPECT_GT(thicknessAt(right, kHovered, 1, 0), normalWidth);

    EXPECT_EQ(lookAfterMoveTo(widgetPoint(right) + QPointF(14, 0), left), "normal") << "out of reach";
    EXPECT_EQ(lookAfterMoveTo(MPoint(0, 0, 1), left), "hovered");
    EXPECT_EQ(lookAfterMoveTo(MPoint(0, 0, 0), left), "normal") << "an empty square has no inside";

    ASSERT_EQ(lookAfterMoveTo(MPoint(0, 0, -1), left), "hovered");
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type leave"));
    EXPECT_EQ(lookAt(left), "normal");
    EXPECT_EQ(thicknessAt(right, kNormal, 1, 0), normalWidth);
}

TEST_F(ShapeControlHover, CurvesAreHoveredNearTheirOutlineAndMeshesAlsoInside)
{
    makeControl("ring");
    ASSERT_TRUE(mel("circle -nr 0 1 0 -r 2 -s 8 -n circleSource; setAttr circleSource.visibility 0"));
    ASSERT_TRUE(mel("connectAttr circleSourceShape.local ringShape.inGeometry; setAttr ring.translateX -2.2"));
    makeControl("plate");
    ASSERT_TRUE(mel("polyPlane -n plateSource -w 2 -h 2 -sx 4 -sy 4; setAttr plateSource.visibility 0"));
    ASSERT_TRUE(mel("connectAttr plateSourceShape.outMesh plateShape.inGeometry; setAttr plate.translateX 2.5"));
    ASSERT_TRUE(mel("createNode transform -n plateRig; parent plate plateRig; select -cl"));
    const MPoint ringFar(-4.2, 0, 0), plateInside(2.5 + 0.6, 0, 0.6);

    const QPointF ringRight = widgetPoint(MPoint(-0.2, 0, 0));
    EXPECT_EQ(lookAfterMoveTo(ringRight + QPointF(-8, 0), ringFar), "hovered") << "just inside the circle's outline";
    EXPECT_EQ(lookAfterMoveTo(ringRight + QPointF(6, 0), ringFar), "hovered")
        << "just outside it, past the box of its samples";
    EXPECT_EQ(lookAfterMoveTo(ringRight + QPointF(-16, 0), ringFar), "normal") << "further in";
    EXPECT_EQ(lookAfterMoveTo(MPoint(-2.2, 0, 0), ringFar), "normal") << "at its centre";
    EXPECT_EQ(lookAfterMoveTo(MPoint(-2.2 + 2.0 * std::cos(2.0), 0, 2.0 * std::sin(2.0)), ringFar), "hovered")
        << "between samples";

    moveTo(MPoint(2.5 - 0.3, 0, -0.1));
    snapshot();
    EXPECT_EQ(lookIn(plateInside), "hovered") << "on the plate's surface";
    EXPECT_EQ(lookIn(ringFar), "normal");
    const QPointF plateEdge = widgetPoint(MPoint(3.5, 0, 0));
    EXPECT_EQ(lookAfterMoveTo(plateEdge + QPointF(8, 0), plateInside), "hovered") << "near its edge";
    EXPECT_EQ(lookAfterMoveTo(plateEdge + QPointF(16, 0), plateInside), "normal") << "off its edge";

    // The plate is picked where it is now, inside a face away from its edges: moved, its
    // source's points moved, its parent moved, its shape's local position changed.
    const std::pair<const char*, MPoint> changes[] = {{"setAttr plate.translateZ 1.5", MPoint(2.75, 0, 1.75)},
                                                      {"move -r 1 0 0 plateSource.vtx[0:24]", MPoint(3.75, 0, 1.75)},
                                                      {"setAttr plateRig.translateX -2", MPoint(1.75, 0, 1.75)},
                                                      {"setAttr plateShape.localPositionZ -2", MPoint(1.75, 0, -0.25)}};
    for (const auto& [change, inside] : changes) {
        ASSERT_TRUE(mel(change)) << change;
        moveAway();
        EXPECT_EQ(lookAfterMoveTo(inside, inside + MVector(0, 0, 0.2)), "hovered") << change;
        EXPECT_EQ(lookAfterMoveTo(widgetPoint(inside + MVector(0.75, 0, 0)) + QPointF(8, 0), inside), "hovered")
            << change << ": near its edge where it is now";
        EXPECT_EQ(lookAfterMoveTo(inside - MVector(0, 0, 1.5), inside + MVector(0, 0, 0.2)), "normal") << change;
    }
    // In a view grown half as large again, its camera's matrices the same, it is picked where it shows.
    QWidget* window = widget->window();
    const QSize viewSize = widget->size(), windowSize = window->size();
    window->resize(windowSize + viewSize / 2);
    host::processEvents();
    ASSERT_EQ(widget->size(), viewSize * 3 / 2);
    EXPECT_EQ(lookAfterMoveTo(MPoint(1.75, 0, -0.25), MPoint(1.75, 0, -0.05)), "hovered") << "the view resized";
    window->resize(windowSize);
    host::processEvents();
    // Seen from elsewhere, it is picked where it shows now.
    ASSERT_TRUE(mel("setAttr top.translateX 3"));
    EXPECT_EQ(lookAfterMoveTo(MPoint(1.75, 0, -0.25), MPoint(1.75, 0, -0.05)), "hovered") << "the camera moved";
    ASSERT_TRUE(mel("setAttr top.translateX 0"));
    // Inverse, it goes with the shape feeding it, which it does not watch.
    ASSERT_TRUE(mel("setAttr plateShape.inverse 1"));
    EXPECT_EQ(lookAfterMoveTo(MPoint(1, 0, -2), MPoint(1, 0, -1.8)), "hovered") << "inverse";
    ASSERT_TRUE(mel("setAttr plateSource.translateZ 3"));
    EXPECT_EQ(lookAfterMoveTo(MPoint(1, 0, 1), MPoint(1, 0, 1.2)), "hovered") << "inverse, its source moved";
}

TEST_F(ShapeControlHover, AReadoutShowsOnlyWhileTheControlIsDraggedAndADeletedHoverStaysGone)
{
    makeControl("ctrl");
    const PixelTest box = [](const QColor& c) { return c.red() < 50 && c.green() < 50 && c.blue() < 50; };
    // Seen from the top the readout hangs over the control's centre, its box to the right.
    ASSERT_EQ(lookAfterMoveTo(MPoint(1, 0, 0.4), MPoint(-1, 0, 0)), "hovered");
    snapshotAfter("setAttr ctrl.translateX 0.5");
    EXPECT_FALSE(drawnNear(MPoint(0.8, 0, 0), box, 3)) << "moved by a script: no readout";

    // The move tool's X handle, 60 pixels right of the pivot, dragged 40 pixels further.
    ASSERT_TRUE(mel("select -r ctrl; setToolTo moveSuperContext"));
    const QPointF handle = widgetPoint(MPoint(0.5, 0, 0)) + QPointF(60, 0);
    mouse("press", handle, "left");
    mouse("move", handle + QPointF(20, 0));
    mouse("move", handle + QPointF(40, 0));
    const double moved = melDouble("getAttr ctrl.translateX");
    ASSERT_GT(moved, 0.5 + 20.0 / pixelsPerUnit) << "the drag moved the control";
    snapshot();
    EXPECT_TRUE(drawnNear(MPoint(moved + 0.3, 0, 0), box, 3)) << "the readout of the dragged control";
    mouse("release", handle + QPointF(40, 0), "left");
    ASSERT_TRUE(mel("setToolTo selectSuperContext; select -cl"));

    // Deleted while hovered, the control comes back from an undo as it was before it was hovered.
    ASSERT_EQ(lookAfterMoveTo(MPoint(moved + 1, 0, 0.4), MPoint(moved - 1, 0, 0)), "hovered");
    ASSERT_TRUE(MGlobal::executeCommand("delete ctrl", false, true));
    moveAway();
    ASSERT_TRUE(MGlobal::executeCommand("undo", false, true));
    EXPECT_EQ(lookAt(MPoint(moved - 1, 0, 0)), "normal");
}

TEST_F(ShapeControlHover, WithNoShapeControlTheFilterDoesNothing)
{
    MouseEventRecorder recorder(widget);
    widget->setMouseTracking(false);
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type enter -x 5 -y 5"));
    moveTo(MPoint(1, 0, 0));
    EXPECT_FALSE(widget->hasMouseTracking()) << "entering the view changed nothing";
    EXPECT_EQ(recorder.byApplication(QEvent::MouseMove).size(), 1u);

    makeControl("ctrl");
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type enter -x 5 -y 5"));
    EXPECT_TRUE(widget->hasMouseTracking()) << "with a control, entering turns on hover tracking";
    widget->setMouseTracking(true);
}

TEST_F(ShapeControlHover, AltClearsTheHoverAndEveryEventStillReachesTheView)
{
    makeControl("ctrl");
    MouseEventRecorder recorder(widget);
    ASSERT_EQ(lookAfterMoveTo(MPoint(1, 0, 0.2), MPoint(-1, 0, 0)), "hovered");
    moveTo(MPoint(1, 0, -0.2), "alt");
    EXPECT_EQ(lookAt(MPoint(-1, 0, 0)), "normal");

    // A left press picks too, and passes on like every move.
    mouse("press", widgetPoint(MPoint(1, 0, 0.3)), "left");
    EXPECT_EQ(lookAt(MPoint(-1, 0, 0)), "hovered");
    mouse("release", widgetPoint(MPoint(1, 0, 0.3)), "left");

    size_t moves = 0, presses = 0;
    for (const SeenMouseEvent& seen : recorder.seen()) {
        if (seen.byApplication) continue;
        moves += seen.type == QEvent::MouseMove;
        presses += seen.type == QEvent::MouseButtonPress;
    }
    EXPECT_EQ(moves, 2u) << "the view widget saw both moves";
    EXPECT_EQ(presses, 1u);
}

TEST_F(ShapeControlHover, TheMoveRotateAndScaleManipulatorsKeepTheHoverOffTheirHandles)
{
    // A large control whose near edge runs through the pivot of a selected transform, along
    // the move manipulator's X axis as seen from the top.
    makeControl("ctrl");
    ASSERT_TRUE(mel("setAttr ctrlShape.localScale 3 1 3; createNode transform -n target; setAttr target.translate 0 0 3"));
    ASSERT_TRUE(mel("select -r target; setToolTo moveSuperContext"));
    const MPoint pivot(0, 0, 3), farEdge(0, 0, -3);
    const MPoint awayFromHandles(-2.5, 0, 3);                     // on the edge, left of the pivot
    const MPoint onXAxis(60.0 / pixelsPerUnit, 0, 3);             // on the edge, 60 pixels along X

    ASSERT_EQ(lookAfterMoveTo(awayFromHandles, farEdge), "hovered") << "the move tool leaves the rest alone";
    EXPECT_EQ(lookAfterMoveTo(pivot, farEdge), "normal") << "the centre handle";
    ASSERT_EQ(lookAfterMoveTo(awayFromHandles, farEdge), "hovered");
    EXPECT_EQ(lookAfterMoveTo(onXAxis, farEdge), "normal") << "the X axis handle";

    // A tool a script made is known by its class, whatever its name says.
    ASSERT_TRUE(mel("manipMoveContext myMove; setToolTo myMove"));
    ASSERT_EQ(lookAfterMoveTo(awayFromHandles, farEdge), "hovered");
    EXPECT_EQ(lookAfterMoveTo(onXAxis, farEdge), "normal") << "a move tool named by a script";

    ASSERT_TRUE(mel("setToolTo scaleSuperContext"));
    ASSERT_EQ(lookAfterMoveTo(awayFromHandles, farEdge), "hovered");
    EXPECT_EQ(lookAfterMoveTo(onXAxis, farEdge), "normal") << "the scale tool's axis";

    // The rotate ring reaches 66.7 pixels all round, and no further.
    for (const char* rotate : {"RotateSuperContext", "spinner"}) {
        SCOPED_TRACE(rotate);
        ASSERT_TRUE(mel(std::string("if (!`contextInfo -exists spinner`) manipRotateContext spinner; setToolTo ") +
                        rotate));
        EXPECT_EQ(lookAfterMoveTo(MPoint(-50.0 / pixelsPerUnit, 0, 3), farEdge), "normal") << "inside the ring";
        EXPECT_EQ(lookAfterMoveTo(MPoint(-80.0 / pixelsPerUnit, 0, 3), farEdge), "hovered") << "outside the ring";
    }

    // The select tool has no handles, and without a selection no tool shows any.
    ASSERT_TRUE(mel("setToolTo selectSuperContext"));
    EXPECT_EQ(lookAfterMoveTo(pivot, farEdge), "hovered");
    ASSERT_TRUE(mel("setToolTo moveSuperContext; select -cl"));
    moveTo(awayFromHandles);
    EXPECT_EQ(lookAfterMoveTo(pivot, farEdge), "hovered");
}

TEST_F(ShapeControlHover, NearestWinsThenSurfaceThenSelectedThenPathName)
{
    // Two squares sharing the edge x = 1: "aCtrl" round the origin, "bCtrl" to its right. Each
    // one's far edge shows which of them the mouse on the shared edge hovers.
    makeControl("aCtrl");
    makeControl("bCtrl");
    ASSERT_TRUE(mel("setAttr bCtrl.translateX 2"));
    // (Off the middle of the far edges, where a readout box may hang over "bCtrl".)
    const MPoint shared(1, 0, 0.3), aFar(-1, 0, 0.6), bFar(3, 0, 0.6);
    moveTo(shared);
    snapshot();
    EXPECT_EQ(lookIn(aFar), "hovered") << "at the same depth and distance the smaller path name wins";
    EXPECT_EQ(lookIn(bFar), "normal");

    // Raised towards the top camera, "bCtrl" is nearer along the mouse ray.
    ASSERT_TRUE(mel("setAttr bCtrl.translateY 1"));
    moveTo(shared + MVector(0, 0, 0.3));
    snapshot();
    EXPECT_EQ(lookIn(bFar), "hovered") << "the nearer control wins over the smaller name";
    EXPECT_EQ(lookIn(aFar), "normal");

    // Back at the same depth, a selected control wins over the smaller name; its line shows the
    // hover by its width.
    ASSERT_TRUE(mel("setAttr bCtrl.translateY 0; select -r bCtrl"));
    moveTo(shared);
    snapshot();
    EXPECT_EQ(lookIn(aFar), "normal");
    ASSERT_EQ(lookIn(bFar), "selected");
    const int hoveredWidth = thicknessAt(bFar, kSelected, 1, 0);
    moveAway();
    snapshot();
    EXPECT_LT(thicknessAt(bFar, kSelected, 1, 0), hoveredWidth) << "bCtrl was the hovered one";

    // A filled control hit on its surface wins over an outline at the same depth, whatever the
    // names. The square lies a hair above the plate so that it draws on top.
    ASSERT_TRUE(mel("file -force -new"));
    makeControl("zPlate");
    makeControl("aSquare");
    ASSERT_TRUE(mel("polyPlane -n plate -w 2 -h 2 -sx 1 -sy 1; setAttr plate.visibility 0"));
    ASSERT_TRUE(mel("connectAttr plateShape.outMesh zPlateShape.inGeometry"));
    ASSERT_TRUE(mel("setAttr aSquareShape.localScale 0.5 1 0.5; setAttr aSquare.translateY 0.005"));
    moveTo(MPoint(0.5, 0, 0.1));
    snapshot();
    EXPECT_EQ(lookIn(MPoint(0.8, 0, 0.8)), "hovered") << "the plate's fill";
    // A hovered outline would be as yellow as the plate beneath it.
    EXPECT_TRUE(drawnNear(MPoint(-0.5, 0.005, 0), kNormal)) << "the square's outline is not hovered";

    // A steep plate's top edge, near the mouse, is nearer than its surface under the mouse: a
    // square between the two heights loses to the plate, and wins once raised above its edge.
    ASSERT_TRUE(mel("setAttr aSquareShape.localScale 1 1 1; setAttr zPlate.rotateX 80; setAttr zPlate.scaleX 1.5"));
    const double mouseZ = -std::cos(80.0 * M_PI / 180.0) + 4.0 / pixelsPerUnit;
    for (const auto& [height, look] : {std::pair{0.85, "normal"}, std::pair{1.2, "hovered"}}) {
        ASSERT_TRUE(mel("setAttr aSquare.translate 0 " + std::to_string(height) + " " + std::to_string(mouseZ + 1)));
        moveAway();
        EXPECT_EQ(lookAfterMoveTo(MPoint(0, 0, mouseZ), MPoint(0, 0, mouseZ + 2)), look) << "square at " << height;
    }
}

TEST_F(ShapeControlHover, ControlsThatMayNotBeHoveredNeverAre)
{
    // "blocker" lies nearer the top camera than "under" and shares its edge x = 1; when the
    // mouse is on that edge, "under" is hovered only if "blocker" does not count.
    struct Case
    {
        const char* name;
        const char* setting;
        bool blockerCounts;
    };
    const Case cases[] = {
        {"an ordinary control", "", true},
        {"hidden", "setAttr blocker.visibility 0", false},
        {"hidden parent", "createNode transform -n rig; parent blocker rig; setAttr rig.visibility 0", false},
        {"hidden by a parent's override",
         "createNode transform -n rig; parent blocker rig; setAttr rig.overrideEnabled 1; "
         "setAttr rig.overrideVisibility 0",
         false},
        {"hover off", "setAttr blockerShape.enableHover 0", false},
        {"template override", "setAttr blockerShape.overrideEnabled 1; setAttr blockerShape.overrideDisplayType 1",
         false},
        {"a display type without the override switch", "setAttr blocker.overrideDisplayType 2", true},
        {"templated", "setAttr blockerShape.template 1", false},
        {"templated parent", "setAttr blocker.template 1", false},
        {"template layer", "select -r blocker; createDisplayLayer -n layer; setAttr layer.displayType 1; select -cl",
         false},
        {"reference layer", "select -r blocker; createDisplayLayer -n layer; setAttr layer.displayType 2; select -cl",
         false},
        {"reference override",
         "setAttr blockerShape.overrideEnabled 1; setAttr blockerShape.overrideDisplayType 2", false},
        {"reference override on the transform",
         "setAttr blocker.overrideEnabled 1; setAttr blocker.overrideDisplayType 2", false},
        {"reference override on a parent group",
         "createNode transform -n rig; parent blocker rig; setAttr rig.overrideEnabled 1; "
         "setAttr rig.overrideDisplayType 2",
         false},
        {"reference layer holding only the transform",
         "select -r blocker; createDisplayLayer -nr -n layer; setAttr layer.displayType 2; select -cl", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(mel("file -force -new"));
        makeControl("blocker");
        makeControl("under");
        ASSERT_TRUE(mel("setAttr blocker.translateY 1; setAttr under.translateX 2"));
        if (*c.setting) {
            ASSERT_TRUE(mel(c.setting)) << c.setting;
        }
        moveAway();
        moveTo(MPoint(1, 0, 0.2));
        snapshot();
        EXPECT_EQ(lookIn(MPoint(3, 0, 0)), c.blockerCounts ? "normal" : "hovered");
        if (c.blockerCounts) {
            EXPECT_EQ(lookIn(MPoint(-1, 1, 0)), "hovered");
        } else {
            EXPECT_FALSE(drawnNear(MPoint(-1, 1, 0), kHovered, 3)) << "never drawn hovered either";
        }
    }
}

TEST_F(ShapeControlHover, AControlTrackedByAnEnabledOverlayIsLeftToTheOverlay)
{
    makeControl("ctrl");
    makeControl("free");
    ASSERT_TRUE(mel("setAttr free.translateX 3; createNode pellixDataOverlay -n trackerShape"));
    ASSERT_TRUE(mel("connectAttr ctrlShape.message trackerShape.trackedShapeControls[0]"));
    EXPECT_EQ(lookAfterMoveTo(MPoint(1, 0, 0.2), MPoint(-1, 0, 0)), "normal") << "tracked by an enabled overlay";
    EXPECT_EQ(lookAfterMoveTo(MPoint(4, 0, 0.2), MPoint(2, 0, 0)), "hovered") << "an untracked control still is";

    ASSERT_TRUE(mel("setAttr trackerShape.enable 0"));
    EXPECT_EQ(lookAfterMoveTo(MPoint(1, 0, -0.2), MPoint(-1, 0, 0)), "hovered") << "the overlay is off";

    ASSERT_TRUE(mel("setAttr trackerShape.enable 1"));
    EXPECT_EQ(lookAfterMoveTo(MPoint(1, 0, 0.4), MPoint(-1, 0, 0)), "normal");
    ASSERT_TRUE(mel("disconnectAttr ctrlShape.message trackerShape.trackedShapeControls[0]"));
    EXPECT_EQ(lookAfterMoveTo(MPoint(1, 0, -0.4), MPoint(-1, 0, 0)), "hovered") << "no longer tracked";
}

// The moments the panel's widget was sent a mouse move, press or enter event, on one clock.
class EventClock : public QObject
{
public:
    EventClock() { qApp->installEventFilter(this); fClock.start(); }
    ~EventClock() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if ((type == QEvent::MouseMove || type == QEvent::MouseButtonPress || type == QEvent::Enter) &&
            watched == host::panelWidget(kPanel))
            moments.push_back(fClock.nsecsElapsed());
        return false;
    }
    std::vector<qint64> moments;

private:
    QElapsedTimer fClock;
};

TEST_F(ShapeControlHover, SmallQuickMovesAreNotPickedAgain)
{
    makeControl("ctrl");
    const QPointF onEdge = widgetPoint(MPoint(1, 0, 0));
    const MPoint farEdge(-1, 0, 3);

    // hostMouseEvent lets the views redraw after each event (and a hovered control redraws
    // every frame), so events that must follow each other within 8 ms are sent here directly.
    auto send = [&](QEvent::Type type, const QPointF& position, Qt::MouseButton button = Qt::NoButton) {
        if (type == QEvent::Enter) {
            QEnterEvent event(position, position, widget->mapToGlobal(position.toPoint()));
            QApplication::sendEvent(widget, &event);
            return;
        }
        const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
        QMouseEvent event(type, position, widget->mapTo(widget->window(), position.toPoint()),
                          widget->mapToGlobal(position.toPoint()), button, held, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    };
    // Hovers the control from 4 pixels below `onEdge`, moves onto `onEdge` (it stays hovered),
    // takes the control away and sends `then` within 8 ms of the move onto `onEdge`. A busy
    // machine may spoil a try's timing.
    auto hoverThenMoveAway = [&](const std::function<void()>& then) {
        for (int attempt = 0; attempt < 20; ++attempt) {
            EXPECT_TRUE(mel("setAttr ctrl.translateZ 0"));
            moveTo(onEdge + QPointF(0, 4));
            EventClock clock;
            send(QEvent::MouseMove, onEdge);
            EXPECT_TRUE(mel("setAttr ctrl.translateZ 3"));
            then();
            if (clock.moments.size() >= 2 && clock.moments.back() - clock.moments.front() < 7000000) return true;
        }
        return false;
    };

    // A move of a pixel or so right after a handled one is skipped, so the hover stays on the
    // control that has gone from under the cursor.
    ASSERT_TRUE(hoverThenMoveAway([&] { send(QEvent::MouseMove, onEdge + QPointF(1, 0.5)); }));
    EXPECT_EQ(lookAt(farEdge), "hovered");

    // After 8 ms the same spot is picked again.
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(lookAfterMoveTo(onEdge + QPointF(1, 0.5), farEdge), "normal");

    // Two pixels away it is picked again at once.
    ASSERT_TRUE(hoverThenMoveAway([&] { send(QEvent::MouseMove, onEdge + QPointF(2, 0)); }));
    EXPECT_EQ(lookAt(farEdge), "normal");

    // A left press is never held back.
    ASSERT_TRUE(hoverThenMoveAway([&] { send(QEvent::MouseButtonPress, onEdge, Qt::LeftButton); }));
    EXPECT_EQ(lookAt(farEdge), "normal");
    send(QEvent::MouseButtonRelease, onEdge, Qt::LeftButton);

    // Entering the view forgets the last position.
    ASSERT_TRUE(hoverThenMoveAway([&] {
        send(QEvent::Enter, onEdge);
        send(QEvent::MouseMove, onEdge + QPointF(1, 0));
    }));
    EXPECT_EQ(lookAt(farEdge), "normal");
}

TEST_F(ShapeControlHover, UnloadingThePlugInTakesItsFilterAlong)
{
    makeControl("ctrl");
    ASSERT_EQ(lookAfterMoveTo(MPoint(1, 0, 0.2), MPoint(-1, 0, 0)), "hovered");
    ASSERT_TRUE(mel("file -force -new"));
    ASSERT_TRUE(mel(std::string("unloadPlugin ") + kPluginName));
    // A filter left behind would run code that is gone.
    moveTo(MPoint(1, 0, 0.4));
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type enter -x 5 -y 5; hostMouseEvent -panel modelPanel4 "
                    "-type leave"));

    ASSERT_TRUE(loadPellix());
    makeControl("ctrl");
    EXPECT_EQ(lookAfterMoveTo(MPoint(1, 0, -0.2), MPoint(-1, 0, 0)), "hovered") << "loaded again, it hovers again";
}

// This program's own build of the shape-control sources, so that the test can hand the hover
// to the overlay as the overlay's filter does.
class ShapeControlHoverCopy : public ::testing::Test, protected HoverView
{
protected:
    void SetUp() override
    {
        own.emplace("shapeControlHoverTest");
        setUpView();
    }

    void TearDown() override
    {
        releasePanel();
        own.reset();
    }

    std::optional<OwnShapeControlType> own;
};

TEST_F(ShapeControlHoverCopy, AHoverTheOverlaySetSurvivesAMissButNotAHitOrLeavingTheView)
{
    makeControl("ctrl");
    makeControl("other");
    ASSERT_TRUE(mel("setAttr other.translateX 3"));
    ASSERT_NE(shapeControlFilter, nullptr) << "the first control installed the filter";

    setHoveredShapeControl(nodeByName("ctrlShape"), true);
    moveAway();
    EXPECT_EQ(lookAt(MPoint(-1, 0, 0)), "hovered") << "a miss leaves the overlay's hover";

    moveTo(MPoint(4, 0, 0.2));
    snapshot();
    EXPECT_EQ(lookIn(MPoint(2, 0, 0)), "hovered") << "a hit takes the hover over";
    EXPECT_EQ(lookIn(MPoint(-1, 0, 0)), "normal");
    moveAway();
    EXPECT_EQ(lookAt(MPoint(2, 0, 0)), "normal") << "and, being the filter's own, a miss clears it";

    setHoveredShapeControl(nodeByName("ctrlShape"), true);
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type leave"));
    EXPECT_EQ(lookAt(MPoint(-1, 0, 0)), "normal") << "leaving the view clears every hover";
}

} // namespace

namespace {

bool isRing(const QColor& c)
{
    return c.red() > 200 && c.green() < 90 && c.blue() > 200;
}

class HoverMarkerDrawing : public ::testing::Test, protected ShapeControlPicture
{
protected:
    HoverMarkerDrawing() : ShapeControlPicture("marker") {}

    void SetUp() override
    {
        own.emplace("markerDrawTest");
        ASSERT_TRUE(mel("lookThru persp modelPanel4; setAttr persp.rotate 0 0 0; setAttr persp.translate 0 0 10"));
        host::setActivePanel(3);
        ASSERT_TRUE(M3dView::getM3dViewFromModelPanel("modelPanel4", view));
    }

    void TearDown() override
    {
        deleteHoverMarker();
        own.reset();
    }

    // Distance in pixels from the projected point to the ring's outer edge, walking in (dx, dy).
    int ringRadius(const MPoint& world, int dx, int dy) const
    {
        short cx = 0, cy = 0;
        EXPECT_TRUE(view.worldToView(world, cx, cy));
        int outer = -1;
        for (int step = 1; step < 60; ++step) {
            const int x = cx + dx * step, y = cy + dy * step;
            if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) break;
            if (isRing(pixel(x, y))) outer = step;
        }
        return outer;
    }

    std::optional<OwnHoverMarkerType> own;
};

} // namespace

TEST_F(HoverMarkerDrawing, RingKeepsSixteenPixelsAsTheCameraDollies)
{
    showHoverMarker(MPoint(0, 0, 0), MVector(0, 0, 1), MColor(1.0f, 0.0f, 1.0f));
    snapshot();
    const int nearRadius = ringRadius(MPoint(0, 0, 0), 1, 0);
    EXPECT_NEAR(nearRadius, 16, 2);
    EXPECT_NEAR(ringRadius(MPoint(0, 0, 0), 0, 1), 16, 2) << "a round ring facing the camera";

    snapshotAfter("setAttr persp.translateZ 60");
    EXPECT_NEAR(ringRadius(MPoint(0, 0, 0), 1, 0), nearRadius, 1);
    EXPECT_NEAR(ringRadius(MPoint(0, 0, 0), -1, 0), nearRadius, 1);

    // The dark centre around a light dot in the ring's colour lightened towards white.
    short cx = 0, cy = 0;
    view.worldToView(MPoint(0, 0, 0), cx, cy);
    const QColor dot = pixel(cx, cy);
    EXPECT_TRUE(dot.red() > 240 && dot.green() > 40 && dot.green() < 75 && dot.blue() > 240)
        << dot.red() << " " << dot.green() << " " << dot.blue();
    const QColor centre = pixel(cx + 3, cy);
    EXPECT_LT(centre.red() + centre.green() + centre.blue(), 120) << "dark centre";
}

TEST_F(HoverMarkerDrawing, ZeroNormalFacesUpAndHidingRemovesTheRing)
{
    showHoverMarker(MPoint(0, 0, 0), MVector(0, 0, 0), MColor(1.0f, 0.0f, 1.0f));
    // From the front the ring lies edge on: a flat line through the point.
    snapshot();
    EXPECT_GE(ringRadius(MPoint(0, 0, 0), 1, 0), 14);
    EXPECT_LT(ringRadius(MPoint(0, 0, 0), 0, 1), 4);

    // From above it is round.
    snapshotAfter("setAttr persp.rotate -90 0 0; setAttr persp.translate 0 10 0");
    EXPECT_NEAR(ringRadius(MPoint(0, 0, 0), 0, 1), 16, 2);

    hideHoverMarker();
    snapshot();
    EXPECT_EQ(ringRadius(MPoint(0, 0, 0), 1, 0), -1);
}
