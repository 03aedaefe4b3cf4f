#include "commands/ParsedArgs.h"

#include <maya/MGlobal.h>

namespace host {

namespace {

const char* typeLabel(MSyntax::MArgType type)
{
    switch (type) {
    case MSyntax::kBoolean: return "a boolean";
    case MSyntax::kLong: return "an integer";
    case MSyntax::kUnsigned: return "a non-negative integer";
    case MSyntax::kDouble: return "a number";
    case MSyntax::kDistance: return "a distance";
    case MSyntax::kAngle: return "an angle";
    case MSyntax::kTime: return "a time";
    case MSyntax::kSelectionItem: return "an object name";
    default: return "a string";
    }
}

// Whether `arg` can be read as `type`.
bool fitsType(const Argument& arg, MSyntax::MArgType type)
{
    if (arg.kind == Argument::kFlag)
        return false;
    switch (type) {
    case MSyntax::kBoolean: {
        bool value;
        return arg.toBool(value);
    }
    case MSyntax::kLong: {
        int64_t value;
        return arg.toInt(value) && value >= INT32_MIN && value <= INT32_MAX;
    }
    case MSyntax::kUnsigned: {
        int64_t value;
        return arg.toInt(value) && value >= 0 && value <= UINT32_MAX;
    }
    case MSyntax::kDouble:
    case MSyntax::kDistance:
    case MSyntax::kAngle:
    case MSyntax::kTime: {
        double value;
        return arg.toDouble(value);
    }
    default:
        return true;
    }
}

MString quoted(const Argument& arg)
{
    return MString("\"") + arg.toString() + "\"";
}

} // namespace

MStatus ParsedArgs::parse(const SyntaxData& syntaxData, const std::vector<Argument>& args, MString& error)
{
    syntax = syntaxData;
    std::vector<const Argument*> positional;

    for (size_t i = 0; i < args.size(); ++i) {
        const Argument& arg = args[i];
        if (arg.kind != Argument::kFlag) {
            positional.push_back(&arg);
            continue;
        }
        if (arg.text == "-q" || arg.text == "-query") {
            if (!syntax.canQuery) {
                error = "Query mode is not supported.";
                return MS::kFailure;
            }
            query = true;
            continue;
        }
        if (arg.text == "-e" || arg.text == "-edit") {
            if (!syntax.canEdit) {
                error = "Edit mode is not supported.";
                return MS::kFailure;
            }
            edit = true;
            continue;
        }
        int index = syntax.findFlag(arg.text.asChar());
        if (index < 0) {
            error = MString("Invalid flag: ") + arg.text;
            return MS::kFailure;
        }
        const FlagSpec& flagDef = syntax.flags[index];
        if (!flagDef.multiUse)
            for (const FlagUse& use : uses)
                if (use.flag == index) {
                    error = MString("Flag ") + flagDef.longName + " can be used only once.";
                    return MS::kFailure;
                }

        FlagUse use;
        use.flag = index;
        use.position = static_cast<unsigned int>(i);
        // In query mode a flag names what to query and takes no arguments.
        const bool takesArgs = !query || flagDef.queryWithFullArgs;
        for (size_t t = 0; takesArgs && t < flagDef.argTypes.size(); ++t) {
            const MSyntax::MArgType type = flagDef.argTypes[t];
            if (i + 1 >= args.size() || args[i + 1].kind == Argument::kFlag) {
                error = MString("Flag ") + flagDef.longName + " requires " + typeLabel(type) + " argument.";
                return MS::kFailure;
            }
            const Argument& value = args[i + 1];
            if (!fitsType(value, type)) {
                error = MString("Flag ") + flagDef.longName + " expects " + typeLabel(type) + " argument, not " +
                        quoted(value) + ".";
                return MS::kInvalidParameter;
            }
            use.args.push_back(value);
            ++i;
        }
        uses.push_back(std::move(use));
    }

    if (query && edit) {
        error = "Query and edit mode cannot be used together.";
        return MS::kFailure;
    }

    size_t next = 0;
    for (MSyntax::MArgType type : syntax.commandArgs) {
        if (next >= positional.size()) {
            error = MString("Missing ") + typeLabel(type) + " argument.";
            return MS::kFailure;
        }
        if (!fitsType(*positional[next], type)) {
            error = MString("Expected ") + typeLabel(type) + " argument, not " + quoted(*positional[next]) + ".";
            return MS::kInvalidParameter;
        }
        commandArgs.push_back(*positional[next++]);
    }

    if (syntax.objectFormat == MSyntax::kNone || syntax.objectFormat == MSyntax::kInvalidObjectFormat) {
        if (next < positional.size()) {
            error = MString("Unexpected argument: ") + positional[next]->toString();
            return MS::kFailure;
        }
        return MS::kSuccess;
    }

    for (; next < positional.size(); ++next) {
        MString name = positional[next]->toString();
        if (syntax.objectFormat == MSyntax::kSelectionList && selection.add(name) != MS::kSuccess) {
            error = MString("No object matches name: ") + name;
            return MS::kInvalidParameter;
        }
        objects.append(name);
    }
    if (objects.length() == 0 && syntax.useSelectionAsDefault &&
        syntax.objectFormat == MSyntax::kSelectionList) {
        MStatus status = MGlobal::getActiveSelectionList(selection);
        if (!status) {
            error = "The active selection could not be read.";
            return status;
        }
        selection.getSelectionStrings(objects);
    }

    const unsigned int count = objects.length();
    if (count < syntax.minObjects) {
        error = MString("Expected at least ") + static_cast<int>(syntax.minObjects) + " object" +
                (syntax.minObjects == 1 ? "" : "s") + ", got " + static_cast<int>(count) + ".";
        return MS::kFailure;
    }
    if (count > syntax.maxObjects) {
        error = MString("Expected at most ") + static_cast<int>(syntax.maxObjects) + " object" +
                (syntax.maxObjects == 1 ? "" : "s") + ", got " + static_cast<int>(count) + ".";
        return MS::kFailure;
    }
    return MS::kSuccess;
}

const Argument* ParsedArgs::flagArgument(const char* flag, unsigned int index) const
{
    int flagIndex = syntax.findFlag(flag);
    if (flagIndex < 0)
        return nullptr;
    for (const FlagUse& use : uses)
        if (use.flag == flagIndex)
            return index < use.args.size() ? &use.args[index] : nullptr;
    return nullptr;
}

const Argument* ParsedArgs::commandArgument(unsigned int index) const
{
    return index < commandArgs.size() ? &commandArgs[index] : nullptr;
}

} // namespace host
