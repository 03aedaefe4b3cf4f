// The views as a script, a plug-in and a person see them: the four model
// panels and their cameras, M3dView's projection, the MEL view commands and
// the images written from a view.

#include "PluginTestSupport.h"
#include "ViewportTestScene.h"

#include "commands/MessageOutput.h"
#include "support/TestValues.h"
#include "views/Views.h"

#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MUiMessage.h>

#include <QColor>
#include <QImage>
#include <QOpenGLWidget>
#include <QSurfaceFormat>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <set>

namespace {

class Views : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mel("file -force -new"));
        // Every panel back on its startup camera, the perspective one in focus.
        ASSERT_TRUE(mel("lookThru top modelPanel1; lookThru front modelPanel2; lookThru side modelPanel3; "
                        "lookThru persp modelPanel4"));
        host::setActivePanel(3);
        host::processEvents();
        fCapture = std::make_unique<host::MessageCapture>();
    }

    void TearDown() override
    {
        fCapture.reset();
        mel("file -force -new");
        for (const std::string& file : fFiles)
            std::remove(file.c_str());
    }

    std::string errors() const { return fCapture->text(host::MessageKind::kError).asChar(); }
    void clearMessages() { fCapture->clear(); }

    std::string imagePath(const std::string& name)
    {
        fFiles.push_back("/tmp/pellix-views-" + std::to_string(::getpid()) + "-" + name);
        return fFiles.back();
    }

    static M3dView panel(const char* name)
    {
        M3dView view;
        EXPECT_TRUE(M3dView::getM3dViewFromModelPanel(name, view)) << name;
        return view;
    }

    // Projects a world point and checks that the pixel maps back onto a ray through it.
    static void expectRoundTrip(M3dView& view, const MPoint& world)
    {
        short x = 0, y = 0;
        ASSERT_TRUE(view.worldToView(world, x, y)) << world.x << " " << world.y << " " << world.z;
        MPoint nearPoint, farPoint;
        ASSERT_TRUE(view.viewToWorld(x, y, nearPoint, farPoint));
        MVector ray = farPoint - nearPoint;
        ray.normalize();
        const MVector toPoint = world - nearPoint;
        const double offRay = (toPoint - ray * (toPoint * ray)).length();
        // Within the half pixel the rounding to whole pixels can move it, at that depth.
        const double depth = toPoint.length();
        EXPECT_LT(offRay, depth * 2.0 / view.portHeight()) << x << " " << y;
        short backX = 0, backY = 0;
        view.worldToView(nearPoint, backX, backY);
        EXPECT_NEAR(backX, x, 1);
        EXPECT_NEAR(backY, y, 1);
    }

private:
    std::unique_ptr<host::MessageCapture> fCapture;
    std::vector<std::string> fFiles;
};

typedef std::vector<std::string> Names;

} // namespace

