#include "FrameRenderer.h"

#include "GlDevice.h"
#include "OverrideInstances.h"
#include "PlaybackCache.h"
#include "BufferStorage.h"
#include "RendererAccess.h"
#include "ShaderParameters.h"
#include "DisplayStatus.h"
#include "UiDrawList.h"
#include "ViewDecorations.h"
#include "viewport/JointDrawing.h"

#include "dag/DagAttributes.h"
#include "dg/Component.h"
#include "dg/Node.h"
#include "dg/Object.h"
#include "dg/Registry.h"
#include "dg/Scene.h"
#include "dg/SelectionItem.h"
#include "geometry/CurveData.h"
#include "geometry/CurveShapeNode.h"
#include "geometry/MeshData.h"
#include "geometry/MeshGeometry.h"
#include "geometry/MeshShapeNode.h"

#include <maya/M3dView.h>
#include <maya/MAnimControl.h>
#include <maya/MDGContext.h>
#include <maya/MDGContextGuard.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MHWGeometryUtilities.h>
#include <maya/MPlug.h>
#include <maya/MPxLocatorNode.h>
#include <maya/MSelectionList.h>
#include <maya/MUserData.h>

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QOpenGLFunctions_3_3_Core>
#include <QPainter>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <map>
#include <unordered_map>

