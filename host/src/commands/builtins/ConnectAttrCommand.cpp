#include "commands/builtins/ConnectAttrCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/SceneNames.h"

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
    const MString sourceName = SceneNames::plugName(source, true);
    const MString destinationName = SceneNames::plugName(destination, true);
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
