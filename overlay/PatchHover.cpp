#include "overlay/PatchHover.h"

#include "hoverMarker/HoverMarkerState.h"
#include "overlay/PellixDataOverlay.h"
#include "plugin/StatusCheck.h"

#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MPlug.h>
#include <maya/MString.h>
#include <maya/MViewport2Renderer.h>

namespace {

const char* const kStatusSource = "patchHover";

// The hovered patch as stored; −1 when it cannot be read.
int storedHoveredPatch(const MObject& node)
{
    MStatus status;
    const int hovered = MPlug(node, PellixDataOverlay::hoveredPatch).asInt(&status);
    return status ? hovered : -1;
}

// The "select" flag of a click's mode.
const char* selectFlag(int mode)
{
    switch (mode) {
    case kSelectToggle:
        return "-tgl";
    case kSelectAdd:
        return "-add";
    case kSelectRemove:
        return "-d";
    default:
        return "-r";
    }
}

} // namespace

void setHoveredPatch(const MObject& node, int index)
{
    if (index < 0) {
        hideHoverMarker();
    }
    MPlug plug(node, PellixDataOverlay::hoveredPatch);
    MStatus status;
    const int stored = plug.asInt(&status);
    if (status && stored == index) {
        return;
    }
    status = plug.setInt(index);
    if (!status) {
        PELLIX_REPORT(status);
        return;
    }
    MHWRender::MRenderer::setGeometryDrawDirty(node, true);
    M3dView::scheduleRefreshAllViews();
}

void clearAllHovers(const MObjectArray& nodes)
{
    for (unsigned i = 0; i < nodes.length(); ++i) {
        if (storedHoveredPatch(nodes[i]) >= 0) {
            setHoveredPatch(nodes[i], -1);
        }
    }
    hideHoverMarker();
}

bool selectObject(const MObject& object, int mode)
{
    if (object.isNull()) {
        return false;
    }
    MStatus status;
    MString name;
    MDagPath path;
    if (object.hasFn(MFn::kDagNode) && MDagPath::getAPathTo(object, path) && path.isValid()) {
        name = path.fullPathName(&status);
    } else {
        name = MFnDependencyNode(object, &status).name(&status);
    }
    if (!status || name.length() == 0) {
        return false;
    }
    // A click is an undoable selection, as it is everywhere else in the views: the "select"
    // command, recorded for undo.
    const MString command = MString("select ") + selectFlag(mode) + " \"" + name + "\"";
    status = MGlobal::executeCommand(command, false, true);
    PELLIX_REPORT(status);
    return status == MStatus::kSuccess;
}

bool selectPatchTarget(const MObject& node, int patch, int mode)
{
    if (patch < 0) {
        return false;
    }
    return selectObject(patchControlOf(node, patch), mode);
}

MObject patchControlOf(const MObject& node, int patch)
{
    if (patch < 0) {
        return MObject::kNullObj;
    }
    return PellixDataOverlay::connectedSource(node, PellixDataOverlay::patchControl, static_cast<unsigned>(patch));
}
