#include <maya/M3dView.h>
#include <maya/MDagPath.h>

#include "DisplayStatus.h"
#include "views/CameraView.h"
#include "views/Views.h"

#include <cmath>
#include <limits>

// A view is one of the model panels, by index. Batch mode has no views: every
// view query fails with kFailure and refresh requests have nothing to refresh.

namespace
{

MStatus report(MStatus* status, MStatus value)
{
    if (status) *status = value;
    return value;
}

short toShort(double value)
{
    const double rounded = std::floor(value + 0.5);
    if (!(rounded >= std::numeric_limits<short>::min())) return std::numeric_limits<short>::min();
    if (rounded > std::numeric_limits<short>::max()) return std::numeric_limits<short>::max();
    return static_cast<short>(rounded);
}

// MFrameContext display-style bits to M3dView's single style.
M3dView::DisplayStyle viewStyleOf(unsigned int style)
{
    using MHWRender::MFrameContext;
    if (style & MFrameContext::kBoundingBox) return M3dView::kBoundingBox;
    if (style & (MFrameContext::kGouraudShaded | MFrameContext::kFlatShaded))
        return style & MFrameContext::kFlatShaded ? M3dView::kFlatShaded : M3dView::kGouraudShaded;
    if (style & MFrameContext::kWireFrame) return M3dView::kWireFrame;
    return M3dView::kGouraudShaded;
}

} // namespace

M3dView::M3dView() : fViewIndex(-1) {}

M3dView::~M3dView() = default;

M3dView M3dView::active3dView(MStatus* ReturnStatus)
{
    M3dView view;
    if (host::panelCount() == 0) {
        report(ReturnStatus, MStatus::kFailure);
        return view;
    }
    view.fViewIndex = static_cast<int>(host::activePanel());
    report(ReturnStatus, MStatus::kSuccess);
    return view;
}

unsigned int M3dView::numberOf3dViews()
{
    return host::panelCount();
}

MStatus M3dView::get3dView(const unsigned int index, M3dView& view)
{
    if (index >= numberOf3dViews()) return MStatus::kInvalidParameter;
    view = M3dView();
    view.fViewIndex = static_cast<int>(index);
    return MStatus::kSuccess;
}

MStatus M3dView::getM3dViewFromModelPanel(const MString& modelPaneName, M3dView& view)
{
    const int index = host::panelIndex(modelPaneName);
    if (index < 0) return MStatus::kFailure;
    view = M3dView();
    view.fViewIndex = index;
    return MStatus::kSuccess;
}

MStatus M3dView::getM3dViewFromModelEditor(const MString& modelEditorName, M3dView& view)
{
    // Each model panel's editor has the panel's name.
    return getM3dViewFromModelPanel(modelEditorName, view);
}

void M3dView::scheduleRefreshAllViews()
{
    host::scheduleRefreshAll();
}

M3dView::DisplayStatus M3dView::displayStatus(const MDagPath& path, MStatus* ReturnStatus)
{
    // Same values as the Viewport 2.0 display status.
    return static_cast<DisplayStatus>(host::displayStatusOf(path, ReturnStatus));
}

QWidget* M3dView::widget(MStatus* ReturnStatus) const
{
    QWidget* widget = fViewIndex >= 0 ? host::panelWidget(static_cast<unsigned>(fViewIndex)) : nullptr;
    report(ReturnStatus, widget ? MStatus::kSuccess : MStatus::kFailure);
    return widget;
}

int M3dView::portWidth(MStatus* ReturnStatus)
{
    int width = 0, height = 0;
    if (fViewIndex >= 0) host::panelPortSize(static_cast<unsigned>(fViewIndex), width, height);
    report(ReturnStatus, width > 0 ? MStatus::kSuccess : MStatus::kFailure);
    return width;
}

int M3dView::portHeight(MStatus* ReturnStatus)
{
    int width = 0, height = 0;
    if (fViewIndex >= 0) host::panelPortSize(static_cast<unsigned>(fViewIndex), width, height);
    report(ReturnStatus, height > 0 ? MStatus::kSuccess : MStatus::kFailure);
    return height;
}

bool M3dView::worldToView(const MPoint& worldPt, short& x_pos, short& y_pos, MStatus* ReturnStatus) const
{
    x_pos = y_pos = 0;
    if (fViewIndex < 0 || host::panelCount() == 0) {
        report(ReturnStatus, MStatus::kFailure);
        return false;
    }
    const host::ViewSetup* setup = host::panelCameraView(static_cast<unsigned>(fViewIndex));
    if (!setup) {
        report(ReturnStatus, MStatus::kFailure);
        return false;
    }
    double x = 0.0, y = 0.0;
    const bool inside = host::worldToPort(*setup, worldPt, x, y);
    x_pos = toShort(x);
    y_pos = toShort(y);
    report(ReturnStatus, MStatus::kSuccess);
    return inside;
}

