// The "shapeControl" node as a created node presents it: its name, the
// box it reports for explicit, mesh and curve geometry, and the curve-sample
// queries that drawing and picking ask of it.

#include "PluginTestSupport.h"
#include "support/TestValues.h"
#include "ShapeControlTestSupport.h"

#include "shapeControl/ShapeControlQueries.h"

#include <maya/MBoundingBox.h>
#include <maya/MDagPath.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MPlug.h>
#include <maya/MSelectionList.h>

#include <atomic>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

namespace {

void expectBox(const MBoundingBox& box, const MPoint& low, const MPoint& high)
{
    EXPECT_NEAR(box.min().x, low.x, 1e-9);
    EXPECT_NEAR(box.min().y, low.y, 1e-9);
    EXPECT_NEAR(box.min().z, low.z, 1e-9);
    EXPECT_NEAR(box.max().x, high.x, 1e-9);
    EXPECT_NEAR(box.max().y, high.y, 1e-9);
    EXPECT_NEAR(box.max().z, high.z, 1e-9);
}

class ShapeControlNode : public PellixPluginTest
{
protected:
    void SetUp() override
    {
        PellixPluginTest::SetUp();
        ASSERT_TRUE(mel("createNode transform -n ctrl; createNode shapeControl -n ctrlShape -p ctrl"));
        node = nodeByName("ctrlShape");
        ASSERT_FALSE(node.isNull());
    }

    // Nodes must be let go before the plug-in unloads: their code goes with the module.
    void TearDown() override
    {
        node = MObject();
        PellixPluginTest::TearDown();
    }

    // The box the node reports, as the host's bounds queries see it.
    MBoundingBox bounds(const char* name = "ctrlShape")
    {
        MStatus status;
        const MBoundingBox box = MFnDagNode(pathNamed(name)).boundingBox(&status);
        EXPECT_TRUE(status);
        return box;
    }

    MObject node;
};

} // namespace

TEST_F(ShapeControlNode, GeometryTakesMeshesAndCurvesOnly)
{
    ASSERT_TRUE(mel("polyPlane -n plane"));
    EXPECT_TRUE(mel("connectAttr planeShape.outMesh ctrlShape.inGeometry"));
    EXPECT_EQ(storedPoints("ctrlShape.inGeometry").length(), 121u);
    makeLine("line", MPoint(0, 0, 0), MPoint(1, 0, 0));
    EXPECT_TRUE(mel("connectAttr -f lineShape.local ctrlShape.inGeometry"));
    EXPECT_EQ(storedPoints("ctrlShape.inGeometry").length(), 2u);
}

TEST_F(ShapeControlNode, NewNodesAreNamedFromTheShapePattern)
{
    EXPECT_EQ(melString("createNode shapeControl"), MString("ShapeControlShape1"));
    EXPECT_EQ(melString("createNode shapeControl"), MString("ShapeControlShape2"));
    // Under a transform of the host's own naming.
    EXPECT_EQ(melStrings("listRelatives -p ShapeControlShape2").length(), 1u);
    // A name given at creation wins over the pattern.
    EXPECT_EQ(melString("nodeType ctrlShape"), MString("shapeControl"));
    EXPECT_EQ(melInt("objExists ShapeControlShape3"), 0);
}

TEST_F(ShapeControlNode, ExplicitBoxCountsOnlyWhenItsCornersDifferAndNeverHidesTheGeometry)
{
    ASSERT_TRUE(mel("setAttr ctrlShape.hasBBox 1; setAttr ctrlShape.bbMinX -5; setAttr ctrlShape.bbMaxY 7"));
    expectBox(bounds(), MPoint(-5, 0, 0), MPoint(0, 7, 0));

    // With geometry the given box is joined to the geometry's, so the control is never culled
    // while its geometry is in view.
    ASSERT_TRUE(mel("polyCube -w 2 -h 4 -d 6 -n cube; connectAttr cubeShape.outMesh ctrlShape.inGeometry"));
    expectBox(bounds(), MPoint(-5, -2, -3), MPoint(1, 7, 3));

    // Both corners at 0: not a box, so the geometry's box stands.
    ASSERT_TRUE(mel("setAttr ctrlShape.bbMinX 0; setAttr ctrlShape.bbMaxY 0"));
    expectBox(bounds(), MPoint(-1, -2, -3), MPoint(1, 2, 3));
}

TEST_F(ShapeControlNode, BoundsFollowTheStoredGeometryAsItChanges)
{
    ASSERT_TRUE(mel("polyCube -w 2 -h 4 -d 6 -n cube; connectAttr cubeShape.outMesh ctrlShape.inGeometry"));
    expectBox(bounds(), MPoint(-1, -2, -3), MPoint(1, 2, 3));
    // Asked again without a change: the same box.
    expectBox(bounds(), MPoint(-1, -2, -3), MPoint(1, 2, 3));

    scaleMeshPoints("cubeShape", 5.0);
    expectBox(bounds(), MPoint(-5, -10, -15), MPoint(5, 10, 15));

    // Another data object of the same kind replaces the first.
    makeCurve("arc", {MPoint(0, 0, 0), MPoint(3, 1, 0), MPoint(4, 0, -2), MPoint(8, 0, 0)}, {0, 0, 0, 1, 1, 1}, 3,
              MFnNurbsCurve::kOpen);
    ASSERT_TRUE(mel("connectAttr -f arcShape.local ctrlShape.inGeometry"));
    expectBox(bounds(), MPoint(0, 0, -2), MPoint(8, 1, 0));
    // The curve's own points edited in place.
    MFnNurbsCurve arc(nodeByName("arcShape"));
    MPointArray cvs;
    ASSERT_TRUE(arc.getCVs(cvs));
    cvs[1] = MPoint(3, 6, 0);
    ASSERT_TRUE(arc.setCVs(cvs));
    ASSERT_TRUE(arc.updateCurve());
    expectBox(bounds(), MPoint(0, 0, -2), MPoint(8, 6, 0));
}

