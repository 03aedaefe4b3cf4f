#include "anim/AnimCommands.h"

#include "anim/ConstraintCommand.h"
#include "anim/KeyCommands.h"
#include "anim/PlaybackCommands.h"
#include "commands/CommandRegistry.h"

#include <maya/MStatus.h>

namespace host {

void registerAnimCommands()
{
    static const struct
    {
        const char* name;
        MCreatorFunction creator;
    } kCommands[] = {
        {"setKeyframe", SetKeyframeCommand::creator},
        {"keyframe", KeyframeCommand::creator},
        {"cutKey", CutKeyCommand::creator},
        {"playbackOptions", PlaybackOptionsCommand::creator},
        {"play", PlayCommand::creator},
        {"parentConstraint", ConstraintCommand::parentCreator},
        {"pointConstraint", ConstraintCommand::pointCreator},
        {"orientConstraint", ConstraintCommand::orientCreator},
        {"scaleConstraint", ConstraintCommand::scaleCreator},
        {"aimConstraint", ConstraintCommand::aimCreator},
    };
    for (const auto& command : kCommands) {
        MStatus status = registerBuiltinCommand(command.name, command.creator, nullptr);
        CHECK_MSTATUS(status);
    }
}

} // namespace host
