#include "views/CameraView.h"

#include "views/CameraShapeNode.h"

#include <maya/MFnDependencyNode.h>
#include <maya/MPlug.h>

#include <cmath>

namespace host {

namespace {

double readDouble(const MFnDependencyNode& camera, const MObject& attribute, double fallback)
{
    MStatus status;
    const MPlug plug = camera.findPlug(attribute, true, &status);
    if (!status)
        return fallback;
    const double value = plug.asDouble(&status);
    return status && std::isfinite(value) ? value : fallback;
}

MMatrix toMatrix(const double m[4][4])
{
    return MMatrix(m);
}

} // namespace

CameraLens cameraLens(const MDagPath& cameraShape)
{
    CameraLens lens;
    MStatus status;
    MFnDependencyNode camera(cameraShape.node(), &status);
    if (!status)
        return lens;
    using C = CameraShapeNode;
    lens.focalLength = readDouble(camera, C::focalLength, lens.focalLength);
    lens.horizontalFilmAperture = readDouble(camera, C::horizontalFilmAperture, lens.horizontalFilmAperture);
    lens.verticalFilmAperture = readDouble(camera, C::verticalFilmAperture, lens.verticalFilmAperture);
    lens.horizontalFilmOffset = readDouble(camera, C::horizontalFilmOffset, lens.horizontalFilmOffset);
    lens.verticalFilmOffset = readDouble(camera, C::verticalFilmOffset, lens.verticalFilmOffset);
    lens.lensSqueezeRatio = readDouble(camera, C::lensSqueezeRatio, lens.lensSqueezeRatio);
    lens.cameraScale = readDouble(camera, C::cameraScale, lens.cameraScale);
    lens.overscan = readDouble(camera, C::overscan, lens.overscan);
    lens.orthographicWidth = readDouble(camera, C::orthographicWidth, lens.orthographicWidth);
    lens.nearClip = readDouble(camera, C::nearClipPlane, lens.nearClip);
    lens.farClip = readDouble(camera, C::farClipPlane, lens.farClip);
    lens.orthographic = readDouble(camera, C::orthographic, 0.0) != 0.0;
    const int fit = static_cast<int>(readDouble(camera, C::filmFit, 1.0));
    lens.filmFit = fit >= 0 && fit <= 3 ? static_cast<FilmFit>(fit) : FilmFit::kHorizontal;
    return lens;
}

MStatus cameraViewSetup(const MDagPath& cameraShape, int width, int height, ViewSetup& view)
{
    if (!cameraShape.isValid() || !cameraShape.node().hasFn(MFn::kCamera))
        return MS::kInvalidParameter;
    MStatus status;
    const MMatrix worldToEye = cameraShape.inclusiveMatrixInverse(&status);
    if (!status)
        return status;
    double projection[4][4];
    const double aspect = height > 0 ? static_cast<double>(width) / height : 1.0;
    projectionMatrix(cameraLens(cameraShape), aspect, projection);
    view.camera = cameraShape;
    view.view = worldToEye;
    view.projection = toMatrix(projection);
    view.width = width;
    view.height = height;
    return MS::kSuccess;
}

bool worldToPort(const ViewSetup& view, const MPoint& world, double& x, double& y)
{
    const MPoint eye = MPoint(world.x, world.y, world.z, 1.0) * view.view;
    const MPoint clip = eye * view.projection;
    if (!(clip.w > 0.0)) {
        x = y = 0.0;
        return false;
    }
    const double nx = clip.x / clip.w;
    const double ny = clip.y / clip.w;
    const double nz = clip.z / clip.w;
    x = (nx + 1.0) * 0.5 * view.width;
    y = (ny + 1.0) * 0.5 * view.height;
    return nx >= -1.0 && nx <= 1.0 && ny >= -1.0 && ny <= 1.0 && nz >= -1.0 && nz <= 1.0;
}

MStatus portToWorld(const ViewSetup& view, double x, double y, MPoint& nearPoint, MPoint& farPoint)
{
    if (view.width <= 0 || view.height <= 0)
        return MS::kFailure;
    return portToWorld(view, (view.view * view.projection).inverse(), x, y, nearPoint, farPoint);
}

MStatus portToWorld(const ViewSetup& view, const MMatrix& toWorld, double x, double y, MPoint& nearPoint,
                    MPoint& farPoint)
{
    if (view.width <= 0 || view.height <= 0)
        return MS::kFailure;
    MStatus status;
    const double nx = 2.0 * x / view.width - 1.0;
    const double ny = 2.0 * y / view.height - 1.0;
    MPoint nearClip = MPoint(nx, ny, -1.0, 1.0) * toWorld;
    MPoint farClip = MPoint(nx, ny, 1.0, 1.0) * toWorld;
    if (nearClip.w == 0.0 || farClip.w == 0.0)
        return MS::kFailure;
    nearPoint = MPoint(nearClip.x / nearClip.w, nearClip.y / nearClip.w, nearClip.z / nearClip.w);
    farPoint = MPoint(farClip.x / farClip.w, farClip.y / farClip.w, farClip.z / farClip.w);
    return status;
}

} // namespace host
