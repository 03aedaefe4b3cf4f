#include "overlay/OverlayIsolate.h"

#include "hoverMarker/HoverMarkerState.h"
#include "overlay/PellixDataOverlay.h"
#include "plugin/StatusCheck.h"

#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MDagPathArray.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnSet.h>
#include <maya/MGlobal.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MStringArray.h>

#include <algorithm>
#include <chrono>

namespace {

const char* const kStatusSource = "overlayIsolate";

constexpr int64_t kIsolateQueryInterval = 100 * 1000 * 1000;  // 100 ms in nanoseconds

// The overlay behind a node, for its change counters; null for any other node.
const PellixDataOverlay* overlayOf(const MObject& node)
{
    MStatus status;
    MFnDependencyNode fn(node, &status);
    if (!status || fn.typeName() != "pellixDataOverlay") {
        return nullptr;
    }
    return static_cast<const PellixDataOverlay*>(fn.userNode());
}

uint32_t elementCount(const MFnDependencyNode& fn, const char* arrayName)
{
    MStatus status;
    const MPlug array = fn.findPlug(arrayName, true, &status);
    if (!status || array.isNull()) {
        return 0;
    }
    const unsigned count = array.numElements(&status);
    return status ? count : 0;
}

void appendDagSources(const MPlug& plug, std::vector<MObjectHandle>& objects)
{
    MStatus status;
    MPlugArray sources;
    if (!plug.connectedTo(sources, true, false, &status) || !status) {
        return;
    }
    for (unsigned i = 0; i < sources.length(); ++i) {
        const MObject source = sources[i].node();
        if (source.isNull() || !source.hasFn(MFn::kDagNode)) {
            continue;
        }
        if (std::find(objects.begin(), objects.end(), MObjectHandle(source)) == objects.end()) {
            objects.push_back(MObjectHandle(source));
        }
    }
}

void appendElementSources(const MFnDependencyNode& fn, const char* arrayName, std::vector<MObjectHandle>& objects)
{
    MStatus status;
    const MPlug array = fn.findPlug(arrayName, true, &status);
    if (!status || array.isNull()) {
        return;
    }
    const unsigned count = array.numElements(&status);
    for (unsigned i = 0; status && i < count; ++i) {
        MStatus elementStatus;
        const MPlug element = array.elementByPhysicalIndex(i, &elementStatus);
        if (elementStatus) {
            appendDagSources(element, objects);
        }
    }
}

// The model panel whose view draws into `widget`, or an empty name.
MString panelOfWidget(QWidget* widget)
{
    MStringArray panels;
    if (!MGlobal::executeCommand("getPanel -type \"modelPanel\"", panels)) {
        return MString();
    }
    for (unsigned i = 0; i < panels.length(); ++i) {
        M3dView view;
        if (!M3dView::getM3dViewFromModelPanel(panels[i], view)) {
            continue;
        }
        MStatus status;
        if (view.widget(&status) == widget && status) {
            return panels[i];
        }
    }
    return MString();
}

// The object set a panel isolates through, or the null object when it isolates nothing.
MObject queryIsolateSet(const MString& panelName)
{
    MString setName;
    if (!MGlobal::executeCommand("isolateSelect -query -viewObjects " + panelName, setName) ||
        setName.length() == 0) {
        return MObject::kNullObj;
    }
    MSelectionList found;
    MObject set;
    if (!found.add(setName) || found.length() == 0 || !found.getDependNode(0, set) || !set.hasFn(MFn::kSet)) {
        return MObject::kNullObj;
    }
    return set;
}

void updateIsolatePanel(const MString& panelName)
{
    // A panel gone meanwhile has nothing left to update.
    MGlobal::executeCommand("isolateSelect -update " + panelName);
}

} // namespace

bool isUnderIsolateMembers(const MSelectionList& members, const MObject& object)
{
    if (object.isNull() || !object.hasFn(MFn::kDagNode)) {
        return false;
    }
    MStatus status;
    MFnDagNode dagNode(object, &status);
    MDagPathArray paths;
    if (!status || !dagNode.getAllPaths(paths)) {
        return false;
    }
    std::vector<MDagPath> memberPaths;
    for (unsigned m = 0; m < members.length(); ++m) {
        MDagPath memberPath;
        if (members.getDagPath(m, memberPath)) {
            memberPaths.push_back(memberPath);
        }
    }
    for (unsigned p = 0; p < paths.length(); ++p) {
        MDagPath path = paths[p];
        while (path.isValid() && path.length() > 0) {
            if (std::find(memberPaths.begin(), memberPaths.end(), path) != memberPaths.end()) {
                return true;
            }
            if (!path.pop()) {
                break;
            }
        }
    }
    return false;
}

