#include "overlay/PellixDataOverlayGeometryOverride.h"

#include "overlay/PellixDataOverlay.h"
#include "plugin/PlugQueries.h"
#include "plugin/StatusCheck.h"
#include "shapeControl/ReadoutText.h"
#include "shapeControl/ShapeControlRedraw.h"
#include "shapeControl/TransformReadout.h"

#include <maya/MCacheSchema.h>
#include <maya/MDGContext.h>
#include <maya/MDagPath.h>
#include <maya/MDrawContext.h>
#include <maya/MEvaluationNode.h>
#include <maya/MFn.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnManip3D.h>
#include <maya/MFnMesh.h>
#include <maya/MFnTransform.h>
#include <maya/MFrameContext.h>
#include <maya/MHWGeometry.h>
#include <maya/MMatrix.h>
#include <maya/MPlug.h>
#include <maya/MSelectionMask.h>
#include <maya/MShaderManager.h>
#include <maya/MStateManager.h>
#include <maya/MTime.h>
#include <maya/MUIDrawManager.h>
#include <maya/MViewport2Renderer.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

namespace {
const char* const kStatusSource = "pellixDataOverlayGeometryOverride";

// Render items of the patches with a colour of their own, one per colour: prefix and number.
const char* const kColourItemPrefix = "pellixDataOverlayColor";

// A render item of the overlay's: drawn in every display mode at the selection depth priority, with
// no shadows or post effects. The overlay does its own picking, so its items take no part in
// viewport selection.
MHWRender::MRenderItem* createOverlayItem(const MString& name, MHWRender::MGeometry::Primitive primitive)
{
    MHWRender::MRenderItem* item =
        MHWRender::MRenderItem::Create(name, MHWRender::MRenderItem::NonMaterialSceneItem, primitive);
    if (item == nullptr) {
        return nullptr;
    }
    item->setDrawMode(MHWRender::MGeometry::kAll);
    item->depthPriority(MHWRender::MRenderItem::sSelectionDepthPriority);
    item->setExcludedFromPostEffects(true);
    item->castsShadows(false);
    item->receivesShadows(false);
    item->setSelectionMask(MSelectionMask());
    item->setWantConsolidation(false);
    return item;
}

MString colourItemName(size_t group)
{
    return MString(kColourItemPrefix) + static_cast<int>(group);
}

const float kWireColor[4] = {1.0f, 0.95f, 0.55f, 0.85f};
const float kThinnestWire = 0.1f;

bool isCachedContext()
{
    return !MDGContext::current().isNormal();
}

// The current evaluation time in 1/6000 s, the key of the position cache.
int64_t currentTimeKey()
{
    MTime time;
    if (!MDGContext::current().getTime(time)) {
        return INT64_MIN;
    }
    const double ticks = std::round(time.as(MTime::k6000FPS));
    if (!std::isfinite(ticks) || ticks < -9.2e18 || ticks > 9.2e18) {
        return INT64_MIN;
    }
    return static_cast<int64_t>(ticks);
}

// Plug readers that keep the caller's value when the plug cannot be read.
void readBool(const MObject& node, const MObject& attribute, bool& value)
{
    MStatus status;
    const bool read = MPlug(node, attribute).asBool(&status);
    if (status) {
        value = read;
    }
}

void readFloat(const MObject& node, const MObject& attribute, float& value)
{
    MStatus status;
    const float read = MPlug(node, attribute).asFloat(&status);
    if (status) {
        value = read;
    }
}

void readInt(const MObject& node, const MObject& attribute, int32_t& value)
{
    MStatus status;
    const int read = MPlug(node, attribute).asInt(&status);
    if (status) {
        value = read;
    }
}

// A colour compound's three channels, with alpha 1 - transparency.
void readColor(const MObject& node, const MObject& colorAttribute, const MObject& transparencyAttribute,
               MColor& color)
{
    const MPlug plug(node, colorAttribute);
    float* channels[3] = {&color.r, &color.g, &color.b};
    for (unsigned i = 0; i < 3; ++i) {
        MStatus status;
        const MPlug child = plug.child(i, &status);
        if (!status) {
            continue;
        }
        const float read = child.asFloat(&status);
        if (status) {
            *channels[i] = read;
        }
    }
    float transparency = 1.0f - color.a;
    readFloat(node, transparencyAttribute, transparency);
    color.a = 1.0f - transparency;
}

// The colour a patch mesh carries of its own, grouped with the patches of the same colour.
void readPatchColours(const MObject& node, unsigned patchCount, PellixDataOverlayData& data)
{
    data.patchColourGroups.assign(patchCount, -1);
    data.groupColours.clear();
    const MPlug sources(node, PellixDataOverlay::patchSourceMeshes);
    for (unsigned p = 0; p < patchCount; ++p) {
        MStatus status;
        const MObject patch = sourceNodeOf(sources.elementByLogicalIndex(p, &status));
        const MFnDependencyNode fn(patch, &status);
        if (patch.isNull() || !status || !fn.hasAttribute("pellixPatchColor")) {
            continue;
        }
        const MPlug colour = fn.findPlug("pellixPatchColor", false, &status);
        if (!status || colour.numChildren() < 3) {
            continue;
        }
        const MColor rgb(colour.child(0).asFloat(), colour.child(1).asFloat(), colour.child(2).asFloat());
        size_t group = 0;
        while (group < data.groupColours.size() && !(data.groupColours[group] == rgb)) {
            ++group;
        }
        if (group == data.groupColours.size()) {
            data.groupColours.push_back(rgb);
        }
        data.patchColourGroups[p] = static_cast<int>(group);
    }
}

// Reads the eight patch arrays and rebuilds the render topology from them. The partition
// and positions belong to the old topology and are dropped with it.
bool rebuildTopology(const MObject& node, uint64_t topologyCounter, PellixDataOverlayData& data)
{
    data.topologyValid = false;
    data.topology.clear();
    data.partition.reset();
    data.positions.clear();
    data.positionsValid = false;
    data.seenTopologyCounter = topologyCounter;

    PellixDataOverlay::StoredPatchArrays arrays;
    if (!PellixDataOverlay::readPatchArrays(node, arrays)) {
        return false;
    }
    const OverlayDrawData::PatchArrays patchArrays = arrays.spans();
    data.topologyValid = OverlayDrawData::buildTopology(patchArrays, data.topology);
    readPatchColours(node, static_cast<unsigned>(data.topology.patchRanges.size()), data);
    return data.topologyValid;
}

// Places every render vertex at its driver vertex of "evaluatedMesh", through `matrix`.
bool computePositions(const MObject& node, const MMatrix& matrix, const std::vector<int>& renderVertexDrivers,
                      std::vector<float>& positions)
{
    PellixDataOverlay::EvaluatedPoints driver;
    if (!PellixDataOverlay::readEvaluatedPoints(node, driver)) {
        return false;
    }
    positions.resize(renderVertexDrivers.size() * 3);
    OverlayDrawData::transformPositions(renderVertexDrivers.data(), static_cast<int64_t>(renderVertexDrivers.size()),
                                        driver.points, driver.count, matrix.matrix, positions.data());
    return true;
}

// X-ray drawing: the overlay's items draw with depth test and depth write off. The state
// in force before is kept per thread, since several draw threads may run the callbacks.
thread_local const MHWRender::MDepthStencilState* xrayPreviousState = nullptr;

void xrayPreDraw(MHWRender::MDrawContext& context, const MHWRender::MRenderItemList&, MHWRender::MShaderInstance*)
{
    MHWRender::MStateManager* stateManager = context.getStateManager();
    if (stateManager == nullptr) {
        return;
    }
    const MHWRender::MDepthStencilState* shared = nullptr;
    {
        std::lock_guard<std::mutex> lock(overlayDepthStencilMutex);
        if (overlayDepthStencilState == nullptr) {
            MHWRender::MDepthStencilStateDesc desc;
            desc.depthEnable = false;
            desc.depthWriteEnable = false;
            overlayDepthStencilState = MHWRender::MStateManager::acquireDepthStencilState(desc);
        }
        shared = overlayDepthStencilState;
    }
    if (shared == nullptr) {
        return;
    }
    MStatus status;
    xrayPreviousState = stateManager->getDepthStencilState(&status);
    if (!status) {
        xrayPreviousState = nullptr;
    }
    PELLIX_REPORT(stateManager->setDepthStencilState(shared));
}

void xrayPostDraw(MHWRender::MDrawContext& context, const MHWRender::MRenderItemList&, MHWRender::MShaderInstance*)
{
    MHWRender::MStateManager* stateManager = context.getStateManager();
    if (stateManager != nullptr && xrayPreviousState != nullptr) {
        PELLIX_REPORT(stateManager->setDepthStencilState(xrayPreviousState));
    }
    xrayPreviousState = nullptr;
}

// Fills one vertex buffer from x y z positions: positions get w = 1 and zeros beyond,
// every other stream zeros, except that normals point up (0, 1, 0).
void writeVertexBuffer(MHWRender::MGeometry& geometry, const MHWRender::MVertexBufferDescriptor& descriptor,
                       const std::vector<float>& positions)
{
    const int dimension = descriptor.dimension();
    const size_t vertexCount = positions.size() / 3;
    if (dimension <= 0 || vertexCount == 0) {
        return;
    }
    MHWRender::MVertexBuffer* buffer = geometry.createVertexBuffer(descriptor);
    if (buffer == nullptr) {
        return;
    }
    float* out = static_cast<float*>(buffer->acquire(static_cast<unsigned>(vertexCount), true));
    if (out == nullptr) {
        return;
    }
    const size_t width = static_cast<size_t>(dimension);
    if (descriptor.semantic() == MHWRender::MGeometry::kPosition) {
        if (width == 3) {
            std::memcpy(out, positions.data(), vertexCount * 3 * sizeof(float));
        } else {
            std::fill(out, out + vertexCount * width, 0.0f);
            const size_t copied = std::min<size_t>(width, 3);
            for (size_t v = 0; v < vertexCount; ++v) {
                float* vertex = out + v * width;
                std::copy(positions.data() + v * 3, positions.data() + v * 3 + copied, vertex);
                if (width >= 4) {
                    vertex[3] = 1.0f;
                }
            }
        }
    } else {
        std::fill(out, out + vertexCount * width, 0.0f);
        if (descriptor.semantic() == MHWRender::MGeometry::kNormal && width >= 2) {
            for (size_t v = 0; v < vertexCount; ++v) {
                out[v * width + 1] = 1.0f;
            }
        }
    }
    buffer->commit(out);
}

void writeIndexBuffer(MHWRender::MGeometry& geometry, const MHWRender::MRenderItemList& items, const MString& name,
                      const std::vector<uint32_t>& indices)
{
    const int at = items.indexOf(name);
    if (at < 0 || indices.empty()) {
        return;
    }
    const MHWRender::MRenderItem* item = items.itemAt(at);
    MHWRender::MIndexBuffer* buffer = geometry.createIndexBuffer(MHWRender::MGeometry::kUnsignedInt32);
    if (item == nullptr || buffer == nullptr) {
        return;
    }
    void* out = buffer->acquire(static_cast<unsigned>(indices.size()), true);
    if (out == nullptr) {
        return;
    }
    std::memcpy(out, indices.data(), indices.size() * sizeof(uint32_t));
    buffer->commit(out);
    item->associateWithIndexBuffer(buffer);
}

// The readout's position moved, on screen, out of the reach of the move, rotate and scale
// manipulators drawn at the control's pivot (their longest handles and tips), at the
// anchor's depth; the anchor itself when it is clear or off screen.
MPoint clearOfManipulator(const MHWRender::MFrameContext& frame, const PellixDataOverlayData& data, int originX,
                          int originY, int width, int height)
{
    double anchor[2];
    double pivot[2];
    frame.worldToViewport(data.readoutPosition, anchor[0], anchor[1]);
    frame.worldToViewport(data.readoutPivot, pivot[0], pivot[1]);
    if (!std::isfinite(anchor[0]) || !std::isfinite(anchor[1]) || !std::isfinite(pivot[0]) ||
        !std::isfinite(pivot[1])) {
        return data.readoutPosition;
    }
    const double globalSize = std::max(double(MFnManip3D::globalSize()), 0.1);
    const double handleSize = std::max(double(MFnManip3D::handleSize()), 1.0);
    const double reach = 0.5 * handleSize + 130.0 * globalSize + std::max(0.35 * handleSize, 10.0) + 4.0;
    const ReadoutText::TextBox box = ReadoutText::textBox(data.readoutText.length(),
                                                          static_cast<unsigned>(data.readoutTextSize), data.readoutColor.r,
                                                          data.readoutColor.g, data.readoutColor.b, width, height);
    const double viewport[4] = {double(originX), double(originY), double(width), double(height)};
    double placed[2];
    OverlayDrawData::placeReadoutClear(anchor, pivot, reach, 0.5 * box.width, 0.5 * box.height, viewport, placed);
    if (placed[0] == anchor[0] && placed[1] == anchor[1]) {
        return data.readoutPosition;
    }
    // The same depth as the anchor: the same share of the way from the near to the far plane.
    MPoint nearPoint;
    MPoint farPoint;
    frame.viewportToWorld(anchor[0], anchor[1], nearPoint, farPoint);
    const double span = (farPoint - nearPoint).length();
    const double share = span > 1e-12 ? (data.readoutPosition - nearPoint).length() / span : 0.0;
    frame.viewportToWorld(placed[0], placed[1], nearPoint, farPoint);
    const MPoint moved = nearPoint + (farPoint - nearPoint) * share;
    return std::isfinite(moved.x) && std::isfinite(moved.y) && std::isfinite(moved.z) ? moved : data.readoutPosition;
}

} // namespace

