#include "commands/scene/MayaAsciiWriter.h"

#include "commands/PluginManager.h"
#include "commands/PluginRecord.h"
#include "commands/builtins/CurrentUnitCommand.h"
#include "commands/builtins/DynamicAttribute.h"
#include "commands/builtins/PlugValue.h"
#include "commands/builtins/SceneNames.h"
#include "commands/builtins/ValueText.h"
#include "commands/scene/DefaultNodes.h"
#include "commands/scene/KeptSceneData.h"
#include "commands/scene/MayaAsciiReader.h"
#include "commands/scene/PlugSettingsText.h"
#include "commands/scene/NodeUuids.h"
#include "commands/scene/SceneRecords.h"
#include "dg/Node.h"
#include "dg/Registry.h"
#include "dg/Scene.h"
#include "geometry/GeometryFileText.h"
#include "views/StartupCameras.h"

#include <maya/MDagPath.h>
#include <maya/MDagPathArray.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MItDependencyNodes.h>
#include <maya/MPlugArray.h>

#include <algorithm>
#include <unordered_set>
#include <vector>

namespace host {

namespace {

// A node body's statements, each with its closing ";\n" (geometry values span lines).
std::vector<std::string> statements(const std::string& body)
{
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t end = body.find(";\n"); end != std::string::npos; end = body.find(";\n", start)) {
        out.push_back(body.substr(start, end + 2 - start));
        start = end + 2;
    }
    return out;
}

// The attribute path (".t", ".ktv[0:2]") a "setAttr" statement of a node's body sets, or empty.
std::string setAttrPath(const std::string& statement)
{
    const size_t open = statement.find("setAttr");
    const size_t first = open == std::string::npos ? open : statement.find("\".", open);
    const size_t last = first == std::string::npos ? first : statement.find('"', first + 1);
    return last == std::string::npos ? std::string() : statement.substr(first + 1, last - first - 1);
}

// The plug of such a path on the node; a run of elements names the array.
bool plugOfPath(const MObject& node, const std::string& path, MPlug& plug)
{
    SceneNames::IndexRange range;
    return !path.empty() && SceneNames::findPlug("setAttr", SceneNames::nodeName(node, true) +
                                                                MString(path.c_str(), int(path.size())),
                                                 plug, &range);
}

class Writer
{
public:
    explicit Writer(std::string& out) : mOut(out) {}

    void collectNodes()
    {
        for (MItDependencyNodes it; !it.isDone(); it.next()) {
            MObject node = it.thisNode();
            if (MFnDependencyNode(node).canBeWritten())
                mWritable.insert(nodeOf(node));
        }
        for (MItDependencyNodes it; !it.isDone(); it.next())
            order(it.thisNode());
    }

    void requires()
    {
        mOut += "requires maya \"2023\";\n";
        // Plug-ins in order of first use, each with the node types used.
        std::vector<MString> plugins;
        std::vector<std::vector<MString>> types;
        for (const MObject& node : mOrder) {
            const NodeTypeInfo& info = nodeOf(node)->type->info;
            if (info.pluginName.length() == 0)
                continue;
            size_t p = 0;
            while (p < plugins.size() && plugins[p] != info.pluginName)
                ++p;
            if (p == plugins.size()) {
                plugins.push_back(info.pluginName);
                types.emplace_back();
            }
            bool known = false;
            for (const MString& t : types[p])
                known = known || t == info.name;
            if (!known)
                types[p].push_back(info.name);
        }
        for (size_t p = 0; p < plugins.size(); ++p) {
            mOut += "requires";
            for (const MString& t : types[p])
                word(" -nodeType ", ValueText::quote(t));
            word(" ", ValueText::quote(plugins[p]));
            const PluginRecord* record = PluginManager::find(plugins[p]);
            word(" ", ValueText::quote(record ? record->version : MString("Unknown")));
            mOut += ";\n";
        }
        SceneRecords::writeRequirements(mOut, plugins);
    }

    void nodes()
    {
        for (const MObject& node : mOrder)
            if (!DefaultNodes::isShared(nodeOf(node)) && !MayaAsciiReader::isReferenced(nodeOf(node)))
                writeNode(node);
        // Every scene has the shared default nodes: only what changed on them is written.
        for (const MObject& node : DefaultNodes::shared()) {
            if (!mWritable.count(nodeOf(node)))
                continue;
            const size_t blockStart = mOut.size();
            mOut += "select -ne :";
            mOut += nodeOf(node)->name.asChar();
            mOut += ";\n";
            const size_t bodyStart = mOut.size();
            writeNodeBody(node);
            if (mOut.size() == bodyStart)
                mOut.resize(blockStart);
        }
    }

