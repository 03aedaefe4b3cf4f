#include <maya/MArrayDataHandle.h>

#include <maya/MArrayDataBuilder.h>

#include "dg/DataAccess.h"
#include "dg/FnSet.h"
#include "dg/Graph.h"

#include <algorithm>

using host::Slot;

MArrayDataHandle::MArrayDataHandle() : mSlot(nullptr), mPosition(0), mPull(false) {}

MArrayDataHandle::MArrayDataHandle(const MDataHandle& in, MStatus* ReturnStatus)
    : mSlot(host::DataAccess::slot(in)), mPosition(0), mPull(true)
{
    if (mSlot && !mSlot->isArray())
        mSlot = nullptr;
    host::setStatus(ReturnStatus, mSlot ? MStatus::kSuccess : MStatus::kInvalidParameter);
}

MArrayDataHandle::MArrayDataHandle(const MArrayDataHandle& other) = default;
MArrayDataHandle& MArrayDataHandle::operator=(const MArrayDataHandle& other) = default;
MArrayDataHandle::~MArrayDataHandle() = default;

namespace {
// A connection anywhere in an element keeps it when its array is replaced. A pull in
// progress does not: the evaluation finds its plug's slot again afterwards.
bool heldInPlace(const Slot& slot)
{
    if (slot.source || !slot.dests.empty())
        return true;
    for (const auto& c : slot.children)
        if (heldInPlace(*c))
            return true;
    for (const auto& e : slot.elements)
        if (heldInPlace(*e))
            return true;
    return false;
}

Slot* current(Slot* array, unsigned int position)
{
    return (array && position < array->elements.size()) ? array->elements[position].get() : nullptr;
}
} // namespace

MDataHandle MArrayDataHandle::inputValue(MStatus* ReturnStatus)
{
    Slot* element = current(mSlot, mPosition);
    host::setStatus(ReturnStatus, element ? MStatus::kSuccess : MStatus::kFailure);
    if (element)
        host::evaluate(element);
    return host::DataAccess::handle(element);
}

MDataHandle MArrayDataHandle::outputValue(MStatus* ReturnStatus)
{
    Slot* element = current(mSlot, mPosition);
    host::setStatus(ReturnStatus, element ? MStatus::kSuccess : MStatus::kFailure);
    return host::DataAccess::handle(element);
}

MArrayDataHandle MArrayDataHandle::inputArrayValue(MStatus* ReturnStatus)
{
    // Elements of an array are never arrays themselves; their compound
    // children are reached through inputValue().child().
    host::setStatus(ReturnStatus, MStatus::kInvalidParameter);
    return MArrayDataHandle();
}

MArrayDataHandle MArrayDataHandle::outputArrayValue(MStatus* ReturnStatus)
{
    host::setStatus(ReturnStatus, MStatus::kInvalidParameter);
    return MArrayDataHandle();
}

MStatus MArrayDataHandle::next()
{
    if (!mSlot || mPosition >= mSlot->elements.size())
        return MStatus::kFailure;
    ++mPosition;
    return mPosition < mSlot->elements.size() ? MStatus::kSuccess : MStatus::kFailure;
}

unsigned int MArrayDataHandle::elementCount(MStatus* ReturnStatus)
{
    host::setStatus(ReturnStatus, mSlot ? MStatus::kSuccess : MStatus::kFailure);
    return mSlot ? static_cast<unsigned int>(mSlot->elements.size()) : 0;
}

unsigned int MArrayDataHandle::elementIndex(MStatus* ReturnStatus)
{
    Slot* element = current(mSlot, mPosition);
    host::setStatus(ReturnStatus, element ? MStatus::kSuccess : MStatus::kFailure);
    return element ? static_cast<unsigned int>(element->logical) : 0;
}

MStatus MArrayDataHandle::jumpToElement(unsigned int index)
{
    if (!mSlot || index > 0x7fffffffu)
        return MStatus::kInvalidParameter;
    size_t pos = mSlot->lowerBound(static_cast<int>(index));
    if (pos >= mSlot->elements.size() || mSlot->elements[pos]->logical != static_cast<int>(index))
        return MStatus::kInvalidParameter;
    mPosition = static_cast<unsigned int>(pos);
    return MStatus::kSuccess;
}

MStatus MArrayDataHandle::jumpToArrayElement(unsigned int position)
{
    if (!mSlot || position >= mSlot->elements.size())
        return MStatus::kInvalidParameter;
    mPosition = position;
    return MStatus::kSuccess;
}

MStatus MArrayDataHandle::setClean()
{
    Slot* element = current(mSlot, mPosition);
    if (!element)
        return MStatus::kFailure;
    host::setClean(element);
    return MStatus::kSuccess;
}

MStatus MArrayDataHandle::setAllClean()
{
    if (!mSlot)
        return MStatus::kFailure;
    host::setClean(mSlot);
    return MStatus::kSuccess;
}

MArrayDataBuilder MArrayDataHandle::builder(MStatus* ReturnStatus)
{
    MStatus status = mSlot ? MStatus::kSuccess : MStatus::kFailure;
    MArrayDataBuilder result(host::ObjectAccess::make(mSlot ? mSlot->attr : nullptr), 0, nullptr);
    auto& elements = host::DataAccess::elements(result);
    if (mSlot && elements) {
        elements->node = mSlot->node;
        elements->array->copyValueFrom(*mSlot);
    }
    host::setStatus(ReturnStatus, status);
    return result;
}

MStatus MArrayDataHandle::set(MArrayDataBuilder& builder)
{
    auto& built = host::DataAccess::elements(builder);
    if (!mSlot || !built || built->attr != mSlot->attr)
        return MStatus::kInvalidParameter;
    // Both element lists are sorted by logical index, so one walk over each
    // pairs them up without a search per element.
    const auto& source = built->array->elements;
    auto& mine = mSlot->elements;
    size_t pos = 0;
    for (const auto& e : source) {
        while (pos < mine.size() && mine[pos]->logical < e->logical)
            ++pos;
        Slot* target = pos < mine.size() && mine[pos]->logical == e->logical ? mine[pos].get()
                                                                              : mSlot->element(e->logical, true);
        target->copyValueFrom(*e);
        ++pos;  // a new element was inserted at pos
    }
    // Elements the builder dropped go too, unless connections hold them or
    // they are being pulled right now.
    size_t kept = 0;
    pos = 0;
    for (size_t k = 0; k < mine.size(); ++k) {
        const Slot& e = *mine[k];
        while (pos < source.size() && source[pos]->logical < e.logical)
            ++pos;
        const bool inBuilder = pos < source.size() && source[pos]->logical == e.logical;
        if (!inBuilder && !heldInPlace(e))
            continue;
        if (kept != k)
            mine[kept] = std::move(mine[k]);
        ++kept;
    }
    mine.resize(kept);
    mPosition = 0;
    return MStatus::kSuccess;
}
