// Editing meshes and transforms through commands: deleting faces (and the
// vertices and UVs only they used, renumbering the rest), moving vertices and
// transforms with move and xform in object and world space, and undo of each.

#include "SceneTestSupport.h"
#include "support/TestValues.h"

#include <maya/MDoubleArray.h>
#include <maya/MFnMesh.h>
#include <maya/MIntArray.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>

namespace {

MFnMesh meshNamed(const char* name)
{
    return MFnMesh(nodeNamed(name));
}

std::vector<int> faceVertices(const MFnMesh& mesh, int face)
{
    MIntArray ids;
    EXPECT_TRUE(mesh.getPolygonVertices(face, ids));
    return std::vector<int>(&ids[0], &ids[0] + ids.length());
}

MPoint point(const MFnMesh& mesh, int vertex)
{
    MPoint p;
    EXPECT_TRUE(mesh.getPoint(vertex, p));
    return p;
}

class MeshEditTest : public SceneTest
{
};

} // namespace

TEST_F(MeshEditTest, DeletingFacesDropsUnusedVerticesAndRenumbersTheRest)
{
    // Vertices 0-3 along the +Z edge, 4-7 along -Z; faces left to right.
    run("polyPlane -w 3 -h 1 -sx 3 -sy 1");
    MFnMesh mesh = meshNamed("pPlaneShape1");
    ASSERT_TRUE(run("delete pPlane1.f[2]")) << errors();
    EXPECT_EQ(2, mesh.numPolygons());
    EXPECT_EQ(6, mesh.numVertices());
    EXPECT_EQ(6, mesh.numUVs());
    EXPECT_EQ((std::vector<int>{1, 2, 5, 4}), faceVertices(mesh, 1));
    EXPECT_EQ(MPoint(0.5, 0, -0.5), point(mesh, 5));
    float u = 0, v = 0;
    ASSERT_TRUE(mesh.getPolygonUV(1, 2, u, v));
    EXPECT_FLOAT_EQ(2.0f / 3.0f, u);
    EXPECT_FLOAT_EQ(1.0f, v);

    // The first face of what is left: vertex 0 goes, the others move down.
    ASSERT_TRUE(run("delete pPlaneShape1.f[0:0]")) << errors();
    EXPECT_EQ(1, mesh.numPolygons());
    EXPECT_EQ((std::vector<int>{0, 1, 3, 2}), faceVertices(mesh, 0));
    EXPECT_EQ(MPoint(-0.5, 0, 0.5), point(mesh, 0));

    ASSERT_TRUE(run("undo"));
    EXPECT_EQ(2, mesh.numPolygons());
    ASSERT_TRUE(run("undo"));
    EXPECT_EQ(3, mesh.numPolygons());
    EXPECT_EQ(8, mesh.numVertices());
    ASSERT_TRUE(run("redo"));
    EXPECT_EQ(6, mesh.numVertices());

    clearMessages();
    EXPECT_FALSE(run("delete pPlane1.f[2]"));
    EXPECT_NE(std::string::npos, errors().find("out of range"));
    EXPECT_FALSE(run("delete pPlane1.f[1:0]"));
    EXPECT_FALSE(run("delete pPlane1.vtx[0]"));
    EXPECT_EQ(2, mesh.numPolygons());
}

TEST_F(MeshEditTest, DeletingFacesKeepsTweakedPositions)
{
    run("polyPlane -sx 2 -sy 1");
    run("move -r 0 2 0 pPlane1.vtx[1]");
    run("delete pPlane1.f[0]");
    MFnMesh mesh = meshNamed("pPlaneShape1");
    ASSERT_EQ(4, mesh.numVertices());
    EXPECT_EQ(MPoint(0, 2, 0.5), point(mesh, 0));
    EXPECT_EQ(0.0, number("getAttr pPlaneShape1.pnts[1].pnty"));
}

