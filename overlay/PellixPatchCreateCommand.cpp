#include "overlay/PellixPatchCreateCommand.h"

#include "overlay/OverlayCallbacks.h"
#include "overlay/OverlayNodeRegistry.h"
#include "overlay/PellixDataOverlay.h"
#include "plugin/IntArrayData.h"
#include "plugin/MeshResolve.h"
#include "plugin/NodeNames.h"
#include "plugin/PlugQueries.h"
#include "plugin/StatusCheck.h"

#include <maya/MArgDatabase.h>
#include <maya/MFloatArray.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFn.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnIntArrayData.h>
#include <maya/MFnMesh.h>
#include <maya/MFnMessageAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnSingleIndexedComponent.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MItSelectionList.h>
#include <maya/MMatrix.h>
#include <maya/MObjectHandle.h>
#include <maya/MObjectArray.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>
#include <unordered_map>

namespace {

const char* const kStatusSource = "pellixPatchCreateCommand";
const std::string kCommand = "pellixPatchCreate";
constexpr double kDefaultMirrorTolerance = 0.001;

MStatus fail(const std::string& text, MStatus status = MS::kFailure)
{
    MGlobal::displayError(MString((kCommand + ": " + text).c_str()));
    return status;
}

std::string nameOf(const MObject& node)
{
    MStatus status;
    const MFnDependencyNode fn(node, &status);
    return status ? fn.name().asChar() : std::string();
}

// The node a name stands for, or the null object.
MObject nodeNamed(const std::string& name)
{
    MSelectionList list;
    MObject node;
    if (name.empty() || !list.add(name.c_str()) || !list.getDependNode(0, node))
        return MObject::kNullObj;
    return node;
}

// The overlay shape a name stands for (the shape or its transform); null when it is neither.
MObject overlayNamed(const std::string& name)
{
    MObject node = nodeNamed(name);
    if (node.isNull() || PellixDataOverlay::fromObject(node))
        return node;
    MStatus status;
    const MFnDagNode dag(node, &status);
    for (unsigned i = 0; status && i < dag.childCount(); ++i) {
        const MObject child = dag.child(i);
        if (PellixDataOverlay::fromObject(child))
            return child;
    }
    return MObject::kNullObj;
}

// The transform above a shape (the shape itself when it has none).
MObject parentOf(const MObject& shape)
{
    MStatus status;
    const MFnDagNode dag(shape, &status);
    const MObject parent = status && dag.parentCount() > 0 ? dag.parent(0, &status) : MObject::kNullObj;
    return status && !parent.isNull() && parent.hasFn(MFn::kTransform) ? parent : shape;
}

MStatus queueIntArray(MDGModifier& modifier, const MObject& node, const MObject& attribute,
                      const std::vector<int>& values)
{
    MStatus status;
    MFnIntArrayData data;
    const MIntArray array =
        values.empty() ? MIntArray() : MIntArray(values.data(), static_cast<unsigned>(values.size()));
    MObject object = data.create(array, &status);
    PELLIX_CHECK(status);
    return modifier.newPlugValue(MPlug(node, attribute), object);
}

MPlug messagePlug(const MObject& node)
{
    MStatus status;
    const MFnDependencyNode fn(node, &status);
    return status ? fn.findPlug("message", false, &status) : MPlug();
}

MStatus connectMessage(MDGModifier& modifier, const MObject& source, const MObject& overlay,
                       const MObject& attribute, int64_t index, bool connect)
{
    if (source.isNull())
        return MS::kSuccess;
    MStatus status;
    const MPlug from = messagePlug(source);
    PELLIX_CHECK(from.isNull() ? MStatus(MS::kFailure) : MStatus(MS::kSuccess));
    const MPlug to = MPlug(overlay, attribute).elementByLogicalIndex(static_cast<unsigned>(index), &status);
    PELLIX_CHECK(status);
    return connect ? modifier.connect(from, to) : modifier.disconnect(from, to);
}

// The eight arrays as plain vectors, in storage order.
std::vector<std::vector<int>> arraysOf(const PatchBinding::PatchArrays& patches)
{
    return {patches.vertexCounts,   patches.driverVertexIndices, patches.triangleOffsets, patches.triangleCounts,
            patches.triangleIndices, patches.edgeOffsets,        patches.edgeCounts,      patches.edgeIndices};
}

PatchBinding::PatchArrays patchArraysOf(const PellixDataOverlay::StoredPatchArrays& stored)
{
    PatchBinding::PatchArrays out;
    std::vector<int>* fields[] = {&out.vertexCounts,   &out.driverVertexIndices, &out.triangleOffsets,
                                  &out.triangleCounts, &out.triangleIndices,     &out.edgeOffsets,
                                  &out.edgeCounts,     &out.edgeIndices};
    for (int i = 0; i < PellixDataOverlay::kPatchArrayCount; ++i) {
        const MIntArray& values = stored.values[i];
        const int* data = intArrayData(values);
        fields[i]->assign(data, data + values.length());
    }
    return out;
}

bool colorFlag(const MArgDatabase& args, const char* flag, double (&rgb)[3])
{
    if (!args.isFlagSet(flag))
        return false;
    for (unsigned i = 0; i < 3; ++i)
        rgb[i] = args.flagArgumentDouble(flag, i);
    return true;
}

std::string stringFlag(const MArgDatabase& args, const char* flag)
{
    MString value;
    return args.isFlagSet(flag) && args.getFlagArgument(flag, 0, value) ? value.asChar() : std::string();
}

// The driver's faces as the kernels take them.
struct DriverFaces
{
    MIntArray counts;
    MIntArray vertices;
    PatchAuthoring::FaceList list;
    std::vector<int64_t> starts;
};

MStatus readFaces(const MDagPath& driver, DriverFaces& faces)
{
    MStatus status;
    MFnMesh mesh(driver, &status);
    PELLIX_CHECK(status);
    PELLIX_CHECK(mesh.getVertices(faces.counts, faces.vertices));
    faces.list = {intArrayData(faces.counts), faces.counts.length(), intArrayData(faces.vertices),
                  faces.vertices.length()};
    faces.starts = PatchAuthoring::faceStarts(faces.list);
    return faces.starts.empty() ? MStatus(MS::kFailure) : MStatus(MS::kSuccess);
}

// Only the given faces of the driver, as a face list of their own: its face i is faceIds[i].
MStatus readFacesOf(const MFnMesh& mesh, const std::vector<int>& faceIds, DriverFaces& faces)
{
    MIntArray corners;
    for (const int face : faceIds) {
        PELLIX_CHECK(mesh.getPolygonVertices(face, corners));
        PELLIX_CHECK(faces.counts.append(static_cast<int>(corners.length())));
        for (unsigned k = 0; k < corners.length(); ++k)
            PELLIX_CHECK(faces.vertices.append(corners[k]));
    }
    faces.list = {intArrayData(faces.counts), faces.counts.length(), intArrayData(faces.vertices),
                  faces.vertices.length()};
    faces.starts = PatchAuthoring::faceStarts(faces.list);
    return faces.starts.empty() ? MStatus(MS::kFailure) : MStatus(MS::kSuccess);
}

std::vector<int> firstIds(size_t count)
{
    std::vector<int> ids(count);
    for (size_t i = 0; i < count; ++i)
        ids[i] = static_cast<int>(i);
    return ids;
}

}  // namespace

