// Commands scripts use to look at scenes: polyEvaluate, pointPosition, xform
// queries and matrix/pivot edits, getAttr of mesh geometry and world matrices,
// listAttr, attributeQuery, objectType, nodeType -i, ls, listRelatives and
// listHistory, and delete of several face ranges at once. Each is driven
// through MEL on scenes built in a few lines, and on one scene saved by Maya.

#include "SceneTestSupport.h"

#include "dg/Registry.h"
#include "support/RealScenesFolder.h"

#include <maya/MDagPath.h>
#include <maya/MDataBlock.h>
#include <maya/MEventMessage.h>
#include <maya/MFnSingleIndexedComponent.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MItGeometry.h>
#include <maya/MItSelectionList.h>
#include <maya/MPlug.h>
#include <maya/MPxDeformerNode.h>
#include <maya/MSelectionList.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

typedef std::vector<std::string> Names;
typedef std::vector<double> Numbers;

Names toNames(const MStringArray& array)
{
    Names out;
    for (unsigned i = 0; i < array.length(); ++i)
        out.emplace_back(array[i].asChar());
    return out;
}

// A deformer that leaves its input as it is: enough to build a deformer chain.
class PassDeformer : public MPxDeformerNode
{
public:
    static void* creator() { return new PassDeformer; }
    static MStatus initialize() { return MS::kSuccess; }
    MStatus deform(MDataBlock&, MItGeometry&, const MMatrix&, unsigned int) override { return MS::kSuccess; }
};

void registerPassDeformer()
{
    if (host::findNodeType("sceneQueryPass"))
        return;
    host::NodeTypeInfo info;
    info.name = "sceneQueryPass";
    info.id = MTypeId(0x0007F5C0);
    info.creator = &PassDeformer::creator;
    info.initialize = &PassDeformer::initialize;
    info.type = MPxNode::kDeformerNode;
    ASSERT_TRUE(host::registerNodeType(info));
}

class SceneQueryCommands : public SceneTest
{
protected:
    Numbers numbers(const std::string& script)
    {
        MDoubleArray array = value(script).asDoubleArray();
        return Numbers(&array[0], &array[0] + array.length());
    }
    Names names(const std::string& script) { return toNames(strings(script)); }
    // The last error line, as the user reads it.
    std::string lastError()
    {
        const std::string all = errors();
        const size_t end = all.find_last_not_of('\n');
        if (end == std::string::npos)
            return "";
        const size_t start = all.rfind('\n', end);
        return all.substr(start == std::string::npos ? 0 : start + 1, end - (start == std::string::npos ? 0 : start + 1) + 1);
    }
    // Opens scene text written the way Maya writes it.
    MStatus openScene(const std::string& body)
    {
        const std::string path = tempPath("scene.ma");
        std::ofstream(path, std::ios::binary) << "//Maya ASCII 2023 scene\n//Name: scene.ma\nrequires maya \"2023\";\n"
                                              << body;
        return run("file -f -o \"" + path + "\"");
    }
    // Runs a command that must fail and returns the error it gives.
    std::string failure(const std::string& script)
    {
        clearMessages();
        EXPECT_FALSE(run(script)) << script;
        return lastError();
    }
};

void expectNear(const Numbers& expected, const Numbers& actual, double tolerance = 1e-9)
{
    ASSERT_EQ(expected.size(), actual.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(expected[i], actual[i], tolerance) << "element " << i;
}

} // namespace

TEST_F(SceneQueryCommands, PolyEvaluateCountsInFlagOrderAndBoundsInWorldSpace)
{
    run("polyCube -w 2 -h 2 -d 2; move 10 0 0 pCube1");
    EXPECT_EQ(8, number("polyEvaluate -v pCube1"));
    EXPECT_EQ(12, number("polyEvaluate -e pCubeShape1"));
    EXPECT_EQ(6, number("polyEvaluate -f pCube1"));
    EXPECT_EQ(12, number("polyEvaluate -t pCube1"));
    EXPECT_EQ(14, number("polyEvaluate -uv pCube1"));
    EXPECT_EQ(names("polyEvaluate -f -v pCube1"), (Names{"6", "8"}));
    expectNear({9, 11, -1, 1, -1, 1}, numbers("polyEvaluate -b pCube1"));

    // Several objects (and the selection) add up.
    run("polyPlane -sx 2 -sy 2; select pCube1 pPlane1");
    EXPECT_EQ(8 + 9, number("polyEvaluate -v"));

    // What is not polygonal is passed over; with nothing polygonal Maya answers with a text.
    run("createNode transform -n grp");
    EXPECT_EQ(8, number("polyEvaluate -v grp pCube1"));
    EXPECT_EQ(text("polyEvaluate -v grp"), "Nothing counted : no polygonal object is selected.");
    EXPECT_EQ(text("select -cl; polyEvaluate -f"), "Nothing counted : no polygonal object is selected.");

    EXPECT_EQ(failure("polyEvaluate -v nobody"), "polyEvaluate: No object matches name: nobody");
    EXPECT_EQ(failure("polyEvaluate -x pCube1"), "polyEvaluate: Invalid flag '-x'");
    EXPECT_EQ(failure("polyEvaluate -v -b pCube1"),
              "polyEvaluate: counts and the bounding box cannot be queried together.");
}

