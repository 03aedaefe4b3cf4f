#include <gtest/gtest.h>

#include <maya/M3dView.h>
#include <maya/MDrawRegistry.h>
#include <maya/MFrameContext.h>
#include <maya/MHWGeometry.h>
#include <maya/MObject.h>
#include <maya/MPoint.h>
#include <maya/MPxDrawOverride.h>
#include <maya/MPxGeometryOverride.h>
#include <maya/MSelectionMask.h>
#include <maya/MStateManager.h>
#include <maya/MStringArray.h>
#include <maya/MUIDrawManager.h>
#include <maya/MUserData.h>
#include <maya/MVector.h>
#include <maya/MViewport2Renderer.h>

#include "viewport/DrawRegistryState.h"
#include "viewport/RendererAccess.h"
#include "viewport/UiDrawList.h"

#include <cmath>
#include <utility>
#include <vector>

using namespace MHWRender;

namespace
{

MPxDrawOverride* makeDrawOverride(const MObject&)
{
    return nullptr;
}

MPxGeometryOverride* makeGeometryOverride(const MObject&)
{
    return nullptr;
}

class DrawRegistryTest : public ::testing::Test
{
protected:
    void SetUp() override { host::clearDrawRegistry(); }
    void TearDown() override { host::clearDrawRegistry(); }
};

struct CountedData : public MUserData
{
    explicit CountedData(int& destroyed, bool deleteAfterUse = true) : MUserData(deleteAfterUse), fDestroyed(destroyed) {}
    ~CountedData() override { ++fDestroyed; }
    int& fDestroyed;
};

// A frame as the renderer would describe it: a camera looking down -z with an
// orthographic projection of a 20 x 10 unit window onto a 200 x 100 pixel viewport.
class FixedFrameContext : public MFrameContext
{
public:
    explicit FixedFrameContext(int width = 200)
    {
        fView = MMatrix();
        fView[3][2] = -5.0;
        fProjection = MMatrix();
        fProjection[0][0] = 0.1;
        fProjection[1][1] = 0.2;
        fProjection[2][2] = -0.01;
        fViewport[0] = 0;
        fViewport[1] = 0;
        fViewport[2] = width;
        fViewport[3] = 100;
    }
};

} // namespace

TEST_F(DrawRegistryTest, RefusesDuplicatesAndUnknownDeregistrations)
{
    const MString cls("drawdb/geometry/testShape");
    testing::internal::CaptureStderr();
    ASSERT_EQ(MDrawRegistry::registerDrawOverrideCreator(cls, "pellix", makeDrawOverride), MS::kSuccess);
    EXPECT_NE(MDrawRegistry::registerDrawOverrideCreator(cls, "pellix", makeDrawOverride), MS::kSuccess);
    // Another registrant, or the other kind of override, is a different entry.
    EXPECT_EQ(MDrawRegistry::registerDrawOverrideCreator(cls, "other", makeDrawOverride), MS::kSuccess);
    EXPECT_EQ(MDrawRegistry::registerGeometryOverrideCreator(cls, "pellix", makeGeometryOverride), MS::kSuccess);

    std::vector<host::DrawOverrideEntry> entries = host::drawRegistryEntries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].kind, host::DrawOverrideEntry::kDrawOverride);
    EXPECT_EQ(entries[0].registrantId, MString("pellix"));
    EXPECT_EQ(entries[0].drawCreator, &makeDrawOverride);
    EXPECT_EQ(entries[2].kind, host::DrawOverrideEntry::kGeometryOverride);
    EXPECT_EQ(entries[2].geometryCreator, &makeGeometryOverride);

    EXPECT_EQ(MDrawRegistry::deregisterDrawOverrideCreator(cls, "pellix"), MS::kSuccess);
    EXPECT_NE(MDrawRegistry::deregisterDrawOverrideCreator(cls, "pellix"), MS::kSuccess);
    EXPECT_NE(MDrawRegistry::deregisterGeometryOverrideCreator(cls, "other"), MS::kSuccess);
    EXPECT_NE(MDrawRegistry::deregisterGeometryOverrideCreator("drawdb/geometry/never", "pellix"), MS::kSuccess);
    testing::internal::GetCapturedStderr();

    entries = host::drawRegistryEntries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].registrantId, MString("other"));
    // After deregistration the same registration is accepted again.
    EXPECT_EQ(MDrawRegistry::registerDrawOverrideCreator(cls, "pellix", makeDrawOverride), MS::kSuccess);
}

