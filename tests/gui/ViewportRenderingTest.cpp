// The Viewport 2.0 stand-in seen from outside: pixels a frame draws for
// geometry overrides, render item settings, shader callbacks and UI drawables,
// the order of the override calls, and the overrides' life.

#include "ViewportTestScene.h"

#include "PluginTestSupport.h"
#include "viewport/OverrideInstances.h"
#include "viewport/PlaybackCache.h"

#include <maya/M3dView.h>
#include <maya/MAnimControl.h>
#include <maya/MDagPath.h>
#include <maya/MGlobal.h>
#include <maya/MSelectionList.h>
#include <maya/MStateManager.h>
#include <maya/MViewport2Renderer.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

using namespace viewtest;
using MHWRender::MGeometry;
using MHWRender::MShaderManager;

void PrintTo(const QColor& c, std::ostream* os)
{
    *os << "rgb(" << c.red() << ", " << c.green() << ", " << c.blue() << ")";
}

namespace
{

class ViewportRendering : public ::testing::Test
{
protected:
    void SetUp() override
    {
        registerTestTypes();
        host::setRendererActive(true);
        ASSERT_TRUE(mel("file -f -new"));
        shapeLooks().clear();
        observed() = Observed();
    }
    void TearDown() override
    {
        host::stopVp2Record();
        host::setCachedPlayback(false);
        mel("file -f -new");
        shapeLooks().clear();
    }

    // A test shape under its own transform; the look is what its override draws.
    MObject shape(const std::string& name, const ShapeLook& look, const char* type = "testGeoShape")
    {
        shapeLooks()[name] = look;
        EXPECT_TRUE(mel(std::string("createNode ") + type + " -n " + name));
        return nodeByName(name.c_str());
    }

    static std::string parentOf(const std::string& shapeName)
    {
        MStringArray parents = melStrings("listRelatives -p " + shapeName);
        return parents.length() ? parents[0].asChar() : std::string();
    }

    static ItemLook item(const std::string& name, std::vector<float> positions, QColor color)
    {
        ItemLook i;
        i.name = name;
        i.positions = std::move(positions);
        i.color[0] = float(color.redF()), i.color[1] = float(color.greenF()), i.color[2] = float(color.blueF());
        i.color[3] = float(color.alphaF());
        return i;
    }

    static std::vector<std::string> callsOf(const std::vector<host::Vp2Call>& calls, const std::string& node)
    {
        std::vector<std::string> out;
        for (const host::Vp2Call& c : calls)
            if (c.node == node) out.push_back(c.detail.empty() ? c.call : c.call + " " + c.detail);
        return out;
    }

    static std::size_t bytesWritten(const std::vector<host::Vp2Call>& calls, const std::string& prefix)
    {
        std::size_t total = 0;
        for (const host::Vp2Call& c : calls)
            if (c.call == "bufferWrite" && c.detail.compare(0, prefix.size(), prefix) == 0) total += c.bytes;
        return total;
    }

