// Meshes in the host: the poly primitive commands, MFnMesh queries (counts,
// normals, UVs, triangles, closest points and ray hits against brute force),
// world-space mesh data under a moved transform, and bad input refused.

#include "SceneTestSupport.h"

#include "support/TestValues.h"

#include <maya/MDagPath.h>
#include <maya/MFloatArray.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFloatVectorArray.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnMesh.h>
#include <maya/MFnMeshData.h>
#include <maya/MIntArray.h>
#include <maya/MMatrix.h>
#include <maya/MPlug.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <set>

namespace {

// Mesh data (no shape) from flat lists.
MObject meshData(const std::vector<MPoint>& points, const std::vector<int>& counts, const std::vector<int>& connects,
                 MStatus* status = nullptr)
{
    MFnMeshData dataFn;
    MObject data = dataFn.create();
    MPointArray p;
    for (const MPoint& point : points)
        p.append(point);
    MIntArray c, v;
    for (int n : counts)
        c.append(n);
    for (int i : connects)
        v.append(i);
    MFnMesh fn;
    fn.create(int(points.size()), int(counts.size()), p, c, v, data, status);
    return data;
}

// Reference closest point on a triangle: the best of the interior projection
// and the three edges, each computed on its own.
MPoint referenceClosest(const MPoint& p, const MPoint& a, const MPoint& b, const MPoint& c)
{
    MVector n = (b - a) ^ (c - a);
    n.normalize();
    MPoint projected = p - ((p - a) * n) * n;
    auto inside = [&](const MPoint& q) {
        return (((b - a) ^ (q - a)) * n) >= 0 && (((c - b) ^ (q - b)) * n) >= 0 && (((a - c) ^ (q - c)) * n) >= 0;
    };
    if (inside(projected))
        return projected;
    auto onSegment = [&](const MPoint& s, const MPoint& e) {
        MVector d = e - s;
        double t = std::max(0.0, std::min(1.0, ((p - s) * d) / (d * d)));
        return s + t * d;
    };
    MPoint best = onSegment(a, b);
    for (const MPoint& q : {onSegment(b, c), onSegment(c, a)})
        if (p.distanceTo(q) < p.distanceTo(best))
            best = q;
    return best;
}

class MeshTest : public SceneTest
{
};

} // namespace

// --------------------------------------------------------------------------
// Poly primitives

TEST_F(MeshTest, PrimitivesAreNamedAsMayaNamesThemUndoRemovesThemAndBadFlagsAreRefused)
{
    MStringArray first = strings("polyPlane -sx 4 -sy 3");
    ASSERT_EQ(2u, first.length());
    EXPECT_EQ(MString("pPlane1"), first[0]);
    EXPECT_EQ(MString("pPlaneShape1"), first[1]);
    MStringArray second = strings("polyPlane");
    EXPECT_EQ(MString("pPlane2"), second[0]);
    EXPECT_EQ(MString("pPlaneShape2"), second[1]);
    MStringArray named = strings("polyCube -n box");
    EXPECT_EQ(MString("box"), named[0]);
    EXPECT_EQ(MString("boxShape"), named[1]);
    EXPECT_EQ(MString("mesh"), text("nodeType boxShape"));
    EXPECT_EQ(MString("box"), strings("ls -sl")[0]);

    ASSERT_TRUE(run("undo"));
    EXPECT_EQ(0.0, number("objExists box"));
    EXPECT_EQ(MString("pPlane2"), strings("ls -sl")[0]);
    ASSERT_TRUE(run("redo"));
    EXPECT_EQ(1.0, number("objExists boxShape"));
    EXPECT_EQ(8, MFnMesh(nodeNamed("boxShape")).numVertices());

    // Bad primitive flags are refused without creating anything.
    EXPECT_FALSE(run("polyPlane -sx 0"));
    EXPECT_FALSE(run("polySphere -sa 2.5"));
    EXPECT_FALSE(run("polyCube -w -1"));
    EXPECT_FALSE(run("polyCube -w abc"));
    EXPECT_FALSE(run("polyPlane -sx 1e30"));
    EXPECT_FALSE(run("polySphere -sh -5"));
    EXPECT_NE(std::string::npos, errors().find("polyPlane"));
    EXPECT_EQ(3u, strings("ls -type mesh").length());
}

