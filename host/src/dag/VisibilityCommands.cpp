#include "dag/VisibilityCommands.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/SceneNames.h"
#include "dag/Dag.h"
#include "dag/DagAttributes.h"

#include <maya/MGlobal.h>
#include <maya/MItDependencyNodes.h>
#include <maya/MPlug.h>
#include <maya/MSelectionList.h>

namespace host {

namespace {

const CommandFlags::Definition kShowFlags[] = {
    {"-a", "-all", CommandFlags::kNoArg},
};

// Queues the visibility of each object of the list; every one must be a DAG object.
MStatus queueVisibility(const char* command, const MSelectionList& objects, bool visible, MDGModifier& modifier)
{
    if (objects.length() == 0) {
        MGlobal::displayError(MString(command) + ": name or select the objects to " + (visible ? "show." : "hide."));
        return MS::kInvalidParameter;
    }
    for (unsigned i = 0; i < objects.length(); ++i) {
        MObject node;
        DAG_CHECK(objects.getDependNode(i, node));
        if (!node.hasFn(MFn::kDagNode)) {
            MGlobal::displayError(MString(command) + ": " + SceneNames::nodeName(node) + " is not a DAG object.");
            return MS::kInvalidParameter;
        }
        DAG_CHECK(modifier.newPlugValueBool(MPlug(node, DagAttributes::visibility), visible));
    }
    return MS::kSuccess;
}

} // namespace

MStatus HideCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    DAG_CHECK(flags.parse("hide", args, kShowFlags, 0));
    MSelectionList objects;
    DAG_CHECK(SceneNames::namedOrSelected("hide", flags.objects(), objects));
    DAG_CHECK(queueVisibility("hide", objects, false, mModifier));
    return execute("hide");
}

MStatus ShowHiddenCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    DAG_CHECK(flags.parse("showHidden", args, kShowFlags));
    MSelectionList objects;
    if (flags.isSet("-a")) {
        for (MItDependencyNodes it(MFn::kDagNode); !it.isDone(); it.next())
            if (!MPlug(it.thisNode(), DagAttributes::visibility).asBool())
                DAG_CHECK(objects.add(it.thisNode()));
        if (objects.length() == 0)
            return MS::kSuccess;
    } else {
        DAG_CHECK(SceneNames::namedOrSelected("showHidden", flags.objects(), objects));
    }
    DAG_CHECK(queueVisibility("showHidden", objects, true, mModifier));
    return execute("showHidden");
}

} // namespace host
