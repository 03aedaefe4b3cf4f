#include <maya/MColor.h>

#include <algorithm>
#include <cmath>
#include <ostream>

namespace
{

// Hue in degrees, saturation and value in [0, 1].
void hsvToRgb(float h, float s, float v, float& r, float& g, float& b)
{
    if (s <= 0.0f) {
        r = g = b = v;
        return;
    }
    float hh = std::fmod(h, 360.0f);
    if (hh < 0.0f) hh += 360.0f;
    hh /= 60.0f;
    int sector = static_cast<int>(hh) % 6;
    float f = hh - std::floor(hh);
    float p = v * (1.0f - s);
    float q = v * (1.0f - s * f);
    float t = v * (1.0f - s * (1.0f - f));
    switch (sector) {
    case 0: r = v; g = t; b = p; break;
    case 1: r = q; g = v; b = p; break;
    case 2: r = p; g = v; b = t; break;
    case 3: r = p; g = q; b = v; break;
    case 4: r = t; g = p; b = v; break;
    default: r = v; g = p; b = q; break;
    }
}

void rgbToHsv(float r, float g, float b, float& h, float& s, float& v)
{
    float maxC = std::max(r, std::max(g, b));
    float minC = std::min(r, std::min(g, b));
    float delta = maxC - minC;
    v = maxC;
    s = maxC > 0.0f ? delta / maxC : 0.0f;
    if (delta <= 0.0f) {
        h = 0.0f;
        return;
    }
    if (maxC == r) h = 60.0f * std::fmod((g - b) / delta, 6.0f);
    else if (maxC == g) h = 60.0f * ((b - r) / delta + 2.0f);
    else h = 60.0f * ((r - g) / delta + 4.0f);
    if (h < 0.0f) h += 360.0f;
}

} // namespace

const MColor MColor::kOpaqueBlack(0.0f, 0.0f, 0.0f, 1.0f);

MColor::MColor(MColorType colorModel, unsigned char c1, unsigned char c2, unsigned char c3, unsigned char alpha)
{
    const float n = 255.0f;
    float h = colorModel == kHSV ? c1 / n * 360.0f : c1 / n;
    set(colorModel, h, c2 / n, c3 / n, alpha / n);
}

MColor::MColor(MColorType colorModel, unsigned short c1, unsigned short c2, unsigned short c3,
               unsigned short alpha)
{
    const float n = 65535.0f;
    float h = colorModel == kHSV ? c1 / n * 360.0f : c1 / n;
    set(colorModel, h, c2 / n, c3 / n, alpha / n);
}

MColor::MColor(MColorType colorModel, float c1, float c2, float c3, float alpha)
{
    set(colorModel, c1, c2, c3, alpha);
}

MColor::MColor(MColorType colorModel, double c1, double c2, double c3, double alpha)
{
    set(colorModel, float(c1), float(c2), float(c3), float(alpha));
}

bool MColor::set(MColorType colorModel, float c1, float c2, float c3, float alpha)
{
    a = alpha;
    switch (colorModel) {
    case kRGB:
        r = c1;
        g = c2;
        b = c3;
        return true;
    case kHSV:
        hsvToRgb(c1, c2, c3, r, g, b);
        return true;
    case kCMY:
    case kCMYK:
        r = 1.0f - c1;
        g = 1.0f - c2;
        b = 1.0f - c3;
        return true;
    }
    r = g = b = 0.0f;
    return false;
}

bool MColor::get(float dest[4]) const
{
    dest[0] = r;
    dest[1] = g;
    dest[2] = b;
    dest[3] = a;
    return true;
}

bool MColor::get(MColorType colorModel, float& c1, float& c2, float& c3) const
{
    switch (colorModel) {
    case kRGB:
        c1 = r;
        c2 = g;
        c3 = b;
        return true;
    case kHSV:
        rgbToHsv(r, g, b, c1, c2, c3);
        return true;
    case kCMY:
    case kCMYK:
        c1 = 1.0f - r;
        c2 = 1.0f - g;
        c3 = 1.0f - b;
        return true;
    }
    return false;
}

bool MColor::get(MColorType colorModel, float& c1, float& c2, float& c3, float& alpha) const
{
    alpha = a;
    return get(colorModel, c1, c2, c3);
}

std::ostream& operator<<(std::ostream& out, const MColor& c)
{
    return out << "[" << c.r << ", " << c.g << ", " << c.b << ", " << c.a << "]";
}
