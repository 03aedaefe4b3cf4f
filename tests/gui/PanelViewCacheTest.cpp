// M3dView keeps each panel's camera view between calls, so every change that
// moves what the panel sees must show in the very next worldToView: camera
// moves, lens edits, driven plugs, lookThru, renames, deletions, reparenting,
// new scenes, resized ports and camera navigation.

#include "PluginTestSupport.h"

#include "views/CameraView.h"
#include "views/Views.h"

#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MPoint.h>

#include <QWidget>

#include <cmath>
#include <string>

namespace {

constexpr unsigned kPersp = 3;

struct Pixel
{
    short x = 0, y = 0;
    bool operator==(const Pixel& o) const { return x == o.x && y == o.y; }
    bool operator!=(const Pixel& o) const { return !(*this == o); }
};

std::ostream& operator<<(std::ostream& os, const Pixel& p)
{
    return os << "(" << p.x << ", " << p.y << ")";
}

class PanelViewCache : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mel("file -force -new"));
        ASSERT_TRUE(mel("lookThru persp modelPanel4"));
        host::processEvents();
    }
    void TearDown() override
    {
        mel("file -force -new");
        mel("lookThru persp modelPanel4");
    }

    // Where M3dView puts a world point in the persp panel now.
    static Pixel cached(const MPoint& world)
    {
        M3dView view;
        EXPECT_TRUE(M3dView::getM3dViewFromModelPanel("modelPanel4", view));
        Pixel p;
        view.worldToView(world, p.x, p.y);
        return p;
    }

    // The same, worked out afresh from the panel's camera and port size.
    static Pixel fresh(const MPoint& world)
    {
        int width = 0, height = 0;
        host::panelPortSize(kPersp, width, height);
        host::ViewSetup setup;
        EXPECT_TRUE(host::cameraViewSetup(host::panelCamera(kPersp), width, height, setup));
        double x = 0, y = 0;
        host::worldToPort(setup, world, x, y);
        return Pixel{static_cast<short>(std::floor(x + 0.5)), static_cast<short>(std::floor(y + 0.5))};
    }

    // Asks once (filling the cache), runs `change`, and expects the next answer
    // to have moved and to be the fresh one.
    template <typename Change>
    void expectFollows(Change change, const MPoint& world = MPoint(1, 2, 3))
    {
        const Pixel before = cached(world);
        ASSERT_EQ(before, fresh(world));
        change();
        const Pixel after = cached(world);
        EXPECT_NE(after, before) << "the change should move the point in the view";
        EXPECT_EQ(after, fresh(world));
    }

    static std::string cameraName()
    {
        return melString("modelEditor -q -camera modelPanel4").asChar();
    }
};

TEST_F(PanelViewCache, MovingOrRotatingTheCameraOrAParentShowsAtOnce)
{
    expectFollows([] { ASSERT_TRUE(mel("setAttr persp.translateX 40")); });
    expectFollows([] { ASSERT_TRUE(mel("setAttr persp.rotateY 10")); });
    expectFollows([] { ASSERT_TRUE(mel("move -r 0 5 0 persp")); });
    ASSERT_TRUE(mel("createNode transform -n rig"));
    expectFollows([] { ASSERT_TRUE(mel("setAttr rig.translateZ 12; parent persp rig")); });
    expectFollows([] { ASSERT_TRUE(mel("setAttr rig.translateZ -6")); });
    expectFollows([] { ASSERT_TRUE(mel("setAttr rig.scaleX 2")); });
}

TEST_F(PanelViewCache, DrivenCameraPlugsShowAtOnce)
{
    ASSERT_TRUE(mel("spaceLocator -n driver; connectAttr driver.translateY persp.translateY"));
    expectFollows([] { ASSERT_TRUE(mel("setAttr driver.translateY 9")); });
    expectFollows([] { ASSERT_TRUE(mel("setAttr driver.translateY -4")); });
    expectFollows([] { ASSERT_TRUE(mel("disconnectAttr driver.translateY persp.translateY; "
                                       "setAttr persp.translateY 30")); });
}

TEST_F(PanelViewCache, LensChangesShowAtOnce)
{
    expectFollows([] { ASSERT_TRUE(mel("setAttr perspShape.focalLength 70")); });
    expectFollows([] { ASSERT_TRUE(mel("setAttr perspShape.horizontalFilmOffset 0.2")); });
    ASSERT_TRUE(mel("lookThru front modelPanel4"));
    expectFollows([] { ASSERT_TRUE(mel("setAttr frontShape.orthographicWidth 5")); });
}

TEST_F(PanelViewCache, LookingThroughAnotherCameraShowsAtOnce)
{
    expectFollows([] { ASSERT_TRUE(mel("lookThru side modelPanel4")); });
    expectFollows([] { ASSERT_TRUE(mel("lookThru persp modelPanel4")); });
}

TEST_F(PanelViewCache, RenamingOrDeletingTheCameraShowsAtOnce)
{
    ASSERT_TRUE(mel("createNode transform -n shot; createNode camera -n shotShape -p shot; "
                    "setAttr shot.translateZ 20; setAttr shot.translateX 3"));
    expectFollows([] { ASSERT_TRUE(mel("lookThru shot modelPanel4")); });
    EXPECT_EQ(cameraName(), "shot");
    // Whatever a rename makes the panel look through, the view answers for it.
    const MPoint point(1, 2, 3);
    cached(point);
    ASSERT_TRUE(mel("rename shot take2"));
    EXPECT_EQ(cached(point), fresh(point));

    ASSERT_TRUE(mel("lookThru take2 modelPanel4"));
    expectFollows([] { ASSERT_TRUE(mel("delete take2")); });
    EXPECT_EQ(cameraName(), "persp");
}

TEST_F(PanelViewCache, ANewSceneBringsBackTheStartupCamera)
{
    ASSERT_TRUE(mel("setAttr persp.translateX 40"));
    expectFollows([] { ASSERT_TRUE(mel("file -force -new")); });
}

TEST_F(PanelViewCache, ResizingThePortShowsAtOnce)
{
    QWidget* window = host::panelWidget(kPersp)->window();
    const QSize size = window->size();
    expectFollows([&] {
        window->resize(size.width() - 200, size.height() - 100);
        host::processEvents();
    });
    window->resize(size);
    host::processEvents();
    const MPoint point(1, 2, 3);
    EXPECT_EQ(cached(point), fresh(point));
}

TEST_F(PanelViewCache, TumblingWithTheMouseShowsAtOnce)
{
    expectFollows([] {
        const std::string head = "hostMouseEvent -panel modelPanel4 -modifiers \"alt\" ";
        ASSERT_TRUE(mel(head + "-type press -button left -x 100 -y 100"));
        ASSERT_TRUE(mel(head + "-type move -x 140 -y 120"));
        ASSERT_TRUE(mel(head + "-type release -button left -x 140 -y 120"));
    });
}

} // namespace
