#include "vertexWrap/VertexWrapCommand.h"

#include "plugin/StatusCheck.h"

#include <maya/MArgDatabase.h>

namespace {
const char* const kStatusSource = "vertexWrapCommand";
} // namespace

const MString VertexWrapCommand::commandName("vertexWrap");

VertexWrapCommand::VertexWrapCommand() = default;
VertexWrapCommand::~VertexWrapCommand() = default;

void* VertexWrapCommand::creator()
{
    return new VertexWrapCommand();
}

MSyntax VertexWrapCommand::newSyntax()
{
    MSyntax syntax;
    PELLIX_REPORT(syntax.addFlag("-n", "-name", MSyntax::kString));
    // The driver, then the targets; the active selection when none are named.
    PELLIX_REPORT(syntax.setObjectType(MSyntax::kSelectionList, 2, 100));
    syntax.useSelectionAsDefault(true);
    syntax.enableQuery(false);
    syntax.enableEdit(false);
    return syntax;
}

MStatus VertexWrapCommand::doIt(const MArgList& args)
{
    MStatus status;
    MArgDatabase parsed(syntax(), args, &status);
    PELLIX_CHECK(status);

    // The command's work has not landed yet: it refuses rather than pretend to succeed.
    displayError("vertexWrap: wrapping is not available in this build yet");
    return MS::kFailure;
}
