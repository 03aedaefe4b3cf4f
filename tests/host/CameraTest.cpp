// Maya's startup cameras and the camera projection, as scenes, scripts and
// batch runs see them (no views needed).

#include "CommandTestSupport.h"
#include "SceneTestSupport.h"

#include "support/TestValues.h"
#include "views/CameraView.h"
#include "views/StartupCameras.h"

#include <maya/M3dView.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

namespace {

class Cameras : public SceneTest
{
protected:
    // The port pixel of a world point as `camera` sees it in a width x height port.
    static bool project(const char* camera, int width, int height, const MPoint& world, double& x, double& y)
    {
        MDagPath path;
        EXPECT_TRUE(host::findCamera(camera, path)) << camera;
        host::ViewSetup view;
        EXPECT_TRUE(host::cameraViewSetup(path, width, height, view));
        return host::worldToPort(view, world, x, y);
    }

    // Whether every corner of the box lies in the port.
    static bool cornersInView(const char* camera, int width, int height, const MPoint& low, const MPoint& high)
    {
        for (int corner = 0; corner < 8; ++corner) {
            const MPoint p(corner & 1 ? high.x : low.x, corner & 2 ? high.y : low.y, corner & 4 ? high.z : low.z);
            double x = 0.0, y = 0.0;
            if (!project(camera, width, height, p, x, y))
                return false;
        }
        return true;
    }
};

typedef std::vector<std::string> Names;

size_t occurrences(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

} // namespace

TEST_F(Cameras, NewSceneHasTheFourStartupCamerasPlacedAsMayaPlacesThem)
{
    EXPECT_EQ(toVector(strings("ls -type camera")), (Names{"perspShape", "topShape", "frontShape", "sideShape"}));
    EXPECT_EQ(toVector(strings("listRelatives -p perspShape")), Names{"persp"});
    EXPECT_EQ(text("getAttr persp.t"), "28 21 28");
    EXPECT_EQ(text("getAttr top.t"), "0 1000.1 0");
    EXPECT_EQ(text("getAttr top.r"), "-90 0 0");
    EXPECT_EQ(text("getAttr front.t"), "0 0 1000.1");
    EXPECT_EQ(text("getAttr side.r"), "0 90 0");
    const std::pair<const char*, double> settings[] = {
        {"perspShape.o", 0},        {"sideShape.o", 1},  {"sideShape.ow", 30}, {"perspShape.focalLength", 35},
        {"perspShape.nearClipPlane", 0.1}, {"perspShape.farClipPlane", 10000},
        {"perspShape.horizontalFilmAperture", 1.41732}, {"perspShape.verticalFilmAperture", 0.94488},
        {"perspShape.filmFit", 1}};  // horizontal
    for (const auto& [plug, expected] : settings)
        EXPECT_EQ(number(std::string("getAttr ") + plug), expected) << plug;
    EXPECT_NEAR(number("getAttr perspShape.coi"), std::sqrt(28.0 * 28 + 21 * 21 + 28 * 28), 1e-9)
        << "the centre of interest is the origin";

    double x = 0.0, y = 0.0;
    ASSERT_TRUE(project("persp", 640, 480, MPoint::origin, x, y));
    EXPECT_NEAR(x, 320.0, 1e-6) << "persp looks at the origin";
    EXPECT_NEAR(y, 240.0, 1e-6);
}

TEST_F(Cameras, SavedAsSharedNodesReusedWhenTheSceneOpensAndGivenWhenItLacksThem)
{
    run("setAttr persp.t -type double3 10 20 30; setAttr perspShape.fl 50; createNode transform -n box");
    const std::string path = tempPath("cameras.ma");
    ASSERT_TRUE(run("file -rename \"" + path + "\"; file -save"));
    std::ifstream file(path);
    const std::string saved((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(occurrences(saved, "createNode transform -s -n \"persp\";\n"), 1u) << saved;
    EXPECT_EQ(occurrences(saved, "createNode camera -s -n \"perspShape\" -p "), 1u) << saved;
    EXPECT_EQ(occurrences(saved, "createNode camera -s -n \"topShape\" -p "), 1u) << saved;
    EXPECT_EQ(occurrences(saved, "createNode transform -n \"box\";\n"), 1u) << "other nodes are not shared";
    EXPECT_LT(saved.find("\"persp\";"), saved.find("\"box\";")) << "the startup cameras come first";

    ASSERT_TRUE(run("file -f -new"));
    EXPECT_EQ(text("getAttr persp.t"), "28 21 28") << "a new scene has the cameras where Maya puts them";
    ASSERT_TRUE(run("file -f -o \"" + path + "\"")) << errors();
    EXPECT_EQ(errors(), "");
    EXPECT_EQ(text("getAttr persp.t"), "10 20 30");
    EXPECT_EQ(number("getAttr perspShape.fl"), 50);
    EXPECT_EQ(toVector(strings("ls -type camera")), (Names{"perspShape", "topShape", "frontShape", "sideShape"}))
        << "reading reuses the startup cameras instead of numbering new ones";
    const std::string again = sceneText();
    const auto nodesOf = [](const std::string& text) {
        const size_t first = text.find("createNode");
        return text.substr(first, text.find("// End of") - first);
    };
    EXPECT_EQ(nodesOf(again), nodesOf(saved)) << "a second save writes the same nodes";

    // Opening a scene that lacks them still gives them.
    const std::string bare = tempPath("bare.ma");
    std::ofstream(bare) << "//Maya ASCII 2023 scene\nrequires maya \"2023\";\ncreateNode transform -n \"only\";\n";
    ASSERT_TRUE(run("file -f -o \"" + bare + "\"")) << errors();
    EXPECT_EQ(toVector(strings("ls -type transform")), (Names{"persp", "top", "front", "side", "only"}));
}

TEST_F(Cameras, FocalLengthAndFilmFitShapeThePerspectiveView)
{
    // A point off to the side of the view: twice the focal length, twice as far from the centre.
    const MPoint point(15, 0, 0);
    double x35 = 0.0, y35 = 0.0, x70 = 0.0, y70 = 0.0;
    run("setAttr persp.t -type double3 0 0 100; setAttr persp.r -type double3 0 0 0");
    ASSERT_TRUE(project("persp", 800, 600, point, x35, y35));
    run("setAttr perspShape.fl 70");
    ASSERT_TRUE(project("persp", 800, 600, point, x70, y70));
    EXPECT_GT(x35, 400.0);
    EXPECT_NEAR(x70 - 400.0, 2.0 * (x35 - 400.0), 1e-6);
    EXPECT_NEAR(y70, 300.0, 1e-9);

    // Horizontal fit keeps what is seen across as the port gets taller; vertical keeps it up and down.
    run("setAttr perspShape.fl 35");
    double wide = 0.0, tall = 0.0, unused = 0.0;
    project("persp", 800, 600, point, wide, unused);
    project("persp", 800, 1200, point, tall, unused);
    EXPECT_NEAR(wide, tall, 1e-6);
    run("setAttr perspShape.ff 2");
    const MPoint above(0, 20, 0);
    double low = 0.0, high = 0.0;
    project("persp", 800, 600, above, unused, low);
    project("persp", 1600, 600, above, unused, high);
    EXPECT_NEAR(low, high, 1e-6);
    EXPECT_GT(low, 300.0);

    // Fill fits the film's nearer sides to the port, Overscan its farther ones, so that the
    // whole gate shows: in a port wider than the film that is horizontal and vertical fit.
    const struct {
        int fit, width, height, sameAs;
    } fits[] = {{0, 1600, 600, 1}, {0, 800, 1200, 2}, {3, 1600, 600, 2}, {3, 800, 1200, 1}};
    const MPoint corner(15, 10, 0);
    for (const auto& c : fits) {
        double x = 0.0, y = 0.0, wantX = 0.0, wantY = 0.0;
        run("setAttr perspShape.ff " + std::to_string(c.sameAs));
        project("persp", c.width, c.height, corner, wantX, wantY);
        run("setAttr perspShape.ff " + std::to_string(c.fit));
        project("persp", c.width, c.height, corner, x, y);
        EXPECT_NEAR(x, wantX, 1e-6) << "fit " << c.fit << " in " << c.width << " x " << c.height;
        EXPECT_NEAR(y, wantY, 1e-6) << "fit " << c.fit << " in " << c.width << " x " << c.height;
    }
}

TEST_F(Cameras, OrthographicWidthSpansThePortAndClipPlanesBoundTheView)
{
    // front looks down -Z from z = 1000.1 and shows 30 units across.
    double x = 0.0, y = 0.0;
    ASSERT_TRUE(project("front", 600, 400, MPoint(7.5, 5, 0), x, y));
    EXPECT_NEAR(x, 450.0, 1e-6);
    EXPECT_NEAR(y, 200.0 + 5.0 / 10.0 * 200.0, 1e-6) << "30 x 20 units in a 3:2 port";
    EXPECT_FALSE(project("front", 600, 400, MPoint(16, 0, 0), x, y)) << "beyond the orthographic width";
    EXPECT_FALSE(project("front", 600, 400, MPoint(0, 0, 2000), x, y)) << "behind the camera";

    MDagPath front;
    ASSERT_TRUE(host::findCamera("front", front));
    host::ViewSetup view;
    ASSERT_TRUE(host::cameraViewSetup(front, 600, 400, view));
    MPoint nearPoint, farPoint;
    ASSERT_TRUE(host::portToWorld(view, 450.0, 300.0, nearPoint, farPoint));
    EXPECT_NEAR(nearPoint.x, 7.5, 1e-6);
    EXPECT_NEAR(nearPoint.y, 5.0, 1e-6);
    EXPECT_NEAR(nearPoint.z, 1000.1 - 0.1, 1e-6) << "on the near clip plane";
    EXPECT_NEAR(farPoint.z, 1000.1 - 10000, 1e-6) << "on the far clip plane";
}

TEST_F(Cameras, ViewFitOfANamedCameraFramesEverythingWithoutViews)
{
    run("polyCube -w 4 -h 4 -d 4 -n far; move 60 10 -40 far; polyCube -n near");
    run("select -cl; viewFit -all persp");
    EXPECT_TRUE(cornersInView("persp", 1000, 667, MPoint(-0.5, -0.5, -0.5), MPoint(62, 12, -38)));
    EXPECT_NEAR(number("getAttr persp.rx"), -27.938352729602379, 1e-9) << "only moved, not turned";
    EXPECT_NEAR(number("getAttr persp.ry"), 45.0, 1e-9);
    const double distanceForAll = number("getAttr perspShape.coi");

    run("select far; viewFit persp");
    double x = 0.0, y = 0.0;
    ASSERT_TRUE(project("persp", 1000, 667, MPoint(60, 10, -40), x, y));
    EXPECT_NEAR(x, 500.0, 1e-6) << "the selection is in the middle";
    EXPECT_NEAR(y, 333.5, 1e-6);
    EXPECT_TRUE(cornersInView("persp", 1000, 667, MPoint(58, 8, -42), MPoint(62, 12, -38)));
    EXPECT_LT(number("getAttr perspShape.coi"), distanceForAll / 4) << "the view comes close to the selection";

    run("viewFit -all top");
    EXPECT_TRUE(cornersInView("top", 1000, 667, MPoint(-0.5, -0.5, -0.5), MPoint(62, 12, -38)));
    EXPECT_LT(number("getAttr topShape.ow"), 200.0);
    EXPECT_GT(number("getAttr topShape.ow"), 60.0);
}

// dolly moves a perspective camera along its view, towards its centre of interest (which
// stays put), by a distance or to one; orthographic views scale their width. Undoable.
TEST_F(Cameras, DollyMovesAlongTheViewOrScalesTheOrthographicWidth)
{
    run("setAttr persp.translate 0 0 20; setAttr persp.rotate 0 0 0; setAttr perspShape.coi 20");
    ASSERT_TRUE(run("dolly -d 5 persp")) << errors();
    EXPECT_NEAR(number("getAttr persp.tz"), 15.0, 1e-9);
    EXPECT_NEAR(number("getAttr perspShape.coi"), 15.0, 1e-9);
    ASSERT_TRUE(run("dolly -abs -d 4 perspShape"));
    EXPECT_NEAR(number("getAttr persp.tz"), 4.0, 1e-9) << "the centre of interest stays at the origin";
    ASSERT_TRUE(run("dolly -d 100 persp"));
    EXPECT_GT(number("getAttr persp.tz"), 0.0) << "never past the centre of interest";
    ASSERT_TRUE(run("undo; undo"));
    EXPECT_NEAR(number("getAttr persp.tz"), 15.0, 1e-9);
    const double width = number("getAttr topShape.ow");
    ASSERT_TRUE(run("dolly -os 0.5 top"));
    EXPECT_NEAR(number("getAttr topShape.ow"), width / 2, 1e-9);
    expectRefusals({{"dolly -d 1 nobody", "dolly: nobody is not a camera."},
                    {"dolly persp", "dolly: give -distance or -orthoScale."}});
}

TEST_F(Cameras, ViewCommandsInBatchModeSayThereAreNoViews)
{
    expectRefusals({
        {"refresh -cv -fe png -fn \"/tmp/never.png\"", "refresh: no views in batch mode."},
        {"playblast -frame 1 -format image -compression png -completeFilename \"/tmp/never.png\" -widthHeight 8 8",
         "playblast: no views in batch mode."},
        {"lookThru top", "lookThru: no views in batch mode."},
        {"modelEditor -q -camera modelPanel4", "modelEditor: no views in batch mode."},
        {"viewFit", "viewFit: no views in batch mode."},
        {"viewFit nobody", "viewFit: nobody is neither a panel nor a camera."},
        {"hostMouseEvent -panel modelPanel4 -type move -x 1 -y 1", "hostMouseEvent: no views in batch mode."},
        {"commandPort -n \":7001\"", "commandPort: no views in batch mode."},
    });
    EXPECT_EQ(M3dView::numberOf3dViews(), 0u);
    EXPECT_EQ(strings("getPanel -type modelPanel").length(), 0u);
    EXPECT_EQ(text("getPanel -withFocus"), "");
    clearMessages();
    EXPECT_TRUE(run("refresh; refresh -cv -f")) << "a plain redraw has nothing to do";
    EXPECT_EQ(errors(), "");
}

TEST(GuiRunner, GuiWithoutADisplayFailsWithOneClearLine)
{
    const ProgramOutput run =
        runProgram({"/usr/bin/env", "-u", "DISPLAY", PELLIXBATCH_PATH, "-gui", "-command", "print \"never\""});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "Error: pellixbatch: -gui needs an X display (DISPLAY is not set).\n");
    EXPECT_EQ(run.out, "");

    // A display that does not answer is refused the same way, before Qt would abort the process.
    const ProgramOutput absent =
        runProgram({"/usr/bin/env", "DISPLAY=:987", PELLIXBATCH_PATH, "-gui", "-command", "print \"never\""});
    EXPECT_EQ(absent.exitCode, 1);
    EXPECT_EQ(absent.err, "Error: pellixbatch: -gui cannot open the X display :987.\n");

    const ProgramOutput batch = runProgram({PELLIXBATCH_PATH, "-command", "ls -type camera; getPanel -all"});
    EXPECT_EQ(batch.exitCode, 0) << batch.err;
    EXPECT_EQ(batch.out, "// Result: perspShape topShape frontShape sideShape //\n// Result:  //\n")
        << "batch mode starts with the cameras and without panels";
}
