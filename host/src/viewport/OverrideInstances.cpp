#include "OverrideInstances.h"

#include "FrameRenderer.h"
#include "GlDevice.h"

#include "dg/Node.h"
#include "dg/Object.h"
#include "dg/Registry.h"

#include <maya/MDGMessage.h>
#include <maya/MUserData.h>

#include <atomic>
#include <mutex>
#include <unordered_map>

namespace host
{

namespace
{

struct InstanceTable
{
    std::recursive_mutex mutex;
    std::vector<std::unique_ptr<OverrideInstance>> instances;
    std::unordered_map<const Node*, OverrideInstance*> byNode;
    // Override lookups by node type, valid for one registry generation.
    std::unordered_map<const NodeType*, std::pair<bool, DrawOverrideEntry>> lookups;
    unsigned int lookupGeneration = ~0u;
    MCallbackId removedCallback = 0;
    bool callbackRegistered = false;
};

InstanceTable& table()
{
    static InstanceTable* t = new InstanceTable;  // instances may be released during static destruction
    return *t;
}

struct Vp2Record
{
    std::mutex mutex;
    std::atomic<bool> on{false};
    std::vector<Vp2Call> calls;
};

Vp2Record& record()
{
    static Vp2Record r;
    return r;
}

std::atomic<bool> gRendererActive{false};

void destroyInstance(InstanceTable& t, const Node* node)
{
    std::unique_ptr<OverrideInstance> doomed;
    {
        std::lock_guard<std::recursive_mutex> lock(t.mutex);
        auto found = t.byNode.find(node);
        if (found == t.byNode.end()) return;
        for (auto it = t.instances.begin(); it != t.instances.end(); ++it)
            if (it->get() == found->second) {
                doomed = std::move(*it);
                t.instances.erase(it);
                break;
            }
        t.byNode.erase(found);
        if (t.instances.empty() && t.callbackRegistered) {
            MMessage::removeCallback(t.removedCallback);
            t.callbackRegistered = false;
        }
    }
    if (doomed) recordVp2(doomed->raw, "destroy");
    doomed.reset();
}

void nodeRemoved(MObject& node, void*)
{
    if (const Node* n = objectAs<Node>(node)) destroyInstance(table(), n);
}

} // namespace

OverrideInstance::~OverrideInstance()
{
    // The user data and the override go first, then what the renderer kept for them.
    delete userData;
    userData = nullptr;
    delete geometry;
    delete draw;
    items.clear();
    for (StoredVertexBuffer& b : vertexBuffers) {
        GlDevice::releaseBuffer(b.serial);
        delete b.buffer;
    }
    for (StoredIndexBuffer& b : indexBuffers) {
        GlDevice::releaseBuffer(b.serial);
        delete b.buffer;
    }
}

const StoredIndexBuffer* OverrideInstance::indexBufferOf(const MString& item) const
{
    for (const StoredIndexBuffer& b : indexBuffers)
        if (item == b.item.c_str()) return &b;
    return nullptr;
}

std::vector<std::unique_ptr<OverrideInstance>>& overrideInstances()
{
    return table().instances;
}

OverrideInstance* instanceFor(Node* node, const MDagPath& path, bool create)
{
    InstanceTable& t = table();
    std::lock_guard<std::recursive_mutex> lock(t.mutex);
    auto found = t.byNode.find(node);
    if (found != t.byNode.end()) return found->second;
    if (!create || node == nullptr || node->type == nullptr) return nullptr;

    unsigned int generation = drawRegistryGeneration();
    if (generation != t.lookupGeneration) {
        t.lookups.clear();
        t.lookupGeneration = generation;
    }
    auto lookup = t.lookups.find(node->type);
    if (lookup == t.lookups.end()) {
        DrawOverrideEntry entry{};
        bool has = node->type->info.classification.length() > 0 &&
                   findDrawOverrideFor(node->type->info.classification, entry);
        lookup = t.lookups.emplace(node->type, std::make_pair(has, entry)).first;
    }
    if (!lookup->second.first) return nullptr;
    const DrawOverrideEntry& entry = lookup->second.second;

    auto instance = std::make_unique<OverrideInstance>();
    instance->node = ObjectAccess::make(node);
    instance->raw = node;
    instance->pluginName = node->type->info.pluginName;
    instance->kind = entry.kind;
    if (entry.kind == DrawOverrideEntry::kGeometryOverride && entry.geometryCreator)
        instance->geometry = entry.geometryCreator(instance->node);
    else if (entry.kind == DrawOverrideEntry::kDrawOverride && entry.drawCreator)
        instance->draw = entry.drawCreator(instance->node);
    if (!instance->geometry && !instance->draw) {
        // A creator that makes nothing draws nothing; ask again after the registry changes.
        lookup->second.first = false;
        return nullptr;
    }
    (void)path;
    recordVp2(node, "create");
    if (!t.callbackRegistered) {
        MStatus status;
        t.removedCallback = MDGMessage::addNodeRemovedCallback(nodeRemoved, "dependNode", nullptr, &status);
        t.callbackRegistered = status == MStatus::kSuccess;
    }
    OverrideInstance* raw = instance.get();
    t.instances.push_back(std::move(instance));
    t.byNode[node] = raw;
    return raw;
}

void destroyInstancesOfRemovedNodes()
{
    InstanceTable& t = table();
    std::vector<const Node*> gone;
    {
        std::lock_guard<std::recursive_mutex> lock(t.mutex);
        for (const auto& instance : t.instances)
            if (!instance->raw->inScene) gone.push_back(instance->raw);
    }
    for (const Node* node : gone) destroyInstance(t, node);
}

void releaseOverrides(const MString& pluginName)
{
    InstanceTable& t = table();
    std::vector<const Node*> doomed;
    {
        std::lock_guard<std::recursive_mutex> lock(t.mutex);
        for (const auto& instance : t.instances)
            if (pluginName.length() == 0 || instance->pluginName == pluginName) doomed.push_back(instance->raw);
        if (pluginName.length() == 0) t.lookups.clear();
    }
    for (const Node* node : doomed) destroyInstance(t, node);
}

bool rendererActive()
{
    return gRendererActive.load();
}

void setRendererActive(bool active)
{
    gRendererActive = active;
}

bool recordingVp2()
{
    return record().on.load(std::memory_order_relaxed);
}

void recordVp2(const Node* node, const char* call, const std::string& detail, std::size_t bytes)
{
    Vp2Record& r = record();
    if (!r.on.load(std::memory_order_relaxed)) return;
    Vp2Call entry;
    entry.node = node ? node->name.asChar() : "";
    entry.call = call;
    entry.detail = detail;
    entry.bytes = bytes;
    std::lock_guard<std::mutex> lock(r.mutex);
    r.calls.push_back(std::move(entry));
}

void startVp2Record()
{
    Vp2Record& r = record();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.calls.clear();
    r.on = true;
}

std::vector<Vp2Call> takeVp2Record()
{
    Vp2Record& r = record();
    std::lock_guard<std::mutex> lock(r.mutex);
    std::vector<Vp2Call> out;
    out.swap(r.calls);
    return out;
}

void stopVp2Record()
{
    Vp2Record& r = record();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.on = false;
    r.calls.clear();
}

MStatus markDrawDirty(const MObject& object, bool topologyChanged)
{
    const Node* o = objectAs<Node>(object);
    if (o == nullptr) return MStatus::kInvalidParameter;
    InstanceTable& t = table();
    {
        std::lock_guard<std::recursive_mutex> lock(t.mutex);
        auto found = t.byNode.find(o);
        if (found != t.byNode.end()) {
            found->second->dirty = true;
            if (topologyChanged) found->second->topologyDirty = true;
        }
    }
    return MStatus::kSuccess;
}

} // namespace host