TEST_F(ShapeControlNode, BoundsAskedFromManyThreadsAgree)
{
    ASSERT_TRUE(mel("polyPlane -w 3 -h 3 -sx 40 -sy 40 -n plane; connectAttr planeShape.outMesh ctrlShape.inGeometry"));
    const MDagPath path = pathNamed("ctrlShape");
    std::atomic<int> wrong{0};
    for (int round = 0; round < 20; ++round) {
        // New points each round, so that every thread finds the remembered box stale at once.
        scaleMeshPoints("planeShape", (4.0 + round) / (3.0 + round));
        const double halfWidth = (4 + round) / 2.0;
        // The new mesh is evaluated here; the control's box of it is measured by the threads.
        ASSERT_EQ(storedPoints("ctrlShape.inGeometry").length(), 41u * 41u);
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&] {
                for (int i = 0; i < 20; ++i) {
                    const MBoundingBox box = MFnDagNode(path).boundingBox();
                    if (std::fabs(box.max().x - halfWidth) > 1e-6 || std::fabs(box.min().z + halfWidth) > 1e-6) {
                        ++wrong;
                    }
                }
            });
        }
        for (std::thread& thread : threads) {
            thread.join();
        }
    }
    EXPECT_EQ(wrong.load(), 0);
}

TEST_F(ShapeControlNode, CurveSamplesAreSpreadEvenlyAndReusedUntilDropped)
{
    makeLine("line", MPoint(0, 0, 0), MPoint(8, 4, 0));
    const MObject curve = nodeByName("lineShape");
    MPointArray points;
    bool closed = true;
    unsigned long long serial = 0;
    ASSERT_TRUE(sampleShapeControlCurve(node, curve, 0, points, closed, serial));
    // One span: nine samples, from start to end in equal steps.
    ASSERT_EQ(points.length(), 9u);
    for (unsigned i = 0; i < 9; ++i) {
        EXPECT_NEAR(points[i].x, i, 1e-9);
        EXPECT_NEAR(points[i].y, i * 0.5, 1e-9);
    }
    EXPECT_FALSE(closed);
    EXPECT_NE(serial, 0u);

    // Known serial: the points are current and are not copied again.
    MPointArray untouched;
    unsigned long long again = 0;
    ASSERT_TRUE(sampleShapeControlCurve(node, curve, serial, untouched, closed, again));
    EXPECT_EQ(again, serial);
    EXPECT_EQ(untouched.length(), 0u);
    // Another serial gets a copy of the same samples.
    ASSERT_TRUE(sampleShapeControlCurve(node, curve, serial + 100, untouched, closed, again));
    EXPECT_EQ(again, serial);
    EXPECT_EQ(untouched.length(), 9u);

    // Dropped samples are built anew under a new serial.
    dropShapeControlCurveSamples(node);
    ASSERT_TRUE(sampleShapeControlCurve(node, curve, serial, untouched, closed, again));
    EXPECT_GT(again, serial);

    // Another curve for the same node replaces its entry.
    makeCurve("loop",
              {MPoint(0, 0, 1), MPoint(1, 0, 0), MPoint(0, 0, -1), MPoint(-1, 0, 0), MPoint(0, 0, 1),
               MPoint(1, 0, 0), MPoint(0, 0, -1)},
              {-2, -1, 0, 1, 2, 3, 4, 5, 6}, 3, MFnNurbsCurve::kPeriodic);
    const unsigned long long lineSerial = again;
    MPointArray loopPoints;
    ASSERT_TRUE(sampleShapeControlCurve(node, nodeByName("loopShape"), lineSerial, loopPoints, closed, again));
    EXPECT_TRUE(closed);
    EXPECT_GT(again, lineSerial);
    EXPECT_EQ(loopPoints.length(), 8u * 4u + 1u);
    // The nodes' entries are their own.
    const MObject otherNode = nodeByName(melString("createNode shapeControl"));
    unsigned long long otherSerial = 0;
    ASSERT_TRUE(sampleShapeControlCurve(otherNode, curve, again, points, closed, otherSerial));
    EXPECT_FALSE(closed);
    EXPECT_GT(otherSerial, again);
    dropShapeControlCurveSamples(otherNode);
    dropShapeControlCurveSamples(node);
}

TEST_F(ShapeControlNode, SamplingRefusesWhatIsNotACurve)
{
    MPointArray points;
    bool closed = false;
    unsigned long long serial = 0;
    EXPECT_FALSE(sampleShapeControlCurve(node, MObject(), 0, points, closed, serial));
    EXPECT_FALSE(sampleShapeControlCurve(MObject(), nodeByName("ctrl"), 0, points, closed, serial));
    ASSERT_TRUE(mel("polyPlane -n plane"));
    EXPECT_FALSE(sampleShapeControlCurve(node, nodeByName("planeShape"), 0, points, closed, serial));
    EXPECT_EQ(points.length(), 0u);
    EXPECT_EQ(serial, 0u);
}
