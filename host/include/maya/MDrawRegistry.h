#ifndef MAYA_MDRAWREGISTRY_H
#define MAYA_MDRAWREGISTRY_H

#include <maya/MStatus.h>
#include <maya/MString.h>

namespace MHWRender
{

// Associates draw classifications ("drawdb/geometry/...") with override creators.
class MDrawRegistry
{
public:
    typedef MPxDrawOverride* (*DrawOverrideCreator)(const MObject& obj);
    typedef MPxGeometryOverride* (*GeometryOverrideCreator)(const MObject& obj);

    static MStatus registerDrawOverrideCreator(const MString& drawClassification, const MString& registrantId,
                                               DrawOverrideCreator creator);
    static MStatus deregisterDrawOverrideCreator(const MString& drawClassification, const MString& registrantId);
    static MStatus registerGeometryOverrideCreator(const MString& drawClassification, const MString& registrantId,
                                                   GeometryOverrideCreator creator);
    static MStatus deregisterGeometryOverrideCreator(const MString& drawClassification,
                                                     const MString& registrantId);
};

} // namespace MHWRender

#endif
