// pellixgui's window as a person uses it, through real X key and mouse events: MEL typed
// into the command line runs as typed, the script output pane shows it with its result,
// warnings and errors as Maya's Script Editor does (the last one also beside the command
// line), Up and Down walk the command history, and the panels' hotkeys pick tools, frame,
// undo and redo, switch between wireframe and shaded and between one view and four.

#include "PluginTestSupport.h"

#include "views/ToolContexts.h"
#include "views/Views.h"

#include <maya/M3dView.h>
#include <maya/MGlobal.h>
#include <maya/MPoint.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>

#include <cstdlib>
#include <functional>
#include <string>

namespace {

class MainWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (std::system("command -v xdotool > /dev/null 2>&1") != 0)
            GTEST_SKIP() << "xdotool is not installed";
        ASSERT_TRUE(mel("file -force -new; lookThru persp modelPanel4; setToolTo selectSuperContext"));
        fWindow = qobject_cast<QMainWindow*>(host::panelWidget(3)->window());
        ASSERT_NE(fWindow, nullptr);
        fCommandLine = fWindow->findChild<QLineEdit*>("commandLine");
        fOutput = fWindow->findChild<QPlainTextEdit*>("scriptEditorOutput");
        fResponse = fWindow->findChild<QLabel*>("commandResponse");
        ASSERT_TRUE(fCommandLine && fOutput && fResponse);
        fWindow->raise();
        fWindow->activateWindow();
        host::processEvents();
        fOutput->clear();
    }

    void TearDown() override
    {
        host::showSinglePanel(3);
        host::resetToolContexts();
        mel("file -force -new; modelEditor -e -displayAppearance smoothShaded modelPanel4");
    }

    static bool waitFor(const std::function<bool()>& done)
    {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    }

    // A real click at a widget position, then the keys (xdotool's words: "Return", "ctrl+z").
    static bool clickThenKeys(QWidget* widget, const QPoint& at, const std::string& keys)
    {
        const QPoint global = widget->mapToGlobal(at);
        std::string command = "xdotool mousemove " + std::to_string(global.x()) + " " + std::to_string(global.y()) +
                              " click 1";
        if (!keys.empty())
            command += " key --delay 20 " + keys;
        const bool sent = std::system(command.c_str()) == 0;
        host::processEvents();
        return sent;
    }
    static bool keys(const std::string& keys)
    {
        const bool sent = std::system(("xdotool key --delay 20 " + keys).c_str()) == 0;
        host::processEvents();
        return sent;
    }

    // Types a command into the command line and presses Return.
    bool typeCommand(const std::string& text)
    {
        if (!clickThenKeys(fCommandLine, QPoint(10, fCommandLine->height() / 2), ""))
            return false;
        const std::string command = "xdotool type --delay 5 '" + text + "' && xdotool key Return";
        return std::system(command.c_str()) == 0;
    }

    std::string output() const { return fOutput->toPlainText().toStdString(); }
    bool outputHas(const std::string& part) const { return output().find(part) != std::string::npos; }

    QMainWindow* fWindow = nullptr;
    QLineEdit* fCommandLine = nullptr;
    QPlainTextEdit* fOutput = nullptr;
    QLabel* fResponse = nullptr;
};

TEST_F(MainWindow, TheCommandLineRunsMelAndTheOutputPaneShowsWhatHappened)
{
    ASSERT_TRUE(typeCommand("polyCube -n box"));
    ASSERT_TRUE(waitFor([&] { return outputHas("// Result: box boxShape //"); })) << output();
    EXPECT_EQ(output(), "polyCube -n box\n// Result: box boxShape //\n");
    EXPECT_EQ(fResponse->text().toStdString(), "// Result: box boxShape //");

    ASSERT_TRUE(typeCommand("select -r nobody"));
    ASSERT_TRUE(waitFor([&] { return outputHas("// Error:"); })) << output();
    EXPECT_TRUE(outputHas("select -r nobody\n// Error: select: No object matches name: nobody //\n")) << output();
    EXPECT_EQ(fResponse->text().toStdString(), "// Error: select: No object matches name: nobody //");
    EXPECT_NE(fResponse->styleSheet().indexOf("background-color"), -1) << "errors stand out";
    ASSERT_TRUE(typeCommand("warning \"careful\"; print \"as it is\\n\"; setAttr box.tx 2"));
    ASSERT_TRUE(waitFor([&] { return outputHas("as it is"); })) << output();
    EXPECT_TRUE(outputHas("// Warning: careful //\nas it is\n")) << output();
    EXPECT_EQ(melDouble("getAttr box.tx"), 2.0);

    // Up and Down walk what was typed, newest first, and back to an empty line.
    fCommandLine->clear();
    ASSERT_TRUE(keys("Up"));
    EXPECT_EQ(fCommandLine->text().toStdString(), "warning \"careful\"; print \"as it is\\n\"; setAttr box.tx 2");
    ASSERT_TRUE(keys("Up Up Up"));
    EXPECT_EQ(fCommandLine->text().toStdString(), "polyCube -n box") << "the oldest stays";
    ASSERT_TRUE(keys("Down"));
    EXPECT_EQ(fCommandLine->text().toStdString(), "select -r nobody");
    ASSERT_TRUE(keys("Down Down"));
    EXPECT_EQ(fCommandLine->text().toStdString(), "");

    // What the command line ran is undoable as typed.
    ASSERT_TRUE(typeCommand("undo"));
    ASSERT_TRUE(waitFor([] { return melDouble("getAttr box.tx") == 0.0; }));
}

