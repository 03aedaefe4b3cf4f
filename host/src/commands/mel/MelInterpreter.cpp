#include "commands/mel/MelInterpreter.h"

#include "commands/Argument.h"
#include "commands/CommandExecution.h"
#include "commands/CommandRegistry.h"
#include "commands/MessageOutput.h"
#include "commands/mel/MelLexer.h"

#include <maya/MArgList.h>
#include <maya/MGlobal.h>

#include <cstring>
#include <map>
#include <string>

namespace host {

namespace {

struct Variable
{
    char type = 0;       // 's', 'i', 'f' when declared with a type
    bool array = false;
    MelValue value;
};

bool isKeywordConstant(const std::string& word, int64_t& value)
{
    if (word == "true" || word == "on" || word == "yes") {
        value = 1;
        return true;
    }
    if (word == "false" || word == "off" || word == "no") {
        value = 0;
        return true;
    }
    return false;
}

bool isTypeKeyword(const std::string& word)
{
    return word == "string" || word == "int" || word == "float";
}

bool isUnsupportedKeyword(const std::string& word)
{
    static const char* const kKeywords[] = {"if", "else", "for", "while", "do", "proc", "return",
                                            "switch", "case", "break", "continue", "vector", "matrix"};
    for (const char* keyword : kKeywords)
        if (word == keyword)
            return true;
    return false;
}

const char* tokenDescription(const MelToken& token)
{
    switch (token.kind) {
    case MelToken::kEnd: return "end of input";
    case MelToken::kSemicolon: return "';'";
    case MelToken::kLParen: return "'('";
    case MelToken::kRParen: return "')'";
    case MelToken::kLBrace: return "'{'";
    case MelToken::kRBrace: return "'}'";
    case MelToken::kComma: return "','";
    case MelToken::kAssign: return "'='";
    case MelToken::kPlus: return "'+'";
    default: return nullptr;
    }
}

MString describe(const MelToken& token)
{
    if (const char* text = tokenDescription(token))
        return text;
    return MString("'") + token.text.c_str() + "'";
}

// Converts a value to a declared variable type.
MelValue convertTo(const MelValue& value, char type, bool array)
{
    MelValue out;
    if (type == 0) {
        out = value;
    } else if (array) {
        if (type == 's')
            out.setStringArray(value.asStringArray());
        else if (type == 'i')
            out.setIntArray(value.asIntArray());
        else
            out.setDoubleArray(value.asDoubleArray());
    } else if (type == 's') {
        out.setString(value.asString());
    } else if (type == 'i') {
        out.setInt(value.asInt());
    } else {
        out.setDouble(value.asDouble());
    }
    return out;
}

void appendToArgs(const MelValue& value, MArgList& args)
{
    std::vector<Argument>& out = ArgListAccess::args(args);
    switch (value.type()) {
    case MelValue::kInt: out.push_back(Argument::fromInt(value.asInt())); break;
    case MelValue::kDouble: out.push_back(Argument::fromDouble(value.asDouble())); break;
    case MelValue::kString: out.push_back(Argument::fromString(value.asString())); break;
    case MelValue::kIntArray:
        for (unsigned int i = 0; i < value.intArray().length(); ++i)
            out.push_back(Argument::fromInt(value.intArray()[i]));
        break;
    case MelValue::kDoubleArray:
        for (unsigned int i = 0; i < value.doubleArray().length(); ++i)
            out.push_back(Argument::fromDouble(value.doubleArray()[i]));
        break;
    case MelValue::kStringArray:
        for (unsigned int i = 0; i < value.stringArray().length(); ++i)
            out.push_back(Argument::fromString(value.stringArray()[i]));
        break;
    default: break;
    }
}

// Reads and runs statements from one lexer. Backquoted commands are run by
// the same object on a lexer of their own, sharing the variables.
class ScriptRun
{
public:
    explicit ScriptRun(const MelInterpreter::Options& options) : fOptions(options) {}

    MStatus runAll(MelLexer& lexer, MelValue* lastResult);

private:
    MStatus statement(MelLexer& lexer, MelValue& value, bool& produced);
    MStatus declaration(MelLexer& lexer, const std::string& type, MelValue& value);
    MStatus assignment(MelLexer& lexer, const MelToken& target, char type, bool array, MelValue& value);
    MStatus command(MelLexer& lexer, const MelToken& name, MelValue& value, bool topLevel);
    MStatus commandArgs(MelLexer& lexer, MArgList& args);
    MStatus callArgs(MelLexer& lexer, MArgList& args);
    MStatus runCommand(const MelToken& name, const MArgList& args, MelValue& value);
    MStatus expression(MelLexer& lexer, MelValue& value);
    MStatus term(MelLexer& lexer, MelValue& value);
    MStatus arrayLiteral(MelLexer& lexer, int line, MelValue& value);
    MStatus backquote(const MelToken& token, MelValue& value);
    MStatus variableValue(const MelToken& token, MelValue& value);
    MStatus indexOf(const MelToken& token, int64_t& index);
    MStatus endOfStatement(MelLexer& lexer);