const MHWRender::MDepthStencilState* overlayDepthStencilState = nullptr;
std::mutex overlayDepthStencilMutex;

void releaseOverlayDepthStencilState()
{
    std::lock_guard<std::mutex> lock(overlayDepthStencilMutex);
    if (overlayDepthStencilState) {
        MHWRender::MStateManager::releaseDepthStencilState(overlayDepthStencilState);
        overlayDepthStencilState = nullptr;
    }
}

PellixDataOverlayData::PellixDataOverlayData() = default;
PellixDataOverlayData::~PellixDataOverlayData() = default;

const MString PellixDataOverlayGeometryOverride::baseItemName("pellixDataOverlayBase");
const MString PellixDataOverlayGeometryOverride::selectedItemName("pellixDataOverlaySelected");
const MString PellixDataOverlayGeometryOverride::hoverItemName("pellixDataOverlayHover");
const MString PellixDataOverlayGeometryOverride::wireItemName("pellixDataOverlayWire");

MHWRender::MPxGeometryOverride* PellixDataOverlayGeometryOverride::creator(const MObject& obj)
{
    return new PellixDataOverlayGeometryOverride(obj);
}

PellixDataOverlayGeometryOverride::PellixDataOverlayGeometryOverride(const MObject& obj)
    : MHWRender::MPxGeometryOverride(obj), fNode(obj), fOverlay(PellixDataOverlay::fromObject(obj))
{
    bool wanted = false;
    readBool(fNode, PellixDataOverlay::showTransformReadout, wanted);
    fUIDrawablesWanted.store(wanted);
}