TEST_F(Views, FourModelPanelsOnTheStartupCamerasWithPerspInFocus)
{
    const Names panels{"modelPanel1", "modelPanel2", "modelPanel3", "modelPanel4"};
    EXPECT_EQ(toVector(melStrings("getPanel -type \"modelPanel\"")), panels);
    EXPECT_EQ(toVector(melStrings("getPanel -all")), panels);
    EXPECT_EQ(toVector(melStrings("getPanel -visiblePanels")), Names{"modelPanel4"}) << "one perspective view";
    EXPECT_EQ(toVector(melStrings("getPanel -type \"outlinerPanel\"")), Names{});
    EXPECT_EQ(melString("getPanel -withFocus"), "modelPanel4");
    EXPECT_EQ(melString("modelEditor -q -camera modelPanel1"), "top");
    EXPECT_EQ(melString("modelEditor -q -camera modelPanel2"), "front");
    EXPECT_EQ(melString("modelEditor -q -camera modelPanel3"), "side");
    EXPECT_EQ(melString("modelEditor -q -camera modelPanel4"), "persp");

    ASSERT_EQ(M3dView::numberOf3dViews(), 4u);
    MStatus status;
    M3dView active = M3dView::active3dView(&status);
    ASSERT_TRUE(status);
    MDagPath camera;
    ASSERT_TRUE(active.getCamera(camera));
    EXPECT_EQ(camera.partialPathName(), "perspShape");
    auto* widget = dynamic_cast<QOpenGLWidget*>(active.widget(&status));
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->objectName().toStdString(), "modelPanel4");
    EXPECT_TRUE(widget->hasMouseTracking());
    const QSurfaceFormat format = widget->format();
    EXPECT_EQ(format.profile(), QSurfaceFormat::CoreProfile);
    EXPECT_GE(format.majorVersion() * 10 + format.minorVersion(), 45);
    EXPECT_GE(format.depthBufferSize(), 24);
    EXPECT_GE(format.stencilBufferSize(), 8);
    EXPECT_LE(format.samples(), 0) << "no multisampling";
    EXPECT_EQ(active.portWidth(), std::lround(widget->width() * widget->devicePixelRatioF()));
    EXPECT_EQ(active.portHeight(), std::lround(widget->height() * widget->devicePixelRatioF()));

    M3dView second;
    ASSERT_TRUE(M3dView::get3dView(1, second));
    ASSERT_TRUE(second.getCamera(camera));
    EXPECT_EQ(camera.partialPathName(), "frontShape");
    EXPECT_NE(M3dView::get3dView(4, second), MS::kSuccess);
    EXPECT_NE(M3dView::getM3dViewFromModelPanel("modelPanel9", second), MS::kSuccess);
}

TEST_F(Views, WorldToViewAndBackInPerspectiveAndOrthographicPanels)
{
    M3dView persp = panel("modelPanel4");
    const int width = persp.portWidth();
    const int height = persp.portHeight();
    short x = 0, y = 0;
    ASSERT_TRUE(persp.worldToView(MPoint::origin, x, y));
    EXPECT_NEAR(x, width / 2.0, 1.0) << "persp looks at the origin";
    EXPECT_NEAR(y, height / 2.0, 1.0);
    ASSERT_TRUE(persp.worldToView(MPoint(0, 5, 0), x, y));
    EXPECT_GT(y, height / 2) << "y grows upwards, as in Maya";
    for (const MPoint& p : {MPoint(3, 1, -2), MPoint(-4, 0.5, 6), MPoint(10, -3, 10)})
        expectRoundTrip(persp, p);
    EXPECT_FALSE(persp.worldToView(MPoint(56, 42, 56), x, y)) << "behind the camera";

    // front: 30 units across the port, looking down -Z.
    M3dView front = panel("modelPanel2");
    ASSERT_TRUE(front.worldToView(MPoint(7.5, 0, 0), x, y));
    EXPECT_NEAR(x, front.portWidth() * 0.75, 1.0);
    EXPECT_NEAR(y, front.portHeight() * 0.5, 1.0);
    MPoint nearPoint;
    MVector direction;
    ASSERT_TRUE(front.viewToWorld(x, y, nearPoint, direction));
    EXPECT_NEAR(nearPoint.x, 7.5, 30.0 / front.portWidth());
    EXPECT_NEAR(direction.z, -1.0, 1e-9);
    expectRoundTrip(front, MPoint(-12, 4, 3));

    MMatrix modelView;
    ASSERT_TRUE(persp.modelViewMatrix(modelView));
    MDagPath camera;
    M3dView(persp).getCamera(camera);
    EXPECT_TRUE((modelView * camera.inclusiveMatrix()).isEquivalent(MMatrix::identity, 1e-9))
        << "the model-view matrix is the camera's inverse world matrix";
}