TEST_F(SceneQueryCommands, PointPositionGivesWorldOrLocalPositionsOfVerticesAndCVs)
{
    run("polyCube; setAttr pCube1.translate 0 5 0; setAttr pCube1.scale 2 2 2");
    expectNear({-1, 4, 1}, numbers("pointPosition pCube1.vtx[0]"));
    expectNear({-1, 4, 1}, numbers("pointPosition -w pCubeShape1.vtx[0]"));
    expectNear({-0.5, -0.5, 0.5}, numbers("pointPosition -l pCube1.vtx[0]"));
    run("move -r 0 1 0 pCube1.vtx[0]");  // one world unit is half a unit inside the scaled cube
    expectNear({-0.5, 0, 0.5}, numbers("pointPosition -l pCube1.vtx[0]"));
    expectNear({-1, 5, 1}, numbers("pointPosition pCube1.vtx[0]"));

    run("curve -d 1 -p 0 0 0 -p 3 0 0 -n wire; setAttr wire.translate 0 0 2");
    expectNear({3, 0, 2}, numbers("pointPosition wire.cv[1]"));
    expectNear({3, 0, 0}, numbers("pointPosition -l wire.cv[1]"));

    EXPECT_EQ(failure("pointPosition pCube1.vtx[8]"),
              "pointPosition: pCube1.vtx[8] is out of range: the mesh has 8 vertices.");
    EXPECT_EQ(failure("pointPosition pCube1"), "pointPosition: pCube1 is not a vertex or CV.");
    EXPECT_EQ(failure("pointPosition pCube1.vtx[0:2]"),
              "pointPosition: pCube1.vtx[0:2] names more than one point: give one index.");
    EXPECT_EQ(failure("pointPosition pCube1.vtx[x]"), "pointPosition: pCube1.vtx[x] has a bad index.");
    EXPECT_EQ(failure("pointPosition wire.vtx[0]"), "pointPosition: wire is not a mesh.");
}

TEST_F(SceneQueryCommands, XformSetsAndQueriesChannelsInObjectOrWorldSpaceAbsoluteOrRelative)
{
    run("polyCube; createNode transform -n up; parent pCube1 up; setAttr up.translate 0 5 0");
    // Translation and rotation in one call; -r adds to both.
    ASSERT_TRUE(run("xform -t 1 2 3 -ro 0 90 0 pCube1")) << errors();
    expectNear({1, 2, 3}, numbers("xform -q -t pCube1"));
    expectNear({0, 90, 0}, numbers("xform -q -ro pCube1"));
    ASSERT_TRUE(run("xform -r -t 1 0 0 -ro 0 0 10 pCube1"));
    expectNear({2, 2, 3}, numbers("xform -q -t pCube1"));
    expectNear({0, 90, 10}, numbers("xform -q -ro pCube1"));
    ASSERT_TRUE(run("undo"));
    expectNear({1, 2, 3}, numbers("xform -q -t pCube1"));
    expectNear({0, 90, 0}, numbers("xform -q -ro pCube1"));

    // (Matrices, set and queried with every pivot, are checked beside the stored-scene reader.)
    ASSERT_TRUE(run("xform -s 2 2 2 pCube1; xform -r -s 2 1 0.5 pCube1; move -r 1 1 1 pCube1"));
    expectNear({4, 2, 1}, numbers("xform -q -s pCube1"));
    expectNear({2, 3, 4}, numbers("xform -q -t pCube1"));
    // With no object named, the selection moves.
    run("select up; move 0 0 0");
    expectNear({0, 0, 0}, numbers("xform -q -t up"));

    // Rotation order by name.
    ASSERT_TRUE(run("xform -roo zxy pCube1"));
    EXPECT_EQ(text("xform -q -roo pCube1"), "zxy");
    EXPECT_EQ(number("getAttr pCube1.rotateOrder"), 2);

    EXPECT_EQ(failure("xform -q -t -ro pCube1"), "xform: query one value at a time.");
    EXPECT_EQ(failure("xform -q pCube1"),
              "xform: give the value to query: -t, -ro, -s, -sh, -m, -piv, -rp, -sp, -bb or -roo.");
    EXPECT_EQ(failure("xform -t 1 2 pCube1"), "xform: -t takes 3 numbers.");
    EXPECT_EQ(failure("move 1 2 3 pCubeShape1"), "move: pCubeShape1 is not a transform.");
    EXPECT_EQ(failure("xform -m 1 2 3 pCube1"), "xform: -m takes 16 numbers.");
    EXPECT_EQ(failure("xform -bb pCube1"), "xform: -boundingBox can only be queried.");
    EXPECT_EQ(failure("xform -roo abc pCube1"),
              "xform: unknown rotation order abc: give xyz, yzx, zxy, xzy, yxz or zyx.");
    EXPECT_EQ(failure("xform -q -wobble pCube1"), "xform: Invalid flag '-wobble'");
    EXPECT_EQ(failure("xform -q -piv time1"), "xform: time1 is not a transform.");
}

