#include "commands/builtins/CommandFlags.h"

#include "commands/Argument.h"
#include "commands/builtins/ValueText.h"

#include <maya/MGlobal.h>

#include "commands/mel/MelValue.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <utility>

namespace host {

namespace {

bool sameFlag(const CommandFlags::Definition& definition, const char* flag)
{
    return std::strcmp(definition.shortName, flag) == 0 || std::strcmp(definition.longName, flag) == 0;
}

// Argument::toString without a temporary MelValue: scene files pass long runs of numbers.
MString wordOf(const Argument& arg, std::string& scratch)
{
    if (arg.kind == Argument::kInt) {
        char buffer[24];
        const std::to_chars_result written = std::to_chars(buffer, buffer + sizeof(buffer), arg.intValue);
        return MString(buffer, static_cast<int>(written.ptr - buffer));
    }
    if (arg.kind == Argument::kDouble) {
        scratch.clear();
        appendDouble(scratch, arg.doubleValue);
        return MString(scratch.data(), static_cast<int>(scratch.size()));
    }
    return arg.text;
}

} // namespace

MStatus CommandFlags::parse(const char* command, const MArgList& args, const Definition* definitions, size_t count)
{
    mCommand = command;
    mDefinitions = definitions;
    mCount = count;
    mUses.clear();
    mObjects.clear();

    // Only bare words are flags: a quoted "-x" is a value.
    const std::vector<Argument>& raw = ArgListAccess::args(args);
    const unsigned n = static_cast<unsigned>(raw.size());
    mObjects.reserve(n);
    std::string scratch;
    bool query = false;
    for (const Argument& arg : raw)
        query = query || (arg.kind == Argument::kFlag && (arg.text == "-q" || arg.text == "-query"));
    for (unsigned i = 0; i < n; ++i) {
        if (raw[i].kind != Argument::kFlag) {
            mObjects.push_back(wordOf(raw[i], scratch));
            continue;
        }
        MString token = raw[i].text;
        const Definition* definition = nullptr;
        for (size_t s = 0; s < count && !definition; ++s)
            if (sameFlag(definitions[s], token.asChar()))
                definition = &definitions[s];
        // Numbers, unless the command has a flag of that name (skinCluster -inf).
        if (!definition && (token == "-inf" || token == "-nan")) {
            mObjects.push_back(std::move(token));
            continue;
        }
        if (!definition) {
            MGlobal::displayError(MString(command) + ": invalid flag " + token + ".");
            return MS::kInvalidParameter;
        }
        Use use{definition, MString(), false};
        if (definition->arity == kOneArg || (definition->arity == kArgUnlessQuery && !query)) {
            if (i + 1 >= n) {
                MGlobal::displayError(MString(command) + ": flag " + token + " needs an argument.");
                return MS::kInvalidParameter;
            }
            use.value = raw[++i].toString();
            use.hasValue = true;
        } else if (definition->arity == kOptionalBool && i + 1 < n) {
            MString next = raw[i + 1].toString();
            bool value = false;
            if (raw[i + 1].kind != Argument::kFlag && ValueText::parseBool(next, value)) {
                use.value = next;
                use.hasValue = true;
                ++i;
            }
        }
        mUses.push_back(use);
    }
    return MS::kSuccess;
}

const CommandFlags::Definition* CommandFlags::find(const char* flag) const
{
    for (size_t s = 0; s < mCount; ++s)
        if (sameFlag(mDefinitions[s], flag))
            return &mDefinitions[s];
    return nullptr;
}

unsigned CommandFlags::uses(const char* flag) const
{
    const Definition* definition = find(flag);
    unsigned count = 0;
    for (const Use& use : mUses)
        if (use.definition == definition)
            ++count;
    return count;
}

bool CommandFlags::isSet(const char* flag) const
{
    return uses(flag) > 0;
}

MString CommandFlags::arg(const char* flag, unsigned use) const
{
    const Definition* definition = find(flag);
    for (const Use& u : mUses)
        if (u.definition == definition && use-- == 0)
            return u.value;
    return MString();
}

bool CommandFlags::boolValue(const char* flag, bool absent) const
{
    const Definition* definition = find(flag);
    bool result = absent;
    for (const Use& u : mUses) {
        if (u.definition != definition)
            continue;
        result = true;
        if (u.hasValue)
            ValueText::parseBool(u.value, result);
    }
    return result;
}

MStatus CommandFlags::doubleValue(const char* flag, double& value, unsigned use) const
{
    MString text = arg(flag, use);
    if (!ValueText::parseDouble(text, value)) {
        MGlobal::displayError(MString(mCommand) + ": flag " + flag + " needs a number, not \"" + text + "\".");
        return MS::kInvalidParameter;
    }
    return MS::kSuccess;
}

MStatus CommandFlags::takeTriple(const char* command, const MArgList& args, const char* shortName,
                                 const char* longName, MArgList& rest, bool& given, double values[3])
{
    given = false;
    const std::vector<Argument>& words = ArgListAccess::args(args);
    for (size_t i = 0; i < words.size(); ++i) {
        const Argument& word = words[i];
        if (word.kind != Argument::kFlag || (word.text != shortName && word.text != longName)) {
            ArgListAccess::args(rest).push_back(word);
            continue;
        }
        for (size_t k = 0; k < 3; ++k)
            if (i + 1 + k >= words.size() || !ValueText::parseDouble(words[i + 1 + k].toString(), values[k]) ||
                !std::isfinite(values[k])) {
                MGlobal::displayError(MString(command) + ": " + longName + " takes three numbers.");
                return MS::kInvalidParameter;
            }
        i += 3;
        given = true;
    }
    return MS::kSuccess;
}

} // namespace host
