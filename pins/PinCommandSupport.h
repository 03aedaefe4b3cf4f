#pragma once
// What "surfacePinBind" and "surfaceUVPinBind" share: gathering the mesh and the controls,
// wiring a pin node to them through modifiers, and reading the mesh for binding. Every
// function returns a failed host status unreported, so the command reports it at its own
// line under its own source name.

#include "pins/PinFrameMath.h"
#include "plugin/MeshResolve.h"

#include <maya/MApiNamespace.h>
#include <maya/MDagPath.h>
#include <maya/MDagPathArray.h>
#include <maya/MFnMesh.h>
#include <maya/MIntArray.h>
#include <maya/MMatrix.h>
#include <maya/MMatrixArray.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <vector>

namespace PinCommandSupport {

// Names from the command line, else the partial path names of the DAG items of the
// active selection, in selection order.
MStatus collectObjectNames(const MArgDatabase& args, MStringArray& names);

// The DAG path a name stands for (any DAG node).
MStatus resolveDagPath(const MString& name, MDagPath& path);

// The mesh a name stands for, through the plug-in's one mesh resolver: `shape` is the
// visible mesh shape and `transform` its parent when `resolution` is kMesh; otherwise
// `shape` is the path as named. A name that matches nothing is a failed status.
MStatus resolveMeshName(const MString& name, MDagPath& shape, MDagPath& transform, MeshResolution& resolution);

// The command's error for a name that is not a usable mesh: an intermediate shape named
// directly, or an object with no visible mesh shape.
void displayMeshRefusal(const MString& command, MeshResolution resolution, const MDagPath& path);

// The plug of a named attribute on a node (networked).
MPlug nodePlug(const MObject& node, const char* attribute, MStatus* status);

// Queues the disconnection of whatever drives the plug (nothing when it is not driven).
MStatus disconnectIncoming(MDGModifier& modifier, const MPlug& plug);

// Queues mesh "worldMesh"[instance] -> "deformedGeometry" and "worldMatrix"[instance] ->
// "geometryWorldMatrix", for the mesh's instance.
MStatus connectMesh(MDGModifier& modifier, const MDagPath& meshShape, const MObject& node);

// Queues the control's inverse matrices for pin `pin`: its "inverseMatrix" into
// "controlLocalInverseMatrix" when useInverse, its parent's "worldInverseMatrix"[0] into
// "controlParentInverseMatrix" when it has a parent below the world.
MStatus connectControlInverses(MDGModifier& modifier, const MObject& node, const MDagPath& control, unsigned pin,
                               bool useInverse);

// Queues the disconnection of whatever drives the control's "offsetParentMatrix" and, with
// translateToo, its "translate" and each of that plug's children.
MStatus disconnectControlInputs(MDGModifier& modifier, const MDagPath& control, bool translateToo);

// Queues setting the control's "offsetParentMatrix" back to identity when something drives
// it now: once disconnected it would keep the last matrix it was given and place the
// control a second time. Queue it after the disconnection.
MStatus resetDrivenOffsetParentMatrix(MDGModifier& modifier, const MDagPath& control);

// Queues "outputMatrix"[pin] -> the control's "offsetParentMatrix" and zero translate and
// rotate and unit scale, so that the matrix alone places it.
MStatus connectControlMatrix(MDGModifier& modifier, const MObject& node, const MDagPath& control, unsigned pin);

// The world matrix of each control, taken at bind time. A control placed at infinity or NaN
// is refused with "<command>: control <name> has a non-finite world matrix; it cannot be
// pinned." and kFailure: no surface point is closest to it.
MStatus readControlMatrices(const MString& command, const MDagPathArray& controls, MMatrixArray& matrices);

// The node's name as the command result.
MString nodeName(const MObject& node, MStatus* status);

MMatrix toMMatrix(const PinFrameMath::Matrix4& m);

// Array data objects holding the values, for plug writes.
MObject intArrayData(const std::vector<int>& values, MStatus* status);
MObject doubleArrayData(const std::vector<double>& values, MStatus* status);
MObject matrixArrayData(const std::vector<MMatrix>& values, MStatus* status);

// A mesh read once for binding many controls: object-space points, the world matrix G of
// its transform and the inverse, and scratch lists reused from face to face.
class BindMesh
{
public:
    MStatus attach(const MDagPath& shape, const MDagPath& transform);

    MFnMesh& mesh() { return fMesh; }
    const MMatrix& worldMatrix() const { return fWorld; }
    const PinFrameMath::Matrix4& world4() const { return fWorld4; }
    const PinFrameMath::Matrix4& worldInverse4() const { return fWorldInverse4; }

    // The closest point on the mesh to a world-space point and its face.
    MStatus closestPoint(const MMatrix& control, PinFrameMath::Vec3d& point, int& face) const;

    // The face's vertex ids and their world positions, valid until the next call.
    MStatus readFace(int face, PinFrameMath::FaceCorners& corners);

    // Face-vertex normal ids of the face last read, in face order.
    MStatus readFaceNormalIds(int face, MIntArray& normalIds) const;

    // Object-space corner points of three vertex ids.
    void cornerPoints(const int ids[3], PinFrameMath::Vec3d corners[3]) const;

    // Object-space normals, xyz per normal id.
    MStatus readNormals(std::vector<float>& normals) const;

    int normalCount() const { return fNormalCount; }

private:
    MFnMesh fMesh;
    MMatrix fWorld;
    PinFrameMath::Matrix4 fWorld4{};
    PinFrameMath::Matrix4 fWorldInverse4{};
    std::vector<PinFrameMath::Vec3d> fPoints;
    int fNormalCount = 0;
    MIntArray fFaceList;
    std::vector<int> fFaceIds;
    std::vector<PinFrameMath::Vec3d> fFacePositions;
};

// Tangent coefficients of a control on a triangle: its axes (in the given order, then the
// triangle's edges) projected onto the frame normal, which falls back to the triangle's
// own when the interpolated normal has no length.
PinFrameMath::TangentCoefficients controlTangent(const PinFrameMath::Vec3d corners[3],
                                                 const PinFrameMath::Vec3d& normal, const MMatrix& control,
                                                 const BindMesh& mesh, PinFrameMath::TangentOrder order);

// The world bind frame of a pin on the mesh.
MMatrix bindFrame(const PinFrameMath::Vec3d corners[3], const double weights[3], const PinFrameMath::Vec3d& normal,
                  const PinFrameMath::TangentCoefficients& tangent, const BindMesh& mesh);

} // namespace PinCommandSupport
