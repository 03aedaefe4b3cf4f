#include <maya/MDataBlock.h>

#include <maya/MDGContext.h>
#include <maya/MPlug.h>

#include "dg/DataAccess.h"
#include "dg/FnSet.h"
#include "dg/Graph.h"

using host::Slot;

namespace {

const int kNoIndices[host::kMaxAttrDepth] = {-1, -1, -1, -1};

Slot* slotFor(host::Node* node, const MObject& attribute)
{
    host::Attribute* a = host::attributeOf(attribute);
    if (!node || !a)
        return nullptr;
    return host::resolve(host::PlugAccess::make(node, a, kNoIndices), true);
}

Slot* slotFor(host::Node* node, const MPlug& plug)
{
    if (!node || host::PlugAccess::node(plug) != node)
        return nullptr;  // a data block only reaches its own node
    return host::resolve(plug, true);
}

template <class Key>
MDataHandle handleFor(host::Node* node, const Key& key, bool pull, MStatus* status)
{
    Slot* slot = slotFor(node, key);
    if (slot && pull)
        host::evaluate(slot);
    host::setStatus(status, slot ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return host::DataAccess::handle(slot);
}

template <class Key>
MArrayDataHandle arrayHandleFor(host::Node* node, const Key& key, bool pull, MStatus* status)
{
    Slot* slot = slotFor(node, key);
    if (!slot || !slot->isArray()) {
        host::setStatus(status, MStatus::kInvalidParameter);
        return host::DataAccess::arrayHandle(nullptr, pull);
    }
    if (pull)
        host::evaluate(slot);
    host::setStatus(status, slot ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return host::DataAccess::arrayHandle(slot, pull);
}

} // namespace

MDataBlock::MDataBlock(host::Node* node) : mNode(node) {}
MDataBlock::MDataBlock(const MDataBlock& other) = default;
MDataBlock& MDataBlock::operator=(const MDataBlock& other) = default;
MDataBlock::~MDataBlock() = default;

MDataHandle MDataBlock::inputValue(const MPlug& plug, MStatus* s) { return handleFor(mNode, plug, true, s); }
MDataHandle MDataBlock::inputValue(const MObject& attribute, MStatus* s) { return handleFor(mNode, attribute, true, s); }
MDataHandle MDataBlock::outputValue(const MPlug& plug, MStatus* s) { return handleFor(mNode, plug, false, s); }
MDataHandle MDataBlock::outputValue(const MObject& attribute, MStatus* s) { return handleFor(mNode, attribute, false, s); }

MArrayDataHandle MDataBlock::inputArrayValue(const MPlug& plug, MStatus* s)
{
    return arrayHandleFor(mNode, plug, true, s);
}

MArrayDataHandle MDataBlock::inputArrayValue(const MObject& attribute, MStatus* s)
{
    return arrayHandleFor(mNode, attribute, true, s);
}

MArrayDataHandle MDataBlock::outputArrayValue(const MPlug& plug, MStatus* s)
{
    return arrayHandleFor(mNode, plug, false, s);
}

MArrayDataHandle MDataBlock::outputArrayValue(const MObject& attribute, MStatus* s)
{
    return arrayHandleFor(mNode, attribute, false, s);
}

MStatus MDataBlock::setClean(const MPlug& plug)
{
    Slot* slot = slotFor(mNode, plug);
    if (!slot)
        return MStatus::kInvalidParameter;
    host::setClean(slot);
    return MStatus::kSuccess;
}

MStatus MDataBlock::setClean(const MObject& attribute)
{
    Slot* slot = slotFor(mNode, attribute);
    if (!slot)
        return MStatus::kInvalidParameter;
    host::setClean(slot);
    return MStatus::kSuccess;
}

bool MDataBlock::isClean(const MPlug& plug)
{
    Slot* slot = slotFor(mNode, plug);
    return slot && !slot->dirty;
}

bool MDataBlock::isClean(const MObject& attribute, MStatus* ReturnStatus)
{
    Slot* slot = slotFor(mNode, attribute);
    host::setStatus(ReturnStatus, slot ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return slot && !slot->dirty;
}

MDGContext MDataBlock::context()
{
    return MDGContext::current();
}

MStatus MDataBlock::setContext(const MDGContext& context)
{
    return context.isNormal() ? MStatus::kSuccess : MStatus::kNotImplemented;
}
