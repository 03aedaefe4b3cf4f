#ifndef MAYA_MHWGEOMETRYUTILITIES_H
#define MAYA_MHWGEOMETRYUTILITIES_H

#include <maya/MTypes.h>

namespace MHWRender
{

enum DisplayStatus {
    kActive, kLive, kDormant, kInvisible, kHilite, kTemplate, kActiveTemplate, kActiveComponent,
    kLead, kIntermediateObject, kActiveAffected, kNoStatus
};

class MGeometryUtilities
{
public:
    enum GeometricShape { kDefaultSphere, kDefaultPlane, kDefaultCube };

    static DisplayStatus displayStatus(const MDagPath& path, MStatus* returnStatus = NULL);
    static MColor wireframeColor(const MDagPath& path);
    static MGeometry* acquireReferenceGeometry(GeometricShape shape, const MGeometryRequirements& requirements);
    static void releaseReferenceGeometry(MGeometry* geometry);
};

} // namespace MHWRender

#endif
