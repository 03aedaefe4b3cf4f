#include "geometry/LinearUnitText.h"

#include "values/NumberFormat.h"

#include <maya/MDistance.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace host {

namespace {

// The fewest digits (from 7 for floats, which rarely need fewer, from 15 for
// doubles) whose text converts back to `centimetres`, in Maya's number layout.
template <class T>
std::string uiText(T centimetres, double scale)
{
    const double ui = double(centimetres) / scale;
    char buffer[40];
    for (int digits = sizeof(T) == sizeof(float) ? 7 : 15; digits <= 17; ++digits) {
        std::snprintf(buffer, sizeof(buffer), "%.*g", digits, ui);
        const double parsed = std::strtod(buffer, nullptr);
        if (T(parsed * scale) == centimetres)
            return formatDouble(parsed);
    }
    return formatDouble(ui);
}

} // namespace

double LinearUnitText::centimetresPerUiUnit()
{
    return MDistance(1.0, MDistance::uiUnit()).as(MDistance::kCentimeters);
}

float LinearUnitText::toCentimetres(double ui, double scale)
{
    const double centimetres = ui * scale;
    if (std::isnan(centimetres) || std::abs(centimetres) <= double(std::numeric_limits<float>::max()))
        return float(centimetres);
    return centimetres > 0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
}

void LinearUnitText::appendFloat(std::string& out, float centimetres, double scale)
{
    // Negative zero reads back as zero: write it as zero.
    if (centimetres == 0.0f)
        centimetres = 0.0f;
    if (scale == 1.0) {
        out += formatFloat(centimetres);
        return;
    }
    out += uiText(centimetres, scale);
}

void LinearUnitText::appendDouble(std::string& out, double centimetres, double scale)
{
    if (scale == 1.0) {
        appendDoubleText(out, centimetres);
        return;
    }
    out += uiText(centimetres, scale);
}

double LinearUnitText::uiFloatValue(float centimetres, double scale)
{
    if (scale == 1.0)
        return std::strtod(formatFloat(centimetres).c_str(), nullptr);
    return std::strtod(uiText(centimetres, scale).c_str(), nullptr);
}

} // namespace host