TEST_F(DrawRegistryTest, RefusesClassificationsOutsideGeometryAndFindsTheOverrideOfAList)
{
    testing::internal::CaptureStderr();
    EXPECT_NE(MDrawRegistry::registerDrawOverrideCreator("drawdb/shader/surface", "pellix", makeDrawOverride),
              MS::kSuccess);
    EXPECT_NE(MDrawRegistry::registerGeometryOverrideCreator("drawdb/geometry/x", "pellix", nullptr), MS::kSuccess);
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(host::drawRegistryEntries().empty());

    // The override of a node is found in its classification list.
    ASSERT_EQ(MDrawRegistry::registerGeometryOverrideCreator("drawdb/geometry/overlay", "pellix",
                                                             makeGeometryOverride),
              MS::kSuccess);
    host::DrawOverrideEntry entry;
    ASSERT_TRUE(host::findDrawOverrideFor("shader/surface:drawdb/geometry/overlay", entry));
    EXPECT_EQ(entry.kind, host::DrawOverrideEntry::kGeometryOverride);
    EXPECT_FALSE(host::findDrawOverrideFor("drawdb/geometry/overlayX", entry));
    EXPECT_FALSE(host::findDrawOverrideFor("", entry));
}

TEST(BatchViews, NoViewsAndNoRenderer)
{
    EXPECT_EQ(M3dView::numberOf3dViews(), 0u);
    MStatus status;
    M3dView view = M3dView::active3dView(&status);
    EXPECT_NE(status, MS::kSuccess);
    EXPECT_EQ(view.widget(&status), nullptr);
    EXPECT_NE(status, MS::kSuccess);
    EXPECT_NE(M3dView::get3dView(0, view), MS::kSuccess);
    short x = 1, y = 1;
    EXPECT_FALSE(view.worldToView(MPoint::origin, x, y, &status));
    EXPECT_NE(status, MS::kSuccess);
    M3dView::scheduleRefreshAllViews();

    EXPECT_EQ(MRenderer::theRenderer(), nullptr);
    MRenderer::setGeometryDrawDirty(MObject(), true);
}

TEST(GeometryBuffers, AcquireCommitAndUpdateFillTheBuffer)
{
    MGeometry geometry;
    MVertexBufferDescriptor desc("", MGeometry::kPosition, MGeometry::kFloat, 3);
    MVertexBuffer* positions = geometry.createVertexBuffer(desc);
    ASSERT_NE(positions, nullptr);
    EXPECT_EQ(geometry.vertexBufferCount(), 1);

    float* data = static_cast<float*>(positions->acquire(4, true));
    ASSERT_NE(data, nullptr);
    for (int i = 0; i < 12; ++i) data[i] = float(i);
    EXPECT_EQ(positions->vertexCount(), 0u);  // nothing until committed
    positions->commit(data);
    ASSERT_EQ(positions->vertexCount(), 4u);
    EXPECT_EQ(static_cast<float*>(positions->map())[11], 11.0f);
    positions->unmap();

    // Reading acquire keeps the contents; a foreign pointer is not committed.
    float* again = static_cast<float*>(positions->acquire(4, false));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again[5], 5.0f);
    float stray[12] = {};
    positions->commit(stray);
    EXPECT_EQ(static_cast<float*>(positions->map())[5], 5.0f);

    const float extra[6] = {-1, -2, -3, -4, -5, -6};
    ASSERT_EQ(positions->update(extra, 3, 2, false), MS::kSuccess);
    EXPECT_EQ(positions->vertexCount(), 5u);
    EXPECT_EQ(static_cast<float*>(positions->map())[14], -6.0f);
    ASSERT_EQ(positions->update(extra, 0, 1, true), MS::kSuccess);
    EXPECT_EQ(positions->vertexCount(), 1u);

    MIndexBuffer* indices = geometry.createIndexBuffer(MGeometry::kUnsignedInt32);
    unsigned int* idx = static_cast<unsigned int*>(indices->acquire(3, true));
    idx[0] = 2;
    idx[1] = 1;
    idx[2] = 0;
    indices->commit(idx);
    EXPECT_EQ(indices->size(), 3u);
    EXPECT_EQ(static_cast<unsigned int*>(indices->map())[0], 2u);
    EXPECT_EQ(indices->acquire(0, true), nullptr);

    EXPECT_TRUE(geometry.deleteVertexBuffer(0));
    EXPECT_FALSE(geometry.deleteVertexBuffer(0));
    EXPECT_EQ(geometry.vertexBuffer(0), nullptr);
}

