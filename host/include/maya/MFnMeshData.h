#ifndef MAYA_MFNMESHDATA_H
#define MAYA_MFNMESHDATA_H

#include <maya/MFnGeometryData.h>

// Mesh geometry data objects.
class MFnMeshData : public MFnGeometryData
{
public:
    MFnMeshData();
    MFnMeshData(MObject& object, MStatus* ReturnStatus = NULL);
    MFnMeshData(const MObject& object, MStatus* ReturnStatus = NULL);
    ~MFnMeshData() override;
    MFn::Type type() const override;

    MObject create(MStatus* ReturnStatus = NULL);
};

#endif
