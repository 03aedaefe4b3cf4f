// The "Pellix" menu as a user meets it in the main window: built when the plug-in loads,
// gone when it unloads, and each item running its command on the selection (one undo
// step), with the command's own error when the selection does not fit. Also the MEL
// interface commands the menu is made with.

#include "PluginTestSupport.h"

#include "views/Views.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

QMainWindow* mainWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<QMainWindow*>(widget))
            if (window->objectName() == "MayaWindow")
                return window;
    return nullptr;
}

// The menu bar's menus with that title.
std::vector<QMenu*> menusTitled(const QString& title)
{
    std::vector<QMenu*> menus;
    if (QMainWindow* window = mainWindow())
        for (QAction* action : window->menuBar()->actions())
            if (action->menu() && action->text() == title)
                menus.push_back(action->menu());
    return menus;
}

// What a menu shows, separators as "-".
std::vector<std::string> labels(const QMenu* menu)
{
    std::vector<std::string> shown;
    for (const QAction* action : menu->actions())
        shown.push_back(action->isSeparator() ? "-" : action->text().toStdString());
    return shown;
}

// Answers the next prompt dialog: types `text` and presses `button` (looked for every 10 ms
// while the dialog's own event loop runs, for two seconds at most).
void answerNextPrompt(const QString& text, const QString& button)
{
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, text, button, attempts = 0]() mutable {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QDialog*>(widget);
            if (!dialog || !dialog->isVisible() || dialog->objectName() != "promptDialog")
                continue;
            poll->deleteLater();
            poll->stop();
            dialog->findChild<QLineEdit*>("text")->setText(text);
            dialog->findChild<QPushButton*>(button)->click();
            return;
        }
        if (++attempts >= 200) {
            poll->stop();
            poll->deleteLater();
        }
    });
    poll->start();
}

class PellixMenu : public PellixPluginTest
{
protected:
    void SetUp() override
    {
        PellixPluginTest::SetUp();
        mel("optionVar -remove pellixBindTolerance -remove pellixBindHidePatches -remove pellixPinMaintainOffset");
        fCapture = std::make_unique<host::MessageCapture>();
    }

    void TearDown() override
    {
        fCapture.reset();
        mel("optionVar -remove pellixBindTolerance -remove pellixBindHidePatches -remove pellixPinMaintainOffset");
        PellixPluginTest::TearDown();
    }

    static QMenu* pellixMenu()
    {
        const std::vector<QMenu*> menus = menusTitled("Pellix");
        return menus.size() == 1 ? menus[0] : nullptr;
    }

    // Chooses an item as a click on it does.
    static void choose(const char* itemName)
    {
        QMenu* menu = pellixMenu();
        ASSERT_NE(menu, nullptr);
        QAction* item = menu->findChild<QAction*>(itemName);
        ASSERT_NE(item, nullptr) << itemName;
        item->trigger();
        host::processEvents();
    }

    static int count(const char* type) { return melInt(std::string("size(`ls -type ") + type + "`)"); }

    std::string errors() const { return fCapture->text(host::MessageKind::kError).asChar(); }

    // A 2 x 2 driver and a one-face patch lying on four of its vertices.
    static void makeDriverAndPatch()
    {
        ASSERT_TRUE(mel("polyPlane -w 2 -h 2 -sx 2 -sy 2 -n body; polyPlane -w 1 -h 1 -sx 1 -sy 1 -n patch; "
                        "move 0.5 0 0.5 patch; select -r body patch"));
    }

    std::unique_ptr<host::MessageCapture> fCapture;
};

