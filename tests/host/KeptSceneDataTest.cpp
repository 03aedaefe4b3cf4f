// What scene files hold that the host does not model: nodes of unknown types, attributes a
// node type lacks and connections to them are kept as read and written back on save.

#include "SceneTestSupport.h"
#include "support/TestValues.h"

#include "commands/MessageOutput.h"

#include <maya/MDagPath.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnMesh.h>
#include <maya/MSelectionList.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

class KeptSceneData : public SceneTest
{
protected:
    // The lines written for one node: its createNode and the indented lines after it, UUIDs left out.
    static std::string nodeBlock(const std::string& text, const std::string& createLine)
    {
        const size_t start = text.find(createLine);
        if (start == std::string::npos)
            return "(no \"" + createLine + "\")";
        std::string block;
        std::istringstream lines(text.substr(start));
        std::string line;
        bool first = true;
        while (std::getline(lines, line) && (first || line.compare(0, 1, "\t") == 0)) {
            first = false;
            if (line.find("rename -uid") == std::string::npos)
                block += line + "\n";
        }
        return block;
    }

    // Saving, reopening what was saved and saving again gives the same text.
    void expectStableRoundTrip()
    {
        std::string first = save("first.ma");
        ASSERT_TRUE(run("file -f -o \"" + tempPath("first.ma") + "\"")) << errors();
        std::string second = save("first.ma");
        EXPECT_EQ(second, first);
    }
};

const char* const kRig = R"(createNode transform -n "lightRig";
createNode aiSkyDomeLight -n "skyShape" -p "lightRig";
	setAttr ".csh" no;
	setAttr ".ai_exposure" 0.5;
createNode ikEffector -n "hip";
	addAttr -ci true -sn "liw" -ln "lockInfluenceWeights" -min 0 -max 1 -at "bool";
	setAttr ".t" -type "double3" 0 10 0 ;
	setAttr ".jo" -type "double3" 0 0 90 ;
	setAttr ".liw" yes;
createNode ikEffector -n "knee" -p "hip";
	setAttr ".t" -type "double3" 0 -5 0 ;
createNode transform -n "kneeCtrl" -p "knee";
createNode aiOptions -s -n "defaultArnoldRenderOptions";
	addAttr -ci true -sn "ARV_options" -ln "ARV_options" -dt "string";
	setAttr ".version" -type "string" "5.3.0";
	setAttr ".ARV_options" -type "string" "Test Resolution=100%";
	setAttr -s 2 ".aovs";
	setAttr -l on ".imagers[0]" -type "string" "denoise";
	setAttr ".mtx" -type "matrix" "xform" 1 1 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1 1 1 1 yes;
createNode animCurveTL -n "hip_translateX";
	setAttr ".tan" 18;
	setAttr -s 2 ".ktv[0:1]"  1 0 24 5;
createNode aiOptions -n "second";
connectAttr "hip_translateX.o" "hip.tx";
connectAttr "hip.s" "knee.is";
connectAttr "defaultArnoldRenderOptions.msg" "second.ai_link" -na;
connectAttr "kneeCtrl.wm" "second.matrices[2]";
)";

TEST_F(KeptSceneData, UnknownNodesStandInByKindAndRememberTheirType)
{
    ASSERT_TRUE(openText(kRig)) << errors();
    // Scripts see the type the file named; the API sees the stand-in.
    EXPECT_EQ(text("nodeType hip"), "ikEffector");
    const std::pair<const char*, const char*> standIns[] = {
        {"hip", "unknownTransform"}, {"skyShape", "unknownDag"}, {"second", "unknown"}};
    for (const auto& standIn : standIns) {
        MSelectionList list;
        ASSERT_TRUE(list.add(standIn.first));
        MObject node;
        ASSERT_TRUE(list.getDependNode(0, node));
        EXPECT_EQ(MFnDependencyNode(node).typeName(), standIn.second) << standIn.first;
    }
    EXPECT_EQ(text("unknownNode -q -realClassName skyShape"), "aiSkyDomeLight");
    EXPECT_EQ(text("unknownNode -q -realClassName hip"), "ikEffector");
    EXPECT_EQ(text("unknownNode -q -rcn defaultArnoldRenderOptions"), "aiOptions");
    // Maya's transform types stand in as transforms: what hangs below them keeps its place.
    MStringArray world = strings("getAttr kneeCtrl.wm");
    ASSERT_EQ(world.length(), 16u);
    EXPECT_EQ(world[13], "5");
    EXPECT_EQ(text("listRelatives -p kneeCtrl"), "knee");
    EXPECT_FALSE(run("unknownNode -q -rcn kneeCtrl"));
    EXPECT_NE(errors().find("unknownNode: kneeCtrl is not an unknown node."), std::string::npos) << errors();
}

