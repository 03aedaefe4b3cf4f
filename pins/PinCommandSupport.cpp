#include "pins/PinCommandSupport.h"

#include "pins/PinEvaluation.h"
#include "plugin/StatusCheck.h"

#include <maya/MArgDatabase.h>
#include <maya/MDGModifier.h>
#include <maya/MFloatVectorArray.h>
#include <maya/MFn.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnDoubleArrayData.h>
#include <maya/MFnIntArrayData.h>
#include <maya/MFnMatrixArrayData.h>
#include <maya/MFnMatrixData.h>
#include <maya/MDoubleArray.h>
#include <maya/MGlobal.h>
#include <maya/MMatrixArray.h>
#include <maya/MPlug.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>

#include <cmath>

using PinFrameMath::Matrix4;
using PinFrameMath::Vec3d;

namespace PinCommandSupport {

namespace {

const char* const kStatusSource = "pinCommandSupport";

// An element of a node's array attribute.
MPlug elementPlug(const MObject& node, const char* attribute, unsigned index, MStatus* status)
{
    const MPlug array = nodePlug(node, attribute, status);
    if (!*status)
        return MPlug();
    return array.elementByLogicalIndex(index, status);
}

const char* const kChannelsToZero[] = {"translateX", "translateY", "translateZ", "rotateX", "rotateY", "rotateZ"};
const char* const kChannelsToOne[] = {"scaleX", "scaleY", "scaleZ"};

Vec3d pointTimes(const Vec3d& p, const MMatrix& m)
{
    return {p.x * m(0, 0) + p.y * m(1, 0) + p.z * m(2, 0) + m(3, 0),
            p.x * m(0, 1) + p.y * m(1, 1) + p.z * m(2, 1) + m(3, 1),
            p.x * m(0, 2) + p.y * m(1, 2) + p.z * m(2, 2) + m(3, 2)};
}

// A channel already at its value is left alone: a rig may lock it there.
MStatus queueChannel(MDGModifier& modifier, const MFnDependencyNode& control, const char* channel, double value)
{
    MStatus status;
    const MPlug plug = control.findPlug(channel, true, &status);
    if (!status)
        return status;
    const double current = plug.asDouble(&status);
    if (status && current == value)
        return MS::kSuccess;
    return modifier.newPlugValueDouble(plug, value);
}

} // namespace

MStatus collectObjectNames(const MArgDatabase& args, MStringArray& names)
{
    MStatus status = args.getObjects(names);
    if (!status)
        return status;
    if (names.length() > 0)
        return MStatus::kSuccess;

    MSelectionList selection;
    status = MGlobal::getActiveSelectionList(selection, true);
    if (!status)
        return status;
    for (unsigned i = 0; i < selection.length(); ++i) {
        MDagPath path;
        if (selection.getDagPath(i, path))  // items that are not DAG nodes contribute nothing
            names.append(path.partialPathName());
    }
    return MStatus::kSuccess;
}

MStatus resolveDagPath(const MString& name, MDagPath& path)
{
    MSelectionList list;
    MStatus status = list.add(name);
    if (!status)
        return status;
    return list.getDagPath(0, path);
}

MStatus resolveMeshName(const MString& name, MDagPath& shape, MDagPath& transform, MeshResolution& resolution)
{
    resolution = MeshResolution::kNoMesh;
    MStatus status = resolveDagPath(name, shape);
    if (!status)
        return status;
    status = resolveMesh(shape, resolution);
    if (!status || resolution != MeshResolution::kMesh)
        return status;
    transform = shape;
    return transform.pop();
}

void displayMeshRefusal(const MString& command, MeshResolution resolution, const MDagPath& path)
{
    if (resolution == MeshResolution::kIntermediate)
        MGlobal::displayError(command + ": selected mesh is intermediate: " + path.partialPathName());
    else if (resolution == MeshResolution::kNoMesh)
        MGlobal::displayError(command + ": object has no visible mesh shape: " + path.partialPathName());
}

MPlug nodePlug(const MObject& node, const char* attribute, MStatus* status)
{
    MFnDependencyNode fn(node, status);
    if (status && !*status)
        return MPlug();
    return fn.findPlug(attribute, true, status);
}

MStatus disconnectIncoming(MDGModifier& modifier, const MPlug& plug)
{
    MStatus status;
    const MPlug source = plug.source(&status);
    if (!status || source.isNull())
        return MStatus::kSuccess;  // nothing drives it
    return modifier.disconnect(source, plug);
}

MStatus connectMesh(MDGModifier& modifier, const MDagPath& meshShape, const MObject& node)
{
    MStatus status;
    const unsigned instance = meshShape.instanceNumber(&status);
    if (!status)
        return status;
    const MObject shape = meshShape.node(&status);
    if (!status)
        return status;
    const char* const links[2][2] = {{"worldMesh", "deformedGeometry"}, {"worldMatrix", "geometryWorldMatrix"}};
    for (const auto& link : links) {
        const MPlug source = elementPlug(shape, link[0], instance, &status);
        if (!status)
            return status;
        const MPlug destination = nodePlug(node, link[1], &status);
        if (!status)
            return status;
        status = modifier.connect(source, destination);
        if (!status)
            return status;
    }
    return MStatus::kSuccess;
}

MStatus connectControlInverses(MDGModifier& modifier, const MObject& node, const MDagPath& control, unsigned pin,
                               bool useInverse)
{
    MStatus status;
    if (useInverse) {
        const MPlug inverse = nodePlug(control.node(), "inverseMatrix", &status);
        if (!status)
            return status;
        const MPlug local = elementPlug(node, "controlLocalInverseMatrix", pin, &status);
        if (!status)
            return status;
        status = modifier.connect(inverse, local);
        if (!status)
            return status;
    }
    if (control.length() <= 1)
        return MStatus::kSuccess;  // under the world: nothing to undo above it

    MDagPath parent(control);
    status = parent.pop();
    if (!status)
        return status;
    const MPlug parentInverse = elementPlug(parent.node(), "worldInverseMatrix", 0, &status);
    if (!status)
        return status;
    const MPlug destination = elementPlug(node, "controlParentInverseMatrix", pin, &status);
    if (!status)
        return status;
    return modifier.connect(parentInverse, destination);
}

MStatus disconnectControlInputs(MDGModifier& modifier, const MDagPath& control, bool translateToo)
{
    static const char* const kOffsetOnly[] = {"offsetParentMatrix"};
    static const char* const kWithTranslate[] = {"offsetParentMatrix", "translate", "translateX", "translateY",
                                                 "translateZ"};
    MStatus status;
    MFnDependencyNode controlFn(control.node(), &status);
    if (!status)
        return status;
    const unsigned count = translateToo ? 5 : 1;
    const char* const* plugs = translateToo ? kWithTranslate : kOffsetOnly;
    for (unsigned i = 0; i < count; ++i) {
        const MPlug plug = controlFn.findPlug(plugs[i], true, &status);
        if (!status)
            return status;
        status = disconnectIncoming(modifier, plug);
        if (!status)
            return status;
    }
    return MStatus::kSuccess;
}

MStatus resetDrivenOffsetParentMatrix(MDGModifier& modifier, const MDagPath& control)
{
    MStatus status;
    const MPlug offset = nodePlug(control.node(), "offsetParentMatrix", &status);
    if (!status)
        return status;
    const MPlug source = offset.source(&status);
    if (!status || source.isNull())
        return MStatus::kSuccess;  // not driven: whatever it holds was set on purpose
    MFnMatrixData fn;
    MObject identity = fn.create(MMatrix::identity, &status);
    if (!status)
        return status;
    return modifier.newPlugValue(offset, identity);
}

MStatus connectControlMatrix(MDGModifier& modifier, const MObject& node, const MDagPath& control, unsigned pin)
{
    MStatus status;
    MFnDependencyNode controlFn(control.node(), &status);
    if (!status)
        return status;
    const MPlug offset = controlFn.findPlug("offsetParentMatrix", true, &status);
    if (!status)
        return status;
    const MPlug output = elementPlug(node, "outputMatrix", pin, &status);
    if (!status)
        return status;
    status = modifier.connect(output, offset);
    if (!status)
        return status;
    for (const char* channel : kChannelsToZero) {
        status = queueChannel(modifier, controlFn, channel, 0.0);
        if (!status)
            return status;
    }
    for (const char* channel : kChannelsToOne) {
        status = queueChannel(modifier, controlFn, channel, 1.0);
        if (!status)
            return status;
    }
    return MStatus::kSuccess;
}

MStatus readControlMatrices(const MString& command, const MDagPathArray& controls, MMatrixArray& matrices)
{
    PELLIX_CHECK(matrices.setLength(controls.length()));
    for (unsigned i = 0; i < controls.length(); ++i) {
        MStatus status;
        matrices[i] = controls[i].inclusiveMatrix(&status);
        PELLIX_CHECK(status);
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                if (!std::isfinite(matrices[i](r, c))) {
                    MGlobal::displayError(command + ": control " + controls[i].partialPathName() +
                                          " has a non-finite world matrix; it cannot be pinned.");
                    return MS::kFailure;
                }
    }
    return MS::kSuccess;
}

MString nodeName(const MObject& node, MStatus* status)
{
    MFnDependencyNode fn(node, status);
    if (status && !*status)
        return MString();
    return fn.name(status);
}

MMatrix toMMatrix(const Matrix4& m)
{
    return MMatrix(m.m);
}

MObject intArrayData(const std::vector<int>& values, MStatus* status)
{
    MIntArray array(values.data(), static_cast<unsigned>(values.size()));
    MFnIntArrayData fn;
    return fn.create(array, status);
}

MObject doubleArrayData(const std::vector<double>& values, MStatus* status)
{
    MDoubleArray array(values.data(), static_cast<unsigned>(values.size()));
    MFnDoubleArrayData fn;
    return fn.create(array, status);
}

MObject matrixArrayData(const std::vector<MMatrix>& values, MStatus* status)
{
    MMatrixArray array(static_cast<unsigned>(values.size()));
    for (unsigned i = 0; i < array.length(); ++i)
        array[i] = values[i];
    MFnMatrixArrayData fn;
    return fn.create(array, status);
}

MStatus BindMesh::attach(const MDagPath& shape, const MDagPath& transform)
{
    MStatus status = fMesh.setObject(shape);
    if (!status)
        return status;
    fWorld = transform.inclusiveMatrix(&status);
    if (!status)
        return status;
    fWorld4 = toMatrix4(fWorld);
    fWorldInverse4 = toMatrix4(fWorld.inverse());

    MPointArray points;
    status = fMesh.getPoints(points, MSpace::kObject);
    if (!status)
        return status;
    fPoints.resize(points.length());
    for (unsigned i = 0; i < points.length(); ++i)
        fPoints[i] = {points[i].x, points[i].y, points[i].z};

    fNormalCount = fMesh.numNormals(&status);
    return status;
}

MStatus BindMesh::closestPoint(const MMatrix& control, Vec3d& point, int& face) const
{
    // The control's position is the origin carried by its world matrix.
    const MPoint position(control(3, 0), control(3, 1), control(3, 2));
    MPoint closest;
    face = -1;
    MStatus status = fMesh.getClosestPoint(position, closest, MSpace::kWorld, &face);
    if (!status)
        return status;
    point = {closest.x, closest.y, closest.z};
    return MStatus::kSuccess;
}

MStatus BindMesh::readFace(int face, PinFrameMath::FaceCorners& corners)
{
    MStatus status = fMesh.getPolygonVertices(face, fFaceList);
    if (!status)
        return status;
    const unsigned count = fFaceList.length();
    fFaceIds.resize(count);
    fFacePositions.resize(count);
    for (unsigned k = 0; k < count; ++k) {
        const int id = fFaceList[k];
        if (id < 0 || static_cast<size_t>(id) >= fPoints.size())
            return MStatus::kFailure;
        fFaceIds[k] = id;
        fFacePositions[k] = pointTimes(fPoints[id], fWorld);
    }
    corners.vertexIds = fFaceIds.data();
    corners.positions = fFacePositions.data();
    corners.count = static_cast<int>(count);
    return MStatus::kSuccess;
}

MStatus BindMesh::readFaceNormalIds(int face, MIntArray& normalIds) const
{
    return fMesh.getFaceNormalIds(face, normalIds);
}

void BindMesh::cornerPoints(const int ids[3], Vec3d corners[3]) const
{
    // Ids come from faces already read, so they lie inside the point list.
    for (int k = 0; k < 3; ++k)
        corners[k] = fPoints[ids[k]];
}

MStatus BindMesh::readNormals(std::vector<float>& normals) const
{
    MFloatVectorArray array;
    MStatus status = fMesh.getNormals(array, MSpace::kObject);
    if (!status)
        return status;
    normals.resize(3 * static_cast<size_t>(array.length()));
    for (unsigned i = 0; i < array.length(); ++i) {
        normals[3 * i] = array[i].x;
        normals[3 * i + 1] = array[i].y;
        normals[3 * i + 2] = array[i].z;
    }
    return MStatus::kSuccess;
}

PinFrameMath::TangentCoefficients controlTangent(const Vec3d corners[3], const Vec3d& normal, const MMatrix& control,
                                                 const BindMesh& mesh, PinFrameMath::TangentOrder order)
{
    const Vec3d e1{corners[1].x - corners[0].x, corners[1].y - corners[0].y, corners[1].z - corners[0].z};
    const Vec3d e2{corners[2].x - corners[0].x, corners[2].y - corners[0].y, corners[2].z - corners[0].z};
    const Vec3d n = PinFrameMath::frameNormal(normal, e1, e2);
    return PinFrameMath::bindTangentCoefficients(toMatrix4(control), mesh.worldInverse4(), n, e1, e2, order);
}

MMatrix bindFrame(const Vec3d corners[3], const double weights[3], const Vec3d& normal,
                  const PinFrameMath::TangentCoefficients& tangent, const BindMesh& mesh)
{
    return toMMatrix(PinFrameMath::surfaceFrame(corners, weights, normal, tangent.a, tangent.b, mesh.world4()));
}

} // namespace PinCommandSupport
