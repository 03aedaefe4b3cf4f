#include "pins/PinBindTargets.h"

#include "pins/PinCommandSupport.h"
#include "pins/PinEvaluation.h"
#include "plugin/StatusCheck.h"

#include <maya/MFn.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnMesh.h>
#include <maya/MGlobal.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MSelectionList.h>

#include <map>
#include <string>
#include <unordered_set>
#include <vector>

namespace PinCommandSupport {

namespace {

const char* const kStatusSource = "pinBindTargets";

// Fills `list` with what the name matches, or says that nothing does.
bool findNamed(const MString& command, const MString& name, MSelectionList& list)
{
    if (list.add(name) && list.length() > 0)
        return true;
    MGlobal::displayError(command + ": No object matches name: " + name);
    return false;
}

// A mesh the pins can sit on has faces; an empty one, or loose points, has none.
MStatus refuseFacelessMesh(const MString& command, const MDagPath& mesh)
{
    MStatus status;
    MFnMesh fn(mesh, &status);
    PELLIX_CHECK(status);
    const int faces = fn.numPolygons(&status);
    PELLIX_CHECK(status);
    if (faces > 0)
        return MS::kSuccess;
    MGlobal::displayError(command + ": mesh has no faces to pin to: " + mesh.partialPathName());
    return MS::kFailure;
}

MStatus resolveNamedMesh(const MString& command, const MString& name, PinBindTargets& targets)
{
    MSelectionList list;
    if (!findNamed(command, name, list))
        return MS::kFailure;
    MDagPath path;
    if (!list.getDagPath(0, path)) {
        MGlobal::displayError(command + ": object has no visible mesh shape: " + name);
        return MS::kFailure;
    }
    MeshResolution resolution = MeshResolution::kNoMesh;
    PELLIX_PASS_ON(resolveMesh(path, resolution));
    if (resolution != MeshResolution::kMesh) {
        displayMeshRefusal(command, resolution, path);
        return MS::kFailure;
    }
    PELLIX_PASS_ON(refuseFacelessMesh(command, path));
    targets.meshShape = path;
    targets.meshTransform = path;
    PELLIX_CHECK(targets.meshTransform.pop());
    return MS::kSuccess;
}

// Controls are transforms (joints among them): the pin drives their matrix or translate.
MStatus resolveNamedControl(const MString& command, const MString& name, MDagPath& control)
{
    MSelectionList list;
    if (!findNamed(command, name, list))
        return MS::kFailure;
    MStatus status;
    if (!list.getDagPath(0, control) || !control.node(&status).hasFn(MFn::kTransform)) {
        MGlobal::displayError(command + ": control is not a transform: " + name);
        return MS::kFailure;
    }
    return status;
}

// Records the first transform each plug drives under the plug's element index.
void recordDrivenTransforms(const MPlug& source, unsigned index, std::map<unsigned, MObject>& found)
{
    if (found.count(index))
        return;
    MPlugArray destinations;
    source.destinations(destinations);
    for (unsigned d = 0; d < destinations.length(); ++d) {
        const MObject node = destinations[d].node();
        if (node.hasFn(MFn::kTransform)) {
            found[index] = node;
            return;
        }
    }
}

// The mesh feeding the node's "deformedGeometry"; false when none does.
bool findNodeMesh(PinBindTargets& targets)
{
    MStatus status;
    const MPlug input = nodePlug(targets.node, "deformedGeometry", &status);
    MDagPath path;
    if (!status || !connectedMeshPath(input, path) || !path.hasFn(MFn::kMesh))
        return false;
    targets.meshShape = path;
    targets.meshTransform = path;
    return targets.meshTransform.pop();
}

// The transforms the node drives, in order of the output element they hang on.
MStatus findNodeControls(PinBindTargets& targets)
{
    MStatus status;
    std::map<unsigned, MObject> found;
    const MPlug outputMatrix = nodePlug(targets.node, "outputMatrix", &status);
    PELLIX_CHECK(status);
    for (unsigned e = 0; e < outputMatrix.numElements(); ++e) {
        const MPlug element = outputMatrix.elementByPhysicalIndex(e, &status);
        PELLIX_CHECK(status);
        recordDrivenTransforms(element, element.logicalIndex(), found);
    }
    const MPlug outputTranslate = nodePlug(targets.node, "outputTranslate", &status);
    PELLIX_CHECK(status);
    for (unsigned e = 0; e < outputTranslate.numElements(); ++e) {
        const MPlug element = outputTranslate.elementByPhysicalIndex(e, &status);
        PELLIX_CHECK(status);
        const unsigned index = element.logicalIndex();
        recordDrivenTransforms(element, index, found);
        for (unsigned c = 0; c < element.numChildren(); ++c)
            recordDrivenTransforms(element.child(c), index, found);
    }

    // The map is in element order, which becomes pin order.
    targets.existingIndicesDense = found.empty() || found.rbegin()->first + 1 == found.size();
    for (const auto& entry : found) {
        MDagPath path;
        PELLIX_CHECK(MDagPath::getAPathTo(entry.second, path));
        PELLIX_CHECK(targets.controls.append(path));
    }
    targets.existingControlCount = targets.controls.length();
    return MS::kSuccess;
}

// Why the pin cannot take over one plug of a control, or null when it can: a plug it frees
// must not be locked while driven, one it connects must not be locked, and one it sets to
// another value must be neither locked nor driven by something it leaves in place.
const char* plugProblem(const MPlug& plug, bool freed, bool connected, const double* value)
{
    const bool driven = !plug.source().isNull();
    const bool locked = plug.isLocked();
    if (locked && ((freed && driven) || connected))
        return "is locked";
    if (value && plug.asDouble() != *value) {
        if (locked)
            return "is locked";
        if (driven && !freed)
            return "is connected";
    }
    return nullptr;
}

MStatus checkChannels(const MString& command, const MDagPath& control, ControlDrive drive)
{
    static const char* const kTranslate[] = {"translateX", "translateY", "translateZ"};
    static const char* const kRotate[] = {"rotateX", "rotateY", "rotateZ"};
    static const char* const kScale[] = {"scaleX", "scaleY", "scaleZ"};
    const bool matrix = drive != ControlDrive::kTranslate;
    const bool freesTranslate = drive != ControlDrive::kMatrix;
    const double zero = 0.0;
    const double one = 1.0;
    struct Use {
        const char* attribute;
        bool freed;
        bool connected;
        const double* value;
    };
    std::vector<Use> uses = {{"offsetParentMatrix", true, matrix, nullptr},
                             {"translate", freesTranslate, false, nullptr}};
    for (const char* attribute : kTranslate)
        uses.push_back({attribute, freesTranslate, !matrix, matrix ? &zero : nullptr});
    if (matrix) {
        for (const char* attribute : kRotate)
            uses.push_back({attribute, false, false, &zero});
        for (const char* attribute : kScale)
            uses.push_back({attribute, false, false, &one});
    }

    MStatus status;
    MFnDependencyNode fn(control.node(), &status);
    PELLIX_CHECK(status);
    for (const Use& use : uses) {
        const MPlug plug = fn.findPlug(use.attribute, true, &status);
        PELLIX_CHECK(status);
        if (const char* problem = plugProblem(plug, use.freed, use.connected, use.value)) {
            MGlobal::displayError(command + ": cannot pin " + control.partialPathName() + ": " + fn.name() + "." +
                                  use.attribute + " " + problem + ".");
            return MS::kFailure;
        }
    }
    return MS::kSuccess;
}

} // namespace

MStatus gatherNewTargets(const MString& command, const MStringArray& names, PinBindTargets& targets)
{
    PELLIX_PASS_ON(resolveNamedMesh(command, names[0], targets));
    std::unordered_set<std::string> named;
    for (unsigned i = 1; i < names.length(); ++i) {
        MDagPath control;
        PELLIX_PASS_ON(resolveNamedControl(command, names[i], control));
        // One pin per control: a second would drive the same plugs.
        if (!named.insert(control.fullPathName().asChar()).second) {
            MGlobal::displayWarning(command + ": control named twice, skipping " + control.partialPathName());
            continue;
        }
        PELLIX_CHECK(targets.controls.append(control));
    }
    targets.existingControlCount = 0;
    return MS::kSuccess;
}

MStatus gatherExistingTargets(const MString& command, const MString& nodeType, const MString& nodeName,
                              const MStringArray& names, PinBindTargets& targets)
{
    MSelectionList list;
    if (!findNamed(command, nodeName, list))
        return MS::kFailure;
    PELLIX_CHECK(list.getDependNode(0, targets.node));
    MStatus status;
    MFnDependencyNode nodeFn(targets.node, &status);
    PELLIX_CHECK(status);
    if (nodeFn.typeName() != nodeType) {
        MGlobal::displayError(command + ": " + nodeName + " is not a " + nodeType + " node.");
        return MS::kFailure;
    }
    if (!findNodeMesh(targets)) {
        MGlobal::displayError(command + ": node has no mesh connected: " + nodeFn.name());
        return MS::kFailure;
    }
    PELLIX_PASS_ON(findNodeControls(targets));
    if (targets.existingControlCount == 0) {
        MGlobal::displayError(command + ": node has no connected controls: " + nodeFn.name());
        return MS::kFailure;
    }

    unsigned first = 0;
    if (names.length() > 0) {
        // A first name that is a mesh replaces the node's; an intermediate mesh is neither.
        MDagPath shape, transform;
        MeshResolution resolution = MeshResolution::kNoMesh;
        if (resolveMeshName(names[0], shape, transform, resolution) && resolution == MeshResolution::kMesh) {
            PELLIX_PASS_ON(refuseFacelessMesh(command, shape));
            targets.meshShape = shape;
            targets.meshTransform = transform;
            targets.meshGiven = true;
            first = 1;
        } else if (resolution == MeshResolution::kIntermediate) {
            displayMeshRefusal(command, resolution, shape);
            return MS::kFailure;
        }
    }
    std::unordered_set<std::string> bound;
    for (unsigned k = 0; k < targets.controls.length(); ++k)
        bound.insert(targets.controls[k].fullPathName().asChar());
    for (unsigned i = first; i < names.length(); ++i) {
        MDagPath control;
        PELLIX_PASS_ON(resolveNamedControl(command, names[i], control));
        if (!bound.insert(control.fullPathName().asChar()).second) {
            MGlobal::displayWarning(command + ": control already bound, skipping " + control.partialPathName());
            continue;
        }
        PELLIX_CHECK(targets.controls.append(control));
    }
    return MS::kSuccess;
}

MStatus checkControls(const MString& command, const PinBindTargets& targets, unsigned first, ControlDrive drive)
{
    for (unsigned i = 0; i < targets.controls.length(); ++i) {
        const MDagPath& control = targets.controls[i];
        if (control == targets.meshTransform) {
            MGlobal::displayError(command + ": the mesh cannot also be a control: " + control.partialPathName());
            return MS::kFailure;
        }
        for (MDagPath above(targets.meshTransform); above.length() > 1;) {
            PELLIX_CHECK(above.pop());
            if (above == control) {
                MGlobal::displayError(command + ": control is a parent of the mesh: " + control.partialPathName());
                return MS::kFailure;
            }
        }
        if (i >= first)
            PELLIX_PASS_ON(checkChannels(command, control, drive));
    }
    return MS::kSuccess;
}

MStatus checkBindPlugs(const MString& command, const MObject& node, std::initializer_list<const char*> attributes)
{
    MStatus status;
    for (const char* attribute : attributes) {
        const MPlug plug = nodePlug(node, attribute, &status);
        PELLIX_CHECK(status);
        const char* const problem = plug.isLocked() ? "is locked" : !plug.source().isNull() ? "is connected" : nullptr;
        if (problem) {
            MGlobal::displayError(command + ": cannot bind again to " + MFnDependencyNode(node).name() + ": " +
                                  plug.name() + " " + problem + ".");
            return MS::kFailure;
        }
    }
    return MS::kSuccess;
}

MStatus queueNodeInputs(MDGModifier& modifier, const PinBindTargets& targets, bool newNode, bool useInverse)
{
    MStatus status;
    for (const char* attribute : {"controlParentInverseMatrix", "controlLocalInverseMatrix"}) {
        const MPlug array = nodePlug(targets.node, attribute, &status);
        PELLIX_CHECK(status);
        for (unsigned e = 0; e < array.numElements(); ++e) {
            const MPlug element = array.elementByPhysicalIndex(e, &status);
            PELLIX_CHECK(status);
            PELLIX_CHECK(disconnectIncoming(modifier, element));
        }
    }
    for (unsigned i = 0; i < targets.controls.length(); ++i)
        PELLIX_CHECK(connectControlInverses(modifier, targets.node, targets.controls[i], i, useInverse));

    // The mesh comes last: reconnecting inverse matrices can evaluate the node through its
    // controls, and the bind data still on it belongs to the old mesh.
    if (!newNode && !targets.meshGiven)
        return MS::kSuccess;
    if (!newNode) {
        for (const char* attribute : {"deformedGeometry", "geometryWorldMatrix"}) {
            const MPlug input = nodePlug(targets.node, attribute, &status);
            PELLIX_CHECK(status);
            PELLIX_CHECK(disconnectIncoming(modifier, input));
        }
    }
    PELLIX_CHECK(connectMesh(modifier, targets.meshShape, targets.node));
    return MS::kSuccess;
}

} // namespace PinCommandSupport