TEST_F(SceneQueryCommands, XformPivotsAndBoundingBoxInObjectAndWorldSpace)
{
    run("polyCube -w 2 -h 4 -d 6; setAttr pCube1.translate 10 0 0");
    expectNear({-1, -2, -3, 1, 2, 3}, numbers("xform -q -bb pCube1"));
    expectNear({-1, -2, -3, 1, 2, 3}, numbers("xform -q -os -bb pCube1"));
    expectNear({9, -2, -3, 11, 2, 3}, numbers("xform -q -ws -bb pCube1"));
    // A hidden intermediate shape (a deformer's Orig) does not count.
    ASSERT_TRUE(run("polyCube -w 50 -n big; parent -s -r bigShape pCube1; setAttr bigShape.intermediateObject 1"))
        << errors();
    EXPECT_EQ(names("listRelatives -s pCube1"), (Names{"pCubeShape1", "bigShape"}));
    expectNear({-1, -2, -3, 1, 2, 3}, numbers("xform -q -bb pCube1"));
    // The exact box comes from the points, in world space, of everything below; in the working unit.
    ASSERT_TRUE(run("setAttr pCube1.rotateZ 90; circle -r 2 -n ring; move 0 5 0 ring"));
    expectNear({8, -1, -3, 12, 1, 3}, numbers("exactWorldBoundingBox pCube1"));
    expectNear({-2, -1, -3, 12, 7, 3}, numbers("exactWorldBoundingBox ring pCube1"), 1e-2);
    ASSERT_TRUE(run("setAttr ring.visibility 0; select -r ring pCube1"));
    expectNear({8, -1, -3, 12, 1, 3}, numbers("exactWorldBoundingBox -ignoreInvisible true"));
    ASSERT_TRUE(run("currentUnit -l mm"));
    expectNear({80, -10, -30, 120, 10, 30}, numbers("exactWorldBoundingBox pCube1"));
    // Rotations in the working angle unit.
    ASSERT_TRUE(run("currentUnit -a rad"));
    expectNear({0, 0, std::acos(0.0)}, numbers("xform -q -ws -ro pCube1"));
    ASSERT_TRUE(run("xform -ro 0 0 0.5 pCube1; currentUnit -a deg"));
    EXPECT_NEAR(number("getAttr pCube1.rotateZ"), 45 / std::acos(0.0), 1e-9) << "half a radian";
    ASSERT_TRUE(run("currentUnit -l cm; setAttr pCube1.rotateZ 0"));

    ASSERT_TRUE(run("xform -rp 0 1 0 pCube1")) << errors();
    expectNear({0, 1, 0}, numbers("xform -q -rp pCube1"));
    expectNear({0, 0, 0}, numbers("xform -q -sp pCube1"));
    expectNear({10, 1, 0}, numbers("xform -q -ws -rp pCube1"));
    ASSERT_TRUE(run("xform -ws -sp 10 0 2 pCube1"));
    expectNear({0, 0, 2}, numbers("xform -q -sp pCube1"));
    ASSERT_TRUE(run("xform -piv 1 1 1 pCube1"));
    expectNear({1, 1, 1, 1, 1, 1}, numbers("xform -q -piv pCube1"));
    ASSERT_TRUE(run("xform -r -piv 1 0 0 pCube1"));
    expectNear({2, 1, 1, 2, 1, 1}, numbers("xform -q -piv pCube1"));
    ASSERT_TRUE(run("undo"));
    expectNear({1, 1, 1}, numbers("getAttr pCube1.rotatePivot"));
}

