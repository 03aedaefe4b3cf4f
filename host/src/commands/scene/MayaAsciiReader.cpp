#include "commands/scene/MayaAsciiReader.h"

#include "commands/Argument.h"
#include "commands/CommandExecution.h"
#include "commands/CommandRegistry.h"
#include "commands/MessageOutput.h"
#include "commands/scene/MayaAsciiWriter.h"
#include "dg/Node.h"
#include "dg/Scene.h"

#include <maya/MAngle.h>
#include <maya/MArgList.h>
#include <maya/MDistance.h>
#include <maya/MGlobal.h>
#include <maya/MTime.h>

#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace host {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// Characters that end a bare word or a number, as a table: words are most of a scene file.
struct WordEnds
{
    bool table[256] = {};
    WordEnds()
    {
        for (unsigned char c : {' ', '\t', '\n', '\r', '\f', '\v', ';', '"', '(', ')'})
            table[c] = true;
    }
};
const WordEnds kWordEnds;

bool endsWord(char c)
{
    return kWordEnds.table[static_cast<unsigned char>(c)];
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Statement by statement over the whole file text.
class StatementReader
{
public:
    StatementReader(const char* text, size_t length, const MString& sourceName, const std::string& nameSpace)
        : fPos(text), fEnd(text + length), fSource(sourceName), fNamespace(nameSpace)
    {
    }

    unsigned run()
    {
        const unsigned long long errorsBefore = errorCount();
        {
            // Messages of the statements name the file and the line, as Maya's do.
            PrefixedMessages prefix(*this);
            for (;;) {
                skipSpaceAndComments();
                if (fPos >= fEnd)
                    break;
                statement();
            }
        }
        return static_cast<unsigned>(errorCount() - errorsBefore);
    }

private:
    class PrefixedMessages
    {
    public:
        explicit PrefixedMessages(StatementReader& reader)
        {
            fPrevious = setMessageSink([this, &reader](MessageKind kind, const MString& text) {
                if (kind == MessageKind::kError || kind == MessageKind::kWarning)
                    pass(kind, reader.where() + ": " + text);
                else
                    pass(kind, text);
            });
        }
        ~PrefixedMessages() { setMessageSink(std::move(fPrevious)); }
        PrefixedMessages(const PrefixedMessages&) = delete;
        PrefixedMessages& operator=(const PrefixedMessages&) = delete;

    private:
        void pass(MessageKind kind, const MString& text)
        {
            if (fPrevious) {
                fPrevious(kind, text);
                return;
            }
            if (kind == MessageKind::kInfo || kind == MessageKind::kPrint) {
                std::fputs(text.asChar(), stdout);
                if (kind == MessageKind::kInfo)
                    std::fputc('\n', stdout);
                return;
            }
            std::fflush(stdout);
            std::fputs(kind == MessageKind::kWarning ? "Warning: " : "Error: ", stderr);
            std::fputs(text.asChar(), stderr);
            std::fputc('\n', stderr);
            std::fflush(stderr);
        }

        MessageSink fPrevious;
    };

    MString where() const
    {
        MString text = fSource;
        text += " line ";
        text += fStatementLine;
        return text;
    }

    void error(const MString& message) { MGlobal::displayError(message); }

    void skipSpaceAndComments()
    {
        while (fPos < fEnd) {
            const char c = *fPos;
            if (c == '\n') {
                ++fLine;
                ++fPos;
            } else if (isSpace(c)) {
                ++fPos;
            } else if (c == '/' && fPos + 1 < fEnd && fPos[1] == '/') {
                while (fPos < fEnd && *fPos != '\n')
                    ++fPos;
            } else if (c == '/' && fPos + 1 < fEnd && fPos[1] == '*') {
                fPos += 2;
                while (fPos < fEnd && !(*fPos == '*' && fPos + 1 < fEnd && fPos[1] == '/')) {
                    fLine += *fPos == '\n';
                    ++fPos;
                }
                fPos = fPos < fEnd ? fPos + 2 : fEnd;
            } else {
                return;
            }
        }
    }

    // After a bad statement: on to the ';' that ends it, strings respected.
    void skipToStatementEnd()
    {
        while (fPos < fEnd) {
            const char c = *fPos++;
            if (c == ';')
                return;
            if (c == '\n') {
                ++fLine;
            } else if (c == '"') {
                while (fPos < fEnd && *fPos != '"') {
                    if (*fPos == '\\' && fPos + 1 < fEnd)
                        ++fPos;
                    fLine += *fPos == '\n';
                    ++fPos;
                }
                if (fPos < fEnd)
                    ++fPos;
            }
        }
    }

    void statement()
    {
        fStatementLine = fLine;
        const char* start = fPos;
        while (fPos < fEnd && !endsWord(*fPos))
            ++fPos;
        if (fPos == start) {
            if (*fPos == ';') {
                ++fPos;  // an empty statement
                return;
            }
            error(MString("Syntax error: unexpected '") + MString(start, 1) + "'.");
            if (*fPos != '"')
                ++fPos;
            skipToStatementEnd();
            return;
        }
        const std::string_view name(start, static_cast<size_t>(fPos - start));
        std::vector<Argument>& args = ArgListAccess::args(fArgs);
        fCount = 0;
        const bool read = arguments(args);
        args.resize(fCount);
        if (!read) {
            skipToStatementEnd();
            clearSelectionAfterFailure(name);
            return;
        }
        if (!fNamespace.empty() && !intoNamespace(name, args))
            return;
        const CommandEntry* entry = command(name);
        if (!entry) {
            error(MString("Cannot find procedure \"") + MString(name.data(), static_cast<int>(name.size())) + "\".");
            return;
        }
        const unsigned long long errorsBefore = errorCount();
        MelValue result;
        if (!CommandExecution::run(*entry, fArgs, result)) {
            if (errorCount() == errorsBefore)
                error(entry->name + " failed.");
            clearSelectionAfterFailure(name);
        }
    }

    // A referenced scene's statement, its names moved into the namespace.
    // False for statements the main scene keeps to itself: those about the
    // whole file, and shared nodes (createNode -s) with what follows them.
    bool intoNamespace(std::string_view name, std::vector<Argument>& args)
    {
        const bool startsNode = name == "createNode" || name == "select";
        if (startsNode)
            fSkippingSharedNode = false;
        if (fSkippingSharedNode)
            return false;
        if (name == "fileInfo" || name == "relationship" || name == "dataStructure" || name == "file")
            return false;
        if (name == "createNode") {
            for (size_t i = 0; i < args.size(); ++i) {
                const Argument& arg = args[i];
                if (arg.kind == Argument::kFlag && (arg.text == "-s" || arg.text == "-shared")) {
                    fSkippingSharedNode = true;
                    return false;
                }
            }
            for (size_t i = 0; i + 1 < args.size(); ++i) {
                const MString& flag = args[i].text;
                if (args[i].kind == Argument::kFlag &&
                    (flag == "-n" || flag == "-name" || flag == "-p" || flag == "-parent"))
                    prefix(args[i + 1]);
            }
            return true;
        }
        const bool namesEverything = name == "connectAttr" || name == "disconnectAttr" || name == "parent" ||
                                     name == "select" || name == "lockNode";
        const bool namesFirst = name == "setAttr" || name == "getAttr";
        if (!namesEverything && !namesFirst)
            return true;
        bool first = true;
        for (size_t i = 0; i < args.size(); ++i) {
            Argument& arg = args[i];
            if (arg.kind == Argument::kFlag && (arg.text == "-type" || arg.text == "-typ")) {
                ++i;  // a value type, not a name
                continue;
            }
            if (arg.kind != Argument::kString)
                continue;
            // setAttr and the like name at most their first word, usually relative (".tx").
            if (namesEverything || first)
                prefix(arg);
            first = false;
        }
        return true;
    }

    // "node.attr", "|a|b" and "a" into the namespace; root names (":time1") and relative ones (".tx") stay.
    void prefix(Argument& arg) const
    {
        if (arg.kind != Argument::kString || arg.text.length() == 0)
            return;
        const std::string text(arg.text.asChar(), arg.text.length());
        const size_t dot = text.find('.');
        const std::string node = text.substr(0, dot);
        if (node.empty())
            return;
        std::string out;
        size_t start = 0;
        for (;;) {
            const size_t bar = node.find('|', start);
            const std::string part = node.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
            if (!part.empty() && part[0] != ':')
                out += fNamespace + ":";
            out += part;
            if (bar == std::string::npos)
                break;
            out += '|';
            start = bar + 1;
        }
        if (dot != std::string::npos)
            out += text.substr(dot);
        arg.text = MString(out.c_str(), static_cast<int>(out.size()));
    }

    // The statements after a createNode or select set the attributes of the
    // selected node: when either fails they must not land on the one before.
    static void clearSelectionAfterFailure(std::string_view name)
    {
        if (name == "createNode" || name == "select")
            CHECK_MSTATUS(MGlobal::clearSelectionList());
    }

    const CommandEntry* command(std::string_view name)
    {
        auto it = fCommands.find(name);
        if (it != fCommands.end())
            return it->second;
        const CommandEntry* entry = findCommand(MString(name.data(), static_cast<int>(name.size())));
        // Only found commands are kept: a statement may load the plug-in of a later one.
        if (entry)
            fCommands.emplace(name, entry);
        return entry;
    }

    // The words up to the ';'. False (after reporting) on a syntax error.
    bool arguments(std::vector<Argument>& args)
    {
        for (;;) {
            skipSpaceAndComments();
            if (fPos >= fEnd)
                return true;  // the last statement may lack its ';'
            const char c = *fPos;
            if (c == ';') {
                ++fPos;
                return true;
            }
            if (c == '"') {
                std::string text;
                if (!quoted(text))
                    return false;
                addText(args, Argument::kString, text.data(), text.size());
            } else if (c == '(') {
                if (!concatenation(args))
                    return false;
            } else if (c == ')') {
                error("Syntax error: unexpected ')'.");
                return false;
            } else {
                word(args);
            }
        }
    }

    // A quoted string with MEL's escapes.
    bool quoted(std::string& text)
    {
        const int startLine = fLine;
        ++fPos;
        const char* run = fPos;
        for (;;) {
            if (fPos >= fEnd) {
                fStatementLine = startLine;
                error("Unterminated string.");
                return false;
            }
            const char c = *fPos;
            if (c == '"') {
                text.append(run, static_cast<size_t>(fPos - run));
                ++fPos;
                return true;
            }
            if (c == '\n')
                ++fLine;
            if (c != '\\') {
                ++fPos;
                continue;
            }
            text.append(run, static_cast<size_t>(fPos - run));
            if (fPos + 1 >= fEnd) {
                fPos = fEnd;
                continue;
            }
            const char escaped = fPos[1];
            switch (escaped) {
            case 'n': text += '\n'; break;
            case 't': text += '\t'; break;
            case 'r': text += '\r'; break;
            case '\n': ++fLine; text += '\n'; break;
            default: text += escaped; break;
            }
            fPos += 2;
            run = fPos;
        }
    }

    // ("text" + "more" + ...): how long strings are written.
    bool concatenation(std::vector<Argument>& args)
    {
        ++fPos;
        std::string text;
        for (;;) {
            skipSpaceAndComments();
            if (fPos >= fEnd || *fPos != '"') {
                error("Syntax error: expected a string inside '(...)'.");
                return false;
            }
            if (!quoted(text))
                return false;
            skipSpaceAndComments();
            if (fPos < fEnd && *fPos == '+') {
                ++fPos;
                continue;
            }
            if (fPos < fEnd && *fPos == ')') {
                ++fPos;
                addText(args, Argument::kString, text.data(), text.size());
                return true;
            }
            error("Syntax error: expected '+' or ')' after a string.");
            return false;
        }
    }

    // Arguments are filled in place, reusing those of earlier statements:
    // scene files are mostly long runs of numbers.
    Argument& nextArgument(std::vector<Argument>& args)
    {
        if (fCount == args.size())
            args.emplace_back();
        return args[fCount++];
    }
    void addInt(std::vector<Argument>& args, int64_t value)
    {
        Argument& arg = nextArgument(args);
        arg.kind = Argument::kInt;
        arg.intValue = value;
        arg.doubleValue = 0.0;
        if (arg.text.length() > 0)
            arg.text = MString();
    }
    void addDouble(std::vector<Argument>& args, double value)
    {
        Argument& arg = nextArgument(args);
        arg.kind = Argument::kDouble;
        arg.doubleValue = value;
        arg.intValue = 0;
        if (arg.text.length() > 0)
            arg.text = MString();
    }
    void addText(std::vector<Argument>& args, Argument::Kind kind, const char* text, size_t length)
    {
        Argument& arg = nextArgument(args);
        arg.kind = kind;
        arg.intValue = 0;
        arg.doubleValue = 0.0;
        arg.text = MString(text, static_cast<int>(length));
    }

    // A bare word: a number, a flag, a boolean constant or a name.
    void word(std::vector<Argument>& args)
    {
        const char* start = fPos;
        while (fPos < fEnd && !endsWord(*fPos))
            ++fPos;
        const char* end = fPos;
        if (number(start, end, args))
            return;
        const std::string_view text(start, static_cast<size_t>(end - start));
        if (text.size() > 1 && text[0] == '-' && std::isalpha(static_cast<unsigned char>(text[1]))) {
            addText(args, Argument::kFlag, start, text.size());
            return;
        }
        if (text == "yes" || text == "on" || text == "true") {
            addInt(args, 1);
            return;
        }
        if (text == "no" || text == "off" || text == "false") {
            addInt(args, 0);
            return;
        }
        addText(args, Argument::kString, start, text.size());
    }

    bool number(const char* start, const char* end, std::vector<Argument>& args)
    {
        const char* p = start;
        if (p < end && (*p == '-' || *p == '+'))
            ++p;
        if (p == end || !(isDigit(*p) || (*p == '.' && p + 1 < end && isDigit(p[1]))))
            return false;
        const char* digits = *start == '+' ? start + 1 : start;
        bool integral = true;
        for (const char* q = p; q < end; ++q)
            integral = integral && isDigit(*q);
        if (integral) {
            int64_t value = 0;
            const auto result = std::from_chars(digits, end, value);
            if (result.ec == std::errc() && result.ptr == end) {
                addInt(args, value);
                return true;
            }
        }
        double value = 0.0;
        const auto result = std::from_chars(digits, end, value);
        if (result.ptr != end || (result.ec != std::errc() && result.ec != std::errc::result_out_of_range))
            return false;
        addDouble(args, value);
        return true;
    }

    const char* fPos;
    const char* fEnd;
    MString fSource;
    std::string fNamespace;            // non-empty while reading a referenced scene
    bool fSkippingSharedNode = false;  // a referenced scene's shared node and its attributes
    int fLine = 1;
    int fStatementLine = 1;
    MArgList fArgs;   // reused: its arguments are overwritten statement by statement
    size_t fCount = 0;  // arguments of the statement being read
    std::unordered_map<std::string_view, const CommandEntry*> fCommands;
};

// Scene files may give DAG nodes under different parents one short name
// ("|L_arm|ctrl", "|R_arm|ctrl"): while reading, only siblings clash.
bool siblingsClash(const Node* candidate, const Node* existing)
{
    if (!candidate || !candidate->isDag || !existing->isDag)
        return true;
    if (candidate->parents.empty() || existing->parents.empty())
        return candidate->parents.empty() && existing->parents.empty();
    for (const Node* parent : candidate->parents)
        for (const Node* other : existing->parents)
            if (parent == other)
                return true;
    return false;
}

class SiblingNamesScope
{
public:
    // Referenced scenes are read inside the main one: the outermost read sets and restores.
    SiblingNamesScope()
    {
        if (depth()++ == 0)
            setNameClashTest(&siblingsClash);
    }
    ~SiblingNamesScope()
    {
        if (--depth() == 0)
            setNameClashTest(nullptr);
    }
    SiblingNamesScope(const SiblingNamesScope&) = delete;
    SiblingNamesScope& operator=(const SiblingNamesScope&) = delete;

private:
    static int& depth()
    {
        static int open = 0;
        return open;
    }
};

// Nodes read from references, with their life tokens (a freed node's address may come back)
// and the statements their scene gave them, against which the main scene saves its edits.
struct ReferencedNode
{
    std::shared_ptr<LifeToken> life;
    std::string body;
};

std::unordered_map<const Node*, ReferencedNode>& referencedNodes()
{
    static std::unordered_map<const Node*, ReferencedNode> nodes;
    return nodes;
}

MStatus checkSceneText(const char* text, size_t length, const MString& sourceName)
{
    if (length < 12 || std::memcmp(text, "//Maya ASCII", 12) != 0) {
        MGlobal::displayError(sourceName + " line 1: not a Maya ASCII scene file.");
        return MS::kFailure;
    }
    if (const void* nul = std::memchr(text, '\0', length)) {
        const char* at = static_cast<const char*>(nul);
        int line = 1;
        for (const char* p = text; p < at; ++p)
            line += *p == '\n';
        MGlobal::displayError(sourceName + " line " + line + ": the file holds binary data.");
        return MS::kFailure;
    }
    return MS::kSuccess;
}

MStatus readFileText(const MString& path, std::string& text)
{
    {
        std::ifstream in(path.asChar(), std::ios::binary);
        if (!in) {
            MGlobal::displayError(MString("file: cannot open ") + path + ".");
            return MS::kNotFound;
        }
        in.seekg(0, std::ios::end);
        const std::streamoff size = in.tellg();
        in.seekg(0, std::ios::beg);
        if (size > 0) {
            text.resize(static_cast<size_t>(size));
            in.read(text.data(), size);
            text.resize(static_cast<size_t>(in.gcount()));
        }
    }
    return MS::kSuccess;
}

MStatus readSceneText(const char* text, size_t length, const MString& sourceName, const std::string& nameSpace,
                      unsigned* errors)
{
    if (errors)
        *errors = 0;
    MStatus status = checkSceneText(text, length, sourceName);
    if (!status)
        return status;
    // Reading a file is not an undoable action.
    CommandExecution::NoUndoScope noUndo;
    SiblingNamesScope siblingNames;
    StatementReader reader(text, length, sourceName, nameSpace);
    const unsigned failed = reader.run();
    if (errors)
        *errors = failed;
    if (failed > 0)
        MGlobal::displayWarning(MString("file: ") + sourceName + " was read with " + static_cast<int>(failed) +
                                (failed == 1 ? " error" : " errors") + ": the scene may be incomplete.");
    return MS::kSuccess;
}

} // namespace

