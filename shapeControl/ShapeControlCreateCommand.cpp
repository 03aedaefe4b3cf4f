#include "shapeControl/ShapeControlCreateCommand.h"

#include "plugin/StatusCheck.h"

#include <maya/MArgDatabase.h>

namespace {
const char* const kStatusSource = "shapeControlCreateCommand";
} // namespace

const MString ShapeControlCreateCommand::commandName("shapeControlCreate");

ShapeControlCreateCommand::ShapeControlCreateCommand() = default;
ShapeControlCreateCommand::~ShapeControlCreateCommand() = default;

void* ShapeControlCreateCommand::creator()
{
    return new ShapeControlCreateCommand();
}

MSyntax ShapeControlCreateCommand::newSyntax()
{
    MSyntax syntax;
    PELLIX_REPORT(syntax.addFlag("-n", "-name", MSyntax::kString));
    PELLIX_REPORT(syntax.addFlag("-l", "-live", MSyntax::kBoolean));
    // The sources come from the active selection only.
    syntax.enableQuery(false);
    syntax.enableEdit(false);
    return syntax;
}

MStatus ShapeControlCreateCommand::doIt(const MArgList& args)
{
    MStatus status;
    MArgDatabase parsed(syntax(), args, &status);
    PELLIX_CHECK(status);

    // The command's work has not landed yet: it refuses rather than pretend to succeed.
    displayError("shapeControlCreate: creating shape controls is not available in this build yet");
    return MS::kFailure;
}
