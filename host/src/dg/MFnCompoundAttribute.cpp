#include <maya/MFnCompoundAttribute.h>

#include "dg/FnSet.h"

#include <algorithm>

using host::Attribute;

HOST_FN_SET_BASICS(MFnCompoundAttribute, MFn::kCompoundAttribute)

MObject MFnCompoundAttribute::create(const MString& fullName, const MString& briefName, MStatus* ReturnStatus)
{
    mObject = host::newAttribute(host::AttrKind::Compound, MFn::kCompoundAttribute, fullName, briefName,
                                 ReturnStatus);
    return mObject;
}

MStatus MFnCompoundAttribute::addChild(const MObject& child)
{
    Attribute* a = host::attributeOf(mObject);
    Attribute* c = host::attributeOf(child);
    if (!a || !c)
        return MStatus::kInvalidParameter;
    if (a->isNumericCompound())
        return MStatus::kInvalidParameter;
    return a->addChild(c);
}

MStatus MFnCompoundAttribute::removeChild(const MObject& child)
{
    Attribute* a = host::attributeOf(mObject);
    Attribute* c = host::attributeOf(child);
    if (!a || !c || c->parent != a || a->added)
        return MStatus::kInvalidParameter;
    a->children.erase(std::find(a->children.begin(), a->children.end(), c));
    for (size_t i = 0; i < a->children.size(); ++i)
        a->children[i]->childIndex = static_cast<int>(i);
    c->parent = nullptr;
    c->childIndex = -1;
    c->depth = 0;
    c->unref();
    return MStatus::kSuccess;
}

unsigned int MFnCompoundAttribute::numChildren(MStatus* ReturnStatus) const
{
    Attribute* a = host::attributeOf(mObject);
    host::setStatus(ReturnStatus, a ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return a ? static_cast<unsigned int>(a->children.size()) : 0;
}

MObject MFnCompoundAttribute::child(unsigned int index, MStatus* ReturnStatus) const
{
    Attribute* a = host::attributeOf(mObject);
    if (!a || index >= a->children.size()) {
        host::setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MObject();
    }
    host::setStatus(ReturnStatus, MStatus::kSuccess);
    return host::ObjectAccess::make(a->children[index]);
}
