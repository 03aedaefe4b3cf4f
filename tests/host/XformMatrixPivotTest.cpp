// xform -m on transforms with pivots: the query gives the whole transformation matrix,
// and setting keeps the pivots and solves the translate so the matrix is the one given.

#include "SceneTestSupport.h"
#include "StoredMeshReader.h"

#include <maya/MDoubleArray.h>

#include <sstream>
#include <string>

namespace {

class XformMatrixPivots : public SceneTest
{
protected:
    // A transform with every channel that moves its matrix set.
    void makePivotedTransform(const std::string& name, const std::string& parent = "")
    {
        ASSERT_TRUE(run("createNode transform -n " + name + (parent.empty() ? "" : " -p " + parent))) << errors();
        ASSERT_TRUE(run("setAttr " + name + ".t 1 2 3; setAttr " + name + ".r 10 20 30; setAttr " + name +
                        ".s 2 1.5 0.5; setAttr " + name + ".sh 0.1 0.2 0.3; setAttr " + name + ".rp 0.5 -1 2;" +
                        "setAttr " + name + ".sp -0.25 0.75 1; setAttr " + name + ".rpt 0.1 0.2 -0.3; setAttr " +
                        name + ".spt -0.4 0.5 0.6; setAttr " + name + ".ra 15 -5 40; setAttr " + name + ".ro 2"))
            << errors();
    }

    static stored::TransformChannels pivotedChannels()
    {
        stored::TransformChannels c;
        c.translate = {1, 2, 3};
        c.rotate = {10, 20, 30};
        c.scale = {2, 1.5, 0.5};
        c.shear = {0.1, 0.2, 0.3};
        c.rotatePivot = {0.5, -1, 2};
        c.scalePivot = {-0.25, 0.75, 1};
        c.rotatePivotTranslate = {0.1, 0.2, -0.3};
        c.scalePivotTranslate = {-0.4, 0.5, 0.6};
        c.rotateAxis = {15, -5, 40};
        c.rotateOrder = 2;
        return c;
    }

    static std::string words(const stored::Mat4& m)
    {
        std::ostringstream out;
        out.precision(17);
        for (const auto& row : m)
            for (double v : row)
                out << ' ' << v;
        return out.str();
    }

    void expectMatrix(const stored::Mat4& want, const std::string& query)
    {
        const MDoubleArray got = value(query).asDoubleArray();
        ASSERT_EQ(got.length(), 16u) << query;
        for (unsigned k = 0; k < 16; ++k)
            EXPECT_NEAR(got[k], want[k / 4][k % 4], 1e-9) << query << ", element " << k;
    }

    void expectVector(const std::string& query, double x, double y, double z)
    {
        const MDoubleArray got = value(query).asDoubleArray();
        ASSERT_EQ(got.length(), 3u) << query;
        EXPECT_NEAR(got[0], x, 1e-9) << query;
        EXPECT_NEAR(got[1], y, 1e-9) << query;
        EXPECT_NEAR(got[2], z, 1e-9) << query;
    }

    void expectPivotsKept(const std::string& name)
    {
        expectVector("getAttr " + name + ".rp", 0.5, -1, 2);
        expectVector("getAttr " + name + ".sp", -0.25, 0.75, 1);
        expectVector("getAttr " + name + ".rpt", 0.1, 0.2, -0.3);
        expectVector("getAttr " + name + ".spt", -0.4, 0.5, 0.6);
        expectVector("getAttr " + name + ".ra", 15, -5, 40);
    }
};

TEST_F(XformMatrixPivots, QueryGivesTheMatrixWithPivotsRotateAxisAndOrderAndInWorldSpaceThroughTheParent)
{
    makePivotedTransform("parent");
    makePivotedTransform("child", "parent");
    const stored::Mat4 local = stored::localMatrix(pivotedChannels());
    expectMatrix(local, "xform -q -m child");
    expectMatrix(local, "xform -q -os -m child");
    expectMatrix(stored::multiply(local, local), "xform -q -ws -m child");
}

TEST_F(XformMatrixPivots, SettingKeepsPivotsAndGivesTheMatrix)
{
    makePivotedTransform("pivoted");
    stored::TransformChannels wanted = pivotedChannels();
    wanted.translate = {-4, 5, 0.5};
    wanted.rotate = {-35, 50, 12};
    wanted.scale = {0.5, 3, 1.25};
    wanted.shear = {0, 0, 0};
    ASSERT_TRUE(run("setAttr pivoted.sh 0 0 0; xform -m" + words(stored::localMatrix(wanted)) + " pivoted"))
        << errors();

    expectMatrix(stored::localMatrix(wanted), "xform -q -m pivoted");
    expectPivotsKept("pivoted");
    // The channels that made the matrix come back as they were.
    expectVector("getAttr pivoted.t", -4, 5, 0.5);
    expectVector("getAttr pivoted.s", 0.5, 3, 1.25);
    expectVector("getAttr pivoted.r", -35, 50, 12);
}

TEST_F(XformMatrixPivots, SettingWithShearGivesTheMatrix)
{
    makePivotedTransform("pivoted");
    const stored::Mat4 wanted = stored::localMatrix(pivotedChannels());
    ASSERT_TRUE(run("xform -t 0 0 0 -ro 0 0 0 -s 1 1 1 -sh 0 0 0 pivoted")) << errors();
    ASSERT_TRUE(run("xform -m" + words(wanted) + " pivoted")) << errors();
    expectMatrix(wanted, "xform -q -m pivoted");
    expectPivotsKept("pivoted");
    expectVector("getAttr pivoted.t", 1, 2, 3);
}

TEST_F(XformMatrixPivots, SettingInWorldSpaceUnderAPivotedParent)
{
    makePivotedTransform("parent");
    makePivotedTransform("child", "parent");
    stored::TransformChannels other = pivotedChannels();
    other.translate = {7, -3, 2};
    other.rotate = {90, 0, -45};
    other.scale = {1, 2, 1};
    const stored::Mat4 wantedWorld = stored::localMatrix(other);
    ASSERT_TRUE(run("xform -ws -m" + words(wantedWorld) + " child")) << errors();

    expectMatrix(wantedWorld, "xform -q -ws -m child");
    expectPivotsKept("child");
    expectPivotsKept("parent");
    expectVector("getAttr parent.t", 1, 2, 3);
}

TEST_F(XformMatrixPivots, SettingIsUndoneInOneStep)
{
    makePivotedTransform("pivoted");
    ASSERT_TRUE(run("xform -m 1 0 0 0 0 1 0 0 0 0 1 0 10 20 30 1 pivoted")) << errors();
    stored::Mat4 moved = stored::identity();
    moved[3] = {10, 20, 30, 1};
    expectMatrix(moved, "xform -q -m pivoted");
    expectPivotsKept("pivoted");

    ASSERT_TRUE(run("undo")) << errors();
    expectMatrix(stored::localMatrix(pivotedChannels()), "xform -q -m pivoted");
}

} // namespace
