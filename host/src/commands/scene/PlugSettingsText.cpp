#include "commands/scene/PlugSettingsText.h"

#include "commands/builtins/SceneNames.h"
#include "commands/builtins/ValueText.h"
#include "dg/Node.h"

namespace host {

std::string PlugSettingsText::flagsOf(const MPlug& plug)
{
    const Attribute* attribute = PlugAccess::attribute(plug);
    if (!attribute)
        return std::string();
    std::string flags;
    if (plug.isLocked())
        flags += " -l on";
    const bool keyable = plug.isKeyable();
    if (keyable != attribute->is(kKeyable))
        flags += keyable ? " -k on" : " -k off";
    const bool channelBox = plug.isChannelBox();
    if (channelBox != attribute->is(kChannelBox))
        flags += channelBox ? " -cb on" : " -cb off";
    return flags;
}

void PlugSettingsText::appendSettingsLine(const MPlug& plug, std::string& out)
{
    const std::string flags = flagsOf(plug);
    if (flags.empty())
        return;
    out += "\tsetAttr";
    out += flags;
    out += ' ';
    out += ValueText::quote(SceneNames::attributePath(plug)).asChar();
    out += ";\n";
}

void PlugSettingsText::appendChildSettingsLines(const MPlug& compound, std::string& out)
{
    const unsigned n = compound.numChildren();
    for (unsigned i = 0; i < n; ++i)
        appendSettingsLine(compound.child(i), out);
}

} // namespace host
