#ifndef HOST_VIEWPORT_OVERRIDEINSTANCES_H
#define HOST_VIEWPORT_OVERRIDEINSTANCES_H

// One draw or geometry override per drawn node whose type's classification
// has a registered override: created on the node's first draw, destroyed with
// the node, with the scene, or before its plug-in unloads.

#include "DrawRegistryState.h"
#include "RendererAccess.h"

#include <maya/MDagPath.h>
#include <maya/MObject.h>
#include <maya/MUserData.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class MUserData;

namespace host
{

class Node;

struct StoredVertexBuffer
{
    MHWRender::MVertexBuffer* buffer = nullptr;
    std::uint64_t serial = 0;
};

struct StoredIndexBuffer
{
    std::string item;   // the render item it draws
    MHWRender::MIndexBuffer* buffer = nullptr;
    std::uint64_t serial = 0;
};

struct OverrideInstance
{
    MObject node;                    // keeps the node's memory while the instance lives
    Node* raw = nullptr;
    MString pluginName;
    DrawOverrideEntry::Kind kind = DrawOverrideEntry::kGeometryOverride;
    MHWRender::MPxGeometryOverride* geometry = nullptr;
    MHWRender::MPxDrawOverride* draw = nullptr;
    MHWRender::MRenderItemList items;
    std::vector<StoredVertexBuffer> vertexBuffers;
    std::vector<StoredIndexBuffer> indexBuffers;
    MUserData* userData = nullptr;
    HostDrawManager drawManager;
    bool updated = false;            // updateDG has run once
    std::atomic<bool> dirty{true};         // setGeometryDrawDirty since the last update (any thread)
    std::atomic<bool> topologyDirty{true};
    bool cacheConfigured = false;
    bool hasUi = false;              // the draw manager holds this frame's drawables
    MMatrix drawTransform;           // draw overrides: transform() this frame
    int displayStatus = -1;          // draw overrides: the path's display status when last prepared

    ~OverrideInstance();
    const StoredIndexBuffer* indexBufferOf(const MString& item) const;
};

// The instance of a node, created when its type has an override (null otherwise).
OverrideInstance* instanceFor(Node* node, const MDagPath& path, bool create);
// Destroys the instances of nodes that left the scene.
void destroyInstancesOfRemovedNodes();
std::vector<std::unique_ptr<OverrideInstance>>& overrideInstances();

// Marks a node's override for update (MRenderer::setGeometryDrawDirty).
MStatus markDrawDirty(const MObject& node, bool topologyChanged);

// The call record.
bool recordingVp2();
void recordVp2(const Node* node, const char* call, const std::string& detail = std::string(), std::size_t bytes = 0);

} // namespace host

#endif
