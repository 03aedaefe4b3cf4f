// Skinning as riggers use it: `skinCluster` binding a mesh to a skeleton (the history it makes,
// closest-distance weights, undo), linear blend skinning as joints move, `skinPercent` editing
// and reading weights, `dagPose -restore -bindPose`, and skin weights in scene files.

#include "SceneTestSupport.h"
#include "support/TestValues.h"
#include "support/RealScenesFolder.h"

#include <maya/MDagPath.h>
#include <maya/MDoubleArray.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnMatrixData.h>
#include <maya/MFnMesh.h>
#include <maya/MItGeometry.h>
#include <maya/MMatrix.h>
#include <maya/MPlug.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// A box 4 high along y with four spans, and a three-joint chain up its middle.
const char* const kRig = "polyCube -w 1 -h 4 -d 1 -sy 4 -n body; select -cl; "
                         "joint -p 0 -2 0 -n hip; joint -p 0 0 0 -n spine; joint -p 0 2 0 -n head; select -cl";

class Skinning : public SceneTest
{
protected:
    static MObject node(const char* name) { return nodeNamed(name); }

    std::vector<std::string> list(const std::string& script)
    {
        const MStringArray names = strings(script);
        std::vector<std::string> out;
        for (unsigned i = 0; i < names.length(); ++i)
            out.push_back(names[i].asChar());
        return out;
    }

    static MMatrix matrixOf(const MPlug& plug)
    {
        MObject data = plug.asMObject();
        return data.isNull() ? MMatrix() : MFnMatrixData(data).matrix();
    }

    static MFnMesh mesh(const char* name) { return MFnMesh(pathNamed(name)); }

    // Where linear blend skinning puts a point of the undeformed mesh: the weighted sum over
    // the influences of p * geomMatrix * bindPreMatrix * (influence world matrix) *
    // geomMatrix^-1, worked out from the skinCluster's own plugs.
    static MPoint skinnedByHand(const char* skin, unsigned vertex, const MPoint& p)
    {
        const MFnDependencyNode fn(node(skin));
        const MMatrix geometry = matrixOf(fn.findPlug("geomMatrix", false));
        const MPlug weights = fn.findPlug("weightList", false).elementByLogicalIndex(vertex).child(0);
        MVector sum;
        for (unsigned k = 0; k < weights.numElements(); ++k) {
            const MPlug w = weights.elementByPhysicalIndex(k);
            const unsigned j = w.logicalIndex();
            const MMatrix pre = matrixOf(fn.findPlug("bindPreMatrix", false).elementByLogicalIndex(j));
            const MMatrix world = matrixOf(fn.findPlug("matrix", false).elementByLogicalIndex(j));
            sum += w.asDouble() * MVector(p * geometry * pre * world * geometry.inverse());
        }
        return MPoint(sum);
    }

    // Object-space points of a mesh or curve shape.
    static MPointArray pointsOf(const char* shape)
    {
        MDagPath path = pathNamed(shape);
        MItGeometry points(path);
        MPointArray out;
        EXPECT_TRUE(points.allPositions(out));
        return out;
    }

    // Every point of the skinned mesh or curve against skinnedByHand of its Orig shape's point,
    // blended by the envelope.
    void expectLinearBlendSkinning(const char* skin, const char* shape, const char* orig, double envelope = 1.0)
    {
        const MPointArray skinned = pointsOf(shape), original = pointsOf(orig);
        ASSERT_EQ(skinned.length(), original.length());
        for (unsigned v = 0; v < skinned.length(); ++v) {
            const MPoint full = skinnedByHand(skin, v, original[v]);
            const MPoint want = original[v] + envelope * (full - original[v]);
            EXPECT_TRUE(skinned[v].isEquivalent(want, 1e-5))
                << "vertex " << v << ": " << skinned[v].x << " " << skinned[v].y << " " << skinned[v].z << " want "
                << want.x << " " << want.y << " " << want.z;
        }
    }
};

