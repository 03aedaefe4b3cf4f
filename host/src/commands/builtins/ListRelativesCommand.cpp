#include "commands/builtins/ListRelativesCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/SceneNames.h"

#include <maya/MDagPath.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

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
};

struct Listing
{
    bool shapesOnly;
    bool noIntermediate;
    bool fullPath;
    MString type;
    MStringArray* out;

    void add(const MDagPath& path) const
    {
        const MObject node = path.node();
        if (shapesOnly && !node.hasFn(MFn::kShape))
            return;
        if (noIntermediate && MFnDagNode(path).isIntermediateObject())
            return;
        if (type.length() > 0 && MFnDependencyNode(node).typeName() != type)
            return;
        out->append(fullPath ? path.fullPathName() : path.partialPathName());
    }

    void children(const MDagPath& path, bool recurse) const
    {
        const unsigned n = path.childCount();
        for (unsigned i = 0; i < n; ++i) {
            MDagPath child(path);
            if (!child.push(path.child(i)))
                continue;
            add(child);
            if (recurse)
                children(child, true);
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
    if (flags.objects().empty()) {
        status = MGlobal::getActiveSelectionList(targets);
        if (!status)
            return status;
    }
    for (const MString& name : flags.objects()) {
        status = SceneNames::addMatches("listRelatives", name, targets);
        if (!status)
            return status;
    }
    MStringArray result;
    const Listing listing{flags.boolValue("-s", false), flags.boolValue("-ni", false), flags.boolValue("-f", false), flags.arg("-typ"), &result};
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
        } else {
            listing.children(path, flags.boolValue("-ad", false));
        }
    }
    setResult(result);
    return MS::kSuccess;
}

} // namespace host
