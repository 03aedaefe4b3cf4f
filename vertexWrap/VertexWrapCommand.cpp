#include "vertexWrap/VertexWrapCommand.h"

#include "plugin/CommandObjects.h"
#include "plugin/MeshResolve.h"
#include "plugin/NodeNames.h"
#include "plugin/StatusCheck.h"
#include "vertexWrap/VertexMapping.h"
#include "vertexWrap/VertexWrap.h"

#include <maya/MArgDatabase.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnIntArrayData.h>
#include <maya/MFnMesh.h>
#include <maya/MItDependencyGraph.h>
#include <maya/MPlug.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

#include <string>

namespace {
const char* const kStatusSource = "vertexWrapCommand";

const char* const kNameFlag = "-n";
const char* const kNameFlagLong = "-name";

// The visible mesh item `index` of the objects names, or the wrap's refusal naming it.
MStatus wrapMeshAt(const MSelectionList& objects, unsigned index, MDagPath& path)
{
    if (!objects.getDagPath(index, path)) {
        MPxCommand::displayError("vertexWrap: object has no visible mesh shape: " + objectName(objects, index));
        return MS::kFailure;
    }
    MeshResolution resolution = MeshResolution::kNoMesh;
    PELLIX_PASS_ON(resolveMesh(path, resolution));
    if (resolution == MeshResolution::kIntermediate) {
        MPxCommand::displayError("vertexWrap: selected mesh is intermediate: " + path.partialPathName());
        return MS::kFailure;
    }
    if (resolution == MeshResolution::kNoMesh) {
        MPxCommand::displayError("vertexWrap: object has no visible mesh shape: " + path.partialPathName());
        return MS::kFailure;
    }
    return MS::kSuccess;
}

// The mesh's object-space points as xyz triples.
MStatus readObjectPoints(const MDagPath& mesh, std::vector<double>& xyz)
{
    MStatus status;
    MFnMesh meshFn(mesh, &status);
    PELLIX_CHECK(status);
    MPointArray points;
    PELLIX_CHECK(meshFn.getPoints(points, MSpace::kObject));
    const unsigned count = points.length();
    xyz.resize(3 * static_cast<size_t>(count));
    for (unsigned i = 0; i < count; ++i) {
        xyz[3 * static_cast<size_t>(i)] = points[i].x;
        xyz[3 * static_cast<size_t>(i) + 1] = points[i].y;
        xyz[3 * static_cast<size_t>(i) + 2] = points[i].z;
    }
    return MS::kSuccess;
}

bool anyMatched(const MIntArray& map)
{
    for (unsigned k = 0; k < map.length(); ++k) {
        if (map[k] >= 0)
            return true;
    }
    return false;
}

bool containsNode(const MObjectArray& nodes, const MObject& node)
{
    for (unsigned i = 0; i < nodes.length(); ++i) {
        if (nodes[i] == node)
            return true;
    }
    return false;
}

} // namespace

const MString VertexWrapCommand::commandName("vertexWrap");

VertexWrapCommand::VertexWrapCommand() = default;
VertexWrapCommand::~VertexWrapCommand() = default;

void* VertexWrapCommand::creator()
{
    return new VertexWrapCommand();
}

MSyntax VertexWrapCommand::newSyntax()
{
    MSyntax syntax;
    PELLIX_REPORT(syntax.addFlag(kNameFlag, kNameFlagLong, MSyntax::kString));
    // The driver, then the targets; the active selection when none are named. Too few are
    // refused by the command, with its own usage message.
    PELLIX_REPORT(syntax.setObjectType(MSyntax::kSelectionList, 0, 100));
    syntax.useSelectionAsDefault(true);
    syntax.enableQuery(false);
    syntax.enableEdit(false);
    return syntax;
}

bool VertexWrapCommand::isUndoable() const
{
    return true;
}

MStatus VertexWrapCommand::collectDeformers(const MDagPath& target, MObjectArray& deformers) const
{
    MStatus status;
    MObject root = target.node(&status);
    PELLIX_CHECK(status);
    MItDependencyGraph it(root, MFn::kInvalid, MItDependencyGraph::kUpstream, MItDependencyGraph::kDepthFirst,
                          MItDependencyGraph::kNodeLevel, &status);
    PELLIX_CHECK(status);
    for (; !it.isDone(); it.next()) {
        MObject node = it.currentItem(&status);
        PELLIX_CHECK(status);
        MFnDependencyNode nodeFn(node, &status);
        PELLIX_CHECK(status);
        if (nodeFn.typeId() == VertexWrap::id && !containsNode(deformers, node))
            PELLIX_CHECK(deformers.append(node));
    }
    return MS::kSuccess;
}

MStatus VertexWrapCommand::findNewDeformer(const MDagPath& target, MObject& deformer) const
{
    MObjectArray upstream;
    PELLIX_CHECK(collectDeformers(target, upstream));
    for (unsigned i = 0; i < upstream.length(); ++i) {
        if (!containsNode(fExistingDeformers, upstream[i])) {
            deformer = upstream[i];
            return MS::kSuccess;
        }
    }
    const MStatus missing(MS::kFailure);
    missing.pAPIerror(kStatusSource, __LINE__);
    return missing;
}

