#ifndef MAYA_MDISTANCE_H
#define MAYA_MDISTANCE_H

#include <maya/MStatus.h>

class MDistance
{
public:
    enum Unit { kInvalid, kInches, kFeet, kYards, kMiles, kMillimeters, kCentimeters, kKilometers, kMeters, kLast };

    MDistance() : fValue(0.0), fUnit(kCentimeters) {}
    MDistance(const MDistance& src) = default;
    MDistance(double value, Unit unitSystem = kCentimeters) : fValue(value), fUnit(unitSystem) {}
    MDistance& operator=(const MDistance& src) = default;

    Unit unit() const { return fUnit; }
    double value() const { return fValue; }
    double as(Unit unitSystem) const;
    double asUnits(Unit unitSystem) const { return as(unitSystem); }
    double asInches() const { return as(kInches); }
    double asFeet() const { return as(kFeet); }
    double asYards() const { return as(kYards); }
    double asMiles() const { return as(kMiles); }
    double asMillimeters() const { return as(kMillimeters); }
    double asCentimeters() const { return as(kCentimeters); }
    double asKilometers() const { return as(kKilometers); }
    double asMeters() const { return as(kMeters); }
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