MStatus MayaAsciiReader::read(const MString& path, unsigned* errors)
{
    std::string text;
    MStatus status = readFileText(path, text);
    return status ? readSceneText(text.data(), text.size(), path, std::string(), errors) : status;
}

MStatus MayaAsciiReader::readText(const char* text, size_t length, const MString& sourceName, unsigned* errors)
{
    return readSceneText(text, length, sourceName, std::string(), errors);
}

MStatus MayaAsciiReader::readReference(const MString& path, const MString& nameSpace, unsigned* errors)
{
    std::string text;
    MStatus status = readFileText(path, text);
    if (!status)
        return status;
    const uint64_t firstSerial = sceneNodes().empty() ? 0 : sceneNodes().back()->serial;
    const MDistance::Unit linear = MDistance::uiUnit();
    const MAngle::Unit angular = MAngle::uiUnit();
    const MTime::Unit time = MTime::uiUnit();
    status = readSceneText(text.data(), text.size(), path, nameSpace.asChar(), errors);
    MDistance::setUIUnit(linear);
    MAngle::setUIUnit(angular);
    MTime::setUIUnit(time);
    for (Node* node : sceneNodes())
        if (node->serial > firstSerial)
            referencedNodes()[node] = ReferencedNode{node->lifeToken(), MayaAsciiWriter::nodeBody(node->object())};
    CHECK_MSTATUS(MGlobal::clearSelectionList());
    return status;
}

bool MayaAsciiReader::isReferenced(const Node* node)
{
    if (referencedNodes().empty())
        return false;
    auto it = referencedNodes().find(node);
    return it != referencedNodes().end() && it->second.life->alive;
}

const std::string* MayaAsciiReader::referencedBody(const Node* node)
{
    auto it = referencedNodes().find(node);
    return it != referencedNodes().end() && it->second.life->alive ? &it->second.body : nullptr;
}

void MayaAsciiReader::forgetReferences()
{
    referencedNodes().clear();
}

} // namespace host