PellixDataOverlayGeometryOverride::~PellixDataOverlayGeometryOverride() = default;

MHWRender::DrawAPI PellixDataOverlayGeometryOverride::supportedDrawAPIs() const
{
    return MHWRender::kAllDevices;
}

bool PellixDataOverlayGeometryOverride::hasUIDrawables() const
{
    return fUIDrawablesWanted.load();
}

bool PellixDataOverlayGeometryOverride::supportsEvaluationManagerParallelUpdate() const
{
    return true;
}

bool PellixDataOverlayGeometryOverride::supportsVP2CustomCaching() const
{
    return fOverlay != nullptr && fOverlay->drivenByWorldMesh() && !fUIDrawablesWanted.load();
}

void PellixDataOverlayGeometryOverride::configCache(const MEvaluationNode& evalNode, MCacheSchema& schema) const
{
    for (const MObject* attribute : {&PellixDataOverlay::evaluatedMesh, &PellixDataOverlay::geometryChanging}) {
        MStatus status;
        if (evalNode.dirtyPlugExists(*attribute, &status) && status) {
            PELLIX_REPORT(schema.add(*attribute));
        }
    }
}

bool PellixDataOverlayGeometryOverride::requiresGeometryUpdate() const
{
    if (fOverlay == nullptr) {
        return true;
    }
    if (isCachedContext()) {
        return supportsVP2CustomCaching();
    }
    std::lock_guard<std::mutex> lock(fDataMutex);
    if (!fData.enabled) {
        return fOverlay->displayCounter() != fData.seenDisplayCounter;
    }
    // A shown readout is checked again on every frame, so that it goes when its hold ends
    // even though nothing else changed.
    if (!fData.topologyValid || !fData.positionsValid || fData.readoutValid) {
        return true;
    }
    return fOverlay->isGeometryChanging() || fOverlay->topologyCounter() != fData.seenTopologyCounter ||
           fOverlay->geometryCounter() != fData.seenGeometryCounter ||
           fOverlay->highlightCounter() != fData.seenHighlightCounter ||
           fOverlay->displayCounter() != fData.seenDisplayCounter ||
           fOverlay->trackedCounter() != fData.seenTrackedCounter ||
           fOverlay->patchColourCounter() != fData.seenPatchColourCounter;
}

