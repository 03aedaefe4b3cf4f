// Constraints made by their commands and read from Maya's scenes: the object follows its
// targets by weight, keeps its place with -mo, skips axes, and undo takes it all back.

#include "SceneTestSupport.h"
#include "support/RealScenesFolder.h"

#include <maya/MEulerRotation.h>
#include <maya/MMatrix.h>
#include <maya/MVector.h>

#include <cmath>
#include <filesystem>
#include <string>

namespace {

class Constraints : public SceneTest
{
protected:
    MVector vector(const std::string& mel)
    {
        const MDoubleArray v = value(mel).asDoubleArray();
        EXPECT_EQ(v.length(), 3u) << mel;
        return v.length() == 3 ? MVector(v[0], v[1], v[2]) : MVector();
    }
    MMatrix world(const std::string& node)
    {
        const MDoubleArray m = value("getAttr " + node + ".wm").asDoubleArray();
        MMatrix result;
        for (unsigned i = 0; i < 16; ++i)
            result[i / 4][i % 4] = m[i];
        return result;
    }
    // How far apart two matrices' orientations are (their axes compared as unit vectors).
    static double rotationGap(const MMatrix& a, const MMatrix& b)
    {
        double gap = 0;
        for (unsigned r = 0; r < 3; ++r) {
            const MVector x = MVector(a(r, 0), a(r, 1), a(r, 2)).normal(), y = MVector(b(r, 0), b(r, 1), b(r, 2)).normal();
            gap = std::max(gap, (x - y).length());
        }
        return gap;
    }
};

TEST_F(Constraints, EachKindDrivesItsChannelsByWeight)
{
    // Two targets under a turned, moved group; the object under a scaled one.
    ASSERT_TRUE(run("createNode transform -n group; setAttr group.t 0 10 0; setAttr group.r 0 90 0;"
                    "createNode transform -n a -p group; setAttr a.t 2 0 0; setAttr a.r 30 0 0; setAttr a.s 2 2 2;"
                    "createNode transform -n b -p group; setAttr b.t -2 0 0; setAttr b.r -30 0 0;"
                    "createNode transform -n holder; setAttr holder.s 2 2 2; setAttr holder.ry 45;"
                    "createNode transform -n obj -p holder;"))
        << errors();
    ASSERT_TRUE(run("parentConstraint a obj")) << errors();
    EXPECT_LT((vector("xform -q -ws -rp obj") - vector("xform -q -ws -rp a")).length(), 1e-9);
    EXPECT_LT(rotationGap(world("obj"), world("a")), 1e-9) << "the rotation is the target's";
    ASSERT_TRUE(run("parentConstraint -w 1 b obj"));
    // Equal weights: halfway between, turned halfway.
    EXPECT_LT((vector("xform -q -ws -rp obj") - MVector(0, 10, 0)).length(), 1e-9);
    EXPECT_LT(rotationGap(world("obj"), MEulerRotation(0, M_PI / 2, 0).asMatrix()), 1e-9)
        << "30 and -30 degrees about X average to none";
    ASSERT_TRUE(run("parentConstraint -e -w 0 a obj"));
    EXPECT_LT((vector("xform -q -ws -rp obj") - vector("xform -q -ws -rp b")).length(), 1e-9);
    EXPECT_EQ(strings("parentConstraint -q -tl obj").length(), 2u);
    EXPECT_EQ(strings("parentConstraint -q -wal obj_parentConstraint1")[1], "bW1");

    ASSERT_TRUE(run("createNode transform -n p; pointConstraint -o 0 1 0 a p"));
    EXPECT_LT((vector("xform -q -ws -t p") - vector("xform -q -ws -rp a") - MVector(0, 1, 0)).length(), 1e-9);
    ASSERT_TRUE(run("createNode transform -n o; orientConstraint b o"));
    EXPECT_LT(rotationGap(world("o"), world("b")), 1e-9);
    // A joint's orient comes after its rotation: the constraint leaves it out of the rotation it gives.
    ASSERT_TRUE(run("setAttr o_orientConstraint1.cjo 0 0 90"));
    const MVector r = vector("getAttr o.r") * (M_PI / 180);
    EXPECT_LT(rotationGap(MEulerRotation(r).asMatrix() * MEulerRotation(0, 0, M_PI / 2).asMatrix(), world("b")), 1e-9);
    ASSERT_TRUE(run("createNode transform -n s; scaleConstraint -o 1 0.5 1 a s"));
    EXPECT_LT((vector("getAttr s.s") - MVector(2, 1, 2)).length(), 1e-9);
    ASSERT_TRUE(run("createNode transform -n looker; setAttr looker.t 3 12 5; aimConstraint -aim 0 0 -1 a looker"));
    const MMatrix look = world("looker");
    const MVector toTarget = (vector("xform -q -ws -rp a") - MVector(3, 12, 5)).normal();
    EXPECT_LT((MVector(0, 0, -1) * look - toTarget).length(), 1e-9) << "-Z points at the target";
    EXPECT_NEAR(MVector(1, 0, 0) * look * MVector(0, 1, 0), 0.0, 1e-9) << "X stays level: the scene's up is Y";
}

TEST_F(Constraints, MaintainOffsetSkipsAndUndo)
{
    ASSERT_TRUE(run("createNode transform -n target; setAttr target.t 1 2 3; setAttr target.r 10 20 30;"
                    "createNode transform -n obj; setAttr obj.t -4 5 6; setAttr obj.r 0 0 45"))
        << errors();
    const MMatrix before = world("obj");
    for (const char* kind : {"parentConstraint", "pointConstraint", "orientConstraint", "scaleConstraint"}) {
        SCOPED_TRACE(kind);
        ASSERT_TRUE(run(std::string(kind) + " -mo target obj")) << errors();
        const MMatrix now = world("obj");
        for (unsigned r = 0; r < 4; ++r)
            for (unsigned c = 0; c < 4; ++c)
                EXPECT_NEAR(now(r, c), before(r, c), 1e-9) << "-mo keeps the object where it was";
        ASSERT_TRUE(run("undo"));
    }
    // The object rides with the target: a turn of the target swings it round.
    ASSERT_TRUE(run("parentConstraint -mo -st y -sr x -sr z target obj; setAttr target.tx 11"));
    EXPECT_NEAR(number("getAttr obj.tx"), 6.0, 1e-9);
    EXPECT_EQ(number("getAttr obj.ty"), 5.0) << "a skipped axis is left alone";
    EXPECT_EQ(strings("listConnections -s 1 -d 0 obj.ty").length(), 0u);
    EXPECT_EQ(strings("listConnections -s 1 -d 0 obj.ry").length(), 1u);
    ASSERT_TRUE(run("setAttr obj_parentConstraint1.targetW0 0"));
    EXPECT_NEAR(number("getAttr obj.tx"), -4.0, 1e-9) << "with no weight the object is back where it was";
    ASSERT_TRUE(run("undo; undo; undo"));
    EXPECT_EQ(strings("ls -type constraint").length(), 0u);
    EXPECT_EQ(strings("listConnections -s 1 -d 0 obj.ry").length(), 0u);

    expectRefusals({
        {"parentConstraint obj", "parentConstraint: name or select the targets, then the object to constrain."},
        {"pointConstraint -sk w target obj", "pointConstraint: -sk takes x, y, z or none, not \"w\"."},
        {"setAttr -l on obj.tx; pointConstraint target obj", "pointConstraint: obj.tx is already driven or locked."},
        {"orientConstraint -q -tl target", "orientConstraint: target has no orientConstraint."},
        {"aimConstraint -wut sideways target obj",
         "aimConstraint: -worldUpType takes scene, object, objectrotation, vector or none, not \"sideways\"."},
    });
    EXPECT_TRUE(run("pointConstraint -sk x target obj")) << "a skipped axis may be locked: " << errors();
}

TEST_F(Constraints, SavedConstraintsKeepWorkingAndLampRigJointsFollowTheirControls)
{
    ASSERT_TRUE(run("createNode transform -n target; createNode transform -n obj; parentConstraint -mo target obj;"
                    "setAttr target.t 0 3 0"))
        << errors();
    save("constrained.ma");
    ASSERT_TRUE(run("file -f -o \"" + tempPath("constrained.ma") + "\"")) << errors();
    ASSERT_TRUE(run("setAttr target.tx 2"));
    EXPECT_LT((vector("getAttr obj.t") - MVector(2, 3, 0)).length(), 1e-9);
    ASSERT_TRUE(run("parentConstraint -rm target obj"));
    EXPECT_EQ(number("objExists obj_parentConstraint1"), 0) << "the last target out takes the constraint along";

    const std::string scene = realScenesFolder() + "/Lamp_RK.ma";
    if (!std::filesystem::exists(scene))
        GTEST_SKIP() << "no " << scene;
    ASSERT_TRUE(run("file -f -o \"" + scene + "\"")) << errors();
    // Constraints without offsets put each joint's pivot on its control's, at any frame.
    int checked = 0;
    for (const char* frame : {"1", "23", "70"}) {
        ASSERT_TRUE(run(std::string("currentTime ") + frame));
        const MStringArray constraints = strings("ls -type parentConstraint");
        for (unsigned i = 0; i < constraints.length(); ++i) {
            const std::string constraint = constraints[i].asChar();
            const MStringArray targets = strings("parentConstraint -q -tl " + constraint);
            if (targets.length() != 1 || vector("getAttr " + constraint + ".tg[0].tot").length() > 0)
                continue;
            const std::string joint = strings("listRelatives -p " + constraint)[0].asChar();
            EXPECT_LT((vector("xform -q -ws -rp " + joint) - vector("xform -q -ws -rp " + std::string(targets[0].asChar())))
                          .length(),
                      1e-6)
                << joint << " at frame " << frame;
            ++checked;
        }
    }
    EXPECT_GT(checked, 20);
}

} // namespace
