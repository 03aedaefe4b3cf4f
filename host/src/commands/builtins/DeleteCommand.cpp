#include "commands/builtins/DeleteCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/SceneNames.h"
#include "commands/scene/MayaAsciiReader.h"
#include "dg/Node.h"
#include "geometry/MeshComponents.h"

#include <maya/MGlobal.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

#include <vector>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {{"-all", "-all", CommandFlags::kNoArg}};
}

MStatus DeleteCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("delete", args, kFlags);
    if (!status)
        return status;
    status = MGlobal::getActiveSelectionList(mSelectionBefore);
    if (!status)
        return status;
    MSelectionList targets;
    if (flags.objects().empty()) {
        status = MGlobal::getActiveSelectionList(targets);
        if (!status)
            return status;
        if (targets.length() == 0) {
            MGlobal::displayError("delete: Not enough objects or values.");
            return MS::kInvalidParameter;
        }
    }
    std::vector<MString> components;
    // Selected faces are deleted as faces, never as their whole mesh.
    for (unsigned i = targets.length(); i-- > 0;) {
        MDagPath path;
        MObject component;
        if (!targets.getDagPath(i, path, component) || component.isNull())
            continue;
        MStringArray names;
        targets.getSelectionStrings(i, names);
        if (!component.hasFn(MFn::kMeshPolygonComponent)) {
            MGlobal::displayError("delete: only faces can be deleted, not " + names[0] + ".");
            return MS::kInvalidParameter;
        }
        for (unsigned k = 0; k < names.length(); ++k)
            components.push_back(names[k]);
        targets.remove(i);
    }
    for (const MString& name : flags.objects()) {
        if (looksLikeComponent(name)) {
            components.push_back(name);
            continue;
        }
        status = SceneNames::addMatches("delete", name, targets);
        if (!status)
            return status;
    }
    if (!components.empty()) {
        // All ranges name faces of the meshes as they are now, so they go together.
        status = queueFaceDeletion(mModifier, "delete", components);
        if (status)
            status = execute("delete");
        if (!status)
            return status;
        // The faces are gone: their indices no longer name what was selected.
        if (flags.objects().empty()) {
            status = MGlobal::setActiveSelectionList(targets);
            if (!status)
                return status;
        }
    }
    for (unsigned i = 0; i < targets.length(); ++i) {
        MObject node;
        status = targets.getDependNode(i, node);
        if (!status)
            continue;  // plugs and components are not deleted as nodes
        // As in Maya, a referenced scene's nodes stay: its file would bring them back.
        if (MayaAsciiReader::isReferenced(nodeOf(node))) {
            MGlobal::displayError(MString("delete: cannot delete ") + SceneNames::nodeName(node) +
                                  ": it is from a referenced file.");
            return MS::kFailure;
        }
        status = mModifier.deleteNode(node);
        if (!status) {
            MGlobal::displayError(MString("delete: cannot delete ") + SceneNames::nodeName(node) + ".");
            return status;
        }
    }
    return execute("delete");
}

MStatus DeleteCommand::undoIt()
{
    MStatus status = ModifierCommand::undoIt();
    if (status)
        status = MGlobal::setActiveSelectionList(mSelectionBefore);
    return status;
}

} // namespace host