bool PellixDataOverlayGeometryOverride::requiresUpdateRenderItems(const MDagPath&) const
{
    if (isCachedContext()) {
        return false;
    }
    std::lock_guard<std::mutex> lock(fDataMutex);
    return fRenderItemsDirty;
}

bool PellixDataOverlayGeometryOverride::isIndexingDirty(const MHWRender::MRenderItem& item)
{
    if (isCachedContext()) {
        return false;
    }
    std::lock_guard<std::mutex> lock(fDataMutex);
    const MString name = item.name();
    return fIndicesDirty && (name == baseItemName || name == selectedItemName || name == hoverItemName ||
                             name == wireItemName || std::string(name.asChar()).rfind(kColourItemPrefix, 0) == 0);
}

bool PellixDataOverlayGeometryOverride::isStreamDirty(const MHWRender::MVertexBufferDescriptor& desc)
{
    const bool isPosition = desc.semantic() == MHWRender::MGeometry::kPosition;
    if (isCachedContext()) {
        return isPosition;
    }
    std::lock_guard<std::mutex> lock(fDataMutex);
    return isPosition ? fPositionsDirty : fOtherStreamsDirty;
}

void PellixDataOverlayGeometryOverride::cleanUp()
{
    if (isCachedContext()) {
        return;
    }
    std::lock_guard<std::mutex> lock(fDataMutex);
    fPositionsDirty = false;
    fOtherStreamsDirty = false;
    fIndicesDirty = false;
    fRenderItemsDirty = false;
}

