// The overlay's Viewport 2.0 geometry, driven as the viewport drives it: the override is
// made by the creator registered for the overlay's classification, asked whether it needs
// an update, updated, asked for its buffers and cleaned up, frame after frame, in the
// normal context and in the background context of cached playback.

#include "OverlayBehaviourScene.h"
#include "PluginTestSupport.h"

#include "viewport/DrawRegistryState.h"
#include "viewport/FrameRenderer.h"
#include "viewport/RendererAccess.h"
#include "viewport/ShaderParameters.h"
#include "viewport/UiDrawList.h"

#include <maya/MDGContext.h>
#include <maya/MDGContextGuard.h>
#include <maya/MDGModifier.h>
#include <maya/MDGMessage.h>
#include <maya/MDrawContext.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnMesh.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MHWGeometry.h>
#include <maya/MPointArray.h>
#include <maya/MPxGeometryOverride.h>
#include <maya/MStateManager.h>
#include <maya/MTime.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using Indices = std::vector<uint32_t>;

// What the viewport asks a geometry override for: positions and normals as floats.
class ShadedRequirements : public MHWRender::MGeometryRequirements
{
public:
    ShadedRequirements()
    {
        addVertexRequirement(MHWRender::MVertexBufferDescriptor("", MHWRender::MGeometry::kPosition,
                                                                MHWRender::MGeometry::kFloat, 3));
        addVertexRequirement(MHWRender::MVertexBufferDescriptor("", MHWRender::MGeometry::kNormal,
                                                                MHWRender::MGeometry::kFloat, 3));
    }
};

// What one frame wrote: positions and normals (empty when not written) and, by item name,
// the index buffers associated this frame.
struct Frame {
    bool updated = false;
    std::vector<float> positions;
    std::vector<float> normals;
    std::map<std::string, Indices> indices;
};

const char* const kItemNames[] = {"pellixDataOverlayBase", "pellixDataOverlaySelected", "pellixDataOverlayHover",
                                  "pellixDataOverlayWire", "pellixDataOverlayColor0"};

std::vector<float> readFloats(MHWRender::MVertexBuffer* buffer)
{
    const float* data = static_cast<const float*>(buffer->map());
    const size_t count = size_t(buffer->vertexCount()) * buffer->descriptor().dimension();
    return data ? std::vector<float>(data, data + count) : std::vector<float>();
}

class OverlayGeometryOverride : public PellixPluginTest
{
protected:
    void SetUp() override
    {
        PellixPluginTest::SetUp();
        ASSERT_TRUE(buildDriverAndPatches());
        ASSERT_TRUE(buildBoundOverlay("overlay", "overlayShape"));
        host::DrawOverrideEntry entry;
        ASSERT_TRUE(host::findDrawOverrideFor("drawdb/geometry/pellixDataOverlay", entry));
        ASSERT_EQ(entry.kind, host::DrawOverrideEntry::kGeometryOverride);
        geometryOverride.reset(entry.geometryCreator(nodeByName("overlayShape")));
        ASSERT_NE(geometryOverride, nullptr);
    }

    void TearDown() override
    {
        geometryOverride.reset();
        PellixPluginTest::TearDown();
    }

    // One viewport frame: update when asked to, fill the buffers the override says are
    // dirty, clean up.
    Frame frame()
    {
        Frame result;
        refreshOverlay("overlayShape");
        result.updated = geometryOverride->requiresGeometryUpdate();
        if (result.updated) {
            geometryOverride->updateDG();
        }
        populate(result);
        geometryOverride->cleanUp();
        return result;
    }

