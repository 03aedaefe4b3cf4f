#include "dag/DisplayLayerCommands.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/SceneNames.h"
#include "dag/Dag.h"
#include "dag/DagAttributes.h"
#include "dag/DisplayLayerNode.h"
#include "dg/Scene.h"

#include <maya/MDagPath.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MItDependencyNodes.h>
#include <maya/MPlugArray.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

#include <algorithm>

namespace host {

namespace {

void addWithDescendants(const MObject& node, bool recurse, std::vector<MObject>& members)
{
    if (std::find(members.begin(), members.end(), node) != members.end())
        return;
    members.push_back(node);
    if (!recurse)
        return;
    MFnDagNode fn(node);
    for (unsigned i = 0; i < fn.childCount(); ++i)
        addWithDescendants(fn.child(i), true, members);
}

// The DAG nodes named (or selected when `names` is empty), with their
// descendants when `recurse`; anything else is left out with a warning.
MStatus gatherMembers(const char* command, const std::vector<MString>& names, bool useSelection, bool recurse,
                      std::vector<MObject>& members)
{
    MSelectionList list;
    if (names.empty() && useSelection) {
        DAG_CHECK(MGlobal::getActiveSelectionList(list));
    }
    for (const MString& name : names)
        DAG_CHECK(SceneNames::addMatches(command, name, list));
    for (unsigned i = 0; i < list.length(); ++i) {
        MObject node;
        if (!list.getDependNode(i, node))
            continue;
        if (!node.hasFn(MFn::kDagNode)) {
            MGlobal::displayWarning("Only DAG objects can be in a display layer.  '" +
                                    SceneNames::nodeName(node) + "' ignored.");
            continue;
        }
        addWithDescendants(node, recurse, members);
    }
    return MS::kSuccess;
}

// Queues every number below a compound plug at the value it has now.
MStatus rewriteLeaves(MDagModifier& modifier, const MPlug& plug)
{
    if (plug.isCompound()) {
        for (unsigned i = 0; i < plug.numChildren(); ++i)
            DAG_CHECK(rewriteLeaves(modifier, plug.child(i)));
        return MS::kSuccess;
    }
    return modifier.newPlugValueDouble(plug, plug.asDouble());
}

// Moves a node into the layer: a node is in one layer at most, so a
// connection from another layer is replaced.
MStatus queueMembership(MDagModifier& modifier, const MObject& layer, const MObject& member, bool& added)
{
    MPlug source(layer, DisplayLayerNode::drawInfo);
    MPlug destination(member, DagAttributes::drawOverride);
    MPlugArray sources;
    added = true;
    if (destination.connectedTo(sources, true, false) && sources.length() > 0) {
        if (sources[0] == source) {
            added = false;
            return MS::kSuccess;
        }
        DAG_CHECK(modifier.disconnect(sources[0], destination));
    }
    // Rewriting the member's own settings first means undo puts them back
    // once the layer lets go of them.
    DAG_CHECK(rewriteLeaves(modifier, destination));
    return modifier.connect(source, destination);
}

MStatus fail(const char* command, const MString& message)
{
    MGlobal::displayError(MString(command) + ": " + message);
    return MS::kInvalidParameter;
}

const CommandFlags::Definition kCreateFlags[] = {
    {"-n", "-name", CommandFlags::kOneArg},
    {"-e", "-empty", CommandFlags::kOptionalBool},
    {"-nr", "-noRecurse", CommandFlags::kOptionalBool},
    {"-num", "-number", CommandFlags::kOneArg},
    {"-mc", "-makeCurrent", CommandFlags::kOptionalBool},
};

const CommandFlags::Definition kEditFlags[] = {
    {"-q", "-query", CommandFlags::kOptionalBool},
    {"-fn", "-fullNames", CommandFlags::kOptionalBool},
    {"-nr", "-noRecurse", CommandFlags::kOptionalBool},
};

// The next layer number after those in use.
int nextLayerNumber()
{
    int highest = 0;
    for (MItDependencyNodes it; !it.isDone(); it.next()) {
        MFnDependencyNode fn(it.thisNode());
        if (fn.typeName() == DisplayLayerNode::typeName)
            highest = std::max(highest, MPlug(it.thisNode(), DisplayLayerNode::identification).asInt());
    }
    return highest + 1;
}

} // namespace

MStatus CreateDisplayLayerCommand::doIt(const MArgList& args)
{
    const char* command = "createDisplayLayer";
    CommandFlags flags;
    DAG_CHECK(flags.parse(command, args, kCreateFlags));
    const MString name = flags.arg("-n");
    if (flags.isSet("-n") && !isValidNodeName(name))
        return fail(command, "\"" + name + "\" is not a valid node name.");
    double number = 0;
    if (flags.isSet("-num")) {
        DAG_CHECK(flags.doubleValue("-num", number));
        if (!(number >= 1 && number <= 32767 && number == double(int(number))))
            return fail(command, "-number must be a whole number from 1 to 32767, got " + flags.arg("-num") + ".");
    }
    std::vector<MObject> members;
    if (!flags.boolValue("-e", false))
        DAG_CHECK(gatherMembers(command, flags.objects(), true, !flags.boolValue("-nr", false), members));

    MStatus status;
    MObject layer = mModifier.MDGModifier::createNode(MString(DisplayLayerNode::typeName), &status);
    DAG_CHECK(status);
    DAG_CHECK(mModifier.renameNode(layer, name.length() ? name : MString("layer#")));
    const int id = number > 0 ? int(number) : nextLayerNumber();
    DAG_CHECK(mModifier.newPlugValueShort(MPlug(layer, DisplayLayerNode::identification), short(id)));
    for (const MObject& member : members) {
        bool added = false;
        DAG_CHECK(queueMembership(mModifier, layer, member, added));
    }
    DAG_CHECK(execute(command));
    setResult(SceneNames::nodeName(layer));
    return MS::kSuccess;
}

MStatus EditDisplayLayerMembersCommand::doIt(const MArgList& args)
{
    const char* command = "editDisplayLayerMembers";
    CommandFlags flags;
    DAG_CHECK(flags.parse(command, args, kEditFlags));
    mQuery = flags.boolValue("-q", false);
    if (flags.objects().empty())
        return fail(command, "give the display layer.");
    MObject layer;
    DAG_CHECK(SceneNames::findNode(command, flags.objects()[0], layer));
    if (MFnDependencyNode(layer).typeName() != DisplayLayerNode::typeName)
        return fail(command, "'" + flags.objects()[0] + "' is not a display layer.");

    if (mQuery) {
        MPlugArray destinations;
        MPlug(layer, DisplayLayerNode::drawInfo).connectedTo(destinations, false, true);
        MStringArray result;
        const bool full = flags.boolValue("-fn", false);
        for (unsigned i = 0; i < destinations.length(); ++i)
            if (destinations[i].attribute() == DagAttributes::drawOverride)
                result.append(SceneNames::nodeName(destinations[i].node(), full));
        setResult(result);
        return MS::kSuccess;
    }
    const std::vector<MString> names(flags.objects().begin() + 1, flags.objects().end());
    std::vector<MObject> members;
    DAG_CHECK(gatherMembers(command, names, false, !flags.boolValue("-nr", false), members));
    int count = 0;
    for (const MObject& member : members) {
        bool added = false;
        DAG_CHECK(queueMembership(mModifier, layer, member, added));
        count += added ? 1 : 0;
    }
    DAG_CHECK(execute(command));
    setResult(count);
    return MS::kSuccess;
}

} // namespace host
