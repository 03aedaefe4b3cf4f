#include "shapeControl/ReadoutText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace ReadoutText {

namespace {

// Enough to take a half-range from 1e-4 past the largest double; a finite value is covered long
// before, an infinite one never is.
constexpr int kMaxDoublings = 1100;

constexpr double kSliderEpsilon = 1e-8;

const char* const kGroupLabels[3] = {"T", "R", "S"};
const char* const kAxisLabels[3] = {"X", "Y", "Z"};
const double kThresholds[3] = {kTranslateThreshold, kRotateThreshold, kScaleThreshold};
const Color kGroupColors[3] = {kTranslateColor, kRotateColor, kScaleColor};

bool finite(double x)
{
    return std::isfinite(x);
}

// Appends to text without letting it grow past the readout's buffer.
void appendCapped(std::string& text, const std::string& piece)
{
    const std::size_t room = kTextBufferBytes - 1;
    if (text.size() >= room) {
        return;
    }
    text.append(piece, 0, room - text.size());
}

double clamp01(double x)
{
    return std::min(std::max(x, 0.0), 1.0);
}

double normalise(double x, double min, double max)
{
    if (max - min <= kSliderEpsilon) {
        return 0.5;
    }
    return clamp01((x - min) / (max - min));
}

void clearSlider(ExtraEntry& entry)
{
    entry.kind = kNoSlider;
    entry.min = 0.0;
    entry.max = 0.0;
}

// Range of an entry whose reference is set: the open-range rule, or no slider.
void applyOpenRange(ExtraEntry& entry)
{
    double min = 0.0;
    double max = 0.0;
    if (!openRange(entry.value, entry.reference, entry.isInteger, min, max)) {
        clearSlider(entry);
        return;
    }
    entry.kind = kOpenSlider;
    entry.min = min;
    entry.max = max;
}

float brightened(float channel)
{
    return std::min(0.82f * channel + 0.18f, 1.0f);
}

float backgroundChannel(float channel, float base)
{
    return std::min(std::max(channel, 0.0f), 1.0f) * 0.045f + base;
}

} // namespace

bool openRange(double value, double reference, bool isInteger, double& min, double& max)
{
    if (!finite(value) || !finite(reference)) {
        return false;
    }
    double half = 0.0;
    double reach = std::fabs(value - reference);
    if (isInteger) {
        reach = std::ceil(reach);
        half = std::max(std::ceil(std::max(std::fabs(reference), 1.0)), 1.0);
    } else {
        half = std::max(std::max(std::fabs(reference), 1.0) * 0.5, 0.5);
    }
    half = std::max(half, 1e-4);
    for (int i = 0; i < kMaxDoublings && half < reach; ++i) {
        half *= 2.0;
    }
    if (!(half >= reach)) {
        return false;
    }
    if (isInteger) {
        min = std::floor(reference - half);
        max = std::ceil(reference + half);
        if (min >= max) {
            min -= 1.0;
            max += 1.0;
        }
    } else {
        min = reference - half;
        max = reference + half;
        if (min >= max) {
            min -= 0.5;
            max += 0.5;
        }
    }
    return finite(min) && finite(max);
}

void applyNumericRange(ExtraEntry& entry, bool hasMin, double min, bool hasMax, double max, bool hasDefault,
                       double defaultValue)
{
    if (!finite(entry.value)) {
        clearSlider(entry);
        return;
    }
    if (hasMin && hasMax && max > min) {
        if (!finite(min) || !finite(max)) {
            clearSlider(entry);
            return;
        }
        entry.kind = kBoundedSlider;
        entry.min = min;
        entry.max = max;
        if (hasDefault && finite(defaultValue)) {
            entry.reference = defaultValue;
        } else {
            entry.reference = (min <= 0.0 && 0.0 <= max) ? 0.0 : (min + max) / 2.0;
        }
        return;
    }
    entry.reference = hasDefault ? defaultValue : 0.0;
    applyOpenRange(entry);
}

void applyBooleanRange(ExtraEntry& entry, bool hasDefault, double defaultValue)
{
    entry.reference = hasDefault && finite(defaultValue) ? defaultValue : 0.0;
    if (!finite(entry.value)) {
        clearSlider(entry);
        return;
    }
    entry.kind = kBoundedSlider;
    entry.min = 0.0;
    entry.max = 1.0;
}

void applyEnumRange(ExtraEntry& entry, double min, double max)
{
    if (!finite(entry.value) || !finite(min) || !finite(max) || !(max > min)) {
        clearSlider(entry);
        entry.reference = 0.0;
        return;
    }
    entry.kind = kBoundedSlider;
    entry.min = min;
    entry.max = max;
    entry.reference = (min <= 0.0 && 0.0 <= max) ? 0.0 : (min + max) / 2.0;
}

void applyUnitRange(ExtraEntry& entry, bool hasDefault, double defaultValue)
{
    entry.reference = hasDefault ? defaultValue : 0.0;
    applyOpenRange(entry);
}

bool extraChanged(const ExtraEntry& entry, double previousValue)
{
    const double threshold = entry.isInteger ? kIntegerExtraThreshold : kRealExtraThreshold;
    return std::fabs(entry.value - previousValue) > threshold;
}

std::string formatValue(double value, bool isInteger)
{
    char buffer[64];
    if (isInteger && finite(value) && std::fabs(value) < 9.0e15) {
        std::snprintf(buffer, sizeof buffer, "%lld", static_cast<long long>(std::llround(value)));
    } else if (isInteger) {
        // Too large (or not a number) for an integer conversion: the nearest integer as a real.
        std::snprintf(buffer, sizeof buffer, "%.0f", value);
    } else {
        std::snprintf(buffer, sizeof buffer, "%.2f", value);
    }
    return buffer;
}