TEST(RenderItems, ListOwnsItemsAndTheirCustomData)
{
    int destroyed = 0;
    int kept = 0;
    CountedData* keptData = new CountedData(kept, false);
    {
        MRenderItemList list;
        MRenderItem* wire = MRenderItem::Create("wire", MRenderItem::NonMaterialSceneItem, MGeometry::kLines);
        MRenderItem* fill = MRenderItem::Create("fill", MRenderItem::MaterialSceneItem, MGeometry::kTriangles);
        ASSERT_TRUE(list.append(wire));
        ASSERT_TRUE(list.append(fill));
        EXPECT_FALSE(list.append(wire));
        wire->setCustomData(new CountedData(destroyed));
        fill->setCustomData(keptData);
        wire->depthPriority(MRenderItem::sActiveWireDepthPriority);
        wire->setDrawMode(MGeometry::kWireframe);

        EXPECT_EQ(list.indexOf("fill"), 1);
        EXPECT_EQ(list.indexOf("wire", MGeometry::kLines, MGeometry::kWireframe), 0);
        EXPECT_EQ(list.indexOf("wire", MGeometry::kLines, MGeometry::kShaded), -1);
        EXPECT_EQ(list.indexOf("none"), -1);
        EXPECT_EQ(list.itemAt(0)->depthPriority(), MRenderItem::sActiveWireDepthPriority);
        EXPECT_EQ(list.itemAt(2), nullptr);

        // Replacing the data deletes the old one.
        wire->setCustomData(new CountedData(destroyed));
        EXPECT_EQ(destroyed, 1);
        EXPECT_TRUE(list.removeAt(0));
        EXPECT_EQ(destroyed, 2);
        EXPECT_EQ(list.length(), 1);
    }
    // Data that asked to be kept outlives its item.
    EXPECT_EQ(kept, 0);
    delete keptData;
    EXPECT_EQ(kept, 1);
}

TEST(DepthStencilStates, EqualDescriptionsShareOneCountedState)
{
    const size_t held = host::RendererAccess::heldDepthStencilStates();
    MDepthStencilStateDesc noDepth;
    noDepth.depthEnable = false;
    const MDepthStencilState* a = MStateManager::acquireDepthStencilState(noDepth);
    const MDepthStencilState* b = MStateManager::acquireDepthStencilState(noDepth);
    MDepthStencilStateDesc defaults;
    const MDepthStencilState* c = MStateManager::acquireDepthStencilState(defaults);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    EXPECT_FALSE(a->desc().depthEnable);
    EXPECT_TRUE(c->desc().depthEnable);

    EXPECT_EQ(host::RendererAccess::heldDepthStencilStates(), held + 2);

    MStateManager::releaseDepthStencilState(a);
    EXPECT_FALSE(b->desc().depthEnable);  // still held once
    EXPECT_EQ(host::RendererAccess::heldDepthStencilStates(), held + 2);
    MStateManager::releaseDepthStencilState(b);
    EXPECT_EQ(host::RendererAccess::heldDepthStencilStates(), held + 1);
    MStateManager::releaseDepthStencilState(b);  // no longer held: ignored
    MStateManager::releaseDepthStencilState(nullptr);
    EXPECT_EQ(host::RendererAccess::heldDepthStencilStates(), held + 1);
    MStateManager::releaseDepthStencilState(c);
    EXPECT_EQ(host::RendererAccess::heldDepthStencilStates(), held);
}

