// Meshes and curves in Maya ASCII files: written in Maya's own form, read
// back to the same geometry, and written again to the same text; broken
// geometry records are refused with a message instead of a crash.

#include "SceneTestSupport.h"

#include "commands/MessageOutput.h"
#include "support/TestValues.h"

#include <maya/MDagPath.h>
#include <maya/MDoubleArray.h>
#include <maya/MFloatArray.h>
#include <maya/MFloatVectorArray.h>
#include <maya/MFnMesh.h>
#include <maya/MFnNurbsCurve.h>
#include <maya/MIntArray.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

namespace {

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

namespace {

// A 4 x 4 square with a 2 x 2 square hole, in the xz plane: vertices 0-3 the
// outside, 4-7 the hole; edges 0-3 around the outside, 4-7 around the hole.
const char* const kFramePoints = R"(	setAttr -s 8 ".vt[0:7]"  0 0 0 4 0 0 4 0 4 0 0 4 1 0 1 3 0 1 3 0 3 1 0 3;
	setAttr -s 8 ".ed[0:7]"  0 1 0 1 2 0 2 3 0 3 0 0 4 5 0 5 6 0 6 7 0 7 4 0;
)";

const char* const kFrameUVs = R"(	setAttr ".uvst[0].uvsn" -type "string" "map1";
	setAttr -s 8 ".uvst[0].uvsp[0:7]" -type "float2" 0 0 1 0 1 1 0 1 0.25 0.25 0.75 0.25 0.75 0.75 0.25 0.75;
	setAttr ".cuvs" -type "string" "map1";
)";

class MeshFileAttributes : public SceneTest
{
protected:
    // Saving, reopening what was saved and saving again gives the same text.
    void expectStableRoundTrip()
    {
        const std::string first = save("first.ma");
        ASSERT_TRUE(run("file -f -o \"" + tempPath("first.ma") + "\"")) << errors();
        EXPECT_EQ(save("first.ma"), first);
    }

    static MDagPath meshPath(const char* name)
    {
        MSelectionList list;
        list.add(name);
        MDagPath path;
        EXPECT_TRUE(list.getDagPath(0, path)) << name;
        return path;
    }

    // The normal each corner of a face shades with.
    static MFloatVectorArray faceVertexNormals(const MFnMesh& mesh, int face)
    {
        MFloatVectorArray normals, result;
        MIntArray ids;
        EXPECT_TRUE(mesh.getNormals(normals));
        EXPECT_TRUE(mesh.getFaceNormalIds(face, ids));
        for (unsigned i = 0; i < ids.length(); ++i)
            result.append(normals[unsigned(ids[i])]);
        return result;
    }
};

void expectDirection(const MFloatVector& actual, float x, float y, float z)
{
    const float len = std::sqrt(x * x + y * y + z * z);
    EXPECT_NEAR(actual.x, x / len, 1e-5f);
    EXPECT_NEAR(actual.y, y / len, 1e-5f);
    EXPECT_NEAR(actual.z, z / len, 1e-5f);
}

