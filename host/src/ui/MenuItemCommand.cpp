#include "ui/MenuItemCommand.h"

#include "ui/UiFlags.h"
#include "ui/MenuModel.h"

#include <maya/MGlobal.h>

#include <QAction>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {
    {"-q", "-query", CommandFlags::kNoArg},
    {"-e", "-edit", CommandFlags::kNoArg},
    {"-ex", "-exists", CommandFlags::kNoArg},
    {"-l", "-label", CommandFlags::kOneArg},
    {"-c", "-command", CommandFlags::kOneArg},
    {"-ann", "-annotation", CommandFlags::kOneArg},
    {"-p", "-parent", CommandFlags::kOneArg},
    {"-ob", "-optionBox", CommandFlags::kOptionalBool},
    {"-d", "-divider", CommandFlags::kOptionalBool},
    {"-sm", "-subMenu", CommandFlags::kOptionalBool},
    {"-to", "-tearOff", CommandFlags::kOptionalBool},
    {"-cb", "-checkBox", CommandFlags::kOptionalBool},
    {"-en", "-enable", CommandFlags::kOptionalBool},
    {"-aob", "-allowOptionBoxes", CommandFlags::kOptionalBool},
};

const char* const kCommand = "menuItem";

bool isItem(const MenuElement* element)
{
    return element && element->kind != MenuElementKind::kMenu;
}

MenuElement* namedItem(const CommandFlags& flags)
{
    if (flags.objects().size() != 1) {
        MGlobal::displayError("menuItem: name one menu item.");
        return nullptr;
    }
    const std::string name = flags.objects()[0].asChar();
    MenuElement* item = findMenuElement(name);
    if (!isItem(item)) {
        MGlobal::displayError(MString("menuItem: Object '") + name.c_str() + "' not found.");
        return nullptr;
    }
    return item;
}

MStatus query(MPxCommand& command, const CommandFlags& flags, const MenuElement& item)
{
    if (flags.isSet("-l"))
        command.setResult(MString(item.label.c_str()));
    else if (flags.isSet("-c"))
        command.setResult(MString(item.command.c_str()));
    else if (flags.isSet("-ann"))
        command.setResult(MString(item.annotation.c_str()));
    else if (flags.isSet("-p"))
        command.setResult(MString(item.parent.c_str()));
    else if (flags.isSet("-ob"))
        command.setResult(item.kind == MenuElementKind::kOptionBox);
    else if (flags.isSet("-d"))
        command.setResult(item.kind == MenuElementKind::kDivider);
    else if (flags.isSet("-sm"))
        command.setResult(item.kind == MenuElementKind::kSubMenu);
    else if (flags.isSet("-cb"))
        command.setResult(item.checkBox && item.checked);
    else if (flags.isSet("-en"))
        command.setResult(item.action && item.action->isEnabled());
    else {
        MGlobal::displayError("menuItem: query one of -label, -command, -annotation, -parent, -optionBox, "
                              "-divider, -subMenu, -checkBox and -enable.");
        return MS::kInvalidParameter;
    }
    return MS::kSuccess;
}
} // namespace

MStatus MenuItemCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = parseUiFlags(flags, kCommand, args, kFlags);
    if (!status)
        return status;
    if (flags.isSet("-ex")) {
        if (flags.objects().size() != 1) {
            MGlobal::displayError("menuItem: name one menu item.");
            return MS::kInvalidParameter;
        }
        setResult(isItem(findMenuElement(flags.objects()[0].asChar())));
        return MS::kSuccess;
    }
    status = requireMainWindow(kCommand);
    if (!status)
        return status;
    if (flags.isQuery()) {
        MenuElement* item = namedItem(flags);
        if (!item)
            return MS::kNotFound;
        return query(*this, flags, *item);
    }

    MenuElement* item = nullptr;
    if (flags.isSet("-e")) {
        item = namedItem(flags);
        if (!item)
            return MS::kNotFound;
    } else {
        if (flags.objects().size() > 1) {
            MGlobal::displayError("menuItem: give at most one name.");
            return MS::kInvalidParameter;
        }
        const bool optionBox = flags.boolValue("-ob", false);
        const bool divider = flags.boolValue("-d", false);
        const bool subMenu = flags.boolValue("-sm", false);
        if (int(optionBox) + int(divider) + int(subMenu) > 1) {
            MGlobal::displayError("menuItem: -optionBox, -divider and -subMenu exclude each other.");
            return MS::kInvalidParameter;
        }
        const std::string name = flags.objects().empty() ? std::string() : flags.objects()[0].asChar();
        const std::string parent = flags.arg("-p").asChar();
        if (subMenu)
            status = createMenu(kCommand, parent, name, MenuElementKind::kSubMenu, item);
        else
            status = createMenuItem(kCommand, parent, name,
                                    optionBox ? MenuElementKind::kOptionBox
                                              : divider ? MenuElementKind::kDivider : MenuElementKind::kItem,
                                    item);
        if (!status)
            return status;
        item->checkBox = flags.isSet("-cb");
        item->allowOptionBoxes = subMenu && flags.boolValue("-aob", false);
    }
    if (flags.isSet("-l"))
        item->label = flags.arg("-l").asChar();
    if (flags.isSet("-c"))
        item->command = flags.arg("-c").asChar();
    if (flags.isSet("-ann"))
        item->annotation = flags.arg("-ann").asChar();
    if (flags.isSet("-cb"))
        item->checked = flags.boolValue("-cb", false);
    item->tearOff = flags.boolValue("-to", item->tearOff);
    if (flags.isSet("-en") && item->action)
        item->action->setEnabled(flags.boolValue("-en", true));
    updateMenuElement(*item);
    setResult(MString(item->fullName.c_str()));
    return MS::kSuccess;
}

} // namespace host
