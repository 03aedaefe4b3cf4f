#pragma once
// The move, rotate and scale tools' manipulators as the views draw them: at
// the pivot of each selected transform, in axis colours (X red, Y green,
// Z blue), a constant size on screen from the manipulator preferences
// (MFnManip3D), oriented by the context's -mode.

#include "viewport/FrameRenderer.h"

#include <vector>

namespace host {

// The overlay source the views draw with (see setOverlaySource).
void toolManipulatorLines(const ViewSetup& view, std::vector<OverlayLines>& lines);

} // namespace host