    // Fills fresh buffers for the four items (as the renderer holds them) and records what
    // was written.
    void populate(Frame& result)
    {
        MHWRender::MRenderItemList items;
        for (const char* name : kItemNames) {
            items.append(MHWRender::MRenderItem::Create(name, MHWRender::MRenderItem::NonMaterialSceneItem,
                                                        MHWRender::MGeometry::kTriangles));
        }
        ShadedRequirements requirements;
        MHWRender::MGeometry geometry;
        geometryOverride->populateGeometry(requirements, items, geometry);
        for (int i = 0; i < geometry.vertexBufferCount(); ++i) {
            MHWRender::MVertexBuffer* buffer = geometry.vertexBuffer(i);
            const bool isPosition = buffer->descriptor().semantic() == MHWRender::MGeometry::kPosition;
            (isPosition ? result.positions : result.normals) = readFloats(buffer);
        }
        for (int i = 0; i < items.length(); ++i) {
            const MHWRender::MIndexBuffer* buffer = host::RendererAccess::associatedIndexBuffer(*items.itemAt(i));
            if (buffer != nullptr) {
                MHWRender::MIndexBuffer* readable = const_cast<MHWRender::MIndexBuffer*>(buffer);
                const uint32_t* data = static_cast<const uint32_t*>(readable->map());
                result.indices[items.itemAt(i)->name().asChar()] = Indices(data, data + buffer->size());
            }
        }
    }

    // Cached playback at `frameNumber`: the background update, and later the draw from the cache.
    Frame cachedUpdate(double frameNumber)
    {
        MDGContextGuard guard(MDGContext(MTime(frameNumber, MTime::kFilm)));
        Frame result;
        result.updated = geometryOverride->requiresGeometryUpdate();
        geometryOverride->updateDG();
        return result;
    }

    Frame cachedDraw(double frameNumber)
    {
        MDGContextGuard guard(MDGContext(MTime(frameNumber, MTime::kFilm)));
        Frame result;
        populate(result);
        return result;
    }

    // The driver's points through its transform's translate and scale, at the render
    // vertices the two patches use (driver vertices in the order their triangles first use them).
    std::vector<float> expectedPositions(double tx, double ty, double tz, double scale)
    {
        MFnMesh mesh(nodeByName("driverShape"));
        MPointArray points;
        EXPECT_TRUE(mesh.getPoints(points));
        std::vector<float> result;
        for (unsigned id : {0u, 1u, 4u, 3u, 5u, 8u, 7u}) {
            result.push_back(static_cast<float>(points[id].x * scale + tx));
            result.push_back(static_cast<float>(points[id].y * scale + ty));
            result.push_back(static_cast<float>(points[id].z * scale + tz));
        }
        return result;
    }

    // A frame as far as the render items: update, then the items when the override asks;
    // `written` gets the buffers filled after them.
    bool updateItems(MHWRender::MRenderItemList& items, Frame* written = nullptr)
    {
        refreshOverlay("overlayShape");
        if (geometryOverride->requiresGeometryUpdate()) {
            geometryOverride->updateDG();
        }
        const bool asked = geometryOverride->requiresUpdateRenderItems(MDagPath());
        if (asked) {
            geometryOverride->updateRenderItems(MDagPath(), items);
        }
        if (written != nullptr) {
            populate(*written);
        }
        geometryOverride->cleanUp();
        return asked;
    }

    // The texts the override's UI drawables would show this frame.
    std::vector<host::UiDrawable> readoutTexts()
    {
        std::vector<host::UiDrawable> texts;
        if (!geometryOverride->hasUIDrawables()) {
            return texts;
        }
        host::HostDrawManager drawManager;
        host::HostDrawContext context;
        geometryOverride->addUIDrawables(MDagPath(), drawManager, context);
        for (const host::UiDrawable& drawable : host::RendererAccess::uiList(drawManager).drawables) {
            if (drawable.kind == host::UiDrawable::kText) {
                texts.push_back(drawable);
            }
        }
        return texts;
    }

    std::unique_ptr<MHWRender::MPxGeometryOverride> geometryOverride;
    // Both patches' triangles in render vertices; they share render vertex 2 (driver vertex 4).
    const Indices patch0{0, 1, 2, 0, 2, 3};
    const Indices patch1{2, 4, 5, 2, 5, 6};
};

void expectNear(const std::vector<float>& actual, const std::vector<float>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        EXPECT_NEAR(actual[i], expected[i], 1e-5) << "entry " << i;
    }
}

} // namespace

