// Shape controls as an animator sees them in a view: the default square, curves and meshes in
// the control's normal, hovered and selected looks, "inverse" controls placed by their source,
// hidden and non-interactive controls, and the readout with its slider above a moved control.
// The control type is this program's own build of the shape-control sources, registered here
// with its draw override, so that the test can set the hovered control as the mouse would.

#include "PluginTestSupport.h"
#include "ShapeControlPicture.h"

#include "dg/Registry.h"
#include "shapeControl/ShapeControl.h"
#include "shapeControl/ShapeControlDrawOverride.h"
#include "shapeControl/ShapeControlMouseFilter.h"
#include "shapeControl/ShapeControlRedraw.h"
#include "shapeControl/ShapeControlRegistry.h"
#include "viewport/FrameRenderer.h"
#include "views/Views.h"

#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MDrawRegistry.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFnMesh.h>
#include <maya/MFrameContext.h>
#include <maya/MIntArray.h>
#include <maya/MSelectionList.h>

#include <QColor>
#include <QImage>
#include <QRect>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

const char* const kControlPlugin = "shapeControlDrawTest";
const char* const kClassification = "drawdb/geometry/shapeControl";

class BareFrameContext : public MHWRender::MFrameContext
{
};

MObject nodeNamed(const char* name)
{
    MSelectionList list;
    MObject node;
    if (list.add(name)) {
        list.getDependNode(0, node);
    }
    return node;
}

MDagPath pathNamed(const char* name)
{
    MSelectionList list;
    MDagPath path;
    if (list.add(name)) {
        list.getDagPath(0, path);
    }
    return path;
}

class ShapeControlDrawing : public ::testing::Test, protected ShapeControlPicture
{
protected:
    ShapeControlDrawing() : ShapeControlPicture("shapecontrol") {}

    void SetUp() override
    {
        ASSERT_FALSE(isPellixLoaded()) << "the test registers the control type itself";
        ASSERT_TRUE(mel("file -force -new"));
        host::NodeTypeInfo info;
        info.name = ShapeControl::typeName;
        info.id = ShapeControl::id;
        info.creator = &ShapeControl::creator;
        info.initialize = &ShapeControl::initialize;
        info.type = MPxNode::kLocatorNode;
        info.classification = kClassification;
        info.pluginName = kControlPlugin;
        ASSERT_TRUE(host::registerNodeType(info));
        setShapeControlCreatedCallback(installShapeControlMouseFilter);  // as the plug-in does
        ASSERT_TRUE(MHWRender::MDrawRegistry::registerDrawOverrideCreator(kClassification, kControlPlugin,
                                                                           &ShapeControlDrawOverride::creator));
        lookFromTop();
    }

    void TearDown() override
    {
        setHoveredShapeControl(MObject(), false);
        mel("file -force -new");
        host::releaseOverrides(kControlPlugin);
        MHWRender::MDrawRegistry::deregisterDrawOverrideCreator(kClassification, kControlPlugin);
        host::deregisterNodeType(ShapeControl::id);
        removeShapeControlMouseFilter();
        setShapeControlCreatedCallback(nullptr);
    }

    void lookFromTop()
    {
        ASSERT_TRUE(mel("lookThru top modelPanel4; setAttr topShape.orthographicWidth 10"));
        host::setActivePanel(3);
        ASSERT_TRUE(M3dView::getM3dViewFromModelPanel("modelPanel4", view));
    }

    void lookFromFront()
    {
        ASSERT_TRUE(mel("lookThru persp modelPanel4; setAttr persp.rotate 0 0 0; setAttr persp.translate 0 0 10"));
        host::setActivePanel(3);
        ASSERT_TRUE(M3dView::getM3dViewFromModelPanel("modelPanel4", view));
    }

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

    ASSERT_TRUE(mel("setAttr ctrlShape.localScale 2 1 0.5; setAttr ctrlShape.localPosition 0.5 0 0"));
    snapshot();
    for (const MPoint& edge : {MPoint(2.5, 0, 0), MPoint(-1.5, 0, 0), MPoint(0.5, 0, 0.5), MPoint(0.5, 0, -0.5)})
        EXPECT_TRUE(drawnNear(edge, kNormal)) << edge.x << " " << edge.z;
    EXPECT_FALSE(drawnNear(MPoint(0, 0, 1), kNormal, 4)) << "the unplaced square is gone";
    EXPECT_FALSE(drawnNear(MPoint(1, 0, 0), kNormal, 4));