TEST_F(MeshTest, PrimitiveCountsUVsAndSizes)
{
    run("polyPlane -w 4 -h 2 -sx 4 -sy 3");
    MFnMesh plane(nodeNamed("pPlaneShape1"));
    EXPECT_EQ(20, plane.numVertices());
    EXPECT_EQ(12, plane.numPolygons());
    EXPECT_EQ(4 * 4 + 3 * 5, plane.numEdges());
    EXPECT_EQ(48, plane.numFaceVertices());
    EXPECT_EQ(20, plane.numUVs());
    EXPECT_EQ(MString("map1"), plane.currentUVSetName());
    MPointArray points;
    ASSERT_TRUE(plane.getPoints(points));
    EXPECT_EQ(MPoint(-2, 0, 1), points[0]);
    EXPECT_EQ(MPoint(2, 0, -1), points[19]);
    // UVs run with the vertices: a face's corner UV is its vertex's grid position.
    MIntArray vertices;
    ASSERT_TRUE(plane.getPolygonVertices(5, vertices));
    for (unsigned corner = 0; corner < vertices.length(); ++corner) {
        float u = -1, v = -1;
        ASSERT_TRUE(plane.getPolygonUV(5, int(corner), u, v));
        EXPECT_FLOAT_EQ(float((points[unsigned(vertices[corner])].x + 2) / 4), u);
        EXPECT_FLOAT_EQ(float((1 - points[unsigned(vertices[corner])].z) / 2), v);
    }
    MVector up;
    ASSERT_TRUE(plane.getPolygonNormal(0, up));
    EXPECT_NEAR(1.0, up.y, 1e-9);

    run("polyCube -w 2 -h 4 -d 6");
    MFnMesh cube(nodeNamed("pCubeShape1"));
    EXPECT_EQ(8, cube.numVertices());
    EXPECT_EQ(6, cube.numPolygons());
    EXPECT_EQ(12, cube.numEdges());
    EXPECT_EQ(14, cube.numUVs());
    MPoint corner;
    ASSERT_TRUE(cube.getPoint(0, corner));
    EXPECT_EQ(MPoint(-1, -2, 3), corner);

    run("polyCube -sx 2 -sy 3 -sz 4");
    MFnMesh divided(nodeNamed("pCubeShape2"));
    EXPECT_EQ(2 * (2 * 3 + 3 * 4 + 4 * 2), divided.numPolygons());
    EXPECT_EQ((2 * 3 + 2 * 4) * 3 + 2 * 2 * 3, divided.numVertices());
    // A closed surface of genus 0.
    EXPECT_EQ(2, divided.numVertices() - divided.numEdges() + divided.numPolygons());

    run("polySphere -r 2");
    MFnMesh sphere(nodeNamed("pSphereShape1"));
    EXPECT_EQ(382, sphere.numVertices());
    EXPECT_EQ(400, sphere.numPolygons());
    EXPECT_EQ(780, sphere.numEdges());
    EXPECT_EQ(439, sphere.numUVs());
    ASSERT_TRUE(sphere.getPoints(points));
    for (unsigned i = 0; i < points.length(); ++i)
        EXPECT_NEAR(2.0, MVector(points[i]).length(), 1e-6);
    EXPECT_EQ(MPoint(0, -2, 0), points[380]);
    EXPECT_EQ(MPoint(0, 2, 0), points[381]);
}

// --------------------------------------------------------------------------
// Normals

