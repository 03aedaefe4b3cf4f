#include <maya/MCommandResult.h>

#include "commands/mel/MelValue.h"

#include <maya/MDoubleArray.h>
#include <maya/MIntArray.h>
#include <maya/MStringArray.h>
#include <maya/MVector.h>
#include <maya/MVectorArray.h>

using host::MelValue;

MCommandResult::MCommandResult(MStatus* ReturnStatus) : fValue(new MelValue)
{
    if (ReturnStatus)
        *ReturnStatus = MS::kSuccess;
}

MCommandResult::~MCommandResult() = default;

MCommandResult::Type MCommandResult::resultType(MStatus* ReturnStatus) const
{
    if (ReturnStatus)
        *ReturnStatus = MS::kSuccess;
    switch (fValue->type()) {
    case MelValue::kInt: return kInt;
    case MelValue::kDouble: return kDouble;
    case MelValue::kString: return kString;
    case MelValue::kIntArray: return kIntArray;
    case MelValue::kDoubleArray: return kDoubleArray;
    case MelValue::kStringArray: return kStringArray;
    default: return kInvalid;
    }
}

MStatus MCommandResult::getResult(int& result) const
{
    if (fValue->type() != MelValue::kInt)
        return MS::kFailure;
    result = static_cast<int>(fValue->asInt());
    return MS::kSuccess;
}

MStatus MCommandResult::getResult(MInt64& result) const
{
    if (fValue->type() != MelValue::kInt)
        return MS::kFailure;
    result = fValue->asInt();
    return MS::kSuccess;
}

MStatus MCommandResult::getResult(MIntArray& result) const
{
    if (fValue->type() != MelValue::kIntArray)
        return MS::kFailure;
    result = fValue->intArray();
    return MS::kSuccess;
}

MStatus MCommandResult::getResult(double& result) const
{
    if (!fValue->isNumber())
        return MS::kFailure;
    result = fValue->asDouble();
    return MS::kSuccess;
}

MStatus MCommandResult::getResult(MDoubleArray& result) const
{
    if (fValue->type() != MelValue::kDoubleArray && fValue->type() != MelValue::kIntArray)
        return MS::kFailure;
    result = fValue->asDoubleArray();
    return MS::kSuccess;
}

MStatus MCommandResult::getResult(MString& result) const
{
    if (fValue->type() != MelValue::kString)
        return MS::kFailure;
    result = fValue->asString();
    return MS::kSuccess;
}

MStatus MCommandResult::getResult(MStringArray& result) const
{
    if (fValue->type() != MelValue::kStringArray)
        return MS::kFailure;
    result = fValue->stringArray();
    return MS::kSuccess;
}

MStatus MCommandResult::getResult(MVector& result) const
{
    // MEL vectors come back as three numbers.
    MDoubleArray values;
    if (!getResult(values) || values.length() != 3)
        return MS::kFailure;
    result = MVector(values[0], values[1], values[2]);
    return MS::kSuccess;
}

MStatus MCommandResult::getResult(MVectorArray& result) const
{
    MDoubleArray values;
    if (!getResult(values) || values.length() % 3 != 0)
        return MS::kFailure;
    result.clear();
    for (unsigned int i = 0; i < values.length(); i += 3)
        result.append(MVector(values[i], values[i + 1], values[i + 2]));
    return MS::kSuccess;
}

MStatus MCommandResult::getResult(MDoubleArray& result, int& numRows, int& numColumns) const
{
    // A matrix result is 16 numbers, row by row.
    MDoubleArray values;
    if (!getResult(values) || values.length() != 16)
        return MS::kFailure;
    result = values;
    numRows = 4;
    numColumns = 4;
    return MS::kSuccess;
}
