// Deformers in the host: the "deformer" command's history edits (an Orig
// shape upstream, stacking on existing history, "#" names, undo and redo),
// the default compute handing deform() the geometry's points and its shape's
// world matrix, envelope, commandToExecute undo, walking the graph with
// MItDependencyGraph, MItGeometry on shapes, and deformed scenes saved and
// reopened.

#include "SceneTestSupport.h"

#include "support/HostFixture.h"
#include "support/TestValues.h"

#include <maya/MDGModifier.h>
#include <maya/MDagPath.h>
#include <maya/MDataBlock.h>
#include <maya/MDataHandle.h>
#include <maya/MDoubleArray.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnDoubleArrayData.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFnMesh.h>
#include <maya/MFnNurbsCurve.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MIntArray.h>
#include <maya/MItDependencyGraph.h>
#include <maya/MItGeometry.h>
#include <maya/MMatrix.h>
#include <maya/MPlug.h>
#include <maya/MPointArray.h>
#include <maya/MPxDeformerNode.h>
#include <maya/MSelectionList.h>

#include <string>
#include <vector>

namespace {

// What one deform() call was given.
struct DeformCall
{
    unsigned multiIndex;
    int count;
    MPointArray positions;
    MMatrix matrix;
};

// "deformerTestOffset": lifts every point by envelope × amount × scale[i]
// along object-space y ("scale" is a stored double array, missing entries
// count 1), through the bulk calls or, with perPoint on, point by point.
class OffsetDeformer : public MPxDeformerNode
{
public:
    static void* creator() { return new OffsetDeformer; }
    static MStatus initialize()
    {
        MStatus status;
        MFnNumericAttribute numeric;
        amount = numeric.create("amount", "amt", MFnNumericData::kDouble, 1.0, &status);
        if (!status || !(status = addAttribute(amount)))
            return status;
        perPoint = numeric.create("perPoint", "pp", MFnNumericData::kBoolean, 0, &status);
        if (!status || !(status = addAttribute(perPoint)))
            return status;
        MFnTypedAttribute typed;
        scale = typed.create("scale", "sc", MFnData::kDoubleArray, MObject::kNullObj, &status);
        if (!status || !(status = addAttribute(scale)))
            return status;
        for (const MObject* attr : {&amount, &perPoint, &scale})
            if (!(status = attributeAffects(*attr, outputGeom)))
                return status;
        return MS::kSuccess;
    }

    MStatus deform(MDataBlock& block, MItGeometry& iter, const MMatrix& mat, unsigned int multiIndex) override
    {
        DeformCall call{multiIndex, iter.count(), MPointArray(), mat};
        MStatus status = iter.allPositions(call.positions);
        if (!status)
            return status;
        calls.push_back(call);
        const double lift = block.inputValue(envelope).asFloat() * block.inputValue(amount).asDouble();
        MDoubleArray factors;
        MObject scaleData = block.inputValue(scale).data();
        if (!scaleData.isNull())
            factors = MFnDoubleArrayData(scaleData).array();
        auto factor = [&](unsigned i) { return i < factors.length() ? factors[i] : 1.0; };
        if (block.inputValue(perPoint).asBool()) {
            for (iter.reset(); !iter.isDone(); iter.next()) {
                MPoint p = iter.position();
                p.y += lift * factor(unsigned(iter.index()));
                if (!(status = iter.setPosition(p)))
                    return status;
            }
            return MS::kSuccess;
        }
        MPointArray points = call.positions;
        for (unsigned i = 0; i < points.length(); ++i)
            points[i].y += lift * factor(i);
        return iter.setAllPositions(points);
    }

