#include <maya/MDGModifier.h>

#include <maya/MAngle.h>
#include <maya/MDistance.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MPlug.h>
#include <maya/MTime.h>

#include "commands/Session.h"
#include "commands/scene/MayaAsciiReader.h"
#include "commands/UndoQueue.h"
#include "dg/Data.h"
#include "dg/Graph.h"
#include "dg/ModifierOp.h"
#include "dg/Node.h"
#include "dg/Scene.h"

using host::ModifierOp;

namespace {

class CreateNodeOp : public ModifierOp
{
public:
    explicit CreateNodeOp(const MObject& node) : mNode(node) {}
    MStatus doIt() override
    {
        host::Node* n = host::nodeOf(mNode);
        return n->serial == 0 ? host::addNodeToScene(mNode) : host::restoreNodeToScene(mNode);
    }
    MStatus undoIt() override { return host::removeNodeFromScene(mNode); }

private:
    MObject mNode;
};

class DeleteNodeOp : public ModifierOp
{
public:
    DeleteNodeOp(const MObject& node, bool evenReferenced) : mNode(node), mEvenReferenced(evenReferenced) {}
    MStatus doIt() override
    {
        // As in Maya, a node of a referenced file stays: its file would bring it back on reopen.
        if (!mEvenReferenced && host::MayaAsciiReader::isReferenced(host::nodeOf(mNode)))
            return MStatus::kFailure;
        mBroken.clear();
        return host::removeNodeFromScene(mNode, &mBroken);
    }
    MStatus undoIt() override
    {
        MStatus status = host::restoreNodeToScene(mNode);
        if (!status)
            return status;
        for (auto& link : mBroken)
            host::connect(link.first, link.second);
        return MStatus::kSuccess;
    }

private:
    MObject mNode;  // keeps the deleted node (and its values) alive for undo
    bool mEvenReferenced;
    std::vector<std::pair<MPlug, MPlug>> mBroken;
};

class RenameOp : public ModifierOp
{
public:
    RenameOp(const MObject& node, const MString& name) : mNode(node), mName(name) {}
    MStatus doIt() override
    {
        host::Node* n = host::nodeOf(mNode);
        if (n->locked)
            return MStatus::kFailure;
        mPrevious = n->name;
        host::renameNode(n, mName);
        return MStatus::kSuccess;
    }
    MStatus undoIt() override
    {
        // The name it had, wherever the current namespace is now.
        host::renameNode(host::nodeOf(mNode), MString(":") + mPrevious);
        return MStatus::kSuccess;
    }

private:
    MObject mNode;
    MString mName, mPrevious;
};

class LockOp : public ModifierOp
{
public:
    LockOp(const MObject& node, bool state) : mNode(node), mState(state) {}
    MStatus doIt() override
    {
        host::Node* n = host::nodeOf(mNode);
        mPrevious = n->locked;
        n->locked = mState;
        return MStatus::kSuccess;
    }
    MStatus undoIt() override
    {
        host::nodeOf(mNode)->locked = mPrevious;
        return MStatus::kSuccess;
    }

private:
    MObject mNode;
    bool mState, mPrevious = false;
};


class AttributeOp : public ModifierOp
{
public:
    AttributeOp(const MObject& node, const MObject& attr, bool add) : mNode(node), mAttr(attr), mAdd(add) {}
    MStatus doIt() override { return mAdd ? add() : remove(); }
    MStatus undoIt() override { return mAdd ? remove() : add(); }

private:
    MStatus add()
    {
        MFnDependencyNode fn(mNode);
        MStatus status = fn.addAttribute(mAttr);
        if (!status || !mSaved)
            return status;
        // Put back the value and connections the attribute had.
        host::Node* n = host::nodeOf(mNode);
        n->slots[n->attributeIndex(host::attributeOf(mAttr))]->copyValueFrom(*mSaved);
        for (auto& link : mBroken)
            host::connect(link.first, link.second);
        return MStatus::kSuccess;
    }
    MStatus remove()
    {
        host::Node* n = host::nodeOf(mNode);
        int index = n ? n->attributeIndex(host::attributeOf(mAttr)) : -1;
        if (index < 0)
            return MStatus::kInvalidParameter;
        mBroken.clear();
        host::disconnectAll(n->slots[index].get(), &mBroken);
        mSaved = std::make_unique<host::Slot>(n, host::attributeOf(mAttr), nullptr, -1);
        mSaved->initValue();
        mSaved->copyValueFrom(*n->slots[index]);
        MFnDependencyNode fn(mNode);
        return fn.removeAttribute(mAttr);
    }

