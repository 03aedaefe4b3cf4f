// Geometry in scenes saved in metres or inches: files and MEL give points,
// tweaks and CVs in the UI unit, while the API always sees centimetres.

#include "SceneTestSupport.h"

#include "support/TestValues.h"

#include <maya/MDagPath.h>
#include <maya/MDoubleArray.h>
#include <maya/MFnMesh.h>
#include <maya/MFnNurbsCurve.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

// A quad 0.592 wide with a tweak on vertex 2, under a transform at x = 2, and
// a curve through (0 0 0) (1 0 0) (1 1 0), all in the file's unit.
std::string sceneIn(const std::string& unit)
{
    return "//Maya ASCII 2023 scene\n"
           "requires maya \"2023\";\n"
           "currentUnit -l " + unit + " -a degree -t film;\n"
           "createNode transform -n \"q\";\n"
           "\tsetAttr \".t\" -type \"double3\" 2 0 0 ;\n"
           "createNode mesh -n \"qShape\" -p \"q\";\n"
           "\tsetAttr -s 4 \".vt[0:3]\"  0 0 0 0.592 0 0 0.592 0 -0.25 0 0 -0.25;\n"
           "\tsetAttr \".pt[2]\" -type \"float3\"  0 0.125 0 ;\n"
           "\tsetAttr -s 4 \".ed[0:3]\"  0 1 0 1 2 0 3 2 0 0 3 0;\n"
           "\tsetAttr -s 1 \".fc[0]\" -type \"polyFaces\" f 4 0 1 -3 -4;\n"
           "createNode transform -n \"c\";\n"
           "createNode nurbsCurve -n \"cShape\" -p \"c\";\n"
           "\tsetAttr \".cc\" -type \"nurbsCurve\" \n\t\t1 2 0 no 3\n\t\t3 0 1 2\n\t\t3\n\t\t0 0 0\n\t\t1 0 0\n"
           "\t\t1 1 0\n\t\t;\n";
}

MPoint meshPoint(const char* shape, int index, MSpace::Space space = MSpace::kObject)
{
    MPoint point;
    EXPECT_TRUE(MFnMesh(pathNamed(shape)).getPoint(index, point, space));
    return point;
}

MPoint curveCV(const char* shape, unsigned index)
{
    MPoint point;
    EXPECT_TRUE(MFnNurbsCurve(pathNamed(shape)).getCV(index, point, MSpace::kObject));
    return point;
}

std::string words(const MDoubleArray& values)
{
    std::ostringstream out;
    for (unsigned i = 0; i < values.length(); ++i)
        out << (i ? " " : "") << values[i];
    return out.str();
}

class SceneUnitsGeometry : public SceneTest
{
protected:
    MStatus openScene(const std::string& unit)
    {
        const std::string path = tempPath(unit + ".ma");
        std::ofstream(path) << sceneIn(unit);
        return run("file -f -o \"" + path + "\"");
    }

    // Saves, opens what was saved, and gives both texts.
    void saveOpenSave(std::string& first, std::string& second)
    {
        const std::string path = tempPath("saved.ma");
        ASSERT_TRUE(run("file -rename \"" + path + "\"; file -save -type \"mayaAscii\"")) << errors();
        first = sceneText();
        ASSERT_TRUE(run("file -f -new; file -f -o \"" + path + "\"")) << errors();
        second = sceneText();
    }

    std::string values(const std::string& script) { return words(value(script).asDoubleArray()); }
};

TEST_F(SceneUnitsGeometry, PointsTweaksAndCVsOfMetreAndInchScenesReachTheApiInCentimetres)
{
    for (const auto& [unit, cm] : {std::pair<std::string, double>{"meter", 100.0}, {"inch", 2.54}}) {
        SCOPED_TRACE(unit);
        ASSERT_TRUE(openScene(unit)) << errors();
        EXPECT_NEAR(0.592 * cm, meshPoint("qShape", 1).x, 1e-4);
        const MPoint tweaked = meshPoint("qShape", 2);
        EXPECT_NEAR(0.592 * cm, tweaked.x, 1e-4);
        EXPECT_NEAR(0.125 * cm, tweaked.y, 1e-6);
        EXPECT_NEAR(-0.25 * cm, tweaked.z, 1e-6);
        // The transform's translate was already converted: the world adds two units.
        EXPECT_NEAR(2.592 * cm, meshPoint("qShape", 1, MSpace::kWorld).x, 1e-4);
        EXPECT_TRUE(curveCV("cShape", 1).isEquivalent(MPoint(cm, 0, 0), 1e-9));
        EXPECT_TRUE(curveCV("cShape", 2).isEquivalent(MPoint(cm, cm, 0), 1e-9));
    }
}