    // Edits of referenced nodes: each statement of the node's body that the referenced scene
    // did not give it, and for a value it gave that is gone (set back to its default) the
    // value as it is now. Values that connections drive are not edits.
    void referenceEdits()
    {
        for (const MObject& node : mOrder) {
            const std::string* read = MayaAsciiReader::referencedBody(nodeOf(node));
            if (!read)
                continue;
            const size_t blockStart = mOut.size();
            mOut += "select -ne ";
            mOut += ValueText::quote(SceneNames::nodeName(node, true)).asChar();
            mOut += ";\n";
            const size_t bodyStart = mOut.size();
            const std::vector<std::string> was = statements(*read);
            const std::vector<std::string> is = statements(MayaAsciiWriter::nodeBody(node));
            std::vector<std::string> written;
            for (const std::string& statement : is) {
                MPlug plug;
                const std::string path = setAttrPath(statement);
                if (std::find(was.begin(), was.end(), statement) != was.end() ||
                    (plugOfPath(node, path, plug) && isDriven(plug)))
                    continue;
                mOut += statement;
                written.push_back(path);
            }
            for (const std::string& statement : was) {
                MPlug plug;
                const std::string path = setAttrPath(statement);
                if (std::find(is.begin(), is.end(), statement) == is.end() &&
                    std::find(written.begin(), written.end(), path) == written.end() &&
                    plugOfPath(node, path, plug) && !isDriven(plug)) {
                    writePlug(plug, true);
                    written.push_back(path);
                }
            }
            if (mOut.size() == bodyStart)
                mOut.resize(blockStart);
        }
    }

    void instances()
    {
        for (const MObject& node : mOrder) {
            if (!node.hasFn(MFn::kDagNode) || MayaAsciiReader::isReferenced(nodeOf(node)))
                continue;
            MFnDagNode fn(node);
            MDagPathArray paths;
            if (fn.parentCount() < 2 || !MDagPath::getAllPathsTo(node, paths) || paths.length() < 2)
                continue;
            for (unsigned i = 1; i < fn.parentCount(); ++i) {
                MObject parent = fn.parent(i);
                if (!mWritable.count(nodeOf(parent)))
                    continue;
                mOut += "parent -s -add";
                word(" ", ValueText::quote(paths[0].fullPathName()));
                word(" ", ValueText::quote(SceneNames::nodeName(parent, true)));
                mOut += ";\n";
            }
        }
    }

    void connections()
    {
        for (const MObject& node : mOrder) {
            MPlugArray plugs;
            if (!MFnDependencyNode(node).getConnections(plugs))
                continue;
            for (unsigned i = 0; i < plugs.length(); ++i) {
                if (!plugs[i].isDestination())
                    continue;
                MPlug source = plugs[i].source();
                if (source.isNull() || !mWritable.count(nodeOf(source.node())))
                    continue;
                // A referenced scene's own connections come with it.
                if (MayaAsciiReader::isReferenced(nodeOf(node)) && MayaAsciiReader::isReferenced(nodeOf(source.node())))
                    continue;
                mOut += "connectAttr";
                word(" ", ValueText::quote(SceneNames::plugName(source)));
                word(" ", ValueText::quote(SceneNames::plugName(plugs[i])));
                mOut += ";\n";
            }
        }
        KeptSceneData::writeConnections([this](const Node* node) { return mWritable.count(node) > 0; }, mOut);
    }

private:
    void word(const char* before, const MString& text)
    {
        mOut += before;
        mOut.append(text.asChar(), text.length());
    }

    // Creation order, but a DAG node's parent before it.
    void order(const MObject& node)
    {
        Node* n = nodeOf(node);
        if (!mWritable.count(n) || !mOrdered.insert(n).second)
            return;
        if (node.hasFn(MFn::kDagNode)) {
            MFnDagNode fn(node);
            if (fn.parentCount() > 0) {
                MObject parent = fn.parent(0);
                if (!parent.isNull() && mWritable.count(nodeOf(parent)))
                    order(parent);
            }
        }
        mOrder.push_back(node);
    }

