// "shapeControlCreate" driven through MEL: which selected items become sources, the names and
// world placement of the new controls, baked against live geometry, its refusals, a failure
// part-way that must leave nothing behind, undo and redo, and saving.

#include "BindCommandSupport.h"
#include "PluginTestSupport.h"
#include "ShapeControlTestSupport.h"

#include "support/TestValues.h"

#include <maya/MDGMessage.h>
#include <maya/MBoundingBox.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnMesh.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MDoubleArray.h>
#include <maya/MMessage.h>
#include <maya/MPlug.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

void expectMatrixNear(const MMatrix& actual, const MMatrix& expected)
{
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            EXPECT_NEAR(actual(row, column), expected(row, column), 1e-9) << row << "," << column;
        }
    }
}

void expectPointsNear(const MPointArray& actual, const MPointArray& expected)
{
    ASSERT_EQ(actual.length(), expected.length());
    for (unsigned i = 0; i < actual.length(); ++i) {
        EXPECT_NEAR(actual[i].distanceTo(expected[i]), 0.0, 1e-9) << i;
    }
}

class ShapeControlCreate : public PellixPluginTest
{
protected:
    std::vector<std::string> create(const std::string& command)
    {
        MStringArray result;
        const MStatus status = MGlobal::executeCommand(MString(command.c_str()), result, false, true);
        EXPECT_TRUE(status) << command;
        return toVector(result);
    }

    static std::string errorsOf(const host::MessageCapture& capture)
    {
        return capture.text(host::MessageKind::kError).asChar();
    }
};

} // namespace

TEST_F(ShapeControlCreate, NamesTheControlAfterTheSourceTransformAndSelectsIt)
{
    ASSERT_TRUE(mel("polyCube -n box; select -r box"));
    EXPECT_EQ(create("shapeControlCreate"),
              (std::vector<std::string>{"box_ShapeControl", "box_ShapeControlShape"}));
    EXPECT_EQ(melString("nodeType box_ShapeControlShape"), MString("shapeControl"));
    EXPECT_EQ(toVector(melStrings("listRelatives -p box_ShapeControlShape")),
              (std::vector<std::string>{"box_ShapeControl"}));
    EXPECT_EQ(toVector(melStrings("ls -sl")), (std::vector<std::string>{"box_ShapeControl"}));
    EXPECT_EQ(melInt("getAttr box_ShapeControlShape.hasBBox"), 1);

    // A transform inside a group: only the leaf name is used; a second control of the same
    // source gets a name of its own.
    ASSERT_TRUE(mel("createNode transform -n rig; parent box rig; select -r rig|box"));
    const std::vector<std::string> again = create("shapeControlCreate");
    ASSERT_EQ(again.size(), 2u);
    EXPECT_EQ(again[0].rfind("box_ShapeControl", 0), 0u) << again[0];
    EXPECT_NE(again[0], "box_ShapeControl");
    EXPECT_EQ(melString("nodeType " + again[1]), MString("shapeControl"));
}

TEST_F(ShapeControlCreate, NameFlagNamesASingleControlAndIsIgnoredForSeveralSourceShapes)
{
    ASSERT_TRUE(mel("polyCube -n box; polyPlane -n floor; select -r box"));
    EXPECT_EQ(create("shapeControlCreate -name handle"), (std::vector<std::string>{"handle", "handleShape"}));

    // Each source shape gives one control, however often it is selected, by shape or transform.
    ASSERT_TRUE(mel("select -r box boxShape floor|floorShape floor"));
    host::MessageCapture capture;
    EXPECT_EQ(create("shapeControlCreate -n pair"),
              (std::vector<std::string>{"box_ShapeControl", "box_ShapeControlShape", "floor_ShapeControl",
                                        "floor_ShapeControlShape"}));
    EXPECT_EQ(std::string(capture.text(host::MessageKind::kWarning).asChar()),
              "shapeControlCreate: -name is ignored for multiple selected sources.\n");
    EXPECT_EQ(melInt("objExists pair"), 0);
    EXPECT_EQ(toVector(melStrings("ls -sl")), (std::vector<std::string>{"box_ShapeControl", "floor_ShapeControl"}));

    // A name no node can have is refused before anything is made, saying which and why.
    const struct
    {
        const char* name;
        const char* why;
    } kInvalid[] = {
        {"my ctrl", "a node name may hold only letters, digits and underscores"},
        {"a|b", "a node name may hold only letters, digits and underscores"},
        {"ctl#", "a node name may hold only letters, digits and underscores"},
        {"1abc", "a node name cannot start with a digit"},
    };
    ASSERT_TRUE(mel("select -r box"));
    const unsigned nodes = melStrings("ls").length();
    for (const auto& invalid : kInvalid) {
        host::MessageCapture refused;
        EXPECT_FALSE(mel(std::string("shapeControlCreate -n \"") + invalid.name + "\""));
        EXPECT_EQ(errorsOf(refused),
                  std::string("shapeControlCreate: \"") + invalid.name + "\" is not a valid name: " + invalid.why + ".\n");
    }
    EXPECT_EQ(melStrings("ls").length(), nodes);
}