const MString PellixPatchCreateCommand::commandName("pellixPatchCreate");

PellixPatchCreateCommand::PellixPatchCreateCommand() = default;
PellixPatchCreateCommand::~PellixPatchCreateCommand() = default;

void* PellixPatchCreateCommand::creator()
{
    return new PellixPatchCreateCommand();
}

MSyntax PellixPatchCreateCommand::newSyntax()
{
    MSyntax syntax;
    PELLIX_REPORT(syntax.addFlag("-c", "-control", MSyntax::kString));
    PELLIX_REPORT(syntax.addFlag("-ov", "-overlay", MSyntax::kString));
    PELLIX_REPORT(syntax.addFlag("-n", "-name", MSyntax::kString));
    PELLIX_REPORT(syntax.addFlag("-m", "-mirror"));
    PELLIX_REPORT(syntax.addFlag("-ax", "-axis", MSyntax::kString));
    PELLIX_REPORT(syntax.addFlag("-tol", "-tolerance", MSyntax::kDouble));
    PELLIX_REPORT(syntax.addFlag("-f", "-force"));
    PELLIX_REPORT(syntax.addFlag("-p", "-patches"));
    PELLIX_REPORT(syntax.addFlag("-rm", "-remove", MSyntax::kString));
    PELLIX_REPORT(syntax.addFlag("-col", "-color", MSyntax::kDouble, MSyntax::kDouble, MSyntax::kDouble));
    PELLIX_REPORT(syntax.addFlag("-mc", "-mirrorColor", MSyntax::kDouble, MSyntax::kDouble, MSyntax::kDouble));
    // Faces as Maya names them ("body.f[10:40]"); the selected faces when none are given.
    PELLIX_REPORT(syntax.setObjectType(MSyntax::kStringObjects, 0));
    syntax.enableQuery(true);
    syntax.enableEdit(true);
    return syntax;
}

bool PellixPatchCreateCommand::isUndoable() const
{
    return fDone;
}

