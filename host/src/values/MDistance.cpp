#include <maya/MDistance.h>

#include "UnitConversion.h"

namespace
{

// Size of each unit in centimetres, indexed by MDistance::Unit.
const double kSizes[MDistance::kLast] = {0.0, 2.54, 30.48, 91.44, 160934.4, 0.1, 1.0, 100000.0, 100.0};

MDistance::Unit gUIUnit = MDistance::kCentimeters;

double convert(double value, MDistance::Unit from, MDistance::Unit to)
{
    double result = 0.0;
    host::convertUnits(value, from, to, kSizes, MDistance::kLast, result);
    return result;
}

bool isValid(MDistance::Unit unit)
{
    return unit > MDistance::kInvalid && unit < MDistance::kLast;
}

} // namespace

double MDistance::as(Unit unitSystem) const
{
    return convert(fValue, fUnit, unitSystem);
}

MStatus MDistance::setUnit(Unit newUnit)
{
    if (!isValid(newUnit)) return MStatus::kInvalidParameter;
    fValue = as(newUnit);
    fUnit = newUnit;
    return MStatus::kSuccess;
}

MStatus MDistance::setValue(double newValue)
{
    fValue = newValue;
    return MStatus::kSuccess;
}

MDistance::Unit MDistance::uiUnit()
{
    return gUIUnit;
}

MStatus MDistance::setUIUnit(Unit newUnit)
{
    if (!isValid(newUnit)) return MStatus::kInvalidParameter;
    gUIUnit = newUnit;
    return MStatus::kSuccess;
}

MDistance::Unit MDistance::internalUnit()
{
    return kCentimeters;
}

double MDistance::internalToUI(double internalValue)
{
    return convert(internalValue, internalUnit(), gUIUnit);
}

double MDistance::uiToInternal(double uiValue)
{
    return convert(uiValue, gUIUnit, internalUnit());
}