    void writeNode(const MObject& node)
    {
        Node* n = nodeOf(node);
        mOut += "createNode ";
        mOut += KeptSceneData::writtenTypeName(node).asChar();
        if (isStartupCameraNode(node) || KeptSceneData::isShared(node))
            mOut += " -s";
        word(" -n ", ValueText::quote(n->name));
        if (node.hasFn(MFn::kDagNode)) {
            MFnDagNode fn(node);
            MObject parent = fn.parentCount() > 0 ? fn.parent(0) : MObject();
            if (!parent.isNull() && mWritable.count(nodeOf(parent)))
                word(" -p ", ValueText::quote(SceneNames::nodeName(parent, true)));
        }
        mOut += ";\n";
        word("\trename -uid ", ValueText::quote(NodeUuids::of(n)));
        mOut += ";\n";
        writeNodeBody(node);
    }

public:
    // The statements after a node's createNode (or select -ne), relative to it.
    void writeNodeBody(const MObject& node)
    {
        Node* n = nodeOf(node);
        for (size_t i = n->staticCount; i < n->attrs.size(); ++i)
            DynamicAttribute::describe(n->attrs[i], mOut);
        for (Attribute* attr : n->attrs)
            writePlug(MPlug(node, ObjectAccess::make(attr)), false);
        GeometryFileText::write(node, mOut);
        KeptSceneData::writeNodeLines(node, mOut);
        if (n->locked)
            mOut += "lockNode -l 1 ;\n";
    }

private:
    void writePlug(const MPlug& plug, bool element)
    {
        const Attribute* attr = PlugAccess::attribute(plug);
        if (!attr->is(kStorable))
            return;
        const PlugValue::Kind kind = PlugValue::kindOf(attr);
        if (kind == PlugValue::kMessage || kind == PlugValue::kUnsupported)
            return;
        const bool geometry = kind == PlugValue::kMesh || kind == PlugValue::kNurbsCurve || kind == PlugValue::kGeneric;
        // Mesh and curve shapes write their own geometry in their own records.
        if (geometry && isShapeGeometryAttribute(plug.node(), attr))
            return;
        if (plug.isArray()) {
            if (PlugValue::isGroupable(kind) || PlugValue::isScalarCompound(attr))
                writeElementRuns(plug);
            else if (isMultiOfDoubleMultis(attr))
                writeSparseElements(plug);
            else
                for (unsigned i = 0; i < plug.numElements(); ++i)
                    writePlug(plug.elementByPhysicalIndex(i), true);
            return;
        }
        if (kind == PlugValue::kCompound) {
            const unsigned n = plug.numChildren();
            for (unsigned i = 0; i < n; ++i)
                writePlug(plug.child(i), false);
            return;
        }
        // Elements are written even at their default, so that sparse arrays keep their indices.
        std::string value;
        if (plug.isDestination() || (!element && isAtDefault(plug)) || !PlugValue::format(plug, value)) {
            // Locked or hidden channels are saved without their value.
            PlugSettingsText::appendSettingsLine(plug, mOut);
            if (kind == PlugValue::kNumericCompound)
                PlugSettingsText::appendChildSettingsLines(plug, mOut);
            return;
        }
        mOut += "\tsetAttr";
        mOut += PlugSettingsText::flagsOf(plug);
        mOut += ' ';
        mOut += ValueText::quote(SceneNames::attributePath(plug)).asChar();
        mOut += value;
        // Geometry values end on a line of their own.
        mOut += PlugValue::typeName(plug).length() > 0 && !geometry ? " ;\n" : ";\n";
        if (kind == PlugValue::kNumericCompound)
            PlugSettingsText::appendChildSettingsLines(plug, mOut);
    }

    // A multi whose one child is a multi of doubles (skin weights: weightList[v].weights[j]).
    static bool isMultiOfDoubleMultis(const Attribute* attr)
    {
        if (attr->attrKind != AttrKind::Compound || attr->isNumericCompound() || attr->children.size() != 1)
            return false;
        const Attribute* child = attr->children[0];
        return child->is(kArray) && child->attrKind == AttrKind::Numeric &&
               child->numericType == MFnNumericData::kDouble && child->is(kStorable);
    }

    // Maya's form for them: setAttr -s 3 ".wl"; then, for each run of consecutive elements,
    // setAttr ".wl[0:2].w" with a count and that many index-value pairs per element.
    void writeSparseElements(const MPlug& array)
    {
        const unsigned n = array.numElements();
        if (n == 0)
            return;
        mOut += "\tsetAttr -s ";
        mOut += std::to_string(n);
        mOut += ' ';
        mOut += ValueText::quote(SceneNames::attributePath(array)).asChar();
        mOut += ";\n";
        const std::string childName = PlugAccess::attribute(array)->children[0]->shortName.asChar();
        unsigned i = 0;
        while (i < n) {
            const unsigned start = array.elementByPhysicalIndex(i).logicalIndex();
            std::string words;
            unsigned last = start, j = i;
            for (; j < n; ++j) {
                const MPlug element = array.elementByPhysicalIndex(j);
                if (j > i && element.logicalIndex() != last + 1)
                    break;
                last = element.logicalIndex();
                const MPlug values = element.child(0);
                const unsigned count = values.numElements();
                words += ' ';
                words += std::to_string(count);
                for (unsigned k = 0; k < count; ++k) {
                    const MPlug value = values.elementByPhysicalIndex(k);
                    words += ' ';
                    words += std::to_string(value.logicalIndex());
                    PlugValue::formatWords(value, words);
                }
            }
            std::string path = SceneNames::attributePath(array).asChar();
            path += '[' + std::to_string(start) + ':' + std::to_string(last) + "]." + childName;
            mOut += "\tsetAttr ";
            mOut += ValueText::quote(MString(path.c_str(), static_cast<int>(path.size()))).asChar();
            mOut += words;
            mOut += ";\n";
            i = j;
        }
    }

