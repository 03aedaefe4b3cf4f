#pragma once
// Ratios between benchmarks measured in one run, in CPU time of the whole process: on a loaded
// machine the wall clock counts other programs' turns, and some steps run on worker threads.

#include <benchmark/benchmark.h>

#include <ctime>

namespace bench {

inline double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Mean CPU seconds of one call of `step`, after one call left untimed.
template <class Step>
double cpuSecondsPer(Step&& step, int passes)
{
    step();
    const double start = cpuSeconds();
    for (int i = 0; i < passes; ++i)
        step();
    return (cpuSeconds() - start) / passes;
}

// Runs the benchmark loop over `step` and prints its CPU time per step over `baseline` CPU
// seconds as "ratio", the baseline beside it in milliseconds.
template <class Step>
void runAgainst(benchmark::State& state, double baseline, Step&& step)
{
    const double start = cpuSeconds();
    for (auto _ : state)
        step();
    const double perStep = (cpuSeconds() - start) / double(state.iterations());
    state.counters["ratio"] = perStep / baseline;
    state.counters["baseline_ms"] = baseline * 1e3;
}

} // namespace bench
