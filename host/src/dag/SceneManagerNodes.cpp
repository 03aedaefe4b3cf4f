#include "dag/SceneManagerNodes.h"

#include "dag/Dag.h"
#include "dag/DagAttributes.h"
#include "dg/Registry.h"

#include <maya/MFnCompoundAttribute.h>
#include <maya/MFnMessageAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MPxNode.h>
#include <maya/MTypeId.h>

namespace host {

namespace {

class SceneManagerNode : public MPxNode
{
public:
    static void* creator() { return new SceneManagerNode; }

    // light / object message pairs, one array of them per kind of link.
    static MStatus initializeLightLinker()
    {
        const char* const pairs[4][6] = {
            {"link", "lnk", "light", "llnk", "object", "olnk"},
            {"ignore", "ign", "lightIgnored", "lli", "objectIgnored", "oli"},
            {"shadowLink", "slnk", "shadowLight", "sllk", "shadowObject", "solk"},
            {"shadowIgnore", "sign", "shadowLightIgnored", "slli", "shadowObjectIgnored", "soli"},
        };
        for (const auto& names : pairs) {
            MStatus status;
            MFnMessageAttribute message;
            MObject light = message.create(names[2], names[3], &status);
            DAG_CHECK(status);
            MObject object = message.create(names[4], names[5], &status);
            DAG_CHECK(status);
            MFnCompoundAttribute compound;
            MObject pair = compound.create(names[0], names[1], &status);
            DAG_CHECK(status);
            DAG_CHECK(compound.addChild(light));
            DAG_CHECK(compound.addChild(object));
            DAG_CHECK(compound.setArray(true));
            DAG_CHECK(addAttribute(pair));
        }
        return MS::kSuccess;
    }

    // The current layer's number and one id element per layer (connected to its "identification").
    static MStatus initializeLayerManager(const char* current, const char* currentShort, const char* ids,
                                          const char* idsShort)
    {
        MStatus status;
        MFnNumericAttribute numeric;
        MObject currentLayer = numeric.create(current, currentShort, MFnNumericData::kShort, 0, &status);
        DAG_CHECK(status);
        DAG_CHECK(addAttribute(currentLayer));
        MObject layerIds = numeric.create(ids, idsShort, MFnNumericData::kShort, 0, &status);
        DAG_CHECK(status);
        DAG_CHECK(numeric.setArray(true));
        return addAttribute(layerIds);
    }

    static MStatus initializeDisplayLayerManager()
    {
        return initializeLayerManager("currentDisplayLayer", "cdl", "displayLayerId", "dli");
    }

    static MStatus initializeRenderLayerManager()
    {
        return initializeLayerManager("currentRenderLayer", "crl", "renderLayerId", "rlmi");
    }

    static MStatus initializeRenderLayer()
    {
        MStatus status;
        MFnNumericAttribute numeric;
        MObject identification = numeric.create("identification", "rlid", MFnNumericData::kShort, 0, &status);
        DAG_CHECK(status);
        DAG_CHECK(addAttribute(identification));
        MObject global = DagAttributes::createBool("global", "g", false, false, status);
        DAG_CHECK(status);
        DAG_CHECK(addAttribute(global));
        MObject renderable = DagAttributes::createBool("renderable", "rndr", true, false, status);
        DAG_CHECK(status);
        return addAttribute(renderable);
    }

    static MStatus initializeNothingMore() { return MS::kSuccess; }
};

} // namespace

MStatus registerSceneManagerNodeTypes()
{
    const struct
    {
        const char* name;
        unsigned int id;
        MStatus (*initialize)();
    } kTypes[] = {
        {"lightLinker", 0x4e4c4c4b, &SceneManagerNode::initializeLightLinker},               // 'NLLK'
        {"displayLayerManager", 0x4e444c4d, &SceneManagerNode::initializeDisplayLayerManager}, // 'NDLM'
        {"renderLayerManager", 0x4e524c4d, &SceneManagerNode::initializeRenderLayerManager},   // 'NRLM'
        {"renderLayer", 0x4e524c59, &SceneManagerNode::initializeRenderLayer},                 // 'NRLY'
        {"shapeEditorManager", 0x4e53454d, &SceneManagerNode::initializeNothingMore},          // 'NSEM'
        {"poseInterpolatorManager", 0x4e50494d, &SceneManagerNode::initializeNothingMore},     // 'NPIM'
    };
    for (const auto& type : kTypes) {
        NodeTypeInfo info;
        info.name = type.name;
        info.id = MTypeId(type.id);
        info.creator = &SceneManagerNode::creator;
        info.initialize = type.initialize;
        info.apiType = MFn::kDependencyNode;
        DAG_CHECK(registerNodeType(info));
    }
    return MS::kSuccess;
}

} // namespace host
