// Closing the views and opening them again in one session, with plug-in geometry on the GPU.
// The restart runs in a child process (the test program run again for this test only), so
// the other tests keep the views they started with and a crash fails this test alone.

#include "PluginTestSupport.h"
#include "ViewportTestScene.h"

#include "views/Views.h"

#include <QColor>
#include <QImage>
#include <QOpenGLWidget>

#include <cstdio>
#include <cstdlib>
#include <string>

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
