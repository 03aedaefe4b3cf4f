#include "commands/builtins/SelectCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/SceneNames.h"
#include "commands/scene/DefaultNodes.h"
#include "dg/Node.h"
#include "dg/Scene.h"
#include "views/StartupCameras.h"

#include <maya/MDagPath.h>
#include <maya/MFnDagNode.h>
#include <maya/MGlobal.h>
#include <maya/MItDag.h>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {
    {"-r", "-replace", CommandFlags::kOptionalBool},
    {"-add", "-add", CommandFlags::kOptionalBool},
    {"-af", "-addFirst", CommandFlags::kOptionalBool},
    {"-d", "-deselect", CommandFlags::kOptionalBool},
    {"-tgl", "-toggle", CommandFlags::kOptionalBool},
    {"-cl", "-clear", CommandFlags::kOptionalBool},
    {"-ne", "-noExpand", CommandFlags::kOptionalBool},
    {"-all", "-all", CommandFlags::kNoArg},
    {"-ado", "-allDagObjects", CommandFlags::kNoArg},
    {"-adn", "-allDependencyNodes", CommandFlags::kNoArg},
    {"-hi", "-hierarchy", CommandFlags::kOptionalBool},
    {"-vis", "-visible", CommandFlags::kOptionalBool},
};

// What a user could delete: not locked, not one of the nodes every scene has.
bool deletable(Node* node)
{
    const MObject object = node->object();
    return !node->locked && !DefaultNodes::isDefault(node) && !isStartupCameraNode(object);
}

// -all, -allDagObjects, -allDependencyNodes: the deletable root DAG objects, then (for -all)
// the deletable nodes outside the DAG; or every node.
void addEverything(bool dagRoots, bool dependencyNodes, bool undeletableToo, MSelectionList& items)
{
    for (Node* node : sceneNodes()) {
        if (!undeletableToo && !deletable(node))
            continue;
        const bool root = node->isDag && node->parents.empty();
        if ((node->isDag && dagRoots && root) || (!node->isDag && dependencyNodes) || undeletableToo) {
            if (node->isDag) {
                MDagPath path;
                if (MDagPath::getAPathTo(node->object(), path))
                    items.add(path);
            } else {
                items.add(node->object());
            }
        }
    }
}

// -hierarchy: each DAG object is followed by everything below it.
MSelectionList withDescendants(const MSelectionList& items)
{
    MSelectionList result;
    for (unsigned i = 0; i < items.length(); ++i) {
        MDagPath path;
        if (!items.getDagPath(i, path)) {
            MObject node;
            if (items.getDependNode(i, node))
                result.add(node);
            continue;
        }
        MItDag below;
        below.reset(path, MItDag::kDepthFirst);
        for (; !below.isDone(); below.next()) {
            MDagPath descendant;
            if (below.getPath(descendant))
                result.add(descendant, MObject::kNullObj, true);
        }
    }
    return result;
}

// -visible: DAG objects drawn in the views; other nodes stay.
MSelectionList onlyVisible(const MSelectionList& items)
{
    MSelectionList result;
    for (unsigned i = 0; i < items.length(); ++i) {
        MDagPath path;
        if (items.getDagPath(i, path)) {
            if (path.isVisible())
                result.add(path);
            continue;
        }
        MObject node;
        if (items.getDependNode(i, node))
            result.add(node);
    }
    return result;
}
}

MStatus SelectCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("select", args, kFlags);
    if (!status)
        return status;
    status = MGlobal::getActiveSelectionList(mBefore);
    if (!status)
        return status;
    MSelectionList items;
    for (const MString& name : flags.objects()) {
        status = SceneNames::addMatches("select", name, items);
        if (!status) {
            // Scene files set attributes on what "select -ne" picks: after a failed
            // one they must not land on the node selected before.
            if (flags.boolValue("-ne", false))
                CHECK_MSTATUS(MGlobal::clearSelectionList());
            return status;
        }
    }
    if (flags.isSet("-all") || flags.isSet("-ado") || flags.isSet("-adn"))
        addEverything(true, flags.isSet("-all"), flags.isSet("-adn"), items);
    if (flags.boolValue("-hi", false))
        items = withDescendants(items);
    if (flags.boolValue("-vis", false))
        items = onlyVisible(items);
    MGlobal::ListAdjustment adjustment = MGlobal::kReplaceList;
    if (flags.boolValue("-add", false))
        adjustment = MGlobal::kAddToList;
    else if (flags.boolValue("-af", false))
        adjustment = MGlobal::kAddToHeadOfList;
    else if (flags.boolValue("-d", false))
        adjustment = MGlobal::kRemoveFromList;
    else if (flags.boolValue("-tgl", false))
        adjustment = MGlobal::kXORWithList;
    if (flags.boolValue("-cl", false)) {
        items.clear();
        adjustment = MGlobal::kReplaceList;
    }
    status = MGlobal::setActiveSelectionList(items, adjustment);
    if (!status) {
        MGlobal::displayError("select: cannot change the selection.");
        return status;
    }
    return MGlobal::getActiveSelectionList(mAfter);
}

MStatus SelectCommand::undoIt()
{
    return MGlobal::setActiveSelectionList(mBefore);
}

MStatus SelectCommand::redoIt()
{
    return MGlobal::setActiveSelectionList(mAfter);
}

} // namespace host
