#include "deformers/SkinningKernel.h"

#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>

namespace host {

namespace {

const SkinMatrix kIdentity = {{1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}};

template <class Real>
void skinRange(const Real* in, Real* out, size_t begin, size_t end, const SkinWeightTable& table,
               const SkinMatrix* matrices, size_t matrixCount, double envelope)
{
    const uint32_t* offsets = table.offsets.data();
    const uint32_t* influences = table.influences.data();
    const float* weights = table.weights.data();
    const size_t rows = table.pointCount();
    for (size_t p = begin; p < end; ++p) {
        const double x = in[3 * p], y = in[3 * p + 1], z = in[3 * p + 2];
        if (p >= rows || offsets[p] == offsets[p + 1]) {
            out[3 * p] = Real(x);
            out[3 * p + 1] = Real(y);
            out[3 * p + 2] = Real(z);
            continue;
        }
        double sx = 0, sy = 0, sz = 0;
        for (uint32_t k = offsets[p], last = offsets[p + 1]; k < last; ++k) {
            const double w = weights[k];
            const double* m = (influences[k] < matrixCount ? matrices[influences[k]] : kIdentity).m;
            sx += w * (x * m[0] + y * m[3] + z * m[6] + m[9]);
            sy += w * (x * m[1] + y * m[4] + z * m[7] + m[10]);
            sz += w * (x * m[2] + y * m[5] + z * m[8] + m[11]);
        }
        out[3 * p] = Real(x + envelope * (sx - x));
        out[3 * p + 1] = Real(y + envelope * (sy - y));
        out[3 * p + 2] = Real(z + envelope * (sz - z));
    }
}

template <class Real>
void skin(const Real* in, Real* out, size_t count, const SkinWeightTable& table, const SkinMatrix* matrices,
          size_t matrixCount, float envelope)
{
    constexpr size_t kGrain = 4096;
    if (count <= kGrain) {
        skinRange(in, out, 0, count, table, matrices, matrixCount, envelope);
        return;
    }
    tbb::parallel_for(tbb::blocked_range<size_t>(0, count, kGrain), [&](const tbb::blocked_range<size_t>& r) {
        skinRange(in, out, r.begin(), r.end(), table, matrices, matrixCount, envelope);
    });
}

} // namespace

void SkinWeightTable::addPoint(const uint32_t* influence, const float* weight, size_t count)
{
    influences.insert(influences.end(), influence, influence + count);
    weights.insert(weights.end(), weight, weight + count);
    offsets.push_back(uint32_t(influences.size()));
}

void SkinWeightTable::normalize()
{
    for (size_t p = 0; p + 1 < offsets.size(); ++p) {
        double sum = 0;
        for (uint32_t k = offsets[p]; k < offsets[p + 1]; ++k)
            sum += weights[k];
        if (sum == 0)
            continue;
        for (uint32_t k = offsets[p]; k < offsets[p + 1]; ++k)
            weights[k] = float(weights[k] / sum);
    }
}

void skinPoints(const float* in, float* out, size_t count, const SkinWeightTable& table, const SkinMatrix* matrices,
                size_t matrixCount, float envelope)
{
    skin(in, out, count, table, matrices, matrixCount, envelope);
}

void skinPoints(const double* in, double* out, size_t count, const SkinWeightTable& table,
                const SkinMatrix* matrices, size_t matrixCount, float envelope)
{
    skin(in, out, count, table, matrices, matrixCount, envelope);
}

} // namespace host
