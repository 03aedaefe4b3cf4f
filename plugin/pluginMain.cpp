// Entry points of the pellix module: registers its six node types, three viewport overrides
// and five commands in a fixed order, and at unload releases the module-wide state the
// subsystems built while running before removing everything again.

#include "hoverMarker/HoverMarkerDrawOverride.h"
#include "hoverMarker/HoverMarkerNode.h"
#include "hoverMarker/HoverMarkerState.h"
#include "overlay/OverlayCallbacks.h"
#include "overlay/OverlayNodeRegistry.h"
#include "overlay/PellixDataBindCommand.h"
#include "overlay/PellixPatchCreateCommand.h"
#include "overlay/PellixDataOverlay.h"
#include "overlay/PellixDataOverlayGeometryOverride.h"
#include "pins/SurfacePin.h"
#include "pins/SurfacePinBindCommand.h"
#include "pins/SurfaceUVPin.h"
#include "pins/SurfaceUVPinBindCommand.h"
#include "plugin/StatusCheck.h"
#include "plugin/ViewMouseSupport.h"
#include "shapeControl/ShapeControl.h"
#include "shapeControl/ShapeControlCreateCommand.h"
#include "shapeControl/ShapeControlDrawOverride.h"
#include "shapeControl/ShapeControlMouseFilter.h"
#include "shapeControl/ShapeControlRegistry.h"
#include "vertexWrap/VertexWrap.h"
#include "vertexWrap/VertexWrapCommand.h"

// Included in this one source file only: it defines the module's MApiVersion and signature.
#include <maya/MFnPlugin.h>

#include <maya/MDrawRegistry.h>
#include <maya/MGlobal.h>
#include <maya/MObject.h>
#include <maya/MString.h>

namespace {

const char* const kStatusSource = "pluginMain";

const char* const kVendor = "pellix";
const char* const kVersion = "2.0.0";
// Built when a main window exists (scripts/pellixCreateMenu.mel), removed before unload.
const char* const kCreateMenuProcedure = "pellixCreateMenu";
const char* const kDeleteMenuProcedure = "pellixDeleteMenu";

// Whether the menu's procedures can be found: its module puts them on MAYA_SCRIPT_PATH; the
// plug-in loaded by path alone has none.
bool menuProceduresFound()
{
    for (const char* procedure : {kCreateMenuProcedure, kDeleteMenuProcedure}) {
        int found = 0;
        if (!MGlobal::executeCommand(MString("exists ") + procedure, found) || !found)
            return false;
    }
    return true;
}

const MString kShapeControlClassification("drawdb/geometry/shapeControl");
const MString kShapeControlRegistrant("shapeControlPlugin");
const MString kOverlayClassification("drawdb/geometry/pellixDataOverlay");
const MString kOverlayRegistrant("pellixDataOverlayPlugin");
const MString kHoverMarkerClassification("drawdb/geometry/hoverMarker");
const MString kHoverMarkerRegistrant("hoverMarkerPlugin");

} // namespace