    Canvas canvas;
};

const QColor kRed = rgb(1, 0, 0), kBlue = rgb(0, 0, 1), kGreen = rgb(0, 1, 0), kYellow = rgb(1, 1, 0);

TEST_F(ViewportRendering, TrianglesDrawInTheirSolidColourWhereProjectedAndBackgroundElsewhere)
{
    ShapeLook look;
    look.items.push_back(item("body", square(1.0, 1.0, 1.0), kRed));
    shape("quadShape", look);
    canvas.draw();

    EXPECT_PRED2(near, canvas.pixelAtWorld(1.0, 1.0), kRed);
    EXPECT_PRED2(near, canvas.pixelAtWorld(0.2, 0.2), kRed);
    EXPECT_PRED2(near, canvas.pixelAtWorld(-1.0, -1.0), kBackground);
    EXPECT_PRED2(near, canvas.pixelAtWorld(2.3, 1.0), kBackground);

    // Moving the transform moves the drawing.
    ASSERT_TRUE(mel("setAttr " + parentOf("quadShape") + ".translateX -3"));
    canvas.draw();
    EXPECT_PRED2(near, canvas.pixelAtWorld(-2.0, 1.0), kRed);
    EXPECT_PRED2(near, canvas.pixelAtWorld(1.0, 1.0), kBackground);
}

TEST_F(ViewportRendering, HiddenShapesAndDisabledViewsOfPluginShapesDrawNothing)
{
    ShapeLook look;
    look.items.push_back(item("body", square(0, 0, 2.0), kRed));
    shape("hiddenShape", look);

    const std::string parent = parentOf("hiddenShape");
    ASSERT_TRUE(mel("setAttr " + parent + ".visibility 0"));
    host::startVp2Record();
    canvas.draw();
    EXPECT_PRED2(near, canvas.pixelAtWorld(0, 0), kBackground);
    EXPECT_TRUE(callsOf(host::takeVp2Record(), "hiddenShape").empty());

    ASSERT_TRUE(mel("setAttr " + parent + ".visibility 1"));
    ASSERT_TRUE(mel("setAttr hiddenShape.overrideEnabled 1; setAttr hiddenShape.overrideVisibility 0"));
    canvas.draw();
    EXPECT_PRED2(near, canvas.pixelAtWorld(0, 0), kBackground);

    ASSERT_TRUE(mel("setAttr hiddenShape.overrideVisibility 1"));
    host::ViewSetup noPluginShapes = canvas.view();
    noPluginShapes.objectDisplay = M3dView::kDisplayMeshes | M3dView::kExcludePluginShapes;
    canvas.draw(noPluginShapes);
    EXPECT_PRED2(near, canvas.pixelAtWorld(0, 0), kBackground);
    // A plug-in locator goes with the locators of the Show filter.
    host::ViewSetup noLocators = canvas.view();
    noLocators.objectDisplay = ~0u & ~unsigned(M3dView::kDisplayLocators);
    canvas.draw(noLocators);
    EXPECT_PRED2(near, canvas.pixelAtWorld(0, 0), kBackground);

    canvas.draw();
    EXPECT_PRED2(near, canvas.pixelAtWorld(0, 0), kRed);
}

TEST_F(ViewportRendering, TransparentItemsBlendOverOpaqueOnesWhateverTheirOrder)
{
    ShapeLook look;
    // The transparent item comes first and lies in front: it must still blend over the red.
    QColor halfBlue = kBlue;
    halfBlue.setAlphaF(0.5);
    ItemLook glass = item("glass", square(0, 0, 2.0, 1.0), halfBlue);
    glass.transparent = true;
    look.items.push_back(glass);
    look.items.push_back(item("wall", square(1.0, 0, 2.0, 0.0), kRed));
    shape("glassShape", look);
    canvas.draw();

    EXPECT_PRED3(nearWithin, canvas.pixelAtWorld(0.5, 0), rgb(0.5, 0, 0.5), 4);                // glass over wall
    EXPECT_PRED3(nearWithin, canvas.pixelAtWorld(-1.5, 0), rgb(0.18, 0.18, 0.68), 4);          // glass over background
    EXPECT_PRED2(near, canvas.pixelAtWorld(2.5, 0), kRed);                                // wall alone
}

TEST_F(ViewportRendering, HigherDepthPriorityDrawsInFrontOfCoplanarItems)
{
    ShapeLook look;
    ItemLook raised = item("raised", square(0, 0, 1.0), kGreen);
    raised.depthPriority = MHWRender::MRenderItem::sActiveWireDepthPriority;
    look.items.push_back(raised);
    look.items.push_back(item("flat", square(0, 0, 2.0), kRed));  // drawn after, same plane
    shape("priorityShape", look);
    canvas.draw();

    EXPECT_PRED2(near, canvas.pixelAtWorld(0, 0), kGreen);
    EXPECT_PRED2(near, canvas.pixelAtWorld(1.5, 1.5), kRed);
}

// An x-ray pair in the manner of a plug-in: the pre-draw callback turns the
// depth test off, the post-draw callback puts the saved state back.
const MHWRender::MDepthStencilState* gSavedState = nullptr;
const MHWRender::MDepthStencilState* gXrayState = nullptr;
bool gRestoredAfterPost = false;

void xrayOn(MHWRender::MDrawContext& context, const MHWRender::MRenderItemList&, MHWRender::MShaderInstance*)
{
    MHWRender::MStateManager* states = context.getStateManager();
    gSavedState = states->getDepthStencilState();
    MHWRender::MDepthStencilStateDesc desc;
    desc.depthEnable = false;
    gXrayState = MHWRender::MStateManager::acquireDepthStencilState(desc);
    states->setDepthStencilState(gXrayState);
}

void xrayOff(MHWRender::MDrawContext& context, const MHWRender::MRenderItemList&, MHWRender::MShaderInstance*)
{
    MHWRender::MStateManager* states = context.getStateManager();
    states->setDepthStencilState(gSavedState);
    gRestoredAfterPost = states->getDepthStencilState() == gSavedState;
    MHWRender::MStateManager::releaseDepthStencilState(gXrayState);
}

TEST_F(ViewportRendering, XrayCallbacksDrawThroughAnOccluderAndLeaveTheDepthTestOn)
{
    ShapeLook look;
    look.items.push_back(item("occluder", square(0, 0, 3.0, 2.0), kYellow));
    ItemLook xray = item("xray", square(-1.0, 0, 1.0, 0.0), kGreen);
    xray.preDraw = &xrayOn;
    xray.postDraw = &xrayOff;
    look.items.push_back(xray);
    look.items.push_back(item("hidden", square(1.5, 0, 1.0, 0.0), kRed));
    shape("xrayShape", look);
    canvas.draw();

    EXPECT_PRED2(near, canvas.pixelAtWorld(-1.0, 0), kGreen);   // through the occluder
    EXPECT_PRED2(near, canvas.pixelAtWorld(1.5, 0), kYellow);   // behind it, depth test back on
    EXPECT_TRUE(gRestoredAfterPost);
    ASSERT_NE(gSavedState, nullptr);
    EXPECT_TRUE(gSavedState->desc().depthEnable);
}

// Width in pixels of what a vertical line drew across row y.
int widthOfLine(const Canvas& canvas, int y, const QColor& color)
{
    int count = 0;
    for (int x = 0; x < canvas.image().width(); ++x) count += nearWithin(canvas.pixel(x, y), color, 10);
    return count;
}

TEST_F(ViewportRendering, ThickLineAndFatPointShadersDrawLineWidthAndPointSizePixels)
{
    ShapeLook look;
    ItemLook thick = item("thick", {-2.02f, -4, 0, -2.02f, 4, 0}, kRed);
    thick.primitive = MGeometry::kLines;
    thick.shader = MShaderManager::k3dThickLineShader;
    thick.lineWidth = 9.0f;
    ItemLook thin = item("thin", {2.02f, -4, 0, 2.02f, 4, 0}, kBlue);
    thin.primitive = MGeometry::kLines;
    thin.shader = MShaderManager::k3dThickLineShader;
    thin.lineWidth = 1.0f;
    ItemLook dot = item("dot", {0.02f, 3.02f, 0}, kGreen);
    dot.primitive = MGeometry::kPoints;
    dot.shader = MShaderManager::k3dFatPointShader;
    dot.pointSize = 7.0f;
    look.items = {thick, thin, dot};
    shape("lineShape", look);
    canvas.draw();

    const int dotWidth = widthOfLine(canvas, 80, kGreen);
    EXPECT_GE(dotWidth, 6);
    EXPECT_LE(dotWidth, 8);
    int dotHeight = 0;
    for (int y = 0; y < 100; ++y) dotHeight += nearWithin(canvas.pixel(50, y), kGreen, 10);
    EXPECT_GE(dotHeight, 6);
    EXPECT_LE(dotHeight, 8);

    const int thickWidth = widthOfLine(canvas, 50, kRed);
    EXPECT_GE(thickWidth, 8);
    EXPECT_LE(thickWidth, 10);
    const int thinWidth = widthOfLine(canvas, 50, kBlue);
    EXPECT_GE(thinWidth, 1);
    EXPECT_LE(thinWidth, 2);
}

TEST_F(ViewportRendering, UiTextDrawsInItsColourInsideItsBackgroundBox)
{
    ShapeLook look;
    look.ui = [](MHWRender::MUIDrawManager& ui, const MHWRender::MFrameContext&) {
        ui.beginDrawable();
        ui.setColor(MColor(1, 1, 0));
        ui.setFontSize(14);
        const int box[2] = {60, 24};
        const MColor boxColor(0, 0, 1, 1);
        ui.text(MPoint(0, 0, 0), "MMMM", MHWRender::MUIDrawManager::kCenter, box, &boxColor);
        ui.endDrawable();
    };
    shape("textShape", look);
    canvas.draw();

    // The box: 60 x 24 pixels centred on x = 50, its bottom at y = 50.
    int yellow = 0, blue = 0, outside = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) {
            QColor c = canvas.pixel(x, y);
            const bool inBox = x >= 20 && x < 80 && y >= 50 && y < 74;
            if (inBox) {
                yellow += nearWithin(c, kYellow, 60);
                blue += near(c, kBlue);
            } else {
                outside += !near(c, kBackground);
            }
        }
    EXPECT_GT(yellow, 20);        // glyph pixels in the text colour
    EXPECT_GT(blue, 60 * 24 / 2); // the box around them
    EXPECT_EQ(outside, 0);
}

