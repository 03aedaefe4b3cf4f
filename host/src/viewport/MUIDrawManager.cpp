#include <maya/MUIDrawManager.h>

namespace MHWRender
{

// Batch mode runs no renderer, so no draw manager is ever handed out and the
// drawables below have no target; the renderer that consumes them comes with
// viewport drawing.

MUIDrawManager::MUIDrawManager() : fDepthPriority(0) {}

MUIDrawManager::~MUIDrawManager() = default;

void MUIDrawManager::beginDrawable(Selectability, unsigned int) {}
void MUIDrawManager::beginDrawable(unsigned int, bool) {}
void MUIDrawManager::endDrawable() {}
void MUIDrawManager::beginDrawInXray() {}
void MUIDrawManager::endDrawInXray() {}

void MUIDrawManager::setColor(const MColor&) {}
void MUIDrawManager::setColorIndex(const short) {}
void MUIDrawManager::setLineWidth(float) {}
void MUIDrawManager::setLineStyle(LineStyle) {}
void MUIDrawManager::setLineStyle(unsigned int, unsigned short) {}
void MUIDrawManager::setPaintStyle(PaintStyle) {}
void MUIDrawManager::setPointSize(float) {}

void MUIDrawManager::setDepthPriority(unsigned int priority)
{
    fDepthPriority = priority;
}

void MUIDrawManager::setFontSize(unsigned int) {}
void MUIDrawManager::setFontWeight(unsigned int) {}
void MUIDrawManager::setFontName(const MString&) {}
void MUIDrawManager::setFontIncline(int) {}
void MUIDrawManager::setFontLine(int) {}
void MUIDrawManager::setFontStretch(int) {}

void MUIDrawManager::text(const MPoint&, const MString&, TextAlignment, const int*, const MColor*, bool) {}
void MUIDrawManager::text2d(const MPoint&, const MString&, TextAlignment, const int*, const MColor*, bool) {}
void MUIDrawManager::line(const MPoint&, const MPoint&) {}
void MUIDrawManager::line2d(const MPoint&, const MPoint&) {}
void MUIDrawManager::lineList(const MPointArray&, bool) {}
void MUIDrawManager::lineStrip(const MPointArray&, bool) {}
void MUIDrawManager::point(const MPoint&) {}
void MUIDrawManager::point2d(const MPoint&) {}
void MUIDrawManager::points(const MPointArray&, bool) {}
void MUIDrawManager::circle(const MPoint&, const MVector&, double, bool) {}
void MUIDrawManager::circle(const MPoint&, const MVector&, double, unsigned int, bool) {}
void MUIDrawManager::circle2d(const MPoint&, double, bool) {}
void MUIDrawManager::circle2d(const MPoint&, double, unsigned int, bool) {}
void MUIDrawManager::arc(const MPoint&, const MVector&, const MVector&, const MVector&, double, bool) {}
void MUIDrawManager::arc2d(const MPoint&, const MVector&, const MVector&, double, bool) {}
void MUIDrawManager::rect(const MPoint&, const MVector&, const MVector&, double, double, bool) {}
void MUIDrawManager::rect2d(const MPoint&, const MVector&, double, double, bool) {}
void MUIDrawManager::sphere(const MPoint&, double, bool) {}
void MUIDrawManager::box(const MPoint&, const MVector&, const MVector&, double, double, double, bool) {}
void MUIDrawManager::cone(const MPoint&, const MVector&, double, double, bool) {}
void MUIDrawManager::cylinder(const MPoint&, const MVector&, double, double, bool) {}
void MUIDrawManager::capsule(const MPoint&, const MVector&, double, double, bool) {}
void MUIDrawManager::mesh(Primitive, const MPointArray&, const MVectorArray*, const MColorArray*, const MUintArray*,
                          const MPointArray*)
{
}
void MUIDrawManager::mesh2d(Primitive, const MPointArray&, const MColorArray*, const MUintArray*, const MPointArray*) {}
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