PLUGIN_EXPORT MStatus initializePlugin(MObject obj)
{
    MStatus status;
    MFnPlugin plugin(obj, kVendor, kVersion, "Any", &status);
    PELLIX_CHECK(status);

    // The first overlay installs the overlay's callbacks and mouse filter, and any shape
    // control the hover's filter, which the nodes themselves do not know.
    setOverlayCreatedCallback(installOverlayCallbacks);
    setShapeControlCreatedCallback(installShapeControlMouseFilter);

    // Stops at the first failure; what was registered before it stays registered.
    PELLIX_CHECK(plugin.registerNode(ShapeControl::typeName, ShapeControl::id, ShapeControl::creator,
                                     ShapeControl::initialize, MPxNode::kLocatorNode, &kShapeControlClassification));
    PELLIX_CHECK(MHWRender::MDrawRegistry::registerDrawOverrideCreator(
        kShapeControlClassification, kShapeControlRegistrant, ShapeControlDrawOverride::creator));
    PELLIX_CHECK(plugin.registerCommand(ShapeControlCreateCommand::commandName, ShapeControlCreateCommand::creator,
                                        ShapeControlCreateCommand::newSyntax));

    PELLIX_CHECK(plugin.registerNode(PellixDataOverlay::typeName, PellixDataOverlay::id, PellixDataOverlay::creator,
                                     PellixDataOverlay::initialize, MPxNode::kLocatorNode, &kOverlayClassification));
    PELLIX_CHECK(MHWRender::MDrawRegistry::registerGeometryOverrideCreator(
        kOverlayClassification, kOverlayRegistrant, PellixDataOverlayGeometryOverride::creator));
    PELLIX_CHECK(plugin.registerCommand(PellixDataBindCommand::commandName, PellixDataBindCommand::creator,
                                        PellixDataBindCommand::newSyntax));
    PELLIX_CHECK(plugin.registerCommand(PellixPatchCreateCommand::commandName, PellixPatchCreateCommand::creator,
                                        PellixPatchCreateCommand::newSyntax));

    PELLIX_CHECK(plugin.registerNode(HoverMarkerNode::typeName, HoverMarkerNode::id, HoverMarkerNode::creator,
                                     HoverMarkerNode::initialize, MPxNode::kLocatorNode,
                                     &kHoverMarkerClassification));
    PELLIX_CHECK(MHWRender::MDrawRegistry::registerDrawOverrideCreator(
        kHoverMarkerClassification, kHoverMarkerRegistrant, HoverMarkerDrawOverride::creator));

    PELLIX_CHECK(plugin.registerCommand(SurfacePinBindCommand::commandName, SurfacePinBindCommand::creator,
                                        SurfacePinBindCommand::newSyntax));
    PELLIX_CHECK(plugin.registerNode(SurfacePin::typeName, SurfacePin::id, SurfacePin::creator, SurfacePin::initialize,
                                     MPxNode::kDependNode));
    PELLIX_CHECK(plugin.registerCommand(SurfaceUVPinBindCommand::commandName, SurfaceUVPinBindCommand::creator,
                                        SurfaceUVPinBindCommand::newSyntax));
    PELLIX_CHECK(plugin.registerNode(SurfaceUVPin::typeName, SurfaceUVPin::id, SurfaceUVPin::creator,
                                     SurfaceUVPin::initialize, MPxNode::kDependNode));
    PELLIX_CHECK(plugin.registerCommand(VertexWrapCommand::commandName, VertexWrapCommand::creator,
                                        VertexWrapCommand::newSyntax));
    PELLIX_CHECK(plugin.registerNode(VertexWrap::typeName, VertexWrap::id, VertexWrap::creator, VertexWrap::initialize,
                                     MPxNode::kDeformerNode));

    installShapeControlMouseFilter();
    // The marker is one of our nodes, so it must leave the scene before the host's unload check.
    PELLIX_REPORT(installHoverMarkerUnloadCallback(plugin.name()));
    // The "Pellix" menu is a convenience over the commands: without it the plug-in still works,
    // so the load goes on without it, saying why where a window would show it.
    if (menuProceduresFound())
        PELLIX_REPORT(plugin.registerUI(kCreateMenuProcedure, kDeleteMenuProcedure));
    else if (MGlobal::mayaState() == MGlobal::kInteractive)
        MGlobal::displayWarning("pellix: no Pellix menu: its script pellixCreateMenu.mel is not on MAYA_SCRIPT_PATH.");
    return status;
}

PLUGIN_EXPORT MStatus uninitializePlugin(MObject obj)
{
    MStatus status;
    MFnPlugin plugin(obj, "Unknown", "Unknown", "Any", &status);
    PELLIX_CHECK(status);

    // Filters, callbacks and handles go first and cannot fail: nothing may call back into
    // the module once its types are gone.
    removeShapeControlMouseFilter();
    forgetCurrentToolContext();
    removeHoverMarkerUnloadCallback();
    setHoveredShapeControl(MObject::kNullObj, false);
    releaseOverlayCallbacks();
    if (activeShapeControlOverlayOwned) {
        setHoveredShapeControl(MObject::kNullObj, false);
    }

    PELLIX_CHECK(plugin.deregisterCommand(ShapeControlCreateCommand::commandName));
    PELLIX_CHECK(MHWRender::MDrawRegistry::deregisterDrawOverrideCreator(kShapeControlClassification,
                                                                         kShapeControlRegistrant));
    PELLIX_CHECK(plugin.deregisterNode(ShapeControl::id));

    PELLIX_CHECK(plugin.deregisterCommand(PellixPatchCreateCommand::commandName));
    PELLIX_CHECK(plugin.deregisterCommand(PellixDataBindCommand::commandName));
    PELLIX_CHECK(
        MHWRender::MDrawRegistry::deregisterGeometryOverrideCreator(kOverlayClassification, kOverlayRegistrant));
    PELLIX_CHECK(plugin.deregisterNode(PellixDataOverlay::id));

    releaseOverlayDepthStencilState();
    deleteHoverMarker();

    PELLIX_CHECK(MHWRender::MDrawRegistry::deregisterDrawOverrideCreator(kHoverMarkerClassification,
                                                                         kHoverMarkerRegistrant));
    PELLIX_CHECK(plugin.deregisterNode(HoverMarkerNode::id));

    PELLIX_CHECK(plugin.deregisterCommand(SurfacePinBindCommand::commandName));
    PELLIX_CHECK(plugin.deregisterNode(SurfacePin::id));
    PELLIX_CHECK(plugin.deregisterCommand(SurfaceUVPinBindCommand::commandName));
    PELLIX_CHECK(plugin.deregisterNode(SurfaceUVPin::id));
    PELLIX_CHECK(plugin.deregisterCommand(VertexWrapCommand::commandName));
    PELLIX_CHECK(plugin.deregisterNode(VertexWrap::id));
    return status;
}