TEST_F(SceneQueryCommands, GetAttrReadsMeshPositionsCountsAndWorldMatrix)
{
    run("polyCube; setAttr pCube1.translate 1 2 3");
    expectNear({-0.5, -0.5, 0.5}, numbers("getAttr pCubeShape1.vt[0]"));
    expectNear({-0.5, -0.5, 0.5, 0.5, -0.5, 0.5}, numbers("getAttr pCubeShape1.vt[0:1]"));
    // Positions are the points before tweaks, as the file stores them.
    run("move -r 0 1 0 pCube1.vtx[0]");
    expectNear({-0.5, -0.5, 0.5}, numbers("getAttr pCubeShape1.vt[0]"));
    EXPECT_EQ(8, number("getAttr -s pCubeShape1.vt"));
    EXPECT_EQ(6, number("getAttr -s pCubeShape1.fc"));
    EXPECT_EQ(12, number("getAttr -s pCubeShape1.ed"));
    expectNear({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1}, numbers("getAttr pCube1.worldMatrix"));
    EXPECT_EQ(failure("getAttr pCubeShape1.vt[8]"),
              "getAttr: pCubeShape1.vt[8] is out of range: the mesh has 8 vertices.");
    EXPECT_EQ(failure("getAttr pCube1.worldMatrix[0:1]"), "getAttr: \"pCube1.worldMatrix[0:1]\" has a bad index \"0:1\".");
}

TEST_F(SceneQueryCommands, FloatAttributesPrintTheirFloatValue)
{
    run("createNode transform -n t; addAttr -ln soft -at \"float\" t; setAttr t.soft 0.85");
    EXPECT_EQ(text("getAttr t.soft"), "0.85");
    run("addAttr -ln tint -at float3 t; addAttr -ln tintR -at \"float\" -p tint t;"
        "addAttr -ln tintG -at \"float\" -p tint t; addAttr -ln tintB -at \"float\" -p tint t;"
        "setAttr t.tint 0.1 0.2 0.3");
    EXPECT_EQ(text("getAttr t.tint"), "0.1 0.2 0.3");
    // Doubles keep every digit they hold.
    run("addAttr -ln exact -at double t; setAttr t.exact 0.8500000238418579");
    EXPECT_EQ(text("getAttr t.exact"), "0.8500000238418579");
}

TEST_F(SceneQueryCommands, ListAttrFiltersUserDefinedKeyableMultiAndPatterns)
{
    run("createNode transform -n t; addAttr -ln weight -at double -k true t; addAttr -ln notes -dt \"string\" t;"
        "addAttr -ln pts -at double -m t");
    EXPECT_EQ(names("listAttr -ud t"), (Names{"weight", "notes", "pts"}));
    EXPECT_EQ(names("listAttr -ud -k t"), (Names{"weight"}));
    EXPECT_EQ(names("listAttr -ud -m t"), (Names{"pts"}));
    EXPECT_EQ(names("listAttr -ud -s t"), (Names{"weight"}));
    EXPECT_EQ(names("listAttr -st \"translate*\" t"), (Names{"translate", "translateX", "translateY", "translateZ"}));
    EXPECT_EQ(names("listAttr -sn -st \"t?\" t"), (Names{"tx", "ty", "tz"}));
    EXPECT_EQ(names("listAttr t.scale"), (Names{"scale", "scaleX", "scaleY", "scaleZ"}));
    // A keyable vector is keyed through its children, which are listed instead of it.
    run("addAttr -ln aim -at double3 -k true t; addAttr -ln aimX -at double -p aim -k true t;"
        "addAttr -ln aimY -at double -p aim -k true t; addAttr -ln aimZ -at double -p aim -k true t");
    EXPECT_EQ(names("listAttr -ud -k t"), (Names{"weight", "aimX", "aimY", "aimZ"}));
    // Keyable is a plug's state: changing it on one node leaves the others alone.
    run("createNode transform -n other; setAttr -k false t.rotateY");
    const Names keyable = names("listAttr -k -st \"rotate?\" t");
    EXPECT_EQ(keyable, (Names{"rotateX", "rotateZ"}));
    EXPECT_EQ(names("listAttr -k -st \"rotate?\" other"), (Names{"rotateX", "rotateY", "rotateZ"}));
    EXPECT_EQ(number("attributeQuery -n t -k rotateY"), 0);
    EXPECT_EQ(number("attributeQuery -n other -k rotateY"), 1);
    EXPECT_EQ(failure("listAttr nobody"), "listAttr: No object matches name: nobody");
}

