#pragma once
// The nodes every Maya scene has that keep lists rather than draw anything:
// "lightLinker" (light and shadow links and ignores), "displayLayerManager" and
// "renderLayerManager" (the current layer and the layers' ids), "renderLayer",
// "shapeEditorManager" and "poseInterpolatorManager". Modelled with the
// attributes scene files set and connect, so that a scene the host saved reads
// back without stand-ins; statements naming other attributes are kept as text.

#include <maya/MStatus.h>

namespace host {

MStatus registerSceneManagerNodeTypes();

} // namespace host