bool extrasReadout(const std::vector<ExtraEntry>& changed, Readout& readout)
{
    std::string text;
    const std::size_t listed = std::min(changed.size(), kMaxListedExtras);
    for (std::size_t i = 0; i < listed; ++i) {
        if (i > 0) {
            appendCapped(text, "  ");
        }
        appendCapped(text, changed[i].name + " " + formatValue(changed[i].value, changed[i].isInteger));
    }
    if (changed.size() > kMaxListedExtras) {
        appendCapped(text, "  ...");
    }
    readout.text = text;
    readout.hasText = !text.empty();
    readout.color = kExtraColor;
    if (!readout.hasText) {
        return false;
    }

    if (changed.size() != 1) {
        return true;
    }
    const ExtraEntry& entry = changed[0];
    if (entry.kind == kNoSlider || !finite(entry.value) || !finite(entry.reference) ||
        !(entry.max - entry.min > kSliderEpsilon)) {
        return true;
    }
    readout.showSlider = true;
    readout.sliderKind = entry.kind;
    if (entry.kind == kOpenSlider) {
        const double d = entry.value - entry.reference;
        if (std::fabs(d) <= kSliderEpsilon) {
            readout.sliderValue = 0.5;
        } else {
            const double scale = entry.isInteger ? std::max(std::fabs(entry.reference), 1.0)
                                                 : std::max(0.5 * std::fabs(entry.reference), 0.5);
            const double side = d > 0.0 ? 1.0 : -1.0;
            readout.sliderValue = clamp01(0.5 + side * 0.16 * std::asinh(std::fabs(d) / scale));
        }
        readout.sliderReference = 0.5;
    } else {
        readout.sliderValue = normalise(entry.value, entry.min, entry.max);
        readout.sliderReference = normalise(entry.reference, entry.min, entry.max);
        readout.showRangeLabels = true;
        readout.minLabel = formatValue(entry.min, entry.isInteger);
        readout.maxLabel = formatValue(entry.max, entry.isInteger);
    }
    return true;
}

bool channelReadout(const double previous[kChannelCount], const double current[kChannelCount], Readout& readout,
                    const ChannelUnits& units)
{
    double change[kChannelCount];
    bool flagged[kChannelCount];
    double sums[3] = {0.0, 0.0, 0.0};
    for (int c = 0; c < kChannelCount; ++c) {
        change[c] = std::fabs(current[c] - previous[c]);
        flagged[c] = change[c] > kThresholds[c / 3];
        sums[c / 3] += change[c];
    }
    if (sums[0] <= kTranslateThreshold && sums[1] <= kRotateThreshold && sums[2] <= kScaleThreshold) {
        return false;
    }

    int group = 2;
    if (sums[0] >= sums[1] && sums[0] >= sums[2]) {
        group = 0;
    } else if (sums[1] >= sums[2]) {
        group = 1;
    }
    const int first = group * 3;
    bool axes[3] = {flagged[first], flagged[first + 1], flagged[first + 2]};
    if (!axes[0] && !axes[1] && !axes[2]) {
        const double dx = change[first], dy = change[first + 1], dz = change[first + 2];
        if (dx >= dy && dx >= dz) {
            axes[0] = true;
        } else if (dy >= dz) {
            axes[1] = true;
        } else {
            axes[2] = true;
        }
    }

    // Thresholds hold for the stored values; the text shows them as the channel box does.
    const double shown = group == 0 ? units.translate : group == 1 ? units.rotate : 1.0;
    char buffer[kTextBufferBytes];
    int used = std::snprintf(buffer, sizeof buffer, "%s", kGroupLabels[group]);
    for (int axis = 0; axis < 3; ++axis) {
        if (!axes[axis] || used < 0 || static_cast<std::size_t>(used) >= sizeof buffer) {
            continue;
        }
        const int more = std::snprintf(buffer + used, sizeof buffer - used, "  %s %.2f", kAxisLabels[axis],
                                       current[first + axis] * shown);
        used = more < 0 ? used : used + more;
    }
    readout.text = buffer;
    readout.hasText = true;
    readout.color = kGroupColors[group];
    return true;
}

TextBox textBox(std::size_t textLength, unsigned int fontSize, float r, float g, float b, int viewWidth,
                int viewHeight)
{
    TextBox box;
    double size = std::max(static_cast<double>(fontSize), 8.0);
    // A font taller than the view cannot be read anyway; keep it within the view.
    if (viewHeight > 0) {
        size = std::max(std::min(size, static_cast<double>(viewHeight)), 8.0);
    }
    double width = std::max(std::ceil(std::max(static_cast<double>(textLength), 1.0) * size * 0.62 + 18.0), 64.0);
    double height = size + 9.0;
    const double intMax = static_cast<double>(std::numeric_limits<int>::max());
    width = std::min(width, viewWidth > 0 ? static_cast<double>(viewWidth) : intMax);
    height = std::min(height, viewHeight > 0 ? static_cast<double>(viewHeight) : intMax);

    box.fontSize = static_cast<unsigned int>(size);
    box.width = static_cast<int>(width);
    box.height = static_cast<int>(height);
    box.background = {backgroundChannel(r, 0.055f), backgroundChannel(g, 0.06f), backgroundChannel(b, 0.065f), 0.84f};
    box.text = {brightened(r), brightened(g), brightened(b), 0.98f};
    return box;
}

} // namespace ReadoutText
