#include "pins/SurfaceUVPinBindCommand.h"

#include "pins/PinCommandSupport.h"
#include "pins/PinFrameMath.h"
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
    MFnMesh& fn = mesh.mesh();
    const unsigned instance = fMeshShapePath.instanceNumber(&status);
    PELLIX_CHECK(status);
    if (!fn.getCurrentUVSetName(fUVSet, static_cast<int>(instance)) || fUVSet.length() == 0)
        fUVSet = "map1";

    const unsigned count = fControls.length();
    std::vector<double> pinUVs(2 * count);
    std::vector<double> bindTangents(2 * count);
    std::vector<int> preferredTriangles(count);
    std::vector<MMatrix> bindSurfaceMatrices(count);  // identity unless maintaining the offset
    std::vector<MMatrix> bindControlMatrices(count);
    const int normalCount = mesh.normalCount();

    MIntArray triangleCounts, triangleVertices;
    PELLIX_CHECK(fn.getTriangles(triangleCounts, triangleVertices));
    std::vector<int64_t> faceOffsets(triangleCounts.length() + 1, 0);
    for (unsigned f = 0; f < triangleCounts.length(); ++f)
        faceOffsets[f + 1] = faceOffsets[f] + 3 * static_cast<int64_t>(triangleCounts[f]);
    const int* const triangleList = triangleVertices.length() > 0 ? &triangleVertices[0] : nullptr;

    std::vector<UVPinCorners> pins(count);
    MIntArray faceNormalIds;
    for (unsigned i = 0; i < count; ++i) {
        UVPinCorners& pin = pins[i];
        Vec3d closest;
        int face = -1;
        PELLIX_CHECK(mesh.closestPoint(fControlMatrices[i], closest, face));
        PinFrameMath::FaceCorners corners{};
        PELLIX_CHECK(mesh.readFace(face, corners));
        // A face beyond the triangulation has no triangles: the fan answers for it.
        const bool triangulated = face >= 0 && static_cast<unsigned>(face) < triangleCounts.length();
        const PinFrameMath::TriangleChoice choice = PinFrameMath::triangulationSearch(
            corners, triangleList, triangleVertices.length(), triangulated ? faceOffsets[face] : 0,
            triangulated ? triangleCounts[face] : 0, closest);
        preferredTriangles[i] = choice.triangleIndex;

        PELLIX_CHECK(mesh.readFaceNormalIds(face, faceNormalIds));
        for (int k = 0; k < 3; ++k) {
            const int local = choice.localPositions[k];
            const int normalId = local >= 0 && static_cast<unsigned>(local) < faceNormalIds.length()
                                     ? faceNormalIds[local]
                                     : -1;
            if (normalCount <= 0 || normalId < 0 || normalId >= normalCount) {
                displayError("surfaceUVPinBind: mesh did not provide valid face-vertex normal ids.");
                return MS::kFailure;
            }
            pin.vertexIds[k] = choice.vertexIds[k];
            pin.normalIds[k] = normalId;
            pin.weights[k] = choice.weights[k];
            if (!fn.getPolygonUV(face, local, pin.cornerUVs[2 * k], pin.cornerUVs[2 * k + 1], &fUVSet)) {
                displayError("surfaceUVPinBind: mesh face is missing usable UVs.");
                return MS::kFailure;
            }
        }
        for (int axis = 0; axis < 2; ++axis) {
            const float* uv = pin.cornerUVs + axis;
            const float w0 = static_cast<float>(pin.weights[0]);
            const float w1 = static_cast<float>(pin.weights[1]);
            const float w2 = static_cast<float>(pin.weights[2]);
            pin.pinUV[axis] = w0 * uv[0] + w1 * uv[2] + w2 * uv[4];
            pinUVs[2 * i + axis] = pin.pinUV[axis];
        }
    }

    std::vector<float> normals;
    PELLIX_CHECK(mesh.readNormals(normals));
    for (unsigned i = 0; i < count; ++i) {
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
        if (fMaintainOffset) {
            tangent = controlTangent(cornerPoints, n, fControlMatrices[i], mesh,
                                     PinFrameMath::TangentOrder::kUVPinMaintainOffset);
            PinFrameMath::bindTangentUV(pin.cornerUVs, tangent.a, tangent.b, tangentUV[0], tangentUV[1]);
        } else {
            tangent = PinFrameMath::uvTangentCoefficients(pin.cornerUVs, tangentUV[0], tangentUV[1]);
        }
        bindTangents[2 * i] = tangentUV[0];
        bindTangents[2 * i + 1] = tangentUV[1];
        if (fMaintainOffset) {
            bindSurfaceMatrices[i] = bindFrame(cornerPoints, weights, n, tangent, mesh);
            bindControlMatrices[i] = fControlMatrices[i];
        }
    }

    // Written straight onto the node: undoing its creation takes the values with it.
    const MObject uvData = doubleArrayData(pinUVs, &status);
    PELLIX_CHECK(status);
    PELLIX_PASS_ON(writeArray(fNode, "pinUVs", uvData));
    const MObject triangleData = intArrayData(preferredTriangles, &status);
    PELLIX_CHECK(status);
    PELLIX_PASS_ON(writeArray(fNode, "preferredTriangleIndices", triangleData));
    MPlug uvSetPlug = nodePlug(fNode, "uvSet", &status);
    PELLIX_CHECK(status);
    PELLIX_CHECK(uvSetPlug.setString(fUVSet));
    const MObject tangentData = doubleArrayData(bindTangents, &status);
    PELLIX_CHECK(status);
    PELLIX_PASS_ON(writeArray(fNode, "bindTangents", tangentData));
    const MObject surfaceData = matrixArrayData(bindSurfaceMatrices, &status);
    PELLIX_CHECK(status);
    PELLIX_PASS_ON(writeArray(fNode, "bindSurfaceMatrices", surfaceData));
    const MObject controlData = matrixArrayData(bindControlMatrices, &status);
    PELLIX_CHECK(status);
    PELLIX_PASS_ON(writeArray(fNode, "bindControlMatrices", controlData));
    for (const auto& flag : {std::make_pair("bindMaintainOffset", fMaintainOffset),
                             std::make_pair("bindUseControlInverse", fUseInverse)}) {
        MPlug plug = nodePlug(fNode, flag.first, &status);
        PELLIX_CHECK(status);
        PELLIX_CHECK(plug.setBool(flag.second));
    }
    return MStatus::kSuccess;
}