    static bool isShapeGeometryAttribute(const MObject& node, const Attribute* attr)
    {
        if (!node.hasFn(MFn::kMesh) && !node.hasFn(MFn::kNurbsCurve))
            return false;
        const Node* n = nodeOf(node);
        for (size_t i = 0; i < n->staticCount; ++i)
            if (n->attrs[i] == attr)
                return true;
        return false;
    }

    // Whether a value comes from a connection: to the plug, or to a child of a compound of
    // scalars (a shape's objectGroups[i], whose groupId is connected), which is then not written.
    static bool isDriven(const MPlug& plug)
    {
        if (plug.isDestination())
            return true;
        for (unsigned i = 0, n = plug.isCompound() ? plug.numChildren() : 0; i < n; ++i)
            if (plug.child(i).isDestination())
                return true;
        return false;
    }

    // Elements of simple values as runs of consecutive indices:
    // setAttr -s 4 ".vals[0:2]" 1 0 3; then setAttr ".vals[10]" 11;
    // Elements are written even at their default, so that sparse arrays keep their indices.
    void writeElementRuns(const MPlug& array)
    {
        const unsigned n = array.numElements();
        const MString type = PlugValue::typeName(array);
        bool first = true;
        unsigned i = 0;
        while (i < n) {
            MPlug element = array.elementByPhysicalIndex(i);
            if (isDriven(element)) {
                ++i;
                continue;
            }
            const unsigned start = element.logicalIndex();
            std::string words;
            PlugValue::formatWords(element, words);
            unsigned last = start;
            unsigned j = i + 1;
            for (; j < n; ++j) {
                MPlug next = array.elementByPhysicalIndex(j);
                if (next.logicalIndex() != last + 1 || isDriven(next))
                    break;
                PlugValue::formatWords(next, words);
                last = next.logicalIndex();
            }
            mOut += "\tsetAttr ";
            if (first && n > 1) {
                mOut += "-s ";
                mOut += std::to_string(n);
                mOut += ' ';
            }
            first = false;
            std::string path = SceneNames::attributePath(array).asChar();
            path += '[';
            path += std::to_string(start);
            if (last != start) {
                path += ':';
                path += std::to_string(last);
            }
            path += ']';
            mOut += ValueText::quote(MString(path.c_str(), static_cast<int>(path.size()))).asChar();
            if (type.length() > 0) {
                mOut += " -type \"";
                mOut += type.asChar();
                mOut += '"';
            }
            mOut += words;
            mOut += type.length() > 0 ? " ;\n" : ";\n";
            i = j;
        }
    }

    std::string& mOut;
    std::unordered_set<const Node*> mWritable;
    std::unordered_set<const Node*> mOrdered;
    std::vector<MObject> mOrder;
};

MString baseName(const MString& path)
{
    const int slash = path.rindex('/');
    return slash < 0 ? path : path.substring(slash + 1, static_cast<int>(path.length()) - 1);
}

} // namespace

std::string MayaAsciiWriter::nodeBody(const MObject& node)
{
    std::string text;
    Writer(text).writeNodeBody(node);
    return text;
}

MStatus MayaAsciiWriter::write(const MString& fileName, std::string& text)
{
    const MString name = baseName(fileName);
    text = "//Maya ASCII 2023 scene\n//Name: ";
    text += name.asChar();
    text += "\n";
    Writer writer(text);
    writer.collectNodes();
    SceneRecords::writeReferences(text);
    writer.requires();
    text += CurrentUnitCommand::statement().asChar();
    text += "\n";
    SceneRecords::writeFileInfo(text);
    writer.nodes();
    writer.referenceEdits();
    writer.instances();
    writer.connections();
    SceneRecords::writeRelationships(text);
    text += "// End of ";
    text += name.asChar();
    text += "\n";
    return MS::kSuccess;
}

} // namespace host
