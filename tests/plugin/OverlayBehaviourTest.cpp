// The overlay node's own behaviour in the host: what it computes, how it follows its driver
// mesh, which change counters each kind of edit bumps, its bounding box, and the module
// state it installs (registry and host callbacks).

#include "OverlayBehaviourScene.h"

#include <maya/MBoundingBox.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnMesh.h>
#include <maya/MGlobal.h>
#include <maya/MMatrix.h>
#include <maya/MPlug.h>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

class OverlayBehaviour : public PellixPluginTest
{
protected:
    void SetUp() override
    {
        PellixPluginTest::SetUp();
        ASSERT_TRUE(buildDriverAndPatches());
        ASSERT_TRUE(buildBoundOverlay("overlay", "overlayShape"));
        ASSERT_TRUE(mel("select -cl"));
    }
};

// The box a viewport refresh asks for, after pulling the overlay's mesh.
MBoundingBox boxOf(const char* name)
{
    refreshOverlay(name);
    MStatus status;
    MFnDagNode fn(nodeByName(name), &status);
    EXPECT_TRUE(status) << name;
    return fn.boundingBox();
}

void expectPoint(const MPoint& actual, double x, double y, double z)
{
    EXPECT_NEAR(actual.x, x, 1e-9);
    EXPECT_NEAR(actual.y, y, 1e-9);
    EXPECT_NEAR(actual.z, z, 1e-9);
}

// A scene file under /tmp, removed when the test ends.
class TempScene
{
public:
    explicit TempScene(const char* stem)
        : fPath("/tmp/" + std::string(stem) + "_" + std::to_string(getpid()) + ".ma")
    {
    }
    ~TempScene() { std::remove(fPath.c_str()); }
    const std::string& path() const { return fPath; }

private:
    std::string fPath;
};

} // namespace

TEST_F(OverlayBehaviour, NewOverlayNamesItselfAndStartsAtCounterOne)
{
    ASSERT_TRUE(mel("createNode pellixDataOverlay"));
    const MObject node = nodeByName("pellixDataOverlayShape1");
    ASSERT_FALSE(node.isNull());
    EXPECT_EQ(MFnDependencyNode(node).icon(), MString("out_normalDetail.png"));
    const Counters fresh = countersOf("pellixDataOverlayShape1");
    for (uint64_t value : fresh.value) {
        EXPECT_EQ(value, 1u);
    }
}

TEST_F(OverlayBehaviour, OutputsFollowTheDriverMesh)
{
    EXPECT_EQ(melInt("getAttr overlayShape.geometryChanging"), 1);
    const MPlug evaluated = MFnDependencyNode(nodeByName("overlayShape")).findPlug("evaluatedMesh", true);
    MStatus status;
    MFnMesh mesh(evaluated.asMObject(), &status);
    ASSERT_TRUE(status);
    EXPECT_EQ(mesh.numVertices(), 9);

    // A deformation reaches the evaluated mesh on the next pull.
    ASSERT_TRUE(mel("move -r 0 2 0 driver.vtx[4]"));
    MPoint point;
    ASSERT_TRUE(MFnMesh(evaluated.asMObject()).getPoint(4, point));
    EXPECT_NEAR(point.y, 2.0, 1e-9);
}

