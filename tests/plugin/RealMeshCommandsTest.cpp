// The plug-in's commands on meshes from scenes saved by Maya: a box of "White Box Rig.ma"
// under rotated, pivoted parents, and the 1124-vertex chess piece of "Chess.ma", whose
// points carry tweaks. Results are checked by evaluation against world positions.

#include "PluginTestSupport.h"
#include "support/TestValues.h"
#include "ShapeControlTestSupport.h"
#include "PinTestSupport.h"

#include "commands/MessageOutput.h"
#include "support/RealScenesFolder.h"

#include <maya/MDagPath.h>
#include <maya/MFnMesh.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::vector<MPoint> meshPoints(const std::string& mesh, MSpace::Space space)
{
    MPointArray points;
    EXPECT_TRUE(MFnMesh(pathNamed(mesh)).getPoints(points, space)) << mesh;
    std::vector<MPoint> out;
    for (unsigned i = 0; i < points.length(); ++i)
        out.push_back(points[i]);
    return out;
}

MPoint worldPosition(const std::string& transform)
{
    const MMatrix m = pinbind::worldMatrix(transform);
    return MPoint(m(3, 0), m(3, 1), m(3, 2));
}

// How far a world point lies from the mesh's surface.
double distanceToSurface(const std::string& mesh, const MPoint& p)
{
    MPoint closest;
    EXPECT_TRUE(MFnMesh(pathNamed(mesh)).getClosestPoint(p, closest, MSpace::kWorld));
    return p.distanceTo(closest);
}

MPoint closestSurfacePoint(const std::string& mesh, const MPoint& p)
{
    MPoint closest;
    EXPECT_TRUE(MFnMesh(pathNamed(mesh)).getClosestPoint(p, closest, MSpace::kWorld));
    return closest;
}

void expectSamePoint(const MPoint& got, const MPoint& want, const std::string& what)
{
    EXPECT_LT(got.distanceTo(want), 1e-4) << what << ": got (" << got.x << ", " << got.y << ", " << got.z
                                          << "), want (" << want.x << ", " << want.y << ", " << want.z << ")";
}

class RealMeshCommands : public PellixPluginTest
{
protected:
    // Opens a scene found by realScenePath. The scenes need plug-ins this host lacks; their
    // warnings are expected, errors are not.
    void open(const std::string& path)
    {
        host::MessageCapture capture;
        ASSERT_TRUE(mel("file -f -o \"" + path + "\""));
        EXPECT_EQ(std::string(capture.text(host::MessageKind::kError).asChar()), "");
    }

    // A control beside the box of a mesh, off its +z side.
    void addControlBeside(const std::string& name, const std::string& mesh)
    {
        const std::vector<MPoint> points = meshPoints(mesh, MSpace::kWorld);
        MPoint low = points[0], high = points[0];
        for (const MPoint& p : points)
            for (unsigned k = 0; k < 3; ++k) {
                low[k] = std::min(low[k], p[k]);
                high[k] = std::max(high[k], p[k]);
            }
        const MPoint at(0.5 * (low.x + high.x) + 0.1, 0.5 * (low.y + high.y), high.z + 0.3);
        ASSERT_TRUE(mel("createNode transform -n " + name));
        ASSERT_TRUE(mel("setAttr " + name + ".translate " + std::to_string(at.x) + " " + std::to_string(at.y) + " " +
                        std::to_string(at.z)));
    }

