// The Attribute Editor templates of the six node types, run through the host's recording
// editorTemplate: every attribute of a node is shown once or suppressed (by the template or
// the base sections it calls), every name exists, labels are readable and layouts close.

#include "PluginTestSupport.h"

#include "commands/MessageOutput.h"

#include <maya/MFnAttribute.h>
#include <maya/MFnCompoundAttribute.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MObject.h>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#ifndef PELLIX_SCRIPTS_DIR
#define PELLIX_SCRIPTS_DIR "plugin/scripts"
#endif

namespace {

std::vector<std::string> fieldsOf(const MString& line)
{
    std::vector<std::string> fields;
    std::stringstream stream(line.asChar());
    std::string field;
    while (std::getline(stream, field, '\t'))
        fields.push_back(field);
    if (!line.length() || line.asChar()[line.length() - 1] == '\t')
        fields.push_back(std::string());
    return fields;
}

// What is wrong with a recorded template for `node`: one line per fault, none when sound.
class TemplateCheck
{
public:
    TemplateCheck(const MObject& node, const MStringArray& record) : fNode(node)
    {
        checkLayouts(record);
        collectNames(record);
        checkCoverage();
    }

    const std::vector<std::string>& problems() const { return fProblems; }

private:
    void checkLayouts(const MStringArray& record)
    {
        std::vector<std::string> open;  // "scroll" or a layout's label
        bool extraControls = false;
        for (unsigned i = 0; i < record.length(); ++i) {
            const std::vector<std::string> entry = fieldsOf(record[i]);
            const std::string& action = entry[0];
            if (action == "beginScrollLayout" || action == "beginLayout") {
                if (action == "beginScrollLayout" && !open.empty())
                    fProblems.push_back("scroll layout opened inside another layout");
                if (action == "beginLayout" && open.empty())
                    fProblems.push_back("layout \"" + entry[1] + "\" opened outside the scroll layout");
                open.push_back(action == "beginScrollLayout" ? "scroll" : entry[1]);
            } else if (action == "endLayout" || action == "endScrollLayout") {
                const bool scroll = action == "endScrollLayout";
                if (open.empty() || (open.back() == "scroll") != scroll)
                    fProblems.push_back(action + " closes nothing it opened");
                else
                    open.pop_back();
            } else if (open.empty()) {
                fProblems.push_back(action + " outside the scroll layout");
            } else if (action == "addExtraControls") {
                extraControls = true;
            }
        }
        for (const std::string& label : open)
            fProblems.push_back("\"" + label + "\" is never closed");
        if (!extraControls)
            fProblems.push_back("no -addExtraControls");
    }

    void collectNames(const MStringArray& record)
    {
        MFnDependencyNode fn(fNode);
        for (unsigned i = 0; i < record.length(); ++i) {
            const std::vector<std::string> entry = fieldsOf(record[i]);
            const std::string& action = entry[0];
            std::vector<std::string> names;
            if (action == "addControl" || action == "addDynamicControl") {
                names.push_back(entry[1]);
                if (entry.size() < 3 || entry[2].empty())
                    fProblems.push_back("no label for " + entry[1]);
                if (entry.size() > 3 && !entry[3].empty() &&
                    melInt("exists \"" + entry[3] + "\"") != 1)
                    fProblems.push_back("change command of " + entry[1] + " does not exist: " + entry[3]);
            } else if (action == "suppress") {
                names.push_back(entry[1]);
            } else if (action == "callCustom") {
                names.assign(entry.begin() + 3, entry.end());
            } else if (action == "dimControl") {
                if (!fn.hasAttribute(entry[2].c_str()))
                    fProblems.push_back("misspelt: " + entry[2]);
                continue;
            }
            for (const std::string& name : names) {
                if (!fn.hasAttribute(name.c_str())) {
                    fProblems.push_back("misspelt: " + name);
                    continue;
                }
                // Listed by its own long name, so children and parents can be matched.
                const std::string longName = MFnAttribute(fn.attribute(name.c_str())).name().asChar();
                if (!fListed.insert(longName).second)
                    fProblems.push_back("listed twice: " + longName);
            }
        }
    }

