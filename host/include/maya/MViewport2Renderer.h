#ifndef MAYA_MVIEWPORT2RENDERER_H
#define MAYA_MVIEWPORT2RENDERER_H

#include <maya/MStatus.h>

namespace host { struct RendererAccess; struct ShaderParameters; struct UiDrawList; }

namespace MHWRender
{

enum DrawAPI {
    kNone = 0,
    kOpenGL = 1 << 0,
    kDirectX11 = 1 << 1,
    kOpenGLCoreProfile = 1 << 2,
    kAllDevices = kOpenGL | kDirectX11 | kOpenGLCoreProfile
};

// The Viewport 2.0 renderer. theRenderer() is null when no renderer runs (batch mode).
class MRenderer
{
public:
    static MRenderer* theRenderer(bool initializeRenderer = true);
    static void setGeometryDrawDirty(MObject obj, bool topologyChanged = true);
    static void setLightsAndShadowsDirty();

    const MShaderManager* getShaderManager() const;
    MTextureManager* getTextureManager() const;
    MRenderTargetManager* getRenderTargetManager() const;
    MFragmentManager* getFragmentManager() const;
    DrawAPI drawAPI() const;
    bool drawAPIIsOpenGL() const;
    unsigned int drawAPIVersion() const;

private:
    friend struct host::RendererAccess;
    MRenderer();
    ~MRenderer();
    MRenderer(const MRenderer&) = delete;
    MRenderer& operator=(const MRenderer&) = delete;
};

} // namespace MHWRender

#endif