MStatus PellixPatchCreateCommand::doIt(const MArgList& argList)
{
    MStatus status;
    MArgDatabase args(syntax(), argList, &status);
    if (!status)
        return status;  // the parser has told the user what is wrong with the flags
    if (args.isQuery())
        return listPatches(args);
    if (args.isEdit())
        return removePatch(args);
    return create(args);
}

MStatus PellixPatchCreateCommand::listPatches(const MArgDatabase& args)
{
    // A queried flag takes no argument: the overlay is the command's object.
    MStringArray objects;
    PELLIX_CHECK(args.getObjects(objects));
    if (!args.isFlagSet("-patches") || objects.length() != 1)
        return fail("-q -patches takes the overlay: pellixPatchCreate -q -overlay -patches NAME.");
    const std::string name = objects[0].asChar();
    const MObject overlay = overlayNamed(name);
    if (overlay.isNull())
        return fail("no such overlay: '" + name + "'.");
    MIntArray counts;
    PELLIX_CHECK(PellixDataOverlay::readIntArray(overlay, PellixDataOverlay::patchVertexCounts, counts));
    const int64_t count = counts.length();
    const std::vector<MObject> sources = messageSources(overlay, PellixDataOverlay::patchSourceMeshes, count);
    const std::vector<MObject> controls = messageSources(overlay, PellixDataOverlay::patchControl, count);
    MStringArray result;
    for (int64_t p = 0; p < count; ++p) {
        result.append(sources[p].isNull() ? "" : nameOf(parentOf(sources[p])).c_str());
        result.append(nameOf(controls[p]).c_str());
    }
    setResult(result);
    return MS::kSuccess;
}

MStatus PellixPatchCreateCommand::removePatch(const MArgDatabase& args)
{
    const std::string patchName = stringFlag(args, "-remove");
    if (patchName.empty())
        return fail("edit with -remove naming the patch to take out.");
    MDagPath patch;
    MSelectionList list;
    MeshResolution resolution = MeshResolution::kNoMesh;
    if (!list.add(patchName.c_str()) || !list.getDagPath(0, patch) || !resolveMesh(patch, resolution) ||
        resolution != MeshResolution::kMesh)
        return fail("no such patch mesh: '" + patchName + "'.");

    // The overlay holding it: the one given, else the first that does.
    const std::string overlayName = stringFlag(args, "-overlay");
    MObjectArray overlays;
    if (!overlayName.empty()) {
        const MObject named = overlayNamed(overlayName);
        if (named.isNull())
            return fail("no such overlay: '" + overlayName + "'.");
        overlays.append(named);
    } else {
        overlays = liveOverlayNodes();
    }
    for (unsigned i = 0; i < overlays.length() && fRemovedIndex < 0; ++i) {
        MIntArray counts;
        if (!PellixDataOverlay::readIntArray(overlays[i], PellixDataOverlay::patchVertexCounts, counts))
            continue;
        const std::vector<MObject> sources =
            messageSources(overlays[i], PellixDataOverlay::patchSourceMeshes, counts.length());
        for (size_t p = 0; p < sources.size() && fRemovedIndex < 0; ++p) {
            if (sources[p] == patch.node()) {
                fOverlay = overlays[i];
                fRemovedIndex = static_cast<int64_t>(p);
                fSources = sources;
                fControls = messageSources(overlays[i], PellixDataOverlay::patchControl, counts.length());
            }
        }
    }
    if (fRemovedIndex < 0)
        return fail("'" + patchName + "' is not a patch of " +
                    (overlayName.empty() ? std::string("any overlay") : "overlay '" + overlayName + "'") + ".");

    PellixDataOverlay::StoredPatchArrays stored;
    PatchBinding::PatchArrays kept;
    if (!PellixDataOverlay::readPatchArrays(fOverlay, stored) ||
        !PatchAuthoring::withoutPatch(stored.matchingSpans(), fRemovedIndex, kept))
        return fail("the binding data of overlay '" + nameOf(fOverlay) +
                    "' could not be read; rebind it with pellixDataBind.");
    fArrays = arraysOf(kept);
    fRemovedTransform = parentOf(patch.node());
    fRemoving = true;
    PELLIX_PASS_ON(execute());
    fDone = true;
    setResult(MString(patchName.c_str()));
    return MS::kSuccess;
}

