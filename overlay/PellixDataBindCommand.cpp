#include "overlay/PellixDataBindCommand.h"

#include "plugin/StatusCheck.h"

#include <maya/MArgDatabase.h>

namespace {
const char* const kStatusSource = "pellixDataBindCommand";
} // namespace

const MString PellixDataBindCommand::commandName("pellixDataBind");

PellixDataBindCommand::PellixDataBindCommand() = default;
PellixDataBindCommand::~PellixDataBindCommand() = default;

void* PellixDataBindCommand::creator()
{
    return new PellixDataBindCommand();
}

MSyntax PellixDataBindCommand::newSyntax()
{
    MSyntax syntax;
    PELLIX_REPORT(syntax.addFlag("-n", "-name", MSyntax::kString));
    PELLIX_REPORT(syntax.addFlag("-hp", "-hidePatches", MSyntax::kBoolean));
    PELLIX_REPORT(syntax.addFlag("-bt", "-bindTolerance", MSyntax::kDouble));
    PELLIX_REPORT(syntax.addFlag("-pr", "-partialRebind", MSyntax::kBoolean));
    // The driver, then the patches; the active selection when none are named.
    PELLIX_REPORT(syntax.setObjectType(MSyntax::kSelectionList, 2, 1000));
    syntax.useSelectionAsDefault(true);
    syntax.enableQuery(false);
    syntax.enableEdit(false);
    return syntax;
}

MStatus PellixDataBindCommand::doIt(const MArgList& args)
{
    MStatus status;
    MArgDatabase parsed(syntax(), args, &status);
    PELLIX_CHECK(status);

    // The command's work has not landed yet: it refuses rather than pretend to succeed.
    displayError("pellixDataBind: binding is not available in this build yet");
    return MS::kFailure;
}
