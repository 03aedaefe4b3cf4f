#include "overlay/PatchSelectionSync.h"

#include "overlay/OverlayNodeRegistry.h"
#include "overlay/PellixDataOverlay.h"
#include "plugin/StatusCheck.h"

#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MFnIntArrayData.h>
#include <maya/MGlobal.h>
#include <maya/MObjectArray.h>
#include <maya/MPlug.h>
#include <maya/MSelectionList.h>
#include <maya/MViewport2Renderer.h>

namespace {

const char* const kStatusSource = "patchSelectionSync";

bool isSelected(const MObjectArray& selected, const MObject& node)
{
    if (node.isNull()) {
        return false;
    }
    for (unsigned i = 0; i < selected.length(); ++i) {
        if (selected[i] == node) {
            return true;
        }
    }
    return false;
}

// The transform directly above a DAG node, or the null object.
MObject transformAbove(const MObject& node)
{
    if (!node.hasFn(MFn::kDagNode)) {
        return MObject::kNullObj;
    }
    MDagPath path;
    if (!MDagPath::getAPathTo(node, path) || path.length() < 1 || !path.pop()) {
        return MObject::kNullObj;
    }
    return path.node();
}

bool sameEntries(const MIntArray& a, const MIntArray& b)
{
    if (a.length() != b.length()) {
        return false;
    }
    for (unsigned i = 0; i < a.length(); ++i) {
        if (a[i] != b[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

MIntArray patchesInSelection(const MObject& node)
{
    MIntArray patches;
    MSelectionList selection;
    if (!MGlobal::getActiveSelectionList(selection) || selection.length() == 0) {
        return patches;
    }
    MIntArray vertexCounts;
    if (!PellixDataOverlay::readIntArray(node, PellixDataOverlay::patchVertexCounts, vertexCounts)) {
        return patches;
    }

    // Selected dependency nodes, read once rather than once per patch.
    MObjectArray selected;
    for (unsigned i = 0; i < selection.length(); ++i) {
        MObject item;
        if (selection.getDependNode(i, item) && !item.isNull()) {
            selected.append(item);
        }
    }

    for (unsigned p = 0; p < vertexCounts.length(); ++p) {
        if (isSelected(selected, PellixDataOverlay::connectedSource(node, PellixDataOverlay::patchControl, p))) {
            patches.append(static_cast<int>(p));
            continue;
        }
        const MObject source = PellixDataOverlay::connectedSource(node, PellixDataOverlay::patchSourceMeshes, p);
        if (source.isNull()) {
            continue;
        }
        if (isSelected(selected, source) || isSelected(selected, transformAbove(source))) {
            patches.append(static_cast<int>(p));
        }
    }
    return patches;
}

void syncSelectedPatches()
{
    const MObjectArray nodes = liveOverlayNodes();
    for (unsigned i = 0; i < nodes.length(); ++i) {
        const MObject& node = nodes[i];
        const MIntArray wanted = patchesInSelection(node);
        MIntArray stored;
        if (!PellixDataOverlay::readIntArray(node, PellixDataOverlay::selectedPatches, stored)) {
            stored.clear();
        }
        if (sameEntries(wanted, stored)) {
            continue;
        }

        MStatus status;
        MFnIntArrayData data;
        const MObject value = data.create(wanted, &status);
        if (!status) {
            PELLIX_REPORT(status);
            continue;
        }
        MPlug plug(node, PellixDataOverlay::selectedPatches);
        status = plug.setMObject(value);
        if (!status) {
            PELLIX_REPORT(status);
            continue;
        }
        MHWRender::MRenderer::setGeometryDrawDirty(node, true);
        M3dView::scheduleRefreshAllViews();
    }
}
