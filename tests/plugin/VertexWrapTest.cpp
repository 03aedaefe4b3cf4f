// The "vertexWrap" command and deformer: target vertices that coincide with
// driver vertices in object space follow those vertices' world positions.

#include "PluginTestSupport.h"

#include <maya/MDagPath.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnIntArrayData.h>
#include <maya/MFnMesh.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MPlug.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr double kClose = 1e-5;

// The visible mesh shape of a transform, named as the host names shapes.
MDagPath visibleShape(const std::string& transform)
{
    MSelectionList list;
    MDagPath path;
    EXPECT_TRUE(list.add((transform + "Shape").c_str()));
    EXPECT_TRUE(list.getDagPath(0, path));
    return path;
}

std::vector<MPoint> meshPoints(const std::string& transform, MSpace::Space space)
{
    MStatus status;
    MFnMesh meshFn(visibleShape(transform), &status);
    EXPECT_TRUE(status);
    MPointArray points;
    EXPECT_TRUE(meshFn.getPoints(points, space));
    return std::vector<MPoint>(points.begin(), points.end());
}

// The stored map of geometry `index` on a deformer, empty when there is none.
std::vector<int> storedMap(const std::string& deformer, unsigned index)
{
    MStatus status;
    MFnDependencyNode nodeFn(nodeByName(deformer.c_str()), &status);
    EXPECT_TRUE(status) << deformer;
    MPlug element = nodeFn.findPlug("vertexMapping", false, &status).elementByLogicalIndex(index, &status);
    EXPECT_TRUE(status);
    MObject data = element.asMObject(&status);
    std::vector<int> values;
    if (data.isNull())
        return values;
    MFnIntArrayData dataFn(data, &status);
    EXPECT_TRUE(status);
    const MIntArray array = dataFn.array();
    for (unsigned i = 0; i < array.length(); ++i)
        values.push_back(array[i]);
    return values;
}

// Independent of the grid: the driver vertex closer than 0.0001 in object
// space, or -1 (the test meshes have no two candidates that close).
std::vector<int> nearestDriverVertices(const std::vector<MPoint>& driver, const std::vector<MPoint>& target)
{
    std::vector<int> map;
    for (const MPoint& p : target) {
        int found = -1;
        for (size_t i = 0; i < driver.size(); ++i) {
            if ((p - driver[i]).length() < 0.0001)
                found = static_cast<int>(i);
        }
        map.push_back(found);
    }
    return map;
}

void expectSamePoint(const MPoint& actual, const MPoint& expected, size_t vertex)
{
    EXPECT_NEAR(actual.x, expected.x, kClose) << "vertex " << vertex;
    EXPECT_NEAR(actual.y, expected.y, kClose) << "vertex " << vertex;
    EXPECT_NEAR(actual.z, expected.z, kClose) << "vertex " << vertex;
}

class VertexWrapTest : public PellixPluginTest
{
protected:
    // A 4x4-vertex driver plane and a duplicate of it as the target, the
    // target's transform moved and turned away from the driver's.
    void makeDriverAndDuplicate()
    {
        ASSERT_TRUE(mel("polyPlane -w 2 -h 2 -sx 3 -sy 3 -n driver; duplicate -n target driver"));
        ASSERT_TRUE(mel("xform -t 4 1 -2 target; xform -ro 0 35 10 target"));
    }

    // Driver transform translated and rotated after the wrap was set up.
    void moveDriver()
    {
        ASSERT_TRUE(mel("xform -t -3 2 0.5 driver; xform -ro 20 -40 65 driver"));
    }
};

} // namespace

