#pragma once
// The built-in "blendShape": each target t moves the points of input geometry g by
// weight[t] times its offsets. A target's offsets come from its items
// inputTarget[g].inputTargetGroup[t].inputTargetItem[k], item k standing for target weight
// (k - 5000) / 1000 (6000 is the full target; others are in-betweens): a connected
// inputGeomTarget gives them as the target's points less the input's (in world space when
// "origin" is world, 0), else inputPointsTarget lists them for the points inputComponentsTarget
// names. Between items the offsets are interpolated linearly (from no offset at weight 0), and
// beyond the last they go on along the last segment. Per-point baseWeights and targetWeights
// scale them, and the envelope scales everything.

#include <maya/MDataBlock.h>
#include <maya/MItGeometry.h>
#include <maya/MMatrix.h>
#include <maya/MPxGeometryFilter.h>
#include <maya/MTypeId.h>

namespace host {

class BlendShapeNode : public MPxGeometryFilter
{
public:
    static const MTypeId id;
    static const char* const typeName;
    static void* creator();
    static MStatus initialize();
    MStatus deform(MDataBlock& block, MItGeometry& iter, const MMatrix& toWorld, unsigned int index) override;

    static MObject weight;
    static MObject inputTarget, inputTargetGroup, inputTargetItem;
    static MObject inputGeomTarget, inputPointsTarget, inputComponentsTarget, inputRelativePointsTarget,
        inputRelativeComponentsTarget;
    static MObject targetWeights, normalizationId, baseWeights;
    static MObject origin;  // 0 world, 1 local, 2 user
    static MObject topologyCheck, supportNegativeWeights, paintWeights;
};

} // namespace host
