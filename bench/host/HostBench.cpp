// Host overhead baseline: plug reads, plug writes with dirty propagation and
// compute on pull, per second, on chains of small adding nodes.

#include "dg/Registry.h"
#include "dg/Scene.h"

#include <maya/MDGModifier.h>
#include <maya/MDataBlock.h>
#include <maya/MDataHandle.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MPlug.h>
#include <maya/MPxNode.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// output = input + offset
class BenchAddNode : public MPxNode
{
public:
    static MObject input, offset, output;

    static void* creator() { return new BenchAddNode; }

    static MStatus initialize()
    {
        MFnNumericAttribute num;
        input = num.create("input", "in", MFnNumericData::kDouble, 0.0);
        offset = num.create("offset", "off", MFnNumericData::kDouble, 1.0);
        output = num.create("output", "out", MFnNumericData::kDouble, 0.0);
        num.setWritable(false);
        num.setStorable(false);
        for (const MObject* a : {&input, &offset, &output}) {
            MStatus status = addAttribute(*a);
            if (!status)
                return status;
        }
        attributeAffects(input, output);
        attributeAffects(offset, output);
        return MS::kSuccess;
    }

    MStatus compute(const MPlug& plug, MDataBlock& block) override
    {
        if (plug != output)
            return MS::kUnknownParameter;
        double value = block.inputValue(input).asDouble() + block.inputValue(offset).asDouble();
        block.outputValue(output).set(value);
        return block.setClean(plug);
    }
};

MObject BenchAddNode::input, BenchAddNode::offset, BenchAddNode::output;

void check(MStatus status, const char* what)
{
    if (!status) {
        std::fprintf(stderr, "host benchmark setup failed: %s\n", what);
        std::exit(1);
    }
}

void registerType()
{
    if (host::findNodeType("benchAdd"))
        return;
    host::NodeTypeInfo info;
    info.name = "benchAdd";
    info.id = MTypeId(0x0007f3a0);
    info.creator = &BenchAddNode::creator;
    info.initialize = &BenchAddNode::initialize;
    info.pluginName = "hostBench";
    check(host::registerNodeType(info), "register benchAdd");
}

// Nodes chained output -> input; returns them in order.
std::vector<MObject> makeChain(int length)
{
    registerType();
    host::deleteAllNodes();
    std::vector<MObject> nodes;
    MDGModifier modifier;
    for (int i = 0; i < length; ++i) {
        MStatus status;
        nodes.push_back(host::createNode("benchAdd", MString(), &status));
        check(status, "create node");
        if (i > 0)
            check(modifier.connect(MPlug(nodes[i - 1], BenchAddNode::output), MPlug(nodes[i], BenchAddNode::input)),
                  "queue connection");
    }
    check(modifier.doIt(), "connect chain");
    return nodes;
}

void PlugRead(benchmark::State& state)
{
    std::vector<MObject> nodes = makeChain(1);
    MPlug plug(nodes[0], BenchAddNode::offset);
    for (auto _ : state)
        benchmark::DoNotOptimize(plug.asDouble());
    state.SetItemsProcessed(state.iterations());
    host::deleteAllNodes();
}
BENCHMARK(PlugRead);

// Each write dirties the whole chain: the end is read clean again between
// writes so that every write propagates to the last node.
void PlugWriteWithDirtyPropagation(benchmark::State& state)
{
    std::vector<MObject> nodes = makeChain(static_cast<int>(state.range(0)));
    MPlug in(nodes.front(), BenchAddNode::input);
    MPlug end(nodes.back(), BenchAddNode::output);
    double value = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        benchmark::DoNotOptimize(end.asDouble());
        state.ResumeTiming();
        in.setValue(value += 1.0);
    }
    state.SetItemsProcessed(state.iterations());
    host::deleteAllNodes();
}
BENCHMARK(PlugWriteWithDirtyPropagation)->Arg(1)->Arg(10)->Arg(100);

// Writes into an already dirty graph stop where the dirt begins.
void PlugWriteIntoDirtyGraph(benchmark::State& state)
{
    std::vector<MObject> nodes = makeChain(static_cast<int>(state.range(0)));
    MPlug in(nodes.front(), BenchAddNode::input);
    double value = 0.0;
    for (auto _ : state)
        in.setValue(value += 1.0);
    state.SetItemsProcessed(state.iterations());
    host::deleteAllNodes();
}
BENCHMARK(PlugWriteIntoDirtyGraph)->Arg(10);

// A write at the head, then a read at the tail that computes every node.
void ComputeOnPull(benchmark::State& state)
{
    std::vector<MObject> nodes = makeChain(static_cast<int>(state.range(0)));
    MPlug in(nodes.front(), BenchAddNode::input);
    MPlug end(nodes.back(), BenchAddNode::output);
    double value = 0.0;
    for (auto _ : state) {
        in.setValue(value += 1.0);
        benchmark::DoNotOptimize(end.asDouble());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    if (end.asDouble() != value + static_cast<double>(nodes.size()))
        state.SkipWithError("chain computed a wrong value");
    host::deleteAllNodes();
}
BENCHMARK(ComputeOnPull)->Arg(1)->Arg(10)->Arg(100);

} // namespace