MStatus PellixPatchCreateCommand::create(const MArgDatabase& args)
{
    MStatus status;
    // The faces: named on the command line, else the selected ones.
    MStringArray items;
    PELLIX_CHECK(args.getObjects(items));
    std::vector<int> faceIds;
    std::string driverName;
    std::string selectedControl;  // the last object named or selected with the faces
    const auto takeDriver = [&](const MDagPath& mesh, const std::string& name) -> MStatus {
        if (fDriver.isValid() && !(fDriver == mesh))
            return fail("faces of two meshes are selected ('" + driverName + "' and '" + name +
                        "'); select faces of one driver mesh.");
        fDriver = mesh;
        driverName = name;
        return MS::kSuccess;
    };
    for (unsigned i = 0; i < items.length(); ++i) {
        const std::string item = items[i].asChar();
        const std::string object = PatchAuthoring::faceComponentObject(item);
        if (object.empty()) {
            selectedControl = item;  // the control, named with the faces
            continue;
        }
        MSelectionList list;
        MDagPath mesh;
        MeshResolution resolution = MeshResolution::kNoMesh;
        if (!list.add(object.c_str()) || !list.getDagPath(0, mesh) || !resolveMesh(mesh, resolution) ||
            resolution == MeshResolution::kNoMesh)
            return fail("no such mesh: '" + object + "'.");
        if (resolution == MeshResolution::kIntermediate)
            PELLIX_CHECK(list.getDagPath(0, mesh));  // faces named on an Orig shape stay on it
        PELLIX_PASS_ON(takeDriver(mesh, object));
        MFnMesh fn(mesh, &status);
        PELLIX_CHECK(status);
        std::string parsedName;
        if (!PatchAuthoring::parseFaceComponent(item, fn.numPolygons(), parsedName, faceIds))
            return fail("'" + item + "' names no faces of '" + object + "'.");
    }
    if (items.length() == 0) {
        MSelectionList active;
        PELLIX_CHECK(MGlobal::getActiveSelectionList(active));
        for (MItSelectionList it(active); !it.isDone(); it.next()) {
            MDagPath mesh;
            MObject component;
            if (!it.getDagPath(mesh, component))
                continue;
            if (component.isNull()) {
                selectedControl = mesh.partialPathName().asChar();  // the control, selected with the faces
                continue;
            }
            if (!component.hasFn(MFn::kMeshPolygonComponent))
                continue;  // vertices or edges
            MeshResolution resolution = MeshResolution::kNoMesh;
            const MDagPath given(mesh);
            PELLIX_CHECK(resolveMesh(mesh, resolution));
            if (resolution != MeshResolution::kMesh)
                mesh = given;
            MDagPath named(mesh);
            if (named.node().hasFn(MFn::kMesh) && named.length() > 1)
                PELLIX_CHECK(named.pop());  // faces are named by their mesh's transform, as Maya lists them
            PELLIX_PASS_ON(takeDriver(mesh, named.partialPathName().asChar()));
            const MFnSingleIndexedComponent faces(component, &status);
            PELLIX_CHECK(status);
            MIntArray elements;
            PELLIX_CHECK(faces.getElements(elements));
            for (unsigned k = 0; k < elements.length(); ++k)
                faceIds.push_back(elements[k]);
        }
    }
    if (faceIds.empty())
        return fail("no faces selected; select faces of the driver mesh (body.f[10:40]).");
    std::sort(faceIds.begin(), faceIds.end());
    faceIds.erase(std::unique(faceIds.begin(), faceIds.end()), faceIds.end());

    const std::string controlName = args.isFlagSet("-control") ? stringFlag(args, "-control") : selectedControl;
    if (controlName.empty())
        return fail("no control given: select it after the faces, or name it with -control.");
    const MObject control = nodeNamed(controlName);
    if (control.isNull())
        return fail("no such control: '" + controlName + "'.");

    const std::string patchName = stringFlag(args, "-name");
    const std::string nameProblem = patchName.empty() ? "" : nodeNameProblem(patchName, false);
    if (!nameProblem.empty())
        return fail("-name '" + patchName + "' is not a node name: " + nameProblem + ".", MS::kInvalidParameter);

    // The driver's overlay, or the one this run makes.
    const MObject existing = PellixDataOverlay::drivenBy(fDriver);
    const std::string overlayName = stringFlag(args, "-overlay");
    if (!overlayName.empty()) {
        const MObject named = overlayNamed(overlayName);
        if (!named.isNull() && named != existing)
            return fail("overlay '" + overlayName + "' does not belong to driver '" + driverName + "'.");
        if (named.isNull() && !existing.isNull())
            return fail("driver '" + driverName + "' already has overlay '" + nameOf(parentOf(existing)) +
                        "'; name that one with -overlay, or leave -overlay out.");
    }
    fOverlay = existing;
    fOverlayName = overlayName.empty() ? MString("pellixDataOverlay") : MString(overlayName.c_str());
    if (!existing.isNull())
        fOverlayName = nameOf(parentOf(existing)).c_str();
    fGroupName = fOverlayName + "Patches";

    // Only the selected faces are read: a patch costs what its faces cost, whatever the driver's size.
    MFnMesh driverFn(fDriver, &status);
    PELLIX_CHECK(status);
    const MMatrix toWorld = fDriver.inclusiveMatrix(&status);
    PELLIX_CHECK(status);

    PellixDataOverlay::StoredPatchArrays stored;
    if (!existing.isNull() && !PellixDataOverlay::readPatchArrays(existing, stored))
        return fail("the binding data of overlay '" + nameOf(parentOf(existing)) +
                    "' could not be read; rebind it with pellixDataBind.");
    const bool force = args.isFlagSet("-force");
    // Refuses faces that a patch of the overlay already covers, unless forced.
    const auto refuseCovered = [&](const std::vector<int>& ids) -> MStatus {
        if (force || existing.isNull())
            return MS::kSuccess;
        DriverFaces selected;
        PELLIX_CHECK(readFacesOf(driverFn, ids, selected));
        const PatchAuthoring::CoveredFace covered = PatchAuthoring::findCoveredFace(
            stored.matchingSpans(), selected.list, selected.starts, firstIds(ids.size()));
        if (covered.face < 0)
            return MS::kSuccess;
        const MObject source = messageSources(existing, PellixDataOverlay::patchSourceMeshes,
                                              covered.patch + 1)[static_cast<size_t>(covered.patch)];
        const std::string holder =
            source.isNull() ? "patch " + std::to_string(covered.patch) : "patch '" + nameOf(parentOf(source)) + "'";
        return fail("face " + driverName + ".f[" + std::to_string(ids[static_cast<size_t>(covered.face)]) +
                    "] is already in " + holder +
                    " of overlay '" + fOverlayName.asChar() + "'; use -force to add it again.");
    };
    PELLIX_PASS_ON(refuseCovered(faceIds));

    const auto plan = [&](const std::vector<int>& ids, const std::string& name, const MObject& target,
                          const char* colourFlag) -> MStatus {
        NewPatch patch;
        DriverFaces faces;
        PELLIX_CHECK(readFacesOf(driverFn, ids, faces));
        PatchAuthoring::extractPatch(faces.list, faces.starts, firstIds(ids.size()), patch.mesh);
        // The driver's world positions, as a bind matches them.
        for (const int v : patch.mesh.driverVertices) {
            MPoint point;
            PELLIX_CHECK(driverFn.getPoint(v, point, MSpace::kObject));
            PELLIX_CHECK(patch.points.append(MFloatPoint(point * toWorld)));
        }
        // The faces' UVs, shared as the driver shares them.
        if (driverFn.numUVs() > 0) {
            std::unordered_map<int, int> local;
            for (size_t f = 0; f < ids.size(); ++f) {
                const int face = ids[f];
                const int count = faces.counts[static_cast<unsigned>(f)];
                std::vector<int> corners;
                for (int k = 0, id = -1; k < count; ++k) {
                    if (!driverFn.getPolygonUVid(face, k, id))
                        break;
                    corners.push_back(id);
                }
                const bool mapped = static_cast<int>(corners.size()) == count;
                patch.uvCounts.push_back(mapped ? count : 0);
                for (size_t k = 0; mapped && k < corners.size(); ++k) {
                    const auto inserted = local.emplace(corners[k], static_cast<int>(patch.u.size()));
                    if (inserted.second) {
                        float u = 0.0f;
                        float v = 0.0f;
                        driverFn.getPolygonUV(face, static_cast<int>(k), u, v);
                        patch.u.push_back(u);
                        patch.v.push_back(v);
                    }
                    patch.uvIds.push_back(inserted.first->second);
                }
            }
        }
        patch.name = name.c_str();
        patch.control = target;
        patch.hasColor = colorFlag(args, colourFlag, patch.color);
        fPatches.push_back(std::move(patch));
        return MS::kSuccess;
    };
    const std::string controlShort = nameOf(control);
    PELLIX_PASS_ON(plan(faceIds, patchName.empty() ? controlShort + "_patch" : patchName, control, "-color"));

    if (args.isFlagSet("-mirror")) {
        const std::string axisText = args.isFlagSet("-axis") ? stringFlag(args, "-axis") : "x";
        const int axis = axisText == "x" ? 0 : axisText == "y" ? 1 : axisText == "z" ? 2 : -1;
        if (axis < 0)
            return fail("-axis must be x, y or z, not '" + axisText + "'.", MS::kInvalidParameter);
        double tolerance = kDefaultMirrorTolerance;
        if (args.isFlagSet("-tolerance"))
            tolerance = args.flagArgumentDouble("-tolerance", 0);
        if (!std::isfinite(tolerance) || tolerance <= 0.0)
            return fail("-tolerance must be a finite value greater than zero.", MS::kInvalidParameter);
        const std::string otherName = PatchAuthoring::otherSideName(controlShort);
        if (otherName.empty())
            return fail("control '" + controlShort +
                        "' has no side in its name (L_/R_, _L/_R, left/right, Lf/Rt) to mirror.");
        const MObject otherControl = nodeNamed(otherName);
        if (otherControl.isNull())
            return fail("mirrored control '" + otherName + "' does not exist.");
        // Mirroring searches the whole driver.
        DriverFaces faces;
        PELLIX_CHECK(readFaces(fDriver, faces));
        MPointArray points;
        PELLIX_CHECK(driverFn.getPoints(points, MSpace::kWorld));
        std::vector<double> xyz(3 * static_cast<size_t>(points.length()));
        for (unsigned i = 0; i < points.length(); ++i) {
            xyz[3 * i] = points[i].x;
            xyz[3 * i + 1] = points[i].y;
            xyz[3 * i + 2] = points[i].z;
        }
        const PatchAuthoring::MirroredFaces mirrored = PatchAuthoring::mirrorFaces(
            xyz.data(), points.length(), faces.list, faces.starts, faceIds, axis, tolerance);
        const std::string toleranceText = PatchBinding::formatNumber(tolerance);
        if (mirrored.mirrored.empty())
            return fail("no faces mirror the selected faces across " + axisText + " within tolerance " +
                        toleranceText + ".");
        if (!mirrored.unmatched.empty())
            MGlobal::displayWarning(MString((kCommand + ": " + std::to_string(mirrored.unmatched.size()) +
                                             " face(s) have no mirror within tolerance " + toleranceText + ": " +
                                             PatchAuthoring::faceRangesText(driverName, mirrored.unmatched))
                                                .c_str()));
        std::vector<int> overlap;
        std::set_intersection(faceIds.begin(), faceIds.end(), mirrored.mirrored.begin(), mirrored.mirrored.end(),
                              std::back_inserter(overlap));
        if (!overlap.empty())
            return fail("the mirrored faces overlap the selected ones (" +
                        PatchAuthoring::faceRangesText(driverName, overlap) + "); select faces of one side.");
        PELLIX_PASS_ON(refuseCovered(mirrored.mirrored));
        std::string otherPatch = patchName.empty() ? otherName + "_patch" : PatchAuthoring::otherSideName(patchName);
        if (otherPatch.empty())
            otherPatch = patchName + "_mirror";
        PELLIX_PASS_ON(plan(mirrored.mirrored, otherPatch, otherControl, "-mirrorColor"));
    }

    // The stored patches as they are, the new ones after them.
    PatchBinding::PatchArrays arrays = existing.isNull() ? PatchBinding::PatchArrays() : patchArraysOf(stored);
    fFirstNewPatch = arrays.patchCount();
    std::vector<int> triangles;
    std::vector<int> edges;
    for (const NewPatch& patch : fPatches) {
        PatchAuthoring::patchTopology(patch.mesh, triangles, edges);
        const PatchBinding::PatchTopology topology{triangles.data(), static_cast<int64_t>(triangles.size()),
                                                   edges.data(), static_cast<int64_t>(edges.size())};
        if (!PatchBinding::appendBoundPatch(arrays, patch.mesh.driverVertices.data(),
                                            static_cast<int64_t>(patch.mesh.driverVertices.size()), topology))
            return fail("the overlay cannot hold another patch of this size.");
    }
    fArrays = arraysOf(arrays);
    PELLIX_PASS_ON(execute());
    fDone = true;
    return MS::kSuccess;
}

