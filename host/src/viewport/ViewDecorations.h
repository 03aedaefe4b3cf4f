#ifndef HOST_VIEWPORT_VIEWDECORATIONS_H
#define HOST_VIEWPORT_VIEWDECORATIONS_H

// What a model panel shows besides the scene, as Maya draws it by default: the
// gradient background, the ground grid (`grid`, `modelEditor -grid`), the view
// axis in the lower left corner and the camera's name at the bottom. The up axis
// (`upAxis`) decides the ground plane.

#include "viewport/FrameRenderer.h"

#include <vector>

namespace host
{

class GlDevice;

// `grid`: lines every spacing / divisions units out to +-size on the ground plane,
// heavier every `spacing`, the axes through the origin darker. Maya's defaults.
struct GridSettings
{
    bool shown = true;
    double size = 12.0;     // centimetres
    double spacing = 5.0;   // centimetres
    int divisions = 5;
    bool axes = true;
    bool gridLines = true;
    bool divisionLines = true;
    bool axesBold = true;
};
GridSettings& gridSettings();

// `displayPref -displayGradient`: the background runs from dark at the bottom to a
// blue grey at the top; off, it is flat grey. `toggleAxis -view`: the view axis.
struct ViewPreferences
{
    bool gradient = true;
    bool viewAxis = true;
};
ViewPreferences& viewPreferences();

// 'y' (the default) or 'z'.
char upAxis();
void setUpAxis(char axis);

// The grid's segments for a view, in world space, as end-point pairs: division lines,
// grid lines and the two axes. Perspective views get the ground plane; orthographic
// ones the grid plane facing them (top: XZ, front: XY, side: YZ with a Y up axis).
struct GridLines
{
    std::vector<float> divisions, lines, axes;
};
GridLines groundGridLines(const ViewSetup& view);

// Drawn by renderFrame for views with decorations: the background before the
// scene, the grid next (depth-tested, under what the scene draws), the view axis
// and the camera's name over everything.
void drawViewBackground(GlDevice& device, const ViewSetup& view);
void drawGroundGrid(GlDevice& device, const ViewSetup& view);
void drawViewHud(GlDevice& device, const ViewSetup& view);

} // namespace host

#endif