MStatus M3dView::viewToWorld(short x_pos, short y_pos, MPoint& worldPt, MVector& worldVector) const
{
    MPoint farPt;
    MStatus status = viewToWorld(x_pos, y_pos, worldPt, farPt);
    if (!status) return status;
    worldVector = farPt - worldPt;
    worldVector.normalize();
    return MStatus::kSuccess;
}

MStatus M3dView::viewToWorld(short x_pos, short y_pos, MPoint& nearClipPt, MPoint& farClipPt) const
{
    if (fViewIndex < 0 || host::panelCount() == 0) return MStatus::kFailure;
    return host::panelPortToWorld(static_cast<unsigned>(fViewIndex), x_pos, y_pos, nearClipPt, farClipPt);
}

MStatus M3dView::refresh(bool all, bool)
{
    if (fViewIndex < 0 || host::panelCount() == 0) return MStatus::kFailure;
    if (all) {
        for (unsigned i = 0; i < host::panelCount(); ++i) host::refreshNow(i);
    } else {
        host::refreshNow(static_cast<unsigned>(fViewIndex));
    }
    return MStatus::kSuccess;
}

void M3dView::scheduleRefresh()
{
    if (fViewIndex >= 0) host::scheduleRefresh(static_cast<unsigned>(fViewIndex));
}

MStatus M3dView::getCamera(MDagPath& camera)
{
    if (fViewIndex < 0 || host::panelCount() == 0) return MStatus::kFailure;
    MDagPath path = host::panelCamera(static_cast<unsigned>(fViewIndex));
    if (!path.isValid()) return MStatus::kFailure;
    camera = path;
    return MStatus::kSuccess;
}

MStatus M3dView::modelViewMatrix(MMatrix& modelView) const
{
    if (fViewIndex < 0 || host::panelCount() == 0) return MStatus::kFailure;
    const host::ViewSetup* setup = host::panelCameraView(static_cast<unsigned>(fViewIndex));
    if (!setup) return MStatus::kFailure;
    modelView = setup->view;
    return MStatus::kSuccess;
}

MStatus M3dView::projectionMatrix(MMatrix& projection) const
{
    if (fViewIndex < 0 || host::panelCount() == 0) return MStatus::kFailure;
    const host::ViewSetup* setup = host::panelCameraView(static_cast<unsigned>(fViewIndex));
    if (!setup) return MStatus::kFailure;
    projection = setup->projection;
    return MStatus::kSuccess;
}

M3dView::DisplayStyle M3dView::displayStyle(MStatus* ReturnStatus) const
{
    if (fViewIndex < 0 || host::panelCount() == 0) {
        report(ReturnStatus, MStatus::kFailure);
        return kGouraudShaded;
    }
    report(ReturnStatus, MStatus::kSuccess);
    return viewStyleOf(host::panelDisplayStyle(static_cast<unsigned>(fViewIndex)));
}

unsigned int M3dView::objectDisplay(MStatus* ReturnStatus)
{
    if (fViewIndex < 0 || host::panelCount() == 0) {
        report(ReturnStatus, MStatus::kFailure);
        return 0;
    }
    report(ReturnStatus, MStatus::kSuccess);
    return host::panelObjectDisplay(static_cast<unsigned>(fViewIndex));
}

MStatus M3dView::setObjectDisplay(unsigned int displayMask)
{
    if (fViewIndex < 0 || host::panelCount() == 0) return MStatus::kFailure;
    host::setPanelObjectDisplay(static_cast<unsigned>(fViewIndex), displayMask);
    return MStatus::kSuccess;
}

bool M3dView::pluginObjectDisplay(const MString&, MStatus* ReturnStatus)
{
    // Every plug-in display filter is on in the host's views.
    const bool hasView = fViewIndex >= 0 && host::panelCount() > 0;
    report(ReturnStatus, hasView ? MStatus::kSuccess : MStatus::kFailure);
    return hasView;
}

MColor M3dView::colorAtIndex(unsigned int, ColorTable, MStatus* ReturnStatus)
{
    report(ReturnStatus, MStatus::kFailure);
    return MColor();
}

void M3dView::drawText(const MString&, const MPoint, TextPosition) {}
