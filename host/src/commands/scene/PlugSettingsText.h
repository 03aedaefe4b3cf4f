#pragma once
// The lock, keyable and channel-box settings of a plug as setAttr flags
// (" -l on -k off"), for the settings that differ from the attribute's own,
// so that a rig's locked and hidden channels are saved with the scene.

#include <maya/MPlug.h>

#include <string>

namespace host {

class PlugSettingsText
{
public:
    // " -l on", " -k off", " -cb on" ... or empty when the plug has no settings of its own.
    static std::string flagsOf(const MPlug& plug);
    // "\tsetAttr -l on \".tx\";\n" when the plug has settings of its own.
    static void appendSettingsLine(const MPlug& plug, std::string& out);
    // The same for each child of a compound written as one value (".t" for ".tx", ".ty", ".tz").
    static void appendChildSettingsLines(const MPlug& compound, std::string& out);
};

} // namespace host
