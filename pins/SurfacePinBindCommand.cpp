#include "pins/SurfacePinBindCommand.h"

#include "plugin/StatusCheck.h"

#include <maya/MArgDatabase.h>

namespace {
const char* const kStatusSource = "surfacePinCommand";
} // namespace

const MString SurfacePinBindCommand::commandName("surfacePinBind");

SurfacePinBindCommand::SurfacePinBindCommand() = default;
SurfacePinBindCommand::~SurfacePinBindCommand() = default;

void* SurfacePinBindCommand::creator()
{
    return new SurfacePinBindCommand();
}

MSyntax SurfacePinBindCommand::newSyntax()
{
    MSyntax syntax;
    PELLIX_REPORT(syntax.addFlag("-n", "-node", MSyntax::kString));
    PELLIX_REPORT(syntax.addFlag("-mo", "-maintainOffset"));
    PELLIX_REPORT(syntax.addFlag("-iv", "-inverse", MSyntax::kBoolean));
    PELLIX_REPORT(syntax.addFlag("-c", "-connect", MSyntax::kString));
    PELLIX_REPORT(syntax.addFlag("-to", "-translateOnly", MSyntax::kBoolean));
    // The mesh, then the controls, by name; the active selection when none are named.
    PELLIX_REPORT(syntax.setObjectType(MSyntax::kStringObjects));
    syntax.enableQuery(false);
    syntax.enableEdit(false);
    return syntax;
}

MStatus SurfacePinBindCommand::doIt(const MArgList& args)
{
    MStatus status;
    MArgDatabase parsed(syntax(), args, &status);
    PELLIX_CHECK(status);

    // The command's work has not landed yet: it refuses rather than pretend to succeed.
    displayError("surfacePinBind: pinning is not available in this build yet");
    return MS::kFailure;
}
