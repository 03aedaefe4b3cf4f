#ifndef HOST_VIEWPORT_UIDRAWLIST_H
#define HOST_VIEWPORT_UIDRAWLIST_H

// What an MUIDrawManager records between beginDrawable and endDrawable: simple
// drawables with the style in force when each was added. The renderer draws
// them after the render items.

#include <maya/MPoint.h>
#include <maya/MString.h>

#include <vector>

namespace host
{

struct UiDrawable
{
    enum Kind { kGeometry, kText };
    enum Shape { kPoints, kLines, kLineStrip, kLineLoop, kTriangles, kTriangleStrip };

    Kind kind = kGeometry;
    Shape shape = kLines;
    bool is2D = false;        // positions in viewport pixels (y up) instead of world space
    bool xray = false;        // drawn without the depth test
    bool lit = false;         // shaded paint style with normals
    bool selectable = false;  // opened as kSelectable or kAutomatic: drawn in the selection pass
    float color[4] = {1, 1, 1, 1};
    float lineWidth = 1.0f;
    float pointSize = 1.0f;
    unsigned int dashPattern = 0xFFFF;
    unsigned int depthPriority = 0;
    std::vector<float> positions;  // xyz
    std::vector<float> normals;    // xyz, or empty
    std::vector<float> colors;     // rgba per vertex, or empty

    // Text
    MPoint anchor;
    MString text;
    int alignment = 0;        // MUIDrawManager::TextAlignment
    int fontSize = 12;
    bool hasBox = false;
    int boxSize[2] = {0, 0};  // 0: fit the text
    float boxColor[4] = {0, 0, 0, 0};
};

struct UiDrawList
{
    std::vector<UiDrawable> drawables;
    // The style drawables take; beginDrawable resets it.
    UiDrawable style;
    int fontSize = 12;
    bool xray = false;

    void clear()
    {
        drawables.clear();
        style = UiDrawable();
        fontSize = 12;
        xray = false;
    }
};

} // namespace host

#endif