TEST(SelectionMasks, NamedTypesIntersectOnlyWhenRegistered)
{
    MSelectionMask unregistered("pellixTestControl");
    ASSERT_TRUE(MSelectionMask::registerSelectionType("pellixTestControl", 5));
    EXPECT_FALSE(MSelectionMask::registerSelectionType("pellixTestControl", 1));
    EXPECT_EQ(MSelectionMask::getSelectionTypePriority("pellixTestControl"), 5);

    MSelectionMask named("pellixTestControl");
    MSelectionMask again("pellixTestControl");
    EXPECT_TRUE(named.intersects(again));
    EXPECT_FALSE(unregistered.intersects(named));

    MSelectionMask meshes(MSelectionMask::kSelectMeshes);
    EXPECT_FALSE(meshes.intersects(named));
    meshes.addMask(MSelectionMask::kSelectLocators);
    EXPECT_TRUE(meshes.intersects(MSelectionMask::kSelectLocators));
    EXPECT_TRUE((meshes | named).intersects(again));

    EXPECT_TRUE(MSelectionMask::deregisterSelectionType("pellixTestControl"));
    EXPECT_FALSE(MSelectionMask::deregisterSelectionType("pellixTestControl"));
    EXPECT_EQ(MSelectionMask::getSelectionTypePriority("pellixTestControl"), -1);
}

TEST(FrameContexts, MatricesAndViewportProjectionAgree)
{
    FixedFrameContext frame;
    MStatus status;
    MMatrix viewProj = frame.getMatrix(MFrameContext::kViewProjMtx, &status);
    ASSERT_EQ(status, MS::kSuccess);
    EXPECT_TRUE(viewProj.isEquivalent(frame.getMatrix(MFrameContext::kViewMtx) *
                                      frame.getMatrix(MFrameContext::kProjectionMtx)));
    EXPECT_TRUE((viewProj * frame.getMatrix(MFrameContext::kViewProjInverseMtx)).isEquivalent(MMatrix::identity));
    EXPECT_TRUE(frame.getMatrix(MFrameContext::kViewProjTransposeMtx).isEquivalent(viewProj.transpose()));

    double x = 0.0, y = 0.0;
    frame.worldToViewport(MPoint(5.0, -2.5, 0.0), x, y);
    EXPECT_DOUBLE_EQ(x, 150.0);
    EXPECT_DOUBLE_EQ(y, 25.0);

    MPoint nearPt, farPt;
    frame.viewportToWorld(150.0, 25.0, nearPt, farPt);
    EXPECT_NEAR(nearPt.x, 5.0, 1e-9);
    EXPECT_NEAR(farPt.y, -2.5, 1e-9);
    EXPECT_GT(std::fabs(nearPt.z - farPt.z), 1.0);

    // An empty viewport has no screen positions and no rays.
    FixedFrameContext empty(0);
    empty.worldToViewport(MPoint(5.0, -2.5, 0.0), x, y);
    EXPECT_TRUE(std::isnan(x) && std::isnan(y));
    empty.viewportToWorld(150.0, 25.0, nearPt, farPt);
    EXPECT_TRUE(std::isnan(nearPt.x) && std::isnan(farPt.y));

    // The host excludes no classification: an array handed in comes back empty.
    MStringArray exclusions;
    exclusions.append("drawdb/geometry/stale");
    frame.classificationExclusions(exclusions);
    EXPECT_EQ(exclusions.length(), 0u);
}

// Counted circles and cylinders draw as many segments as asked; fewer than three, or a
// negative count, still close a loop with three.
TEST(UiDrawables, CountedCirclesAndCylindersDrawAtLeastThreeSegments)
{
    const std::pair<int, size_t> cases[] = {{40, 40}, {3, 3}, {2, 3}, {0, 3}, {-5, 3}};
    for (const auto& [asked, segments] : cases) {
        host::HostDrawManager drawManager;
        drawManager.beginDrawable();
        drawManager.circle(MPoint::origin, MVector(0, 0, 1), 1.0, asked, false);
        drawManager.circle2d(MPoint::origin, 1.0, asked, false);
        drawManager.cylinder(MPoint::origin, MVector(0, 1, 0), 1.0, 2.0, asked, false);
        drawManager.endDrawable();
        const std::vector<host::UiDrawable>& drawn = host::RendererAccess::uiList(drawManager).drawables;
        ASSERT_EQ(drawn.size(), 4u) << "asked for " << asked;
        for (const host::UiDrawable& loop : drawn) {
            EXPECT_EQ(loop.positions.size(), 3 * segments) << "asked for " << asked;
        }
    }
}
