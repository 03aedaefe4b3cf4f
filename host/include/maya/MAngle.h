#ifndef MAYA_MANGLE_H
#define MAYA_MANGLE_H

#include <maya/MStatus.h>

class MAngle
{
public:
    enum Unit { kInvalid, kRadians, kDegrees, kAngMinutes, kAngSeconds, kLast };

    MAngle() : fValue(0.0), fUnit(kRadians) {}
    MAngle(const MAngle& src) = default;
    MAngle(double value, Unit unitSystem = kRadians) : fValue(value), fUnit(unitSystem) {}
    MAngle& operator=(const MAngle& src) = default;

    Unit unit() const { return fUnit; }
    double value() const { return fValue; }
    double as(Unit unitSystem) const;
    double asUnits(Unit unitSystem) const { return as(unitSystem); }
    double asRadians() const { return as(kRadians); }
    double asDegrees() const { return as(kDegrees); }
    double asAngMinutes() const { return as(kAngMinutes); }
    double asAngSeconds() const { return as(kAngSeconds); }
    MStatus setUnit(Unit newUnit);
    MStatus setValue(double newValue);

    static Unit uiUnit();
    static MStatus setUIUnit(Unit newUnit);
    static Unit internalUnit();
    static double internalToUI(double internalValue);
    static double uiToInternal(double uiValue);

private:
    double fValue;
    Unit fUnit;
};

#endif
