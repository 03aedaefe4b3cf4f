#include <maya/MDagMessage.h>
#include <maya/MObjectHandle.h>

#include "dag/Dag.h"
#include "dag/DagAttributes.h"
#include "dag/DagMessages.h"
#include "dg/Graph.h"
#include "dg/Messages.h"
#include "dg/Node.h"

#include <maya/MNodeMessage.h>
#include <maya/MPlug.h>

#include <memory>
#include <unordered_map>
#include <vector>

namespace host {

namespace {

struct WorldMatrixWatch
{
    MDagMessage::MWorldMatrixModifiedFunction func;
    void* clientData;
    unsigned instance;
    MCallbackId dirtyId;
    MCallbackId id = 0;
    bool pending = false;  // a call waits for the dirty wave to end
};

struct ParentChildWatch
{
    MCallbackId id;
    MDagMessage::DagMessage message;
    MDagMessage::MMessageParentChildFunction func;  // told which change happened
    MMessage::MParentChildFunction plainFunc;       // or watching one kind of change
    void* clientData;
};

std::unordered_map<MCallbackId, std::unique_ptr<WorldMatrixWatch>>& worldMatrixWatches()
{
    static std::unordered_map<MCallbackId, std::unique_ptr<WorldMatrixWatch>> watches;
    return watches;
}

std::vector<ParentChildWatch>& parentChildWatches()
{
    static std::vector<ParentChildWatch> watches;
    return watches;
}

// A weak note: it must not keep a deleted node alive.
MObjectHandle lastChangedTransform;
unsigned lastChangeFlags = MDagMessage::kAll;

void removeWorldMatrixWatch(MCallbackId id)
{
    auto& watches = worldMatrixWatches();
    auto it = watches.find(id);
    if (it == watches.end())
        return;
    MCallbackId dirtyId = it->second->dirtyId;
    watches.erase(it);
    MMessage::removeCallback(dirtyId);
}

void removeParentChildWatch(MCallbackId id)
{
    auto& watches = parentChildWatches();
    for (auto it = watches.begin(); it != watches.end(); ++it) {
        if (it->id == id) {
            watches.erase(it);
            return;
        }
    }
}

// Reads the watched instance's world matrix so that it is clean again: dirty
// propagation stops at plugs already dirty, and the next change must still be seen.
void keepCurrent(const MObject& node, unsigned instance)
{
    MPlug(node, DagAttributes::worldMatrix).elementByLogicalIndex(instance).asMObject();
}

// Dirty-plug callback on the watched node: the world matrix of the watched
// instance (or the whole array) went dirty. The callback runs once the dirty
// wave is over, when every matrix it may read is marked out of date.
void onDirtyPlug(MObject& node, MPlug& plug, void* clientData)
{
    auto* watch = static_cast<WorldMatrixWatch*>(clientData);
    if (plug.attribute() != DagAttributes::worldMatrix)
        return;
    if (plug.isElement() && plug.logicalIndex() != watch->instance)
        return;
    if (watch->pending)
        return;
    watch->pending = true;
    const MCallbackId id = watch->id;
    const MObjectHandle watched(node);
    const MObjectHandle transform = lastChangedTransform.isValid() ? lastChangedTransform : watched;
    const unsigned flags = lastChangeFlags;
    afterDirtyWave([id, watched, transform, flags] {
        auto& watches = worldMatrixWatches();
        auto it = watches.find(id);
        if (it == watches.end() || !watched.isAlive())
            return;  // removed, or its node deleted, in the meantime
        WorldMatrixWatch* w = it->second.get();
        w->pending = false;
        MObject node = watched.object();
        keepCurrent(node, w->instance);
        MObject changed = transform.isAlive() ? transform.object() : node;
        MDagMessage::MatrixModifiedFlags modified = static_cast<MDagMessage::MatrixModifiedFlags>(flags);
        w->func(changed, modified, w->clientData);
    });
}

MCallbackId addParentChildWatch(MDagMessage::DagMessage message, MDagMessage::MMessageParentChildFunction func,
                                MMessage::MParentChildFunction plainFunc, void* clientData, MStatus* status)
{
    if (!func && !plainFunc) {
        if (status)
            *status = MS::kInvalidParameter;
        return 0;
    }
    MCallbackId id = newCallbackId(MObject::kNullObj, &removeParentChildWatch);
    parentChildWatches().push_back({id, message, func, plainFunc, clientData});
    if (status)
        *status = MS::kSuccess;
    return id;
}

} // namespace

bool hasDagMessageCallbacks()
{
    return !parentChildWatches().empty();
}

void fireDagMessage(MDagMessage::DagMessage message, MDagPath& child, MDagPath& parent)
{
    // Callbacks may add or remove callbacks: walk a copy.
    std::vector<ParentChildWatch> watches = parentChildWatches();
    for (const ParentChildWatch& watch : watches) {
        if (watch.message != message)
            continue;
        if (watch.func)
            watch.func(message, child, parent, watch.clientData);
        else
            watch.plainFunc(child, parent, watch.clientData);
    }
}

void noteLocalMatrixChange(Node* transform, unsigned flags)
{
    lastChangedTransform = transform ? MObjectHandle(transform->object()) : MObjectHandle();
    lastChangeFlags = flags;
}

} // namespace host