TEST_F(Views, LookThruAndModelEditorChooseWhatAPanelShows)
{
    ASSERT_TRUE(mel("lookThru top"));
    EXPECT_EQ(melString("lookThru -q"), "top") << "the panel in focus";
    EXPECT_EQ(melString("modelEditor -q -camera modelPanel4"), "top");
    MDagPath camera;
    M3dView active = M3dView::active3dView();
    ASSERT_TRUE(active.getCamera(camera));
    EXPECT_EQ(camera.partialPathName(), "topShape");

    ASSERT_TRUE(mel("lookThru side modelPanel1; modelEditor -e -camera front modelPanel3"));
    EXPECT_EQ(melString("lookThru -q modelPanel1"), "side");
    EXPECT_EQ(melString("modelEditor -q -camera modelPanel3"), "front");

    // A camera of the user's, until it is deleted.
    ASSERT_TRUE(mel("createNode camera -n shotCamShape; lookThru shotCam modelPanel2"));
    EXPECT_EQ(melString("lookThru -q modelPanel2"), "shotCam");
    ASSERT_TRUE(mel("delete shotCam"));
    EXPECT_EQ(melString("lookThru -q modelPanel2"), "front") << "back on its startup camera";

    const struct
    {
        const char* command;
        const char* error;
    } cases[] = {
        {"lookThru noSuchCamera", "lookThru: noSuchCamera is not a camera.\n"},
        {"lookThru persp modelPanel9", "lookThru: No panel named 'modelPanel9'.\n"},
        {"modelEditor -q -camera outliner1", "modelEditor: No panel named 'outliner1'.\n"},
        {"modelEditor -e -camera persp.tx modelPanel1", "modelEditor: persp.tx is not a camera.\n"},
        {"modelEditor -e -displayAppearance cartoon modelPanel4",
         "modelEditor: unknown display appearance \"cartoon\" (smoothShaded, flatShaded, wireframe, boundingBox or "
         "points).\n"},
    };
    for (const auto& c : cases) {
        clearMessages();
        EXPECT_FALSE(mel(c.command)) << c.command;
        EXPECT_EQ(errors(), c.error) << c.command;
    }
}

TEST_F(Views, DisplayAppearanceAndObjectFiltersReachTheView)
{
    M3dView persp = panel("modelPanel4");
    EXPECT_EQ(persp.displayStyle(), M3dView::kGouraudShaded);
    ASSERT_TRUE(mel("modelEditor -e -displayAppearance wireframe modelPanel4"));
    EXPECT_EQ(persp.displayStyle(), M3dView::kWireFrame);
    EXPECT_EQ(melString("modelEditor -q -displayAppearance modelPanel4"), "wireframe");
    ASSERT_TRUE(mel("modelEditor -e -displayAppearance smoothShaded modelPanel4; "
                    "modelEditor -e -wireframeOnShaded true modelPanel4"));
    EXPECT_EQ(melInt("modelEditor -q -wireframeOnShaded modelPanel4"), 1);
    const unsigned style = host::panelViewSetup(3).displayStyle;
    EXPECT_EQ(style, static_cast<unsigned>(MHWRender::MFrameContext::kGouraudShaded |
                                           MHWRender::MFrameContext::kWireFrame));

    EXPECT_EQ(persp.objectDisplay(), static_cast<unsigned>(M3dView::kDisplayEverything));
    ASSERT_TRUE(persp.setObjectDisplay(M3dView::kDisplayMeshes));
    EXPECT_EQ(persp.objectDisplay(), static_cast<unsigned>(M3dView::kDisplayMeshes));
    EXPECT_EQ(host::panelViewSetup(3).objectDisplay, static_cast<unsigned>(M3dView::kDisplayMeshes));
    EXPECT_EQ(panel("modelPanel1").objectDisplay(), static_cast<unsigned>(M3dView::kDisplayEverything))
        << "each panel has its own filters";
    persp.setObjectDisplay(M3dView::kDisplayEverything);
    mel("modelEditor -e -wireframeOnShaded false modelPanel4");
}