    bool listedWithAncestor(const MObject& attribute) const
    {
        for (MObject a = attribute; !a.isNull(); a = MFnAttribute(a).parent())
            if (fListed.count(MFnAttribute(a).name().asChar()))
                return true;
        return false;
    }

    // A compound counts as covered when each of its children is.
    bool covered(const MObject& attribute) const
    {
        if (listedWithAncestor(attribute))
            return true;
        if (!attribute.hasFn(MFn::kCompoundAttribute))
            return false;
        MFnCompoundAttribute compound(attribute);
        if (compound.numChildren() == 0)
            return false;
        for (unsigned k = 0; k < compound.numChildren(); ++k)
            if (!covered(compound.child(k)))
                return false;
        return true;
    }

    void checkCoverage()
    {
        MFnDependencyNode fn(fNode);
        for (unsigned i = 0; i < fn.attributeCount(); ++i) {
            const MObject attribute = fn.attribute(i);
            const std::string name = MFnAttribute(attribute).name().asChar();
            // Reported once, at the outermost attribute missing.
            const MObject parent = MFnAttribute(attribute).parent();
            if (!covered(attribute) && (parent.isNull() || covered(parent)))
                fProblems.push_back("neither shown nor suppressed: " + name);
            // Listed itself and through a parent or a child: shown twice.
            if (fListed.count(name))
                for (MObject a = MFnAttribute(attribute).parent(); !a.isNull(); a = MFnAttribute(a).parent())
                    if (fListed.count(MFnAttribute(a).name().asChar()))
                        fProblems.push_back("listed with its parent: " + name);
        }
    }

    MObject fNode;
    std::set<std::string> fListed;
    std::vector<std::string> fProblems;
};

std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

class AttributeEditorTemplate : public PellixPluginTest
{
protected:
    // Sources the node type's template and runs it on `node`; returns what it recorded.
    MStringArray runTemplate(const std::string& nodeType, const std::string& node)
    {
        EXPECT_TRUE(mel("hostEditorTemplateRecord -clear"));
        EXPECT_TRUE(mel("source \"" PELLIX_SCRIPTS_DIR "/AE" + nodeType + "Template.mel\""));
        EXPECT_TRUE(mel("AE" + nodeType + "Template \"" + node + "\""));
        return melStrings("hostEditorTemplateRecord -q");
    }

    // One node of each type, as a user would meet it.
    std::string makeNode(const std::string& nodeType)
    {
        if (nodeType == "vertexWrap") {
            EXPECT_TRUE(mel("polyCube -n target"));
            return melStrings("deformer -type vertexWrap target")[0].asChar();
        }
        return melString("createNode " + nodeType).asChar();
    }

