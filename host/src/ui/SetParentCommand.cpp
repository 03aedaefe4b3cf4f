#include "ui/SetParentCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "ui/MenuModel.h"

#include <maya/MGlobal.h>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {
    {"-q", "-query", CommandFlags::kNoArg},
    {"-m", "-menu", CommandFlags::kNoArg},
};
const char* const kCommand = "setParent";
} // namespace

MStatus SetParentCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse(kCommand, args, kFlags);
    if (!status)
        return status;
    status = requireMainWindow(kCommand);
    if (!status)
        return status;
    if (!flags.isSet("-m")) {
        MGlobal::displayError("setParent: only menu parents exist here; use -menu.");
        return MS::kInvalidParameter;
    }
    if (flags.isQuery()) {
        setResult(MString(currentMenuParent().c_str()));
        return MS::kSuccess;
    }
    if (flags.objects().size() != 1) {
        MGlobal::displayError("setParent: name one menu, or \"..\" for the parent of the current one.");
        return MS::kInvalidParameter;
    }
    const std::string name = flags.objects()[0].asChar();
    std::string target;
    if (name == "..") {
        const MenuElement* current = findMenuElement(currentMenuParent());
        target = current ? current->parent : std::string(kMainWindowName);
    } else if (name == kMainWindowName) {
        target = kMainWindowName;
    } else {
        const MenuElement* menu = findMenuElement(name);
        if (!menu || !menu->menu) {
            MGlobal::displayError(MString("setParent: Object '") + name.c_str() + "' not found.");
            return MS::kNotFound;
        }
        target = menu->fullName;
    }
    setCurrentMenuParent(target);
    setResult(MString(target.c_str()));
    return MS::kSuccess;
}

} // namespace host
