#pragma once
// Linear geometry values (mesh points and tweaks, curve CVs) as scene files
// and MEL give them: in the UI unit ("currentUnit -l"), while meshes and
// curves hold centimetres, as Maya's API does.

#include <string>

namespace host {

class LinearUnitText
{
public:
    // Centimetres in one UI unit: 1 under centimetres, 100 under metres, 2.54 under inches.
    static double centimetresPerUiUnit();

    // A UI-unit value as float centimetres; past the float range it is infinite, not undefined.
    static float toCentimetres(double ui, double scale);

    // A short UI-unit text that reads back (times `scale`) as exactly the
    // same centimetre value, so that saving and reopening changes nothing.
    static void appendFloat(std::string& out, float centimetres, double scale);
    static void appendDouble(std::string& out, double centimetres, double scale);

    // A centimetre value in the UI unit, with the fewest digits that convert
    // back to the same float (for MEL results: 0.592, not 0.59199997).
    static double uiFloatValue(float centimetres, double scale);
};

} // namespace host
