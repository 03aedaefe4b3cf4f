#ifndef MAYA_MARGDATABASE_H
#define MAYA_MARGDATABASE_H

#include <maya/MApiNamespace.h>
#include <maya/MArgParser.h>
#include <maya/MStatus.h>

class MSelectionList;

// An argument parser that also resolves object names to a selection list.
class MArgDatabase : public MArgParser
{
public:
    MArgDatabase();
    MArgDatabase(const MSyntax& syntax, const MArgList& argList, MStatus* ReturnStatus = NULL);
    MArgDatabase(const MArgDatabase& other);
    MArgDatabase& operator=(const MArgDatabase& other);
    ~MArgDatabase() override;

    using MArgParser::getFlagArgument;
    using MArgParser::getCommandArgument;
    using MArgParser::getObjects;

    MStatus getFlagArgument(const char* flag, unsigned int index, MSelectionList& result) const;
    MStatus getCommandArgument(unsigned int index, MSelectionList& result) const;
    MStatus getObjects(MSelectionList& result) const;
};

#endif