TEST_F(ViewportRendering, UiCirclesFacingTheCameraDrawFilledOrAsARing)
{
    ShapeLook look;
    look.ui = [](MHWRender::MUIDrawManager& ui, const MHWRender::MFrameContext&) {
        ui.beginDrawable();
        ui.setColor(MColor(0, 1, 0));
        ui.circle(MPoint(-2.5, 0, 0), MVector(0, 0, 1), 1.5, true);
        ui.setColor(MColor(1, 0, 0));
        ui.setLineWidth(3.0f);
        ui.circle(MPoint(2.5, 0, 0), MVector(0, 0, 1), 1.5, false);
        ui.endDrawable();
    };
    shape("circleShape", look);
    canvas.draw();

    EXPECT_PRED2(near, canvas.pixelAtWorld(-2.5, 0), kGreen);
    EXPECT_PRED2(near, canvas.pixelAtWorld(-2.5, 1.2), kGreen);
    EXPECT_PRED2(near, canvas.pixelAtWorld(-2.5, 1.8), kBackground);
    EXPECT_PRED2(near, canvas.pixelAtWorld(2.5, 0), kBackground);  // a ring is empty inside
    EXPECT_PRED3(nearWithin, canvas.pixelAtWorld(2.5, 1.5), kRed, 20);
    EXPECT_PRED3(nearWithin, canvas.pixelAtWorld(4.0, 0.0), kRed, 20);
}

