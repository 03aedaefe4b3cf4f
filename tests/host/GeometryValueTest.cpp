// Mesh and curve data held by ordinary attributes (a dynamic typed one, a
// node's generic one): set with Maya's "mesh" and "nurbsCurve" setAttr
// values, written to scene files in the same form and read back to the same
// points, faces, smoothing, UVs, degree, form and knots. Broken values are
// refused with a message naming the plug and leave the old value in place.

#include "SceneTestSupport.h"
#include "support/TestValues.h"

#include <maya/MDoubleArray.h>
#include <maya/MFnMesh.h>
#include <maya/MFnNurbsCurve.h>
#include <maya/MIntArray.h>
#include <maya/MPlug.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>

#include <sstream>

namespace {

// A quad and a triangle sharing the edge 1-2 (the only smooth one); the quad
// walks two edges backwards and has UVs, the triangle has none.
const char* const kMeshValue =
    "-type \"mesh\" \"v\" 5 0 0 0 1 0 0 1 0 -1 0 0 -1 2 0.25 -0.5 \"vn\" 0 "
    "\"vt\" 4 0 0 1 0 1 1 0 1 "
    "\"e\" 6 0 1 \"hard\" 1 2 \"smooth\" 3 2 \"hard\" 0 3 \"hard\" 1 4 \"hard\" 4 2 \"hard\" "
    "\"f\" 4 0 1 -3 -4 \"mu\" 0 4 0 1 2 3 \"f\" 3 4 5 -2";

// A closed loop: degree 3, periodic, its first three CVs repeated at the end.
const char* const kCurveValue = "-type \"nurbsCurve\" 3 4 2 no 3 9 -2 -1 0 1 2 3 4 5 6 "
                                "7 0 0 2 2 0 0 0 0 -2 -2 0 0 0 0 2 2 0 0 0 0 -2";

// Everything a mesh query tells apart, as text; empty when the plug holds no mesh.
std::string describeMesh(const char* plugName)
{
    const MObject data = plugNamed(plugName).asMObject();
    if (!data.hasFn(MFn::kMeshData))
        return std::string();
    MFnMesh fn(data);
    std::ostringstream out;
    MPointArray points;
    fn.getPoints(points);
    for (unsigned i = 0; i < points.length(); ++i)
        out << points[i].x << ' ' << points[i].y << ' ' << points[i].z << ';';
    out << '|';
    for (int f = 0; f < fn.numPolygons(); ++f) {
        MIntArray vertices;
        fn.getPolygonVertices(f, vertices);
        for (unsigned i = 0; i < vertices.length(); ++i) {
            int uv = -1;
            fn.getPolygonUVid(f, int(i), uv);
            out << vertices[i] << '/' << uv << ',';
        }
        out << ';';
    }
    out << '|';
    for (int e = 0; e < fn.numEdges(); ++e) {
        int2 ends;
        fn.getEdgeVertices(e, ends);
        out << ends[0] << '-' << ends[1] << (fn.isEdgeSmooth(e) ? 's' : 'h') << ' ';
    }
    return out.str();
}

std::string describeCurve(const char* plugName)
{
    const MObject data = plugNamed(plugName).asMObject();
    if (!data.hasFn(MFn::kNurbsCurveData))
        return std::string();
    MFnNurbsCurve fn(data);
    std::ostringstream out;
    out << fn.degree() << ' ' << fn.form() << '|';
    MDoubleArray knots;
    fn.getKnots(knots);
    for (unsigned i = 0; i < knots.length(); ++i)
        out << knots[i] << ' ';
    out << '|';
    MPointArray cvs;
    fn.getCVs(cvs);
    for (unsigned i = 0; i < cvs.length(); ++i)
        out << cvs[i].x << ' ' << cvs[i].y << ' ' << cvs[i].z << ';';
    return out.str();
}

class GeometryValues : public SceneTest
{
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        ASSERT_TRUE(run("createNode transform -n holder; addAttr -ln stored -dt \"mesh\" holder;"
                        "addAttr -ln path -dt \"nurbsCurve\" holder; createNode sceneTestNode -n gen"));
    }

    void saveNewAndOpen(const std::string& name)
    {
        const std::string path = tempPath(name);
        ASSERT_TRUE(run("file -rename \"" + path + "\"; file -save -type \"mayaAscii\""));
        ASSERT_TRUE(run("file -f -new"));
        ASSERT_TRUE(run("file -f -o \"" + path + "\"")) << errors();
    }
};

} // namespace

TEST_F(GeometryValues, MeshDataKeepsPointsFacesSmoothingAndUVsThroughSaveAndOpen)
{
    ASSERT_TRUE(run(std::string("setAttr holder.stored ") + kMeshValue)) << errors();
    ASSERT_TRUE(run(std::string("setAttr gen.geo ") + kMeshValue)) << errors();
    const std::string expected = "0 0 0;1 0 0;1 0 -1;0 0 -1;2 0.25 -0.5;|0/0,1/1,2/2,3/3,;1/-1,4/-1,2/-1,;|";
    const std::string stored = describeMesh("holder.stored");
    EXPECT_EQ(stored.substr(0, expected.size()), expected);
    EXPECT_NE(stored.find("1-2s"), std::string::npos) << stored;
    EXPECT_EQ(stored.find("0-1s"), std::string::npos) << stored;
    EXPECT_EQ(describeMesh("gen.geo"), stored);

    const std::string first = sceneText();
    EXPECT_NE(first.find("\tsetAttr \".stored\" -type \"mesh\" \n\t\t\"v\" 5\n\t\t0 0 0\n"), std::string::npos);
    // The triangle walks the shared edge backwards.
    EXPECT_NE(first.find("\t\t\"f\" 4 0 1 2 3\n\t\t\"mu\" 0 4 0 1 2 3\n\t\t\"f\" 3 4 5 -2\n\t\t;\n"),
              std::string::npos);
    EXPECT_NE(first.find("\tsetAttr \".geo\" -type \"mesh\" "), std::string::npos);

    saveNewAndOpen("meshValues.ma");
    EXPECT_EQ(describeMesh("holder.stored"), stored);
    EXPECT_EQ(describeMesh("gen.geo"), stored);
    EXPECT_EQ(sceneText(), first);
}

