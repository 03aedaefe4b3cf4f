#include "hoverMarker/HoverMarkerState.h"

#include "hoverMarker/HoverMarkerNode.h"

#include <maya/M3dView.h>
#include <maya/MCallbackIdArray.h>
#include <maya/MDagModifier.h>
#include <maya/MDagPath.h>
#include <maya/MFn.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MMessage.h>
#include <maya/MPlug.h>
#include <maya/MSceneMessage.h>
#include <maya/MSelectionList.h>
#include <maya/MStatus.h>
#include <maya/MStringArray.h>
#include <maya/MViewport2Renderer.h>

HoverMarkerState hoverMarkerState;
MObjectHandle hoverMarkerNode;
std::mutex hoverMarkerMutex;

const char* const kHoverMarkerTransformName = "hoverMarkerNode";
const char* const kHoverMarkerShapeName = "hoverMarkerNodeShape";

namespace {

MCallbackId unloadCallbackId = 0;
MString unloadingPluginName;

// The reference display type of a DAG node's drawing overrides.
const int kReferenceDisplayType = 2;

MObject liveMarkerObject()
{
    if (hoverMarkerNode.isValid() && hoverMarkerNode.isAlive()) {
        return hoverMarkerNode.object();
    }
    return MObject::kNullObj;
}

void rememberMarker(const MObject& marker)
{
    std::lock_guard<std::mutex> lock(hoverMarkerMutex);
    hoverMarkerNode = marker.isNull() ? MObjectHandle() : MObjectHandle(marker);
}

void redrawMarker(const MObject& marker)
{
    MHWRender::MRenderer::setGeometryDrawDirty(marker, false);
    M3dView::scheduleRefreshAllViews();
}

// The plug-in's marker known by its name, when one is in the scene.
MObject ownedMarkerByName()
{
    MSelectionList list;
    if (!list.add(MString(kHoverMarkerShapeName))) {
        return MObject::kNullObj;
    }
    MDagPath path;
    if (!list.getDagPath(0, path)) {
        return MObject::kNullObj;
    }
    MStatus status;
    const MObject node = path.node(&status);
    if (!status || !isOwnedHoverMarker(node)) {
        return MObject::kNullObj;
    }
    return node;
}

// Deletes an owned marker together with its transform. Silent: a marker that cannot be deleted
// is left to the scene.
void deleteMarkerTransform(const MObject& marker)
{
    if (!isOwnedHoverMarker(marker)) {
        return;
    }
    MDagPath path;
    if (!MDagPath::getAPathTo(marker, path)) {
        return;
    }
    if (path.length() > 0 && !path.pop()) {
        return;
    }
    if (!path.isValid()) {
        return;
    }
    MDagModifier modifier;
    if (modifier.deleteNode(path.node())) {
        modifier.doIt();
    }
}

bool setPlug(const MFnDependencyNode& node, const char* name, int value, bool isBool)
{
    MStatus status;
    MPlug plug = node.findPlug(MString(name), true, &status);
    if (!status || plug.isNull()) {
        return false;
    }
    return static_cast<bool>(isBool ? plug.setBool(value != 0) : plug.setInt(value));
}

// Makes a new marker, or undoes every step when one fails.
MObject createMarker()
{
    MDagModifier modifier;
    MStatus status;
    const MObject transform = modifier.createNode(HoverMarkerNode::typeName, MObject::kNullObj, &status);
    if (!status || transform.isNull() || !modifier.doIt()) {
        return MObject::kNullObj;
    }
    MFnDagNode transformFn(transform, &status);
    if (!status || transformFn.childCount() == 0) {
        modifier.undoIt();
        return MObject::kNullObj;
    }

    transformFn.setName(MString(kHoverMarkerTransformName), false, &status);
    bool ready = status && transformFn.setDoNotWrite(true) &&
                 setPlug(transformFn, "hiddenInOutliner", 1, true) && setPlug(transformFn, "overrideEnabled", 1, true) &&
                 setPlug(transformFn, "overrideDisplayType", kReferenceDisplayType, false);

    const MObject shape = ready ? transformFn.child(0, &status) : MObject::kNullObj;
    ready = ready && status && isHoverMarkerNode(shape);
    if (ready) {
        MFnDependencyNode shapeFn(shape, &status);
        ready = status;
        if (ready) {
            shapeFn.setName(MString(kHoverMarkerShapeName), false, &status);
            ready = status && shapeFn.setDoNotWrite(true);
        }
    }
    if (!ready || !isOwnedHoverMarker(shape)) {
        modifier.undoIt();
        return MObject::kNullObj;
    }
    return shape;
}

void beforePluginUnload(const MStringArray& strings, void*)
{
    if (strings.length() == 0 || strings[0] != unloadingPluginName) {
        return;
    }
    // The host refuses to unload a plug-in while nodes of its types exist, and the marker is one.
    deleteHoverMarker();
    // A marker of ours whose handle was lost (adopted by name on the next show) blocks unload too.
    deleteMarkerTransform(ownedMarkerByName());
}

} // namespace

