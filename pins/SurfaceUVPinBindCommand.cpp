#include "pins/SurfaceUVPinBindCommand.h"

#include "pins/PinBindTargets.h"
#include "pins/PinCommandSupport.h"
#include "pins/PinFrameMath.h"
#include "pins/PinUVTable.h"
#include "plugin/IntArrayData.h"
#include "plugin/StatusCheck.h"

#include <maya/MArgDatabase.h>
#include <maya/MIntArray.h>
#include <maya/MMatrix.h>
#include <maya/MPlug.h>
#include <maya/MStringArray.h>

#include <vector>

using namespace PinCommandSupport;
using PinFrameMath::Vec3d;

namespace {
const char* const kStatusSource = "surfaceUVPin";

// What the first pass over the controls learns of each pin's triangle.
struct UVPinCorners {
    int vertexIds[3];
    int normalIds[3];
    double weights[3];
    float cornerUVs[6];
    float pinUV[2];
};

MStatus queueArray(MDGModifier& modifier, const MObject& node, const char* attribute, MObject data)
{
    MStatus status;
    const MPlug plug = nodePlug(node, attribute, &status);
    PELLIX_CHECK(status);
    PELLIX_CHECK(modifier.newPlugValue(plug, data));
    return MStatus::kSuccess;
}

// The arrays a bind writes onto the node, one entry (or pair) per control.
struct UVBindArrays {
    explicit UVBindArrays(unsigned count)
        : pinUVs(2 * count), bindTangents(2 * count), preferredTriangles(count), bindSurfaceMatrices(count),
          bindControlMatrices(count)
    {
    }
    std::vector<double> pinUVs;
    std::vector<double> bindTangents;
    std::vector<int> preferredTriangles;
    std::vector<MMatrix> bindSurfaceMatrices;  // identity unless maintaining the offset
    std::vector<MMatrix> bindControlMatrices;
};

// The mesh's triangulation with the offset of each face's first triangle vertex.
struct Triangulation {
    MIntArray counts;
    MIntArray vertices;
    std::vector<int64_t> faceOffsets;

    MStatus read(MFnMesh& fn)
    {
        PELLIX_CHECK(fn.getTriangles(counts, vertices));
        faceOffsets.assign(counts.length() + 1, 0);
        for (unsigned f = 0; f < counts.length(); ++f)
            faceOffsets[f + 1] = faceOffsets[f] + 3 * static_cast<int64_t>(counts[f]);
        return MStatus::kSuccess;
    }

