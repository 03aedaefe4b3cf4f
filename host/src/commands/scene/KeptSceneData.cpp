#include "commands/scene/KeptSceneData.h"

#include "commands/Argument.h"
#include "commands/builtins/SceneNames.h"
#include "commands/builtins/ValueText.h"
#include "commands/mel/MelValue.h"
#include "dag/UnknownNode.h"
#include "dg/Node.h"
#include "dg/Registry.h"

#include <maya/MFileIO.h>
#include <maya/MGlobal.h>
#include <maya/MSelectionList.h>

#include <cctype>
#include <cstring>
#include <set>
#include <unordered_map>
#include <vector>

namespace host {

namespace {

struct NodeEntry
{
    MObject keepAlive;  // the node outlives its entry, so its address is never reused meanwhile
    MString realType;
    bool shared = false;
    std::vector<std::string> lines;
};

struct KeptConnection
{
    MObject source, destination;
    std::string sourceAttribute, destinationAttribute;  // ".attr[1].child"
    std::string flags;                                   // " -na"
};

struct State
{
    std::unordered_map<const Node*, NodeEntry> nodes;
    std::vector<KeptConnection> connections;
    std::set<std::string> warnedTypes;
};

// Never destroyed: entries hold nodes that must not be released during static destruction.
State& state()
{
    static State* s = new State;
    return *s;
}

NodeEntry& entryOf(const MObject& node)
{
    NodeEntry& entry = state().nodes[nodeOf(node)];
    if (entry.keepAlive.isNull())
        entry.keepAlive = node;
    return entry;
}

const NodeEntry* findEntry(const MObject& node)
{
    auto it = state().nodes.find(nodeOf(node));
    return it == state().nodes.end() ? nullptr : &it->second;
}

bool isIdentifier(const MString& text)
{
    const char* p = text.asChar();
    if (!(std::isalpha(static_cast<unsigned char>(*p)) || *p == '_'))
        return false;
    for (; *p; ++p)
        if (!(std::isalnum(static_cast<unsigned char>(*p)) || *p == '_'))
            return false;
    return true;
}

// Data types whose values Maya writes with bare keywords ("f 4 0 1 2 3", "Index_Data UV 0").
bool hasBareWords(const MString& type)
{
    return type == "polyFaces" || type == "dataPolyComponent" || type == "nurbsCurve" || type == "nurbsSurface" ||
           type == "mesh" || type == "lattice";
}

// Flags whose argument follows them (setAttr, addAttr and connectAttr as Maya writes them).
bool takesArgument(const MString& flag)
{
    static const char* const kFlags[] = {"-type", "-typ", "-s", "-size", "-ch", "-capacityHint", "-sn", "-shortName",
                                         "-ln", "-longName", "-nn", "-niceName", "-at", "-attributeType", "-dt",
                                         "-dataType", "-dv", "-defaultValue", "-min", "-minValue", "-max",
                                         "-maxValue", "-smn", "-softMinValue", "-smx", "-softMaxValue", "-p",
                                         "-parent", "-nc", "-numberOfChildren", "-en", "-enumName", "-dcb",
                                         "-disconnectBehaviour", "-rd", "-referenceDest"};
    for (const char* name : kFlags)
        if (flag == name)
            return true;
    return false;
}

// The statement as text: `replace` stands for the argument at `replaceAt`.
std::string statementText(const char* command, const std::vector<Argument>& args, size_t replaceAt,
                          const MString& replace)
{
    std::string out = "\t";
    out += command;
    MString dataType;
    bool afterFlag = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const Argument& arg = args[i];
        out += ' ';
        if (i == replaceAt) {
            out += ValueText::quote(replace).asChar();
            afterFlag = false;
            continue;
        }
        // The on/off of a boolean flag, as Maya words it: "setAttr -k off", "addAttr -ci true".
        const bool flagSwitch = afterFlag && !takesArgument(args[i - 1].text) && arg.kind == Argument::kInt &&
                                (arg.intValue == 0 || arg.intValue == 1);
        switch (arg.kind) {
        case Argument::kFlag: out.append(arg.text.asChar(), arg.text.length()); break;
        case Argument::kInt:
            if (flagSwitch && std::strcmp(command, "addAttr") == 0)
                out += arg.intValue ? "true" : "false";
            else if (flagSwitch)
                out += arg.intValue ? "on" : "off";
            else
                out += std::to_string(arg.intValue);
            break;
        case Argument::kDouble: appendDouble(out, arg.doubleValue); break;
        case Argument::kString: {
            // Bare words stay bare where Maya writes them so: keywords of geometry values and on/off after a flag.
            const bool bare = isIdentifier(arg.text) &&
                              (hasBareWords(dataType) || (afterFlag && ValueText::isBoolWord(arg.text)));
            out += bare ? arg.text.asChar() : ValueText::quote(arg.text).asChar();
            break;
        }
        }
        if (i > 0 && args[i - 1].kind == Argument::kFlag && (args[i - 1].text == "-type" || args[i - 1].text == "-typ"))
            dataType = arg.text;
        afterFlag = arg.kind == Argument::kFlag;
    }
    out += dataType.length() > 0 ? " ;\n" : ";\n";
    return out;
}

// Splits "node.attr..." into the node (the first selected one for ".attr") and ".attr...".
bool splitPlugText(const MString& text, MObject& node, MString& attributePath)
{
    const int dot = text.index('.');
    if (dot < 0 || dot + 1 >= static_cast<int>(text.length()))
        return false;
    MSelectionList list;
    if (dot == 0) {
        if (!MGlobal::getActiveSelectionList(list) || list.length() == 0)
            return false;
    } else if (!list.add(text.substring(0, dot - 1)) || list.length() != 1) {
        return false;
    }
    if (!list.getDependNode(0, node) || !nodeOf(node))
        return false;
    attributePath = text.substring(dot, static_cast<int>(text.length()) - 1);
    return true;
}

// Whether every attribute name in ".a[1].b" is one the node has (its indices aside).
bool namesAttributesOfNode(const MObject& node, const MString& attributePath)
{
    const Node* n = nodeOf(node);
    const std::string path(attributePath.asChar(), attributePath.length());
    size_t pos = 0;
    while (pos < path.size()) {
        const size_t start = path[pos] == '.' ? pos + 1 : pos;
        size_t end = path.find_first_of(".[", start);
        if (end == std::string::npos)
            end = path.size();
        if (end > start && !n->findAttribute(MString(path.c_str() + start, static_cast<int>(end - start))))
            return false;
        pos = path.find('.', end);
        if (pos == std::string::npos)
            break;
    }
    return true;
}

void appendQuoted(std::string& out, const MString& text)
{
    const MString quoted = ValueText::quote(text);
    out.append(quoted.asChar(), quoted.length());
}

} // namespace

