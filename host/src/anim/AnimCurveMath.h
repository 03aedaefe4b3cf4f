#pragma once
// Keys, tangents and evaluation of an animation curve, on plain numbers (no
// Maya types): what "animCurveTL" and its kin compute and what the key
// commands edit.
//
// - Inputs are seconds for time curves and plain numbers for the unitless
//   ones (driven keys); values are in internal units (centimetres, radians).
// - A tangent is an (x, y) vector: x along the input, y along the value.
//   Unweighted curves use only its direction; weighted curves also its length
//   (the Bezier handle sits a third of it away from the key).
// - Computed tangent types (linear, flat, spline, clamped, plateau, auto)
//   are worked out from the neighbouring keys; fixed tangents keep their
//   stored vectors. A step out tangent holds the key's value to the next
//   key, a step-next one jumps to the next key's value straight away.

#include <cstddef>
#include <vector>

namespace host {

// Tangent types as the files and the node's enum attributes number them.
namespace TangentType {
enum : int {
    kFixed = 1,
    kLinear = 2,
    kFlat = 3,
    kStep = 5,
    kSlow = 6,
    kFast = 7,
    kSpline = 9,
    kClamped = 10,
    kPlateau = 16,
    kStepNext = 17,
    kAuto = 18,
};
// Whether the host knows the number (a type it does not know is read as auto).
bool isKnown(int type);
// MEL's names ("spline", "stepnext", ...) and back; -1 for a name that is none.
const char* name(int type);
int fromName(const char* name);
}  // namespace TangentType

// Pre- and post-infinity, as the "preInfinity"/"postInfinity" enums number them.
namespace Infinity {
enum : int { kConstant = 0, kLinear = 1, kCycle = 3, kCycleRelative = 4, kOscillate = 5 };
}

struct AnimKey
{
    double input = 0;
    double value = 0;
    int inType = TangentType::kAuto;
    int outType = TangentType::kAuto;
    // Stored tangents (fixed tangents, and every tangent of a weighted curve when given).
    bool hasInTangent = false, hasOutTangent = false;
    double inX = 1, inY = 0, outX = 1, outY = 0;
};

class AnimCurveMath
{
public:
    // Keys sorted by input (the caller keeps them so; equal inputs are not allowed).
    std::vector<AnimKey> keys;
    bool weighted = false;
    int preInfinity = Infinity::kConstant;
    int postInfinity = Infinity::kConstant;

    // The value at an input. No keys give 0.
    double evaluate(double input) const;

    // The (x, y) tangents the curve uses at key i after working out computed
    // types: direction for unweighted curves, full handle (x = 3 * handle
    // length along the input) for weighted ones.
    void tangents(size_t i, double& inX, double& inY, double& outX, double& outY) const;

    // Index of the key at exactly this input, or -1.
    int find(double input) const;
    // Index where a key at this input would go to keep the keys sorted.
    size_t insertionIndex(double input) const;

private:
    double evaluateInside(double input) const;
    double slopeAt(size_t i, bool in) const;
};

} // namespace host