TEST_F(MeshTest, NormalsSplitAcrossHardEdgesAndShareAcrossSmoothOnes)
{
    run("polyCube");
    MFnMesh cube(nodeNamed("pCubeShape1"));
    // Every cube edge is hard: each face corner has its own normal, equal to the face's.
    EXPECT_EQ(24, cube.numNormals());
    MFloatVectorArray normals;
    ASSERT_TRUE(cube.getNormals(normals));
    std::set<int> seen;
    for (int f = 0; f < 6; ++f) {
        MIntArray ids;
        ASSERT_TRUE(cube.getFaceNormalIds(f, ids));
        MVector faceNormal;
        ASSERT_TRUE(cube.getPolygonNormal(f, faceNormal));
        for (unsigned i = 0; i < ids.length(); ++i) {
            EXPECT_TRUE(seen.insert(ids[i]).second);
            EXPECT_NEAR(1.0, MVector(normals[unsigned(ids[i])]) * faceNormal, 1e-6);
        }
    }

    // The sphere is smooth: one normal per vertex, pointing away from the centre.
    run("polySphere -sa 12 -sh 8");
    MFnMesh sphere(nodeNamed("pSphereShape1"));
    EXPECT_EQ(sphere.numVertices(), sphere.numNormals());
    MPointArray points;
    ASSERT_TRUE(sphere.getPoints(points));
    for (int f = 0; f < sphere.numPolygons(); ++f) {
        MIntArray ids, vertices;
        ASSERT_TRUE(sphere.getFaceNormalIds(f, ids));
        ASSERT_TRUE(sphere.getPolygonVertices(f, vertices));
        ASSERT_EQ(vertices.length(), ids.length());
        for (unsigned i = 0; i < ids.length(); ++i)
            EXPECT_EQ(vertices[i], ids[i]);
    }
    ASSERT_TRUE(sphere.getNormals(normals));
    for (unsigned v = 0; v < points.length(); ++v)
        EXPECT_NEAR(1.0, MVector(normals[v]) * MVector(points[v]).normal(), 0.02);
    MVector vertexNormal;
    ASSERT_TRUE(sphere.getVertexNormal(0, true, vertexNormal));
    EXPECT_NEAR(1.0, vertexNormal * MVector(points[0]).normal(), 0.02);
    EXPECT_FALSE(sphere.getVertexNormal(points.length(), true, vertexNormal));

    // Two faces folded along a shared smooth edge: the edge's ends share normals.
    MObject folded = meshData({{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}, {0, 1, 0}, {0, 1, 1}}, {4, 4},
                              {0, 1, 2, 3, 0, 3, 5, 4});
    MFnMesh fold(folded);
    EXPECT_EQ(6, fold.numNormals());
    MIntArray a, b;
    fold.getFaceNormalIds(0, a);
    fold.getFaceNormalIds(1, b);
    EXPECT_EQ(a[0], b[0]);
    EXPECT_EQ(a[3], b[1]);
    int2 ends;
    int shared = -1;
    for (int e = 0; e < fold.numEdges(); ++e) {
        ASSERT_TRUE(fold.getEdgeVertices(e, ends));
        if (std::min(ends[0], ends[1]) == 0 && std::max(ends[0], ends[1]) == 3)
            shared = e;
        else
            EXPECT_FALSE(fold.isEdgeSmooth(e));  // border edges are hard
    }
    ASSERT_GE(shared, 0);
    EXPECT_TRUE(fold.isEdgeSmooth(shared));
}

// --------------------------------------------------------------------------
// Triangles