TEST_F(SceneQueryCommands, AttributeQueryDescribesAttributesOfNodesAndTypes)
{
    run("createNode transform -n t; addAttr -ln weight -at double -min 0 -max 10 -k true t;"
        "addAttr -ln choice -at enum -en \"low:mid:high=5\" t");
    EXPECT_EQ(number("attributeQuery -n t -ex weight"), 1);
    EXPECT_EQ(number("attributeQuery -n t -ex nothing"), 0);
    EXPECT_EQ(text("attributeQuery -n t -at weight"), "double");
    EXPECT_EQ(text("attributeQuery -n t -at translate"), "double3");
    EXPECT_EQ(text("attributeQuery -n t -at tx"), "doubleLinear");
    EXPECT_EQ(text("attributeQuery -n t -at choice"), "enum");
    EXPECT_EQ(text("attributeQuery -n t -nn rotatePivotX"), "Rotate Pivot X");
    EXPECT_EQ(text("attributeQuery -n t -ln tx"), "translateX");
    EXPECT_EQ(text("attributeQuery -n t -sn translateX"), "tx");
    expectNear({0}, numbers("attributeQuery -n t -min weight"));
    expectNear({10}, numbers("attributeQuery -n t -max weight"));
    EXPECT_EQ(number("attributeQuery -n t -mi weight"), 1);
    EXPECT_EQ(number("attributeQuery -n t -mxe tx"), 0);
    EXPECT_EQ(names("attributeQuery -n t -le choice"), (Names{"low:mid:high=5"}));
    EXPECT_EQ(number("attributeQuery -n t -k weight"), 1);
    EXPECT_EQ(number("attributeQuery -n t -k choice"), 0);
    EXPECT_EQ(number("attributeQuery -typ mesh -h vrts"), 1);
    EXPECT_EQ(number("attributeQuery -typ transform -ex weight"), 0);

    EXPECT_EQ(failure("attributeQuery -n t -at nothing"), "attributeQuery: No attribute named nothing on t.");
    EXPECT_EQ(failure("attributeQuery -n t -min tx"), "attributeQuery: t.translateX has no minimum.");
    EXPECT_EQ(failure("attributeQuery -n t -le weight"), "attributeQuery: t.weight is not an enum attribute.");
    EXPECT_EQ(failure("attributeQuery -at weight"), "attributeQuery: give a node with -n or a node type with -typ.");
    EXPECT_EQ(failure("attributeQuery -n nobody -ex weight"), "attributeQuery: No object matches name: nobody");
}

TEST_F(SceneQueryCommands, ObjectTypeAndInheritedNodeTypes)
{
    run("polyCube");
    EXPECT_EQ(text("objectType pCubeShape1"), "mesh");
    EXPECT_EQ(number("objectType -isType mesh pCubeShape1"), 1);
    EXPECT_EQ(number("objectType -isType shape pCubeShape1"), 0) << "-isType wants the exact type";
    EXPECT_EQ(number("objectType -isAType shape pCubeShape1"), 1);
    EXPECT_EQ(names("nodeType -i pCubeShape1"), (Names{"containerBase", "entity", "dagNode", "shape", "geometryShape",
                                                        "deformableShape", "controlPoint", "surfaceShape", "mesh"}));
    EXPECT_EQ(names("nodeType -i pCube1"), (Names{"containerBase", "entity", "dagNode", "transform"}));
    EXPECT_EQ(text("nodeType pCube1.translateX"), "transform");
    EXPECT_EQ(failure("objectType nobody"), "objectType: No object matches name: nobody");
}

TEST_F(SceneQueryCommands, LsAndListRelativesFilterByTypeSelectionDagAndNamespaces)
{
    run("polyCube; createNode transform -n grp; parent pCube1 grp; createNode transform -n \"ns:ctrl\";"
        "createNode mesh -n hiddenShape -p pCube1; setAttr hiddenShape.intermediateObject 1; "
        "createNode sceneTestNode -n data");
    EXPECT_EQ(names("ls -type mesh"), (Names{"pCubeShape1", "hiddenShape"}));
    EXPECT_EQ(names("ls -type mesh -type sceneTestNode"), (Names{"pCubeShape1", "hiddenShape", "data"}));
    EXPECT_EQ(names("ls -type mesh -ni"), (Names{"pCubeShape1"}));
    EXPECT_EQ(names("ls -type geometryShape -l"), (Names{"|grp|pCube1|pCubeShape1", "|grp|pCube1|hiddenShape"}));
    EXPECT_EQ(names("ls -dag grp"), (Names{"grp", "pCube1", "pCubeShape1", "hiddenShape"}));
    EXPECT_EQ(names("ls -dag -s grp"), (Names{"pCubeShape1", "hiddenShape"}));
    EXPECT_EQ(names("ls -tr \"p*\""), (Names{"persp", "pCube1"}));
    EXPECT_EQ(names("ls \"ns:*\""), (Names{"ns:ctrl"}));
    run("select grp pCube1");
    EXPECT_EQ(names("ls -sl"), (Names{"grp", "pCube1"}));
    EXPECT_EQ(names("ls -sl -l \"pC*\""), (Names{"|grp|pCube1"}));
    // UUIDs both ways.
    const std::string uuid = text("ls -uuid grp").asChar();
    EXPECT_EQ(uuid.size(), 36u) << uuid;
    EXPECT_EQ(names("ls \"" + uuid + "\""), (Names{"grp"}));
    // Wildcards stay in the namespace they name, unless -r looks in all.
    EXPECT_EQ(names("ls \"ct*\""), (Names{}));
    EXPECT_EQ(names("ls -r true \"ct*\""), (Names{"ns:ctrl"}));
    EXPECT_EQ(names("ls -type transform \"*:*\""), (Names{"ns:ctrl"}));

    // listRelatives filters by type and leaves out intermediate shapes.
    EXPECT_EQ(names("listRelatives -s pCube1"), (Names{"pCubeShape1", "hiddenShape"}));
    EXPECT_EQ(names("listRelatives -s -ni pCube1"), (Names{"pCubeShape1"}));
    EXPECT_EQ(names("listRelatives -c -typ transform grp"), (Names{"pCube1"}));
    EXPECT_EQ(names("listRelatives -ad -typ shape grp"), (Names{"hiddenShape", "pCubeShape1"}));
    EXPECT_EQ(names("listRelatives -ad -pa grp"), (Names{"hiddenShape", "pCubeShape1", "pCube1"}));
    EXPECT_EQ(names("listRelatives data"), Names{}) << "dependency nodes have no relatives";
    run("select pCubeShape1");
    EXPECT_EQ(names("listRelatives -p -f"), (Names{"|grp|pCube1"})) << "the selection by default";
    EXPECT_EQ(failure("listRelatives -p nobody"), "listRelatives: No object matches name: nobody");
}

