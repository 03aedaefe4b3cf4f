// Meshes and curves in Maya ASCII files: written in Maya's own form, read
// back to the same geometry, and written again to the same text; broken
// geometry records are refused with a message instead of a crash.

#include "SceneTestSupport.h"

#include <maya/MDoubleArray.h>
#include <maya/MFloatArray.h>
#include <maya/MFnMesh.h>
#include <maya/MFnNurbsCurve.h>
#include <maya/MIntArray.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>

#include <fstream>
#include <sstream>

namespace {

MObject nodeNamed(const char* name)
{
    MSelectionList list;
    EXPECT_TRUE(list.add(name));
    MObject node;
    EXPECT_TRUE(list.getDependNode(0, node));
    return node;
}

// Everything a mesh query can tell apart, as text.
std::string describeMesh(const char* name)
{
    MFnMesh fn(nodeNamed(name));
    std::ostringstream out;
    MPointArray points;
    fn.getPoints(points);
    for (unsigned i = 0; i < points.length(); ++i)
        out << points[i].x << ' ' << points[i].y << ' ' << points[i].z << ';';
    MIntArray counts, vertices;
    fn.getVertices(counts, vertices);
    for (unsigned i = 0; i < vertices.length(); ++i)
        out << vertices[i] << ',';
    for (int e = 0; e < fn.numEdges(); ++e)
        out << fn.isEdgeSmooth(e);
    out << '|' << fn.numNormals() << '|' << fn.currentUVSetName().asChar() << '|';
    MFloatArray u, v;
    fn.getUVs(u, v);
    for (unsigned i = 0; i < u.length(); ++i)
        out << u[i] << ' ' << v[i] << ';';
    for (int f = 0; f < fn.numPolygons(); ++f)
        for (int c = 0; c < counts[unsigned(f)]; ++c) {
            int id = -1;
            fn.getPolygonUVid(f, c, id);
            out << id << ',';
        }
    return out.str();
}

std::string describeCurve(const char* name)
{
    MFnNurbsCurve fn(nodeNamed(name));
    std::ostringstream out;
    MPointArray cvs;
    fn.getCVs(cvs);
    MDoubleArray knots;
    fn.getKnots(knots);
    out << fn.degree() << ' ' << fn.form() << '|';
    for (unsigned i = 0; i < cvs.length(); ++i)
        out << cvs[i].x << ' ' << cvs[i].y << ' ' << cvs[i].z << ';';
    for (unsigned i = 0; i < knots.length(); ++i)
        out << knots[i] << ' ';
    return out.str();
}

class GeometryFileTest : public SceneTest
{
protected:
    MStatus save(const std::string& path) { return run("file -rename \"" + path + "\"; file -save -type \"mayaAscii\""); }
    MStatus open(const std::string& path) { return run("file -f -o \"" + path + "\""); }

    void writeFile(const std::string& path, const std::string& body)
    {
        std::ofstream(path) << "//Maya ASCII 2023 scene\nrequires maya \"2023\";\n" << body;
    }
};

} // namespace

TEST_F(GeometryFileTest, MeshesAndCurvesSurviveSaveAndOpenAndSaveAgainIdentically)
{
    run("polyCube -sx 2; polySphere -sa 8 -sh 5; polyPlane -sx 3 -sy 2");
    run("setAttr pPlaneShape1.pnts[4] 0 0.25 0");
    ASSERT_TRUE(run("createNode nurbsCurve -n curveShape1"));
    ASSERT_TRUE(run("setAttr curveShape1.cc -type \"nurbsCurve\" 3 2 0 no 3 7 0 0 0 1 2 2 2 5 0 0 0 1 1 0 2 1 1 3 0 2 4 1 0"))
        << errors();
    const std::string cube = describeMesh("pCubeShape1"), sphere = describeMesh("pSphereShape1"),
                      plane = describeMesh("pPlaneShape1"), curve = describeCurve("curveShape1");
    const std::string first = sceneText();
    // Maya's own records.
    EXPECT_NE(std::string::npos, first.find("setAttr \".uvst[0].uvsn\" -type \"string\" \"map1\";"));
    EXPECT_NE(std::string::npos, first.find("setAttr -s 19 \".uvst[0].uvsp[0:18]\" -type \"float2\""));
    EXPECT_NE(std::string::npos, first.find("\".fc[0:9]\" -type \"polyFaces\""));
    EXPECT_NE(std::string::npos, first.find("\t\tmu 0 4 "));
    EXPECT_NE(std::string::npos, first.find("setAttr \".cc\" -type \"nurbsCurve\""));

    const std::string path = tempPath("geometry.ma");
    ASSERT_TRUE(save(path));
    ASSERT_TRUE(run("file -f -new"));
    EXPECT_EQ(0u, strings("ls -type mesh").length());
    ASSERT_TRUE(open(path)) << errors();
    EXPECT_EQ(cube, describeMesh("pCubeShape1"));
    EXPECT_EQ(sphere, describeMesh("pSphereShape1"));
    EXPECT_EQ(plane, describeMesh("pPlaneShape1"));
    EXPECT_EQ(curve, describeCurve("curveShape1"));
    EXPECT_EQ(first, sceneText());
}