TEST_F(ShapeControlCreate, ControlSitsWhereTheSourceIsInTheWorld)
{
    // The group's uneven scale above the boxes' own rotations shears their world matrices.
    ASSERT_TRUE(mel("createNode transform -n group1; setAttr group1.translate 1 -2 3; "
                    "setAttr group1.rotate 30 -45 60; setAttr group1.scale 1 2 1.5"));
    const int rotateOrders[] = {0, 2, 5};
    for (int order : rotateOrders) {
        SCOPED_TRACE(order);
        const std::string box = "box" + std::to_string(order);
        ASSERT_TRUE(mel("polyCube -n " + box + "; parent " + box + " group1"));
        ASSERT_TRUE(mel("setAttr " + box + ".rotateOrder " + std::to_string(order)));
        ASSERT_TRUE(mel("setAttr " + box + ".translate 4 5 -6; setAttr " + box + ".rotate 10 70 -20; setAttr " + box +
                        ".scale 1.5 0.5 3"));
        ASSERT_TRUE(mel("select -r " + box));
        const std::vector<std::string> made = create("shapeControlCreate");
        ASSERT_EQ(made.size(), 2u);
        // The control has no parent, so its own transform carries the whole world placement.
        EXPECT_EQ(melStrings("listRelatives -p " + made[0]).length(), 0u);
        expectMatrixNear(worldMatrixOf(made[0]), worldMatrixOf(box));
    }
}

TEST_F(ShapeControlCreate, IntermediateMeshesAreNeverSources)
{
    // A history mesh first under the transform, the visible one after it.
    ASSERT_TRUE(mel("polyCube -n box; polyPlane -sx 2 -sy 2 -n flat; parent -s -r flatShape box; delete flat"));
    ASSERT_TRUE(mel("setAttr boxShape.intermediateObject 1; select -r box"));
    const std::vector<std::string> made = create("shapeControlCreate");
    ASSERT_EQ(made.size(), 2u);
    EXPECT_EQ(storedPoints(made[1] + ".inGeometry").length(), 9u) << "the plane's nine vertices, not the cube's";

    // Only the intermediate shape selected: nothing qualifies.
    ASSERT_TRUE(mel("select -r boxShape"));
    EXPECT_EQ(melFailure("shapeControlCreate"), "shapeControlCreate: select at least one mesh or nurbsCurve shape/transform.\n");
}

TEST_F(ShapeControlCreate, RefusesAnEmptyOrUnusableSelectionAndChangesNothing)
{
    ASSERT_TRUE(mel("createNode transform -n empty"));
    const MStringArray before = melStrings("ls");
    ASSERT_TRUE(mel("select -clear"));
    EXPECT_EQ(melFailure("shapeControlCreate"), "shapeControlCreate: select a mesh or curve shape/transform first.\n");
    ASSERT_TRUE(mel("select -r empty"));
    EXPECT_EQ(melFailure("shapeControlCreate -live true"),
              "shapeControlCreate: select at least one mesh or nurbsCurve shape/transform.\n");
    const std::string unknownFlag = melFailure("shapeControlCreate -noSuchFlag");
    EXPECT_EQ(unknownFlag.find("select"), std::string::npos) << unknownFlag;
    EXPECT_EQ(unknownFlag.find("API error"), std::string::npos) << unknownFlag;
    // A mesh without points would give an empty control: it is passed over with a warning.
    ASSERT_TRUE(mel("createNode transform -n hollow; createNode mesh -n hollowShape -p hollow"));
    const MStringArray withHollow = melStrings("ls");
    {
        ASSERT_TRUE(mel("select -r hollow"));
        host::MessageCapture capture;
        EXPECT_FALSE(mel("shapeControlCreate"));
        EXPECT_EQ(std::string(capture.text(host::MessageKind::kWarning).asChar()),
                  "shapeControlCreate: hollowShape has no points; no control is made for it.\n");
        EXPECT_EQ(errorsOf(capture), "shapeControlCreate: select at least one mesh or nurbsCurve shape/transform.\n");
    }
    EXPECT_EQ(toVector(melStrings("ls")), toVector(withHollow));
    ASSERT_TRUE(mel("polyPlane -n floor; select -r hollow floor"));
    EXPECT_EQ(create("shapeControlCreate"), (std::vector<std::string>{"floor_ShapeControl", "floor_ShapeControlShape"}));
}

