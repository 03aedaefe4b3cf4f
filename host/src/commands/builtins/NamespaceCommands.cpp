#include "commands/builtins/NamespaceCommands.h"

#include "commands/builtins/CommandFlags.h"
#include "dg/ModifierOp.h"
#include "dg/Namespaces.h"
#include "dg/Node.h"
#include "dg/Scene.h"

#include <maya/MGlobal.h>
#include <maya/MStringArray.h>

#include <algorithm>
#include <vector>

namespace host {

namespace {

const CommandFlags::Definition kNamespaceFlags[] = {
    {"-add", "-addNamespace", CommandFlags::kOneArg},
    {"-p", "-parent", CommandFlags::kOneArg},
    {"-set", "-setNamespace", CommandFlags::kOneArg},
    {"-rm", "-removeNamespace", CommandFlags::kOneArg},
    {"-ex", "-exists", CommandFlags::kOneArg},
    {"-ir", "-isRootNamespace", CommandFlags::kOneArg},
    {"-mnp", "-mergeNamespaceWithParent", CommandFlags::kOptionalBool},
    {"-mnr", "-mergeNamespaceWithRoot", CommandFlags::kOptionalBool},
    {"-dnc", "-deleteNamespaceContent", CommandFlags::kOptionalBool},
    {"-f", "-force", CommandFlags::kOptionalBool},
    {"-q", "-query", CommandFlags::kNoArg},
};

const CommandFlags::Definition kInfoFlags[] = {
    {"-cur", "-currentNamespace", CommandFlags::kNoArg},
    {"-lon", "-listOnlyNamespaces", CommandFlags::kNoArg},
    {"-ls", "-listNamespace", CommandFlags::kNoArg},
    {"-lod", "-listOnlyDependencyNodes", CommandFlags::kNoArg},
    {"-r", "-recurse", CommandFlags::kOptionalBool},
    {"-an", "-absoluteName", CommandFlags::kOptionalBool},
    {"-ir", "-isRootNamespace", CommandFlags::kOneArg},
    {"-p", "-parent", CommandFlags::kNoArg},
    {"-bn", "-baseName", CommandFlags::kNoArg},
    {"-fn", "-fullName", CommandFlags::kNoArg},
};

// ":a:b" names a namespace from the root; "b" one in the current namespace first, then from the root.
bool resolve(const MString& text, std::string& full)
{
    std::string name = text.asChar();
    if (name == ":") {
        full.clear();
        return true;
    }
    if (!name.empty() && name[0] == ':') {
        full = name.substr(1);
        return isValidNamespaceName(full) && namespaceExists(full);
    }
    if (!isValidNamespaceName(name))
        return false;
    const std::string& current = currentNamespace();
    if (!current.empty() && namespaceExists(current + ":" + name)) {
        full = current + ":" + name;
        return true;
    }
    full = name;
    return namespaceExists(full);
}

MString shown(const std::string& name, bool absolute)
{
    if (name.empty())
        return ":";
    return MString(((absolute ? ":" : "") + name).c_str());
}

MStatus fail(const MString& message)
{
    MGlobal::displayError(MString("namespace: ") + message);
    return MS::kFailure;
}

} // namespace

MStatus NamespaceCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("namespace", args, kNamespaceFlags);
    if (!status)
        return status;
    std::string name;
    if (flags.isSet("-ex")) {
        setResult(resolve(flags.arg("-ex"), name));
        return MS::kSuccess;
    }
    if (flags.isSet("-ir")) {
        const MString text = flags.arg("-ir");
        setResult(text == ":" || text.length() == 0);
        return MS::kSuccess;
    }
    mCurrentBefore = mCurrentAfter = currentNamespace();
    if (flags.isSet("-add")) {
        std::string parent = mCurrentBefore;
        if (flags.isSet("-p") && !resolve(flags.arg("-p"), parent))
            return fail(MString("Namespace '") + flags.arg("-p") + "' does not exist.");
        std::string relative = flags.arg("-add").asChar();
        if (!relative.empty() && relative[0] == ':') {
            relative.erase(0, 1);
            parent.clear();
        }
        if (!isValidNamespaceName(relative))
            return fail(MString("'") + flags.arg("-add") + "' is not a valid namespace name.");
        mAdded = parent.empty() ? relative : parent + ":" + relative;
        if (namespaceExists(mAdded))
            return fail(MString("A namespace called '") + mAdded.c_str() + "' already exists.");
        addNamespace(mAdded);
        mUndoable = true;
        setResult(MString(mAdded.c_str()));
        return MS::kSuccess;
    }
    if (flags.isSet("-set")) {
        if (!resolve(flags.arg("-set"), name))
            return fail(MString("Namespace '") + flags.arg("-set") + "' does not exist.");
        setCurrentNamespace(name);
        mCurrentAfter = name;
        mUndoable = true;
        setResult(shown(name, false));
        return MS::kSuccess;
    }
    if (flags.isSet("-rm")) {
        if (!resolve(flags.arg("-rm"), name))
            return fail(MString("Namespace '") + flags.arg("-rm") + "' does not exist.");
        return remove(name, flags.boolValue("-mnp", false), flags.boolValue("-mnr", false),
                      flags.boolValue("-dnc", false));
    }
    MGlobal::displayError("namespace: give -add, -set, -rm, -exists or -isRootNamespace.");
    return MS::kInvalidParameter;
}

