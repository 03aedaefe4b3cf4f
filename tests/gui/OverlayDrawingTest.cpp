// A bound overlay as a rigger sees it in a view: the patches drawn on the shaded driver in
// their base, hovered and selected colours, wireframe, x-ray through an occluder, the readout
// above a single selected patch, and the buffers each kind of change rewrites.

#include "PluginTestSupport.h"

#include "viewport/FrameRenderer.h"
#include "views/Views.h"

#include <maya/M3dView.h>
#include <maya/MFnMesh.h>
#include <maya/MDagPath.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>

#include <QColor>
#include <QImage>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

bool nearColour(const QColor& pixel, double r, double g, double b, int tolerance = 4)
{
    return std::abs(pixel.red() - int(r * 255 + 0.5)) <= tolerance &&
           std::abs(pixel.green() - int(g * 255 + 0.5)) <= tolerance &&
           std::abs(pixel.blue() - int(b * 255 + 0.5)) <= tolerance;
}

bool isGrey(const QColor& pixel)
{
    return std::abs(pixel.red() - pixel.green()) <= 6 && std::abs(pixel.green() - pixel.blue()) <= 6;
}

std::string describe(const QColor& c)
{
    return "rgb(" + std::to_string(c.red()) + ", " + std::to_string(c.green()) + ", " + std::to_string(c.blue()) + ")";
}

// The body of the demo: a 4 x 4 plane with a chest patch on its first two faces and a belly
// patch on its last two, each standing for a control, bound into "torsoOverlay" and seen
// from the top camera, opaque colours so that pixels can be compared exactly.
class OverlayDrawing : public PellixPluginTest
{
protected:
    void SetUp() override
    {
        PellixPluginTest::SetUp();
        for (const char* command : {
                 "polyPlane -n body -w 4 -h 4 -sx 4 -sy 4",
                 "duplicate -n chestPatch body", "delete \"chestPatch.f[2:15]\"",
                 "duplicate -n bellyPatch body", "delete \"bellyPatch.f[0:13]\"",
                 "createNode transform -n chestCtrl", "createNode transform -n bellyCtrl",
                 "addAttr -ln pellixSelectNode -at message chestPatch",
                 "connectAttr chestCtrl.message chestPatch.pellixSelectNode",
                 "addAttr -ln pellixSelectNode -at message bellyPatch",
                 "connectAttr bellyCtrl.message bellyPatch.pellixSelectNode"})
            ASSERT_TRUE(mel(command)) << command;
        chest = worldCentreOf("chestPatch");
        belly = worldCentreOf("bellyPatch");
        bare = MPoint(0.5, 0.0, 0.5); // a body face no patch covers
        ASSERT_TRUE(mel("pellixDataBind -hidePatches true -name torsoOverlay body chestPatch bellyPatch"));
        for (const char* command : {"setAttr torsoOverlayShape.transparency 0",
                                    "setAttr torsoOverlayShape.hoverTransparency 0",
                                    "setAttr torsoOverlayShape.selectedTransparency 0",
                                    "lookThru top modelPanel4", "setAttr topShape.orthographicWidth 6",
                                    "select -cl"})
            ASSERT_TRUE(mel(command)) << command;
        host::setActivePanel(3);
        ASSERT_TRUE(M3dView::getM3dViewFromModelPanel("modelPanel4", view));
    }

    void TearDown() override
    {
        host::stopVp2Record();
        ASSERT_TRUE(mel("lookThru persp modelPanel4"));
        PellixPluginTest::TearDown();
        std::remove(imageFile.c_str());
    }

    // What the current view shows, as `refresh -cv -fe png` writes it.
    void snapshot()
    {
        ASSERT_TRUE(mel("refresh -cv -fe png -fn \"" + imageFile + "\""));
        ASSERT_TRUE(image.load(imageFile.c_str()));
        ASSERT_EQ(image.width(), view.portWidth());
    }

    QColor at(const MPoint& world) const
    {
        short x = 0, y = 0;
        EXPECT_TRUE(view.worldToView(world, x, y));
        return image.pixelColor(x, image.height() - 1 - y);
    }

