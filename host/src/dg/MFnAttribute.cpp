#include <maya/MFnAttribute.h>

#include "dg/FnSet.h"

using host::Attribute;

HOST_FN_SET_BASICS(MFnAttribute, MFn::kAttribute)

namespace host {

MObject newAttribute(AttrKind kind, MFn::Type type, const MString& name, const MString& shortName,
                     MStatus* status)
{
    if (name.length() == 0) {
        setStatus(status, MStatus::kInvalidParameter);
        return MObject();
    }
    auto* attr = new Attribute(kind, type, name, shortName.length() ? shortName : name);
    setStatus(status, MStatus::kSuccess);
    return ObjectAccess::make(attr);
}

} // namespace host

namespace {

Attribute* attr(const MObject& object)
{
    return host::attributeOf(object);
}

MStatus setFlag(const MObject& object, unsigned flag, bool state)
{
    Attribute* a = attr(object);
    if (!a)
        return MStatus::kInvalidParameter;
    a->set(flag, state);
    return MStatus::kSuccess;
}

bool getFlag(const MObject& object, unsigned flag, MStatus* status)
{
    Attribute* a = attr(object);
    host::setStatus(status, a ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return a && a->is(flag);
}

} // namespace

MStatus MFnAttribute::setReadable(bool state) { return setFlag(mObject, host::kReadable, state); }
MStatus MFnAttribute::setWritable(bool state) { return setFlag(mObject, host::kWritable, state); }
MStatus MFnAttribute::setConnectable(bool state) { return setFlag(mObject, host::kConnectable, state); }
MStatus MFnAttribute::setStorable(bool state) { return setFlag(mObject, host::kStorable, state); }
MStatus MFnAttribute::setCached(bool state) { return setFlag(mObject, host::kCached, state); }
MStatus MFnAttribute::setIndexMatters(bool state) { return setFlag(mObject, host::kIndexMatters, state); }
MStatus MFnAttribute::setKeyable(bool state) { return setFlag(mObject, host::kKeyable, state); }
MStatus MFnAttribute::setChannelBox(bool state) { return setFlag(mObject, host::kChannelBox, state); }
MStatus MFnAttribute::setHidden(bool state) { return setFlag(mObject, host::kHidden, state); }
MStatus MFnAttribute::setUsedAsColor(bool state) { return setFlag(mObject, host::kUsedAsColor, state); }
MStatus MFnAttribute::setUsesArrayDataBuilder(bool state) { return setFlag(mObject, host::kUsesArrayDataBuilder, state); }
MStatus MFnAttribute::setIndeterminant(bool state) { return setFlag(mObject, host::kIndeterminant, state); }
MStatus MFnAttribute::setRenderSource(bool state) { return setFlag(mObject, host::kRenderSource, state); }
MStatus MFnAttribute::setAffectsAppearance(bool state) { return setFlag(mObject, host::kAffectsAppearance, state); }
MStatus MFnAttribute::setAffectsWorldSpace(bool state) { return setFlag(mObject, host::kAffectsWorldSpace, state); }
MStatus MFnAttribute::setWorldSpace(bool state) { return setFlag(mObject, host::kWorldSpace, state); }
MStatus MFnAttribute::setInternal(bool state) { return setFlag(mObject, host::kInternal, state); }

MStatus MFnAttribute::setArray(bool state)
{
    Attribute* a = attr(mObject);
    if (!a)
        return MStatus::kInvalidParameter;
    if (a->added)  // the value layout of nodes that have it depends on this
        return MStatus::kFailure;
    a->set(host::kArray, state);
    return MStatus::kSuccess;
}

MStatus MFnAttribute::setDisconnectBehavior(DisconnectBehavior behavior)
{
    Attribute* a = attr(mObject);
    if (!a)
        return MStatus::kInvalidParameter;
    a->disconnectBehavior = behavior;
    return MStatus::kSuccess;
}

MStatus MFnAttribute::setNiceNameOverride(const MString& localizedName)
{
    Attribute* a = attr(mObject);
    if (!a)
        return MStatus::kInvalidParameter;
    a->niceName = localizedName;
    return MStatus::kSuccess;
}

bool MFnAttribute::isReadable(MStatus* s) const { return getFlag(mObject, host::kReadable, s); }
bool MFnAttribute::isWritable(MStatus* s) const { return getFlag(mObject, host::kWritable, s); }
bool MFnAttribute::isConnectable(MStatus* s) const { return getFlag(mObject, host::kConnectable, s); }
bool MFnAttribute::isStorable(MStatus* s) const { return getFlag(mObject, host::kStorable, s); }
bool MFnAttribute::isCached(MStatus* s) const { return getFlag(mObject, host::kCached, s); }
bool MFnAttribute::isArray(MStatus* s) const { return getFlag(mObject, host::kArray, s); }
bool MFnAttribute::indexMatters(MStatus* s) const { return getFlag(mObject, host::kIndexMatters, s); }
bool MFnAttribute::isKeyable(MStatus* s) const { return getFlag(mObject, host::kKeyable, s); }
bool MFnAttribute::isChannelBoxFlagSet(MStatus* s) const { return getFlag(mObject, host::kChannelBox, s); }
bool MFnAttribute::isHidden(MStatus* s) const { return getFlag(mObject, host::kHidden, s); }
bool MFnAttribute::isUsedAsColor(MStatus* s) const { return getFlag(mObject, host::kUsedAsColor, s); }
bool MFnAttribute::usesArrayDataBuilder(MStatus* s) const { return getFlag(mObject, host::kUsesArrayDataBuilder, s); }
bool MFnAttribute::isIndeterminant(MStatus* s) const { return getFlag(mObject, host::kIndeterminant, s); }
bool MFnAttribute::isRenderSource(MStatus* s) const { return getFlag(mObject, host::kRenderSource, s); }
bool MFnAttribute::isDynamic(MStatus* s) const { return getFlag(mObject, host::kDynamic, s); }
bool MFnAttribute::isAffectsAppearance(MStatus* s) const { return getFlag(mObject, host::kAffectsAppearance, s); }
bool MFnAttribute::isAffectsWorldSpace(MStatus* s) const { return getFlag(mObject, host::kAffectsWorldSpace, s); }
bool MFnAttribute::isWorldSpace(MStatus* s) const { return getFlag(mObject, host::kWorldSpace, s); }
bool MFnAttribute::internal(MStatus* s) const { return getFlag(mObject, host::kInternal, s); }

MFnAttribute::DisconnectBehavior MFnAttribute::disconnectBehavior(MStatus* ReturnStatus) const
{
    Attribute* a = attr(mObject);
    host::setStatus(ReturnStatus, a ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return a ? a->disconnectBehavior : kNothing;
}

MString MFnAttribute::name(MStatus* ReturnStatus) const
{
    Attribute* a = attr(mObject);
    host::setStatus(ReturnStatus, a ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return a ? a->name : MString();
}

MString MFnAttribute::shortName(MStatus* ReturnStatus) const
{
    Attribute* a = attr(mObject);
    host::setStatus(ReturnStatus, a ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return a ? a->shortName : MString();
}

MString MFnAttribute::niceNameOverride(MStatus* ReturnStatus) const
{
    Attribute* a = attr(mObject);
    host::setStatus(ReturnStatus, a ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return a ? a->niceName : MString();
}

MObject MFnAttribute::parent(MStatus* ReturnStatus) const
{
    Attribute* a = attr(mObject);
    if (!a || !a->parent) {
        host::setStatus(ReturnStatus, MStatus::kFailure);
        return MObject();
    }
    host::setStatus(ReturnStatus, MStatus::kSuccess);
    return host::ObjectAccess::make(a->parent);
}

bool MFnAttribute::accepts(MFnData::Type dataType, MStatus* ReturnStatus) const
{
    Attribute* a = attr(mObject);
    host::setStatus(ReturnStatus, a ? MStatus::kSuccess : MStatus::kInvalidParameter);
    if (!a)
        return false;
    switch (a->attrKind) {
    case host::AttrKind::Typed:
        return a->dataType == dataType || dataType == MFnData::kAny;
    case host::AttrKind::Matrix:
        return dataType == MFnData::kMatrix;
    case host::AttrKind::Generic:
        for (MFnData::Type t : a->acceptedData)
            if (t == dataType || t == MFnData::kAny)
                return true;
        return dataType == MFnData::kNumeric && !a->acceptedNumeric.empty();
    case host::AttrKind::Numeric:
    case host::AttrKind::Enum:
    case host::AttrKind::Unit:
        return dataType == MFnData::kNumeric;
    default:
        return false;
    }
}