    // The triangle of `face` holding `point`; a face beyond the triangulation has no
    // triangles, so the fan answers for it.
    PinFrameMath::TriangleChoice search(const PinFrameMath::FaceCorners& corners, int face, const Vec3d& point) const
    {
        const bool triangulated = face >= 0 && static_cast<unsigned>(face) < counts.length();
        return PinFrameMath::triangulationSearch(corners, intArrayData(vertices),
                                                 vertices.length(), triangulated ? faceOffsets[face] : 0,
                                                 triangulated ? counts[face] : 0, point);
    }
};

// The corners of a chosen triangle: vertex and normal ids, weights and UVs.
MStatus takeCorners(BindMesh& mesh, int face, const PinFrameMath::TriangleChoice& choice, const MString& uvSet,
                    MIntArray& faceNormalIds, UVPinCorners& pin)
{
    const int normalCount = mesh.normalCount();
    PELLIX_CHECK(mesh.readFaceNormalIds(face, faceNormalIds));
    for (int k = 0; k < 3; ++k) {
        const int local = choice.localPositions[k];
        const int normalId =
            local >= 0 && static_cast<unsigned>(local) < faceNormalIds.length() ? faceNormalIds[local] : -1;
        if (normalCount <= 0 || normalId < 0 || normalId >= normalCount) {
            MPxCommand::displayError("surfaceUVPinBind: mesh did not provide valid face-vertex normal ids: " +
                                     mesh.mesh().partialPathName());
            return MS::kFailure;
        }
        pin.vertexIds[k] = choice.vertexIds[k];
        pin.normalIds[k] = normalId;
        pin.weights[k] = choice.weights[k];
        if (!mesh.mesh().getPolygonUV(face, local, pin.cornerUVs[2 * k], pin.cornerUVs[2 * k + 1], &uvSet)) {
            MString faceName = mesh.mesh().partialPathName() + ".f[";
            faceName += face;
            MPxCommand::displayError("surfaceUVPinBind: mesh face is missing usable UVs in UV set " + uvSet + ": " +
                                     faceName + "]");
            return MS::kFailure;
        }
    }
    return MStatus::kSuccess;
}

// Finds each control's triangle and UV: the closest point on the mesh, the triangle of its
// face that holds it, and the UV the triangle's corner UVs give there.
MStatus placePins(BindMesh& mesh, const MMatrixArray& controls, const MString& uvSet,
                  std::vector<UVPinCorners>& pins, UVBindArrays& arrays)
{
    Triangulation triangulation;
    PELLIX_PASS_ON(triangulation.read(mesh.mesh()));
    pins.assign(controls.length(), UVPinCorners{});
    MIntArray faceNormalIds;
    for (unsigned i = 0; i < controls.length(); ++i) {
        UVPinCorners& pin = pins[i];
        Vec3d closest;
        int face = -1;
        PELLIX_CHECK(mesh.closestPoint(controls[i], closest, face));
        PinFrameMath::FaceCorners corners{};
        PELLIX_CHECK(mesh.readFace(face, corners));
        const PinFrameMath::TriangleChoice choice = triangulation.search(corners, face, closest);
        arrays.preferredTriangles[i] = choice.triangleIndex;
        PELLIX_PASS_ON(takeCorners(mesh, face, choice, uvSet, faceNormalIds, pin));
        for (int axis = 0; axis < 2; ++axis) {
            const float* uv = pin.cornerUVs + axis;
            const float w0 = static_cast<float>(pin.weights[0]);
            const float w1 = static_cast<float>(pin.weights[1]);
            const float w2 = static_cast<float>(pin.weights[2]);
            pin.pinUV[axis] = w0 * uv[0] + w1 * uv[2] + w2 * uv[4];
            arrays.pinUVs[2 * i + axis] = pin.pinUV[axis];
        }
    }
    return MStatus::kSuccess;
}

// The bind tangent of each pin as a UV direction and, when maintaining the offset, its bind
// surface frame and control matrix.
MStatus bindTangentsAndFrames(BindMesh& mesh, const MMatrixArray& controls, bool maintainOffset,
                              const std::vector<UVPinCorners>& pins, UVBindArrays& arrays)
{
    const int normalCount = mesh.normalCount();
    std::vector<float> normals;
    PELLIX_CHECK(mesh.readNormals(normals));
    for (unsigned i = 0; i < pins.size(); ++i) {
        const UVPinCorners& pin = pins[i];
        // The weights evaluation will find from the UV, unless the UV triangle is degenerate.
        const PinFrameMath::UVWeights uvWeights =
            PinFrameMath::uvBarycentric(pin.cornerUVs, pin.pinUV[0], pin.pinUV[1]);
        double weights[3] = {pin.weights[0], pin.weights[1], pin.weights[2]};
        if (!uvWeights.degenerate) {
            for (int k = 0; k < 3; ++k)
                weights[k] = uvWeights.w[k];
        }
        Vec3d cornerPoints[3];
        mesh.cornerPoints(pin.vertexIds, cornerPoints);
        const Vec3d n = PinFrameMath::uvPinBindNormal(normals.data(), normalCount, pin.normalIds, weights);

        PinFrameMath::TangentCoefficients tangent{};
        float tangentUV[2] = {1.0f, 0.0f};
        if (maintainOffset) {
            tangent = controlTangent(cornerPoints, n, controls[i], mesh,
                                     PinFrameMath::TangentOrder::kUVPinMaintainOffset);
            PinFrameMath::bindTangentUV(pin.cornerUVs, tangent.a, tangent.b, tangentUV[0], tangentUV[1]);
        } else {
            tangent = PinFrameMath::uvTangentCoefficients(pin.cornerUVs, tangentUV[0], tangentUV[1]);
        }
        arrays.bindTangents[2 * i] = tangentUV[0];
        arrays.bindTangents[2 * i + 1] = tangentUV[1];
        if (maintainOffset) {
            arrays.bindSurfaceMatrices[i] = bindFrame(cornerPoints, weights, n, tangent, mesh);
            arrays.bindControlMatrices[i] = controls[i];
        }
    }
    return MStatus::kSuccess;
}

// Queued on one modifier, so that undo gives an extended node its old bind data back.
MStatus queueBindArrays(MDGModifier& modifier, const MObject& node, const UVBindArrays& arrays, const MString& uvSet,
                        bool maintainOffset, bool useInverse)
{
    MStatus status;
    const MObject uvData = doubleArrayData(arrays.pinUVs, &status);
    PELLIX_CHECK(status);
    PELLIX_PASS_ON(queueArray(modifier, node, "pinUVs", uvData));
    const MObject triangleData = intArrayData(arrays.preferredTriangles, &status);
    PELLIX_CHECK(status);
    PELLIX_PASS_ON(queueArray(modifier, node, "preferredTriangleIndices", triangleData));
    const MPlug uvSetPlug = nodePlug(node, "uvSet", &status);
    PELLIX_CHECK(status);
    PELLIX_CHECK(modifier.newPlugValueString(uvSetPlug, uvSet));
    const MObject tangentData = doubleArrayData(arrays.bindTangents, &status);
    PELLIX_CHECK(status);
    PELLIX_PASS_ON(queueArray(modifier, node, "bindTangents", tangentData));
    const MObject surfaceData = matrixArrayData(arrays.bindSurfaceMatrices, &status);
    PELLIX_CHECK(status);
    PELLIX_PASS_ON(queueArray(modifier, node, "bindSurfaceMatrices", surfaceData));
    const MObject controlData = matrixArrayData(arrays.bindControlMatrices, &status);
    PELLIX_CHECK(status);
    PELLIX_PASS_ON(queueArray(modifier, node, "bindControlMatrices", controlData));
    for (const auto& flag : {std::make_pair("bindMaintainOffset", maintainOffset),
                             std::make_pair("bindUseControlInverse", useInverse)}) {
        const MPlug plug = nodePlug(node, flag.first, &status);
        PELLIX_CHECK(status);
        PELLIX_CHECK(modifier.newPlugValueBool(plug, flag.second));
    }
    return MStatus::kSuccess;
}
} // namespace