TEST_F(SceneQueryCommands, ListHistoryFollowsTheDeformerChainToTheOrig)
{
    registerPassDeformer();
    run("polyCube -n body");
    ASSERT_TRUE(run("deformer -type sceneQueryPass -n first body")) << errors();
    ASSERT_TRUE(run("deformer -type sceneQueryPass -n second body")) << errors();
    EXPECT_EQ(names("listHistory body"), (Names{"bodyShape", "second", "first", "bodyShapeOrig"}));
    EXPECT_EQ(names("listHistory -pdo true body"), (Names{"second", "first"}));
    EXPECT_EQ(names("listHistory -lv 1 bodyShape"), (Names{"bodyShape", "second"}));
    EXPECT_EQ(names("listHistory -f true bodyShapeOrig"), (Names{"bodyShapeOrig", "first", "second", "bodyShape"}));
    EXPECT_EQ(names("nodeType -i second"), (Names{"geometryFilter", "weightGeometryFilter", "sceneQueryPass"}));
    EXPECT_EQ(names("ls -type geometryFilter"), (Names{"first", "second"}));
    EXPECT_EQ(failure("listHistory nobody"), "listHistory: No object matches name: nobody");
}

TEST_F(SceneQueryCommands, NodesOfTypesTheHostDoesNotModelAnswerWithTheirFileType)
{
    ASSERT_TRUE(openScene("createNode transform -n \"body\";\n"
                          "createNode mesh -n \"bodyShape\" -p \"body\";\n"
                          "createNode mesh -n \"bodyShapeOrig\" -p \"body\";\n"
                          "\tsetAttr \".io\" yes;\n"
                          "createNode joint -n \"root\";\n"
                          "createNode skinCluster -n \"skin\";\n"
                          "connectAttr \"skin.og[0]\" \"bodyShape.i\";\n"
                          "connectAttr \"bodyShapeOrig.w\" \"skin.ip[0].ig\";\n"
                          "connectAttr \"root.wm\" \"skin.ma[0]\";\n"))
        << errors();
    EXPECT_EQ(text("nodeType skin"), "skinCluster");
    EXPECT_EQ(text("objectType root"), "joint");
    EXPECT_EQ(number("objectType -isType skinCluster skin"), 1);
    EXPECT_EQ(names("nodeType -i skin"), (Names{"geometryFilter", "skinCluster"}));
    EXPECT_EQ(names("nodeType -i root"), (Names{"containerBase", "entity", "dagNode", "transform", "joint"}));
    EXPECT_EQ(names("ls -type skinCluster"), (Names{"skin"}));
    EXPECT_EQ(names("ls -type joint -type geometryFilter"), (Names{"root", "skin"}));
    // The chain runs through the connections kept for the stand-in.
    EXPECT_EQ(names("listHistory body"), (Names{"bodyShape", "skin", "bodyShapeOrig", "root"}));
    EXPECT_EQ(names("ls -type skinCluster `listHistory -pdo true body`"), (Names{"skin"}));
    EXPECT_EQ(names("listHistory -f true root"), (Names{"root", "skin", "bodyShape"}));
}

TEST_F(SceneQueryCommands, DeletingSeveralFaceRangesRemovesThemTogether)
{
    run("polyPlane -sx 10 -sy 10");
    ASSERT_TRUE(run("delete pPlane1.f[0:44] pPlane1.f[55:99]")) << errors();
    EXPECT_EQ(10, number("polyEvaluate -f pPlane1"));
    // Faces 45-49 end one row and 50-54 start the next: 12 + 12 corners, one shared.
    EXPECT_EQ(23, number("polyEvaluate -v pPlane1"));
    ASSERT_TRUE(run("undo"));
    EXPECT_EQ(100, number("polyEvaluate -f pPlane1"));
    // Overlapping ranges and names of the shape and of its transform mean the same faces.
    ASSERT_TRUE(run("delete pPlane1.f[0:9] pPlaneShape1.f[5:19]"));
    EXPECT_EQ(80, number("polyEvaluate -f pPlane1"));
    // A bad range anywhere refuses the whole call.
    EXPECT_EQ(failure("delete pPlane1.f[0] pPlane1.f[80]"),
              "delete: pPlane1.f[80] is out of range: the mesh has 80 of them.");
    EXPECT_EQ(80, number("polyEvaluate -f pPlane1"));
}

