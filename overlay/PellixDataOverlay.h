#pragma once
// The "pellixDataOverlay" locator shape: patches bound to a driver mesh, stored as flat
// int arrays (one slice per patch) plus message connections to the patch meshes, their
// controls and the tracked shape controls.
//
// The node tells its geometry override what changed through six change counters that
// only ever increase, and keeps the driver's world matrix and a bounding-box cache that
// draw threads read under the node's mutex.

#include <maya/MApiNamespace.h>
#include <maya/MBoundingBox.h>
#include <maya/MCallbackIdArray.h>
#include <maya/MDagMessage.h>
#include <maya/MIntArray.h>
#include <maya/MMatrix.h>
#include <maya/MNodeMessage.h>
#include <maya/MObject.h>
#include <maya/MObjectHandle.h>
#include <maya/MPxLocatorNode.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

#include "overlay/OverlayDrawData.h"
#include "overlay/PatchMatching.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>

class PellixDataOverlay : public MPxLocatorNode
{
public:
    PellixDataOverlay();
    ~PellixDataOverlay() override;

    static void* creator();
    static MStatus initialize();

    void postConstructor() override;
    MStatus compute(const MPlug& plug, MDataBlock& data) override;
    MStatus setDependentsDirty(const MPlug& plug, MPlugArray& affected) override;
    MStatus postEvaluation(const MDGContext& context, const MEvaluationNode& evaluationNode,
                           PostEvaluationType evalType) override;
    SchedulingType schedulingType() const override;
    void getCacheSetup(const MEvaluationNode& evalNode, MNodeCacheDisablingInfo& disablingInfo,
                       MNodeCacheSetupInfo& cacheSetupInfo, MObjectArray& monitoredAttributes) const override;
    MStatus connectionMade(const MPlug& plug, const MPlug& otherPlug, bool asSrc) override;
    MStatus connectionBroken(const MPlug& plug, const MPlug& otherPlug, bool asSrc) override;
    bool isBounded() const override;
    MBoundingBox boundingBox() const override;

    // The overlay behind a dependency node, or null when it is not a "pellixDataOverlay".
    static PellixDataOverlay* fromObject(const MObject& node);

    // Reads one of the node's int-array attributes; fails when the plug or its data cannot
    // be obtained.
    static MStatus readIntArray(const MObject& node, const MObject& attribute, MIntArray& values);

    // The eight patch arrays as stored, with plain views of them for the host-free kernels.
    static constexpr int kPatchArrayCount = 8;
    struct StoredPatchArrays
    {
        MIntArray values[kPatchArrayCount];
        OverlayDrawData::PatchArrays spans() const;
        PatchMatching::StoredPatchArrays matchingSpans() const;
    };
    // Reads all eight; false when any cannot be read.
    static bool readPatchArrays(const MObject& node, StoredPatchArrays& arrays);
    // The attribute holding patch array `index` (0 .. kPatchArrayCount - 1, in storage order).
    static const MObject& patchArrayAttribute(int index);

    // The raw points of "evaluatedMesh", kept alive by the mesh object beside them.
    struct EvaluatedPoints
    {
        MObject mesh;
        const float* points = nullptr;
        int count = 0;
    };
    // False when "evaluatedMesh" is not a mesh with at least one point.
    static bool readEvaluatedPoints(const MObject& node, EvaluatedPoints& points);

    // Each evaluation of "evaluatedMesh" notes the range of driver vertices whose points differ
    // from the previous evaluation's, found while it takes the new points, so that data placed
    // from an earlier evaluation's points need look only there. `evaluationOf` names the
    // evaluation that produced `points` (0 when they are not the latest evaluation's).
    // `movedSince` gives the vertices [first, end) outside which the latest evaluation's points
    // equal those of evaluation `since`; false when that is not known (too many evaluations
    // ago, another vertex count, or points that changed without an evaluation).
    uint64_t evaluationOf(const float* points) const;
    bool movedSince(uint64_t since, int64_t& first, int64_t& end) const;
    // Called, on whichever thread evaluated, after an evaluation found its driver points moved
    // within at most kFewMovedVertices consecutive vertices (a pose edit rather than playback),
    // so that the mouse filter can follow them before the next mouse move needs them.
    static constexpr int64_t kFewMovedVertices = 16384;
    static void setFewVerticesMovedListener(void (*listener)());

    // The node connected into element `index` of one of the node's message arrays, or the
    // null object when the element, the connection or the node is missing.
    static MObject connectedSource(const MObject& node, const MObject& messageArray, unsigned index);
    // The overlay whose "inMesh" comes from this driver instance, among the registered
    // overlays, or the null object.
    static MObject drivenBy(const MDagPath& driver);
    // The control of a patch (its "patchControl" source) and the transform it moves: the control
    // itself, or the parent of a control shape. False when there is no such DAG control.
    static bool patchControlTransform(const MObject& node, unsigned patch, MObject& control, MDagPath& transform);
    // The control the readout follows: the one control that every selected patch stands for (a
    // control may own several patches), with its transform. False when nothing is selected, an
    // index names no patch (of `patchCount`), or the patches stand for different controls.
    static bool readoutControl(const MObject& node, const MIntArray& selected, size_t patchCount, MObject& control,
                               MDagPath& transform);