bool setIsolateMembership(const MObject& set, const MObject& object, bool wanted)
{
    if (set.isNull() || object.isNull() || !object.hasFn(MFn::kDagNode)) {
        return false;
    }
    MDagPath path;
    if (!MDagPath::getAPathTo(object, path)) {
        return false;
    }
    if (!object.hasFn(MFn::kTransform) && !path.pop()) {
        return false;
    }
    if (!path.isValid() || path.length() == 0 || !path.node().hasFn(MFn::kTransform)) {
        return false;
    }
    MStatus status;
    MFnSet fnSet(set, &status);
    if (!status) {
        return false;
    }
    const bool member = fnSet.isMember(path, MObject::kNullObj, &status);
    if (!status || member == wanted) {
        return false;
    }
    status = wanted ? fnSet.addMember(path) : fnSet.removeMember(path, MObject::kNullObj);
    PELLIX_REPORT(status);
    return bool(status);
}

int64_t OverlayIsolateGate::steadyNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool OverlayIsolateGate::syncIsolateForView(QWidget* widget, const MObject& node)
{
    isolateSetCurrent_ = MObjectHandle();
    isolatePanel_.clear();
    isolateMembers_.clear();

    PanelCacheEntry& entry = panelCache_[widget];
    if (entry.panelName.length() == 0) {
        if (widget == nullptr) {
            return true;
        }
        entry.panelName = panelOfWidget(widget);
        if (entry.panelName.length() == 0) {
            return true;
        }
    }

    const int64_t now = clock_();
    if (!entry.valid || now - entry.refreshTime >= kIsolateQueryInterval) {
        entry.isolateSet = queryIsolateSet(entry.panelName);
        entry.refreshTime = now;
        entry.valid = true;
    }
    if (!entry.isolateSet.isValid() || !entry.isolateSet.isAlive()) {
        return true;
    }
    const MObject setObject = entry.isolateSet.object();
    MStatus status;
    MFnSet set(setObject, &status);
    if (!status) {
        return true;
    }

    refreshRelatedObjects(node);
    MSelectionList members;
    if (!set.getMembers(members, false)) {
        return true;
    }
    const std::vector<MObjectHandle>& related = relatedCache_.relatedObjects;
    const bool visible = isolatedByUser(setObject, members, node) ||
                         std::any_of(related.begin(), related.end(), [&members](const MObjectHandle& object) {
                             return object.isValid() && object.isAlive() &&
                                    isUnderIsolateMembers(members, object.object());
                         });

    const bool nodeChanged = setIsolateMembership(setObject, node, visible);
    if (nodeChanged) {
        noteAddedByGate(setObject, node, visible);
    }
    bool changed = nodeChanged;
    const bool markerWanted = noteVisibleOverlay(entry.panelName, node, visible);
    const MObject marker = currentHoverMarker();
    if (!marker.isNull()) {
        changed = setIsolateMembership(setObject, marker, markerWanted) || changed;
    }
    if (changed) {
        updateIsolatePanel(entry.panelName);
    }
    if (visible) {
        isolateSetCurrent_ = entry.isolateSet;
        isolatePanel_ = entry.panelName;
        isolateMembers_ = members;
    }
    return visible;
}

void OverlayIsolateGate::forgetPanel(QWidget* widget)
{
    panelCache_.erase(widget);
}

bool OverlayIsolateGate::hasCurrentIsolate() const
{
    return isolateSetCurrent_.isValid() && isolateSetCurrent_.isAlive() && isolatePanel_.length() != 0;
}

void OverlayIsolateGate::keepMarkerIsolated()
{
    if (!hasCurrentIsolate()) {
        return;
    }
    const MObject marker = currentHoverMarker();
    if (!marker.isNull() && setIsolateMembership(isolateSetCurrent_.object(), marker, true)) {
        updateIsolatePanel(isolatePanel_);
    }
}