TEST_F(PellixMenu, LoadingBuildsTheMenuAndUnloadingRemovesIt)
{
    QMenu* menu = pellixMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(labels(menu), (std::vector<std::string>{"Bind Patches", "Bind Patches (options)", "Partial Rebind",
                                                      "Create Patch from Faces", "Create Patch from Faces (options)",
                                                      "Mirror Patches", "Mirror Patches (options)", "Remove Patch", "-",
                                                      "Create Shape Control", "Create Live Shape Control", "-",
                                                      "Pin to Surface", "Pin by UV", "-", "Vertex Wrap"}));
    QMenu* pins = menu->findChild<QMenu*>("pellixPinToSurfaceMenu");
    ASSERT_NE(pins, nullptr);
    EXPECT_EQ(labels(pins), (std::vector<std::string>{"Matrix", "Translate", "-", "Maintain Offset"}));
    EXPECT_TRUE(menu->isTearOffEnabled());
    EXPECT_EQ(melInt("menu -q -allowOptionBoxes pellixMenu"), 1);
    EXPECT_EQ(melStrings("menu -q -itemArray pellixMenu").length(), 16u);
    EXPECT_EQ(melString("menuItem -q -command pellixVertexWrapItem"), "vertexWrap");

    ASSERT_TRUE(mel(std::string("unloadPlugin ") + kPluginName));
    EXPECT_TRUE(menusTitled("Pellix").empty());
    EXPECT_EQ(melInt("menu -exists pellixMenu"), 0);
    EXPECT_EQ(melInt("menuItem -exists pellixBindPatchesItem"), 0);

    // Loading again builds it once, not twice.
    ASSERT_TRUE(loadPellix());
    EXPECT_EQ(menusTitled("Pellix").size(), 1u);
    EXPECT_EQ(errors(), "");
}

TEST_F(PellixMenu, BindPatchesBindsTheSelectionAsOneUndoStep)
{
    makeDriverAndPatch();
    choose("pellixBindPatchesItem");
    EXPECT_EQ(errors(), "");
    EXPECT_EQ(count("pellixDataOverlay"), 1);
    EXPECT_EQ(melInt("getAttr patch.visibility"), 1);
    EXPECT_DOUBLE_EQ(melDouble("getAttr pellixDataOverlayShape.bindTolerance"), 0.0001);

    ASSERT_TRUE(mel("undo"));
    EXPECT_EQ(count("pellixDataOverlay"), 0);
    ASSERT_TRUE(mel("redo"));
    EXPECT_EQ(count("pellixDataOverlay"), 1);
}