TEST_F(SceneUnitsGeometry, CommandsGivePositionsInTheSceneUnit)
{
    for (const char* unit : {"meter", "inch"}) {
        SCOPED_TRACE(unit);
        ASSERT_TRUE(openScene(unit)) << errors();
        EXPECT_EQ("0.592 0 0", values("getAttr qShape.vt[1]"));
        EXPECT_EQ(0.592, value("getAttr qShape.vt[1]").asDoubleArray()[0]);
        EXPECT_EQ("0 0.125 0", values("getAttr qShape.pt[2]"));
        EXPECT_EQ(0.125, number("getAttr qShape.pt[2].py"));
        EXPECT_EQ("2.592 0 0", values("pointPosition -w q.vtx[1]"));
        EXPECT_EQ("0.592 0.125 -0.25", values("pointPosition -l q.vtx[2]"));
        EXPECT_EQ("1 1 0", values("pointPosition -l c.cv[2]"));
        EXPECT_EQ("2.592 0.125 -0.25", values("xform -q -ws -t q.vtx[2]"));
        EXPECT_EQ("2 0 0", values("xform -q -t q"));
        EXPECT_EQ("2 2.592 0 0.125 -0.25 0", values("polyEvaluate -b q"));
        const MDoubleArray world = value("xform -q -ws -m q").asDoubleArray();
        ASSERT_EQ(16u, world.length());
        EXPECT_EQ(2.0, world[12]);
        EXPECT_EQ(1.0, world[0]);
    }
}

TEST_F(SceneUnitsGeometry, MovingUnderMetresMovesByMetresAndUndoes)
{
    ASSERT_TRUE(openScene("meter")) << errors();
    ASSERT_TRUE(run("move -r 0 1 0 q.vtx[0]")) << errors();
    EXPECT_NEAR(100.0, meshPoint("qShape", 0).y, 1e-6);
    EXPECT_EQ("0 1 0", values("getAttr qShape.pt[0]"));
    ASSERT_TRUE(run("setAttr qShape.pt[3] 0 0 1")) << errors();
    EXPECT_NEAR(75.0, meshPoint("qShape", 3).z, 1e-6);
    ASSERT_TRUE(run("xform -ws -t 3 0 0 q.vtx[1]")) << errors();
    EXPECT_NEAR(300.0, meshPoint("qShape", 1, MSpace::kWorld).x, 1e-4);
    EXPECT_EQ("3 0 0", values("pointPosition -w q.vtx[1]"));
    ASSERT_TRUE(run("move -r 1 0 0 q")) << errors();
    EXPECT_EQ("3 0 0", values("xform -q -t q"));
    EXPECT_NEAR(400.0, meshPoint("qShape", 1, MSpace::kWorld).x, 1e-4);
    ASSERT_TRUE(run("xform -ws -piv 0.5 0 0 q")) << errors();
    EXPECT_EQ("0.5 0 0 0.5 0 0", values("xform -q -ws -piv q"));
    EXPECT_EQ("-2.5 0 0", values("xform -q -rp q"));
    ASSERT_TRUE(run("undo; undo; undo; undo; undo")) << errors();
    EXPECT_EQ("0 0 -0.25", values("pointPosition -l q.vtx[3]"));
    EXPECT_EQ("0 0 0", values("pointPosition -l q.vtx[0]"));
    EXPECT_EQ("2.592 0 0", values("pointPosition -w q.vtx[1]"));
}

TEST_F(SceneUnitsGeometry, SaveOpenSaveKeepsTheFilesNumbers)
{
    for (const char* unit : {"meter", "inch"}) {
        SCOPED_TRACE(unit);
        ASSERT_TRUE(openScene(unit)) << errors();
        std::string first, second;
        saveOpenSave(first, second);
        EXPECT_EQ(first, second);
        EXPECT_NE(std::string::npos, first.find(std::string("currentUnit -l ") + unit));
        EXPECT_NE(std::string::npos, first.find("setAttr -s 4 \".vt[0:3]\" 0 0 0 0.592 0 0 0.592 0 -0.25 0 0 -0.25;"))
            << first;
        EXPECT_NE(std::string::npos, first.find(" 0 0.125 0")) << first;
        EXPECT_NE(std::string::npos, first.find("\n\t\t1 0 0\n\t\t1 1 0\n")) << first;
        EXPECT_NEAR(59.2 * (unit[0] == 'm' ? 1.0 : 2.54 / 100.0), meshPoint("qShape", 1).x, 1e-4);
    }
}