    // Dark readout-box pixels in a window around a world point.
    int darkPixelsAround(const MPoint& world, int half = 24) const
    {
        short cx = 0, cy = 0;
        view.worldToView(world, cx, cy);
        int dark = 0;
        for (int y = cy - half; y <= cy + half; ++y)
            for (int x = cx - 2 * half; x <= cx + 2 * half; ++x) {
                if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) continue;
                const QColor c = image.pixelColor(x, image.height() - 1 - y);
                if (std::max({c.red(), c.green(), c.blue()}) < 100 && c.red() + c.green() + c.blue() < 160) ++dark;
            }
        return dark;
    }

    // Buffer bytes the overlay's override wrote in one frame, by buffer kind.
    struct Writes
    {
        size_t position = 0, index = 0, other = 0;
        bool updated = false;
    };
    Writes recordFrame()
    {
        host::startVp2Record();
        host::takeVp2Record();
        snapshot();
        Writes writes;
        for (const host::Vp2Call& call : host::takeVp2Record()) {
            if (call.node != "torsoOverlayShape") continue;
            if (call.call == "updateDG") writes.updated = true;
            if (call.bytes == 0) continue;
            if (call.detail == "position")
                writes.position += call.bytes;
            else if (call.detail.rfind("index:", 0) == 0)
                writes.index += call.bytes;
            else
                writes.other += call.bytes;
        }
        host::stopVp2Record();
        return writes;
    }

    M3dView view;
    QImage image;
    MPoint chest, belly, bare;
    std::string imageFile = "/tmp/pellix-overlay-" + std::to_string(::getpid()) + ".png";
};

const double kBase[3] = {0.2, 0.64, 1.0};
const double kHover[3] = {1.0, 0.92, 0.25};
const double kSelected[3] = {0.056, 1.0, 0.366};

#define EXPECT_COLOUR(pixel, rgb) \
    EXPECT_TRUE(nearColour(pixel, rgb[0], rgb[1], rgb[2])) << describe(pixel)

} // namespace

TEST_F(OverlayDrawing, PatchesDrawInTheirColoursOnTheDriverAndNowhereElse)
{
    snapshot();
    EXPECT_COLOUR(at(chest), kBase);
    EXPECT_COLOUR(at(belly), kBase);
    const QColor body = at(bare);
    EXPECT_TRUE(isGrey(body)) << describe(body);
    EXPECT_GT(body.red(), 60) << "the shaded body is lit: " << describe(body);

    ASSERT_TRUE(mel("setAttr torsoOverlayShape.color -type double3 1 0 1"));
    snapshot();
    EXPECT_TRUE(nearColour(at(chest), 1, 0, 1)) << describe(at(chest));
}

TEST_F(OverlayDrawing, HoveredPatchLightsUpAndASelectedOneWinsOverHover)
{
    ASSERT_TRUE(mel("setAttr torsoOverlayShape.hoveredPatch 0"));
    snapshot();
    EXPECT_COLOUR(at(chest), kHover);
    EXPECT_COLOUR(at(belly), kBase);

    ASSERT_TRUE(mel("select -r chestCtrl"));
    snapshot();
    EXPECT_COLOUR(at(chest), kSelected);

    ASSERT_TRUE(mel("setAttr torsoOverlayShape.hoveredPatch 7; select -r bellyCtrl"));
    snapshot();
    EXPECT_COLOUR(at(chest), kBase);
    EXPECT_COLOUR(at(belly), kSelected);
}

TEST_F(OverlayDrawing, TranslucentPatchesBlendOverTheShadedDriver)
{
    snapshot();
    const QColor body = at(bare);
    ASSERT_TRUE(mel("setAttr torsoOverlayShape.transparency 0.5"));
    snapshot();
    const QColor blended = at(chest);
    // Half the base colour over the body's grey.
    EXPECT_NEAR(blended.red(), 0.5 * 0.2 * 255 + 0.5 * body.red(), 6) << describe(blended);
    EXPECT_NEAR(blended.blue(), 0.5 * 255 + 0.5 * body.blue(), 6) << describe(blended);
}

TEST_F(OverlayDrawing, WireframeDrawsPatchEdgesInTheWireColour)
{
    // The chest patch's two faces share the edge through its centre; the belly's centre
    // likewise lies on its inner edge.
    ASSERT_TRUE(mel("setAttr torsoOverlayShape.drawWireframe 1; setAttr torsoOverlayShape.wireframeWidth 4"));
    const MPoint edgeMiddle = chest;
    snapshot();
    // The wire colour at 0.85 opacity over the base colour.
    const double wire[3] = {0.85 * 1.0 + 0.15 * kBase[0], 0.85 * 0.95 + 0.15 * kBase[1], 0.85 * 0.55 + 0.15 * kBase[2]};
    EXPECT_COLOUR(at(edgeMiddle), wire);
    EXPECT_COLOUR(at(belly + MVector(0.25, 0, 0)), kBase);

    ASSERT_TRUE(mel("setAttr torsoOverlayShape.drawWireframe 0"));
    snapshot();
    EXPECT_COLOUR(at(edgeMiddle), kBase);
}