TEST_F(MeshTest, ConvexFacesFanAndConcaveFacesTriangulateInEveryOrientation)
{
    // A convex quad fans from its first corner.
    MFnMesh quad(meshData({{0, 0, 0}, {1, 0, 0}, {1, 0, -1}, {0, 0, -1}}, {4}, {0, 1, 2, 3}));
    MIntArray quadCounts, quadTriangles;
    ASSERT_TRUE(quad.getTriangles(quadCounts, quadTriangles));
    EXPECT_EQ(toVector(quadCounts), std::vector<int>{2});
    EXPECT_EQ(toVector(quadTriangles), (std::vector<int>{0, 1, 2, 0, 2, 3}));
    // One polygon's triangles, as getTriangles lists them; none past its last.
    auto polygonTriangles = [](const MFnMesh& mesh, int polygon, int count) {
        std::vector<int> vertices(size_t(count) * 3);
        for (int t = 0; t < count; ++t)
            EXPECT_TRUE(mesh.getPolygonTriangleVertices(polygon, t, &vertices[size_t(t) * 3]));
        int past[3];
        EXPECT_FALSE(mesh.getPolygonTriangleVertices(polygon, count, past));
        return vertices;
    };
    // A corner moved inside makes a notch the fan would spill over: the triangles follow it.
    MPointArray notched;
    ASSERT_TRUE(quad.getPoints(notched));
    notched[1] = MPoint(0.25, 0, -0.6);
    ASSERT_TRUE(quad.setPoints(notched));
    ASSERT_TRUE(quad.getTriangles(quadCounts, quadTriangles));
    EXPECT_NE(toVector(quadTriangles), (std::vector<int>{0, 1, 2, 0, 2, 3}));
    EXPECT_EQ(polygonTriangles(quad, 0, 2), toVector(quadTriangles));

    // Concave outlines in a plane (u, v), starting at a corner that does not see the whole face
    // (the notch), or whose first convex corner's ear encloses a reflex vertex (the U and the
    // arrow), so a fan, or an ear test that never looks for enclosed vertices, spills outside.
    const std::vector<std::vector<std::pair<double, double>>> outlines = {
        {{0, 0}, {2, 0}, {2, 3}, {0, 2}, {1, 1}},                                   // notched square
        {{0, 0}, {3, 0}, {3, 3}, {2, 3}, {2, 1}, {1, 1}, {1, 3}, {0, 3}},           // U
        {{0, 1}, {3, 1}, {3, 0}, {5, 2}, {3, 4}, {3, 3}, {0, 3}},                   // arrow
        {{0, 0}, {0, 3}, {1, 3}, {1, 1}, {3, 1}, {3, 0}},                           // reversed L
        {{0, 3}, {1, 1}, {3, 1}, {1.5, 0}, {2, -2}, {0, -1}, {-2, -2}, {-1.5, 0}, {-3, 1}, {-1, 1}}, // star
    };
    // Planes facing +-X, +-Y and +-Z: the outline's (u, v) run along these axes.
    struct Plane
    {
        MVector u, v;
    };
    const Plane planes[] = {
        {{0, 1, 0}, {0, 0, 1}}, {{0, 0, 1}, {0, 1, 0}}, // +X, -X
        {{0, 0, 1}, {1, 0, 0}}, {{1, 0, 0}, {0, 0, 1}}, // +Y, -Y
        {{1, 0, 0}, {0, 1, 0}}, {{0, 1, 0}, {1, 0, 0}}, // +Z, -Z
    };
    for (const Plane& plane : planes) {
        const MVector facing = plane.u ^ plane.v;
        for (size_t shape = 0; shape < outlines.size(); ++shape) {
            std::vector<MPoint> points;
            std::vector<int> ids;
            for (const auto& uv : outlines[shape]) {
                ids.push_back(int(points.size()));
                points.push_back(MPoint(0.5, -0.25, 2.0) + uv.first * plane.u + uv.second * plane.v);
            }
            MFnMesh mesh(meshData(points, {int(points.size())}, ids));
            MIntArray counts, triangles;
            ASSERT_TRUE(mesh.getTriangles(counts, triangles));
            ASSERT_EQ(int(points.size()) - 2, counts[0]) << "shape " << shape << " facing " << facing;
            EXPECT_EQ(polygonTriangles(mesh, 0, counts[0]), toVector(triangles)) << "shape " << shape;

            // Signed areas along the face's own normal: every triangle on the face's side, and
            // together they cover the face exactly once.
            MVector newell(0, 0, 0);
            for (size_t i = 0; i < points.size(); ++i)
                newell += MVector(points[i]) ^ MVector(points[(i + 1) % points.size()]);
            const double faceArea = 0.5 * newell.length();
            const MVector normal = newell.normal();
            double sum = 0;
            for (unsigned t = 0; t < triangles.length(); t += 3) {
                const MPoint& a = points[unsigned(triangles[t])];
                const MPoint& b = points[unsigned(triangles[t + 1])];
                const MPoint& c = points[unsigned(triangles[t + 2])];
                const double area = 0.5 * (((b - a) ^ (c - a)) * normal);
                EXPECT_GT(area, 1e-12) << "triangle " << t / 3 << " of shape " << shape << " facing " << facing;
                sum += std::fabs(area);
            }
            EXPECT_NEAR(faceArea, sum, 1e-9) << "shape " << shape << " facing " << facing;
        }
    }
}

// --------------------------------------------------------------------------
// Closest points and intersections

