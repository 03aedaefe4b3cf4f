// The transform readout on a live scene: channels and user attributes read through real plugs
// as a control is moved with setAttr, the hold after the last change, inactive calls, and
// several draw threads asking at once.

#include "PluginTestSupport.h"

#include "shapeControl/TransformReadout.h"

#include <maya/MDagPath.h>
#include <maya/MSelectionList.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

MDagPath dagPathOf(const std::string& name)
{
    MSelectionList list;
    MDagPath path;
    EXPECT_TRUE(list.add(MString(name.c_str())) && list.getDagPath(0, path)) << name;
    return path;
}

// A control transform with a locator-like shape below it, as a rig has.
class TransformReadoutTest : public PellixPluginTest
{
protected:
    void SetUp() override
    {
        PellixPluginTest::SetUp();
        ASSERT_TRUE(mel("createNode transform -n ctrl; createNode shapeControl -n ctrlShape -p ctrl"));
        fControl = dagPathOf("ctrl");
        fShape = nodeByName("ctrlShape");
    }

    void TearDown() override
    {
        // Held paths keep their nodes alive; let them go before the module unloads.
        fControl = MDagPath();
        fShape = MObject::kNullObj;
        PellixPluginTest::TearDown();
    }

    // Each test keys its readouts by its own prefix: the histories live for the whole process.
    bool readout(TransformReadout& result, bool active = true, bool showChannels = true)
    {
        const std::string prefix = std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ":";
        return buildTransformReadout(fControl, fShape, active, showChannels, MString(prefix.c_str()), result);
    }

    // The first call only records the control; later calls compare with it.
    void arm()
    {
        TransformReadout ignored;
        ASSERT_FALSE(readout(ignored)) << "the first call for a control never shows anything";
    }

    MDagPath fControl;
    MObject fShape;
};

} // namespace

TEST_F(TransformReadoutTest, FirstCallShowsNothingWhateverTheValues)
{
    ASSERT_TRUE(mel("setAttr ctrl.tx 5; setAttr ctrl.sy 3"));
    TransformReadout result;
    EXPECT_FALSE(readout(result));
    EXPECT_FALSE(result.hasText);
}

TEST_F(TransformReadoutTest, MovingAlongXAndYNamesTranslateWithTheNewValues)
{
    arm();
    ASSERT_TRUE(mel("setAttr ctrl.tx 1.5; setAttr ctrl.ty -2"));
    TransformReadout result;
    ASSERT_TRUE(readout(result));
    EXPECT_EQ(std::string(result.text.asChar()), "T  X 1.50  Y -2.00");
    EXPECT_FLOAT_EQ(result.color[0], 1.0f);
    EXPECT_FLOAT_EQ(result.color[2], 0.55f);

    // Values read as the channel box shows them, in the user's units.
    const struct
    {
        const char* units;
        const char* change;
        const char* text;
    } kUnits[] = {
        {"currentUnit -a degree", "setAttr ctrl.rz 90", "R  Z 90.00"},
        {"currentUnit -a radian", "setAttr ctrl.rz 0.5", "R  Z 0.50"},
        {"currentUnit -l m", "setAttr ctrl.tx 0.25", "T  X 0.25"},
        {"currentUnit -l mm", "setAttr ctrl.tx 3", "T  X 3.00"},
    };
    for (const auto& u : kUnits) {
        SCOPED_TRACE(u.change);
        ASSERT_TRUE(mel(u.units) && mel(u.change));
        TransformReadout changed;
        ASSERT_TRUE(readout(changed));
        EXPECT_EQ(std::string(changed.text.asChar()), u.text);
    }
    ASSERT_TRUE(mel("currentUnit -l cm -a degree"));
    EXPECT_DOUBLE_EQ(melDouble("getAttr ctrl.tx"), 0.3) << "the stored value in centimetres";
}

TEST_F(TransformReadoutTest, HeldReadoutStaysUntilTheHoldEnds)
{
    arm();
    ASSERT_TRUE(mel("setAttr ctrl.sz 2"));
    TransformReadout shown;
    ASSERT_TRUE(readout(shown));
    EXPECT_EQ(std::string(shown.text.asChar()), "S  Z 2.00");

    TransformReadout held;
    ASSERT_TRUE(readout(held)) << "a frame without a change re-shows the held readout";
    EXPECT_EQ(std::string(held.text.asChar()), "S  Z 2.00");

    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    TransformReadout gone;
    EXPECT_FALSE(readout(gone));
    EXPECT_FALSE(gone.hasText);
}