    std::vector<std::string> problemsOf(const std::string& node, const MStringArray& record)
    {
        return TemplateCheck(nodeByName(node.c_str()), record).problems();
    }
};

const char* const kNodeTypes[] = {"pellixDataOverlay", "shapeControl", "surfacePin",
                                  "surfaceUVPin",      "vertexWrap",   "hoverMarker"};

TEST_F(AttributeEditorTemplate, EveryAttributeOfEveryNodeTypeIsShownOnceOrSuppressed)
{
    for (const char* nodeType : kNodeTypes) {
        SCOPED_TRACE(nodeType);
        const std::string node = makeNode(nodeType);
        const MStringArray record = runTemplate(nodeType, node);
        EXPECT_EQ(joined(problemsOf(node, record)), "");
        ASSERT_GE(record.length(), 3u);
        EXPECT_EQ(record[0], "beginScrollLayout");
        EXPECT_EQ(record[record.length() - 1], "endScrollLayout");
        EXPECT_EQ(record[record.length() - 2], "addExtraControls\t");
    }
}

TEST_F(AttributeEditorTemplate, UserFacingAttributesAreShownWithLabelsAndStoredArraysAreSuppressed)
{
    const std::string overlay = makeNode("pellixDataOverlay");
    const MStringArray record = runTemplate("pellixDataOverlay", overlay);
    std::map<std::string, std::string> labels;
    std::set<std::string> suppressed;
    for (unsigned i = 0; i < record.length(); ++i) {
        const std::vector<std::string> entry = fieldsOf(record[i]);
        if (entry[0] == "addControl")
            labels[entry[1]] = entry[2];
        if (entry[0] == "suppress")
            suppressed.insert(entry[1]);
    }
    EXPECT_EQ(labels["drawInXray"], "Draw In X-Ray");
    EXPECT_EQ(labels["selectedTransparency"], "Selected Transparency");
    EXPECT_EQ(labels["localPosition"], "Local Position");  // from the locator section
    EXPECT_EQ(labels["nodeState"], "Node State");          // from the node behaviour section
    for (const char* stored : {"patchVertexCounts", "patchEdgeIndices", "patchControl", "hoveredPatch"})
        EXPECT_EQ(suppressed.count(stored), 1u) << stored;
    EXPECT_EQ(labels.count("patchVertexCounts"), 0u);
}

TEST_F(AttributeEditorTemplate, OwnSectionsComeBeforeTheBaseSections)
{
    const std::string wrap = makeNode("vertexWrap");
    const MStringArray record = runTemplate("vertexWrap", wrap);
    std::vector<std::string> sections;
    for (unsigned i = 0; i < record.length(); ++i) {
        const std::vector<std::string> entry = fieldsOf(record[i]);
        if (entry[0] == "beginLayout")
            sections.push_back(entry[1] + (entry[2] == "0" ? " (open)" : " (collapsed)"));
    }
    EXPECT_EQ(joined(sections), "Vertex Wrap Attributes (open)\nNode Behavior (collapsed)\n");
    EXPECT_EQ(record[2], "addControl\tenvelope\tEnvelope\t");
}

TEST_F(AttributeEditorTemplate, ChangeCommandsDimTheControlsThatNoLongerApply)
{
    const std::string overlay = makeNode("pellixDataOverlay");
    runTemplate("pellixDataOverlay", overlay);
    ASSERT_TRUE(mel("hostEditorTemplateRecord -clear"));
    ASSERT_TRUE(mel("AEpellixDataOverlayWireframeChanged " + overlay));
    ASSERT_TRUE(mel("setAttr " + overlay + ".showTransformReadout true"));
    ASSERT_TRUE(mel("AEpellixDataOverlayReadoutChanged " + overlay));
    const MStringArray dims = melStrings("hostEditorTemplateRecord -q");
    ASSERT_EQ(dims.length(), 2u);
    EXPECT_EQ(dims[0], MString(("dimControl\t" + overlay + "\twireframeWidth\t1").c_str()));
    EXPECT_EQ(dims[1], MString(("dimControl\t" + overlay + "\treadoutTextSize\t0").c_str()));

    const std::string control = makeNode("shapeControl");
    runTemplate("shapeControl", control);
    ASSERT_TRUE(mel("hostEditorTemplateRecord -clear"));
    ASSERT_TRUE(mel("setAttr " + control + ".useReadoutTextColor false"));
    ASSERT_TRUE(mel("AEshapeControlReadoutColorChanged " + control));
    EXPECT_EQ(melStrings("hostEditorTemplateRecord -q")[0],
              MString(("dimControl\t" + control + "\treadoutTextColor\t1").c_str()));
}

TEST_F(AttributeEditorTemplate, OverlayListsItsPatchesWithTheirControls)
{
    ASSERT_TRUE(mel("polyPlane -n body -w 4 -h 4 -sx 4 -sy 4; createNode transform -n chestCtrl; "
                    "pellixPatchCreate -control chestCtrl -name chest body.f[1:2]; duplicate -n loose body; "
                    "pellixDataBind -partialRebind false body chest loose"));
    runTemplate("pellixDataOverlay", "pellixDataOverlayShape");
    const std::vector<std::string> lines = {"chest  ->  chestCtrl", "loose  ->  loose"};
    const MStringArray shown = melStrings("AEpellixDataOverlayPatchLines pellixDataOverlayShape");
    ASSERT_EQ(shown.length(), lines.size());
    for (unsigned i = 0; i < shown.length(); ++i)
        EXPECT_EQ(shown[i].asChar(), lines[i]);
}

// The check itself: a template with faults is caught, so a passing template means something.
TEST_F(AttributeEditorTemplate, CheckCatchesMisspeltMissingAndUnclosedEntries)
{
    const std::string overlay = makeNode("pellixDataOverlay");
    ASSERT_TRUE(mel("source \"" PELLIX_SCRIPTS_DIR "/AEpellixDataOverlayTemplate.mel\""));
    ASSERT_TRUE(mel("hostEditorTemplateRecord -clear"));
    // A misspelt colour, a label shown twice, and every stored array forgotten.
    ASSERT_TRUE(mel("editorTemplate -beginScrollLayout;"
                    "editorTemplate -beginLayout \"Colors\" -collapse 0;"
                    "editorTemplate -label \"Color\" -addControl \"colour\";"
                    "editorTemplate -label \"Enable\" -addControl \"enable\";"
                    "editorTemplate -label \"Enable Again\" -addControl \"en\";"
                    "editorTemplate -label \"Red\" -addControl \"hoverColorR\";"
                    "editorTemplate -label \"Hover\" -addControl \"hoverColor\";"
                    "editorTemplate -endLayout;"
                    "AElocatorInclude " + overlay + ";"));
    const std::vector<std::string> problems = problemsOf(overlay, melStrings("hostEditorTemplateRecord -q"));
    const std::set<std::string> found(problems.begin(), problems.end());
    for (const char* expected :
         {"misspelt: colour", "listed twice: enable", "listed with its parent: hoverColorR",
          "neither shown nor suppressed: color", "neither shown nor suppressed: patchVertexCounts",
          "neither shown nor suppressed: nodeState", "\"scroll\" is never closed", "no -addExtraControls"})
        EXPECT_EQ(found.count(expected), 1u) << expected << "\nin:\n" << joined(problems);
    EXPECT_EQ(found.count("neither shown nor suppressed: localPosition"), 0u);
    EXPECT_TRUE(mel("hostEditorTemplateRecord -clear"));
}

TEST_F(AttributeEditorTemplate, EditorTemplateRecordsEachRequestWithItsWords)
{
    ASSERT_TRUE(mel("hostEditorTemplateRecord -clear"));
    ASSERT_TRUE(mel("editorTemplate -beginScrollLayout;"
                    "editorTemplate -beginNoOptimize;"
                    "editorTemplate -beginLayout \"Look\";"
                    "editorTemplate -l \"-X Offset\" -ann \"Along -X\" -ac \"offsetX\" \"onOffset\";"
                    "editorTemplate -label \"Extra\" -addDynamicControl \"extra\";"
                    "editorTemplate -addSeparator;"
                    "editorTemplate -ccu \"makeRamp\" \"updateRamp\" \"rampA\" \"rampB\";"
                    "editorTemplate -interruptOptimize;"
                    "editorTemplate -s \"hiddenThing\";"
                    "editorTemplate -endLayout;"
                    "editorTemplate -endNoOptimize;"
                    "editorTemplate -extraControlsLabel \"More\" -addExtraControls;"
                    "editorTemplate -endScrollLayout;"));
    const MStringArray record = melStrings("hostEditorTemplateRecord -q");
    std::vector<std::string> lines;
    for (unsigned i = 0; i < record.length(); ++i)
        lines.push_back(record[i].asChar());
    EXPECT_EQ(joined(lines),
              "beginScrollLayout\n"
              "beginNoOptimize\n"
              "beginLayout\tLook\t1\n"  // collapsed unless told otherwise
              "addControl\toffsetX\t-X Offset\tonOffset\n"
              "addDynamicControl\textra\tExtra\t\n"
              "addSeparator\n"
              "callCustom\tmakeRamp\tupdateRamp\trampA\trampB\n"
              "interruptOptimize\n"
              "suppress\thiddenThing\n"
              "endLayout\n"
              "endNoOptimize\n"
              "addExtraControls\tMore\n"
              "endScrollLayout\n");
    ASSERT_TRUE(mel("hostEditorTemplateRecord -clear"));
    EXPECT_EQ(melStrings("hostEditorTemplateRecord -q").length(), 0u);
}

TEST_F(AttributeEditorTemplate, EditorTemplateRefusesBadNestingAndFlagsWithMessages)
{
    ASSERT_TRUE(mel("hostEditorTemplateRecord -clear"));
    const struct
    {
        const char* command;
        const char* error;
    } cases[] = {
        {"editorTemplate -endLayout", "editorTemplate: -endLayout has no -beginLayout to close.\n"},
        {"editorTemplate -beginLayout \"A\"", "editorTemplate: -beginLayout \"A\" outside -beginScrollLayout.\n"},
        {"editorTemplate -endScrollLayout",
         "editorTemplate: -endScrollLayout has no -beginScrollLayout to close.\n"},
        {"editorTemplate -addControl \"a\" -label \"A\"", "editorTemplate: -label must come before -addControl.\n"},
        {"editorTemplate -label \"A\" -suppress \"a\"",
         "editorTemplate: -label goes with -addControl or -addDynamicControl.\n"},
        {"editorTemplate -suppress \"a\" -addSeparator",
         "editorTemplate: -suppress and -addSeparator cannot be used together.\n"},
        {"editorTemplate -collapse 0",
         "editorTemplate: no action flag given (-addControl, -beginLayout, -suppress, ...).\n"},
        {"editorTemplate -addControl \"a\" \"cmd\" \"extra\"", "editorTemplate: unexpected argument \"extra\".\n"},
        {"editorTemplate -callCustom \"new\"", "editorTemplate: flag -callCustom needs 2 arguments.\n"},
        {"editorTemplate -dimControl \"n\" \"a\" maybe",
         "editorTemplate: -dimControl takes true or false, not \"maybe\".\n"},
        {"editorTemplate -addControls \"a\"", "editorTemplate: invalid flag -addControls.\n"},
        {"hostEditorTemplateRecord", "hostEditorTemplateRecord: give -clear or -q.\n"},
        {"AEdependNodeTemplate", "Wrong number of arguments on call to AEdependNodeTemplate.\n"},
    };
    for (const auto& c : cases) {
        host::MessageCapture capture;
        EXPECT_FALSE(mel(c.command)) << c.command;
        const MString errors = capture.text(host::MessageKind::kError);
        const std::string text = errors.asChar();
        const std::string first = text.substr(0, text.find('\n') + 1);
        EXPECT_EQ(first, c.error) << c.command;
    }

    // A section left open keeps the scroll layout from closing; closing it in order works.
    ASSERT_TRUE(mel("editorTemplate -beginScrollLayout; editorTemplate -beginLayout \"Display\""));
    {
        host::MessageCapture capture;
        EXPECT_FALSE(mel("editorTemplate -endScrollLayout"));
        EXPECT_EQ(capture.text(host::MessageKind::kError),
                  MString("editorTemplate: -endScrollLayout while layout \"Display\" is still open.\n"));
    }
    EXPECT_TRUE(mel("editorTemplate -endLayout; editorTemplate -endScrollLayout"));
    EXPECT_EQ(melStrings("hostEditorTemplateRecord -q").length(), 4u);
    EXPECT_EQ(melStrings("hostEditorTemplateRecord -q")[1], "beginLayout\tDisplay\t1");
}

} // namespace
