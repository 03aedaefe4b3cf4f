#include <maya/MItGeometry.h>

#include <maya/MDagPath.h>
#include <maya/MDataHandle.h>
#include <maya/MFnMesh.h>
#include <maya/MFnNurbsCurve.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MVector.h>

#include "dg/Data.h"
#include "geometry/CurveData.h"
#include "geometry/MeshData.h"

#include <cstring>

namespace host {

struct GeometryIterationTarget
{
    MDagPath path;
    MDataHandle handle;
    MMatrix toWorld;
};

} // namespace host

namespace {

void setStatus(MStatus* ReturnStatus, MStatus::MStatusCode code)
{
    if (ReturnStatus)
        *ReturnStatus = code;
}

bool isWorld(MSpace::Space space)
{
    return space == MSpace::kWorld;
}

} // namespace

MItGeometry::MItGeometry(MDagPath& dagPath, MStatus* ReturnStatus)
    : fTarget(new host::GeometryIterationTarget{dagPath, MDataHandle(), MMatrix()})
{
    attach(ReturnStatus);
}

MItGeometry::MItGeometry(MDagPath& dagPath, MObject& component, MStatus* ReturnStatus)
    : fTarget(new host::GeometryIterationTarget{dagPath, MDataHandle(), MMatrix()})
{
    // Components are not tracked by this host's geometry: only the whole
    // geometry can be iterated.
    if (!component.isNull()) {
        fCount = 0;
        setStatus(ReturnStatus, MStatus::kNotImplemented);
        return;
    }
    attach(ReturnStatus);
}

MItGeometry::MItGeometry(MDataHandle& dataHandle, unsigned int, bool readOnly, MStatus* ReturnStatus)
    : fTarget(new host::GeometryIterationTarget{MDagPath(), dataHandle, MMatrix()}),
      fFromHandle(true),
      fReadOnly(readOnly)
{
    // Geometry here carries no component groups: every group is the whole geometry.
    attach(ReturnStatus);
}

MItGeometry::MItGeometry(MDataHandle& dataHandle, bool readOnly, MStatus* ReturnStatus)
    : fTarget(new host::GeometryIterationTarget{MDagPath(), dataHandle, MMatrix()}),
      fFromHandle(true),
      fReadOnly(readOnly)
{
    attach(ReturnStatus);
}

MItGeometry::~MItGeometry() = default;

void MItGeometry::attach(MStatus* ReturnStatus)
{
    fCount = 0;
    fIndex = 0;
    if (fFromHandle) {
        MObject data = fTarget->handle.data();
        if (!host::meshDataOf(data) && !host::curveDataOf(data)) {
            setStatus(ReturnStatus, MStatus::kInvalidParameter);
            return;
        }
        if (!fReadOnly) {
            // Writes go to a data object of this handle's own, so a value
            // shared with other plugs is left alone (the points themselves
            // are copied on the first write).
            data = host::cloneData(data);
            MStatus status = fTarget->handle.set(data);
            if (!status) {
                setStatus(ReturnStatus, status.statusCode());
                return;
            }
        }
        fData = data;
        fTarget->toWorld = static_cast<host::GeometryData*>(host::dataOf(fData))->matrix;
        if (const host::MeshData* mesh = host::meshDataOf(fData))
            fCount = mesh->read().numVertices();
        else
            fCount = host::curveDataOf(fData)->geometry.numCVs();
        setStatus(ReturnStatus, MStatus::kSuccess);
        return;
    }
    MStatus status;
    if (fTarget->path.hasFn(MFn::kMesh)) {
        fCount = MFnMesh(fTarget->path).numVertices(&status);
    } else if (fTarget->path.hasFn(MFn::kNurbsCurve)) {
        fCount = MFnNurbsCurve(fTarget->path).numCVs(&status);
    } else {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return;
    }
    if (!status)
        fCount = 0;
    setStatus(ReturnStatus, status.statusCode());
}

bool MItGeometry::isDone(MStatus* ReturnStatus) const
{
    setStatus(ReturnStatus, MStatus::kSuccess);
    return fIndex >= fCount;
}

MStatus MItGeometry::next()
{
    if (fIndex >= fCount)
        return MStatus::kFailure;
    ++fIndex;
    return MStatus::kSuccess;
}

