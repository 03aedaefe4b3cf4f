#pragma once
// The animation commands (keys, playback, constraints), registered with the other built-ins.

namespace host {

void registerAnimCommands();

} // namespace host
