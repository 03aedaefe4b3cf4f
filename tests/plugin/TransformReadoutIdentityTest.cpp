// The readout's memory of a control belongs to that node, not to its name: a new scene, a
// deleted control's name reused or a renamed control never lets a new control show the old
// one's changes.

#include "PluginTestSupport.h"

#include "shapeControl/TransformReadout.h"

#include <maya/MDagPath.h>
#include <maya/MSelectionList.h>

#include <string>

namespace {

MDagPath controlPath(const char* name)
{
    MSelectionList list;
    MDagPath path;
    EXPECT_TRUE(list.add(name) && list.getDagPath(0, path)) << name;
    return path;
}

class TransformReadoutIdentity : public PellixPluginTest
{
protected:
    void makeControl() { ASSERT_TRUE(mel("createNode transform -n ctrl; createNode shapeControl -n ctrlShape -p ctrl")); }

    // Every test shares one prefix, as the shape-control drawing does.
    static bool readout(TransformReadout& result)
    {
        return buildTransformReadout(controlPath("ctrl"), nodeByName("ctrlShape"), true, true, "identity:", result);
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

TEST_F(TransformReadoutIdentity, ANewSceneForgetsControlsOfTheOldOne)
{
    rotatedControl();
    ASSERT_TRUE(mel("file -force -new"));
    makeControl();
    expectFreshControl();
}

TEST_F(TransformReadoutIdentity, ADeletedControlsNameGoesToANewControlWithoutItsChanges)
{
    rotatedControl();
    ASSERT_TRUE(mel("delete ctrl"));
    makeControl();
    expectFreshControl();
}

TEST_F(TransformReadoutIdentity, ARenamedControlLeavesNothingToTheNextOneOfItsOldName)
{
    rotatedControl();
    ASSERT_TRUE(mel("rename ctrl oldCtrl"));
    makeControl();
    expectFreshControl();
}