TEST_F(TransformReadoutTest, TinyRotationsShowNothing)
{
    arm();
    ASSERT_TRUE(mel("setAttr ctrl.rx 0.03; setAttr ctrl.ry -0.02"));  // degrees: 8.7e-4 radians in all
    TransformReadout result;
    EXPECT_FALSE(readout(result));
}

TEST_F(TransformReadoutTest, AnInactiveCallDropsTheHoldAndTheNextCallOnlyRearms)
{
    arm();
    ASSERT_TRUE(mel("setAttr ctrl.tz 1"));
    TransformReadout result;
    ASSERT_TRUE(readout(result));
    EXPECT_FALSE(readout(result, false));

    ASSERT_TRUE(mel("setAttr ctrl.tz 2"));
    TransformReadout rearming;
    EXPECT_FALSE(readout(rearming)) << "the call after an inactive one only records";
    ASSERT_TRUE(mel("setAttr ctrl.tz 3"));
    TransformReadout again;
    ASSERT_TRUE(readout(again));
    EXPECT_EQ(std::string(again.text.asChar()), "T  Z 3.00");
}

TEST_F(TransformReadoutTest, UserAttributeWithLimitsShowsABoundedSlider)
{
    ASSERT_TRUE(mel("addAttr -ln blink -at double -min 0 -max 10 -dv 2 -k 1 ctrl"));
    arm();
    ASSERT_TRUE(mel("setAttr ctrl.blink 7.5; setAttr ctrl.tx 0.5"));
    TransformReadout result;
    ASSERT_TRUE(readout(result));
    EXPECT_EQ(std::string(result.text.asChar()), "blink 7.50") << "user attributes win over the channels";
    EXPECT_FLOAT_EQ(result.color[0], 0.98f);
    EXPECT_TRUE(result.showSlider);
    EXPECT_TRUE(result.showRangeLabels);
    EXPECT_EQ(result.sliderKind, 1);
    EXPECT_DOUBLE_EQ(result.sliderValue, 0.75);
    EXPECT_DOUBLE_EQ(result.sliderReference, 0.2);
    EXPECT_EQ(std::string(result.minLabel.asChar()), "0.00");
    EXPECT_EQ(std::string(result.maxLabel.asChar()), "10.00");
}

TEST_F(TransformReadoutTest, BooleanEnumAndAngleAttributesReadAsTheUserSeesThem)
{
    ASSERT_TRUE(mel("addAttr -ln flag -at bool ctrl; addAttr -ln mode -at enum -en \"off:low:high\" ctrl;"
                    "addAttr -ln twist -at doubleAngle ctrlShape"));
    arm();

    ASSERT_TRUE(mel("setAttr ctrl.flag 1"));
    TransformReadout flag;
    ASSERT_TRUE(readout(flag));
    EXPECT_EQ(std::string(flag.text.asChar()), "flag 1");
    EXPECT_EQ(std::string(flag.minLabel.asChar()), "0");
    EXPECT_EQ(std::string(flag.maxLabel.asChar()), "1");
    EXPECT_DOUBLE_EQ(flag.sliderValue, 1.0);
    EXPECT_DOUBLE_EQ(flag.sliderReference, 0.0);

    ASSERT_TRUE(mel("setAttr ctrl.mode 2"));
    TransformReadout mode;
    ASSERT_TRUE(readout(mode));
    EXPECT_EQ(std::string(mode.text.asChar()), "mode 2");
    EXPECT_EQ(mode.sliderKind, 1);
    EXPECT_DOUBLE_EQ(mode.sliderValue, 1.0);
    EXPECT_EQ(std::string(mode.maxLabel.asChar()), "2");

    // An angle on the shape, in degrees, with an open range around its default.
    ASSERT_TRUE(mel("setAttr ctrlShape.twist 90"));
    TransformReadout twist;
    ASSERT_TRUE(readout(twist));
    EXPECT_EQ(std::string(twist.text.asChar()), "twist 90.00");
    EXPECT_EQ(twist.sliderKind, 2);
    EXPECT_FALSE(twist.showRangeLabels);
    EXPECT_DOUBLE_EQ(twist.sliderReference, 0.5);
    EXPECT_GT(twist.sliderValue, 0.5);
}

TEST_F(TransformReadoutTest, WithoutTransformChannelsOnlyUserAttributesShow)
{
    ASSERT_TRUE(mel("addAttr -ln weight -at double ctrl"));
    TransformReadout result;
    ASSERT_FALSE(readout(result, true, false));
    ASSERT_TRUE(mel("setAttr ctrl.tx 4"));
    EXPECT_FALSE(readout(result, true, false));
    ASSERT_TRUE(mel("setAttr ctrl.weight 0.25"));
    ASSERT_TRUE(readout(result, true, false));
    EXPECT_EQ(std::string(result.text.asChar()), "weight 0.25");
}

