#pragma once
// Callbacks registered through MMessage and its kin, and the functions the
// host calls to fire them.

#include <maya/MDGModifier.h>
#include <maya/MMessage.h>
#include <maya/MNodeMessage.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MSceneMessage.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>
#include <maya/MTime.h>

namespace host {

class Node;

void fireSceneMessage(MSceneMessage::Message message);
// The same, also running the string-array callbacks of the message with `strings` (for the
// plug-in messages: the file path and/or the plug-in name, as Maya passes them).
void fireSceneMessage(MSceneMessage::Message message, const MStringArray& strings);
// Runs the check callbacks of a *Check message; false when one of them vetoes.
bool fireSceneCheck(MSceneMessage::Message message);
void fireEvent(const MString& name);
// A model panel is about to render (MUiMessage pre-render callbacks of that panel).
void fireViewPreRender(const MString& panelName);
void fireForceUpdate(MTime& time);
void fireTimeChange(MTime& time);

// Node and graph messages (fired by the dg code).
void fireNodeAdded(MObject& node);
void fireNodeRemoved(MObject& node);
void fireNodeAboutToDelete(MObject& node, MDGModifier& modifier);
void fireNodeDestroyed(Node* node);
void fireNameChanged(MObject& node, const MString& previousName);
void fireConnection(MPlug& source, MPlug& destination, bool made);
void fireAttributeChanged(MObject& node, MNodeMessage::AttributeMessage message, MPlug& plug, MPlug& otherPlug);
void fireNodeDirtyPlug(MObject& node, MPlug& plug);
void fireNodeDirty(MObject& node, MPlug& plug);
// Whether any node-level callback watches this node (lets propagation skip plug building).
bool hasNodeCallbacks(const Node* node);
bool hasAttributeChangedCallbacks(const Node* node);

// Other host parts (the DAG) register their own callbacks in the same id
// space so that MMessage::removeCallback removes them too.
typedef void (*CallbackRemover)(MCallbackId id);
MCallbackId newCallbackId(const MObject& node, CallbackRemover remover);
// Event names known to MEventMessage.
bool isKnownEvent(const MString& name);

// Removes every callback (host shutdown / tests).
void removeAllCallbacks();

} // namespace host