TEST_F(OverlayGeometryOverride, FirstFrameDrawsBothPatchesAtTheDriversWorldPoints)
{
    ASSERT_TRUE(mel("setAttr driver.translate 1 2 3; setAttr driver.scale 2 2 2"));
    Frame first = frame();
    EXPECT_TRUE(first.updated);
    expectNear(first.positions, expectedPositions(1, 2, 3, 2));
    // Every normal points up.
    std::vector<float> up;
    for (int v = 0; v < 7; ++v) {
        up.insert(up.end(), {0.0f, 1.0f, 0.0f});
    }
    EXPECT_EQ(first.normals, up);
    Indices both = patch0;
    both.insert(both.end(), patch1.begin(), patch1.end());
    EXPECT_EQ(first.indices["pellixDataOverlayBase"], both);
    EXPECT_EQ(first.indices["pellixDataOverlayWire"],
              (Indices{0, 1, 0, 3, 1, 2, 3, 2, 2, 4, 2, 6, 4, 5, 6, 5}));
    EXPECT_EQ(first.indices.count("pellixDataOverlaySelected"), 0u);
    EXPECT_EQ(first.indices.count("pellixDataOverlayHover"), 0u);

    // Nothing changed: no update and nothing written.
    Frame steady = frame();
    EXPECT_FALSE(steady.updated);
    EXPECT_TRUE(steady.positions.empty());
    EXPECT_TRUE(steady.indices.empty());
}

TEST_F(OverlayGeometryOverride, MovingTheDriverRewritesPositionsOnly)
{
    ASSERT_TRUE(mel("setAttr driver.translateY 1"));
    frame();
    ASSERT_TRUE(mel("setAttr driver.translateX -5"));
    Frame moved = frame();
    EXPECT_TRUE(moved.updated);
    expectNear(moved.positions, expectedPositions(-5, 1, 0, 1));
    EXPECT_TRUE(moved.normals.empty());
    EXPECT_TRUE(moved.indices.empty());
}

// A driver skinned to a keyed joint: each frame of playback draws that frame's skinned pose.
TEST_F(OverlayGeometryOverride, PlaybackDrawsEachFrameOfASkinnedDriver)
{
    ASSERT_TRUE(mel("select -cl; joint -n root -p -2 0 0; joint -n tip -p 2 0 0; skinCluster -tsb root tip driver;"
                    "playbackOptions -min 1 -max 4; setKeyframe -t 1 -v 0 root.rz; setKeyframe -t 4 -v 30 root.rz"));
    frame();
    std::vector<std::vector<float>> drawn, skinned;
    std::function<void()> eachFrame = [&] {
        drawn.push_back(frame().positions);
        skinned.push_back(expectedPositions(0, 0, 0, 1));
    };
    MStatus status;
    const MCallbackId id = MDGMessage::addForceUpdateCallback(
        [](MTime&, void* step) { (*static_cast<std::function<void()>*>(step))(); }, &eachFrame, &status);
    ASSERT_TRUE(status);
    ASSERT_TRUE(mel("play -wait"));
    MMessage::removeCallback(id);
    ASSERT_EQ(drawn.size(), 4u);
    for (size_t f = 0; f < drawn.size(); ++f) {
        expectNear(drawn[f], skinned[f]);
    }
    // The root turns the far side up, and the drawing with it.
    EXPECT_GT(skinned.back()[3 * 4 + 1], 0.1f);
}