TEST_F(ViewportRendering, UiScreenDrawablesUseViewportPixelsAndDashedLinesLeaveGaps)
{
    ShapeLook look;
    look.ui = [](MHWRender::MUIDrawManager& ui, const MHWRender::MFrameContext&) {
        ui.beginDrawable();
        ui.setColor(MColor(0, 0, 1));
        ui.rect2d(MPoint(20, 70), MVector(0, 1), 8, 8, true);
        ui.setColor(MColor(1, 0, 0));
        ui.setLineWidth(3.0f);
        ui.line2d(MPoint(5, 20.5), MPoint(95, 20.5));
        ui.setColor(MColor(0, 1, 0));
        ui.setLineWidth(1.0f);
        ui.setLineStyle(MHWRender::MUIDrawManager::kDashed);
        ui.line2d(MPoint(5, 40.5), MPoint(95, 40.5));
        ui.endDrawable();
    };
    shape("screenShape", look);
    canvas.draw();

    EXPECT_PRED2(near, canvas.pixel(20, 70), kBlue);       // pixels from the bottom left
    EXPECT_PRED2(near, canvas.pixel(20, 30), kBackground);
    int thickness = 0;
    for (int y = 0; y < 100; ++y) thickness += near(canvas.pixel(50, y), kRed);
    EXPECT_EQ(thickness, 3);
    EXPECT_PRED2(near, canvas.pixel(50, 20), kRed);
    int lit = 0;
    for (int x = 10; x < 90; ++x) lit += nearWithin(canvas.pixel(x, 40), kGreen, 10);
    EXPECT_GT(lit, 20);  // dashes ...
    EXPECT_LT(lit, 60);  // ... and gaps between them
}

TEST_F(ViewportRendering, OneFrameCallsTheGeometryOverrideInMayasOrder)
{
    ShapeLook look;
    look.items.push_back(item("body", square(0, 0, 1.0), kRed));
    shape("orderShape", look);
    host::startVp2Record();
    canvas.draw();
    std::vector<host::Vp2Call> calls = host::takeVp2Record();

    const std::vector<std::string> expected = {
        "create", "requiresGeometryUpdate", "updateDG", "requiresUpdateRenderItems", "updateRenderItems",
        "isIndexingDirty body", "isStreamDirty position", "populateGeometry", "bufferWrite position",
        "bufferWrite index:body", "hasUIDrawables", "addUIDrawables", "cleanUp"};
    EXPECT_EQ(callsOf(calls, "orderShape"), expected);
    EXPECT_EQ(bytesWritten(calls, "position"), 6u * 3u * sizeof(float));
    EXPECT_EQ(bytesWritten(calls, "index:body"), 6u * sizeof(unsigned int));
}

