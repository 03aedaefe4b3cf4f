#include <gtest/gtest.h>

#include <maya/MAngle.h>
#include <maya/MAnimControl.h>
#include <maya/MColor.h>
#include <maya/MDGContext.h>
#include <maya/MDGContextGuard.h>
#include <maya/MDistance.h>
#include <maya/MEvaluationManager.h>
#include <maya/MTime.h>
#include <maya/MTypeId.h>

#include <thread>

TEST(TimeUnits, FilmIsTheDefaultAndConversionsAreExact)
{
    EXPECT_EQ(MTime::uiUnit(), MTime::kFilm);
    MTime t(48.0);
    EXPECT_EQ(t.unit(), MTime::kFilm);
    EXPECT_EQ(t.as(MTime::kSeconds), 2.0);
    EXPECT_EQ(MTime(10.0, MTime::kFilm).as(MTime::k6000FPS), 2500.0);
    EXPECT_DOUBLE_EQ(MTime(30.0, MTime::k29_97FPS).as(MTime::kSeconds), 1.001);
    EXPECT_DOUBLE_EQ(MTime(1.001, MTime::kSeconds).as(MTime::k29_97FPS), 30.0);
    EXPECT_EQ(MTime(90.0, MTime::kMinutes).as(MTime::kHours), 1.5);
    EXPECT_EQ(MTime(1.0, MTime::kSeconds).asUnits(MTime::kMilliseconds), 1000.0);
}

TEST(TimeUnits, TimesCompareAcrossUnitsAndKeepTheirUnitInArithmetic)
{
    EXPECT_TRUE(MTime(1.0, MTime::kSeconds) == MTime(24.0, MTime::kFilm));
    EXPECT_TRUE(MTime(1.0, MTime::kSeconds) < MTime(25.0, MTime::kFilm));
    EXPECT_TRUE(MTime(2.0, MTime::kNTSCFrame) > MTime(1.0, MTime::kFilm));
    EXPECT_TRUE(MTime(0.1, MTime::kSeconds) == MTime(2.4, MTime::kFilm));

    MTime sum = MTime(12.0, MTime::kFilm) + MTime(1.0, MTime::kSeconds);
    EXPECT_EQ(sum.unit(), MTime::kFilm);
    EXPECT_EQ(sum.value(), 36.0);
    MTime moved(12.0, MTime::kFilm);
    moved += 1.0;
    EXPECT_EQ(moved.value(), 13.0);

    MTime converted(12.0, MTime::kFilm);
    ASSERT_EQ(converted.setUnit(MTime::kPALFrame), MS::kSuccess);
    EXPECT_DOUBLE_EQ(converted.value(), 12.5);
    EXPECT_TRUE(converted == MTime(12.0, MTime::kFilm));
    EXPECT_NE(converted.setUnit(MTime::kInvalid), MS::kSuccess);
    EXPECT_NE(MTime::setUIUnit(MTime::kUserDef), MS::kSuccess);
    EXPECT_EQ(MTime::uiUnit(), MTime::kFilm);
}

TEST(TimeUnits, AnglesAndDistancesConvertThroughTheirInternalUnits)
{
    EXPECT_DOUBLE_EQ(MAngle(180.0, MAngle::kDegrees).asRadians(), 3.14159265358979323846);
    EXPECT_DOUBLE_EQ(MAngle(1.0, MAngle::kDegrees).asAngMinutes(), 60.0);
    EXPECT_EQ(MAngle::internalUnit(), MAngle::kRadians);
    EXPECT_DOUBLE_EQ(MAngle::internalToUI(3.14159265358979323846 / 2), 90.0);
    EXPECT_DOUBLE_EQ(MAngle::uiToInternal(90.0), 3.14159265358979323846 / 2);

    EXPECT_DOUBLE_EQ(MDistance(1.0, MDistance::kInches).asCentimeters(), 2.54);
    EXPECT_DOUBLE_EQ(MDistance(1.0, MDistance::kMeters).asMillimeters(), 1000.0);
    ASSERT_EQ(MDistance::setUIUnit(MDistance::kMeters), MS::kSuccess);
    EXPECT_DOUBLE_EQ(MDistance::internalToUI(250.0), 2.5);
    ASSERT_EQ(MDistance::setUIUnit(MDistance::kCentimeters), MS::kSuccess);
    EXPECT_NE(MDistance::setUIUnit(MDistance::kLast), MS::kSuccess);
    EXPECT_EQ(MDistance(5.0, MDistance::kFeet).as(MDistance::kInvalid), 0.0);
}

