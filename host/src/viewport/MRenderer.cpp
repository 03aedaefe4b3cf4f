#include <maya/MViewport2Renderer.h>
#include <maya/M3dView.h>
#include <maya/MObject.h>

#include "FrameRenderer.h"
#include "OverrideInstances.h"
#include "RendererAccess.h"

// The renderer exists while views do (GUI mode); batch mode has none, and
// redraw requests have nothing to act on there.

namespace MHWRender
{

MRenderer* MRenderer::theRenderer(bool)
{
    if (!host::rendererActive()) return nullptr;
    static MRenderer* renderer = host::RendererAccess::newRenderer();
    return renderer;
}

void MRenderer::setGeometryDrawDirty(MObject obj, bool topologyChanged)
{
    // Without a renderer there is nothing to redraw.
    if (!host::rendererActive()) return;
    if (host::markDrawDirty(obj, topologyChanged)) M3dView::scheduleRefreshAllViews();
}

void MRenderer::setLightsAndShadowsDirty()
{
    if (host::rendererActive()) M3dView::scheduleRefreshAllViews();
}

const MShaderManager* MRenderer::getShaderManager() const
{
    static MShaderManager* manager = host::RendererAccess::newShaderManager();
    return manager;
}

MTextureManager* MRenderer::getTextureManager() const
{
    return nullptr;
}

MRenderTargetManager* MRenderer::getRenderTargetManager() const
{
    return nullptr;
}

MFragmentManager* MRenderer::getFragmentManager() const
{
    return nullptr;
}

DrawAPI MRenderer::drawAPI() const
{
    return kOpenGLCoreProfile;
}

bool MRenderer::drawAPIIsOpenGL() const
{
    return true;
}

unsigned int MRenderer::drawAPIVersion() const
{
    return 4;
}

MRenderer::MRenderer() = default;
MRenderer::~MRenderer() = default;

} // namespace MHWRender