TEST_F(VertexWrapTest, DuplicateTargetFollowsTheMovedDriverInWorldSpace)
{
    makeDriverAndDuplicate();
    // A second, smaller target (the driver's four corners) evaluated by the same deformer
    // right after the larger one.
    ASSERT_TRUE(mel("polyPlane -w 2 -h 2 -sx 1 -sy 1 -n corners"));
    host::MessageCapture capture;
    ASSERT_TRUE(mel("vertexWrap -n wrap driver target corners"));
    EXPECT_EQ(std::string(capture.text(host::MessageKind::kWarning).asChar()), "");
    const std::vector<int> map = storedMap("wrap", 0);
    ASSERT_EQ(map.size(), 16u);
    for (size_t i = 0; i < map.size(); ++i)
        EXPECT_EQ(map[i], static_cast<int>(i));

    moveDriver();
    ASSERT_TRUE(mel("move -r 0 0.5 0 driver.vtx[5]"));
    const std::vector<MPoint> driverWorld = meshPoints("driver", MSpace::kWorld);
    const std::vector<MPoint> targetWorld = meshPoints("target", MSpace::kWorld);
    ASSERT_EQ(targetWorld.size(), driverWorld.size());
    for (size_t i = 0; i < targetWorld.size(); ++i)
        expectSamePoint(targetWorld[i], driverWorld[i], i);
    const std::vector<MPoint> cornersWorld = meshPoints("corners", MSpace::kWorld);
    const std::vector<int> cornerMap = storedMap("wrap", 1);
    ASSERT_EQ(cornersWorld.size(), 4u);
    ASSERT_EQ(cornerMap.size(), 4u);
    for (size_t i = 0; i < cornersWorld.size(); ++i)
        expectSamePoint(cornersWorld[i], driverWorld[size_t(cornerMap[i])], i);
}

TEST_F(VertexWrapTest, TargetFollowsABlendShapedDriver)
{
    makeDriverAndDuplicate();
    ASSERT_TRUE(mel("duplicate -n smile driver; move -r 0 0.5 0 smile.vtx[5] smile.vtx[6]"));
    ASSERT_TRUE(mel("vertexWrap -n wrap driver target; blendShape -n face smile driver"));
    for (const char* weight : {"0.5", "1"}) {
        ASSERT_TRUE(mel(std::string("setAttr face.w[0] ") + weight));
        const std::vector<MPoint> driverWorld = meshPoints("driver", MSpace::kWorld);
        const std::vector<MPoint> targetWorld = meshPoints("target", MSpace::kWorld);
        ASSERT_EQ(targetWorld.size(), driverWorld.size());
        EXPECT_NEAR(meshPoints("driver", MSpace::kObject)[5].y, std::stod(weight) * 0.5, kClose);
        for (size_t i = 0; i < targetWorld.size(); ++i)
            expectSamePoint(targetWorld[i], driverWorld[i], i);
    }
}

TEST_F(VertexWrapTest, UnmatchedVerticesKeepTheirPlaceWhileMatchedOnesFollow)
{
    // A 3x3-vertex target shares only its four corners with the 4x4 driver, so
    // the deformer takes its general path even at full envelope; the result
    // for matched vertices must be the same world position as the fast path's.
    ASSERT_TRUE(mel("polyPlane -w 2 -h 2 -sx 3 -sy 3 -n driver; polyPlane -w 2 -h 2 -sx 2 -sy 2 -n target"));
    ASSERT_TRUE(mel("xform -t 0 3 0 target; xform -ro 90 0 0 target"));
    const std::vector<MPoint> targetBefore = meshPoints("target", MSpace::kWorld);
    const std::vector<int> expected =
        nearestDriverVertices(meshPoints("driver", MSpace::kObject), meshPoints("target", MSpace::kObject));

    ASSERT_TRUE(mel("vertexWrap driver target"));
    ASSERT_EQ(storedMap("vertexWrap1", 0), expected);
    int unmatched = 0;
    for (int id : expected)
        unmatched += id < 0 ? 1 : 0;
    EXPECT_EQ(unmatched, 5);

    moveDriver();
    const std::vector<MPoint> driverWorld = meshPoints("driver", MSpace::kWorld);
    const std::vector<MPoint> targetWorld = meshPoints("target", MSpace::kWorld);
    for (size_t i = 0; i < expected.size(); ++i)
        expectSamePoint(targetWorld[i], expected[i] < 0 ? targetBefore[i] : driverWorld[expected[i]], i);
}

TEST_F(VertexWrapTest, EnvelopeScalesTheMoveInTheTargetsSpace)
{
    makeDriverAndDuplicate();
    const std::vector<MPoint> input = meshPoints("target", MSpace::kObject);
    ASSERT_TRUE(mel("vertexWrap -n wrap driver target"));
    moveDriver();
    const std::vector<MPoint> full = meshPoints("target", MSpace::kObject);

    ASSERT_TRUE(mel("setAttr wrap.envelope 0.5"));
    const std::vector<MPoint> half = meshPoints("target", MSpace::kObject);
    ASSERT_TRUE(mel("setAttr wrap.envelope 0"));
    const std::vector<MPoint> none = meshPoints("target", MSpace::kObject);
    for (size_t i = 0; i < input.size(); ++i) {
        expectSamePoint(half[i], input[i] + (full[i] - input[i]) * 0.5, i);
        expectSamePoint(none[i], input[i], i);
    }
    // The driver moved far enough for the test to mean something.
    EXPECT_GT((full[0] - input[0]).length(), 1.0);
}

