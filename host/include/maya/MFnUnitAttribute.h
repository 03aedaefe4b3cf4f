#ifndef MAYA_MFNUNITATTRIBUTE_H
#define MAYA_MFNUNITATTRIBUTE_H

#include <maya/MFnAttribute.h>

class MTime;
class MAngle;
class MDistance;

// Angle, distance and time attributes (internal units: radians, cm, seconds).
class MFnUnitAttribute : public MFnAttribute
{
public:
    enum Type { kInvalid, kAngle, kDistance, kTime, kLast };

    MFnUnitAttribute();
    MFnUnitAttribute(MObject& object, MStatus* ReturnStatus = NULL);
    MFnUnitAttribute(const MObject& object, MStatus* ReturnStatus = NULL);
    ~MFnUnitAttribute() override;
    MFn::Type type() const override;

    MObject create(const MString& fullName, const MString& briefName, Type unitType, double defaultValue = 0.0,
                   MStatus* ReturnStatus = NULL);
    MObject create(const MString& fullName, const MString& briefName, const MTime& defaultValue,
                   MStatus* ReturnStatus = NULL);
    MObject create(const MString& fullName, const MString& briefName, const MAngle& defaultValue,
                   MStatus* ReturnStatus = NULL);
    MObject create(const MString& fullName, const MString& briefName, const MDistance& defaultValue,
                   MStatus* ReturnStatus = NULL);
    Type unitType(MStatus* ReturnStatus = NULL) const;

    bool hasMin(MStatus* ReturnStatus = NULL) const;
    bool hasMax(MStatus* ReturnStatus = NULL) const;
    bool hasSoftMin(MStatus* ReturnStatus = NULL) const;
    bool hasSoftMax(MStatus* ReturnStatus = NULL) const;
    MStatus getMin(double& minValue) const;
    MStatus getMax(double& maxValue) const;
    MStatus getSoftMin(double& minValue) const;
    MStatus getSoftMax(double& maxValue) const;
    MStatus setMin(double minValue);
    MStatus setMin(const MTime& minValue);
    MStatus setMin(const MAngle& minValue);
    MStatus setMin(const MDistance& minValue);
    MStatus setMax(double maxValue);
    MStatus setMax(const MTime& maxValue);
    MStatus setMax(const MAngle& maxValue);
    MStatus setMax(const MDistance& maxValue);
    MStatus setSoftMin(double minValue);
    MStatus setSoftMin(const MTime& minValue);
    MStatus setSoftMin(const MAngle& minValue);
    MStatus setSoftMin(const MDistance& minValue);
    MStatus setSoftMax(double maxValue);
    MStatus setSoftMax(const MTime& maxValue);
    MStatus setSoftMax(const MAngle& maxValue);
    MStatus setSoftMax(const MDistance& maxValue);
    MStatus getDefault(double& defaultValue);
    MStatus getDefault(MTime& defaultValue);
    MStatus getDefault(MAngle& defaultValue);
    MStatus getDefault(MDistance& defaultValue);
    MStatus setDefault(double defaultValue);
    MStatus setDefault(const MTime& defaultValue);
    MStatus setDefault(const MAngle& defaultValue);
    MStatus setDefault(const MDistance& defaultValue);
};

#endif
