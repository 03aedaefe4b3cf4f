#include "overlay/PellixDataBindCommand.h"

#include "overlay/OverlayCallbacks.h"
#include "overlay/OverlayNodeRegistry.h"
#include "overlay/PellixDataOverlay.h"
#include "plugin/CommandObjects.h"
#include "plugin/IntArrayData.h"
#include "plugin/MeshResolve.h"
#include "plugin/NodeNames.h"
#include "plugin/PlugQueries.h"
#include "plugin/StatusCheck.h"

#include <maya/MArgDatabase.h>
#include <maya/MFn.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnIntArrayData.h>
#include <maya/MFnMesh.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MObjectArray.h>
#include <maya/MObjectHandle.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>
#include <maya/MTypes.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

const char* const kStatusSource = "pellixDataBindCommand";


void reportError(const std::string& text)
{
    MGlobal::displayError(MString(text.c_str()));
}

void reportWarning(const std::string& text)
{
    MGlobal::displayWarning(MString(text.c_str()));
}

std::string pathText(const MDagPath& path)
{
    return path.fullPathName().asChar();
}

// How a message names a DAG object: its shortest unique path.
std::string nameText(const MDagPath& path)
{
    return path.partialPathName().asChar();
}

// The mesh's vertex count; 0 when it cannot be read.
int vertexCountOf(const MDagPath& mesh)
{
    MStatus status;
    MFnMesh fn(mesh, &status);
    const int count = status ? fn.numVertices(&status) : 0;
    return status ? count : 0;
}

// A set of dependency nodes, for skipping repeats without comparing every pair.
class NodeSet
{
public:
    // Adds the node; false when it was already there.
    bool insert(const MObject& node)
    {
        const unsigned key = MObjectHandle(node).hashCode();
        auto range = fNodes.equal_range(key);
        for (auto it = range.first; it != range.second; ++it) {
            if (it->second.first == node)
                return false;
        }
        fNodes.emplace(key, std::make_pair(node, fNodes.size()));
        return true;
    }

    // The insertion rank of the node, -1 when it is not in the set.
    int64_t rankOf(const MObject& node) const
    {
        auto range = fNodes.equal_range(MObjectHandle(node).hashCode());
        for (auto it = range.first; it != range.second; ++it) {
            if (it->second.first == node)
                return static_cast<int64_t>(it->second.second);
        }
        return -1;
    }

private:
    std::unordered_multimap<unsigned, std::pair<MObject, size_t>> fNodes;
};

// Whether the path leads to a visible mesh, extending it to that mesh. An intermediate
// shape counts as no mesh here; host failures are reported by the resolver.
bool resolveToMesh(MDagPath& path)
{
    MeshResolution resolution = MeshResolution::kNoMesh;
    return resolveMesh(path, resolution) && resolution == MeshResolution::kMesh;
}

// The node connected into a user-added "pellixSelectNode" plug, or the null object.
MObject userSelectNode(const MObject& node)
{
    MStatus status;
    MFnDependencyNode fn(node, &status);
    if (!status || !fn.hasAttribute("pellixSelectNode"))
        return MObject::kNullObj;
    const MPlug plug = fn.findPlug("pellixSelectNode", false, &status);
    return status ? sourceNodeOf(plug) : MObject::kNullObj;
}

bool selectsParent(const MObject& transform)
{
    MStatus status;
    MFnDependencyNode fn(transform, &status);
    if (!status || !fn.hasAttribute("pellixSelectParent"))
        return false;
    const MPlug plug = fn.findPlug("pellixSelectParent", false, &status);
    return status && plug.asBool(&status) && status;
}

// Whether popping one node off the path leaves a node below the world.
bool popToParent(MDagPath& path)
{
    MStatus status;
    return path.pop() && path.isValid(&status) && status && path.length(&status) > 0 && status;
}

// The object a click on the patch selects: a node wired into "pellixSelectNode" on the
// shape or its transform, the transform's parent when "pellixSelectParent" says so, else
// the transform.
MObject selectTarget(const MDagPath& patch)
{
    MObject target = userSelectNode(patch.node());
    if (!target.isNull())
        return target;
    MDagPath parent(patch);
    if (!popToParent(parent))
        return patch.node();
    target = userSelectNode(parent.node());
    if (!target.isNull())
        return target;
    if (selectsParent(parent.node())) {
        MDagPath grandparent(parent);
        if (popToParent(grandparent) && grandparent.node().hasFn(MFn::kTransform))
            return grandparent.node();
    }
    return parent.node();
}

