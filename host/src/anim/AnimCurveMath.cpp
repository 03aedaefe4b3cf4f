#include "anim/AnimCurveMath.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace host {

namespace {

struct TangentName
{
    int type;
    const char* name;
};
const TangentName kNames[] = {
    {TangentType::kFixed, "fixed"},       {TangentType::kLinear, "linear"}, {TangentType::kFlat, "flat"},
    {TangentType::kStep, "step"},         {TangentType::kSlow, "slow"},     {TangentType::kFast, "fast"},
    {TangentType::kSpline, "spline"},     {TangentType::kClamped, "clamped"}, {TangentType::kPlateau, "plateau"},
    {TangentType::kStepNext, "stepnext"}, {TangentType::kAuto, "auto"},
};

// A tangent's slope from its vector; a vertical tangent gets a steep finite one.
double slopeOf(double x, double y)
{
    const double tiny = 1e-12;
    if (std::fabs(x) < tiny)
        x = x < 0 ? -tiny : tiny;
    return y / x;
}

double hermite(double v0, double m0, double v1, double m1, double dt, double s)
{
    const double s2 = s * s, s3 = s2 * s;
    return (2 * s3 - 3 * s2 + 1) * v0 + (s3 - 2 * s2 + s) * dt * m0 + (-2 * s3 + 3 * s2) * v1 + (s3 - s2) * dt * m1;
}

double bezier(double p0, double p1, double p2, double p3, double s)
{
    const double r = 1 - s;
    return r * r * r * p0 + 3 * r * r * s * p1 + 3 * r * s * s * p2 + s * s * s * p3;
}

} // namespace

bool TangentType::isKnown(int type)
{
    for (const TangentName& entry : kNames)
        if (entry.type == type)
            return true;
    return false;
}

const char* TangentType::name(int type)
{
    for (const TangentName& entry : kNames)
        if (entry.type == type)
            return entry.name;
    return "auto";
}

int TangentType::fromName(const char* text)
{
    for (const TangentName& entry : kNames)
        if (std::strcmp(entry.name, text) == 0)
            return entry.type;
    return -1;
}

int AnimCurveMath::find(double input) const
{
    const size_t i = insertionIndex(input);
    return i < keys.size() && keys[i].input == input ? int(i) : -1;
}

size_t AnimCurveMath::insertionIndex(double input) const
{
    return size_t(std::lower_bound(keys.begin(), keys.end(), input,
                                   [](const AnimKey& key, double value) { return key.input < value; }) -
                  keys.begin());
}

// The slope a key's tangent has on one side, worked out from its neighbours for computed types.
double AnimCurveMath::slopeAt(size_t i, bool in) const
{
    const AnimKey& key = keys[i];
    const int type = in ? key.inType : key.outType;
    if (type == TangentType::kFixed && (in ? key.hasInTangent : key.hasOutTangent))
        return in ? slopeOf(key.inX, key.inY) : slopeOf(key.outX, key.outY);
    const bool hasPrev = i > 0, hasNext = i + 1 < keys.size();
    const double v = key.value;
    const double dtPrev = hasPrev ? key.input - keys[i - 1].input : 0;
    const double dtNext = hasNext ? keys[i + 1].input - key.input : 0;
    const double slopePrev = hasPrev ? (v - keys[i - 1].value) / dtPrev : 0;
    const double slopeNext = hasNext ? (keys[i + 1].value - v) / dtNext : 0;
    // Spline: parallel to the line through the neighbours; at an end, towards the one neighbour.
    const double spline = hasPrev && hasNext ? (keys[i + 1].value - keys[i - 1].value) / (dtPrev + dtNext)
                           : hasPrev         ? slopePrev
                                             : slopeNext;
    switch (type) {
    case TangentType::kLinear:
        if (in)
            return hasPrev ? slopePrev : slopeNext;
        return hasNext ? slopeNext : slopePrev;
    case TangentType::kFlat:
    case TangentType::kStep:
    case TangentType::kStepNext:
        return 0;
    case TangentType::kClamped: {
        // Spline, except that a neighbour at (nearly) the same value makes the key linear.
        const double tolerance = 1e-9 * (1 + std::fabs(v));
        const bool nearPrev = hasPrev && std::fabs(v - keys[i - 1].value) <= tolerance;
        const bool nearNext = hasNext && std::fabs(keys[i + 1].value - v) <= tolerance;
        if (nearPrev || nearNext)
            return in ? (hasPrev ? slopePrev : slopeNext) : (hasNext ? slopeNext : slopePrev);
        return spline;
    }
    case TangentType::kSpline:
    case TangentType::kSlow:
    case TangentType::kFast:
        return spline;
    case TangentType::kPlateau:
    case TangentType::kAuto:
    default: {
        // Flat at the ends and at a key that is a peak or a valley; elsewhere spline, shortened so
        // that neither neighbouring segment goes past the keys' values.
        if (!hasPrev || !hasNext)
            return 0;
        const double before = v - keys[i - 1].value, after = keys[i + 1].value - v;
        if (before * after <= 0)
            return 0;
        const double limit = 3 * std::min(std::fabs(before) / dtPrev, std::fabs(after) / dtNext);
        return std::clamp(spline, -limit, limit);
    }
    }
}

