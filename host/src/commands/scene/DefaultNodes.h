#pragma once
// The nodes every Maya scene has. Shared ones (":time1", ":renderPartition",
// ":initialShadingGroup", ":lambert1", ":defaultLightSet" ...) exist from the
// start of a new or opened scene: files reach them with "select -ne :name;"
// and set what changed, and the writer writes them back that way. Scene
// ones ("layerManager", "defaultLayer", "renderLayerManager", "lightLinker1"
// ...) files create themselves; a new scene has them and an opened file that
// lacks them gets them after the read. Types the host does not model stand
// in as unknown nodes that remember Maya's type.

#include <maya/MObject.h>
#include <maya/MStatus.h>

#include <vector>

namespace host {

class Node;

class DefaultNodes
{
public:
    // file -new: every default node.
    static MStatus createForNewScene();
    // Before a file is read: the shared ones.
    static MStatus createBeforeRead();
    // After a file was read: the scene ones it did not create.
    static MStatus createAfterRead();

    // Whether a node is one of the shared default nodes (written as a
    // "select -ne" block instead of a createNode).
    static bool isShared(const Node* node);
    // Whether a node is one of the nodes every scene has, shared or not (they cannot be
    // deleted, so `select -all` leaves them out).
    static bool isDefault(const Node* node);
    // The shared default nodes of the scene, in Maya's order.
    static std::vector<MObject> shared();
};

} // namespace host
