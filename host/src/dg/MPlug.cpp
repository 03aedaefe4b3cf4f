#include <maya/MDGContext.h>
#include <maya/MPlug.h>

#include <maya/MAngle.h>
#include <maya/MDataHandle.h>
#include <maya/MDistance.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MIntArray.h>
#include <maya/MPlugArray.h>
#include <maya/MTime.h>

#include "dg/Data.h"
#include "dg/DataAccess.h"
#include "dg/FnSet.h"
#include "dg/Graph.h"
#include "dg/Node.h"
#include "dg/PlugState.h"
#include "dg/PlugPath.h"

#include <cstring>

using host::Attribute;
using host::AttrKind;
using host::Node;
using host::PlugAccess;
using host::Slot;

namespace {

const int kNoIndices[host::kMaxAttrDepth] = {-1, -1, -1, -1};

// The up-to-date slot of a plug, or null (status set).
Slot* readSlot(const MPlug& plug, MStatus* status)
{
    Slot* slot = host::resolve(plug, true);
    if (!slot) {
        host::setStatus(status, MStatus::kInvalidParameter);
        return nullptr;
    }
    host::evaluate(slot);
    host::setStatus(status, slot ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return slot;
}

bool holdsNumber(const Slot* slot)
{
    const Attribute* a = slot->attr;
    if (slot->isArray())
        return false;
    switch (a->attrKind) {
    case AttrKind::Numeric:
    case AttrKind::Enum:
    case AttrKind::Unit:
    case AttrKind::Generic:
        return true;
    case AttrKind::Compound:
        return false;
    default:
        return false;
    }
}

double readNumber(const MPlug& plug, MStatus* status)
{
    Slot* slot = readSlot(plug, status);
    if (!slot)
        return 0.0;
    if (!holdsNumber(slot)) {
        host::setStatus(status, MStatus::kInvalidParameter);
        return 0.0;
    }
    return host::getNumeric(slot);
}

MStatus writeNumber(const MPlug& plug, double value)
{
    Slot* slot = nullptr;
    MStatus status = host::beginPlugWrite(plug, slot);
    if (!status)
        return status;
    if (!holdsNumber(slot))
        return MStatus::kInvalidParameter;
    host::setNumeric(slot, value, 0, true);
    host::endPlugWrite(plug, slot);
    return MStatus::kSuccess;
}

bool acceptsData(const Attribute* a, const host::Data* d)
{
    switch (a->attrKind) {
    case AttrKind::Typed:
        return a->dataType == MFnData::kAny || a->dataType == d->dataType;
    case AttrKind::Matrix:
        return d->dataType == MFnData::kMatrix;
    case AttrKind::Generic:
        for (MFnData::Type t : a->acceptedData)
            if (t == d->dataType || t == MFnData::kAny)
                return true;
        return d->dataType == MFnData::kNumeric && !a->acceptedNumeric.empty();
    default:
        return false;
    }
}

} // namespace

MPlug::MPlug()
{
    std::memcpy(mIndex, kNoIndices, sizeof(mIndex));
}

MPlug::MPlug(const MObject& node, const MObject& attribute) : mNode(node), mAttr(attribute)
{
    std::memcpy(mIndex, kNoIndices, sizeof(mIndex));
    if (!host::nodeOf(node) || !host::attributeOf(attribute) ||
        !host::nodeOf(node)->hasAttributeInTree(host::attributeOf(attribute))) {
        mNode = MObject();
        mAttr = MObject();
    }
}

MPlug::MPlug(const MPlug& other) : mNode(other.mNode), mAttr(other.mAttr)
{
    std::memcpy(mIndex, other.mIndex, sizeof(mIndex));
}

MPlug::~MPlug() = default;

MPlug& MPlug::operator=(const MPlug& other)
{
    mNode = other.mNode;
    mAttr = other.mAttr;
    std::memcpy(mIndex, other.mIndex, sizeof(mIndex));
    return *this;
}

bool MPlug::operator==(const MPlug& other) const
{
    if (mNode != other.mNode || mAttr != other.mAttr)
        return false;
    Attribute* a = host::attributeOf(mAttr);
    int depth = a ? a->depth : 0;
    for (int d = 0; d <= depth && d < host::kMaxAttrDepth; ++d)
        if (mIndex[d] != other.mIndex[d])
            return false;
    return true;
}

bool MPlug::operator==(const MObject& attr) const { return mAttr == attr; }
bool MPlug::operator!=(const MPlug& other) const { return !(*this == other); }
bool MPlug::operator!=(const MObject& attr) const { return mAttr != attr; }

bool MPlug::isNull(MStatus* ReturnStatus) const
{
    host::setStatus(ReturnStatus, MStatus::kSuccess);
    return mNode.isNull() || mAttr.isNull();
}

MObject MPlug::attribute(MStatus* ReturnStatus) const
{
    host::setStatus(ReturnStatus, mAttr.isNull() ? MStatus::kFailure : MStatus::kSuccess);
    return mAttr;
}

MObject MPlug::node(MStatus* ReturnStatus) const
{
    host::setStatus(ReturnStatus, mNode.isNull() ? MStatus::kFailure : MStatus::kSuccess);
    return mNode;
}

MString MPlug::name(MStatus* ReturnStatus) const
{
    Node* n = host::nodeOf(mNode);
    if (!n || isNull()) {
        host::setStatus(ReturnStatus, MStatus::kFailure);
        return MString();
    }
    host::setStatus(ReturnStatus, MStatus::kSuccess);
    return n->name + "." + host::plugAttributePath(*this, true, false);
}

MString MPlug::partialName(bool includeNodeName, bool, bool, bool, bool useFullAttributePath, bool useLongNames,
                           MStatus* ReturnStatus) const
{
    Node* n = host::nodeOf(mNode);
    if (!n || isNull()) {
        host::setStatus(ReturnStatus, MStatus::kFailure);
        return MString();
    }
    host::setStatus(ReturnStatus, MStatus::kSuccess);
    MString path = host::plugAttributePath(*this, useLongNames, useFullAttributePath);
    return includeNodeName ? n->name + "." + path : path;
}

MString MPlug::info(MStatus* ReturnStatus) const
{
    return name(ReturnStatus);
}

bool MPlug::isNetworked(MStatus* ReturnStatus) const
{
    host::setStatus(ReturnStatus, MStatus::kSuccess);
    return isConnected();
}

bool MPlug::isArray(MStatus* ReturnStatus) const
{
    Attribute* a = host::attributeOf(mAttr);
    host::setStatus(ReturnStatus, a ? MStatus::kSuccess : MStatus::kFailure);
    return a && a->is(host::kArray) && mIndex[a->depth] < 0;
}

bool MPlug::isElement(MStatus* ReturnStatus) const
{
    Attribute* a = host::attributeOf(mAttr);
    host::setStatus(ReturnStatus, a ? MStatus::kSuccess : MStatus::kFailure);
    return a && a->is(host::kArray) && mIndex[a->depth] >= 0;
}

bool MPlug::isCompound(MStatus* ReturnStatus) const
{
    Attribute* a = host::attributeOf(mAttr);
    host::setStatus(ReturnStatus, a ? MStatus::kSuccess : MStatus::kFailure);
    return a && a->attrKind == AttrKind::Compound;
}

bool MPlug::isChild(MStatus* ReturnStatus) const
{
    Attribute* a = host::attributeOf(mAttr);
    host::setStatus(ReturnStatus, a ? MStatus::kSuccess : MStatus::kFailure);
    return a && a->parent;
}

bool MPlug::isDynamic(MStatus* ReturnStatus) const
{
    Attribute* a = host::attributeOf(mAttr);
    host::setStatus(ReturnStatus, a ? MStatus::kSuccess : MStatus::kFailure);
    return a && a->root()->is(host::kDynamic);
}

bool MPlug::isConnected(MStatus* ReturnStatus) const
{
    Slot* slot = host::resolve(*this, false);
    host::setStatus(ReturnStatus, isNull() ? MStatus::kFailure : MStatus::kSuccess);
    return slot && (slot->source || !slot->dests.empty());
}

bool MPlug::isDestination(MStatus* ReturnStatus) const
{
    Slot* slot = host::resolve(*this, false);
    host::setStatus(ReturnStatus, isNull() ? MStatus::kFailure : MStatus::kSuccess);
    return slot && slot->source;
}

bool MPlug::isSource(MStatus* ReturnStatus) const
{
    Slot* slot = host::resolve(*this, false);
    host::setStatus(ReturnStatus, isNull() ? MStatus::kFailure : MStatus::kSuccess);
    return slot && !slot->dests.empty();
}

bool MPlug::isKeyable(MStatus* ReturnStatus) const
{
    Attribute* a = host::attributeOf(mAttr);
    host::setStatus(ReturnStatus, a ? MStatus::kSuccess : MStatus::kFailure);
    const int own = a ? host::PlugState::keyable(host::resolve(*this, false)) : -1;
    return own >= 0 ? own == 1 : a && a->is(host::kKeyable);
}

bool MPlug::isChannelBox(MStatus* ReturnStatus) const
{
    Attribute* a = host::attributeOf(mAttr);
    host::setStatus(ReturnStatus, a ? MStatus::kSuccess : MStatus::kFailure);
    const int own = a ? host::PlugState::channelBox(host::resolve(*this, false)) : -1;
    return own >= 0 ? own == 1 : a && a->is(host::kChannelBox);
}

bool MPlug::isLocked(MStatus* ReturnStatus) const
{
    Slot* slot = host::resolve(*this, false);
    host::setStatus(ReturnStatus, isNull() ? MStatus::kFailure : MStatus::kSuccess);
    return slot && slot->locked;
}

unsigned int MPlug::logicalIndex(MStatus* ReturnStatus) const
{
    if (!isElement()) {
        host::setStatus(ReturnStatus, MStatus::kFailure);
        return 0;
    }
    host::setStatus(ReturnStatus, MStatus::kSuccess);
    return static_cast<unsigned int>(mIndex[host::attributeOf(mAttr)->depth]);
}

MStatus MPlug::selectAncestorLogicalIndex(unsigned int index, const MObject& attribute)
{
    Attribute* a = host::attributeOf(mAttr);
    if (!a)
        return MStatus::kFailure;
    Attribute* target = attribute.isNull() ? nullptr : host::attributeOf(attribute);
    for (Attribute* s = a; s; s = s->parent) {
        if (!s->is(host::kArray))
            continue;
        if (target ? s == target : s != a || s->parent == nullptr) {
            mIndex[s->depth] = static_cast<int>(index);
            return MStatus::kSuccess;
        }
    }
    return MStatus::kInvalidParameter;
}

unsigned int MPlug::numElements(MStatus* ReturnStatus) const
{
    Slot* slot = isArray() ? host::resolve(*this, false) : nullptr;
    host::setStatus(ReturnStatus, slot ? MStatus::kSuccess : MStatus::kFailure);
    return slot ? static_cast<unsigned int>(slot->elements.size()) : 0;
}

unsigned int MPlug::evaluateNumElements(MStatus* ReturnStatus) const
{
    Slot* slot = isArray() ? host::resolve(*this, false) : nullptr;
    if (slot)
        host::evaluate(slot);
    host::setStatus(ReturnStatus, slot ? MStatus::kSuccess : MStatus::kFailure);
    return slot ? static_cast<unsigned int>(slot->elements.size()) : 0;
}

unsigned int MPlug::numChildren(MStatus* ReturnStatus) const
{
    Attribute* a = host::attributeOf(mAttr);
    host::setStatus(ReturnStatus, a ? MStatus::kSuccess : MStatus::kFailure);
    return a ? static_cast<unsigned int>(a->children.size()) : 0;
}

unsigned int MPlug::numConnectedElements(MStatus* ReturnStatus) const
{
    Slot* slot = isArray() ? host::resolve(*this, false) : nullptr;
    host::setStatus(ReturnStatus, slot ? MStatus::kSuccess : MStatus::kFailure);
    unsigned int count = 0;
    if (slot)
        for (auto& e : slot->elements)
            if (e->source || !e->dests.empty())
                ++count;
    return count;
}

unsigned int MPlug::numConnectedChildren(MStatus* ReturnStatus) const
{
    Slot* slot = host::resolve(*this, false);
    host::setStatus(ReturnStatus, slot ? MStatus::kSuccess : MStatus::kFailure);
    unsigned int count = 0;
    if (slot)
        for (auto& c : slot->children)
            if (c->source || !c->dests.empty())
                ++count;
    return count;
}

MPlug MPlug::elementByLogicalIndex(unsigned int logicalIndex, MStatus* ReturnStatus) const
{
    if (!isArray() || logicalIndex > 0x7fffffffu) {
        host::setStatus(ReturnStatus, MStatus::kFailure);
        return MPlug();
    }
    MPlug element(*this);
    element.mIndex[host::attributeOf(mAttr)->depth] = static_cast<int>(logicalIndex);
    host::resolve(element, true);  // the element exists from now on
    host::setStatus(ReturnStatus, MStatus::kSuccess);
    return element;
}

MPlug MPlug::elementByPhysicalIndex(unsigned int physicalIndex, MStatus* ReturnStatus) const
{
    Slot* slot = isArray() ? host::resolve(*this, false) : nullptr;
    if (!slot || physicalIndex >= slot->elements.size()) {
        host::setStatus(ReturnStatus, MStatus::kFailure);
        return MPlug();
    }
    MPlug element(*this);
    element.mIndex[host::attributeOf(mAttr)->depth] = slot->elements[physicalIndex]->logical;
    host::setStatus(ReturnStatus, MStatus::kSuccess);
    return element;
}

MPlug MPlug::operator[](unsigned int physicalIndex) const
{
    return elementByPhysicalIndex(physicalIndex);
}

MPlug MPlug::child(const MObject& attr, MStatus* ReturnStatus) const
{
    Attribute* a = host::attributeOf(mAttr);
    Attribute* c = host::attributeOf(attr);
    if (!a || !c || c->parent != a || isArray()) {
        host::setStatus(ReturnStatus, MStatus::kFailure);
        return MPlug();
    }
    MPlug plug(*this);
    plug.mAttr = attr;
    host::setStatus(ReturnStatus, MStatus::kSuccess);
    return plug;
}

MPlug MPlug::child(unsigned int index, MStatus* ReturnStatus) const
{
    Attribute* a = host::attributeOf(mAttr);
    if (!a || index >= a->children.size()) {
        host::setStatus(ReturnStatus, MStatus::kFailure);
        return MPlug();
    }
    return child(host::ObjectAccess::make(a->children[index]), ReturnStatus);
}

MPlug MPlug::parent(MStatus* ReturnStatus) const
{
    Attribute* a = host::attributeOf(mAttr);
    if (!a || !a->parent) {
        host::setStatus(ReturnStatus, MStatus::kFailure);
        return MPlug();
    }
    MPlug plug(*this);
    plug.mAttr = host::ObjectAccess::make(a->parent);
    plug.mIndex[a->depth] = -1;
    host::setStatus(ReturnStatus, MStatus::kSuccess);
    return plug;
}

MPlug MPlug::array(MStatus* ReturnStatus) const
{
    if (!isElement()) {
        host::setStatus(ReturnStatus, MStatus::kFailure);
        return MPlug();
    }
    MPlug plug(*this);
    plug.mIndex[host::attributeOf(mAttr)->depth] = -1;
    host::setStatus(ReturnStatus, MStatus::kSuccess);
    return plug;
}

unsigned int MPlug::getExistingArrayAttributeIndices(MIntArray& indices, MStatus* ReturnStatus)
{
    indices.clear();
    Slot* slot = isArray() ? host::resolve(*this, false) : nullptr;
    host::setStatus(ReturnStatus, slot ? MStatus::kSuccess : MStatus::kFailure);
    if (slot)
        for (auto& e : slot->elements)
            indices.append(e->logical);
    return indices.length();
}

bool MPlug::connectedTo(MPlugArray& array, bool asDst, bool asSrc, MStatus* ReturnStatus) const
{
    array.clear();
    Slot* slot = host::resolve(*this, false);
    host::setStatus(ReturnStatus, isNull() ? MStatus::kFailure : MStatus::kSuccess);
    if (!slot)
        return false;
    if (asDst && slot->source)
        array.append(host::plugOf(slot->source));
    if (asSrc)
        for (Slot* d : slot->dests)
            array.append(host::plugOf(d));
    return array.length() > 0;
}

MPlug MPlug::source(MStatus* ReturnStatus) const
{
    Slot* slot = host::resolve(*this, false);
    host::setStatus(ReturnStatus, isNull() ? MStatus::kFailure : MStatus::kSuccess);
    return (slot && slot->source) ? host::plugOf(slot->source) : MPlug();
}

bool MPlug::destinations(MPlugArray& theDestinations, MStatus* ReturnStatus) const
{
    return connectedTo(theDestinations, false, true, ReturnStatus);
}

// ---------------------------------------------------------------------------
// Getters

bool MPlug::asBool(MStatus* s) const { return readNumber(*this, s) != 0.0; }
char MPlug::asChar(MStatus* s) const { return static_cast<char>(readNumber(*this, s)); }
short MPlug::asShort(MStatus* s) const { return static_cast<short>(readNumber(*this, s)); }
int MPlug::asInt(MStatus* s) const { return static_cast<int>(readNumber(*this, s)); }
MInt64 MPlug::asInt64(MStatus* s) const { return static_cast<MInt64>(readNumber(*this, s)); }
float MPlug::asFloat(MStatus* s) const { return static_cast<float>(readNumber(*this, s)); }
double MPlug::asDouble(MStatus* s) const { return readNumber(*this, s); }
MAngle MPlug::asMAngle(MStatus* s) const { return MAngle(readNumber(*this, s), MAngle::kRadians); }
MDistance MPlug::asMDistance(MStatus* s) const { return MDistance(readNumber(*this, s), MDistance::kCentimeters); }
MTime MPlug::asMTime(MStatus* s) const { return MTime(readNumber(*this, s), MTime::kSeconds); }

MObject MPlug::asMObject(MStatus* ReturnStatus) const
{
    Slot* slot = readSlot(*this, ReturnStatus);
    if (!slot)
        return MObject();
    Attribute* a = slot->attr;
    if (a->isNumericCompound() && !slot->isArray()) {
        auto* d = new host::NumericData(a->numericType);
        for (size_t i = 0; i < a->children.size(); ++i)
            d->values[i] = host::getNumeric(slot, static_cast<int>(i));
        return host::ObjectAccess::make(d);
    }
    if (slot->data.isNull()) {
        if (a->attrKind == AttrKind::Typed || a->attrKind == AttrKind::Generic)
            return MObject();  // no value yet
        host::setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MObject();
    }
    // Callers get their own copy: editing it must not bypass setValue.
    return host::cloneData(slot->data);
}

MString MPlug::asString(MStatus* ReturnStatus) const
{
    Slot* slot = readSlot(*this, ReturnStatus);
    if (!slot)
        return MString();
    if (host::StringData* d = host::dataAs<host::StringData>(slot->data, MFnData::kString))
        return d->value;
    if (slot->attr->attrKind == AttrKind::Typed && slot->attr->dataType == MFnData::kString)
        return MString();
    host::setStatus(ReturnStatus, MStatus::kInvalidParameter);
    return MString();
}

MDataHandle MPlug::asMDataHandle(MStatus* ReturnStatus) const
{
    Slot* slot = readSlot(*this, ReturnStatus);
    return host::DataAccess::handle(slot);
}

bool MPlug::asBool(const MDGContext&, MStatus* s) const { return asBool(s); }
char MPlug::asChar(const MDGContext&, MStatus* s) const { return asChar(s); }
short MPlug::asShort(const MDGContext&, MStatus* s) const { return asShort(s); }
int MPlug::asInt(const MDGContext&, MStatus* s) const { return asInt(s); }
MInt64 MPlug::asInt64(const MDGContext&, MStatus* s) const { return asInt64(s); }
float MPlug::asFloat(const MDGContext&, MStatus* s) const { return asFloat(s); }
double MPlug::asDouble(const MDGContext&, MStatus* s) const { return asDouble(s); }
MAngle MPlug::asMAngle(const MDGContext&, MStatus* s) const { return asMAngle(s); }
MDistance MPlug::asMDistance(const MDGContext&, MStatus* s) const { return asMDistance(s); }
MTime MPlug::asMTime(const MDGContext&, MStatus* s) const { return asMTime(s); }
MObject MPlug::asMObject(const MDGContext&, MStatus* s) const { return asMObject(s); }
MString MPlug::asString(const MDGContext&, MStatus* s) const { return asString(s); }

// ---------------------------------------------------------------------------
// Setters

MStatus MPlug::setValue(bool v) { return writeNumber(*this, v ? 1.0 : 0.0); }
MStatus MPlug::setValue(char v) { return writeNumber(*this, v); }
MStatus MPlug::setValue(short v) { return writeNumber(*this, v); }
MStatus MPlug::setValue(int v) { return writeNumber(*this, v); }
MStatus MPlug::setValue(MInt64 v) { return writeNumber(*this, static_cast<double>(v)); }
MStatus MPlug::setValue(float v) { return writeNumber(*this, v); }
MStatus MPlug::setValue(double v) { return writeNumber(*this, v); }
MStatus MPlug::setValue(const MAngle& v) { return writeNumber(*this, v.as(MAngle::kRadians)); }
MStatus MPlug::setValue(const MDistance& v) { return writeNumber(*this, v.as(MDistance::kCentimeters)); }
MStatus MPlug::setValue(const MTime& v) { return writeNumber(*this, v.as(MTime::kSeconds)); }
MStatus MPlug::setValue(const char* v) { return setValue(MString(v)); }

MStatus MPlug::setValue(const MString& value)
{
    Slot* slot = nullptr;
    MStatus status = host::beginPlugWrite(*this, slot);
    if (!status)
        return status;
    Attribute* a = slot->attr;
    if (a->attrKind != AttrKind::Typed || a->dataType != MFnData::kString || slot->isArray())
        return MStatus::kInvalidParameter;
    slot->data = host::ObjectAccess::make(new host::StringData(value));
    slot->hasData = true;
    host::endPlugWrite(*this, slot);
    return MStatus::kSuccess;
}

MStatus MPlug::setValue(MObject& value)
{
    return setMObject(value);
}

MStatus MPlug::setMObject(const MObject& value)
{
    Slot* slot = nullptr;
    MStatus status = host::beginPlugWrite(*this, slot);
    if (!status)
        return status;
    if (slot->isArray())
        return MStatus::kInvalidParameter;
    Attribute* a = slot->attr;
    host::Data* d = host::dataOf(value);
    if (a->isNumericCompound()) {
        host::NumericData* n = host::dataAs<host::NumericData>(value, MFnData::kNumeric);
        if (!n)
            return MStatus::kInvalidParameter;
        for (size_t i = 0; i < a->children.size(); ++i)
            host::setNumeric(slot->children[i].get(), n->values[i], 0, true);
    } else if (value.isNull()) {
        if (a->attrKind != AttrKind::Typed && a->attrKind != AttrKind::Generic)
            return MStatus::kInvalidParameter;
        slot->data = MObject();
        slot->hasData = false;
    } else {
        if (!d || !acceptsData(a, d))
            return MStatus::kInvalidParameter;
        slot->data = host::cloneData(value);
        slot->hasData = true;
    }
    host::endPlugWrite(*this, slot);
    return MStatus::kSuccess;
}

MStatus MPlug::setValue(MDataHandle& value)
{
    return setMDataHandle(value);
}

MStatus MPlug::setMDataHandle(MDataHandle value)
{
    Slot* from = host::DataAccess::slot(value);
    if (!from)
        return MStatus::kInvalidParameter;
    Slot* slot = nullptr;
    MStatus status = host::beginPlugWrite(*this, slot);
    if (!status)
        return status;
    if (from != slot) {
        if (holdsNumber(slot) && holdsNumber(from))
            host::setNumeric(slot, host::getNumeric(from), 0, true);
        else
            slot->copyValueFrom(*from);
    }
    host::endPlugWrite(*this, slot);
    return MStatus::kSuccess;
}

MStatus MPlug::setValue(MPxData*) { return MStatus::kNotImplemented; }
MStatus MPlug::setMPxData(MPxData*) { return MStatus::kNotImplemented; }

MStatus MPlug::setBool(bool v) { return setValue(v); }
MStatus MPlug::setChar(char v) { return setValue(v); }
MStatus MPlug::setShort(short v) { return setValue(v); }
MStatus MPlug::setInt(int v) { return setValue(v); }
MStatus MPlug::setInt64(MInt64 v) { return setValue(v); }
MStatus MPlug::setFloat(float v) { return setValue(v); }
MStatus MPlug::setDouble(double v) { return setValue(v); }
MStatus MPlug::setString(const MString& v) { return setValue(v); }
MStatus MPlug::setMAngle(const MAngle& v) { return setValue(v); }
MStatus MPlug::setMDistance(const MDistance& v) { return setValue(v); }
MStatus MPlug::setMTime(const MTime& v) { return setValue(v); }

MStatus MPlug::setLocked(bool locked)
{
    Slot* slot = host::resolve(*this, true);
    if (!slot)
        return MStatus::kFailure;
    slot->locked = locked;
    return MStatus::kSuccess;
}

// Keyable and channel-box settings belong to this plug, not to every node with the attribute.
MStatus MPlug::setKeyable(bool keyable)
{
    host::Slot* slot = host::attributeOf(mAttr) ? host::resolve(*this, true) : nullptr;
    if (!slot)
        return MStatus::kFailure;
    host::PlugState::setKeyable(slot, keyable);
    return MStatus::kSuccess;
}

MStatus MPlug::setChannelBox(bool channelBox)
{
    host::Slot* slot = host::attributeOf(mAttr) ? host::resolve(*this, true) : nullptr;
    if (!slot)
        return MStatus::kFailure;
    host::PlugState::setChannelBox(slot, channelBox);
    return MStatus::kSuccess;
}