PatchMatching::IntSpan spanOf(const MIntArray& values)
{
    return {intArrayData(values), static_cast<int64_t>(values.length())};
}

MIntArray toIntArray(const std::vector<int>& values)
{
    return values.empty() ? MIntArray() : MIntArray(values.data(), static_cast<unsigned>(values.size()));
}

void copyXyz(const MPointArray& points, std::vector<double>& xyz)
{
    const unsigned count = points.length();
    xyz.resize(3 * static_cast<size_t>(count));
    for (unsigned i = 0; i < count; ++i) {
        xyz[3 * i] = points[i].x;
        xyz[3 * i + 1] = points[i].y;
        xyz[3 * i + 2] = points[i].z;
    }
}

template <typename Value>
MStatus readValue(const MObject& node, const MObject& attribute, Value& value)
{
    MStatus status;
    const MPlug plug(node, attribute);
    Value read;
    if constexpr (std::is_same<Value, bool>::value)
        read = plug.asBool(&status);
    else if constexpr (std::is_same<Value, int>::value)
        read = plug.asInt(&status);
    else
        read = plug.asFloat(&status);
    PELLIX_PASS_ON(status);
    value = read;
    return MS::kSuccess;
}

// A colour's three children; a colour with fewer children keeps what it had.
MStatus readColor(const MObject& node, const MObject& attribute, float (&rgb)[3])
{
    MStatus status;
    const MPlug plug(node, attribute);
    if (plug.numChildren(&status) < 3 || !status)
        return MS::kSuccess;
    float read[3];
    for (unsigned i = 0; i < 3; ++i) {
        read[i] = plug.child(i, &status).asFloat(&status);
        PELLIX_PASS_ON(status);
    }
    std::copy(read, read + 3, rgb);
    return MS::kSuccess;
}

MStatus queueColor(MDGModifier& modifier, const MObject& node, const MObject& attribute, const float (&rgb)[3])
{
    MStatus status;
    const MPlug plug(node, attribute);
    for (unsigned i = 0; i < 3; ++i) {
        const MPlug channel = plug.child(i, &status);
        PELLIX_PASS_ON(status);
        PELLIX_PASS_ON(modifier.newPlugValueFloat(channel, rgb[i]));
    }
    return MS::kSuccess;
}

} // namespace

const MString PellixDataBindCommand::commandName("pellixDataBind");

PellixDataBindCommand::PellixDataBindCommand() = default;
PellixDataBindCommand::~PellixDataBindCommand() = default;

void* PellixDataBindCommand::creator()
{
    return new PellixDataBindCommand();
}

MSyntax PellixDataBindCommand::newSyntax()
{
    MSyntax syntax;
    PELLIX_REPORT(syntax.addFlag("-n", "-name", MSyntax::kString));
    PELLIX_REPORT(syntax.addFlag("-hp", "-hidePatches", MSyntax::kBoolean));
    PELLIX_REPORT(syntax.addFlag("-bt", "-bindTolerance", MSyntax::kDouble));
    PELLIX_REPORT(syntax.addFlag("-pr", "-partialRebind", MSyntax::kBoolean));
    // The driver, then the patches; the active selection when none are named. Too few are
    // refused by the command, with its own usage message.
    PELLIX_REPORT(syntax.setObjectType(MSyntax::kSelectionList, 0, 1000));
    syntax.useSelectionAsDefault(true);
    syntax.enableQuery(false);
    syntax.enableEdit(false);
    return syntax;
}

bool PellixDataBindCommand::isUndoable() const
{
    return true;
}

