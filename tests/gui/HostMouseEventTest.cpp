// Mouse events in the model panels: the host's hostMouseEvent test command and
// real X events both reach an application event filter before the panel
// widget sees them, with the position, buttons and modifiers given.

#include "MouseEventRecorder.h"
#include "PluginTestSupport.h"

#include "commands/MessageOutput.h"
#include "views/Views.h"

#include <maya/M3dView.h>
#include <maya/MPoint.h>

#include <QElapsedTimer>
#include <QWidget>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

constexpr unsigned kPerspPanel = 3;

class HostMouseEvent : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mel("file -force -new"));
        ASSERT_TRUE(mel("lookThru persp modelPanel4"));
        host::processEvents();
        fWidget = host::panelWidget(kPerspPanel);
        ASSERT_NE(fWidget, nullptr);
        fRecorder = std::make_unique<MouseEventRecorder>(fWidget);
    }

    void TearDown() override
    {
        fRecorder.reset();
        // No button left down for the next test.
        mel("hostMouseEvent -panel modelPanel4 -type release -x 1 -y 1 -button left");
        mel("file -force -new");
    }

    // Whether the application filter saw the event before the widget's own filter did.
    void expectApplicationFirst(QEvent::Type type) const
    {
        int application = -1;
        int widget = -1;
        const auto& seen = fRecorder->seen();
        for (int i = 0; i < static_cast<int>(seen.size()); ++i) {
            if (seen[i].type != type)
                continue;
            if (seen[i].byApplication && application < 0)
                application = i;
            if (!seen[i].byApplication && widget < 0)
                widget = i;
        }
        ASSERT_GE(application, 0) << "the application filter never saw it";
        ASSERT_GE(widget, 0) << "the widget never saw it";
        EXPECT_LT(application, widget);
    }

    std::string errorOf(const std::string& command)
    {
        host::MessageCapture capture;
        EXPECT_FALSE(mel(command)) << command;
        return capture.text(host::MessageKind::kError).asChar();
    }

    QWidget* fWidget = nullptr;
    std::unique_ptr<MouseEventRecorder> fRecorder;
};

TEST_F(HostMouseEvent, PressMoveReleaseReachTheApplicationFilterFirstWithButtonsAndModifiers)
{
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type press -x 40 -y 30 -button left -modifiers \"shift+ctrl\""));
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type move -x 52.5 -y 31"));
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type release -x 52.5 -y 31 -button left -modifiers shift"));

    const auto presses = fRecorder->byApplication(QEvent::MouseButtonPress);
    ASSERT_EQ(presses.size(), 1u);
    EXPECT_EQ(presses[0].position, QPointF(40, 30));
    EXPECT_EQ(presses[0].button, Qt::LeftButton);
    EXPECT_EQ(presses[0].buttons, Qt::MouseButtons(Qt::LeftButton));
    EXPECT_EQ(presses[0].modifiers, Qt::ShiftModifier | Qt::ControlModifier);

    // The move in between is a drag: the left button is still down.
    const auto moves = fRecorder->byApplication(QEvent::MouseMove);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].position, QPointF(52.5, 31));
    EXPECT_EQ(moves[0].button, Qt::NoButton);
    EXPECT_EQ(moves[0].buttons, Qt::MouseButtons(Qt::LeftButton));
    EXPECT_EQ(moves[0].modifiers, Qt::NoModifier);

    const auto releases = fRecorder->byApplication(QEvent::MouseButtonRelease);
    ASSERT_EQ(releases.size(), 1u);
    EXPECT_EQ(releases[0].button, Qt::LeftButton);
    EXPECT_EQ(releases[0].buttons, Qt::MouseButtons(Qt::NoButton));
    EXPECT_EQ(releases[0].modifiers, Qt::ShiftModifier);

    expectApplicationFirst(QEvent::MouseButtonPress);
    expectApplicationFirst(QEvent::MouseMove);
    expectApplicationFirst(QEvent::MouseButtonRelease);
}

TEST_F(HostMouseEvent, EnterAndLeaveReachTheApplicationFilterFirst)
{
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type enter -x 10 -y 12"));
    ASSERT_TRUE(mel("hostMouseEvent -panel modelPanel4 -type leave"));
    const auto enters = fRecorder->byApplication(QEvent::Enter);
    ASSERT_EQ(enters.size(), 1u);
    EXPECT_EQ(enters[0].position, QPointF(10, 12));
    EXPECT_EQ(fRecorder->byApplication(QEvent::Leave).size(), 1u);
    expectApplicationFirst(QEvent::Enter);
    expectApplicationFirst(QEvent::Leave);
}

