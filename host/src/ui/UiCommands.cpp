#include "ui/UiCommands.h"

#include "commands/CommandRegistry.h"
#include "ui/DeleteUICommand.h"
#include "ui/MenuCommand.h"
#include "ui/MenuItemCommand.h"
#include "ui/OptionVarCommand.h"
#include "ui/PromptDialogCommand.h"
#include "ui/SetParentCommand.h"

#include <maya/MGlobal.h>

namespace host {

void registerUiCommands()
{
    static const struct
    {
        const char* name;
        MCreatorFunction creator;
    } kCommands[] = {
        {"menu", MenuCommand::creator},           {"menuItem", MenuItemCommand::creator},
        {"setParent", SetParentCommand::creator}, {"deleteUI", DeleteUICommand::creator},
        {"optionVar", OptionVarCommand::creator}, {"promptDialog", PromptDialogCommand::creator},
    };
    for (const auto& command : kCommands) {
        MStatus status = registerBuiltinCommand(command.name, command.creator, nullptr);
        CHECK_MSTATUS(status);
    }
}

} // namespace host
