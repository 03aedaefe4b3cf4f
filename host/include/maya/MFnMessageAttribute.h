#ifndef MAYA_MFNMESSAGEATTRIBUTE_H
#define MAYA_MFNMESSAGEATTRIBUTE_H

#include <maya/MFnAttribute.h>

// Value-less attributes used only for connections.
class MFnMessageAttribute : public MFnAttribute
{
public:
    MFnMessageAttribute();
    MFnMessageAttribute(MObject& object, MStatus* ReturnStatus = NULL);
    MFnMessageAttribute(const MObject& object, MStatus* ReturnStatus = NULL);
    ~MFnMessageAttribute() override;
    MFn::Type type() const override;

    MObject create(const MString& fullName, const MString& briefName, MStatus* ReturnStatus = NULL);
};

#endif
