#pragma once
// Saving and restoring "dagPose" nodes: the bind pose a skinCluster is made in, and
// "dagPose -restore" putting a skeleton back into it.

#include "dg/Data.h"

#include <maya/MDagModifier.h>
#include <maya/MDagPath.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MStringArray.h>

#include <vector>

namespace host {

// A transform's local transformation in Maya's "xform" parts (a joint's orient and inverse
// parent scale included).
XformParts xformPartsOf(const MObject& transform);

// Queues a new "bindPose#" dagPose holding the joints and every transform above them (in the
// order parents first), each joint's "bindPose" set to its world matrix and connected to the
// pose's worldMatrix, the top members marked global. Returns the node in `pose`.
MStatus queueBindPose(MDagModifier& modifier, const std::vector<MDagPath>& joints, MObject& pose);

// Queues the channel changes that put the pose's members back as it saved them (translate,
// rotate, scale, shear, rotate axis and, on joints, the joint orient). Channels that are locked
// or driven by a connection keep their values; `kept` gets the names of their nodes.
MStatus queueRestore(MDGModifier& modifier, const MObject& pose, MStringArray& kept);

} // namespace host