MStatus PellixDataBindCommand::doIt(const MArgList& args)
{
    Options options;
    PELLIX_PASS_ON(parseOptions(args, options));

    MDagPath driver;
    if (!options.objects.getDagPath(0, driver) || !resolveToMesh(driver)) {
        reportError(std::string("pellixDataBind: first selected object must be a driver mesh: ") +
                    objectName(options.objects, 0).asChar());
        return MS::kFailure;
    }
    PELLIX_PASS_ON(buildDriverGrid(driver, options.tolerance));

    rebuildOverlayNodeRegistry();
    const MObject existing = PellixDataOverlay::drivenBy(driver);
    if (options.partialRebind && existing.isNull()) {
        reportError("pellixDataBind: partialRebind requires an existing overlay for the driver.");
        return MS::kFailure;
    }
    std::vector<MDagPath> patches;
    if (options.driverNamedAgain)
        reportWarning("pellixDataBind: skipped driver mesh in patch list: " + nameText(driver));
    PELLIX_PASS_ON(collectPatches(options.objects, driver, patches));

    BindResult result;
    const MStatus bound = options.partialRebind ? rebindPartly(existing, patches, result) : bindAll(patches, result);
    finishRun();
    PELLIX_PASS_ON(bound);
    if (result.arrays.patchCount() == 0) {
        reportError("pellixDataBind: no valid patch meshes were found.");
        return MS::kFailure;
    }

    PELLIX_PASS_ON(replaceOrCreateOverlay(options, driver, existing, result));
    fDone = true;
    PELLIX_PASS_ON(finishExecution());
    reportSummary(options, static_cast<int64_t>(patches.size()), result);
    return MS::kSuccess;
}

MStatus PellixDataBindCommand::parseOptions(const MArgList& args, Options& options) const
{
    MStatus status;
    MArgDatabase parsed(syntax(), args, &status);
    if (!status)
        return status;  // the parser has said what is wrong
    PELLIX_CHECK(parsed.getObjects(options.objects));
    // "pellixDataBind body body" arrives as one object: the driver given again as a patch.
    options.driverNamedAgain = firstObjectNamedAgain(parsed, options.objects);
    if (options.objects.length() == 0 || (options.objects.length() < 2 && !options.driverNamedAgain)) {
        reportError("pellixDataBind: select driver mesh followed by one or more patch meshes.");
        return MS::kFailure;
    }
    if (parsed.isFlagSet("-name")) {
        PELLIX_CHECK(parsed.getFlagArgument("-name", 0, options.name));
        // An empty name means the default one.
        const std::string problem =
            options.name.length() > 0 ? nodeNameProblem(options.name.asChar(), false) : std::string();
        if (!problem.empty()) {
            reportError("pellixDataBind: overlay name is not a legal node name (" + problem +
                        "): " + options.name.asChar());
            return MS::kFailure;
        }
    }
    if (parsed.isFlagSet("-hidePatches"))
        PELLIX_CHECK(parsed.getFlagArgument("-hidePatches", 0, options.hidePatches));
    if (parsed.isFlagSet("-partialRebind"))
        PELLIX_CHECK(parsed.getFlagArgument("-partialRebind", 0, options.partialRebind));
    if (parsed.isFlagSet("-bindTolerance"))
        PELLIX_CHECK(parsed.getFlagArgument("-bindTolerance", 0, options.tolerance));
    return checkTolerance(options.tolerance);
}

MStatus PellixDataBindCommand::checkTolerance(double tolerance)
{
    if (!std::isfinite(tolerance) || tolerance <= 0.0) {
        reportError("pellixDataBind: bindTolerance must be a finite value greater than zero.");
        return MS::kInvalidParameter;
    }
    // The overlay stores no tolerance below its attribute's minimum, so a smaller one would be
    // reported as used while another is stored.
    MStatus status;
    MFnNumericAttribute toleranceAttribute(PellixDataOverlay::bindTolerance, &status);
    PELLIX_CHECK(status);
    double smallestStored = 0.0;
    PELLIX_CHECK(toleranceAttribute.getMin(smallestStored));
    if (tolerance < smallestStored) {
        reportError("pellixDataBind: bindTolerance must be at least " + PatchBinding::formatNumber(smallestStored) +
                    ".");
        return MS::kInvalidParameter;
    }
    return MS::kSuccess;
}

MStatus PellixDataBindCommand::collectPatches(const MSelectionList& objects, const MDagPath& driver,
                                              std::vector<MDagPath>& patches)
{
    // Patches in the order given, each mesh once, never the driver.
    NodeSet listed;
    for (unsigned i = 1; i < objects.length(); ++i) {
        MDagPath patch;
        if (!objects.getDagPath(i, patch) || !resolveToMesh(patch)) {
            reportWarning(std::string("pellixDataBind: skipped non-mesh patch: ") + objectName(objects, i).asChar());
        } else if (patch == driver) {
            reportWarning("pellixDataBind: skipped driver mesh in patch list: " + nameText(patch));
        } else if (vertexCountOf(patch) == 0) {
            reportWarning("pellixDataBind: skipped patch mesh with no vertices: " + nameText(patch));
        } else if (listed.insert(patch.node())) {
            patches.push_back(patch);
        }
    }
    if (patches.empty()) {
        reportError("pellixDataBind: no valid patch meshes were found.");
        return MS::kFailure;
    }
    return MS::kSuccess;
}

