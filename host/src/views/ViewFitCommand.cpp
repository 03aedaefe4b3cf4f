#include "views/ViewFitCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "views/CameraShapeNode.h"
#include "views/CameraView.h"
#include "views/StartupCameras.h"
#include "views/ViewCommands.h"
#include "views/Views.h"

#include <maya/MBoundingBox.h>
#include <maya/MDagPath.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnTransform.h>
#include <maya/MGlobal.h>
#include <maya/MItDag.h>
#include <maya/MPlug.h>
#include <maya/MSelectionList.h>

#include <algorithm>
#include <cmath>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {
    {"-all", "-allObjects", CommandFlags::kOptionalBool},
    {"-f", "-fitFactor", CommandFlags::kOneArg},
    {"-an", "-animate", CommandFlags::kOptionalBool},
};

// World box of what a path draws (cameras have none).
void addWorldBox(const MDagPath& path, MBoundingBox& total, bool& any)
{
    MStatus status;
    MFnDagNode node(path, &status);
    if (!status)
        return;
    MBoundingBox box = node.boundingBox(&status);
    if (!status || !box.contains(box.center()))
        return;
    const MMatrix toWorld = path.node().hasFn(MFn::kTransform) ? path.inclusiveMatrix() : path.exclusiveMatrix();
    box.transformUsing(toWorld);
    total.expand(box);
    any = true;
}

bool selectionBox(MBoundingBox& box)
{
    MSelectionList selection;
    bool any = false;
    if (!MGlobal::getActiveSelectionList(selection))
        return false;
    for (unsigned i = 0; i < selection.length(); ++i) {
        MDagPath path;
        if (selection.getDagPath(i, path))
            addWorldBox(path, box, any);
    }
    return any;
}

bool sceneBox(MBoundingBox& box)
{
    bool any = false;
    for (MItDag it(MItDag::kDepthFirst, MFn::kTransform); !it.isDone(); it.next()) {
        MDagPath path;
        if (!it.getPath(path) || path.length() != 1)
            continue;
        if (isStartupCameraNode(path.node()))
            continue;
        addWorldBox(path, box, any);
        it.prune();
    }
    return any;
}

MStatus setDouble(const MDagPath& camera, const MObject& attribute, double value)
{
    MStatus status;
    MPlug plug(camera.node(), attribute);
    status = plug.setDouble(value);
    return status;
}

} // namespace

MStatus ViewFitCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("viewFit", args, kFlags);
    if (!status)
        return status;
    if (flags.objects().size() > 1) {
        MGlobal::displayError("viewFit: expects at most one panel or camera.");
        return MS::kInvalidParameter;
    }
    double fraction = 1.0;
    if (flags.isSet("-f")) {
        status = flags.doubleValue("-f", fraction);
        if (!status)
            return status;
        if (!(fraction > 0.0) || fraction > 1.0e6) {
            MGlobal::displayError("viewFit: -fitFactor needs a number above 0.");
            return MS::kInvalidParameter;
        }
    }

    // The camera and the port it is fitted to.
    MDagPath camera;
    int width = 0;
    int height = 0;
    if (flags.objects().empty() || panelIndex(flags.objects()[0]) >= 0) {
        status = requireViews("viewFit");
        if (!status)
            return status;
        const unsigned panel = flags.objects().empty() ? activePanel()
                                                       : static_cast<unsigned>(panelIndex(flags.objects()[0]));
        camera = panelCamera(panel);
        panelPortSize(panel, width, height);
    } else if (!findCamera(flags.objects()[0], camera)) {
        MGlobal::displayError(MString("viewFit: ") + flags.objects()[0] + " is neither a panel nor a camera.");
        return MS::kInvalidParameter;
    } else if (viewsStarted()) {
        panelPortSize(activePanel(), width, height);
    }
    const CameraLens lens = cameraLens(camera);
    if (width <= 0 || height <= 0) {
        // No port: the film back's own shape.
        width = 1000;
        height = static_cast<int>(std::lround(1000.0 * lens.verticalFilmAperture / lens.horizontalFilmAperture));
        height = std::max(1, height);
    }

    MBoundingBox box;
    const bool all = flags.boolValue("-all", false);
    if (!((!all && selectionBox(box)) || sceneBox(box))) {
        return MS::kSuccess; // nothing to frame
    }
    const MPoint center = box.center();
    const double radius = std::max(0.5 * std::sqrt(box.width() * box.width() + box.height() * box.height() +
                                                   box.depth() * box.depth()),
                                   1.0e-3);

    const MMatrix cameraWorld = camera.inclusiveMatrix();
    const MPoint eye = MPoint::origin * cameraWorld;
    MVector direction = MVector(0.0, 0.0, -1.0) * cameraWorld;
    if (direction.length() == 0.0)
        return MS::kFailure;
    direction.normalize();

    const ViewWindow window = viewWindow(lens, static_cast<double>(width) / height);
    double distance = 0.0;
    if (lens.orthographic) {
        // Keep the camera's depth; widen the view until the box fits.
        const ViewWindow unit = viewWindow([&] {
            CameraLens widthOne = lens;
            widthOne.orthographicWidth = 1.0;
            return widthOne;
        }(), static_cast<double>(width) / height);
        const double orthographicWidth = radius / std::min(unit.halfWidth, unit.halfHeight) / fraction;
        status = setDouble(camera, CameraShapeNode::orthographicWidth, orthographicWidth);
        if (!status)
            return status;
        distance = std::max((center - eye) * direction, radius + lens.nearClip);
    } else {
        const double halfAngle = std::atan(std::min(window.halfWidth, window.halfHeight));
        distance = radius / std::sin(halfAngle) / fraction;
    }

    MDagPath transform = camera;
    transform.pop();
    MFnTransform fnTransform(transform, &status);
    if (!status)
        return status;
    status = fnTransform.setTranslation(MVector(center - direction * distance), MSpace::kWorld);
    if (!status) {
        MGlobal::displayError(MString("viewFit: cannot move ") + transform.partialPathName() + ".");
        return status;
    }
    status = setDouble(camera, CameraShapeNode::centerOfInterest, distance);
    if (!status)
        return status;
    scheduleRefreshAll();
    return MS::kSuccess;
}

} // namespace host