TEST_F(KeptSceneData, EachUnknownTypeIsReportedOnceAndItsNodesAreWrittenBackAsRead)
{
    host::MessageCapture capture;
    ASSERT_TRUE(openText(kRig, "warned.ma")) << errors();
    const std::string where = tempPath("warned.ma") + " line ";
    EXPECT_EQ(std::string(capture.text(host::MessageKind::kWarning).asChar()),
              where + "5: Unrecognized node type 'aiSkyDomeLight' for node 'skyShape'; preserving node information "
                      "during this session.\n" +
                  where + "8: Unrecognized node type 'ikEffector' for node 'hip'; preserving node information during "
                          "this session.\n" +
                  where + "16: Unrecognized node type 'aiOptions' for node 'defaultArnoldRenderOptions'; preserving "
                          "node information during this session.\n");

    // Unknown nodes are written back as read.
    const std::string text = save("rig.ma");
    EXPECT_EQ(nodeBlock(text, "createNode aiOptions -s -n \"defaultArnoldRenderOptions\""),
              "createNode aiOptions -s -n \"defaultArnoldRenderOptions\";\n"
              "\taddAttr -ci true -sn \"ARV_options\" -ln \"ARV_options\" -dt \"string\";\n"
              "\tsetAttr \".version\" -type \"string\" \"5.3.0\" ;\n"
              "\tsetAttr \".ARV_options\" -type \"string\" \"Test Resolution=100%\" ;\n"
              "\tsetAttr -s 2 \".aovs\";\n"
              "\tsetAttr -l on \".imagers[0]\" -type \"string\" \"denoise\" ;\n"
              "\tsetAttr \".mtx\" -type \"matrix\" \"xform\" 1 1 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1 1 1 1 1 ;\n");
    EXPECT_EQ(nodeBlock(text, "createNode aiSkyDomeLight"),
              "createNode aiSkyDomeLight -n \"skyShape\" -p \"|lightRig\";\n"
              "\tsetAttr \".csh\" 0;\n"
              "\tsetAttr \".ai_exposure\" 0.5;\n");
    // A stand-in transform's translate is a real transform value; its joint orient is kept.
    EXPECT_EQ(nodeBlock(text, "createNode ikEffector -n \"hip\""),
              "createNode ikEffector -n \"hip\";\n"
              "\tsetAttr \".t\" -type \"double3\" 0 10 0 ;\n"
              "\taddAttr -ci true -sn \"liw\" -ln \"lockInfluenceWeights\" -min 0 -max 1 -at \"bool\";\n"
              "\tsetAttr \".jo\" -type \"double3\" 0 0 90 ;\n"
              "\tsetAttr \".liw\" 1;\n");
    EXPECT_EQ(nodeBlock(text, "createNode animCurveTL"),
              "createNode animCurveTL -n \"hip_translateX\";\n"
              "\tsetAttr \".tan\" 18;\n"
              "\tsetAttr -s 2 \".ktv[0:1]\" 1 0 24 5;\n");
    expectStableRoundTrip();
}

