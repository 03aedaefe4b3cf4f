// The host's deformer path on a 200,000-vertex mesh: one step is a changed
// deformer input, dirty propagation to the shape, and a pull of the shape's
// points through the deformer's compute (input copied to output, every point
// read and written through MItGeometry's bulk calls). Reference: copying the
// same points as floats, and as an MPointArray, in the same run; "ratio" is a step over the
// MPointArray copy (the copy the deformer itself makes to read and write the points).

#include "../CpuClock.h"
#include "commands/scene/SceneFile.h"
#include "dg/Registry.h"

#include <maya/MDataBlock.h>
#include <maya/MDataHandle.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnMesh.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MGlobal.h>
#include <maya/MItGeometry.h>
#include <maya/MPlug.h>
#include <maya/MPointArray.h>
#include <maya/MPxDeformerNode.h>
#include <maya/MSelectionList.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Lifts every point by envelope × amount along y.
class BenchLiftDeformer : public MPxDeformerNode
{
public:
    static MObject amount;
    static void* creator() { return new BenchLiftDeformer; }
    static MStatus initialize()
    {
        MFnNumericAttribute numeric;
        amount = numeric.create("amount", "amt", MFnNumericData::kDouble, 0.0);
        MStatus status = addAttribute(amount);
        return status ? attributeAffects(amount, outputGeom) : status;
    }
    MStatus deform(MDataBlock& block, MItGeometry& iter, const MMatrix&, unsigned int) override
    {
        const double lift = block.inputValue(envelope).asFloat() * block.inputValue(amount).asDouble();
        MPointArray points;
        MStatus status = iter.allPositions(points);
        if (!status)
            return status;
        for (MPoint& p : points)
            p.y += lift;
        return iter.setAllPositions(points);
    }
};
MObject BenchLiftDeformer::amount;

constexpr int kSide = 446;  // 447 x 447 = 199,809 vertices

void setUpScene()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    host::NodeTypeInfo info;
    info.name = "benchLiftDeformer";
    info.id = MTypeId(0x0007F5B8);
    info.creator = &BenchLiftDeformer::creator;
    info.initialize = &BenchLiftDeformer::initialize;
    info.type = MPxNode::kDeformerNode;
    if (!host::SceneFile::newScene() || !host::registerNodeType(info) ||
        !MGlobal::executeCommand(MString("polyPlane -n grid -w 10 -h 10 -sx ") + kSide + " -sy " + kSide +
                                 "; deformer -type benchLiftDeformer -n lift grid")) {
        std::fprintf(stderr, "deformer benchmark: scene set-up failed\n");
        std::exit(1);
    }
}

MObject nodeNamed(const char* name)
{
    MSelectionList list;
    list.add(name);
    MObject node;
    list.getDependNode(0, node);
    return node;
}

// A copy of the mesh's points as an MPointArray.
double pointArrayCopySeconds()
{
    MPointArray from(unsigned((kSide + 1) * (kSide + 1)), MPoint(1, 2, 3));
    MPointArray to;
    return bench::cpuSecondsPer(
        [&] {
            to = from;
            benchmark::DoNotOptimize(&to[0]);
            benchmark::ClobberMemory();
        },
        20);
}

void BM_DeformerStep(benchmark::State& state)
{
    setUpScene();
    MPlug amount = MFnDependencyNode(nodeNamed("lift")).findPlug("amount", true);
    MPlug outMesh = MFnDependencyNode(nodeNamed("gridShape")).findPlug("outMesh", true);
    double step = 0.0;
    bench::runAgainst(state, pointArrayCopySeconds(), [&] {
        amount.setValue(step += 0.001);
        MObject data = outMesh.asMObject();
        MStatus status;
        const float* points = MFnMesh(data).getRawPoints(&status);
        benchmark::DoNotOptimize(points);
    });
    state.counters["vertices"] = double((kSide + 1) * (kSide + 1));
}
BENCHMARK(BM_DeformerStep)->Unit(benchmark::kMillisecond);

void BM_CopyFloatPoints(benchmark::State& state)
{
    std::vector<float> from(size_t(kSide + 1) * (kSide + 1) * 3, 1.0f), to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size() * sizeof(float));
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CopyFloatPoints)->Unit(benchmark::kMillisecond);

void BM_CopyPointArray(benchmark::State& state)
{
    MPointArray from(unsigned((kSide + 1) * (kSide + 1)), MPoint(1, 2, 3));
    MPointArray to;
    for (auto _ : state) {
        to = from;
        benchmark::DoNotOptimize(&to[0]);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CopyPointArray)->Unit(benchmark::kMillisecond);

} // namespace
