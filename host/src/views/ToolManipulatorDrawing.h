#pragma once
// The move, rotate and scale tools' manipulators as the views draw them: at
// the pivot of each selected transform, in axis colours (X red, Y green,
// Z blue), a constant size on screen from the manipulator preferences
// (MFnManip3D), oriented by the context's -mode.

#include "viewport/FrameRenderer.h"
#include "views/ToolContexts.h"

#include <maya/MDagPath.h>
#include <maya/MPoint.h>
#include <maya/MVector.h>

#include <vector>

namespace host {

// Where one manipulator of the current tool sits: at a selected transform's
// pivot (scale pivot for the scale tool, else rotate pivot) with its three
// axes in world space (unit length) for the context's mode.
struct ManipulatorPlacement
{
    MDagPath transform;
    MPoint pivot;
    MVector axes[3];
};

// The manipulators the current tool shows (none for the select tool, a
// hidden manipulator or an empty selection), with the tool's kind.
bool currentManipulatorPlacements(ManipKind& kind, std::vector<ManipulatorPlacement>& placements);

// World units per logical pixel at a world point (0 when it is behind the camera).
double worldUnitsPerPixel(const ViewSetup& view, const MPoint& world);

// The overlay source the views draw with (see setOverlaySource).
void toolManipulatorLines(const ViewSetup& view, std::vector<OverlayLines>& lines);

} // namespace host
