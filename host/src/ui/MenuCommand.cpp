#include "ui/MenuCommand.h"

#include "ui/UiFlags.h"
#include "ui/MenuModel.h"

#include <maya/MGlobal.h>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {
    {"-q", "-query", CommandFlags::kNoArg},
    {"-e", "-edit", CommandFlags::kNoArg},
    {"-ex", "-exists", CommandFlags::kNoArg},
    {"-l", "-label", CommandFlags::kOneArg},
    {"-p", "-parent", CommandFlags::kOneArg},
    {"-to", "-tearOff", CommandFlags::kOptionalBool},
    {"-aob", "-allowOptionBoxes", CommandFlags::kOptionalBool},
    {"-dai", "-deleteAllItems", CommandFlags::kNoArg},
    {"-ia", "-itemArray", CommandFlags::kNoArg},
    {"-ni", "-numberOfItems", CommandFlags::kNoArg},
};

const char* const kCommand = "menu";

MenuElement* namedMenu(const CommandFlags& flags)
{
    if (flags.objects().size() != 1) {
        MGlobal::displayError("menu: name one menu.");
        return nullptr;
    }
    const std::string name = flags.objects()[0].asChar();
    MenuElement* menu = findMenuElement(name);
    if (!menu || !menu->menu) {
        MGlobal::displayError(MString("menu: Object '") + name.c_str() + "' not found.");
        return nullptr;
    }
    return menu;
}
} // namespace

MStatus MenuCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = parseUiFlags(flags, kCommand, args, kFlags);
    if (!status)
        return status;
    if (flags.isSet("-ex")) {
        if (flags.objects().size() != 1) {
            MGlobal::displayError("menu: name one menu.");
            return MS::kInvalidParameter;
        }
        const MenuElement* menu = findMenuElement(flags.objects()[0].asChar());
        setResult(menu != nullptr && menu->menu != nullptr);
        return MS::kSuccess;
    }
    status = requireMainWindow(kCommand);
    if (!status)
        return status;

    if (flags.isQuery()) {
        MenuElement* menu = namedMenu(flags);
        if (!menu)
            return MS::kNotFound;
        if (flags.isSet("-l"))
            setResult(MString(menu->label.c_str()));
        else if (flags.isSet("-to"))
            setResult(menu->tearOff);
        else if (flags.isSet("-p"))
            setResult(MString(menu->parent.c_str()));
        else if (flags.isSet("-ia"))
            setResult(menuItemNames(menu->fullName));
        else if (flags.isSet("-aob"))
            setResult(menu->allowOptionBoxes);
        else if (flags.isSet("-ni"))
            setResult(static_cast<int>(menuItemNames(menu->fullName).length()));
        else {
            MGlobal::displayError(
                "menu: query one of -label, -tearOff, -parent, -allowOptionBoxes, -itemArray and -numberOfItems.");
            return MS::kInvalidParameter;
        }
        return MS::kSuccess;
    }

    MenuElement* menu = nullptr;
    if (flags.isSet("-e")) {
        menu = namedMenu(flags);
        if (!menu)
            return MS::kNotFound;
    } else {
        if (flags.objects().size() > 1) {
            MGlobal::displayError("menu: give at most one name.");
            return MS::kInvalidParameter;
        }
        const std::string name = flags.objects().empty() ? std::string() : flags.objects()[0].asChar();
        status = createMenu(kCommand, flags.arg("-p").asChar(), name, MenuElementKind::kMenu, menu);
        if (!status)
            return status;
        // Fixed when the menu is made, as in Maya.
        menu->allowOptionBoxes = flags.boolValue("-aob", false);
    }
    if (flags.isSet("-l"))
        menu->label = flags.arg("-l").asChar();
    menu->tearOff = flags.boolValue("-to", menu->tearOff);
    if (flags.isSet("-dai"))
        deleteMenuItems(menu->fullName);
    updateMenuElement(*menu);
    setResult(MString(menu->fullName.c_str()));
    return MS::kSuccess;
}

} // namespace host