TEST_F(OverlayBehaviour, EachEditBumpsOnlyItsCounter)
{
    expectBumps("setAttr overlayShape.patchVertexCounts -type Int32Array 2 4 4", {kTopology});
    expectBumps("setAttr overlayShape.patchEdgeIndices -type Int32Array 2 0 1", {kTopology});
    expectBumps("setAttr overlayShape.hoveredPatch 1", {kHighlight});
    expectBumps("setAttr overlayShape.selectedPatches -type Int32Array 1 0", {kHighlight});
    expectBumps("setAttr overlayShape.colorR 0.5", {kDisplay});
    expectBumps("setAttr overlayShape.selectedColor 1 0 0", {kDisplay});
    expectBumps("setAttr overlayShape.hoverTransparency 0.5", {kDisplay});
    expectBumps("setAttr overlayShape.drawWireframe 1", {kDisplay});
    expectBumps("setAttr overlayShape.readoutTextSize 20", {kDisplay});
    expectBumps("setAttr overlayShape.enable 0", {kDisplay});
    expectBumps("setAttr overlayShape.liveDraw 1", {kGeometry});
    expectBumps("move -r 1 0 0 driver", {kGeometry});
    expectBumps("move -r 0 1 0 driver.vtx[2]", {kGeometry});
    expectBumps("connectAttr -f ctrlB.message overlayShape.patchControl[0]", {kTracked});
    expectBumps("disconnectAttr ctrlB.message overlayShape.patchControl[1]", {kTracked});

    // Stored but not drawn: nothing to redo.
    expectBumps("setAttr overlayShape.bindTolerance 0.01", {});
    expectBumps("setAttr overlayShape.drawMarker 1", {});
    expectBumps("setAttr overlayShape.patchSourcePaths -type stringArray 1 \"a\"", {});
    // Moving the overlay itself changes where it is drawn, not what.
    expectBumps("move -r 0 0 3 overlay", {});
}

TEST_F(OverlayBehaviour, LiveDrawRedrawsOnTimeChangesOnlyWhenOnAndEnabled)
{
    expectBumps("currentTime 2", {});
    ASSERT_TRUE(mel("setAttr overlayShape.liveDraw 1"));
    expectBumps("currentTime 3", {kGeometry});
    expectBumps("currentTime 4", {kGeometry});
    ASSERT_TRUE(mel("setAttr overlayShape.enable 0"));
    expectBumps("currentTime 5", {});
}

TEST_F(OverlayBehaviour, AttachesAndDetachesItsDriver)
{
    const PellixDataOverlay* overlay = overlayNamed("overlayShape");
    ASSERT_NE(overlay, nullptr);
    EXPECT_TRUE(overlay->drivenByWorldMesh());

    // The driver matrix follows the driver's transform through the world-matrix callback.
    ASSERT_TRUE(mel("move -r 1 2 3 driver"));
    MMatrix expected;
    expected[3][0] = 1.0;
    expected[3][1] = 2.0;
    expected[3][2] = 3.0;
    EXPECT_TRUE(overlay->driverMatrix().isEquivalent(expected, 1e-12));

    // Detached: identity, not world-driven, and driver moves no longer reach the overlay.
    expectBumps("disconnectAttr driverShape.worldMesh[0] overlayShape.inMesh", {kGeometry});
    EXPECT_FALSE(overlay->drivenByWorldMesh());
    EXPECT_TRUE(overlay->driverMatrix().isEquivalent(MMatrix(), 0.0));
    expectBumps("move -r 1 0 0 driver", {});

    // Fed from the object-space mesh: attached, but not a world mesh.
    expectBumps("connectAttr driverShape.outMesh overlayShape.inMesh", {kGeometry});
    EXPECT_FALSE(overlay->drivenByWorldMesh());
    expected[3][0] = 2.0;
    EXPECT_TRUE(overlay->driverMatrix().isEquivalent(expected, 1e-12));

    // Replacing one source by another detaches the first.
    ASSERT_TRUE(mel("polyPlane -n other"));
    expectBumps("connectAttr -f otherShape.worldMesh[0] overlayShape.inMesh", {kGeometry});
    EXPECT_TRUE(overlay->drivenByWorldMesh());
    expectBumps("move -r 1 0 0 driver", {});
    expectBumps("move -r 1 0 0 other", {kGeometry});
}

