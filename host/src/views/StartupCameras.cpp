#include "views/StartupCameras.h"

#include "commands/CommandExecution.h"
#include "commands/mel/MelInterpreter.h"
#include "views/CameraShapeNode.h"

#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MSelectionList.h>

#include <cstring>

namespace host {

namespace {

struct StartupCamera
{
    const char* transform;
    const char* shape;
    const char* setup; // MEL, as Maya writes the camera in a scene
};

// Maya's startup placement: the perspective camera looks at the origin from
// (28, 21, 28); the orthographic ones sit 1000.1 units out along their axis.
const StartupCamera kCameras[] = {
    {"persp", "perspShape",
     "createNode transform -s -n \"persp\";\n"
     "\tsetAttr \".v\" no;\n"
     "\tsetAttr \".t\" -type \"double3\" 28 21 28 ;\n"
     "\tsetAttr \".r\" -type \"double3\" -27.938352729602379 44.999999999999972 0 ;\n"
     "createNode camera -s -n \"perspShape\" -p \"persp\";\n"
     "\tsetAttr \".v\" no;\n"
     "\tsetAttr \".coi\" 44.82186966202994;\n"
     "\tsetAttr \".imn\" -type \"string\" \"persp\";\n"
     "\tsetAttr \".den\" -type \"string\" \"persp_depth\";\n"
     "\tsetAttr \".man\" -type \"string\" \"persp_mask\";\n"
     "\tsetAttr \".hc\" -type \"string\" \"viewSet -p %camera\";\n"},
    {"top", "topShape",
     "createNode transform -s -n \"top\";\n"
     "\tsetAttr \".v\" no;\n"
     "\tsetAttr \".t\" -type \"double3\" 0 1000.1 0 ;\n"
     "\tsetAttr \".r\" -type \"double3\" -90 0 0 ;\n"
     "createNode camera -s -n \"topShape\" -p \"top\";\n"
     "\tsetAttr \".v\" no;\n"
     "\tsetAttr \".rnd\" no;\n"
     "\tsetAttr \".coi\" 1000.1;\n"
     "\tsetAttr \".ow\" 30;\n"
     "\tsetAttr \".imn\" -type \"string\" \"top\";\n"
     "\tsetAttr \".den\" -type \"string\" \"top_depth\";\n"
     "\tsetAttr \".man\" -type \"string\" \"top_mask\";\n"
     "\tsetAttr \".hc\" -type \"string\" \"viewSet -t %camera\";\n"
     "\tsetAttr \".o\" yes;\n"},
    {"front", "frontShape",
     "createNode transform -s -n \"front\";\n"
     "\tsetAttr \".v\" no;\n"
     "\tsetAttr \".t\" -type \"double3\" 0 0 1000.1 ;\n"
     "createNode camera -s -n \"frontShape\" -p \"front\";\n"
     "\tsetAttr \".v\" no;\n"
     "\tsetAttr \".rnd\" no;\n"
     "\tsetAttr \".coi\" 1000.1;\n"
     "\tsetAttr \".ow\" 30;\n"
     "\tsetAttr \".imn\" -type \"string\" \"front\";\n"
     "\tsetAttr \".den\" -type \"string\" \"front_depth\";\n"
     "\tsetAttr \".man\" -type \"string\" \"front_mask\";\n"
     "\tsetAttr \".hc\" -type \"string\" \"viewSet -f %camera\";\n"
     "\tsetAttr \".o\" yes;\n"},
    {"side", "sideShape",
     "createNode transform -s -n \"side\";\n"
     "\tsetAttr \".v\" no;\n"
     "\tsetAttr \".t\" -type \"double3\" 1000.1 0 0 ;\n"
     "\tsetAttr \".r\" -type \"double3\" 0 90 0 ;\n"
     "createNode camera -s -n \"sideShape\" -p \"side\";\n"
     "\tsetAttr \".v\" no;\n"
     "\tsetAttr \".rnd\" no;\n"
     "\tsetAttr \".coi\" 1000.1;\n"
     "\tsetAttr \".ow\" 30;\n"
     "\tsetAttr \".imn\" -type \"string\" \"side\";\n"
     "\tsetAttr \".den\" -type \"string\" \"side_depth\";\n"
     "\tsetAttr \".man\" -type \"string\" \"side_mask\";\n"
     "\tsetAttr \".hc\" -type \"string\" \"viewSet -s %camera\";\n"
     "\tsetAttr \".o\" yes;\n"},
};

bool nodeNamed(const char* name, MObject& node)
{
    MSelectionList list;
    return list.add(name) && list.getDependNode(0, node);
}

bool isCameraShape(const MObject& node)
{
    return node.hasFn(MFn::kCamera);
}

} // namespace

MStatus ensureStartupCameras()
{
    MSelectionList selection;
    MStatus status = MGlobal::getActiveSelectionList(selection);
    if (!status)
        return status;
    CommandExecution::NoUndoScope noUndo;
    for (const StartupCamera& camera : kCameras) {
        MObject existing;
        if (nodeNamed(camera.shape, existing))
            continue;
        status = MelInterpreter::run(camera.setup);
        if (!status) {
            MGlobal::displayError(MString("Cannot create the startup camera ") + camera.transform + ".");
            return status;
        }
    }
    // Creating them selects nothing the user sees.
    return MGlobal::setActiveSelectionList(selection);
}

bool isStartupCameraNode(const MObject& node)
{
    if (!node.hasFn(MFn::kDagNode))
        return false;
    MFnDagNode fn(node);
    const MString name = fn.name();
    for (const StartupCamera& camera : kCameras) {
        if (isCameraShape(node)) {
            if (name != camera.shape || fn.parentCount() == 0)
                continue;
            return MFnDependencyNode(fn.parent(0)).name() == camera.transform;
        }
        if (name != camera.transform || !node.hasFn(MFn::kTransform))
            continue;
        for (unsigned i = 0; i < fn.childCount(); ++i) {
            MObject child = fn.child(i);
            if (isCameraShape(child) && MFnDependencyNode(child).name() == camera.shape)
                return true;
        }
    }
    return false;
}

bool findCamera(const MString& name, MDagPath& cameraShape)
{
    MSelectionList list;
    MDagPath path;
    if (!list.add(name) || !list.getDagPath(0, path))
        return false;
    if (path.node().hasFn(MFn::kCamera)) {
        cameraShape = path;
        return true;
    }
    for (unsigned i = 0; i < path.childCount(); ++i) {
        MDagPath child = path;
        if (child.push(path.child(i)) && child.node().hasFn(MFn::kCamera)) {
            cameraShape = child;
            return true;
        }
    }
    return false;
}

bool startupCamera(const char* transformName, MDagPath& cameraShape)
{
    for (const StartupCamera& camera : kCameras)
        if (std::strcmp(camera.transform, transformName) == 0)
            return findCamera(camera.shape, cameraShape);
    return false;
}

} // namespace host
