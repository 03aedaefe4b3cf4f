#include <maya/MArgParser.h>

#include "commands/CommandExecution.h"
#include "commands/ParsedArgs.h"

#include <maya/MAngle.h>
#include <maya/MArgList.h>
#include <maya/MDistance.h>
#include <maya/MGlobal.h>
#include <maya/MStringArray.h>
#include <maya/MSyntax.h>
#include <maya/MTime.h>

#include <limits>

using host::Argument;

namespace {

void setStatus(MStatus* ReturnStatus, MStatus status)
{
    if (ReturnStatus)
        *ReturnStatus = status;
}

MStatus readInt(const Argument* arg, int& result)
{
    int64_t value = 0;
    if (!arg || !arg->toInt(value) || value < std::numeric_limits<int>::min() ||
        value > std::numeric_limits<int>::max())
        return MS::kInvalidParameter;
    result = static_cast<int>(value);
    return MS::kSuccess;
}

MStatus readUnsigned(const Argument* arg, unsigned int& result)
{
    int64_t value = 0;
    if (!arg || !arg->toInt(value) || value < 0 || value > std::numeric_limits<unsigned int>::max())
        return MS::kInvalidParameter;
    result = static_cast<unsigned int>(value);
    return MS::kSuccess;
}

MStatus readBool(const Argument* arg, bool& result)
{
    return arg && arg->toBool(result) ? MS::kSuccess : MS::kInvalidParameter;
}

MStatus readDouble(const Argument* arg, double& result)
{
    return arg && arg->toDouble(result) ? MS::kSuccess : MS::kInvalidParameter;
}

MStatus readString(const Argument* arg, MString& result)
{
    if (!arg)
        return MS::kInvalidParameter;
    result = arg->toString();
    return MS::kSuccess;
}

// Distances, angles and times on the command line are in UI units.
MStatus readDistance(const Argument* arg, MDistance& result)
{
    double value = 0.0;
    MStatus status = readDouble(arg, value);
    if (status)
        result = MDistance(value, MDistance::uiUnit());
    return status;
}

MStatus readAngle(const Argument* arg, MAngle& result)
{
    double value = 0.0;
    MStatus status = readDouble(arg, value);
    if (status)
        result = MAngle(value, MAngle::uiUnit());
    return status;
}

MStatus readTime(const Argument* arg, MTime& result)
{
    double value = 0.0;
    MStatus status = readDouble(arg, value);
    if (status)
        result = MTime(value, MTime::uiUnit());
    return status;
}

template <typename T>
T valueOrDefault(MStatus (*read)(const Argument*, T&), const Argument* arg, MStatus* ReturnStatus)
{
    T value{};
    MStatus status = read(arg, value);
    setStatus(ReturnStatus, status);
    return status ? value : T{};
}

} // namespace

MArgParser::MArgParser() : fParsed(new host::ParsedArgs) {}

MArgParser::MArgParser(const MSyntax& syntax, const MArgList& argList, MStatus* ReturnStatus)
    : fParsed(new host::ParsedArgs)
{
    MString error;
    MStatus status = fParsed->parse(host::SyntaxAccess::data(syntax), host::ArgListAccess::args(argList), error);
    if (!status) {
        // Report here so that a command which simply returns the status
        // still tells the user what was wrong.
        MGlobal::displayError(host::commandMessage(error));
        *fParsed = host::ParsedArgs();
    }
    setStatus(ReturnStatus, status);
}

MArgParser::MArgParser(const MArgParser& other) : fParsed(new host::ParsedArgs(*other.fParsed)) {}

MArgParser& MArgParser::operator=(const MArgParser& other)
{
    if (this != &other)
        *fParsed = *other.fParsed;
    return *this;
}

MArgParser::~MArgParser() = default;

bool MArgParser::isFlagSet(const char* flag, MStatus* ReturnStatus) const
{
    setStatus(ReturnStatus, MS::kSuccess);
    return numberOfFlagUses(flag) > 0;
}

bool MArgParser::isEdit(MStatus* ReturnStatus) const
{
    setStatus(ReturnStatus, MS::kSuccess);
    return fParsed->edit;
}

bool MArgParser::isQuery(MStatus* ReturnStatus) const
{
    setStatus(ReturnStatus, MS::kSuccess);
    return fParsed->query;
}

unsigned int MArgParser::numberOfFlagUses(const char* flag) const
{
    int flagIndex = fParsed->syntax.findFlag(flag);
    unsigned int count = 0;
    for (const host::FlagUse& use : fParsed->uses)
        if (use.flag == flagIndex && flagIndex >= 0)
            ++count;
    return count;
}

unsigned int MArgParser::numberOfFlagsUsed() const
{
    return static_cast<unsigned int>(fParsed->uses.size());
}

MStatus MArgParser::getFlagArgument(const char* flag, unsigned int index, bool& result) const
{
    return readBool(fParsed->flagArgument(flag, index), result);
}

MStatus MArgParser::getFlagArgument(const char* flag, unsigned int index, int& result) const
{
    return readInt(fParsed->flagArgument(flag, index), result);
}

MStatus MArgParser::getFlagArgument(const char* flag, unsigned int index, unsigned int& result) const
{
    return readUnsigned(fParsed->flagArgument(flag, index), result);
}

MStatus MArgParser::getFlagArgument(const char* flag, unsigned int index, double& result) const
{
    return readDouble(fParsed->flagArgument(flag, index), result);
}