MStatus PellixDataBindCommand::replaceOrCreateOverlay(const Options& options, const MDagPath& driver,
                                                      const MObject& existing, const BindResult& result)
{
    DisplaySettings settings;
    std::vector<MObject> trackedControls;
    MString replacedName;
    if (!existing.isNull()) {
        fReplacing = true;
        PELLIX_PASS_ON(takeOverOverlay(existing, settings, trackedControls, replacedName));
    }

    MString name = options.name;
    if (name.length() == 0)
        name = replacedName.length() > 0 ? replacedName : MString("pellixDataOverlay");
    MStatus status = createOverlay(name);
    if (status)
        status = queueOverlayValues(result, settings, options.tolerance);
    if (status)
        status = queueConnections(driver, result, trackedControls);
    if (status && options.hidePatches)
        status = queueHiddenPatches(result.patchPaths);
    if (!status) {
        // Creation may have run; nothing queued after it has.
        PELLIX_REPORT(fCreation.undoIt());
        return status;
    }
    return executeAfterCreation();
}

void PellixDataBindCommand::reportSummary(const Options& options, int64_t givenPatches, const BindResult& result)
{
    const std::string summary =
        options.partialRebind
            ? PatchBinding::partialRebindSummary(givenPatches, result.arrays.patchCount(), result.vertexTotal,
                                                 options.tolerance)
            : PatchBinding::fullBindSummary(result.arrays.patchCount(), result.vertexTotal, options.tolerance);
    MGlobal::displayInfo(summary.c_str());
}

MStatus PellixDataBindCommand::undoIt()
{
    if (!fDone)
        return MS::kFailure;
    const MStatus status = undoExecuted(fReplacing ? 4 : 2);
    rebuildOverlayNodeRegistry();
    resyncOverlayInteraction();
    return status;
}

MStatus PellixDataBindCommand::redoIt()
{
    if (!fDone)
        return MS::kFailure;
    MStatus status = fCreation.doIt();
    if (!status) {
        status.pAPIerror(kStatusSource, __LINE__);
        PELLIX_REPORT(fCreation.undoIt());
        return status;
    }
    PELLIX_PASS_ON(executeAfterCreation());
    return finishExecution();
}

MStatus PellixDataBindCommand::finishExecution()
{
    rebuildOverlayNodeRegistry();
    installOverlayCallbacks();
    resyncOverlayInteraction();
    MStatus status;
    MFnDependencyNode shape(fShape, &status);
    PELLIX_CHECK(status);
    setResult(shape.name());
    return MS::kSuccess;
}

MStatus PellixDataBindCommand::buildDriverGrid(const MDagPath& driver, double tolerance)
{
    MStatus status;
    MFnMesh mesh(driver, &status);
    PELLIX_CHECK(status);
    MPointArray points;
    PELLIX_CHECK(mesh.getPoints(points, MSpace::kWorld));
    if (points.length() == 0) {
        reportError("pellixDataBind: driver mesh has no vertices: " + nameText(driver));
        return MS::kFailure;
    }
    copyXyz(points, fDriverPoints);
    if (!fGrid.build(fDriverPoints.data(), points.length(), tolerance)) {
        reportError("pellixDataBind: driver mesh '" + pathText(driver) + "' cannot be matched at bind tolerance " +
                    PatchBinding::formatNumber(tolerance) + ".");
        return MS::kFailure;
    }
    return MS::kSuccess;
}