TEST_F(OverlayDrawing, AnOccluderHidesPatchesUnlessTheyDrawInXray)
{
    ASSERT_TRUE(mel("polyPlane -n lid -w 6 -h 6 -sx 1 -sy 1; move 0 20 0 lid"));
    snapshot();
    EXPECT_TRUE(isGrey(at(chest))) << describe(at(chest));

    ASSERT_TRUE(mel("setAttr torsoOverlayShape.drawInXray 1"));
    snapshot();
    EXPECT_COLOUR(at(chest), kBase);
    // Depth testing is back on after the overlay: the lid still hides the body behind it.
    EXPECT_TRUE(isGrey(at(bare))) << describe(at(bare));
}

TEST_F(OverlayDrawing, DisabledOverlayDrawsNothingUntilEnabledAgain)
{
    ASSERT_TRUE(mel("setAttr torsoOverlayShape.enable 0"));
    snapshot();
    EXPECT_TRUE(isGrey(at(chest))) << describe(at(chest));
    EXPECT_TRUE(isGrey(at(belly))) << describe(at(belly));

    ASSERT_TRUE(mel("setAttr torsoOverlayShape.color -type double3 1 0 0; setAttr torsoOverlayShape.enable 1"));
    snapshot();
    EXPECT_TRUE(nearColour(at(chest), 1, 0, 0)) << describe(at(chest));
}

TEST_F(OverlayDrawing, PatchesFollowTheDriverAsItMovesAndDeforms)
{
    snapshot();
    ASSERT_TRUE(mel("move -r 1 0 0 body"));
    snapshot();
    EXPECT_COLOUR(at(chest + MVector(1, 0, 0)), kBase);
    EXPECT_TRUE(isGrey(at(chest + MVector(-0.4, 0, 0)))) << describe(at(chest + MVector(-0.4, 0, 0)));

    // Push the body's vertices under the belly patch aside: the patch goes with them.
    ASSERT_TRUE(mel("move -r -1 0 0 \"body.vtx[0:24]\""));
    snapshot();
    EXPECT_COLOUR(at(belly), kBase);
}

TEST_F(OverlayDrawing, EachChangeRewritesOnlyTheBuffersItConcerns)
{
    snapshot(); // first frame builds everything
    Writes steady = recordFrame();
    EXPECT_EQ(steady.position + steady.index + steady.other, 0u);

    ASSERT_TRUE(mel("setAttr torsoOverlayShape.hoveredPatch 1"));
    Writes hover = recordFrame();
    EXPECT_TRUE(hover.updated);
    EXPECT_GT(hover.index, 0u);
    EXPECT_EQ(hover.position + hover.other, 0u) << "a highlight change writes index buffers only";

    ASSERT_TRUE(mel("move -r 0 0 0.25 body"));
    Writes moved = recordFrame();
    EXPECT_GT(moved.position, 0u);
    EXPECT_EQ(moved.index + moved.other, 0u) << "a moved driver rewrites positions only";

    ASSERT_TRUE(mel("setAttr torsoOverlayShape.color -type double3 1 0 0"));
    Writes colour = recordFrame();
    EXPECT_EQ(colour.position + colour.index + colour.other, 0u) << "colours are shader parameters";

    // A rebind moves the topology counter: the render vertices are rebuilt and written.
    ASSERT_TRUE(mel("move -r 0 0 -0.25 body; pellixDataBind body chestPatch bellyPatch"));
    Writes rebound = recordFrame();
    EXPECT_GT(rebound.position, 0u);
    EXPECT_GT(rebound.index, 0u);
}

TEST_F(OverlayDrawing, ReadoutHangsAboveASingleSelectedPatchWhileItsControlMoves)
{
    ASSERT_TRUE(mel("setAttr torsoOverlayShape.showTransformReadout 1; select -r bellyCtrl"));
    snapshot();
    EXPECT_EQ(darkPixelsAround(belly), 0) << "never on the first frame";

    ASSERT_TRUE(mel("setAttr bellyCtrl.translateX 0.5"));
    snapshot();
    EXPECT_GT(darkPixelsAround(belly), 100) << "the readout box after a change";
    EXPECT_EQ(darkPixelsAround(chest), 0);

    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    snapshot();
    EXPECT_EQ(darkPixelsAround(belly), 0) << "gone 0.9 s after the last change";

    // With two patches selected there is nothing to read out.
    ASSERT_TRUE(mel("select -r bellyCtrl chestCtrl"));
    snapshot();
    ASSERT_TRUE(mel("setAttr bellyCtrl.translateX 1"));
    snapshot();
    EXPECT_EQ(darkPixelsAround(belly), 0);
}

TEST_F(OverlayDrawing, DrawingNeverCreatesTheHoverMarker)
{
    snapshot();
    ASSERT_TRUE(mel("setAttr torsoOverlayShape.hoveredPatch 0"));
    snapshot();
    EXPECT_EQ(melStrings("ls -type hoverMarker").length(), 0u);
}
