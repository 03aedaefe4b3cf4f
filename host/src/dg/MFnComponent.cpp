#include <maya/MFnComponent.h>
#include <maya/MFnSingleIndexedComponent.h>
#include <maya/MIntArray.h>

#include "dg/Component.h"
#include "dg/FnSet.h"

#include <algorithm>

HOST_FN_SET_BASICS(MFnComponent, MFn::kComponent)
HOST_FN_SET_BASICS(MFnSingleIndexedComponent, MFn::kSingleIndexedComponent)

using host::Component;
using host::componentOf;
using host::setStatus;

namespace {
// The component the set holds, with the status to report.
Component* held(const MObject& object, MStatus* status)
{
    Component* c = componentOf(object);
    setStatus(status, c ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return c;
}
} // namespace

int MFnComponent::elementCount(MStatus* ReturnStatus) const
{
    const Component* c = held(mObject, ReturnStatus);
    return !c ? 0 : c->complete ? c->completeCount : int(c->elements.size());
}

MFn::Type MFnComponent::componentType(MStatus* ReturnStatus) const
{
    const Component* c = held(mObject, ReturnStatus);
    return c ? c->apiType() : MFn::kInvalid;
}

bool MFnComponent::isEmpty(MStatus* ReturnStatus) const
{
    return elementCount(ReturnStatus) == 0;
}

bool MFnComponent::isEqual(MObject& other, MStatus* ReturnStatus) const
{
    const Component* c = held(mObject, ReturnStatus);
    const Component* o = componentOf(other);
    return c && o && c->apiType() == o->apiType() && c->indices() == o->indices();
}

bool MFnComponent::isComplete(MStatus* ReturnStatus) const
{
    const Component* c = held(mObject, ReturnStatus);
    return c && c->complete;
}

MStatus MFnComponent::setComplete(bool complete)
{
    Component* c = componentOf(mObject);
    if (!c)
        return MStatus::kInvalidParameter;
    if (complete && !c->complete)
        c->completeCount = c->elements.empty() ? 0 : c->elements.back() + 1;
    if (!complete && c->complete)
        c->elements = c->indices();
    c->complete = complete;
    return MStatus::kSuccess;
}

bool MFnComponent::hasWeights() const
{
    return false;
}

MObject MFnSingleIndexedComponent::create(MFn::Type compType, MStatus* ReturnStatus)
{
    if (!host::fnIsA(compType, MFn::kSingleIndexedComponent)) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MObject();
    }
    mObject = host::makeComponent(compType, {});
    setStatus(ReturnStatus, MStatus::kSuccess);
    return mObject;
}

MStatus MFnSingleIndexedComponent::addElement(int element)
{
    Component* c = componentOf(mObject);
    if (!c || element < 0)
        return MStatus::kInvalidParameter;
    if (c->complete && element <= c->completeCount) {
        c->completeCount = std::max(c->completeCount, element + 1);
        return MStatus::kSuccess;
    }
    if (c->complete) {  // a gap: no longer every index below a count
        c->elements = c->indices();
        c->complete = false;
    }
    c->add(element);
    return MStatus::kSuccess;
}

MStatus MFnSingleIndexedComponent::addElements(MIntArray& elements)
{
    Component* c = componentOf(mObject);
    if (!c)
        return MStatus::kInvalidParameter;
    for (unsigned i = 0; i < elements.length(); ++i)
        if (elements[i] < 0)
            return MStatus::kInvalidParameter;
    if (c->complete) {
        for (unsigned i = 0; i < elements.length(); ++i)
            addElement(elements[i]);
        return MStatus::kSuccess;
    }
    if (elements.length() > 0)
        c->add(&elements[0], elements.length());
    return MStatus::kSuccess;
}

int MFnSingleIndexedComponent::elementMax(MStatus* ReturnStatus) const
{
    const Component* c = held(mObject, ReturnStatus);
    if (!c)
        return -1;
    if (c->complete)
        return c->completeCount - 1;
    return c->elements.empty() ? -1 : c->elements.back();
}

int MFnSingleIndexedComponent::element(int index, MStatus* ReturnStatus) const
{
    const Component* c = held(mObject, ReturnStatus);
    if (!c)
        return -1;
    const int count = c->complete ? c->completeCount : int(c->elements.size());
    if (index < 0 || index >= count) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return -1;
    }
    return c->complete ? index : c->elements[size_t(index)];
}

MStatus MFnSingleIndexedComponent::getElements(MIntArray& elements) const
{
    const Component* c = componentOf(mObject);
    if (!c)
        return MStatus::kInvalidParameter;
    const std::vector<int> indices = c->indices();
    elements.setLength(unsigned(indices.size()));
    for (size_t i = 0; i < indices.size(); ++i)
        elements[unsigned(i)] = indices[i];
    return MStatus::kSuccess;
}

MStatus MFnSingleIndexedComponent::setCompleteData(int numElements)
{
    Component* c = componentOf(mObject);
    if (!c || numElements < 0)
        return MStatus::kInvalidParameter;
    c->complete = true;
    c->completeCount = numElements;
    c->elements.clear();
    return MStatus::kSuccess;
}

MStatus MFnSingleIndexedComponent::getCompleteData(int& numElements) const
{
    const Component* c = componentOf(mObject);
    if (!c || !c->complete)
        return MStatus::kFailure;
    numElements = c->completeCount;
    return MStatus::kSuccess;
}
