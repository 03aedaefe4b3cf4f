// Reading the statements Maya writes in its scene files: errors that do not end
// the read, plug-ins the host cannot load, default nodes, UUIDs, file
// information, light links, locks, references and shared short names.

#include "SceneTestSupport.h"

#include "commands/MessageOutput.h"
#include "support/TestValues.h"

#include <maya/MDGModifier.h>
#include <maya/MFnDependencyNode.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

const char* const kHeader = "//Maya ASCII 2023 scene\n//Name: scene.ma\nrequires maya \"2023\";\n";

class SceneReading : public SceneTest
{
protected:
    // Writes `body` after the usual header into scene.ma and opens it; warnings are kept.
    MStatus openScene(const std::string& body, const std::string& header = kHeader)
    {
        fPath = tempPath("scene.ma");
        std::ofstream(fPath, std::ios::binary) << header << body;
        host::MessageCapture capture(true);
        MStatus status = run("file -f -o \"" + fPath + "\"");
        fWarnings = capture.text(host::MessageKind::kWarning).asChar();
        return status;
    }
    // "<scene path> line N: "
    std::string at(int line) const { return fPath + " line " + std::to_string(line) + ": "; }
    bool exists(const std::string& name) { return value("objExists \"" + name + "\"").asInt() == 1; }

    std::string fPath;
    std::string fWarnings;
};

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

TEST_F(SceneReading, BadStatementsAreReportedWithTheirLineAndTheReadGoesOn)
{
    ASSERT_TRUE(openScene("createNode transform -n \"first\";\n"     // line 4
                          "noSuchCommand 1 2;\n"                     // line 5
                          "createNode noSuchType -n \"x\" -p \"nowhere\";\n"  // line 6
                          "\tsetAttr \".tx\" 7;\n"                   // line 7: nothing is selected
                          "createNode transform -n \"after\";\n"     // line 8
                          "\tsetAttr \".tx\" 3;\n"));
    EXPECT_TRUE(contains(errors(), at(5) + "Cannot find procedure \"noSuchCommand\".")) << errors();
    EXPECT_TRUE(contains(errors(), at(6) + "createNode: No object matches name: nowhere")) << errors();
    EXPECT_TRUE(contains(errors(), at(7))) << errors();
    EXPECT_EQ(number("getAttr first.tx"), 0) << "a failed createNode leaves nothing selected";
    EXPECT_EQ(number("getAttr after.tx"), 3);
    EXPECT_TRUE(contains(fWarnings, "file: " + fPath + " was read with 3 errors: the scene may be incomplete."))
        << fWarnings;
}

TEST_F(SceneReading, SyntaxErrorsSkipToTheNextStatement)
{
    ASSERT_TRUE(openScene("createNode transform -n \"a\" ) ;\n"  // line 4
                          ";; \"stray; string\" ; createNode transform -n \"b\";\n"
                          "\tsetAttr \".tx\" 1 ;\n"
                          "createNode transform -n \"c\";\n"
                          "createNode transform -n \"cut"));
    EXPECT_TRUE(contains(errors(), at(4) + "Syntax error: unexpected ')'.")) << errors();
    EXPECT_TRUE(contains(errors(), at(5) + "Syntax error: unexpected '\"'.")) << errors();
    EXPECT_TRUE(contains(errors(), at(8) + "Unterminated string.")) << errors();
    EXPECT_FALSE(exists("a"));
    EXPECT_TRUE(exists("b"));
    EXPECT_TRUE(exists("c"));
    EXPECT_EQ(number("getAttr b.tx"), 1);
}

TEST_F(SceneReading, LongStringsWrittenInPiecesAreJoined)
{
    ASSERT_TRUE(openScene("createNode sceneTestNode -n \"s\";\n"
                          "\tsetAttr \".str\" -type \"string\" (\"first \"\n\t\t+ \"second\\n\"\n\t\t+ \"third\");\n"));
    EXPECT_EQ(errors(), "");
    EXPECT_EQ(text("getAttr s.str"), "first second\nthird");
}

