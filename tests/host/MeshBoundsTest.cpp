// A mesh shape's bounding box: its evaluated points in object space, and through its
// transform in the parent's space.

#include "SceneTestSupport.h"
#include "support/TestValues.h"

#include <maya/MBoundingBox.h>
#include <maya/MFnDagNode.h>
#include <maya/MSelectionList.h>

namespace {

MBoundingBox boxOf(const char* name)
{
    MStatus status;
    const MBoundingBox box = MFnDagNode(nodeNamed(name)).boundingBox(&status);
    EXPECT_TRUE(status) << name;
    return box;
}

void expectBox(const MBoundingBox& box, double x0, double y0, double z0, double x1, double y1, double z1)
{
    EXPECT_NEAR(box.min().x, x0, 1e-9);
    EXPECT_NEAR(box.min().y, y0, 1e-9);
    EXPECT_NEAR(box.min().z, z0, 1e-9);
    EXPECT_NEAR(box.max().x, x1, 1e-9);
    EXPECT_NEAR(box.max().y, y1, 1e-9);
    EXPECT_NEAR(box.max().z, z1, 1e-9);
}

} // namespace

TEST_F(SceneTest, MeshBoundingBoxHoldsItsEvaluatedPoints)
{
    ASSERT_TRUE(run("polyPlane -n plane -w 4 -h 2 -sx 2 -sy 2"));
    expectBox(boxOf("planeShape"), -2.0, 0.0, -1.0, 2.0, 0.0, 1.0);

    // Vertex tweaks count; the transform moves only the parent's box.
    ASSERT_TRUE(run("move -r 0 3 0 plane.vtx[4]"));
    ASSERT_TRUE(run("move -r 10 0 0 plane"));
    expectBox(boxOf("planeShape"), -2.0, 0.0, -1.0, 2.0, 3.0, 1.0);
    ASSERT_TRUE(run("createNode transform -n group"));
    ASSERT_TRUE(run("parent plane group"));
    expectBox(boxOf("group"), 8.0, 0.0, -1.0, 12.0, 3.0, 1.0);
}