TEST_F(MeshTest, ClosestPointAndIntersectionAgreeWithBruteForce)
{
    run("polySphere -r 3 -sa 24 -sh 16; polyCube -w 2 -sx 3 -sy 2 -sz 2");
    std::mt19937 random(7);
    std::uniform_real_distribution<double> coordinate(-5, 5);
    for (const char* name : {"pSphereShape1", "pCubeShape1"}) {
        MFnMesh mesh(nodeNamed(name));
        MPointArray points;
        ASSERT_TRUE(mesh.getPoints(points));
        MIntArray counts, triangles;
        ASSERT_TRUE(mesh.getTriangles(counts, triangles));
        std::vector<int> faceOfTriangle;
        for (unsigned f = 0; f < counts.length(); ++f)
            faceOfTriangle.insert(faceOfTriangle.end(), size_t(counts[f]), int(f));

        for (int query = 0; query < 200; ++query) {
            const MPoint p(coordinate(random), coordinate(random), coordinate(random));
            double best = std::numeric_limits<double>::infinity();
            for (unsigned t = 0; t < triangles.length(); t += 3) {
                MPoint q = referenceClosest(p, points[unsigned(triangles[t])], points[unsigned(triangles[t + 1])],
                                            points[unsigned(triangles[t + 2])]);
                best = std::min(best, p.distanceTo(q));
            }
            MPoint closest;
            int face = -1;
            ASSERT_TRUE(mesh.getClosestPoint(p, closest, MSpace::kObject, &face));
            EXPECT_NEAR(best, p.distanceTo(closest), 1e-5) << name << " query " << query;
            ASSERT_GE(face, 0);
            ASSERT_LT(face, mesh.numPolygons());

            // A ray from outside towards a random point near the centre: the
            // first hit is the nearest crossing of any triangle.
            const MPoint target(coordinate(random) * 0.1, coordinate(random) * 0.1, coordinate(random) * 0.1);
            MVector direction = target - p;
            const double distance = direction.length();
            direction.normalize();
            double nearest = std::numeric_limits<double>::infinity();
            int nearestFace = -1;
            for (unsigned t = 0; t < triangles.length(); t += 3) {
                const MPoint a = points[unsigned(triangles[t])], b = points[unsigned(triangles[t + 1])],
                             c = points[unsigned(triangles[t + 2])];
                MVector n = (b - a) ^ (c - a);
                const double denom = n * direction;
                if (std::fabs(denom) < 1e-12)
                    continue;
                const double s = (n * (a - p)) / denom;
                const MPoint x = p + s * direction;
                if (s < 0 || s > distance || (((b - a) ^ (x - a)) * n) < 0 || (((c - b) ^ (x - b)) * n) < 0 ||
                    (((a - c) ^ (x - c)) * n) < 0)
                    continue;
                if (s < nearest) {
                    nearest = s;
                    nearestFace = faceOfTriangle[t / 3];
                }
            }
            MFloatPoint hit;
            float param = -1;
            int hitFace = -1, hitTriangle = -1;
            float bary1 = 0, bary2 = 0;
            MMeshIsectAccelParams accel = MFnMesh::autoUniformGridParams();
            const bool found = mesh.closestIntersection(
                MFloatPoint(float(p.x), float(p.y), float(p.z)),
                MFloatVector(float(direction.x), float(direction.y), float(direction.z)), nullptr, nullptr, false,
                MSpace::kObject, float(distance), false, &accel, hit, &param, &hitFace, &hitTriangle, &bary1, &bary2);
            ASSERT_EQ(nearestFace >= 0, found) << name << " ray " << query;
            if (found) {
                EXPECT_NEAR(nearest, param, 1e-4);
                EXPECT_EQ(nearestFace, hitFace);
                EXPECT_NEAR(0.0, hit.distanceTo(MFloatPoint(p + nearest * direction)), 1e-4);
                EXPECT_GE(hitTriangle, 0);
                EXPECT_LT(hitTriangle, counts[unsigned(hitFace)]);
            }
        }
    }
}

TEST_F(MeshTest, IntersectionHonoursFaceListsAndBothDirections)
{
    run("polyPlane -w 2 -h 2 -sx 2 -sy 2");
    MFnMesh plane(nodeNamed("pPlaneShape1"));
    MFloatPoint hit;
    float param = 0;
    int face = -1;
    const MFloatPoint above(0.5f, 1.0f, 0.5f);
    // Faces: 0 (-x,+z), 1 (+x,+z), 2 (-x,-z), 3 (+x,-z); the ray comes down on face 1.
    ASSERT_TRUE(plane.closestIntersection(above, MFloatVector(0, -1, 0), nullptr, nullptr, false, MSpace::kObject,
                                          10.0f, false, nullptr, hit, &param, &face, nullptr, nullptr, nullptr));
    EXPECT_EQ(1, face);
    EXPECT_FLOAT_EQ(1.0f, param);
    MIntArray others;
    others.append(0);
    others.append(3);
    EXPECT_FALSE(plane.closestIntersection(above, MFloatVector(0, -1, 0), &others, nullptr, false, MSpace::kObject,
                                           10.0f, false, nullptr, hit, &param, &face, nullptr, nullptr, nullptr));
    // Too short a ray misses; pointing away misses unless both directions are tested.
    EXPECT_FALSE(plane.closestIntersection(above, MFloatVector(0, -1, 0), nullptr, nullptr, false, MSpace::kObject,
                                           0.5f, false, nullptr, hit, &param, &face, nullptr, nullptr, nullptr));
    EXPECT_FALSE(plane.closestIntersection(above, MFloatVector(0, 1, 0), nullptr, nullptr, false, MSpace::kObject,
                                           10.0f, false, nullptr, hit, &param, &face, nullptr, nullptr, nullptr));
    ASSERT_TRUE(plane.closestIntersection(above, MFloatVector(0, 1, 0), nullptr, nullptr, false, MSpace::kObject,
                                          10.0f, true, nullptr, hit, &param, &face, nullptr, nullptr, nullptr));
    EXPECT_FLOAT_EQ(-1.0f, param);
}