MStatus MArgParser::getFlagArgument(const char* flag, unsigned int index, MString& result) const
{
    return readString(fParsed->flagArgument(flag, index), result);
}

MStatus MArgParser::getFlagArgument(const char* flag, unsigned int index, MDistance& result) const
{
    return readDistance(fParsed->flagArgument(flag, index), result);
}

MStatus MArgParser::getFlagArgument(const char* flag, unsigned int index, MAngle& result) const
{
    return readAngle(fParsed->flagArgument(flag, index), result);
}

MStatus MArgParser::getFlagArgument(const char* flag, unsigned int index, MTime& result) const
{
    return readTime(fParsed->flagArgument(flag, index), result);
}

bool MArgParser::flagArgumentBool(const char* flag, unsigned int index, MStatus* ReturnStatus) const
{
    return valueOrDefault<bool>(readBool, fParsed->flagArgument(flag, index), ReturnStatus);
}

int MArgParser::flagArgumentInt(const char* flag, unsigned int index, MStatus* ReturnStatus) const
{
    return valueOrDefault<int>(readInt, fParsed->flagArgument(flag, index), ReturnStatus);
}

double MArgParser::flagArgumentDouble(const char* flag, unsigned int index, MStatus* ReturnStatus) const
{
    return valueOrDefault<double>(readDouble, fParsed->flagArgument(flag, index), ReturnStatus);
}

MString MArgParser::flagArgumentString(const char* flag, unsigned int index, MStatus* ReturnStatus) const
{
    return valueOrDefault<MString>(readString, fParsed->flagArgument(flag, index), ReturnStatus);
}

MDistance MArgParser::flagArgumentMDistance(const char* flag, unsigned int index, MStatus* ReturnStatus) const
{
    return valueOrDefault<MDistance>(readDistance, fParsed->flagArgument(flag, index), ReturnStatus);
}

MAngle MArgParser::flagArgumentMAngle(const char* flag, unsigned int index, MStatus* ReturnStatus) const
{
    return valueOrDefault<MAngle>(readAngle, fParsed->flagArgument(flag, index), ReturnStatus);
}

MTime MArgParser::flagArgumentMTime(const char* flag, unsigned int index, MStatus* ReturnStatus) const
{
    return valueOrDefault<MTime>(readTime, fParsed->flagArgument(flag, index), ReturnStatus);
}

MStatus MArgParser::getFlagArgumentPosition(const char* flag, unsigned int i, unsigned int& position) const
{
    int flagIndex = fParsed->syntax.findFlag(flag);
    unsigned int seen = 0;
    for (const host::FlagUse& use : fParsed->uses) {
        if (flagIndex < 0 || use.flag != flagIndex)
            continue;
        if (seen++ == i) {
            position = use.position;
            return MS::kSuccess;
        }
    }
    return MS::kFailure;
}

MStatus MArgParser::getFlagArgumentList(const char* flag, unsigned int i, MArgList& args) const
{
    int flagIndex = fParsed->syntax.findFlag(flag);
    unsigned int seen = 0;
    for (const host::FlagUse& use : fParsed->uses) {
        if (flagIndex < 0 || use.flag != flagIndex)
            continue;
        if (seen++ == i) {
            host::ArgListAccess::args(args) = use.args;
            return MS::kSuccess;
        }
    }
    return MS::kFailure;
}

MStatus MArgParser::getCommandArgument(unsigned int index, bool& result) const
{
    return readBool(fParsed->commandArgument(index), result);
}

MStatus MArgParser::getCommandArgument(unsigned int index, int& result) const
{
    return readInt(fParsed->commandArgument(index), result);
}

MStatus MArgParser::getCommandArgument(unsigned int index, double& result) const
{
    return readDouble(fParsed->commandArgument(index), result);
}

MStatus MArgParser::getCommandArgument(unsigned int index, MString& result) const
{
    return readString(fParsed->commandArgument(index), result);
}

MStatus MArgParser::getCommandArgument(unsigned int index, MDistance& result) const
{
    return readDistance(fParsed->commandArgument(index), result);
}

MStatus MArgParser::getCommandArgument(unsigned int index, MAngle& result) const
{
    return readAngle(fParsed->commandArgument(index), result);
}

MStatus MArgParser::getCommandArgument(unsigned int index, MTime& result) const
{
    return readTime(fParsed->commandArgument(index), result);
}

bool MArgParser::commandArgumentBool(unsigned int index, MStatus* ReturnStatus) const
{
    return valueOrDefault<bool>(readBool, fParsed->commandArgument(index), ReturnStatus);
}

int MArgParser::commandArgumentInt(unsigned int index, MStatus* ReturnStatus) const
{
    return valueOrDefault<int>(readInt, fParsed->commandArgument(index), ReturnStatus);
}

double MArgParser::commandArgumentDouble(unsigned int index, MStatus* ReturnStatus) const
{
    return valueOrDefault<double>(readDouble, fParsed->commandArgument(index), ReturnStatus);
}

MString MArgParser::commandArgumentString(unsigned int index, MStatus* ReturnStatus) const
{
    return valueOrDefault<MString>(readString, fParsed->commandArgument(index), ReturnStatus);
}

MStatus MArgParser::getObjects(MStringArray& result) const
{
    result = fParsed->objects;
    return MS::kSuccess;
}
