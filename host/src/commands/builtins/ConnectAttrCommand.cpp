#include "commands/builtins/ConnectAttrCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/SceneNames.h"
#include "commands/scene/KeptSceneData.h"
#include "dg/Graph.h"
#include "dg/Node.h"

#include <maya/MGlobal.h>
#include <maya/MPlugArray.h>

namespace host {

namespace {

const CommandFlags::Definition kFlags[] = {
    {"-f", "-force", CommandFlags::kOptionalBool},
    {"-na", "-nextAvailable", CommandFlags::kOptionalBool},
    {"-l", "-lock", CommandFlags::kOptionalBool},
    {"-rd", "-referenceDest", CommandFlags::kOneArg},
};

// The first element of an array plug with no incoming connection.
MPlug nextAvailable(const MPlug& array)
{
    unsigned index = 0;
    for (;; ++index) {
        MPlug element = array.elementByLogicalIndex(index);
        if (!element.isDestination())
            return element;
    }
}

// The per-instance outputs of DAG nodes, one element per instance.
bool isPerInstanceOutput(const MPlug& plug)
{
    const MString& name = PlugAccess::attribute(plug)->name;
    for (const char* perInstance : {"worldMesh", "worldSpace", "worldMatrix", "worldInverseMatrix", "parentMatrix",
                                    "parentInverseMatrix", "instObjGroups"})
        if (name == perInstance)
            return true;
    return false;
}

} // namespace

MStatus ConnectAttrCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("connectAttr", args, kFlags);
    if (!status)
        return status;
    if (flags.objects().size() != 2) {
        MGlobal::displayError("connectAttr: expects a source and a destination attribute.");
        return MS::kInvalidParameter;
    }
    // A scene file's connection to an attribute a node does not have is kept for saving.
    if (KeptSceneData::keepConnectAttr(args, flags.objects()[0], flags.objects()[1]))
        return MS::kSuccess;
    MPlug source, destination;
    status = SceneNames::findPlug("connectAttr", flags.objects()[0], source);
    if (!status)
        return status;
    status = SceneNames::findPlug("connectAttr", flags.objects()[1], destination);
    if (!status)
        return status;
    if (flags.boolValue("-na", false)) {
        if (!destination.isArray()) {
            MGlobal::displayError(MString("connectAttr: ") + SceneNames::plugName(destination) +
                                  " is not an array attribute: -nextAvailable needs one.");
            return MS::kInvalidParameter;
        }
        destination = nextAvailable(destination);
    }
    // "shape.worldMesh" or "shape.iog" into a single plug means the first instance's, as Maya reads it.
    if (source.isArray() && !destination.isArray() && isPerInstanceOutput(source))
        source = source.elementByLogicalIndex(0);
    const MString sourceName = SceneNames::plugName(source, true);
    const MString destinationName = SceneNames::plugName(destination, true);
    if (!connectionTypesMatch(source, destination)) {
        if (KeptSceneData::keepConnectAttr(args, flags.objects()[0], flags.objects()[1], true)) {
            MGlobal::displayWarning(MString("connectAttr: cannot connect ") + sourceName + " to " + destinationName +
                                    "; the connection is kept for saving.");
            return MS::kSuccess;
        }
        MGlobal::displayError(MString("connectAttr: Connection not made: '") + sourceName + "' -> '" + destinationName +
                              "'. Data types of source and destination are not compatible.");
        return MS::kInvalidParameter;
    }
    MPlug current = destination.source();
    if (!current.isNull()) {
        if (current == source) {
            MGlobal::displayWarning(MString("connectAttr: ") + sourceName + " is already connected to " +
                                    destinationName + ".");
            return MS::kSuccess;
        }
        if (!flags.boolValue("-f", false)) {
            MGlobal::displayError(MString("connectAttr: ") + destinationName + " already has an incoming connection from " +
                                  SceneNames::plugName(current, true) + ".");
            return MS::kFailure;
        }
        status = mModifier.disconnect(current, destination);
        if (!status)
            return status;
    }
    status = mModifier.connect(source, destination);
    if (!status && KeptSceneData::keepConnectAttr(args, flags.objects()[0], flags.objects()[1], true)) {
        // A scene file's connection the host cannot make is still written back.
        MGlobal::displayWarning(MString("connectAttr: cannot connect ") + sourceName + " to " + destinationName +
                                "; the connection is kept for saving.");
        return MS::kSuccess;
    }
    if (!status) {
        MGlobal::displayError(MString("connectAttr: cannot connect ") + sourceName + " to " + destinationName + ".");
        return status;
    }
    status = execute("connectAttr", MString("cannot connect ") + sourceName + " to " + destinationName + ".");
    if (!status)
        return status;
    setResult(MString("Connected ") + sourceName + " to " + destinationName + ".");
    return MS::kSuccess;
}

} // namespace host
