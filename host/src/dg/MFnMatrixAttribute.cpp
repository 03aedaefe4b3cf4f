#include <maya/MFnMatrixAttribute.h>

#include <maya/MFloatMatrix.h>
#include <maya/MMatrix.h>

#include "dg/FnSet.h"

using host::Attribute;

HOST_FN_SET_BASICS(MFnMatrixAttribute, MFn::kMatrixAttribute)

MObject MFnMatrixAttribute::create(const MString& fullName, const MString& briefName, Type matrixType,
                                   MStatus* ReturnStatus)
{
    MFn::Type fnType = matrixType == kFloat ? MFn::kFloatMatrixAttribute : MFn::kMatrixAttribute;
    mObject = host::newAttribute(host::AttrKind::Matrix, fnType, fullName, briefName, ReturnStatus);
    if (Attribute* a = host::attributeOf(mObject)) {
        a->matrixType = matrixType;
        a->dataType = MFnData::kMatrix;
    }
    return mObject;
}

MStatus MFnMatrixAttribute::getDefault(MMatrix& defaultValue)
{
    Attribute* a = host::attributeOf(mObject);
    if (!a)
        return MStatus::kInvalidParameter;
    defaultValue = a->matrixDefault;
    return MStatus::kSuccess;
}

MStatus MFnMatrixAttribute::getDefault(MFloatMatrix& defaultValue)
{
    Attribute* a = host::attributeOf(mObject);
    if (!a)
        return MStatus::kInvalidParameter;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            defaultValue[r][c] = static_cast<float>(a->matrixDefault[r][c]);
    return MStatus::kSuccess;
}

MStatus MFnMatrixAttribute::setDefault(const MMatrix& defaultValue)
{
    Attribute* a = host::attributeOf(mObject);
    if (!a)
        return MStatus::kInvalidParameter;
    a->matrixDefault = defaultValue;
    return MStatus::kSuccess;
}

MStatus MFnMatrixAttribute::setDefault(const MFloatMatrix& defaultValue)
{
    Attribute* a = host::attributeOf(mObject);
    if (!a)
        return MStatus::kInvalidParameter;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            a->matrixDefault[r][c] = defaultValue[r][c];
    return MStatus::kSuccess;
}