// Maya's view furniture: the ground grid on the up axis' plane (or facing an orthographic
// camera), lines every spacing / divisions units out to the grid's size with the axes in
// black; the gradient behind; the view axis and the camera's name over the scene.
TEST_F(Views, TheGridGradientViewAxisAndCameraNameFollowTheirSettings)
{
    struct Restore
    {
        ~Restore() { mel("grid -reset; grid -toggle off; upAxis -axis y; displayPref -displayGradient off; "
                         "toggleAxis -view off; modelEditor -e -grid true modelPanel4"); }
    } restore;
    ASSERT_TRUE(mel("setAttr persp.translate 0 30 30; setAttr persp.rotate -45 0 0; "
                    "grid -toggle on; displayPref -displayGradient on; toggleAxis -view on"));
    const M3dView persp = panel("modelPanel4");
    QImage image;
    auto snapshot = [&] {
        const std::string file = imagePath("decorations.png");
        ASSERT_TRUE(mel("refresh -cv -fe png -fn \"" + file + "\""));
        ASSERT_TRUE(image.load(QString::fromStdString(file)));
    };
    // Whether a grid line's grey (or, for the axes, black) is within a pixel of where a world
    // point lands; the gradient behind is blue grey, and near black only at the very bottom.
    auto lineAt = [&](double x, double y, double z, bool black) {
        short px = 0, py = 0;
        EXPECT_TRUE(persp.worldToView(MPoint(x, y, z), px, py));
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const QColor c = image.pixelColor(px + dx, image.height() - 1 - (py + dy));
                const bool neutral = std::abs(c.red() - c.green()) <= 3 && std::abs(c.green() - c.blue()) <= 3;
                if (neutral && (black ? c.red() <= 5 : c.red() >= 85 && c.red() <= 120))
                    return true;
            }
        return false;
    };
    auto onLine = [&](double x, double y, double z) { return lineAt(x, y, z, false); };
    auto onAxis = [&](double x, double y, double z) { return lineAt(x, y, z, true); };
    snapshot();
    EXPECT_TRUE(onAxis(7, 0, 0)) << "the X axis is black";
    EXPECT_TRUE(onAxis(0, 0, -7)) << "the Z axis is black";
    EXPECT_TRUE(onLine(1, 0, 6.5)) << "a division line every unit";
    EXPECT_TRUE(onLine(5, 0, 6.5)) << "a grid line every five";
    EXPECT_FALSE(onLine(0.5, 0, 6.5)) << "between the lines";
    EXPECT_FALSE(onLine(13, 0, 6.5)) << "past the grid's size";
    const QColor top = image.pixelColor(image.width() / 2, 0), bottom = image.pixelColor(image.width() / 2, image.height() - 1);
    EXPECT_PRED3(viewtest::nearWithin, top, viewtest::rgb(0.535, 0.617, 0.702), 6) << "the gradient's top";
    EXPECT_LT(bottom.red() + bottom.green() + bottom.blue(), 60) << "and its dark bottom";
    auto pixelsOf = [&](int left, int bottomRow, int width, int height, auto test) {
        int count = 0;
        for (int y = bottomRow; y < bottomRow + height; ++y)
            for (int x = left; x < left + width; ++x)
                count += test(image.pixelColor(x, image.height() - 1 - y));
        return count;
    };
    auto red = [](const QColor& c) { return c.red() > 180 && c.green() < 90 && c.blue() < 90; };
    auto light = [](const QColor& c) { return c.red() > 170 && c.green() > 170 && c.blue() > 170; };
    EXPECT_GT(pixelsOf(20, 20, 50, 50, red), 5) << "the view axis' red X";
    EXPECT_GT(pixelsOf(image.width() / 2 - 30, 0, 60, 25, light), 10) << "the camera's name";

    ASSERT_TRUE(mel("grid -size 20 -spacing 4 -divisions 2"));
    snapshot();
    EXPECT_FALSE(onLine(1, 0, 6.5)) << "lines every two units now";
    EXPECT_TRUE(onLine(2, 0, 6.5));
    EXPECT_TRUE(onLine(14, 0, 6.5)) << "out to 20";
    ASSERT_TRUE(mel("upAxis -axis z"));
    snapshot();
    EXPECT_FALSE(onLine(2, 0, 6.5)) << "the ground plane turned with the up axis";
    EXPECT_TRUE(onLine(2, 6.5, 0));
    ASSERT_TRUE(mel("modelEditor -e -grid false modelPanel4; toggleAxis -view off"));
    EXPECT_EQ(melInt("modelEditor -q -grid modelPanel4"), 0);
    snapshot();
    EXPECT_FALSE(onAxis(7, 0, 0)) << "no grid in this panel";
    EXPECT_EQ(pixelsOf(20, 20, 50, 50, red), 0) << "no view axis";
    ASSERT_TRUE(mel("modelEditor -e -grid true modelPanel4; grid -toggle off"));
    snapshot();
    EXPECT_FALSE(onAxis(7, 0, 0)) << "no grid anywhere";

    const struct
    {
        const char* command;
        const char* error;
    } cases[] = {
        {"grid -size 0", "grid: -s takes a length above 0, not 0.\n"},
        {"grid -divisions 2.5", "grid: -divisions takes a whole number from 1 to 1000, not 2.5.\n"},
        {"grid -size 100000 -spacing 1 -divisions 100",
         "grid: that size, spacing and divisions would draw more than 10000 lines a side.\n"},
        {"upAxis -axis x", "upAxis: -axis takes y or z, not \"x\".\n"},
    };
    for (const auto& c : cases) {
        clearMessages();
        EXPECT_FALSE(mel(c.command)) << c.command;
        EXPECT_EQ(errors(), c.error);
    }
    EXPECT_EQ(melString("upAxis -q -axis"), "z");
    EXPECT_EQ(melDouble("grid -q -size"), 20.0) << "a refused edit changes nothing";
}

