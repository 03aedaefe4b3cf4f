#include "overlay/OverlayVisibility.h"

#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MDagPathArray.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MPlug.h>

namespace {

bool showsPluginLocators(M3dView& view)
{
    MStatus status;
    const unsigned shown = view.objectDisplay(&status);
    if (!status || shown == static_cast<unsigned>(M3dView::kDisplayEverything)) {
        return true;
    }
    return (shown & M3dView::kExcludePluginShapes) == 0 && (shown & M3dView::kDisplayLocators) != 0;
}

// Whether a drawing override (its own, or a display layer's that it follows) shows `node` as a
// reference.
bool drawnAsReference(const MObject& node)
{
    MStatus status;
    const MFnDependencyNode fn(node, &status);
    if (!status) {
        return false;
    }
    const MPlug enabled = fn.findPlug("overrideEnabled", true, &status);
    if (!status || !enabled.asBool()) {
        return false;
    }
    const MPlug displayType = fn.findPlug("overrideDisplayType", true, &status);
    return status && displayType.asInt() == 2;
}

bool isDrawnPickable(const MDagPath& path)
{
    MStatus status;
    if (!path.isVisible(&status) || !status || path.isTemplated(&status) || !status) {
        return false;
    }
    // The shape, then each parent up to the world.
    MDagPath walk(path);
    while (walk.length() > 0) {
        if (drawnAsReference(walk.node())) {
            return false;
        }
        if (!walk.pop()) {
            break;
        }
    }
    return true;
}

} // namespace

bool isOverlayDrawnIn(M3dView& view, const MObject& node)
{
    if (!showsPluginLocators(view)) {
        return false;
    }
    MDagPathArray paths;
    if (!MDagPath::getAllPathsTo(node, paths)) {
        return false;
    }
    for (unsigned i = 0; i < paths.length(); ++i) {
        if (isDrawnPickable(paths[i])) {
            return true;
        }
    }
    return false;
}