bool OverlayIsolateGate::noteVisibleOverlay(const MString& panelName, const MObject& node, bool visible)
{
    visibleOverlays_.erase(std::remove_if(visibleOverlays_.begin(), visibleOverlays_.end(),
                                          [&](const std::pair<MString, MObjectHandle>& seen) {
                                              return !seen.second.isValid() || !seen.second.isAlive() ||
                                                     (seen.first == panelName && seen.second == node);
                                          }),
                           visibleOverlays_.end());
    if (visible) {
        visibleOverlays_.emplace_back(panelName, MObjectHandle(node));
        return true;
    }
    return std::any_of(visibleOverlays_.begin(), visibleOverlays_.end(),
                       [&](const std::pair<MString, MObjectHandle>& seen) { return seen.first == panelName; });
}

bool OverlayIsolateGate::isolatedByUser(const MObject& set, const MSelectionList& members, const MObject& node)
{
    if (!isUnderIsolateMembers(members, node)) {
        // Whatever this gate added is gone: the user reloaded or edited the set.
        noteAddedByGate(set, node, false);
        return false;
    }
    if (!addedByGate(set, node)) {
        return true;
    }
    // The transform this gate added does not count: some other member must hold the overlay.
    MDagPath added;
    if (!MDagPath::getAPathTo(node, added) || (!node.hasFn(MFn::kTransform) && !added.pop())) {
        return false;
    }
    MSelectionList others;
    for (unsigned m = 0; m < members.length(); ++m) {
        MDagPath member;
        if (members.getDagPath(m, member) && !(member == added)) {
            others.add(member);
        }
    }
    return isUnderIsolateMembers(others, node);
}

bool OverlayIsolateGate::addedByGate(const MObject& set, const MObject& node) const
{
    return std::any_of(addedOverlays_.begin(), addedOverlays_.end(),
                       [&](const std::pair<MObjectHandle, MObjectHandle>& added) {
                           return added.first.isAlive() && added.first.object() == set && added.second.isAlive() &&
                                  added.second.object() == node;
                       });
}

void OverlayIsolateGate::noteAddedByGate(const MObject& set, const MObject& node, bool added)
{
    addedOverlays_.erase(std::remove_if(addedOverlays_.begin(), addedOverlays_.end(),
                                        [&](const std::pair<MObjectHandle, MObjectHandle>& seen) {
                                            return !seen.first.isAlive() || !seen.second.isAlive() ||
                                                   (seen.first.object() == set && seen.second.object() == node);
                                        }),
                         addedOverlays_.end());
    if (added) {
        addedOverlays_.emplace_back(MObjectHandle(set), MObjectHandle(node));
    }
}

void OverlayIsolateGate::refreshRelatedObjects(const MObject& node)
{
    MStatus status;
    MFnDependencyNode fn(node, &status);
    if (!status) {
        relatedCache_ = RelatedCache();
        return;
    }
    const PellixDataOverlay* overlay = overlayOf(node);
    const uint64_t topology = overlay != nullptr ? overlay->topologyCounter() : 0;
    const uint64_t geometry = overlay != nullptr ? overlay->geometryCounter() : 0;
    const uint32_t controls = elementCount(fn, "patchControl");
    const uint32_t tracked = elementCount(fn, "trackedShapeControls");
    RelatedCache& cache = relatedCache_;
    if (cache.node.isValid() && cache.node == node && cache.topologyCounter == topology &&
        cache.geometryCounter == geometry && cache.patchControlCount == controls &&
        cache.trackedShapeControlCount == tracked) {
        return;
    }

    cache.node = MObjectHandle(node);
    cache.topologyCounter = topology;
    cache.geometryCounter = geometry;
    cache.patchControlCount = controls;
    cache.trackedShapeControlCount = tracked;
    cache.relatedObjects.clear();
    const MPlug inMesh = fn.findPlug("inMesh", true, &status);
    if (status && !inMesh.isNull()) {
        appendDagSources(inMesh, cache.relatedObjects);
    }
    for (const char* array : {"patchSourceMeshes", "patchControl", "trackedShapeControls"}) {
        appendElementSources(fn, array, cache.relatedObjects);
    }
}
