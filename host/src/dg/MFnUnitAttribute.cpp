#include <maya/MFnUnitAttribute.h>

#include <maya/MAngle.h>
#include <maya/MDistance.h>
#include <maya/MTime.h>

#include "dg/FnSet.h"

using host::Attribute;

HOST_FN_SET_BASICS(MFnUnitAttribute, MFn::kUnitAttribute)

namespace {
// Values are stored in internal units: radians, centimetres, seconds.
double internalOf(const MTime& t) { return t.as(MTime::kSeconds); }
double internalOf(const MAngle& a) { return a.as(MAngle::kRadians); }
double internalOf(const MDistance& d) { return d.as(MDistance::kCentimeters); }

MStatus setValue(const MObject& object, double Attribute::*field, bool Attribute::*flag, double value)
{
    Attribute* a = host::attributeOf(object);
    if (!a)
        return MStatus::kInvalidParameter;
    a->*field = value;
    a->*flag = true;
    return MStatus::kSuccess;
}

MStatus getValue(const MObject& object, double Attribute::*field, bool Attribute::*flag, double& value)
{
    Attribute* a = host::attributeOf(object);
    if (!a)
        return MStatus::kInvalidParameter;
    if (!(a->*flag))
        return MStatus::kFailure;
    value = a->*field;
    return MStatus::kSuccess;
}

bool hasFlag(const MObject& object, bool Attribute::*flag, MStatus* status)
{
    Attribute* a = host::attributeOf(object);
    host::setStatus(status, a ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return a && a->*flag;
}
} // namespace

MObject MFnUnitAttribute::create(const MString& fullName, const MString& briefName, Type unitType,
                                 double defaultValue, MStatus* ReturnStatus)
{
    mObject = MObject();
    MFn::Type fnType = unitType == kAngle ? MFn::kDoubleAngleAttribute
                     : unitType == kDistance ? MFn::kDoubleLinearAttribute
                     : unitType == kTime ? MFn::kTimeAttribute : MFn::kInvalid;
    if (fnType == MFn::kInvalid) {
        host::setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return mObject;
    }
    mObject = host::newAttribute(host::AttrKind::Unit, fnType, fullName, briefName, ReturnStatus);
    if (Attribute* a = host::attributeOf(mObject)) {
        a->unitType = unitType;
        a->numericType = MFnNumericData::kDouble;
        a->defaults[0] = defaultValue;
    }
    return mObject;
}

MObject MFnUnitAttribute::create(const MString& fullName, const MString& briefName, const MTime& defaultValue,
                                 MStatus* ReturnStatus)
{
    return create(fullName, briefName, kTime, internalOf(defaultValue), ReturnStatus);
}

MObject MFnUnitAttribute::create(const MString& fullName, const MString& briefName, const MAngle& defaultValue,
                                 MStatus* ReturnStatus)
{
    return create(fullName, briefName, kAngle, internalOf(defaultValue), ReturnStatus);
}

MObject MFnUnitAttribute::create(const MString& fullName, const MString& briefName, const MDistance& defaultValue,
                                 MStatus* ReturnStatus)
{
    return create(fullName, briefName, kDistance, internalOf(defaultValue), ReturnStatus);
}

MFnUnitAttribute::Type MFnUnitAttribute::unitType(MStatus* ReturnStatus) const
{
    Attribute* a = host::attributeOf(mObject);
    host::setStatus(ReturnStatus, a ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return a ? a->unitType : kInvalid;
}

bool MFnUnitAttribute::hasMin(MStatus* s) const { return hasFlag(mObject, &Attribute::hasMin, s); }
bool MFnUnitAttribute::hasMax(MStatus* s) const { return hasFlag(mObject, &Attribute::hasMax, s); }
bool MFnUnitAttribute::hasSoftMin(MStatus* s) const { return hasFlag(mObject, &Attribute::hasSoftMin, s); }
bool MFnUnitAttribute::hasSoftMax(MStatus* s) const { return hasFlag(mObject, &Attribute::hasSoftMax, s); }

MStatus MFnUnitAttribute::getMin(double& v) const
{
    Attribute* a = host::attributeOf(mObject);
    if (!a || !a->hasMin)
        return MStatus::kFailure;
    v = a->minValue[0];
    return MStatus::kSuccess;
}

MStatus MFnUnitAttribute::getMax(double& v) const
{
    Attribute* a = host::attributeOf(mObject);
    if (!a || !a->hasMax)
        return MStatus::kFailure;
    v = a->maxValue[0];
    return MStatus::kSuccess;
}

MStatus MFnUnitAttribute::getSoftMin(double& v) const { return getValue(mObject, &Attribute::softMin, &Attribute::hasSoftMin, v); }
MStatus MFnUnitAttribute::getSoftMax(double& v) const { return getValue(mObject, &Attribute::softMax, &Attribute::hasSoftMax, v); }

MStatus MFnUnitAttribute::setMin(double v)
{
    Attribute* a = host::attributeOf(mObject);
    if (!a)
        return MStatus::kInvalidParameter;
    a->hasMin = true;
    a->minValue[0] = v;
    return MStatus::kSuccess;
}

MStatus MFnUnitAttribute::setMax(double v)
{
    Attribute* a = host::attributeOf(mObject);
    if (!a)
        return MStatus::kInvalidParameter;
    a->hasMax = true;
    a->maxValue[0] = v;
    return MStatus::kSuccess;
}

MStatus MFnUnitAttribute::setSoftMin(double v) { return setValue(mObject, &Attribute::softMin, &Attribute::hasSoftMin, v); }
MStatus MFnUnitAttribute::setSoftMax(double v) { return setValue(mObject, &Attribute::softMax, &Attribute::hasSoftMax, v); }

#define HOST_UNIT_OVERLOADS(T)                                                                   \
    MStatus MFnUnitAttribute::setMin(const T& v) { return setMin(internalOf(v)); }              \
    MStatus MFnUnitAttribute::setMax(const T& v) { return setMax(internalOf(v)); }              \
    MStatus MFnUnitAttribute::setSoftMin(const T& v) { return setSoftMin(internalOf(v)); }      \
    MStatus MFnUnitAttribute::setSoftMax(const T& v) { return setSoftMax(internalOf(v)); }      \
    MStatus MFnUnitAttribute::setDefault(const T& v) { return setDefault(internalOf(v)); }

HOST_UNIT_OVERLOADS(MTime)
HOST_UNIT_OVERLOADS(MAngle)
HOST_UNIT_OVERLOADS(MDistance)

MStatus MFnUnitAttribute::getDefault(double& v)
{
    Attribute* a = host::attributeOf(mObject);
    if (!a)
        return MStatus::kInvalidParameter;
    v = a->defaults[0];
    return MStatus::kSuccess;
}

MStatus MFnUnitAttribute::getDefault(MTime& v)
{
    double d;
    MStatus s = getDefault(d);
    if (s)
        v = MTime(d, MTime::kSeconds);
    return s;
}

MStatus MFnUnitAttribute::getDefault(MAngle& v)
{
    double d;
    MStatus s = getDefault(d);
    if (s)
        v = MAngle(d, MAngle::kRadians);
    return s;
}

MStatus MFnUnitAttribute::getDefault(MDistance& v)
{
    double d;
    MStatus s = getDefault(d);
    if (s)
        v = MDistance(d, MDistance::kCentimeters);
    return s;
}

MStatus MFnUnitAttribute::setDefault(double v)
{
    Attribute* a = host::attributeOf(mObject);
    if (!a)
        return MStatus::kInvalidParameter;
    a->defaults[0] = v;
    return MStatus::kSuccess;
}