TEST_F(VertexWrapTest, TargetMovedAwayInObjectSpaceMapsNothingAndStaysPut)
{
    ASSERT_TRUE(mel("polyPlane -w 2 -h 2 -sx 3 -sy 3 -n driver; polyPlane -w 2 -h 2 -sx 3 -sy 3 -n target"));
    // Every vertex 0.00011 away from its driver vertex in object space.
    ASSERT_TRUE(mel("move -r 0.00011 0 0 target.vtx[0:15]"));
    const std::vector<MPoint> before = meshPoints("target", MSpace::kObject);
    // Wrapped all the same, with a warning that nothing will move it.
    host::MessageCapture capture;
    ASSERT_TRUE(mel("vertexWrap -n wrap driver target"));
    EXPECT_EQ(std::string(capture.text(host::MessageKind::kWarning).asChar()),
              "vertexWrap: no vertex of targetShape lies on a vertex of driverShape; it will not follow the driver.\n");
    const std::vector<int> map = storedMap("wrap", 0);
    ASSERT_EQ(map.size(), 16u);
    for (int id : map)
        EXPECT_EQ(id, -1);
    moveDriver();
    const std::vector<MPoint> after = meshPoints("target", MSpace::kObject);
    for (size_t i = 0; i < before.size(); ++i)
        expectSamePoint(after[i], before[i], i);
}

TEST_F(VertexWrapTest, StoredMapsOutOfRangeShorterOrLongerAreCutToWhatExists)
{
    makeDriverAndDuplicate();
    ASSERT_TRUE(mel("vertexWrap -n wrap driver target"));
    moveDriver();
    const std::vector<MPoint> driverLocal = meshPoints("target", MSpace::kObject);  // every vertex on its driver vertex
    ASSERT_TRUE(mel("setAttr wrap.envelope 0"));
    const std::vector<MPoint> input = meshPoints("target", MSpace::kObject);
    ASSERT_TRUE(mel("setAttr wrap.envelope 1"));

    // Entries past the driver's 16 vertices, or negative, keep the input position.
    ASSERT_TRUE(mel("setAttr wrap.vm[0] -type Int32Array 16 0 1 2 3 16 5 6 7 8 9 10 11 12 13 -5 2000000000"));
    std::vector<MPoint> p = meshPoints("target", MSpace::kObject);
    for (size_t i = 0; i < p.size(); ++i) {
        const bool skipped = i == 4 || i == 14 || i == 15;
        expectSamePoint(p[i], skipped ? input[i] : driverLocal[i], i);
    }
    // A shorter map moves only the vertices it covers.
    ASSERT_TRUE(mel("setAttr wrap.vm[0] -type Int32Array 3 0 1 2"));
    p = meshPoints("target", MSpace::kObject);
    for (size_t i = 0; i < p.size(); ++i)
        expectSamePoint(p[i], i < 3 ? driverLocal[i] : input[i], i);
    // A longer one is cut to the target's vertex count.
    std::string longer = "setAttr wrap.vm[0] -type Int32Array 20";
    for (int i = 0; i < 20; ++i)
        longer += " " + std::to_string(i % 16);
    ASSERT_TRUE(mel(longer));
    p = meshPoints("target", MSpace::kObject);
    ASSERT_EQ(p.size(), 16u);
    for (size_t i = 0; i < p.size(); ++i)
        expectSamePoint(p[i], driverLocal[i], i);
}

