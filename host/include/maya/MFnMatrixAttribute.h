#ifndef MAYA_MFNMATRIXATTRIBUTE_H
#define MAYA_MFNMATRIXATTRIBUTE_H

#include <maya/MFnAttribute.h>

class MMatrix;
class MFloatMatrix;

// Matrix-valued attributes.
class MFnMatrixAttribute : public MFnAttribute
{
public:
    enum Type { kFloat, kDouble };

    MFnMatrixAttribute();
    MFnMatrixAttribute(MObject& object, MStatus* ReturnStatus = NULL);
    MFnMatrixAttribute(const MObject& object, MStatus* ReturnStatus = NULL);
    ~MFnMatrixAttribute() override;
    MFn::Type type() const override;

    MObject create(const MString& fullName, const MString& briefName, Type matrixType = kDouble,
                   MStatus* ReturnStatus = NULL);
    MStatus getDefault(MMatrix& defaultValue);
    MStatus getDefault(MFloatMatrix& defaultValue);
    MStatus setDefault(const MMatrix& defaultValue);
    MStatus setDefault(const MFloatMatrix& defaultValue);
};

#endif
