#include <maya/MFrameContext.h>
#include <maya/MDagPath.h>
#include <maya/MStringArray.h>

#include <limits>

namespace MHWRender
{

MFrameContext::MFrameContext()
    : fViewport{0, 0, 0, 0}, fDisplayStyle(kGouraudShaded), fLineWidth(1.0f), fDestination(k3dViewport)
{
}

MFrameContext::~MFrameContext() = default;

MMatrix MFrameContext::getMatrix(MatrixType mtype, MStatus* ReturnStatus) const
{
    // Types come in groups of four: the matrix, its transpose, inverse and inverse transpose.
    int group = int(mtype) / 4;
    int variant = int(mtype) % 4;
    if (mtype < kWorldMtx || mtype > kWorldViewProjTranspInverseMtx) {
        if (ReturnStatus) *ReturnStatus = MStatus::kInvalidParameter;
        return MMatrix();
    }
    MMatrix m;
    switch (group) {
    case 0: m = fWorld; break;
    case 1: m = fView; break;
    case 2: m = fProjection; break;
    case 3: m = fView * fProjection; break;
    case 4: m = fWorld * fView; break;
    default: m = fWorld * fView * fProjection; break;
    }
    if (variant == 1) m = m.transpose();
    else if (variant == 2) m = m.inverse();
    else if (variant == 3) m = m.inverse().transpose();
    if (ReturnStatus) *ReturnStatus = MStatus::kSuccess;
    return m;
}

MStatus MFrameContext::getViewportDimensions(int& originX, int& originY, int& width, int& height) const
{
    originX = fViewport[0];
    originY = fViewport[1];
    width = fViewport[2];
    height = fViewport[3];
    return MStatus::kSuccess;
}

MDagPath MFrameContext::getCurrentCameraPath(MStatus* ReturnStatus) const
{
    // The view's camera; a bare off-screen frame has none.
    if (ReturnStatus) *ReturnStatus = fCameraPath.isValid() ? MStatus::kSuccess : MStatus::kFailure;
    return fCameraPath;
}

unsigned int MFrameContext::getDisplayStyle() const
{
    return fDisplayStyle;
}

MFrameContext::LightingMode MFrameContext::getLightingMode() const
{
    return kLightDefault;
}

float MFrameContext::getGlobalLineWidth() const
{
    return fLineWidth;
}

// A point on the eye plane, or any point of an empty viewport, has no position on screen:
// both coordinates come back NaN.
void MFrameContext::worldToViewport(const MPoint& inPoint, double& x_pos, double& y_pos) const
{
    MPoint clip = inPoint * (fView * fProjection);
    if (clip.w == 0.0 || fViewport[2] <= 0 || fViewport[3] <= 0) {
        x_pos = y_pos = std::numeric_limits<double>::quiet_NaN();
        return;
    }
    double ndcX = clip.x / clip.w, ndcY = clip.y / clip.w;
    x_pos = fViewport[0] + 0.5 * (ndcX + 1.0) * fViewport[2];
    y_pos = fViewport[1] + 0.5 * (ndcY + 1.0) * fViewport[3];
}

// An empty viewport has no rays: both points come back NaN.
void MFrameContext::viewportToWorld(double x_pos, double y_pos, MPoint& nearClipPt, MPoint& farClipPt) const
{
    if (fViewport[2] <= 0 || fViewport[3] <= 0) {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        nearClipPt = farClipPt = MPoint(nan, nan, nan);
        return;
    }
    MMatrix inverse = (fView * fProjection).inverse();
    double ndcX = 2.0 * (x_pos - fViewport[0]) / fViewport[2] - 1.0;
    double ndcY = 2.0 * (y_pos - fViewport[1]) / fViewport[3] - 1.0;
    nearClipPt = (MPoint(ndcX, ndcY, -1.0) * inverse).cartesianize();
    farClipPt = (MPoint(ndcX, ndcY, 1.0) * inverse).cartesianize();
}

MFrameContext::RenderingDestination MFrameContext::renderingDestination(MString& destinationName) const
{
    destinationName = fDestinationName;
    return fDestination;
}

MUint64 MFrameContext::objectTypeExclusions() const
{
    return 0;
}

void MFrameContext::classificationExclusions(MStringArray& classificationExclusions) const
{
    classificationExclusions.clear();
}

bool MFrameContext::inUserInteraction()
{
    return false;
}

bool MFrameContext::userChangingViewContext()
{
    return false;
}

MFrameContext::WireOnShadedMode MFrameContext::wireOnShadedMode()
{
    return kWireframeOnShadedNone;
}

bool MFrameContext::shadeTemplates()
{
    return false;
}

} // namespace MHWRender
