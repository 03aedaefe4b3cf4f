// Blend shapes and the tweak deformers: `blendShape` with live targets, in-betweens, world and
// local origin, per-point weights and stored offsets; "tweak" and "polyTweak" moving points as
// Maya's deformer chains and modelling history hold them.

#include "SceneTestSupport.h"
#include "support/TestValues.h"

#include <maya/MDagPath.h>
#include <maya/MFnMesh.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>

#include <string>

namespace {

// A flat 2 x 2 square (4 points) and a copy of it lifted by 1.
const char* const kShapes = "polyPlane -w 2 -h 2 -sx 1 -sy 1 -n base; duplicate -n up base; "
                            "move -r 0 1 0 up.vtx[0:3]";

class BlendShapes : public SceneTest
{
protected:
    // Height of a vertex of the mesh below a transform, in object space.
    double heightOf(const char* transform, unsigned vertex)
    {
        MPoint p;
        EXPECT_TRUE(MFnMesh(pathNamed(std::string(transform) + "Shape")).getPoint(int(vertex), p));
        return p.y;
    }

    void expectHeights(const char* mesh, std::initializer_list<double> heights)
    {
        unsigned v = 0;
        for (double h : heights) {
            EXPECT_NEAR(heightOf(mesh, v), h, 1e-6) << mesh << " vertex " << v;
            ++v;
        }
    }
};

TEST_F(BlendShapes, TargetsBlendByWeightAndInBetweensInterpolate)
{
    ASSERT_TRUE(run(kShapes)) << errors();
    EXPECT_EQ(strings("blendShape up base")[0], MString("blendShape1"));
    ASSERT_TRUE(run("undo"));
    EXPECT_EQ(value("objExists blendShape1").asInt(), 0);
    EXPECT_EQ(value("listConnections -s 1 -d 0 baseShape.i").asStringArray().length(), 0u);
    ASSERT_TRUE(run("redo"));
    EXPECT_EQ(strings("blendShape -q -t blendShape1")[0], MString("upShape"));
    expectHeights("base", {0, 0, 0, 0});
    for (double w : {0.5, 1.5, -0.25}) {
        SCOPED_TRACE(w);
        ASSERT_TRUE(run("setAttr blendShape1.w[0] " + std::to_string(w)));
        expectHeights("base", {w, w, w, w});
    }
    // The target is live: moving its points moves the blend.
    ASSERT_TRUE(run("setAttr blendShape1.w[0] 1; move -r 0 1 0 up.vtx[2]")) << errors();
    expectHeights("base", {1, 1, 2, 1});

    // An in-between at 0.5 lifted by 0.8: the blend passes through it.
    ASSERT_TRUE(run("file -f -new; " + std::string(kShapes) + "; duplicate -n mid base; move -r 0 0.8 0 mid.vtx[0:3]; "
                    "blendShape -ib -n bs mid up base"))
        << errors();
    const struct
    {
        double weight, height;
    } steps[] = {{0.25, 0.4}, {0.5, 0.8}, {0.75, 0.9}, {1.0, 1.0}, {1.5, 1.2}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.weight);
        ASSERT_TRUE(run("setAttr bs.w[0] " + std::to_string(step.weight)));
        EXPECT_NEAR(heightOf("base", 0), step.height, 1e-6);
    }
    EXPECT_EQ(value("blendShape -q -wc bs").asInt(), 1);
}

TEST_F(BlendShapes, PerPointWeightsEnvelopeAndOriginScaleTheOffsets)
{
    ASSERT_TRUE(run(std::string(kShapes) + "; move 0 10 0 up; blendShape -w 0 1 -o local up base")) << errors();
    // Local: where the target's transform puts it does not count.
    expectHeights("base", {1, 1, 1, 1});
    ASSERT_TRUE(run("setAttr blendShape1.it[0].bw[1] 0.5; setAttr blendShape1.it[0].itg[0].tw[2] 0; "
                    "setAttr blendShape1.en 0.5"));
    expectHeights("base", {0.5, 0.25, 0, 0.5});
    // World: the target's transform counts.
    ASSERT_TRUE(run("setAttr blendShape1.en 1; setAttr blendShape1.or 0"));
    expectHeights("base", {11, 5.5, 0, 11});
}

TEST_F(BlendShapes, StoredOffsetsMoveTheirPointsAndSaveAsMayaWritesThem)
{
    ASSERT_TRUE(run(std::string(kShapes) + "; blendShape up base; "
                    "setAttr blendShape1.it[0].itg[1].iti[6000].ipt -type \"pointArray\" 2 0 2 0 1 0 4 0 1; "
                    "setAttr blendShape1.it[0].itg[1].iti[6000].ict -type \"componentList\" 1 \"vtx[2:3]\"; "
                    "setAttr blendShape1.w[1] 0.5"))
        << errors();
    expectHeights("base", {0, 0, 1, 2});
    const std::string text = save("offsets.ma");
    EXPECT_NE(text.find("setAttr \".it[0].itg[1].iti[6000].ipt\" -type \"pointArray\" 2 0 2 0 1 0 4 0 1 ;"),
              std::string::npos);
    EXPECT_NE(text.find("setAttr \".it[0].itg[1].iti[6000].ict\" -type \"componentList\" 1 \"vtx[2:3]\" ;"),
              std::string::npos);
    ASSERT_TRUE(run("file -f -o \"" + tempPath("offsets.ma") + "\"")) << errors();
    expectHeights("base", {0, 0, 1, 2});
}

TEST_F(BlendShapes, BlendShapeRefusesWhatItCannotBlend)
{
    ASSERT_TRUE(run(std::string(kShapes) + "; polyPlane -sx 2 -sy 2 -n fine; createNode transform -n empty")) << errors();
    expectRefusals({
        {"blendShape fine base", "blendShape: fine has 9 points, not 4 as base."},
        {"blendShape -o sideways up base", "blendShape: -origin is \"world\" or \"local\", not \"sideways\"."},
        {"blendShape empty base", "blendShape: empty has no mesh or curve."},
        {"blendShape -q -w base", "blendShape: base is not a blendShape."},
        {"blendShape up base; blendShape -e -t base 1 up 0 blendShape1", "blendShape: a target's weight cannot be 0."},
    });
}

// Point moves held upstream of a deformed shape: a tweak deformer's vlist, scaled by its
// envelope, and a polyTweak in modelling history.
TEST_F(BlendShapes, TweaksMoveThePointsTheyHold)
{
    ASSERT_TRUE(run(std::string(kShapes) + "; deformer -type tweak -n holdPoints base; "
                    "setAttr holdPoints.vl[0].vt[1] -type float3 0 2 0; setAttr holdPoints.vl[0].vt[3] 0 -1 0"))
        << errors();
    expectHeights("base", {0, 2, 0, -1});
    ASSERT_TRUE(run("setAttr holdPoints.en 0.5"));
    expectHeights("base", {0, 1, 0, -0.5});

    ASSERT_TRUE(run("createNode polyTweak -n history; connectAttr upShape.o history.ip; "
                    "polyPlane -w 2 -h 2 -sx 1 -sy 1 -n copy; connectAttr history.out copyShape.i; "
                    "setAttr history.tk[0] -type float3 0 3 0"))
        << errors();
    expectHeights("copy", {4, 1, 1, 1});
}

} // namespace
