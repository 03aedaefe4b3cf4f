// The hover marker in a live scene: the one marker node the system makes (never saved, hidden
// in the Outliner, drawn as reference), a user's saved "hoverMarker" that is never adopted,
// the shown state the draw override copies, and unloading with a marker in the scene.

#include "PluginTestSupport.h"

#include "hoverMarker/HoverMarkerDrawOverride.h"
#include "hoverMarker/HoverMarkerState.h"

#include <maya/MDagPath.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFrameContext.h>
#include <maya/MStringArray.h>

#include <memory>
#include <mutex>
#include <string>

namespace {

std::string nameOf(const MObject& node)
{
    return MFnDependencyNode(node).name().asChar();
}

HoverMarkerState markerState()
{
    std::lock_guard<std::mutex> lock(hoverMarkerMutex);
    return hoverMarkerState;
}

// The renderer makes frame contexts; the marker's draw preparation does not look into it.
class BareFrameContext : public MHWRender::MFrameContext
{
};

class HoverMarker : public PellixPluginTest
{
protected:
    void TearDown() override
    {
        // The marker state is this test program's own copy: leave it as loading finds it.
        deleteHoverMarker();
        PellixPluginTest::TearDown();
    }
};

} // namespace

TEST_F(HoverMarker, GetOrCreateMakesOneHiddenReferenceMarkerAndReusesIt)
{
    EXPECT_TRUE(currentHoverMarker().isNull()) << "no marker before it is first needed";
    const MObject marker = getOrCreateHoverMarker();
    ASSERT_FALSE(marker.isNull());
    EXPECT_EQ(nameOf(marker), "hoverMarkerNodeShape");
    EXPECT_TRUE(isOwnedHoverMarker(marker));
    EXPECT_EQ(melStrings("listRelatives -p hoverMarkerNodeShape")[0], MString("hoverMarkerNode"));
    EXPECT_EQ(melInt("getAttr hoverMarkerNode.hiddenInOutliner"), 1);
    EXPECT_EQ(melInt("getAttr hoverMarkerNode.overrideEnabled"), 1);
    EXPECT_EQ(melInt("getAttr hoverMarkerNode.overrideDisplayType"), 2);

    EXPECT_EQ(getOrCreateHoverMarker(), marker);
    EXPECT_EQ(currentHoverMarker(), marker);
    EXPECT_EQ(melStrings("ls -type hoverMarker").length(), 1u);
}

TEST_F(HoverMarker, IsNeverWrittenToASceneFile)
{
    ASSERT_TRUE(mel("createNode transform -n keeper"));
    ASSERT_FALSE(getOrCreateHoverMarker().isNull());
    const std::string text = sceneText();
    EXPECT_NE(text.find("\"keeper\""), std::string::npos) << text;
    EXPECT_EQ(text.find("hoverMarker"), std::string::npos) << text;
}

TEST_F(HoverMarker, ASavedUserMarkerIsNeverAdopted)
{
    ASSERT_TRUE(mel("createNode hoverMarker -n hoverMarkerNodeShape"));
    const MObject users = nodeByName("hoverMarkerNodeShape");
    ASSERT_FALSE(users.isNull());
    EXPECT_FALSE(isOwnedHoverMarker(users));

    const MObject marker = getOrCreateHoverMarker();
    ASSERT_FALSE(marker.isNull());
    EXPECT_NE(marker, users);
    EXPECT_TRUE(isOwnedHoverMarker(marker));

    // The user's node stays as it was and is still saved.
    deleteHoverMarker();
    EXPECT_EQ(melInt("objExists hoverMarkerNodeShape"), 1);
    EXPECT_NE(sceneText().find("createNode hoverMarker -n \"hoverMarkerNodeShape\""), std::string::npos);
}

TEST_F(HoverMarker, AMarkerDeletedByTheUserIsMadeAgain)
{
    const MObject first = getOrCreateHoverMarker();
    ASSERT_FALSE(first.isNull());
    ASSERT_TRUE(mel("delete hoverMarkerNode"));
    EXPECT_TRUE(currentHoverMarker().isNull());
    const MObject second = getOrCreateHoverMarker();
    ASSERT_FALSE(second.isNull());
    EXPECT_EQ(nameOf(second), "hoverMarkerNodeShape");
}

TEST_F(HoverMarker, ShowAndHideSetTheStateTheDrawOverrideCopies)
{
    showHoverMarker(MPoint(1.0, 2.0, 3.0), MVector(0.0, 0.0, 1.0), MColor(0.2f, 0.9f, 0.4f, 1.0f));
    HoverMarkerState shown = markerState();
    // (Where, how large and in what colour the ring shows is checked in the views' pictures.)
    EXPECT_TRUE(shown.visible);
    EXPECT_EQ(shown.normal, MVector(0.0, 0.0, 1.0));
    EXPECT_FLOAT_EQ(shown.lineWidth, 1.5f);
    const MObject marker = currentHoverMarker();
    ASSERT_FALSE(marker.isNull()) << "showing makes the marker node";

    std::unique_ptr<MHWRender::MPxDrawOverride> drawOverride(HoverMarkerDrawOverride::creator(marker));
    EXPECT_FALSE(drawOverride->isBounded(MDagPath(), MDagPath()));
    EXPECT_TRUE(drawOverride->hasUIDrawables());
    BareFrameContext frame;
    MUserData* data = drawOverride->prepareForDraw(MDagPath(), MDagPath(), frame, nullptr);
    auto* copy = dynamic_cast<HoverMarkerData*>(data);
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(copy->visible);
    EXPECT_EQ(copy->position, MPoint(1.0, 2.0, 3.0));

    hideHoverMarker();
    EXPECT_FALSE(markerState().visible);
    EXPECT_EQ(drawOverride->prepareForDraw(MDagPath(), MDagPath(), frame, data), data) << "draw data is reused";
    EXPECT_FALSE(copy->visible);
    EXPECT_EQ(currentHoverMarker(), marker) << "hiding keeps the node for the next hover";
    delete data;
}

TEST_F(HoverMarker, UnloadingWithAMarkerInTheSceneRemovesItTwiceOver)
{
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        if (!isPellixLoaded()) {
            ASSERT_TRUE(loadPellix());
        }
        ASSERT_FALSE(getOrCreateHoverMarker().isNull());
        StderrCapture errors;
        EXPECT_TRUE(mel(std::string("unloadPlugin ") + kPluginName));
        EXPECT_EQ(errors.finish(), "");
        EXPECT_FALSE(isPellixLoaded());
        EXPECT_EQ(melInt("objExists hoverMarkerNode"), 0);
        EXPECT_EQ(melInt("objExists hoverMarkerNodeShape"), 0);
        EXPECT_EQ(melStrings("ls \"hoverMarker*\"").length(), 0u);
        deleteHoverMarker();
    }
}

TEST_F(HoverMarker, UnloadKeepsRefusingForAUsersSavedMarker)
{
    ASSERT_TRUE(mel("createNode hoverMarker -n usersMarker"));
    ASSERT_FALSE(getOrCreateHoverMarker().isNull());
    EXPECT_EQ(melFailure(std::string("unloadPlugin ") + kPluginName),
              std::string("unloadPlugin: Cannot unload plug-in \"") + kPluginName +
                  "\": 1 node of its types is in the scene (use -force to unload anyway).\n");
    EXPECT_TRUE(isPellixLoaded());
    EXPECT_EQ(melInt("objExists usersMarker"), 1);
    EXPECT_EQ(melInt("objExists hoverMarkerNode"), 0) << "our own marker went all the same";
}