TEST_F(SceneReading, RequiresOfPluginsThatCannotBeFoundWarnAndAreWrittenBack)
{
    ASSERT_TRUE(openScene("requires \"stereoCamera\" \"10.0\";\n"
                          "requires -nodeType \"aiOptions\" -nodeType \"aiAOVDriver\" \"mtoa\" \"5.3.0\";\n"
                          "requires -dataType \"myData\" \"mtoa\" \"5.3.0\";\n"
                          "requires \"stereoCamera\" \"10.0\";\n"
                          "createNode transform -n \"kept\";\n",
                          "//Maya ASCII 2025ff03 scene\nrequires -nodeType \"fbxRoot\" \"fbxmaya\" \"2020.3.6\";\n"
                          "requires maya \"2025ff03\";\n"));
    EXPECT_EQ(errors(), "");
    EXPECT_TRUE(exists("kept"));
    EXPECT_TRUE(contains(fWarnings, fPath + " line 4: requires: the plug-in \"stereoCamera\" cannot be found; "
                                            "the scene keeps what it needs from it."))
        << fWarnings;
    EXPECT_FALSE(contains(fWarnings, fPath + " line 7: requires")) << "warned once per plug-in:\n" << fWarnings;

    const std::string saved = save("saved.ma");
    EXPECT_TRUE(contains(saved, "requires maya \"2023\";\n"
                                "requires -nodeType \"fbxRoot\" \"fbxmaya\" \"2020.3.6\";\n"
                                "requires \"stereoCamera\" \"10.0\";\n"
                                "requires -nodeType \"aiOptions\" -nodeType \"aiAOVDriver\" -dataType \"myData\" "
                                "\"mtoa\" \"5.3.0\";\n"))
        << saved;
    run("file -f -new");
    EXPECT_FALSE(contains(save("saved.ma"), "mtoa")) << "a new scene requires nothing";
}

TEST_F(SceneReading, DefaultNodesExistInNewAndOpenedScenes)
{
    const char* const names[] = {"time1", "renderPartition", "renderGlobalsList1", "defaultShaderList1",
                                 "postProcessList1", "defaultRenderingList1", "initialShadingGroup",
                                 "initialParticleSE", "defaultRenderGlobals", "defaultResolution",
                                 "hardwareRenderingGlobals", "defaultColorMgtGlobals", "lambert1", "standardSurface1",
                                 "defaultRenderLayer", "layerManager", "defaultLayer", "lightLinker1",
                                 "defaultLightSet", "defaultObjectSet", "ikSystem"};
    for (const char* name : names)
        EXPECT_TRUE(exists(std::string(":") + name)) << name << " after file -new";
    ASSERT_TRUE(openScene("createNode transform -n \"only\";\n"));
    for (const char* name : names)
        EXPECT_TRUE(exists(name)) << name << " after file -open";
    EXPECT_EQ(errors(), "");

    // A new scene the host saved reads back without a word: its scene nodes are of their own
    // types, and the default layers are known to their managers, as Maya writes them.
    run("file -f -new");
    const std::string saved = save("saved.ma");
    EXPECT_TRUE(contains(saved, "connectAttr \"layerManager.dli[0]\" \"defaultLayer.id\";\n")) << saved;
    EXPECT_TRUE(contains(saved, "connectAttr \"renderLayerManager.rlmi[0]\" \"defaultRenderLayer.rlid\";\n"))
        << saved;
    ASSERT_TRUE(openScene(saved.substr(saved.find('\n', saved.find("requires maya")) + 1)));
    EXPECT_EQ(fWarnings, "");
    EXPECT_EQ(errors(), "");
    const char* const types[][2] = {{"lightLinker1", "lightLinker"},        {"layerManager", "displayLayerManager"},
                                    {"renderLayerManager", "renderLayerManager"}, {"defaultRenderLayer", "renderLayer"},
                                    {"shapeEditorManager", "shapeEditorManager"},
                                    {"poseInterpolatorManager", "poseInterpolatorManager"}};
    for (const auto& type : types) {
        EXPECT_EQ(text(std::string("nodeType ") + type[0]), type[1]);
        EXPECT_FALSE(run(std::string("unknownNode -q -realClassName ") + type[0])) << type[0] << " is no stand-in";
    }
    clearMessages();
    EXPECT_EQ(number("getAttr defaultRenderLayer.identification"), 0);
    EXPECT_EQ(strings("listConnections -d 0 -p 1 defaultLayer.identification")[0], "layerManager.displayLayerId[0]");
}

