#include "ui/MenuModel.h"

#include "commands/mel/MelInterpreter.h"

#include <maya/MGlobal.h>

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include <memory>

namespace host {

namespace {

struct MenuState
{
    QPointer<QMainWindow> window;
    // In creation order: short names resolve to the first made.
    std::vector<std::unique_ptr<MenuElement>> elements;
    std::string currentParent;
    unsigned nextMenuNumber = 1;
    unsigned nextItemNumber = 1;
    int runningCommands = 0;
};

MenuState& state()
{
    static MenuState instance;
    return instance;
}

std::string shortNameOf(const std::string& fullName)
{
    const size_t bar = fullName.rfind('|');
    return bar == std::string::npos ? fullName : fullName.substr(bar + 1);
}

// Deletes a Qt object now, or once the item command that may be running inside it returns.
void dispose(QObject* object)
{
    if (!object)
        return;
    if (state().runningCommands > 0)
        object->deleteLater();
    else
        delete object;
}

MenuElement* findExact(const std::string& fullName)
{
    for (auto& element : state().elements)
        if (element->fullName == fullName)
            return element.get();
    return nullptr;
}

// Where a new element goes: an explicit parent or the current menu.
MStatus resolveParentMenu(const char* command, const std::string& given, MenuElement*& parent)
{
    const std::string& name = given.empty() ? state().currentParent : given;
    if (name.empty()) {
        MGlobal::displayError(MString(command) + ": no menu to add the item to (make one with menu first).");
        return MS::kFailure;
    }
    parent = findMenuElement(name);
    if (!parent || !parent->menu) {
        MGlobal::displayError(MString(command) + ": menu '" + name.c_str() + "' not found.");
        return MS::kNotFound;
    }
    return MS::kSuccess;
}

MStatus claimName(const char* command, const std::string& parent, const std::string& given, const char* stem,
                  unsigned& counter, std::string& fullName)
{
    std::string name = given;
    if (name.empty()) {
        do
            name = stem + std::to_string(counter++);
        while (findExact(parent + "|" + name));
    } else if (name.find('|') != std::string::npos) {
        MGlobal::displayError(MString(command) + ": name '" + name.c_str() + "' may not contain '|'.");
        return MS::kInvalidParameter;
    } else if (findExact(parent + "|" + name)) {
        MGlobal::displayError(MString(command) + ": Object's name '" + name.c_str() + "' is not unique.");
        return MS::kInvalidParameter;
    }
    fullName = parent + "|" + name;
    return MS::kSuccess;
}

void connectTrigger(QAction* action, const std::string& fullName)
{
    QObject::connect(action, &QAction::triggered, action, [fullName](bool checked) {
        MenuElement* element = findExact(fullName);
        if (!element)
            return;
        if (element->checkBox)
            element->checked = checked;
        if (!element->command.empty())
            runMenuCommand(element->command);
    });
}

} // namespace

void attachMainWindow(QMainWindow* window)
{
    MenuState& menus = state();
    menus.elements.clear();
    menus.currentParent.clear();
    menus.window = window;
    window->setObjectName(kMainWindowName);
    MelInterpreter::run(MString("global string $gMainWindow; $gMainWindow = \"") + kMainWindowName + "\";");
}

void detachMainWindow()
{
    MenuState& menus = state();
    // The window deletes the Qt objects with itself.
    menus.elements.clear();
    menus.currentParent.clear();
    menus.window = nullptr;
    MelInterpreter::run("global string $gMainWindow; $gMainWindow = \"\";");
}

bool hasMainWindow()
{
    return !state().window.isNull();
}

MStatus requireMainWindow(const char* command)
{
    if (hasMainWindow())
        return MS::kSuccess;
    MGlobal::displayError(MString(command) + ": no main window in batch mode.");
    return MS::kFailure;
}

MenuElement* findMenuElement(const std::string& name)
{
    if (MenuElement* exact = findExact(name))
        return exact;
    if (name.find('|') != std::string::npos)
        return nullptr;
    for (auto& element : state().elements)
        if (shortNameOf(element->fullName) == name)
            return element.get();
    return nullptr;
}

bool isMenuParent(const std::string& fullName)
{
    if (fullName == kMainWindowName)
        return hasMainWindow();
    const MenuElement* element = findMenuElement(fullName);
    return element && element->menu;
}

MStatus createMenu(const char* command, const std::string& parent, const std::string& name, MenuElementKind kind,
                   MenuElement*& made)
{
    MStatus status = requireMainWindow(command);
    if (!status)
        return status;
    MenuState& menus = state();
    MenuElement* parentMenu = nullptr;
    std::string parentName = kMainWindowName;
    if (kind == MenuElementKind::kSubMenu) {
        status = resolveParentMenu(command, parent, parentMenu);
        if (!status)
            return status;
        parentName = parentMenu->fullName;
    } else if (!parent.empty() && parent != kMainWindowName) {
        MGlobal::displayError(MString(command) + ": window '" + parent.c_str() + "' not found.");
        return MS::kNotFound;
    }
    auto element = std::make_unique<MenuElement>();
    element->kind = kind;
    element->parent = parentName;
    status = claimName(command, parentName, name, kind == MenuElementKind::kSubMenu ? "menuItem" : "menu",
                       kind == MenuElementKind::kSubMenu ? menus.nextItemNumber : menus.nextMenuNumber,
                       element->fullName);
    if (!status)
        return status;
    QWidget* owner = parentMenu ? static_cast<QWidget*>(parentMenu->menu) : menus.window->menuBar();
    element->menu = new QMenu(owner);
    element->menu->setObjectName(shortNameOf(element->fullName).c_str());
    element->action = element->menu->menuAction();
    element->action->setObjectName(shortNameOf(element->fullName).c_str());
    if (parentMenu)
        parentMenu->menu->addMenu(element->menu);
    else
        menus.window->menuBar()->addMenu(element->menu);
    made = element.get();
    menus.elements.push_back(std::move(element));
    menus.currentParent = made->fullName;
    return MS::kSuccess;
}

MStatus createMenuItem(const char* command, const std::string& parent, const std::string& name, MenuElementKind kind,
                       MenuElement*& made)
{
    MStatus status = requireMainWindow(command);
    if (!status)
        return status;
    MenuElement* parentMenu = nullptr;
    status = resolveParentMenu(command, parent, parentMenu);
    if (!status)
        return status;
    QMenu* menu = parentMenu->menu;
    // An option box sits right after the item it belongs to.
    QAction* owner = nullptr;
    if (kind == MenuElementKind::kOptionBox) {
        if (!parentMenu->allowOptionBoxes) {
            MGlobal::displayError(MString(command) + ": menu '" + parentMenu->fullName.c_str() +
                                  "' was not made with -allowOptionBoxes true.");
            return MS::kFailure;
        }
        const QList<QAction*> actions = menu->actions();
        if (!actions.isEmpty() && !actions.back()->isSeparator() && !actions.back()->property("pellixOptionBox").toBool())
            owner = actions.back();
        if (!owner) {
            MGlobal::displayError(MString(command) + ": an option box needs a menu item before it.");
            return MS::kFailure;
        }
    }
    auto element = std::make_unique<MenuElement>();
    element->kind = kind;
    element->parent = parentMenu->fullName;
    status = claimName(command, parentMenu->fullName, name, "menuItem", state().nextItemNumber, element->fullName);
    if (!status)
        return status;
    element->action = kind == MenuElementKind::kDivider ? menu->addSeparator() : menu->addAction(QString());
    element->action->setObjectName(shortNameOf(element->fullName).c_str());
    if (owner) {
        element->action->setProperty("pellixOptionBox", true);
        element->label = owner->text().toStdString();
    }
    if (kind != MenuElementKind::kDivider)
        connectTrigger(element->action, element->fullName);
    made = element.get();
    state().elements.push_back(std::move(element));
    return MS::kSuccess;
}

void updateMenuElement(MenuElement& element)
{
    const QString label = QString::fromStdString(element.label);
    if (element.kind == MenuElementKind::kMenu || element.kind == MenuElementKind::kSubMenu) {
        element.menu->setTitle(label);
        element.menu->setTearOffEnabled(element.tearOff);
    } else if (element.kind == MenuElementKind::kOptionBox) {
        element.action->setText(label + " (options)");
    } else if (element.kind == MenuElementKind::kItem) {
        element.action->setText(label);
        element.action->setCheckable(element.checkBox);
        element.action->setChecked(element.checked);
    }
    if (element.action) {
        element.action->setToolTip(QString::fromStdString(element.annotation));
        element.action->setStatusTip(QString::fromStdString(element.annotation));
    }
}

void deleteMenuElement(const std::string& fullName)
{
    MenuState& menus = state();
    const std::string prefix = fullName + "|";
    QObject* doomed = nullptr;
    QWidget* holder = nullptr;
    for (auto it = menus.elements.begin(); it != menus.elements.end();) {
        MenuElement& element = **it;
        if (element.fullName == fullName) {
            const MenuElement* parent = findExact(element.parent);
            holder = parent ? static_cast<QWidget*>(parent->menu)
                            : (menus.window ? static_cast<QWidget*>(menus.window->menuBar()) : nullptr);
            if (holder && element.action)
                holder->removeAction(element.action);
            doomed = element.menu ? static_cast<QObject*>(element.menu) : element.action;
        }
        if (element.fullName == fullName || element.fullName.compare(0, prefix.size(), prefix) == 0)
            it = menus.elements.erase(it);
        else
            ++it;
    }
    if (menus.currentParent == fullName || menus.currentParent.compare(0, prefix.size(), prefix) == 0)
        menus.currentParent.clear();
    // Children of a menu go with it.
    dispose(doomed);
}

void deleteMenuItems(const std::string& menuFullName)
{
    for (const MString& item : menuItemNames(menuFullName))
        deleteMenuElement(menuFullName + "|" + item.asChar());
}

MStringArray menuItemNames(const std::string& menuFullName)
{
    MStringArray names;
    for (auto& element : state().elements)
        if (element->parent == menuFullName)
            names.append(shortNameOf(element->fullName).c_str());
    return names;
}

const std::string& currentMenuParent()
{
    return state().currentParent;
}

void setCurrentMenuParent(const std::string& fullName)
{
    state().currentParent = fullName;
}

void runMenuCommand(const std::string& command)
{
    // The command may delete the very menu it came from.
    ++state().runningCommands;
    MelInterpreter::run(MString(command.c_str()));
    --state().runningCommands;
}

} // namespace host