MStatus MItGeometry::reset()
{
    fIndex = 0;
    return MStatus::kSuccess;
}

int MItGeometry::index(MStatus* ReturnStatus) const
{
    setStatus(ReturnStatus, fIndex < fCount ? MStatus::kSuccess : MStatus::kFailure);
    return fIndex;
}

int MItGeometry::count(MStatus* ReturnStatus) const
{
    setStatus(ReturnStatus, MStatus::kSuccess);
    return fCount;
}

int MItGeometry::exactCount(MStatus* ReturnStatus)
{
    return count(ReturnStatus);
}

MObject MItGeometry::currentItem(MStatus* ReturnStatus)
{
    return component(ReturnStatus);
}

MObject MItGeometry::component(MStatus* ReturnStatus)
{
    // No component objects in this host.
    setStatus(ReturnStatus, MStatus::kNotImplemented);
    return MObject();
}

MPoint MItGeometry::position(MSpace::Space space, MStatus* ReturnStatus) const
{
    if (fIndex >= fCount) {
        setStatus(ReturnStatus, MStatus::kFailure);
        return MPoint();
    }
    MPoint p;
    MStatus status;
    if (!fFromHandle) {
        if (fTarget->path.hasFn(MFn::kMesh))
            status = MFnMesh(fTarget->path).getPoint(fIndex, p, space);
        else
            status = MFnNurbsCurve(fTarget->path).getCV(unsigned(fIndex), p, space);
        setStatus(ReturnStatus, status.statusCode());
        return p;
    }
    if (const host::MeshData* mesh = host::meshDataOf(fData)) {
        const float* f = mesh->read().points.data() + 3 * size_t(fIndex);
        p = MPoint(f[0], f[1], f[2]);
    } else {
        const double* d = host::curveDataOf(fData)->geometry.cvs.data() + 3 * size_t(fIndex);
        p = MPoint(d[0], d[1], d[2]);
    }
    setStatus(ReturnStatus, MStatus::kSuccess);
    return isWorld(space) ? p * fTarget->toWorld : p;
}

MStatus MItGeometry::setPosition(const MPoint& point, MSpace::Space space)
{
    if (fIndex >= fCount)
        return MStatus::kFailure;
    if (!fFromHandle) {
        // Shapes take their points as a whole.
        MPointArray points;
        MStatus status = allPositions(points, space);
        if (!status)
            return status;
        points[unsigned(fIndex)] = point;
        return setAllPositions(points, space);
    }
    if (fReadOnly)
        return MStatus::kFailure;
    MPoint p = isWorld(space) ? point * fTarget->toWorld.inverse() : point;
    if (p.w != 0.0 && p.w != 1.0)
        p = MPoint(p.x / p.w, p.y / p.w, p.z / p.w);
    if (host::MeshData* mesh = host::meshDataOf(fData)) {
        host::MeshGeometry& g = mesh->edit();
        float* f = g.points.data() + 3 * size_t(fIndex);
        f[0] = float(p.x);
        f[1] = float(p.y);
        f[2] = float(p.z);
        g.touchPoints();
    } else {
        double* d = host::curveDataOf(fData)->geometry.cvs.data() + 3 * size_t(fIndex);
        d[0] = p.x;
        d[1] = p.y;
        d[2] = p.z;
    }
    return MStatus::kSuccess;
}

MVector MItGeometry::normal(MSpace::Space space, MStatus* ReturnStatus) const
{
    if (fIndex >= fCount) {
        setStatus(ReturnStatus, MStatus::kFailure);
        return MVector();
    }
    MVector n;
    if (!fFromHandle) {
        MStatus status = fTarget->path.hasFn(MFn::kMesh) ? MFnMesh(fTarget->path).getVertexNormal(fIndex, false, n, space)
                                                 : MStatus(MStatus::kInvalidParameter);
        setStatus(ReturnStatus, status.statusCode());
        return n;
    }
    const host::MeshData* mesh = host::meshDataOf(fData);
    if (!mesh) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);  // curves have no point normals
        return n;
    }
    // A vertex's first normal id is the vertex id itself.
    const std::vector<float>& normals = mesh->read().normals();
    const size_t at = 3 * size_t(fIndex);
    if (at + 2 < normals.size())
        n = MVector(normals[at], normals[at + 1], normals[at + 2]);
    setStatus(ReturnStatus, MStatus::kSuccess);
    if (isWorld(space)) {
        n = n * fTarget->toWorld.inverse().transpose();
        n.normalize();
    }
    return n;
}