void PellixDataOverlayGeometryOverride::updateDG()
{
    if (isCachedContext()) {
        updateDGCached();
    } else {
        updateDGNormal();
    }
}

void PellixDataOverlayGeometryOverride::readDisplayAttributes()
{
    PellixDataOverlayData& data = fData;
    readBool(fNode, PellixDataOverlay::enable, data.enabled);
    readColor(fNode, PellixDataOverlay::color, PellixDataOverlay::transparency, data.baseColor);
    readColor(fNode, PellixDataOverlay::hoverColor, PellixDataOverlay::hoverTransparency, data.hoverColor);
    readColor(fNode, PellixDataOverlay::selectedColor, PellixDataOverlay::selectedTransparency, data.selectedColor);
    readBool(fNode, PellixDataOverlay::drawInXray, data.drawInXray);
    readBool(fNode, PellixDataOverlay::drawWireframe, data.drawWireframe);
    readFloat(fNode, PellixDataOverlay::wireframeWidth, data.wireframeWidth);
    readBool(fNode, PellixDataOverlay::showTransformReadout, data.showTransformReadout);
    if (fUIDrawablesWanted.exchange(data.showTransformReadout) != data.showTransformReadout) {
        MHWRender::MRenderer::setGeometryDrawDirty(fNode, false);
    }
    readInt(fNode, PellixDataOverlay::readoutTextSize, data.readoutTextSize);
    data.readoutTextSize = std::max<int32_t>(data.readoutTextSize, 6);
}

void PellixDataOverlayGeometryOverride::readHighlightAttributes()
{
    readInt(fNode, PellixDataOverlay::hoveredPatch, fData.hoveredPatch);
    if (!PellixDataOverlay::readIntArray(fNode, PellixDataOverlay::selectedPatches, fData.selectedPatches)) {
        fData.selectedPatches.clear();
    }
}

void PellixDataOverlayGeometryOverride::updateDGNormal()
{
    std::lock_guard<std::mutex> lock(fDataMutex);
    PellixDataOverlayData& data = fData;
    data.readoutValid = false;

    const uint64_t topologyCounter = fOverlay ? fOverlay->topologyCounter() : 1;
    const uint64_t geometryCounter = fOverlay ? fOverlay->geometryCounter() : 1;
    const uint64_t highlightCounter = fOverlay ? fOverlay->highlightCounter() : 1;
    const uint64_t displayCounter = fOverlay ? fOverlay->displayCounter() : 1;
    const uint64_t trackedCounter = fOverlay ? fOverlay->trackedCounter() : 1;
    const uint64_t patchColourCounter = fOverlay ? fOverlay->patchColourCounter() : 1;

    if (displayCounter != data.seenDisplayCounter) {
        readDisplayAttributes();
        data.seenDisplayCounter = displayCounter;
        fRenderItemsDirty = true;
    }
    if (highlightCounter != data.seenHighlightCounter) {
        readHighlightAttributes();
        data.seenHighlightCounter = highlightCounter;
        data.partitionPending = true;
    }
    if (!data.enabled) {
        return;
    }

    bool topologyRebuilt = false;
    if (topologyCounter != data.seenTopologyCounter || !data.topologyValid) {
        if (!rebuildTopology(fNode, topologyCounter, data)) {
            return;
        }
        topologyRebuilt = true;
        data.partitionPending = true;
        fPositionsDirty = true;
        fOtherStreamsDirty = true;
        fIndicesDirty = true;
    }
    // A patch mesh's colour was edited: the rebuild above read it already, or it is read now
    // and the triangles are split again from scratch (a patch losing its colour goes back to
    // the overlay's).
    if (patchColourCounter != data.seenPatchColourCounter) {
        if (!topologyRebuilt) {
            readPatchColours(fNode, static_cast<unsigned>(data.topology.patchRanges.size()), data);
            data.partition.reset();
            data.partitionPending = true;
        }
        data.seenPatchColourCounter = patchColourCounter;
    }

    // Without a driver the overlay stands on nothing: it draws nothing, whatever it last showed.
    const bool hasDriver = fOverlay == nullptr || fOverlay->hasDriver();
    const bool keepPositions = hasDriver && data.positionsValid && geometryCounter == data.seenGeometryCounter &&
                               (fOverlay == nullptr || !fOverlay->isGeometryChanging());
    if (!keepPositions) {
        // The items show or hide with the positions: the renderer keeps the last buffers
        // written, so an item left on would draw where the driver used to be.
        const bool wasValid = data.positionsValid;
        const MMatrix driverMatrix = fOverlay ? fOverlay->driverMatrix() : MMatrix::identity;
        if (!hasDriver || !computePositions(fNode, driverMatrix, data.topology.renderVertexDrivers, data.positions)) {
            data.positionsValid = false;
            data.positions.clear();
            fPositionsDirty = true;
            if (wasValid || topologyRebuilt) {
                fRenderItemsDirty = true;
            }
            return;
        }
        data.positionsValid = true;
        fPositionsDirty = true;
        if (!wasValid) {
            fRenderItemsDirty = true;
        }
    }
    data.seenGeometryCounter = geometryCounter;

    // Runs for a rebuild or a hover or selection change, including one that an earlier
    // update recorded but could not act on because its positions failed.
    bool partitionChanged = false;
    if (data.partitionPending) {
        const int64_t selectedCount = data.selectedPatches.length();
        partitionChanged = OverlayDrawData::partitionHighlight(
            data.topology, data.hoveredPatch, selectedCount > 0 ? &data.selectedPatches[0] : nullptr, selectedCount,
            data.partition);
        data.partitionPending = false;
        if (partitionChanged) {
            OverlayDrawData::splitColouredPatches(data.topology, data.patchColourGroups,
                                                  static_cast<int>(data.groupColours.size()), data.partition,
                                                  data.colourIndices);
            fIndicesDirty = true;
        }
    }
    if (topologyRebuilt || partitionChanged) {
        fRenderItemsDirty = true;
    }

    updateReadout();
    data.seenTrackedCounter = trackedCounter;
}

