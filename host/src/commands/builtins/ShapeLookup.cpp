#include "commands/builtins/ShapeLookup.h"

#include "commands/builtins/SceneNames.h"

#include <maya/MFnDagNode.h>
#include <maya/MGlobal.h>
#include <maya/MSelectionList.h>

namespace host {

MStatus shapeOfPath(const char* command, const MDagPath& path, MFn::Type type, const char* what, MDagPath& shape)
{
    shape = path;
    if (path.node().hasFn(type))
        return MS::kSuccess;
    for (unsigned i = 0, n = path.childCount(); i < n; ++i) {
        const MObject child = path.child(i);
        if (child.hasFn(type) && !MFnDagNode(child).isIntermediateObject() && shape.push(child))
            return MS::kSuccess;
    }
    MGlobal::displayError(MString(command) + ": " + path.partialPathName() + " is not a " + what + ".");
    return MS::kInvalidParameter;
}

MStatus findShape(const char* command, const MString& name, MFn::Type type, const char* what, MDagPath& shape)
{
    MSelectionList list;
    MStatus status = SceneNames::addMatches(command, name, list);
    if (!status)
        return status;
    MDagPath path;
    if (list.length() != 1 || list.getDagPath(0, path) != MS::kSuccess) {
        MGlobal::displayError(MString(command) + ": " + name + " is not a " + what + ".");
        return MS::kInvalidParameter;
    }
    return shapeOfPath(command, path, type, what, shape);
}

} // namespace host