    MObject mNode, mAttr;
    bool mAdd;
    std::unique_ptr<host::Slot> mSaved;
    std::vector<std::pair<MPlug, MPlug>> mBroken;
};

// A plug's own value, kept so that undo can write it back.
class SavedPlugValue
{
public:
    MStatus save(const MPlug& plug)
    {
        host::Slot* slot = host::resolve(plug, true);
        if (!slot)
            return MStatus::kInvalidParameter;
        host::evaluate(slot);
        if (!slot)
            return MStatus::kInvalidParameter;
        mSaved = std::make_unique<host::Slot>(slot->node, slot->attr, nullptr, -1);
        mSaved->copyValueFrom(*slot);
        // Numeric values of compound children live in their parent: keep them as numbers.
        mNumbers.clear();
        if (slot->attr->parent && slot->attr->parent->isNumericCompound())
            mNumbers.push_back(host::getNumeric(slot));
        return MStatus::kSuccess;
    }
    MStatus restore(const MPlug& plug) const
    {
        if (!mSaved)
            return MStatus::kSuccess;
        host::Slot* slot = nullptr;
        MStatus status = host::beginPlugWrite(plug, slot);
        if (!status)
            return status;
        slot->copyValueFrom(*mSaved);
        for (size_t i = 0; i < mNumbers.size(); ++i)
            host::setNumeric(slot, mNumbers[i], static_cast<int>(i), false);
        host::endPlugWrite(plug, slot);
        return MStatus::kSuccess;
    }

private:
    std::unique_ptr<host::Slot> mSaved;
    std::vector<double> mNumbers;
};

// Makes or breaks a connection. Undoing a connection it made gives the destination back
// the value it had before, as Maya does (a broken connection leaves the last value).
class ConnectOp : public ModifierOp
{
public:
    ConnectOp(const MPlug& src, const MPlug& dst, bool makeIt) : mSrc(src), mDst(dst), mMake(makeIt) {}
    MStatus doIt() override
    {
        if (!mMake)
            return host::disconnect(mSrc, mDst);
        MStatus status = mBefore.save(mDst);
        return status ? host::connect(mSrc, mDst) : status;
    }
    MStatus undoIt() override
    {
        if (!mMake)
            return host::connect(mSrc, mDst);
        MStatus status = host::disconnect(mSrc, mDst);
        return status ? mBefore.restore(mDst) : status;
    }

private:
    MPlug mSrc, mDst;
    bool mMake;
    SavedPlugValue mBefore;
};

// Sets a plug; undo writes back the value it had.
class PlugValueOp : public ModifierOp
{
public:
    enum Kind { kNumber, kString, kObject };
    PlugValueOp(const MPlug& plug, double number) : mPlug(plug), mKind(kNumber), mNumber(number) {}
    PlugValueOp(const MPlug& plug, const MString& text) : mPlug(plug), mKind(kString), mText(text) {}
    PlugValueOp(const MPlug& plug, const MObject& data) : mPlug(plug), mKind(kObject), mData(host::cloneData(data)) {}