TEST_F(OverlayGeometryOverride, HighlightChangesRewriteIndexBuffersOnly)
{
    frame();
    ASSERT_TRUE(mel("setAttr overlayShape.hoveredPatch 0"));
    Frame hovered = frame();
    EXPECT_TRUE(hovered.positions.empty());
    EXPECT_TRUE(hovered.normals.empty());
    EXPECT_EQ(hovered.indices["pellixDataOverlayHover"], patch0);
    EXPECT_EQ(hovered.indices["pellixDataOverlayBase"], patch1);

    // Hovered and selected: drawn as selected only.
    ASSERT_TRUE(mel("setAttr overlayShape.selectedPatches -type Int32Array 1 0"));
    Frame selected = frame();
    EXPECT_TRUE(selected.positions.empty());
    EXPECT_EQ(selected.indices["pellixDataOverlaySelected"], patch0);
    EXPECT_EQ(selected.indices["pellixDataOverlayBase"], patch1);
    EXPECT_EQ(selected.indices.count("pellixDataOverlayHover"), 0u);

    // Indices that name no patch highlight nothing.
    ASSERT_TRUE(mel("setAttr overlayShape.hoveredPatch 7"));
    ASSERT_TRUE(mel("setAttr overlayShape.selectedPatches -type Int32Array 2 -1 2"));
    Frame outOfRange = frame();
    EXPECT_EQ(outOfRange.indices.count("pellixDataOverlaySelected"), 0u);
    EXPECT_EQ(outOfRange.indices.count("pellixDataOverlayHover"), 0u);
    EXPECT_EQ(outOfRange.indices["pellixDataOverlayBase"].size(), 12u);
}

TEST_F(OverlayGeometryOverride, HoverChangedWhileTheDriverWasMissingShowsOnceItReturns)
{
    frame();
    // A driver without vertices gives the patches nowhere to be drawn.
    ASSERT_TRUE(mel("createNode mesh -n emptyShape; connectAttr -f emptyShape.worldMesh[0] overlayShape.inMesh"));
    ASSERT_TRUE(mel("setAttr overlayShape.hoveredPatch 1"));
    Frame missing = frame();
    EXPECT_TRUE(missing.updated);
    EXPECT_TRUE(missing.positions.empty());

    ASSERT_TRUE(mel("connectAttr -f driverShape.worldMesh[0] overlayShape.inMesh"));
    Frame back = frame();
    expectNear(back.positions, expectedPositions(0, 0, 0, 1));
    EXPECT_EQ(back.indices["pellixDataOverlayHover"], patch1);
    EXPECT_EQ(back.indices["pellixDataOverlayBase"], patch0);
}

TEST_F(OverlayGeometryOverride, DamagedStoredSlicesDrawTheSoundPatches)
{
    frame();
    // Patch 0's triangle slice starts far beyond the stored indices; its edges have a
    // negative count. Patch 1 is intact.
    ASSERT_TRUE(mel("setAttr overlayShape.patchTriangleOffsets -type Int32Array 2 2147483647 6"));
    ASSERT_TRUE(mel("setAttr overlayShape.patchEdgeCounts -type Int32Array 2 -8 8"));
    Frame damaged = frame();
    EXPECT_TRUE(damaged.updated);
    // Only patch 1's vertices are used now, renumbered from 0.
    EXPECT_EQ(damaged.positions.size(), 4u * 3u);
    EXPECT_EQ(damaged.indices["pellixDataOverlayBase"], (Indices{0, 1, 2, 0, 2, 3}));
    EXPECT_EQ(damaged.indices["pellixDataOverlayWire"], (Indices{0, 1, 0, 3, 1, 2, 3, 2}));

    // Vertex counts that overflow 32 bits when summed draw nothing, and do not crash.
    ASSERT_TRUE(mel("setAttr overlayShape.patchVertexCounts -type Int32Array 2 2147483647 2147483647"));
    Frame overflowing = frame();
    EXPECT_TRUE(overflowing.positions.empty());
    EXPECT_TRUE(overflowing.indices.empty());
}

TEST_F(OverlayGeometryOverride, CachedPlaybackPlacesPointsWithTheDriversWorldMatrix)
{
    ASSERT_TRUE(mel("setAttr driver.translate 0 3 0"));
    frame();
    ASSERT_TRUE(geometryOverride->supportsVP2CustomCaching());
    Frame update = cachedUpdate(4);
    EXPECT_TRUE(update.updated);
    Frame drawn = cachedDraw(4);
    expectNear(drawn.positions, expectedPositions(0, 3, 0, 1));
    // Cached draws write positions only.
    EXPECT_TRUE(drawn.normals.empty());
    EXPECT_TRUE(drawn.indices.empty());
    // The entry was used up; another frame has nothing cached.
    EXPECT_TRUE(cachedDraw(4).positions.empty());
    EXPECT_TRUE(cachedDraw(5).positions.empty());
}