TEST_F(VertexWrapTest, RefusesBadSelectionsAndNamesLeavingTheSceneAlone)
{
    ASSERT_TRUE(mel("polyPlane -n driver; duplicate -n target driver"));
    ASSERT_TRUE(mel("createNode transform -n empty; createNode mesh -n meshless"));
    ASSERT_TRUE(mel("duplicate -n sealed driver; setAttr -lock true sealedShape.inMesh; select -r driver"));
    const std::string before = sceneText();

    const std::pair<std::string, std::string> refusals[] = {
        {"vertexWrap driver driverShape", "vertexWrap: driver mesh cannot also be a target mesh: driverShape\n"},
        {"vertexWrap driver target driver", "vertexWrap: driver mesh cannot also be a target mesh: driver\n"},
        {"vertexWrap driver driver", "vertexWrap: driver mesh cannot also be a target mesh: driver\n"},
        {"vertexWrap driver empty", "vertexWrap: object has no visible mesh shape: empty\n"},
        {"vertexWrap driver target sealed", "vertexWrap: cannot deform sealedShape: sealedShape.inMesh is locked.\n"},
        {"vertexWrap time1 target", "vertexWrap: object has no visible mesh shape: time1\n"},
        {"vertexWrap driver nothingHere", "vertexWrap: No object matches name: nothingHere\n"},
        {"vertexWrap meshless target", "vertexWrap: driver mesh has no vertices: meshless\n"},
        {"vertexWrap", "vertexWrap: select driver mesh followed by one or more target meshes.\n"},
        // Names that could change the MEL they are put into, or that Maya would not take.
        {"vertexWrap -n \"a;b\" driver target", "(it holds the character ';'): a;b"},
        {"vertexWrap -n \"a b\" driver target", "(it holds a space): a b"},
        {"vertexWrap -n \"a\\\"b\" driver target", "(it holds the character '\"'): a\"b"},
        {"vertexWrap -n \"9lives\" driver target", "(it starts with a digit): 9lives"},
        {"vertexWrap -n \"\" driver target", "(it is empty): "},
        {"vertexWrap -n \"x|y\" driver target", "(it holds the character '|'): x|y"},
        {"vertexWrap -n \"ns::wrap\" driver target", "(it has an empty namespace): ns::wrap"},
        {"vertexWrap -n \"ns:\" driver target", "(it ends with ':'): ns:"},
        {"vertexWrap -n \":\" driver target", "(it is empty): :"},
        {"vertexWrap -n \"ns:9lives\" driver target", "(a name after ':' starts with a digit): ns:9lives"},
        {"vertexWrap -n \"9ns:wrap\" driver target", "(it starts with a digit): 9ns:wrap"},
        {"vertexWrap -n \"wr#ap\" driver target", "(it holds the character '#'): wr#ap"},
        {"vertexWrap -n \"#\" driver target", "(it is empty): #"},
        {"vertexWrap -n \"ns:a b\" driver target", "(it holds a space): ns:a b"},
    };
    for (const auto& [call, error] : refusals) {
        SCOPED_TRACE(call);
        StderrCapture apiErrors;
        const std::string expected =
            error[0] == '(' ? "vertexWrap: deformer name is not a legal node name " + error + "\n" : error;
        EXPECT_EQ(melFailure(call), expected);
        EXPECT_EQ(apiErrors.finish(), "");
    }
    EXPECT_TRUE(sceneText() == before);

    ASSERT_TRUE(mel("vertexWrap -n \"wrap#\" driver target"));
    EXPECT_FALSE(nodeByName("wrap1").isNull());
}

TEST_F(VertexWrapTest, NamespacedNamesNameTheDeformer)
{
    // The target stays where the driver is, so that every stacked wrap maps all of it.
    ASSERT_TRUE(mel("polyPlane -w 2 -h 2 -sx 3 -sy 3 -n driver; duplicate -n target driver"));
    const std::vector<int> expected =
        nearestDriverVertices(meshPoints("driver", MSpace::kObject), meshPoints("target", MSpace::kObject));
    ASSERT_TRUE(mel("namespace -add ns; vertexWrap -n \"ns:wrap\" driver target"));
    EXPECT_EQ(storedMap("ns:wrap", 0), expected);
    // A leading colon names the root namespace; "#" still numbers the last name.
    ASSERT_TRUE(mel("vertexWrap -n \":rootWrap\" driver target"));
    EXPECT_EQ(storedMap("rootWrap", 0), expected);
    ASSERT_TRUE(mel("vertexWrap -n \"rig:face:wrap#\" driver target"));
    EXPECT_EQ(storedMap("rig:face:wrap1", 0), expected);
    EXPECT_EQ(melStrings("ls -type vertexWrap").length(), 3u);
    // With a namespace current, the deformer is named in it.
    ASSERT_TRUE(mel("namespace -set ns; vertexWrap driver target; namespace -set \":\""));
    EXPECT_EQ(melStrings("ls -type vertexWrap \"ns:*\"").length(), 2u);

    // The namespaced deformer deforms like any other.
    moveDriver();
    const std::vector<MPoint> driverWorld = meshPoints("driver", MSpace::kWorld);
    const std::vector<MPoint> targetWorld = meshPoints("target", MSpace::kWorld);
    for (size_t i = 0; i < targetWorld.size(); ++i)
        expectSamePoint(targetWorld[i], driverWorld[i], i);
}