TEST_F(ViewportRendering, CleanStreamsWriteOnlyIndexBuffersAndUnchangedFramesWriteNothing)
{
    ShapeLook look;
    look.items.push_back(item("body", square(0, 0, 1.0), kRed));
    MObject node = shape("streamShape", look);
    canvas.draw();

    shapeLooks()["streamShape"].streamsDirty = false;
    host::startVp2Record();
    MHWRender::MRenderer::setGeometryDrawDirty(node, false);
    canvas.draw();
    std::vector<host::Vp2Call> calls = host::takeVp2Record();
    EXPECT_EQ(bytesWritten(calls, "position"), 0u);
    EXPECT_EQ(bytesWritten(calls, "index:"), 6u * sizeof(unsigned int));
    EXPECT_PRED2(near, canvas.pixelAtWorld(0, 0), kRed);  // the kept positions still draw
}

TEST_F(ViewportRendering, OverridesAndTheirDataGoWithTheNodeAndWithThePlugin)
{
    ShapeLook look;
    look.items.push_back(item("body", square(0, 0, 1.0), kRed));
    shape("lifeShape", look);
    shape("markerShape", ShapeLook(), "testDrawShape");
    canvas.draw();
    canvas.draw();
    EXPECT_EQ(observed().geometryOverridesAlive, 1);
    EXPECT_EQ(observed().drawOverridesAlive, 1);
    EXPECT_EQ(observed().userDataAlive, 1);
    EXPECT_EQ(observed().prepareForDrawCalls, 1);  // not always dirty: the kept data is reused

    ASSERT_TRUE(mel("delete lifeShape"));
    EXPECT_EQ(observed().geometryOverridesAlive, 0);
    EXPECT_EQ(observed().drawOverridesAlive, 1);

    host::releaseOverrides(kTestPlugin);
    EXPECT_EQ(observed().drawOverridesAlive, 0);
    EXPECT_EQ(observed().userDataAlive, 0);

    canvas.draw();  // the next frame makes a new one for the node still there
    EXPECT_EQ(observed().drawOverridesAlive, 1);
    ASSERT_TRUE(mel("file -f -new"));
    EXPECT_EQ(observed().drawOverridesAlive, 0);
    EXPECT_EQ(observed().userDataAlive, 0);
}

TEST_F(ViewportRendering, CachedPlaybackUpdatesInBackgroundContextsAndDrawsFromThem)
{
    ShapeLook look;
    look.items.push_back(item("body", square(0, 0, 1.0), kRed));
    shape("cachedShape", look);
    canvas.draw();
    observed().updateContexts.clear();
    observed().populateContexts.clear();

    MString error;
    EXPECT_EQ(host::fillPlaybackCache(1, 3, error), MStatus::kFailure);
    EXPECT_STREQ(error.asChar(), "Cached playback is off.");

    host::setCachedPlayback(true);
    ASSERT_TRUE(host::fillPlaybackCache(1, 3, error)) << error.asChar();
    const std::vector<std::pair<bool, double>> background = {{false, 1.0}, {false, 2.0}, {false, 3.0}};
    EXPECT_EQ(observed().updateContexts, background);

    MAnimControl::setCurrentTime(MTime(2.0));
    canvas.draw();
    ASSERT_FALSE(observed().populateContexts.empty());
    EXPECT_EQ(observed().populateContexts.back(), std::make_pair(false, 2.0));
    EXPECT_EQ(observed().updateContexts.size(), 3u);  // nothing evaluated in the normal context
    EXPECT_PRED2(near, canvas.pixelAtWorld(0, 0), kRed);

    MAnimControl::setCurrentTime(MTime(7.0));  // outside the cache: a normal update
    canvas.draw();
    EXPECT_EQ(observed().updateContexts.back().first, true);
}

} // namespace

