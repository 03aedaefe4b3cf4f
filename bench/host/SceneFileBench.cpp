// Opening and saving a ~100 MB Maya ASCII scene of stored meshes (32 grids of
// 19,881 vertices with points, edges, faces and UVs written in Maya's chunks),
// each against its floor measured in the same run: reading the same file and
// splitting it into numbers with strtod for the open, writing the same numbers
// with std::to_chars into a file for the save. The ratio open / floor is the
// figure to watch (goal: at most 2).

#include "commands/scene/SceneFile.h"

#include <maya/MGlobal.h>

#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

constexpr int kMeshes = 32;
constexpr int kSide = 140;  // quads per side: 141 x 141 = 19,881 vertices

// Points and UVs are floats, written as Maya writes them: the shortest text that reads back as the float.
void appendFloat(std::string& out, float value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out += ' ';
    out.append(buffer, result.ptr);
}

void appendNumber(std::string& out, double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out += ' ';
    out.append(buffer, result.ptr);
}

void appendInt(std::string& out, long value)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out += ' ';
    out.append(buffer, result.ptr);
}

// "setAttr -s N \".x\";" then runs of at most `chunk` elements, as Maya writes big arrays.
template <class WriteElement>
void writeChunked(std::string& out, const char* attr, const char* type, int count, int chunk, WriteElement element)
{
    out += "\tsetAttr -s " + std::to_string(count) + " \"" + attr + "\";\n";
    for (int start = 0; start < count; start += chunk) {
        const int last = std::min(count, start + chunk) - 1;
        out += "\tsetAttr \"" + std::string(attr) + "[" + std::to_string(start) + ":" + std::to_string(last) + "]\"";
        out += type;
        for (int i = start; i <= last; ++i)
            element(i);
        out += ";\n";
    }
}

std::string generateScene()
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> jitter(-0.01f, 0.01f);
    const int rowVerts = kSide + 1;
    const int verts = rowVerts * rowVerts;
    const int horizontal = kSide * rowVerts;  // edges along x
    const int edges = 2 * horizontal;
    const int faces = kSide * kSide;
    std::string out = "//Maya ASCII 2023 scene\n//Name: bench.ma\nrequires maya \"2023\";\n"
                      "currentUnit -l centimeter -a degree -t film;\n";
    for (int m = 0; m < kMeshes; ++m) {
        const std::string name = "grid" + std::to_string(m);
        out += "createNode transform -n \"" + name + "\";\n";
        out += "\tsetAttr \".t\" -type \"double3\" " + std::to_string(m * 12) + " 0 0 ;\n";
        out += "createNode mesh -n \"" + name + "Shape\" -p \"" + name + "\";\n";
        out += "\tsetAttr -k off \".v\";\n\tsetAttr \".uvst[0].uvsn\" -type \"string\" \"map1\";\n";
        writeChunked(out, ".uvst[0].uvsp", " -type \"float2\"", verts, 250, [&](int i) {
            appendFloat(out, float(i % rowVerts) / kSide + jitter(random));
            appendFloat(out, float(i / rowVerts) / kSide + jitter(random));
        });
        out += "\tsetAttr \".cuvs\" -type \"string\" \"map1\";\n";
        writeChunked(out, ".vt", "", verts, 166, [&](int i) {
            appendFloat(out, (i % rowVerts) * 0.1f - 7.0f + jitter(random));
            appendFloat(out, jitter(random));
            appendFloat(out, (i / rowVerts) * 0.1f - 7.0f + jitter(random));
        });
        // Edges: first the horizontal ones (row r, column c), then the vertical ones.
        writeChunked(out, ".ed", "", edges, 166, [&](int e) {
            int a, b;
            if (e < horizontal) {
                a = (e / kSide) * rowVerts + e % kSide;
                b = a + 1;
            } else {
                a = e - horizontal;
                b = a + rowVerts;
            }
            appendInt(out, a);
            appendInt(out, b);
            appendInt(out, 0);
        });
        out += "\tsetAttr -s " + std::to_string(faces) + " \".fc\";\n";
        for (int start = 0; start < faces; start += 500) {
            const int last = std::min(faces, start + 500) - 1;
            out += "\tsetAttr \".fc[" + std::to_string(start) + ":" + std::to_string(last) +
                   "]\" -type \"polyFaces\" \n";
            for (int f = start; f <= last; ++f) {
                const int r = f / kSide, c = f % kSide;
                const int bottom = r * kSide + c, top = (r + 1) * kSide + c;
                const int left = horizontal + r * rowVerts + c, right = left + 1;
                const int v = r * rowVerts + c;
                out += "\t\tf 4";
                appendInt(out, bottom);
                appendInt(out, right);
                appendInt(out, -1 - top);
                appendInt(out, -1 - left);
                out += "\n\t\tmu 0 4";
                appendInt(out, v);
                appendInt(out, v + 1);
                appendInt(out, v + rowVerts + 1);
                appendInt(out, v + rowVerts);
                out += f == last ? ";\n" : "\n";
            }
        }
    }
    out += "// End of bench.ma\n";
    return out;
}

