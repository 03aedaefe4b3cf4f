#pragma once
// The numbers and text of the transform readout: which channels or user attributes changed,
// the text naming them, the slider range and positions, and the size and colours of the text
// box. Plain values in, plain results out; the plug reading and the drawing live beside it in
// TransformReadout.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ReadoutText {

struct Color
{
    float r, g, b, a;
};

constexpr Color kTranslateColor = {1.0f, 0.95f, 0.55f, 0.95f};
constexpr Color kRotateColor = {0.74f, 1.0f, 0.78f, 0.95f};
constexpr Color kScaleColor = {0.72f, 0.87f, 1.0f, 0.95f};
constexpr Color kExtraColor = {0.98f, 0.9f, 0.55f, 0.95f};

constexpr double kTranslateThreshold = 1e-4;
constexpr double kRotateThreshold = 1e-3;
constexpr double kScaleThreshold = 1e-4;
constexpr double kRealExtraThreshold = 1e-4;
constexpr double kIntegerExtraThreshold = 0.5;
constexpr int64_t kHoldNanoseconds = 900000000;
constexpr std::size_t kTextBufferBytes = 192;
constexpr std::size_t kMaxListedExtras = 4;

enum SliderKind { kNoSlider = 0, kBoundedSlider = 1, kOpenSlider = 2 };

// Channel order of a snapshot: tx, ty, tz, rx, ry, rz, sx, sy, sz.
constexpr int kChannelCount = 9;

// One tracked user attribute.
struct ExtraEntry
{
    std::string name;
    double value = 0.0;
    bool isInteger = false;
    int kind = kNoSlider;
    double min = 0.0;
    double max = 0.0;
    double reference = 0.0;
};

// What a readout shows; the caller turns it into the plug-in's readout record.
struct Readout
{
    bool hasText = false;
    bool showSlider = false;
    bool showRangeLabels = false;
    Color color = kTranslateColor;
    std::string text;
    std::string minLabel;
    std::string maxLabel;
    int sliderKind = kNoSlider;
    double sliderValue = 0.0;
    double sliderReference = 0.5;
};

// Range ends for a value without both limits, doubling a half-range around the reference until
// it covers the value. False (and no range) when the value or reference is not finite or no
// finite range covers it.
bool openRange(double value, double reference, bool isInteger, double& min, double& max);

// Fill in kind, min, max and reference of an entry whose value and isInteger are set, from the
// attribute's metadata. A non-finite value, reference or limit leaves the entry without a slider.
void applyNumericRange(ExtraEntry& entry, bool hasMin, double min, bool hasMax, double max, bool hasDefault,
                       double defaultValue);
void applyBooleanRange(ExtraEntry& entry, bool hasDefault, double defaultValue);
void applyEnumRange(ExtraEntry& entry, double min, double max);
void applyUnitRange(ExtraEntry& entry, bool hasDefault, double defaultValue);

// Whether an entry moved far enough from its previous value to be shown.
bool extraChanged(const ExtraEntry& entry, double previousValue);

// The readout of the changed user attributes (at most four listed, then "  ..."), with a slider
// when exactly one changed and it has a range. False when there is no text.
bool extrasReadout(const std::vector<ExtraEntry>& changed, Readout& readout);

// Factors from the stored channel values (centimetres, radians) to the units the channel box
// shows them in (the UI linear and angular units).
struct ChannelUnits
{
    double translate = 1.0;
    double rotate = 1.0;
};

// The readout of the transform channels that changed between two snapshots: the group with the
// largest change (ties favour translate, then rotate) and its changed axes, their values shown in
// `units`. False when no channel changed enough.
bool channelReadout(const double previous[kChannelCount], const double current[kChannelCount], Readout& readout,
                    const ChannelUnits& units = ChannelUnits());

// "%d" of the nearest integer, or "%.2f", as the readout writes values and range ends.
std::string formatValue(double value, bool isInteger);

// The text box of one readout: its size in pixels, its background and text colours, and the
// font size to draw with. A view size of zero or less leaves that side unclamped.
struct TextBox
{
    unsigned int fontSize = 8;
    int width = 64;
    int height = 17;
    Color background = {0.0f, 0.0f, 0.0f, 0.84f};
    Color text = {0.0f, 0.0f, 0.0f, 0.98f};
};

TextBox textBox(std::size_t textLength, unsigned int fontSize, float r, float g, float b, int viewWidth,
                int viewHeight);

} // namespace ReadoutText
