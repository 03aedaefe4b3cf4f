#include <maya/MUIDrawManager.h>
#include <maya/MColorArray.h>
#include <maya/MPointArray.h>
#include <maya/MStringArray.h>
#include <maya/MUintArray.h>
#include <maya/MVectorArray.h>

#include "UiDrawList.h"

#include <cmath>

namespace MHWRender
{

namespace
{

using host::UiDrawable;

UiDrawable& start(host::UiDrawList* list, UiDrawable::Shape shape, bool is2D)
{
    list->drawables.push_back(list->style);
    UiDrawable& d = list->drawables.back();
    d.kind = UiDrawable::kGeometry;
    d.shape = shape;
    d.is2D = is2D;
    d.xray = list->xray;
    d.positions.clear();
    d.normals.clear();
    d.colors.clear();
    return d;
}

void push(UiDrawable& d, const MPoint& p)
{
    double w = p.w != 0.0 ? p.w : 1.0;
    d.positions.push_back(static_cast<float>(p.x / w));
    d.positions.push_back(static_cast<float>(p.y / w));
    d.positions.push_back(static_cast<float>(p.z / w));
}

// Two unit vectors spanning the plane facing `normal` (+Y when the normal is zero).
void planeAxes(const MVector& normal, MVector& u, MVector& v)
{
    MVector n = normal.length() > 1e-12 ? normal.normal() : MVector(0, 1, 0);
    MVector helper = std::fabs(n.x) < 0.9 ? MVector(1, 0, 0) : MVector(0, 1, 0);
    u = (helper ^ n).normal();
    v = n ^ u;
}

// A count below three (or negative) draws the fewest segments that still close a loop.
unsigned int segmentCount(int subdivisions)
{
    return subdivisions < 3 ? 3u : static_cast<unsigned int>(subdivisions);
}

void addCircle(host::UiDrawList* list, const MPoint& center, const MVector& u, const MVector& v, double radius,
               unsigned int segments, bool filled, bool is2D)
{
    if (!std::isfinite(radius)) return;
    UiDrawable& d = start(list, filled ? UiDrawable::kTriangles : UiDrawable::kLineLoop, is2D);
    auto at = [&](unsigned int i) {
        double a = 2.0 * M_PI * i / segments;
        return center + radius * (std::cos(a) * u + std::sin(a) * v);
    };
    for (unsigned int i = 0; i < segments; ++i) {
        if (filled) {
            push(d, center);
            push(d, at(i));
            push(d, at(i + 1));
        } else {
            push(d, at(i));
        }
    }
}

void addRect(host::UiDrawList* list, const MPoint& center, const MVector& up, const MVector& right, double scaleX,
             double scaleY, bool filled, bool is2D)
{
    MVector x = right * scaleX, y = up * scaleY;
    MPoint corners[4] = {center - x - y, center + x - y, center + x + y, center - x + y};
    UiDrawable& d = start(list, filled ? UiDrawable::kTriangleStrip : UiDrawable::kLineLoop, is2D);
    if (filled) {
        for (int i : {0, 1, 3, 2}) push(d, corners[i]);
    } else {
        for (const MPoint& c : corners) push(d, c);
    }
}

UiDrawable::Shape shapeOf(MUIDrawManager::Primitive mode)
{
    switch (mode) {
    case MUIDrawManager::kPoints: return UiDrawable::kPoints;
    case MUIDrawManager::kLines: return UiDrawable::kLines;
    case MUIDrawManager::kLineStrip: return UiDrawable::kLineStrip;
    case MUIDrawManager::kClosedLine: return UiDrawable::kLineLoop;
    case MUIDrawManager::kTriStrip: return UiDrawable::kTriangleStrip;
    default: return UiDrawable::kTriangles;
    }
}

void addMesh(host::UiDrawList* list, MUIDrawManager::Primitive mode, const MPointArray& position,
             const MVectorArray* normal, const MColorArray* color, const MUintArray* index, bool is2D)
{
    UiDrawable& d = start(list, shapeOf(mode), is2D);
    const unsigned int count = index ? index->length() : position.length();
    for (unsigned int k = 0; k < count; ++k) {
        unsigned int i = index ? (*index)[k] : k;
        if (i >= position.length()) continue;  // an index past the points draws nothing
        push(d, position[i]);
        if (normal && i < normal->length()) {
            MVector n = (*normal)[i];
            d.normals.insert(d.normals.end(), {float(n.x), float(n.y), float(n.z)});
        }
        if (color && i < color->length()) {
            MColor c = (*color)[i];
            d.colors.insert(d.colors.end(), {c.r, c.g, c.b, c.a});
        }
    }
    if (d.normals.size() != d.positions.size()) d.normals.clear();
    if (d.colors.size() / 4 != d.positions.size() / 3) d.colors.clear();
    d.lit = d.lit && !d.normals.empty();
}

void addText(host::UiDrawList* list, const MPoint& position, const MString& text, MUIDrawManager::TextAlignment alignment,
             const int* backgroundSize, const MColor* backgroundColor, bool is2D)
{
    list->drawables.push_back(list->style);
    UiDrawable& d = list->drawables.back();
    d.kind = UiDrawable::kText;
    d.is2D = is2D;
    d.xray = list->xray;
    d.anchor = position;
    d.text = text;
    d.alignment = alignment;
    d.fontSize = list->fontSize;
    d.positions.clear();
    d.hasBox = backgroundColor != nullptr || backgroundSize != nullptr;
    if (backgroundSize) {
        d.boxSize[0] = backgroundSize[0] > 0 ? backgroundSize[0] : 0;
        d.boxSize[1] = backgroundSize[1] > 0 ? backgroundSize[1] : 0;
    }
    if (backgroundColor) {
        const MColor& c = *backgroundColor;
        d.boxColor[0] = c.r, d.boxColor[1] = c.g, d.boxColor[2] = c.b, d.boxColor[3] = c.a;
    } else if (d.hasBox) {
        // Maya's default text background: dark, half transparent.
        d.boxColor[0] = d.boxColor[1] = d.boxColor[2] = 0.0f;
        d.boxColor[3] = 0.5f;
    }
}

} // namespace

MUIDrawManager::MUIDrawManager(void*) : fDepthPriority(0), fList(new host::UiDrawList) {}

MUIDrawManager::~MUIDrawManager()
{
    delete fList;
}

void MUIDrawManager::beginDrawable(Selectability selectability, unsigned int)
{
    // Each drawable starts from the default style.
    fList->style = UiDrawable();
    // Object selection picks automatic drawables as well as explicitly selectable ones.
    fList->style.selectable = selectability != kNonSelectable;
    fList->style.depthPriority = fDepthPriority = 0;
    fList->fontSize = kDefaultFontSize;
    fList->xray = false;
}

void MUIDrawManager::beginDrawable(unsigned int name, bool nameIsPickable)
{
    beginDrawable(nameIsPickable ? kSelectable : kNonSelectable, name);
}

void MUIDrawManager::endDrawable()
{
    fList->xray = false;
}

void MUIDrawManager::beginDrawInXray()
{
    fList->xray = true;
}

void MUIDrawManager::endDrawInXray()
{
    fList->xray = false;
}

void MUIDrawManager::setColor(const MColor& color)
{
    float* c = fList->style.color;
    c[0] = color.r, c[1] = color.g, c[2] = color.b, c[3] = color.a;
}

void MUIDrawManager::setColorIndex(const short index)
{
    // A grey ramp stands in for the colour table: index 0 black, 31 white.
    float level = index < 0 ? 0.0f : index > 31 ? 1.0f : index / 31.0f;
    setColor(MColor(level, level, level));
}

void MUIDrawManager::setLineWidth(float value)
{
    fList->style.lineWidth = std::isfinite(value) && value > 0.0f ? value : 1.0f;
}

void MUIDrawManager::setLineStyle(LineStyle style)
{
    static const unsigned int patterns[] = {0xFFFF, 0xAAAA, 0xCCCC, 0xF0F0, 0x8888};
    fList->style.dashPattern = style >= kSolid && style <= kDotted ? patterns[style] : 0xFFFF;
}

void MUIDrawManager::setLineStyle(unsigned int, unsigned short pattern)
{
    fList->style.dashPattern = pattern == 0 ? 0xFFFF : pattern;
}

void MUIDrawManager::setPaintStyle(PaintStyle style)
{
    fList->style.lit = style == kShaded;
}

void MUIDrawManager::setPointSize(float value)
{
    fList->style.pointSize = std::isfinite(value) && value > 0.0f ? value : 1.0f;
}

void MUIDrawManager::setDepthPriority(unsigned int priority)
{
    fDepthPriority = priority;
    fList->style.depthPriority = priority;
}

void MUIDrawManager::setFontSize(unsigned int fontSize)
{
    fList->fontSize = fontSize == 0 ? int(kDefaultFontSize) : int(fontSize > 200 ? 200 : fontSize);
}

void MUIDrawManager::setFontWeight(const int) {}
void MUIDrawManager::setFontName(const MString&) {}
void MUIDrawManager::setFontIncline(int) {}
void MUIDrawManager::setFontLine(int) {}
void MUIDrawManager::setFontStretch(int) {}

void MUIDrawManager::text(const MPoint& position, const MString& text, TextAlignment alignment,
                          const int* backgroundSize, const MColor* backgroundColor, bool)
{
    addText(fList, position, text, alignment, backgroundSize, backgroundColor, false);
}

void MUIDrawManager::text2d(const MPoint& position, const MString& text, TextAlignment alignment,
                            const int* backgroundSize, const MColor* backgroundColor, bool)
{
    addText(fList, position, text, alignment, backgroundSize, backgroundColor, true);
}

void MUIDrawManager::line(const MPoint& startPoint, const MPoint& endPoint)
{
    UiDrawable& d = start(fList, UiDrawable::kLines, false);
    push(d, startPoint);
    push(d, endPoint);
}

void MUIDrawManager::line2d(const MPoint& startPoint, const MPoint& endPoint)
{
    UiDrawable& d = start(fList, UiDrawable::kLines, true);
    push(d, startPoint);
    push(d, endPoint);
}

void MUIDrawManager::lineList(const MPointArray& points, bool draw2D)
{
    UiDrawable& d = start(fList, UiDrawable::kLines, draw2D);
    for (unsigned int i = 0; i + 1 < points.length(); i += 2) {
        push(d, points[i]);
        push(d, points[i + 1]);
    }
}

void MUIDrawManager::lineStrip(const MPointArray& points, bool draw2D)
{
    UiDrawable& d = start(fList, UiDrawable::kLineStrip, draw2D);
    for (unsigned int i = 0; i < points.length(); ++i) push(d, points[i]);
}

void MUIDrawManager::point(const MPoint& point)
{
    push(start(fList, UiDrawable::kPoints, false), point);
}

void MUIDrawManager::point2d(const MPoint& point)
{
    push(start(fList, UiDrawable::kPoints, true), point);
}

void MUIDrawManager::points(const MPointArray& points, bool draw2D)
{
    UiDrawable& d = start(fList, UiDrawable::kPoints, draw2D);
    for (unsigned int i = 0; i < points.length(); ++i) push(d, points[i]);
}

void MUIDrawManager::circle(const MPoint& center, const MVector& normal, double radius, bool filled)
{
    circle(center, normal, radius, 40, filled);
}

void MUIDrawManager::circle(const MPoint& center, const MVector& normal, double radius, int numSubdivision,
                            bool filled)
{
    MVector u, v;
    planeAxes(normal, u, v);
    addCircle(fList, center, u, v, radius, segmentCount(numSubdivision), filled, false);
}

void MUIDrawManager::circle2d(const MPoint& center, double radius, bool filled)
{
    circle2d(center, radius, 40, filled);
}

void MUIDrawManager::circle2d(const MPoint& center, double radius, int numSubdivision, bool filled)
{
    addCircle(fList, center, MVector(1, 0, 0), MVector(0, 1, 0), radius, segmentCount(numSubdivision), filled, true);
}

void MUIDrawManager::arc(const MPoint& center, const MVector& startV, const MVector& endV, const MVector& normal,
                         double radius, bool filled)
{
    MVector u, v;
    planeAxes(normal, u, v);
    MVector s = startV.normal(), e = endV.normal();
    MVector n = u ^ v;
    double a0 = std::atan2(s * v, s * u), a1 = std::atan2(e * v, e * u);
    if (a1 < a0) a1 += 2.0 * M_PI;
    const int segments = 32;
    UiDrawable& d = start(fList, filled ? UiDrawable::kTriangles : UiDrawable::kLineStrip, false);
    (void)n;
    for (int i = 0; i <= segments; ++i) {
        double a = a0 + (a1 - a0) * i / segments;
        MPoint p = center + radius * (std::cos(a) * u + std::sin(a) * v);
        if (filled && i > 0) {
            double b = a0 + (a1 - a0) * (i - 1) / segments;
            push(d, center);
            push(d, center + radius * (std::cos(b) * u + std::sin(b) * v));
            push(d, p);
        } else if (!filled) {
            push(d, p);
        }
    }
}

void MUIDrawManager::arc2d(const MPoint& center, const MVector& startV, const MVector& endV, double radius, bool filled)
{
    size_t before = fList->drawables.size();
    arc(center, startV, endV, MVector(0, 0, 1), radius, filled);
    if (fList->drawables.size() > before) fList->drawables.back().is2D = true;
}

void MUIDrawManager::rect(const MPoint& center, const MVector& up, const MVector& normal, double scaleX, double scaleY,
                          bool filled)
{
    MVector y = up.normal();
    MVector x = (y ^ normal).normal();
    addRect(fList, center, y, x, scaleX, scaleY, filled, false);
}

void MUIDrawManager::rect2d(const MPoint& center, const MVector& up, double scaleX, double scaleY, bool filled)
{
    MVector y = up.normal();
    MVector x(y.y, -y.x, 0.0);
    addRect(fList, center, y, x, scaleX, scaleY, filled, true);
}

void MUIDrawManager::sphere(const MPoint& center, double radius, bool filled)
{
    // Three great circles stand in for a sphere.
    for (const MVector& n : {MVector(1, 0, 0), MVector(0, 1, 0), MVector(0, 0, 1)}) circle(center, n, radius, false);
    (void)filled;
}

void MUIDrawManager::box(const MPoint& center, const MVector& up, const MVector& right, double scaleX, double scaleY,
                         double scaleZ, bool filled)
{
    MVector x = right.normal() * scaleX, y = up.normal() * scaleY, z = (right.normal() ^ up.normal()) * scaleZ;
    MPointArray c;
    for (int i = 0; i < 8; ++i)
        c.append(center + ((i & 1) ? x : -x) + ((i & 2) ? y : -y) + ((i & 4) ? z : -z));
    static const unsigned int edges[] = {0, 1, 1, 3, 3, 2, 2, 0, 4, 5, 5, 7, 7, 6, 6, 4, 0, 4, 1, 5, 2, 6, 3, 7};
    MPointArray lines;
    for (unsigned int e : edges) lines.append(c[e]);
    lineList(lines, false);
    (void)filled;
}

void MUIDrawManager::cone(const MPoint& base, const MVector& direction, double radius, double height, bool filled)
{
    circle(base, direction, radius, filled);
    MVector u, v;
    planeAxes(direction, u, v);
    MPoint tip = base + direction.normal() * height;
    MPointArray lines;
    for (const MVector& w : {u, v, -u, -v}) {
        lines.append(base + w * radius);
        lines.append(tip);
    }
    lineList(lines, false);
}

void MUIDrawManager::cylinder(const MPoint& center, const MVector& up, double radius, double height,
                              int subdivisionsAxis, bool filled)
{
    MVector h = up.normal() * (height * 0.5);
    circle(center - h, up, radius, subdivisionsAxis, filled);
    circle(center + h, up, radius, subdivisionsAxis, filled);
}

void MUIDrawManager::capsule(const MPoint& center, const MVector& up, double radius, double height,
                             int subdivisionsAxis, int subdivisionsHeight, bool filled)
{
    cylinder(center, up, radius, height, subdivisionsAxis, filled);
}

void MUIDrawManager::mesh(Primitive mode, const MPointArray& position, const MVectorArray* normal,
                          const MColorArray* color, const MUintArray* index, const MPointArray*)
{
    addMesh(fList, mode, position, normal, color, index, false);
}

void MUIDrawManager::mesh2d(Primitive mode, const MPointArray& position, const MColorArray* color,
                            const MUintArray* index, const MPointArray*)
{
    addMesh(fList, mode, position, nullptr, color, index, true);
}

// The renderer has no icon set.
void MUIDrawManager::icon(const MPoint&, const MString&, float) {}

unsigned int MUIDrawManager::depthPriority() const
{
    return fDepthPriority;
}

void MUIDrawManager::getFontList(MStringArray& list)
{
    list.clear();
}

unsigned int MUIDrawManager::getIconNames(MStringArray& names)
{
    names.clear();
    return 0;
}

} // namespace MHWRender