TEST_F(Skinning, BindBuildsTheHistoryAndClosestDistanceWeights)
{
    ASSERT_TRUE(run(kRig)) << errors();
    MPointArray before;
    ASSERT_TRUE(mesh("bodyShape").getPoints(before));
    EXPECT_EQ(strings("skinCluster -mi 2 spine body")[0], MString("skinCluster1"));
    // The whole skeleton of the joint named, in hierarchy order; the mesh's own geometry upstream.
    EXPECT_EQ(list("skinCluster -q -inf skinCluster1"), (std::vector<std::string>{"hip", "spine", "head"}));
    EXPECT_EQ(strings("skinCluster -q -g skinCluster1")[0], MString("bodyShape"));
    EXPECT_EQ(strings("listConnections -s 1 -d 0 bodyShape.inMesh")[0], MString("skinCluster1"));
    EXPECT_EQ(value("getAttr bodyShapeOrig.io").asInt(), 1);
    EXPECT_EQ(strings("listConnections -s 1 -d 0 skinCluster1.orggeom[0]")[0], MString("bodyShapeOrig"));
    EXPECT_EQ(strings("listConnections -s 1 -d 0 skinCluster1.bp")[0], MString("bindPose1"));
    EXPECT_EQ(value("getAttr bindPose1.bp").asInt(), 1);
    EXPECT_EQ(value("getAttr skinCluster1.mi").asInt(), 2);

    // At the bind pose nothing moves; each point has at most two weights summing to one, the
    // nearest bone's the largest.
    MPointArray after;
    ASSERT_TRUE(mesh("bodyShape").getPoints(after));
    for (unsigned v = 0; v < after.length(); ++v)
        EXPECT_TRUE(after[v].isEquivalent(before[v], 1e-5)) << v;
    const MString names[3] = {"hip", "spine", "head"};
    for (unsigned v = 0; v < before.length(); ++v) {
        SCOPED_TRACE(v);
        const MDoubleArray w = value("skinPercent -q -v skinCluster1 body.vtx[" + std::to_string(v) + "]").asDoubleArray();
        ASSERT_EQ(w.length(), 3u);
        int used = 0;
        for (unsigned j = 0; j < 3; ++j)
            used += w[j] > 0;
        EXPECT_LE(used, 2);
        EXPECT_NEAR(w[0] + w[1] + w[2], 1.0, 1e-6);
        // Below the spine the hip's bone is nearest, above it the spine's.
        const unsigned nearest = before[v].y < -1e-9 ? 0 : 1;
        for (unsigned j = 0; j < 3; ++j)
            EXPECT_LE(w[j], w[nearest]) << names[j].asChar();
    }

    // The weights save in Maya's sparse form and read back as they were.
    std::vector<MDoubleArray> weights;
    for (unsigned v = 0; v < before.length(); ++v)
        weights.push_back(value("skinPercent -q -v skinCluster1 body.vtx[" + std::to_string(v) + "]").asDoubleArray());
    EXPECT_NE(save("skinned.ma").find("\tsetAttr -s 20 \".wl\";\n\tsetAttr \".wl[0:19].w\" "), std::string::npos);
    ASSERT_TRUE(run("file -f -o \"" + tempPath("skinned.ma") + "\"")) << errors();
    for (unsigned v = 0; v < before.length(); ++v) {
        const MDoubleArray w = value("skinPercent -q -v skinCluster1 body.vtx[" + std::to_string(v) + "]").asDoubleArray();
        ASSERT_EQ(w.length(), 3u);
        for (unsigned j = 0; j < 3; ++j)
            EXPECT_EQ(w[j], weights[v][j]) << "vertex " << v << " influence " << j;
    }
}

