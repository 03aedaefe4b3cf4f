#include "vertexWrap/VertexWrapCommand.h"

#include "plugin/MeshResolve.h"
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

#include <string>

namespace {
const char* const kStatusSource = "vertexWrapCommand";

const char* const kNameFlag = "-n";
const char* const kNameFlagLong = "-name";

// The deformer's name goes into MEL text, so only what Maya takes for a node
// name passes: names of letters, digits and underscores that do not start
// with a digit, namespaces before the name each ended by ":" ("rig:wrap", or
// ":wrap" for the root namespace), and a last "#" for the number the host
// fills in.
bool isLegalNodeName(const MString& name)
{
    const std::string text(name.asChar(), name.length());
    const size_t begin = !text.empty() && text.front() == ':' ? 1 : 0;
    const size_t end = !text.empty() && text.back() == '#' ? text.size() - 1 : text.size();
    if (begin >= end)
        return false;
    bool segmentStart = true;
    for (size_t i = begin; i < end; ++i) {
        const char c = text[i];
        if (c == ':') {
            if (segmentStart)
                return false;  // an empty namespace
            segmentStart = true;
            continue;
        }
        const bool digit = c >= '0' && c <= '9';
        const bool legal = digit || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
        if (!legal || (segmentStart && digit))
            return false;
        segmentStart = false;
    }
    return !segmentStart;
}

// Leaves the path on the visible mesh it names, or refuses it with the wrap's message.
MStatus resolveWrapMesh(MDagPath& path)
{
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
    // The driver, then the targets; the active selection when none are named.
    PELLIX_REPORT(syntax.setObjectType(MSyntax::kSelectionList, 2, 100));
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
    PELLIX_CHECK(status);
    MSelectionList objects;
    PELLIX_CHECK(parsed.getObjects(objects));
    const unsigned objectCount = objects.length();
    if (objectCount < 2) {
        displayError("vertexWrap: select driver mesh followed by one or more target meshes.");
        return MS::kFailure;
    }

    PELLIX_CHECK(objects.getDagPath(0, fDriver));
    PELLIX_PASS_ON(resolveWrapMesh(fDriver));
    std::vector<double> driverXyz;
    PELLIX_CHECK(readObjectPoints(fDriver, driverXyz));
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
    for (unsigned i = 1; i < objectCount; ++i) {
        MDagPath target;
        PELLIX_CHECK(objects.getDagPath(i, target));
        PELLIX_PASS_ON(resolveWrapMesh(target));
        if (target == fDriver) {
            displayError("vertexWrap: driver mesh cannot also be a target mesh.");
            return MS::kFailure;
        }
        PELLIX_CHECK(readObjectPoints(target, targetXyz));
        const int64_t vertexCount = static_cast<int64_t>(targetXyz.size() / 3);
        MIntArray map;
        PELLIX_CHECK(map.setLength(static_cast<unsigned>(vertexCount)));
        if (vertexCount > 0)
            VertexMapping::mapTargetVertices(grid, targetXyz.data(), vertexCount, &map[0]);
        PELLIX_CHECK(fTargets.append(target));
        fMaps.push_back(std::move(map));
    }

    // Deformers already on the targets, so that the one this run adds can be told apart.
    for (unsigned i = 0; i < fTargets.length(); ++i)
        PELLIX_CHECK(collectDeformers(fTargets[i], fExistingDeformers));

    fName = "vertexWrap#";
    if (parsed.isFlagSet(kNameFlag)) {
        PELLIX_CHECK(parsed.getFlagArgument(kNameFlag, 0, fName));
        if (!isLegalNodeName(fName)) {
            displayError("vertexWrap: deformer name is not a legal node name: " + fName);
            return MS::kFailure;
        }
    }

    MString mel = "deformer -type vertexWrap -n \"" + fName + "\"";
    for (unsigned i = 0; i < fTargets.length(); ++i)
        mel += " \"" + fTargets[i].partialPathName() + "\"";
    PELLIX_CHECK(fModifier.commandToExecute(mel));
    return redoIt();
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
