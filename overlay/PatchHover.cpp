#include "overlay/PatchHover.h"

#include "hoverMarker/HoverMarkerState.h"
#include "overlay/PellixDataOverlay.h"
#include "plugin/StatusCheck.h"

#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MGlobal.h>
#include <maya/MPlug.h>
#include <maya/MSelectionList.h>
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

MGlobal::ListAdjustment listAdjustment(int mode)
{
    switch (mode) {
    case kSelectToggle:
        return MGlobal::kXORWithList;
    case kSelectAdd:
        return MGlobal::kAddToList;
    case kSelectRemove:
        return MGlobal::kRemoveFromList;
    default:
        return MGlobal::kReplaceList;
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
    MSelectionList list;
    MDagPath path;
    const bool byPath = object.hasFn(MFn::kDagNode) && MDagPath::getAPathTo(object, path) && path.isValid();
    MStatus status = byPath ? list.add(path) : list.add(object);
    if (status) {
        status = MGlobal::setActiveSelectionList(list, listAdjustment(mode));
    }
    PELLIX_REPORT(status);
    return status == MStatus::kSuccess;
}

bool selectPatchTarget(const MObject& node, int patch, int mode)
{
    if (patch < 0) {
        return false;
    }
    const unsigned index = static_cast<unsigned>(patch);
    const MObject control = PellixDataOverlay::connectedSource(node, PellixDataOverlay::patchControl, index);
    if (!control.isNull() && selectObject(control, mode)) {
        return true;
    }
    const MObject source = PellixDataOverlay::connectedSource(node, PellixDataOverlay::patchSourceMeshes, index);
    if (source.isNull()) {
        return false;
    }
    MDagPath path;
    if (source.hasFn(MFn::kDagNode) && MDagPath::getAPathTo(source, path) && path.length() > 0 && path.pop() &&
        path.isValid() && path.node().hasFn(MFn::kTransform)) {
        return selectObject(path.node(), mode);
    }
    return selectObject(source, mode);
}