    static MObject amount, perPoint, scale;
    static std::vector<DeformCall> calls;
};

MObject OffsetDeformer::amount;
MObject OffsetDeformer::perPoint;
MObject OffsetDeformer::scale;
std::vector<DeformCall> OffsetDeformer::calls;

MPointArray pointsOf(const std::string& shape, MSpace::Space space = MSpace::kObject)
{
    MPointArray points;
    EXPECT_TRUE(MFnMesh(pathNamed(shape)).getPoints(points, space));
    return points;
}

// Every point moved by (0, dy, 0) from `before`.
void expectLifted(const MPointArray& before, const MPointArray& after, double dy)
{
    ASSERT_EQ(before.length(), after.length());
    for (unsigned i = 0; i < before.length(); ++i) {
        EXPECT_NEAR(after[i].x, before[i].x, 1e-5) << "point " << i;
        EXPECT_NEAR(after[i].y, before[i].y + dy, 1e-5) << "point " << i;
        EXPECT_NEAR(after[i].z, before[i].z, 1e-5) << "point " << i;
    }
}

class DeformerTest : public SceneTest
{
protected:
    void SetUp() override
    {
        registerOnce(testNodeType("deformerTestOffset", 0x0007F5B0, &OffsetDeformer::creator,
                                  &OffsetDeformer::initialize, MPxNode::kDeformerNode));
        SceneTest::SetUp();
        OffsetDeformer::calls.clear();
    }