void PellixDataOverlayGeometryOverride::updateReadout()
{
    PellixDataOverlayData& data = fData;
    if (!data.showTransformReadout) {
        return;
    }
    // The stored selection is only as good as whoever wrote it: an index that names no patch
    // has no control and no readout.
    MObject control;
    MDagPath path;
    if (!PellixDataOverlay::readoutControl(fNode, data.selectedPatches, data.topology.patchRanges.size(), control,
                                           path)) {
        return;
    }
    PatchReadout readout;
    if (!buildPatchReadout(path, fNode, readout)) {
        return;
    }
    // Hung above the first of the control's patches.
    double anchor[3];
    if (!OverlayDrawData::readoutAnchor(data.topology, data.positions.data(),
                                        static_cast<int64_t>(data.positions.size() / 3), data.selectedPatches[0],
                                        anchor)) {
        return;
    }
    MStatus status;
    const MPoint pivot = MFnTransform(path, &status).rotatePivot(MSpace::kWorld, &status);
    data.readoutPivot = status ? pivot : MPoint(anchor[0], anchor[1], anchor[2], 1.0);
    data.readoutPosition = MPoint(anchor[0], anchor[1], anchor[2], 1.0);
    data.readoutText = readout.text;
    data.readoutColor = MColor(readout.color[0], readout.color[1], readout.color[2], readout.color[3]);
    data.readoutValid = true;
    // Nothing else may redraw when the hold ends, and the readout must go then: a millisecond
    // late rather than early. Only the readout changes, not the patches' topology.
    redrawNodeAfter(fNode, static_cast<std::int64_t>(std::ceil(std::max(readout.holdSeconds, 0.0) * 1e9)) + 1000000,
                    false);
}

void PellixDataOverlayGeometryOverride::updateDGCached()
{
    if (!supportsVP2CustomCaching()) {
        return;
    }
    PellixDataOverlayData cached;
    MMatrix driverMatrix;
    {
        std::lock_guard<std::mutex> lock(fDataMutex);
        cached.topology.renderVertexDrivers = fData.topology.renderVertexDrivers;
        // The same world placement as normal drawing: the driver's points are in its object space.
        driverMatrix = fOverlay->driverMatrix();
    }
    if (cached.topology.renderVertexDrivers.empty() && !rebuildTopology(fNode, fOverlay->topologyCounter(), cached)) {
        return;
    }
    if (!computePositions(fNode, driverMatrix, cached.topology.renderVertexDrivers, cached.positions)) {
        return;
    }

    const int64_t key = currentTimeKey();
    std::lock_guard<std::mutex> lock(fCacheMutex);
    std::vector<std::vector<float>>& arrays = fPositionCache[key];
    arrays.push_back(std::move(cached.positions));
    if (arrays.size() > kCachedArraysPerTime) {
        arrays.erase(arrays.begin());
    }
    while (fPositionCache.size() > kCachedTimes) {
        fPositionCache.erase(fPositionCache.begin());
    }
}

