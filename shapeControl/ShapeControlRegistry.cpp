#include "shapeControl/ShapeControlRegistry.h"

#include <maya/M3dView.h>
#include <maya/MViewport2Renderer.h>

namespace {

// Live nodes; main thread only.
int liveControlCount = 0;

void (*shapeControlCreatedCallback)() = nullptr;

void markControlDirty(const MObject& node)
{
    MHWRender::MRenderer::setGeometryDrawDirty(node, true);
}

} // namespace

MObjectHandle activeShapeControl;
bool activeShapeControlOverlayOwned = false;

void registerShapeControl()
{
    ++liveControlCount;
}

int unregisterShapeControl()
{
    --liveControlCount;
    if (liveControlCount == 0) {
        setHoveredShapeControl(MObject::kNullObj, false);
    }
    return liveControlCount;
}

int liveShapeControlCount()
{
    return liveControlCount;
}

void setShapeControlCreatedCallback(void (*callback)())
{
    shapeControlCreatedCallback = callback;
}

void shapeControlCreated()
{
    if (shapeControlCreatedCallback) {
        shapeControlCreatedCallback();
    }
}

void setHoveredShapeControl(const MObject& node, bool overlayOwned)
{
    if (activeShapeControl.isValid() && activeShapeControl.isAlive() && !activeShapeControl.object().isNull()) {
        if (activeShapeControl.object() == node) {
            activeShapeControlOverlayOwned = overlayOwned;
            return;
        }
        markControlDirty(activeShapeControl.object());
    } else if (node.isNull()) {
        // A deleted control is forgotten too: undoing the delete must not bring its hover back.
        activeShapeControl = MObjectHandle();
        activeShapeControlOverlayOwned = false;
        return;
    }

    activeShapeControl = node.isNull() ? MObjectHandle() : MObjectHandle(node);
    activeShapeControlOverlayOwned = !node.isNull() && overlayOwned;
    if (!node.isNull()) {
        markControlDirty(node);
    }
    M3dView::scheduleRefreshAllViews();
}
