#include "ui/EditorTemplateCommand.h"

#include "commands/CommandRegistry.h"
#include "commands/builtins/CommandFlags.h"
#include "ui/AEBaseTemplates.h"
#include "ui/EditorTemplateRecord.h"

#include <maya/MArgList.h>
#include <maya/MGlobal.h>
#include <maya/MStringArray.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace host {

namespace {

const char* const kCommand = "editorTemplate";
const char* const kRecordCommand = "hostEditorTemplateRecord";

struct FlagDefinition
{
    const char* shortName;  // null where the long name is the only one
    const char* longName;
    int minArgs;
    int maxArgs;  // -1: any number
    bool action;  // one action per call; the others qualify it
};

const FlagDefinition kFlags[] = {
    {nullptr, "-beginScrollLayout", 0, 0, true},
    {nullptr, "-endScrollLayout", 0, 0, true},
    {nullptr, "-beginLayout", 1, 1, true},
    {nullptr, "-endLayout", 0, 0, true},
    {"-ac", "-addControl", 1, 2, true},
    {"-adc", "-addDynamicControl", 1, 2, true},
    {"-s", "-suppress", 1, 1, true},
    {"-aec", "-addExtraControls", 0, 0, true},
    {"-ccu", "-callCustom", 2, -1, true},
    {"-dc", "-dimControl", 3, 3, true},
    {"-as", "-addSeparator", 0, 0, true},
    {nullptr, "-beginNoOptimize", 0, 0, true},
    {nullptr, "-endNoOptimize", 0, 0, true},
    {nullptr, "-interruptOptimize", 0, 0, true},
    {"-l", "-label", 1, 1, false},
    {"-ann", "-annotation", 1, 1, false},
    {"-afo", "-annotateFieldOnly", 0, 0, false},
    {"-cl", "-collapse", 1, 1, false},
    {nullptr, "-extraControlsLabel", 1, 1, false},
};

struct FlagUse
{
    const FlagDefinition* definition;
    std::vector<std::string> words;
};

const FlagDefinition* findFlag(const std::string& word)
{
    for (const FlagDefinition& definition : kFlags)
        if (word == definition.longName || (definition.shortName && word == definition.shortName))
            return &definition;
    return nullptr;
}

bool isNumber(const std::string& word)
{
    char* end = nullptr;
    std::strtod(word.c_str(), &end);
    return !word.empty() && end && *end == '\0';
}

bool parseBool(const std::string& word, bool& value)
{
    if (word == "1" || word == "true" || word == "on" || word == "yes") {
        value = true;
        return true;
    }
    if (word == "0" || word == "false" || word == "off" || word == "no") {
        value = false;
        return true;
    }
    return false;
}

MStatus fail(const char* command, const std::string& message)
{
    MGlobal::displayError(MString(command) + ": " + message.c_str());
    return MS::kInvalidParameter;
}

// The flags in order with their words. A word starting with a dash is a flag unless the flag
// before it still needs an argument, or it is a number that flag has room for.
MStatus parseUses(const MArgList& args, std::vector<FlagUse>& uses)
{
    const unsigned count = args.length();
    for (unsigned i = 0; i < count; ++i) {
        const std::string word = args.asString(i).asChar();
        const bool roomForWord = !uses.empty() && (uses.back().definition->maxArgs < 0 ||
                                                   int(uses.back().words.size()) < uses.back().definition->maxArgs);
        // A flag still short of its arguments takes the word whatever it looks like.
        const bool wordNeeded = !uses.empty() && int(uses.back().words.size()) < uses.back().definition->minArgs;
        if (!word.empty() && word[0] == '-' && !wordNeeded && !(roomForWord && isNumber(word))) {
            const FlagDefinition* definition = findFlag(word);
            if (!definition)
                return fail(kCommand, "invalid flag " + word + ".");
            uses.push_back(FlagUse{definition, {}});
            continue;
        }
        if (uses.empty() || !roomForWord)
            return fail(kCommand, "unexpected argument \"" + word + "\".");
        uses.back().words.push_back(word);
    }
    for (const FlagUse& use : uses)
        if (int(use.words.size()) < use.definition->minArgs)
            return fail(kCommand, std::string("flag ") + use.definition->longName + " needs " +
                                      std::to_string(use.definition->minArgs) +
                                      (use.definition->minArgs == 1 ? " argument." : " arguments."));
    return MS::kSuccess;
}

const FlagUse* findUse(const std::vector<FlagUse>& uses, const char* longName, size_t* position = nullptr)
{
    for (size_t k = 0; k < uses.size(); ++k)
        if (std::string(uses[k].definition->longName) == longName) {
            if (position)
                *position = k;
            return &uses[k];
        }
    return nullptr;
}

std::string firstWord(const FlagUse* use)
{
    return use && !use->words.empty() ? use->words[0] : std::string();
}

MStatus recorded(const std::string& refusal)
{
    return refusal.empty() ? MStatus(MS::kSuccess) : fail(kCommand, refusal);
}

} // namespace