TEST_F(MeshFileAttributes, HoleIsKeptWithItsFaceAndWrittenBackInPlace)
{
    host::MessageCapture warnings(true);
    const std::string faces = R"(	setAttr -s 1 -ch 8 ".fc[0]" -type "polyFaces" 
		f 4 0 1 2 3
		mu 0 4 0 1 2 3
		h 4 4 5 6 7
		mu 0 4 4 5 6 7;
)";
    ASSERT_TRUE(openText(std::string("createNode transform -n \"frame\";\n"
                                     "createNode mesh -n \"frameShape\" -p \"frame\";\n") +
                             kFrameUVs + kFramePoints + faces,
                         "frame.ma"))
        << errors();
    MFnMesh mesh(meshPath("frameShape"));
    EXPECT_EQ(mesh.numPolygons(), 1);
    EXPECT_EQ(mesh.numVertices(), 8);
    EXPECT_EQ(mesh.numEdges(), 8) << "the hole's edges are edges of the mesh";
    EXPECT_EQ(mesh.numFaceVertices(), 4) << "the hole's vertices are not corners of the face";
    MIntArray vertices;
    ASSERT_TRUE(mesh.getPolygonVertices(0, vertices));
    EXPECT_EQ(vertices.length(), 4u);
    EXPECT_EQ(std::string(warnings.text(host::MessageKind::kWarning).asChar()),
              tempPath("frame.ma") + " line 11: setAttr: frameShape has 1 face with holes, which the host does not "
                                     "draw or triangulate.\n");

    const std::string text = save("frame-saved.ma");
    EXPECT_NE(text.find(std::string("\tsetAttr -s 1 -ch 8 \".fc[0:0]\" -type \"polyFaces\" ") + "\n\t\tf 4 0 1 2 3" +
                        "\n\t\tmu 0 4 0 1 2 3" + "\n\t\th 4 4 5 6 7" + "\n\t\tmu 0 4 4 5 6 7;\n"),
              std::string::npos)
        << text;
    expectStableRoundTrip();
}

TEST_F(MeshFileAttributes, FaceWithHoleHasNoTrianglesWhileOtherFacesKeepTheirs)
{
    // The frame plus a quad beside it sharing edge 1 (vertices 1 and 2).
    const std::string body = R"(createNode transform -n "frame";
createNode mesh -n "frameShape" -p "frame";
	setAttr -s 10 ".vt[0:9]"  0 0 0 4 0 0 4 0 4 0 0 4 1 0 1 3 0 1 3 0 3 1 0 3 6 0 0 6 0 4;
	setAttr -s 11 ".ed[0:10]"  0 1 0 1 2 0 2 3 0 3 0 0 4 5 0 5 6 0 6 7 0 7 4 0 1 8 0 8 9 0 9 2 0;
	setAttr -s 2 -ch 12 ".fc[0:1]" -type "polyFaces" 
		f 4 0 1 2 3
		h 4 4 5 6 7
		f 4 8 9 10 -2;
)";
    ASSERT_TRUE(openText(body)) << errors();
    MFnMesh mesh(meshPath("frameShape"));
    MIntArray counts, triangleVertices;
    ASSERT_TRUE(mesh.getTriangles(counts, triangleVertices));
    ASSERT_EQ(counts.length(), 2u);
    EXPECT_EQ(counts[0], 0) << "a fan over the face's own loop would cover its hole";
    EXPECT_EQ(counts[1], 2);
    EXPECT_EQ(triangleVertices.length(), 6u);
    for (unsigned i = 0; i < triangleVertices.length(); ++i)
        EXPECT_TRUE(triangleVertices[i] == 1 || triangleVertices[i] == 2 || triangleVertices[i] == 8 ||
                    triangleVertices[i] == 9)
            << triangleVertices[i];
    EXPECT_EQ(value("select frameShape; polyEvaluate -t").asInt(), 2);
    expectStableRoundTrip();
}

TEST_F(MeshFileAttributes, OlderFaceAndHoleUVFormsReadAsUVSetZero)
{
    const std::string faces = R"(	setAttr ".fc[0]" -type "polyFaces" 
		f 4 0 1 2 3
		mf 4 3 2 1 0
		h 4 4 5 6 7
		mh 4 7 6 5 4;
)";
    ASSERT_TRUE(openText(std::string("createNode mesh -n \"frameShape\";\n") + kFrameUVs + kFramePoints + faces))
        << errors();
    MFnMesh mesh(meshPath("frameShape"));
    int uvId = -1;
    ASSERT_TRUE(mesh.getPolygonUVid(0, 0, uvId));
    EXPECT_EQ(uvId, 3);
    const std::string text = save("older.ma");
    EXPECT_NE(text.find("\n\t\tf 4 0 1 2 3\n\t\tmu 0 4 3 2 1 0\n\t\th 4 4 5 6 7\n\t\tmu 0 4 7 6 5 4;\n"),
              std::string::npos)
        << text;
}