TEST_F(HostMouseEvent, WorldPointLandsWhereWorldToViewPutsIt)
{
    M3dView view;
    ASSERT_TRUE(M3dView::getM3dViewFromModelPanel("modelPanel4", view));
    const double ratio = fWidget->devicePixelRatioF();
    for (const MPoint& world : {MPoint(0, 0, 0), MPoint(1.5, 2.0, -3.0), MPoint(-4, 0.5, 2)}) {
        fRecorder->clear();
        const std::string command = "hostMouseEvent -panel modelPanel4 -type move -world " + std::to_string(world.x) +
                                    " " + std::to_string(world.y) + " " + std::to_string(world.z);
        ASSERT_TRUE(mel(command)) << command;
        short x = 0, y = 0;
        ASSERT_TRUE(view.worldToView(world, x, y));
        const auto moves = fRecorder->byApplication(QEvent::MouseMove);
        ASSERT_EQ(moves.size(), 1u);
        // worldToView counts device pixels from the bottom; the widget, logical pixels from the top.
        EXPECT_NEAR(moves[0].position.x() * ratio, x, 1.0) << command;
        EXPECT_NEAR((fWidget->height() - moves[0].position.y()) * ratio, y, 1.0) << command;
    }
}

TEST_F(HostMouseEvent, BadArgumentsSayWhatIsWrong)
{
    EXPECT_EQ(errorOf("hostMouseEvent -panel nowhere -type move -x 1 -y 1"),
              "hostMouseEvent: No panel named 'nowhere'.\n");
    EXPECT_EQ(errorOf("hostMouseEvent -panel modelPanel4 -type hover -x 1 -y 1"),
              "hostMouseEvent: -type must be move, press, release, enter or leave.\n");
    EXPECT_EQ(errorOf("hostMouseEvent -panel modelPanel4 -type press -x 1 -y 1"),
              "hostMouseEvent: -type press needs -button.\n");
    EXPECT_EQ(errorOf("hostMouseEvent -panel modelPanel4 -type press -x 1 -y 1 -button side"),
              "hostMouseEvent: -button must be left, middle or right, not \"side\".\n");
    EXPECT_EQ(errorOf("hostMouseEvent -panel modelPanel4 -type move -x 1 -y 1 -modifiers \"shift+meta\""),
              "hostMouseEvent: -modifiers takes shift, ctrl and alt joined by \"+\", not \"shift+meta\".\n");
    EXPECT_EQ(errorOf("hostMouseEvent -panel modelPanel4 -type move -x 1"),
              "hostMouseEvent: give either -x and -y or -world.\n");
    EXPECT_EQ(errorOf("hostMouseEvent -panel modelPanel4 -type move -x 1 -y 1 -world 0 0 0"),
              "hostMouseEvent: give either -x and -y or -world.\n");
    EXPECT_EQ(errorOf("hostMouseEvent -panel modelPanel4 -type move -world 0 0"),
              "hostMouseEvent: -world takes three numbers.\n");
    // Behind the perspective camera nothing projects.
    EXPECT_EQ(errorOf("hostMouseEvent -panel modelPanel4 -type move -world 1000 1000 1000"),
              "hostMouseEvent: the point 1000 1000 1000 is outside the view of modelPanel4.\n");
    EXPECT_TRUE(fRecorder->seen().empty());
}

// Runs xdotool against the panel's top-level X window at a widget position.
int xdotoolAt(QWidget* widget, const QPoint& position, const std::string& action)
{
    const QPoint inWindow = widget->mapTo(widget->window(), position);
    const std::string command = "xdotool mousemove --window " + std::to_string(widget->window()->winId()) + " " +
                                std::to_string(inWindow.x()) + " " + std::to_string(inWindow.y()) + " " + action;
    return std::system(command.c_str());
}

// Turns the event loop until the application filter has seen `count` events of a type.
bool waitForEvents(const MouseEventRecorder& recorder, QEvent::Type type, size_t count)
{
    QElapsedTimer timer;
    timer.start();
    while (recorder.byApplication(type).size() < count && timer.elapsed() < 5000)
        host::processEvents();
    return recorder.byApplication(type).size() >= count;
}

TEST_F(HostMouseEvent, RealXEventsReachTheApplicationFilterFirst)
{
    fWidget->window()->raise();
    host::processEvents();
    ASSERT_EQ(xdotoolAt(fWidget, QPoint(60, 45), ""), 0);
    ASSERT_TRUE(waitForEvents(*fRecorder, QEvent::MouseMove, 1));
    EXPECT_EQ(fRecorder->byApplication(QEvent::MouseMove).back().position, QPointF(60, 45));
    expectApplicationFirst(QEvent::MouseMove);

    fRecorder->clear();
    ASSERT_EQ(xdotoolAt(fWidget, QPoint(70, 50), "click 1"), 0);
    ASSERT_TRUE(waitForEvents(*fRecorder, QEvent::MouseButtonRelease, 1));
    const auto presses = fRecorder->byApplication(QEvent::MouseButtonPress);
    ASSERT_EQ(presses.size(), 1u);
    EXPECT_EQ(presses[0].position, QPointF(70, 50));
    EXPECT_EQ(presses[0].button, Qt::LeftButton);
    expectApplicationFirst(QEvent::MouseButtonPress);
    expectApplicationFirst(QEvent::MouseButtonRelease);
}

} // namespace