    MString where(int line) const;
    MStatus fail(int line, const MString& message, MStatus status = MS::kFailure);

    const MelInterpreter::Options& fOptions;
    std::map<std::string, Variable> fVariables;
    int fDepth = 0;    // open parentheses and braces, bounded so deep nesting cannot exhaust the stack
    int fNesting = 0;  // > 0 inside backquotes
};

MString ScriptRun::where(int line) const
{
    MString text = fOptions.sourceName.length() ? fOptions.sourceName + " line " : MString("Line ");
    text += line;
    return text;
}

MStatus ScriptRun::fail(int line, const MString& message, MStatus status)
{
    MGlobal::displayError(where(line) + ": " + message);
    return status;
}

MStatus ScriptRun::runAll(MelLexer& lexer, MelValue* lastResult)
{
    for (;;) {
        const MelToken& token = lexer.peek();
        if (token.kind == MelToken::kEnd)
            return MS::kSuccess;
        if (token.kind == MelToken::kSemicolon || token.kind == MelToken::kLBrace ||
            token.kind == MelToken::kRBrace) {
            // Blocks only group statements here.
            lexer.next();
            continue;
        }
        MelValue value;
        bool produced = false;
        MStatus status = statement(lexer, value, produced);
        if (!status)
            return status;
        if (produced && lastResult)
            *lastResult = std::move(value);
    }
}

MStatus ScriptRun::statement(MelLexer& lexer, MelValue& value, bool& produced)
{
    MelToken token = lexer.next();
    switch (token.kind) {
    case MelToken::kError:
        return fail(token.line, token.text.c_str());
    case MelToken::kVariable: {
        MStatus status = assignment(lexer, token, 0, false, value);
        produced = status == MS::kSuccess;
        return status;
    }
    case MelToken::kWord:
        if (token.text == "global") {
            token = lexer.next();
            if (token.kind != MelToken::kWord || !isTypeKeyword(token.text))
                return fail(token.line, "Expected a type after 'global'.");
        }
        if (isTypeKeyword(token.text)) {
            MStatus status = declaration(lexer, token.text, value);
            produced = status == MS::kSuccess && !value.isNone();
            return status;
        }
        if (isUnsupportedKeyword(token.text))
            return fail(token.line, MString("'") + token.text.c_str() + "' is not supported by this interpreter.");
        {
            MStatus status = command(lexer, token, value, fNesting == 0);
            produced = status == MS::kSuccess && !value.isNone();
            return status;
        }
    default:
        return fail(token.line, MString("Syntax error: unexpected ") + describe(token) + ".");
    }
}

MStatus ScriptRun::endOfStatement(MelLexer& lexer)
{
    const MelToken& token = lexer.peek();
    if (token.kind == MelToken::kSemicolon) {
        lexer.next();
        return MS::kSuccess;
    }
    if (token.kind == MelToken::kEnd || token.kind == MelToken::kRBrace)
        return MS::kSuccess;
    if (token.kind == MelToken::kError)
        return fail(token.line, token.text.c_str());
    return fail(token.line, MString("Syntax error: expected ';' before ") + describe(token) + ".");
}

MStatus ScriptRun::declaration(MelLexer& lexer, const std::string& type, MelValue& value)
{
    MelToken name = lexer.next();
    if (name.kind == MelToken::kError)
        return fail(name.line, name.text.c_str());
    if (name.kind != MelToken::kVariable)
        return fail(name.line, MString("Expected a variable name after '") + type.c_str() + "'.");
    const bool array = name.hasIndex;
    if (array && !name.index.empty())
        return fail(name.line, "Array declarations take no size here: use $name[].");
    const char typeCode = type[0];
    if (lexer.peek().kind == MelToken::kAssign) {
        name.hasIndex = false;  // "$a[] = ..." assigns the whole array
        return assignment(lexer, name, typeCode, array, value);
    }
    Variable& variable = fVariables[name.text];
    variable.type = typeCode;
    variable.array = array;
    variable.value = convertTo(MelValue(), typeCode, array);
    value.clear();
    return endOfStatement(lexer);
}

MStatus ScriptRun::assignment(MelLexer& lexer, const MelToken& target, char type, bool array, MelValue& value)
{
    MelToken op = lexer.next();
    if (op.kind != MelToken::kAssign)
        return fail(op.line, MString("Expected '=' after $") + target.text.c_str() + ".");
    MelValue assigned;
    MStatus status = expression(lexer, assigned);
    if (!status)
        return status;

    auto existing = fVariables.find(target.text);
    if (type == 0 && existing == fVariables.end() && target.hasIndex)
        return fail(target.line, MString("$") + target.text.c_str() + " is an undeclared variable.");
    Variable& variable = fVariables[target.text];
    if (type != 0) {
        variable.type = type;
        variable.array = array;
    }
    if (target.hasIndex) {
        int64_t index = 0;
        status = indexOf(target, index);
        if (!status)
            return status;
        if (!variable.value.isArray() && !variable.value.isNone())
            return fail(target.line, MString("$") + target.text.c_str() + " is not an array.");
        if (index < 0 || index > 10000000)
            return fail(target.line, MString("Array index out of range: ") + static_cast<int>(index));
        // Grow the array to the index, as MEL does.
        MStringArray strings = variable.value.asStringArray();
        MDoubleArray numbers = variable.value.asDoubleArray();
        MelValue::Type kind = variable.value.isNone()
                                  ? (assigned.type() == MelValue::kString ? MelValue::kStringArray
                                     : assigned.type() == MelValue::kDouble ? MelValue::kDoubleArray
                                                                            : MelValue::kIntArray)
                                  : variable.value.type();
        const unsigned int needed = static_cast<unsigned int>(index) + 1;
        if (kind == MelValue::kStringArray) {
            if (strings.length() < needed)
                strings.setLength(needed);
            strings[static_cast<unsigned int>(index)] = assigned.asString();
            variable.value.setStringArray(strings);
        } else if (kind == MelValue::kDoubleArray) {
            if (numbers.length() < needed)
                numbers.setLength(needed);
            numbers[static_cast<unsigned int>(index)] = assigned.asDouble();
            variable.value.setDoubleArray(numbers);
        } else {
            MIntArray ints = variable.value.asIntArray();
            if (ints.length() < needed)
                ints.setLength(needed);
            ints[static_cast<unsigned int>(index)] = static_cast<int>(assigned.asInt());
            variable.value.setIntArray(ints);
        }
    } else {
        variable.value = convertTo(assigned, variable.type, variable.array);
    }
    value = variable.value;
    return endOfStatement(lexer);
}

MStatus ScriptRun::command(MelLexer& lexer, const MelToken& name, MelValue& value, bool topLevel)
{
    MArgList args;
    MStatus status;
    const MelToken& next = lexer.peek();
    if (next.kind == MelToken::kLParen && !next.spaceBefore) {
        // Function style: name(arg, arg, ...)
        lexer.next();
        status = callArgs(lexer, args);
    } else {
        status = commandArgs(lexer, args);
    }
    if (!status)
        return status;
    status = endOfStatement(lexer);
    if (!status)
        return status;
    status = runCommand(name, args, value);
    if (!status)
        return status;
    if (topLevel && fOptions.onResult && !value.isNone())
        fOptions.onResult(value);
    return MS::kSuccess;
}

MStatus ScriptRun::commandArgs(MelLexer& lexer, MArgList& args)
{
    std::vector<Argument>& out = ArgListAccess::args(args);
    for (;;) {
        const MelToken& token = lexer.peek();
        switch (token.kind) {
        case MelToken::kEnd:
        case MelToken::kSemicolon:
        case MelToken::kRBrace:
            return MS::kSuccess;
        case MelToken::kInt:
            out.push_back(Argument::fromInt(token.intValue));
            lexer.next();
            break;
        case MelToken::kDouble:
            out.push_back(Argument::fromDouble(token.doubleValue));
            lexer.next();
            break;
        case MelToken::kString:
            out.push_back(Argument::fromString(MString(token.text.c_str(), static_cast<int>(token.text.size()))));
            lexer.next();
            break;
        case MelToken::kFlag:
            out.push_back(Argument::fromFlag(token.text.c_str()));
            lexer.next();
            break;
        case MelToken::kWord: {
            int64_t constant = 0;
            if (isKeywordConstant(token.text, constant))
                out.push_back(Argument::fromInt(constant));
            else
                out.push_back(Argument::fromString(token.text.c_str()));
            lexer.next();
            break;
        }
        case MelToken::kVariable:
        case MelToken::kBackquote:
        case MelToken::kLParen:
        case MelToken::kLBrace: {
            MelValue value;
            MStatus status = term(lexer, value);
            if (!status)
                return status;
            appendToArgs(value, args);
            break;
        }
        case MelToken::kError:
            return fail(token.line, token.text.c_str());
        default:
            return fail(token.line, MString("Syntax error: unexpected ") + describe(token) + ".");
        }
    }
}

MStatus ScriptRun::callArgs(MelLexer& lexer, MArgList& args)
{
    if (lexer.peek().kind == MelToken::kRParen) {
        lexer.next();
        return MS::kSuccess;
    }
    for (;;) {
        MelValue value;
        MStatus status = expression(lexer, value);
        if (!status)
            return status;
        appendToArgs(value, args);
        MelToken token = lexer.next();
        if (token.kind == MelToken::kRParen)
            return MS::kSuccess;
        if (token.kind != MelToken::kComma)
            return fail(token.line, MString("Syntax error: expected ',' or ')' before ") + describe(token) + ".");
    }
}

MStatus ScriptRun::runCommand(const MelToken& name, const MArgList& args, MelValue& value)
{
    const MString commandName(name.text.c_str());
    const CommandEntry* entry = findCommand(commandName);
    if (!entry)
        return fail(name.line, MString("Cannot find procedure \"") + commandName + "\".");
    const unsigned long long errorsBefore = errorCount();
    MStatus status = CommandExecution::run(*entry, args, value);
    if (!status) {
        // Say where the script stopped; and what failed, if the command did not.
        if (errorCount() == errorsBefore || fOptions.sourceName.length())
            fail(name.line, commandName + " failed.");
        return status;
    }
    return MS::kSuccess;
}

MStatus ScriptRun::expression(MelLexer& lexer, MelValue& value)
{
    MStatus status = term(lexer, value);
    while (status && lexer.peek().kind == MelToken::kPlus) {
        const int line = lexer.next().line;
        MelValue right;
        status = term(lexer, right);
        if (!status)
            return status;
        if (value.isArray() || right.isArray())
            return fail(line, "'+' cannot be applied to arrays.");
        if (value.type() == MelValue::kString || right.type() == MelValue::kString)
            value.setString(value.asString() + right.asString());
        else if (int64_t sum = 0; value.type() == MelValue::kInt && right.type() == MelValue::kInt &&
                                  !__builtin_add_overflow(value.asInt(), right.asInt(), &sum))
            value.setInt(sum);
        else
            value.setDouble(value.asDouble() + right.asDouble());
    }
    return status;
}

// Bounds the recursion of nested expressions.
class DepthGuard
{
public:
    explicit DepthGuard(int& depth) : fDepth(depth) { ++fDepth; }
    ~DepthGuard() { --fDepth; }

private:
    int& fDepth;
};

constexpr int kMaxNesting = 256;

MStatus ScriptRun::term(MelLexer& lexer, MelValue& value)
{
    MelToken token = lexer.next();
    DepthGuard guard(fDepth);
    if (fDepth > kMaxNesting)
        return fail(token.line, "Expression nested too deeply.");
    switch (token.kind) {
    case MelToken::kInt:
        value.setInt(token.intValue);
        return MS::kSuccess;
    case MelToken::kDouble:
        value.setDouble(token.doubleValue);
        return MS::kSuccess;
    case MelToken::kString:
        value.setString(MString(token.text.c_str(), static_cast<int>(token.text.size())));
        return MS::kSuccess;
    case MelToken::kVariable:
        return variableValue(token, value);
    case MelToken::kBackquote:
        return backquote(token, value);
    case MelToken::kLParen: {
        MStatus status = expression(lexer, value);
        if (!status)
            return status;
        MelToken close = lexer.next();
        if (close.kind != MelToken::kRParen)
            return fail(close.line, MString("Syntax error: expected ')' before ") + describe(close) + ".");
        return MS::kSuccess;
    }
    case MelToken::kLBrace:
        return arrayLiteral(lexer, token.line, value);
    case MelToken::kWord: {
        int64_t constant = 0;
        if (isKeywordConstant(token.text, constant)) {
            value.setInt(constant);
            return MS::kSuccess;
        }
        // name(args) calls a command inside an expression.
        if (lexer.peek().kind == MelToken::kLParen && !lexer.peek().spaceBefore) {
            lexer.next();
            MArgList args;
            MStatus status = callArgs(lexer, args);
            if (!status)
                return status;
            return runCommand(token, args, value);
        }
        return fail(token.line, MString("Syntax error: unexpected word '") + token.text.c_str() + "'.");
    }
    case MelToken::kError:
        return fail(token.line, token.text.c_str());
    default:
        return fail(token.line, MString("Syntax error: unexpected ") + describe(token) + ".");
    }
}

MStatus ScriptRun::arrayLiteral(MelLexer& lexer, int line, MelValue& value)
{
    value.clear();
    bool anyDouble = false, anyString = false;
    std::vector<MelValue> items;
    if (lexer.peek().kind == MelToken::kRBrace) {
        lexer.next();
    } else {
        for (;;) {
            MelValue item;
            MStatus status = expression(lexer, item);
            if (!status)
                return status;
            if (item.isArray())
                return fail(line, "Array literals cannot hold arrays.");
            anyDouble |= item.type() == MelValue::kDouble;
            anyString |= item.type() == MelValue::kString;
            items.push_back(std::move(item));
            MelToken token = lexer.next();
            if (token.kind == MelToken::kRBrace)
                break;
            if (token.kind != MelToken::kComma)
                return fail(token.line, MString("Syntax error: expected ',' or '}' before ") + describe(token) + ".");
        }
    }
    if (anyString) {
        value.setStringArray(MStringArray());
        for (const MelValue& item : items)
            value.appendString(item.asString());
    } else if (anyDouble) {
        value.setDoubleArray(MDoubleArray());
        for (const MelValue& item : items)
            value.appendDouble(item.asDouble());
    } else {
        value.setIntArray(MIntArray());
        for (const MelValue& item : items)
            value.appendInt(item.asInt());
    }
    return MS::kSuccess;
}

MStatus ScriptRun::backquote(const MelToken& token, MelValue& value)
{
    MelLexer inner(token.text.data(), token.text.size(), token.line);
    MelToken name = inner.next();
    if (name.kind == MelToken::kError)
        return fail(name.line, name.text.c_str());
    if (name.kind != MelToken::kWord)
        return fail(name.line, "Expected a command inside back quotes.");
    ++fNesting;
    MStatus status = command(inner, name, value, false);
    --fNesting;
    if (status && inner.peek().kind != MelToken::kEnd)
        return fail(inner.peek().line, "Only one command may appear inside back quotes.");
    return status;
}

MStatus ScriptRun::indexOf(const MelToken& token, int64_t& index)
{
    MelLexer lexer(token.index.data(), token.index.size(), token.line);
    MelValue value;
    MStatus status = expression(lexer, value);
    if (!status)
        return status;
    if (lexer.peek().kind != MelToken::kEnd || !value.isNumber())
        return fail(token.line, MString("Invalid array index: [") + token.index.c_str() + "]");
    index = value.asInt();
    return MS::kSuccess;
}

MStatus ScriptRun::variableValue(const MelToken& token, MelValue& value)
{
    auto it = fVariables.find(token.text);
    if (it == fVariables.end())
        return fail(token.line, MString("$") + token.text.c_str() + " is an undeclared variable.");
    const MelValue& stored = it->second.value;
    if (!token.hasIndex) {
        value = stored;
        return MS::kSuccess;
    }
    if (!stored.isArray())
        return fail(token.line, MString("$") + token.text.c_str() + " is not an array.");
    int64_t index = 0;
    MStatus status = indexOf(token, index);
    if (!status)
        return status;
    // Reading past the end gives the element type's empty value, as in MEL.
    const bool inRange = index >= 0 && static_cast<uint64_t>(index) < stored.length();
    const unsigned int i = static_cast<unsigned int>(index);
    switch (stored.type()) {
    case MelValue::kIntArray: value.setInt(inRange ? stored.intArray()[i] : 0); break;
    case MelValue::kDoubleArray: value.setDouble(inRange ? stored.doubleArray()[i] : 0.0); break;
    default: value.setString(inRange ? stored.stringArray()[i] : MString()); break;
    }
    return MS::kSuccess;
}

} // namespace

MStatus MelInterpreter::run(const MString& script, const Options& options, MelValue* lastResult)
{
    int length = 0;
    const char* text = script.asChar(length);
    MelLexer lexer(text, static_cast<size_t>(length));
    ScriptRun run(options);
    return run.runAll(lexer, lastResult);
}

MStatus MelInterpreter::run(const MString& script, MelValue* lastResult)
{
    return run(script, Options(), lastResult);
}

} // namespace host
