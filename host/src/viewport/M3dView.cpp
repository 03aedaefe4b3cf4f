#include <maya/M3dView.h>
#include <maya/MDagPath.h>

#include "DisplayStatus.h"

// Batch mode has no 3D views: every view query fails with kFailure and
// refresh requests have nothing to refresh.

namespace
{

MStatus noView(MStatus* status)
{
    if (status) *status = MStatus::kFailure;
    return MStatus::kFailure;
}

} // namespace

M3dView::M3dView() : fViewIndex(-1) {}

M3dView::~M3dView() = default;

M3dView M3dView::active3dView(MStatus* ReturnStatus)
{
    noView(ReturnStatus);
    return M3dView();
}

unsigned int M3dView::numberOf3dViews()
{
    return 0;
}

MStatus M3dView::get3dView(const unsigned int index, M3dView& view)
{
    if (index >= numberOf3dViews()) return MStatus::kInvalidParameter;
    view = M3dView();
    return MStatus::kFailure;
}

MStatus M3dView::getM3dViewFromModelPanel(const MString&, M3dView&)
{
    return MStatus::kFailure;
}

MStatus M3dView::getM3dViewFromModelEditor(const MString&, M3dView&)
{
    return MStatus::kFailure;
}

void M3dView::scheduleRefreshAllViews() {}

M3dView::DisplayStatus M3dView::displayStatus(const MDagPath& path, MStatus* ReturnStatus)
{
    // Same values as the Viewport 2.0 display status.
    return static_cast<DisplayStatus>(host::displayStatusOf(path, ReturnStatus));
}

QWidget* M3dView::widget(MStatus* ReturnStatus) const
{
    noView(ReturnStatus);
    return nullptr;
}

int M3dView::portWidth(MStatus* ReturnStatus) const
{
    noView(ReturnStatus);
    return 0;
}

int M3dView::portHeight(MStatus* ReturnStatus) const
{
    noView(ReturnStatus);
    return 0;
}

bool M3dView::worldToView(const MPoint&, short& x_pos, short& y_pos, MStatus* ReturnStatus) const
{
    x_pos = y_pos = 0;
    noView(ReturnStatus);
    return false;
}

bool M3dView::worldToView(const MPoint&, short& x_pos, short& y_pos, bool* clipped, MStatus* ReturnStatus) const
{
    if (clipped) *clipped = true;
    return worldToView(MPoint(), x_pos, y_pos, ReturnStatus);
}

MStatus M3dView::viewToWorld(short, short, MPoint&, MVector&) const
{
    return MStatus::kFailure;
}

MStatus M3dView::viewToWorld(short, short, MPoint&, MPoint&) const
{
    return MStatus::kFailure;
}

MStatus M3dView::refresh(bool, bool)
{
    return MStatus::kFailure;
}

void M3dView::scheduleRefresh() {}

MStatus M3dView::getCamera(MDagPath&)
{
    return MStatus::kFailure;
}

MStatus M3dView::modelViewMatrix(MMatrix&) const
{
    return MStatus::kFailure;
}

MStatus M3dView::projectionMatrix(MMatrix&) const
{
    return MStatus::kFailure;
}

M3dView::DisplayStyle M3dView::displayStyle(MStatus* ReturnStatus) const
{
    noView(ReturnStatus);
    return kGouraudShaded;
}

unsigned int M3dView::objectDisplay(MStatus* ReturnStatus)
{
    noView(ReturnStatus);
    return 0;
}

MStatus M3dView::setObjectDisplay(DisplayObjects)
{
    return MStatus::kFailure;
}

bool M3dView::pluginObjectDisplay(const MString&, MStatus* ReturnStatus) const
{
    noView(ReturnStatus);
    return false;
}

MColor M3dView::colorAtIndex(unsigned int, ColorTable, MStatus* ReturnStatus)
{
    noView(ReturnStatus);
    return MColor();
}

void M3dView::drawText(const MString&, const MPoint, TextPosition) {}