TEST_F(SceneReading, ChangedDefaultNodesAreWrittenAsSelectBlocks)
{
    ASSERT_TRUE(openScene("createNode transform -n \"t\";\n"
                          "select -ne :defaultObjectSet;\n"
                          "\tsetAttr \".ihi\" 0;\n"
                          "select -ne :time1;\n"));
    EXPECT_EQ(errors(), "");
    EXPECT_EQ(number("getAttr defaultObjectSet.ihi"), 0);
    const std::string saved = save("saved.ma");
    EXPECT_TRUE(contains(saved, "select -ne :defaultObjectSet;\n\tsetAttr \".ihi\" 0;\n")) << saved;
    EXPECT_FALSE(contains(saved, "select -ne :time1;")) << "unchanged default nodes are not written";
    EXPECT_FALSE(contains(saved, "createNode objectSet -n \"defaultObjectSet\"")) << saved;
    EXPECT_TRUE(contains(saved, "createNode displayLayer -n \"defaultLayer\";")) << "files create their layers";
}

TEST_F(SceneReading, AFailedSelectNoExpandLeavesNothingSelected)
{
    ASSERT_TRUE(openScene("createNode transform -n \"before\";\n"
                          "select -ne :noSuchNode;\n"   // line 5
                          "\tsetAttr \".tx\" 5;\n"));  // line 6
    EXPECT_TRUE(contains(errors(), at(5) + "select: No object matches name: :noSuchNode")) << errors();
    EXPECT_TRUE(contains(errors(), at(6))) << errors();
    EXPECT_EQ(number("getAttr before.tx"), 0);

    run("select before");
    EXPECT_FALSE(run("select -ne :noSuchNode"));
    EXPECT_EQ(strings("ls -sl").length(), 0u);
}

TEST_F(SceneReading, UuidsAreKeptWrittenAfterTheirNodeAndFreshForNewNodes)
{
    ASSERT_TRUE(openScene("createNode transform -n \"a\";\n"
                          "\trename -uid \"e63389a1-48a2-0256-35c1-4b945a9ec512\";\n"
                          "\tsetAttr \".tx\" 1;\n"));
    EXPECT_EQ(errors(), "");
    run("createNode transform -n \"b\"");
    const std::string saved = save("saved.ma");
    EXPECT_TRUE(contains(saved, "createNode transform -n \"a\";\n\trename -uid \"E63389A1-48A2-0256-35C1-4B945A9EC512\";\n"
                                "\tsetAttr \".t\" -type \"double3\" 1 0 0 ;\n"))
        << saved;
    const size_t b = saved.find("createNode transform -n \"b\";\n\trename -uid \"");
    ASSERT_NE(b, std::string::npos) << saved;
    const std::string fresh = saved.substr(saved.find("-uid \"", b) + 6, 36);
    EXPECT_NE(fresh, "E63389A1-48A2-0256-35C1-4B945A9EC512");
    EXPECT_EQ(fresh.find_first_not_of("0123456789ABCDEF-"), std::string::npos) << fresh;
    EXPECT_EQ(save("saved.ma"), saved) << "a node keeps its UUID";
    EXPECT_EQ(text("ls -uuid a"), "E63389A1-48A2-0256-35C1-4B945A9EC512");
    EXPECT_EQ(text("ls \"E63389A1-48A2-0256-35C1-4B945A9EC512\""), "a");
    EXPECT_EQ(text("ls -uuid b"), fresh.c_str());

    EXPECT_FALSE(run("rename -uid a \"not-a-uuid\""));
    EXPECT_TRUE(contains(errors(), "rename: \"not-a-uuid\" is not a valid UUID.")) << errors();
}