// A temporary folder for the scene and what is saved, removed at exit.
struct TempFolder
{
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("pellix-scenebench-" + std::to_string(::getpid()));
    TempFolder() { std::filesystem::create_directories(path); }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

std::string folder()
{
    static const TempFolder temp;
    return temp.path.string();
}

// The generated scene, written once per process.
const std::string& scenePath()
{
    static const std::string path = [] {
        const std::string file = folder() + "/bench.ma";
        const std::string text = generateScene();
        std::ofstream(file, std::ios::binary) << text;
        return file;
    }();
    return path;
}

std::string readWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The parsing floor: every word of the file that reads as a number, by strtod.
std::vector<double> splitNumbers(const std::string& text)
{
    std::vector<double> numbers;
    const char* p = text.c_str();
    const char* end = p + text.size();
    while (p < end) {
        while (p < end && (*p == ' ' || *p == '\n' || *p == '\t' || *p == ';'))
            ++p;
        const char* word = p;
        while (p < end && *p != ' ' && *p != '\n' && *p != '\t' && *p != ';')
            ++p;
        if (p > word && (*word == '-' || *word == '.' || (*word >= '0' && *word <= '9'))) {
            char* used = nullptr;
            const double value = std::strtod(word, &used);
            if (used == p)
                numbers.push_back(value);
        }
    }
    return numbers;
}

void fail(const char* what)
{
    std::fprintf(stderr, "scene file benchmark: %s failed\n", what);
    std::exit(1);
}

void BM_OpenScene(benchmark::State& state)
{
    const MString path(scenePath().c_str());
    for (auto _ : state)
        if (!host::SceneFile::open(path))
            fail("open");
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(std::filesystem::file_size(scenePath())));
}
BENCHMARK(BM_OpenScene)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenFloor_ReadAndStrtod(benchmark::State& state)
{
    size_t count = 0;
    for (auto _ : state) {
        const std::string text = readWhole(scenePath());
        const std::vector<double> numbers = splitNumbers(text);
        count = numbers.size();
        benchmark::DoNotOptimize(numbers.data());
    }
    state.counters["numbers"] = double(count);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(std::filesystem::file_size(scenePath())));
}
BENCHMARK(BM_OpenFloor_ReadAndStrtod)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SaveScene(benchmark::State& state)
{
    if (!host::SceneFile::open(MString(scenePath().c_str())))
        fail("open");
    const MString saved((folder() + "/saved.ma").c_str());
    for (auto _ : state)
        if (!host::SceneFile::save(saved))
            fail("save");
}
BENCHMARK(BM_SaveScene)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SaveFloor_ToCharsAndWrite(benchmark::State& state)
{
    const std::vector<double> numbers = splitNumbers(readWhole(scenePath()));
    const std::string path = folder() + "/floor.txt";
    for (auto _ : state) {
        std::string out;
        out.reserve(numbers.size() * 12);
        for (double value : numbers)
            appendNumber(out, value);
        std::ofstream(path, std::ios::binary | std::ios::trunc).write(out.data(), std::streamsize(out.size()));
    }
}
BENCHMARK(BM_SaveFloor_ToCharsAndWrite)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