TEST_F(ShapeControlCreate, BakedCopyKeepsItsShapeWhileLiveFollowsTheSource)
{
    ASSERT_TRUE(mel("polyCube -w 2 -h 2 -d 2 -n box; select -r box"));
    const std::vector<std::string> baked = create("shapeControlCreate -n baked");
    ASSERT_TRUE(mel("select -r box"));
    const std::vector<std::string> live = create("shapeControlCreate -n follower -live true");
    ASSERT_EQ(baked.size(), 2u);
    ASSERT_EQ(live.size(), 2u);

    MPointArray original;
    ASSERT_TRUE(MFnMesh(nodeByName("boxShape")).getPoints(original));
    expectPointsNear(storedPoints("bakedShape.inGeometry"), original);
    expectPointsNear(storedPoints("followerShape.inGeometry"), original);
    EXPECT_EQ(connectionSource("followerShape.inGeometry"), "boxShape.outMesh");
    EXPECT_EQ(connectionSource("bakedShape.inGeometry"), "");
    // The source's box, recorded in the control's own space.
    EXPECT_DOUBLE_EQ(melDouble("getAttr bakedShape.bbMinX"), -1.0);
    EXPECT_DOUBLE_EQ(melDouble("getAttr bakedShape.bbMaxZ"), 1.0);

    scaleMeshPoints("boxShape", 3.0);
    MPointArray edited;
    ASSERT_TRUE(MFnMesh(nodeByName("boxShape")).getPoints(edited));
    expectPointsNear(storedPoints("followerShape.inGeometry"), edited);
    expectPointsNear(storedPoints("bakedShape.inGeometry"), original);
    // The live control's bounds grow with its source, past the box recorded at creation.
    EXPECT_DOUBLE_EQ(melDouble("getAttr followerShape.bbMaxX"), 1.0);
    EXPECT_NEAR(MFnDagNode(nodeByName("followerShape")).boundingBox().max().x, 3.0, 1e-9);
    EXPECT_NEAR(MFnDagNode(nodeByName("bakedShape")).boundingBox().max().x, 1.0, 1e-9);
}

TEST_F(ShapeControlCreate, ColourCodedSourcesGiveTheControlTheirColour)
{
    // The nearest node with overrides on, from the shape up, decides: an RGB colour or a palette
    // index; with neither the control keeps its own red.
    const struct
    {
        const char* setting;
        double rgb[3];
    } kCases[] = {
        {"", {1, 0, 0}},
        {"setAttr srcShape.overrideEnabled 1; setAttr srcShape.overrideColor 6", {0, 0, 1}},
        {"setAttr src.overrideEnabled 1; setAttr src.overrideRGBColors 1; setAttr src.overrideColorRGB 0.2 0.4 0.6",
         {0.2, 0.4, 0.6}},
        {"setAttr src.overrideEnabled 1; setAttr src.overrideColor 17; setAttr srcShape.overrideEnabled 1",
         {1, 0, 0}},
        {"createDisplayLayer -e -n tint; editDisplayLayerMembers tint src; setAttr tint.color 14", {0, 1, 0}},
        {"colorIndex 9 0.5 0.25 0.125; setAttr src.overrideEnabled 1; setAttr src.overrideColor 9",
         {0.5, 0.25, 0.125}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.setting);
        ASSERT_TRUE(mel("file -f -new; circle -n src"));
        if (*c.setting) {
            ASSERT_TRUE(mel(c.setting));
        }
        ASSERT_TRUE(mel("select -r src"));
        const std::vector<std::string> made = create("shapeControlCreate -n ctrl");
        ASSERT_EQ(made.size(), 2u);
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(melDouble(std::string("getAttr ctrlShape.color") + "RGB"[k]), c.rgb[k], 1e-6) << k;
        }
    }
    ASSERT_TRUE(mel("colorIndex -resetToFactory"));
}