namespace
{

int countNear(const Canvas& canvas, const QColor& color, int xFrom, int xTo)
{
    int count = 0;
    for (int y = 0; y < canvas.image().height(); ++y)
        for (int x = xFrom; x < xTo; ++x) count += nearWithin(canvas.pixel(x, y), color, 6);
    return count;
}

TEST_F(ViewportRendering, MeshesDrawShadedGreyWithSelectionWireframeInMayasColours)
{
    ASSERT_TRUE(mel("polyCube -w 3 -h 3 -d 3 -n boxA; polyCube -w 3 -h 3 -d 3 -n boxB; setAttr boxA.translateX -2.5"));
    ASSERT_TRUE(mel("setAttr boxB.translateX 2.5; select -cl"));
    const QColor lead = rgb(0.26, 1.0, 0.64), active = rgb(1, 1, 1), faceOn = rgb(0.5, 0.5, 0.5);
    canvas.draw();
    EXPECT_PRED2(near, canvas.pixelAtWorld(-2.5, 0), faceOn);   // lit head-on by the head light
    EXPECT_PRED2(near, canvas.pixelAtWorld(2.5, 0), faceOn);
    EXPECT_PRED2(near, canvas.pixelAtWorld(0, 0), kBackground);
    EXPECT_EQ(countNear(canvas, lead, 0, 100) + countNear(canvas, active, 0, 100), 0);

    ASSERT_TRUE(mel("select -r boxA boxB"));  // boxB, selected last, leads
    canvas.draw();
    EXPECT_GT(countNear(canvas, lead, 50, 100), 40);
    EXPECT_EQ(countNear(canvas, lead, 0, 50), 0);
    EXPECT_GT(countNear(canvas, active, 0, 50), 40);
    EXPECT_PRED2(near, canvas.pixelAtWorld(2.5, 0), faceOn);  // wireframe on shaded: faces stay shaded

    host::ViewSetup wire = canvas.view();
    wire.displayStyle = MHWRender::MFrameContext::kWireFrame;
    ASSERT_TRUE(mel("select -cl"));
    canvas.draw(wire);
    EXPECT_PRED2(near, canvas.pixelAtWorld(2.5, 0), kBackground);  // no faces in wireframe
    EXPECT_GT(countNear(canvas, rgb(0.0, 0.016, 0.376), 50, 100), 40);
}

TEST_F(ViewportRendering, MelTurnsCachedPlaybackOnFillsThePlaybackRangeAndFlushesIt)
{
    ShapeLook look;
    look.items.push_back(item("body", square(0, 0, 1.0), kRed));
    shape("melCachedShape", look);
    canvas.draw();

    {
        StderrCapture errors;
        EXPECT_FALSE(mel("cacheEvaluator -cacheFillMode \"sometimes\""));
        EXPECT_NE(errors.finish().find("cacheEvaluator: Invalid cache fill mode 'sometimes': use \"syncOnly\", "
                                       "\"asyncOnly\" or \"syncAsync\"."),
                  std::string::npos);
    }
    EXPECT_EQ(melString("cacheEvaluator -q -cacheFillMode"), MString("none"));
    ASSERT_TRUE(mel("evaluator -name \"cache\" -enable true"));
    EXPECT_EQ(melString("cacheEvaluator -q -cacheFillMode"), MString("syncOnly"));

    const MTime oldMin = MAnimControl::minTime(), oldMax = MAnimControl::maxTime();
    ASSERT_TRUE(MAnimControl::setMinMaxTime(MTime(1.0), MTime(4.0)));
    observed().updateContexts.clear();
    ASSERT_TRUE(mel("cacheEvaluator -waitForCache 10"));
    EXPECT_EQ(observed().updateContexts.size(), 4u);
    EXPECT_EQ(melStrings("cacheEvaluator -q -cachedFrames").length(), 4u);

    ASSERT_TRUE(mel("cacheEvaluator -flushCache \"destroy\""));
    EXPECT_EQ(melStrings("cacheEvaluator -q -cachedFrames").length(), 0u);
    ASSERT_TRUE(mel("evaluator -name \"cache\" -enable false"));
    EXPECT_EQ(melString("cacheEvaluator -q -cacheFillMode"), MString("none"));
    MAnimControl::setMinMaxTime(oldMin, oldMax);
}

} // namespace

namespace
{

TEST_F(ViewportRendering, UnloadingAPluginAfterDrawingLeavesNoOverridesAndCanBeRepeated)
{
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        if (!isPellixLoaded()) {
            ASSERT_TRUE(loadPellix());
        }
        ASSERT_TRUE(mel("polyPlane -n body -w 4 -h 4 -sx 2 -sy 2; duplicate -n patch body; delete \"patch.f[1:3]\""));
        ASSERT_TRUE(mel("pellixDataBind -name overlay body patch"));
        canvas.draw();
        ASSERT_EQ(host::overrideInstances().size(), 1u);

        ASSERT_TRUE(mel(std::string("unloadPlugin -force ") + kPluginName));
        EXPECT_TRUE(host::overrideInstances().empty());
        canvas.draw();  // the scene left behind still draws
        EXPECT_TRUE(host::overrideInstances().empty());
        ASSERT_TRUE(mel("file -f -new"));
    }
}

} // namespace
