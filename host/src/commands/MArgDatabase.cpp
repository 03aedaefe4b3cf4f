#include <maya/MArgDatabase.h>

#include "commands/ParsedArgs.h"

#include <maya/MSelectionList.h>

MArgDatabase::MArgDatabase() = default;

MArgDatabase::MArgDatabase(const MSyntax& syntax, const MArgList& argList, MStatus* ReturnStatus)
    : MArgParser(syntax, argList, ReturnStatus)
{
}

MArgDatabase::MArgDatabase(const MArgDatabase& other) = default;

MArgDatabase& MArgDatabase::operator=(const MArgDatabase& other) = default;

MArgDatabase::~MArgDatabase() = default;

namespace {

// Resolves an object name argument; fails when nothing matches.
MStatus addByName(const host::Argument* arg, MSelectionList& result)
{
    if (!arg)
        return MS::kInvalidParameter;
    return result.add(arg->toString());
}

} // namespace

MStatus MArgDatabase::getFlagArgument(const char* flag, unsigned int index, MSelectionList& result) const
{
    return addByName(fParsed->flagArgument(flag, index), result);
}

MStatus MArgDatabase::getCommandArgument(unsigned int index, MSelectionList& result) const
{
    return addByName(fParsed->commandArgument(index), result);
}

MStatus MArgDatabase::getObjects(MSelectionList& result) const
{
    if (fParsed->syntax.objectFormat == MSyntax::kSelectionList) {
        result = fParsed->selection;
        return MS::kSuccess;
    }
    // String objects: resolve them now.
    result.clear();
    for (unsigned int i = 0; i < fParsed->objects.length(); ++i) {
        MStatus status = result.add(fParsed->objects[i]);
        if (!status)
            return status;
    }
    return MS::kSuccess;
}
