#include "views/ColorIndexCommand.h"

#include "commands/builtins/CommandFlags.h"

#include <maya/MDoubleArray.h>
#include <maya/MGlobal.h>

#include <array>

namespace host {

namespace {

constexpr int kEntries = 32;
using Palette = std::array<std::array<double, 3>, kEntries>;

// Maya's factory index colours (entry 0 stands for "none" and is never answered).
const Palette kFactory = {{{0.0, 0.0, 0.0},       {0.0, 0.0, 0.0},       {0.251, 0.251, 0.251},
                           {0.6, 0.6, 0.6},       {0.608, 0.0, 0.157},   {0.0, 0.016, 0.376},
                           {0.0, 0.0, 1.0},       {0.0, 0.275, 0.098},   {0.149, 0.0, 0.263},
                           {0.784, 0.0, 0.784},   {0.541, 0.282, 0.2},   {0.247, 0.137, 0.122},
                           {0.6, 0.149, 0.0},     {1.0, 0.0, 0.0},       {0.0, 1.0, 0.0},
                           {0.0, 0.255, 0.6},     {1.0, 1.0, 1.0},       {1.0, 1.0, 0.0},
                           {0.392, 0.863, 1.0},   {0.263, 1.0, 0.639},   {1.0, 0.69, 0.69},
                           {0.894, 0.675, 0.475}, {1.0, 1.0, 0.388},     {0.0, 0.6, 0.329},
                           {0.631, 0.416, 0.188}, {0.624, 0.631, 0.188}, {0.408, 0.631, 0.188},
                           {0.188, 0.631, 0.365}, {0.188, 0.631, 0.631}, {0.188, 0.404, 0.631},
                           {0.435, 0.188, 0.631}, {0.631, 0.188, 0.416}}};

Palette& palette()
{
    static Palette current = kFactory;
    return current;
}

const CommandFlags::Definition kFlags[] = {
    {"-q", "-query", CommandFlags::kNoArg},
    {"-rf", "-resetToFactory", CommandFlags::kNoArg},
};

MStatus fail(const MString& message)
{
    MGlobal::displayError("colorIndex: " + message);
    return MS::kInvalidParameter;
}

} // namespace

MStatus ColorIndexCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("colorIndex", args, kFlags);
    if (!status) return status;
    if (flags.isSet("-rf")) {
        palette() = kFactory;
        return MS::kSuccess;
    }
    const std::vector<MString>& words = flags.objects();
    const std::size_t wanted = flags.isQuery() ? 1 : 4;
    if (words.size() != wanted) {
        return fail(flags.isQuery() ? "give the index to query." : "give an index and three colour values.");
    }
    const int index = words[0].isInt() ? words[0].asInt() : -1;
    if (index < 1 || index >= kEntries) {
        return fail("index " + words[0] + " is outside the palette (1 to 31).");
    }
    std::array<double, 3>& entry = palette()[index];
    if (flags.isQuery()) {
        MDoubleArray rgb;
        for (double channel : entry) rgb.append(channel);
        setResult(rgb);
        return MS::kSuccess;
    }
    for (int c = 0; c < 3; ++c) {
        if (!words[c + 1].isDouble()) return fail("colour values are numbers from 0 to 1.");
        entry[c] = words[c + 1].asDouble();
    }
    return MS::kSuccess;
}

} // namespace host
