#include "plugin/NodeAttributes.h"

#include "plugin/StatusCheck.h"

#include <maya/MFnAttribute.h>
#include <maya/MFnIntArrayData.h>
#include <maya/MFnMatrixAttribute.h>
#include <maya/MFnMessageAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnStringArrayData.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MIntArray.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

namespace {

// One flag: the bit that turns it on, the bit that turns it off, and its setter.
struct FlagSetter
{
    unsigned on;
    unsigned off;
    MStatus (MFnAttribute::*set)(bool);
};

const FlagSetter kSetters[] = {
    {kAttrKeyable, kAttrNotKeyable, &MFnAttribute::setKeyable},
    {kAttrStorable, kAttrNotStorable, &MFnAttribute::setStorable},
    {kAttrReadable, kAttrNotReadable, &MFnAttribute::setReadable},
    {kAttrWritable, kAttrNotWritable, &MFnAttribute::setWritable},
    {kAttrConnectable, kAttrNotConnectable, &MFnAttribute::setConnectable},
    {kAttrHidden, 0u, &MFnAttribute::setHidden},
    {kAttrArray, 0u, &MFnAttribute::setArray},
    {kAttrIndexMatters, 0u, &MFnAttribute::setIndexMatters},
    {kAttrUsesArrayDataBuilder, 0u, &MFnAttribute::setUsesArrayDataBuilder},
    {kAttrUsedAsColor, 0u, &MFnAttribute::setUsedAsColor},
    {0u, kAttrNotCached, &MFnAttribute::setCached},
};

} // namespace

MStatus applyAttributeFlags(MFnAttribute& fn, unsigned flags)
{
    for (const FlagSetter& setter : kSetters) {
        if (flags & setter.on) {
            PELLIX_PASS_ON((fn.*setter.set)(true));
        }
        if (flags & setter.off) {
            PELLIX_PASS_ON((fn.*setter.set)(false));
        }
    }
    return MS::kSuccess;
}

MStatus createNumericAttribute(MObject& attr, const char* name, const char* shortName, MFnNumericData::Type type,
                               double defaultValue, unsigned flags)
{
    MStatus status;
    MFnNumericAttribute fn;
    attr = fn.create(name, shortName, type, defaultValue, &status);
    PELLIX_PASS_ON(status);
    return applyAttributeFlags(fn, flags);
}

MStatus createColorAttribute(MObject& attr, const char* name, const char* shortName, float r, float g, float b,
                             unsigned flags)
{
    MStatus status;
    MFnNumericAttribute fn;
    attr = fn.createColor(name, shortName, &status);
    PELLIX_PASS_ON(status);
    status = fn.setDefault(r, g, b);
    PELLIX_PASS_ON(status);
    return applyAttributeFlags(fn, flags | kAttrUsedAsColor);
}

MStatus createTypedAttribute(MObject& attr, const char* name, const char* shortName, MFnData::Type type,
                             const MObject& defaultData, unsigned flags)
{
    MStatus status;
    MFnTypedAttribute fn;
    attr = fn.create(name, shortName, type, defaultData, &status);
    PELLIX_PASS_ON(status);
    return applyAttributeFlags(fn, flags);
}

MStatus createIntArrayAttribute(MObject& attr, const char* name, const char* shortName, unsigned flags)
{
    MStatus status;
    MFnIntArrayData data;
    const MObject empty = data.create(MIntArray(), &status);
    PELLIX_PASS_ON(status);
    return createTypedAttribute(attr, name, shortName, MFnData::kIntArray, empty, flags);
}

MStatus createStringArrayAttribute(MObject& attr, const char* name, const char* shortName, unsigned flags)
{
    MStatus status;
    MFnStringArrayData data;
    const MObject empty = data.create(MStringArray(), &status);
    PELLIX_PASS_ON(status);
    return createTypedAttribute(attr, name, shortName, MFnData::kStringArray, empty, flags);
}

MStatus createMessageAttribute(MObject& attr, const char* name, const char* shortName, unsigned flags)
{
    MStatus status;
    MFnMessageAttribute fn;
    attr = fn.create(name, shortName, &status);
    PELLIX_PASS_ON(status);
    return applyAttributeFlags(fn, flags);
}

MStatus createMatrixAttribute(MObject& attr, const char* name, const char* shortName, unsigned flags)
{
    MStatus status;
    MFnMatrixAttribute fn;
    attr = fn.create(name, shortName, MFnMatrixAttribute::kDouble, &status);
    PELLIX_PASS_ON(status);
    return applyAttributeFlags(fn, flags);
}