void KeptSceneData::rememberRealType(const MObject& node, const MString& realType, bool warn)
{
    entryOf(node).realType = realType;
    if (!warn)
        return;
    const std::string type(realType.asChar(), realType.length());
    if (!state().warnedTypes.insert(type).second)
        return;
    MGlobal::displayWarning(MString("Unrecognized node type '") + realType + "' for node '" + nodeOf(node)->name +
                            "'; preserving node information during this session.");
}

MString KeptSceneData::realTypeOf(const MObject& node)
{
    const NodeEntry* entry = findEntry(node);
    return entry ? entry->realType : MString();
}

MString KeptSceneData::writtenTypeName(const MObject& node)
{
    const NodeEntry* entry = findEntry(node);
    if (entry && entry->realType.length() > 0)
        return entry->realType;
    return nodeOf(node)->type->info.name;
}

void KeptSceneData::rememberShared(const MObject& node)
{
    entryOf(node).shared = true;
}

bool KeptSceneData::isShared(const MObject& node)
{
    const NodeEntry* entry = findEntry(node);
    return entry && entry->shared;
}

bool KeptSceneData::keepSetAttr(const MArgList& args)
{
    if (!MFileIO::isReadingFile())
        return false;
    const std::vector<Argument>& raw = ArgListAccess::args(args);
    size_t plugAt = raw.size();
    for (size_t i = 0; i < raw.size() && plugAt == raw.size(); ++i) {
        if (raw[i].kind == Argument::kFlag) {
            if (takesArgument(raw[i].text))
                ++i;
            else if (i + 1 < raw.size() && raw[i + 1].kind == Argument::kString && ValueText::isBoolWord(raw[i + 1].text))
                ++i;
            continue;
        }
        if (raw[i].kind == Argument::kString && raw[i].text.index('.') >= 0)
            plugAt = i;
    }
    if (plugAt == raw.size())
        return false;
    MObject node;
    MString attributePath;
    // Only names the node lacks are kept: a bad index on a known attribute is the file's error.
    if (!splitPlugText(raw[plugAt].text, node, attributePath) || namesAttributesOfNode(node, attributePath))
        return false;
    entryOf(node).lines.push_back(statementText("setAttr", raw, plugAt, attributePath));
    return true;
}