bool isHoverMarkerNode(const MObject& node)
{
    if (node.isNull() || !node.hasFn(MFn::kDagNode)) {
        return false;
    }
    MStatus status;
    MFnDependencyNode fn(node, &status);
    return status && fn.typeId() == HoverMarkerNode::id;
}

bool isOwnedHoverMarker(const MObject& node)
{
    if (!isHoverMarkerNode(node)) {
        return false;
    }
    MStatus status;
    MFnDependencyNode shape(node, &status);
    if (!status || shape.canBeWritten()) {
        return false;
    }
    MDagPath path;
    if (!MDagPath::getAPathTo(node, path) || !path.pop() || !path.isValid()) {
        return false;
    }
    const MObject transform = path.node(&status);
    if (!status) {
        return false;
    }
    MFnDependencyNode parent(transform, &status);
    return status && !parent.canBeWritten();
}

MObject currentHoverMarker()
{
    MObject marker;
    {
        std::lock_guard<std::mutex> lock(hoverMarkerMutex);
        marker = liveMarkerObject();
    }
    return isOwnedHoverMarker(marker) ? marker : MObject::kNullObj;
}

MObject getOrCreateHoverMarker()
{
    MObject known;
    {
        std::lock_guard<std::mutex> lock(hoverMarkerMutex);
        known = liveMarkerObject();
    }
    if (!known.isNull()) {
        if (isOwnedHoverMarker(known)) {
            return known;
        }
        rememberMarker(MObject::kNullObj);
    }

    MObject marker = ownedMarkerByName();
    if (marker.isNull()) {
        marker = createMarker();
    }
    if (!marker.isNull()) {
        rememberMarker(marker);
    }
    return marker;
}

void showHoverMarker(const MPoint& position, const MVector& normal, const MColor& color)
{
    {
        std::lock_guard<std::mutex> lock(hoverMarkerMutex);
        hoverMarkerState.visible = true;
        hoverMarkerState.position = position;
        hoverMarkerState.normal = normal;
        hoverMarkerState.screenRadius = 16.0;
        hoverMarkerState.color = color;
        hoverMarkerState.lineWidth = 1.5f;
    }
    const MObject marker = getOrCreateHoverMarker();
    if (!marker.isNull()) {
        redrawMarker(marker);
    }
}

void hideHoverMarker()
{
    MObject marker;
    {
        std::lock_guard<std::mutex> lock(hoverMarkerMutex);
        if (!hoverMarkerState.visible) {
            return;
        }
        hoverMarkerState.visible = false;
        marker = liveMarkerObject();
    }
    if (isOwnedHoverMarker(marker)) {
        redrawMarker(marker);
    }
}

void deleteHoverMarker()
{
    MObject marker;
    {
        std::lock_guard<std::mutex> lock(hoverMarkerMutex);
        hoverMarkerState.visible = false;
        marker = liveMarkerObject();
        hoverMarkerNode = MObjectHandle();
    }
    // The scene change runs outside the lock: draw threads only ever copy the state.
    deleteMarkerTransform(marker);
}

MStatus installHoverMarkerUnloadCallback(const MString& pluginName)
{
    if (unloadCallbackId != 0) {
        return MS::kSuccess;
    }
    unloadingPluginName = pluginName;
    MStatus status;
    const MCallbackId id =
        MSceneMessage::addStringArrayCallback(MSceneMessage::kBeforePluginUnload, beforePluginUnload, nullptr, &status);
    unloadCallbackId = status ? id : 0;
    return status;
}

void removeHoverMarkerUnloadCallback()
{
    if (unloadCallbackId != 0) {
        MMessage::removeCallback(unloadCallbackId);
        unloadCallbackId = 0;
    }
}
