#ifndef HOST_VIEWPORT_FRAMERENDERER_H
#define HOST_VIEWPORT_FRAMERENDERER_H

// The Viewport 2.0 stand-in: draws one frame of the scene into the current
// OpenGL 4.5 core context with real OpenGL, calling the plug-in's draw and
// geometry overrides in the order Maya calls them.

#include <maya/MDagPath.h>
#include <maya/MFrameContext.h>
#include <maya/MMatrix.h>
#include <maya/MString.h>

#include <cstddef>
#include <string>
#include <vector>

namespace host
{

// What one view draws with. Matrices follow Maya's row-vector convention
// (p' = p * M); the projection maps eye space to OpenGL clip space.
struct ViewSetup
{
    MDagPath camera;           // camera shape; may be invalid for a bare test frame
    MMatrix view;              // world -> eye (the camera's inverse world matrix)
    MMatrix projection;        // eye -> clip
    int width = 0;             // port size in device pixels
    int height = 0;
    double devicePixelRatio = 1.0;
    unsigned int displayStyle = MHWRender::MFrameContext::kGouraudShaded;
    unsigned int objectDisplay = ~0u; // M3dView::DisplayObjects mask
    MString panelName;         // "modelPanel4"; empty for an off-screen frame
};

// Draws one frame into the current OpenGL context and the bound framebuffer
// (viewport already set to width x height): clears to the background, updates
// every override on the main thread, then draws built-in shapes, override
// render items (opaque first, then transparent ones without depth writes) and
// UI drawables. Needs a current OpenGL 4.5 core context.
void renderFrame(const ViewSetup& view);

// True while views exist (GUI mode): MRenderer::theRenderer() is non-null then.
bool rendererActive();
void setRendererActive(bool active);

// Destroys override instances (and their user data and GL objects) that belong
// to a plug-in's node types (all of them when pluginName is empty). Called
// before a plug-in unloads, when the scene is cleared, and at exit.
void releaseOverrides(const MString& pluginName);

// Host-internal record of the Viewport 2.0 calls made while recording is on:
// which override, on which node, which call, and for buffer writes which
// buffer and how many bytes. Not part of the Maya API; for tests.
struct Vp2Call
{
    std::string node;     // the node's name
    std::string call;     // "updateDG", "populateGeometry", "prepareForDraw", ...
    std::string detail;   // render item or buffer ("position", "index:pellixDataOverlayBase"), or empty
    std::size_t bytes = 0;
};
void startVp2Record();
std::vector<Vp2Call> takeVp2Record(); // returns what was recorded and keeps recording

} // namespace host

#endif
