#include <maya/MArrayDataBuilder.h>

#include <maya/MDataBlock.h>

#include "dg/DataAccess.h"
#include "dg/FnSet.h"

using host::Slot;

namespace {

std::shared_ptr<host::BuilderElements> makeElements(host::Node* node, const MObject& attribute, MStatus* status)
{
    host::Attribute* a = host::attributeOf(attribute);
    if (!a || !a->is(host::kArray)) {
        host::setStatus(status, MStatus::kInvalidParameter);
        return nullptr;
    }
    auto elements = std::make_shared<host::BuilderElements>();
    elements->attr = a;
    elements->node = node;
    elements->array = std::make_unique<Slot>(node, a, nullptr, -1);
    host::setStatus(status, MStatus::kSuccess);
    return elements;
}

} // namespace

MArrayDataBuilder::MArrayDataBuilder(const MObject& attribute, unsigned int, MStatus* ReturnStatus)
    : mElements(makeElements(nullptr, attribute, ReturnStatus))
{
}

MArrayDataBuilder::MArrayDataBuilder(MDataBlock* context, const MObject& attribute, unsigned int,
                                     MStatus* ReturnStatus)
    : mElements(makeElements(context ? host::DataAccess::node(*context) : nullptr, attribute, ReturnStatus))
{
}

MArrayDataBuilder::MArrayDataBuilder(const MArrayDataBuilder& other) = default;
MArrayDataBuilder& MArrayDataBuilder::operator=(const MArrayDataBuilder& other) = default;
MArrayDataBuilder::~MArrayDataBuilder() = default;

MDataHandle MArrayDataBuilder::addLast(MStatus* ReturnStatus)
{
    if (!mElements) {
        host::setStatus(ReturnStatus, MStatus::kFailure);
        return MDataHandle();
    }
    auto& elements = mElements->array->elements;
    unsigned int next = elements.empty() ? 0u : static_cast<unsigned int>(elements.back()->logical) + 1u;
    return addElement(next, ReturnStatus);
}

MDataHandle MArrayDataBuilder::addElement(unsigned int index, MStatus* ReturnStatus)
{
    if (!mElements || index > 0x7fffffffu) {
        host::setStatus(ReturnStatus, MStatus::kFailure);
        return MDataHandle();
    }
    host::setStatus(ReturnStatus, MStatus::kSuccess);
    return host::DataAccess::handle(mElements->array->element(static_cast<int>(index), true));
}

MArrayDataHandle MArrayDataBuilder::addLastArray(MStatus* ReturnStatus)
{
    // Elements are never arrays themselves (see MArrayDataHandle::inputArrayValue).
    host::setStatus(ReturnStatus, MStatus::kInvalidParameter);
    return host::DataAccess::arrayHandle(nullptr, false);
}

MArrayDataHandle MArrayDataBuilder::addElementArray(unsigned int, MStatus* ReturnStatus)
{
    host::setStatus(ReturnStatus, MStatus::kInvalidParameter);
    return host::DataAccess::arrayHandle(nullptr, false);
}

MStatus MArrayDataBuilder::removeElement(unsigned int index)
{
    if (!mElements)
        return MStatus::kFailure;
    auto& elements = mElements->array->elements;
    size_t pos = mElements->array->lowerBound(static_cast<int>(index));
    if (pos >= elements.size() || elements[pos]->logical != static_cast<int>(index))
        return MStatus::kInvalidParameter;
    elements.erase(elements.begin() + static_cast<std::ptrdiff_t>(pos));
    return MStatus::kSuccess;
}

unsigned int MArrayDataBuilder::elementCount(MStatus* ReturnStatus) const
{
    host::setStatus(ReturnStatus, mElements ? MStatus::kSuccess : MStatus::kFailure);
    return mElements ? static_cast<unsigned int>(mElements->array->elements.size()) : 0;
}

MStatus MArrayDataBuilder::growArray(unsigned int amount)
{
    if (!mElements)
        return MStatus::kFailure;
    mElements->array->elements.reserve(mElements->array->elements.size() + amount);
    return MStatus::kSuccess;
}