MStatus PellixDataBindCommand::bindPatch(const MDagPath& patch, BindResult& result)
{
    MStatus status;
    MFnMesh mesh(patch, &status);
    PELLIX_CHECK(status);
    MPointArray points;
    PELLIX_CHECK(mesh.getPoints(points, MSpace::kWorld));
    copyXyz(points, fPatchPoints);
    const int64_t vertexCount = points.length();
    fDriverIds.resize(static_cast<size_t>(vertexCount));
    const PatchMatching::PatchMatch match =
        PatchMatching::matchPatchVertices(fGrid, fPatchPoints.data(), vertexCount, fDriverIds.data(), fMatchScratch);
    if (match.outside > 0) {
        reportError(PatchBinding::outsideToleranceError(pathText(patch), match.outside, vertexCount,
                                                        fGrid.tolerance()));
        return MS::kFailure;
    }
    if (match.shared > 0)
        reportWarning(PatchBinding::sharedVerticesWarning(pathText(patch), match.shared));

    MIntArray triangleCounts;
    MIntArray triangleVertices;
    PELLIX_CHECK(mesh.getTriangles(triangleCounts, triangleVertices));
    const int edgeCount = mesh.numEdges(&status);
    PELLIX_CHECK(status);
    fEdgeVertices.clear();
    fEdgeVertices.reserve(2 * static_cast<size_t>(edgeCount > 0 ? edgeCount : 0));
    for (int e = 0; e < edgeCount; ++e) {
        int2 pair;
        // An edge whose vertices cannot be read is left out.
        if (mesh.getEdgeVertices(e, pair)) {
            fEdgeVertices.push_back(pair[0]);
            fEdgeVertices.push_back(pair[1]);
        }
    }

    PatchBinding::PatchTopology topology;
    const PatchMatching::IntSpan triangles = spanOf(triangleVertices);
    topology.triangleVertices = triangles.data;
    topology.triangleVertexCount = triangles.length;
    topology.edgeVertices = fEdgeVertices.data();
    topology.edgeVertexCount = static_cast<int64_t>(fEdgeVertices.size());
    if (!PatchBinding::appendBoundPatch(result.arrays, fDriverIds.data(), vertexCount, topology)) {
        reportError("pellixDataBind: patch '" + pathText(patch) + "' does not fit in the overlay's storage.");
        return MS::kFailure;
    }
    result.vertexTotal += vertexCount;
    return MS::kSuccess;
}

MStatus PellixDataBindCommand::bindAll(const std::vector<MDagPath>& patches, BindResult& result)
{
    for (const MDagPath& patch : patches) {
        PELLIX_PASS_ON(bindPatch(patch, result));
        result.patchPaths.push_back(patch);
        result.controls.push_back(selectTarget(patch));
    }
    return MS::kSuccess;
}

MStatus PellixDataBindCommand::rebindPartly(const MObject& overlay, const std::vector<MDagPath>& patches,
                                            BindResult& result)
{
    PellixDataOverlay::StoredPatchArrays stored;
    if (!PellixDataOverlay::readPatchArrays(overlay, stored) || stored.values[0].length() == 0) {
        reportError("pellixDataBind: existing overlay binding data could not be read; use a full Rebind.");
        return MS::kFailure;
    }
    const PatchMatching::StoredPatchArrays arrays = stored.matchingSpans();
    const int64_t patchCount = arrays.vertexCounts.length;

    const std::vector<MObject> sources = messageSources(overlay, PellixDataOverlay::patchSourceMeshes, patchCount);
    const std::vector<MObject> controls = messageSources(overlay, PellixDataOverlay::patchControl, patchCount);

    // Each given patch marks the first stored patch made from its mesh.
    NodeSet storedSources;
    std::vector<int64_t> storedIndexOfRank;
    for (int64_t p = 0; p < patchCount; ++p) {
        if (!sources[p].isNull() && storedSources.insert(sources[p]))
            storedIndexOfRank.push_back(p);
    }
    std::vector<bool> rebind(static_cast<size_t>(patchCount), false);
    for (const MDagPath& patch : patches) {
        const int64_t rank = storedSources.rankOf(patch.node());
        if (rank < 0) {
            reportError("pellixDataBind: selected patch is not part of the existing overlay: " + pathText(patch));
            return MS::kFailure;
        }
        rebind[storedIndexOfRank[rank]] = true;
    }

    int64_t vertexStart = 0;
    for (int64_t p = 0; p < patchCount; ++p) {
        if (sources[p].isNull()) {
            reportError("pellixDataBind: an existing patch source is missing; use a full Rebind.");
            return MS::kFailure;
        }
        MDagPath path;
        if (!MDagPath::getAPathTo(sources[p], path) || !resolveToMesh(path)) {
            reportError("pellixDataBind: an existing patch mesh could not be resolved; use a full Rebind.");
            return MS::kFailure;
        }
        if (rebind[p]) {
            PELLIX_PASS_ON(bindPatch(path, result));
        } else {
            const PatchBinding::CopyResult copied =
                PatchBinding::copyStoredPatch(arrays, p, vertexStart, result.arrays);
            if (copied != PatchBinding::CopyResult::kCopied) {
                reportError(PatchBinding::copyFailureError(copied));
                return MS::kFailure;
            }
        }
        result.patchPaths.push_back(path);
        result.controls.push_back(controls[p].isNull() ? selectTarget(path) : controls[p]);
        vertexStart = PatchMatching::nextVertexStart(arrays.vertexCounts, p, vertexStart);
    }
    return MS::kSuccess;
}