MStatus PellixPatchCreateCommand::execute()
{
    MStatus status;
    fNodes = std::make_unique<MDagModifier>();
    fSettings = std::make_unique<MDGModifier>();
    fDeletion = std::make_unique<MDagModifier>();
    fShapes.clear();

    if (fRemoving) {
        const int64_t count = static_cast<int64_t>(fSources.size());
        for (int i = 0; i < PellixDataOverlay::kPatchArrayCount; ++i)
            PELLIX_CHECK(queueIntArray(*fSettings, fOverlay, PellixDataOverlay::patchArrayAttribute(i),
                                       fArrays[static_cast<size_t>(i)]));
        // Later patches move down one place, with their sources and controls.
        const auto link = [this](int64_t p, int64_t index, bool connect) -> MStatus {
            PELLIX_PASS_ON(connectMessage(*fSettings, fSources[p], fOverlay, PellixDataOverlay::patchSourceMeshes,
                                          index, connect));
            return connectMessage(*fSettings, fControls[p], fOverlay, PellixDataOverlay::patchControl, index,
                                  connect);
        };
        for (int64_t p = fRemovedIndex; p < count; ++p)
            PELLIX_CHECK(link(p, p, false));
        for (int64_t p = fRemovedIndex + 1; p < count; ++p)
            PELLIX_CHECK(link(p, p - 1, true));
        PELLIX_CHECK(fDeletion->deleteNode(fRemovedTransform));
        MStatus done = fSettings->doIt();
        if (done)
            done = fDeletion->doIt();
        if (!done) {
            done.pAPIerror(kStatusSource, __LINE__);
            PELLIX_REPORT(undoIt());
            return done;
        }
        return finish();
    }

    const MStatus made = makeNodes();
    if (!made) {
        PELLIX_REPORT(fNodes->undoIt());
        return made;
    }
    return makeShapes();
}

