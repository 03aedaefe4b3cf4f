#include "overlay/OverlayToolBlocking.h"

#include "overlay/ManipulatorHandleTest.h"
#include "plugin/ViewMouseSupport.h"

#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MDoubleArray.h>
#include <maya/MEulerRotation.h>
#include <maya/MFnManip3D.h>
#include <maya/MFnTransform.h>
#include <maya/MGlobal.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>
#include <maya/MVector.h>

#include <QPointF>
#include <QWidget>

#include <string>

// Failed queries are part of the answer here (a manipulator that cannot be asked about
// counts as shown, a mode that cannot be read as none), so nothing is reported.

namespace {

const char* const kMoveVisibleQuery = "manipMoveContext -query -manipVisible Move";
const char* const kRotateVisibleQuery = "manipRotateContext -query -manipVisible Rotate";
const char* const kScaleVisibleQuery = "manipScaleContext -query -manipVisible Scale";

// The world axes, built once per thread.
const MVector* worldAxes()
{
    thread_local const MVector axes[3] = {MVector(1.0, 0.0, 0.0), MVector(0.0, 1.0, 0.0), MVector(0.0, 0.0, 1.0)};
    return axes;
}

bool manipulatorShown(const char* query)
{
    int shown = 0;
    return !MGlobal::executeCommand(query, shown) || shown != 0;
}

std::string lowerText(const MString& text)
{
    return lowerCased(std::string(text.asChar(), text.length()));
}

// The manipulator's "-mode": world space is 2; 3, 5 and 6 orient by "-orientAxes".
int manipMode(bool moveOrUniversal, bool scale)
{
    const char* query = moveOrUniversal ? "manipMoveContext -query -mode Move"
                        : scale         ? "manipScaleContext -query -mode Scale"
                                        : nullptr;
    int mode = -1;
    if (query == nullptr || !MGlobal::executeCommand(query, mode)) {
        return -1;
    }
    return mode;
}

bool usesOrientAxes(int mode)
{
    return mode == 3 || mode == 5 || mode == 6;
}

bool customAxes(bool scale, MMatrix& axes)
{
    MDoubleArray angles;
    const char* query = scale ? "manipScaleContext -query -orientAxes Scale" : "manipMoveContext -query -orientAxes Move";
    if (!MGlobal::executeCommand(query, angles) || angles.length() < 3) {
        return false;
    }
    axes = MEulerRotation(angles[0], angles[1], angles[2]).asMatrix();
    return true;
}

bool project(const M3dView& view, const MPoint& world, int portHeight, double ratio, ScreenPoint& screen)
{
    short x = 0;
    short y = 0;
    MStatus status;
    if (!view.worldToView(world, x, y, &status) || !status) {
        return false;
    }
    screen = portToLogical(x, y, portHeight, ratio);
    return true;
}

} // namespace

bool isOverlayBlockedByTool(M3dView& view, const QPointF& position)
{
    // Nothing selected, nothing to manipulate: the tool need not be asked about.
    MSelectionList selection;
    if (!MGlobal::getActiveSelectionList(selection) || selection.length() == 0) {
        return false;
    }

    // The tool's class says what it is ("manipRotateContext moveLike" is a rotate tool); its name
    // counts only when the class names no transform tool.
    const CurrentToolContext& context = currentToolContext();
    std::string toolText = lowerText(context.className);
    ToolKinds tool = toolKindsIn(toolText);
    if (!tool.any()) {
        toolText = lowerText(context.name) + " " + toolText;
        tool = toolKindsIn(toolText);
    }

    if (tool.move) {
        tool.move = manipulatorShown(kMoveVisibleQuery);
    } else if (tool.rotate) {
        tool.rotate = manipulatorShown(kRotateVisibleQuery);
    } else if (tool.scale) {
        tool.scale = manipulatorShown(kScaleVisibleQuery);
    } else if (tool.universal) {
        const bool moveShown = manipulatorShown(kMoveVisibleQuery);
        const bool rotateShown = manipulatorShown(kRotateVisibleQuery);
        const bool scaleShown = manipulatorShown(kScaleVisibleQuery);
        if (!moveShown && !rotateShown && !scaleShown) {
            return false;
        }
    } else if (isViewingTool(toolText)) {
        return false;
    } else {
        // A tool of its own kind may still drive one of the transform manipulators.
        tool.move = manipulatorShown(kMoveVisibleQuery);
        tool.rotate = manipulatorShown(kRotateVisibleQuery);
        tool.scale = manipulatorShown(kScaleVisibleQuery);
    }
    if (!tool.any()) {
        return false;
    }

    const ManipulatorSizes sizes = manipulatorSizes(MFnManip3D::globalSize(), MFnManip3D::handleSize(),
                                                    MFnManip3D::lineSize(), MFnManip3D::drawPlaneHandles());
    const int mode = manipMode(tool.move || tool.universal, tool.scale);
    MMatrix orientation;
    const bool oriented = usesOrientAxes(mode) && customAxes(tool.scale, orientation);
    const bool rotateOnly = tool.rotate && !tool.move && !tool.scale && !tool.universal;

    MStatus status;
    QWidget* widget = view.widget(&status);
    const double ratio = status && widget != nullptr ? widget->devicePixelRatioF() : 1.0;
    const int portHeight = view.portHeight(&status);
    if (!status) {
        return false;
    }
    const ScreenPoint mouse{position.x(), position.y()};

    for (unsigned item = 0; item < selection.length(); ++item) {
        MDagPath path;
        if (!selection.getDagPath(item, path)) {
            continue;
        }
        while (path.isValid() && path.length() > 0 && !path.node().hasFn(MFn::kTransform)) {
            path.pop();
        }
        if (!path.isValid() || path.length() == 0) {
            continue;
        }
        MFnTransform transform(path, &status);
        if (!status) {
            continue;
        }
        const MPoint pivot = tool.scale ? transform.scalePivot(MSpace::kWorld, &status)
                                        : transform.rotatePivot(MSpace::kWorld, &status);
        ManipulatorOnScreen manip;
        if (!status || !project(view, pivot, portHeight, ratio, manip.centre)) {
            continue;
        }

        if ((tool.rotate || tool.universal) && isOnRotateRing(sizes, manip.centre, mouse)) {
            return true;
        }
        if (rotateOnly) {
            continue;
        }

        MMatrix frame;  // world axes
        if (oriented) {
            frame = orientation;
        } else if (mode != 2) {
            frame = path.inclusiveMatrix(&status);
            if (!status) {
                frame = MMatrix();
            }
        }
        for (int a = 0; a < 3; ++a) {
            MVector axis = worldAxes()[a] * frame;
            if (axis.length() <= 1e-8) {
                continue;
            }
            axis.normalize();
            ScreenPoint end;
            if (project(view, pivot + axis, portHeight, ratio, end)) {
                manip.axisShown[a] = screenDirection(manip.centre, end, manip.axes[a]);
            }
        }
        if (isOnTranslateHandles(sizes, manip, mouse)) {
            return true;
        }
    }
    return false;
}
