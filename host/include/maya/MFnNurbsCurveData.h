#ifndef MAYA_MFNNURBSCURVEDATA_H
#define MAYA_MFNNURBSCURVEDATA_H

#include <maya/MFnGeometryData.h>

// NurbsCurve geometry data objects.
class MFnNurbsCurveData : public MFnGeometryData
{
public:
    MFnNurbsCurveData();
    MFnNurbsCurveData(MObject& object, MStatus* ReturnStatus = NULL);
    MFnNurbsCurveData(const MObject& object, MStatus* ReturnStatus = NULL);
    ~MFnNurbsCurveData() override;
    MFn::Type type() const override;

    MObject create(MStatus* ReturnStatus = NULL);
};

#endif