TEST_F(OverlayBehaviour, DeletingTheDriverDetachesIt)
{
    const PellixDataOverlay* overlay = overlayNamed("overlayShape");
    ASSERT_NE(overlay, nullptr);
    ASSERT_TRUE(mel("move -r 1 0 0 driver"));
    const Counters before = countersOf("overlayShape");
    ASSERT_TRUE(MGlobal::executeCommand("delete driver", false, true));
    EXPECT_GT(countersOf("overlayShape").value[kGeometry], before.value[kGeometry]);
    EXPECT_FALSE(overlay->drivenByWorldMesh());
    EXPECT_TRUE(overlay->driverMatrix().isEquivalent(MMatrix(), 0.0));
    EXPECT_TRUE(boxOf("overlayShape").width() == 0.0);

    // Undo brings the connection, and with it the driver, back.
    ASSERT_TRUE(MGlobal::executeCommand("undo", false, true));
    EXPECT_TRUE(overlay->drivenByWorldMesh());
    EXPECT_NEAR(boxOf("overlayShape").width(), 4.0, 1e-9);
}

TEST_F(OverlayBehaviour, BoundingBoxIsTheDriversInOverlaySpace)
{
    ASSERT_TRUE(mel("createNode pellixDataOverlay -n loose"));
    const MBoundingBox unbound = boxOf("loose");
    EXPECT_EQ(unbound.width(), 0.0);
    EXPECT_EQ(unbound.height(), 0.0);
    EXPECT_EQ(unbound.depth(), 0.0);

    MBoundingBox box = boxOf("overlayShape");
    expectPoint(box.min(), -2.0, 0.0, -2.0);
    expectPoint(box.max(), 2.0, 0.0, 2.0);

    // The driver's transform and deformation both show.
    ASSERT_TRUE(mel("move -r 10 0 0 driver"));
    box = boxOf("overlayShape");
    expectPoint(box.min(), 8.0, 0.0, -2.0);
    ASSERT_TRUE(mel("move -r 0 1 0 driver.vtx[8]"));
    box = boxOf("overlayShape");
    expectPoint(box.max(), 12.0, 1.0, 2.0);

    // The overlay's own transform moves its local space, so the box moves the other way.
    ASSERT_TRUE(mel("move -r 0 0 5 overlay"));
    box = boxOf("overlayShape");
    expectPoint(box.min(), 8.0, 0.0, -7.0);
    expectPoint(box.max(), 12.0, 1.0, -3.0);
}

TEST_F(OverlayBehaviour, ReadoutFollowsTheOneSelectedControlWhileShown)
{
    ASSERT_TRUE(mel("select -r ctrlA"));
    expectBumps("move -r 1 0 0 ctrlA", {});

    ASSERT_TRUE(mel("setAttr overlayShape.showTransformReadout 1"));
    expectBumps("move -r 1 0 0 ctrlA", {kTracked});
    expectBumps("move -r 1 0 0 ctrlB", {});

    // Two selected patches show no readout.
    ASSERT_TRUE(mel("select -add ctrlB"));
    expectBumps("move -r 1 0 0 ctrlA", {});

    ASSERT_TRUE(mel("select -r ctrlB"));
    expectBumps("move -r 1 0 0 ctrlB", {kTracked});
    ASSERT_TRUE(mel("setAttr overlayShape.showTransformReadout 0"));
    expectBumps("move -r 1 0 0 ctrlB", {});
}

TEST_F(OverlayBehaviour, OpenedSceneOverlaysAreFoundWithoutABind)
{
    TempScene scene("overlayBehaviourRegistry");
    ASSERT_TRUE(mel("setAttr overlayShape.liveDraw 1"));
    ASSERT_TRUE(mel("file -rename \"" + scene.path() + "\""));
    ASSERT_TRUE(mel("file -save -type \"mayaAscii\"; file -force -new"));

    // Nothing left to update: old handles must not be followed.
    ASSERT_TRUE(mel("currentTime 7; select -cl"));

    ASSERT_TRUE(mel("file -force -open \"" + scene.path() + "\""));
    ASSERT_TRUE(mel("select -r ctrlB"));
    EXPECT_EQ(selectedPatchesOf("overlayShape"), std::vector<int>{1});
    expectBumps("currentTime 8", {kGeometry});
    expectBumps("move -r 1 0 0 driver", {kGeometry});
}