MStatus NamespaceCommand::remove(const std::string& name, bool mergeWithParent, bool mergeWithRoot,
                                 bool deleteContent)
{
    if (name.empty())
        return fail("Cannot remove the root namespace.");
    if (isBuiltinNamespace(name))
        return fail(MString("Cannot remove Maya's namespace '") + name.c_str() + "'.");
    const std::string parent = namespaceOfName(name);
    std::vector<Node*> content;
    for (Node* node : sceneNodes()) {
        const std::string nodeName = node->name.asChar();
        if (nodeName.size() > name.size() && nodeName.compare(0, name.size() + 1, name + ":") == 0)
            content.push_back(node);
    }
    const bool nested = !namespacesIn(name, false).empty();
    if ((!content.empty() || nested) && !mergeWithParent && !mergeWithRoot && !deleteContent)
        return fail(MString("Namespace '") + name.c_str() +
                    "' is not empty: use -mergeNamespaceWithParent, -mergeNamespaceWithRoot or "
                    "-deleteNamespaceContent.");
    for (Node* node : content) {
        const MObject object = node->object();
        if (deleteContent) {
            // Deleting a DAG node takes its children with it.
            const bool parentGoes = std::any_of(node->parents.begin(), node->parents.end(), [&](Node* parent) {
                return std::find(content.begin(), content.end(), parent) != content.end();
            });
            if (!parentGoes)
                CHECK_MSTATUS(queueDeletionEvenIfReferenced(mModifier, object));
            continue;
        }
        // The node keeps its name below the removed namespace, in the parent or the root.
        const std::string rest = std::string(node->name.asChar()).substr(name.size() + 1);
        const std::string target = mergeWithRoot || parent.empty() ? rest : parent + ":" + rest;
        CHECK_MSTATUS(mModifier.renameNode(object, MString((":" + target).c_str())));
    }
    MStatus status = execute("namespace");
    if (!status)
        return status;
    mRemoved = name;
    forgetNamespace(name);
    mCurrentAfter = currentNamespace();
    mUndoable = true;
    return MS::kSuccess;
}

MStatus NamespaceCommand::undoIt()
{
    MStatus status = mModifier.undoIt();
    if (!mAdded.empty())
        forgetNamespace(mAdded);
    if (!mRemoved.empty())
        addNamespace(mRemoved);
    setCurrentNamespace(mCurrentBefore);
    return status;
}

MStatus NamespaceCommand::redoIt()
{
    MStatus status = mModifier.doIt();
    if (!mAdded.empty())
        addNamespace(mAdded);
    if (!mRemoved.empty())
        forgetNamespace(mRemoved);
    setCurrentNamespace(mCurrentAfter);
    return status;
}

MStatus NamespaceInfoCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("namespaceInfo", args, kInfoFlags);
    if (!status)
        return status;
    const bool absolute = flags.boolValue("-an", false);
    if (flags.isSet("-ir")) {
        const MString text = flags.arg("-ir");
        setResult(text == ":" || text.length() == 0);
        return MS::kSuccess;
    }
    std::string space = currentNamespace();
    if (flags.objects().size() > 1) {
        MGlobal::displayError("namespaceInfo: name at most one namespace.");
        return MS::kInvalidParameter;
    }
    if (flags.objects().size() == 1 && !resolve(flags.objects()[0], space)) {
        MGlobal::displayError(MString("namespaceInfo: Namespace '") + flags.objects()[0] + "' does not exist.");
        return MS::kFailure;
    }
    if (flags.isSet("-cur") || flags.isSet("-fn")) {
        setResult(shown(space, absolute));
        return MS::kSuccess;
    }
    if (flags.isSet("-bn")) {
        setResult(MString(space.substr(space.rfind(':') == std::string::npos ? 0 : space.rfind(':') + 1).c_str()));
        return MS::kSuccess;
    }
    if (flags.isSet("-p")) {
        setResult(shown(namespaceOfName(space), absolute));
        return MS::kSuccess;
    }
    const bool recurse = flags.boolValue("-r", false);
    const bool namespaces = flags.isSet("-lon") || flags.isSet("-ls");
    const bool nodes = flags.isSet("-lod") || flags.isSet("-ls");
    if (!namespaces && !nodes) {
        MGlobal::displayError("namespaceInfo: give -currentNamespace, -listNamespace, -listOnlyNamespaces, "
                              "-listOnlyDependencyNodes, -parent, -baseName, -fullName or -isRootNamespace.");
        return MS::kInvalidParameter;
    }
    MStringArray result;
    if (namespaces)
        for (const std::string& child : namespacesIn(space, recurse))
            result.append(shown(child, absolute));
    if (nodes)
        for (const Node* node : sceneNodes()) {
            const std::string nodeSpace = namespaceOfName(node->name.asChar());
            const bool inside = nodeSpace == space ||
                                (recurse && (space.empty() || nodeSpace.compare(0, space.size() + 1, space + ":") == 0));
            if (inside)
                result.append(absolute ? MString(":") + node->name : node->name);
        }
    setResult(result);
    return MS::kSuccess;
}

} // namespace host
