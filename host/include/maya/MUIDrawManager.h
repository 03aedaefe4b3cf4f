#ifndef MAYA_MUIDRAWMANAGER_H
#define MAYA_MUIDRAWMANAGER_H

#include <maya/MStatus.h>

namespace host { class HostDrawManager; struct RendererAccess; struct ShaderParameters; struct UiDrawList; }

namespace MHWRender
{

// Queues simple drawables (lines, text, circles, meshes, ...) for the frame
// being drawn. Only the renderer creates one and hands it to addUIDrawables.
class MUIDrawManager
{
public:
    enum FontSize { kDefaultFontSize = 12, kSmallFontSize = 9 };
    enum TextAlignment { kLeft, kCenter, kRight };
    enum TextIncline { kInclineNormal = 0, kInclineItalic = 1 };
    enum TextWeight { kWeightLight = 25, kWeightNormal = 50, kWeightDemiBold = 63, kWeightBold = 75, kWeightBlack = 87 };
    enum TextStretch {
        kStretchUltraCondensed = 50, kStretchExtraCondensed = 62, kStretchCondensed = 75, kStretchSemiCondensed = 87,
        kStretchUnstretched = 100, kStretchSemiExpanded = 112, kStretchExpanded = 125, kStretchExtraExpanded = 150,
        kStretchUltraExpanded = 200
    };
    enum TextLine { kLineNone = 0, kLineOverline = 1, kLineUnderline = 2, kLineStrikeoutLine = 3 };
    enum LineStyle { kSolid, kShortDotted, kShortDashed, kDashed, kDotted };
    enum PaintStyle { kFlat, kStippled, kShaded };
    enum Primitive { kPoints, kLines, kLineStrip, kClosedLine, kTriangles, kTriStrip };
    enum Selectability { kNonSelectable, kSelectable, kAutomatic };

    void beginDrawable(Selectability selectability = kAutomatic, unsigned int selectionName = 0);
    void beginDrawable(unsigned int name, bool nameIsPickable);
    void endDrawable();
    void beginDrawInXray();
    void endDrawInXray();

    void setColor(const MColor& color);
    void setColorIndex(const short index);
    void setLineWidth(float value);
    void setLineStyle(LineStyle style);
    void setLineStyle(unsigned int factor, unsigned short pattern);
    void setPaintStyle(PaintStyle style);
    void setPointSize(float value);
    void setDepthPriority(unsigned int priority);
    void setFontSize(unsigned int fontSize);
    void setFontWeight(const int fontWeight);
    void setFontName(const MString& faceName);
    void setFontIncline(int fontIncline);
    void setFontLine(int fontLine);
    void setFontStretch(int fontStretch);

    void text(const MPoint& position, const MString& text, TextAlignment alignment = kLeft,
              const int* backgroundSize = NULL, const MColor* backgroundColor = NULL, bool dynamic = false);
    void text2d(const MPoint& position, const MString& text, TextAlignment alignment = kLeft,
                const int* backgroundSize = NULL, const MColor* backgroundColor = NULL, bool dynamic = false);
    void line(const MPoint& startPoint, const MPoint& endPoint);
    void line2d(const MPoint& startPoint, const MPoint& endPoint);
    void lineList(const MPointArray& points, bool draw2D);
    void lineStrip(const MPointArray& points, bool draw2D);
    void point(const MPoint& point);
    void point2d(const MPoint& point);
    void points(const MPointArray& points, bool draw2D);
    void circle(const MPoint& center, const MVector& normal, double radius, bool filled = false);
    void circle(const MPoint& center, const MVector& normal, double radius, int numSubdivision, bool filled);
    void circle2d(const MPoint& center, double radius, bool filled = false);
    void circle2d(const MPoint& center, double radius, int numSubdivision, bool filled);
    void arc(const MPoint& center, const MVector& start, const MVector& end, const MVector& normal, double radius,
             bool filled = false);
    void arc2d(const MPoint& center, const MVector& start, const MVector& end, double radius, bool filled = false);
    void rect(const MPoint& center, const MVector& up, const MVector& normal, double scaleX, double scaleY,
              bool filled = false);
    void rect2d(const MPoint& center, const MVector& up, double scaleX, double scaleY, bool filled = false);
    void sphere(const MPoint& center, double radius, bool filled = false);
    void box(const MPoint& center, const MVector& up, const MVector& right, double scaleX = 1.0, double scaleY = 1.0,
             double scaleZ = 1.0, bool filled = false);
    void cone(const MPoint& base, const MVector& direction, double radius, double height, bool filled = false);
    void cylinder(const MPoint& center, const MVector& up, double radius, double height, int subdivisionsAxis,
                  bool filled = false);
    void capsule(const MPoint& center, const MVector& up, double radius, double height, int subdivisionsAxis,
                 int subdivisionsHeight, bool filled = false);
    void mesh(Primitive mode, const MPointArray& position, const MVectorArray* normal = NULL,
              const MColorArray* color = NULL, const MUintArray* index = NULL, const MPointArray* texcoord = NULL);
    void mesh2d(Primitive mode, const MPointArray& position, const MColorArray* color = NULL,
                const MUintArray* index = NULL, const MPointArray* texcoord = NULL);
    void icon(const MPoint& position, const MString& name, float scale);

    unsigned int depthPriority() const;
    static void getFontList(MStringArray& list);
    static unsigned int getIconNames(MStringArray& names);

protected:
    virtual ~MUIDrawManager();
    MUIDrawManager(const MUIDrawManager&) = delete;
    MUIDrawManager& operator=(const MUIDrawManager&) = delete;

    unsigned int fDepthPriority;

private:
    MUIDrawManager(void* data);
    friend struct host::RendererAccess;
    friend class host::HostDrawManager;
    host::UiDrawList* fList;
};

} // namespace MHWRender

#endif
