// The commands everyday scripts and Maya's own scene scripts use around the scene
// itself: namespaces, the session (quit, undoInfo), the views' settings (grid, upAxis,
// displayPref), cameras (dolly), wireframe colours (color), hiding (hide, showHidden) and the exact box of objects.

#include "commands/builtins/Builtins.h"

#include "commands/CommandRegistry.h"
#include "commands/builtins/NamespaceCommands.h"
#include "commands/builtins/SessionCommands.h"
#include "dag/ColorCommand.h"
#include "dag/VisibilityCommands.h"
#include "geometry/ExactWorldBoundingBoxCommand.h"
#include "viewport/GridCommands.h"
#include "views/DollyCommand.h"

namespace host {

void registerScriptCommands()
{
    static const struct
    {
        const char* name;
        MCreatorFunction creator;
    } kCommands[] = {
        {"namespace", NamespaceCommand::creator},
        {"namespaceInfo", NamespaceInfoCommand::creator},
        {"quit", QuitCommand::creator},
        {"undoInfo", UndoInfoCommand::creator},
        {"grid", GridCommand::creator},
        {"upAxis", UpAxisCommand::creator},
        {"displayPref", DisplayPrefCommand::creator},
        {"toggleAxis", ToggleAxisCommand::creator},
        {"dolly", DollyCommand::creator},
        {"exactWorldBoundingBox", ExactWorldBoundingBoxCommand::creator},
        {"color", ColorCommand::creator},
        {"hide", HideCommand::creator},
        {"showHidden", ShowHiddenCommand::creator},
    };
    for (const auto& command : kCommands)
        CHECK_MSTATUS(registerBuiltinCommand(command.name, command.creator, nullptr));
}

} // namespace host