MStatus VertexWrapCommand::doIt(const MArgList& args)
{
    MStatus status;
    MArgDatabase parsed(syntax(), args, &status);
    if (!status)
        return status;  // the parser has said what is wrong
    MSelectionList objects;
    PELLIX_CHECK(parsed.getObjects(objects));
    const unsigned objectCount = objects.length();
    if (objectCount > 0 && firstObjectNamedAgain(parsed, objects)) {
        displayError("vertexWrap: driver mesh cannot also be a target mesh: " + objectName(objects, 0));
        return MS::kFailure;
    }
    if (objectCount < 2) {
        displayError("vertexWrap: select driver mesh followed by one or more target meshes.");
        return MS::kFailure;
    }

    PELLIX_PASS_ON(wrapMeshAt(objects, 0, fDriver));
    std::vector<double> driverXyz;
    PELLIX_CHECK(readObjectPoints(fDriver, driverXyz));
    if (driverXyz.empty()) {
        displayError("vertexWrap: driver mesh has no vertices: " + fDriver.partialPathName());
        return MS::kFailure;
    }
    PatchMatching::DriverGrid grid;
    if (!VertexMapping::buildDriverGrid(driverXyz.data(), static_cast<int64_t>(driverXyz.size() / 3), grid)) {
        const MStatus tooLarge(MS::kFailure);
        tooLarge.pAPIerror(kStatusSource, __LINE__);
        return tooLarge;
    }

    PELLIX_CHECK(fTargets.clear());
    fMaps.clear();
    PELLIX_CHECK(fExistingDeformers.clear());
    std::vector<double> targetXyz;
    MStringArray unmatched;
    for (unsigned i = 1; i < objectCount; ++i) {
        MDagPath target;
        PELLIX_PASS_ON(wrapMeshAt(objects, i, target));
        if (target == fDriver) {
            displayError("vertexWrap: driver mesh cannot also be a target mesh: " + target.partialPathName());
            return MS::kFailure;
        }
        // The deformer goes in through the target's inMesh.
        const MPlug inMesh = MFnDependencyNode(target.node()).findPlug("inMesh", false, &status);
        PELLIX_CHECK(status);
        if (inMesh.isLocked()) {
            displayError("vertexWrap: cannot deform " + target.partialPathName() + ": " + inMesh.name() + " is locked.");
            return MS::kFailure;
        }
        PELLIX_CHECK(readObjectPoints(target, targetXyz));
        const int64_t vertexCount = static_cast<int64_t>(targetXyz.size() / 3);
        MIntArray map;
        PELLIX_CHECK(map.setLength(static_cast<unsigned>(vertexCount)));
        if (vertexCount > 0)
            VertexMapping::mapTargetVertices(grid, targetXyz.data(), vertexCount, &map[0]);
        if (!anyMatched(map))
            unmatched.append(target.partialPathName());
        PELLIX_CHECK(fTargets.append(target));
        fMaps.push_back(std::move(map));
    }

    // Deformers already on the targets, so that the one this run adds can be told apart.
    for (unsigned i = 0; i < fTargets.length(); ++i)
        PELLIX_CHECK(collectDeformers(fTargets[i], fExistingDeformers));

    fName = "vertexWrap#";
    if (parsed.isFlagSet(kNameFlag)) {
        PELLIX_CHECK(parsed.getFlagArgument(kNameFlag, 0, fName));
        // The name goes into MEL text, so only what Maya takes for a node name passes.
        const std::string problem = nodeNameProblem(fName.asChar(), true);
        if (!problem.empty()) {
            displayError("vertexWrap: deformer name is not a legal node name (" + MString(problem.c_str()) +
                         "): " + fName);
            return MS::kFailure;
        }
    }

    MString mel = "deformer -type vertexWrap -n \"" + fName + "\"";
    for (unsigned i = 0; i < fTargets.length(); ++i)
        mel += " \"" + fTargets[i].partialPathName() + "\"";
    PELLIX_CHECK(fModifier.commandToExecute(mel));
    status = redoIt();
    // A target with no vertex on the driver is wrapped all the same, but nothing will move it.
    for (unsigned i = 0; status && i < unmatched.length(); ++i)
        displayWarning("vertexWrap: no vertex of " + unmatched[i] + " lies on a vertex of " +
                       fDriver.partialPathName() + "; it will not follow the driver.");
    return status;
}

MStatus VertexWrapCommand::redoIt()
{
    PELLIX_CHECK(fModifier.doIt());
    const MStatus status = wrapTargets();
    if (!status) {
        // No half-set deformer stays in the targets' history.
        PELLIX_REPORT(fModifier.undoIt());
    }
    return status;
}

MStatus VertexWrapCommand::wrapTargets()
{
    MStatus status;
    MFnDependencyNode driverFn(fDriver.node(&status), &status);
    PELLIX_CHECK(status);
    MPlug worldMesh = driverFn.findPlug("worldMesh", false, &status);
    PELLIX_CHECK(status);
    PELLIX_CHECK(worldMesh.selectAncestorLogicalIndex(fDriver.instanceNumber()));

    MObject deformer;
    PELLIX_CHECK(findNewDeformer(fTargets[0], deformer));
    MPlug mapsPlug(deformer, VertexWrap::vertexMapping);
    for (unsigned i = 0; i < fTargets.length(); ++i) {
        MFnIntArrayData mapData;
        MObject mapObject = mapData.create(fMaps[i], &status);
        PELLIX_CHECK(status);
        MPlug element = mapsPlug.elementByLogicalIndex(i, &status);
        PELLIX_CHECK(status);
        PELLIX_CHECK(element.setMObject(mapObject));
    }

    MDGModifier connection;
    PELLIX_CHECK(connection.connect(worldMesh, MPlug(deformer, VertexWrap::inMesh)));
    PELLIX_CHECK(connection.doIt());
    return MS::kSuccess;
}

MStatus VertexWrapCommand::undoIt()
{
    PELLIX_CHECK(fModifier.undoIt());
    return MS::kSuccess;
}
