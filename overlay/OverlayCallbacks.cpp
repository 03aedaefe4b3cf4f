#include "overlay/OverlayCallbacks.h"

#include "plugin/StatusCheck.h"

#include <maya/MMessage.h>

#include <QObject>

namespace {

const char* const kStatusSource = "overlayCallbacks";

void removeCallback(MCallbackId& id)
{
    if (id != 0) {
        PELLIX_REPORT(MMessage::removeCallback(id));
        id = 0;
    }
}

} // namespace

std::vector<MObjectHandle> overlayNodeRegistry;
std::vector<MCallbackId> overlaySceneCallbacks;
MCallbackId overlayForceUpdateCallback = 0;
MCallbackId overlaySelectionCallback = 0;
QObject* overlayFilter = nullptr;
QObject* overlayFilterHost = nullptr;

void releaseOverlayCallbacks()
{
    for (MCallbackId& id : overlaySceneCallbacks) {
        removeCallback(id);
    }
    overlaySceneCallbacks.clear();

    overlayNodeRegistry.clear();

    removeCallback(overlayForceUpdateCallback);
    removeCallback(overlaySelectionCallback);

    if (overlayFilterHost && overlayFilter) {
        overlayFilterHost->removeEventFilter(overlayFilter);
    }
    overlayFilterHost = nullptr;
    delete overlayFilter;
    overlayFilter = nullptr;
}
