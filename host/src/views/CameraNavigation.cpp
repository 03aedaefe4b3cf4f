#include "views/CameraNavigation.h"

#include "views/CameraShapeNode.h"
#include "views/CameraView.h"
#include "views/Views.h"

#include <maya/MEulerRotation.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnTransform.h>
#include <maya/MPlug.h>
#include <maya/MVector.h>

#include <QEvent>
#include <QMouseEvent>
#include <QObject>
#include <QPointer>
#include <QVariant>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace host {

namespace {

// Radians of tumble per pixel of drag.
constexpr double kTumbleRadiansPerPixel = 0.005;
// Dolly: each pixel scales the distance to the centre of interest by this much.
constexpr double kDollyPerPixel = 0.005;
// Closest the camera dollies towards its centre of interest.
constexpr double kMinimumDistance = 1e-3;

struct CameraParts
{
    MDagPath shape;
    MFnTransform transform;
    MFnDependencyNode camera;
};

MStatus cameraParts(const MDagPath& cameraShape, CameraParts& parts)
{
    if (!cameraShape.isValid() || !cameraShape.node().hasFn(MFn::kCamera))
        return MS::kInvalidParameter;
    MDagPath transformPath = cameraShape;
    MStatus status = transformPath.pop();
    if (!status)
        return status;
    parts.shape = cameraShape;
    status = parts.transform.setObject(transformPath);
    if (!status)
        return status;
    return parts.camera.setObject(cameraShape.node());
}

double readDouble(const MFnDependencyNode& node, const MObject& attribute, double fallback)
{
    MStatus status;
    const MPlug plug = node.findPlug(attribute, true, &status);
    if (!status)
        return fallback;
    const double value = plug.asDouble(&status);
    return status && std::isfinite(value) ? value : fallback;
}

MStatus writeDouble(const MFnDependencyNode& node, const MObject& attribute, double value)
{
    MStatus status;
    MPlug plug = node.findPlug(attribute, true, &status);
    if (!status)
        return status;
    return plug.setValue(value);
}

void viewChanged()
{
    scheduleRefreshAll();
}

} // namespace

MStatus tumbleCamera(const MDagPath& cameraShape, double dx, double dy)
{
    CameraParts parts;
    MStatus status = cameraParts(cameraShape, parts);
    if (!status)
        return status;
    if (readDouble(parts.camera, CameraShapeNode::orthographic, 0.0) != 0.0)
        return MS::kSuccess; // orthographic views do not tumble
    const double distance = readDouble(parts.camera, CameraShapeNode::centerOfInterest, 5.0);
    MEulerRotation rotation;
    status = parts.transform.getRotation(rotation);
    if (!status)
        return status;
    const MVector position = parts.transform.getTranslation(MSpace::kTransform, &status);
    if (!status)
        return status;
    // The camera looks down its local -Z; the centre of interest lies that far along it.
    const MVector oldDirection = MVector(0.0, 0.0, -1.0) * rotation.asMatrix();
    const MVector pivot = position + oldDirection * distance;

    // Dragging right turns the camera to the left around the pivot (the scene turns right),
    // dragging down tilts it up.
    rotation.x -= dy * kTumbleRadiansPerPixel;
    rotation.y -= dx * kTumbleRadiansPerPixel;
    const MVector newDirection = MVector(0.0, 0.0, -1.0) * rotation.asMatrix();
    status = parts.transform.setRotation(rotation);
    if (!status)
        return status;
    status = parts.transform.setTranslation(pivot - newDirection * distance, MSpace::kTransform);
    if (status)
        viewChanged();
    return status;
}

MStatus trackCamera(const MDagPath& cameraShape, double dx, double dy, double portWidth, double portHeight)
{
    CameraParts parts;
    MStatus status = cameraParts(cameraShape, parts);
    if (!status)
        return status;
    if (!(portWidth > 0.0) || !(portHeight > 0.0))
        return MS::kInvalidParameter;
    const CameraLens lens = cameraLens(cameraShape);
    const ViewWindow window = viewWindow(lens, portWidth / portHeight);
    // World units per pixel on the plane of the centre of interest (orthographic: anywhere).
    const double depth = lens.orthographic ? 1.0 : readDouble(parts.camera, CameraShapeNode::centerOfInterest, 5.0);
    const double unitsPerPixel = 2.0 * window.halfWidth * depth / portWidth;

    MEulerRotation rotation;
    status = parts.transform.getRotation(rotation);
    if (!status)
        return status;
    const MMatrix orientation = rotation.asMatrix();
    const MVector right = MVector(1.0, 0.0, 0.0) * orientation;
    const MVector up = MVector(0.0, 1.0, 0.0) * orientation;
    // The scene follows the cursor: the camera moves the other way (pixels run down, up runs up).
    const MVector offset = -right * (dx * unitsPerPixel) + up * (dy * unitsPerPixel);
    status = parts.transform.translateBy(offset, MSpace::kTransform);
    if (status)
        viewChanged();
    return status;
}