const MString SurfaceUVPinBindCommand::commandName("surfaceUVPinBind");

SurfaceUVPinBindCommand::SurfaceUVPinBindCommand() = default;
SurfaceUVPinBindCommand::~SurfaceUVPinBindCommand() = default;

void* SurfaceUVPinBindCommand::creator()
{
    return new SurfaceUVPinBindCommand();
}

MSyntax SurfaceUVPinBindCommand::newSyntax()
{
    MSyntax syntax;
    PELLIX_REPORT(syntax.addFlag("-n", "-node", MSyntax::kString));
    PELLIX_REPORT(syntax.addFlag("-mo", "-maintainOffset"));
    PELLIX_REPORT(syntax.addFlag("-iv", "-inverse", MSyntax::kBoolean));
    // The mesh, then the controls, by name; the active selection when none are named.
    PELLIX_REPORT(syntax.setObjectType(MSyntax::kStringObjects));
    syntax.enableQuery(false);
    syntax.enableEdit(false);
    return syntax;
}

bool SurfaceUVPinBindCommand::isUndoable() const
{
    return true;
}

MStatus SurfaceUVPinBindCommand::doIt(const MArgList& argList)
{
    MStatus status;
    MArgDatabase args(syntax(), argList, &status);
    if (!status)
        return status;  // the parser has said what is wrong
    fCreateNew = !args.isFlagSet("-n");
    fMaintainOffset = args.isFlagSet("-mo");
    const bool inverseGiven = args.isFlagSet("-iv");
    fUseInverse = false;
    if (inverseGiven)
        PELLIX_CHECK(args.getFlagArgument("-iv", 0, fUseInverse));

    MStringArray names;
    PELLIX_CHECK(collectObjectNames(args, names));
    if (fCreateNew) {
        if (names.length() < 2) {
            displayError("surfaceUVPinBind requires a mesh and at least one control.");
            return MS::kFailure;
        }
        PELLIX_PASS_ON(gatherNewTargets(commandName, names, fTargets));
    } else {
        MString nodeName;
        PELLIX_CHECK(args.getFlagArgument("-n", 0, nodeName));
        PELLIX_PASS_ON(gatherExistingTargets(commandName, "surfaceUVPin", nodeName, names, fTargets));
        PELLIX_PASS_ON(checkBindPlugs(commandName, fTargets.node,
                                      {"pinUVs", "preferredTriangleIndices", "uvSet", "bindTangents",
                                       "bindSurfaceMatrices", "bindControlMatrices", "bindMaintainOffset",
                                       "bindUseControlInverse"}));
        PELLIX_CHECK(readExistingSettings(args.isFlagSet("-mo"), inverseGiven));
    }
    // Existing controls keep their connections unless their element indices moved (a control
    // was removed) so that pins shift under them.
    const unsigned firstConnected = fCreateNew || !fTargets.existingIndicesDense ? 0 : fTargets.existingControlCount;
    PELLIX_PASS_ON(checkControls(commandName, fTargets, firstConnected, ControlDrive::kMatrix));
    PELLIX_PASS_ON(readControlMatrices(commandName, fTargets.controls, fControlMatrices));

    if (fCreateNew) {
        fTargets.node = fNodeModifier.createNode("surfaceUVPin", &status);
        PELLIX_CHECK(status);
    }
    PELLIX_CHECK(queueNodeInputs(fNodeModifier, fTargets, fCreateNew, fUseInverse));
    for (unsigned i = firstConnected; i < fTargets.controls.length(); ++i) {
        PELLIX_CHECK(disconnectControlInputs(fControlModifier, fTargets.controls[i], false));
        PELLIX_CHECK(connectControlMatrix(fControlModifier, fTargets.node, fTargets.controls[i], i));
    }
    return redoIt();
}