void PellixDataOverlayGeometryOverride::updateRenderItems(const MDagPath&, MHWRender::MRenderItemList& list)
{
    std::lock_guard<std::mutex> lock(fDataMutex);
    MHWRender::MRenderer* renderer = MHWRender::MRenderer::theRenderer();
    const MHWRender::MShaderManager* shaders = renderer ? renderer->getShaderManager() : nullptr;
    if (shaders == nullptr) {
        return;
    }
    const PellixDataOverlayData& data = fData;
    const bool shown = data.enabled && data.positionsValid;

    struct ItemSetup {
        const MString& name;
        MHWRender::MGeometry::Primitive primitive;
        MHWRender::MShaderManager::MStockShader shader;
        const float* color;
        bool transparent;
        bool enabled;
    };
    const float base[4] = {data.baseColor.r, data.baseColor.g, data.baseColor.b, data.baseColor.a};
    const float selected[4] = {data.selectedColor.r, data.selectedColor.g, data.selectedColor.b,
                               data.selectedColor.a};
    const float hover[4] = {data.hoverColor.r, data.hoverColor.g, data.hoverColor.b, data.hoverColor.a};
    const ItemSetup setups[4] = {
        {baseItemName, MHWRender::MGeometry::kTriangles, MHWRender::MShaderManager::k3dSolidShader, base,
         data.baseColor.a < 0.999f, shown && !data.partition.baseIndices.empty()},
        {selectedItemName, MHWRender::MGeometry::kTriangles, MHWRender::MShaderManager::k3dSolidShader, selected,
         data.selectedColor.a < 0.999f, shown && !data.partition.selectedIndices.empty()},
        {hoverItemName, MHWRender::MGeometry::kTriangles, MHWRender::MShaderManager::k3dSolidShader, hover,
         data.hoverColor.a < 0.999f, shown && !data.partition.hoverIndices.empty()},
        // Stock shader 10: the thick line shader with "lineWidth".
        {wireItemName, MHWRender::MGeometry::kLines, static_cast<MHWRender::MShaderManager::MStockShader>(10),
         kWireColor, true, shown && data.drawWireframe && !data.topology.edgeIndices.empty()},
    };

    const MHWRender::MShaderInstance::DrawCallback preDraw = data.drawInXray ? xrayPreDraw : nullptr;
    const MHWRender::MShaderInstance::DrawCallback postDraw = data.drawInXray ? xrayPostDraw : nullptr;
    const float lineWidth = data.wireframeWidth > kThinnestWire ? data.wireframeWidth : kThinnestWire;
    const float lineWidths[2] = {lineWidth, lineWidth};

    for (const ItemSetup& setup : setups) {
        MHWRender::MRenderItem* item = nullptr;
        const int at = list.indexOf(setup.name);
        if (at >= 0) {
            item = list.itemAt(at);
        } else {
            item = createOverlayItem(setup.name, setup.primitive);
            if (item == nullptr) {
                continue;
            }
            list.append(item);
        }
        if (item == nullptr) {
            continue;
        }

        MHWRender::MShaderInstance* shader = shaders->getStockShader(setup.shader, preDraw, postDraw);
        if (shader != nullptr) {
            PELLIX_REPORT(shader->setParameter("solidColor", setup.color));
            if (&setup.name == &wireItemName) {
                PELLIX_REPORT(shader->setParameter("lineWidth", lineWidths));
            }
            PELLIX_REPORT(shader->setIsTransparent(setup.transparent));
            item->setShader(shader);
            shaders->releaseShader(shader);
        }
        item->setTreatAsTransparent(setup.transparent);
        if (&setup.name == &selectedItemName) {
            item->depthPriority(MHWRender::MRenderItem::sSelectionDepthPriority + 1);
        }
        // Positions are already in world space.
        PELLIX_REPORT(item->setMatrix(&MMatrix::identity) ? MStatus::kSuccess : MStatus::kFailure);
        item->enable(setup.enabled);
    }

    // Patches with colours of their own: one item per colour at the base transparency; items
    // of colours no patch has any longer stay off.
    const bool transparent = data.baseColor.a < 0.999f;
    for (size_t group = 0;; ++group) {
        const MString name = colourItemName(group);
        const bool used = group < data.colourIndices.size() && group < data.groupColours.size();
        int at = list.indexOf(name);
        if (!used && at < 0) {
            break;
        }
        if (at < 0) {
            MHWRender::MRenderItem* created = createOverlayItem(name, MHWRender::MGeometry::kTriangles);
            if (created == nullptr) {
                break;
            }
            list.append(created);
            at = list.indexOf(name);
        }
        MHWRender::MRenderItem* item = list.itemAt(at);
        if (item == nullptr) {
            continue;
        }
        if (used) {
            const MColor& rgb = data.groupColours[group];
            const float colour[4] = {rgb.r, rgb.g, rgb.b, data.baseColor.a};
            MHWRender::MShaderInstance* shader =
                shaders->getStockShader(MHWRender::MShaderManager::k3dSolidShader, preDraw, postDraw);
            if (shader != nullptr) {
                PELLIX_REPORT(shader->setParameter("solidColor", colour));
                PELLIX_REPORT(shader->setIsTransparent(transparent));
                item->setShader(shader);
                shaders->releaseShader(shader);
            }
            item->setTreatAsTransparent(transparent);
            PELLIX_REPORT(item->setMatrix(&MMatrix::identity) ? MStatus::kSuccess : MStatus::kFailure);
        }
        item->enable(used && shown && !data.colourIndices[group].empty());
    }
}