MStatus PellixPatchCreateCommand::makeNodes()
{
    MStatus status;
    // The overlay (when the driver has none), the group of patch meshes and their transforms.
    fOverlayShape = fOverlay;
    if (fOverlayShape.isNull()) {
        const MObject transform = fNodes->createNode("transform", MObject::kNullObj, &status);
        PELLIX_CHECK(status);
        fOverlayShape = fNodes->createNode(PellixDataOverlay::id, transform, &status);
        PELLIX_CHECK(status);
        PELLIX_CHECK(fNodes->renameNode(transform, fOverlayName));
        PELLIX_CHECK(fNodes->doIt());
        // The name the overlay got (another may hold the one asked for) names its shape and group.
        const MString given = nameOf(transform).c_str();
        PELLIX_CHECK(fNodes->renameNode(fOverlayShape, given + "Shape"));
        PELLIX_CHECK(fNodes->doIt());
        fGroupName = given + "Patches";
    }
    MObject group = nodeNamed(fGroupName.asChar());
    if (group.isNull() || !group.hasFn(MFn::kTransform)) {
        group = fNodes->createNode("transform", MObject::kNullObj, &status);
        PELLIX_CHECK(status);
        PELLIX_CHECK(fNodes->renameNode(group, fGroupName));
    }
    fTransforms.clear();
    for (const NewPatch& patch : fPatches) {
        fTransforms.push_back(fNodes->createNode("transform", group, &status));
        PELLIX_CHECK(status);
        PELLIX_CHECK(fNodes->renameNode(fTransforms.back(), patch.name));
    }
    return fNodes->doIt();
}