TEST_F(PellixMenu, ItemsOnAWrongSelectionShowTheCommandsOwnErrorAlone)
{
    ASSERT_TRUE(mel("spaceLocator -n loc; polyPlane -n patch"));
    // The selection, the item, and all the user reads: no script file or line after it.
    const struct
    {
        const char* selection;
        const char* item;
        const char* error;
    } cases[] = {
        {"loc patch", "pellixBindPatchesItem", "pellixDataBind: first selected object must be a driver mesh: loc\n"},
        {"patch loc", "pellixPartialRebindItem",
         "pellixDataBind: partialRebind requires an existing overlay for the driver.\n"},
        {"", "pellixShapeControlItem", "shapeControlCreate: select a mesh or curve shape/transform first.\n"},
        {"", "pellixPinMatrixItem", "Usage: surfacePinBind mesh ctrl0 ctrl1 ...\n"},
        {"", "pellixPinTranslateItem", "Usage: surfacePinBind mesh ctrl0 ctrl1 ...\n"},
        {"", "pellixPinByUVItem", "surfaceUVPinBind requires a mesh and at least one control.\n"},
        {"patch", "pellixVertexWrapItem", "vertexWrap: select driver mesh followed by one or more target meshes.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.item);
        ASSERT_TRUE(mel(std::string("select -clear; select -add ") + c.selection));
        fCapture->clear();
        choose(c.item);
        EXPECT_EQ(errors(), c.error);
    }

    // Nothing was made, and the plug-in and its menu are still there.
    EXPECT_EQ(count("pellixDataOverlay") + count("shapeControl") + count("surfacePin") + count("surfaceUVPin") +
                  count("vertexWrap"),
              0);
    EXPECT_NE(pellixMenu(), nullptr);
}

TEST_F(PellixMenu, OptionBoxBindsWithTheToleranceAndHidingChosenAndKeepsThem)
{
    makeDriverAndPatch();
    answerNextPrompt("0.01", "Bind and Hide Patches");
    choose("pellixBindPatchesOptionBox");
    EXPECT_EQ(errors(), "");
    EXPECT_DOUBLE_EQ(melDouble("getAttr pellixDataOverlayShape.bindTolerance"), 0.01);
    EXPECT_EQ(melInt("getAttr patch.visibility"), 0);

    // The plain item binds with what the option box kept.
    ASSERT_TRUE(mel("file -force -new; polyPlane -w 2 -h 2 -sx 2 -sy 2 -n body; "
                    "polyPlane -w 1 -h 1 -sx 1 -sy 1 -n patch; move 0.5 0 0.5 patch; select -r body patch"));
    choose("pellixBindPatchesItem");
    EXPECT_DOUBLE_EQ(melDouble("getAttr pellixDataOverlayShape.bindTolerance"), 0.01);
    EXPECT_EQ(melInt("getAttr patch.visibility"), 0);

    // Close binds nothing.
    ASSERT_TRUE(mel("select -r body patch"));
    answerNextPrompt("0.5", "Close");
    choose("pellixBindPatchesOptionBox");
    EXPECT_EQ(count("pellixDataOverlay"), 1);
    EXPECT_DOUBLE_EQ(melDouble("optionVar -q pellixBindTolerance"), 0.01);
}

TEST_F(PellixMenu, OptionBoxRefusesAToleranceThatIsNoPositiveNumberInItsOwnWords)
{
    makeDriverAndPatch();
    for (const char* text : {"abc", "2x", "", "0", "-1", "1..5", ".e3", "1e"}) {
        SCOPED_TRACE(text);
        fCapture->clear();
        answerNextPrompt(text, "Bind");
        choose("pellixBindPatchesOptionBox");
        EXPECT_EQ(errors(), std::string("Bind Patches Options: Bind tolerance must be a number greater than zero, "
                                        "not \"") + text + "\".\n");
        EXPECT_EQ(count("pellixDataOverlay"), 0);
        EXPECT_EQ(melInt("optionVar -exists pellixBindTolerance"), 0);
    }
    // A number the command will not take is its to refuse, and is not kept either.
    fCapture->clear();
    answerNextPrompt(" 1e-13 ", "Bind");
    choose("pellixBindPatchesOptionBox");
    EXPECT_EQ(errors(), "pellixDataBind: bindTolerance must be at least 1e-12.\n");
    EXPECT_EQ(count("pellixDataOverlay"), 0);
    EXPECT_EQ(melInt("optionVar -exists pellixBindTolerance"), 0);
}

TEST_F(PellixMenu, PartialRebindRebindsTheSelectedPatchOfTheOverlay)
{
    makeDriverAndPatch();
    choose("pellixBindPatchesItem");
    ASSERT_EQ(count("pellixDataOverlay"), 1);
    fCapture->clear();
    ASSERT_TRUE(mel("select -r body patch"));
    choose("pellixPartialRebindItem");
    EXPECT_EQ(errors(), "");
    EXPECT_EQ(count("pellixDataOverlay"), 1);
    EXPECT_NE(std::string(fCapture->text(host::MessageKind::kInfo).asChar()).find("pellixDataBind rebound 1 selected"),
              std::string::npos);
    // Undo brings back the first bind's overlay, not none.
    ASSERT_TRUE(mel("undo"));
    EXPECT_EQ(count("pellixDataOverlay"), 1);
}

TEST_F(PellixMenu, PatchItemsMakeMirrorAndRemovePatchesOfTheSelectedFacesForTheControlSelectedAfter)
{
    mel("optionVar -remove pellixMirrorAxis -remove pellixMirrorTolerance");
    ASSERT_TRUE(mel("polyPlane -w 4 -h 4 -sx 4 -sy 4 -n body; createNode transform -n chest_ctrl; "
                    "createNode transform -n L_arm_ctrl; createNode transform -n R_arm_ctrl"));
    ASSERT_TRUE(mel("select -r body.f[1:2] chest_ctrl"));
    choose("pellixCreatePatchItem");
    ASSERT_TRUE(mel("select -r body.f[9] chest_ctrl"));
    answerNextPrompt("belly", "Create");
    choose("pellixCreatePatchOptionBox");
    // The mirror's option box: the tolerance typed, the axis by the button, both kept.
    ASSERT_TRUE(mel("select -r body.f[4] L_arm_ctrl"));
    answerNextPrompt("0.01", "Mirror Across X");
    choose("pellixMirrorPatchesOptionBox");
    EXPECT_EQ(errors(), "");
    EXPECT_EQ(melString("optionVar -q pellixMirrorAxis"), "x");
    EXPECT_DOUBLE_EQ(melDouble("optionVar -q pellixMirrorTolerance"), 0.01);
    const MStringArray patches = melStrings("pellixPatchCreate -q -overlay -patches pellixDataOverlay");
    ASSERT_EQ(patches.length(), 8u);
    EXPECT_EQ(patches[0], "chest_ctrl_patch");
    EXPECT_EQ(patches[2], "belly");
    EXPECT_EQ(patches[4], "L_arm_ctrl_patch");
    EXPECT_EQ(patches[6], "R_arm_ctrl_patch");

    // A tolerance that is no number is refused in the dialog's words and not kept.
    answerNextPrompt("abc", "Mirror Across Y");
    choose("pellixMirrorPatchesOptionBox");
    EXPECT_EQ(errors(), "Mirror Patches Options: Mirror tolerance must be a number greater than zero, not \"abc\".\n");
    EXPECT_EQ(melString("optionVar -q pellixMirrorAxis"), "x");

    // Remove takes the selected patch out, as one undo step.
    fCapture->clear();
    ASSERT_TRUE(mel("select -r belly"));
    choose("pellixRemovePatchItem");
    EXPECT_EQ(errors(), "");
    EXPECT_EQ(melInt("objExists belly"), 0);
    EXPECT_EQ(melStrings("pellixPatchCreate -q -overlay -patches pellixDataOverlay").length(), 6u);
    ASSERT_TRUE(mel("undo"));
    EXPECT_EQ(melInt("objExists belly"), 1);
    mel("optionVar -remove pellixMirrorAxis -remove pellixMirrorTolerance");
}

TEST_F(PellixMenu, CreateItemsRunTheirCommandOnTheSelectionAsOneUndoStep)
{
    ASSERT_TRUE(mel("polyCube -n box; polyPlane -n ground; spaceLocator -n ctrl; polyPlane -n target"));
    // What each item makes, and a plug it connects (or, marked "!", leaves alone).
    const struct
    {
        const char* selection;
        const char* item;
        const char* type;
        std::vector<std::string> plugs;
    } cases[] = {
        {"box", "pellixShapeControlItem", "shapeControl", {"!box_ShapeControlShape.inGeometry"}},
        {"box", "pellixLiveShapeControlItem", "shapeControl", {"box_ShapeControlShape.inGeometry"}},
        {"ground ctrl", "pellixPinTranslateItem", "surfacePin", {"ctrl.translateX", "!ctrl.offsetParentMatrix"}},
        {"ground ctrl", "pellixPinMatrixItem", "surfacePin", {"ctrl.offsetParentMatrix"}},
        {"ground ctrl", "pellixPinByUVItem", "surfaceUVPin", {"ctrl.offsetParentMatrix"}},
        {"ground target", "pellixVertexWrapItem", "vertexWrap", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.item);
        ASSERT_TRUE(mel(std::string("select -r ") + c.selection));
        choose(c.item);
        EXPECT_EQ(errors(), "");
        EXPECT_EQ(count(c.type), 1);
        for (const std::string& plug : c.plugs) {
            const bool connected = plug[0] != '!';
            EXPECT_EQ(melStrings("listConnections -source 1 -destination 0 " + plug.substr(connected ? 0 : 1)).length(),
                      connected ? 1u : 0u)
                << plug;
        }
        ASSERT_TRUE(mel("undo"));
        EXPECT_EQ(count(c.type), 0);
    }
}

TEST_F(PellixMenu, MaintainOffsetCheckBoxIsKeptAndUsedByThePins)
{
    QMenu* menu = pellixMenu();
    ASSERT_NE(menu, nullptr);
    QAction* check = menu->findChild<QAction*>("pellixMaintainOffsetItem");
    ASSERT_NE(check, nullptr);
    EXPECT_TRUE(check->isCheckable());
    EXPECT_TRUE(check->isChecked());
    choose("pellixMaintainOffsetItem");
    EXPECT_FALSE(check->isChecked());
    EXPECT_EQ(melInt("optionVar -q pellixPinMaintainOffset"), 0);
    EXPECT_EQ(melInt("menuItem -q -checkBox pellixMaintainOffsetItem"), 0);

    // Without an offset the control jumps onto the surface point it is bound to.
    ASSERT_TRUE(mel("polyPlane -n ground; spaceLocator -n ctrl; move 0.2 3 0.1 ctrl; select -r ground ctrl"));
    choose("pellixPinTranslateItem");
    EXPECT_NEAR(melDouble("getAttr ctrl.translateY"), 0.0, 1e-6);

    choose("pellixMaintainOffsetItem");
    EXPECT_EQ(melInt("optionVar -q pellixPinMaintainOffset"), 1);
    EXPECT_EQ(errors(), "");
}

// A person's click: the menu bar title, then the item in the menu that opens.
TEST_F(PellixMenu, ARealClickOnTheMenuRunsTheItem)
{
    if (std::system("command -v xdotool > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "xdotool is not installed";
    ASSERT_TRUE(mel("polyPlane -n driver; polyPlane -n target; select -r driver target"));
    QMainWindow* window = mainWindow();
    ASSERT_NE(window, nullptr);
    window->raise();
    host::processEvents();
    QMenu* menu = pellixMenu();
    ASSERT_NE(menu, nullptr);

    auto clickAt = [](const QPoint& point) {
        const std::string command = "xdotool mousemove " + std::to_string(point.x()) + " " +
                                    std::to_string(point.y()) + " click 1";
        return std::system(command.c_str()) == 0;
    };
    auto waitFor = [](const std::function<bool()>& done) {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    };
    QMenuBar* bar = window->menuBar();
    ASSERT_TRUE(clickAt(bar->mapToGlobal(bar->actionGeometry(menu->menuAction()).center())));
    ASSERT_TRUE(waitFor([menu] { return menu->isVisible(); })) << "the menu did not open";
    QAction* item = menu->findChild<QAction*>("pellixVertexWrapItem");
    ASSERT_TRUE(clickAt(menu->mapToGlobal(menu->actionGeometry(item).center())));
    ASSERT_TRUE(waitFor([this] { return count("vertexWrap") == 1; }));
    EXPECT_FALSE(menu->isVisible());
}

// The interface commands themselves, as scripts other than the menu use them.
class MenuCommands : public PellixMenu
{
};

TEST_F(MenuCommands, MenusNestAndAnswerQueries)
{
    EXPECT_EQ(melString("menu -label \"Tools\" -parent MayaWindow toolsMenu"), "MayaWindow|toolsMenu");
    EXPECT_EQ(melString("menuItem -label \"First\" -annotation \"the first\" first"), "MayaWindow|toolsMenu|first");
    EXPECT_EQ(melString("menuItem -subMenu true -label \"More\" more"), "MayaWindow|toolsMenu|more");
    EXPECT_EQ(melString("menuItem -label \"Inner\" inner"), "MayaWindow|toolsMenu|more|inner");
    EXPECT_EQ(melString("setParent -menu .."), "MayaWindow|toolsMenu");
    // Unnamed items are numbered across the session, as in Maya.
    EXPECT_EQ(std::string(melString("menuItem -label \"Last\"").asChar()).rfind("MayaWindow|toolsMenu|menuItem", 0), 0u);
    EXPECT_EQ(melString("setParent -q -menu"), "MayaWindow|toolsMenu");
    EXPECT_EQ(melString("menu -q -label toolsMenu"), "Tools");
    EXPECT_EQ(melString("menuItem -q -annotation first"), "the first");
    EXPECT_EQ(melInt("menuItem -q -subMenu more"), 1);
    EXPECT_EQ(melStrings("menu -q -itemArray more").length(), 1u);
    ASSERT_TRUE(mel("menuItem -e -label \"Renamed\" first"));
    EXPECT_EQ(labels(menusTitled("Tools").at(0)), (std::vector<std::string>{"Renamed", "More", "Last"}));

    ASSERT_TRUE(mel("menu -e -deleteAllItems toolsMenu"));
    EXPECT_EQ(melInt("menu -q -numberOfItems toolsMenu"), 0);
    EXPECT_EQ(melInt("menuItem -exists inner"), 0);
    ASSERT_TRUE(mel("deleteUI -menu toolsMenu"));
    EXPECT_TRUE(menusTitled("Tools").empty());
}

TEST_F(MenuCommands, MistakesGetClearErrors)
{
    ASSERT_TRUE(mel("menu -label \"Tools\" toolsMenu; menuItem -label \"A\" a"));
    EXPECT_FALSE(mel("menu toolsMenu"));
    EXPECT_FALSE(mel("menuItem a"));
    EXPECT_FALSE(mel("menuItem -parent nowhere b"));
    EXPECT_FALSE(mel("deleteUI -menu a"));
    EXPECT_FALSE(mel("deleteUI -menuItem nothing"));
    EXPECT_FALSE(mel("setParent -menu nothing"));
    EXPECT_FALSE(mel("menuItem -divider true -optionBox true"));
    EXPECT_FALSE(mel("optionVar -iv count notANumber"));
    EXPECT_EQ(errors(), "menu: Object's name 'toolsMenu' is not unique.\n"
                        "menuItem: Object's name 'a' is not unique.\n"
                        "menuItem: menu 'nowhere' not found.\n"
                        "deleteUI: 'a' is not a menu.\n"
                        "deleteUI: Object 'nothing' not found.\n"
                        "setParent: Object 'nothing' not found.\n"
                        "menuItem: -optionBox, -divider and -subMenu exclude each other.\n"
                        "optionVar: -iv count: \"notANumber\" is not a number.\n");
    ASSERT_TRUE(mel("deleteUI -menu toolsMenu"));
    fCapture->clear();
    // An option box belongs to the item before it, in a menu made to take option boxes.
    ASSERT_TRUE(mel("menu -label \"Empty\" -allowOptionBoxes true emptyMenu"));
    EXPECT_FALSE(mel("menuItem -optionBox true"));
    ASSERT_TRUE(mel("menu -label \"Plain\" plainMenu; menuItem -label \"Item\""));
    EXPECT_FALSE(mel("menuItem -optionBox true"));
    EXPECT_EQ(errors(), "menuItem: an option box needs a menu item before it.\n"
                        "menuItem: menu 'MayaWindow|plainMenu' was not made with -allowOptionBoxes true.\n");
    ASSERT_TRUE(mel("deleteUI emptyMenu plainMenu"));
}

TEST_F(MenuCommands, AnItemMayDeleteItsOwnMenu)
{
    ASSERT_TRUE(mel("menu -label \"Once\" onceMenu; menuItem -label \"Go\" -command \"deleteUI -menu onceMenu\" go"));
    QMenu* menu = menusTitled("Once").at(0);
    menu->findChild<QAction*>("go")->trigger();
    host::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(menusTitled("Once").empty());
    EXPECT_EQ(melInt("menu -exists onceMenu"), 0);
    EXPECT_EQ(errors(), "");
}

TEST_F(MenuCommands, OptionVarsKeepTypedValues)
{
    ASSERT_TRUE(mel("optionVar -iv pellixTestInt 3 -fv pellixTestFloat 0.25 -sv pellixTestString \"a b\""));
    EXPECT_EQ(melInt("optionVar -q pellixTestInt"), 3);
    EXPECT_DOUBLE_EQ(melDouble("optionVar -q pellixTestFloat"), 0.25);
    EXPECT_EQ(melString("optionVar -q pellixTestString"), "a b");
    EXPECT_EQ(melInt("optionVar -q pellixTestUnset"), 0);
    ASSERT_TRUE(mel("optionVar -remove pellixTestInt -remove pellixTestFloat -remove pellixTestString"));
    EXPECT_EQ(melInt("optionVar -exists pellixTestInt"), 0);
}

// Batch mode has no main window: the plug-in loads without a menu and without an error, and
// the menu commands say why they cannot work.
TEST(PellixMenuBatch, LoadingInBatchBuildsNoMenuAndGivesNoError)
{
    std::string output;
    const int status = runPellixbatch(
        "-command 'loadPlugin pellix; print (\"exists \" + `menu -exists pellixMenu` + \"\\n\"); "
        "global string $gMainWindow; print (\"window [\" + $gMainWindow + \"]\\n\"); unloadPlugin pellix;'",
        output);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("exists 0\n"), std::string::npos) << output;
    EXPECT_NE(output.find("window []\n"), std::string::npos) << output;
    EXPECT_EQ(output.find("Error"), std::string::npos) << output;

    EXPECT_EQ(runPellixbatch("-command 'menu -label Tools'", output), 1);
    EXPECT_NE(output.find("Error: menu: no main window in batch mode.\n"), std::string::npos) << output;
}

} // namespace
