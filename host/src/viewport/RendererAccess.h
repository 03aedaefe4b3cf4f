#ifndef HOST_VIEWPORT_RENDERERACCESS_H
#define HOST_VIEWPORT_RENDERERACCESS_H

// The renderer's way into the private parts of the Viewport 2.0 classes it
// creates and drives (their constructors and the data it hands them).

#include <maya/MCacheSchema.h>
#include <maya/MDrawContext.h>
#include <maya/MEvaluationNode.h>
#include <maya/MFrameContext.h>
#include <maya/MHWGeometry.h>
#include <maya/MPxDrawOverride.h>
#include <maya/MPxGeometryOverride.h>
#include <maya/MShaderManager.h>
#include <maya/MStateManager.h>
#include <maya/MUIDrawManager.h>
#include <maya/MViewport2Renderer.h>

#include <vector>

namespace host
{

struct ShaderParameters;
struct UiDrawList;

struct RendererAccess
{
    // What the renderer reads from a render item and Maya keeps to itself.
    static const MMatrix* matrix(const MHWRender::MRenderItem& item) { return item.fHasMatrix ? &item.fMatrix : nullptr; }
    static bool treatedAsTransparent(const MHWRender::MRenderItem& item) { return item.fTreatAsTransparent; }
    static const MHWRender::MIndexBuffer* associatedIndexBuffer(const MHWRender::MRenderItem& item)
    {
        return item.fIndexBuffer;
    }
    static MHWRender::MRenderer* newRenderer() { return new MHWRender::MRenderer(); }
    static MHWRender::MShaderManager* newShaderManager() { return new MHWRender::MShaderManager(); }
    static MHWRender::MStateManager* newStateManager() { return new MHWRender::MStateManager(); }
    static void deleteStateManager(MHWRender::MStateManager* m) { delete m; }
    // Distinct depth-stencil states acquired and not yet released.
    static size_t heldDepthStencilStates();
    static void setCurrentState(MHWRender::MStateManager& m, const MHWRender::MDepthStencilState* s)
    {
        m.fDepthStencilState = s;
    }

    static MEvaluationNode evaluationNode(const MObject& node) { return MEvaluationNode(node); }
    static MCacheSchema* newCacheSchema() { return new MCacheSchema(); }
    static const std::vector<MObject>& cacheAttributes(const MCacheSchema& s) { return s.mAttributes; }

    static void setCameraPath(MHWRender::MFrameContext& c, const MDagPath& p) { c.fCameraPath = p; }
    static const MDagPath& cameraPath(const MHWRender::MFrameContext& c) { return c.fCameraPath; }

    static int stockShader(const MHWRender::MShaderInstance& s) { return s.fStockShader; }
    static const ShaderParameters& parameters(const MHWRender::MShaderInstance& s) { return *s.fParameters; }
    static MHWRender::MShaderInstance::DrawCallback preDraw(const MHWRender::MShaderInstance& s) { return s.fPreDraw; }
    static MHWRender::MShaderInstance::DrawCallback postDraw(const MHWRender::MShaderInstance& s) { return s.fPostDraw; }

    static UiDrawList& uiList(MHWRender::MUIDrawManager& m) { return *m.fList; }

    static void setFrameContext(MHWRender::MPxGeometryOverride& o, const MHWRender::MFrameContext* c)
    {
        o.fFrameContext = c;
    }
    static MHWRender::MPxDrawOverride::GeometryDrawOverrideCb drawCallback(const MHWRender::MPxDrawOverride& o)
    {
        return o.fCallback;
    }
    static bool alwaysDirty(const MHWRender::MPxDrawOverride& o) { return o.fAlwaysDirty; }

    // Takes the buffers out of a geometry container (the caller owns them then).
    static void takeBuffers(MHWRender::MGeometry& g, std::vector<MHWRender::MVertexBuffer*>& vertex,
                            std::vector<MHWRender::MIndexBuffer*>& index)
    {
        vertex.swap(g.fVertexBuffers);
        index.swap(g.fIndexBuffers);
        g.fVertexBuffers.clear();
        g.fIndexBuffers.clear();
    }
    // Fills a list with items it does not own; release() empties it without deleting them.
    static void borrow(MHWRender::MRenderItemList& list, MHWRender::MRenderItem* item) { list.fItems.push_back(item); }
    static void release(MHWRender::MRenderItemList& list) { list.fItems.clear(); }
};

// Render requirements are stated by the renderer through the protected adders.
class RequirementsBuilder : public MHWRender::MGeometryRequirements
{
public:
    void addVertex(const MHWRender::MVertexBufferDescriptor& d) { addVertexRequirement(d); }
    void addIndexing(const MHWRender::MIndexBufferDescriptor& d) { addIndexingRequirement(d); }
};

// The frame and draw context the renderer fills for one view.
class HostDrawContext : public MHWRender::MDrawContext
{
public:
    HostDrawContext() = default;
    ~HostDrawContext() override = default;
    void set(const MMatrix& view, const MMatrix& projection, int width, int height, unsigned int displayStyle,
             const MDagPath& camera, MHWRender::MStateManager* stateManager)
    {
        fView = view;
        fProjection = projection;
        fViewport[0] = fViewport[1] = 0;
        fViewport[2] = width;
        fViewport[3] = height;
        fDisplayStyle = displayStyle;
        fStateManager = stateManager;
        RendererAccess::setCameraPath(*this, camera);
    }
    void setWorld(const MMatrix& world) { fWorld = world; }
    const MMatrix& view() const { return fView; }
    const MMatrix& projection() const { return fProjection; }
};

// A draw manager the renderer owns.
class HostDrawManager : public MHWRender::MUIDrawManager
{
public:
    HostDrawManager() : MUIDrawManager(nullptr) {}
    ~HostDrawManager() override = default;
};

} // namespace host

#endif