TEST_F(SceneReading, FileInfoIsKeptQueriedAndWritten)
{
    ASSERT_TRUE(openScene("fileInfo \"application\" \"maya\";\n"
                          "fileInfo \"osv\" \"Windows 11 \\\"Home\\\"\";\n"));
    EXPECT_EQ(strings("fileInfo -q \"osv\"")[0], "Windows 11 \"Home\"");
    run("fileInfo \"application\" \"pellix\"");
    EXPECT_EQ(strings("fileInfo -q").length(), 4u);
    const std::string saved = save("saved.ma");
    EXPECT_TRUE(contains(saved, "currentUnit -l centimeter -a degree -t film;\n"
                                "fileInfo \"application\" \"pellix\";\n"
                                "fileInfo \"osv\" \"Windows 11 \\\"Home\\\"\";\n"))
        << saved;
    EXPECT_TRUE(run("fileInfo -rm \"osv\""));
    EXPECT_EQ(strings("fileInfo -q \"osv\"").length(), 0u);
    EXPECT_FALSE(run("fileInfo -rm \"osv\""));
    EXPECT_TRUE(contains(errors(), "fileInfo: no information is kept under \"osv\".")) << errors();
}

TEST_F(SceneReading, RelationshipsDataStructuresAndReferencesAreWrittenBack)
{
    ASSERT_TRUE(openScene("file -rdi 1 -ns \"desk\" -rfn \"deskRN\" -op \"v=0;\" -typ \"mayaAscii\" "
                          "\"C:/assets/desk.ma\";\n"
                          "file -r -ns \"desk\" -dr 1 -rfn \"deskRN\" -op \"v=0;\" -typ \"mayaAscii\" "
                          "\"C:/assets/desk.ma\";\n"
                          "dataStructure -fmt \"raw\" -as \"name=idStructure:int32=ID\";\n"
                          "createNode transform -n \"t\";\n"
                          "relationship \"link\" \":lightLinker1\" \":initialShadingGroup.message\" "
                          "\":defaultLightSet.message\";\n"));
    EXPECT_EQ(errors(), "");
    EXPECT_TRUE(contains(fWarnings, at(5) + "file: the reference deskRN to \"C:/assets/desk.ma\" is not loaded: "
                                            "its reference node and edits are kept."))
        << fWarnings;
    const std::string saved = save("saved.ma");
    EXPECT_EQ(saved.find("file -rdi 1 -ns \"desk\" -rfn \"deskRN\" -op \"v=0;\" -typ \"mayaAscii\" "
                         "\"C:/assets/desk.ma\";\nfile -r -ns \"desk\" -dr 1 -rfn \"deskRN\""),
              saved.find("//Name: saved.ma\n") + 17)
        << saved;
    EXPECT_TRUE(contains(saved, "dataStructure -fmt \"raw\" -as \"name=idStructure:int32=ID\";\n")) << saved;
    EXPECT_TRUE(contains(saved, "relationship \"link\" \":lightLinker1\" \":initialShadingGroup.message\" "
                                "\":defaultLightSet.message\";\n// End of"))
        << saved;
}

