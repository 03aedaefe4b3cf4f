#pragma once
// Small host-only shape types with their own Viewport 2.0 overrides, and an
// off-screen OpenGL canvas that draws frames through the host's renderer and
// reads the pixels back.

#include "viewport/FrameRenderer.h"

#include <maya/MDrawContext.h>
#include <maya/MFrameContext.h>
#include <maya/MHWGeometry.h>
#include <maya/MObject.h>
#include <maya/MShaderManager.h>
#include <maya/MUIDrawManager.h>

#include <QColor>
#include <QImage>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QOffscreenSurface;
class QOpenGLContext;
class QOpenGLFramebufferObject;

namespace viewtest
{

// One render item of a test shape: its triangles (or lines, points) in object space.
struct ItemLook
{
    std::string name;
    MHWRender::MGeometry::Primitive primitive = MHWRender::MGeometry::kTriangles;
    MHWRender::MShaderManager::MStockShader shader = MHWRender::MShaderManager::k3dSolidShader;
    float color[4] = {1, 0, 0, 1};
    std::vector<float> positions;  // xyz per vertex, drawn in order
    bool transparent = false;
    unsigned int depthPriority = 0;
    float lineWidth = 1.0f;
    float pointSize = 1.0f;
    MHWRender::MShaderInstance::DrawCallback preDraw = nullptr;
    MHWRender::MShaderInstance::DrawCallback postDraw = nullptr;
};

// What the geometry override of the node with that name draws.
struct ShapeLook
{
    std::vector<ItemLook> items;
    bool streamsDirty = true;   // isStreamDirty's answer
    std::function<void(MHWRender::MUIDrawManager&, const MHWRender::MFrameContext&)> ui;
};

std::map<std::string, ShapeLook>& shapeLooks();

// What the overrides saw.
struct Observed
{
    int geometryOverridesAlive = 0;
    int drawOverridesAlive = 0;
    int userDataAlive = 0;
    int prepareForDrawCalls = 0;
    std::vector<std::pair<bool, double>> updateContexts;    // (normal, frame) per updateDG
    std::vector<std::pair<bool, double>> populateContexts;  // (normal, frame) per populateGeometry
};
Observed& observed();

// Registers "testGeoShape" (geometry override) and "testDrawShape" (draw
// override), both of the plug-in "viewportTestTypes".
void registerTestTypes();
extern const char* const kTestPlugin;

// A square in the z plane, centred at (cx, cy), as two triangles.
std::vector<float> square(double cx, double cy, double half, double z = 0.0);

// Draws frames off screen at width x height device pixels through the host renderer.
// The view looks down -Z from z = 10 with an orthographic lens 10 units wide, so
// world (x, y) lands on pixel ((x + 5) * width / 10, (y + 5) * height / 10), y up.
class Canvas
{
public:
    Canvas(int width = 100, int height = 100);
    ~Canvas();
    host::ViewSetup view() const;
    void draw() { draw(view()); }
    void draw(const host::ViewSetup& setup);
    // Pixel at (x, y), y up from the bottom row, of the last frame.
    QColor pixel(int x, int y) const;
    QColor pixelAtWorld(double x, double y) const;
    const QImage& image() const { return fImage; }

private:
    int fWidth, fHeight;
    std::unique_ptr<QOffscreenSurface> fSurface;
    std::unique_ptr<QOpenGLContext> fContext;
    std::unique_ptr<QOpenGLFramebufferObject> fTarget;
    QImage fImage;
};

// Whether two colours agree within `tolerance` per 8-bit channel.
bool near(const QColor& a, const QColor& b);
bool nearWithin(const QColor& a, const QColor& b, int tolerance);
QColor rgb(double r, double g, double b);
extern const QColor kBackground;

} // namespace viewtest
