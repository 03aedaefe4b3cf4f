#ifndef MAYA_MFNGEOMETRYDATA_H
#define MAYA_MFNGEOMETRYDATA_H

#include <maya/MTypes.h>

#include <maya/MFnData.h>

// Base of the geometry data function sets (mesh, curve ...).
class MFnGeometryData : public MFnData
{
public:
    MFnGeometryData();
    MFnGeometryData(MObject& object, MStatus* ReturnStatus = NULL);
    MFnGeometryData(const MObject& object, MStatus* ReturnStatus = NULL);
    ~MFnGeometryData() override;
    MFn::Type type() const override;

    MStatus setMatrix(const MMatrix& matrix);
    MStatus getMatrix(MMatrix& matrix) const;
    bool isIdentity(MStatus* ReturnStatus = NULL) const;
    bool isNotIdentity(MStatus* ReturnStatus = NULL) const;
};

#endif