TEST_F(MeshFileAttributes, FaceColoursOfEveryLoopAreWrittenBackAsRead)
{
    const std::string faces = R"(	setAttr ".fc[0]" -type "polyFaces" 
		f 4 0 1 2 3
		mc 0 4 0 1 2 3
		mc 1 4 4 4 4 -1
		fc 4 9 8 7 6
		h 4 4 5 6 7
		mc 0 4 10 11 12 13;
)";
    ASSERT_TRUE(openText(std::string("createNode mesh -n \"frameShape\";\n") + kFramePoints + faces)) << errors();
    const std::string text = save("colours.ma");
    EXPECT_NE(text.find("\n\t\tf 4 0 1 2 3\n\t\tmc 0 4 0 1 2 3\n\t\tmc 1 4 4 4 4 -1\n\t\tfc 4 9 8 7 6"
                        "\n\t\th 4 4 5 6 7\n\t\tmc 0 4 10 11 12 13;\n"),
              std::string::npos)
        << text;
    expectStableRoundTrip();
}

TEST_F(MeshFileAttributes, BadFaceRecordsAreReportedWithTheirLine)
{
    struct Case
    {
        const char* records;
        const char* message;
    };
    const Case cases[] = {
        {"f 4 0 1 2 3\n\t\tmu 0 3 0 1 2", "face 0 has 3 UVs for 4 corners."},
        {"f 4 0 1 2 3\n\t\tmu 0 4 0 1 2 3\n\t\tmu 0 4 0 1 2 3", "face 0 has more \"mu\" records for UV set 0 than it "
                                                               "has loops."},
        {"f 4 0 1 2 3\n\t\th 4 4 5 6 7\n\t\tmh 3 4 5 6", "face 0 has 3 UVs for 4 corners."},
        {"f 4 0 1 2 3\n\t\tmc 0 3 0 1 2", "face 0 has 3 colours for 4 corners."},
        {"f 4 0 1 2 3\n\t\tfc 4 0 1 2 -2", "colour id -2 is out of range."},
        {"f 4 0 1 2 3\n\t\th 4 4 5 6 9", "face 0 uses edge 9, which does not exist."},
        {"f 4 0 1 2 3\n\t\th 2 4 5", "the holes of frameShape.fc[0] are invalid: a hole has fewer than 3 vertices."},
    };
    for (const Case& c : cases) {
        clearMessages();
        const std::string body = std::string("createNode mesh -n \"frameShape\";\n") + kFrameUVs + kFramePoints +
                                 "\tsetAttr \".fc[0]\" -type \"polyFaces\" \n\t\t" + c.records + ";\n" +
                                 "createNode transform -n \"after\";\n";
        EXPECT_TRUE(openText(body, "bad.ma"));
        EXPECT_NE(errors().find(std::string("line 10: setAttr: ") + c.message + "\n"), std::string::npos)
            << c.records << "\n" << errors();
        EXPECT_EQ(value("objExists after").asInt(), 1) << "the read goes on";
    }
    clearMessages();
    ASSERT_TRUE(openText(std::string("createNode mesh -n \"frameShape\";\n") + kFramePoints +
                         "\tsetAttr \".fc[0]\" -type \"polyFaces\" \n\t\tf 4 0 1 2 3\n\t\tmf 4 0 1 2 3;\n",
                         "nouv.ma"));
    EXPECT_NE(errors().find("setAttr: face 0 has UVs, but the mesh has no UV set.\n"), std::string::npos) << errors();
}

// Two quads folded along edge 1-4: the left one in the xz plane, the right
// one rising. Faces: 0 1 4 3 and 1 2 5 4.
const char* const kFolded = R"(createNode transform -n "fold";
createNode mesh -n "foldShape" -p "fold";
	setAttr -s 6 ".vt[0:5]"  0 0 0 1 0 0 2 1 0 0 0 1 1 0 1 2 1 1;
	setAttr -s 7 ".ed[0:6]"  0 1 0 1 4 1 4 3 0 3 0 0 1 2 0 2 5 0 5 4 0;
)";

