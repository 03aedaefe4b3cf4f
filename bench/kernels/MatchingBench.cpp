// Binding 200,000 patch vertices to a 1,000,000-vertex driver: our cell grid
// (build plus every lookup) against a KD-tree nearest-neighbour search that
// answers the same questions on the same data.

#include "overlay/PatchMatching.h"

#include <benchmark/benchmark.h>
#include <nanoflann.hpp>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {

constexpr int kGridSide = 1000;  // driver: kGridSide² vertices
constexpr double kSpacing = 0.01;
constexpr double kTolerance = 0.0001;
constexpr int kPatches = 1000;
constexpr int kPatchRows = 10;
constexpr int kPatchColumns = 20;

struct MatchingData {
    std::vector<double> driver;  // xyz per driver vertex
    std::vector<double> patch;   // xyz per patch vertex
    bool agree = false;
    int64_t checked = 0;
};

// Driver vertices on a gently curved sheet, in row order like a modelled grid.
void makeDriver(std::vector<double>& xyz)
{
    xyz.resize(3 * static_cast<size_t>(kGridSide) * kGridSide);
    size_t k = 0;
    for (int j = 0; j < kGridSide; ++j) {
        for (int i = 0; i < kGridSide; ++i) {
            const double x = i * kSpacing - 5.0;
            const double y = j * kSpacing - 5.0;
            xyz[k++] = x;
            xyz[k++] = y;
            xyz[k++] = 0.3 * std::sin(x * 1.7) * std::cos(y * 1.3);
        }
    }
}

// Patches are blocks of driver vertices at random places; each vertex sits
// exactly on its driver vertex, or within the tolerance, or well outside it.
void makePatches(const std::vector<double>& driver, std::vector<double>& xyz)
{
    std::mt19937_64 random(7);
    std::uniform_int_distribution<int> corner(0, kGridSide - kPatchColumns - 1);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::uniform_int_distribution<int> kind(0, 3);
    xyz.clear();
    xyz.reserve(3 * static_cast<size_t>(kPatches) * kPatchRows * kPatchColumns);
    for (int p = 0; p < kPatches; ++p) {
        const int i0 = corner(random);
        const int j0 = corner(random);
        for (int r = 0; r < kPatchRows; ++r) {
            for (int c = 0; c < kPatchColumns; ++c) {
                const size_t v = static_cast<size_t>(j0 + r) * kGridSide + (i0 + c);
                double offset[3] = {0.0, 0.0, 0.0};
                const int k = kind(random);
                if (k > 1) {
                    double d[3] = {unit(random), unit(random), unit(random)};
                    const double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]) + 1e-9;
                    const double scale = (k == 2 ? 0.5 : 3.0) * kTolerance / length;
                    for (int a = 0; a < 3; ++a)
                        offset[a] = d[a] * scale;
                }
                for (int a = 0; a < 3; ++a)
                    xyz.push_back(driver[3 * v + a] + offset[a]);
            }
        }
    }
}

struct PointCloud {
    const std::vector<double>* xyz;
    size_t kdtree_get_point_count() const { return xyz->size() / 3; }
    double kdtree_get_pt(size_t i, size_t dim) const { return (*xyz)[3 * i + dim]; }
    template <class Box>
    bool kdtree_get_bbox(Box&) const
    {
        return false;
    }
};

using KdTree = nanoflann::KDTreeSingleIndexAdaptor<nanoflann::L2_Simple_Adaptor<double, PointCloud>, PointCloud, 3,
                                                   uint32_t>;

void gridMatchAll(const MatchingData& data, PatchMatching::DriverGrid& grid, std::vector<int>& out)
{
    grid.build(data.driver.data(), static_cast<int64_t>(data.driver.size() / 3), kTolerance);
    grid.findDriverVertices(data.patch.data(), static_cast<int64_t>(data.patch.size() / 3), out.data());
}

void kdMatchAll(const MatchingData& data, std::vector<int>& out)
{
    const PointCloud cloud{&data.driver};
    KdTree tree(3, cloud, nanoflann::KDTreeSingleIndexAdaptorParams(10));
    const double limit = kTolerance * kTolerance;
    const size_t n = data.patch.size() / 3;
    for (size_t k = 0; k < n; ++k) {
        uint32_t index = 0;
        double d2 = 0.0;
        tree.knnSearch(&data.patch[3 * k], 1, &index, &d2);
        out[k] = d2 < limit ? static_cast<int>(index) : -1;
    }
}

// Wherever the nearest driver vertex is unique, both must give the same
// answer: that vertex when it lies within tolerance, none otherwise.
void checkAgreement(MatchingData& data)
{
    const size_t n = data.patch.size() / 3;
    std::vector<int> ours(n);
    PatchMatching::DriverGrid grid;
    gridMatchAll(data, grid, ours);
    const PointCloud cloud{&data.driver};
    KdTree tree(3, cloud, nanoflann::KDTreeSingleIndexAdaptorParams(10));
    const double limit = kTolerance * kTolerance;
    data.agree = true;
    data.checked = 0;
    for (size_t k = 0; k < n; ++k) {
        uint32_t index[2];
        double d2[2];
        tree.knnSearch(&data.patch[3 * k], 2, index, d2);
        if (d2[1] <= d2[0])
            continue;
        ++data.checked;
        const int expected = d2[0] < limit ? static_cast<int>(index[0]) : -1;
        if (ours[k] != expected)
            data.agree = false;
    }
}

const MatchingData& matchingData()
{
    static MatchingData data = [] {
        MatchingData d;
        makeDriver(d.driver);
        makePatches(d.driver, d.patch);
        checkAgreement(d);
        return d;
    }();
    return data;
}

void reportAnswers(benchmark::State& state, const MatchingData& data, const std::vector<int>& out)
{
    int64_t matched = 0;
    for (int id : out)
        matched += id >= 0;
    state.counters["matched"] = static_cast<double>(matched);
    state.counters["checked"] = static_cast<double>(data.checked);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(out.size()));
}

// A new grid for every run, as one bind command makes: its buffers come
// fresh from the system each time.
void BM_GridBuildAndMatch(benchmark::State& state)
{
    const MatchingData& data = matchingData();
    if (!data.agree) {
        state.SkipWithError("grid and KD-tree answers differ");
        return;
    }
    std::vector<int> out(data.patch.size() / 3);
    for (auto _ : state) {
        PatchMatching::DriverGrid grid;
        gridMatchAll(data, grid, out);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    reportAnswers(state, data, out);
}

// One grid rebuilt for every run: the same work on buffers already mapped,
// as the KD-tree's allocations are recycled by the allocator.
void BM_GridRebuildAndMatch(benchmark::State& state)
{
    const MatchingData& data = matchingData();
    if (!data.agree) {
        state.SkipWithError("grid and KD-tree answers differ");
        return;
    }
    std::vector<int> out(data.patch.size() / 3);
    PatchMatching::DriverGrid grid;
    for (auto _ : state) {
        gridMatchAll(data, grid, out);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    reportAnswers(state, data, out);
}

void BM_KdTreeBuildAndMatch(benchmark::State& state)
{
    const MatchingData& data = matchingData();
    if (!data.agree) {
        state.SkipWithError("grid and KD-tree answers differ");
        return;
    }
    std::vector<int> out(data.patch.size() / 3);
    for (auto _ : state) {
        kdMatchAll(data, out);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    reportAnswers(state, data, out);
}

}  // namespace

BENCHMARK(BM_GridBuildAndMatch)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_GridRebuildAndMatch)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_KdTreeBuildAndMatch)->Unit(benchmark::kMillisecond)->MinTime(2.0);
