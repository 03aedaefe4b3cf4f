// The rotate command: absolute and relative turns in object and world space, about a pivot,
// under a turned parent, undoable.

#include "SceneTestSupport.h"

#include <maya/MEulerRotation.h>
#include <maya/MMatrix.h>

#include <cmath>
#include <string>

namespace {

class RotateCommand : public SceneTest
{
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        // A box under a parent turned a quarter about Z, itself turned about X.
        ASSERT_TRUE(run("createNode transform -n rig; setAttr rig.rz 90; createNode transform -n box -p rig;"
                        "setAttr box.rx 90"))
            << errors();
    }

    MMatrix worldMatrix(const std::string& node)
    {
        const MDoubleArray m = value("getAttr " + node + ".wm").asDoubleArray();
        MMatrix result;
        for (unsigned i = 0; i < 16; ++i)
            result[i / 4][i % 4] = m[i];
        return result;
    }
    static MMatrix degrees(double x, double y, double z)
    {
        const double k = 3.14159265358979323846 / 180.0;
        return MEulerRotation(x * k, y * k, z * k).asMatrix();
    }
    static bool sameRotation(const MMatrix& a, const MMatrix& b)
    {
        for (unsigned r = 0; r < 3; ++r)
            for (unsigned c = 0; c < 3; ++c)
                if (std::fabs(a(r, c) - b(r, c)) > 1e-9)
                    return false;
        return true;
    }
};

TEST_F(RotateCommand, TurnsInEachSpaceAsMayaDoes)
{
    const MMatrix before = worldMatrix("box");
    const struct
    {
        const char* mel;
        MMatrix world;  // the box's world orientation afterwards
    } cases[] = {
        {"rotate 0 90 0 box", degrees(0, 90, 0)},                         // absolute: the world orientation
        {"rotate -a -os 10 20 30 box", degrees(10, 20, 30) * degrees(0, 0, 90)},  // the channels, under the parent
        {"rotate -r -os 0 0 90 box", degrees(0, 0, 90) * before},           // about its own axes, first
        {"rotate -r -ws 0 0 90 box", before * degrees(0, 0, 90)},           // about the world's, last
        {"rotate -r -eu 0 0 90 box", degrees(90, 0, 90) * degrees(0, 0, 90)},  // added to the channels
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mel);
        ASSERT_TRUE(run(c.mel)) << errors();
        EXPECT_TRUE(sameRotation(worldMatrix("box"), c.world));
        ASSERT_TRUE(run("undo"));
        EXPECT_TRUE(sameRotation(worldMatrix("box"), before)) << "undo gives the turn back";
    }
    EXPECT_EQ(number("getAttr box.rx"), 90.0);
}

TEST_F(RotateCommand, APivotSwingsTheObjectAroundIt)
{
    ASSERT_TRUE(run("createNode transform -n free; select -r free; rotate -r -p 1 0 0 0 0 90")) << errors();
    const MDoubleArray t = value("getAttr free.t").asDoubleArray();
    EXPECT_NEAR(t[0], 1.0, 1e-12);
    EXPECT_NEAR(t[1], -1.0, 1e-12);
    EXPECT_NEAR(number("getAttr free.rz"), 90.0, 1e-12);
    // Metres: the pivot is read in the UI unit.
    ASSERT_TRUE(run("undo; currentUnit -l m; rotate -r -p 0.01 0 0 0 0 90 free; currentUnit -l cm"));
    EXPECT_NEAR(value("getAttr free.t").asDoubleArray()[1], -1.0, 1e-9);

    expectRefusals({
        {"rotate 1 2", "rotate: expects three angles, then the objects to rotate."},
        {"rotate -p 1 2 0 0 0", "rotate: expects three angles, then the objects to rotate."},
        {"rotate 0 0 0 nowhere", "rotate: No object matches name: nowhere"},
        {"createNode polyCube -n maker; rotate 0 0 0 maker", "rotate: maker is not a transform."},
        {"setAttr -l on free.rx; rotate 0 0 5 free",
         "rotate: a channel of free is locked or connected and cannot be modified."},
        {"move 0 1 0 free; connectAttr free.tz free.tx; move 0 2 0 free",
         "move: a channel of free is locked or connected and cannot be modified."},
    });
}

} // namespace
