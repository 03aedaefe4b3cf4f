#ifndef MAYA_MARGPARSER_H
#define MAYA_MARGPARSER_H

#include <maya/MApiNamespace.h>
#include <maya/MStatus.h>

#include <memory>

class MAngle;
class MArgList;
class MDistance;
class MStringArray;
class MSyntax;
class MTime;

namespace host { struct ParsedArgs; struct ParsedArgsAccess; }

// Parses an argument list against a syntax. Flags may be named by their
// short or long name in every query.
class MArgParser
{
public:
    MArgParser();
    MArgParser(const MSyntax& syntax, const MArgList& argList, MStatus* ReturnStatus = NULL);
    MArgParser(const MArgParser& other);
    MArgParser& operator=(const MArgParser& other);
    virtual ~MArgParser();

    bool isFlagSet(const char* flag, MStatus* ReturnStatus = NULL) const;
    bool isEdit(MStatus* ReturnStatus = NULL) const;
    bool isQuery(MStatus* ReturnStatus = NULL) const;
    unsigned int numberOfFlagUses(const char* flag) const;
    unsigned int numberOfFlagsUsed() const;

    MStatus getFlagArgument(const char* flag, unsigned int index, bool& result) const;
    MStatus getFlagArgument(const char* flag, unsigned int index, int& result) const;
    MStatus getFlagArgument(const char* flag, unsigned int index, unsigned int& result) const;
    MStatus getFlagArgument(const char* flag, unsigned int index, double& result) const;
    MStatus getFlagArgument(const char* flag, unsigned int index, MString& result) const;
    MStatus getFlagArgument(const char* flag, unsigned int index, MDistance& result) const;
    MStatus getFlagArgument(const char* flag, unsigned int index, MAngle& result) const;
    MStatus getFlagArgument(const char* flag, unsigned int index, MTime& result) const;

    bool flagArgumentBool(const char* flag, unsigned int index, MStatus* ReturnStatus = NULL) const;
    int flagArgumentInt(const char* flag, unsigned int index, MStatus* ReturnStatus = NULL) const;
    double flagArgumentDouble(const char* flag, unsigned int index, MStatus* ReturnStatus = NULL) const;
    MString flagArgumentString(const char* flag, unsigned int index, MStatus* ReturnStatus = NULL) const;
    MDistance flagArgumentMDistance(const char* flag, unsigned int index, MStatus* ReturnStatus = NULL) const;
    MAngle flagArgumentMAngle(const char* flag, unsigned int index, MStatus* ReturnStatus = NULL) const;
    MTime flagArgumentMTime(const char* flag, unsigned int index, MStatus* ReturnStatus = NULL) const;

    MStatus getFlagArgumentPosition(const char* flag, unsigned int i, unsigned int& position) const;
    MStatus getFlagArgumentList(const char* flag, unsigned int i, MArgList& args) const;

    MStatus getCommandArgument(unsigned int index, bool& result) const;
    MStatus getCommandArgument(unsigned int index, int& result) const;
    MStatus getCommandArgument(unsigned int index, double& result) const;
    MStatus getCommandArgument(unsigned int index, MString& result) const;
    MStatus getCommandArgument(unsigned int index, MDistance& result) const;
    MStatus getCommandArgument(unsigned int index, MAngle& result) const;
    MStatus getCommandArgument(unsigned int index, MTime& result) const;

    bool commandArgumentBool(unsigned int index, MStatus* ReturnStatus = NULL) const;
    int commandArgumentInt(unsigned int index, MStatus* ReturnStatus = NULL) const;
    double commandArgumentDouble(unsigned int index, MStatus* ReturnStatus = NULL) const;
    MString commandArgumentString(unsigned int index, MStatus* ReturnStatus = NULL) const;

    MStatus getObjects(MStringArray& result) const;

protected:
    friend struct host::ParsedArgsAccess;
    std::unique_ptr<host::ParsedArgs> fParsed;
};

#endif
