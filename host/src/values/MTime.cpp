#include <maya/MTime.h>

#include <algorithm>
#include <cmath>
#include <ostream>

namespace
{

// Units per second as an exact ratio, so that conversions between the usual
// frame rates stay exact.
struct Rate
{
    double num;
    double den;
};

Rate rateOf(MTime::Unit unit)
{
    switch (unit) {
    case MTime::kHours: return {1.0, 3600.0};
    case MTime::kMinutes: return {1.0, 60.0};
    case MTime::kSeconds: return {1.0, 1.0};
    case MTime::kMilliseconds: return {1000.0, 1.0};
    case MTime::kGames: return {15.0, 1.0};
    case MTime::kFilm: return {24.0, 1.0};
    case MTime::kPALFrame: return {25.0, 1.0};
    case MTime::kNTSCFrame: return {30.0, 1.0};
    case MTime::kShowScan: return {48.0, 1.0};
    case MTime::kPALField: return {50.0, 1.0};
    case MTime::kNTSCField: return {60.0, 1.0};
    case MTime::k2FPS: return {2.0, 1.0};
    case MTime::k3FPS: return {3.0, 1.0};
    case MTime::k4FPS: return {4.0, 1.0};
    case MTime::k5FPS: return {5.0, 1.0};
    case MTime::k6FPS: return {6.0, 1.0};
    case MTime::k8FPS: return {8.0, 1.0};
    case MTime::k10FPS: return {10.0, 1.0};
    case MTime::k12FPS: return {12.0, 1.0};
    case MTime::k16FPS: return {16.0, 1.0};
    case MTime::k20FPS: return {20.0, 1.0};
    case MTime::k40FPS: return {40.0, 1.0};
    case MTime::k75FPS: return {75.0, 1.0};
    case MTime::k80FPS: return {80.0, 1.0};
    case MTime::k100FPS: return {100.0, 1.0};
    case MTime::k120FPS: return {120.0, 1.0};
    case MTime::k125FPS: return {125.0, 1.0};
    case MTime::k150FPS: return {150.0, 1.0};
    case MTime::k200FPS: return {200.0, 1.0};
    case MTime::k240FPS: return {240.0, 1.0};
    case MTime::k250FPS: return {250.0, 1.0};
    case MTime::k300FPS: return {300.0, 1.0};
    case MTime::k375FPS: return {375.0, 1.0};
    case MTime::k400FPS: return {400.0, 1.0};
    case MTime::k500FPS: return {500.0, 1.0};
    case MTime::k600FPS: return {600.0, 1.0};
    case MTime::k750FPS: return {750.0, 1.0};
    case MTime::k1200FPS: return {1200.0, 1.0};
    case MTime::k1500FPS: return {1500.0, 1.0};
    case MTime::k2000FPS: return {2000.0, 1.0};
    case MTime::k3000FPS: return {3000.0, 1.0};
    case MTime::k6000FPS: return {6000.0, 1.0};
    case MTime::k23_976FPS: return {24000.0, 1001.0};
    case MTime::k29_97FPS: return {30000.0, 1001.0};
    case MTime::k29_97DF: return {30000.0, 1001.0};
    case MTime::k47_952FPS: return {48000.0, 1001.0};
    case MTime::k59_94FPS: return {60000.0, 1001.0};
    case MTime::k44100FPS: return {44100.0, 1.0};
    case MTime::k48000FPS: return {48000.0, 1.0};
    case MTime::k90FPS: return {90.0, 1.0};
    default: return {0.0, 1.0};
    }
}

bool isValid(MTime::Unit unit)
{
    return rateOf(unit).num > 0.0;
}

MTime::Unit gUIUnit = MTime::kFilm;

double convert(double value, MTime::Unit from, MTime::Unit to)
{
    if (from == to) return value;
    Rate a = rateOf(from), b = rateOf(to);
    if (a.num == 0.0 || b.num == 0.0) return 0.0;
    return value * (b.num * a.den) / (b.den * a.num);
}

// Times compare on their value in seconds, with room for the rounding of the conversion.
int compare(const MTime& a, const MTime& b)
{
    double x = a.as(MTime::kSeconds), y = b.as(MTime::kSeconds);
    double tolerance = 1e-12 * std::max(1.0, std::max(std::fabs(x), std::fabs(y)));
    if (std::fabs(x - y) <= tolerance) return 0;
    return x < y ? -1 : 1;
}

} // namespace

double MTime::as(Unit unitSystem) const
{
    return convert(fValue, fUnit, unitSystem);
}

MStatus MTime::setUnit(Unit newUnit)
{
    // Keeps the time and changes the unit it is expressed in.
    if (!isValid(newUnit)) return MStatus::kInvalidParameter;
    fValue = as(newUnit);
    fUnit = newUnit;
    return MStatus::kSuccess;
}

MStatus MTime::setValue(double newValue)
{
    fValue = newValue;
    return MStatus::kSuccess;
}

MTime::Unit MTime::uiUnit()
{
    return gUIUnit;
}

MStatus MTime::setUIUnit(Unit newUnit)
{
    if (!isValid(newUnit)) return MStatus::kInvalidParameter;
    gUIUnit = newUnit;
    return MStatus::kSuccess;
}

double MTime::ticksPerSecond()
{
    return 141120000.0;
}

MTime MTime::operator+(const MTime& o) const
{
    return MTime(fValue + o.as(fUnit), fUnit);
}

MTime MTime::operator+(double v) const
{
    return MTime(fValue + v, fUnit);
}

MTime& MTime::operator+=(const MTime& o)
{
    return *this = *this + o;
}

MTime& MTime::operator+=(double v)
{
    fValue += v;
    return *this;
}

MTime MTime::operator-(const MTime& o) const
{
    return MTime(fValue - o.as(fUnit), fUnit);
}

MTime MTime::operator-(double v) const
{
    return MTime(fValue - v, fUnit);
}

MTime& MTime::operator-=(const MTime& o)
{
    return *this = *this - o;
}

MTime& MTime::operator-=(double v)
{
    fValue -= v;
    return *this;
}

MTime MTime::operator*(double v) const
{
    return MTime(fValue * v, fUnit);
}

MTime& MTime::operator*=(double v)
{
    fValue *= v;
    return *this;
}

MTime MTime::operator/(double v) const
{
    return MTime(fValue / v, fUnit);
}

MTime& MTime::operator/=(double v)
{
    fValue /= v;
    return *this;
}

bool MTime::operator==(const MTime& o) const
{
    return compare(*this, o) == 0;
}

bool MTime::operator!=(const MTime& o) const
{
    return compare(*this, o) != 0;
}

bool MTime::operator<(const MTime& o) const
{
    return compare(*this, o) < 0;
}

bool MTime::operator>(const MTime& o) const
{
    return compare(*this, o) > 0;
}

bool MTime::operator<=(const MTime& o) const
{
    return compare(*this, o) <= 0;
}

bool MTime::operator>=(const MTime& o) const
{
    return compare(*this, o) >= 0;
}

std::ostream& operator<<(std::ostream& out, const MTime& t)
{
    return out << t.value();
}
