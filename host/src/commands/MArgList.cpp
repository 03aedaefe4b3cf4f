#include <maya/MArgList.h>

#include "commands/Argument.h"

#include <maya/MAngle.h>
#include <maya/MDistance.h>
#include <maya/MDoubleArray.h>
#include <maya/MIntArray.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MStringArray.h>
#include <maya/MTime.h>
#include <maya/MVector.h>

#include <limits>

using host::Argument;

const unsigned int MArgList::kInvalidArgIndex = std::numeric_limits<unsigned int>::max();

namespace {

void setStatus(MStatus* ReturnStatus, MStatus status)
{
    if (ReturnStatus)
        *ReturnStatus = status;
}

// The argument at `index` converted by `convert`, or kInvalidParameter.
template <typename T, typename Convert>
T convertAt(const std::vector<Argument>& args, unsigned int index, MStatus* ReturnStatus, Convert convert)
{
    T value{};
    if (index >= args.size() || !convert(args[index], value)) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return T{};
    }
    setStatus(ReturnStatus, MS::kSuccess);
    return value;
}

// Reads `count` doubles starting at `index`; advances `index` past them.
bool readDoubles(const std::vector<Argument>& args, unsigned int& index, unsigned int count, double* out)
{
    if (index > args.size() || args.size() - index < count)
        return false;
    for (unsigned int i = 0; i < count; ++i)
        if (!args[index + i].toDouble(out[i]))
            return false;
    index += count;
    return true;
}

// Arrays travel as their element count followed by the elements, the way
// addArg(MIntArray) and its kin write them.
bool readCount(const std::vector<Argument>& args, unsigned int index, unsigned int& count)
{
    int64_t value = 0;
    if (index >= args.size() || !args[index].toInt(value) || value < 0 ||
        static_cast<uint64_t>(value) > args.size() - index - 1)
        return false;
    count = static_cast<unsigned int>(value);
    return true;
}

} // namespace

MArgList::MArgList() : fData(new host::ArgListData) {}

MArgList::MArgList(const MArgList& other) : fData(new host::ArgListData(*other.fData)) {}

MArgList& MArgList::operator=(const MArgList& other)
{
    if (this != &other)
        *fData = *other.fData;
    return *this;
}

MArgList::~MArgList() = default;

unsigned int MArgList::length(MStatus* ReturnStatus) const
{
    setStatus(ReturnStatus, MS::kSuccess);
    return static_cast<unsigned int>(fData->args.size());
}

bool MArgList::asBool(unsigned int index, MStatus* ReturnStatus) const
{
    return convertAt<bool>(fData->args, index, ReturnStatus,
                           [](const Argument& a, bool& v) { return a.toBool(v); });
}

int MArgList::asInt(unsigned int index, MStatus* ReturnStatus) const
{
    return convertAt<int>(fData->args, index, ReturnStatus, [](const Argument& a, int& v) {
        int64_t wide = 0;
        if (!a.toInt(wide) || wide < std::numeric_limits<int>::min() || wide > std::numeric_limits<int>::max())
            return false;
        v = static_cast<int>(wide);
        return true;
    });
}

double MArgList::asDouble(unsigned int index, MStatus* ReturnStatus) const
{
    return convertAt<double>(fData->args, index, ReturnStatus,
                             [](const Argument& a, double& v) { return a.toDouble(v); });
}

MString MArgList::asString(unsigned int index, MStatus* ReturnStatus) const
{
    if (index >= fData->args.size()) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MString();
    }
    setStatus(ReturnStatus, MS::kSuccess);
    return fData->args[index].toString();
}

MDistance MArgList::asDistance(unsigned int index, MStatus* ReturnStatus) const
{
    return MDistance(asDouble(index, ReturnStatus), MDistance::uiUnit());
}

MAngle MArgList::asAngle(unsigned int index, MStatus* ReturnStatus) const
{
    return MAngle(asDouble(index, ReturnStatus), MAngle::uiUnit());
}

MTime MArgList::asTime(unsigned int index, MStatus* ReturnStatus) const
{
    return MTime(asDouble(index, ReturnStatus), MTime::uiUnit());
}

MVector MArgList::asVector(unsigned int& index, unsigned int numElements, MStatus* ReturnStatus) const
{
    double v[3] = {0.0, 0.0, 0.0};
    if (numElements > 3 || !readDoubles(fData->args, index, numElements, v)) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MVector();
    }
    setStatus(ReturnStatus, MS::kSuccess);
    return MVector(v[0], v[1], v[2]);
}

MPoint MArgList::asPoint(unsigned int& index, unsigned int numElements, MStatus* ReturnStatus) const
{
    double v[4] = {0.0, 0.0, 0.0, 1.0};
    if (numElements > 4 || !readDoubles(fData->args, index, numElements, v)) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MPoint();
    }
    setStatus(ReturnStatus, MS::kSuccess);
    return MPoint(v[0], v[1], v[2], v[3]);
}