MStatus PellixPatchCreateCommand::makeShapes()
{
    MStatus status;
    const MObject& overlay = fOverlayShape;
    fSettings = std::make_unique<MDGModifier>();
    fShapes.clear();

    // The meshes, each with the driver's positions and winding, tagged with its control.
    MStatus built = MS::kSuccess;
    for (size_t i = 0; i < fPatches.size() && built; ++i) {
        const NewPatch& patch = fPatches[i];
        const MFloatPointArray& points = patch.points;
        const MIntArray counts(patch.mesh.faceCounts.data(), static_cast<unsigned>(patch.mesh.faceCounts.size()));
        const MIntArray connects(patch.mesh.faceVertices.data(),
                                 static_cast<unsigned>(patch.mesh.faceVertices.size()));
        MFnMesh mesh;
        MObject shape;
        if (built && !patch.u.empty()) {
            const MFloatArray u(patch.u.data(), static_cast<unsigned>(patch.u.size()));
            const MFloatArray v(patch.v.data(), static_cast<unsigned>(patch.v.size()));
            shape = mesh.create(static_cast<int>(points.length()), static_cast<int>(counts.length()), points, counts,
                                connects, u, v, fTransforms[i], &built);
            if (built) {
                const MIntArray uvCounts(patch.uvCounts.data(), static_cast<unsigned>(patch.uvCounts.size()));
                const MIntArray uvIds(patch.uvIds.data(), static_cast<unsigned>(patch.uvIds.size()));
                built = mesh.assignUVs(uvCounts, uvIds);
            }
        } else if (built) {
            shape = mesh.create(static_cast<int>(points.length()), static_cast<int>(counts.length()), points, counts,
                                connects, fTransforms[i], &built);
        }
        if (built) {
            fShapes.push_back(mesh.object());
            MFnDependencyNode named(mesh.object(), &built);
            if (built)
                named.setName(patch.name + "Shape", false, &built);
        }
    }
    if (!built) {
        built.pAPIerror(kStatusSource, __LINE__);
        PELLIX_REPORT(fNodes->undoIt());
        return built;
    }

    // Tags and colours, then the binding.
    MFnMessageAttribute messageFn;
    MFnNumericAttribute numericFn;
    for (size_t i = 0; i < fShapes.size(); ++i) {
        const MObject tag = messageFn.create("pellixSelectNode", "psn", &status);
        PELLIX_CHECK(status);
        PELLIX_CHECK(fSettings->addAttribute(fShapes[i], tag));
        if (fPatches[i].hasColor) {
            const MObject colour = numericFn.createColor("pellixPatchColor", "ppc", &status);
            PELLIX_CHECK(status);
            PELLIX_CHECK(fSettings->addAttribute(fShapes[i], colour));
        }
    }
    PELLIX_CHECK(fSettings->doIt());
    for (size_t i = 0; i < fShapes.size(); ++i) {
        const NewPatch& patch = fPatches[i];
        MFnDependencyNode shape(fShapes[i], &status);
        PELLIX_CHECK(status);
        PELLIX_CHECK(fSettings->connect(messagePlug(patch.control), shape.findPlug("pellixSelectNode", false)));
        if (patch.hasColor) {
            const MPlug colour = shape.findPlug("pellixPatchColor", false, &status);
            PELLIX_CHECK(status);
            for (unsigned c = 0; c < 3; ++c)
                PELLIX_CHECK(fSettings->newPlugValueFloat(colour.child(c), static_cast<float>(patch.color[c])));
        }
        MFnDependencyNode transform(fTransforms[i], &status);
        PELLIX_CHECK(status);
        PELLIX_CHECK(fSettings->newPlugValueBool(transform.findPlug("visibility", false), false));
    }
    for (int i = 0; i < PellixDataOverlay::kPatchArrayCount; ++i)
        PELLIX_CHECK(queueIntArray(*fSettings, overlay, PellixDataOverlay::patchArrayAttribute(i),
                                   fArrays[static_cast<size_t>(i)]));
    if (fOverlay.isNull()) {
        MFnDependencyNode driverFn(fDriver.node(), &status);
        PELLIX_CHECK(status);
        MPlug worldMesh = driverFn.findPlug("worldMesh", false, &status);
        PELLIX_CHECK(status);
        const unsigned instance = fDriver.instanceNumber(&status);
        PELLIX_CHECK(status);
        PELLIX_CHECK(worldMesh.selectAncestorLogicalIndex(instance, worldMesh.attribute()));
        PELLIX_CHECK(fSettings->connect(worldMesh, MPlug(overlay, PellixDataOverlay::inMesh)));
    }
    for (size_t i = 0; i < fShapes.size(); ++i) {
        const int64_t index = fFirstNewPatch + static_cast<int64_t>(i);
        PELLIX_CHECK(
            connectMessage(*fSettings, fShapes[i], overlay, PellixDataOverlay::patchSourceMeshes, index, true));
        PELLIX_CHECK(
            connectMessage(*fSettings, fPatches[i].control, overlay, PellixDataOverlay::patchControl, index, true));
    }
    const MStatus settled = fSettings->doIt();
    if (!settled) {
        settled.pAPIerror(kStatusSource, __LINE__);
        PELLIX_REPORT(undoIt());
        return settled;
    }
    return finish();
}