TEST(OverlayModule, UnloadingLeavesNoCallbackBehind)
{
    ASSERT_TRUE(mel("file -force -new"));
    ASSERT_TRUE(loadPellix());
    ASSERT_TRUE(mel("polyPlane -n driver; createNode pellixDataOverlay -n overlayShape"));
    ASSERT_TRUE(mel("connectAttr driverShape.worldMesh[0] overlayShape.inMesh; setAttr overlayShape.liveDraw 1"));
    ASSERT_TRUE(mel("file -force -new"));
    ASSERT_TRUE(mel(std::string("unloadPlugin ") + kPluginName));

    // Callbacks into the unloaded module would crash here.
    EXPECT_TRUE(mel("polyPlane -n other"));
    EXPECT_TRUE(mel("select -r other"));
    EXPECT_TRUE(mel("currentTime 3"));
    EXPECT_TRUE(mel("move -r 1 0 0 other"));
    EXPECT_TRUE(mel("file -force -new"));
}

namespace {

// Two overlays on one driver sharing patch meshes and controls.
class OverlaySelectionSync : public PellixPluginTest
{
protected:
    void SetUp() override
    {
        PellixPluginTest::SetUp();
        ASSERT_TRUE(buildDriverAndPatches());
        ASSERT_TRUE(buildBoundOverlay("overlay", "overlayShape"));
        ASSERT_TRUE(buildBoundOverlay("second", "secondShape"));
        ASSERT_TRUE(mel("select -cl"));
    }

    void expectSelected(const std::string& selection, const std::vector<int>& patches)
    {
        SCOPED_TRACE(selection);
        ASSERT_TRUE(mel(selection));
        EXPECT_EQ(selectedPatchesOf("overlayShape"), patches);
        EXPECT_EQ(selectedPatchesOf("secondShape"), patches);
    }
};

} // namespace

TEST_F(OverlaySelectionSync, PatchesFollowTheirControlsSourceMeshesAndTransforms)
{
    expectSelected("select -r ctrlA", {0});
    expectSelected("select -r patchBShape", {1});
    expectSelected("select -r patchB", {1});
    expectSelected("select -r ctrlB patchA", {0, 1});
    expectSelected("select -r driver", {});
    expectSelected("select -r ctrlB patchA", {0, 1});
    expectSelected("select -d patchA", {1});
    expectSelected("select -cl", {});
}

TEST_F(OverlaySelectionSync, AnEqualListIsNotRewritten)
{
    ASSERT_TRUE(mel("select -r ctrlA"));
    expectBumps("select -r ctrlA", {}, "overlayShape");
    expectBumps("select -add driver", {}, "secondShape");
    expectBumps("select -r patchA", {}, "overlayShape");
    expectBumps("select -add ctrlB", {kHighlight}, "overlayShape");
    EXPECT_EQ(selectedPatchesOf("overlayShape"), (std::vector<int>{0, 1}));
}

TEST_F(OverlaySelectionSync, DamagedOrMissingLinksSelectNothing)
{
    // A patch without control or source mesh, and counts that name more patches than connect.
    ASSERT_TRUE(mel("disconnectAttr ctrlA.message overlayShape.patchControl[0]"));
    ASSERT_TRUE(mel("disconnectAttr patchAShape.message overlayShape.patchSourceMeshes[0]"));
    ASSERT_TRUE(mel("setAttr overlayShape.patchVertexCounts -type Int32Array 4 4 4 -1 4; select -r ctrlA patchA"));
    EXPECT_TRUE(selectedPatchesOf("overlayShape").empty());
    EXPECT_EQ(selectedPatchesOf("secondShape"), (std::vector<int>{0}));
    ASSERT_TRUE(mel("select -r ctrlA patchA ctrlB"));
    EXPECT_EQ(selectedPatchesOf("overlayShape"), (std::vector<int>{1}));

    // No stored patches: nothing can be selected.
    ASSERT_TRUE(mel("setAttr overlayShape.patchVertexCounts -type Int32Array 0; select -r ctrlB"));
    EXPECT_TRUE(selectedPatchesOf("overlayShape").empty());
    EXPECT_EQ(selectedPatchesOf("secondShape"), (std::vector<int>{1}));
}