// --------------------------------------------------------------------------
// World space

TEST_F(MeshTest, WorldMeshCarriesTheInstanceMatrixAndFollowsTheTransform)
{
    run("polyCube");
    run("setAttr pCube1.translate 1 2 3; setAttr pCube1.scale 2 2 2");
    MObject shape = nodeNamed("pCubeShape1");
    MPlug worldMesh = MFnDependencyNode(shape).findPlug("worldMesh", true).elementByLogicalIndex(0);
    MPointArray local;
    ASSERT_TRUE(MFnMesh(shape).getPoints(local));

    for (const MVector& translate : {MVector(1, 2, 3), MVector(-4, 0, 5)}) {
        run("setAttr pCube1.translate " + std::to_string(translate.x) + " " + std::to_string(translate.y) + " " +
            std::to_string(translate.z));
        MObject data = worldMesh.asMObject();
        MFnMesh fn(data);
        MPointArray world, object;
        ASSERT_TRUE(fn.getPoints(world, MSpace::kWorld));
        ASSERT_TRUE(fn.getPoints(object, MSpace::kObject));
        MStatus status;
        const float* raw = fn.getRawPoints(&status);
        ASSERT_TRUE(status);
        ASSERT_EQ(local.length(), world.length());
        for (unsigned i = 0; i < local.length(); ++i) {
            EXPECT_EQ(local[i], object[i]);
            EXPECT_FLOAT_EQ(float(local[i].y), raw[i * 3 + 1]);
            EXPECT_TRUE(world[i].isEquivalent(MPoint(2 * local[i].x, 2 * local[i].y, 2 * local[i].z) + translate))
                << i;
        }
        // The shape's own function set needs a path for world space.
        MPointArray viaPath;
        ASSERT_TRUE(MFnMesh(pathNamed("pCubeShape1")).getPoints(viaPath, MSpace::kWorld));
        EXPECT_TRUE(viaPath[5].isEquivalent(world[5]));
        EXPECT_FALSE(MFnMesh(shape).getPoints(viaPath, MSpace::kWorld));
    }

    // Closest point in world space answers in world space.
    MPoint closest;
    ASSERT_TRUE(MFnMesh(pathNamed("pCubeShape1")).getClosestPoint(MPoint(-4, 10, 5), closest, MSpace::kWorld));
    EXPECT_TRUE(closest.isEquivalent(MPoint(-4, 1, 5)));
}

TEST_F(MeshTest, SetPointsAndTweaksReachOutMeshAndConnectedMeshesKeepTheirInput)
{
    run("polyPlane -sx 1 -sy 1");
    MObject shape = nodeNamed("pPlaneShape1");
    MPlug outMesh = MFnDependencyNode(shape).findPlug("outMesh", true);
    run("setAttr pPlaneShape1.pnts[2] 0 1 0");
    MPoint moved;
    ASSERT_TRUE(MFnMesh(outMesh.asMObject()).getPoint(2, moved));
    EXPECT_EQ(MPoint(-0.5, 1, -0.5), moved);

    // setPoints replaces the shape's own points and clears its tweaks.
    MFnMesh fn(shape);
    MPointArray points;
    ASSERT_TRUE(fn.getPoints(points));
    points[0] = MPoint(5, 5, 5);
    ASSERT_TRUE(fn.setPoints(points));
    MPointArray after;
    ASSERT_TRUE(MFnMesh(outMesh.asMObject()).getPoints(after));
    EXPECT_EQ(MPoint(5, 5, 5), after[0]);
    EXPECT_EQ(MPoint(-0.5, 1, -0.5), after[2]);
    EXPECT_EQ(0.0, number("getAttr pPlaneShape1.pnts[2].pnty"));
    points.remove(0);
    EXPECT_FALSE(fn.setPoints(points));

    // A connected inMesh feeds outMesh, and setPoints downstream becomes tweaks.
    run("polyCube; createNode mesh -n copyShape; connectAttr pCubeShape1.outMesh copyShape.inMesh");
    MObject copy = nodeNamed("copyShape");
    MFnMesh copyFn(copy);
    ASSERT_EQ(8, copyFn.numVertices());
    // Upstream edits flow down.
    run("move -r 0 3 0 pCube1.vtx[0]");
    MPoint at;
    ASSERT_TRUE(copyFn.getPoint(0, at));
    EXPECT_EQ(MPoint(-0.5, 2.5, 0.5), at);

    // Writing copyPoints downstream keeps the input and stores the difference as tweaks.
    MPointArray copyPoints;
    ASSERT_TRUE(copyFn.getPoints(copyPoints));
    copyPoints[1] = MPoint(9, 9, 9);
    ASSERT_TRUE(copyFn.setPoints(copyPoints));
    ASSERT_TRUE(copyFn.getPoint(1, at));
    EXPECT_EQ(MPoint(9, 9, 9), at);
    EXPECT_NEAR(8.5, number("getAttr copyShape.pnts[1].pntx"), 1e-6);
    MFnMesh source(nodeNamed("pCubeShape1"));
    ASSERT_TRUE(source.getPoint(1, at));
    EXPECT_EQ(MPoint(0.5, -0.5, 0.5), at);
    // A connected mesh writes no geometry of its own to scene files.
    const std::string scene = sceneText();
    const size_t start = scene.find("createNode mesh -n \"copyShape\"");
    ASSERT_NE(std::string::npos, start);
    const std::string written = scene.substr(start, scene.find("createNode", start + 1) - start);
    EXPECT_EQ(std::string::npos, written.find(".vt[")) << written;
}

