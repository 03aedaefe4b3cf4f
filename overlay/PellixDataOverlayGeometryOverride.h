#pragma once
// Viewport 2.0 geometry of "pellixDataOverlay" shapes: one compact vertex buffer holding
// only the driver vertices that patches use, four index buffers (base, selected and
// hovered triangles, patch edges) drawn as four render items with stock shaders, and the
// readout text of the selected patches' control, clear of its manipulator. The node's five change counters say what
// to rebuild; positions are cached per time for cached playback. Also the depth-stencil
// state that all overlay draws share for x-ray drawing.

#include "overlay/OverlayDrawData.h"

#include <maya/MApiNamespace.h>
#include <maya/MColor.h>
#include <maya/MIntArray.h>
#include <maya/MObject.h>
#include <maya/MPoint.h>
#include <maya/MPxGeometryOverride.h>
#include <maya/MString.h>
#include <maya/MUserData.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

class PellixDataOverlay;

// Everything an overlay draws, and the node state it was made from.
class PellixDataOverlayData : public MUserData
{
public:
    PellixDataOverlayData();
    ~PellixDataOverlayData() override;

    bool enabled = true;
    bool drawInXray = false;
    bool drawWireframe = false;
    bool showTransformReadout = false;
    bool readoutValid = false;
    float wireframeWidth = 1.0f;
    int32_t readoutTextSize = 13;
    int32_t hoveredPatch = -1;
    MIntArray selectedPatches;
    MColor baseColor{0.2f, 0.64f, 1.0f, 0.65f};
    MColor hoverColor{1.0f, 0.92f, 0.25f, 0.95f};
    MColor selectedColor{0.056f, 1.0f, 0.366f, 0.65f};
    MPoint readoutPosition;
    MPoint readoutPivot; // where the control's manipulator is drawn
    MString readoutText;
    MColor readoutColor{1.0f, 0.95f, 0.55f, 0.95f};

    uint64_t seenTopologyCounter = 0;
    uint64_t seenGeometryCounter = 0;
    uint64_t seenHighlightCounter = 0;
    uint64_t seenDisplayCounter = 0;
    uint64_t seenTrackedCounter = 0;
    uint64_t seenPatchColourCounter = 0;

    bool topologyValid = false;
    bool positionsValid = false;
    // The triangles must be split again by highlight state (after a rebuild or a hover or
    // selection change) but an update stopped before it could.
    bool partitionPending = false;

    // Render vertices, per-patch slices, triangle and edge lists.
    OverlayDrawData::Topology topology;
    // The triangle list split by highlight state, with the state it was split for.
    OverlayDrawData::HighlightPartition partition;
    // Patches with a colour of their own ("pellixPatchColor" on the patch mesh): the group of
    // each patch (-1 for the overlay's colour), each group's colour and its base triangles.
    std::vector<int> patchColourGroups;
    std::vector<MColor> groupColours;
    std::vector<std::vector<uint32_t>> colourIndices;
    // One world position per render vertex, x y z.
    std::vector<float> positions;
};

class PellixDataOverlayGeometryOverride : public MHWRender::MPxGeometryOverride
{
public:
    static MHWRender::MPxGeometryOverride* creator(const MObject& obj);
    ~PellixDataOverlayGeometryOverride() override;

    MHWRender::DrawAPI supportedDrawAPIs() const override;
    bool hasUIDrawables() const override;
    bool requiresGeometryUpdate() const override;
    bool requiresUpdateRenderItems(const MDagPath& path) const override;
    bool supportsEvaluationManagerParallelUpdate() const override;
    bool supportsVP2CustomCaching() const override;
    void configCache(const MEvaluationNode& evalNode, MCacheSchema& schema) const override;
    void updateDG() override;
    bool isIndexingDirty(const MHWRender::MRenderItem& item) override;
    bool isStreamDirty(const MHWRender::MVertexBufferDescriptor& desc) override;
    void updateRenderItems(const MDagPath& path, MHWRender::MRenderItemList& list) override;
    void addUIDrawables(const MDagPath& path, MHWRender::MUIDrawManager& drawManager,
                        const MHWRender::MFrameContext& frameContext) override;
    void populateGeometry(const MHWRender::MGeometryRequirements& requirements,
                          const MHWRender::MRenderItemList& renderItems, MHWRender::MGeometry& data) override;
    void cleanUp() override;

    // Names of the four render items, in the order they are made.
    static const MString baseItemName;
    static const MString selectedItemName;
    static const MString hoverItemName;
    static const MString wireItemName;

    // How many position arrays cached playback keeps per time, and how many times.
    static constexpr size_t kCachedArraysPerTime = 8;
    static constexpr size_t kCachedTimes = 32;

private:
    explicit PellixDataOverlayGeometryOverride(const MObject& obj);

    void updateDGNormal();
    void updateDGCached();
    void readDisplayAttributes();
    void readHighlightAttributes();
    void updateReadout();

    MObject fNode;
    PellixDataOverlay* fOverlay = nullptr;
    PellixDataOverlayData fData;
    std::atomic<bool> fUIDrawablesWanted{false};

    // Guards fData and the four dirty flags.
    mutable std::mutex fDataMutex;
    // Guards fPositionCache.
    mutable std::mutex fCacheMutex;
    // Positions from cached evaluation by time (1/6000 s), oldest first within a time.
    std::map<int64_t, std::vector<std::vector<float>>> fPositionCache;

    bool fPositionsDirty = true;
    bool fOtherStreamsDirty = true;
    bool fIndicesDirty = true;
    bool fRenderItemsDirty = true;
};

// Acquired lazily under its mutex by the first x-ray draw and held for the module's life.
extern const MHWRender::MDepthStencilState* overlayDepthStencilState;
extern std::mutex overlayDepthStencilMutex;

// Gives the shared state back to the renderer (plug-in teardown).
void releaseOverlayDepthStencilState();