MStatus PellixDataBindCommand::takeOverOverlay(const MObject& overlay, DisplaySettings& settings,
                                               std::vector<MObject>& trackedControls, MString& replacedName)
{
    MStatus status;
    const MPlug tracked(overlay, PellixDataOverlay::trackedShapeControls);
    const unsigned trackedCount = tracked.numElements(&status);
    PELLIX_CHECK(status);
    NodeSet seen;
    for (unsigned i = 0; i < trackedCount; ++i) {
        const MPlug element = tracked.elementByPhysicalIndex(i, &status);
        PELLIX_CHECK(status);
        const MObject control = sourceNodeOf(element);
        if (control.isNull())
            continue;
        MFnDependencyNode fn(control, &status);
        if (status && fn.typeName() == "shapeControl" && seen.insert(control))
            trackedControls.push_back(control);
    }

    MDagPath path;
    PELLIX_CHECK(MDagPath::getAPathTo(overlay, path));

    PELLIX_CHECK(readValue(overlay, PellixDataOverlay::enable, settings.enable));
    PELLIX_CHECK(readValue(overlay, PellixDataOverlay::liveDraw, settings.liveDraw));
    PELLIX_CHECK(readValue(overlay, PellixDataOverlay::drawInXray, settings.drawInXray));
    PELLIX_CHECK(readValue(overlay, PellixDataOverlay::drawWireframe, settings.drawWireframe));
    PELLIX_CHECK(readValue(overlay, PellixDataOverlay::drawMarker, settings.drawMarker));
    PELLIX_CHECK(readValue(overlay, PellixDataOverlay::showTransformReadout, settings.showTransformReadout));
    PELLIX_CHECK(readValue(overlay, PellixDataOverlay::transparency, settings.transparency));
    PELLIX_CHECK(readValue(overlay, PellixDataOverlay::hoverTransparency, settings.hoverTransparency));
    PELLIX_CHECK(readValue(overlay, PellixDataOverlay::selectedTransparency, settings.selectedTransparency));
    PELLIX_CHECK(readValue(overlay, PellixDataOverlay::wireframeWidth, settings.wireframeWidth));
    PELLIX_CHECK(readValue(overlay, PellixDataOverlay::readoutTextSize, settings.readoutTextSize));
    PELLIX_CHECK(readColor(overlay, PellixDataOverlay::color, settings.color));
    PELLIX_CHECK(readColor(overlay, PellixDataOverlay::hoverColor, settings.hoverColor));
    PELLIX_CHECK(readColor(overlay, PellixDataOverlay::selectedColor, settings.selectedColor));

    PELLIX_CHECK(path.pop());
    if (!path.isValid() || path.length() == 0)
        return MS::kFailure;
    const MObject transform = path.node(&status);
    PELLIX_CHECK(status);
    MFnDependencyNode fn(transform, &status);
    PELLIX_CHECK(status);
    replacedName = fn.name(&status);
    PELLIX_CHECK(status);
    // The old overlay goes once its successor is complete; a locked one could not go, nor one
    // from a referenced file (the file would bring it back beside its successor on reopen).
    if (fn.isLocked() || MFnDependencyNode(overlay).isLocked()) {
        reportError(std::string("pellixDataBind: cannot replace the locked overlay: ") + replacedName.asChar());
        return MS::kFailure;
    }
    if (fn.isFromReferencedFile() || MFnDependencyNode(overlay).isFromReferencedFile()) {
        reportError(std::string("pellixDataBind: cannot replace the overlay ") + replacedName.asChar() +
                    ": it is from a referenced file.");
        return MS::kFailure;
    }
    PELLIX_CHECK(fDeletion.deleteNode(transform));
    return MS::kSuccess;
}

