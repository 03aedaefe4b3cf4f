#include "viewport/ViewDecorations.h"

#include "viewport/GlDevice.h"

#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MVector.h>

#include <QOpenGLFunctions_3_3_Core>

#include <cmath>

namespace host
{

namespace
{

// Maya's default gradient, and the flat background (also of bare frames).
const float kGradientTop[3] = {0.535f, 0.617f, 0.702f};
const float kGradientBottom[3] = {0.052f, 0.052f, 0.052f};
const float kFlatBackground[3] = {0.36f, 0.36f, 0.36f};
const float kDivisionColor[3] = {0.36f, 0.36f, 0.36f};
const float kGridLineColor[3] = {0.44f, 0.44f, 0.44f};
const float kAxisColor[3] = {0.0f, 0.0f, 0.0f};
const float kAxisColors[3][3] = {{0.9f, 0.15f, 0.15f}, {0.35f, 0.9f, 0.35f}, {0.3f, 0.45f, 1.0f}};
const float kCameraNameColor[3] = {0.85f, 0.85f, 0.85f};

char gUpAxis = 'y';

MMatrix screenProjection(const ViewSetup& view)
{
    // Port pixels (y up) to clip space.
    MMatrix m;
    m(0, 0) = 2.0 / std::max(1, view.width);
    m(1, 1) = 2.0 / std::max(1, view.height);
    m(3, 0) = -1.0;
    m(3, 1) = -1.0;
    return m;
}

DrawStyle screenStyle(const ViewSetup& view, const float color[3])
{
    DrawStyle style;
    style.projection = screenProjection(view);
    style.viewportWidth = view.width;
    style.viewportHeight = view.height;
    style.color[0] = color[0];
    style.color[1] = color[1];
    style.color[2] = color[2];
    return style;
}

double pixelRatio(const ViewSetup& view)
{
    return view.devicePixelRatio > 0.0 ? view.devicePixelRatio : 1.0;
}

// The two world axes the grid spans for a view.
void gridPlane(const ViewSetup& view, int& first, int& second)
{
    int normal = gUpAxis == 'z' ? 2 : 1;
    const bool orthographic = view.projection(3, 3) != 0.0;
    if (orthographic) {
        // The camera looks down its -Z: the world axis nearest its view direction is the grid's normal.
        const MMatrix camera = view.view.inverse();
        const double look[3] = {std::fabs(camera(2, 0)), std::fabs(camera(2, 1)), std::fabs(camera(2, 2))};
        normal = look[0] >= look[1] && look[0] >= look[2] ? 0 : look[1] >= look[2] ? 1 : 2;
    }
    first = normal == 0 ? 1 : 0;
    second = normal == 2 ? 1 : 2;
}

void addSegment(std::vector<float>& out, int along, int across, double at, double extent)
{
    float a[3] = {0, 0, 0}, b[3] = {0, 0, 0};
    a[across] = b[across] = float(at);
    a[along] = float(-extent);
    b[along] = float(extent);
    out.insert(out.end(), a, a + 3);
    out.insert(out.end(), b, b + 3);
}

void drawText(GlDevice& device, const ViewSetup& view, const MString& text, double x, double y, const float color[3],
              bool centred)
{
    const double ratio = pixelRatio(view);
    const GlDevice::TextTexture& texture = device.text(text, int(std::lround(12 * ratio)));
    const float left = float(std::round(centred ? x - texture.width / 2.0 : x));
    const float bottom = float(std::round(y));
    const float right = left + float(texture.width), top = bottom + float(texture.height);
    const float quad[12] = {left, bottom, 0, right, bottom, 0, left, top, 0, right, top, 0};
    const float uv[8] = {0, 1, 1, 1, 0, 0, 1, 0};  // image row 0 is the text's top line
    DrawStyle style = screenStyle(view, color);
    style.mode = DrawStyle::kTextured;
    style.texture = texture.texture;
    device.drawArrays(GL_TRIANGLE_STRIP, style, quad, 4, nullptr, nullptr, uv);
}

} // namespace

GridSettings& gridSettings()
{
    static GridSettings settings;
    return settings;
}

ViewPreferences& viewPreferences()
{
    static ViewPreferences preferences;
    return preferences;
}

char upAxis()
{
    return gUpAxis;
}

void setUpAxis(char axis)
{
    gUpAxis = axis == 'z' ? 'z' : 'y';
}

GridLines groundGridLines(const ViewSetup& view)
{
    GridLines grid;
    const GridSettings& s = gridSettings();
    if (!(s.size > 0.0) || !(s.spacing > 0.0) || s.divisions < 1)
        return grid;
    int first = 0, second = 2;
    gridPlane(view, first, second);
    const double step = s.spacing / s.divisions;
    const long count = long(std::floor(s.size / step + 1e-9));
    for (long i = -count; i <= count; ++i) {
        std::vector<float>* group = i == 0 && s.axes ? &grid.axes
                                    : i % s.divisions == 0 ? (s.gridLines ? &grid.lines : nullptr)
                                                           : (s.divisionLines ? &grid.divisions : nullptr);
        if (!group)
            continue;
        addSegment(*group, first, second, double(i) * step, s.size);
        addSegment(*group, second, first, double(i) * step, s.size);
    }
    return grid;
}

void drawViewBackground(GlDevice& device, const ViewSetup& view)
{
    QOpenGLFunctions_3_3_Core* gl = device.gl();
    const float* flat = kFlatBackground;
    gl->glClearColor(flat[0], flat[1], flat[2], 1.0f);
    gl->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    if (!view.decorations || !viewPreferences().gradient)
        return;
    const float w = float(view.width), h = float(view.height);
    const float quad[12] = {0, 0, 0, w, 0, 0, 0, h, 0, w, h, 0};
    const float* b = kGradientBottom;
    const float* t = kGradientTop;
    const float colors[16] = {b[0], b[1], b[2], 1, b[0], b[1], b[2], 1, t[0], t[1], t[2], 1, t[0], t[1], t[2], 1};
    DrawStyle style = screenStyle(view, flat);
    style.mode = DrawStyle::kPerVertexColor;
    gl->glDisable(GL_DEPTH_TEST);
    gl->glDepthMask(GL_FALSE);
    device.drawArrays(GL_TRIANGLE_STRIP, style, quad, 4, nullptr, colors);
    gl->glDepthMask(GL_TRUE);
    gl->glEnable(GL_DEPTH_TEST);
}

void drawGroundGrid(GlDevice& device, const ViewSetup& view)
{
    if (!view.decorations || !view.grid || !gridSettings().shown)
        return;
    const GridLines grid = groundGridLines(view);
    QOpenGLFunctions_3_3_Core* gl = device.gl();
    // Under everything the scene draws: depth-tested, writing no depth.
    gl->glEnable(GL_DEPTH_TEST);
    gl->glDepthFunc(GL_LEQUAL);
    gl->glDepthMask(GL_FALSE);
    gl->glDisable(GL_BLEND);
    const double ratio = pixelRatio(view);
    const struct
    {
        const std::vector<float>* points;
        const float* color;
        double width;
    } groups[] = {{&grid.divisions, kDivisionColor, 1.0},
                  {&grid.lines, kGridLineColor, 1.0},
                  {&grid.axes, kAxisColor, gridSettings().axesBold ? 2.0 : 1.0}};
    for (const auto& group : groups) {
        if (group.points->empty())
            continue;
        DrawStyle style;
        style.worldView = view.view;
        style.projection = view.projection;
        style.viewportWidth = view.width;
        style.viewportHeight = view.height;
        style.lineWidth = float(group.width * ratio);
        std::copy(group.color, group.color + 3, style.color);
        device.drawArrays(GL_LINES, style, group.points->data(), group.points->size() / 3);
    }
    gl->glDepthMask(GL_TRUE);
}

void drawViewHud(GlDevice& device, const ViewSetup& view)
{
    if (!view.decorations)
        return;
    QOpenGLFunctions_3_3_Core* gl = device.gl();
    gl->glDisable(GL_DEPTH_TEST);
    gl->glEnable(GL_BLEND);
    gl->glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    const double ratio = pixelRatio(view);

    // The view axis: the world axes as the camera turns them, from the lower left corner.
    const double originX = 32 * ratio, originY = 32 * ratio, length = 20 * ratio;
    for (int axis = 0; axis < 3 && viewPreferences().viewAxis; ++axis) {
        MVector direction(axis == 0, axis == 1, axis == 2);
        direction = direction * view.view;  // rotation part only: a vector
        const float end[2] = {float(originX + direction.x * length), float(originY + direction.y * length)};
        const float line[6] = {float(originX), float(originY), 0, end[0], end[1], 0};
        DrawStyle style = screenStyle(view, kAxisColors[axis]);
        style.lineWidth = float(2 * ratio);
        device.drawArrays(GL_LINES, style, line, 2);
        const char* names[3] = {"x", "y", "z"};
        drawText(device, view, names[axis], end[0] + direction.x * 4 * ratio - 3 * ratio,
                 end[1] + direction.y * 4 * ratio - 6 * ratio, kAxisColors[axis], false);
    }

    // The camera's name, at the bottom in the middle.
    if (view.camera.isValid()) {
        MDagPath transform = view.camera;
        if (transform.length() > 1)
            transform.pop();
        drawText(device, view, transform.partialPathName(), view.width / 2.0, 6 * ratio, kCameraNameColor, true);
    }
    gl->glDisable(GL_BLEND);
    gl->glEnable(GL_DEPTH_TEST);
}

} // namespace host
