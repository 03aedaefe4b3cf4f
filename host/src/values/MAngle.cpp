#include <maya/MAngle.h>

#include "UnitConversion.h"

namespace
{

const double kPi = 3.14159265358979323846;
// Size of each unit in radians, indexed by MAngle::Unit.
const double kSizes[MAngle::kLast] = {0.0, 1.0, kPi / 180.0, kPi / (180.0 * 60.0), kPi / (180.0 * 3600.0)};

MAngle::Unit gUIUnit = MAngle::kDegrees;

double convert(double value, MAngle::Unit from, MAngle::Unit to)
{
    double result = 0.0;
    host::convertUnits(value, from, to, kSizes, MAngle::kLast, result);
    return result;
}

bool isValid(MAngle::Unit unit)
{
    return unit > MAngle::kInvalid && unit < MAngle::kLast;
}

} // namespace

double MAngle::as(Unit unitSystem) const
{
    return convert(fValue, fUnit, unitSystem);
}

MStatus MAngle::setUnit(Unit newUnit)
{
    if (!isValid(newUnit)) return MStatus::kInvalidParameter;
    fValue = as(newUnit);
    fUnit = newUnit;
    return MStatus::kSuccess;
}

MStatus MAngle::setValue(double newValue)
{
    fValue = newValue;
    return MStatus::kSuccess;
}

MAngle::Unit MAngle::uiUnit()
{
    return gUIUnit;
}

MStatus MAngle::setUIUnit(Unit newUnit)
{
    if (!isValid(newUnit)) return MStatus::kInvalidParameter;
    gUIUnit = newUnit;
    return MStatus::kSuccess;
}

MAngle::Unit MAngle::internalUnit()
{
    return kRadians;
}

double MAngle::internalToUI(double internalValue)
{
    return convert(internalValue, internalUnit(), gUIUnit);
}

double MAngle::uiToInternal(double uiValue)
{
    return convert(uiValue, gUIUnit, internalUnit());
}
