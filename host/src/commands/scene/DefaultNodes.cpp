#include "commands/scene/DefaultNodes.h"

#include "commands/MessageOutput.h"
#include "commands/scene/KeptSceneData.h"
#include "dag/UnknownNode.h"
#include "dg/Node.h"
#include "dg/Registry.h"
#include "dg/Scene.h"

#include <maya/MDGModifier.h>
#include <maya/MPlug.h>
#include <maya/MSelectionList.h>

#include <memory>

namespace host {

namespace {

struct DefaultNode
{
    const char* name;
    const char* type;
};

// Reached by "select -ne" in files, in the order Maya writes them.
const DefaultNode kShared[] = {
    {"time1", "time"},
    {"renderPartition", "partition"},
    {"renderGlobalsList1", "renderGlobalsList"},
    {"defaultShaderList1", "defaultShaderList"},
    {"postProcessList1", "postProcessList"},
    {"defaultRenderUtilityList1", "defaultRenderUtilityList"},
    {"defaultRenderingList1", "defaultRenderingList"},
    {"defaultTextureList1", "defaultTextureList"},
    {"lightList1", "lightList"},
    {"lambert1", "lambert"},
    {"standardSurface1", "standardSurface"},
    {"openPBR_shader1", "openPBRSurface"},
    {"particleCloud1", "particleCloud"},
    {"shaderGlow1", "shaderGlow"},
    {"initialShadingGroup", "shadingEngine"},
    {"initialParticleSE", "shadingEngine"},
    {"initialMaterialInfo", "materialInfo"},
    {"defaultLightSet", "objectSet"},
    {"defaultObjectSet", "objectSet"},
    {"defaultRenderGlobals", "renderGlobals"},
    {"defaultResolution", "resolution"},
    {"defaultColorMgtGlobals", "colorManagementGlobals"},
    {"hardwareRenderGlobals", "hwRenderGlobals"},
    {"defaultHardwareRenderGlobals", "hwRenderGlobals"},
    {"hardwareRenderingGlobals", "hardwareRenderingGlobals"},
    {"characterPartition", "partition"},
    {"ikSystem", "ikSystem"},
    {"strokeGlobals", "strokeGlobals"},
    {"globalCacheControl", "globalCacheControl"},
    {"dof1", "dof"},
    {"defaultViewColorManager", "viewColorManager"},
};

// Created by the files themselves (createNode), so only a new scene or a file without them gets them here.
const DefaultNode kScene[] = {
    {"lightLinker1", "lightLinker"},
    {"shapeEditorManager", "shapeEditorManager"},
    {"poseInterpolatorManager", "poseInterpolatorManager"},
    {"layerManager", "displayLayerManager"},
    {"defaultLayer", "displayLayer"},
    {"renderLayerManager", "renderLayerManager"},
    {"defaultRenderLayer", "renderLayer"},
};

struct SharedNode
{
    Node* node;
    std::shared_ptr<LifeToken> life;
};

std::vector<SharedNode>& sharedNodes()
{
    static std::vector<SharedNode> nodes;
    return nodes;
}

MStatus create(const DefaultNode& wanted, MObject& node)
{
    const NodeType* type = findRegisteredType(wanted.type);
    const bool standIn = !type;
    if (standIn)
        type = UnknownNode::standInFor(wanted.type, false);
    if (!type)
        return MS::kFailure;
    MStatus status;
    node = createNode(type->info.name, wanted.name, &status);
    if (!status)
        return status;
    if (standIn) {
        // Every scene has these: no "kept as unknown" warning for them.
        MessageCapture quiet;
        KeptSceneData::rememberRealType(node, wanted.type);
    }
    return MS::kSuccess;
}

MStatus createShared()
{
    sharedNodes().clear();
    for (const DefaultNode& wanted : kShared) {
        MObject node;
        MStatus status = create(wanted, node);
        if (!status)
            return status;
        Node* n = nodeOf(node);
        sharedNodes().push_back(SharedNode{n, n->lifeToken()});
    }
    return MS::kSuccess;
}

MStatus createSceneNodes(bool onlyMissing)
{
    for (const DefaultNode& wanted : kScene) {
        if (onlyMissing && findNodeByName(wanted.name))
            continue;
        MObject node;
        MStatus status = create(wanted, node);
        if (!status)
            return status;
    }
    return MS::kSuccess;
}

// A new scene's layers are known to their managers, as in Maya: the default layers hold id 0.
MStatus connectDefaultLayers()
{
    const char* const links[][2] = {
        {"layerManager.displayLayerId[0]", "defaultLayer.identification"},
        {"renderLayerManager.renderLayerId[0]", "defaultRenderLayer.identification"},
    };
    for (const auto& link : links) {
        MSelectionList plugs;
        MPlug source, destination;
        if (!plugs.add(link[0]) || !plugs.add(link[1]) || !plugs.getPlug(0, source) || !plugs.getPlug(1, destination))
            return MS::kFailure;
        MDGModifier modifier;
        MStatus status = modifier.connect(source, destination);
        if (status)
            status = modifier.doIt();
        if (!status)
            return status;
    }
    return MS::kSuccess;
}

} // namespace

MStatus DefaultNodes::createForNewScene()
{
    MStatus status = createShared();
    if (status)
        status = createSceneNodes(false);
    return status ? connectDefaultLayers() : status;
}

MStatus DefaultNodes::createBeforeRead()
{
    return createShared();
}

MStatus DefaultNodes::createAfterRead()
{
    return createSceneNodes(true);
}

bool DefaultNodes::isShared(const Node* node)
{
    for (const SharedNode& shared : sharedNodes())
        if (shared.node == node && shared.life->alive && node->inScene)
            return true;
    return false;
}

bool DefaultNodes::isDefault(const Node* node)
{
    if (isShared(node))
        return true;
    for (const DefaultNode& wanted : kScene)
        if (node->name == wanted.name && node->type && node->type->info.name == wanted.type)
            return true;
    return false;
}

std::vector<MObject> DefaultNodes::shared()
{
    std::vector<MObject> nodes;
    for (const SharedNode& shared : sharedNodes())
        if (shared.life->alive && shared.node->inScene)
            nodes.push_back(shared.node->object());
    return nodes;
}

} // namespace host
