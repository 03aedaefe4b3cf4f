#include "geometry/HistoryCheck.h"

#include "commands/scene/KeptSceneData.h"
#include "dg/Node.h"
#include "dg/Registry.h"
#include "dg/Scene.h"
#include "geometry/MeshData.h"
#include "geometry/MeshShapeNode.h"

#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MPlug.h>

#include <utility>
#include <vector>

namespace host {

void reportMeshesWithoutGeometry()
{
    // Node type -> the meshes it leaves without geometry, in scene order.
    std::vector<std::pair<MString, std::vector<MString>>> byType;
    for (Node* node : sceneNodes()) {
        if (!node->inScene || node->type->info.name != MeshShapeNode::typeName)
            continue;
        const MObject shape = node->object();
        if (MPlug(shape, MeshShapeNode::inMesh).isConnected())
            continue;
        const MObject cachedData = MPlug(shape, MeshShapeNode::cachedInMesh).asMObject();
        const MeshData* cached = meshDataOf(cachedData);
        if (cached && cached->read().numVertices() > 0)
            continue;
        const MObject source = KeptSceneData::keptSourceOf(shape, {".i", ".inMesh"});
        if (source.isNull())
            continue;
        MString type = KeptSceneData::realTypeOf(source);
        if (type.length() == 0)
            type = MFnDependencyNode(source).typeName();
        size_t i = 0;
        while (i < byType.size() && byType[i].first != type)
            ++i;
        if (i == byType.size())
            byType.emplace_back(type, std::vector<MString>());
        byType[i].second.push_back(MFnDependencyNode(shape).name());
    }
    for (const auto& [type, meshes] : byType) {
        MString names;
        for (size_t m = 0; m < meshes.size(); ++m) {
            if (m)
                names += ", ";
            names += meshes[m];
        }
        MGlobal::displayWarning(MString("file: the host does not evaluate \"") + type +
                                "\" nodes, and the file holds no geometry for the meshes they build: " + names + ".");
    }
}

} // namespace host