TEST_F(Views, ViewFitFramesTheSelectionOrEverything)
{
    ASSERT_TRUE(mel("polyCube -w 2 -h 2 -d 2 -n box; move 40 5 -30 box; polySphere -n ball; move -20 0 20 ball"));
    ASSERT_TRUE(mel("select box; viewFit"));
    M3dView persp = panel("modelPanel4");
    short x = 0, y = 0;
    ASSERT_TRUE(persp.worldToView(MPoint(40, 5, -30), x, y));
    EXPECT_NEAR(x, persp.portWidth() / 2.0, 1.0);
    EXPECT_NEAR(y, persp.portHeight() / 2.0, 1.0);
    for (int corner = 0; corner < 8; ++corner) {
        const MPoint p(corner & 1 ? 41 : 39, corner & 2 ? 6 : 4, corner & 4 ? -29 : -31);
        EXPECT_TRUE(persp.worldToView(p, x, y)) << "corner " << corner << " in view";
    }
    EXPECT_FALSE(persp.worldToView(MPoint(-20, 0, 20), x, y)) << "the ball is not framed";

    ASSERT_TRUE(mel("viewFit -all modelPanel4"));
    EXPECT_TRUE(persp.worldToView(MPoint(-20, 0, 20), x, y));
    EXPECT_TRUE(persp.worldToView(MPoint(40, 5, -30), x, y));

    // A curve is framed by its CVs as a mesh is by its points.
    ASSERT_TRUE(mel("curve -d 1 -p 100 0 0 -p 100 10 0 -n rail; select rail; viewFit"));
    ASSERT_TRUE(persp.worldToView(MPoint(100, 5, 0), x, y));
    EXPECT_NEAR(x, persp.portWidth() / 2.0, 1.0);
    EXPECT_NEAR(y, persp.portHeight() / 2.0, 1.0);

    clearMessages();
    EXPECT_FALSE(mel("viewFit -f 0 modelPanel4"));
    EXPECT_EQ(errors(), "viewFit: -fitFactor needs a number above 0.\n");
}