    // As points only the corners remain, as large as the line is wide.
    ASSERT_TRUE(mel("setAttr ctrlShape.primitive 0; setAttr ctrlShape.lineWidth 1"));
    snapshot();
    EXPECT_TRUE(drawnNear(MPoint(2.5, 0, 0.5), kNormal, 3));
    EXPECT_FALSE(drawnNear(MPoint(2.5, 0, 0), kNormal, 4));
    const int thin = thicknessAt(MPoint(2.5, 0, 0.5), kNormal, 1, 0);
    ASSERT_TRUE(mel("setAttr ctrlShape.lineWidth 7"));
    snapshot();
    EXPECT_GE(thicknessAt(MPoint(2.5, 0, 0.5), kNormal, 1, 0), thin + 4);
}

TEST_F(ShapeControlDrawing, ClosedCurveIsDrawnAllRoundAndClosedOnlyOnce)
{
    makeControl("ctrl");
    ASSERT_TRUE(mel("circle -nr 0 1 0 -r 2 -s 8 -n ring; setAttr ring.visibility 0"));
    ASSERT_TRUE(mel("connectAttr ringShape.local ctrlShape.inGeometry"));
    snapshot();
    for (int i = 0; i < 16; ++i) {
        const double angle = i * M_PI / 8.0;
        EXPECT_TRUE(drawnNear(MPoint(2.0 * std::cos(angle), 0, 2.0 * std::sin(angle)), kNormal)) << "sample " << i;
    }
    EXPECT_FALSE(drawnNear(MPoint(1, 0, 0), kNormal, 4)) << "the square gave way to the curve";

    // The periodic curve's samples already end where they start: no extra closing point.
    std::unique_ptr<MHWRender::MPxDrawOverride> drawOverride(ShapeControlDrawOverride::creator(nodeNamed("ctrlShape")));
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
    ASSERT_TRUE(mel("connectAttr plateShape.outMesh ctrlShape.inGeometry"));
    snapshot();
    for (const MPoint& faceCentre : {MPoint(0.5, 0, 0.5), MPoint(-0.5, 0, -0.5), MPoint(-0.5, 0, 0.5)})
        EXPECT_TRUE(drawnNear(faceCentre, kNormal, 0)) << faceCentre.x << " " << faceCentre.z;
    EXPECT_FALSE(drawnNear(MPoint(1.5, 0, 0), kNormal, 3));

    // The source's points move: the control is drawn where they are now.
    ASSERT_TRUE(mel("move -r 3 0 0 \"plate.vtx[0:8]\""));
    snapshot();
    EXPECT_TRUE(drawnNear(MPoint(3.5, 0, 0.5), kNormal, 0)) << "follows its source";
    EXPECT_FALSE(drawnNear(MPoint(-0.5, 0, 0.5), kNormal, 3));
    ASSERT_TRUE(mel("move -r -3 0 0 \"plate.vtx[0:8]\""));

    // Wireframe: the face centres empty, every edge drawn, solid then dashed.
    ASSERT_TRUE(mel("setAttr ctrlShape.wireframe 1"));
    snapshot();
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
    ASSERT_TRUE(mel("setAttr ctrlShape.lineStyle 3"));
    snapshot();
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
    std::unique_ptr<MHWRender::MPxDrawOverride> drawOverride(ShapeControlDrawOverride::creator(nodeNamed("ctrlShape")));
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
        const unsigned* t = &drawn->triangleCorners[corner];
        const double centreX = (p[t[0]].x + p[t[1]].x + p[t[2]].x) / 3.0;
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

    setHoveredShapeControl(nodeNamed("ctrlShape"), false);
    snapshot();
    EXPECT_TRUE(drawnNear(edge, kHovered));
    EXPECT_FALSE(drawnNear(edge, kNormal, 4));
    EXPECT_GT(thicknessAt(edge, kHovered, 1, 0), normalWidth) << "hovered lines are wider";

    // Selecting the transform selects the control; the selected colour wins over the hover,
    // while the hover still widens the line.
    ASSERT_TRUE(mel("select -r ctrl"));
    snapshot();
    EXPECT_TRUE(drawnNear(edge, kSelected));
    EXPECT_FALSE(drawnNear(edge, kHovered, 4));
    const int hoveredSelectedWidth = thicknessAt(edge, kSelected, 1, 0);

    setHoveredShapeControl(MObject(), false);
    snapshot();
    EXPECT_TRUE(drawnNear(edge, kSelected));
    EXPECT_LT(thicknessAt(edge, kSelected, 1, 0), hoveredSelectedWidth);

    ASSERT_TRUE(mel("select -cl"));
    snapshot();
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
        setHoveredShapeControl(nodeNamed(control.shape), false);
        snapshot();
        EXPECT_TRUE(drawnNear(control.edge, *control.look)) << control.shape;
        EXPECT_FALSE(drawnNear(control.edge, kHovered, 4)) << control.shape;
    }
    EXPECT_FALSE(drawnNear(MPoint(-3, 0, -3), kTemplate, 4)) << "the templated plate is not filled";
    EXPECT_FALSE(drawnNear(MPoint(-3, 0, -3), kNormal, 4));

    // A selected template draws in the selected-template colour, not the control's own.
    ASSERT_TRUE(mel("select -r templated"));
    snapshot();
    EXPECT_FALSE(drawnNear(MPoint(4, 0, 0), kTemplate, 2));
    EXPECT_FALSE(drawnNear(MPoint(4, 0, 0), kSelected, 4));

    // A hidden control draws nothing at all.
    ASSERT_TRUE(mel("setAttr noHover.visibility 0"));
    snapshot();
    EXPECT_FALSE(drawnNear(MPoint(-2, 0, 0), kNormal, 4));
}

