// Joints: Maya's joint matrix order (scale, rotate axis, rotate in its order, joint orient,
// inverse parent scale, translate) seen through where a child joint lands, and the `joint`
// command building, editing and querying chains.

#include "SceneTestSupport.h"

#include <maya/MDoubleArray.h>

#include <cmath>
#include <string>

namespace {

class Joints : public SceneTest
{
protected:
    // World position of a node, from its world matrix.
    MDoubleArray worldPosition(const std::string& node) { return value("xform -q -ws -t " + node).asDoubleArray(); }

    void expectPosition(const MDoubleArray& got, double x, double y, double z)
    {
        ASSERT_EQ(got.length(), 3u);
        EXPECT_NEAR(got[0], x, 1e-9);
        EXPECT_NEAR(got[1], y, 1e-9);
        EXPECT_NEAR(got[2], z, 1e-9);
    }
};

// A child one unit along y of a joint whose channels are set: the order the channels apply
// in decides where the child lands.
TEST_F(Joints, ChildLandsWhereMayasJointMatrixOrderPutsIt)
{
    struct Case
    {
        const char* channels;  // set on "parent"
        double x, y, z;        // the child's world position
    } const cases[] = {
        // rotate before joint orient: x turns +y to +z, then z leaves it.
        {"setAttr parent.r 90 0 0; setAttr parent.jo 0 0 90", 0, 0, 1},
        // rotate axis before rotate: z turns +y to -x, then x leaves it.
        {"setAttr parent.ra 0 0 90; setAttr parent.r 90 0 0", -1, 0, 0},
        // rotate order zyx: z first.
        {"setAttr parent.r 90 0 90; setAttr parent.ro 5", -1, 0, 0},
        {"setAttr parent.r 90 0 90", 0, 0, 1},
        // scale before everything, translate after.
        {"setAttr parent.s 3 3 3; setAttr parent.t 1 2 3", 1, 5, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.channels);
        ASSERT_TRUE(run("file -f -new; select -cl; joint -n parent; joint -n child -r -p 0 1 0; " +
                        std::string(c.channels)))
            << errors();
        expectPosition(worldPosition("child"), c.x, c.y, c.z);
    }
}

// A joint under a scaled joint takes its parent's scale as inverseScale and, compensating,
// keeps its own world scale; without compensation it inherits the parent's.
TEST_F(Joints, SegmentScaleCompensateUndoesTheParentsScale)
{
    ASSERT_TRUE(run("joint -n a; joint -n b -p 1 0 0; setAttr a.s 2 2 2")) << errors();
    EXPECT_EQ(strings("listConnections -p 1 b.is")[0], MString("a.scale"));
    expectPosition(worldPosition("b"), 2, 0, 0);  // its translate is in the scaled space
    EXPECT_NEAR(value("getAttr b.wm[0]").asDoubleArray()[0], 1.0, 1e-12);
    ASSERT_TRUE(run("setAttr b.ssc 0"));
    EXPECT_NEAR(value("getAttr b.wm[0]").asDoubleArray()[0], 2.0, 1e-12);
}

TEST_F(Joints, JointCommandBuildsEditsAndQueriesAChain)
{
    EXPECT_EQ(text("joint -p 0 0 0 -rad 0.5"), MString("joint1"));
    EXPECT_EQ(text("joint -p 0 4 0"), MString("joint2"));
    EXPECT_EQ(text("joint -p 3 4 0 -o 0 0 45 -n tip"), MString("tip"));
    EXPECT_EQ(strings("listRelatives -p tip")[0], MString("joint2"));
    EXPECT_EQ(strings("ls -sl")[0], MString("tip"));
    // World positions in, local translates kept.
    expectPosition(value("getAttr tip.t").asDoubleArray(), 3, 0, 0);
    expectPosition(value("joint -q -p tip").asDoubleArray(), 3, 4, 0);
    expectPosition(value("joint -q -r -p tip").asDoubleArray(), 3, 0, 0);
    expectPosition(value("joint -q -o tip").asDoubleArray(), 0, 0, 45);
    EXPECT_EQ(value("joint -q -rad joint1").asDoubleArray()[0], 0.5);

    ASSERT_TRUE(run("joint -e -p 0 6 0 joint2; joint -e -rad 2 -o 10 0 0 tip")) << errors();
    expectPosition(value("joint -q -p joint2").asDoubleArray(), 0, 6, 0);
    expectPosition(value("joint -q -p tip").asDoubleArray(), 3, 6, 0);  // children follow
    EXPECT_EQ(value("getAttr tip.radi").asDouble(), 2.0);
    expectPosition(value("joint -q -o tip").asDoubleArray(), 10, 0, 0);
    ASSERT_TRUE(run("undo"));
    EXPECT_EQ(value("getAttr tip.radi").asDouble(), 1.0);
    ASSERT_TRUE(run("undo; undo"));
    EXPECT_EQ(value("objExists tip").asInt(), 0);
}

TEST_F(Joints, JointCommandRefusesWhatItCannotUse)
{
    ASSERT_TRUE(run("createNode transform -n box"));
    expectRefusals({
        {"joint -q -p box", "joint: box is not a joint."},
        {"joint -bogus", "joint: unknown flag -bogus."},
        {"joint -p 1 2", "joint: -p takes three numbers."},
        {"joint -rad -1", "joint: the radius cannot be negative."},
        {"joint -q box", "joint: box is not a joint."},
        {"select -cl; joint -e -rad 2", "joint: name or select a joint."},
        {"joint -n \"bad name\"", "joint: \"bad name\" is not a valid node name."},
    });
}

} // namespace