bool KeptSceneData::keepAddAttr(const MArgList& args, const MObject& node, const MString& parentName,
                                bool creatable)
{
    if (!MFileIO::isReadingFile())
        return false;
    const bool standIn = UnknownNode::isStandIn(nodeOf(node)->type);
    // A child of a kept compound is kept with it.
    bool keptParent = false;
    if (parentName.length() > 0) {
        const NodeEntry* entry = findEntry(node);
        const std::string sn = std::string(" -sn \"") + parentName.asChar() + "\"";
        const std::string ln = std::string(" -ln \"") + parentName.asChar() + "\"";
        if (entry)
            for (const std::string& line : entry->lines)
                keptParent = keptParent || (line.compare(0, 8, "\taddAttr") == 0 &&
                                            (line.find(sn) != std::string::npos || line.find(ln) != std::string::npos));
    }
    if (!standIn && creatable && !keptParent)
        return false;
    std::vector<Argument> raw = ArgListAccess::args(args);
    // The statement is written under its node's createNode, where the node is selected.
    size_t nodeAt = raw.size();
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i].kind == Argument::kFlag) {
            // A flag's argument, or the on/off word of a boolean flag ("-ci true").
            if (takesArgument(raw[i].text) ||
                (i + 1 < raw.size() && (raw[i + 1].isNumber() || ValueText::isBoolWord(raw[i + 1].text))))
                ++i;
            continue;
        }
        if (raw[i].kind == Argument::kString)
            nodeAt = i;
    }
    if (nodeAt < raw.size())
        raw.erase(raw.begin() + static_cast<long>(nodeAt));
    entryOf(node).lines.push_back(statementText("addAttr", raw, raw.size(), MString()));
    return true;
}

bool KeptSceneData::keepConnectAttr(const MArgList& args, const MString& sourceText, const MString& destinationText,
                                    bool always)
{
    if (!MFileIO::isReadingFile())
        return false;
    MObject source, destination;
    MString sourcePath, destinationPath;
    if (!splitPlugText(sourceText, source, sourcePath) || !splitPlugText(destinationText, destination, destinationPath))
        return false;
    if (!always && namesAttributesOfNode(source, sourcePath) && namesAttributesOfNode(destination, destinationPath))
        return false;
    KeptConnection kept;
    kept.source = source;
    kept.destination = destination;
    kept.sourceAttribute.assign(sourcePath.asChar(), sourcePath.length());
    kept.destinationAttribute.assign(destinationPath.asChar(), destinationPath.length());
    for (const Argument& arg : ArgListAccess::args(args)) {
        if (arg.kind != Argument::kFlag)
            continue;
        kept.flags += ' ';
        kept.flags.append(arg.text.asChar(), arg.text.length());
    }
    state().connections.push_back(std::move(kept));
    return true;
}

MObject KeptSceneData::keptSourceOf(const MObject& destination, std::initializer_list<const char*> attributes)
{
    const Node* node = nodeOf(destination);
    for (const KeptConnection& kept : state().connections) {
        if (nodeOf(kept.destination) != node || !nodeOf(kept.source)->inScene)
            continue;
        for (const char* attribute : attributes)
            if (kept.destinationAttribute == attribute)
                return kept.source;
    }
    return MObject();
}

void KeptSceneData::writeNodeLines(const MObject& node, std::string& out)
{
    if (const NodeEntry* entry = findEntry(node))
        for (const std::string& line : entry->lines)
            out += line;
}

bool KeptSceneData::hasKeptLines(const MObject& node)
{
    const NodeEntry* entry = findEntry(node);
    return entry && !entry->lines.empty();
}

void KeptSceneData::writeConnections(const std::function<bool(const Node*)>& written, std::string& out)
{
    for (const KeptConnection& kept : state().connections) {
        const Node* source = nodeOf(kept.source);
        const Node* destination = nodeOf(kept.destination);
        if (!source->inScene || !destination->inScene || !written(source) || !written(destination))
            continue;
        out += "connectAttr";
        out += kept.flags;
        out += ' ';
        appendQuoted(out, SceneNames::nodeName(kept.source) + kept.sourceAttribute.c_str());
        out += ' ';
        appendQuoted(out, SceneNames::nodeName(kept.destination) + kept.destinationAttribute.c_str());
        out += ";\n";
    }
}

void KeptSceneData::forgetScene()
{
    State& s = state();
    s.nodes.clear();
    s.connections.clear();
    s.warnedTypes.clear();
}

} // namespace host