TEST_F(MeshFileAttributes, UserNormalsShadeTheirCornersAndUnsetOnesKeepComputedNormals)
{
    const std::string normals = R"(	setAttr -s 8 ".n[0:7]" -type "float3" 0 2 0 1e+20 1e+20 1e+20 1e+20 1e+20 1e+20 0 0 -1
		 1e+20 1e+20 1e+20 1e+20 1e+20 1e+20 1e+20 1e+20 1e+20 1e+20 1e+20 1e+20;
	setAttr -s 2 -ch 8 ".fc[0:1]" -type "polyFaces" 
		f 4 0 1 2 3
		f 4 4 5 6 -2;
)";
    ASSERT_TRUE(openText(std::string(kFolded) + normals, "normals.ma")) << errors();
    MFnMesh mesh(meshPath("foldShape"));
    const MFloatVectorArray left = faceVertexNormals(mesh, 0);
    ASSERT_EQ(left.length(), 4u);
    expectDirection(left[0], 0, 1, 0);   // given, and made unit length
    expectDirection(left[3], 0, 0, -1);  // given
    // Unset corners keep the computed normals: on the smooth edge 1-4 both
    // faces share one, leaning towards the rising face.
    const MFloatVectorArray right = faceVertexNormals(mesh, 1);
    ASSERT_EQ(right.length(), 4u);
    EXPECT_EQ(right[0], left[1]);
    EXPECT_EQ(right[3], left[2]);
    EXPECT_GT(left[2].x, 0.1f);
    EXPECT_LT(left[2].y, -0.5f);

    const std::string text = save("normals-saved.ma");
    EXPECT_NE(text.find("\tsetAttr -s 8 \".n[0:7]\" -type \"float3\" 0 2 0 1e+20 1e+20 1e+20 1e+20 1e+20 1e+20 0 0 -1 "
                        "1e+20 1e+20 1e+20 "),
              std::string::npos)
        << text;
    expectStableRoundTrip();
    MFnMesh reopened(meshPath("foldShape"));
    expectDirection(faceVertexNormals(reopened, 0)[3], 0, 0, -1);
}

TEST_F(MeshFileAttributes, UserNormalsAfterTheFacesAreAppliedToo)
{
    const std::string rest = R"(	setAttr -s 2 -ch 8 ".fc[0:1]" -type "polyFaces" 
		f 4 0 1 2 3
		f 4 4 5 6 -2;
	setAttr -s 8 ".n[0:7]" -type "float3" 1e+20 1e+20 1e+20 1e+20 1e+20 1e+20 1e+20 1e+20 1e+20 1e+20 1e+20 1e+20
		 1 0 0 1e+20 1e+20 1e+20 1e+20 1e+20 1e+20 1e+20 1e+20 1e+20;
)";
    ASSERT_TRUE(openText(std::string(kFolded) + rest)) << errors();
    MFnMesh mesh(meshPath("foldShape"));
    expectDirection(faceVertexNormals(mesh, 1)[0], 1, 0, 0);
}

TEST_F(MeshFileAttributes, UserNormalsOfAnotherLengthAreKeptButNotApplied)
{
    // One normal per vertex is not the form Maya writes; such lists are kept as read.
    const std::string rest = R"(	setAttr -s 6 ".n[0:5]" -type "float3" 1 0 0 1 0 0 1 0 0 1 0 0 1 0 0 1 0 0;
	setAttr -s 2 -ch 8 ".fc[0:1]" -type "polyFaces" 
		f 4 0 1 2 3
		f 4 4 5 6 -2;
)";
    ASSERT_TRUE(openText(std::string(kFolded) + rest)) << errors();
    MFnMesh mesh(meshPath("foldShape"));
    expectDirection(faceVertexNormals(mesh, 0)[0], 0, -1, 0);
    EXPECT_NE(save("short.ma").find("\tsetAttr -s 6 \".n[0:5]\" -type \"float3\" 1 0 0 1 0 0 1 0 0 1 0 0 1 0 0 1 0 0;\n"),
              std::string::npos);
}

} // namespace
