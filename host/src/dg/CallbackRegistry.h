#pragma once
// Registration side of the callback registry, used by the message classes.

#include "dg/Node.h"

#include <maya/MMessage.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

#include <vector>

namespace host {

enum class CbKind {
    Scene,
    SceneCheck,
    SceneCheckFile,
    SceneStringArray,
    Event,
    ForceUpdate,
    TimeChange,
    NodeAdded,
    NodeRemoved,
    Connection,
    NodeDirtyPlug,
    NodeDirtyBasic,
    NodeDirtyNode,
    AttributeChanged,
    NodeDestroyed,
    AboutToDelete,
    NameChanged,
    ViewPreRender,
    External,
};

// Registers a callback; `fn` is cast back to the kind's signature when fired.
MCallbackId addCallback(CbKind kind, void (*fn)(), void* clientData, Node* node, int message, const MString& name,
                        MStatus* status);
template <class F>
MCallbackId addTyped(CbKind kind, F fn, void* clientData, Node* node, int message, const MString& name,
                     MStatus* status)
{
    return addCallback(kind, reinterpret_cast<void (*)()>(fn), clientData, node, message, name, status);
}
MStatus removeCallbackById(MCallbackId id);
MCallbackId runningCallbackId(MStatus* status);
void callbacksOfNode(const Node* node, std::vector<MCallbackId>& ids);
void eventNames(std::vector<MString>& names);

} // namespace host