    // Change counters, read by the geometry override without a lock.
    uint64_t topologyCounter() const { return fTopologyCounter.load(std::memory_order_acquire); }
    uint64_t geometryCounter() const { return fGeometryCounter.load(std::memory_order_acquire); }
    uint64_t highlightCounter() const { return fHighlightCounter.load(std::memory_order_acquire); }
    uint64_t displayCounter() const { return fDisplayCounter.load(std::memory_order_acquire); }
    uint64_t trackedCounter() const { return fTrackedCounter.load(std::memory_order_acquire); }
    // Bumped when a bound patch mesh's own colour ("pellixPatchColor") is set, added or removed.
    uint64_t patchColourCounter() const { return fPatchColourCounter.load(std::memory_order_acquire); }

    // Whether inMesh comes from the driver's "worldMesh" (the override caches positions then).
    bool drivenByWorldMesh() const { return fDrivenByWorldMesh.load(std::memory_order_acquire); }

    // Whether something feeds "inMesh". Without it the overlay has nothing to stand on: the
    // last mesh it was given stays in "inMesh" but draws and picks nothing.
    bool hasDriver() const
    {
        std::lock_guard<std::mutex> lock(fMutex);
        return fDriverNode.isValid() && fDriverNode.isAlive();
    }

    // The driver path's world matrix, identity without a driver.
    MMatrix driverMatrix() const
    {
        std::lock_guard<std::mutex> lock(fMutex);
        return fDriverMatrix;
    }

    // The "geometryChanging" output as the override reads it; true when it cannot be read.
    bool isGeometryChanging();

    // Sets "geometryChanging" to false and clean, once the override has drawn the new points.
    void clearGeometryChanging();

    // A forced update of a live-drawn overlay: bounds recomputed, geometry redrawn in full.
    void refreshLiveDraw();

    static const MTypeId id;
    static const MString typeName;

    // Display and evaluation.
    static MObject enable;
    static MObject liveDraw;
    static MObject inMesh;
    static MObject bindTolerance;
    static MObject evaluatedMesh;
    static MObject geometryChanging;
    static MObject color;
    static MObject hoverColor;
    static MObject selectedColor;
    static MObject transparency;
    static MObject hoverTransparency;
    static MObject selectedTransparency;
    static MObject drawInXray;
    static MObject drawWireframe;
    static MObject wireframeWidth;
    static MObject drawMarker;
    static MObject showTransformReadout;
    static MObject readoutTextSize;

    // Interaction state, never saved.
    static MObject hoveredPatch;
    static MObject selectedPatches;

    // Patch storage.
    static MObject patchVertexCounts;
    static MObject patchDriverVertexIndices;
    static MObject patchTriangleOffsets;
    static MObject patchTriangleCounts;
    static MObject patchTriangleIndices;
    static MObject patchEdgeOffsets;
    static MObject patchEdgeCounts;
    static MObject patchEdgeIndices;
    static MObject patchSourcePaths;
    static MObject patchSelectPaths;
    static MObject patchSourceMeshes;
    static MObject patchControl;
    static MObject trackedShapeControls;

private:
    static void driverMatrixChanged(MObject& transformNode, MDagMessage::MatrixModifiedFlags& modified,
                                    void* clientData);
    static void readoutControlDirty(MObject& node, MPlug& plug, void* clientData);
    static void patchMeshAttributeChanged(MNodeMessage::AttributeMessage message, MPlug& plug, MPlug& other,
                                          void* clientData);

    void attachDriver(const MPlug& source);
    void detachDriver();
    void updateDriverMatrix();
    void controlConnectionChanged();
    void rearmReadoutTracking();
    void removeReadoutCallbacks();
    void watchPatchMesh(unsigned patch, const MObject& mesh);
    void unwatchPatchMesh(unsigned patch);
    void patchColoursChanged();
    void requestDrawDirty(bool topologyChanged);
    void noteMovedRange(const MObject& previous, const MObject& incoming);
    void noteEvaluatedMesh(const MObject& evaluated);
    void noteUnknownEvaluation();
    static void bump(std::atomic<uint64_t>& counter);

    std::atomic<uint64_t> fTopologyCounter{1};
    std::atomic<uint64_t> fGeometryCounter{1};
    std::atomic<uint64_t> fHighlightCounter{1};
    std::atomic<uint64_t> fDisplayCounter{1};
    std::atomic<uint64_t> fTrackedCounter{1};
    std::atomic<uint64_t> fPatchColourCounter{1};
    std::atomic<bool> fDrivenByWorldMesh{false};

    MObjectHandle fSelf;
    MCallbackId fDriverMatrixCallback = 0;
    MCallbackIdArray fReadoutCallbacks;
    // Attribute-changed callbacks on the patch meshes, by "patchSourceMeshes" element.
    std::map<unsigned, MCallbackId> fPatchMeshCallbacks;

    // Guards the driver handle and instance, the bounds cache and the driver matrix.
    mutable std::mutex fMutex;
    MObjectHandle fDriverNode;
    unsigned fDriverInstance = 0;
    mutable bool fBoundsValid = false;
    mutable uint64_t fBoundsVersion = 0;
    mutable MBoundingBox fCachedBounds;
    mutable MMatrix fCachedInverse;
    MMatrix fDriverMatrix;

    // The moved range of the last evaluations, by evaluation serial (also under fMutex).
    struct MovedRange
    {
        uint64_t evaluation = 0;
        bool known = false;
        int64_t first = 0;
        int64_t end = 0;
    };
    static constexpr size_t kMovedRangeHistory = 16;
    static std::atomic<void (*)()> fewVerticesMovedListener;
    MovedRange fMovedRanges[kMovedRangeHistory];
    uint64_t fEvaluation = 0;
    // The latest evaluation's mesh, held so that no other data can take its points' address.
    MObject fEvaluatedMesh;
    const float* fEvaluatedPoints = nullptr;
};