TEST_F(ShapeControlCreate, CurvesAreBakedWithTheirKnotsAndFormOrConnectedLive)
{
    makeCurve("loop",
              {MPoint(0, 0, 2), MPoint(2, 0, 0), MPoint(0, 0, -2), MPoint(-2, 0, 0), MPoint(0, 0, 2),
               MPoint(2, 0, 0), MPoint(0, 0, -2)},
              {-2, -1, 0, 1, 2, 3, 4, 5, 6}, 3, MFnNurbsCurve::kPeriodic);
    ASSERT_TRUE(mel("select -r loop"));
    const std::vector<std::string> baked = create("shapeControlCreate");
    ASSERT_EQ(baked, (std::vector<std::string>{"loop_ShapeControl", "loop_ShapeControlShape"}));

    MPlug geometry = MFnDependencyNode(nodeByName("loop_ShapeControlShape")).findPlug("inGeometry", true);
    const MObject data = geometry.asMObject();
    ASSERT_TRUE(data.hasFn(MFn::kNurbsCurveData));
    MFnNurbsCurve stored(data);
    MFnNurbsCurve source(nodeByName("loopShape"));
    EXPECT_EQ(stored.form(), MFnNurbsCurve::kPeriodic);
    EXPECT_EQ(stored.degree(), 3);
    MDoubleArray storedKnots, sourceKnots;
    ASSERT_TRUE(stored.getKnots(storedKnots) && source.getKnots(sourceKnots));
    ASSERT_EQ(storedKnots.length(), sourceKnots.length());
    for (unsigned i = 0; i < storedKnots.length(); ++i) {
        EXPECT_DOUBLE_EQ(storedKnots[i], sourceKnots[i]);
    }
    MPointArray sourceCvs;
    ASSERT_TRUE(source.getCVs(sourceCvs));
    expectPointsNear(storedPoints("loop_ShapeControlShape.inGeometry"), sourceCvs);

    ASSERT_TRUE(mel("select -r loopShape"));
    const std::vector<std::string> live = create("shapeControlCreate -l 1");
    ASSERT_EQ(live.size(), 2u);
    EXPECT_EQ(connectionSource(live[1] + ".inGeometry"), "loopShape.local");
}

namespace {

// Locks the translateX of every transform made while it is installed, so that setting the
// new control's placement fails after its nodes exist.
void lockNewTransform(MObject& node, void*)
{
    if (node.apiType() == MFn::kTransform) {
        MFnDependencyNode(node).findPlug("translateX", true).setLocked(true);
    }
}

} // namespace

TEST_F(ShapeControlCreate, FailureAfterTheNodesExistLeavesNothingBehind)
{
    ASSERT_TRUE(mel("polyCube -n box; setAttr box.translateX 3; polyPlane -n floor; select -r floor box"));
    const std::string before = sceneText();
    const unsigned nodesBefore = melStrings("ls").length();

    MStatus status;
    const MCallbackId id = MDGMessage::addNodeAddedCallback(lockNewTransform, "transform", nullptr, &status);
    ASSERT_TRUE(status);
    host::MessageCapture capture;
    const MStatus created = mel("shapeControlCreate");
    ASSERT_TRUE(MMessage::removeCallback(id));

    EXPECT_FALSE(created);
    EXPECT_EQ(errorsOf(capture), "shapeControlCreate: failed to set up the new controls; nothing was created.\n");
    EXPECT_EQ(melStrings("ls -type shapeControl").length(), 0u);
    EXPECT_EQ(melStrings("ls").length(), nodesBefore);
    EXPECT_EQ(sceneText(), before);
}

TEST_F(ShapeControlCreate, UndoAndRedoRestoreTheSceneExactly)
{
    ASSERT_TRUE(mel("polyCube -n box; setAttr box.rotate 0 45 0; polyPlane -n floor"));
    makeLine("line", MPoint(0, 0, 0), MPoint(1, 2, 3));
    ASSERT_TRUE(mel("select -r box line"));
    const std::string before = sceneText();
    ASSERT_TRUE(undoableMel("shapeControlCreate"));
    const std::string baked = sceneText();
    ASSERT_TRUE(mel("select -r floor"));
    ASSERT_TRUE(undoableMel("shapeControlCreate -live 1 -n follower"));
    const std::string after = sceneText();
    ASSERT_NE(baked, before);
    EXPECT_EQ(melStrings("ls -type shapeControl").length(), 3u);

    ASSERT_TRUE(undoableMel("undo"));
    EXPECT_EQ(sceneText(), baked);
    EXPECT_EQ(connectionSource("floorShape.outMesh"), "");
    EXPECT_EQ(toVector(melStrings("ls -sl")), (std::vector<std::string>{"floor"})) << "the selection before it";
    ASSERT_TRUE(undoableMel("undo"));
    EXPECT_EQ(sceneText(), before);
    EXPECT_EQ(melStrings("ls -type shapeControl").length(), 0u);
    EXPECT_EQ(toVector(melStrings("ls -sl")), (std::vector<std::string>{"box", "line"}));

    ASSERT_TRUE(undoableMel("redo"));
    EXPECT_EQ(sceneText(), baked);
    EXPECT_EQ(storedPoints("line_ShapeControlShape.inGeometry").length(), 2u);
    EXPECT_EQ(toVector(melStrings("ls -sl")), (std::vector<std::string>{"box_ShapeControl", "line_ShapeControl"}))
        << "the new controls, selected again";
    ASSERT_TRUE(undoableMel("redo"));
    EXPECT_EQ(sceneText(), after);
    EXPECT_EQ(connectionSource("followerShape.inGeometry"), "floorShape.outMesh");
    ASSERT_TRUE(undoableMel("undo; undo"));
    EXPECT_EQ(sceneText(), before);
}