    std::vector<std::string> upstreamNames(const std::string& root, MFn::Type filter = MFn::kInvalid,
                                           MItDependencyGraph::Traversal traversal = MItDependencyGraph::kDepthFirst,
                                           MItDependencyGraph::Direction direction = MItDependencyGraph::kUpstream)
    {
        MObject node = nodeNamed(root);
        MStatus status;
        MItDependencyGraph it(node, filter, direction, traversal, MItDependencyGraph::kNodeLevel, &status);
        EXPECT_TRUE(status);
        std::vector<std::string> names;
        for (; !it.isDone(); it.next())
            names.push_back(MFnDependencyNode(it.currentItem()).name().asChar());
        return names;
    }
};

TEST_F(DeformerTest, DeformerSitsBetweenAnOrigShapeAndTheMeshAndNamesFollowTheHashRule)
{
    ASSERT_TRUE(run("polyCube -n box"));
    const MPointArray before = pointsOf("boxShape");
    const MStringArray result = strings("deformer -type deformerTestOffset box");
    ASSERT_EQ(result.length(), 1u);
    EXPECT_EQ(result[0], "deformerTestOffset1");

    EXPECT_EQ(text("nodeType boxShapeOrig"), "mesh");
    EXPECT_EQ(number("getAttr boxShapeOrig.intermediateObject"), 1.0);
    EXPECT_EQ(strings("listRelatives -p boxShapeOrig")[0], "box");
    EXPECT_EQ(strings("listRelatives -s box").length(), 2u);
    const MStringArray visible = strings("listRelatives -s -ni box");
    ASSERT_EQ(visible.length(), 1u);
    EXPECT_EQ(visible[0], "boxShape");
    const MStringArray feeds = strings("listConnections -s 1 -d 0 -p 1 deformerTestOffset1.input[0].inputGeometry");
    ASSERT_EQ(feeds.length(), 1u);
    EXPECT_EQ(feeds[0], "boxShapeOrig.worldMesh[0]");
    const MStringArray drives = strings("listConnections -s 0 -d 1 -p 1 deformerTestOffset1.outputGeometry[0]");
    ASSERT_EQ(drives.length(), 1u);
    EXPECT_EQ(drives[0], "boxShape.inMesh");

    expectLifted(before, pointsOf("boxShape"), 1.0);
    expectLifted(before, pointsOf("boxShapeOrig"), 0.0);

    // Further deformers are named by the hash rule.
    EXPECT_EQ(strings("deformer -type deformerTestOffset box")[0], "deformerTestOffset2");
    EXPECT_EQ(strings("deformer -type deformerTestOffset box")[0], "deformerTestOffset3");
    EXPECT_EQ(strings("deformer -type deformerTestOffset -n \"wave#\" box")[0], "wave1");
    EXPECT_EQ(strings("deformer -type deformerTestOffset -n \"wave#\" box")[0], "wave2");
    EXPECT_EQ(strings("deformer -type deformerTestOffset -n lift box")[0], "lift");
    EXPECT_EQ(strings("deformer -type deformerTestOffset -n lift box")[0], "lift1") << "a taken name gets a number";
}

TEST_F(DeformerTest, DeformGetsThePointsCountAndTheShapesWorldMatrix)
{
    ASSERT_TRUE(run("polyCube -n box; setAttr box.translate 1 2 3; setAttr box.rotate 10 20 30; "
                    "setAttr box.scale 2 1 1"));
    const MPointArray before = pointsOf("boxShape");
    ASSERT_TRUE(run("deformer -type deformerTestOffset box"));
    pointsOf("boxShape");  // pulls the deformer

    ASSERT_EQ(OffsetDeformer::calls.size(), 1u);
    const DeformCall& call = OffsetDeformer::calls[0];
    EXPECT_EQ(call.multiIndex, 0u);
    EXPECT_EQ(call.count, 8);
    ASSERT_EQ(call.positions.length(), before.length());
    for (unsigned i = 0; i < before.length(); ++i)
        EXPECT_TRUE(call.positions[i].isEquivalent(before[i], 1e-6)) << "point " << i;
    EXPECT_TRUE(call.matrix.isEquivalent(pathNamed("boxShape").inclusiveMatrix(), 1e-9));

    // The lift is in object space, so world positions move along the shape's y axis.
    const MPointArray world = pointsOf("boxShape", MSpace::kWorld);
    const MMatrix toWorld = pathNamed("boxShape").inclusiveMatrix();
    for (unsigned i = 0; i < before.length(); ++i)
        EXPECT_TRUE(world[i].isEquivalent((before[i] + MVector(0, 1, 0)) * toWorld, 1e-5)) << "point " << i;
}

TEST_F(DeformerTest, EnvelopeAndAttributesReevaluateTheDeformer)
{
    ASSERT_TRUE(run("polyCube -n box; deformer -type deformerTestOffset -n lift box"));
    const MPointArray before = pointsOf("boxShapeOrig");
    ASSERT_TRUE(run("setAttr lift.envelope 0.5"));
    expectLifted(before, pointsOf("boxShape"), 0.5);
    ASSERT_TRUE(run("setAttr lift.amount 4"));
    expectLifted(before, pointsOf("boxShape"), 2.0);
    ASSERT_TRUE(run("setAttr lift.envelope 0"));
    expectLifted(before, pointsOf("boxShape"), 0.0);
    // Out of range envelopes are clamped to 0..1.
    ASSERT_TRUE(run("setAttr lift.envelope 3"));
    expectLifted(before, pointsOf("boxShape"), 4.0);
    // "Has no effect" passes the input through without calling deform.
    OffsetDeformer::calls.clear();
    ASSERT_TRUE(run("setAttr lift.nodeState 1"));
    expectLifted(before, pointsOf("boxShape"), 0.0);
    EXPECT_TRUE(OffsetDeformer::calls.empty());
}

TEST_F(DeformerTest, PerPointIterationMatchesTheBulkCalls)
{
    ASSERT_TRUE(run("polySphere -n ball -sx 8 -sy 6; deformer -type deformerTestOffset -n lift ball; "
                    "setAttr lift.scale -type doubleArray 3 0 2 0.5"));
    const MPointArray before = pointsOf("ballShapeOrig");
    const MPointArray bulk = pointsOf("ballShape");
    ASSERT_TRUE(run("setAttr lift.perPoint 1"));
    const MPointArray perPoint = pointsOf("ballShape");
    ASSERT_EQ(bulk.length(), before.length());
    ASSERT_EQ(perPoint.length(), before.length());
    const double scale[] = {0, 2, 0.5};
    for (unsigned i = 0; i < before.length(); ++i) {
        const double dy = i < 3 ? scale[i] : 1.0;
        EXPECT_TRUE(bulk[i].isEquivalent(before[i] + MVector(0, dy, 0), 1e-5)) << "point " << i;
        EXPECT_TRUE(perPoint[i].isEquivalent(bulk[i], 1e-6)) << "point " << i;
    }
}

TEST_F(DeformerTest, SeveralTargetsTakeMultiIndicesInTheOrderNamed)
{
    // b and c large enough that their dropped points are kept for reuse.
    ASSERT_TRUE(run("polyCube -n a; polyPlane -n b -sx 150 -sy 150; polyPlane -n c -w 3 -sx 150 -sy 150"));
    const MPointArray beforeB = pointsOf("bShape");
    const MPointArray beforeC = pointsOf("cShape");
    ASSERT_TRUE(run("deformer -type deformerTestOffset -n lift c b"));
    EXPECT_EQ(strings("listConnections -s 0 -d 1 -p 1 lift.outputGeometry[0]")[0], "cShape.inMesh");
    EXPECT_EQ(strings("listConnections -s 0 -d 1 -p 1 lift.outputGeometry[1]")[0], "bShape.inMesh");
    EXPECT_EQ(strings("listConnections -s 1 -d 0 -p 1 lift.input[1].inputGeometry")[0], "bShapeOrig.worldMesh[0]");
    expectLifted(beforeB, pointsOf("bShape"), 1.0);
    expectLifted(beforeC, pointsOf("cShape"), 1.0);
    EXPECT_EQ(strings("listConnections -s 1 -d 0 aShape.inMesh").length(), 0u) << "a was not named";

    std::vector<unsigned> indices;
    for (const DeformCall& call : OffsetDeformer::calls)
        indices.push_back(call.multiIndex);
    std::sort(indices.begin(), indices.end());
    EXPECT_EQ(indices, (std::vector<unsigned>{0, 1}));
    for (const DeformCall& call : OffsetDeformer::calls)
        EXPECT_EQ(call.count, int(call.multiIndex == 0 ? beforeC.length() : beforeB.length()));

    // Written step after step, each mesh keeps points of its own in whatever storage it reuses.
    for (int amount : {2, 3, 4}) {
        ASSERT_TRUE(run("setAttr lift.amount " + std::to_string(amount)));
        expectLifted(beforeB, pointsOf("bShape"), amount);
        expectLifted(beforeC, pointsOf("cShape"), amount);
    }
}

TEST_F(DeformerTest, CurvesAreDeformedThroughTheirControlVertices)
{
    ASSERT_TRUE(run("createNode transform -n wire; createNode nurbsCurve -n wireShape -p wire; "
                    "setAttr wireShape.cc -type \"nurbsCurve\" 3 2 0 no 3 7 0 0 0 1 2 2 2 5 0 0 0 1 1 0 2 1 1 3 0 2 4 1 0"));
    MPointArray before, after;
    ASSERT_TRUE(MFnNurbsCurve(pathNamed("wireShape")).getCVs(before));
    ASSERT_TRUE(run("deformer -type deformerTestOffset -n lift wire"));
    EXPECT_EQ(text("nodeType wireShapeOrig"), "nurbsCurve");
    EXPECT_EQ(number("getAttr wireShapeOrig.intermediateObject"), 1.0);
    ASSERT_TRUE(MFnNurbsCurve(pathNamed("wireShape")).getCVs(after));
    expectLifted(before, after, 1.0);
    ASSERT_EQ(OffsetDeformer::calls.size(), 1u);
    EXPECT_EQ(OffsetDeformer::calls[0].count, 5);
}

TEST_F(DeformerTest, SecondDeformerStacksOnTheFirstAndTheGraphWalksThroughBoth)
{
    ASSERT_TRUE(run("polyCube -n box; setAttr box.translate 5 0 0"));
    const MPointArray before = pointsOf("boxShape");
    ASSERT_TRUE(run("deformer -type deformerTestOffset -n first box; deformer -type deformerTestOffset -n second box; "
                    "setAttr second.amount 2"));
    EXPECT_EQ(strings("listConnections -s 1 -d 0 -p 1 second.input[0].inputGeometry")[0], "first.outputGeometry[0]");
    EXPECT_EQ(strings("listConnections -s 0 -d 1 -p 1 second.outputGeometry[0]")[0], "boxShape.inMesh");
    EXPECT_EQ(strings("ls -type mesh").length(), 2u) << "one Orig shape only";
    expectLifted(before, pointsOf("boxShape"), 3.0);
    // The lower deformer also sees the world matrix of the shape at the top.
    const MMatrix toWorld = pathNamed("boxShape").inclusiveMatrix();
    ASSERT_EQ(OffsetDeformer::calls.size(), 2u);
    for (const DeformCall& call : OffsetDeformer::calls)
        EXPECT_TRUE(call.matrix.isEquivalent(toWorld, 1e-9));

    // The graph walks upstream depth first through the stack, and downstream from the Orig shape.
    EXPECT_EQ(upstreamNames("boxShape"), (std::vector<std::string>{"boxShape", "second", "first", "boxShapeOrig"}));
    EXPECT_EQ(upstreamNames("boxShape", MFn::kPluginDeformerNode), (std::vector<std::string>{"second", "first"}));
    EXPECT_EQ(upstreamNames("boxShapeOrig", MFn::kInvalid, MItDependencyGraph::kDepthFirst,
                            MItDependencyGraph::kDownstream),
              (std::vector<std::string>{"boxShapeOrig", "first", "second", "boxShape"}));
    EXPECT_EQ(upstreamNames("boxShapeOrig"), (std::vector<std::string>{"boxShapeOrig"}));
}

TEST_F(DeformerTest, UndoRemovesWhatTheCommandMadeAndRedoBringsItBack)
{
    ASSERT_TRUE(run("polyCube -n box; select -cl; move -r 0 0 0.25 box.vtx[2]"));
    const MPointArray before = pointsOf("boxShape");
    const std::string plain = sceneText();
    ASSERT_TRUE(run("deformer -type deformerTestOffset -n lift box"));
    const std::string deformed = sceneText();
    // The tweak now lives in the Orig shape's geometry and is not applied twice.
    expectLifted(before, pointsOf("boxShape"), 1.0);
    EXPECT_EQ(number("getAttr boxShape.pnts[2].pz"), 0.0);

    ASSERT_TRUE(run("undo"));
    EXPECT_EQ(sceneText(), plain);
    EXPECT_FALSE(value("objExists lift").asInt());
    EXPECT_FALSE(value("objExists boxShapeOrig").asInt());
    expectLifted(before, pointsOf("boxShape"), 0.0);

    ASSERT_TRUE(run("redo"));
    EXPECT_EQ(sceneText(), deformed);
    expectLifted(before, pointsOf("boxShape"), 1.0);

    // Undoing the second of two stacked deformers hands the shape back to the first.
    ASSERT_TRUE(run("deformer -type deformerTestOffset -n more box; undo"));
    EXPECT_EQ(sceneText(), deformed);
    expectLifted(before, pointsOf("boxShape"), 1.0);
}

TEST_F(DeformerTest, BadRequestsAreRefusedWithoutChangingTheScene)
{
    ASSERT_TRUE(run("polyCube -n box; createNode transform -n empty; createNode sceneTestNode -n plain"));
    const std::string scene = sceneText();
    expectRefusals({
        {"deformer box", "deformer: the -type flag is required."},
        {"deformer -type transform box", "deformer: \"transform\" is not a deformer type."},
        {"deformer -type noSuchType box", "deformer: \"noSuchType\" is not a deformer type."},
        {"deformer -type deformerTestOffset empty", "deformer: empty has no mesh or curve to deform."},
        {"deformer -type deformerTestOffset plain", "deformer: plain has no mesh or curve to deform."},
        {"deformer -type deformerTestOffset box empty", "deformer: empty has no mesh or curve to deform."},
        {"deformer -type deformerTestOffset boxShapeNothing", "deformer: No object matches name: boxShapeNothing"},
        {"deformer -type deformerTestOffset -n \"a;b\" box", "deformer: \"a;b\" is not a valid node name."},
        {"select -cl; deformer -type deformerTestOffset", "deformer: name or select the objects to deform."},
    });
    EXPECT_EQ(sceneText(), scene);
}

TEST_F(DeformerTest, SelectionNamesTheTargetsAndIntermediateShapesAreSkipped)
{
    ASSERT_TRUE(run("polyCube -n box; deformer -type deformerTestOffset -n first box"));
    // The transform now has the Orig shape too; the visible shape is the one deformed.
    ASSERT_TRUE(run("select -r box; deformer -type deformerTestOffset -n second"));
    EXPECT_EQ(strings("listConnections -s 0 -d 1 -p 1 second.outputGeometry[0]")[0], "boxShape.inMesh");
    expectRefusals({{"deformer -type deformerTestOffset boxShapeOrig", "deformer: boxShapeOrig has no mesh or curve to deform."}});
}

TEST_F(DeformerTest, CommandToExecuteUndoRemovesTheDeformerAndRedoMakesItAgain)
{
    ASSERT_TRUE(run("polyCube -n box; createNode sceneTestNode -n driver"));
    const MPointArray before = pointsOf("boxShape");
    const std::string plain = sceneText();
    MDGModifier modifier;
    ASSERT_TRUE(modifier.commandToExecute("deformer -type deformerTestOffset -n \"lift#\" \"box\""));
    ASSERT_TRUE(modifier.doIt());
    EXPECT_TRUE(value("objExists lift1").asInt());
    expectLifted(before, pointsOf("boxShape"), 1.0);
    const std::string deformed = sceneText();

    ASSERT_TRUE(modifier.undoIt());
    EXPECT_EQ(sceneText(), plain);
    expectLifted(before, pointsOf("boxShape"), 0.0);

    ASSERT_TRUE(modifier.doIt());
    EXPECT_EQ(sceneText(), deformed);
    expectLifted(before, pointsOf("boxShape"), 1.0);
    // What was connected to the deformer afterwards goes with it.
    ASSERT_TRUE(run("setAttr driver.cnt 3; connectAttr driver.cnt lift1.amount"));
    expectLifted(before, pointsOf("boxShape"), 3.0);
    ASSERT_TRUE(modifier.undoIt());
    ASSERT_TRUE(run("setAttr driver.cnt 0"));
    EXPECT_EQ(sceneText(), plain);
    expectLifted(before, pointsOf("boxShape"), 0.0);
}

TEST_F(DeformerTest, GraphWalkOrderPruningAndFilters)
{
    // root <- a <- c, root <- b: a diamond-free tree with a shared leaf d under a and b.
    ASSERT_TRUE(run("createNode sceneTestNode -n root; createNode sceneTestNode -n a; createNode sceneTestNode -n b; "
                    "createNode sceneTestNode -n c; createNode sceneTestNode -n d; createNode transform -n t; "
                    "connectAttr a.cnt root.vals[0]; connectAttr b.cnt root.vals[1]; connectAttr c.cnt a.vals[0]; "
                    "connectAttr d.cnt a.vals[1]; connectAttr d.cache b.vals[0]; connectAttr t.tx c.vals[0]"));
    using It = MItDependencyGraph;
    EXPECT_EQ(upstreamNames("root"), (std::vector<std::string>{"root", "a", "c", "t", "d", "b"}));
    EXPECT_EQ(upstreamNames("root", MFn::kInvalid, It::kBreadthFirst),
              (std::vector<std::string>{"root", "a", "b", "c", "d", "t"}));
    EXPECT_EQ(upstreamNames("d", MFn::kInvalid, It::kDepthFirst, It::kDownstream),
              (std::vector<std::string>{"d", "b", "root", "a"}))
        << "connections are followed in attribute order: d.cache before d.count";
    // A filter prunes the walk at nodes it rejects, unless pruning is off.
    EXPECT_EQ(upstreamNames("root", MFn::kTransform), std::vector<std::string>{});
    MObject root = nodeNamed("root");
    It it(root, MFn::kTransform, It::kUpstream);
    it.disablePruningOnFilter();
    ASSERT_TRUE(it.reset());
    ASSERT_FALSE(it.isDone());
    EXPECT_EQ(MFnDependencyNode(it.currentItem()).name(), "t");
    EXPECT_EQ(MFnDependencyNode(it.thisPlug().node()).name(), "t");
    EXPECT_EQ(it.previousPlug().partialName(true), "c.vals[0]");
    it.next();
    EXPECT_TRUE(it.isDone());

    // prune() skips what lies beyond the current node.
    It pruned(root, MFn::kInvalid, It::kUpstream);
    std::vector<std::string> names;
    for (; !pruned.isDone(); pruned.next()) {
        names.push_back(MFnDependencyNode(pruned.currentItem()).name().asChar());
        if (names.back() == "a")
            pruned.prune();
    }
    EXPECT_EQ(names, (std::vector<std::string>{"root", "a", "b", "d"}));

    // From a plug, the walk starts with that plug's connections only.
    MPlug second = MFnDependencyNode(root).findPlug("vals", true).elementByLogicalIndex(1);
    std::vector<std::string> fromPlug;
    for (It walk(second, MFn::kInvalid, It::kUpstream); !walk.isDone(); walk.next())
        fromPlug.push_back(MFnDependencyNode(walk.currentItem()).name().asChar());
    EXPECT_EQ(fromPlug, (std::vector<std::string>{"root", "b", "d"}));

    MObject nothing;
    MStatus status;
    It bad(nothing, MFn::kInvalid, It::kUpstream, It::kDepthFirst, It::kNodeLevel, &status);
    EXPECT_FALSE(status);
    EXPECT_TRUE(bad.isDone());
}

TEST_F(DeformerTest, PlugLevelWalkFollowsAttributeAffects)
{
    ASSERT_TRUE(run("polyCube -n box; deformer -type deformerTestOffset -n lift box"));
    MPlug inMesh = MFnDependencyNode(nodeNamed("boxShape")).findPlug("inMesh", true);
    MItDependencyGraph it(inMesh, MFn::kInvalid, MItDependencyGraph::kUpstream, MItDependencyGraph::kDepthFirst,
                          MItDependencyGraph::kPlugLevel);
    std::vector<std::string> plugs;
    for (; !it.isDone(); it.next())
        plugs.push_back(it.thisPlug().partialName(true, false, false, false, false, true).asChar());
    EXPECT_EQ(plugs, (std::vector<std::string>{"boxShape.inMesh", "lift.outputGeometry[0]",
                                                "boxShapeOrig.worldMesh[0]"}));
}

TEST_F(DeformerTest, GeometryIteratorOnAShapeReadsAndWritesItsPoints)
{
    ASSERT_TRUE(run("polyPlane -n grid -sx 2 -sy 2; setAttr grid.translate 0 10 0"));
    MDagPath shape = pathNamed("gridShape");
    MStatus status;
    MItGeometry it(shape, &status);
    ASSERT_TRUE(status);
    const MPointArray before = pointsOf("gridShape");
    EXPECT_EQ(it.count(), int(before.length()));
    EXPECT_EQ(it.exactCount(), int(before.length()));
    MPointArray bulk;
    ASSERT_TRUE(it.allPositions(bulk, MSpace::kWorld));
    int visited = 0;
    for (; !it.isDone(); it.next(), ++visited) {
        EXPECT_EQ(it.index(), visited);
        EXPECT_TRUE(it.position().isEquivalent(before[unsigned(visited)], 1e-6));
        EXPECT_TRUE(it.position(MSpace::kWorld).isEquivalent(bulk[unsigned(visited)], 1e-6));
        EXPECT_NEAR(bulk[unsigned(visited)].y, before[unsigned(visited)].y + 10.0, 1e-6);
        EXPECT_TRUE(it.normal().isEquivalent(MVector(0, 1, 0), 1e-5));
    }
    EXPECT_EQ(visited, int(before.length()));
    EXPECT_FALSE(it.next());

    ASSERT_TRUE(it.reset());
    ASSERT_TRUE(it.setPosition(MPoint(0, 12, 0), MSpace::kWorld));
    EXPECT_TRUE(pointsOf("gridShape")[0].isEquivalent(MPoint(0, 2, 0), 1e-6));
    MPointArray tooFew(2);
    EXPECT_FALSE(it.setAllPositions(tooFew)) << "setAllPositions takes exactly count() points";
    EXPECT_TRUE(pointsOf("gridShape")[1].isEquivalent(before[1], 1e-6));
}

// Meshes copied from one another share their faces, edges and points until one writes them: a
// write through any of them (points, faces, undo) must stay its own.
TEST_F(DeformerTest, MeshesSharingGeometryKeepTheirOwnEdits)
{
    ASSERT_TRUE(run("polyPlane -n source -sx 3 -sy 1; duplicate -n copy source; "
                    "deformer -type deformerTestOffset -n lift copy"));
    const MPointArray original = pointsOf("sourceShape");
    MObject copyShape = nodeNamed("copyShape");
    const MObject held = MFnDependencyNode(copyShape).findPlug("outMesh", true).asMObject();
    expectLifted(original, pointsOf("copyShape"), 1.0);

    // Points written through a pulled mesh, the source shape and a deformer stay theirs.
    MFnMesh heldMesh(held);
    MPointArray moved = original;
    moved[0] = MPoint(9, 9, 9);
    ASSERT_TRUE(heldMesh.setPoints(moved));
    expectLifted(original, pointsOf("copyShape"), 1.0);
    expectLifted(original, pointsOf("copyShapeOrig"), 0.0);
    // Single-precision points go straight into the pulled mesh's own storage, whole or not at all.
    const MObject heldInput = MFnDependencyNode(nodeNamed("copyShapeOrig")).findPlug("outMesh", true).asMObject();
    MFnMesh inputMesh(heldInput);
    MFloatPointArray floats, tooFew(2);
    ASSERT_TRUE(inputMesh.getPoints(floats));
    floats[2] = MFloatPoint(7, 8, 9);
    EXPECT_FALSE(inputMesh.setPoints(tooFew));
    ASSERT_TRUE(inputMesh.setPoints(floats));
    MPoint inputPoint;
    ASSERT_TRUE(inputMesh.getPoint(2, inputPoint));
    EXPECT_EQ(MPoint(7, 8, 9), inputPoint);
    ASSERT_TRUE(inputMesh.getPoint(3, inputPoint));
    EXPECT_TRUE(inputPoint.isEquivalent(original[3], 1e-6));
    expectLifted(original, pointsOf("copyShapeOrig"), 0.0);
    expectLifted(original, pointsOf("copyShape"), 1.0);
    ASSERT_TRUE(run("move -r 0 5 0 source.vtx[1]"));
    expectLifted(original, pointsOf("copyShape"), 1.0);
    MPoint heldPoint;
    ASSERT_TRUE(heldMesh.getPoint(0, heldPoint));
    EXPECT_EQ(MPoint(9, 9, 9), heldPoint);
    ASSERT_TRUE(heldMesh.getPoint(1, heldPoint));
    EXPECT_TRUE(heldPoint.isEquivalent(original[1], 1e-6));
    ASSERT_TRUE(run("undo"));
    expectLifted(original, pointsOf("sourceShape"), 0.0);

    // Faces deleted from the source leave the copy, its deformer and the pulled mesh whole.
    OffsetDeformer::calls.clear();
    ASSERT_TRUE(run("delete source.f[0]; setAttr lift.amount 2"));
    EXPECT_EQ(2, MFnMesh(pathNamed("sourceShape")).numPolygons());
    EXPECT_EQ(6, MFnMesh(pathNamed("sourceShape")).numVertices());
    expectLifted(original, pointsOf("copyShape"), 2.0);
    ASSERT_EQ(1u, OffsetDeformer::calls.size());
    EXPECT_EQ(8, OffsetDeformer::calls[0].count);
    MFnMesh deformed(pathNamed("copyShape"));
    EXPECT_EQ(3, deformed.numPolygons());
    MIntArray corners;
    ASSERT_TRUE(deformed.getPolygonVertices(0, corners));
    EXPECT_EQ(0, corners[0]);
    EXPECT_EQ(3, MFnMesh(held).numPolygons());
    EXPECT_EQ(10, MFnMesh(held).numEdges());

    // And undone, the source has its faces again while the others keep theirs.
    ASSERT_TRUE(run("undo; undo"));
    EXPECT_EQ(3, MFnMesh(pathNamed("sourceShape")).numPolygons());
    expectLifted(original, pointsOf("sourceShape"), 0.0);
    expectLifted(original, pointsOf("copyShape"), 1.0);
    EXPECT_EQ(3, MFnMesh(pathNamed("copyShapeOrig")).numPolygons());
}

TEST_F(DeformerTest, DeformedSceneSavedAndReopenedKeepsDeforming)
{
    ASSERT_TRUE(run("polyCube -n box; setAttr box.translate 0 0 4; deformer -type deformerTestOffset -n lift box; "
                    "setAttr lift.scale -type doubleArray 2 0 3; setAttr lift.amount 2"));
    const MPointArray deformed = pointsOf("boxShape");
    const MPointArray original = pointsOf("boxShapeOrig");
    const std::string path = tempPath("deformed.ma");
    ASSERT_TRUE(run("file -rename \"" + path + "\"; file -save -type \"mayaAscii\""));
    const std::string saved = sceneText();
    ASSERT_TRUE(run("file -f -new"));
    ASSERT_TRUE(run("file -f -o \"" + path + "\""));
    EXPECT_EQ(sceneText(), saved);
    EXPECT_EQ(number("getAttr boxShapeOrig.intermediateObject"), 1.0);
    const MPointArray reopened = pointsOf("boxShape");
    ASSERT_EQ(reopened.length(), deformed.length());
    for (unsigned i = 0; i < deformed.length(); ++i)
        EXPECT_TRUE(reopened[i].isEquivalent(deformed[i], 1e-5)) << "point " << i;
    ASSERT_TRUE(run("setAttr lift.amount 0"));
    expectLifted(original, pointsOf("boxShape"), 0.0);
}

} // namespace