    // Binds a control beside the lower leg of the white box rig (opened from `scene`) with
    // `command`, checks it sits on the leg, then turns the leg's parent and checks it moves with
    // the leg.
    void expectPinnedToTheTurningLeg(const std::string& scene, const std::string& command)
    {
        ASSERT_NO_FATAL_FAILURE(open(scene));
        addControlBeside("pinned", "R_LowerLegShape");
        const MPoint target = closestSurfacePoint("R_LowerLegShape", worldPosition("pinned"));

        ASSERT_FALSE(std::string(melString(command + " R_LowerLeg pinned").asChar()).empty());
        const MPoint pinned = worldPosition("pinned");
        EXPECT_LT(distanceToSurface("R_LowerLegShape", pinned), 1e-4);
        expectSamePoint(pinned, target, "the closest point of the leg");

        const MMatrix before = pinbind::worldMatrix("R_LowerLegShape");
        ASSERT_TRUE(mel("setAttr R_UpperLeg.rotateX -40; setAttr R_LowerLeg.rotateY 25"));
        const MMatrix after = pinbind::worldMatrix("R_LowerLegShape");
        ASSERT_GT(pinbind::matrixDistance(before, after), 0.1) << "the leg moved";
        expectSamePoint(worldPosition("pinned"), pinned * before.inverse() * after, "the moved leg's point");
    }
};

} // namespace

TEST_F(RealMeshCommands, SurfacePinSitsOnTheRigsLegAndFollowsIt)
{
    const std::string scene = realScenePath("White Box Rig.ma");
    if (scene.empty())
        GTEST_SKIP() << kNoRealScenes;
    expectPinnedToTheTurningLeg(scene, "surfacePinBind");
}

TEST_F(RealMeshCommands, SurfaceUVPinSitsOnTheRigsLegAndFollowsIt)
{
    const std::string scene = realScenePath("White Box Rig.ma");
    if (scene.empty())
        GTEST_SKIP() << kNoRealScenes;
    expectPinnedToTheTurningLeg(scene, "surfaceUVPinBind");
}

TEST_F(RealMeshCommands, SurfacePinFollowsAMovedVertexOfTheChessPiece)
{
    const std::string scene = realScenePath("Chess.ma");
    if (scene.empty())
        GTEST_SKIP() << kNoRealScenes;
    ASSERT_NO_FATAL_FAILURE(open(scene));
    addControlBeside("pinned", "polySurfaceShape2");
    ASSERT_TRUE(mel("setAttr pinned.translateY 3"));
    const std::string pin = melString("surfacePinBind polySurface2 pinned").asChar();
    const MPoint pinned = worldPosition("pinned");
    EXPECT_LT(distanceToSurface("polySurfaceShape2", pinned), 1e-4);

    // Moving the three corners of the bound triangle carries the control with them.
    const std::vector<int> corners = intArray(pin + ".vertexIndices");
    ASSERT_EQ(corners.size(), 3u);
    for (int id : corners)
        ASSERT_TRUE(mel("move -r 0 0.5 0 polySurface2.vtx[" + std::to_string(id) + "]"));
    expectSamePoint(worldPosition("pinned"), pinned + MVector(0, 0.5, 0), "the lifted triangle's point");
}

TEST_F(RealMeshCommands, VertexWrapMakesADuplicateOfTheChessPieceFollowItsVertices)
{
    const std::string scene = realScenePath("Chess.ma");
    if (scene.empty())
        GTEST_SKIP() << kNoRealScenes;
    ASSERT_NO_FATAL_FAILURE(open(scene));
    ASSERT_TRUE(mel("duplicate -n wrapped polySurface2; xform -t 5 0 -3 wrapped"));
    ASSERT_TRUE(mel("vertexWrap -n wrap polySurface2 wrapped"));

    ASSERT_TRUE(mel("move -r 0.25 1 0 polySurface2.vtx[10] polySurface2.vtx[500:520]; xform -ro 0 30 0 polySurface2"));
    const std::vector<MPoint> driver = meshPoints("polySurfaceShape2", MSpace::kWorld);
    const std::vector<MPoint> target = meshPoints("wrappedShape", MSpace::kWorld);
    ASSERT_EQ(target.size(), 1124u);
    ASSERT_EQ(driver.size(), target.size());
    for (int i : {0, 10, 500, 510, 520, 1123})
        expectSamePoint(target[size_t(i)], driver[size_t(i)], "vertex " + std::to_string(i));
}