MStatus PellixDataBindCommand::createOverlay(const MString& name)
{
    MStatus status;
    fTransform = fCreation.createNode("transform", MObject::kNullObj, &status);
    PELLIX_CHECK(status);
    fShape = fCreation.createNode(PellixDataOverlay::id, fTransform, &status);
    PELLIX_CHECK(status);
    PELLIX_CHECK(fCreation.doIt());

    // A replaced overlay still holds its name until it is deleted, so the renames wait for that.
    MDGModifier& renames = fReplacing ? fRename : fSettings;
    PELLIX_CHECK(renames.renameNode(fTransform, name));
    PELLIX_CHECK(renames.renameNode(fShape, name + "Shape"));
    return MS::kSuccess;
}

MStatus PellixDataBindCommand::queueOverlayValues(const BindResult& result, const DisplaySettings& settings,
                                                  double tolerance)
{
    MStatus status;
    const std::vector<int>* values[PellixDataOverlay::kPatchArrayCount] = {
        &result.arrays.vertexCounts,   &result.arrays.driverVertexIndices, &result.arrays.triangleOffsets,
        &result.arrays.triangleCounts, &result.arrays.triangleIndices,     &result.arrays.edgeOffsets,
        &result.arrays.edgeCounts,     &result.arrays.edgeIndices,
    };
    for (int i = 0; i < PellixDataOverlay::kPatchArrayCount; ++i) {
        MFnIntArrayData data;
        MObject value = data.create(toIntArray(*values[i]), &status);
        PELLIX_CHECK(status);
        PELLIX_CHECK(fSettings.newPlugValue(MPlug(fShape, PellixDataOverlay::patchArrayAttribute(i)), value));
    }
    PELLIX_CHECK(fSettings.newPlugValueBool(MPlug(fShape, PellixDataOverlay::enable), settings.enable));
    PELLIX_CHECK(fSettings.newPlugValueBool(MPlug(fShape, PellixDataOverlay::liveDraw), settings.liveDraw));
    PELLIX_CHECK(fSettings.newPlugValueDouble(MPlug(fShape, PellixDataOverlay::bindTolerance), tolerance));
    PELLIX_CHECK(fSettings.newPlugValueBool(MPlug(fShape, PellixDataOverlay::drawInXray), settings.drawInXray));
    PELLIX_CHECK(fSettings.newPlugValueBool(MPlug(fShape, PellixDataOverlay::drawWireframe), settings.drawWireframe));
    PELLIX_CHECK(fSettings.newPlugValueBool(MPlug(fShape, PellixDataOverlay::drawMarker), settings.drawMarker));
    PELLIX_CHECK(fSettings.newPlugValueBool(MPlug(fShape, PellixDataOverlay::showTransformReadout),
                                            settings.showTransformReadout));
    PELLIX_CHECK(fSettings.newPlugValueFloat(MPlug(fShape, PellixDataOverlay::transparency), settings.transparency));
    PELLIX_CHECK(fSettings.newPlugValueFloat(MPlug(fShape, PellixDataOverlay::hoverTransparency),
                                             settings.hoverTransparency));
    PELLIX_CHECK(fSettings.newPlugValueFloat(MPlug(fShape, PellixDataOverlay::selectedTransparency),
                                             settings.selectedTransparency));
    PELLIX_CHECK(fSettings.newPlugValueFloat(MPlug(fShape, PellixDataOverlay::wireframeWidth),
                                             settings.wireframeWidth));
    PELLIX_CHECK(fSettings.newPlugValueInt(MPlug(fShape, PellixDataOverlay::readoutTextSize),
                                           settings.readoutTextSize));
    PELLIX_CHECK(queueColor(fSettings, fShape, PellixDataOverlay::color, settings.color));
    PELLIX_CHECK(queueColor(fSettings, fShape, PellixDataOverlay::hoverColor, settings.hoverColor));
    PELLIX_CHECK(queueColor(fSettings, fShape, PellixDataOverlay::selectedColor, settings.selectedColor));
    return MS::kSuccess;
}

