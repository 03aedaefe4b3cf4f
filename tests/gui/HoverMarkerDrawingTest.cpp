// The hover-marker ring as a view draws it: a constant 16-pixel ring around the hovered point
// at any camera distance, facing the surface normal (+Y when there is none), with its dark
// centre and light dot. The marker's module-wide state is this test program's own build of the
// marker sources, registered here as the "hoverMarker" type with its draw override.

#include "PluginTestSupport.h"

#include "dg/Registry.h"
#include "hoverMarker/HoverMarkerDrawOverride.h"
#include "hoverMarker/HoverMarkerNode.h"
#include "hoverMarker/HoverMarkerState.h"
#include "viewport/FrameRenderer.h"
#include "views/Views.h"

#include <maya/M3dView.h>
#include <maya/MDrawRegistry.h>

#include <QImage>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

const char* const kMarkerPlugin = "markerDrawTest";
const char* const kClassification = "drawdb/geometry/hoverMarker";

bool isRing(const QColor& c)
{
    return c.red() > 200 && c.green() < 90 && c.blue() > 200;
}

class HoverMarkerDrawing : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(isPellixLoaded()) << "the test registers the marker type itself";
        ASSERT_TRUE(mel("file -force -new"));
        host::NodeTypeInfo info;
        info.name = HoverMarkerNode::typeName;
        info.id = HoverMarkerNode::id;
        info.creator = &HoverMarkerNode::creator;
        info.initialize = &HoverMarkerNode::initialize;
        info.type = MPxNode::kLocatorNode;
        info.classification = kClassification;
        info.pluginName = kMarkerPlugin;
        ASSERT_TRUE(host::registerNodeType(info));
        ASSERT_TRUE(MHWRender::MDrawRegistry::registerDrawOverrideCreator(kClassification, kMarkerPlugin,
                                                                           &HoverMarkerDrawOverride::creator));
        ASSERT_TRUE(mel("lookThru persp modelPanel4; setAttr persp.rotate 0 0 0; setAttr persp.translate 0 0 10"));
        host::setActivePanel(3);
        ASSERT_TRUE(M3dView::getM3dViewFromModelPanel("modelPanel4", view));
    }

    void TearDown() override
    {
        deleteHoverMarker();
        mel("file -force -new");
        host::releaseOverrides(kMarkerPlugin);
        MHWRender::MDrawRegistry::deregisterDrawOverrideCreator(kClassification, kMarkerPlugin);
        host::deregisterNodeType(HoverMarkerNode::id);
        std::remove(imageFile.c_str());
    }

    void snapshot()
    {
        ASSERT_TRUE(mel("refresh -cv -fe png -fn \"" + imageFile + "\""));
        ASSERT_TRUE(image.load(imageFile.c_str()));
    }

    QColor pixel(int x, int y) const { return image.pixelColor(x, image.height() - 1 - y); }

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

    M3dView view;
    QImage image;
    std::string imageFile = "/tmp/pellix-marker-" + std::to_string(::getpid()) + ".png";
};

} // namespace

TEST_F(HoverMarkerDrawing, RingKeepsSixteenPixelsAsTheCameraDollies)
{
    showHoverMarker(MPoint(0, 0, 0), MVector(0, 0, 1), MColor(1.0f, 0.0f, 1.0f));
    snapshot();
    const int nearRadius = ringRadius(MPoint(0, 0, 0), 1, 0);
    EXPECT_NEAR(nearRadius, 16, 2);
    EXPECT_NEAR(ringRadius(MPoint(0, 0, 0), 0, 1), 16, 2) << "a round ring facing the camera";

    ASSERT_TRUE(mel("setAttr persp.translateZ 60"));
    snapshot();
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
    ASSERT_TRUE(mel("setAttr persp.rotate -90 0 0; setAttr persp.translate 0 10 0"));
    snapshot();
    EXPECT_NEAR(ringRadius(MPoint(0, 0, 0), 0, 1), 16, 2);

    hideHoverMarker();
    snapshot();
    EXPECT_EQ(ringRadius(MPoint(0, 0, 0), 1, 0), -1);
}

TEST_F(HoverMarkerDrawing, MarkerBehindTheCameraDrawsNothing)
{
    showHoverMarker(MPoint(0, 0, 20), MVector(0, 0, 1), MColor(1.0f, 0.0f, 1.0f));
    snapshot();
    int ringPixels = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ringPixels += isRing(image.pixelColor(x, y));
    EXPECT_EQ(ringPixels, 0);
}