TEST_F(Skinning, MovingJointsSkinsTheMeshLinearlyBlendedByTheEnvelope)
{
    ASSERT_TRUE(run(std::string(kRig) + "; move 5 0 0 body; skinCluster -mi 3 -dr 2 hip body")) << errors();
    const char* poses[] = {"setAttr spine.rz 40", "setAttr hip.ry 30; setAttr head.rx -20; setAttr spine.s 1 2 1",
                           "move -r 0 3 0 hip; setAttr skinCluster1.envelope 0.5"};
    double envelope = 1.0;
    for (const char* pose : poses) {
        SCOPED_TRACE(pose);
        ASSERT_TRUE(run(pose)) << errors();
        if (std::string(pose).find("envelope") != std::string::npos)
            envelope = 0.5;
        expectLinearBlendSkinning("skinCluster1", "bodyShape", "bodyShapeOrig", envelope);
    }
    // Weights given as they are, unnormalised, move points by their sum; "post" divides by it.
    ASSERT_TRUE(run("setAttr skinCluster1.envelope 1; setAttr skinCluster1.nw 0; "
                    "setAttr skinCluster1.wl[0].w[0] 0.5; setAttr skinCluster1.wl[0].w[1] 0; "
                    "setAttr skinCluster1.wl[0].w[2] 0"))
        << errors();
    expectLinearBlendSkinning("skinCluster1", "bodyShape", "bodyShapeOrig");
    MPoint original, normalised;
    ASSERT_TRUE(mesh("bodyShapeOrig").getPoint(0, original));
    ASSERT_TRUE(run("setAttr skinCluster1.nw 2"));
    ASSERT_TRUE(mesh("bodyShape").getPoint(0, normalised));
    EXPECT_TRUE(normalised.isEquivalent(MPoint(2.0 * MVector(skinnedByHand("skinCluster1", 0, original))), 1e-5));
    // Another skinning method is warned about and skinned linearly.
    clearMessages();
    ASSERT_TRUE(run("setAttr skinCluster1.nw 1; setAttr skinCluster1.skm 1"));
    expectLinearBlendSkinning("skinCluster1", "bodyShape", "bodyShapeOrig");
    EXPECT_EQ(warnings(), "skinCluster: skinCluster1 uses the dual quaternion skinning method, which is skinned "
                          "as classic linear here.\n");
}

// Without component tags the bind builds Maya's older chain: a tweak in front, and each deformer
// with its group parts, groupId and deformer set.
TEST_F(Skinning, BindWithoutComponentTagsBuildsTheGroupedChainAndUndoRemovesIt)
{
    ASSERT_TRUE(run(kRig)) << errors();
    ASSERT_TRUE(run("skinCluster -uct 0 hip body; setAttr spine.rz 30")) << errors();
    EXPECT_EQ(list("listConnections -s 1 -d 0 skinCluster1.ip[0].ig"), (std::vector<std::string>{"skinCluster1GroupParts"}));
    EXPECT_EQ(list("listConnections -s 1 -d 0 skinCluster1GroupParts.ig"), (std::vector<std::string>{"tweak1"}));
    EXPECT_EQ(list("listConnections -s 1 -d 0 tweak1.ip[0].ig"), (std::vector<std::string>{"groupParts1"}));
    EXPECT_EQ(list("listConnections -s 1 -d 0 groupParts1.ig"), (std::vector<std::string>{"bodyShapeOrig"}));
    EXPECT_EQ(list("listConnections -p 1 -s 1 -d 0 skinCluster1Set.dsm"), (std::vector<std::string>{"bodyShape.instObjGroups[0].objectGroups[1]"}));
    EXPECT_EQ(list("listConnections -s 1 -d 0 skinCluster1Set.ub"), (std::vector<std::string>{"skinCluster1"}));
    EXPECT_EQ(list("listConnections -s 1 -d 0 tweakSet1.gn"), (std::vector<std::string>{"groupId1"}));
    expectLinearBlendSkinning("skinCluster1", "bodyShape", "bodyShapeOrig");
    ASSERT_TRUE(run("undo; undo")) << errors();
    for (const char* gone : {"tweak1", "tweakSet1", "groupParts1", "skinCluster1GroupId", "skinCluster1Set"})
        EXPECT_EQ(value(std::string("objExists ") + gone).asInt(), 0) << gone;
}

