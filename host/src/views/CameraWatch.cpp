#include "views/CameraWatch.h"

#include <maya/MCallbackIdArray.h>
#include <maya/MDGMessage.h>
#include <maya/MDagMessage.h>
#include <maya/MDGModifier.h>
#include <maya/MMessage.h>
#include <maya/MNodeMessage.h>
#include <maya/MObjectHandle.h>
#include <maya/MPlug.h>
#include <maya/MSceneMessage.h>

#include <vector>

namespace host {

namespace {

constexpr unsigned kWatchedPanels = 4;

struct PanelWatch
{
    std::vector<MObjectHandle> nodes;  // camera shape first, then its ancestors
    std::vector<MCallbackId> callbacks;
};

struct WatchState
{
    std::uint64_t generation = 1;
    bool started = false;
    std::vector<MCallbackId> sceneCallbacks;
    PanelWatch panels[kWatchedPanels];
};

WatchState& watchState()
{
    static WatchState state;
    return state;
}

void changed(void*)
{
    ++watchState().generation;
}

void nodeChanged(MObject&, void*)
{
    changed(nullptr);
}

void plugDirtied(MObject&, MPlug&, void*)
{
    changed(nullptr);
}

void nameChanged(MObject&, const MString&, void*)
{
    changed(nullptr);
}

void aboutToDelete(MObject&, MDGModifier&, void*)
{
    changed(nullptr);
}

void dagChanged(MDagMessage::DagMessage, MDagPath&, MDagPath&, void*)
{
    changed(nullptr);
}

void forget(PanelWatch& watch)
{
    // Callbacks of deleted nodes are gone already; removing them again only fails.
    for (MCallbackId id : watch.callbacks)
        MMessage::removeCallback(id);
    watch.callbacks.clear();
    watch.nodes.clear();
}

std::vector<MObjectHandle> nodesOnPath(const MDagPath& cameraShape)
{
    std::vector<MObjectHandle> nodes;
    MDagPath path = cameraShape;
    while (path.isValid() && path.length() > 0) {
        nodes.emplace_back(path.node());
        if (!path.pop())
            break;
    }
    return nodes;
}

bool sameNodes(const std::vector<MObjectHandle>& a, const std::vector<MObjectHandle>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!a[i].isAlive() || !(a[i] == b[i]))
            return false;
    return true;
}

} // namespace

std::uint64_t cameraGeneration()
{
    return watchState().generation;
}

void noteCameraChange()
{
    changed(nullptr);
}

void startCameraWatch()
{
    WatchState& state = watchState();
    if (state.started)
        return;
    state.started = true;
    std::vector<MCallbackId>& ids = state.sceneCallbacks;
    ids.push_back(MDGMessage::addNodeAddedCallback(&nodeChanged));
    ids.push_back(MDGMessage::addNodeRemovedCallback(&nodeChanged));
    for (MDagMessage::DagMessage message : {MDagMessage::kParentAdded, MDagMessage::kParentRemoved,
                                            MDagMessage::kInstanceAdded, MDagMessage::kInstanceRemoved})
        ids.push_back(MDagMessage::addDagCallback(message, &dagChanged));
    for (MSceneMessage::Message message : {MSceneMessage::kBeforeNew, MSceneMessage::kAfterNew,
                                           MSceneMessage::kBeforeOpen, MSceneMessage::kAfterOpen,
                                           MSceneMessage::kAfterImport})
        ids.push_back(MSceneMessage::addCallback(message, &changed));
    changed(nullptr);
}

void stopCameraWatch()
{
    WatchState& state = watchState();
    if (!state.started)
        return;
    for (MCallbackId id : state.sceneCallbacks)
        MMessage::removeCallback(id);
    state.sceneCallbacks.clear();
    for (PanelWatch& watch : state.panels)
        forget(watch);
    state.started = false;
    changed(nullptr);
}

void watchPanelCamera(unsigned int panel, const MDagPath& cameraShape)
{
    WatchState& state = watchState();
    if (panel >= kWatchedPanels || !state.started)
        return;
    PanelWatch& watch = state.panels[panel];
    std::vector<MObjectHandle> nodes = nodesOnPath(cameraShape);
    if (sameNodes(nodes, watch.nodes))
        return;
    forget(watch);
    for (const MObjectHandle& handle : nodes) {
        MObject node = handle.object();
        watch.callbacks.push_back(MNodeMessage::addNodeDirtyPlugCallback(node, &plugDirtied));
        watch.callbacks.push_back(MNodeMessage::addNameChangedCallback(node, &nameChanged));
        watch.callbacks.push_back(MNodeMessage::addNodeAboutToDeleteCallback(node, &aboutToDelete));
    }
    watch.nodes = std::move(nodes);
}

} // namespace host
