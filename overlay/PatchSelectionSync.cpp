#include "overlay/PatchSelectionSync.h"

#include "overlay/OverlayNodeRegistry.h"
#include "overlay/PellixDataOverlay.h"
#include "plugin/StatusCheck.h"

#include <maya/M3dView.h>
#include <maya/MFn.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnIntArrayData.h>
#include <maya/MGlobal.h>
#include <maya/MObjectArray.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MSelectionList.h>
#include <maya/MViewport2Renderer.h>

#include <algorithm>
#include <vector>

namespace {

const char* const kStatusSource = "patchSelectionSync";

// Adds the patches of `overlay` below `patchCount` that `node` feeds through any of its plugs:
// as their source mesh, and as their control when `asControl`.
void addPatchesFedBy(const MObject& node, const MObject& overlay, unsigned patchCount, bool asControl,
                     std::vector<int>& patches)
{
    MStatus status;
    const MFnDependencyNode fn(node, &status);
    MPlugArray plugs;
    if (!status || !fn.getConnections(plugs)) {
        return;
    }
    for (unsigned i = 0; i < plugs.length(); ++i) {
        MPlugArray destinations;
        if (!plugs[i].connectedTo(destinations, false, true)) {
            continue;
        }
        for (unsigned d = 0; d < destinations.length(); ++d) {
            const MPlug& destination = destinations[d];
            if (!destination.isElement() || destination.node() != overlay) {
                continue;
            }
            const MObject attribute = destination.attribute();
            const unsigned index = destination.logicalIndex();
            if (index < patchCount && (attribute == PellixDataOverlay::patchSourceMeshes ||
                                       (asControl && attribute == PellixDataOverlay::patchControl))) {
                patches.push_back(static_cast<int>(index));
            }
        }
    }
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

    // Walks out from the selected nodes (and the children of selected transforms, for a patch
    // mesh picked by its transform) rather than over every patch: a selection change costs what
    // the selection holds, whatever the number of patches.
    std::vector<int> found;
    for (unsigned i = 0; i < selection.length(); ++i) {
        MObject item;
        if (!selection.getDependNode(i, item) || item.isNull()) {
            continue;
        }
        addPatchesFedBy(item, node, vertexCounts.length(), true, found);
        if (!item.hasFn(MFn::kDagNode)) {
            continue;
        }
        MStatus status;
        const MFnDagNode dag(item, &status);
        const unsigned children = status ? dag.childCount() : 0u;
        for (unsigned c = 0; c < children; ++c) {
            addPatchesFedBy(dag.child(c), node, vertexCounts.length(), false, found);
        }
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    for (const int patch : found) {
        patches.append(patch);
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