MStatus MItGeometry::allPositions(MPointArray& positions, MSpace::Space space) const
{
    if (!fFromHandle) {
        if (fTarget->path.hasFn(MFn::kMesh))
            return MFnMesh(fTarget->path).getPoints(positions, space);
        return MFnNurbsCurve(fTarget->path).getCVs(positions, space);
    }
    positions.setLength(unsigned(fCount));
    // Written as x, y, z, w doubles in one pass over the array.
    double* out = fCount > 0 ? &positions[0].x : nullptr;
    if (const host::MeshData* mesh = host::meshDataOf(fData)) {
        const float* f = mesh->read().points.data();
        for (unsigned i = 0; i < unsigned(fCount); ++i, f += 3, out += 4) {
            out[0] = f[0];
            out[1] = f[1];
            out[2] = f[2];
            out[3] = 1.0;
        }
    } else if (const host::CurveData* curve = host::curveDataOf(fData)) {
        const double* d = curve->geometry.cvs.data();
        for (unsigned i = 0; i < unsigned(fCount); ++i, d += 3, out += 4) {
            out[0] = d[0];
            out[1] = d[1];
            out[2] = d[2];
            out[3] = 1.0;
        }
    } else {
        positions.clear();
        return MStatus::kFailure;
    }
    if (isWorld(space))
        for (MPoint& p : positions)
            p *= fTarget->toWorld;
    return MStatus::kSuccess;
}

MStatus MItGeometry::setAllPositions(const MPointArray& positions, MSpace::Space space)
{
    if (positions.length() != unsigned(fCount))
        return MStatus::kInvalidParameter;
    if (!fFromHandle) {
        MPointArray copy(positions);
        if (fTarget->path.hasFn(MFn::kMesh))
            return MFnMesh(fTarget->path).setPoints(copy, space);
        MFnNurbsCurve curve(fTarget->path);
        MStatus status = curve.setCVs(copy, space);
        return status ? curve.updateCurve() : status;
    }
    if (fReadOnly)
        return MStatus::kFailure;
    const bool world = isWorld(space);
    const MMatrix toObject = world ? fTarget->toWorld.inverse() : MMatrix();
    auto objectPoint = [&](const MPoint& q) {
        if (!world)
            return q;
        MPoint p = q * toObject;
        return (p.w != 0.0 && p.w != 1.0) ? MPoint(p.x / p.w, p.y / p.w, p.z / p.w) : p;
    };
    if (host::MeshData* mesh = host::meshDataOf(fData)) {
        host::MeshGeometry& g = mesh->edit();
        // Every point is written: the points shared with the input are not copied first.
        float* f = g.points.overwrite(size_t(fCount) * 3);
        if (world) {
            for (const MPoint& q : positions) {
                const MPoint p = objectPoint(q);
                f[0] = float(p.x);
                f[1] = float(p.y);
                f[2] = float(p.z);
                f += 3;
            }
        } else {
            // Object space: x, y, z, w narrowed and stored as one block; the next point overwrites
            // the w, so only the last point is stored coordinate by coordinate.
            const double* d = fCount > 0 ? &positions[0].x : nullptr;
            const size_t n = size_t(fCount);
            for (size_t i = 0; i + 1 < n; ++i, f += 3, d += 4) {
                const float p[4] = {float(d[0]), float(d[1]), float(d[2]), float(d[3])};
                std::memcpy(f, p, sizeof p);
            }
            if (n > 0) {
                f[0] = float(d[0]);
                f[1] = float(d[1]);
                f[2] = float(d[2]);
            }
        }
        g.touchPoints();
    } else {
        double* d = host::curveDataOf(fData)->geometry.cvs.data();
        for (const MPoint& q : positions) {
            const MPoint p = objectPoint(q);
            d[0] = p.x;
            d[1] = p.y;
            d[2] = p.z;
            d += 3;
        }
    }
    return MStatus::kSuccess;
}
