#include <maya/MFnNumericData.h>

#include "dg/Data.h"
#include "dg/FnSet.h"

HOST_FN_SET_BASICS(MFnNumericData, MFn::kNumericData)

namespace {
host::NumericData* payload(const MObject& object)
{
    return host::dataAs<host::NumericData>(object, MFnData::kNumeric);
}

int componentsOf(MFnNumericData::Type t)
{
    switch (t) {
    case MFnNumericData::k2Short: case MFnNumericData::k2Int: case MFnNumericData::k2Float:
    case MFnNumericData::k2Double:
        return 2;
    case MFnNumericData::k3Short: case MFnNumericData::k3Int: case MFnNumericData::k3Float:
    case MFnNumericData::k3Double:
        return 3;
    case MFnNumericData::k4Double:
        return 4;
    default:
        return 1;
    }
}
} // namespace

MObject MFnNumericData::create(Type dataType, MStatus* ReturnStatus)
{
    if (dataType <= kInvalid || dataType >= kLast) {
        host::setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MObject();
    }
    mObject = host::ObjectAccess::make(new host::NumericData(dataType));
    host::setStatus(ReturnStatus, MStatus::kSuccess);
    return mObject;
}

MFnNumericData::Type MFnNumericData::numericType(MStatus* ReturnStatus)
{
    host::NumericData* d = payload(mObject);
    host::setStatus(ReturnStatus, d ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return d ? d->numericType : kInvalid;
}

MStatus MFnNumericData::getValues(double* values, int count)
{
    host::NumericData* d = payload(mObject);
    if (!d)
        return MStatus::kInvalidParameter;
    if (componentsOf(d->numericType) != count)
        return MStatus::kInvalidParameter;
    for (int i = 0; i < count; ++i)
        values[i] = d->values[i];
    return MStatus::kSuccess;
}

MStatus MFnNumericData::setValues(const double* values, int count)
{
    host::NumericData* d = payload(mObject);
    if (!d)
        return MStatus::kInvalidParameter;
    if (componentsOf(d->numericType) != count)
        return MStatus::kInvalidParameter;
    for (int i = 0; i < count; ++i)
        d->values[i] = values[i];
    return MStatus::kSuccess;
}

#define HOST_NUMERIC_DATA_ACCESS(T)                                                            \
    MStatus MFnNumericData::getData(T& a, T& b)                                                \
    {                                                                                          \
        double v[2]; MStatus s = getValues(v, 2);                                              \
        if (s) { a = static_cast<T>(v[0]); b = static_cast<T>(v[1]); }                         \
        return s;                                                                              \
    }                                                                                          \
    MStatus MFnNumericData::getData(T& a, T& b, T& c)                                          \
    {                                                                                          \
        double v[3]; MStatus s = getValues(v, 3);                                              \
        if (s) { a = static_cast<T>(v[0]); b = static_cast<T>(v[1]); c = static_cast<T>(v[2]); } \
        return s;                                                                              \
    }                                                                                          \
    MStatus MFnNumericData::setData(T a, T b)                                                  \
    {                                                                                          \
        double v[2] = {static_cast<double>(a), static_cast<double>(b)};                        \
        return setValues(v, 2);                                                                \
    }                                                                                          \
    MStatus MFnNumericData::setData(T a, T b, T c)                                             \
    {                                                                                          \
        double v[3] = {static_cast<double>(a), static_cast<double>(b), static_cast<double>(c)}; \
        return setValues(v, 3);                                                                \
    }

HOST_NUMERIC_DATA_ACCESS(int)
HOST_NUMERIC_DATA_ACCESS(float)
HOST_NUMERIC_DATA_ACCESS(double)

MStatus MFnNumericData::getData(double& a, double& b, double& c, double& d)
{
    double v[4];
    MStatus s = getValues(v, 4);
    if (s) {
        a = v[0]; b = v[1]; c = v[2]; d = v[3];
    }
    return s;
}

MStatus MFnNumericData::setData(double a, double b, double c, double d)
{
    double v[4] = {a, b, c, d};
    return setValues(v, 4);
}

MStatus MFnNumericData::getData2Double(double& a, double& b) { return getData(a, b); }
MStatus MFnNumericData::getData3Double(double& a, double& b, double& c) { return getData(a, b, c); }
MStatus MFnNumericData::setData2Double(double a, double b) { return setData(a, b); }
MStatus MFnNumericData::setData3Double(double a, double b, double c) { return setData(a, b, c); }
