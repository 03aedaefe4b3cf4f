#pragma once
// The built-in "skinCluster": linear blend skinning of one mesh or curve. Point p with weights
// w_j (weightList[p].weights[j]) goes to  sum_j w_j * p * geomMatrix * bindPreMatrix[j] *
// matrix[j] * geomMatrix^-1, blended in by the envelope. The weights are packed once into a
// table and packed again only when they (or normalizeWeights) change, so a pose change costs
// the influences' matrices and one pass over the points. normalizeWeights "post" (2) divides
// each point's weights by their sum as it deforms. Skinning methods other than classic linear
// are warned about once and skinned linearly.

#include "deformers/SkinningKernel.h"

#include <utility>
#include <vector>

#include <maya/MDagPath.h>
#include <maya/MDataBlock.h>
#include <maya/MItGeometry.h>
#include <maya/MMatrix.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MPxGeometryFilter.h>
#include <maya/MTypeId.h>

namespace host {

class SkinClusterNode : public MPxGeometryFilter
{
public:
    static const MTypeId id;
    static const char* const typeName;

    static void* creator();
    static MStatus initialize();

    MStatus deform(MDataBlock& block, MItGeometry& iter, const MMatrix& toWorld, unsigned int index) override;

    // The transforms connected to matrix[], by index.
    static std::vector<std::pair<unsigned, MDagPath>> influencesOf(const MObject& skin);
    // The shape outputGeometry[0] feeds (through deformers stacked above); false when none.
    static bool outputShape(const MObject& skin, MDagPath& shape);
    MStatus setDependentsDirty(const MPlug& plug, MPlugArray& affected) override;

    static MObject weightList, weights;
    static MObject matrix, bindPreMatrix, geomMatrix;
    static MObject normalizeWeights;  // 0 none, 1 interactive, 2 post
    static MObject maxInfluences, maintainMaxInfluences;
    static MObject skinningMethod;  // 0 classic linear, 1 dual quaternion, 2 weight blended
    static MObject dropoff, smoothness, nurbsSamples, lockWeights, influenceColor;
    static MObject bindPose, paintTrans;
    static MObject useComponents, deformUserNormals, bindMethod, bindVolume, weightDistribution;
    static MObject dqsSupportNonRigid, dqsScale, blendWeights, heatmapFalloff;

private:
    MStatus packWeights(MDataBlock& block);
    MStatus influenceMatrices(MDataBlock& block, std::vector<SkinMatrix>& matrices);

    SkinWeightTable mTable;
    bool mTableStale = true;
    short mWarnedMethod = 0;
};

} // namespace host
