#pragma once
// The built-in "camera" shape with the attributes Maya writes for a camera and
// that the view projection reads (focal length, film back and fit, clipping,
// orthographic width), plus the image names Maya's startup cameras carry.

#include <maya/MPxNode.h>
#include <maya/MTypeId.h>

namespace host {

class CameraShapeNode : public MPxNode
{
public:
    static const MTypeId id;
    static const char* const typeName;

    static void* creator();
    static MStatus initialize();
    MPxNode::Type type() const override;

    static MObject focalLength;
    static MObject centerOfInterest;
    static MObject orthographic;
    static MObject orthographicWidth;
    static MObject nearClipPlane;
    static MObject farClipPlane;
    static MObject horizontalFilmAperture;
    static MObject verticalFilmAperture;
    static MObject horizontalFilmOffset;
    static MObject verticalFilmOffset;
    static MObject filmFit;
    static MObject overscan;
    static MObject cameraScale;
    static MObject lensSqueezeRatio;
    static MObject renderable;
    static MObject imageName;
    static MObject depthName;
    static MObject maskName;
    static MObject homeCommand;
};

// Registers "camera" (called once with the other built-in types).
MStatus registerCameraNodeType();

} // namespace host
