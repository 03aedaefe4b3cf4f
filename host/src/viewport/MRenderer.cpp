#include <maya/MViewport2Renderer.h>
#include <maya/MObject.h>

namespace MHWRender
{

// No Viewport 2.0 renderer runs in batch mode: there is no renderer object,
// and requests to redraw have nothing to act on.

MRenderer::MRenderer() = default;
MRenderer::~MRenderer() = default;

MRenderer* MRenderer::theRenderer(bool)
{
    return nullptr;
}

MStatus MRenderer::setGeometryDrawDirty(MObject, bool)
{
    return MStatus::kSuccess;
}

MStatus MRenderer::setLightsAndShadowsDirty()
{
    return MStatus::kSuccess;
}

const MShaderManager* MRenderer::getShaderManager() const
{
    return nullptr;
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
    return kNone;
}

bool MRenderer::drawAPIIsOpenGL() const
{
    return false;
}

unsigned int MRenderer::drawAPIVersion() const
{
    return 0;
}

} // namespace MHWRender