TEST_F(MeshEditTest, MovingVerticesInObjectAndWorldSpace)
{
    run("polyPlane -ch 1 -sx 1 -sy 1");
    MFnMesh mesh = meshNamed("pPlaneShape1");
    ASSERT_TRUE(run("move -r 0 1 0 pPlane1.vtx[0:1]")) << errors();
    EXPECT_EQ(MPoint(-0.5, 1, 0.5), point(mesh, 0));
    EXPECT_EQ(MPoint(0.5, 1, 0.5), point(mesh, 1));
    EXPECT_EQ(MPoint(-0.5, 0, -0.5), point(mesh, 2));

    // Moves made while someone holds the mesh leave the held value as it was; with no holder the
    // shape moves its points where they are. Normals, undo, redo and a new input all follow.
    const MPlug worldMesh = MFnDependencyNode(nodeNamed("pPlaneShape1")).findPlug("worldMesh", false);
    MObject held = worldMesh.elementByLogicalIndex(0).asMObject();
    ASSERT_TRUE(run("move -r 0 0.25 0 pPlane1.vtx[1]")) << errors();
    MVector flat, tilted;
    ASSERT_TRUE(mesh.getVertexNormal(2, false, flat));
    ASSERT_TRUE(run("move -r 0 0.5 0 pPlane1.vtx[2]")) << errors();
    EXPECT_EQ(MPoint(0.5, 1, 0.5), point(MFnMesh(held), 1));
    EXPECT_EQ(MPoint(-0.5, 0, -0.5), point(MFnMesh(held), 2));
    held = MObject();
    EXPECT_EQ(MPoint(-0.5, 0.5, -0.5), point(mesh, 2));
    ASSERT_TRUE(mesh.getVertexNormal(2, false, tilted));
    EXPECT_FALSE(tilted.isEquivalent(flat));
    ASSERT_TRUE(run("undo"));
    EXPECT_EQ(MPoint(-0.5, 0, -0.5), point(mesh, 2));
    ASSERT_TRUE(run("redo"));
    MPointArray moved, rebuilt;
    ASSERT_TRUE(mesh.getPoints(moved));
    ASSERT_TRUE(run("setAttr polyPlane1.width 2")) << errors();
    EXPECT_EQ(MPoint(-1, 0.5, -0.5), point(mesh, 2));
    EXPECT_EQ(MPoint(1, 0, -0.5), point(mesh, 3));
    ASSERT_TRUE(run("setAttr polyPlane1.width 1"));
    ASSERT_TRUE(mesh.getPoints(rebuilt));
    ASSERT_EQ(moved.length(), rebuilt.length());
    for (unsigned i = 0; i < moved.length(); ++i)
        EXPECT_EQ(moved[i], rebuilt[i]) << "vertex " << i;
    ASSERT_TRUE(run("undo; undo; undo; undo"));
    EXPECT_EQ(MPoint(0.5, 1, 0.5), point(mesh, 1));

    // World space goes through the transform.
    run("setAttr pPlane1.translate 10 0 0; setAttr pPlane1.scale 2 2 2");
    ASSERT_TRUE(run("move 12 4 6 pPlane1.vtx[3]")) << errors();
    EXPECT_TRUE(point(mesh, 3).isEquivalent(MPoint(1, 2, 3)));
    MDoubleArray world = value("xform -q -ws -t pPlaneShape1.vtx[3]").asDoubleArray();
    ASSERT_EQ(3u, world.length());
    EXPECT_NEAR(12, world[0], 1e-9);
    EXPECT_NEAR(4, world[1], 1e-9);
    EXPECT_NEAR(6, world[2], 1e-9);
    ASSERT_TRUE(run("move -r -ws 2 0 0 pPlane1.vtx[3]"));
    EXPECT_TRUE(point(mesh, 3).isEquivalent(MPoint(2, 2, 3)));
    ASSERT_TRUE(run("xform -os -t 0 0 0 pPlane1.vtx[3]"));
    EXPECT_TRUE(point(mesh, 3).isEquivalent(MPoint(0, 0, 0)));

    ASSERT_TRUE(run("undo; undo; undo; undo"));
    EXPECT_EQ(MPoint(0.5, 0, -0.5), point(mesh, 3));
    EXPECT_EQ(MPoint(0.5, 1, 0.5), point(mesh, 1));

    EXPECT_FALSE(run("move -r 0 1 0 pPlane1.vtx[4]"));
    EXPECT_FALSE(run("move -r 0 1 pPlane1.vtx[0]"));
    EXPECT_FALSE(run("move -r 0 1 0 pPlane1.f[0]"));
}

TEST_F(MeshEditTest, DuplicateCopiesTheCurrentGeometryIntoANewShape)
{
    run("polyPlane -sx 2 -sy 1; setAttr pPlane1.translate 1 2 3; move -r 0 1 0 pPlane1.vtx[0]");
    MStringArray copies = strings("duplicate pPlane1");
    ASSERT_EQ(1u, copies.length());
    EXPECT_EQ(MString("pPlane2"), copies[0]);
    EXPECT_EQ(MString("mesh"), text("nodeType pPlaneShape2"));
    EXPECT_EQ(MString("pPlane2"), strings("ls -sl")[0]);
    MFnMesh copy = meshNamed("pPlaneShape2");
    MFnMesh original = meshNamed("pPlaneShape1");
    EXPECT_EQ(original.numPolygons(), copy.numPolygons());
    EXPECT_EQ(original.numUVs(), copy.numUVs());
    EXPECT_EQ(point(original, 0), point(copy, 0));
    EXPECT_EQ(0.0, number("getAttr pPlaneShape2.pnts[0].pnty")) << "tweaks are baked into the copy";
    EXPECT_EQ(2.0, number("getAttr pPlane2.translateY"));

    // The copy is independent of its original.
    run("move -r 0 5 0 pPlane1.vtx[1]");
    EXPECT_EQ(0.0, point(copy, 1).y);

    ASSERT_TRUE(run("undo; undo"));
    EXPECT_EQ(0.0, number("objExists pPlane2"));
    EXPECT_EQ(MString("twin"), strings("duplicate -n twin pPlane1")[0]);
    EXPECT_EQ(1.0, number("objExists twinShape"));
    EXPECT_FALSE(run("duplicate pPlaneShape1"));

    // Other shapes are copied too: a curve's current shape without its history, a locator's values.
    run("circle -n ring -r 2; spaceLocator -n spot; setAttr spotShape.localScale 2 3 4; duplicate -n ring2 ring; "
        "duplicate -n spot2 spot; setAttr makeNurbCircle1.radius 5");
    EXPECT_NEAR(2.0, value("exactWorldBoundingBox ring2").asDoubleArray()[3], 1e-6);
    EXPECT_EQ(3.0, number("getAttr spot2Shape.localScaleY"));
}