MMatrix MArgList::asMatrix(unsigned int& index, MStatus* ReturnStatus) const
{
    double v[16];
    if (!readDoubles(fData->args, index, 16, v)) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return MMatrix();
    }
    double rows[4][4];
    for (int i = 0; i < 16; ++i)
        rows[i / 4][i % 4] = v[i];
    setStatus(ReturnStatus, MS::kSuccess);
    return MMatrix(rows);
}

MStringArray MArgList::asStringArray(unsigned int& index, MStatus* ReturnStatus) const
{
    MStringArray result;
    unsigned int count = 0;
    if (!readCount(fData->args, index, count)) {
        setStatus(ReturnStatus, MS::kInvalidParameter);
        return result;
    }
    for (unsigned int i = 0; i < count; ++i)
        result.append(fData->args[index + 1 + i].toString());
    index += count + 1;
    setStatus(ReturnStatus, MS::kSuccess);
    return result;
}

MIntArray MArgList::asIntArray(unsigned int& index, MStatus* ReturnStatus) const
{
    MIntArray result;
    unsigned int count = 0;
    if (readCount(fData->args, index, count)) {
        result.setLength(count);
        unsigned int i = 0;
        for (; i < count; ++i) {
            int64_t value = 0;
            if (!fData->args[index + 1 + i].toInt(value))
                break;
            result[i] = static_cast<int>(value);
        }
        if (i == count) {
            index += count + 1;
            setStatus(ReturnStatus, MS::kSuccess);
            return result;
        }
    }
    setStatus(ReturnStatus, MS::kInvalidParameter);
    return MIntArray();
}

MDoubleArray MArgList::asDoubleArray(unsigned int& index, MStatus* ReturnStatus) const
{
    unsigned int count = 0;
    if (readCount(fData->args, index, count)) {
        MDoubleArray result(count, 0.0);
        unsigned int next = index + 1;
        if (count == 0 || readDoubles(fData->args, next, count, &result[0])) {
            index = next;
            setStatus(ReturnStatus, MS::kSuccess);
            return result;
        }
    }
    setStatus(ReturnStatus, MS::kInvalidParameter);
    return MDoubleArray();
}

unsigned int MArgList::flagIndex(const char* shortFlag, const char* longFlag) const
{
    const std::vector<Argument>& args = fData->args;
    for (unsigned int i = 0; i < args.size(); ++i) {
        if (args[i].kind != Argument::kFlag)
            continue;
        if ((shortFlag && args[i].text == shortFlag) || (longFlag && args[i].text == longFlag))
            return i;
    }
    return kInvalidArgIndex;
}

MStatus MArgList::addArg(bool arg)
{
    fData->args.push_back(Argument::fromInt(arg ? 1 : 0));
    return MStatus::kSuccess;
}

MStatus MArgList::addArg(int arg)
{
    fData->args.push_back(Argument::fromInt(arg));
    return MStatus::kSuccess;
}

MStatus MArgList::addArg(double arg)
{
    fData->args.push_back(Argument::fromDouble(arg));
    return MStatus::kSuccess;
}

MStatus MArgList::addArg(const MString& arg)
{
    // Built in code, a "-name" string is meant as a flag.
    fData->args.push_back(host::looksLikeFlag(arg.asChar()) ? Argument::fromFlag(arg)
                                                              : Argument::fromString(arg));
    return MStatus::kSuccess;
}

MStatus MArgList::addArg(const MDistance& arg)
{
    return addArg(arg.asUnits(MDistance::uiUnit()));
}

MStatus MArgList::addArg(const MAngle& arg)
{
    return addArg(arg.asUnits(MAngle::uiUnit()));
}

MStatus MArgList::addArg(const MTime& arg)
{
    return addArg(arg.asUnits(MTime::uiUnit()));
}

MStatus MArgList::addArg(const MVector& arg)
{
    addArg(arg.x);
    addArg(arg.y);
    return addArg(arg.z);
}

MStatus MArgList::addArg(const MPoint& arg)
{
    addArg(arg.x);
    addArg(arg.y);
    return addArg(arg.z);
}

namespace host
{

void addArg(MArgList& list, const MMatrix& value)
{
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            list.addArg(value(row, column));
}

void addArg(MArgList& list, const MStringArray& value)
{
    list.addArg(static_cast<int>(value.length()));
    for (unsigned int i = 0; i < value.length(); ++i)
        ArgListAccess::args(list).push_back(Argument::fromString(value[i]));
}

void addArg(MArgList& list, const MIntArray& value)
{
    list.addArg(static_cast<int>(value.length()));
    for (unsigned int i = 0; i < value.length(); ++i)
        list.addArg(value[i]);
}

void addArg(MArgList& list, const MDoubleArray& value)
{
    list.addArg(static_cast<int>(value.length()));
    for (unsigned int i = 0; i < value.length(); ++i)
        list.addArg(value[i]);
}

} // namespace host