MStatus PellixPatchCreateCommand::finish()
{
    // A new overlay registers itself; its callbacks come with the first one.
    if (fOverlay.isNull() && !fRemoving)
        installOverlayCallbacks();
    resyncOverlayInteraction();
    if (fRemoving)
        return MS::kSuccess;
    MStringArray names;
    for (const MObject& transform : fTransforms)
        names.append(nameOf(transform).c_str());
    if (names.length() == 1)
        setResult(names[0]);
    else
        setResult(names);
    return MS::kSuccess;
}

MStatus PellixPatchCreateCommand::undoIt()
{
    MStatus first = MS::kSuccess;
    // The patch meshes leave with their transforms and come back with them on redo.
    for (MDGModifier* step : {static_cast<MDGModifier*>(fDeletion.get()), fSettings.get(),
                              static_cast<MDGModifier*>(fNodes.get())}) {
        const MStatus status = step ? step->undoIt() : MStatus(MS::kSuccess);
        if (!status && first) {
            status.pAPIerror(kStatusSource, __LINE__);
            first = status;
        }
    }
    rebuildOverlayNodeRegistry();
    resyncOverlayInteraction();
    return first;
}

MStatus PellixPatchCreateCommand::redoIt()
{
    if (fRemoving) {
        PELLIX_CHECK(fSettings->doIt());
        PELLIX_CHECK(fDeletion->doIt());
        return finish();
    }
    PELLIX_CHECK(fNodes->doIt());
    // Where the transforms came back without their meshes, the meshes are made again.
    bool kept = fShapes.size() == fTransforms.size();
    for (size_t i = 0; kept && i < fShapes.size(); ++i) {
        MStatus status;
        const MFnDagNode shape(fShapes[i], &status);
        kept = status && MObjectHandle(fShapes[i]).isAlive() && shape.parentCount() == 1 &&
               shape.parent(0) == fTransforms[i];
    }
    if (!kept)
        return makeShapes();
    PELLIX_CHECK(fSettings->doIt());
    return finish();
}