void countCall(void* count)
{
    ++*static_cast<int*>(count);
}

TEST_F(SceneQueryCommands, FaceSelectionListsRangesFiltersUndoesAndIsNeverSaved)
{
    run("polyPlane -sx 10 -sy 10 -n body; select -cl");
    int changes = 0;
    const MCallbackId id = MEventMessage::addEventCallback("SelectionChanged", countCall, &changes);
    const std::vector<std::pair<std::string, Names>> steps = {
        {"select body.f[3]", {"body.f[3]"}},
        {"select -add \"body.f[10:40]\" bodyShape.f[41]", {"body.f[3]", "body.f[10:41]"}},
        {"select -d \"body.f[20]\"", {"body.f[3]", "body.f[10:19]", "body.f[21:41]"}},
        {"select -tgl \"body.f[3:4]\"", {"body.f[4]", "body.f[10:19]", "body.f[21:41]"}},
        {"select -add body", {"body.f[4]", "body.f[10:19]", "body.f[21:41]", "body"}},
    };
    for (size_t i = 0; i < steps.size(); ++i) {
        ASSERT_TRUE(run(steps[i].first)) << errors();
        EXPECT_EQ(names("ls -sl"), steps[i].second) << steps[i].first;
        EXPECT_EQ(changes, int(i) + 1) << "one notice for " << steps[i].first;
    }
    EXPECT_EQ(names("ls -l -fl \"body.f[10:12]\""), (Names{"|body|bodyShape.f[10]", "|body|bodyShape.f[11]",
                                                               "|body|bodyShape.f[12]"}));
    const Names faces = names("filterExpand -sm 34");
    ASSERT_EQ(faces.size(), 1u + 10u + 21u);
    EXPECT_EQ(faces[1], "body.f[10]");
    EXPECT_EQ(names("filterExpand -sm 34 -ex false"), (Names{"body.f[4]", "body.f[10:19]", "body.f[21:41]"}));
    EXPECT_EQ(names("filterExpand -sm 31 -sm 12"), (Names{"body"}));
    EXPECT_EQ(names("filterExpand -sm 34 -fp true -ex 0 body.f[7] body"), (Names{"|body|bodyShape.f[7]"}));
    EXPECT_EQ(failure("filterExpand -sm faces"), "filterExpand: -selectionMask takes a number, not \"faces\".");
    // Undo walks back through the selections, each a notice of its own.
    for (size_t i = steps.size() - 1; i > 0; --i) {
        ASSERT_TRUE(run("undo"));
        EXPECT_EQ(names("ls -sl"), steps[i - 1].second);
    }
    EXPECT_EQ(changes, int(2 * steps.size() - 1));
    MMessage::removeCallback(id);

    // A second visible shape under the transform: faces go by the shape's name.
    run("createNode mesh -n otherShape -p body; select bodyShape.f[0:1]");
    EXPECT_EQ(names("ls -sl"), (Names{"bodyShape.f[0:1]"}));
    run("delete otherShape; select body.f[99] body.f[*]");
    EXPECT_EQ(names("ls -sl"), (Names{"body.f[0:99]"}));
    EXPECT_EQ(failure("select body.f[100]"), "select: No object matches name: body.f[100]");
    EXPECT_EQ(names("ls -sl"), (Names{"body.f[0:99]"})) << "a failed select leaves the selection";
    // The selection is not part of the scene.
    EXPECT_EQ(sceneText().find(".f["), std::string::npos);
    // Deleting selected faces deletes those faces, not the mesh.
    run("select body.f[0:89]; delete");
    EXPECT_EQ(10, number("polyEvaluate -f body"));
    EXPECT_EQ(names("ls -sl"), (Names{}));
    EXPECT_EQ(failure("select body.vtx[0]; delete"), "delete: only faces can be deleted, not body.vtx[0].");
}