TEST_F(VertexWrapTest, IntermediateMeshIsRefusedAsDriverOrTarget)
{
    makeDriverAndDuplicate();
    ASSERT_TRUE(mel("vertexWrap driver target"));
    // The deformer keeps the target's original geometry in an intermediate shape.
    ASSERT_EQ(melInt("getAttr targetShapeOrig.intermediateObject"), 1);
    EXPECT_EQ(melFailure("vertexWrap driver targetShapeOrig"),
              "vertexWrap: selected mesh is intermediate: targetShapeOrig\n");
}

TEST_F(VertexWrapTest, SecondRunStacksADeformerWithItsOwnMaps)
{
    ASSERT_TRUE(mel("polyPlane -w 2 -h 2 -sx 3 -sy 3 -n driver; polyPlane -w 2 -h 2 -sx 1 -sy 1 -n corners"));
    ASSERT_TRUE(mel("duplicate -n target driver; vertexWrap -n first driver target"));
    ASSERT_TRUE(mel("vertexWrap -n second corners target"));
    EXPECT_EQ(melStrings("ls -type vertexWrap").length(), 2u);

    const std::vector<int> first = storedMap("first", 0);
    const std::vector<int> second = storedMap("second", 0);
    EXPECT_EQ(first, nearestDriverVertices(meshPoints("driver", MSpace::kObject), meshPoints("target", MSpace::kObject)));
    EXPECT_EQ(second, nearestDriverVertices(meshPoints("corners", MSpace::kObject), meshPoints("target", MSpace::kObject)));
    ASSERT_EQ(second.size(), 16u);
    EXPECT_NE(first, second);

    // The later deformer wins on the corners it maps; the others follow the first driver.
    ASSERT_TRUE(mel("move -r 0 1 0 driver; move -r 0 -1 0 corners"));
    const std::vector<MPoint> target = meshPoints("target", MSpace::kWorld);
    for (size_t i = 0; i < target.size(); ++i)
        EXPECT_NEAR(target[i].y, second[i] >= 0 ? -1.0 : 1.0, kClose) << "vertex " << i;
}

TEST_F(VertexWrapTest, UndoAndRedoRoundTripTheScene)
{
    makeDriverAndDuplicate();
    ASSERT_TRUE(mel("polyPlane -w 2 -h 2 -sx 3 -sy 3 -n other"));
    const std::string before = sceneText();
    ASSERT_TRUE(MGlobal::executeCommand("vertexWrap -n wrap driver target other", false, true));
    const std::string after = sceneText();
    ASSERT_TRUE(after != before);
    EXPECT_EQ(storedMap("wrap", 1).size(), 16u);

    ASSERT_TRUE(MGlobal::executeCommand("undo"));
    EXPECT_TRUE(sceneText() == before);
    EXPECT_TRUE(nodeByName("wrap").isNull());
    ASSERT_TRUE(MGlobal::executeCommand("redo"));
    EXPECT_TRUE(sceneText() == after);

    // The redone deformer works: both targets follow the driver.
    moveDriver();
    const std::vector<MPoint> driverWorld = meshPoints("driver", MSpace::kWorld);
    for (const char* target : {"target", "other"}) {
        const std::vector<MPoint> targetWorld = meshPoints(target, MSpace::kWorld);
        for (size_t i = 0; i < targetWorld.size(); ++i)
            expectSamePoint(targetWorld[i], driverWorld[i], i);
    }
}