TEST_F(OverlayGeometryOverride, CachedPlaybackKeepsTheNewestEightPerTimeAndThirtyTwoTimes)
{
    frame();
    // Ten updates at one time, each with the driver somewhere else.
    for (int k = 0; k < 10; ++k) {
        ASSERT_TRUE(mel("setAttr driver.translateX " + std::to_string(k)));
        cachedUpdate(1);
    }
    for (int k = 9; k >= 2; --k) {
        SCOPED_TRACE(k);
        expectNear(cachedDraw(1).positions, expectedPositions(k, 0, 0, 1));
    }
    EXPECT_TRUE(cachedDraw(1).positions.empty());

    // Thirty-three times: the earliest is dropped.
    for (int time = 10; time < 43; ++time) {
        cachedUpdate(time);
    }
    EXPECT_TRUE(cachedDraw(10).positions.empty());
    for (int time = 11; time < 43; ++time) {
        EXPECT_FALSE(cachedDraw(time).positions.empty()) << "time " << time;
    }
}

TEST_F(OverlayGeometryOverride, NoCachingWhileTheReadoutIsShown)
{
    ASSERT_TRUE(mel("setAttr overlayShape.showTransformReadout 1"));
    frame();
    EXPECT_TRUE(geometryOverride->hasUIDrawables());
    EXPECT_FALSE(geometryOverride->supportsVP2CustomCaching());
    cachedUpdate(2);
    EXPECT_TRUE(cachedDraw(2).positions.empty());
}

TEST_F(OverlayGeometryOverride, ReadoutShowsAboveTheOneSelectedPatchOnceItsControlMoves)
{
    ASSERT_TRUE(mel("setAttr overlayShape.showTransformReadout 1"));
    ASSERT_TRUE(mel("setAttr overlayShape.selectedPatches -type Int32Array 1 0"));
    frame();
    EXPECT_TRUE(readoutTexts().empty()) << "nothing has changed yet";

    ASSERT_TRUE(mel("setAttr ctrlA.translateX 1.5"));
    frame();
    const std::vector<host::UiDrawable> texts = readoutTexts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(std::string(texts[0].text.asChar()).find("1.5"), std::string::npos) << texts[0].text.asChar();
    EXPECT_TRUE(texts[0].xray);
    // Above the centre of patch 0 (render vertices 0 to 3), lifted by 4% of its diagonal.
    const std::vector<float> points = expectedPositions(0, 0, 0, 1);
    double low[3] = {1e9, 1e9, 1e9}, high[3] = {-1e9, -1e9, -1e9};
    for (int v = 0; v < 4; ++v) {
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = std::min<double>(low[axis], points[3 * v + axis]);
            high[axis] = std::max<double>(high[axis], points[3 * v + axis]);
        }
    }
    const double dx = high[0] - low[0], dy = high[1] - low[1], dz = high[2] - low[2];
    const double diagonal = std::sqrt(dx * dx + dy * dy + dz * dz);
    EXPECT_NEAR(texts[0].anchor.x, 0.5 * (low[0] + high[0]), 1e-6);
    EXPECT_NEAR(texts[0].anchor.y, high[1] + std::max(0.04 * diagonal, 0.05), 1e-6);
    EXPECT_NEAR(texts[0].anchor.z, 0.5 * (low[2] + high[2]), 1e-6);
}

TEST_F(OverlayGeometryOverride, ReadoutOnlyWhenTheSelectedPatchesAllStandForOneControl)
{
    // A control also sits on element 2, which names no patch of this overlay.
    ASSERT_TRUE(mel("connectAttr ctrlA.message overlayShape.patchControl[2]"));
    ASSERT_TRUE(mel("setAttr overlayShape.showTransformReadout 1"));
    const std::string select = "setAttr overlayShape.selectedPatches -type Int32Array ";
    const std::pair<std::string, bool> cases[] = {
        {select + "2 0 1", false},
        {select + "1 2", false},
        {select + "1 -1", false},
        // ctrlA stands for both patches, as one control owning a left and a right patch.
        {"connectAttr -f ctrlA.message overlayShape.patchControl[1]; " + select + "2 0 1", true},
    };
    for (const auto& [command, shown] : cases) {
        SCOPED_TRACE(command);
        ASSERT_TRUE(mel(command));
        frame();
        ASSERT_TRUE(mel("setAttr ctrlA.translateX 2; setAttr ctrlB.translateX 2"));
        frame();
        ASSERT_TRUE(mel("setAttr ctrlA.translateX 3; setAttr ctrlB.translateX 3"));
        frame();
        EXPECT_EQ(!readoutTexts().empty(), shown);
    }
}

