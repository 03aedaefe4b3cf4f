#include "pins/SurfaceUVPinBindCommand.h"

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

MStatus writeArray(const MObject& node, const char* attribute, MObject data)
{
    MStatus status;
    MPlug plug = nodePlug(node, attribute, &status);
    PELLIX_CHECK(status);
    PELLIX_CHECK(plug.setValue(data));
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
            MPxCommand::displayError("surfaceUVPinBind: mesh did not provide valid face-vertex normal ids.");
            return MS::kFailure;
        }
        pin.vertexIds[k] = choice.vertexIds[k];
        pin.normalIds[k] = normalId;
        pin.weights[k] = choice.weights[k];
        if (!mesh.mesh().getPolygonUV(face, local, pin.cornerUVs[2 * k], pin.cornerUVs[2 * k + 1], &uvSet)) {
            MPxCommand::displayError("surfaceUVPinBind: mesh face is missing usable UVs.");
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

// Written straight onto the node: undoing its creation takes the values with it.
MStatus writeBindArrays(const MObject& node, const UVBindArrays& arrays, const MString& uvSet, bool maintainOffset,
                        bool useInverse)
{
    MStatus status;
    const MObject uvData = doubleArrayData(arrays.pinUVs, &status);
    PELLIX_CHECK(status);
    PELLIX_PASS_ON(writeArray(node, "pinUVs", uvData));
    const MObject triangleData = intArrayData(arrays.preferredTriangles, &status);
    PELLIX_CHECK(status);
    PELLIX_PASS_ON(writeArray(node, "preferredTriangleIndices", triangleData));
    MPlug uvSetPlug = nodePlug(node, "uvSet", &status);
    PELLIX_CHECK(status);
    PELLIX_CHECK(uvSetPlug.setString(uvSet));
    const MObject tangentData = doubleArrayData(arrays.bindTangents, &status);
    PELLIX_CHECK(status);
    PELLIX_PASS_ON(writeArray(node, "bindTangents", tangentData));
    const MObject surfaceData = matrixArrayData(arrays.bindSurfaceMatrices, &status);
    PELLIX_CHECK(status);
    PELLIX_PASS_ON(writeArray(node, "bindSurfaceMatrices", surfaceData));
    const MObject controlData = matrixArrayData(arrays.bindControlMatrices, &status);
    PELLIX_CHECK(status);
    PELLIX_PASS_ON(writeArray(node, "bindControlMatrices", controlData));
    for (const auto& flag : {std::make_pair("bindMaintainOffset", maintainOffset),
                             std::make_pair("bindUseControlInverse", useInverse)}) {
        MPlug plug = nodePlug(node, flag.first, &status);
        PELLIX_CHECK(status);
        PELLIX_CHECK(plug.setBool(flag.second));
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
    PELLIX_CHECK(status);
    if (args.isFlagSet("-n")) {
        displayError("surfaceUVPinBind: appending to existing nodes is not implemented yet.");
        return MS::kFailure;
    }
    fMaintainOffset = args.isFlagSet("-mo");
    fUseInverse = false;
    if (args.isFlagSet("-iv"))
        PELLIX_CHECK(args.getFlagArgument("-iv", 0, fUseInverse));

    MStringArray names;
    PELLIX_CHECK(collectObjectNames(args, names));
    if (names.length() < 2) {
        displayError("surfaceUVPinBind requires a mesh and at least one control.");
        return MS::kFailure;
    }
    MeshResolution resolution = MeshResolution::kNoMesh;
    PELLIX_CHECK(resolveMeshName(names[0], fMeshShapePath, fMeshTransformPath, resolution));
    if (resolution != MeshResolution::kMesh) {
        displayMeshRefusal(commandName, resolution, fMeshShapePath);
        return MS::kFailure;
    }
    for (unsigned i = 1; i < names.length(); ++i) {
        MDagPath control;
        PELLIX_CHECK(resolveDagPath(names[i], control));
        PELLIX_CHECK(fControls.append(control));
    }
    PELLIX_CHECK(fControlMatrices.setLength(fControls.length()));
    for (unsigned i = 0; i < fControls.length(); ++i) {
        fControlMatrices[i] = fControls[i].inclusiveMatrix(&status);
        PELLIX_CHECK(status);
    }

    fNode = fNodeModifier.createNode("surfaceUVPin", &status);
    PELLIX_CHECK(status);
    PELLIX_CHECK(connectMesh(fNodeModifier, fMeshShapePath, fNode));
    for (unsigned i = 0; i < fControls.length(); ++i) {
        PELLIX_CHECK(connectControlInverses(fNodeModifier, fNode, fControls[i], i, fUseInverse));
        PELLIX_CHECK(disconnectControlInputs(fControlModifier, fControls[i], false));
        PELLIX_CHECK(connectControlMatrix(fControlModifier, fNode, fControls[i], i));
    }
    return redoIt();
}

MStatus SurfaceUVPinBindCommand::redoIt()
{
    MStatus status = fNodeModifier.doIt();
    if (!status) {
        status.pAPIerror(kStatusSource, __LINE__);
        PELLIX_REPORT(fNodeModifier.undoIt());
        return status;
    }

    // The binding is taken afresh from the control matrices of the first run.
    BindMesh mesh;
    status = mesh.attach(fMeshShapePath, fMeshTransformPath);
    if (!status) {
        status.pAPIerror(kStatusSource, __LINE__);
        PELLIX_REPORT(undoExecuted());
        return status;
    }
    status = bindAndWrite(mesh);
    if (!status) {
        PELLIX_REPORT(undoExecuted());
        return status;
    }

    status = fControlModifier.doIt();
    if (!status) {
        status.pAPIerror(kStatusSource, __LINE__);
        PELLIX_REPORT(undoExecuted());
        return status;
    }
    const MString name = nodeName(fNode, &status);
    PELLIX_CHECK(status);
    setResult(name);
    return MStatus::kSuccess;
}

MStatus SurfaceUVPinBindCommand::undoExecuted()
{
    // Each modifier undoes only what it ran, so one that never ran is left alone.
    const MStatus controlStatus = fControlModifier.undoIt();
    const MStatus nodeStatus = fNodeModifier.undoIt();
    return controlStatus ? nodeStatus : controlStatus;
}

MStatus SurfaceUVPinBindCommand::undoIt()
{
    PELLIX_CHECK(fControlModifier.undoIt());
    PELLIX_CHECK(fNodeModifier.undoIt());
    return MStatus::kSuccess;
}

MStatus SurfaceUVPinBindCommand::bindAndWrite(BindMesh& mesh)
{
    MStatus status;
    const unsigned instance = fMeshShapePath.instanceNumber(&status);
    PELLIX_CHECK(status);
    if (!mesh.mesh().getCurrentUVSetName(fUVSet, static_cast<int>(instance)) || fUVSet.length() == 0)
        fUVSet = "map1";

    UVBindArrays arrays(fControls.length());
    std::vector<UVPinCorners> pins;
    PELLIX_PASS_ON(placePins(mesh, fControlMatrices, fUVSet, pins, arrays));
    PELLIX_PASS_ON(bindTangentsAndFrames(mesh, fControlMatrices, fMaintainOffset, pins, arrays));
    return writeBindArrays(fNode, arrays, fUVSet, fMaintainOffset, fUseInverse);
}
