#pragma once
// Host-free layout of a shape control's drawing: placing stored points by the locator's local
// position and scale, closing sampled curves, and where the readout and its slider hang.

namespace ShapeControlDrawLayout {

struct Vec3
{
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

// A stored point q placed by localPosition p and localScale s: p + s * q, per component.
Vec3 place(const Vec3& q, const Vec3& position, const Vec3& scale);

// Whether a closed curve's samples still need the first point appended: the first and last
// points differ by more than 1e-5 on some axis.
bool needsClosingPoint(const Vec3& first, const Vec3& last);

// The slider's handle unit and length, in pixels of the view: the same size on screen however
// the control is scaled and however far it is.
constexpr double kSliderUnitPixels = 16.0;
constexpr double kSliderLengthPixels = 96.0;

// Where the readout hangs: above the explicit box when there is one, else above the placed origin.
Vec3 readoutAnchor(const Vec3& position, const Vec3& scale, bool hasBox, const Vec3& boxMin, const Vec3& boxMax);

// Every point and colour of the slider below the readout text.
struct SliderLayout
{
    Vec3 start;
    Vec3 end;
    Vec3 referencePoint;
    Vec3 valuePoint;
    double handleHalfHeight = 0.0;
    double tickHalfHeight = 0.0;
    float trackColor[4] = {0, 0, 0, 0};
    float fillColor[4] = {0, 0, 0, 0};
    float tickColor[4] = {0, 0, 0, 0};
    float labelColor[4] = {0, 0, 0, 0};
    unsigned labelFontSize = 8;
    Vec3 minLabelPosition;
    Vec3 maxLabelPosition;
};

// right and up are one pixel along the camera's axes in the control's local space, unit and length
// are in pixels; value and reference are 0..1 along the slider; readoutColor is r, g, b, a.
SliderLayout sliderLayout(const Vec3& anchor, const Vec3& right, const Vec3& up, double unit, double length,
                          double value, double reference, const float readoutColor[4], int readoutTextSize);

} // namespace ShapeControlDrawLayout