TEST_F(Views, RefreshAndPlayblastWriteTheSameImageEveryTime)
{
    M3dView persp = panel("modelPanel4");
    const std::string view = imagePath("view.png");
    ASSERT_TRUE(mel("refresh -cv -fe png -fn \"" + view + "\""));
    QImage written(QString::fromStdString(view));
    ASSERT_FALSE(written.isNull());
    EXPECT_EQ(written.width(), persp.portWidth());
    EXPECT_EQ(written.height(), persp.portHeight());

    ASSERT_TRUE(mel("currentTime 1"));
    const std::string first = imagePath("first.png");
    const std::string second = imagePath("second.png");
    const std::string blast = "playblast -frame 7 -format image -compression png -completeFilename \"";
    const std::string rest = "\" -widthHeight 320 200 -viewer 0 -showOrnaments 0";
    EXPECT_EQ(melString(blast + first + rest), first.c_str());
    EXPECT_EQ(melDouble("currentTime -q"), 7.0) << "the time is set first";
    ASSERT_TRUE(mel(blast + second + rest));
    QImage one(QString::fromStdString(first));
    QImage two(QString::fromStdString(second));
    ASSERT_FALSE(one.isNull());
    EXPECT_EQ(one.size(), QSize(320, 200));
    EXPECT_TRUE(one == two) << "same scene, same pixels";

    const struct
    {
        std::string command;
        const char* error;
    } cases[] = {
        {"playblast -frame 1 -format avi -completeFilename \"" + first + "\"",
         "playblast: cannot write the format \"avi\"; use -format image.\n"},
        {"playblast -format image -compression jpg -completeFilename \"" + first + "\"",
         "playblast: cannot write \"jpg\" images; use -compression png.\n"},
        {"playblast -format image -compression png -widthHeight 320 200",
         "playblast: -completeFilename is needed to write an image.\n"},
        {"playblast -format image -compression png -completeFilename \"" + first + "\" -widthHeight 0 200",
         "playblast: -widthHeight needs two whole numbers from 1 to 16384.\n"},
        {"refresh -cv -fe jpg -fn \"" + first + "\"", "refresh: cannot write \"jpg\" images; use -fileExtension png.\n"},
        {"refresh -cv -fe png -fn \"/no/such/folder/x.png\"", "refresh: cannot write /no/such/folder/x.png.\n"},
    };
    for (const auto& c : cases) {
        clearMessages();
        EXPECT_FALSE(mel(c.command)) << c.command;
        EXPECT_EQ(errors(), c.error) << c.command;
    }
}

TEST_F(Views, RefreshRequestsRepaintTheShownPanel)
{
    // Asking for repaints is safe in every form, shown panel or hidden one.
    M3dView::scheduleRefreshAllViews();
    M3dView persp = panel("modelPanel4");
    persp.scheduleRefresh();
    EXPECT_TRUE(persp.refresh(false, true));
    EXPECT_TRUE(panel("modelPanel1").refresh(true, true));
    EXPECT_TRUE(mel("refresh; refresh -cv -f"));
    host::processEvents();
    EXPECT_TRUE(persp.widget()->isVisible());
    EXPECT_FALSE(panel("modelPanel1").widget()->isVisible());
    EXPECT_EQ(panel("modelPanel1").portWidth(), persp.portWidth()) << "a hidden panel sizes like the shown one";

    // Pre-render callbacks hear of their own panel's repaints, named.
    std::set<std::string> rendered;
    auto note = [](const MString& name, void* seen) { static_cast<std::set<std::string>*>(seen)->insert(name.asChar()); };
    MStatus status;
    const MCallbackId id = MUiMessage::add3dViewPreRenderMsgCallback("modelPanel4", note, &rendered, &status);
    ASSERT_TRUE(status);
    host::processEvents();
    EXPECT_TRUE(rendered.empty());
    persp.scheduleRefresh();
    host::processEvents();
    EXPECT_EQ(rendered, std::set<std::string>{"modelPanel4"});
    MMessage::removeCallback(id);
}

