#include "overlay/OverlayNodeRegistry.h"

#include "plugin/StatusCheck.h"

#include <maya/MFnDependencyNode.h>
#include <maya/MItDependencyNodes.h>
#include <maya/MTypeId.h>

#include <algorithm>

namespace {

const char* const kStatusSource = "overlayNodeRegistry";

void (*overlayCreatedCallback)() = nullptr;

bool isStale(const MObjectHandle& handle)
{
    return !handle.isValid() || !handle.isAlive() || handle.object().isNull();
}

} // namespace

std::vector<MObjectHandle> overlayNodeRegistry;

void registerOverlayNode(const MObject& node)
{
    if (node.isNull()) {
        return;
    }
    const bool known = std::any_of(overlayNodeRegistry.begin(), overlayNodeRegistry.end(),
                                   [&node](const MObjectHandle& handle) {
                                       return handle.isAlive() && handle == node;
                                   });
    if (!known) {
        overlayNodeRegistry.emplace_back(node);
    }
}

void registerCreatedOverlayNode(const MObject& node)
{
    registerOverlayNode(node);
    if (overlayCreatedCallback) {
        overlayCreatedCallback();
    }
}

void setOverlayCreatedCallback(void (*callback)())
{
    overlayCreatedCallback = callback;
}

void unregisterOverlayNode(const MObjectHandle& node)
{
    overlayNodeRegistry.erase(std::remove_if(overlayNodeRegistry.begin(), overlayNodeRegistry.end(),
                                             [&node](const MObjectHandle& handle) {
                                                 return isStale(handle) || handle == node;
                                             }),
                              overlayNodeRegistry.end());
}

void rebuildOverlayNodeRegistry()
{
    overlayNodeRegistry.clear();
    const MTypeId overlayType(kPellixDataOverlayTypeId);
    MStatus status;
    for (MItDependencyNodes it(MFn::kInvalid, &status); status && !it.isDone(); it.next()) {
        const MObject node = it.thisNode();
        MFnDependencyNode fn(node, &status);
        if (status && fn.typeId() == overlayType) {
            registerOverlayNode(node);
        }
    }
    PELLIX_REPORT(status);
}

MObjectArray liveOverlayNodes()
{
    overlayNodeRegistry.erase(std::remove_if(overlayNodeRegistry.begin(), overlayNodeRegistry.end(), isStale),
                              overlayNodeRegistry.end());
    if (overlayNodeRegistry.empty()) {
        rebuildOverlayNodeRegistry();
    }
    MObjectArray nodes;
    for (const MObjectHandle& handle : overlayNodeRegistry) {
        nodes.append(handle.object());
    }
    return nodes;
}
