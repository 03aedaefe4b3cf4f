#ifndef MAYA_MTIME_H
#define MAYA_MTIME_H

#include <maya/MStatus.h>
#include <iosfwd>

class MTime
{
public:
    enum Unit {
        kInvalid, kHours, kMinutes, kSeconds, kMilliseconds, kGames, kFilm, kPALFrame, kNTSCFrame,
        kShowScan, kPALField, kNTSCField, k2FPS, k3FPS, k4FPS, k5FPS, k6FPS, k8FPS, k10FPS, k12FPS,
        k16FPS, k20FPS, k40FPS, k75FPS, k80FPS, k100FPS, k120FPS, k125FPS, k150FPS, k200FPS, k240FPS,
        k250FPS, k300FPS, k375FPS, k400FPS, k500FPS, k600FPS, k750FPS, k1200FPS, k1500FPS, k2000FPS,
        k3000FPS, k6000FPS, k23_976FPS, k29_97FPS, k29_97DF, k47_952FPS, k59_94FPS, k44100FPS,
        k48000FPS, k90FPS, kUserDef, kLast
    };

    MTime() : fValue(0.0), fUnit(uiUnit()) {}
    MTime(const MTime& src) = default;
    MTime(double value, Unit unitSystem = uiUnit()) : fValue(value), fUnit(unitSystem) {}
    MTime& operator=(const MTime& src) = default;

    Unit unit() const { return fUnit; }
    double value() const { return fValue; }
    double as(Unit unitSystem) const;
    double asUnits(Unit unitSystem) const { return as(unitSystem); }
    MStatus setUnit(Unit newUnit);
    MStatus setValue(double newValue);

    static Unit uiUnit();
    static MStatus setUIUnit(Unit newUnit);
    static double ticksPerSecond();

    MTime operator+(const MTime& o) const;
    MTime operator+(double v) const;
    MTime& operator+=(const MTime& o);
    MTime& operator+=(double v);
    MTime operator-(const MTime& o) const;
    MTime operator-(double v) const;
    MTime& operator-=(const MTime& o);
    MTime& operator-=(double v);
    MTime operator*(double v) const;
    MTime& operator*=(double v);
    MTime operator/(double v) const;
    MTime& operator/=(double v);
    bool operator==(const MTime& o) const;
    bool operator!=(const MTime& o) const;
    bool operator<(const MTime& o) const;
    bool operator>(const MTime& o) const;
    bool operator<=(const MTime& o) const;
    bool operator>=(const MTime& o) const;

    friend std::ostream& operator<<(std::ostream& out, const MTime& t);

private:
    double fValue;
    Unit fUnit;
};

#endif
