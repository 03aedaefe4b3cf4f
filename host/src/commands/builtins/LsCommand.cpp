#include "commands/builtins/LsCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/NodeTypeHierarchy.h"
#include "commands/builtins/SceneNames.h"
#include "commands/scene/NodeUuids.h"
#include "dg/Node.h"
#include "dg/Scene.h"
#include "dg/SelectionItem.h"

#include <maya/MDagPath.h>
#include <maya/MDagPathArray.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MItDag.h>
#include <maya/MItDependencyNodes.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

#include <algorithm>
#include <string>
#include <unordered_set>

namespace host {

namespace {

const CommandFlags::Definition kFlags[] = {
    {"-sl", "-selection", CommandFlags::kOptionalBool},
    {"-typ", "-type", CommandFlags::kOneArg},
    {"-l", "-long", CommandFlags::kOptionalBool},
    {"-dag", "-dag", CommandFlags::kOptionalBool},
    {"-tr", "-transforms", CommandFlags::kOptionalBool},
    {"-s", "-shapes", CommandFlags::kOptionalBool},
    {"-ni", "-noIntermediate", CommandFlags::kOptionalBool},
    {"-io", "-intermediateObjects", CommandFlags::kOptionalBool},
    {"-uid", "-uuid", CommandFlags::kOptionalBool},
    {"-r", "-recursive", CommandFlags::kOptionalBool},
    {"-fl", "-flatten", CommandFlags::kOptionalBool},
};

size_t namespaceDepth(const std::string& name)
{
    const size_t start = name.empty() || name[0] != ':' ? 0 : 1;
    return size_t(std::count(name.begin() + long(start), name.end(), ':'));
}

std::string withoutNamespace(const std::string& name)
{
    const size_t colon = name.rfind(':');
    return colon == std::string::npos ? name : name.substr(colon + 1);
}

// "a:b:node" -> "a:b" (a leading ':' names the root namespace: "").
std::string namespaceOf(const std::string& name)
{
    const size_t colon = name.rfind(':');
    if (colon == std::string::npos)
        return "";
    return name.substr(name[0] == ':' ? 1 : 0, colon - (name[0] == ':' ? 1 : 0));
}

// With -r a pattern also matches in the namespaces nested in the one it names.
bool inNamespaceOrBelow(const std::string& nodeNamespace, const std::string& wanted)
{
    if (wanted.empty())
        return true;
    return nodeNamespace == wanted ||
           (nodeNamespace.size() > wanted.size() && nodeNamespace.compare(0, wanted.size(), wanted) == 0 &&
            nodeNamespace[wanted.size()] == ':');
}

// Adds what one name or pattern lists. Wildcards stay in the namespace the
// pattern names; with `recursive` the part after the namespaces matches in any.
void addNamed(const MString& pattern, bool recursive, MSelectionList& named)
{
    if (NodeUuids::isWellFormed(pattern)) {
        if (Node* node = NodeUuids::find(pattern))
            named.add(node->object());
        return;
    }
    const std::string text = pattern.asChar();
    const bool wildcard = text.find_first_of("*?") != std::string::npos;
    if (!wildcard || text.find('|') != std::string::npos) {
        named.add(pattern);  // ls lists what matches; no match is not an error
        return;
    }
    const std::string leaf = withoutNamespace(text), wantedNamespace = namespaceOf(text);
    for (MItDependencyNodes it; !it.isDone(); it.next()) {
        const MObject node = it.thisNode();
        const std::string name = MFnDependencyNode(node).name().asChar();
        const bool matches = recursive ? inNamespaceOrBelow(namespaceOf(name), wantedNamespace) &&
                                             matchesPattern(leaf.c_str(), withoutNamespace(name).c_str())
                                       : namespaceDepth(name) == namespaceDepth(text) &&
                                             matchesPattern(text.c_str(), name.c_str());
        if (!matches)
            continue;
        // A DAG node is listed once per path to it, as Maya lists instances.
        MDagPathArray paths;
        if (node.hasFn(MFn::kDagNode) && MDagPath::getAllPathsTo(node, paths) == MS::kSuccess && paths.length() > 0)
            for (unsigned i = 0; i < paths.length(); ++i)
                named.add(paths[i]);
        else
            named.add(node);
    }
}

// One listed item: a DAG path when the node is in the DAG.
struct Candidate
{
    MObject node;
    MDagPath path;
    bool hasPath = false;
    MObject component;  // selected vertices, edges or faces of the shape at `path`
};

void addDescendants(const MDagPath& path, std::vector<Candidate>& out)
{
    for (unsigned i = 0, n = path.childCount(); i < n; ++i) {
        MDagPath child(path);
        if (!child.push(path.child(i)))
            continue;
        out.push_back({child.node(), child, true, MObject()});
        addDescendants(child, out);
    }
}

void addFromList(const MSelectionList& list, bool withDescendants, std::vector<Candidate>& out)
{
    for (unsigned i = 0; i < list.length(); ++i) {
        Candidate c;
        if (!list.getDependNode(i, c.node))
            continue;
        c.hasPath = c.node.hasFn(MFn::kDagNode) && list.getDagPath(i, c.path, c.component) == MS::kSuccess;
        out.push_back(c);
        if (withDescendants && c.hasPath)
            addDescendants(c.path, out);
    }
}

} // namespace

MStatus LsCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("ls", args, kFlags);
    if (!status)
        return status;
    const bool fromSelection = flags.boolValue("-sl", false);
    const bool dag = flags.boolValue("-dag", false);
    const bool uuids = flags.boolValue("-uid", false);