    MStatus doIt() override
    {
        MStatus status = mBefore.save(mPlug);
        if (!status)
            return status;
        switch (mKind) {
        case kNumber: return mPlug.setValue(mNumber);
        case kString: return mPlug.setValue(mText);
        default: return mPlug.setValue(mData);
        }
    }
    MStatus undoIt() override { return mBefore.restore(mPlug); }

private:
    MPlug mPlug;
    Kind mKind;
    double mNumber = 0.0;
    MString mText;
    MObject mData;
    SavedPlugValue mBefore;
};

class CommandOp : public ModifierOp
{
public:
    explicit CommandOp(const MString& command) : mCommand(command) {}
    MStatus doIt() override
    {
        if (mChunk)
            return mChunk->redo();
        return host::executeCollecting(mCommand, mChunk);
    }
    MStatus undoIt() override { return mChunk ? mChunk->undo() : MStatus::kSuccess; }

private:
    MString mCommand;
    std::shared_ptr<host::UndoChunk> mChunk;
};

MStatus queueIfNode(MDGModifier& modifier, const MObject& node, std::unique_ptr<ModifierOp> op)
{
    if (!host::nodeOf(node))
        return MStatus::kInvalidParameter;
    host::ModifierAccess::queue(modifier, std::move(op));
    return MStatus::kSuccess;
}

MStatus queueIfPlug(MDGModifier& modifier, const MPlug& plug, std::unique_ptr<ModifierOp> op)
{
    if (plug.isNull())
        return MStatus::kInvalidParameter;
    host::ModifierAccess::queue(modifier, std::move(op));
    return MStatus::kSuccess;
}

} // namespace

MStatus host::queueDeletionEvenIfReferenced(MDGModifier& modifier, const MObject& node)
{
    return queueIfNode(modifier, node, std::make_unique<DeleteNodeOp>(node, true));
}

MDGModifier::MDGModifier() : mDone(0) {}

MDGModifier::~MDGModifier() = default;

MObject MDGModifier::createNode(const MTypeId& typeId, MStatus* ReturnStatus)
{
    MObject node;
    MStatus status = host::instantiateNode(typeId, node);
    if (status)
        mOps.push_back(std::make_unique<CreateNodeOp>(node));
    if (ReturnStatus)
        *ReturnStatus = status;
    return node;
}

MObject MDGModifier::createNode(const MString& type, MStatus* ReturnStatus)
{
    MObject node;
    MStatus status = host::instantiateNode(type, node);
    if (status)
        mOps.push_back(std::make_unique<CreateNodeOp>(node));
    if (ReturnStatus)
        *ReturnStatus = status;
    return node;
}

MStatus MDGModifier::deleteNode(const MObject& node, bool)
{
    return queueIfNode(*this, node, std::make_unique<DeleteNodeOp>(node, false));
}

MStatus MDGModifier::renameNode(const MObject& node, const MString& newName)
{
    if (!host::isValidNodeName(newName))
        return MStatus::kInvalidParameter;
    return queueIfNode(*this, node, std::make_unique<RenameOp>(node, newName));
}

MStatus MDGModifier::setNodeLockState(const MObject& node, bool newState)
{
    return queueIfNode(*this, node, std::make_unique<LockOp>(node, newState));
}

MStatus MDGModifier::connect(const MObject& sourceNode, const MObject& sourceAttr, const MObject& destNode,
                             const MObject& destAttr)
{
    return connect(MPlug(sourceNode, sourceAttr), MPlug(destNode, destAttr));
}

MStatus MDGModifier::connect(const MPlug& source, const MPlug& dest)
{
    if (source.isNull() || dest.isNull())
        return MStatus::kInvalidParameter;
    mOps.push_back(std::make_unique<ConnectOp>(source, dest, true));
    return MStatus::kSuccess;
}

MStatus MDGModifier::disconnect(const MObject& sourceNode, const MObject& sourceAttr, const MObject& destNode,
                                const MObject& destAttr)
{
    return disconnect(MPlug(sourceNode, sourceAttr), MPlug(destNode, destAttr));
}