TEST_F(SceneUnitsGeometry, SavingUnderAnotherUnitWritesThatUnit)
{
    ASSERT_TRUE(openScene("centimeter")) << errors();
    EXPECT_NEAR(0.592, meshPoint("qShape", 1).x, 1e-7);
    ASSERT_TRUE(run("currentUnit -l meter"));
    std::string first, second;
    saveOpenSave(first, second);
    EXPECT_EQ(first, second);
    EXPECT_NE(std::string::npos, first.find("currentUnit -l meter"));
    EXPECT_NE(std::string::npos, first.find("setAttr -s 4 \".vt[0:3]\" 0 0 0 0.00592 0 0 0.00592 0 -0.0025 0 0 -0.0025;"))
        << first;
    EXPECT_NE(std::string::npos, first.find("\n\t\t0.01 0 0\n\t\t0.01 0.01 0\n")) << first;
    // Read back, the points are where they were.
    EXPECT_NEAR(0.592, meshPoint("qShape", 1).x, 1e-7);
    EXPECT_NEAR(0.125, meshPoint("qShape", 2).y, 1e-7);
    EXPECT_EQ(MPoint(1, 1, 0), curveCV("cShape", 2));
}

TEST_F(SceneUnitsGeometry, TypedGeometryValuesTakeTheUIUnit)
{
    ASSERT_TRUE(run("currentUnit -l meter; createNode nurbsCurve -n k"));
    ASSERT_TRUE(run("setAttr k.cc -type \"nurbsCurve\" 1 1 0 no 3 2 0 1 2 0 0 0 0.5 0 0")) << errors();
    EXPECT_EQ(MPoint(50, 0, 0), curveCV("k", 1));
    ASSERT_TRUE(run("createNode sceneTestNode -n t"));
    ASSERT_TRUE(run("setAttr t.geo -type \"mesh\" \"v\" 3 0 0 0 0.25 0 0 0 0 -0.5 \"e\" 3 0 1 \"smooth\" "
                    "1 2 \"smooth\" 2 0 \"smooth\" \"f\" 3 0 1 2"))
        << errors();
    const std::string inMetres = sceneText();
    EXPECT_NE(std::string::npos, inMetres.find("\n\t\t0.25 0 0\n\t\t0 0 -0.5\n")) << inMetres;
    // The values hold centimetres: under centimetres they show 100 times larger.
    ASSERT_TRUE(run("currentUnit -l centimeter"));
    const std::string inCentimetres = sceneText();
    EXPECT_NE(std::string::npos, inCentimetres.find("\n\t\t25 0 0\n\t\t0 0 -50\n")) << inCentimetres;
    EXPECT_NE(std::string::npos, inCentimetres.find("\n\t\t0 0 0\n\t\t50 0 0\n")) << inCentimetres;
}

TEST_F(SceneUnitsGeometry, PrimitivesAndCurvesTakeSizesAndPointsInTheUIUnit)
{
    ASSERT_TRUE(run("currentUnit -l meter; polyCube -w 2 -n box; curve -d 1 -p 0 0 0 -p 1 0.5 0 -n k")) << errors();
    EXPECT_EQ("-1 1 -0.5 0.5 -0.5 0.5", values("polyEvaluate -b box"));
    EXPECT_EQ("1 0.5 0", values("pointPosition -l k.cv[1]"));
    ASSERT_TRUE(run("currentUnit -l centimeter"));
    EXPECT_EQ("-100 100 -50 50 -50 50", values("polyEvaluate -b box"));
    EXPECT_EQ("100 50 0", values("pointPosition -l k.cv[1]"));
}

TEST_F(SceneUnitsGeometry, ANewSceneStartsInCentimetres)
{
    ASSERT_TRUE(openScene("meter")) << errors();
    EXPECT_EQ(MString("m"), text("currentUnit -q -l"));
    ASSERT_TRUE(run("file -f -new"));
    EXPECT_EQ(MString("cm"), text("currentUnit -q -l"));
    EXPECT_EQ(MString("deg"), text("currentUnit -q -a"));
    EXPECT_EQ(MString("film"), text("currentUnit -q -t"));
}

} // namespace