TEST_F(GeometryValues, CurveDataKeepsDegreeFormKnotsAndCVsThroughSaveAndOpen)
{
    ASSERT_TRUE(run(std::string("setAttr holder.path ") + kCurveValue)) << errors();
    const std::string loop = describeCurve("holder.path");
    EXPECT_EQ(loop, "3 3|-2 -1 0 1 2 3 4 5 6 |0 0 2;2 0 0;0 0 -2;-2 0 0;0 0 2;2 0 0;0 0 -2;");
    const std::string first = sceneText();
    EXPECT_NE(first.find("\tsetAttr \".path\" -type \"nurbsCurve\" \n\t\t3 4 2 no 3\n"), std::string::npos);

    saveNewAndOpen("curveValues.ma");
    EXPECT_EQ(describeCurve("holder.path"), loop);
    EXPECT_EQ(sceneText(), first);

    // Rational and two-dimensional values read as well: the weights drop, z is 0.
    ASSERT_TRUE(run("setAttr holder.path -type \"nurbsCurve\" 1 1 0 yes 2 2 0 1 2 0 0 1 3 4 1")) << errors();
    EXPECT_EQ(describeCurve("holder.path"), "1 1|0 1 |0 0 0;3 4 0;");
}

TEST_F(GeometryValues, BrokenValuesAreRefusedNamingThePlugAndKeepTheOldValue)
{
    ASSERT_TRUE(run(std::string("setAttr holder.stored ") + kMeshValue)) << errors();
    ASSERT_TRUE(run(std::string("setAttr holder.path ") + kCurveValue)) << errors();
    const std::string mesh = describeMesh("holder.stored"), curve = describeCurve("holder.path");

    const char* const triangle = "\"v\" 3 0 0 0 1 0 0 0 0 1 ";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {std::string("setAttr holder.stored -type \"mesh\" ") + triangle + "\"e\" 3 0 1 \"hard\" 1 2 \"hard\" 2 5 \"hard\"",
         "setAttr: bad mesh value for holder.stored: vertex 5 is out of range.\n"},
        {std::string("setAttr holder.stored -type \"mesh\" ") + triangle + "\"f\" 3 0 1 2",
         "setAttr: bad mesh value for holder.stored: expected \"e\", found \"f\".\n"},
        {"setAttr holder.stored -type \"mesh\" \"v\" 1 0 x 0 \"e\" 0",
         "setAttr: bad mesh value for holder.stored: \"x\" is not a number.\n"},
        {"setAttr holder.stored -type \"mesh\" \"v\" 3 0 0",
         "setAttr: bad mesh value for holder.stored: the value ends too soon.\n"},
        {std::string("setAttr holder.stored -type \"mesh\" ") + triangle + "\"e\" 3 0 1 \"soft\" 1 2 \"hard\" 2 0 \"hard\"",
         "setAttr: bad mesh value for holder.stored: edge 0 must be \"smooth\" or \"hard\", not \"soft\".\n"},
        {std::string("setAttr holder.stored -type \"mesh\" ") + triangle +
             "\"e\" 3 0 1 \"hard\" 1 2 \"hard\" 2 0 \"hard\" \"f\" 3 0 -2 2",
         "setAttr: bad mesh value for holder.stored: the edges of face 0 do not join into a loop.\n"},
        {std::string("setAttr holder.stored -type \"mesh\" ") + triangle +
             "\"e\" 3 0 1 \"hard\" 1 2 \"hard\" 2 0 \"hard\" \"f\" 3 0 1 2 \"mu\" 0 3 0 1 2",
         "setAttr: bad mesh value for holder.stored: UV set 0 is out of range.\n"},
        {"setAttr holder.path -type \"nurbsCurve\" 3 2 0 no 3 6 0 0 0 1 2 2 5 0 0 0 1 1 0 2 1 1 3 0 2 4 1 0",
         "setAttr: bad nurbsCurve value for holder.path: its degree, knots and CVs are not a valid curve.\n"},
        {"setAttr holder.path -type \"nurbsCurve\" 1 1 0 maybe 3 2 0 1 2 0 0 0 1 0 0",
         "setAttr: bad nurbsCurve value for holder.path: the rational flag must be yes or no, not \"maybe\".\n"},
        {"setAttr holder.path -type \"mesh\" \"v\" 0 \"e\" 0",
         "setAttr: type \"mesh\" does not match holder.path (nurbsCurve).\n"},
        {"setAttr gen.geo -type \"nurbsCurve\" 1 1 0 no 3 2 0 1 2 0 0 0 1 0 0",
         "setAttr: gen.geo does not accept nurbsCurve data.\n"},
    };
    for (const auto& [command, message] : cases) {
        clearMessages();
        EXPECT_FALSE(run(command)) << command;
        EXPECT_EQ(errors(), message) << command;
    }
    EXPECT_EQ(describeMesh("holder.stored"), mesh);
    EXPECT_EQ(describeCurve("holder.path"), curve);
    EXPECT_EQ(describeMesh("gen.geo"), "");
}
