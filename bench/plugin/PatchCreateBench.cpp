// "pellixPatchCreate" at scale: 100 patches made one command at a time from faces of a
// 200,704-face driver, against one full "pellixDataBind" of the same 100 patch meshes, in CPU
// time measured in one run (the "ratio" counter). Building the scene is not timed; each
// iteration's commands are undone untimed so that the next one starts from the same scene.

#include "bench/CpuClock.h"

#include <maya/MGlobal.h>
#include <maya/MString.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kSide = 448;         // faces per side of the driver plane: 200,704 faces
constexpr int kPatches = 100;
constexpr int kPatchColumns = 6;   // 6 x 4 faces per patch
constexpr int kPatchRows = 4;

bool run(const std::string& mel)
{
    return MGlobal::executeCommand(MString(mel.c_str()), false, true);
}

// Each patch's faces as the user would select them: one range per row of the block.
std::vector<std::string> patchCommands()
{
    // Blocks on a coarse grid of free places, picked at random so that no two overlap.
    std::vector<int> places;
    const int across = kSide / kPatchColumns;
    const int down = kSide / kPatchRows;
    for (int i = 0; i < across * down; ++i)
        places.push_back(i);
    std::mt19937 random(5);
    std::shuffle(places.begin(), places.end(), random);
    std::vector<std::string> commands;
    for (int p = 0; p < kPatches; ++p) {
        const int column = places[static_cast<size_t>(p)] % across * kPatchColumns;
        const int row = places[static_cast<size_t>(p)] / across * kPatchRows;
        std::string command = "pellixPatchCreate -control ctrl" + std::to_string(p);
        for (int r = 0; r < kPatchRows; ++r) {
            const int first = (row + r) * kSide + column;
            command += " driver.f[" + std::to_string(first) + ":" + std::to_string(first + kPatchColumns - 1) + "]";
        }
        commands.push_back(command);
    }
    return commands;
}

bool buildScene()
{
    if (!run(std::string("loadPlugin \"") + PELLIX_PLUGIN_PATH + "\"") || !run("file -force -new") ||
        !run("polyPlane -n driver -w 100 -h 100 -ch 0 -sx " + std::to_string(kSide) + " -sy " +
             std::to_string(kSide)) ||
        !run("xform -ro 20 10 5 -t 1 2 3 driver"))
        return false;
    for (int p = 0; p < kPatches; ++p) {
        if (!run("createNode transform -n ctrl" + std::to_string(p)))
            return false;
    }
    return true;
}

// 100 patches made one by one, against one full bind of the 100 meshes they made.
void BM_PatchCreate100AgainstFullBind(benchmark::State& state)
{
    if (!buildScene()) {
        state.SkipWithError("cannot build the scene");
        return;
    }
    const std::vector<std::string> commands = patchCommands();
    std::string bind = "pellixDataBind driver";
    for (int p = 0; p < kPatches; ++p)
        bind += " ctrl" + std::to_string(p) + "_patch";

    double creating = 0.0;
    double binding = 0.0;
    for (auto _ : state) {
        double start = bench::cpuSeconds();
        for (const std::string& command : commands) {
            if (!run(command)) {
                state.SkipWithError("pellixPatchCreate failed");
                return;
            }
        }
        creating += bench::cpuSeconds() - start;
        start = bench::cpuSeconds();
        if (!run(bind)) {
            state.SkipWithError("pellixDataBind failed");
            return;
        }
        binding += bench::cpuSeconds() - start;
        state.PauseTiming();
        for (int i = 0; i <= kPatches; ++i)
            run("undo");
        state.ResumeTiming();
    }
    const double iterations = double(state.iterations());
    state.counters["create100_ms"] = creating / iterations * 1e3;
    state.counters["fullBind_ms"] = binding / iterations * 1e3;
    state.counters["ratio"] = creating / binding;
}
BENCHMARK(BM_PatchCreate100AgainstFullBind)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
