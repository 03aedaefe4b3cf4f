#pragma once
// Menus of the main window as MEL names them: "MayaWindow|pellixMenu|bindItem".
// Each menu is a real QMenu on the main window's menu bar (or a submenu), each item
// a QAction that runs its MEL command when triggered. Without a main window (batch
// mode) there are no menus and the MEL menu commands fail.

#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <string>
#include <vector>

class QAction;
class QMainWindow;
class QMenu;

namespace host {

enum class MenuElementKind { kMenu, kItem, kSubMenu, kDivider, kOptionBox };

struct MenuElement
{
    MenuElementKind kind = MenuElementKind::kItem;
    std::string fullName;  // "MayaWindow|pellixMenu|bindItem"
    std::string parent;    // full name of the menu holding it ("MayaWindow" for menus)
    std::string label;
    std::string command;
    std::string annotation;
    bool tearOff = false;
    bool allowOptionBoxes = false; // menus: option box items may be added (set when made)
    bool checkBox = false;     // a check-box item
    bool checked = false;
    QMenu* menu = nullptr;     // menus and submenus
    QAction* action = nullptr; // items, dividers, option boxes, a submenu's own action
};

// The main window's name as MEL sees it ($gMainWindow).
const char* const kMainWindowName = "MayaWindow";

// Called by the views when the main window appears and before it goes: sets
// $gMainWindow and the window's object name, and forgets every menu.
void attachMainWindow(QMainWindow* window);
void detachMainWindow();
bool hasMainWindow();

// Fails with "<command>: no main window in batch mode." without one.
MStatus requireMainWindow(const char* command);

// A menu or item by full name, or by short name (the first made with it); null if none.
MenuElement* findMenuElement(const std::string& name);
// Whether `name` is a window or menu that can hold menus and items.
bool isMenuParent(const std::string& fullName);

// Makes a menu on the menu bar ("MayaWindow") or a submenu item in a menu. `name`
// empty: "menu1", "menu2", ... Fails with the MEL message on a taken name.
MStatus createMenu(const char* command, const std::string& parent, const std::string& name,
                   MenuElementKind kind, MenuElement*& made);
// Adds an item, divider or option box to a menu; an option box belongs to the
// item before it and fails without one.
MStatus createMenuItem(const char* command, const std::string& parent, const std::string& name,
                       MenuElementKind kind, MenuElement*& made);
// Refreshes the Qt objects from the element's label, annotation and check state.
void updateMenuElement(MenuElement& element);
// Removes an element and everything below it.
void deleteMenuElement(const std::string& fullName);
void deleteMenuItems(const std::string& menuFullName);
// Short names of a menu's direct items, in order.
MStringArray menuItemNames(const std::string& menuFullName);

// The menu new items go into (`menu` and `menuItem -subMenu` set it; `setParent -menu` moves it).
const std::string& currentMenuParent();
void setCurrentMenuParent(const std::string& fullName);

// Runs an item's command as a user's click does: as MEL, with its errors shown.
void runMenuCommand(const std::string& command);

} // namespace host
