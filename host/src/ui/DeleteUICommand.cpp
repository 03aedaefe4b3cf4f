#include "ui/DeleteUICommand.h"

#include "commands/builtins/CommandFlags.h"
#include "ui/MenuModel.h"

#include <maya/MGlobal.h>

#include <vector>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {
    {"-m", "-menu", CommandFlags::kNoArg},
    {"-mi", "-menuItem", CommandFlags::kNoArg},
};
const char* const kCommand = "deleteUI";
} // namespace

MStatus DeleteUICommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse(kCommand, args, kFlags);
    if (!status)
        return status;
    if (flags.objects().empty()) {
        MGlobal::displayError("deleteUI: name the objects to delete.");
        return MS::kInvalidParameter;
    }
    const bool menusOnly = flags.isSet("-m");
    const bool itemsOnly = flags.isSet("-mi");
    std::vector<std::string> doomed;
    for (const MString& name : flags.objects()) {
        const MenuElement* element = findMenuElement(name.asChar());
        if (!element) {
            MGlobal::displayError(MString("deleteUI: Object '") + name + "' not found.");
            return MS::kNotFound;
        }
        const bool isMenu = element->menu != nullptr;
        if ((menusOnly && !isMenu && !itemsOnly) || (itemsOnly && isMenu && !menusOnly)) {
            MGlobal::displayError(MString("deleteUI: '") + name + "' is not a " + (menusOnly ? "menu." : "menu item."));
            return MS::kInvalidParameter;
        }
        doomed.push_back(element->fullName);
    }
    // A name may go with an earlier one's parent.
    for (const std::string& fullName : doomed)
        deleteMenuElement(fullName);
    return MS::kSuccess;
}

} // namespace host