TEST_F(SceneReading, AReferencedSceneBesideTheMainOneIsReadIntoItsNamespace)
{
    std::ofstream(tempPath("prop.ma"), std::ios::binary)
        << "//Maya ASCII 2023 scene\nrequires maya \"2023\";\ncurrentUnit -l meter -a degree -t film;\n"
           "fileInfo \"application\" \"prop\";\n"
           "createNode transform -s -n \"persp\";\n\tsetAttr \".tx\" 99;\n"
           "createNode transform -n \"box\";\n\tsetAttr \".tx\" 3;\n"
           "createNode transform -n \"lid\" -p \"|box\";\n"
           "connectAttr \"box.tx\" \"lid.ty\";\n"
           "createNode animCurveTL -n \"lidOpen\";\n\tsetAttr -s 2 \".ktv[0:1]\" 1 0 10 5;\n"
           "connectAttr \"lidOpen.o\" \"lid.tz\";\n";
    const std::string reference = "file -r -ns \"prop\" -rfn \"propRN\" -op \"v=0;\" -typ \"mayaAscii\" "
                                  "\"C:/elsewhere/prop.ma\";\n";
    ASSERT_TRUE(openScene(reference + "fileInfo \"application\" \"maya\";\n"
                                      "createNode transform -n \"main\";\n"
                                      "connectAttr \"prop:box.tx\" \"main.ty\";\n"));
    EXPECT_EQ(errors(), "");
    EXPECT_EQ(number("getAttr prop:box.tx"), 300) << "read in the reference's metres";
    EXPECT_EQ(number("getAttr |prop:box|prop:lid.ty"), 300);
    EXPECT_EQ(number("getAttr main.ty"), 300);
    EXPECT_NE(number("getAttr persp.tx"), 99) << "the main scene's camera is its own";
    EXPECT_EQ(text("currentUnit -q -l"), "cm");
    EXPECT_EQ(strings("fileInfo -q \"application\"")[0], "maya");

    expectRefusals({{"delete prop:box", "delete: cannot delete prop:box: it is from a referenced file."},
                    {"cutKey prop:lid.tz", "cutKey: cannot cut every key of prop:lidOpen: it is a curve of a "
                                           "referenced file."}});
    EXPECT_EQ(number("keyframe -q -kc prop:lid.tz"), 2);
    // A plug-in's modifier cannot delete it either, and can tell it apart.
    EXPECT_TRUE(MFnDependencyNode(nodeNamed("prop:box")).isFromReferencedFile());
    EXPECT_FALSE(MFnDependencyNode(nodeNamed("main")).isFromReferencedFile());
    MDGModifier modifier;
    ASSERT_TRUE(modifier.deleteNode(nodeNamed("prop:box")));
    EXPECT_FALSE(modifier.doIt());
    EXPECT_TRUE(exists("prop:box"));
    // What the main scene changes on referenced nodes is saved with it, even a value set back to its default.
    ASSERT_TRUE(run("setAttr prop:box.tx 0; setAttr |prop:box|prop:lid.sx 2"));
    const std::string saved = save("saved.ma");
    EXPECT_TRUE(contains(saved, reference)) << saved;
    EXPECT_FALSE(contains(saved, "createNode transform -n \"prop:box\"")) << "the reference brings its nodes";
    EXPECT_FALSE(contains(saved, "\"prop:box.tx\" \"|prop:box|prop:lid.ty\"")) << saved;
    EXPECT_TRUE(contains(saved, "connectAttr \"prop:box.tx\" \"main.ty\";\n")) << saved;
    clearMessages();
    ASSERT_TRUE(openScene(saved.substr(saved.find("\n", saved.find("//Name")) + 1)));
    EXPECT_EQ(errors(), "");
    EXPECT_EQ(number("getAttr main.ty"), 0);
    EXPECT_EQ(number("getAttr |prop:box|prop:lid.sx"), 2);
    const std::string edits = "select -ne \"|prop:box\";\n\tsetAttr \".t\" -type \"double3\" 0 0 0 ;\n"
                              "select -ne \"|prop:box|prop:lid\";\n\tsetAttr \".s\" -type \"double3\" 2 1 1 ;\n";
    EXPECT_TRUE(contains(saved, edits) && contains(save("again.ma"), edits)) << saved;
    // Removing the namespace with its content still takes the referenced nodes.
    ASSERT_TRUE(run("namespace -rm prop -deleteNamespaceContent"));
    EXPECT_FALSE(exists("prop:box"));
}

TEST_F(SceneReading, AConstraintOfAReferencedSceneKeepsItsLastTarget)
{
    ASSERT_TRUE(run("createNode transform -n box; createNode transform -n lid; parentConstraint -n lidPin box lid"));
    save("prop.ma");
    ASSERT_TRUE(openScene("file -r -ns \"prop\" -rfn \"propRN\" -typ \"mayaAscii\" \"prop.ma\";\n"));
    expectRefusals({{"parentConstraint -e -rm prop:box prop:lid",
                     "parentConstraint: cannot remove every target of prop:lidPin: it is a constraint of a "
                     "referenced file."}});
    const MStringArray targets = strings("parentConstraint -q -tl prop:lidPin");
    ASSERT_EQ(targets.length(), 1u);
    EXPECT_EQ(targets[0], "prop:box");
}

TEST_F(SceneReading, DeferredAndMissingReferencesAreOnlyKept)
{
    std::ofstream(tempPath("prop.ma"), std::ios::binary)
        << "//Maya ASCII 2023 scene\ncreateNode transform -n \"box\";\n";
    ASSERT_TRUE(openScene("file -r -ns \"prop\" -dr 1 -rfn \"propRN\" -typ \"mayaAscii\" \"prop.ma\";\n"
                          "file -r -ns \"gone\" -rfn \"goneRN\" -typ \"mayaAscii\" \"gone.ma\";\n"));
    EXPECT_EQ(errors(), "");
    EXPECT_FALSE(exists("prop:box"));
    EXPECT_TRUE(contains(fWarnings, at(5) + "file: the reference goneRN to \"gone.ma\" is not loaded: its reference "
                                            "node and edits are kept."))
        << fWarnings;
}

