#pragma once
// Per-plug keyable and channel-box settings ("setAttr -k off .tx" on one node),
// which override the attribute's own flags for that plug only, as in Maya.

namespace host {

struct Slot;

struct PlugState
{
    // -1: the attribute's flag applies; 0 or 1: this plug's own setting.
    static int keyable(const Slot* slot);
    static int channelBox(const Slot* slot);
    static void setKeyable(const Slot* slot, bool keyable);
    static void setChannelBox(const Slot* slot, bool channelBox);
    // The slot is going away.
    static void forget(const Slot* slot);
};

} // namespace host