TEST_F(VertexWrapTest, HugeCoordinatesMapWithoutOverflowingTheirCells)
{
    // Coordinates that do not fit a 64-bit cell index at 0.0001 per cell still
    // land in a defined cell: equal huge points match, distinct ones do not.
    ASSERT_TRUE(mel("polyPlane -w 2 -h 2 -sx 3 -sy 3 -n driver; duplicate -n target driver"));
    std::vector<MPoint> driver = meshPoints("driver", MSpace::kObject);
    std::vector<MPoint> target = driver;
    driver[0].x += 1e30;
    target[0].x += 1e30;
    target[1].y -= 3e30;
    driver[2].y -= 3e30;
    MPointArray driverPoints(driver.data(), 16);
    MPointArray targetPoints(target.data(), 16);
    ASSERT_TRUE(MFnMesh(visibleShape("driver")).setPoints(driverPoints));
    ASSERT_TRUE(MFnMesh(visibleShape("target")).setPoints(targetPoints));
    ASSERT_TRUE(mel("vertexWrap -n wrap driver target"));
    const std::vector<int> map = storedMap("wrap", 0);
    ASSERT_EQ(map.size(), 16u);
    EXPECT_EQ(map[0], 0);
    EXPECT_EQ(map[1], -1);
    EXPECT_EQ(map[2], -1);
    for (size_t i = 3; i < map.size(); ++i)
        EXPECT_EQ(map[i], static_cast<int>(i));
}

namespace {

MPointArray worldPoints(const std::string& shape)
{
    MSelectionList list;
    MDagPath path;
    EXPECT_TRUE(list.add(shape.c_str()) && list.getDagPath(0, path)) << shape;
    MPointArray points;
    EXPECT_TRUE(MFnMesh(path).getPoints(points, MSpace::kWorld));
    return points;
}

void expectFollowsDriver(const std::string& target)
{
    const MPointArray driver = worldPoints("driverShape");
    const MPointArray followed = worldPoints(target);
    ASSERT_EQ(followed.length(), driver.length()) << target;
    for (unsigned i = 0; i < driver.length(); ++i) {
        EXPECT_LT(followed[i].distanceTo(driver[i]), 1e-5) << target << " vertex " << i;
    }
}

class VertexWrapDriverCache : public PellixPluginTest
{
protected:
    void SetUp() override
    {
        PellixPluginTest::SetUp();
        // Two targets of one deformer, placed away from the driver and each other.
        ASSERT_TRUE(mel("polyPlane -w 2 -h 2 -sx 3 -sy 3 -n driver"));
        ASSERT_TRUE(mel("duplicate -n targetA driver; xform -t 4 1 -2 targetA"));
        ASSERT_TRUE(mel("duplicate -n targetB driver; xform -ro 0 35 10 targetB"));
        ASSERT_TRUE(mel("vertexWrap -n wrap driver targetA targetB; hostMeshFault -refuseRawPoints true"));
    }

    void TearDown() override
    {
        EXPECT_TRUE(mel("hostMeshFault -refuseRawPoints false"));
        PellixPluginTest::TearDown();
    }
};

} // namespace

TEST_F(VertexWrapDriverCache, EveryTargetFollowsTheDriverThroughTheCachedPoints)
{
    ASSERT_TRUE(mel("xform -t -3 2 0.5 driver; xform -ro 20 -40 65 driver; move -r 0 0.5 0 driver.vtx[5]"));
    expectFollowsDriver("targetAShape");
    expectFollowsDriver("targetBShape");
}

TEST_F(VertexWrapDriverCache, ChangedDriverIsReadAgainNotServedFromTheOldCopy)
{
    expectFollowsDriver("targetAShape");
    for (const char* edit : {"move -r 0 0.5 0 driver.vtx[5]", "move -r 0.25 -1 0 driver.vtx[5] driver.vtx[10]",
                             "xform -t 1 1 1 driver"}) {
        SCOPED_TRACE(edit);
        ASSERT_TRUE(mel(edit));
        expectFollowsDriver("targetAShape");
        expectFollowsDriver("targetBShape");
    }
    // Read back with raw points again, the targets are where the cached path put them.
    const MPointArray cached = worldPoints("targetBShape");
    ASSERT_TRUE(mel("hostMeshFault -refuseRawPoints false; move -r 0 0 0 driver.vtx[0]"));
    const MPointArray raw = worldPoints("targetBShape");
    ASSERT_EQ(raw.length(), cached.length());
    for (unsigned i = 0; i < raw.length(); ++i) {
        EXPECT_LT(raw[i].distanceTo(cached[i]), 1e-5) << "vertex " << i;
    }
}
