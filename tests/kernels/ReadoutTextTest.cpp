// The readout's numbers and text on plain values: which transform group and axes are named,
// the user-attribute list and its slider, the open-range rule (including values it cannot
// cover) and the text box.

#include "shapeControl/ReadoutText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace ReadoutText;

namespace {

const double kRest[kChannelCount] = {0, 0, 0, 0, 0, 0, 1, 1, 1};
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

struct Channels
{
    double v[kChannelCount];
};

Channels movedFromRest(const std::vector<std::pair<int, double>>& moves)
{
    Channels c;
    for (int i = 0; i < kChannelCount; ++i)
        c.v[i] = kRest[i];
    for (const auto& move : moves)
        c.v[move.first] += move.second;
    return c;
}

void expectColor(const Color& actual, const Color& expected)
{
    EXPECT_FLOAT_EQ(actual.r, expected.r);
    EXPECT_FLOAT_EQ(actual.g, expected.g);
    EXPECT_FLOAT_EQ(actual.b, expected.b);
    EXPECT_FLOAT_EQ(actual.a, expected.a);
}

ExtraEntry entry(const std::string& name, double value, bool isInteger)
{
    ExtraEntry e;
    e.name = name;
    e.value = value;
    e.isInteger = isInteger;
    return e;
}

enum { TX, TY, TZ, RX, RY, RZ, SX, SY, SZ };

} // namespace

TEST(ChannelReadout, NamesTheGroupThatChangedMostFavouringTranslateThenRotate)
{
    // No text for changes below the thresholds; a group with no axis over its threshold but
    // over it in all names its largest change.
    const struct
    {
        std::vector<std::pair<int, double>> moves;
        std::string text;
        Color color;
    } kCases[] = {
        {{{RX, 0.0009}, {RY, -0.0001}}, "", kTranslateColor},
        {{{TX, 0.00005}, {SZ, 0.00009}}, "", kTranslateColor},
        {{{TZ, 0.5}, {SX, 0.5}}, "T  Z 0.50", kTranslateColor},
        {{{RY, 0.25}, {SY, 0.25}}, "R  Y 0.25", kRotateColor},
        {{{SX, 1.0}, {SZ, 0.5}, {TX, 0.2}}, "S  X 2.00  Z 1.50", kScaleColor},
        {{{RX, 0.0004}, {RY, 0.0007}, {RZ, 0.0002}}, "R  Y 0.00", kRotateColor},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.text);
        const Channels now = movedFromRest(c.moves);
        Readout readout;
        EXPECT_EQ(channelReadout(kRest, now.v, readout), !c.text.empty());
        EXPECT_EQ(readout.hasText, !c.text.empty());
        if (readout.hasText) {
            EXPECT_EQ(readout.text, c.text);
            expectColor(readout.color, c.color);
        }
    }
}

TEST(ChannelReadout, HugeValuesAreCutToTheTextBuffer)
{
    const Channels now = movedFromRest({{TX, 1e300}, {TY, 1e300}, {TZ, 1e300}});
    Readout readout;
    ASSERT_TRUE(channelReadout(kRest, now.v, readout));
    EXPECT_EQ(readout.text.size(), kTextBufferBytes - 1);
    EXPECT_EQ(readout.text.compare(0, 8, "T  X 100"), 0) << readout.text;
}

TEST(ExtrasReadout, ListsFourChangedAttributesThenAnEllipsis)
{
    const std::vector<ExtraEntry> changed = {entry("a", 1, true), entry("b", 2.5, false), entry("c", 3, true),
                                             entry("d", -4.126, false), entry("e", 5, true)};
    Readout readout;
    ASSERT_TRUE(extrasReadout(changed, readout));
    EXPECT_EQ(readout.text, "a 1  b 2.50  c 3  d -4.13  ...");
    expectColor(readout.color, kExtraColor);
    EXPECT_FALSE(readout.showSlider) << "a slider only goes with a single change";
}

TEST(ExtrasReadout, WithoutAReadableDefaultTheReferenceIsZeroInsideTheRangeElseItsMiddle)
{
    ExtraEntry inside = entry("inside", 1, false);
    applyNumericRange(inside, true, -2.0, true, 6.0, false, 0.0);
    EXPECT_DOUBLE_EQ(inside.reference, 0.0);
    ExtraEntry above = entry("above", 3, true);
    applyNumericRange(above, true, 2.0, true, 6.0, false, 0.0);
    EXPECT_DOUBLE_EQ(above.reference, 4.0);
}

TEST(ExtrasReadout, AnOpenRangeCentresTheReferenceAndBendsTheValueTowardsTheEnds)
{
    ExtraEntry spread = entry("spread", 3.0, false);
    applyNumericRange(spread, true, 0.0, false, 0.0, true, 0.0);
    EXPECT_EQ(spread.kind, kOpenSlider);
    EXPECT_DOUBLE_EQ(spread.min, -4.0);
    EXPECT_DOUBLE_EQ(spread.max, 4.0);

    Readout readout;
    ASSERT_TRUE(extrasReadout({spread}, readout));
    EXPECT_EQ(readout.sliderKind, kOpenSlider);
    EXPECT_FALSE(readout.showRangeLabels);
    EXPECT_DOUBLE_EQ(readout.sliderReference, 0.5);
    EXPECT_NEAR(readout.sliderValue, 0.5 + 0.16 * std::asinh(3.0 / 0.5), 1e-12);

    ExtraEntry far = entry("far", -1e6, false);
    applyUnitRange(far, true, 0.0);
    Readout farReadout;
    ASSERT_TRUE(extrasReadout({far}, farReadout));
    EXPECT_DOUBLE_EQ(farReadout.sliderValue, 0.0) << "clamped at the low end";
}