MStatus MDGModifier::disconnect(const MPlug& source, const MPlug& dest)
{
    if (source.isNull() || dest.isNull())
        return MStatus::kInvalidParameter;
    mOps.push_back(std::make_unique<ConnectOp>(source, dest, false));
    return MStatus::kSuccess;
}

MStatus MDGModifier::addAttribute(const MObject& node, const MObject& attribute)
{
    if (!host::attributeOf(attribute))
        return MStatus::kInvalidParameter;
    return queueIfNode(*this, node, std::make_unique<AttributeOp>(node, attribute, true));
}

MStatus MDGModifier::removeAttribute(const MObject& node, const MObject& attribute)
{
    if (!host::attributeOf(attribute))
        return MStatus::kInvalidParameter;
    return queueIfNode(*this, node, std::make_unique<AttributeOp>(node, attribute, false));
}

MStatus MDGModifier::newPlugValue(const MPlug& plug, MObject& plugValue)
{
    return queueIfPlug(*this, plug, std::make_unique<PlugValueOp>(plug, plugValue));
}

MStatus MDGModifier::newPlugValueBool(const MPlug& plug, bool v) { return newPlugValueDouble(plug, v ? 1.0 : 0.0); }
MStatus MDGModifier::newPlugValueChar(const MPlug& plug, char v) { return newPlugValueDouble(plug, v); }
MStatus MDGModifier::newPlugValueShort(const MPlug& plug, short v) { return newPlugValueDouble(plug, v); }
MStatus MDGModifier::newPlugValueInt(const MPlug& plug, int v) { return newPlugValueDouble(plug, v); }
MStatus MDGModifier::newPlugValueInt64(const MPlug& plug, MInt64 v) { return newPlugValueDouble(plug, static_cast<double>(v)); }
MStatus MDGModifier::newPlugValueFloat(const MPlug& plug, float v) { return newPlugValueDouble(plug, v); }

MStatus MDGModifier::newPlugValueDouble(const MPlug& plug, double v)
{
    return queueIfPlug(*this, plug, std::make_unique<PlugValueOp>(plug, v));
}

MStatus MDGModifier::newPlugValueString(const MPlug& plug, const MString& v)
{
    return queueIfPlug(*this, plug, std::make_unique<PlugValueOp>(plug, v));
}

MStatus MDGModifier::newPlugValueMAngle(const MPlug& plug, const MAngle& v)
{
    return newPlugValueDouble(plug, v.as(MAngle::kRadians));
}

MStatus MDGModifier::newPlugValueMDistance(const MPlug& plug, const MDistance& v)
{
    return newPlugValueDouble(plug, v.as(MDistance::kCentimeters));
}

MStatus MDGModifier::newPlugValueMTime(const MPlug& plug, const MTime& v)
{
    return newPlugValueDouble(plug, v.as(MTime::kSeconds));
}

MStatus MDGModifier::commandToExecute(const MString& command)
{
    if (command.length() == 0)
        return MStatus::kInvalidParameter;
    mOps.push_back(std::make_unique<CommandOp>(command));
    return MStatus::kSuccess;
}

MStatus MDGModifier::pythonCommandToExecute(const MString&)
{
    return MStatus::kNotImplemented;  // the host runs MEL only
}

MStatus MDGModifier::doIt()
{
    host::SelectionEditScope selectionEdit;  // deleted selected nodes are told once, at the end
    while (mDone < mOps.size()) {
        MStatus status = mOps[mDone]->doIt();
        if (!status)
            return status;  // what ran before stays applied, as in Maya
        ++mDone;
    }
    return MStatus::kSuccess;
}

MStatus MDGModifier::undoIt()
{
    host::SelectionEditScope selectionEdit;
    MStatus result = MStatus::kSuccess;
    while (mDone > 0) {
        MStatus status = mOps[--mDone]->undoIt();
        if (!status)
            result = status;
    }
    return result;
}