namespace host
{

using namespace MHWRender;

namespace
{


using Clock = std::chrono::steady_clock;
bool timingFrames = false;
FrameTiming timing;

// Adds the time until it goes out of scope to the frame's plug-in share (while timing).
struct PluginShareTimer
{
    Clock::time_point start = timingFrames ? Clock::now() : Clock::time_point();
    ~PluginShareTimer()
    {
        if (timingFrames) timing.pluginSeconds += std::chrono::duration<double>(Clock::now() - start).count();
    }
};

// One call into an override: recorded, and timed as the plug-in's share of the frame.
template <class Call>
auto overrideCall(const Node* node, const char* name, Call&& call, const std::string& detail = std::string())
{
    if (recordingVp2()) recordVp2(node, name, detail);
    PluginShareTimer timer;
    return call();
}
const float kMeshGrey[4] = {0.5f, 0.5f, 0.5f, 1.0f};

// One render item to draw this frame.
struct ItemDraw
{
    OverrideInstance* instance;
    MRenderItem* item;
    MMatrix world;
    double depth;   // eye-space distance, for sorting transparent items
};

// Built-in mesh geometry kept in GL: a triangle list with smooth normals and an edge list.
struct MeshCache
{
    MObject node;
    const MeshGeometry* geometry = nullptr;
    std::uint64_t version = 0;
    std::uint64_t positions = 0, normals = 0, edges = 0;
    std::vector<float> trianglePositions, triangleNormals, edgePositions;
    bool seen = false;
    // Selected faces drawn highlighted: for which component and geometry version.
    MObject highlighted;
    std::uint64_t highlightVersion = 0;
    std::uint64_t highlightFill = 0, highlightOutline = 0;
    std::vector<float> fillPositions, outlinePositions;
};

using TextTexture = GlDevice::TextTexture;

struct FrameState
{
    std::vector<ItemDraw> opaque, transparent;
    std::vector<OverrideInstance*> opaqueDraws, transparentDraws, uiInstances;
    std::unordered_map<const Node*, MeshCache> meshes;
    std::unordered_map<const Node*, MObject> selectedFaces;  // face components of the active selection
    HostDrawContext context;
    MStateManager* stateManager = nullptr;
    const MDepthStencilState* opaqueState = nullptr;
    const MDepthStencilState* transparentState = nullptr;
    const MDepthStencilState* overlayState = nullptr;
    const MDepthStencilState* pickXrayState = nullptr;
};

// The selection pass: while on, every draw is flat in `color` (the id of the
// path being drawn) and only selectable parts are drawn.
struct PickPass
{
    bool on = false;
    float color[4] = {0, 0, 0, 1};
};
PickPass picking;

void setPickColor(DrawStyle& style)
{
    style.mode = DrawStyle::kSolid;
    std::copy(picking.color, picking.color + 4, style.color);
}

FrameState& frame()
{
    static FrameState* state = new FrameState;
    if (!state->stateManager) {
        state->stateManager = RendererAccess::newStateManager();
        MDepthStencilStateDesc desc;
        desc.depthFunc = MStateManager::kCompareLessEqual;
        state->opaqueState = MStateManager::acquireDepthStencilState(desc);
        desc.depthWriteEnable = false;
        state->transparentState = MStateManager::acquireDepthStencilState(desc);
        desc.depthEnable = false;
        state->overlayState = MStateManager::acquireDepthStencilState(desc);
        // X-ray drawables in the selection pass: always drawn and written at the
        // nearest depth (with glDepthRange(0, 0)), so they win over what they cover.
        MDepthStencilStateDesc xray;
        xray.depthFunc = MStateManager::kCompareAlways;
        state->pickXrayState = MStateManager::acquireDepthStencilState(xray);
    }
    return *state;
}

bool hiddenByOverride(const MDagPath& path)
{
    MDagPath p(path);
    while (p.length() > 0) {
        MObject node = p.node();
        if (MPlug(node, DagAttributes::overrideEnabled).asBool() &&
            !MPlug(node, DagAttributes::overrideVisibility).asBool())
            return true;
        p.pop();
    }
    return false;
}

// Plug-in locators go with the locators in the view's Show filter, unless they ask not to.
bool hiddenAsLocator(const Node& node, const ViewSetup& view)
{
    if (view.objectDisplay == ~0u || (view.objectDisplay & M3dView::kDisplayLocators))
        return false;
    const auto* locator = dynamic_cast<const MPxLocatorNode*>(node.user);
    return locator != nullptr && locator->excludeAsLocator();
}

bool isShaded(unsigned int style)
{
    return (style & (MFrameContext::kGouraudShaded | MFrameContext::kFlatShaded | MFrameContext::kTextured)) != 0;
}

bool isActive(DisplayStatus s)
{
    return s == kActive || s == kLead || s == kHilite;
}

// Whether an item's draw mode shows in the view's display style (wireframe items
// also show on shaded objects that are selected, as Maya's wireframe on shaded).
bool showsIn(MGeometry::DrawMode mode, unsigned int style, const MDagPath& path)
{
    const bool shaded = isShaded(style), wire = (style & MFrameContext::kWireFrame) != 0;
    if ((mode & (MGeometry::kShaded | MGeometry::kTextured)) && shaded) return true;
    if ((mode & MGeometry::kWireframe) && wire) return true;
    if ((mode & MGeometry::kBoundingBox) && (style & MFrameContext::kBoundingBox)) return true;
    if ((mode & MGeometry::kWireframe) && shaded) return isActive(MGeometryUtilities::displayStatus(path));
    return false;
}

std::string semanticName(const MVertexBufferDescriptor& d)
{
    MString s = MGeometry::semanticString(d.semantic());
    std::string name = s.asChar();
    if (!name.empty()) name[0] = static_cast<char>(std::tolower(name[0]));
    if (d.name().length() > 0 && d.semantic() != MGeometry::kPosition && d.semantic() != MGeometry::kNormal)
        name += std::string(":") + d.name().asChar();
    return name;
}

bool isLitShader(int stock)
{
    return stock == MShaderManager::k3dBlinnShader || stock == MShaderManager::k3dDefaultMaterialShader ||
           stock == MShaderManager::k3dStandardSurfaceShader ||
           stock == MShaderManager::k3dIsotropicStandardSurfaceShader;
}

bool isPerVertexColorShader(int stock)
{
    return stock == MShaderManager::k3dCPVFatPointShader || stock == MShaderManager::k3dCPVThickLineShader ||
           stock == MShaderManager::k3dCPVDashLineShader || stock == MShaderManager::k3dCPVThickDashLineShader ||
           stock == MShaderManager::k3dCPVSolidShader;
}

// The streams the renderer asks for: positions always, normals for lit shaders,
// colours for per-vertex-colour shaders (float3, float3, float4).
void streamsFor(const MRenderItemList& items, bool& normals, bool& colors)
{
    normals = colors = false;
    for (int i = 0; i < items.length(); ++i) {
        const MShaderInstance* shader = items.itemAt(i)->getShader();
        if (!shader) continue;
        int stock = RendererAccess::stockShader(*shader);
        normals = normals || isLitShader(stock);
        colors = colors || isPerVertexColorShader(stock);
    }
}

MIndexBufferDescriptor::IndexType indexTypeFor(MGeometry::Primitive p)
{
    switch (p) {
    case MGeometry::kPoints: return MIndexBufferDescriptor::kPoint;
    case MGeometry::kLines:
    case MGeometry::kLineStrip: return MIndexBufferDescriptor::kEdgeLine;
    default: return MIndexBufferDescriptor::kTriangle;
    }
}

std::size_t vertexBytes(const MVertexBuffer& b)
{
    return std::size_t(b.vertexCount()) * std::max(0, b.descriptor().dimension()) * b.descriptor().dataTypeSize();
}

StoredVertexBuffer* storedStream(OverrideInstance& inst, MGeometry::Semantic semantic)
{
    for (StoredVertexBuffer& b : inst.vertexBuffers)
        if (b.buffer->descriptor().semantic() == semantic) return &b;
    return nullptr;
}

// Keeps what populateGeometry wrote: vertex buffers replace those of the same
// stream, index buffers those of the item they are associated with.
void absorb(OverrideInstance& inst, MGeometry& geometry, const std::vector<MRenderItem*>& items)
{
    std::vector<MVertexBuffer*> vertex;
    std::vector<MIndexBuffer*> index;
    RendererAccess::takeBuffers(geometry, vertex, index);
    for (MVertexBuffer* b : vertex) {
        if (recordingVp2()) recordVp2(inst.raw, "bufferWrite", semanticName(b->descriptor()), vertexBytes(*b));
        StoredVertexBuffer fresh{b, GlDevice::newSerial()};
        auto same = std::find_if(inst.vertexBuffers.begin(), inst.vertexBuffers.end(), [&](const StoredVertexBuffer& s) {
            return s.buffer->descriptor().semantic() == b->descriptor().semantic() &&
                   s.buffer->descriptor().name() == b->descriptor().name();
        });
        if (same != inst.vertexBuffers.end()) {
            GlDevice::releaseBuffer(same->serial);
            delete same->buffer;
            *same = fresh;
        } else {
            inst.vertexBuffers.push_back(fresh);
        }
    }
    for (MIndexBuffer* b : index) {
        MRenderItem* owner = nullptr;
        for (MRenderItem* item : items)
            if (RendererAccess::associatedIndexBuffer(*item) == b) owner = item;
        if (owner == nullptr) {
            // Only items' index buffers are drawn; an unclaimed one is dropped.
            delete b;
            continue;
        }
        std::string name = owner->name().asChar();
        recordVp2(inst.raw, "bufferWrite", "index:" + name,
                  std::size_t(b->size()) * dataTypeSize(b->dataType()));
        StoredIndexBuffer fresh{name, b, GlDevice::newSerial()};
        auto same = std::find_if(inst.indexBuffers.begin(), inst.indexBuffers.end(),
                                 [&](const StoredIndexBuffer& s) { return s.item == name; });
        if (same != inst.indexBuffers.end()) {
            GlDevice::releaseBuffer(same->serial);
            delete same->buffer;
            *same = fresh;
        } else {
            inst.indexBuffers.push_back(fresh);
        }
    }
}

// Asks which streams and items are dirty, and populates those.
void populate(OverrideInstance& inst, bool forceAll)
{
    MPxGeometryOverride& geo = *inst.geometry;
    bool wantNormals, wantColors;
    streamsFor(inst.items, wantNormals, wantColors);
    std::vector<MVertexBufferDescriptor> streams;
    streams.emplace_back(MString(), MGeometry::kPosition, MGeometry::kFloat, 3);
    if (wantNormals) streams.emplace_back(MString(), MGeometry::kNormal, MGeometry::kFloat, 3);
    if (wantColors) streams.emplace_back(MString(), MGeometry::kColor, MGeometry::kFloat, 4);

    RequirementsBuilder requirements;
    std::vector<MRenderItem*> dirtyItems;
    bool anything = false;
    for (int i = 0; i < inst.items.length(); ++i) {
        MRenderItem* item = inst.items.itemAt(i);
        bool dirty = overrideCall(inst.raw, "isIndexingDirty", [&] { return geo.isIndexingDirty(*item); },
                                  item->name().asChar());
        if (dirty || forceAll || inst.indexBufferOf(item->name()) == nullptr) {
            dirtyItems.push_back(item);
            requirements.addIndexing(MIndexBufferDescriptor(indexTypeFor(item->primitive()), item->name(),
                                                            item->primitive()));
            anything = true;
        }
    }
    for (const MVertexBufferDescriptor& d : streams) {
        bool dirty = overrideCall(inst.raw, "isStreamDirty", [&] { return geo.isStreamDirty(d); }, semanticName(d));
        if (dirty || forceAll || storedStream(inst, d.semantic()) == nullptr) {
            requirements.addVertex(d);
            anything = true;
        }
    }
    if (!anything) return;
    MRenderItemList list;
    for (MRenderItem* item : dirtyItems) RendererAccess::borrow(list, item);
    MGeometry geometry;
    overrideCall(inst.raw, "populateGeometry", [&] { geo.populateGeometry(requirements, list, geometry); });
    RendererAccess::release(list);
    absorb(inst, geometry, dirtyItems);
}

// Runs a geometry override's update in Maya's order; true when it drew from
// the playback cache.
void updateGeometryOverride(OverrideInstance& inst, const MDagPath& path, FrameState& fs)
{
    MPxGeometryOverride& geo = *inst.geometry;
    const MMatrix pathWorld = path.inclusiveMatrix();
    fs.context.setWorld(pathWorld);
    RendererAccess::setFrameContext(geo, &fs.context);
    MTime cachedTime;
    const bool cached = inst.cacheConfigured && playbackCacheHolds(MAnimControl::currentTime(), cachedTime);
    bool update = false;
    if (cached) {
        // Cached playback: the override draws the frame from what its updateDG
        // stored at that time, read in the cached context.
        MDGContext context(cachedTime);
        MDGContextGuard guard(context);
        if (!inst.updated)
            overrideCall(inst.raw, "updateRenderItems", [&] { geo.updateRenderItems(path, inst.items); });
        populate(inst, true);
    } else {
        update = overrideCall(inst.raw, "requiresGeometryUpdate", [&] { return geo.requiresGeometryUpdate(); }) ||
                 inst.dirty || !inst.updated;
        if (update) {
            overrideCall(inst.raw, "updateDG", [&] { geo.updateDG(); });
            bool items = overrideCall(inst.raw, "requiresUpdateRenderItems",
                                      [&] { return geo.requiresUpdateRenderItems(path); }) ||
                         inst.topologyDirty || !inst.updated;
            if (items) overrideCall(inst.raw, "updateRenderItems", [&] { geo.updateRenderItems(path, inst.items); });
            populate(inst, false);
        }
    }
    inst.hasUi = false;
    if (overrideCall(inst.raw, "hasUIDrawables", [&] { return geo.hasUIDrawables(); })) {
        RendererAccess::uiList(inst.drawManager).clear();
        overrideCall(inst.raw, "addUIDrawables", [&] { geo.addUIDrawables(path, inst.drawManager, fs.context); });
        inst.hasUi = true;
    }
    if (cached || update) overrideCall(inst.raw, "cleanUp", [&] { geo.cleanUp(); });
    if (cached) {
        inst.dirty = true;  // the next frame outside the cache updates normally
    } else {
        inst.updated = true;
        inst.dirty = false;
        inst.topologyDirty = false;
    }
    RendererAccess::setFrameContext(geo, nullptr);

    const MMatrix view = fs.context.view();
    unsigned int style = fs.context.getDisplayStyle();
    for (int i = 0; i < inst.items.length(); ++i) {
        MRenderItem* item = inst.items.itemAt(i);
        if (!item->isEnabled() || item->getShader() == nullptr) continue;
        if (!showsIn(item->drawMode(), style, path)) continue;
        ItemDraw d{&inst, item, RendererAccess::matrix(*item) ? *RendererAccess::matrix(*item) : pathWorld, 0.0};
        MPoint origin = MPoint(0, 0, 0) * (d.world * view);
        d.depth = -origin.z;
        bool transparent = RendererAccess::treatedAsTransparent(*item) || item->getShader()->isTransparent();
        (transparent ? fs.transparent : fs.opaque).push_back(d);
    }
    if (inst.hasUi) fs.uiInstances.push_back(&inst);
}

// Whether a box, placed by `world`, lies wholly outside the view volume.
bool culled(const MBoundingBox& box, const MMatrix& world, const HostDrawContext& context)
{
    MMatrix m = world * context.view() * context.projection();
    MPoint lo = box.min(), hi = box.max();
    int outside[6] = {0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 8; ++i) {
        MPoint c((i & 1) ? hi.x : lo.x, (i & 2) ? hi.y : lo.y, (i & 4) ? hi.z : lo.z);
        MPoint p = c * m;
        outside[0] += p.x < -p.w;
        outside[1] += p.x > p.w;
        outside[2] += p.y < -p.w;
        outside[3] += p.y > p.w;
        outside[4] += p.z < -p.w;
        outside[5] += p.z > p.w;
    }
    for (int n : outside)
        if (n == 8) return true;
    return false;
}

void updateDrawOverride(OverrideInstance& inst, const MDagPath& path, FrameState& fs)
{
    MPxDrawOverride& draw = *inst.draw;
    const MDagPath camera = RendererAccess::cameraPath(fs.context);
    inst.drawTransform = overrideCall(inst.raw, "transform", [&] { return draw.transform(path, camera); });
    fs.context.setWorld(inst.drawTransform);
    if (overrideCall(inst.raw, "isBounded", [&] { return draw.isBounded(path, camera); })) {
        MBoundingBox box = overrideCall(inst.raw, "boundingBox", [&] { return draw.boundingBox(path, camera); });
        if (culled(box, inst.drawTransform, fs.context)) return;
    }
    // As in Maya, an object whose display status changed (selected, templated, ...) is prepared
    // again: its look depends on it.
    const int displayStatus = int(displayStatusOf(path, nullptr));
    if (displayStatus != inst.displayStatus) {
        inst.displayStatus = displayStatus;
        inst.dirty = true;
    }
    if (RendererAccess::alwaysDirty(draw) || inst.dirty || inst.userData == nullptr) {
        // Cleared first: a mark made while it prepares (by the override itself or another
        // thread) asks for the next frame to prepare it again, as in Maya.
        inst.dirty = false;
        // The override reuses or deletes the data it is given.
        inst.userData = overrideCall(inst.raw, "prepareForDraw",
                                     [&] { return draw.prepareForDraw(path, camera, fs.context, inst.userData); });
    }
    const bool transparent = overrideCall(inst.raw, "isTransparent", [&] { return draw.isTransparent(); });
    (transparent ? fs.transparentDraws : fs.opaqueDraws).push_back(&inst);
    inst.hasUi = false;
    if (overrideCall(inst.raw, "hasUIDrawables", [&] { return draw.hasUIDrawables(); })) {
        RendererAccess::uiList(inst.drawManager).clear();
        overrideCall(inst.raw, "addUIDrawables",
                     [&] { draw.addUIDrawables(path, inst.drawManager, fs.context, inst.userData); });
        inst.hasUi = true;
        fs.uiInstances.push_back(&inst);
    }
}

void applyBlend(QOpenGLFunctions_3_3_Core* gl, bool on)
{
    if (on) {
        gl->glEnable(GL_BLEND);
        gl->glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    } else {
        gl->glDisable(GL_BLEND);
    }
}

// GL_POINTS is 0, so an unsupported primitive answers ~0u.
unsigned int glPrimitive(MGeometry::Primitive p, DrawStyle::Kind& kind)
{
    switch (p) {
    case MGeometry::kPoints: kind = DrawStyle::kPoints; return GL_POINTS;
    case MGeometry::kLines: kind = DrawStyle::kLines; return GL_LINES;
    case MGeometry::kLineStrip: kind = DrawStyle::kLines; return GL_LINE_STRIP;
    case MGeometry::kTriangles: kind = DrawStyle::kTriangles; return GL_TRIANGLES;
    case MGeometry::kTriangleStrip: kind = DrawStyle::kTriangles; return GL_TRIANGLE_STRIP;
    default: return ~0u;
    }
}

unsigned int glDataType(MGeometry::DataType t)
{
    switch (t) {
    case MGeometry::kFloat: return GL_FLOAT;
    case MGeometry::kDouble: return GL_DOUBLE;
    case MGeometry::kUnsignedInt32: return GL_UNSIGNED_INT;
    case MGeometry::kUnsignedInt16: return GL_UNSIGNED_SHORT;
    case MGeometry::kUnsignedChar: return GL_UNSIGNED_BYTE;
    case MGeometry::kInt32: return GL_INT;
    case MGeometry::kInt16: return GL_SHORT;
    case MGeometry::kChar: return GL_BYTE;
    default: return 0;
    }
}

unsigned int glBufferOf(GlDevice& device, StoredVertexBuffer* stored)
{
    if (!stored || stored->buffer->vertexCount() == 0) return 0;
    void* data = stored->buffer->map();
    unsigned int name = device.buffer(stored->serial, GL_ARRAY_BUFFER, data, vertexBytes(*stored->buffer));
    stored->buffer->unmap();
    return name;
}

void callShaderCallback(MShaderInstance::DrawCallback callback, MRenderItem* item, MShaderInstance* shader,
                        FrameState& fs)
{
    if (!callback) return;
    MRenderItemList list;
    RendererAccess::borrow(list, item);
    callback(fs.context, list, shader);
    RendererAccess::release(list);
}

void drawItem(GlDevice& device, const ItemDraw& d, FrameState& fs, const ViewSetup& view, bool transparent)
{
    OverrideInstance& inst = *d.instance;
    MRenderItem* item = d.item;
    MShaderInstance* shader = item->getShader();
    const StoredIndexBuffer* index = inst.indexBufferOf(item->name());
    StoredVertexBuffer* positions = storedStream(inst, MGeometry::kPosition);
    if (!index || !positions || index->buffer->size() == 0) return;
    DrawStyle::Kind kind = DrawStyle::kTriangles;
    unsigned int mode = glPrimitive(item->primitive(), kind);
    unsigned int indexType = glDataType(index->buffer->dataType());
    if (mode == ~0u || indexType == 0) return;

    const int stock = RendererAccess::stockShader(*shader);
    const ShaderParameters& params = RendererAccess::parameters(*shader);
    DrawStyle style;
    style.worldView = d.world * fs.context.view();
    style.projection = fs.context.projection();
    style.viewportWidth = view.width;
    style.viewportHeight = view.height;
    style.depthPriority = item->depthPriority();
    const float grey[4] = {0.5f, 0.5f, 0.5f, 1.0f};
    params.get4(params.find("solidColor") ? "solidColor" : "diffuseColor", grey, style.color);
    const float one[4] = {1, 1, 1, 1};
    float size[4];
    params.get4("lineWidth", one, size);
    style.lineWidth = size[0] * float(view.devicePixelRatio);
    params.get4("pointSize", one, size);
    style.pointSize = size[0] * float(view.devicePixelRatio);
    if (const ShaderParameter* dash = params.find("dashPattern"))
        style.dashPattern = static_cast<unsigned int>(dash->value[0]) & 0xFFFF;

    VertexSource source;
    source.position = glBufferOf(device, positions);
    source.positionType = glDataType(positions->buffer->descriptor().dataType());
    if (isLitShader(stock)) {
        source.normal = glBufferOf(device, storedStream(inst, MGeometry::kNormal));
        if (source.normal) style.mode = DrawStyle::kLit;
    }
    if (isPerVertexColorShader(stock)) {
        StoredVertexBuffer* colors = storedStream(inst, MGeometry::kColor);
        source.color = glBufferOf(device, colors);
        if (source.color) {
            style.mode = DrawStyle::kPerVertexColor;
            source.colorSize = colors->buffer->descriptor().dimension();
        }
    }
    unsigned int indexName = device.buffer(index->serial, GL_ELEMENT_ARRAY_BUFFER, index->buffer->map(),
                                           std::size_t(index->buffer->size()) *
                                               dataTypeSize(index->buffer->dataType()));

    // The renderer's own state for the pass; the shader's callbacks may change it.
    fs.stateManager->setDepthStencilState(transparent ? fs.transparentState : fs.opaqueState);
    applyBlend(device.gl(), transparent);
    fs.context.setWorld(d.world);
    if (picking.on) {
        setPickColor(style);
        device.draw(kind, mode, style, source, indexName, indexType, static_cast<int>(index->buffer->size()), 0);
        return;
    }
    callShaderCallback(RendererAccess::preDraw(*shader), item, shader, fs);
    device.draw(kind, mode, style, source, indexName, indexType, static_cast<int>(index->buffer->size()), 0);
    callShaderCallback(RendererAccess::postDraw(*shader), item, shader, fs);
}

void drawOverrideCallback(GlDevice& device, OverrideInstance& inst, FrameState& fs, bool transparent)
{
    auto callback = RendererAccess::drawCallback(*inst.draw);
    fs.stateManager->setDepthStencilState(transparent ? fs.transparentState : fs.opaqueState);
    applyBlend(device.gl(), transparent);
    fs.context.setWorld(inst.drawTransform);
    if (callback) overrideCall(inst.raw, "draw", [&] { callback(fs.context, inst.userData); });
    device.gl()->glBindVertexArray(0);
    device.gl()->glUseProgram(0);
}

MMatrix screenProjection(const ViewSetup& view)
{
    // Viewport pixels (y up) to clip space.
    MMatrix m;
    m(0, 0) = 2.0 / std::max(1, view.width);
    m(1, 1) = 2.0 / std::max(1, view.height);
    m(3, 0) = -1.0;
    m(3, 1) = -1.0;
    return m;
}

void drawText(GlDevice& device, const UiDrawable& d, FrameState& fs, const ViewSetup& view, const MMatrix& objectToWorld)
{
    double x = d.anchor.x, y = d.anchor.y;
    if (!d.is2D) {
        const MPoint anchor = d.anchor * objectToWorld;
        MPoint clip = anchor * (fs.context.view() * fs.context.projection());
        if (clip.w <= 0.0) return;  // behind the camera
        fs.context.worldToViewport(anchor, x, y);
    }
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    const double dpr = view.devicePixelRatio > 0 ? view.devicePixelRatio : 1.0;
    const TextTexture* tex = d.text.length() > 0 ? &device.text(d.text, int(d.fontSize * dpr)) : nullptr;
    const double pad = 2.0 * dpr;
    double boxW = d.boxSize[0] > 0 ? d.boxSize[0] * dpr : (tex ? tex->width : 0) + 2 * pad;
    double boxH = d.boxSize[1] > 0 ? d.boxSize[1] * dpr : (tex ? tex->height : 0) + 2 * pad;
    double left = d.alignment == MUIDrawManager::kCenter ? x - boxW / 2
                  : d.alignment == MUIDrawManager::kRight ? x - boxW : x;
    double bottom = y;
    DrawStyle style;
    style.projection = screenProjection(view);
    style.viewportWidth = view.width;
    style.viewportHeight = view.height;
    if (d.hasBox) {
        std::copy(d.boxColor, d.boxColor + 4, style.color);
        float quad[12] = {float(left),        float(bottom),        0, float(left + boxW), float(bottom),        0,
                          float(left),        float(bottom + boxH), 0, float(left + boxW), float(bottom + boxH), 0};
        device.drawArrays(GL_TRIANGLE_STRIP, style, quad, 4);
    }
    if (!tex) return;
    double tx = std::round(left + (boxW - tex->width) / 2), ty = std::round(bottom + (boxH - tex->height) / 2);
    std::copy(d.color, d.color + 4, style.color);
    style.mode = DrawStyle::kTextured;
    style.texture = tex->texture;
    float quad[12] = {float(tx),
                      float(ty),
                      0,
                      float(tx + tex->width),
                      float(ty),
                      0,
                      float(tx),
                      float(ty + tex->height),
                      0,
                      float(tx + tex->width),
                      float(ty + tex->height),
                      0};
    // Image row 0 is the top line of the text.
    float uv[8] = {0, 1, 1, 1, 0, 0, 1, 0};
    device.drawArrays(GL_TRIANGLE_STRIP, style, quad, 4, nullptr, nullptr, uv);
}

void drawUi(GlDevice& device, FrameState& fs, const ViewSetup& view)
{
    QOpenGLFunctions_3_3_Core* gl = device.gl();
    const double dpr = view.devicePixelRatio > 0 ? view.devicePixelRatio : 1.0;
    for (OverrideInstance* inst : fs.uiInstances) {
        // A draw override's drawables are in its object space, placed by its transform().
        const MMatrix objectToWorld = inst->draw ? inst->drawTransform : MMatrix();
        for (const UiDrawable& d : RendererAccess::uiList(inst->drawManager).drawables) {
            const bool onTop = d.xray || d.is2D || d.kind == UiDrawable::kText;
            if (picking.on) {
                // Text (readouts, labels) never picks its object.
                if (!d.selectable || d.kind == UiDrawable::kText) continue;
                fs.stateManager->setDepthStencilState(onTop ? fs.pickXrayState : fs.opaqueState);
                gl->glDepthRange(0.0, onTop ? 0.0 : 1.0);
                applyBlend(gl, false);
            } else {
                fs.stateManager->setDepthStencilState(onTop ? fs.overlayState
                                                            : d.color[3] < 1.0f ? fs.transparentState : fs.opaqueState);
                applyBlend(gl, true);
            }
            if (d.kind == UiDrawable::kText) {
                drawText(device, d, fs, view, objectToWorld);
                continue;
            }
            DrawStyle style;
            style.worldView = d.is2D ? MMatrix() : objectToWorld * fs.context.view();
            style.projection = d.is2D ? screenProjection(view) : fs.context.projection();
            style.viewportWidth = view.width;
            style.viewportHeight = view.height;
            std::copy(d.color, d.color + 4, style.color);
            style.lineWidth = float(d.lineWidth * dpr);
            style.pointSize = float(d.pointSize * dpr);
            style.dashPattern = d.dashPattern;
            style.depthPriority = d.depthPriority;
            if (!d.colors.empty()) style.mode = DrawStyle::kPerVertexColor;
            else if (d.lit && !d.normals.empty()) style.mode = DrawStyle::kLit;
            if (picking.on) setPickColor(style);
            static const unsigned int modes[] = {GL_POINTS,    GL_LINES,     GL_LINE_STRIP,
                                                 GL_LINE_LOOP, GL_TRIANGLES, GL_TRIANGLE_STRIP};
            device.drawArrays(modes[d.shape], style, d.positions.data(), d.positions.size() / 3,
                              d.normals.empty() ? nullptr : d.normals.data(),
                              d.colors.empty() ? nullptr : d.colors.data());
        }
    }
}

// ---------------------------------------------------------------------------
// Built-in shapes

void rebuildMesh(MeshCache& cache, const MeshGeometry& g)
{
    cache.trianglePositions.clear();
    cache.triangleNormals.clear();
    cache.edgePositions.clear();
    const std::vector<int>& triCounts = g.triangleCounts();
    const std::vector<int>& corners = g.triangleCorners();
    const std::vector<int>& triOffsets = g.triangleOffsets();
    const std::vector<int>& normalIds = g.normalIds();
    const std::vector<float>& normals = g.normals();
    std::size_t faceStart = 0;
    for (int f = 0; f < g.numFaces(); ++f) {
        for (int t = 0; t < triCounts[std::size_t(f)]; ++t) {
            for (int k = 0; k < 3; ++k) {
                std::size_t corner = faceStart + std::size_t(corners[std::size_t(triOffsets[std::size_t(f)] + t) * 3 + std::size_t(k)]);
                int v = g.connects[corner];
                int n = normalIds[corner];
                cache.trianglePositions.insert(cache.trianglePositions.end(),
                                               {g.points[3 * std::size_t(v)], g.points[3 * std::size_t(v) + 1],
                                                g.points[3 * std::size_t(v) + 2]});
                cache.triangleNormals.insert(cache.triangleNormals.end(),
                                             {normals[3 * std::size_t(n)], normals[3 * std::size_t(n) + 1],
                                              normals[3 * std::size_t(n) + 2]});
            }
        }
        faceStart += std::size_t(g.counts[std::size_t(f)]);
    }
    for (int e = 0; e < g.numEdges(); ++e)
        for (int k = 0; k < 2; ++k) {
            int v = g.edgeVertices[2 * std::size_t(e) + std::size_t(k)];
            cache.edgePositions.insert(cache.edgePositions.end(),
                                       {g.points[3 * std::size_t(v)], g.points[3 * std::size_t(v) + 1],
                                        g.points[3 * std::size_t(v) + 2]});
        }
    for (std::uint64_t* serial : {&cache.positions, &cache.normals, &cache.edges}) {
        if (*serial) GlDevice::releaseBuffer(*serial);
        *serial = GlDevice::newSerial();
    }
}

// Maya's colour for selected faces: an orange tint over the surface, an orange outline.
const float kSelectedFaceFill[4] = {1.0f, 0.45f, 0.0f, 0.5f};
const float kSelectedFaceOutline[4] = {1.0f, 0.55f, 0.0f, 1.0f};

void rebuildHighlight(MeshCache& cache, const MeshGeometry& g, const MObject& faces)
{
    cache.fillPositions.clear();
    cache.outlinePositions.clear();
    const Component* component = componentOf(faces);
    const std::vector<int>& triCounts = g.triangleCounts();
    const std::vector<int>& corners = g.triangleCorners();
    const std::vector<int>& triOffsets = g.triangleOffsets();
    auto point = [&](std::vector<float>& out, int v) {
        out.insert(out.end(), {g.points[3 * std::size_t(v)], g.points[3 * std::size_t(v) + 1],
                               g.points[3 * std::size_t(v) + 2]});
    };
    for (int f : component ? component->indices() : std::vector<int>()) {
        if (f < 0 || f >= g.numFaces()) continue;  // a selection older than the mesh's topology
        const std::size_t first = std::size_t(g.offsets[std::size_t(f)]);
        const int count = g.counts[std::size_t(f)];
        for (int t = 0; t < triCounts[std::size_t(f)]; ++t)
            for (int k = 0; k < 3; ++k)
                point(cache.fillPositions,
                      g.connects[first + std::size_t(corners[std::size_t(triOffsets[std::size_t(f)] + t) * 3 + std::size_t(k)])]);
        for (int k = 0; k < count; ++k) {
            point(cache.outlinePositions, g.connects[first + std::size_t(k)]);
            point(cache.outlinePositions, g.connects[first + std::size_t((k + 1) % count)]);
        }
    }
    for (std::uint64_t* serial : {&cache.highlightFill, &cache.highlightOutline}) {
        if (*serial) GlDevice::releaseBuffer(*serial);
        *serial = GlDevice::newSerial();
    }
    cache.highlighted = faces;
    cache.highlightVersion = g.version();
}

void drawSelectedFaces(GlDevice& device, MeshCache& cache, const MeshGeometry& g, const MObject& faces, DrawStyle s,
                       const ViewSetup& view)
{
    if (!(cache.highlighted == faces) || cache.highlightVersion != g.version() || cache.highlightFill == 0)
        rebuildHighlight(cache, g, faces);
    s.mode = DrawStyle::kSolid;
    s.depthPriority = MRenderItem::sActiveWireDepthPriority;
    if (isShaded(view.displayStyle) && !cache.fillPositions.empty()) {
        VertexSource source;
        source.position = device.buffer(cache.highlightFill, GL_ARRAY_BUFFER, cache.fillPositions.data(),
                                        cache.fillPositions.size() * sizeof(float));
        std::copy(kSelectedFaceFill, kSelectedFaceFill + 4, s.color);
        applyBlend(device.gl(), true);
        device.draw(DrawStyle::kTriangles, GL_TRIANGLES, s, source, 0, 0,
                    static_cast<int>(cache.fillPositions.size() / 3), 0);
        applyBlend(device.gl(), false);
    }
    if (!cache.outlinePositions.empty()) {
        VertexSource source;
        source.position = device.buffer(cache.highlightOutline, GL_ARRAY_BUFFER, cache.outlinePositions.data(),
                                        cache.outlinePositions.size() * sizeof(float));
        std::copy(kSelectedFaceOutline, kSelectedFaceOutline + 4, s.color);
        s.lineWidth = 2.0f * float(view.devicePixelRatio);
        device.draw(DrawStyle::kLines, GL_LINES, s, source, 0, 0, static_cast<int>(cache.outlinePositions.size() / 3),
                    0);
    }
}

void drawMesh(GlDevice& device, Node* node, const MObject& object, const MDagPath& path, FrameState& fs,
              const ViewSetup& view)
{
    MObject data = MPlug(object, MeshShapeNode::outMesh).asMObject();
    MeshData* mesh = meshDataOf(data);
    if (!mesh) return;
    const MeshGeometry& g = mesh->read();
    MeshCache& cache = fs.meshes[node];
    cache.seen = true;
    if (cache.node.isNull()) cache.node = object;
    if (cache.geometry != &g || cache.version != g.version() || cache.positions == 0) {
        rebuildMesh(cache, g);
        cache.geometry = &g;
        cache.version = g.version();
    }
    const unsigned int style = view.displayStyle;
    const DisplayStatus status = MGeometryUtilities::displayStatus(path);
    DrawStyle s;
    s.worldView = path.inclusiveMatrix() * fs.context.view();
    s.projection = fs.context.projection();
    s.viewportWidth = view.width;
    s.viewportHeight = view.height;
    fs.stateManager->setDepthStencilState(fs.opaqueState);
    applyBlend(device.gl(), false);
    if (picking.on) {
        // Shaded views pick the surface, wireframe views the wire.
        const bool shaded = isShaded(style);
        const std::vector<float>& positions = shaded ? cache.trianglePositions : cache.edgePositions;
        if (positions.empty() || (!shaded && !(style & MFrameContext::kWireFrame))) return;
        VertexSource source;
        source.position = device.buffer(shaded ? cache.positions : cache.edges, GL_ARRAY_BUFFER, positions.data(),
                                        positions.size() * sizeof(float));
        setPickColor(s);
        s.lineWidth = float(view.devicePixelRatio);
        device.draw(shaded ? DrawStyle::kTriangles : DrawStyle::kLines, shaded ? GL_TRIANGLES : GL_LINES, s, source,
                    0, 0, static_cast<int>(positions.size() / 3), 0);
        return;
    }
    // A templated mesh shows as its grey wire, as in Maya, unless templates are shaded.
    const bool templated = status == kTemplate || status == kActiveTemplate;
    if (isShaded(style) && !(templated && !MFrameContext::shadeTemplates()) && !cache.trianglePositions.empty()) {
        VertexSource source;
        source.position = device.buffer(cache.positions, GL_ARRAY_BUFFER, cache.trianglePositions.data(),
                                         cache.trianglePositions.size() * sizeof(float));
        source.normal = device.buffer(cache.normals, GL_ARRAY_BUFFER, cache.triangleNormals.data(),
                                      cache.triangleNormals.size() * sizeof(float));
        std::copy(kMeshGrey, kMeshGrey + 4, s.color);
        s.mode = DrawStyle::kLit;
        device.draw(DrawStyle::kTriangles, GL_TRIANGLES, s, source, 0, 0,
                    static_cast<int>(cache.trianglePositions.size() / 3), 0);
    }
    const bool wire = (style & MFrameContext::kWireFrame) != 0;
    if ((wire || templated || isActive(status)) && !cache.edgePositions.empty()) {
        VertexSource source;
        source.position = device.buffer(cache.edges, GL_ARRAY_BUFFER, cache.edgePositions.data(),
                                         cache.edgePositions.size() * sizeof(float));
        // The wire in the colour of its state: dormant ones in their override or own colour.
        const MColor color = MGeometryUtilities::wireframeColor(path);
        s.color[0] = color.r;
        s.color[1] = color.g;
        s.color[2] = color.b;
        s.color[3] = 1.0f;
        s.mode = DrawStyle::kSolid;
        s.lineWidth = float(view.devicePixelRatio);
        s.depthPriority = MRenderItem::sActiveWireDepthPriority;
        device.draw(DrawStyle::kLines, GL_LINES, s, source, 0, 0, static_cast<int>(cache.edgePositions.size() / 3),
                    0);
    }
    const auto faces = fs.selectedFaces.find(node);
    if (faces != fs.selectedFaces.end())
        drawSelectedFaces(device, cache, g, faces->second, s, view);
}

void drawLines(GlDevice& device, const std::vector<float>& points, unsigned int mode, const MDagPath& path,
               FrameState& fs, const ViewSetup& view)
{
    if (points.empty()) return;
    DrawStyle s;
    s.worldView = path.inclusiveMatrix() * fs.context.view();
    s.projection = fs.context.projection();
    s.viewportWidth = view.width;
    s.viewportHeight = view.height;
    s.lineWidth = float(view.devicePixelRatio);
    // Curves and locators take the wire colour of their state (template grey, live green ...).
    const MColor color = MGeometryUtilities::wireframeColor(path);
    s.color[0] = color.r;
    s.color[1] = color.g;
    s.color[2] = color.b;
    s.color[3] = 1.0f;
    if (picking.on) setPickColor(s);
    fs.stateManager->setDepthStencilState(fs.opaqueState);
    applyBlend(device.gl(), false);
    device.drawArrays(mode, s, points.data(), points.size() / 3);
}

void drawCurve(GlDevice& device, const MObject& object, const MDagPath& path, FrameState& fs, const ViewSetup& view)
{
    // The data object must outlive the reads of its geometry.
    const MObject data = MPlug(object, CurveShapeNode::local).asMObject();
    CurveData* curve = curveDataOf(data);
    if (!curve || !curve->geometry.valid()) return;
    const CurveGeometry& g = curve->geometry;
    double start, end;
    g.domain(start, end);
    const int samples = std::max(2, std::min(4096, (g.numSpans() + 1) * 16));
    static std::vector<float> points;
    points.clear();
    for (int i = 0; i <= samples; ++i) {
        double p[3], d[3];
        g.evaluate(start + (end - start) * i / samples, p, d);
        points.insert(points.end(), {float(p[0]), float(p[1]), float(p[2])});
    }
    drawLines(device, points, GL_LINE_STRIP, path, fs, view);
}

void drawLocator(GlDevice& device, const MObject& object, const MDagPath& path, FrameState& fs, const ViewSetup& view)
{
    MFnDependencyNode fn(object);
    // A cross of the local scale's size centred on the local position.
    double scale[3] = {1, 1, 1}, centre[3] = {0, 0, 0};
    const char* names[3] = {"localScaleX", "localScaleY", "localScaleZ"};
    const char* positionNames[3] = {"localPositionX", "localPositionY", "localPositionZ"};
    for (int i = 0; i < 3; ++i) {
        MPlug plug = fn.findPlug(names[i], false);
        if (!plug.isNull()) scale[i] = plug.asDouble();
        MPlug position = fn.findPlug(positionNames[i], false);
        if (!position.isNull()) centre[i] = position.asDouble();
    }
    std::vector<float> points;
    for (int axis = 0; axis < 3; ++axis)
        for (double sign : {-1.0, 1.0}) {
            float p[3] = {float(centre[0]), float(centre[1]), float(centre[2])};
            p[axis] += float(sign * scale[axis]);
            points.insert(points.end(), p, p + 3);
        }
    drawLines(device, points, GL_LINES, path, fs, view);
}

void drawJoint(GlDevice& device, const MObject& object, const MDagPath& path, FrameState& fs, const ViewSetup& view)
{
    static std::vector<float> points;
    jointWireframe(object, points);
    drawLines(device, points, GL_LINES, path, fs, view);
}

DrawFilter& drawFilter()
{
    static DrawFilter filter = nullptr;
    return filter;
}

OverlaySource& overlaySource()
{
    static OverlaySource source = nullptr;
    return source;
}

void drawOverlayLines(GlDevice& device, FrameState& fs, const ViewSetup& view)
{
    if (!overlaySource() || view.filterPanel.length() == 0) return;
    std::vector<OverlayLines> lines;
    overlaySource()(view, lines);
    fs.stateManager->setDepthStencilState(fs.overlayState);
    applyBlend(device.gl(), false);
    for (const OverlayLines& l : lines) {
        if (l.points.size() < 6) continue;
        DrawStyle s;
        s.worldView = fs.context.view();
        s.projection = fs.context.projection();
        s.viewportWidth = view.width;
        s.viewportHeight = view.height;
        s.lineWidth = l.width;
        s.color[0] = l.color[0];
        s.color[1] = l.color[1];
        s.color[2] = l.color[2];
        s.color[3] = 1.0f;
        device.drawArrays(GL_LINES, s, l.points.data(), l.points.size() / 3);
    }
}

} // namespace

void setOverlaySource(OverlaySource source)
{
    overlaySource() = source;
}

void setDrawFilter(DrawFilter filter)
{
    drawFilter() = filter;
}

void renderFrame(const ViewSetup& view)
{
    GlDevice* device = GlDevice::current();
    if (!device || view.width <= 0 || view.height <= 0) return;
    const Clock::time_point frameStart = timingFrames ? Clock::now() : Clock::time_point();
    timing = FrameTiming();
    device->deletePending();
    FrameState& fs = frame();
    QOpenGLFunctions_3_3_Core* gl = device->gl();

    fs.context.set(view.view, view.projection, view.width, view.height, view.displayStyle, view.camera,
                   fs.stateManager);
    gl->glViewport(0, 0, view.width, view.height);
    gl->glDisable(GL_SCISSOR_TEST);
    gl->glDisable(GL_CULL_FACE);
    gl->glDepthMask(GL_TRUE);
    gl->glStencilMask(0xFF);
    gl->glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    gl->glClearDepth(1.0);
    gl->glClearStencil(0);
    drawViewBackground(*device, view);
    drawGroundGrid(*device, view);

    destroyInstancesOfRemovedNodes();
    fs.opaque.clear();
    fs.transparent.clear();
    fs.opaqueDraws.clear();
    fs.transparentDraws.clear();
    fs.uiInstances.clear();
    for (auto& entry : fs.meshes) entry.second.seen = false;
    fs.selectedFaces.clear();
    MSelectionList active;
    MGlobal::getActiveSelectionList(active);
    for (const SelectionItem& item : SelectionAccess::items(active))
        if (item.component.hasFn(MFn::kMeshPolygonComponent))
            fs.selectedFaces[nodeOf(item.node)] = item.component;

    // Plug-in shapes are left out when the view excludes them (the mask
    // "everything" includes them).
    const bool pluginShapes = view.objectDisplay == ~0u || !(view.objectDisplay & M3dView::kExcludePluginShapes);
    for (Node* node : sceneNodes()) {
        if (!node->isDag || !node->type || !node->inScene) continue;
        if (node->type->isTransform) {
            if (node->type->info.apiType == MFn::kJoint && (view.objectDisplay & M3dView::kDisplayJoints)) {
                MDagPath path;
                if (MDagPath::getAPathTo(ObjectAccess::make(node), path) && path.isVisible() &&
                    !hiddenByOverride(path) &&
                    (!drawFilter() || view.filterPanel.length() == 0 || drawFilter()(view.filterPanel, path)))
                    drawJoint(*device, path.node(), path, fs, view);
            }
            continue;
        }
        const MString& typeName = node->type->info.name;
        const bool isMesh = typeName == "mesh", isCurve = typeName == "nurbsCurve", isLocator = typeName == "locator";
        if (typeName == "camera") continue;
        MObject object = ObjectAccess::make(node);
        OverrideInstance* inst = nullptr;
        if (!isMesh && !isCurve && !isLocator) {
            if (!pluginShapes || hiddenAsLocator(*node, view)) continue;
            inst = instanceFor(node, MDagPath(), false);
            if (!inst && node->type->info.classification.length() == 0) continue;
        }
        MDagPath path;
        if (!MDagPath::getAPathTo(object, path) || !path.isVisible() || hiddenByOverride(path)) continue;
        if (drawFilter() && view.filterPanel.length() > 0 && !drawFilter()(view.filterPanel, path)) continue;
        if (isMesh) {
            if (view.objectDisplay & M3dView::kDisplayMeshes) drawMesh(*device, node, object, path, fs, view);
        } else if (isCurve) {
            if (view.objectDisplay & M3dView::kDisplayNurbsCurves) drawCurve(*device, object, path, fs, view);
        } else if (isLocator) {
            if (view.objectDisplay & M3dView::kDisplayLocators) drawLocator(*device, object, path, fs, view);
        } else {
            if (!inst) inst = instanceFor(node, path, true);
            if (!inst) continue;
            if (inst->geometry) updateGeometryOverride(*inst, path, fs);
            else updateDrawOverride(*inst, path, fs);
        }
    }
    for (auto it = fs.meshes.begin(); it != fs.meshes.end();) {
        if (!it->second.seen && (it->second.node.isNull() || !objectAs<Node>(it->second.node)->inScene)) {
            for (std::uint64_t serial : {it->second.positions, it->second.normals, it->second.edges,
                                          it->second.highlightFill, it->second.highlightOutline})
                if (serial) GlDevice::releaseBuffer(serial);
            it = fs.meshes.erase(it);
        } else {
            ++it;
        }
    }

    for (const ItemDraw& d : fs.opaque) drawItem(*device, d, fs, view, false);
    for (OverrideInstance* inst : fs.opaqueDraws) drawOverrideCallback(*device, *inst, fs, false);
    std::stable_sort(fs.transparent.begin(), fs.transparent.end(),
                     [](const ItemDraw& a, const ItemDraw& b) { return a.depth > b.depth; });
    for (const ItemDraw& d : fs.transparent) drawItem(*device, d, fs, view, true);
    for (OverrideInstance* inst : fs.transparentDraws) drawOverrideCallback(*device, *inst, fs, true);
    drawUi(*device, fs, view);
    drawOverlayLines(*device, fs, view);
    drawViewHud(*device, view);

    // Data the overrides asked to have deleted after use.
    for (auto& instance : overrideInstances())
        if (instance->userData && instance->userData->deleteAfterUse()) {
            delete instance->userData;
            instance->userData = nullptr;
        }

    fs.stateManager->setDepthStencilState(fs.opaqueState);
    applyBlend(gl, false);
    gl->glBindVertexArray(0);
    gl->glUseProgram(0);
    if (timingFrames) {
        gl->glFinish();
        timing.frameSeconds = std::chrono::duration<double>(Clock::now() - frameStart).count();
    }
}

void setFrameTiming(bool on)
{
    timingFrames = on;
}

FrameTiming lastFrameTiming()
{
    return timing;
}

namespace
{

// Whether the user can pick a path in the views: templated paths and paths
// drawn as references (display override type 2) cannot be selected.
bool pickablePath(const MDagPath& path)
{
    if (path.isTemplated()) return false;
    MDagPath p(path);
    while (p.length() > 0) {
        MObject node = p.node();
        if (MPlug(node, DagAttributes::overrideEnabled).asBool() &&
            MPlug(node, DagAttributes::overrideDisplayType).asInt() != 0)
            return false;
        p.pop();
    }
    return true;
}

bool selectableItem(MRenderItem& item)
{
    if (item.type() == MRenderItem::DecorationItem) return false;
    // An empty mask (the default, or set on purpose) takes no part in selection.
    MSelectionMask mask = item.selectionMask();
    return mask.intersects(mask);
}

// Draws one plug-in shape's selectable items and drawables from its last frame.
void pickOverride(GlDevice& device, OverrideInstance& inst, const MDagPath& path, FrameState& fs,
                  const ViewSetup& view)
{
    if (inst.geometry) {
        if (!inst.updated) return;
        const MMatrix pathWorld = path.inclusiveMatrix();
        for (int i = 0; i < inst.items.length(); ++i) {
            MRenderItem* item = inst.items.itemAt(i);
            if (!item->isEnabled() || item->getShader() == nullptr || !selectableItem(*item)) continue;
            if (!showsIn(item->drawMode(), view.displayStyle, path)) continue;
            ItemDraw d{&inst, item, RendererAccess::matrix(*item) ? *RendererAccess::matrix(*item) : pathWorld, 0.0};
            drawItem(device, d, fs, view, false);
        }
    }
    if (inst.hasUi) {
        fs.uiInstances.assign(1, &inst);
        drawUi(device, fs, view);
        fs.uiInstances.clear();
        device.gl()->glDepthRange(0.0, 1.0);
    }
}

} // namespace

bool pickNearest(const ViewSetup& view, int x, int y, int radius, MDagPath& hit)
{
    GlDevice* device = GlDevice::current();
    if (!device || view.width <= 0 || view.height <= 0) return false;
    radius = std::max(0, radius);
    const int x0 = std::max(0, x - radius), y0 = std::max(0, y - radius);
    const int x1 = std::min(view.width - 1, x + radius), y1 = std::min(view.height - 1, y + radius);
    if (x0 > x1 || y0 > y1) return false;

    FrameState& fs = frame();
    QOpenGLFunctions_3_3_Core* gl = device->gl();
    fs.context.set(view.view, view.projection, view.width, view.height, view.displayStyle, view.camera,
                   fs.stateManager);
    gl->glViewport(0, 0, view.width, view.height);
    gl->glDisable(GL_SCISSOR_TEST);
    gl->glDisable(GL_CULL_FACE);
    gl->glDisable(GL_DITHER);
    gl->glDepthMask(GL_TRUE);
    gl->glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    gl->glClearColor(0, 0, 0, 0);
    gl->glClearDepth(1.0);
    gl->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    // Only the pick region needs drawing.
    gl->glEnable(GL_SCISSOR_TEST);
    gl->glScissor(x0, y0, x1 - x0 + 1, y1 - y0 + 1);

    std::vector<MDagPath> paths;
    picking.on = true;
    const bool pluginShapes = view.objectDisplay == ~0u || !(view.objectDisplay & M3dView::kExcludePluginShapes);
    for (Node* node : sceneNodes()) {
        if (!node->isDag || !node->type || !node->inScene) continue;
        const bool isJoint = node->type->info.apiType == MFn::kJoint;
        if (node->type->isTransform && !isJoint) continue;
        const MString& typeName = node->type->info.name;
        const bool isMesh = typeName == "mesh", isCurve = typeName == "nurbsCurve", isLocator = typeName == "locator";
        if (typeName == "camera") continue;
        OverrideInstance* inst = nullptr;
        if (isJoint) {
            if (!(view.objectDisplay & M3dView::kDisplayJoints)) continue;
        } else if (!isMesh && !isCurve && !isLocator) {
            if (!pluginShapes || hiddenAsLocator(*node, view)) continue;
            // Only what a frame has drawn can be picked.
            inst = instanceFor(node, MDagPath(), false);
            if (!inst) continue;
        } else {
            const unsigned int mask = isMesh ? M3dView::kDisplayMeshes
                                             : isCurve ? M3dView::kDisplayNurbsCurves : M3dView::kDisplayLocators;
            if (!(view.objectDisplay & mask)) continue;
        }
        MObject object = ObjectAccess::make(node);
        MDagPath path;
        if (!MDagPath::getAPathTo(object, path) || !path.isVisible() || hiddenByOverride(path)) continue;
        if (drawFilter() && view.filterPanel.length() > 0 && !drawFilter()(view.filterPanel, path)) continue;
        if (!pickablePath(path)) continue;
        if (paths.size() >= 0xFFFFFEu) break;
        paths.push_back(path);
        const std::uint32_t id = std::uint32_t(paths.size());
        picking.color[0] = float(id & 0xFF) / 255.0f;
        picking.color[1] = float((id >> 8) & 0xFF) / 255.0f;
        picking.color[2] = float((id >> 16) & 0xFF) / 255.0f;
        picking.color[3] = 1.0f;
        if (isMesh) drawMesh(*device, node, object, path, fs, view);
        else if (isCurve) drawCurve(*device, object, path, fs, view);
        else if (isLocator) drawLocator(*device, object, path, fs, view);
        else if (isJoint) drawJoint(*device, object, path, fs, view);
        else pickOverride(*device, *inst, path, fs, view);
    }
    picking.on = false;
    gl->glDepthRange(0.0, 1.0);
    gl->glFinish();

    const int w = x1 - x0 + 1, h = y1 - y0 + 1;
    std::vector<unsigned char> colors(std::size_t(w) * std::size_t(h) * 4);
    std::vector<float> depths(std::size_t(w) * std::size_t(h));
    gl->glPixelStorei(GL_PACK_ALIGNMENT, 1);
    gl->glReadPixels(x0, y0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, colors.data());
    gl->glReadPixels(x0, y0, w, h, GL_DEPTH_COMPONENT, GL_FLOAT, depths.data());
    gl->glDisable(GL_SCISSOR_TEST);
    fs.stateManager->setDepthStencilState(fs.opaqueState);
    applyBlend(gl, false);
    gl->glBindVertexArray(0);
    gl->glUseProgram(0);

    // The nearest surface in the region; between equal depths the pixel nearer the click.
    std::uint32_t best = 0;
    float bestDepth = 2.0f;
    long bestDistance = 0;
    for (int row = 0; row < h; ++row)
        for (int column = 0; column < w; ++column) {
            const std::size_t i = std::size_t(row) * std::size_t(w) + std::size_t(column);
            const std::uint32_t id = std::uint32_t(colors[4 * i]) | (std::uint32_t(colors[4 * i + 1]) << 8) |
                                     (std::uint32_t(colors[4 * i + 2]) << 16);
            if (id == 0 || id > paths.size()) continue;
            const long dx = x0 + column - x, dy = y0 + row - y, distance = dx * dx + dy * dy;
            if (depths[i] < bestDepth || (depths[i] == bestDepth && distance < bestDistance)) {
                best = id;
                bestDepth = depths[i];
                bestDistance = distance;
            }
        }
    if (best == 0) return false;
    hit = paths[best - 1];
    return true;
}

} // namespace host