TEST(GuiRunner, PellixbatchWithGuiRunsTheStepsWithTheViewsUp)
{
    const std::string image = "/tmp/pellix-views-runner-" + std::to_string(::getpid()) + ".png";
    std::string output;
    const int status = runPellixbatch("-gui -command 'getPanel -withFocus; lookThru -q; refresh -cv -fe png -fn \"" +
                                          image + "\"'",
                                      output);
    EXPECT_EQ(status, 0) << output;
    EXPECT_EQ(output, "// Result: modelPanel4 //\n// Result: persp //\n");
    const QImage written(QString::fromStdString(image));
    EXPECT_EQ(written.size(), QSize(960, 720)) << "the window's one perspective panel";
    // As Maya starts: the gradient behind the scene, dark at the bottom.
    EXPECT_PRED3(viewtest::nearWithin, written.pixelColor(480, 0), viewtest::rgb(0.535, 0.617, 0.702), 6);
    EXPECT_LT(written.pixelColor(480, 719).red(), 30);
    std::remove(image.c_str());

    EXPECT_EQ(runPellixbatch("-gui -command 'lookThru nowhere'", output), 1);
    EXPECT_EQ(output, "Error: lookThru: nowhere is not a camera.\n");
    // The runner's own flags are not Qt's: -plugin loads a Maya plug-in, not a Qt one.
    EXPECT_EQ(runPellixbatch("-gui -plugin pellix -command 'pluginInfo -q -loaded pellix'", output), 0);
    EXPECT_EQ(output, "// Result: 1 //\n");
}

namespace
{

constexpr unsigned kPerspPanel = 3;

// The colour at the middle of what the persp panel draws now.
QColor middleOfPanel()
{
    auto* widget = static_cast<QOpenGLWidget*>(host::panelWidget(kPerspPanel));
    if (!widget)
        return QColor();
    const QImage frame = widget->grabFramebuffer();
    return frame.isNull() ? QColor() : frame.pixelColor(frame.width() / 2, frame.height() / 2);
}

// Draws a red square through a geometry override, closes and reopens the views, and draws again.
[[noreturn]] void drawRestartAndDraw()
{
    using namespace viewtest;
    registerTestTypes();
    mel("file -f -new");
    ItemLook square;
    square.name = "face";
    square.positions = viewtest::square(0, 0, 3);
    shapeLooks()["restartShape"].items = {square};
    mel("createNode testGeoShape -n restartShape; lookThru front modelPanel4");
    const QColor before = middleOfPanel();

    host::stopViews();
    int argc = 1;
    char program[] = "guitests";
    char* argv[] = {program, nullptr};
    std::string error;
    if (!host::startViews(argc, argv, error)) {
        std::fprintf(stderr, "restart failed: %s\n", error.c_str());
        std::exit(3);
    }
    mel("lookThru front modelPanel4");
    const QColor after = middleOfPanel();
    std::fprintf(stderr, "before rgb(%d, %d, %d) after rgb(%d, %d, %d)\n", before.red(), before.green(),
                 before.blue(), after.red(), after.green(), after.blue());
    std::exit(0);
}

TEST(ViewsRestart, ClosingAndReopeningTheViewsDrawsPluginGeometryAgain)
{
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(drawRestartAndDraw(), ::testing::ExitedWithCode(0),
                "before rgb\\(255, 0, 0\\) after rgb\\(255, 0, 0\\)");
}

} // namespace