TEST_F(Skinning, UndoOfTheBindGivesTheMeshBackAndRedoBindsAgain)
{
    ASSERT_TRUE(run(kRig)) << errors();
    ASSERT_TRUE(run("skinCluster hip body; setAttr spine.rz 30")) << errors();
    ASSERT_TRUE(run("undo; undo")) << errors();
    for (const char* gone : {"skinCluster1", "bodyShapeOrig", "bindPose1"})
        EXPECT_EQ(value(std::string("objExists ") + gone).asInt(), 0) << gone;
    EXPECT_EQ(value("attributeQuery -n hip -ex lockInfluenceWeights").asInt(), 0);
    EXPECT_EQ(value("polyEvaluate -v body").asInt(), 20);
    ASSERT_TRUE(run("redo; redo")) << errors();
    expectLinearBlendSkinning("skinCluster1", "bodyShape", "bodyShapeOrig");
}

TEST_F(Skinning, BindRefusesWhatItCannotBind)
{
    ASSERT_TRUE(run(std::string(kRig) + "; polyCube -n other; createNode transform -n empty")) << errors();
    expectRefusals({
        {"skinCluster hip", "skinCluster: name or select the geometry to bind."},
        {"skinCluster body", "skinCluster: name or select the joints to bind body to."},
        {"skinCluster hip body other", "skinCluster: one geometry is bound at a time, not body and other."},
        {"skinCluster -dr 20 hip body", "skinCluster: -dropoffRate takes a value from 0.1 to 10."},
        {"skinCluster -mi 0 hip body", "skinCluster: -mi takes a whole number from 1 to 1048576."},
        {"skinCluster hip body; skinCluster head body", "skinCluster: body is already bound to skinCluster1."},
        {"skinCluster -q -inf hip", "skinCluster: hip is not a skinCluster."},
    });
}

TEST_F(Skinning, SkinPercentSetsWeightsKeepingEachPointNormalised)
{
    ASSERT_TRUE(run(std::string(kRig) + "; skinCluster -mi 3 hip body")) << errors();
    const std::string point = " skinCluster1 body.vtx[4]";
    ASSERT_TRUE(run("skinPercent -tv spine 0.6" + point)) << errors();
    const MDoubleArray w = value("skinPercent -q -v" + point).asDoubleArray();
    EXPECT_NEAR(w[1], 0.6, 1e-12);
    EXPECT_NEAR(w[0] + w[1] + w[2], 1.0, 1e-12);
    EXPECT_NEAR(value("skinPercent -t spine -q -v" + point).asDouble(), 0.6, 1e-12);
    // A locked influence keeps its weight; the free one takes the rest.
    ASSERT_TRUE(run("setAttr hip.liw 1; skinPercent -tv head 0.1" + point)) << errors();
    const MDoubleArray locked = value("skinPercent -q -v" + point).asDoubleArray();
    EXPECT_NEAR(locked[0], w[0], 1e-12);
    EXPECT_NEAR(locked[2], 0.1, 1e-12);
    EXPECT_NEAR(locked[1], 0.9 - w[0], 1e-12);
    // Relative, then without normalising; -ib leaves out the small ones.
    ASSERT_TRUE(run("setAttr hip.liw 0; skinPercent -r -nrm 0 -tv head 0.2" + point));
    EXPECT_NEAR(value("skinPercent -t head -q -v" + point).asDouble(), 0.3, 1e-12);
    ASSERT_TRUE(run("skinPercent -tv head 1 -zri" + point));
    EXPECT_EQ(list("skinPercent -ib 0.001 -q -t" + point), (std::vector<std::string>{"head"}));
    ASSERT_TRUE(run("undo"));
    EXPECT_NEAR(value("skinPercent -t head -q -v" + point).asDouble(), 0.3, 1e-12);
    expectLinearBlendSkinning("skinCluster1", "bodyShape", "bodyShapeOrig");

    expectRefusals({{"skinPercent -tv body 0.5" + point, "skinPercent: body is not an influence of skinCluster1."},
                    {"skinPercent -tv head 0.5 skinCluster1 body.vtx[99]", "skinPercent: body.vtx[99] is out of range: the geometry has 20 points."}});
}