// --------------------------------------------------------------------------
// Bad input

TEST_F(MeshTest, CreateRefusesBrokenTopologyAndQueriesRefuseBadIndices)
{
    MStatus status;
    meshData({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {3}, {0, 1, 7}, &status);
    EXPECT_EQ(MS::kInvalidParameter, status.statusCode());
    meshData({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {2}, {0, 1}, &status);
    EXPECT_FALSE(status);
    meshData({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {3}, {0, 1}, &status);
    EXPECT_FALSE(status);

    MFnMesh empty(meshData({}, {}, {}));
    MPoint p;
    EXPECT_FALSE(empty.getClosestPoint(MPoint(0, 0, 0), p));

    MFnMesh triangle(meshData({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {3}, {0, 1, 2}));
    MIntArray ids;
    int2 ends;
    float u, v;
    EXPECT_FALSE(triangle.getPolygonVertices(1, ids));
    EXPECT_FALSE(triangle.getPolygonVertices(-1, ids));
    EXPECT_FALSE(triangle.getFaceNormalIds(3, ids));
    EXPECT_FALSE(triangle.getEdgeVertices(3, ends));
    EXPECT_FALSE(triangle.getPoint(3, p));
    EXPECT_FALSE(triangle.getPolygonUV(0, 0, u, v));  // no UVs
    MString missing("nope");
    EXPECT_EQ(0, triangle.numUVs(missing, &status));
    EXPECT_FALSE(status);
    EXPECT_FALSE(MFnMesh().setObject(MObject::kNullObj));
}

TEST_F(MeshTest, CreatedUVsReachFacesOnlyThroughAssignUVsOnDataAndOnAShape)
{
    // Two quads sharing an edge, with a UV list of six where the shared corners share UVs.
    MPointArray points;
    for (const MPoint& p : {MPoint(0, 0, 0), MPoint(1, 0, 0), MPoint(1, 1, 0), MPoint(0, 1, 0), MPoint(2, 0, 0),
                            MPoint(2, 1, 0)})
        points.append(p);
    const int countList[] = {4, 4};
    const int connectList[] = {0, 1, 2, 3, 1, 4, 5, 2};
    const MIntArray counts(countList, 2);
    const MIntArray connects(connectList, 8);
    const float uList[] = {0.0f, 0.5f, 0.5f, 0.0f, 1.0f, 1.0f};
    const float vList[] = {0.0f, 0.0f, 1.0f, 1.0f, 0.0f, 1.0f};
    const MFloatArray u(uList, 6);
    const MFloatArray v(vList, 6);
    // The second face keeps no UVs; the first shares its corners' ids with the list.
    const int uvCountList[] = {4, 0};
    const int uvIdList[] = {0, 1, 2, 3};
    MStatus status;
    MFnMeshData dataFn;
    MObject data = dataFn.create();
    MFnMesh onData;
    onData.create(6, 2, points, counts, connects, u, v, data, &status);
    ASSERT_TRUE(status);
    MFnMesh onShape;
    onShape.create(6, 2, points, counts, connects, u, v, MObject::kNullObj, &status);
    ASSERT_TRUE(status);
    for (MFnMesh* mesh : {&onData, &onShape}) {
        float fu = 0.0f;
        float fv = 0.0f;
        EXPECT_EQ(mesh->numUVs(), 6);
        EXPECT_FALSE(mesh->getPolygonUV(0, 1, fu, fv));  // listed, not yet assigned
        EXPECT_FALSE(mesh->assignUVs(MIntArray(uvCountList, 2), MIntArray(uvIdList, 3)));
        const int tooFew[] = {3, 0};
        EXPECT_FALSE(mesh->assignUVs(MIntArray(tooFew, 2), MIntArray(uvIdList, 3)));
        const int outside[] = {0, 1, 2, 6};
        EXPECT_FALSE(mesh->assignUVs(MIntArray(uvCountList, 2), MIntArray(outside, 4)));
        ASSERT_TRUE(mesh->assignUVs(MIntArray(uvCountList, 2), MIntArray(uvIdList, 4)));
        ASSERT_TRUE(mesh->getPolygonUV(0, 2, fu, fv));
        EXPECT_EQ(fu, 0.5f);
        EXPECT_EQ(fv, 1.0f);
        EXPECT_FALSE(mesh->getPolygonUV(1, 0, fu, fv));
    }
}

TEST_F(MeshTest, CopiesAndWorldSpaceNormalsFollowTheirSources)
{
    run("polySphere -r 2 -sa 16 -sh 10; setAttr pSphere1.rotateZ 90; setAttr pSphere1.translate 0 0 7");
    MFnMesh sphere(nodeNamed("pSphereShape1"));

    // A copy into mesh data is the same mesh, and independent of the shape.
    MFnMeshData dataFn;
    MObject data = dataFn.create();
    MFnMesh copy;
    MStatus status;
    copy.copy(nodeNamed("pSphereShape1"), data, &status);
    ASSERT_TRUE(status);
    EXPECT_EQ(sphere.numVertices(), copy.numVertices());
    EXPECT_EQ(sphere.numUVs(), copy.numUVs());
    MPointArray points;
    ASSERT_TRUE(copy.getPoints(points));
    points[0] = MPoint(100, 0, 0);
    ASSERT_TRUE(copy.setPoints(points));
    MPoint original;
    sphere.getPoint(0, original);
    EXPECT_NEAR(2.0, MVector(original).length(), 1e-6);

    // A copy under a transform makes a new shape there.
    ASSERT_TRUE(run("createNode transform -n holder"));
    MFnMesh placed;
    MObject shape = placed.copy(nodeNamed("pSphereShape1"), nodeNamed("holder"), &status);
    ASSERT_TRUE(status);
    EXPECT_TRUE(shape.hasFn(MFn::kMesh));
    EXPECT_EQ(1u, strings("listRelatives -c holder").length());

    // Closest point and normal in world space: on the rotated, moved sphere
    // the normal points away from its centre.
    MFnMesh placedSphere(pathNamed("pSphereShape1"));
    MPoint closest;
    MVector normal;
    const MPoint query(3, 1, 8);
    ASSERT_TRUE(placedSphere.getClosestPointAndNormal(query, closest, normal, MSpace::kWorld));
    const MVector outward = (query - MPoint(0, 0, 7)).normal();
    EXPECT_GT(normal * outward, 0.98);
    EXPECT_NEAR(2.0, (closest - MPoint(0, 0, 7)).length(), 0.1);
    // Face normals turn with the transform: the pole's fan faces +Y locally, -X in the world.
    MVector local, world;
    const int topFan = sphere.numPolygons() - 1;
    ASSERT_TRUE(placedSphere.getPolygonNormal(topFan, local));
    ASSERT_TRUE(placedSphere.getPolygonNormal(topFan, world, MSpace::kWorld));
    EXPECT_GT(local.y, 0.9);
    EXPECT_LT(world.x, -0.9);

    // Face-relative triangle corners name the same vertices as getTriangles.
    MIntArray counts, vertices, offsetCounts, corners;
    ASSERT_TRUE(sphere.getTriangles(counts, vertices));
    ASSERT_TRUE(sphere.getTriangleOffsets(offsetCounts, corners));
    ASSERT_EQ(vertices.length(), corners.length());
    unsigned t = 0;
    for (int f = 0; f < sphere.numPolygons(); ++f) {
        MIntArray face;
        sphere.getPolygonVertices(f, face);
        for (int i = 0; i < counts[unsigned(f)] * 3; ++i, ++t)
            EXPECT_EQ(vertices[t], face[unsigned(corners[t])]);
    }
}