void PellixDataOverlayGeometryOverride::populateGeometry(const MHWRender::MGeometryRequirements& requirements,
                                                         const MHWRender::MRenderItemList& renderItems,
                                                         MHWRender::MGeometry& data)
{
    if (isCachedContext()) {
        std::vector<float> positions;
        {
            std::lock_guard<std::mutex> lock(fCacheMutex);
            const auto entry = fPositionCache.find(currentTimeKey());
            if (entry == fPositionCache.end() || entry->second.empty()) {
                return;
            }
            positions = std::move(entry->second.back());
            entry->second.pop_back();
            if (entry->second.empty()) {
                fPositionCache.erase(entry);
            }
        }
        if (positions.empty()) {
            return;
        }
        const MHWRender::MVertexBufferDescriptorList& streams = requirements.vertexRequirements();
        for (int i = 0; i < streams.length(); ++i) {
            MHWRender::MVertexBufferDescriptor descriptor;
            if (streams.getDescriptor(i, descriptor) && descriptor.dataType() == MHWRender::MGeometry::kFloat &&
                descriptor.semantic() == MHWRender::MGeometry::kPosition) {
                writeVertexBuffer(data, descriptor, positions);
            }
        }
        if (fOverlay != nullptr) {
            fOverlay->clearGeometryChanging();
        }
        return;
    }

    std::lock_guard<std::mutex> lock(fDataMutex);
    const std::vector<float>& positions = fData.positions;
    if (positions.empty()) {
        return;
    }
    const MHWRender::MVertexBufferDescriptorList& streams = requirements.vertexRequirements();
    for (int i = 0; i < streams.length(); ++i) {
        MHWRender::MVertexBufferDescriptor descriptor;
        if (!streams.getDescriptor(i, descriptor) || descriptor.dataType() != MHWRender::MGeometry::kFloat) {
            continue;
        }
        const bool isPosition = descriptor.semantic() == MHWRender::MGeometry::kPosition;
        if (isPosition ? fPositionsDirty : fOtherStreamsDirty) {
            writeVertexBuffer(data, descriptor, positions);
        }
    }
    if (fPositionsDirty && fOverlay != nullptr) {
        fOverlay->clearGeometryChanging();
    }
    if (fIndicesDirty) {
        writeIndexBuffer(data, renderItems, baseItemName, fData.partition.baseIndices);
        writeIndexBuffer(data, renderItems, selectedItemName, fData.partition.selectedIndices);
        writeIndexBuffer(data, renderItems, hoverItemName, fData.partition.hoverIndices);
        writeIndexBuffer(data, renderItems, wireItemName, fData.topology.edgeIndices);
        for (size_t g = 0; g < fData.colourIndices.size(); ++g) {
            writeIndexBuffer(data, renderItems, colourItemName(g), fData.colourIndices[g]);
        }
    }
}

void PellixDataOverlayGeometryOverride::addUIDrawables(const MDagPath&, MHWRender::MUIDrawManager& drawManager,
                                                       const MHWRender::MFrameContext& frameContext)
{
    std::lock_guard<std::mutex> lock(fDataMutex);
    const PellixDataOverlayData& data = fData;
    if (!data.enabled || !data.showTransformReadout || !data.readoutValid) {
        return;
    }
    int originX = 0;
    int originY = 0;
    int width = 0;
    int height = 0;
    const bool hasViewport = frameContext.getViewportDimensions(originX, originY, width, height) && width > 0 &&
                             height > 0;
    const MPoint position =
        hasViewport ? clearOfManipulator(frameContext, data, originX, originY, width, height) : data.readoutPosition;
    drawManager.beginDrawable(MHWRender::MUIDrawManager::kNonSelectable);
    drawManager.beginDrawInXray();
    drawReadoutText(drawManager, position, data.readoutText, data.readoutColor,
                    static_cast<unsigned>(data.readoutTextSize), MHWRender::MUIDrawManager::kCenter,
                    hasViewport ? width : 0, hasViewport ? height : 0);
    drawManager.endDrawInXray();
    drawManager.endDrawable();
}
