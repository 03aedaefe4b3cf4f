#include <maya/MCacheSchema.h>
#include <maya/MDGContext.h>
#include <maya/MEvaluationNode.h>
#include <maya/MNodeCacheDisablingInfo.h>
#include <maya/MNodeCacheSetupInfo.h>
#include <maya/MPxNode.h>

#include <maya/MDataBlock.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnEnumAttribute.h>
#include <maya/MFnMessageAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MObjectArray.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>

#include "dg/DataAccess.h"
#include "dg/Node.h"
#include "dg/Registry.h"

#include <algorithm>

MObject MPxNode::message;
MObject MPxNode::isHistoricallyInteresting;
MObject MPxNode::caching;
MObject MPxNode::state;
MObject MPxNode::frozen;

namespace host {

// The attributes every node has, created once before the first type registers.
void createBaseNodeAttributes()
{
    if (!MPxNode::message.isNull())
        return;
    MFnMessageAttribute msgAttr;
    MPxNode::message = msgAttr.create("message", "msg");
    msgAttr.setHidden(true);
    msgAttr.setStorable(false);

    MFnNumericAttribute num;
    MPxNode::isHistoricallyInteresting =
        num.create("isHistoricallyInteresting", "ihi", MFnNumericData::kByte, 2);
    num.setHidden(true);
    MPxNode::caching = num.create("caching", "cch", MFnNumericData::kBoolean, 0);
    num.setHidden(true);
    MPxNode::frozen = num.create("frozen", "fzn", MFnNumericData::kBoolean, 0);
    num.setHidden(true);

    MFnEnumAttribute enumAttr;
    MPxNode::state = enumAttr.create("nodeState", "nds", 0);
    enumAttr.addField("Normal", 0);
    enumAttr.addField("HasNoEffect", 1);
    enumAttr.addField("Blocking", 2);
    enumAttr.addField("Waiting-Normal", 3);
    enumAttr.addField("Waiting-HasNoEffect", 4);
    enumAttr.addField("Waiting-Blocking", 5);
    // Keyable only where a node type asks for it (constraints do): setKeyframe leaves it alone.
    enumAttr.setKeyable(false);
}

namespace {

bool nameTaken(const NodeType* type, const Attribute* attr)
{
    std::vector<const Attribute*> stack(type->attributes.begin(), type->attributes.end());
    while (!stack.empty()) {
        const Attribute* a = stack.back();
        stack.pop_back();
        if (a->matches(attr->name) || a->matches(attr->shortName))
            return true;
        stack.insert(stack.end(), a->children.begin(), a->children.end());
    }
    return false;
}

bool typeHas(const NodeType* type, const Attribute* attr)
{
    const Attribute* root = attr->root();
    return std::find(type->attributes.begin(), type->attributes.end(), root) != type->attributes.end();
}

} // namespace
} // namespace host

MPxNode::MPxNode() : mNode(nullptr), mExistWithoutIn(true), mExistWithoutOut(true) {}
MPxNode::~MPxNode() = default;

void MPxNode::postConstructor() {}

MStatus MPxNode::compute(const MPlug&, MDataBlock&)
{
    return MStatus::kUnknownParameter;
}

MStatus MPxNode::setDependentsDirty(const MPlug&, MPlugArray&)
{
    return MStatus::kSuccess;
}

MStatus MPxNode::preEvaluation(const MDGContext&, const MEvaluationNode&)
{
    return MStatus::kSuccess;
}

MStatus MPxNode::postEvaluation(const MDGContext&, const MEvaluationNode&, PostEvaluationType)
{
    return MStatus::kSuccess;
}

MPxNode::SchedulingType MPxNode::schedulingType() const
{
    return kDefaultScheduling;
}

void MPxNode::getCacheSetup(const MEvaluationNode&, MNodeCacheDisablingInfo&, MNodeCacheSetupInfo&,
                            MObjectArray&) const
{
}

void MPxNode::configCache(const MEvaluationNode&, MCacheSchema&) const {}

MStatus MPxNode::connectionMade(const MPlug&, const MPlug&, bool)
{
    return MStatus::kUnknownParameter;
}

MStatus MPxNode::connectionBroken(const MPlug&, const MPlug&, bool)
{
    return MStatus::kUnknownParameter;
}

MStatus MPxNode::dependsOn(const MPlug&, const MPlug&, bool& depends) const
{
    depends = false;
    return MStatus::kUnknownParameter;
}

bool MPxNode::getInternalValue(const MPlug&, MDataHandle&)
{
    return false;
}

bool MPxNode::setInternalValue(const MPlug&, const MDataHandle&)
{
    return false;
}

int MPxNode::internalArrayCount(const MPlug&) const
{
    return -1;
}

void MPxNode::copyInternalData(MPxNode*) {}

MStatus MPxNode::legalConnection(const MPlug&, const MPlug&, bool, bool& isLegal) const
{
    isLegal = true;
    return MStatus::kUnknownParameter;
}

