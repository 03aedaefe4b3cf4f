#include "dg/Messages.h"

#include "dg/Node.h"
#include "dg/CallbackRegistry.h"
#include "dg/Registry.h"

#include <maya/MCallbackIdArray.h>
#include <maya/MDGMessage.h>
#include <maya/MEventMessage.h>
#include <maya/MNodeMessage.h>
#include <maya/MSceneMessage.h>
#include <maya/MStringArray.h>

#include <algorithm>
#include <vector>

namespace host {

namespace {


struct Callback
{
    MCallbackId id;
    CbKind kind;
    void (*fn)();        // cast back to the kind's signature when fired
    void* clientData;
    Node* node;          // node callbacks: weak, cleared when the node dies
    int message;         // scene message
    MString name;        // event name, or node-type filter
    CallbackRemover remover;
};

struct Registry
{
    std::vector<Callback> callbacks;
    MCallbackId nextId = 1;
    std::vector<MCallbackId> running;  // ids of callbacks being run (innermost last)
};

// Never destroyed: plug-ins remove callbacks from static destructors.
Registry& registry()
{
    static Registry* r = new Registry;
    return *r;
}

const char* const kEventNames[] = {
    "SelectionChanged", "ActiveViewChanged", "timeChanged", "idle", "idleHigh", "modelEditorChanged",
    "playbackModeChanged", "playbackRangeChanged", "playbackRangeSliderChanged", "DisplayRGBColorChanged",
    "NewSceneOpened", "SceneOpened", "SceneSaved", "SceneImported", "PostSceneRead", "PreFileNewOrOpened",
    "DagObjectCreated", "Undo", "Redo", "ToolChanged", "PostToolChanged", "ModelPanelSetFocus", "NameChanged",
    "SelectModeChanged", "SelectTypeChanged", "SelectPriorityChanged", "SelectPreferenceChanged",
    "linearUnitChanged", "angularUnitChanged", "timeUnitChanged", "deleteAll", "quitApplication",
    "RebuildUIValues", "workspaceChanged", "renderLayerChange", "DragRelease", "graphEditorChanged",
    "cameraChange", "UiPanelFocusChanged", "ChannelBoxLabelSelected", "currentSoundNodeChanged",
    "colorMgtEnabledChanged", "MenuModeChanged", "freezeOptionsChanged",
};

MCallbackId addErased(CbKind kind, void (*fn)(), void* clientData, Node* node, int message, const MString& name,
                      MStatus* status)
{
    if (!fn) {
        if (status)
            *status = MStatus::kInvalidParameter;
        return 0;
    }
    Registry& r = registry();
    Callback cb{r.nextId++, kind, fn, clientData, node, message, name, nullptr};
    r.callbacks.push_back(cb);
    if (node) {
        if (kind == CbKind::NodeDirtyPlug || kind == CbKind::NodeDirtyBasic || kind == CbKind::NodeDirtyNode)
            ++node->dirtyCallbacks;
        if (kind == CbKind::AttributeChanged)
            ++node->attrChangedCallbacks;
    }
    if (status)
        *status = MStatus::kSuccess;
    return cb.id;
}

void release(const Callback& cb)
{
    if (!cb.node)
        return;
    if (cb.kind == CbKind::NodeDirtyPlug || cb.kind == CbKind::NodeDirtyBasic || cb.kind == CbKind::NodeDirtyNode)
        --cb.node->dirtyCallbacks;
    if (cb.kind == CbKind::AttributeChanged)
        --cb.node->attrChangedCallbacks;
}

// Runs `call` for every callback selected by `match`, on a snapshot so that
// callbacks may add or remove callbacks while running.
template <class Match, class Call>
void fire(Match match, Call call)
{
    Registry& r = registry();
    std::vector<Callback> selected;
    for (const Callback& cb : r.callbacks)
        if (match(cb))
            selected.push_back(cb);
    for (const Callback& cb : selected) {
        // Skip callbacks removed by an earlier one in this round.
        bool live = std::any_of(r.callbacks.begin(), r.callbacks.end(),
                                [&](const Callback& c) { return c.id == cb.id && (c.node || !cb.node); });
        if (!live)
            continue;
        r.running.push_back(cb.id);
        call(cb);
        r.running.pop_back();
    }
}

template <class F>
F as(const Callback& cb)
{
    return reinterpret_cast<F>(cb.fn);
}

bool typeMatches(const MString& filter, const Node* node)
{
    if (filter.length() == 0 || filter == kDefaultNodeType)
        return true;
    if (filter == node->type->info.name)
        return true;
    if (filter == "dagNode")
        return node->isDag;
    if (filter == "transform")
        return node->isTransform;
    if (filter == "shape")
        return node->isShape;
    return false;
}

bool isNodeKind(const Callback& cb, CbKind kind, const Node* node)
{
    return cb.kind == kind && cb.node == node;
}

} // namespace

MCallbackId addCallback(CbKind kind, void (*fn)(), void* clientData, Node* node, int message, const MString& name,
                        MStatus* status)
{
    return addErased(kind, fn, clientData, node, message, name, status);
}

MCallbackId runningCallbackId(MStatus* status)
{
    auto& running = registry().running;
    if (status)
        *status = running.empty() ? MStatus::kFailure : MStatus::kSuccess;
    return running.empty() ? 0 : running.back();
}

void callbacksOfNode(const Node* node, std::vector<MCallbackId>& ids)
{
    for (const auto& cb : registry().callbacks)
        if (cb.node == node)
            ids.push_back(cb.id);
}

void eventNames(std::vector<MString>& names)
{
    for (const char* name : kEventNames)
        names.push_back(MString(name));
}

void fireSceneMessage(MSceneMessage::Message message)
{
    fire([&](const Callback& cb) { return cb.kind == CbKind::Scene && cb.message == message; },
         [&](const Callback& cb) { as<MMessage::MBasicFunction>(cb)(cb.clientData); });
}

void fireSceneMessage(MSceneMessage::Message message, const MStringArray& strings)
{
    fireSceneMessage(message);
    fire([&](const Callback& cb) { return cb.kind == CbKind::SceneStringArray && cb.message == message; },
         [&](const Callback& cb) { as<MMessage::MStringArrayFunction>(cb)(strings, cb.clientData); });
}

bool fireSceneCheck(MSceneMessage::Message message)
{
    bool proceed = true;
    fire([&](const Callback& cb) { return cb.kind == CbKind::SceneCheck && cb.message == message; },
         [&](const Callback& cb) {
             bool ok = true;
             as<MMessage::MCheckFunction>(cb)(&ok, cb.clientData);
             proceed = proceed && ok;
         });
    return proceed;
}

void fireEvent(const MString& name)
{
    fire([&](const Callback& cb) { return cb.kind == CbKind::Event && cb.name == name; },
         [&](const Callback& cb) { as<MMessage::MBasicFunction>(cb)(cb.clientData); });
}

void fireViewPreRender(const MString& panelName)
{
    fire([&](const Callback& cb) { return cb.kind == CbKind::ViewPreRender && cb.name == panelName; },
         [&](const Callback& cb) { as<MMessage::MStringFunction>(cb)(panelName, cb.clientData); });
}

void fireForceUpdate(MTime& time)
{
    fire([&](const Callback& cb) { return cb.kind == CbKind::ForceUpdate; },
         [&](const Callback& cb) { as<MMessage::MTimeFunction>(cb)(time, cb.clientData); });
}

void fireTimeChange(MTime& time)
{
    fire([&](const Callback& cb) { return cb.kind == CbKind::TimeChange; },
         [&](const Callback& cb) { as<MMessage::MTimeFunction>(cb)(time, cb.clientData); });
}

void fireNodeAdded(MObject& node)
{
    Node* n = nodeOf(node);
    fire([&](const Callback& cb) { return cb.kind == CbKind::NodeAdded && n && typeMatches(cb.name, n); },
         [&](const Callback& cb) { as<MMessage::MNodeFunction>(cb)(node, cb.clientData); });
}

void fireNodeRemoved(MObject& node)
{
    Node* n = nodeOf(node);
    fire([&](const Callback& cb) { return cb.kind == CbKind::NodeRemoved && n && typeMatches(cb.name, n); },
         [&](const Callback& cb) { as<MMessage::MNodeFunction>(cb)(node, cb.clientData); });
}

void fireNodeAboutToDelete(MObject& node, MDGModifier& modifier)
{
    Node* n = nodeOf(node);
    fire([&](const Callback& cb) { return isNodeKind(cb, CbKind::AboutToDelete, n); },
         [&](const Callback& cb) { as<MMessage::MNodeModifierFunction>(cb)(node, modifier, cb.clientData); });
}

void fireNodeDestroyed(Node* node)
{
    fire([&](const Callback& cb) { return isNodeKind(cb, CbKind::NodeDestroyed, node); },
         [&](const Callback& cb) { as<MMessage::MBasicFunction>(cb)(cb.clientData); });
    // The node is going away: its callbacks can never fire again.
    for (Callback& cb : registry().callbacks)
        if (cb.node == node) {
            release(cb);
            cb.node = nullptr;
        }
}

void fireNameChanged(MObject& node, const MString& previousName)
{
    Node* n = nodeOf(node);
    fire([&](const Callback& cb) { return isNodeKind(cb, CbKind::NameChanged, n); },
         [&](const Callback& cb) { as<MMessage::MNodeStringFunction>(cb)(node, previousName, cb.clientData); });
}

void fireConnection(MPlug& source, MPlug& destination, bool made)
{
    fire([&](const Callback& cb) { return cb.kind == CbKind::Connection; },
         [&](const Callback& cb) { as<MMessage::MPlugFunction>(cb)(source, destination, made, cb.clientData); });
}

void fireAttributeChanged(MObject& node, MNodeMessage::AttributeMessage message, MPlug& plug, MPlug& otherPlug)
{
    Node* n = nodeOf(node);
    fire([&](const Callback& cb) { return isNodeKind(cb, CbKind::AttributeChanged, n); },
         [&](const Callback& cb) {
             as<MNodeMessage::MAttr2PlugFunction>(cb)(message, plug, otherPlug, cb.clientData);
         });
}

void fireNodeDirtyPlug(MObject& node, MPlug& plug)
{
    Node* n = nodeOf(node);
    fire([&](const Callback& cb) { return isNodeKind(cb, CbKind::NodeDirtyPlug, n); },
         [&](const Callback& cb) { as<MMessage::MNodePlugFunction>(cb)(node, plug, cb.clientData); });
}

void fireNodeDirty(MObject& node, MPlug&)
{
    Node* n = nodeOf(node);
    fire([&](const Callback& cb) {
             return isNodeKind(cb, CbKind::NodeDirtyBasic, n) || isNodeKind(cb, CbKind::NodeDirtyNode, n);
         },
         [&](const Callback& cb) {
             if (cb.kind == CbKind::NodeDirtyBasic)
                 as<MMessage::MBasicFunction>(cb)(cb.clientData);
             else
                 as<MMessage::MNodeFunction>(cb)(node, cb.clientData);
         });
}

bool hasNodeCallbacks(const Node* node)
{
    return node->dirtyCallbacks != 0;
}

bool hasAttributeChangedCallbacks(const Node* node)
{
    return node->attrChangedCallbacks != 0;
}

MCallbackId newCallbackId(const MObject& node, CallbackRemover remover)
{
    Registry& r = registry();
    Callback cb{r.nextId++, CbKind::External, nullptr, nullptr, nodeOf(node), 0, MString(), remover};
    r.callbacks.push_back(cb);
    return cb.id;
}

bool isKnownEvent(const MString& name)
{
    for (const char* known : kEventNames)
        if (name == known)
            return true;
    return false;
}

MStatus removeCallbackById(MCallbackId id)
{
    Registry& r = registry();
    auto it = std::find_if(r.callbacks.begin(), r.callbacks.end(), [&](const Callback& c) { return c.id == id; });
    if (it == r.callbacks.end())
        return MStatus::kInvalidParameter;
    Callback cb = *it;
    release(cb);
    r.callbacks.erase(it);
    if (cb.remover)
        cb.remover(id);
    return MStatus::kSuccess;
}

void removeAllCallbacks()
{
    Registry& r = registry();
    while (!r.callbacks.empty())
        removeCallbackById(r.callbacks.back().id);
}

} // namespace host