TEST_F(MainWindow, ThePanelHotkeysPickToolsFrameUndoAndSwitchViews)
{
    ASSERT_TRUE(MGlobal::executeCommand("polyCube -n box", false, true));
    ASSERT_TRUE(mel("move 30 0 -20 box"));
    QWidget* persp = host::panelWidget(3);
    // A click on an empty corner gives the view the keys (and, with the select tool, clears the selection).
    const struct
    {
        const char* key;
        const char* context;
    } tools[] = {{"w", "moveSuperContext"}, {"e", "RotateSuperContext"}, {"r", "scaleSuperContext"},
                 {"q", "selectSuperContext"}};
    ASSERT_TRUE(clickThenKeys(persp, QPoint(4, 4), ""));
    ASSERT_TRUE(waitFor([] { return melStrings("ls -sl").length() == 0; }));
    for (const auto& tool : tools) {
        ASSERT_TRUE(keys(tool.key));
        EXPECT_EQ(melString("currentCtx"), tool.context) << tool.key;
    }
    ASSERT_TRUE(keys("4"));
    EXPECT_EQ(melString("modelEditor -q -displayAppearance modelPanel4"), "wireframe");
    ASSERT_TRUE(keys("5"));
    EXPECT_EQ(melString("modelEditor -q -displayAppearance modelPanel4"), "smoothShaded");

    // Undo takes back the click's selection change and then the cube; redo brings the cube back.
    ASSERT_TRUE(keys("ctrl+z"));
    EXPECT_EQ(melStrings("ls -sl").length(), 1u);
    ASSERT_TRUE(keys("ctrl+z"));
    EXPECT_EQ(melInt("objExists box"), 0);
    ASSERT_TRUE(keys("ctrl+shift+z"));
    EXPECT_EQ(melInt("objExists box"), 1);

    // F frames the selection, A everything.
    M3dView view;
    ASSERT_TRUE(M3dView::getM3dViewFromModelPanel("modelPanel4", view));
    short x = 0, y = 0;
    ASSERT_TRUE(mel("select -r box"));
    ASSERT_TRUE(keys("f"));
    ASSERT_TRUE(view.worldToView(MPoint(30, 0, -20), x, y));
    EXPECT_NEAR(x, view.portWidth() / 2.0, 1.0);
    EXPECT_NEAR(y, view.portHeight() / 2.0, 1.0);
    ASSERT_TRUE(mel("polySphere -n ball; move -30 0 20 ball; select -r box"));
    EXPECT_FALSE(view.worldToView(MPoint(-30, 0, 20), x, y));
    ASSERT_TRUE(keys("a"));
    EXPECT_TRUE(view.worldToView(MPoint(-30, 0, 20), x, y)) << "everything framed";

    // The space bar: the four views, then the one the keys went to alone.
    ASSERT_TRUE(keys("space"));
    for (unsigned i = 0; i < 4; ++i)
        EXPECT_TRUE(host::panelShown(i)) << i;
    ASSERT_TRUE(clickThenKeys(host::panelWidget(0), QPoint(4, 4), "space"));
    EXPECT_TRUE(host::panelShown(0));
    EXPECT_FALSE(host::panelShown(3));
    EXPECT_EQ(melString("getPanel -withFocus"), "modelPanel1");
}

} // namespace