MStatus EditorTemplateCommand::doIt(const MArgList& args)
{
    std::vector<FlagUse> uses;
    MStatus status = parseUses(args, uses);
    if (!status)
        return status;

    const FlagUse* action = nullptr;
    size_t actionPosition = 0;
    for (size_t k = 0; k < uses.size(); ++k) {
        if (!uses[k].definition->action)
            continue;
        if (action)
            return fail(kCommand, std::string(action->definition->longName) + " and " + uses[k].definition->longName +
                                      " cannot be used together.");
        action = &uses[k];
        actionPosition = k;
    }
    if (!action)
        return fail(kCommand, "no action flag given (-addControl, -beginLayout, -suppress, ...).");
    const std::string name = action->definition->longName;
    const bool control = name == "-addControl" || name == "-addDynamicControl";

    size_t labelPosition = 0;
    const FlagUse* label = findUse(uses, "-label", &labelPosition);
    if (label && !control)
        return fail(kCommand, "-label goes with -addControl or -addDynamicControl.");
    if (label && labelPosition > actionPosition)
        return fail(kCommand, "-label must come before " + name + ".");
    if ((findUse(uses, "-annotation") || findUse(uses, "-annotateFieldOnly")) && !control)
        return fail(kCommand, "-annotation goes with -addControl or -addDynamicControl.");
    const FlagUse* collapse = findUse(uses, "-collapse");
    if (collapse && name != "-beginLayout")
        return fail(kCommand, "-collapse goes with -beginLayout.");
    const FlagUse* extraLabel = findUse(uses, "-extraControlsLabel");
    if (extraLabel && name != "-addExtraControls")
        return fail(kCommand, "-extraControlsLabel goes with -addExtraControls.");

    EditorTemplateRecord& record = EditorTemplateRecord::instance();
    const std::vector<std::string>& words = action->words;
    if (name == "-beginScrollLayout")
        return recorded(record.beginScrollLayout());
    if (name == "-endScrollLayout")
        return recorded(record.endScrollLayout());
    if (name == "-beginLayout") {
        // Maya opens sections collapsed unless told otherwise.
        bool collapsed = true;
        if (collapse && !parseBool(collapse->words[0], collapsed))
            return fail(kCommand, "-collapse takes true or false, not \"" + collapse->words[0] + "\".");
        return recorded(record.beginLayout(words[0], collapsed));
    }
    if (name == "-endLayout")
        return recorded(record.endLayout());
    if (name == "-beginNoOptimize")
        return recorded(record.beginNoOptimize());
    if (name == "-endNoOptimize")
        return recorded(record.endNoOptimize());
    if (name == "-dimControl") {
        bool dim = false;
        if (!parseBool(words[2], dim))
            return fail(kCommand, "-dimControl takes true or false, not \"" + words[2] + "\".");
        record.add("dimControl", {words[0], words[1], dim ? "1" : "0"});
        return MS::kSuccess;
    }
    if (control) {
        if (words[0].empty())
            return fail(kCommand, name + " needs an attribute name.");
        record.add(name.substr(1), {words[0], firstWord(label), words.size() > 1 ? words[1] : std::string()});
        return MS::kSuccess;
    }
    if (name == "-suppress") {
        if (words[0].empty())
            return fail(kCommand, "-suppress needs an attribute name.");
        record.add("suppress", {words[0]});
        return MS::kSuccess;
    }
    if (name == "-addExtraControls") {
        record.add("addExtraControls", {firstWord(extraLabel)});
        return MS::kSuccess;
    }
    // -callCustom, -addSeparator, -interruptOptimize: recorded with their words.
    record.add(name.substr(1), words);
    return MS::kSuccess;
}

MStatus HostEditorTemplateRecordCommand::doIt(const MArgList& args)
{
    static const CommandFlags::Definition kRecordFlags[] = {
        {"-q", "-query", CommandFlags::kNoArg},
        {"-cl", "-clear", CommandFlags::kNoArg},
    };
    CommandFlags flags;
    MStatus status = flags.parse(kRecordCommand, args, kRecordFlags);
    if (!status)
        return status;
    if (!flags.objects().empty())
        return fail(kRecordCommand, "takes no object.");
    if (flags.isSet("-q") == flags.isSet("-cl"))
        return fail(kRecordCommand, "give -clear or -q.");
    EditorTemplateRecord& record = EditorTemplateRecord::instance();
    if (flags.isSet("-cl")) {
        record.clear();
        return MS::kSuccess;
    }
    MStringArray lines;
    for (const std::string& line : record.lines())
        lines.append(line.c_str());
    setResult(lines);
    return MS::kSuccess;
}

void registerEditorTemplateCommands()
{
    MStatus status = registerBuiltinCommand(kCommand, EditorTemplateCommand::creator, nullptr);
    CHECK_MSTATUS(status);
    status = registerBuiltinCommand(kRecordCommand, HostEditorTemplateRecordCommand::creator, nullptr);
    CHECK_MSTATUS(status);
    registerBaseTemplateProcedures();
}

} // namespace host