namespace {

// The renderer is up for one test, as in a session with views.
class RendererActive
{
public:
    RendererActive() { host::setRendererActive(true); }
    ~RendererActive() { host::setRendererActive(false); }
};

std::vector<float> shaderParameter(const MHWRender::MRenderItem& item, const char* name)
{
    const host::ShaderParameter* parameter = host::RendererAccess::parameters(*item.getShader()).find(name);
    return parameter ? std::vector<float>(parameter->value, parameter->value + parameter->size) : std::vector<float>();
}

} // namespace

TEST_F(OverlayGeometryOverride, RenderItemsFollowTheDisplayAttributes)
{
    RendererActive renderer;
    ASSERT_TRUE(mel("setAttr overlayShape.color 0.5 0.25 0.125; setAttr overlayShape.transparency 0.25"));
    ASSERT_TRUE(mel("setAttr overlayShape.selectedTransparency 0"));
    ASSERT_TRUE(mel("setAttr overlayShape.selectedPatches -type Int32Array 1 1"));
    ASSERT_TRUE(mel("setAttr overlayShape.drawWireframe 1; setAttr overlayShape.wireframeWidth 3"));
    MHWRender::MRenderItemList items;
    ASSERT_TRUE(updateItems(items));
    ASSERT_EQ(items.length(), 4);
    const MHWRender::MRenderItem& base = *items.itemAt(0);
    const MHWRender::MRenderItem& selected = *items.itemAt(1);
    const MHWRender::MRenderItem& hover = *items.itemAt(2);
    const MHWRender::MRenderItem& wire = *items.itemAt(3);
    EXPECT_EQ(base.name(), "pellixDataOverlayBase");
    EXPECT_EQ(wire.name(), "pellixDataOverlayWire");
    EXPECT_EQ(wire.primitive(), MHWRender::MGeometry::kLines);

    EXPECT_TRUE(base.isEnabled());
    EXPECT_TRUE(selected.isEnabled());
    EXPECT_FALSE(hover.isEnabled()) << "nothing is hovered";
    EXPECT_TRUE(wire.isEnabled());
    EXPECT_EQ(shaderParameter(base, "solidColor"), (std::vector<float>{0.5f, 0.25f, 0.125f, 0.75f}));
    EXPECT_TRUE(host::RendererAccess::treatedAsTransparent(base));
    EXPECT_TRUE(base.getShader()->isTransparent());
    EXPECT_FALSE(host::RendererAccess::treatedAsTransparent(selected));
    EXPECT_EQ(selected.depthPriority(), MHWRender::MRenderItem::sSelectionDepthPriority + 1);
    EXPECT_EQ(host::RendererAccess::stockShader(*wire.getShader()), 10);
    EXPECT_EQ(shaderParameter(wire, "lineWidth"), (std::vector<float>{3.0f, 3.0f}));
    EXPECT_EQ(host::RendererAccess::preDraw(*base.getShader()), nullptr);
    // Nothing changed: the items are not asked for again.
    EXPECT_FALSE(updateItems(items));

    // Switching the overlay off disables every item but keeps colours following the attributes.
    ASSERT_TRUE(mel("setAttr overlayShape.enable 0; setAttr overlayShape.transparency 0"));
    ASSERT_TRUE(updateItems(items));
    ASSERT_EQ(items.length(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_FALSE(items.itemAt(i)->isEnabled()) << items.itemAt(i)->name().asChar();
    }
    EXPECT_EQ(shaderParameter(*items.itemAt(0), "solidColor"), (std::vector<float>{0.5f, 0.25f, 0.125f, 1.0f}));
    EXPECT_FALSE(host::RendererAccess::treatedAsTransparent(*items.itemAt(0)));

    // A wire width of 0 or less still draws, a tenth of a pixel wide.
    ASSERT_TRUE(mel("setAttr overlayShape.enable 1; setAttr overlayShape.wireframeWidth 0"));
    ASSERT_TRUE(updateItems(items));
    EXPECT_EQ(shaderParameter(*items.itemAt(3), "lineWidth"), (std::vector<float>{0.1f, 0.1f}));
    ASSERT_TRUE(mel("setAttr overlayShape.wireframeWidth -2"));
    ASSERT_TRUE(updateItems(items));
    EXPECT_EQ(shaderParameter(*items.itemAt(3), "lineWidth"), (std::vector<float>{0.1f, 0.1f}));
}

TEST_F(OverlayGeometryOverride, PatchesWithAColourOfTheirOwnDrawInItUnlessHighlighted)
{
    RendererActive renderer;
    // Patch B carries a colour of its own, as pellixPatchCreate -color stores it.
    MFnNumericAttribute numeric;
    MObject colour = numeric.createColor("pellixPatchColor", "ppc");
    ASSERT_TRUE(MFnDependencyNode(nodeByName("patchBShape")).addAttribute(colour));
    ASSERT_TRUE(mel("setAttr patchBShape.pellixPatchColor 1 0.5 0; setAttr overlayShape.transparency 0.5"));
    MHWRender::MRenderItemList items;
    Frame drawn;
    ASSERT_TRUE(updateItems(items, &drawn));
    EXPECT_EQ(drawn.indices["pellixDataOverlayBase"], patch0);
    EXPECT_EQ(drawn.indices["pellixDataOverlayColor0"], patch1);
    const int at = items.indexOf("pellixDataOverlayColor0");
    ASSERT_GE(at, 0);
    EXPECT_TRUE(items.itemAt(at)->isEnabled());
    EXPECT_EQ(shaderParameter(*items.itemAt(at), "solidColor"), (std::vector<float>{1.0f, 0.5f, 0.0f, 0.5f}));
    // The overlay's own colour is unchanged.
    EXPECT_EQ(shaderParameter(*items.itemAt(0), "solidColor"), (std::vector<float>{0.2f, 0.64f, 1.0f, 0.5f}));

    // Hovered, the patch takes the overlay's hover colour and its own item goes off.
    ASSERT_TRUE(mel("setAttr overlayShape.hoveredPatch 1"));
    Frame hovered;
    ASSERT_TRUE(updateItems(items, &hovered));
    EXPECT_EQ(hovered.indices["pellixDataOverlayHover"], patch1);
    EXPECT_EQ(hovered.indices.count("pellixDataOverlayColor0"), 0u);
    EXPECT_FALSE(items.itemAt(items.indexOf("pellixDataOverlayColor0"))->isEnabled());

    // Edited later, the colour redraws at once; undo brings the old one back.
    ASSERT_TRUE(mel("setAttr overlayShape.hoveredPatch -1"));
    ASSERT_TRUE(updateItems(items));
    ASSERT_TRUE(undoableMel("setAttr patchBShape.pellixPatchColor 0 1 0"));
    ASSERT_TRUE(updateItems(items));
    EXPECT_EQ(shaderParameter(*items.itemAt(at), "solidColor"), (std::vector<float>{0.0f, 1.0f, 0.0f, 0.5f}));
    ASSERT_TRUE(mel("undo"));
    ASSERT_TRUE(updateItems(items));
    EXPECT_EQ(shaderParameter(*items.itemAt(at), "solidColor"), (std::vector<float>{1.0f, 0.5f, 0.0f, 0.5f}));

    // Without its colour the patch draws in the overlay's again, and undo gives it back.
    MDGModifier removal;
    ASSERT_TRUE(removal.removeAttribute(nodeByName("patchBShape"), colour));
    ASSERT_TRUE(removal.doIt());
    Frame plain;
    ASSERT_TRUE(updateItems(items, &plain));
    Indices both = patch0;
    both.insert(both.end(), patch1.begin(), patch1.end());
    EXPECT_EQ(plain.indices["pellixDataOverlayBase"], both);
    EXPECT_FALSE(items.itemAt(at)->isEnabled());
    ASSERT_TRUE(removal.undoIt());
    Frame back;
    ASSERT_TRUE(updateItems(items, &back));
    EXPECT_EQ(back.indices["pellixDataOverlayColor0"], patch1);
    EXPECT_TRUE(items.itemAt(at)->isEnabled());
}

// Deleting the driver leaves nothing to stand on: the next frame disables every item rather
// than drawing the last positions; undoing the delete draws the patches on it again.
TEST_F(OverlayGeometryOverride, DeletingTheDriverDrawsNothingUntilUndoBringsItBack)
{
    RendererActive renderer;
    ASSERT_TRUE(mel("setAttr driver.translateX 2; setAttr overlayShape.drawWireframe 1"));
    MHWRender::MRenderItemList items;
    ASSERT_TRUE(updateItems(items));
    ASSERT_TRUE(items.itemAt(0)->isEnabled());

    ASSERT_TRUE(undoableMel("delete driver"));
    ASSERT_TRUE(updateItems(items)) << "the items are asked for again";
    for (int i = 0; i < items.length(); ++i) {
        EXPECT_FALSE(items.itemAt(i)->isEnabled()) << items.itemAt(i)->name().asChar();
    }

    ASSERT_TRUE(mel("undo"));
    Frame back;
    ASSERT_TRUE(updateItems(items, &back));
    EXPECT_TRUE(items.itemAt(0)->isEnabled());
    EXPECT_TRUE(items.itemAt(3)->isEnabled());
    expectNear(back.positions, expectedPositions(2, 0, 0, 1));
}

namespace {

class TestDrawContext : public MHWRender::MDrawContext
{
public:
    explicit TestDrawContext(MHWRender::MStateManager* stateManager) { fStateManager = stateManager; }
};

} // namespace

TEST_F(OverlayGeometryOverride, XrayDrawsWithoutDepthAndRestoresTheStateAfter)
{
    RendererActive renderer;
    ASSERT_TRUE(mel("setAttr overlayShape.drawInXray 1"));
    MHWRender::MRenderItemList items;
    ASSERT_TRUE(updateItems(items));
    ASSERT_EQ(items.length(), 4);
    const MHWRender::MShaderInstance& shader = *items.itemAt(0)->getShader();
    const MHWRender::MShaderInstance::DrawCallback preDraw = host::RendererAccess::preDraw(shader);
    const MHWRender::MShaderInstance::DrawCallback postDraw = host::RendererAccess::postDraw(shader);
    ASSERT_NE(preDraw, nullptr);
    ASSERT_NE(postDraw, nullptr);

    MHWRender::MStateManager* stateManager = host::RendererAccess::newStateManager();
    MHWRender::MDepthStencilStateDesc normalDesc;
    const MHWRender::MDepthStencilState* normal = MHWRender::MStateManager::acquireDepthStencilState(normalDesc);
    host::RendererAccess::setCurrentState(*stateManager, normal);
    TestDrawContext context(stateManager);
    MHWRender::MShaderInstance* drawn = items.itemAt(0)->getShader();
    preDraw(context, items, drawn);
    const MHWRender::MDepthStencilState* during = stateManager->getDepthStencilState();
    ASSERT_NE(during, nullptr);
    EXPECT_FALSE(during->desc().depthEnable);
    EXPECT_FALSE(during->desc().depthWriteEnable);
    postDraw(context, items, drawn);
    EXPECT_EQ(stateManager->getDepthStencilState(), normal);

    // The state is made once and kept for every later x-ray draw.
    preDraw(context, items, drawn);
    EXPECT_EQ(stateManager->getDepthStencilState(), during);
    postDraw(context, items, drawn);

    MHWRender::MStateManager::releaseDepthStencilState(normal);
    host::RendererAccess::deleteStateManager(stateManager);
}