TEST_F(KeptSceneData, ConnectionsToUnknownNodesAreKept)
{
    ASSERT_TRUE(openText(kRig)) << errors();
    const std::string text = save("connections.ma");
    for (const char* line : {"connectAttr \"hip_translateX.o\" \"hip.tx\";\n", "connectAttr \"hip.s\" \"knee.is\";\n",
                             "connectAttr -na \"defaultArnoldRenderOptions.msg\" \"second.ai_link\";\n",
                             "connectAttr \"kneeCtrl.wm\" \"second.matrices[2]\";\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << "in\n" << text;
    // The kept connection keeps the node names it is written with up to date.
    ASSERT_TRUE(run("rename kneeCtrl footCtrl"));
    EXPECT_NE(save("renamed.ma").find("connectAttr \"footCtrl.wm\" \"second.matrices[2]\";\n"), std::string::npos);
    // A connection whose node was deleted is not written.
    ASSERT_TRUE(run("delete second"));
    const std::string deleted = save("deleted.ma");
    EXPECT_EQ(deleted.find("second.matrices"), std::string::npos);
    EXPECT_EQ(deleted.find("second.ai_link"), std::string::npos);
}

const char* const kMesh = R"(createNode transform -n "quad";
	setAttr ".ovrgb" -type "float3" 1 0.5 0 ;
	setAttr ".hdl" -type "double3" 0 1 0 ;
createNode mesh -n "quadShape" -p "quad";
	setAttr ".vir" yes;
	setAttr ".pv" -type "double2" 0.5 0.5 ;
	setAttr -s 2 ".uvst";
	setAttr ".uvst[0].uvsn" -type "string" "map1";
	setAttr -s 4 ".uvst[0].uvsp[0:3]" -type "float2" 0 0 1 0 1 1 0 1;
	setAttr ".uvst[1].uvsn" -type "string" "second";
	setAttr -s 4 ".uvst[1].uvsp[0:3]" -type "float2" 0.5 0.5 1 0.5 1 1 0.5 1;
	setAttr ".cuvs" -type "string" "second";
	setAttr ".dcc" -type "string" "Ambient+Diffuse";
	setAttr ".covm[0]"  0 1 1;
	setAttr -s 6 ".vt[0:5]"  0 0 0 1 0 0 1 0 1 0 0 1 2 0 0 2 0 1;
	setAttr -s 7 ".ed[0:6]"  0 1 0 1 2 0 2 3 0 3 0 0 1 4 0 4 5 0 5 2 0;
	setAttr -s 8 ".n[0:7]" -type "float3"  0 1 0 0 1 0 0 1 0 0 1 0 1e+20 1e+20 1e+20 1e+20 1e+20 1e+20 1e+20 1e+20 1e+20 1e+20 1e+20 1e+20;
	setAttr -s 2 -ch 8 ".fc";
	setAttr ".fc[0]" -type "polyFaces" 
		f 4 0 1 2 3
		mu 0 4 0 1 2 3
		mu 1 4 0 1 2 3;
	setAttr ".fc[1]"
		f 4 4 5 6 -2
		mu 0 4 1 2 3 0;
	setAttr -s 2 ".gtag";
	setAttr ".gtag[0].gtagnm" -type "string" "left";
	setAttr ".gtag[0].gtagcmp" -type "componentList" 1 "f[0]";
	setAttr ".cd" -type "dataPolyComponent" Index_Data Edge 0 ;
	setAttr ".pd[0]" -type "dataPolyComponent" Index_Data UV 0 ;
)";

TEST_F(KeptSceneData, MeshAttributesTheHostDoesNotModelAreKept)
{
    ASSERT_TRUE(openText(kMesh)) << errors();
    EXPECT_EQ(errors(), "");
    const std::string text = save("mesh.ma");
    const std::string block = nodeBlock(text, "createNode mesh");
    for (const char* line : {"\tsetAttr \".vir\" 1;\n", "\tsetAttr \".pv\" -type \"double2\" 0.5 0.5 ;\n",
                             "\tsetAttr \".dcc\" -type \"string\" \"Ambient+Diffuse\" ;\n",
                             "\tsetAttr \".covm[0]\" 0 1 1;\n", "\tsetAttr -s 2 \".gtag\";\n",
                             "\tsetAttr \".gtag[0].gtagnm\" -type \"string\" \"left\" ;\n",
                             "\tsetAttr \".gtag[0].gtagcmp\" -type \"componentList\" 1 \"f[0]\" ;\n",
                             "\tsetAttr \".cd\" -type \"dataPolyComponent\" Index_Data Edge 0 ;\n",
                             "\tsetAttr \".pd[0]\" -type \"dataPolyComponent\" Index_Data UV 0 ;\n",
                             "\tsetAttr -s 8 \".n[0:7]\" -type \"float3\" 0 1 0 0 1 0 0 1 0 0 1 0 1e+20 1e+20 1e+20 "
                             "1e+20 1e+20 1e+20 1e+20 1e+20 1e+20 1e+20 1e+20 1e+20;\n"})
        EXPECT_NE(block.find(line), std::string::npos) << line << "in\n" << block;
    EXPECT_NE(nodeBlock(text, "createNode transform -n \"quad\"").find("\tsetAttr \".ovrgb\" -type \"float3\" 1 0.5 0 ;\n"),
              std::string::npos);
    expectStableRoundTrip();
}

TEST_F(KeptSceneData, TypedAttributesOfUnknownNamesStillFailOutsideFiles)
{
    ASSERT_TRUE(openText(kMesh)) << errors();
    expectRefusals({{"setAttr quadShape.vir 1", "setAttr: No attribute \"vir\" on quadShape."},
                    {"createNode aiOptions", "createNode: Unknown object type: aiOptions"}});
    expectRefusals({{"connectAttr quad.t quadShape.vir", "connectAttr: No attribute \"vir\" on quadShape."}});
}

TEST_F(KeptSceneData, FacesInSeveralRunsAndTwoUVSetsMakeOneMesh)
{
    ASSERT_TRUE(openText(kMesh)) << errors();
    MFnMesh mesh(pathNamed("quadShape"));
    EXPECT_EQ(mesh.numPolygons(), 2);
    EXPECT_EQ(mesh.numVertices(), 6);
    const MString sets[] = {"map1", "second"};
    EXPECT_EQ(mesh.numUVs(sets[0]), 4);
    EXPECT_EQ(mesh.numUVs(sets[1]), 4);
    EXPECT_EQ(mesh.currentUVSetName(), "second");
    // Face 0 has UVs in both sets, face 1 only in map1.
    float u = 0, v = 0;
    ASSERT_TRUE(mesh.getPolygonUV(0, 1, u, v, &sets[1]));
    EXPECT_EQ(u, 1.0f);
    EXPECT_EQ(v, 0.5f);
    EXPECT_FALSE(mesh.getPolygonUV(1, 1, u, v, &sets[1]));
    ASSERT_TRUE(mesh.getPolygonUV(1, 1, u, v, &sets[0]));
    EXPECT_EQ(u, 1.0f);
    EXPECT_EQ(v, 1.0f);
    const std::string text = save("uvs.ma");
    const std::string block = nodeBlock(text, "createNode mesh");
    EXPECT_NE(block.find("\tsetAttr \".uvst[1].uvsn\" -type \"string\" \"second\";\n"), std::string::npos) << block;
    EXPECT_NE(block.find("\tsetAttr \".cuvs\" -type \"string\" \"second\";\n"), std::string::npos) << block;
    EXPECT_NE(block.find("\tsetAttr -s 2 -ch 8 \".fc[0:1]\" -type \"polyFaces\" \n"
                         "\t\tf 4 0 1 2 3\n"
                         "\t\tmu 0 4 0 1 2 3\n"
                         "\t\tmu 1 4 0 1 2 3\n"
                         "\t\tf 4 4 5 6 -2\n"
                         "\t\tmu 0 4 1 2 3 0;\n"),
              std::string::npos)
        << block;
}

TEST_F(KeptSceneData, PeriodicCurveKeepsItsForm)
{
    const char* curve = R"(createNode transform -n "ring";
createNode nurbsCurve -n "ringShape" -p "ring";
	setAttr ".cc" -type "nurbsCurve" 
		3 4 2 no 3
		9 -2 -1 0 1 2 3 4 5 6
		7
		1 0 0
		0 0 1
		-1 0 0
		0 0 -1
		1 0 0
		0 0 1
		-1 0 0
		;
)";
    ASSERT_TRUE(openText(curve)) << errors();
    EXPECT_EQ(value("getAttr ringShape.form").asInt(), 2);
    EXPECT_EQ(value("getAttr ringShape.spans").asInt(), 4);
    EXPECT_EQ(value("getAttr ringShape.degree").asInt(), 3);
    const std::string text = save("curve.ma");
    EXPECT_NE(text.find(std::string(curve).substr(std::string(curve).find("\tsetAttr \".cc\""))), std::string::npos)
        << text;
    expectStableRoundTrip();
}

