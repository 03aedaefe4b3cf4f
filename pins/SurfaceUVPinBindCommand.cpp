#include "pins/SurfaceUVPinBindCommand.h"

#include "plugin/StatusCheck.h"

#include <maya/MArgDatabase.h>

namespace {
const char* const kStatusSource = "surfaceUVPin";
} // namespace

const MString SurfaceUVPinBindCommand::commandName("surfaceUVPinBind");

SurfaceUVPinBindCommand::SurfaceUVPinBindCommand() = default;
SurfaceUVPinBindCommand::~SurfaceUVPinBindCommand() = default;

void* SurfaceUVPinBindCommand::creator()
{
    return new SurfaceUVPinBindCommand();
}

MSyntax SurfaceUVPinBindCommand::newSyntax()
{
    MSyntax syntax;
    PELLIX_REPORT(syntax.addFlag("-n", "-node", MSyntax::kString));
    PELLIX_REPORT(syntax.addFlag("-mo", "-maintainOffset"));
    PELLIX_REPORT(syntax.addFlag("-iv", "-inverse", MSyntax::kBoolean));
    // The mesh, then the controls, by name; the active selection when none are named.
    PELLIX_REPORT(syntax.setObjectType(MSyntax::kStringObjects));
    syntax.enableQuery(false);
    syntax.enableEdit(false);
    return syntax;
}

MStatus SurfaceUVPinBindCommand::doIt(const MArgList& args)
{
    MStatus status;
    MArgDatabase parsed(syntax(), args, &status);
    PELLIX_CHECK(status);

    // The command's work has not landed yet: it refuses rather than pretend to succeed.
    displayError("surfaceUVPinBind: UV pinning is not available in this build yet");
    return MS::kFailure;
}