MStatus MPxNode::legalDisconnection(const MPlug&, const MPlug&, bool, bool& isLegal) const
{
    isLegal = true;
    return MStatus::kUnknownParameter;
}

bool MPxNode::isPassiveOutput(const MPlug&) const
{
    return false;
}

MStatus MPxNode::shouldSave(const MPlug&, bool& isSaving)
{
    isSaving = true;
    return MStatus::kUnknownParameter;
}

MPlug MPxNode::passThroughToOne(const MPlug&) const
{
    return MPlug();
}

MPxNode::Type MPxNode::type() const
{
    return kDependNode;
}

bool MPxNode::isAbstractClass() const
{
    return false;
}

MObject MPxNode::thisMObject() const
{
    return mNode ? mNode->object() : MObject();
}

MTypeId MPxNode::typeId() const
{
    return mNode ? mNode->type->info.id : MTypeId();
}

MString MPxNode::typeName() const
{
    return mNode ? mNode->type->info.name : MString();
}

MString MPxNode::name() const
{
    return mNode ? mNode->name : MString();
}

MStatus MPxNode::setExistWithoutInConnections(bool flag)
{
    mExistWithoutIn = flag;
    return MStatus::kSuccess;
}

bool MPxNode::existWithoutInConnections(MStatus* ReturnStatus) const
{
    if (ReturnStatus)
        *ReturnStatus = MStatus::kSuccess;
    return mExistWithoutIn;
}

MStatus MPxNode::setExistWithoutOutConnections(bool flag)
{
    mExistWithoutOut = flag;
    return MStatus::kSuccess;
}

bool MPxNode::existWithoutOutConnections(MStatus* ReturnStatus) const
{
    if (ReturnStatus)
        *ReturnStatus = MStatus::kSuccess;
    return mExistWithoutOut;
}

MStatus MPxNode::setDoNotWrite(bool flag)
{
    if (!mNode)
        return MStatus::kFailure;
    mNode->doNotWrite = flag;
    return MStatus::kSuccess;
}

bool MPxNode::doNotWrite(MStatus* ReturnStatus) const
{
    if (ReturnStatus)
        *ReturnStatus = mNode ? MStatus::kSuccess : MStatus::kFailure;
    return mNode && mNode->doNotWrite;
}

MStatus MPxNode::addAttribute(const MObject& attr)
{
    host::NodeType* type = host::typeBeingInitialized();
    host::Attribute* a = host::attributeOf(attr);
    if (!type)
        return MStatus::kFailure;  // only valid while a node type initialises
    if (!a || a->parent)
        return MStatus::kInvalidParameter;  // children come with their compound
    if (host::nameTaken(type, a))
        return MStatus::kFailure;
    std::vector<host::Attribute*> stack(a->children.begin(), a->children.end());
    while (!stack.empty()) {
        host::Attribute* c = stack.back();
        stack.pop_back();
        if (host::nameTaken(type, c))
            return MStatus::kFailure;
        stack.insert(stack.end(), c->children.begin(), c->children.end());
    }
    if (a->indexHint < 0)
        a->indexHint = static_cast<int>(type->attributes.size());
    a->ref();
    type->attributes.push_back(a);
    return MStatus::kSuccess;
}

MStatus MPxNode::attributeAffects(const MObject& whenChanges, const MObject& isAffected)
{
    host::NodeType* type = host::typeBeingInitialized();
    host::Attribute* from = host::attributeOf(whenChanges);
    host::Attribute* to = host::attributeOf(isAffected);
    if (!type)
        return MStatus::kFailure;
    if (!from || !to || !host::typeHas(type, from) || !host::typeHas(type, to))
        return MStatus::kInvalidParameter;
    auto& list = type->affects[from];
    if (std::find(list.begin(), list.end(), to) == list.end())
        list.push_back(to);
    return MStatus::kSuccess;
}

MStatus MPxNode::attributeAffects(const MObject& whenChanges, const MObject& isAffected, bool)
{
    return attributeAffects(whenChanges, isAffected);
}

MStatus MPxNode::inheritAttributesFrom(const MString& parentClassName)
{
    host::NodeType* type = host::typeBeingInitialized();
    const host::NodeType* parent = host::findRegisteredType(parentClassName);
    if (!type || !parent)
        return MStatus::kInvalidParameter;
    for (host::Attribute* a : parent->attributes) {
        if (std::find(type->attributes.begin(), type->attributes.end(), a) != type->attributes.end())
            continue;
        MStatus status = addAttribute(host::ObjectAccess::make(a));
        if (!status)
            return status;
    }
    for (const auto& entry : parent->affects)
        for (host::Attribute* to : entry.second) {
            auto& list = type->affects[entry.first];
            if (std::find(list.begin(), list.end(), to) == list.end())
                list.push_back(to);
        }
    return MStatus::kSuccess;
}

MDataBlock MPxNode::forceCache()
{
    return host::DataAccess::block(mNode);
}

MDataBlock MPxNode::_forceCache(const MDGContext&)
{
    return forceCache();
}