TEST_F(ShapeControlDrawing, InverseFollowsItsSourceOnlyWhileOnAndConnected)
{
    makeControl("ctrl");
    ASSERT_TRUE(mel("setAttr ctrl.translateX 3; setAttr ctrlShape.inverse 1"));
    snapshot();
    EXPECT_TRUE(drawnNear(MPoint(4, 0, 0), kNormal)) << "nothing connected: its own matrix";
    EXPECT_TRUE(drawnNear(MPoint(2, 0, 0), kNormal));

    ASSERT_TRUE(mel("circle -nr 0 1 0 -r 0.5 -s 8 -n ring; setAttr ring.translateX -2; setAttr ring.visibility 0"));
    ASSERT_TRUE(mel("connectAttr ringShape.local ctrlShape.inGeometry"));
    snapshot();
    EXPECT_TRUE(drawnNear(MPoint(-1.5, 0, 0), kNormal)) << "drawn where the source is";
    EXPECT_TRUE(drawnNear(MPoint(-2.5, 0, 0), kNormal));
    EXPECT_FALSE(drawnNear(MPoint(3.5, 0, 0), kNormal, 3));
    ASSERT_TRUE(mel("setAttr ring.translateZ 2"));
    snapshot();
    EXPECT_TRUE(drawnNear(MPoint(-1.5, 0, 2), kNormal)) << "and follows it";

    ASSERT_TRUE(mel("setAttr ctrlShape.inverse 0"));
    snapshot();
    EXPECT_TRUE(drawnNear(MPoint(3.5, 0, 0), kNormal)) << "inverse off: back on its own matrix";
    EXPECT_FALSE(drawnNear(MPoint(-1.5, 0, 2), kNormal, 3));

    ASSERT_TRUE(mel("setAttr ctrlShape.inverse 1"));
    snapshot();
    ASSERT_TRUE(drawnNear(MPoint(-1.5, 0, 2), kNormal));
    ASSERT_TRUE(mel("disconnectAttr ringShape.local ctrlShape.inGeometry"));
    snapshot();
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
    host::startVp2Record();
    host::takeVp2Record();
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end) {
        host::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    int prepares = 0;
    for (const host::Vp2Call& call : host::takeVp2Record()) {
        prepares += call.node == "ctrlShape" && call.call == "prepareForDraw";
    }
    host::stopVp2Record();
    return prepares;
}

TEST_F(ShapeControlDrawing, ReadoutShowsWhatADragChangesAndEndsOnTimeWhileAnIdleViewPreparesNothing)
{
    lookFromFront();
    makeControl("ctrl");
    ASSERT_TRUE(mel("select -r ctrl"));
    setHoveredShapeControl(nodeNamed("ctrlShape"), false);
    const PixelTest box = [](const QColor& c) { return c.red() < 50 && c.green() < 50 && c.blue() < 50; };
    snapshot();
    EXPECT_EQ(preparesWhileIdle(300), 0) << "a hovered, selected control that does not change is not prepared again";

    // Moved by a script, an undo or a new frame: no readout.
    ASSERT_TRUE(mel("setAttr ctrl.translateX 0.5; setAttr ctrlShape.lineWidth 3"));
    snapshot();
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
        ASSERT_TRUE(mel("select -r ctrl"));
        snapshot();
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
