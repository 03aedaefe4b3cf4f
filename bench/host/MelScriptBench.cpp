// MEL loops: a script whose loop builds 10,000 names and counts those that
// match a pattern, against the same 10,000 statements written out one after
// another (each read once, the cost a loop would pay if it re-read its body)
// and against the same work in C++, in the same run.

#include "commands/MessageOutput.h"
#include "commands/mel/MelInterpreter.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

constexpr int kIterations = 10000;

const char* const kLoopScript =
    "string $names[];\n"
    "int $count = 0;\n"
    "for ($i = 0; $i < 10000; $i++) {\n"
    "    $names[size($names)] = \"node\" + $i;\n"
    "    if (gmatch($names[$i], \"node1*\")) $count++;\n"
    "}\n"
    "$count;";

std::string unrolledScript()
{
    std::string script = "string $names[];\nint $count = 0;\n";
    for (int i = 0; i < kIterations; ++i) {
        script += "$names[size($names)] = \"node\" + " + std::to_string(i) + ";\n";
        script += "if (gmatch($names[" + std::to_string(i) + "], \"node1*\")) $count++;\n";
    }
    return script + "$count;";
}

void runScript(benchmark::State& state, const std::string& script)
{
    host::MessageCapture quiet;
    for (auto _ : state) {
        host::MelValue result;
        if (!host::MelInterpreter::run(MString(script.c_str(), static_cast<int>(script.size())), &result)) {
            state.SkipWithError("the script failed");
            return;
        }
        benchmark::DoNotOptimize(result);
    }
    state.SetItemsProcessed(state.iterations() * kIterations);
}

void BM_MelLoop(benchmark::State& state)
{
    runScript(state, kLoopScript);
}
BENCHMARK(BM_MelLoop)->Unit(benchmark::kMillisecond);

void BM_MelSameStatementsWrittenOut(benchmark::State& state)
{
    runScript(state, unrolledScript());
}
BENCHMARK(BM_MelSameStatementsWrittenOut)->Unit(benchmark::kMillisecond);

void BM_CppSameWork(benchmark::State& state)
{
    for (auto _ : state) {
        std::vector<std::string> names;
        int count = 0;
        for (int i = 0; i < kIterations; ++i) {
            names.push_back("node" + std::to_string(i));
            count += names.back().compare(0, 5, "node1") == 0;
        }
        benchmark::DoNotOptimize(count);
    }
    state.SetItemsProcessed(state.iterations() * kIterations);
}
BENCHMARK(BM_CppSameWork)->Unit(benchmark::kMillisecond);

} // namespace