TEST(ColorModels, HsvAndCmyRoundTripThroughRgb)
{
    MColor orange(MColor::kHSV, 30.0f, 1.0f, 1.0f);
    EXPECT_FLOAT_EQ(orange.r, 1.0f);
    EXPECT_FLOAT_EQ(orange.g, 0.5f);
    EXPECT_FLOAT_EQ(orange.b, 0.0f);
    float h, s, v;
    ASSERT_TRUE(orange.get(MColor::kHSV, h, s, v));
    EXPECT_FLOAT_EQ(h, 30.0f);
    EXPECT_FLOAT_EQ(s, 1.0f);

    MColor bytes(MColor::kRGB, (unsigned char)255, (unsigned char)0, (unsigned char)51, (unsigned char)128);
    EXPECT_FLOAT_EQ(bytes.b, 0.2f);
    EXPECT_NEAR(bytes.a, 0.502f, 1e-3);

    MColor cyan(MColor::kCMY, 1.0f, 0.0f, 0.0f);
    EXPECT_EQ(cyan, MColor(0.0f, 1.0f, 1.0f));
    EXPECT_EQ(cyan * 0.5f, MColor(0.0f, 0.5f, 0.5f, 0.5f));
}

TEST(EvaluationContext, GuardsNestAndRestoreTheNormalContext)
{
    const auto contextTime = [] {
        MTime time;
        EXPECT_EQ(MDGContext::current().getTime(time), MS::kSuccess);
        return time;
    };
    ASSERT_EQ(MAnimControl::setCurrentTime(MTime(7.0, MTime::kFilm)), MS::kSuccess);
    EXPECT_TRUE(MDGContext::current().isNormal());
    EXPECT_EQ(contextTime(), MTime(7.0, MTime::kFilm));
    {
        MDGContextGuard outer(MDGContext(MTime(3.0, MTime::kFilm)));
        EXPECT_FALSE(MDGContext::current().isNormal());
        EXPECT_EQ(contextTime(), MTime(3.0, MTime::kFilm));
        {
            MDGContextGuard inner(MDGContext::fsNormal);
            EXPECT_TRUE(MDGContext::current().isNormal());
        }
        EXPECT_EQ(contextTime(), MTime(3.0, MTime::kFilm));
        // Other threads keep evaluating in the normal context.
        bool otherNormal = false;
        std::thread([&otherNormal] { otherNormal = MDGContext::current().isNormal(); }).join();
        EXPECT_TRUE(otherNormal);
    }
    EXPECT_TRUE(MDGContext::current().isNormal());
    EXPECT_FALSE(MEvaluationManager::graphConstructionActive());
    EXPECT_FALSE(MEvaluationManager::evaluationManagerActive(MDGContext::current()));
    ASSERT_EQ(MAnimControl::setCurrentTime(MTime(1.0, MTime::kFilm)), MS::kSuccess);
}

TEST(TypeIds, PrefixAndLocalIdCombine)
{
    EXPECT_EQ(MTypeId(0x0013a8c0).id(), 0x0013a8c0u);
    EXPECT_EQ(MTypeId(0x0013a8, 0xc0), MTypeId(0x0013a8c0));
    EXPECT_NE(MTypeId(1), MTypeId(2));
}
