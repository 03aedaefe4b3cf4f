#include "commands/builtins/ListRelativesCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/NodeTypeHierarchy.h"
#include "commands/builtins/SceneNames.h"

#include <maya/MDagPath.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

#include <algorithm>
#include <vector>

namespace host {

namespace {

const CommandFlags::Definition kFlags[] = {
    {"-c", "-children", CommandFlags::kOptionalBool},
    {"-p", "-parent", CommandFlags::kOptionalBool},
    {"-s", "-shapes", CommandFlags::kOptionalBool},
    {"-f", "-fullPath", CommandFlags::kOptionalBool},
    {"-ad", "-allDescendents", CommandFlags::kOptionalBool},
    {"-typ", "-type", CommandFlags::kOneArg},
    {"-ni", "-noIntermediate", CommandFlags::kOptionalBool},
    {"-pa", "-path", CommandFlags::kOptionalBool},
};

struct Listing
{
    bool shapesOnly;
    bool noIntermediate;
    bool fullPath;
    std::vector<MString> types;
    MStringArray* out;

    void add(const MDagPath& path) const
    {
        const MObject node = path.node();
        if (shapesOnly && !node.hasFn(MFn::kShape))
            return;
        if (noIntermediate && MFnDagNode(path).isIntermediateObject())
            return;
        if (!types.empty() &&
            std::none_of(types.begin(), types.end(), [&](const MString& type) { return isOfType(node, type); }))
            return;
        out->append(fullPath ? path.fullPathName() : path.partialPathName());
    }

    void children(const MDagPath& path) const
    {
        const unsigned n = path.childCount();
        for (unsigned i = 0; i < n; ++i) {
            MDagPath child(path);
            if (child.push(path.child(i)))
                add(child);
        }
    }

    // Maya lists all descendents deepest and last child first: the reverse of
    // a depth-first walk.
    void allDescendents(const MDagPath& path) const
    {
        MStringArray walk;
        Listing inOrder = *this;
        inOrder.out = &walk;
        inOrder.walk(path);
        for (unsigned i = walk.length(); i > 0; --i)
            out->append(walk[i - 1]);
    }

private:
    void walk(const MDagPath& path) const
    {
        const unsigned n = path.childCount();
        for (unsigned i = 0; i < n; ++i) {
            MDagPath child(path);
            if (!child.push(path.child(i)))
                continue;
            add(child);
            walk(child);
        }
    }
};

} // namespace

MStatus ListRelativesCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("listRelatives", args, kFlags);
    if (!status)
        return status;
    MSelectionList targets;
    status = SceneNames::namedOrSelected("listRelatives", flags.objects(), targets);
    if (!status)
        return status;
    MStringArray result;
    std::vector<MString> types;
    for (unsigned t = 0; t < flags.uses("-typ"); ++t)
        types.push_back(flags.arg("-typ", t));
    const Listing listing{flags.boolValue("-s", false), flags.boolValue("-ni", false), flags.boolValue("-f", false),
                          types, &result};
    for (unsigned i = 0; i < targets.length(); ++i) {
        MDagPath path;
        if (targets.getDagPath(i, path) != MS::kSuccess)
            continue;  // dependency nodes have no relatives
        if (flags.boolValue("-p", false)) {
            if (path.length() > 1) {
                MDagPath parent(path);
                parent.pop();
                listing.add(parent);
            }
        } else if (flags.boolValue("-ad", false)) {
            listing.allDescendents(path);
        } else {
            listing.children(path);
        }
    }
    setResult(result);
    return MS::kSuccess;
}

} // namespace host
