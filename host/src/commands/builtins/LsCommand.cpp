#include "commands/builtins/LsCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/SceneNames.h"

#include <maya/MDagPath.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MItDependencyNodes.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

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
};

// Type filter: a node type name, or the abstract names Maya's ls knows.
bool hasType(const MObject& node, const MString& type)
{
    if (type == "dagNode")
        return node.hasFn(MFn::kDagNode);
    if (type == "shape")
        return node.hasFn(MFn::kShape);
    if (type == "transform")
        return node.hasFn(MFn::kTransform);
    return MFnDependencyNode(node).typeName() == type;
}

} // namespace

MStatus LsCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("ls", args, kFlags);
    if (!status)
        return status;

    MSelectionList candidates;
    const bool fromSelection = flags.boolValue("-sl", false);
    if (fromSelection) {
        status = MGlobal::getActiveSelectionList(candidates);
        if (!status)
            return status;
    }
    MSelectionList named;
    for (const MString& pattern : flags.objects())
        named.add(pattern);  // ls lists what matches; no match is not an error
    if (!flags.objects().empty()) {
        if (fromSelection) {
            MSelectionList both;
            for (unsigned i = 0; i < candidates.length(); ++i) {
                MObject node;
                if (candidates.getDependNode(i, node) && named.hasItem(node))
                    both.add(node);
            }
            candidates = both;
        } else {
            candidates = named;
        }
    } else if (!fromSelection) {
        for (MItDependencyNodes it; !it.isDone(); it.next())
            candidates.add(it.thisNode());
    }

    const unsigned types = flags.uses("-typ");
    const bool longNames = flags.boolValue("-l", false);
    MStringArray result;
    std::unordered_set<std::string> seen;
    for (unsigned i = 0; i < candidates.length(); ++i) {
        MObject node;
        if (!candidates.getDependNode(i, node))
            continue;
        if (flags.boolValue("-dag", false) && !node.hasFn(MFn::kDagNode))
            continue;
        if (flags.boolValue("-tr", false) && !node.hasFn(MFn::kTransform))
            continue;
        if (flags.boolValue("-s", false) && !node.hasFn(MFn::kShape))
            continue;
        bool typeMatches = types == 0;
        for (unsigned t = 0; t < types && !typeMatches; ++t)
            typeMatches = hasType(node, flags.arg("-typ", t));
        if (!typeMatches)
            continue;
        MString name;
        MDagPath path;
        if (node.hasFn(MFn::kDagNode) && candidates.getDagPath(i, path) == MS::kSuccess)
            name = longNames ? path.fullPathName() : path.partialPathName();
        else
            name = SceneNames::nodeName(node, longNames);
        if (seen.insert(name.asChar()).second)
            result.append(name);
    }
    setResult(result);
    return MS::kSuccess;
}

} // namespace host