void AnimCurveMath::tangents(size_t i, double& inX, double& inY, double& outX, double& outY) const
{
    const AnimKey& key = keys[i];
    const bool storedIn = key.hasInTangent && (weighted || key.inType == TangentType::kFixed);
    const bool storedOut = key.hasOutTangent && (weighted || key.outType == TangentType::kFixed);
    if (storedIn) {
        inX = key.inX, inY = key.inY;
    } else {
        // A weighted curve's computed handle spans a third of the segment.
        inX = weighted && i > 0 ? key.input - keys[i - 1].input : 1.0;
        inY = slopeAt(i, true) * inX;
    }
    if (storedOut) {
        outX = key.outX, outY = key.outY;
    } else {
        outX = weighted && i + 1 < keys.size() ? keys[i + 1].input - key.input : 1.0;
        outY = slopeAt(i, false) * outX;
    }
}

double AnimCurveMath::evaluateInside(double input) const
{
    // The segment [a, b] holding the input.
    size_t b = insertionIndex(input);
    if (b < keys.size() && keys[b].input == input)
        return keys[b].value;
    if (b == 0)
        return keys.front().value;
    if (b >= keys.size())
        return keys.back().value;
    const AnimKey& ka = keys[b - 1];
    const AnimKey& kb = keys[b];
    if (ka.outType == TangentType::kStep)
        return ka.value;
    if (ka.outType == TangentType::kStepNext)
        return kb.value;
    double aInX, aInY, aOutX, aOutY, bInX, bInY, bOutX, bOutY;
    tangents(b - 1, aInX, aInY, aOutX, aOutY);
    tangents(b, bInX, bInY, bOutX, bOutY);
    const double t0 = ka.input, t1 = kb.input, dt = t1 - t0;
    if (!weighted)
        return hermite(ka.value, slopeOf(aOutX, aOutY), kb.value, slopeOf(bInX, bInY), dt, (input - t0) / dt);
    // Weighted: a Bezier in (input, value); handles kept inside the segment so it stays a function.
    const double x1 = std::clamp(t0 + aOutX / 3, t0, t1), x2 = std::clamp(t1 - bInX / 3, t0, t1);
    const double y1 = ka.value + aOutY / 3, y2 = kb.value - bInY / 3;
    double lo = 0, hi = 1, s = (input - t0) / dt;
    for (int iteration = 0; iteration < 60; ++iteration) {
        const double x = bezier(t0, x1, x2, t1, s);
        if (std::fabs(x - input) <= 1e-12 * (1 + std::fabs(input)))
            break;
        if (x < input)
            lo = s;
        else
            hi = s;
        // Newton where it stays inside the bracket, halving otherwise.
        const double r = 1 - s;
        const double dx = 3 * r * r * (x1 - t0) + 6 * r * s * (x2 - x1) + 3 * s * s * (t1 - x2);
        const double next = dx > 0 ? s - (x - input) / dx : -1;
        s = next > lo && next < hi ? next : 0.5 * (lo + hi);
    }
    return bezier(ka.value, y1, y2, kb.value, s);
}

double AnimCurveMath::evaluate(double input) const
{
    if (keys.empty())
        return 0;
    const AnimKey& first = keys.front();
    const AnimKey& last = keys.back();
    if (input >= first.input && input <= last.input)
        return evaluateInside(input);
    const bool before = input < first.input;
    const int infinity = before ? preInfinity : postInfinity;
    const double range = last.input - first.input;
    if (infinity == Infinity::kLinear) {
        double inX, inY, outX, outY;
        tangents(before ? 0 : keys.size() - 1, inX, inY, outX, outY);
        const AnimKey& end = before ? first : last;
        const int type = before ? end.inType : end.outType;
        const double slope = type == TangentType::kStep || type == TangentType::kStepNext
                                 ? 0
                                 : (before ? slopeOf(inX, inY) : slopeOf(outX, outY));
        return end.value + slope * (input - end.input);
    }
    if (infinity == Infinity::kConstant || keys.size() < 2 || !(range > 0))
        return before ? first.value : last.value;
    // Cycles: bring the input into the keyed range.
    const double cycles = std::floor((input - first.input) / range);
    double local = input - cycles * range;
    local = std::clamp(local, first.input, last.input);
    if (infinity == Infinity::kOscillate && std::fmod(std::fabs(cycles), 2.0) == 1.0)
        local = first.input + last.input - local;
    double value = evaluateInside(local);
    if (infinity == Infinity::kCycleRelative)
        value += cycles * (last.value - first.value);
    return value;
}

} // namespace host
