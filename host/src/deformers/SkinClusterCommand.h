#pragma once
// skinCluster [-tsb] [-mi n] [-dr d] [-nw n] [-omi b] [-sm n] [-n name] influences... geometry:
// binds one mesh or curve (the last object named or selected that is not an influence) to
// joints: without -toSelectedBones every joint of the named joints' skeletons. Makes the
// skinCluster on the shape's history (an Orig shape when it has none), connects each
// influence's world matrix, keeps its inverse as the bind-pre-matrix and the shape's world
// matrix as geomMatrix, weights each point to its -mi (5) closest influences with dropoff -dr
// (4), and saves the skeleton's bind pose in a dagPose. Returns the skinCluster's name. With
// -useComponentTags off a shape without history gets Maya's older chain: a tweak in front, and
// for each deformer a groupParts, a groupId and a deformer set ("tweakSet1", "skinCluster1Set").
// skinCluster -q -inf | -g | -mi | -nw | -omi | -sm node: its influences, geometry and settings.
// Undoable.

#include "commands/builtins/ModifierCommand.h"
#include "deformers/SkinningKernel.h"

#include <maya/MArgList.h>
#include <maya/MDagPath.h>

#include <vector>

namespace host {

class CommandFlags;

class SkinClusterCommand : public ModifierCommand
{
public:
    static void* creator() { return new SkinClusterCommand; }
    MStatus doIt(const MArgList& args) override;
    bool isUndoable() const override { return !mQuery; }

private:
    // Without component tags: a tweak in front, each deformer with its group parts, groupId and set.
    MStatus queueGroupedChain(const MObject& skin, const MDagPath& geometry);
    // Puts the new skinCluster on the geometry's history and connects, weights and poses it.
    MStatus connectSkin(const MObject& skin, const MDagPath& geometry, const std::vector<MDagPath>& influences,
                        const SkinWeightTable& weights, const CommandFlags& flags, int maxInfluences,
                        int normalize, int method, double dropoff);

    bool mQuery = false;
};

} // namespace host