TEST_F(KeptSceneData, AddAttrFlagsMayaWritesRoundTrip)
{
    ASSERT_TRUE(openText(R"(createNode transform -n "ctrl";
	addAttr -ci true -k true -sn "fk" -ln "fkIk" -nn "FK / IK" -dcb 0 -min 0 -max 1 -at "double";
	addAttr -ci true -sn "tagged" -ln "taggedFaces" -dt "componentList";
	setAttr -k on ".fk" 0.5;
	setAttr ".tagged" -type "componentList" 2 "f[0:3]" "f[7]";
)")) << errors();
    EXPECT_EQ(value("getAttr ctrl.fk").asDouble(), 0.5);
    const std::string block = nodeBlock(save("flags.ma"), "createNode transform -n \"ctrl\"");
    EXPECT_NE(block.find("\taddAttr -ci true -dcb 0 -k true -sn \"fk\" -ln \"fkIk\" -nn \"FK / IK\" -at \"double\" "
                         "-min 0 -max 1;\n"),
              std::string::npos)
        << block;
    EXPECT_NE(block.find("\taddAttr -ci true -sn \"tagged\" -ln \"taggedFaces\" -dt \"componentList\";\n"
                         "\tsetAttr \".tagged\" -type \"componentList\" 2 \"f[0:3]\" \"f[7]\" ;\n"),
              std::string::npos)
        << block;
    expectStableRoundTrip();
}

TEST_F(KeptSceneData, UnindexedWorldMeshFeedsASinglePlug)
{
    ASSERT_TRUE(openText(R"(createNode transform -n "a";
createNode mesh -n "aShape" -p "a";
createNode transform -n "b";
createNode mesh -n "bShape" -p "b";
connectAttr "aShape.w" "bShape.i";
)")) << errors();
    EXPECT_EQ(text("listConnections -p 1 -s 1 -d 0 bShape.i"), "aShape.worldMesh[0]");
}


TEST_F(KeptSceneData, LockedAndHiddenChannelsAreSavedPerPlug)
{
    ASSERT_TRUE(openText(R"(createNode transform -n "ctrl";
	setAttr -l on -k off ".tx";
	setAttr -k off ".v";
	setAttr -l on ".t";
	setAttr -cb on ".ro";
createNode transform -n "other";
	setAttr -l on ".ry" 45;
)")) << errors();
    EXPECT_EQ(value("getAttr -k ctrl.tx").asInt(), 0);
    EXPECT_EQ(value("getAttr -k other.tx").asInt(), 1) << "another node's channel keeps its own setting";
    ASSERT_TRUE(run("setAttr -k off other.tz"));
    EXPECT_EQ(value("getAttr -k ctrl.tz").asInt(), 1);
    const std::string text = save("channels.ma");
    EXPECT_EQ(nodeBlock(text, "createNode transform -n \"ctrl\""),
              "createNode transform -n \"ctrl\";\n"
              "\tsetAttr -k off \".v\";\n"
              "\tsetAttr -l on \".t\";\n"
              "\tsetAttr -l on -k off \".tx\";\n"
              "\tsetAttr -cb on \".ro\";\n");
    EXPECT_EQ(nodeBlock(text, "createNode transform -n \"other\""),
              "createNode transform -n \"other\";\n"
              "\tsetAttr -k off \".tz\";\n"
              "\tsetAttr \".r\" -type \"double3\" 0 45 0 ;\n"
              "\tsetAttr -l on \".ry\";\n");
    expectStableRoundTrip();
}


TEST_F(KeptSceneData, MatricesInXformFormAndPivotsAreComposed)
{
    ASSERT_TRUE(openText(R"(createNode transform -n "holder";
	addAttr -ci true -sn "byRotate" -ln "byRotate" -at "matrix";
	addAttr -ci true -sn "byOrient" -ln "byOrient" -at "matrix";
	setAttr ".byRotate" -type "matrix" "xform" 2 2 2 0 0 1.5707963267948966 0 1 2 3 0 0 0 0 0 0 0 0 0
		 0 0 0 0 0 0 0 0 0 1 0 0 0 1 1 1 1 yes;
	setAttr ".byOrient" -type "matrix" "xform" 2 2 2 0 0 0 0 1 2 3 0 0 0 0 0 0 0 0 0
		 0 0 0 0 0 0 0 0 0 1 0 0 0.70710678118654757 0.70710678118654757 1 1 1 yes;
)")) << errors();
    // Scaled by 2, turned 90 degrees about z (by rotation or by joint orient), moved to (1, 2, 3).
    const double expected[16] = {0, 2, 0, 0, -2, 0, 0, 0, 0, 0, 2, 0, 1, 2, 3, 1};
    for (const char* plug : {"holder.byRotate", "holder.byOrient"}) {
        const MStringArray m = strings(std::string("getAttr ") + plug);
        ASSERT_EQ(m.length(), 16u) << plug;
        for (unsigned i = 0; i < 16; ++i)
            EXPECT_NEAR(std::stod(m[i].asChar()), expected[i], 1e-12) << plug << " element " << i;
    }
    clearMessages();
    EXPECT_FALSE(run("setAttr holder.byRotate -type \"matrix\" \"xform\" 1 1 1 0 0 0 7 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 "
                     "0 0 0 0 0 0 1 0 0 0 1 1 1 1 yes"));
    EXPECT_EQ(errors(), "setAttr: bad rotate order in the xform value of holder.byRotate.\n");

    // Pivots move the world matrix.
    ASSERT_TRUE(openText(R"(createNode transform -n "pivoted";
	setAttr ".r" -type "double3" 0 0 90 ;
	setAttr ".s" -type "double3" 2 2 2 ;
	setAttr ".rp" -type "double3" 1 0 0 ;
	setAttr ".sp" -type "double3" 0 1 0 ;
	setAttr ".rpt" -type "double3" 0 0 2 ;
	setAttr ".spt" -type "double3" 0 0 0.5 ;
)")) << errors();
    // p' = ((((p - sp) * S + sp + spt) - rp) * R + rp + rpt): the origin lands on (2, -1, 2.5).
    const MStringArray m = strings("getAttr pivoted.wm");
    ASSERT_EQ(m.length(), 16u);
    EXPECT_NEAR(std::stod(m[1].asChar()), 2, 1e-12);
    EXPECT_NEAR(std::stod(m[4].asChar()), -2, 1e-12);
    EXPECT_NEAR(std::stod(m[10].asChar()), 2, 1e-12);
    EXPECT_NEAR(std::stod(m[12].asChar()), 2, 1e-12);
    EXPECT_NEAR(std::stod(m[13].asChar()), -1, 1e-12);
    EXPECT_NEAR(std::stod(m[14].asChar()), 2.5, 1e-12);
}

} // namespace
