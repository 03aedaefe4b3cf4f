#pragma once
// Skin weights by closest distance, as a bind gives them: each point is weighted to its
// `maxInfluences` nearest influences, influence j by (1 / d_j)^dropoff normalised to sum to one,
// where d_j is the distance to the influence's bones (the segments to its child joints) or,
// without bones, to its position. No host types.

#include "deformers/SkinningKernel.h"

#include <array>
#include <vector>

namespace host {

struct InfluenceShape
{
    std::array<double, 3> position{};
    std::vector<std::array<double, 3>> boneEnds;  // child joint positions
};

void closestDistanceWeights(const double* points, size_t count, const std::vector<InfluenceShape>& influences,
                            int maxInfluences, double dropoff, SkinWeightTable& table);

} // namespace host