TEST_F(TransformReadoutTest, PatchReadoutKeysItsOwnHistory)
{
    PatchReadout patch;
    EXPECT_FALSE(buildPatchReadout(fControl, fShape, patch)) << "first patch call only records";
    ASSERT_TRUE(mel("setAttr ctrl.tx 2"));
    ASSERT_TRUE(buildPatchReadout(fControl, fShape, patch));
    EXPECT_EQ(std::string(patch.text.asChar()), "T  X 2.00");
    EXPECT_FLOAT_EQ(patch.color[1], 0.95f);
}

TEST_F(TransformReadoutTest, SeveralDrawThreadsReadAtOnce)
{
    // Each thread keys its own controls; every one must record and then report its move.
    constexpr int kThreads = 4;
    constexpr int kControls = 25;
    for (int i = 0; i < kThreads * kControls; ++i) {
        ASSERT_TRUE(mel("createNode transform -n c" + std::to_string(i)));
    }
    std::vector<MDagPath> paths;
    for (int i = 0; i < kThreads * kControls; ++i) {
        paths.push_back(dagPathOf("c" + std::to_string(i)));
    }
    std::atomic<int> recorded{0};
    auto pass = [&](int thread) {
        for (int i = thread * kControls; i < (thread + 1) * kControls; ++i) {
            TransformReadout result;
            if (!buildTransformReadout(paths[i], MObject::kNullObj, true, true, "threads:", result)) {
                ++recorded;
            }
        }
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back(pass, t);
    }
    for (std::thread& t : threads) {
        t.join();
    }
    EXPECT_EQ(recorded.load(), kThreads * kControls);

    for (int i = 0; i < kThreads * kControls; ++i) {
        ASSERT_TRUE(mel("setAttr c" + std::to_string(i) + ".ty " + std::to_string(i + 1)));
    }
    for (int i = 0; i < kThreads * kControls; ++i) {
        TransformReadout result;
        ASSERT_TRUE(buildTransformReadout(paths[i], MObject::kNullObj, true, true, "threads:", result)) << i;
        EXPECT_EQ(std::string(result.text.asChar()), "T  Y " + std::to_string(i + 1) + ".00");
    }
}

namespace {

class TransformReadoutIdentity : public PellixPluginTest
{
protected:
    void makeControl() { ASSERT_TRUE(mel("createNode transform -n ctrl; createNode shapeControl -n ctrlShape -p ctrl")); }

    // Every test shares one prefix, as the shape-control drawing does.
    static bool readout(TransformReadout& result)
    {
        return buildTransformReadout(dagPathOf("ctrl"), nodeByName("ctrlShape"), true, true, "identity:", result);
    }

    // A control named "ctrl", seen once and then rotated, so its readout shows the rotation.
    void rotatedControl()
    {
        makeControl();
        TransformReadout result;
        readout(result);
        ASSERT_TRUE(mel("setAttr ctrl.rotateY 30"));
        ASSERT_TRUE(readout(result));
        ASSERT_EQ(std::string(result.text.asChar()).substr(0, 1), "R") << result.text.asChar();
    }

    // A new control at rest under the same name: its first look only records it, and it shows
    // its own change afterwards.
    void expectFreshControl()
    {
        TransformReadout result;
        EXPECT_FALSE(readout(result)) << "showed " << result.text.asChar();
        EXPECT_FALSE(result.hasText);
        EXPECT_FALSE(readout(result)) << "nothing moved: " << result.text.asChar();
        ASSERT_TRUE(mel("setAttr ctrl.translateX 2"));
        ASSERT_TRUE(readout(result));
        EXPECT_EQ(std::string(result.text.asChar()), "T  X 2.00");
    }
};

} // namespace

// A new scene forgets the old scene's controls; a deleted or renamed control leaves nothing to
// the next control of its old name.
TEST_F(TransformReadoutIdentity, ANewControlOfAnOldNameStartsWithoutItsChanges)
{
    for (const char* end : {"file -force -new", "delete ctrl", "rename ctrl oldCtrl"}) {
        SCOPED_TRACE(end);
        ASSERT_TRUE(mel("file -force -new"));
        rotatedControl();
        ASSERT_TRUE(mel(end));
        makeControl();
        expectFreshControl();
    }
}