    MSelectionList selected;
    if (fromSelection) {
        status = MGlobal::getActiveSelectionList(selected);
        if (!status)
            return status;
    }
    MSelectionList named;
    for (const MString& pattern : flags.objects())
        addNamed(pattern, flags.boolValue("-r", false), named);

    std::vector<Candidate> candidates;
    if (!flags.objects().empty()) {
        if (fromSelection) {
            MSelectionList both;
            for (unsigned i = 0; i < selected.length(); ++i) {
                MObject node;
                if (selected.getDependNode(i, node) && named.hasItem(node))
                    both.add(node);
            }
            named = both;
        }
        addFromList(named, dag, candidates);
    } else if (fromSelection) {
        addFromList(selected, dag, candidates);
    } else if (dag) {
        // Every DAG path, depth first from the world.
        for (MItDag it(MItDag::kDepthFirst); !it.isDone(); it.next()) {
            Candidate c;
            if (it.getPath(c.path) != MS::kSuccess || c.path.length() == 0)
                continue;
            c.node = c.path.node();
            c.hasPath = true;
            candidates.push_back(c);
        }
    } else {
        for (MItDependencyNodes it; !it.isDone(); it.next())
            candidates.push_back({it.thisNode(), MDagPath(), false, MObject()});
    }

    const unsigned types = flags.uses("-typ");
    const bool longNames = flags.boolValue("-l", false);
    const bool noIntermediate = flags.boolValue("-ni", false);
    const bool onlyIntermediate = flags.boolValue("-io", false);
    MStringArray result;
    std::unordered_set<std::string> seen;
    for (const Candidate& c : candidates) {
        const MObject& node = c.node;
        if (dag && !node.hasFn(MFn::kDagNode))
            continue;
        if (flags.boolValue("-tr", false) && !node.hasFn(MFn::kTransform))
            continue;
        if (flags.boolValue("-s", false) && !node.hasFn(MFn::kShape))
            continue;
        if (noIntermediate || onlyIntermediate) {
            const bool intermediate = node.hasFn(MFn::kDagNode) && MFnDagNode(node).isIntermediateObject();
            if ((noIntermediate && intermediate) || (onlyIntermediate && !intermediate))
                continue;
        }
        bool typeMatches = types == 0;
        for (unsigned t = 0; t < types && !typeMatches; ++t)
            typeMatches = isOfType(node, flags.arg("-typ", t));
        if (!typeMatches)
            continue;
        if (!c.component.isNull() && !uuids) {  // "body.f[10:40]", or one name per face with -fl
            for (const MString& text :
                 componentStrings(c.path, c.component, longNames, flags.boolValue("-fl", false)))
                if (seen.insert(text.asChar()).second)
                    result.append(text);
            continue;
        }
        MString name;
        if (uuids)
            name = NodeUuids::of(nodeOf(node));
        else if (c.hasPath)
            name = longNames ? c.path.fullPathName() : c.path.partialPathName();
        else
            name = SceneNames::nodeName(node, longNames);
        if (seen.insert(name.asChar()).second)
            result.append(name);
    }
    setResult(result);
    return MS::kSuccess;
}

} // namespace host