MStatus dollyCamera(const MDagPath& cameraShape, double dx, double dy)
{
    CameraParts parts;
    MStatus status = cameraParts(cameraShape, parts);
    if (!status)
        return status;
    // Dragging right or up moves in.
    const double scale = std::exp(-(dx - dy) * kDollyPerPixel);
    if (readDouble(parts.camera, CameraShapeNode::orthographic, 0.0) != 0.0) {
        const double width = readDouble(parts.camera, CameraShapeNode::orthographicWidth, 10.0);
        status = writeDouble(parts.camera, CameraShapeNode::orthographicWidth, std::max(width * scale, kMinimumDistance));
        if (status)
            viewChanged();
        return status;
    }
    const double distance = readDouble(parts.camera, CameraShapeNode::centerOfInterest, 5.0);
    const double newDistance = std::max(distance * scale, kMinimumDistance);
    MEulerRotation rotation;
    status = parts.transform.getRotation(rotation);
    if (!status)
        return status;
    const MVector direction = MVector(0.0, 0.0, -1.0) * rotation.asMatrix();
    status = parts.transform.translateBy(direction * (distance - newDistance), MSpace::kTransform);
    if (!status)
        return status;
    status = writeDouble(parts.camera, CameraShapeNode::centerOfInterest, newDistance);
    if (status)
        viewChanged();
    return status;
}

namespace {

class CameraNavigator : public QObject
{
public:
    CameraNavigator(QWidget* widget, unsigned int panel) : QObject(widget), mWidget(widget), mPanel(panel) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != mWidget)
            return false;
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mMode != Mode::kNone)
                return true; // a second button during a drag does not start another
            if (!(mouse->modifiers() & Qt::AltModifier))
                return false;
            mMode = modeOf(mouse->button());
            if (mMode == Mode::kNone)
                return false;
            mButton = mouse->button();
            mLast = mouse->localPos();
            return true;
        }
        case QEvent::MouseMove: {
            if (mMode == Mode::kNone)
                return false;
            auto* mouse = static_cast<QMouseEvent*>(event);
            const QPointF delta = mouse->localPos() - mLast;
            mLast = mouse->localPos();
            move(delta.x(), delta.y());
            return true;
        }
        case QEvent::MouseButtonRelease: {
            if (mMode == Mode::kNone)
                return false;
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == mButton)
                mMode = Mode::kNone;
            return true;
        }
        default:
            return false;
        }
    }

private:
    enum class Mode { kNone, kTumble, kTrack, kDolly };

    static Mode modeOf(Qt::MouseButton button)
    {
        switch (button) {
        case Qt::LeftButton:
            return Mode::kTumble;
        case Qt::MiddleButton:
            return Mode::kTrack;
        case Qt::RightButton:
            return Mode::kDolly;
        default:
            return Mode::kNone;
        }
    }

    void move(double dx, double dy)
    {
        if (dx == 0.0 && dy == 0.0)
            return;
        const MDagPath camera = panelCamera(mPanel);
        switch (mMode) {
        case Mode::kTumble:
            tumbleCamera(camera, dx, dy);
            break;
        case Mode::kTrack:
            trackCamera(camera, dx, dy, mWidget->width(), mWidget->height());
            break;
        case Mode::kDolly:
            dollyCamera(camera, dx, dy);
            break;
        case Mode::kNone:
            break;
        }
    }

    QPointer<QWidget> mWidget;
    unsigned int mPanel;
    Mode mMode = Mode::kNone;
    Qt::MouseButton mButton = Qt::NoButton;
    QPointF mLast;
};

} // namespace

void installCameraNavigation(QWidget* panelWidget, unsigned int panelIndex)
{
    static const char* const kInstalled = "pellixCameraNavigation";
    if (!panelWidget || panelWidget->property(kInstalled).toBool())
        return;
    panelWidget->setProperty(kInstalled, true);
    panelWidget->installEventFilter(new CameraNavigator(panelWidget, panelIndex));
}

} // namespace host
