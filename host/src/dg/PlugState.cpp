#include "dg/PlugState.h"

#include <unordered_map>

namespace host {

namespace {

struct Settings
{
    signed char keyable = -1;
    signed char channelBox = -1;
};

// Few plugs have their own settings: a side table keeps Slot small.
// Never destroyed, since slots may outlive static destruction.
std::unordered_map<const Slot*, Settings>& table()
{
    static auto* settings = new std::unordered_map<const Slot*, Settings>;
    return *settings;
}

int lookup(const Slot* slot, signed char Settings::*member)
{
    auto& settings = table();
    if (settings.empty())
        return -1;
    auto it = settings.find(slot);
    return it == settings.end() ? -1 : it->second.*member;
}

} // namespace

int PlugState::keyable(const Slot* slot)
{
    return lookup(slot, &Settings::keyable);
}

int PlugState::channelBox(const Slot* slot)
{
    return lookup(slot, &Settings::channelBox);
}

void PlugState::setKeyable(const Slot* slot, bool keyable)
{
    table()[slot].keyable = keyable ? 1 : 0;
}

void PlugState::setChannelBox(const Slot* slot, bool channelBox)
{
    table()[slot].channelBox = channelBox ? 1 : 0;
}

void PlugState::forget(const Slot* slot)
{
    auto& settings = table();
    if (!settings.empty())
        settings.erase(slot);
}

} // namespace host
