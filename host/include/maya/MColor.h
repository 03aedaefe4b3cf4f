#ifndef MAYA_MCOLOR_H
#define MAYA_MCOLOR_H

#include <maya/MTypes.h>

#include <iosfwd>

class MColor
{
public:
    enum MColorType { kRGB, kHSV, kCMY, kCMYK };

    MColor() : r(0.0f), g(0.0f), b(0.0f), a(1.0f) {}
    MColor(const MColor& src) = default;
    MColor(float rr, float gg, float bb = 0.0f, float aa = 1.0f) : r(rr), g(gg), b(bb), a(aa) {}
    MColor(const float rgb[3]) : r(rgb[0]), g(rgb[1]), b(rgb[2]), a(1.0f) {}
    MColor(MColorType colorModel, unsigned char c1, unsigned char c2, unsigned char c3, unsigned char alpha = 255);
    MColor(MColorType colorModel, unsigned short c1, unsigned short c2, unsigned short c3, unsigned short alpha = 65535);
    MColor(MColorType colorModel, float c1, float c2, float c3, float alpha = 1.0f);
    MColor(MColorType colorModel, double c1, double c2, double c3, double alpha = 1.0);
    MColor& operator=(const MColor& src) = default;

    bool set(MColorType colorModel, float c1, float c2, float c3, float alpha = 1.0f);
    bool get(float dest[4]) const;
    bool get(MColorType colorModel, float& c1, float& c2, float& c3) const;
    bool get(MColorType colorModel, float& c1, float& c2, float& c3, float& alpha) const;

    float operator[](unsigned int i) const { return (&r)[i]; }
    float& operator[](unsigned int i) { return (&r)[i]; }

    MColor operator*(const MColor& o) const { return MColor(r * o.r, g * o.g, b * o.b, a * o.a); }
    MColor& operator*=(const MColor& o) { r *= o.r; g *= o.g; b *= o.b; a *= o.a; return *this; }
    MColor operator*(float s) const { return MColor(r * s, g * s, b * s, a * s); }
    MColor& operator*=(float s) { r *= s; g *= s; b *= s; a *= s; return *this; }
    MColor operator/(float s) const { return MColor(r / s, g / s, b / s, a / s); }
    MColor& operator/=(float s) { r /= s; g /= s; b /= s; a /= s; return *this; }
    MColor operator+(const MColor& o) const { return MColor(r + o.r, g + o.g, b + o.b, a + o.a); }
    MColor& operator+=(const MColor& o) { r += o.r; g += o.g; b += o.b; a += o.a; return *this; }
    MColor operator-(const MColor& o) const { return MColor(r - o.r, g - o.g, b - o.b, a - o.a); }
    MColor& operator-=(const MColor& o) { r -= o.r; g -= o.g; b -= o.b; a -= o.a; return *this; }
    MColor operator-() const { return MColor(-r, -g, -b, -a); }
    friend MColor operator*(float s, const MColor& c) { return c * s; }
    bool operator==(const MColor& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
    bool operator!=(const MColor& o) const { return !(*this == o); }

    friend std::ostream& operator<<(std::ostream& out, const MColor& c);

    static const MColor kOpaqueBlack;

    float r;
    float g;
    float b;
    float a;
};

#endif
