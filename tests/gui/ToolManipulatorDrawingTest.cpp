// The move, rotate and scale tools draw their manipulators at the selection's
// pivot, sized by the manipulator preferences, and nothing for the select
// tool, a hidden manipulator or an empty selection; a context a script made
// draws its class's manipulator with its own settings.

#include "PluginTestSupport.h"

#include "views/ToolContexts.h"
#include "views/Views.h"

#include <maya/M3dView.h>
#include <maya/MFnManip3D.h>
#include <maya/MPoint.h>

#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

class ToolManipulatorDrawing : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mel("file -force -new"));
        ASSERT_TRUE(mel("lookThru persp modelPanel4"));
        host::setActivePanel(3);
        ASSERT_TRUE(mel("polyCube -w 0.2 -h 0.2 -d 0.2 -n box; move 2 1 -1 box; select -r box"));
        // Wide lines so that a sampled point on a line is surely covered.
        ASSERT_TRUE(mel("manipOptions -lineSize 3"));
        host::processEvents();
        ASSERT_TRUE(M3dView::getM3dViewFromModelPanel("modelPanel4", view));
    }

    void TearDown() override
    {
        host::resetToolContexts();
        MFnManip3D::setGlobalSize(1.0f);
        MFnManip3D::setLineSize(1.0f);
        mel("file -force -new");
        std::remove(imageFile.c_str());
    }

    void snapshot()
    {
        ASSERT_TRUE(mel("refresh -cv -fe png -fn \"" + imageFile + "\""));
        ASSERT_TRUE(image.load(imageFile.c_str()));
    }

    // Screen position of the pivot and the screen direction of a world axis.
    void screenAxis(int axis, double& cx, double& cy, double& ux, double& uy) const
    {
        short x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        MPoint end = pivot;
        (axis == 0 ? end.x : axis == 1 ? end.y : end.z) += 2.0;
        EXPECT_TRUE(view.worldToView(pivot, x0, y0));
        EXPECT_TRUE(view.worldToView(end, x1, y1));
        const double length = std::hypot(x1 - x0, y1 - y0);
        cx = x0;
        cy = y0;
        ux = (x1 - x0) / length;
        uy = (y1 - y0) / length;
    }

    // Pixels of an axis colour within two pixels of a point `distance` pixels
    // from the pivot along that axis on screen.
    int axisPixelsAt(int axis, double distance) const
    {
        double cx, cy, ux, uy;
        screenAxis(axis, cx, cy, ux, uy);
        int found = 0;
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) {
                const int x = int(std::lround(cx + ux * distance)) + dx;
                const int y = int(std::lround(cy + uy * distance)) + dy;
                if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) continue;
                const QColor c = image.pixelColor(x, image.height() - 1 - y);
                const int channel[3] = {c.red(), c.green(), c.blue()};
                if (channel[axis] > 150 && channel[(axis + 1) % 3] < 80 && channel[(axis + 2) % 3] < 80) ++found;
            }
        return found;
    }

    // Pure red, green or blue pixels in a ring of radii [inner, outer) around the pivot.
    int axisPixelsBetween(double inner, double outer) const
    {
        double cx, cy, ux, uy;
        screenAxis(0, cx, cy, ux, uy);
        int found = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const double d = std::hypot(x - cx, y - cy);
                if (d < inner || d >= outer) continue;
                const QColor c = image.pixelColor(x, image.height() - 1 - y);
                const int hi = std::max({c.red(), c.green(), c.blue()});
                const int lo = std::min({c.red(), c.green(), c.blue()});
                if (hi > 150 && lo < 80 && c.red() + c.green() + c.blue() - hi - lo < 80) ++found;
            }
        return found;
    }

    M3dView view;
    QImage image;
    const MPoint pivot{2, 1, -1};
    std::string imageFile = "/tmp/pellix-manip-" + std::to_string(::getpid()) + ".png";
};

TEST_F(ToolManipulatorDrawing, MoveToolDrawsItsAxesFromThePivot)
{
    ASSERT_TRUE(mel("setToolTo moveSuperContext"));
    snapshot();
    // Axes pointing towards the camera look shorter; none is shorter than this here.
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_GT(axisPixelsAt(axis, 30.0), 0) << "axis " << axis;
        EXPECT_GT(axisPixelsAt(axis, 60.0), 0) << "axis " << axis;
    }
    EXPECT_EQ(axisPixelsBetween(160.0, 2000.0), 0) << "the handles end at their length";
}

TEST_F(ToolManipulatorDrawing, GlobalSizeScalesTheManipulator)
{
    ASSERT_TRUE(mel("setToolTo moveSuperContext; manipOptions -scale 2"));
    snapshot();
    EXPECT_GT(axisPixelsAt(0, 240.0), 0);
    EXPECT_GT(axisPixelsBetween(160.0, 2000.0), 0);
}

TEST_F(ToolManipulatorDrawing, RotateToolDrawsRingsAroundThePivot)
{
    ASSERT_TRUE(mel("setToolTo RotateSuperContext"));
    snapshot();
    EXPECT_GT(axisPixelsBetween(0.0, 75.0), 100);
    EXPECT_EQ(axisPixelsBetween(75.0, 2000.0), 0) << "the rings stay within their radius";
}

TEST_F(ToolManipulatorDrawing, NothingIsDrawnWithoutAShownManipulatorAndASelection)
{
    ASSERT_TRUE(mel("setToolTo selectSuperContext"));
    snapshot();
    EXPECT_EQ(axisPixelsBetween(0.0, 2000.0), 0) << "select tool";

    ASSERT_TRUE(mel("setToolTo scaleSuperContext; manipScaleContext -e -manipVisible 0 Scale"));
    snapshot();
    EXPECT_EQ(axisPixelsBetween(0.0, 2000.0), 0) << "hidden manipulator";

    ASSERT_TRUE(mel("manipScaleContext -e -manipVisible 1 Scale"));
    snapshot();
    EXPECT_GT(axisPixelsAt(1, 100.0), 0) << "shown again";

    ASSERT_TRUE(mel("select -cl"));
    snapshot();
    EXPECT_EQ(axisPixelsBetween(0.0, 2000.0), 0) << "empty selection";
}

TEST_F(ToolManipulatorDrawing, AMadeContextDrawsItsKindWithItsOwnSettings)
{
    ASSERT_TRUE(mel("manipRotateContext twirl; setToolTo twirl"));
    snapshot();
    EXPECT_GT(axisPixelsBetween(0.0, 75.0), 100) << "rings, as the rotate class draws";
    EXPECT_EQ(axisPixelsBetween(75.0, 2000.0), 0);

    // Hiding the built-in Rotate context's manipulator leaves this one shown, and the other way round.
    ASSERT_TRUE(mel("manipRotateContext -e -manipVisible 0 Rotate"));
    snapshot();
    EXPECT_GT(axisPixelsBetween(0.0, 75.0), 100);
    ASSERT_TRUE(mel("manipRotateContext -e -manipVisible 1 Rotate; manipRotateContext -e -manipVisible 0 twirl"));
    snapshot();
    EXPECT_EQ(axisPixelsBetween(0.0, 2000.0), 0);
}

} // namespace