TEST_F(RealMeshCommands, DataBindMatchesAPatchCutFromTheChessPiece)
{
    const std::string scene = realScenePath("Chess.ma");
    if (scene.empty())
        GTEST_SKIP() << kNoRealScenes;
    ASSERT_NO_FATAL_FAILURE(open(scene));
    ASSERT_TRUE(mel("duplicate -n patch polySurface2; delete patch.f[40:1089]"));
    const std::vector<MPoint> patch = meshPoints("patchShape", MSpace::kWorld);
    ASSERT_GT(patch.size(), 3u);
    ASSERT_LT(patch.size(), 1124u);

    ASSERT_TRUE(mel("pellixDataBind polySurface2 patch"));
    const std::vector<int> ids = intArray("pellixDataOverlayShape.patchDriverVertexIndices");
    ASSERT_EQ(ids.size(), patch.size());
    const std::vector<MPoint> driver = meshPoints("polySurfaceShape2", MSpace::kWorld);
    for (size_t k = 0; k < ids.size(); ++k) {
        ASSERT_GE(ids[k], 0) << "patch vertex " << k;
        ASSERT_LT(size_t(ids[k]), driver.size());
        expectSamePoint(driver[size_t(ids[k])], patch[k], "patch vertex " + std::to_string(k));
    }
}

TEST_F(RealMeshCommands, ShapeControlTakesTheRigsBoxWhereItIs)
{
    const std::string scene = realScenePath("White Box Rig.ma");
    if (scene.empty())
        GTEST_SKIP() << kNoRealScenes;
    ASSERT_NO_FATAL_FAILURE(open(scene));
    ASSERT_TRUE(mel("select -r R_LowerLegShape"));
    const MStringArray made = melStrings("shapeControlCreate");
    ASSERT_EQ(made.length(), 2u);
    EXPECT_EQ(made[0], MString("R_LowerLeg_ShapeControl"));

    // The baked box under the control's transform lands on the leg's vertices.
    const MMatrix control = pinbind::worldMatrix(made[0].asChar());
    const MPointArray baked = storedPoints(std::string(made[1].asChar()) + ".inGeometry");
    const std::vector<MPoint> leg = meshPoints("R_LowerLegShape", MSpace::kWorld);
    ASSERT_EQ(baked.length(), 8u);
    ASSERT_EQ(leg.size(), 8u);
    for (unsigned i = 0; i < baked.length(); ++i)
        expectSamePoint(baked[i] * control, leg[i], "vertex " + std::to_string(i));

    const std::vector<MPoint> local = meshPoints("R_LowerLegShape", MSpace::kObject);
    double lowX = local[0].x, highZ = local[0].z;
    for (const MPoint& p : local) {
        lowX = std::min(lowX, p.x);
        highZ = std::max(highZ, p.z);
    }
    const std::string shape = made[1].asChar();
    EXPECT_NEAR(melDouble("getAttr " + shape + ".bbMinX"), lowX, 1e-6);
    EXPECT_NEAR(melDouble("getAttr " + shape + ".bbMaxZ"), highZ, 1e-6);
    EXPECT_EQ(melInt("getAttr " + shape + ".hasBBox"), 1);
}

TEST_F(RealMeshCommands, ColourCodedRigCurvesOfALampRigKeepTheirColourAsControls)
{
    const std::string scene = realScenePath("Lamp_RK.ma");
    if (scene.empty())
        GTEST_SKIP() << kNoRealScenes;
    ASSERT_NO_FATAL_FAILURE(open(scene));
    // Yellow by index 17, blue by index 6, and a curve whose override gives no colour.
    ASSERT_TRUE(mel("select -r COG_Ctrl Base_FK_Ctrl Transform_Ctrl; shapeControlCreate"));
    const struct
    {
        const char* control;
        double rgb[3];
    } kColours[] = {{"COG_Ctrl_ShapeControlShape", {1, 1, 0}},
                    {"Base_FK_Ctrl_ShapeControlShape", {0, 0, 1}},
                    {"Transform_Ctrl_ShapeControlShape", {1, 0, 0}}};
    for (const auto& c : kColours) {
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(melDouble(std::string("getAttr ") + c.control + ".color" + "RGB"[k]), c.rgb[k], 1e-6)
                << c.control << " channel " << k;
        }
    }
}
