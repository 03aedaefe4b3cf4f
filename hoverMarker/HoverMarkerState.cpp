#include "hoverMarker/HoverMarkerState.h"

#include "hoverMarker/HoverMarkerNode.h"

#include <maya/MDagModifier.h>
#include <maya/MDagPath.h>
#include <maya/MFn.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MStatus.h>

HoverMarkerState hoverMarkerState;
MObjectHandle hoverMarkerNode;
std::mutex hoverMarkerMutex;

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
    MFnDependencyNode shape(node);
    if (shape.canBeWritten()) {
        return false;
    }
    MDagPath path;
    if (!MDagPath::getAPathTo(node, path) || !path.pop() || !path.isValid()) {
        return false;
    }
    const MObject transform = path.node();
    MFnDependencyNode parent(transform);
    return !parent.canBeWritten();
}

void deleteHoverMarker()
{
    MObject marker;
    {
        std::lock_guard<std::mutex> lock(hoverMarkerMutex);
        hoverMarkerState.visible = false;
        if (hoverMarkerNode.isValid() && hoverMarkerNode.isAlive()) {
            marker = hoverMarkerNode.object();
        }
        hoverMarkerNode = MObjectHandle();
    }
    // The scene change runs outside the lock: draw threads only ever copy the state.
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
    // Silent by design: a marker that cannot be deleted is left to the scene.
    MDagModifier modifier;
    if (modifier.deleteNode(path.node())) {
        modifier.doIt();
    }
}