using namespace host;

MCallbackId MDagMessage::addWorldMatrixModifiedCallback(MDagPath& instance, MWorldMatrixModifiedFunction func,
                                                        void* clientData, MStatus* ReturnStatus)
{
    MStatus status;
    if (!func || !instance.isValid(&status) || DagPathAccess::nodes(instance).empty()) {
        if (ReturnStatus)
            *ReturnStatus = MS::kInvalidParameter;
        return 0;
    }
    MObject node = instance.node(&status);
    unsigned number = status ? instance.instanceNumber(&status) : 0;
    if (!status) {
        if (ReturnStatus)
            *ReturnStatus = status;
        return 0;
    }
    auto watch = std::make_unique<WorldMatrixWatch>(WorldMatrixWatch{func, clientData, number, 0});
    watch->dirtyId = MNodeMessage::addNodeDirtyPlugCallback(node, &onDirtyPlug, watch.get(), &status);
    if (!status) {
        if (ReturnStatus)
            *ReturnStatus = status;
        return 0;
    }
    keepCurrent(node, number);
    MCallbackId id = newCallbackId(node, &removeWorldMatrixWatch);
    watch->id = id;
    worldMatrixWatches()[id] = std::move(watch);
    if (ReturnStatus)
        *ReturnStatus = MS::kSuccess;
    return id;
}

MCallbackId MDagMessage::addMatrixModifiedCallback(MDagPath& instance, MWorldMatrixModifiedFunction func,
                                                   void* clientData, MStatus* ReturnStatus)
{
    return addWorldMatrixModifiedCallback(instance, func, clientData, ReturnStatus);
}

MCallbackId MDagMessage::addParentAddedCallback(MMessage::MParentChildFunction func, void* clientData,
                                                MStatus* ReturnStatus)
{
    return addParentChildWatch(kParentAdded, nullptr, func, clientData, ReturnStatus);
}

MCallbackId MDagMessage::addParentRemovedCallback(MMessage::MParentChildFunction func, void* clientData,
                                                  MStatus* ReturnStatus)
{
    return addParentChildWatch(kParentRemoved, nullptr, func, clientData, ReturnStatus);
}

MCallbackId MDagMessage::addChildAddedCallback(MMessage::MParentChildFunction func, void* clientData,
                                               MStatus* ReturnStatus)
{
    return addParentChildWatch(kChildAdded, nullptr, func, clientData, ReturnStatus);
}

MCallbackId MDagMessage::addChildRemovedCallback(MMessage::MParentChildFunction func, void* clientData,
                                                 MStatus* ReturnStatus)
{
    return addParentChildWatch(kChildRemoved, nullptr, func, clientData, ReturnStatus);
}

MCallbackId MDagMessage::addInstanceAddedCallback(MMessage::MParentChildFunction func, void* clientData,
                                                  MStatus* ReturnStatus)
{
    return addParentChildWatch(kInstanceAdded, nullptr, func, clientData, ReturnStatus);
}

MCallbackId MDagMessage::addInstanceRemovedCallback(MMessage::MParentChildFunction func, void* clientData,
                                                    MStatus* ReturnStatus)
{
    return addParentChildWatch(kInstanceRemoved, nullptr, func, clientData, ReturnStatus);
}

MCallbackId MDagMessage::addDagCallback(DagMessage msgType, MMessageParentChildFunction func, void* clientData,
                                        MStatus* ReturnStatus)
{
    if (msgType <= kInvalidMsg || msgType >= kLast) {
        if (ReturnStatus)
            *ReturnStatus = MS::kInvalidParameter;
        return 0;
    }
    return addParentChildWatch(msgType, func, nullptr, clientData, ReturnStatus);
}