TEST_F(GeometryFileTest, FacesReferToEdgesAndReversedEdgesAreNegative)
{
    const std::string path = tempPath("quad.ma");
    writeFile(path, "createNode transform -n \"q\";\n"
                    "createNode mesh -n \"qShape\" -p \"q\";\n"
                    "\tsetAttr -s 4 \".vt[0:3]\" 0 0 0 1 0 0 1 0 -1 0 0 -1;\n"
                    "\tsetAttr -s 4 \".ed[0:3]\" 0 1 0 1 2 0 3 2 0 0 3 0;\n"
                    "\tsetAttr -s 1 \".fc[0]\" -type \"polyFaces\" f 4 0 1 -3 -4;\n");
    ASSERT_TRUE(open(path)) << errors();
    MFnMesh fn(nodeNamed("qShape"));
    MIntArray vertices;
    ASSERT_TRUE(fn.getPolygonVertices(0, vertices));
    ASSERT_EQ(4u, vertices.length());
    for (unsigned i = 0; i < 4; ++i)
        EXPECT_EQ(int(i), vertices[i]);
    MVector normal;
    fn.getPolygonNormal(0, normal);
    EXPECT_NEAR(1.0, normal.y, 1e-9);
}

TEST_F(GeometryFileTest, BrokenGeometryRecordsAreRefusedWithAMessage)
{
    const char* header = "createNode mesh -n \"bad\";\n"
                         "\tsetAttr -s 3 \".vt[0:2]\" 0 0 0 1 0 0 0 0 1;\n"
                         "\tsetAttr -s 3 \".ed[0:2]\" 0 1 0 1 2 0 2 0 0;\n";
    const std::vector<std::string> faces = {
        "\tsetAttr -s 1 \".fc[0]\" -type \"polyFaces\" f 3 0 1 7;\n",         // no edge 7
        "\tsetAttr -s 1 \".fc[0]\" -type \"polyFaces\" f 3 0 1;\n",           // too few edges
        "\tsetAttr -s 1 \".fc[0]\" -type \"polyFaces\" f 3 0 1 2 mu 0 3 0 1 2;\n",  // no UV set
        "\tsetAttr -s 1 \".fc[0]\" -type \"polyFaces\" x 3 0 1 2;\n",         // not a face record
        "\tsetAttr -s 1 \".fc[0]\" -type \"polyFaces\" f -2 0 1 2;\n",        // negative count
        "\tsetAttr \".vt[200000000]\" 1 2 3;\n",                              // a gap in the points
    };
    for (const std::string& face : faces) {
        const std::string path = tempPath("bad.ma");
        writeFile(path, std::string(header) + face);
        clearMessages();
        open(path);
        EXPECT_NE(std::string::npos, errors().find("setAttr")) << face;
    }
    const std::string path = tempPath("badcurve.ma");
    writeFile(path, "createNode nurbsCurve -n \"c\";\n"
                    "\tsetAttr \".cc\" -type \"nurbsCurve\" 3 2 0 no 3 6 0 0 0 1 2 2 5 0 0 0 1 1 0 2 1 1 3 0 2 4 1 0;\n");
    clearMessages();
    open(path);
    EXPECT_NE(std::string::npos, errors().find("not a valid curve"));
}