MStatus PellixDataBindCommand::queueConnections(const MDagPath& driver, const BindResult& result,
                                                const std::vector<MObject>& trackedControls)
{
    MStatus status;
    MFnDependencyNode driverFn(driver.node(), &status);
    PELLIX_CHECK(status);
    MPlug worldMesh = driverFn.findPlug("worldMesh", false, &status);
    PELLIX_CHECK(status);
    const unsigned instance = driver.instanceNumber(&status);
    PELLIX_CHECK(status);
    PELLIX_CHECK(worldMesh.selectAncestorLogicalIndex(instance, worldMesh.attribute()));
    PELLIX_CHECK(fSettings.connect(worldMesh, MPlug(fShape, PellixDataOverlay::inMesh)));

    const MPlug sourceMeshes(fShape, PellixDataOverlay::patchSourceMeshes);
    const MPlug patchControls(fShape, PellixDataOverlay::patchControl);
    for (size_t i = 0; i < result.patchPaths.size(); ++i) {
        MFnDependencyNode patch(result.patchPaths[i].node(), &status);
        PELLIX_CHECK(status);
        const MPlug message = patch.findPlug("message", false, &status);
        PELLIX_CHECK(status);
        const MPlug element = sourceMeshes.elementByLogicalIndex(static_cast<unsigned>(i), &status);
        PELLIX_CHECK(status);
        PELLIX_CHECK(fSettings.connect(message, element));
    }
    for (size_t i = 0; i < result.controls.size(); ++i) {
        if (result.controls[i].isNull())
            continue;
        MFnDependencyNode control(result.controls[i], &status);
        if (!status || !control.hasAttribute("message"))
            continue;
        const MPlug message = control.findPlug("message", false, &status);
        PELLIX_CHECK(status);
        const MPlug element = patchControls.elementByLogicalIndex(static_cast<unsigned>(i), &status);
        PELLIX_CHECK(status);
        PELLIX_CHECK(fSettings.connect(message, element));
    }
    const MPlug tracked(fShape, PellixDataOverlay::trackedShapeControls);
    for (size_t i = 0; i < trackedControls.size(); ++i) {
        MFnDependencyNode control(trackedControls[i], &status);
        if (!status || control.typeName() != "shapeControl")
            continue;
        const MPlug message = control.findPlug("message", false, &status);
        PELLIX_CHECK(status);
        const MPlug element = tracked.elementByLogicalIndex(static_cast<unsigned>(i), &status);
        PELLIX_CHECK(status);
        PELLIX_CHECK(fSettings.connect(message, element));
    }
    return MS::kSuccess;
}

MStatus PellixDataBindCommand::queueHiddenPatches(const std::vector<MDagPath>& patches)
{
    MStatus status;
    for (const MDagPath& patch : patches) {
        MDagPath transform(patch);
        if (!popToParent(transform))
            continue;
        MFnDependencyNode fn(transform.node(), &status);
        PELLIX_CHECK(status);
        if (!fn.hasAttribute("visibility"))
            continue;
        const MPlug visibility = fn.findPlug("visibility", false, &status);
        PELLIX_CHECK(status);
        // A patch the rig keeps visible stays so; the bind does not fail for it.
        const char* const kept =
            visibility.isLocked() ? "locked" : !visibility.source().isNull() ? "connected" : nullptr;
        if (kept) {
            reportWarning("pellixDataBind: patch " + nameText(transform) + " stays visible: its visibility is " +
                          kept + ".");
            continue;
        }
        PELLIX_CHECK(fSettings.newPlugValueBool(visibility, false));
    }
    return MS::kSuccess;
}

MStatus PellixDataBindCommand::executeAfterCreation()
{
    MDGModifier* const steps[] = {&fSettings, &fDeletion, &fRename};
    const int count = fReplacing ? 3 : 1;
    for (int i = 0; i < count; ++i) {
        const MStatus status = steps[i]->doIt();
        if (!status) {
            status.pAPIerror(kStatusSource, __LINE__);
            // The failing step may have run in part; undo it with everything before it.
            PELLIX_REPORT(undoExecuted(i + 2));
            return status;
        }
    }
    return MS::kSuccess;
}

MStatus PellixDataBindCommand::undoExecuted(int executedSteps)
{
    MDGModifier* const steps[] = {&fCreation, &fSettings, &fDeletion, &fRename};
    MStatus first = MS::kSuccess;
    for (int i = executedSteps - 1; i >= 0; --i) {
        const MStatus status = steps[i]->undoIt();
        if (!status && first) {
            status.pAPIerror(kStatusSource, __LINE__);
            first = status;
        }
    }
    return first;
}

void PellixDataBindCommand::finishRun()
{
    // The command stays on the undo queue: the driver's points and grid are not kept with it.
    fGrid.clear();
    std::vector<double>().swap(fDriverPoints);
    std::vector<double>().swap(fPatchPoints);
    std::vector<int>().swap(fDriverIds);
    std::vector<int>().swap(fMatchScratch);
    std::vector<int>().swap(fEdgeVertices);
}
