// Animation curves, keys and time: what animators key evaluates as Maya evaluates it, the key
// commands edit and undo, scenes keep every key, and play steps through the frames.

#include "SceneTestSupport.h"
#include "support/RealScenesFolder.h"

#include <maya/MAnimControl.h>
#include <maya/MDGMessage.h>
#include <maya/MMessage.h>

#include <cmath>
#include <fstream>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

namespace {

class Animation : public SceneTest
{
protected:
    // Value of a plug at a frame.
    double at(double frame, const std::string& plug)
    {
        std::ostringstream time;
        time << std::setprecision(17) << frame;
        EXPECT_TRUE(run("currentTime " + time.str())) << errors();
        return number("getAttr " + plug);
    }
};

struct TangentCase
{
    const char* name;
    const char* keys;  // setKeyframe lines for "box.tx"
    double frame;
    double expected;
};

// Hermite segments with the slopes each tangent type gives (values hand-derived from the keys).
const TangentCase kTangentCases[] = {
    {"LinearIsStraight", "setKeyframe -t 1 -v 0 -itt linear -ott linear box.tx; setKeyframe -t 11 -v 10 -itt linear -ott linear box.tx", 3.5, 2.5},
    {"StepHoldsUntilTheNextKey", "setKeyframe -t 1 -v 0 -ott step box.tx; setKeyframe -t 11 -v 10 box.tx", 10.9, 0.0},
    {"StepReachesTheNextKeyOnIt", "setKeyframe -t 1 -v 0 -ott step box.tx; setKeyframe -t 11 -v 10 box.tx", 11, 10.0},
    {"StepNextJumpsAtOnce", "setKeyframe -t 1 -v 0 -ott stepnext box.tx; setKeyframe -t 11 -v 10 box.tx", 1.5, 10.0},
    {"FlatEasesInAndOut", "setKeyframe -t 1 -v 0 -itt flat -ott flat box.tx; setKeyframe -t 11 -v 10 -itt flat -ott flat box.tx", 3.5, 1.5625},
    {"SplineOfTwoKeysIsStraight", "setKeyframe -t 1 -v 0 -itt spline -ott spline box.tx; setKeyframe -t 11 -v 10 -itt spline -ott spline box.tx", 3.5, 2.5},
    {"AutoFlattensAPeak", "setKeyframe -t 1 -v 0 box.tx; setKeyframe -t 11 -v 10 box.tx; setKeyframe -t 21 -v 0 box.tx", 13.5, 8.4375},
    {"AutoStopsShortOfOvershooting", "setKeyframe -t 1 -v 0 box.tx; setKeyframe -t 2 -v 10 box.tx; setKeyframe -t 11 -v 11 box.tx", 6.5, 10.875},
    {"PlateauKeepsSplineBetweenRisingKeys", "setKeyframe -t 1 -v 0 -itt plateau -ott plateau box.tx; setKeyframe -t 11 -v 5 -itt plateau -ott plateau box.tx; setKeyframe -t 21 -v 10 -itt plateau -ott plateau box.tx", 6, 1.875},
    {"ClampedGoesLinearBesideAnEqualKey", "setKeyframe -t 1 -v 0 -itt clamped -ott clamped box.tx; setKeyframe -t 11 -v 0 -itt clamped -ott clamped box.tx; setKeyframe -t 21 -v 10 -itt clamped -ott clamped box.tx", 13.5, 2.5},
};

class TangentTypes : public Animation, public ::testing::WithParamInterface<TangentCase>
{
};

TEST_P(TangentTypes, SegmentsFollowTheTangentsSlopes)
{
    ASSERT_TRUE(run("createNode transform -n box")) << errors();
    ASSERT_TRUE(run(GetParam().keys)) << errors();
    EXPECT_NEAR(at(GetParam().frame, "box.tx"), GetParam().expected, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Animation, TangentTypes, ::testing::ValuesIn(kTangentCases),
                         [](const ::testing::TestParamInfo<TangentCase>& info) { return info.param.name; });

TEST_F(Animation, InfinityRepeatsOrExtendsTheKeyedRange)
{
    ASSERT_TRUE(run("createNode transform -n box; setKeyframe -t 1 -v 0 -itt linear -ott linear box.tx;"
                    "setKeyframe -t 11 -v 10 -itt linear -ott linear box.tx"))
        << errors();
    const struct
    {
        const char* pre;
        const char* post;
        double frame;
        double expected;
    } cases[] = {
        {"0", "0", 13.5, 10.0},  {"0", "1", 16, 15.0},   {"1", "0", -4, -5.0},   {"0", "3", 13.5, 2.5},
        {"0", "4", 13.5, 12.5},  {"0", "5", 13.5, 7.5},  {"3", "0", -6.5, 2.5},  {"4", "0", -6.5, -7.5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pre) + "/" + c.post + " at " + std::to_string(c.frame));
        ASSERT_TRUE(run(std::string("setAttr box_translateX.pre ") + c.pre + "; setAttr box_translateX.pst " + c.post));
        EXPECT_NEAR(at(c.frame, "box.tx"), c.expected, 1e-9);
    }
    ASSERT_TRUE(run("setKeyframe -t 11 -v 10 -ott step box.tx; setAttr box_translateX.pst 1"));
    EXPECT_NEAR(at(16, "box.tx"), 10.0, 1e-9) << "a stepped end extends flat";
}

TEST_F(Animation, WeightedHandlesShapeTheSegment)
{
    // Flat tangents with handles 0.9 of the segment long hold the start value longer than a
    // third-long (unweighted) handle does.
    ASSERT_TRUE(openText("createNode transform -n box;\n"
                         "createNode animCurveTL -n curve;\n"
                         "\tsetAttr \".tan\" 1;\n"
                         "\tsetAttr \".wgt\" yes;\n"
                         "\tsetAttr -s 2 \".ktv[0:1]\"  0 0 24 10;\n"
                         "\tsetAttr -s 2 \".kix[0:1]\"  2.7 2.7;\n"
                         "\tsetAttr -s 2 \".kiy[0:1]\"  0 0;\n"
                         "\tsetAttr -s 2 \".kox[0:1]\"  2.7 2.7;\n"
                         "\tsetAttr -s 2 \".koy[0:1]\"  0 0;\n"
                         "connectAttr \"curve.o\" \"box.tx\";\n"))
        << errors();
    const double weighted = at(6, "box.tx");
    EXPECT_NEAR(at(12, "box.tx"), 5.0, 1e-9);  // symmetric handles meet in the middle
    ASSERT_TRUE(run("setAttr curve.wgt no"));
    const double unweighted = at(6, "box.tx");
    EXPECT_NEAR(unweighted, 1.5625, 1e-9);
    EXPECT_GT(weighted, 0.0);
    EXPECT_LT(weighted, unweighted - 0.3);
}

TEST_F(Animation, SetKeyframeKeysKeyableChannelsAndUndoRemovesTheCurves)
{
    ASSERT_TRUE(run("createNode transform -n box; setAttr box.t 1 2 3; setAttr box.ry 30")) << errors();
    EXPECT_EQ(number("setKeyframe box"), 10);
    const MStringArray curves = strings("ls -type animCurve");
    ASSERT_EQ(curves.length(), 10u);
    EXPECT_EQ(text("listConnections -s 1 -d 0 box.ty"), "box_translateY");
    EXPECT_EQ(text("nodeType box_rotateY"), "animCurveTA");
    EXPECT_EQ(text("nodeType box_visibility"), "animCurveTU");
    ASSERT_TRUE(run("setKeyframe -t 11 -v 7 -at ty box"));
    EXPECT_NEAR(at(11, "box.ty"), 7.0, 1e-12);
    EXPECT_NEAR(at(1, "box.ty"), 2.0, 1e-12);
    EXPECT_NEAR(at(1, "box.ry"), 30.0, 1e-12);
    const MDoubleArray pairs = value("keyframe -q -tc -vc box.ty").asDoubleArray();
    ASSERT_EQ(pairs.length(), 4u);
    EXPECT_EQ(std::vector<double>(pairs.begin(), pairs.end()), (std::vector<double>{1, 2, 11, 7}));
    EXPECT_EQ(number("keyframe -q -kc box"), 11);

    ASSERT_TRUE(run("undo; undo"));
    EXPECT_EQ(strings("ls -type animCurve").length(), 0u);
    EXPECT_EQ(number("getAttr box.ty"), 2.0);
    ASSERT_TRUE(run("redo"));
    EXPECT_EQ(strings("ls -type animCurve").length(), 10u);
    EXPECT_EQ(number("keyframe -q -kc box.ty"), 1);
    // A keyed channel takes a pose until the time changes, as an animator sets it before keying.
    ASSERT_TRUE(run("setAttr box.ty 5")) << errors();
    EXPECT_EQ(number("getAttr box.ty"), 5.0);
    EXPECT_EQ(value("xform -q -ws -t box").asDoubleArray()[1], 5.0) << "the pose moves the box";
    EXPECT_NEAR(at(2, "box.ty"), 2.0, 1e-12);
    ASSERT_TRUE(run("addAttr -ln count -at long -k 1 box; setKeyframe -t 1 -v 0 box.count; setKeyframe -t 11 -v 10 box.count"));
    EXPECT_EQ(at(10, "box.count"), 0.0) << "whole numbers hold their value until the next key";
}

TEST_F(Animation, KeyframeEditsAndCutKeyRemoveKeysUndoably)
{
    ASSERT_TRUE(run("createNode transform -n box; setKeyframe -t 1 -v 0 box.tx; setKeyframe -t 5 -v 4 box.tx;"
                    "setKeyframe -t 9 -v 8 box.tx"))
        << errors();
    EXPECT_EQ(number("keyframe -e -t 5 -r -vc 2 box.tx"), 1);
    EXPECT_EQ(value("keyframe -q -vc box.tx").asDoubleArray()[1], 6.0);
    ASSERT_TRUE(run("keyframe -e -t \"9:\" -tc 12 box_translateX"));
    EXPECT_EQ(value("keyframe -q -t \"2:\" -tc box.tx").asDoubleArray()[1], 12.0);
    EXPECT_EQ(value("keyframe -q -in 1 -iv box.tx").asIntArray()[0], 1);
    EXPECT_FALSE(run("keyframe -e -t 12 -tc 1 box.tx"));
    EXPECT_NE(errors().find("keyframe: two keys of box_translateX would be at the same time."), std::string::npos);

    EXPECT_EQ(number("cutKey -t \"2:10\" box.tx"), 1);
    EXPECT_EQ(number("keyframe -q -kc box.tx"), 2);
    ASSERT_TRUE(run("currentTime 12; cutKey box"));
    EXPECT_EQ(number("objExists box_translateX"), 0);
    EXPECT_EQ(number("getAttr box.tx"), 8.0) << "the attribute keeps the value it had";
    ASSERT_TRUE(run("undo"));
    EXPECT_EQ(number("keyframe -q -kc box.tx"), 2);
    ASSERT_TRUE(run("undo"));
    EXPECT_EQ(number("keyframe -q -kc box.tx"), 3);
}

TEST_F(Animation, KeyCommandsRefuseWhatCannotBeKeyed)
{
    ASSERT_TRUE(run("createNode transform -n box; setAttr -l on box.tz; createNode transform -n other;"
                    "connectAttr other.tx box.tx"));
    expectRefusals({
        {"setKeyframe -itt wobbly box.ty", "setKeyframe: unknown tangent type \"wobbly\"."},
        {"setKeyframe box.tz", "setKeyframe: box.tz is locked and cannot be keyed."},
        {"setKeyframe -at tx box", "setKeyframe: box.tx is driven by a connection and cannot be keyed."},
        {"setKeyframe -at nothing box", "setKeyframe: box has no attribute \"nothing\"."},
        {"select -cl; setKeyframe", "setKeyframe: nothing to key: name or select objects or attributes."},
        {"keyframe -q -t \"5:1\" box", "keyframe: -time takes a value or a range such as 10:20, not \"5:1\"."},
    });
    EXPECT_EQ(strings("ls -type animCurve").length(), 0u);
}

TEST_F(Animation, ScenesKeepCurvesAndTheTime)
{
    ASSERT_TRUE(run("createNode transform -n box; setKeyframe -t 1 -v 0 -ott step box.tx; setKeyframe -t 4 -v 3 box.tx;"
                    "setKeyframe -t 8 -v 1 -itt linear box.tx; setAttr box_translateX.pst 3; currentTime 6"))
        << errors();
    const double before = number("getAttr box.tx");
    const std::string saved = save("keys.ma");
    EXPECT_NE(saved.find("setAttr -s 3 \".ktv[0:2]\" 1 0 4 3 8 1;"), std::string::npos) << saved;
    EXPECT_NE(saved.find("setAttr \".kot[0]\" 5;"), std::string::npos);
    EXPECT_NE(saved.find("select -ne :time1;\n\tsetAttr \".o\" 6;"), std::string::npos);
    ASSERT_TRUE(run("file -f -new"));
    EXPECT_EQ(number("currentTime -q"), 1.0);
    ASSERT_TRUE(run("file -f -o \"" + tempPath("keys.ma") + "\"")) << errors();
    EXPECT_EQ(number("currentTime -q"), 6.0);
    EXPECT_EQ(number("getAttr box.tx"), before);
    EXPECT_EQ(number("getAttr box_translateX.kit[2]"), 2.0);
    EXPECT_NEAR(at(10, "box.tx"), at(3, "box.tx"), 1e-12) << "post-infinity cycle";
}

TEST_F(Animation, TimeNodeAndDriversFeedCurveInputs)
{
    // A driven key: the curve's input is another attribute; a time curve may also take time1.
    ASSERT_TRUE(run("createNode transform -n driver; createNode transform -n box; createNode animCurveUL -n driven;"
                    "setAttr -s 2 \"driven.ktv[0:1]\" 0 0 10 20; setAttr -s 2 \"driven.kit[0:1]\" 2 2;"
                    "setAttr -s 2 \"driven.kot[0:1]\" 2 2; connectAttr driver.tx driven.i; connectAttr driven.o box.ty;"
                    "setAttr driver.tx 2.5"))
        << errors();
    EXPECT_NEAR(number("getAttr box.ty"), 5.0, 1e-12);
    ASSERT_TRUE(run("setKeyframe -t 0 -v 0 -itt linear -ott linear box.tz; setKeyframe -t 10 -v 10 -itt linear -ott linear box.tz;"
                    "connectAttr time1.o box_translateZ.i; currentTime 4"));
    EXPECT_NEAR(number("getAttr box.tz"), 4.0, 1e-12);
    ASSERT_TRUE(run("setAttr time1.o 7"));
    EXPECT_NEAR(number("getAttr box.tz"), 7.0, 1e-12);
    EXPECT_EQ(number("currentTime -q"), 7.0);
}

void countFrame(MTime& time, void* data)
{
    auto* frames = static_cast<std::vector<double>*>(data);
    frames->push_back(time.as(MTime::uiUnit()) + (MAnimControl::isPlaying() ? 0.0 : 1000.0));
}

TEST_F(Animation, PlayStepsThroughThePlaybackRangeFrameByFrame)
{
    ASSERT_TRUE(run("playbackOptions -min 2 -max 6 -by 2; createNode transform -n box;"
                    "setKeyframe -t 2 -v 0 -itt linear -ott linear box.tx; setKeyframe -t 6 -v 8 -itt linear -ott linear box.tx"))
        << errors();
    EXPECT_EQ(number("playbackOptions -q -min"), 2.0);
    EXPECT_EQ(number("playbackOptions -q -ast"), 1.0);
    std::vector<double> frames;
    MStatus status;
    const MCallbackId id = MDGMessage::addForceUpdateCallback(countFrame, &frames, &status);
    ASSERT_TRUE(status);
    ASSERT_TRUE(run("currentTime 6; play -wait")) << errors();
    MMessage::removeCallback(id);
    // currentTime 6 (not playing), then 2, 4 and 6 while playing.
    EXPECT_EQ(frames, (std::vector<double>{1006, 2, 4, 6}));
    EXPECT_EQ(number("currentTime -q"), 6.0);
    EXPECT_EQ(number("getAttr box.tx"), 8.0);
    EXPECT_EQ(number("play -q -st"), 0);
    EXPECT_FALSE(run("playbackOptions -min 9 -max 3"));
    EXPECT_NE(errors().find("playbackOptions: the playback start is after its end."), std::string::npos);
}

TEST_F(Animation, LampRigControlsTakeTheirKeysAndScenesKeepThem)
{
    const std::string scene = realScenesFolder() + "/Lamp_RK.ma";
    if (!std::ifstream(scene))
        GTEST_SKIP() << "no " << scene;
    ASSERT_TRUE(run("file -f -o \"" + scene + "\"")) << errors();
    EXPECT_EQ(number("currentTime -q"), 70.0) << "time1 keeps the file's frame";
    const MStringArray curves = strings("ls -type animCurve");
    ASSERT_EQ(curves.length(), 55u);
    // Every keyed channel takes its curve's value at each key.
    std::vector<std::vector<double>> keys;
    for (unsigned c = 0; c < curves.length(); ++c) {
        const std::string curve = curves[c].asChar();
        const MDoubleArray pairs = value("keyframe -q -tc -vc " + curve).asDoubleArray();
        keys.emplace_back(pairs.begin(), pairs.end());
        const MStringArray driven = strings("listConnections -p 1 -s 0 -d 1 " + curve + ".o");
        ASSERT_EQ(driven.length(), 1u) << curve;
        for (unsigned k = 0; k + 1 < pairs.length(); k += 2)
            EXPECT_NEAR(at(pairs[k], driven[0].asChar()), pairs[k + 1], 1e-9) << curve << " at " << pairs[k];
    }
    // Between COG_Ctrl's rest and its hop the plateau curve rises without overshooting.
    const double rising = at(21.5, "COG_Ctrl.ty");
    EXPECT_GT(rising, 0.0);
    EXPECT_LT(rising, 6.8052406203498723);

    ASSERT_TRUE(run("file -rename \"" + tempPath("lamp.ma") + "\"; file -save")) << errors();
    ASSERT_TRUE(run("file -f -o \"" + tempPath("lamp.ma") + "\"")) << errors();
    for (unsigned c = 0; c < curves.length(); ++c) {
        const MDoubleArray pairs = value(std::string("keyframe -q -tc -vc ") + curves[c].asChar()).asDoubleArray();
        EXPECT_EQ(std::vector<double>(pairs.begin(), pairs.end()), keys[c]) << curves[c].asChar();
    }
}

} // namespace