TEST_F(Skinning, DagPoseRestoreTakesTheSkeletonBackToItsBindPose)
{
    ASSERT_TRUE(run(std::string(kRig) + "; skinCluster hip body")) << errors();
    MPointArray bound;
    ASSERT_TRUE(mesh("bodyShape").getPoints(bound));
    ASSERT_TRUE(run("setAttr hip.ry 50; setAttr spine.rz 40; move -r 1 2 3 hip; setAttr head.s 2 2 2")) << errors();
    EXPECT_EQ(strings("dagPose -restore -bindPose spine")[0], MString("bindPose1"));
    MPointArray restored;
    ASSERT_TRUE(mesh("bodyShape").getPoints(restored));
    for (unsigned v = 0; v < bound.length(); ++v)
        EXPECT_TRUE(restored[v].isEquivalent(bound[v], 1e-5)) << v;
    // Driven channels keep their values and say so; a node in no bind pose is refused.
    clearMessages();
    ASSERT_TRUE(run("setAttr spine.rz 40; connectAttr hip.ty spine.rx; dagPose -r -bp bindPose1"));
    EXPECT_EQ(warnings(), "dagPose: spine has locked or connected channels that keep their values.\n");
    EXPECT_NEAR(value("getAttr spine.rz").asDouble(), 0.0, 1e-9);
    expectRefusals({{"dagPose -r -bp body", "dagPose: no bind pose holds body."}});
    // A pose saved by name comes back by name.
    ASSERT_TRUE(run("disconnectAttr hip.ty spine.rx; setAttr spine.rx 0.5"));
    EXPECT_EQ(strings("dagPose -save -n bent spine")[0], MString("bent"));
    ASSERT_TRUE(run("setAttr spine.rx 0; dagPose -restore bent")) << errors();
    EXPECT_NEAR(value("getAttr spine.rx").asDouble(), 0.5, 1e-9);
    EXPECT_EQ(value("getAttr bent.bp").asInt(), 0);
}

// Skinned rigs saved by Maya: the older groupParts wiring deforming a mesh, and the component-tag
// wiring deforming a curve.
TEST_F(Skinning, RigsSavedByMayaSkinAsTheirSkinClustersSay)
{
    const std::string folder = realScenesFolder();
    if (!std::filesystem::exists(folder + "/squareMAN-skinned.ma") || !std::filesystem::exists(folder + "/SimpleRopeRig.ma"))
        GTEST_SKIP() << "the rigs are not in " << folder;

    ASSERT_TRUE(run("file -f -o \"" + folder + "/squareMAN-skinned.ma\"")) << errors();
    EXPECT_EQ(value("polyEvaluate -v SquareManShape").asInt(), 120);
    // Saved in its bind pose: each influence sits where its bind-pre-matrix undoes.
    const MFnDependencyNode skin(node("skinCluster1"));
    const MPlug matrices = skin.findPlug("matrix", false);
    auto expectBindPose = [&] {
        ASSERT_EQ(matrices.numElements(), 20u);
        for (unsigned j = 0; j < 20; ++j) {
            const MMatrix world = matrixOf(matrices.elementByLogicalIndex(j));
            const MMatrix pre = matrixOf(skin.findPlug("bindPreMatrix", false).elementByLogicalIndex(j));
            EXPECT_TRUE((world * pre).isEquivalent(MMatrix::identity, 1e-9)) << "influence " << j;
        }
    };
    expectBindPose();
    expectLinearBlendSkinning("skinCluster1", "SquareManShape", "SquareManShapeOrig");
    ASSERT_TRUE(run("setAttr shoulder_l.rz 60; setAttr elbow_l.rz -45; setAttr thigh_r.rx 30; setAttr spine_2.ry 20"));
    expectLinearBlendSkinning("skinCluster1", "SquareManShape", "SquareManShapeOrig");
    // The bind pose the file saved puts them back.
    ASSERT_TRUE(run("dagPose -restore -bindPose bindPose1")) << errors();
    expectBindPose();

    ASSERT_TRUE(run("file -f -o \"" + folder + "/SimpleRopeRig.ma\"")) << errors();
    ASSERT_TRUE(run("setAttr Rope_FK_Jnt2.ry 35; setAttr Rope_FK_Jnt3.rx -20")) << errors();
    expectLinearBlendSkinning("skinCluster1", "curveShape1", "curveShape1Orig");
}

} // namespace