MStatus SurfaceUVPinBindCommand::readExistingSettings(bool maintainOffsetGiven, bool inverseGiven)
{
    // An extended node keeps its own settings unless the flags restate them.
    MStatus status;
    const struct {
        const char* attribute;
        bool given;
        bool& value;
    } settings[] = {{"bindMaintainOffset", maintainOffsetGiven, fMaintainOffset},
                    {"bindUseControlInverse", inverseGiven, fUseInverse}};
    for (const auto& setting : settings) {
        if (setting.given)
            continue;
        const MPlug plug = nodePlug(fTargets.node, setting.attribute, &status);
        PELLIX_CHECK(status);
        setting.value = plug.asBool(&status);
        PELLIX_CHECK(status);
    }
    // The pins of one node resolve in one UV set: the node's, unless it gets another mesh.
    if (fTargets.meshGiven)
        return MStatus::kSuccess;
    const MPlug uvSet = nodePlug(fTargets.node, "uvSet", &status);
    PELLIX_CHECK(status);
    fUVSet = uvSet.asString(&status);
    PELLIX_CHECK(status);
    return MStatus::kSuccess;
}

MStatus SurfaceUVPinBindCommand::redoIt()
{
    MStatus status = fNodeModifier.doIt();
    if (!status) {
        status.pAPIerror(kStatusSource, __LINE__);
        PELLIX_REPORT(fNodeModifier.undoIt());
        return status;
    }

    // The binding is taken once, from the control matrices of the first run; redo replays it.
    if (!fBindComputed) {
        BindMesh mesh;
        status = mesh.attach(fTargets.meshShape, fTargets.meshTransform);
        if (!status) {
            status.pAPIerror(kStatusSource, __LINE__);
            PELLIX_REPORT(fNodeModifier.undoIt());
            return status;
        }
        status = bindAndQueue(mesh);
        if (!status) {
            PELLIX_REPORT(fNodeModifier.undoIt());
            return status;
        }
        fBindComputed = true;
    }

    status = fBindModifier.doIt();
    if (status)
        status = fControlModifier.doIt();
    if (!status) {
        status.pAPIerror(kStatusSource, __LINE__);
        PELLIX_REPORT(undoExecuted());
        return status;
    }
    const MString name = nodeName(fTargets.node, &status);
    PELLIX_CHECK(status);
    setResult(name);
    return MStatus::kSuccess;
}

MStatus SurfaceUVPinBindCommand::undoExecuted()
{
    // Each modifier undoes only what it ran, so one that never ran is left alone.
    MStatus result = MStatus::kSuccess;
    for (MDGModifier* modifier : {&fControlModifier, &fBindModifier, &fNodeModifier}) {
        const MStatus status = modifier->undoIt();
        if (result && !status)
            result = status;
    }
    return result;
}

MStatus SurfaceUVPinBindCommand::undoIt()
{
    PELLIX_CHECK(fControlModifier.undoIt());
    PELLIX_CHECK(fBindModifier.undoIt());
    PELLIX_CHECK(fNodeModifier.undoIt());
    return MStatus::kSuccess;
}

MStatus SurfaceUVPinBindCommand::bindAndQueue(BindMesh& mesh)
{
    MStatus status;
    if (fUVSet.length() == 0) {
        const unsigned instance = fTargets.meshShape.instanceNumber(&status);
        PELLIX_CHECK(status);
        if (!mesh.mesh().getCurrentUVSetName(fUVSet, static_cast<int>(instance)) || fUVSet.length() == 0)
            fUVSet = "map1";
    }

    UVBindArrays arrays(fTargets.controls.length());
    std::vector<UVPinCorners> pins;
    PELLIX_PASS_ON(placePins(mesh, fControlMatrices, fUVSet, pins, arrays));
    PELLIX_PASS_ON(bindTangentsAndFrames(mesh, fControlMatrices, fMaintainOffset, pins, arrays));
    return queueBindArrays(fBindModifier, fTargets.node, arrays, fUVSet, fMaintainOffset, fUseInverse);
}
