#include "deformers/BindWeights.h"

#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace host {

namespace {

double squaredDistanceToSegment(const double* p, const std::array<double, 3>& a, const std::array<double, 3>& b)
{
    double ab[3], ap[3];
    for (int k = 0; k < 3; ++k) {
        ab[k] = b[k] - a[k];
        ap[k] = p[k] - a[k];
    }
    const double length2 = ab[0] * ab[0] + ab[1] * ab[1] + ab[2] * ab[2];
    double t = length2 > 0 ? (ap[0] * ab[0] + ap[1] * ab[1] + ap[2] * ab[2]) / length2 : 0.0;
    t = std::min(1.0, std::max(0.0, t));
    double d2 = 0;
    for (int k = 0; k < 3; ++k) {
        const double d = ap[k] - t * ab[k];
        d2 += d * d;
    }
    return d2;
}

double distanceTo(const double* p, const InfluenceShape& influence)
{
    if (influence.boneEnds.empty())
        return std::sqrt(squaredDistanceToSegment(p, influence.position, influence.position));
    double best = INFINITY;
    for (const auto& end : influence.boneEnds)
        best = std::min(best, squaredDistanceToSegment(p, influence.position, end));
    return std::sqrt(best);
}

} // namespace

void closestDistanceWeights(const double* points, size_t count, const std::vector<InfluenceShape>& influences,
                            int maxInfluences, double dropoff, SkinWeightTable& table)
{
    const size_t n = influences.size();
    const size_t keep = std::max<size_t>(1, std::min<size_t>(n, size_t(std::max(1, maxInfluences))));
    std::vector<uint32_t> chosen(count * keep);
    std::vector<float> weights(count * keep);
    tbb::parallel_for(tbb::blocked_range<size_t>(0, count, 1024), [&](const tbb::blocked_range<size_t>& r) {
        std::vector<double> distance(n);
        std::vector<uint32_t> order(n);
        for (size_t p = r.begin(); p < r.end(); ++p) {
            for (size_t j = 0; j < n; ++j)
                distance[j] = distanceTo(points + 3 * p, influences[j]);
            std::iota(order.begin(), order.end(), 0u);
            std::partial_sort(order.begin(), order.begin() + keep, order.end(), [&](uint32_t a, uint32_t b) {
                return distance[a] < distance[b] || (distance[a] == distance[b] && a < b);
            });
            // A point on an influence belongs to it alone.
            const double nearest = distance[order[0]];
            double sum = 0;
            for (size_t k = 0; k < keep; ++k) {
                const double d = distance[order[k]];
                const double w = nearest <= 1e-9 ? (d <= 1e-9 ? 1.0 : 0.0) : std::pow(nearest / d, dropoff);
                weights[p * keep + k] = float(w);
                sum += w;
            }
            for (size_t k = 0; k < keep; ++k) {
                chosen[p * keep + k] = order[k];
                weights[p * keep + k] = float(weights[p * keep + k] / sum);
            }
        }
    });
    table.clear();
    std::vector<uint32_t> ids;
    std::vector<float> values;
    for (size_t p = 0; p < count; ++p) {
        ids.clear();
        values.clear();
        for (size_t k = 0; k < keep; ++k)
            if (weights[p * keep + k] > 0.0f) {
                ids.push_back(chosen[p * keep + k]);
                values.push_back(weights[p * keep + k]);
            }
        table.addPoint(ids.data(), values.data(), ids.size());
    }
}

} // namespace host
