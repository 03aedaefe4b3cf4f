#include "views/CameraShapeNode.h"

#include "dg/Registry.h"

#include <maya/MFnEnumAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnTypedAttribute.h>

#define CAMERA_CHECK(expression)                          \
    do {                                                  \
        const MStatus cameraStatus_ = (expression);       \
        if (!cameraStatus_) {                             \
            CHECK_MSTATUS(cameraStatus_);                 \
            return cameraStatus_;                         \
        }                                                 \
    } while (false)

namespace host {

const MTypeId CameraShapeNode::id(0x4e43414d);  // 'NCAM'
const char* const CameraShapeNode::typeName = "camera";

MObject CameraShapeNode::focalLength;
MObject CameraShapeNode::centerOfInterest;
MObject CameraShapeNode::orthographic;
MObject CameraShapeNode::orthographicWidth;
MObject CameraShapeNode::nearClipPlane;
MObject CameraShapeNode::farClipPlane;
MObject CameraShapeNode::horizontalFilmAperture;
MObject CameraShapeNode::verticalFilmAperture;
MObject CameraShapeNode::horizontalFilmOffset;
MObject CameraShapeNode::verticalFilmOffset;
MObject CameraShapeNode::filmFit;
MObject CameraShapeNode::overscan;
MObject CameraShapeNode::cameraScale;
MObject CameraShapeNode::lensSqueezeRatio;
MObject CameraShapeNode::renderable;
MObject CameraShapeNode::imageName;
MObject CameraShapeNode::depthName;
MObject CameraShapeNode::maskName;
MObject CameraShapeNode::homeCommand;

namespace {

MStatus addDouble(MObject& attribute, const char* longName, const char* shortName, double value, bool keyable)
{
    MStatus status;
    MFnNumericAttribute numeric;
    attribute = numeric.create(longName, shortName, MFnNumericData::kDouble, value, &status);
    CAMERA_CHECK(status);
    CAMERA_CHECK(numeric.setKeyable(keyable));
    return MPxNode::addAttribute(attribute);
}

MStatus addString(MObject& attribute, const char* longName, const char* shortName)
{
    MStatus status;
    MFnTypedAttribute typed;
    attribute = typed.create(longName, shortName, MFnData::kString, MObject::kNullObj, &status);
    CAMERA_CHECK(status);
    return MPxNode::addAttribute(attribute);
}

} // namespace

void* CameraShapeNode::creator()
{
    return new CameraShapeNode;
}

MPxNode::Type CameraShapeNode::type() const
{
    return MPxNode::kSurfaceShape;
}

MStatus CameraShapeNode::initialize()
{
    CAMERA_CHECK(addDouble(focalLength, "focalLength", "fl", 35.0, true));
    CAMERA_CHECK(addDouble(centerOfInterest, "centerOfInterest", "coi", 5.0, false));
    CAMERA_CHECK(addDouble(orthographicWidth, "orthographicWidth", "ow", 10.0, false));
    CAMERA_CHECK(addDouble(nearClipPlane, "nearClipPlane", "ncp", 0.1, false));
    CAMERA_CHECK(addDouble(farClipPlane, "farClipPlane", "fcp", 10000.0, false));
    CAMERA_CHECK(addDouble(horizontalFilmAperture, "horizontalFilmAperture", "hfa", 1.41732, true));
    CAMERA_CHECK(addDouble(verticalFilmAperture, "verticalFilmAperture", "vfa", 0.94488, true));
    CAMERA_CHECK(addDouble(horizontalFilmOffset, "horizontalFilmOffset", "hfo", 0.0, true));
    CAMERA_CHECK(addDouble(verticalFilmOffset, "verticalFilmOffset", "vfo", 0.0, true));
    CAMERA_CHECK(addDouble(overscan, "overscan", "ovr", 1.0, false));
    CAMERA_CHECK(addDouble(cameraScale, "cameraScale", "cs", 1.0, false));
    CAMERA_CHECK(addDouble(lensSqueezeRatio, "lensSqueezeRatio", "lsr", 1.0, false));

    MStatus status;
    MFnNumericAttribute numeric;
    orthographic = numeric.create("orthographic", "o", MFnNumericData::kBoolean, 0.0, &status);
    CAMERA_CHECK(status);
    CAMERA_CHECK(addAttribute(orthographic));
    renderable = numeric.create("renderable", "rnd", MFnNumericData::kBoolean, 1.0, &status);
    CAMERA_CHECK(status);
    CAMERA_CHECK(addAttribute(renderable));

    MFnEnumAttribute fit;
    filmFit = fit.create("filmFit", "ff", 1, &status);
    CAMERA_CHECK(status);
    CAMERA_CHECK(fit.addField("Fill", 0));
    CAMERA_CHECK(fit.addField("Horizontal", 1));
    CAMERA_CHECK(fit.addField("Vertical", 2));
    CAMERA_CHECK(fit.addField("Overscan", 3));
    CAMERA_CHECK(addAttribute(filmFit));

    CAMERA_CHECK(addString(imageName, "imageName", "imn"));
    CAMERA_CHECK(addString(depthName, "depthName", "den"));
    CAMERA_CHECK(addString(maskName, "maskName", "man"));
    CAMERA_CHECK(addString(homeCommand, "homeCommand", "hc"));
    return MS::kSuccess;
}

MStatus registerCameraNodeType()
{
    NodeTypeInfo info;
    info.name = CameraShapeNode::typeName;
    info.id = CameraShapeNode::id;
    info.creator = &CameraShapeNode::creator;
    info.initialize = &CameraShapeNode::initialize;
    info.type = MPxNode::kSurfaceShape;
    info.apiType = MFn::kCamera;
    return registerNodeType(info);
}

} // namespace host
