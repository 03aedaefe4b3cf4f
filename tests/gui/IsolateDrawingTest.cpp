// An isolated view draws only the members of its isolate set and what hangs
// below them; the other views and the view after isolation ends draw everything.

#include "PluginTestSupport.h"

#include "views/Views.h"

#include <maya/M3dView.h>
#include <maya/MPoint.h>

#include <QImage>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

class IsolateDrawing : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mel("file -force -new"));
        ASSERT_TRUE(mel("lookThru persp modelPanel4"));
        host::setActivePanel(3);
        // Two boxes side by side and a third parented under the left one.
        ASSERT_TRUE(mel("polyCube -w 2 -h 2 -d 2 -n left; move -3 0 0 left; "
                        "polyCube -w 2 -h 2 -d 2 -n right; move 3 0 0 right; "
                        "polyCube -w 2 -h 2 -d 2 -n child; parent child left; setAttr child.t 0 3 0; "
                        "select -cl; viewFit -all modelPanel4"));
        host::processEvents();
        ASSERT_TRUE(M3dView::getM3dViewFromModelPanel("modelPanel4", view));
    }

    void TearDown() override
    {
        mel("isolateSelect -state 0 modelPanel4");
        mel("file -force -new");
        std::remove(imageFile.c_str());
    }

    void snapshot()
    {
        ASSERT_TRUE(mel("refresh -cv -fe png -fn \"" + imageFile + "\""));
        ASSERT_TRUE(image.load(imageFile.c_str()));
    }

    // Whether the pixel where a world point lands differs from the empty view's.
    bool drawnAt(const MPoint& world) const
    {
        short x = 0, y = 0;
        EXPECT_TRUE(view.worldToView(world, x, y));
        const QColor pixel = image.pixelColor(x, image.height() - 1 - y);
        const QColor corner = image.pixelColor(2, 2);
        return std::abs(pixel.red() - corner.red()) + std::abs(pixel.green() - corner.green()) +
                   std::abs(pixel.blue() - corner.blue()) > 12;
    }

    M3dView view;
    QImage image;
    std::string imageFile = "/tmp/pellix-isolate-" + std::to_string(::getpid()) + ".png";
    // The middle of each box's top face, which the camera above sees.
    const MPoint leftCentre{-3, 1, 0}, rightCentre{3, 1, 0}, childCentre{-3, 4, 0};
};

TEST_F(IsolateDrawing, IsolatedViewDrawsOnlyMembersAndTheirChildren)
{
    snapshot();
    ASSERT_TRUE(drawnAt(leftCentre));
    ASSERT_TRUE(drawnAt(rightCentre));
    ASSERT_TRUE(drawnAt(childCentre));

    ASSERT_TRUE(mel("select -r left; isolateSelect -loadSelected -state 1 modelPanel4; select -cl"));
    snapshot();
    EXPECT_TRUE(drawnAt(leftCentre));
    EXPECT_TRUE(drawnAt(childCentre)) << "a member's children stay";
    EXPECT_FALSE(drawnAt(rightCentre));

    ASSERT_TRUE(mel("isolateSelect -addDagObject right -removeDagObject left modelPanel4"));
    snapshot();
    EXPECT_FALSE(drawnAt(leftCentre));
    EXPECT_FALSE(drawnAt(childCentre));
    EXPECT_TRUE(drawnAt(rightCentre));

    ASSERT_TRUE(mel("isolateSelect -state 0 modelPanel4"));
    snapshot();
    EXPECT_TRUE(drawnAt(leftCentre));
    EXPECT_TRUE(drawnAt(rightCentre));
}

TEST_F(IsolateDrawing, OtherPanelsKeepDrawingEverything)
{
    ASSERT_TRUE(mel("isolateSelect -state 1 -addDagObject right modelPanel1"));
    snapshot();
    EXPECT_TRUE(drawnAt(leftCentre));
    EXPECT_TRUE(drawnAt(rightCentre));
    ASSERT_TRUE(mel("isolateSelect -state 0 modelPanel1"));
}

} // namespace
