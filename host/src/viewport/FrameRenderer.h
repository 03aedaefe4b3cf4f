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
    MString filterPanel;       // the panel whose draw filter applies, images of it included
    // A model panel's view, on screen or in an image: the gradient background, the grid
    // (when `grid`, `modelEditor -grid`), the view axis and the camera's name. Bare frames
    // clear to a flat grey and draw only the scene.
    bool decorations = false;
    bool grid = true;
};

// Draws one frame into the current OpenGL context and the bound framebuffer
// (viewport already set to width x height): clears to the background (and, with
// decorations, draws the grid under the scene and the view axis and camera name
// over it; see ViewDecorations.h), updates
// every override on the main thread, then draws built-in shapes, override
// render items (opaque first, then transparent ones without depth writes) and
// UI drawables. Needs a current OpenGL 4.5 core context.
//
// Per node, each frame (main thread):
// - geometry overrides: requiresGeometryUpdate; when it says so (or after
//   MRenderer::setGeometryDrawDirty, or on the first frame) updateDG, then
//   requiresUpdateRenderItems and, when true, updateRenderItems; then
//   isIndexingDirty per item and isStreamDirty per stream, and populateGeometry
//   with only the dirty streams and items (nothing when none is dirty). The
//   streams asked for are position (float3) always, normal (float3) when an
//   item uses a lit stock shader (Blinn, default material, standard surface)
//   and colour (float4) when an item uses a per-vertex-colour shader. Buffers
//   not rewritten keep their contents. Then addUIDrawables (every frame, when
//   hasUIDrawables) and cleanUp (after an update).
// - draw overrides: transform, isBounded and boundingBox (culled when wholly
//   outside the view), prepareForDraw when isAlwaysDirty, after
//   setGeometryDrawDirty or when no data is kept (the returned data is passed
//   back next time; data that asks to be deleted after use is deleted after the
//   frame), the draw callback, addUIDrawables when hasUIDrawables.
// Built-in meshes draw shaded grey with a head light (wireframe on shaded in
// Maya's lead and active colours when selected), nurbs curves as lines,
// locators as their cross; cameras are not drawn. Hidden paths (visibility,
// lodVisibility, intermediateObject, drawing overrides) and object types the
// view filters out (objectDisplay; kExcludePluginShapes for plug-in shapes)
// are skipped.
void renderFrame(const ViewSetup& view);

// Asked for each DAG shape a panel's view would draw (isolate select): false
// leaves it out. Frames of no panel (no filterPanel) draw everything.
using DrawFilter = bool (*)(const MString& panelName, const MDagPath& path);
void setDrawFilter(DrawFilter filter);

// Lines a panel's frames draw over the scene, unhidden by it (the current
// tool's manipulator): world-space end points in pairs, one colour, a width
// in device pixels.
struct OverlayLines
{
    std::vector<float> points;
    float color[3] = {1.0f, 1.0f, 1.0f};
    float width = 1.0f;
};
using OverlaySource = void (*)(const ViewSetup& view, std::vector<OverlayLines>& lines);
void setOverlaySource(OverlaySource source);

// Host-internal selection by drawing, as Viewport 2.0 selects: draws the
// view's pickable shapes (not templated, not drawn as references) into the
// bound framebuffer (port size, with depth), each DAG path in its own flat
// colour: built-in meshes (surface when shaded, wire otherwise), curves and
// locators, and of plug-in shapes what their last frame drew: render items
// with a non-empty selection mask (not decoration items) and UI drawables
// opened selectable or automatic (text excepted; x-ray drawables in front of
// everything). Then reads the square of `radius` port pixels around (x, y)
// (port pixels, origin bottom left) and gives the shape path nearest the
// camera there. False when nothing pickable is there. Needs a current context.
bool pickNearest(const ViewSetup& view, int x, int y, int radius, MDagPath& hit);

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
// Calls are named after the override member ("updateDG", "isStreamDirty" with
// the stream as detail, "isIndexingDirty" with the item, "draw" for a draw
// override's callback), plus "create" and "destroy" for the override's life
// and "bufferWrite" for each buffer populateGeometry wrote: detail "position",
// "normal", "color" or "index:<render item name>", bytes its size.
struct Vp2Call
{
    std::string node;     // the node's name
    std::string call;     // "updateDG", "populateGeometry", "prepareForDraw", "bufferWrite", ...
    std::string detail;   // render item or buffer ("position", "index:pellixDataOverlayBase"), or empty
    std::size_t bytes = 0;
};
// Host-internal frame timing, for benchmarks: while on, each frame measures the
// time spent inside override calls (the plug-in's share) and in the whole frame,
// up to a finished GL pipeline.
struct FrameTiming
{
    double pluginSeconds = 0.0;
    double frameSeconds = 0.0;
};
void setFrameTiming(bool on);
FrameTiming lastFrameTiming();

void startVp2Record();                // clears the record and starts recording
std::vector<Vp2Call> takeVp2Record(); // returns what was recorded and keeps recording
void stopVp2Record();                 // stops recording and drops the record

} // namespace host

#endif