TEST(ExtrasReadout, AnEnumOfOneFieldHasNoSlider)
{
    ExtraEntry single = entry("single", 0, true);
    applyEnumRange(single, 0, 0);
    EXPECT_EQ(single.kind, kNoSlider);
}

TEST(ExtrasReadout, IntegerAndRealChangesHaveTheirOwnThresholds)
{
    EXPECT_FALSE(extraChanged(entry("i", 3, true), 2.5));
    EXPECT_TRUE(extraChanged(entry("i", 3, true), 2.0));
    EXPECT_FALSE(extraChanged(entry("r", 1.00005, false), 1.0));
    EXPECT_TRUE(extraChanged(entry("r", 1.0002, false), 1.0));
}

TEST(OpenRange, DoublesTheHalfRangeUntilItCoversTheValue)
{
    double min = 0, max = 0;
    ASSERT_TRUE(openRange(7.0, 0.0, true, min, max));
    EXPECT_DOUBLE_EQ(min, -8.0);
    EXPECT_DOUBLE_EQ(max, 8.0);

    ASSERT_TRUE(openRange(10.5, 10.0, false, min, max));
    EXPECT_DOUBLE_EQ(min, 5.0);
    EXPECT_DOUBLE_EQ(max, 15.0);

    ASSERT_TRUE(openRange(-1e300, 1e300, false, min, max)) << "a finite gap is always covered";
    EXPECT_LE(min, -1e300);
    EXPECT_GE(max, 1e300);
}

TEST(OpenRange, NonFiniteValuesOrRangesGiveNoSliderAndEnd)
{
    double min = 0, max = 0;
    EXPECT_FALSE(openRange(kNaN, 0.0, false, min, max));
    EXPECT_FALSE(openRange(1.0, kNaN, true, min, max));
    EXPECT_FALSE(openRange(kInf, 0.0, false, min, max));
    EXPECT_FALSE(openRange(0.0, -kInf, true, min, max));
    // Finite ends whose gap overflows to infinity.
    EXPECT_FALSE(openRange(1.7e308, -1.7e308, false, min, max));

    ExtraEntry broken = entry("broken", kInf, false);
    applyNumericRange(broken, false, 0.0, false, 0.0, true, 0.0);
    EXPECT_EQ(broken.kind, kNoSlider);
    ExtraEntry noReference = entry("noReference", 2.0, false);
    applyUnitRange(noReference, true, kNaN);
    EXPECT_EQ(noReference.kind, kNoSlider);

    Readout readout;
    ASSERT_TRUE(extrasReadout({broken}, readout));
    EXPECT_EQ(readout.text, "broken inf");
    EXPECT_FALSE(readout.showSlider);
    Readout integer;
    ASSERT_TRUE(extrasReadout({entry("count", kNaN, true)}, integer));
    EXPECT_EQ(integer.text, "count nan");
}

TEST(TextBox, KeepsAtLeast64PixelsAndGrowsWithTheText)
{
    const TextBox one = textBox(1, 12, 1.0f, 0.95f, 0.55f, 1280, 1024);
    EXPECT_EQ(one.width, 64);
    EXPECT_EQ(one.height, 21);
    EXPECT_EQ(one.fontSize, 12u);

    const TextBox empty = textBox(0, 2, 1.0f, 1.0f, 1.0f, 0, 0);
    EXPECT_EQ(empty.fontSize, 8u) << "fonts are at least 8 pixels";
    EXPECT_EQ(empty.height, 17);

    const TextBox forty = textBox(40, 12, 1.0f, 1.0f, 1.0f, 1280, 1024);
    EXPECT_EQ(forty.width, 316);  // ceil(40 * 12 * 0.62 + 18)
}

TEST(TextBox, AHugeFontSizeIsClampedToTheView)
{
    const TextBox inView = textBox(20, 4000000000u, 1.0f, 1.0f, 1.0f, 1280, 1024);
    EXPECT_EQ(inView.width, 1280);
    EXPECT_EQ(inView.height, 1024);
    EXPECT_EQ(inView.fontSize, 1024u);

    const TextBox noView = textBox(100000, std::numeric_limits<unsigned int>::max(), 1.0f, 1.0f, 1.0f, 0, 0);
    EXPECT_EQ(noView.width, std::numeric_limits<int>::max()) << "no wrap-around to a negative width";
    EXPECT_GT(noView.height, 0);
}

TEST(TextBox, DarkBackgroundAndBrightenedTextFromTheReadoutColour)
{
    const TextBox box = textBox(5, 12, 1.0f, 0.95f, 0.55f, 0, 0);
    EXPECT_FLOAT_EQ(box.background.r, 0.1f);
    EXPECT_FLOAT_EQ(box.background.g, 0.95f * 0.045f + 0.06f);
    EXPECT_FLOAT_EQ(box.background.b, 0.55f * 0.045f + 0.065f);
    EXPECT_FLOAT_EQ(box.background.a, 0.84f);
    EXPECT_FLOAT_EQ(box.text.r, 1.0f);
    EXPECT_FLOAT_EQ(box.text.b, 0.82f * 0.55f + 0.18f);
    EXPECT_FLOAT_EQ(box.text.a, 0.98f);

    const TextBox outOfRange = textBox(5, 12, 7.0f, -3.0f, 0.0f, 0, 0);
    EXPECT_FLOAT_EQ(outOfRange.background.r, 0.1f) << "background channels clamp the colour first";
    EXPECT_FLOAT_EQ(outOfRange.background.g, 0.06f);
}
