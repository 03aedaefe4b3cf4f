#ifndef MAYA_MFNNUMERICDATA_H
#define MAYA_MFNNUMERICDATA_H

#include <maya/MFnData.h>

// Numeric data objects (single values and 2/3/4-component tuples).
class MFnNumericData : public MFnData
{
public:
    enum Type {
        kInvalid,
        kBoolean,
        kByte,
        kChar,
        kShort,
        k2Short,
        k3Short,
        kLong,
        kInt = kLong,
        k2Long,
        k2Int = k2Long,
        k3Long,
        k3Int = k3Long,
        kInt64,
        kFloat,
        k2Float,
        k3Float,
        kDouble,
        k2Double,
        k3Double,
        k4Double,
        kAddr,
        kLast
    };

    MFnNumericData();
    MFnNumericData(MObject& object, MStatus* ReturnStatus = NULL);
    MFnNumericData(const MObject& object, MStatus* ReturnStatus = NULL);
    ~MFnNumericData() override;
    MFn::Type type() const override;

    MObject create(Type dataType, MStatus* ReturnStatus = NULL);
    Type numericType(MStatus* ReturnStatus = NULL);

    MStatus getData(int& v1, int& v2);
    MStatus getData(float& v1, float& v2);
    MStatus getData(double& v1, double& v2);
    MStatus getData(int& v1, int& v2, int& v3);
    MStatus getData(float& v1, float& v2, float& v3);
    MStatus getData(double& v1, double& v2, double& v3);
    MStatus getData(double& v1, double& v2, double& v3, double& v4);
    MStatus setData(int v1, int v2);
    MStatus setData(float v1, float v2);
    MStatus setData(double v1, double v2);
    MStatus setData(int v1, int v2, int v3);
    MStatus setData(float v1, float v2, float v3);
    MStatus setData(double v1, double v2, double v3);
    MStatus setData(double v1, double v2, double v3, double v4);
    MStatus getData2Double(double& v1, double& v2);
    MStatus getData3Double(double& v1, double& v2, double& v3);
    MStatus setData2Double(double v1, double v2);
    MStatus setData3Double(double v1, double v2, double v3);

private:
    MStatus getValues(double* values, int count);
    MStatus setValues(const double* values, int count);
};

#endif