namespace {

// Saves the scene to a file, empties it and opens the file again.
void saveAndReopen(const std::string& fileName)
{
    const std::string path = ::testing::TempDir() + fileName;
    ASSERT_TRUE(mel("file -rename \"" + path + "\"; file -force -save"));
    ASSERT_TRUE(mel("file -force -new"));
    EXPECT_EQ(melStrings("ls -type shapeControl").length(), 0u);
    ASSERT_TRUE(mel("file -force -open \"" + path + "\""));
    std::remove(path.c_str());
}

} // namespace

TEST_F(ShapeControlCreate, ControlsSaveAndReopen)
{
    ASSERT_TRUE(mel("polyCube -n box; setAttr box.translate 1 2 3; setAttr box.rotateY 30; polyPlane -n floor"));
    ASSERT_TRUE(mel("select -r box"));
    create("shapeControlCreate -n placed -live 1");
    ASSERT_TRUE(mel("select -r floor"));
    create("shapeControlCreate -n follower -live 1");
    const MMatrix placedWorld = worldMatrixOf("placed");
    const std::string saved = sceneText();

    saveAndReopen("shapeControls.ma");

    EXPECT_EQ(melString("nodeType placedShape"), MString("shapeControl"));
    expectMatrixNear(worldMatrixOf("placed"), placedWorld);
    EXPECT_EQ(melInt("getAttr placedShape.hasBBox"), 1);
    EXPECT_DOUBLE_EQ(melDouble("getAttr placedShape.bbMaxY"), 0.5);
    EXPECT_EQ(connectionSource("followerShape.inGeometry"), "floorShape.outMesh");
    EXPECT_EQ(sceneText(), saved);
}

TEST_F(ShapeControlCreate, BakedMeshAndCurveControlsKeepTheirGeometryThroughSaveAndReopen)
{
    ASSERT_TRUE(mel("polyCube -n box; select -r box"));
    create("shapeControlCreate -n boxControl");
    makeCurve("loop",
              {MPoint(0, 0, 2), MPoint(2, 0, 0), MPoint(0, 0, -2), MPoint(-2, 0, 0), MPoint(0, 0, 2),
               MPoint(2, 0, 0), MPoint(0, 0, -2)},
              {-2, -1, 0, 1, 2, 3, 4, 5, 6}, 3, MFnNurbsCurve::kPeriodic);
    ASSERT_TRUE(mel("select -r loop"));
    create("shapeControlCreate -n loopControl");
    // The sources go, so only the saved copies can bring the shapes back.
    ASSERT_TRUE(mel("delete box loop"));
    ASSERT_EQ(connectionSource("boxControlShape.inGeometry"), "");

    const MPointArray boxPoints = storedPoints("boxControlShape.inGeometry");
    const MPointArray loopCvs = storedPoints("loopControlShape.inGeometry");
    ASSERT_EQ(boxPoints.length(), 8u);
    ASSERT_EQ(loopCvs.length(), 7u);
    const std::string saved = sceneText();

    // (Meshes and curves as typed values keep every detail through a file where the host is tested.)
    saveAndReopen("bakedControls.ma");

    expectPointsNear(storedPoints("boxControlShape.inGeometry"), boxPoints);
    EXPECT_TRUE(MFnDependencyNode(nodeByName("boxControlShape")).findPlug("inGeometry", true).asMObject().hasFn(
        MFn::kMeshData));
    expectPointsNear(storedPoints("loopControlShape.inGeometry"), loopCvs);
    const MObject curve = MFnDependencyNode(nodeByName("loopControlShape")).findPlug("inGeometry", true).asMObject();
    ASSERT_TRUE(curve.hasFn(MFn::kNurbsCurveData));
    EXPECT_EQ(MFnNurbsCurve(curve).form(), MFnNurbsCurve::kPeriodic);
    // The box drawn from the stored mesh, as before saving.
    EXPECT_DOUBLE_EQ(melDouble("getAttr boxControlShape.bbMaxY"), 0.5);
    EXPECT_EQ(sceneText(), saved);
}
