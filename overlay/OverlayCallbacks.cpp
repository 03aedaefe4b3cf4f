#include "overlay/OverlayCallbacks.h"

#include "overlay/DataOverlayMouseFilter.h"
#include "overlay/OverlayNodeRegistry.h"
#include "overlay/PatchHover.h"
#include "overlay/PatchSelectionSync.h"
#include "overlay/PellixDataOverlay.h"
#include "plugin/PlugQueries.h"
#include "plugin/StatusCheck.h"
#include "plugin/ViewMouseSupport.h"
#include "shapeControl/ShapeControlRegistry.h"

#include <maya/M3dView.h>
#include <maya/MDGMessage.h>
#include <maya/MEventMessage.h>
#include <maya/MFileIO.h>
#include <maya/MMessage.h>
#include <maya/MObjectArray.h>
#include <maya/MPlug.h>
#include <maya/MSceneMessage.h>

#include <QApplication>
#include <QObject>
#include <QWidget>


namespace {

const char* const kStatusSource = "overlayCallbacks";

// Every scene change after which the overlays in the scene may differ from the registry.
const MSceneMessage::Message kRegistryMessages[] = {
    MSceneMessage::kAfterNew,           MSceneMessage::kAfterOpen,          MSceneMessage::kAfterImport,
    MSceneMessage::kAfterReference,     MSceneMessage::kAfterLoadReference, MSceneMessage::kAfterUnloadReference,
    MSceneMessage::kAfterRemoveReference,
};

void removeCallback(MCallbackId& id)
{
    if (id != 0) {
        PELLIX_REPORT(MMessage::removeCallback(id));
        id = 0;
    }
}

void sceneChanged(void*)
{
    rebuildOverlayNodeRegistry();
}

// Scene files in flight make every node's state transient: nothing to redraw for yet.
bool isSceneFileBusy()
{
    return MFileIO::isReadingFile() || MFileIO::isOpeningFile() || MFileIO::isImportingFile() ||
           MFileIO::isReferencingFile() || MFileIO::isNewingFile();
}

// Live-drawn overlays follow time changes even when nothing upstream of them is animated.
void forcedUpdate(MTime&, void*)
{
    if (isSceneFileBusy()) {
        return;
    }
    const MObjectArray nodes = liveOverlayNodes();
    for (unsigned i = 0; i < nodes.length(); ++i) {
        if (!plugIsOn(nodes[i], PellixDataOverlay::enable) || !plugIsOn(nodes[i], PellixDataOverlay::liveDraw)) {
            continue;
        }
        if (PellixDataOverlay* overlay = PellixDataOverlay::fromObject(nodes[i])) {
            overlay->refreshLiveDraw();
        }
    }
}

void selectionChanged(void*)
{
    syncSelectedPatches();
}

// Installs the overlay mouse filter once, as the application's most recent filter, and
// lets every 3D view report mouse moves without a button held. Batch hosts have no
// QApplication and get no filter.
void installOverlayFilter()
{
    QApplication* application = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!application) {
        return;
    }
    if (!overlayFilter) {
        overlayFilter = createDataOverlayMouseFilter();
    }
    if (overlayFilterHost && overlayFilterHost != application) {
        overlayFilterHost->removeEventFilter(overlayFilter);
    }
    application->removeEventFilter(overlayFilter);
    application->installEventFilter(overlayFilter);
    overlayFilterHost = application;
    trackMouseInAllViews();
}

} // namespace

std::vector<MCallbackId> overlaySceneCallbacks;
MCallbackId overlayForceUpdateCallback = 0;
MCallbackId overlaySelectionCallback = 0;
QObject* overlayFilter = nullptr;
QObject* overlayFilterHost = nullptr;

void installOverlayCallbacks()
{
    MStatus status;
    if (overlaySceneCallbacks.empty()) {
        for (MSceneMessage::Message message : kRegistryMessages) {
            const MCallbackId id = MSceneMessage::addCallback(message, sceneChanged, nullptr, &status);
            if (status) {
                overlaySceneCallbacks.push_back(id);
            } else {
                PELLIX_REPORT(status);
            }
        }
    }
    if (overlayForceUpdateCallback == 0) {
        const MCallbackId id = MDGMessage::addForceUpdateCallback(forcedUpdate, nullptr, &status);
        if (status) {
            overlayForceUpdateCallback = id;
        } else {
            PELLIX_REPORT(status);
        }
    }
    if (overlaySelectionCallback == 0) {
        const MCallbackId id = MEventMessage::addEventCallback("SelectionChanged", selectionChanged, nullptr, &status);
        if (status) {
            overlaySelectionCallback = id;
        } else {
            PELLIX_REPORT(status);
        }
    }
    syncSelectedPatches();
    installOverlayFilter();
}

void resyncOverlayInteraction()
{
    clearAllHovers(liveOverlayNodes());
    if (activeShapeControlOverlayOwned) {
        setHoveredShapeControl(MObject::kNullObj, false);
    }
    syncSelectedPatches();
}

void releaseOverlayCallbacks()
{
    for (MCallbackId& id : overlaySceneCallbacks) {
        removeCallback(id);
    }
    overlaySceneCallbacks.clear();

    overlayNodeRegistry.clear();

    removeCallback(overlayForceUpdateCallback);
    removeCallback(overlaySelectionCallback);

    removeApplicationFilter(overlayFilter, overlayFilterHost);
}