TEST_F(SceneQueryCommands, SelectionListsGroupComponentsOfAShapeAsTheAPIGivesThem)
{
    run("polyCube -n box; spaceLocator -n loc");
    MSelectionList list;
    ASSERT_TRUE(list.add("box.f[1:2]"));
    MDagPath shape;
    ASSERT_TRUE(list.getDagPath(0, shape));
    MFnSingleIndexedComponent faces;
    MObject more = faces.create(MFn::kMeshPolygonComponent);
    MIntArray wanted;
    for (int f : {5, 2, 0, 5})
        wanted.append(f);
    ASSERT_TRUE(faces.addElements(wanted));
    EXPECT_EQ(faces.elementCount(), 3);
    ASSERT_TRUE(list.add(shape, more));
    ASSERT_TRUE(faces.addElement(4));  // the list keeps what it was given
    MFnSingleIndexedComponent vertices;
    ASSERT_TRUE(list.add(shape, vertices.create(MFn::kMeshVertComponent)) == MS::kSuccess);
    ASSERT_TRUE(vertices.addElement(7));
    ASSERT_TRUE(list.add(shape, vertices.object()));
    ASSERT_TRUE(vertices.addElement(8));
    ASSERT_TRUE(list.add("loc"));
    EXPECT_EQ(list.length(), 3u) << "one item per shape and kind of component";
    EXPECT_TRUE(list.hasItem(shape, more) == false) << "face 4 was never added";
    MStringArray strings;
    list.getSelectionStrings(strings);
    EXPECT_EQ(toNames(strings), (Names{"box.f[0:2]", "box.f[5]", "box.vtx[7]", "loc"}));

    std::vector<std::string> seen;
    for (MItSelectionList it(list, MFn::kMeshPolygonComponent); !it.isDone(); it.next()) {
        MDagPath path;
        MObject component;
        ASSERT_TRUE(it.getDagPath(path, component));
        EXPECT_TRUE(it.hasComponents());
        MIntArray elements;
        MFnSingleIndexedComponent(component).getElements(elements);
        seen.push_back(path.partialPathName().asChar() + std::string(" ") + std::to_string(elements.length()));
    }
    EXPECT_EQ(seen, (Names{"boxShape 4"})) << "components sit on the shape";
    MItSelectionList all(list);
    all.next();
    all.next();
    EXPECT_FALSE(all.hasComponents());
    EXPECT_EQ(all.itemType(), MItSelectionList::kDagSelectionItem);

    // Merging toggles and removes faces one by one; a shape left without any leaves the list.
    MSelectionList toggle;
    toggle.add("box.f[2:3]");
    list.merge(toggle, MSelectionList::kXORWithList);
    list.getSelectionStrings(0, strings);
    EXPECT_EQ(toNames(strings), (Names{"box.f[0:1]", "box.f[3]", "box.f[5]"}));
    MSelectionList every;
    every.add("box.f[*]");
    list.merge(every, MSelectionList::kRemoveFromList);
    EXPECT_EQ(list.length(), 2u);
    EXPECT_FALSE(list.add("box.f[6]"));
    EXPECT_FALSE(list.add(shape, shape.node())) << "a node is no component";
    // Another node's multi named like a component kind is still a plug.
    run("addAttr -ln e -m -at double loc");
    MSelectionList plugs;
    EXPECT_TRUE(plugs.add("loc.e[0]"));
    MPlug plug;
    EXPECT_TRUE(plugs.getPlug(0, plug));
}

TEST_F(SceneQueryCommands, ASceneSavedByMayaAnswersItsQueries)
{
    const std::string scene = realScenePath("Chess.ma");
    if (scene.empty())
        GTEST_SKIP() << kNoRealScenes;
    ASSERT_TRUE(run("file -f -o \"" + scene + "\"")) << errors();
    EXPECT_EQ(names("polyEvaluate -v -f -uv polySurface2"), (Names{"1124", "1090", "1470"}));
    EXPECT_EQ(1124, number("getAttr -s polySurfaceShape2.vt"));
    // The file's first point and its tweak, read independently from the text.
    expectNear({-0.10556661, 3.68554115, -4.85007429}, numbers("getAttr polySurfaceShape2.vt[0]"), 1e-7);
    expectNear({-0.10556661 - 0.052278467, 3.68554115, -4.85007429}, numbers("pointPosition -l polySurface2.vtx[0]"),
               1e-6);
    EXPECT_EQ(text("getAttr polySurfaceShape2.vt[0]"), "-0.10556661 3.6855412 -4.8500743");
    expectNear({1.8126878159972981, 17.439809799194336, 0}, numbers("xform -q -rp polySurface2"));
    EXPECT_EQ(names("ls -type mesh"), (Names{"polySurfaceShape2"}));
    EXPECT_EQ(names("listRelatives -p polySurfaceShape2"), (Names{"polySurface2"}));
    ASSERT_TRUE(run("delete polySurface2.f[0:44] polySurface2.f[55:99]")) << errors();
    EXPECT_EQ(1000, number("getAttr -s polySurfaceShape2.fc"));
    ASSERT_TRUE(run("undo"));
    EXPECT_EQ(1090, number("polyEvaluate -f polySurface2"));
}
