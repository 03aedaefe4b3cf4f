#include "commands/builtins/RelationshipCommand.h"

#include "commands/scene/SceneRecords.h"

#include <maya/MGlobal.h>

namespace host {

MStatus RelationshipCommand::doIt(const MArgList& args)
{
    // "relationship <kind> <linker> <object> <light>..."
    if (args.length() < 2) {
        MGlobal::displayError("relationship: expects a relationship kind and the node it belongs to.");
        return MS::kInvalidParameter;
    }
    SceneRecords::keepRelationship(SceneRecords::statementText("relationship", args));
    return MS::kSuccess;
}

} // namespace host