TEST_F(SceneReading, LockedNodesStayLockedAndAreWrittenLocked)
{
    ASSERT_TRUE(openScene("createNode transform -n \"guarded\";\n"
                          "\tsetAttr \".tx\" 2;\n"
                          "lockNode -l 1 ;\n"
                          "createNode transform -n \"free\";\n"));
    EXPECT_EQ(errors(), "");
    EXPECT_EQ(value("lockNode -q -l guarded").asIntArray()[0], 1);
    EXPECT_EQ(value("lockNode -q -l free").asIntArray()[0], 0);
    EXPECT_FALSE(run("delete guarded"));
    EXPECT_TRUE(exists("guarded"));
    const std::string saved = save("saved.ma");
    EXPECT_TRUE(contains(saved, "\tsetAttr \".t\" -type \"double3\" 2 0 0 ;\nlockNode -l 1 ;\ncreateNode transform -n \"free\"")) << saved;
    // Its unlocked plugs still take values.
    EXPECT_TRUE(run("setAttr guarded.ty 3")) << errors();
    EXPECT_EQ(value("getAttr guarded.ty").asDouble(), 3.0);
    run("lockNode -l 0 guarded");
    EXPECT_TRUE(run("delete guarded")) << errors();
    run("undo; undo");
    EXPECT_EQ(value("lockNode -q -l guarded").asIntArray()[0], 1) << "lockNode is undoable";
}

TEST_F(SceneReading, DagNodesShareShortNamesUnderDifferentParents)
{
    ASSERT_TRUE(openScene("createNode transform -n \"L_arm\";\n"
                          "createNode transform -n \"ctrl\" -p \"L_arm\";\n"
                          "\tsetAttr \".tx\" 1;\n"
                          "createNode transform -n \"R_arm\";\n"
                          "createNode transform -n \"ctrl\" -p \"R_arm\";\n"
                          "\tsetAttr \".tx\" -1;\n"
                          "connectAttr \"|L_arm|ctrl.tx\" \"|R_arm|ctrl.ty\";\n"));
    EXPECT_EQ(errors(), "");
    EXPECT_EQ(number("getAttr |L_arm|ctrl.tx"), 1);
    EXPECT_EQ(number("getAttr |R_arm|ctrl.tx"), -1);
    EXPECT_EQ(number("getAttr |R_arm|ctrl.ty"), 1);
    EXPECT_FALSE(run("getAttr ctrl.tx"));
    EXPECT_TRUE(contains(errors(), "More than one object matches name: ctrl")) << errors();

    const std::string saved = save("saved.ma");
    clearMessages();
    ASSERT_TRUE(openScene(saved.substr(saved.find("requires"))));
    EXPECT_EQ(errors(), "");
    EXPECT_EQ(save("saved.ma"), saved);
}

TEST_F(SceneReading, LinearValuesAreReadAndWrittenInTheFileUnit)
{
    ASSERT_TRUE(openScene("currentUnit -l inch -a degree -t film;\n"
                          "createNode transform -n \"t\";\n"
                          "\tsetAttr \".t\" -type \"double3\" 1 2 3 ;\n"));
    EXPECT_EQ(errors(), "");
    EXPECT_EQ(text("currentUnit -q -l"), "in");
    EXPECT_DOUBLE_EQ(number("getAttr t.tx"), 1.0);
    run("currentUnit -l cm");
    EXPECT_DOUBLE_EQ(number("getAttr t.tx"), 2.54) << "stored in centimetres";
    run("currentUnit -l m");
    EXPECT_TRUE(contains(save("saved.ma"), "currentUnit -l meter -a degree -t film;\n")) << save("saved.ma");
    EXPECT_TRUE(contains(save("saved.ma"), "\tsetAttr \".t\" -type \"double3\" 0.0254 0.0508 0.0762 ;\n")) << save("saved.ma");
}

} // namespace
