// Steady evaluation of a "surfacePin" node with 10,000 pins on a deforming
// 40,000-vertex mesh: every step gives the mesh new points, then reads every
// pin's output matrix as the pinned controls would. Beside it, in the same
// run, the steps with the outputs left unread (the host's point change and
// dirty propagation) and with only the mesh pulled (the host's mesh update and
// normals), so the host's share of a step can be read off. "ratio" is a steady
// step over a step with the mesh pulled plus the pin kernel on the pulled
// points and normals, measured in the same run.

#include "bench/CpuClock.h"
#include "pins/PinFrameMath.h"

#include <maya/MDagPath.h>
#include <maya/MDoubleArray.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnDoubleArrayData.h>
#include <maya/MFnIntArrayData.h>
#include <maya/MFnMatrixData.h>
#include <maya/MFnMesh.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MMatrix.h>
#include <maya/MPlug.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kPins = 10000;
constexpr int kSide = 200;  // vertices per side of the plane

void require(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "PinEvaluationBench: %s failed\n", what);
        std::exit(1);
    }
}

MObject dependNode(const char* name)
{
    MSelectionList list;
    MObject node;
    require(list.add(name) && list.getDependNode(0, node), name);
    return node;
}

void setArray(const MObject& node, const char* attribute, const MIntArray& values)
{
    MFnIntArrayData fn;
    MStatus status;
    const MObject data = fn.create(values, &status);
    require(status, "int array data");
    require(MFnDependencyNode(node).findPlug(attribute, true).setMObject(data), attribute);
}

void setArray(const MObject& node, const char* attribute, const MDoubleArray& values)
{
    MFnDoubleArrayData fn;
    MStatus status;
    const MObject data = fn.create(values, &status);
    require(status, "double array data");
    require(MFnDependencyNode(node).findPlug(attribute, true).setMObject(data), attribute);
}

// The plane, its pin node bound to random triangles, and two poses of the
// plane's points to alternate between.
struct PinScene {
    MDagPath shape;
    MObject pinNode;
    MPlug outputMatrix;
    MPlug outMesh;
    MPointArray poses[2];
    int step = 0;
    std::vector<PinFrameMath::PinBinding> bindings;  // the pins as the kernel reads them

    PinScene()
    {
        require(MGlobal::executeCommand(MString("loadPlugin \"") + PELLIX_PLUGIN_PATH + "\""), "loadPlugin");
        const std::string plane = "polyPlane -n pinPlane -w 20 -h 20 -sx " + std::to_string(kSide - 1) + " -sy " +
                                  std::to_string(kSide - 1);
        require(MGlobal::executeCommand(plane.c_str()), "polyPlane");
        require(MGlobal::executeCommand("createNode surfacePin -n benchPin"), "createNode surfacePin");
        require(MGlobal::executeCommand("connectAttr pinPlaneShape.worldMesh[0] benchPin.deformedGeometry"),
                "connectAttr");
        MSelectionList list;
        require(list.add("pinPlaneShape") && list.getDagPath(0, shape), "pinPlaneShape");
        pinNode = dependNode("benchPin");
        bind();

        MFnMesh mesh(shape);
        MPointArray points;
        require(mesh.getPoints(points), "getPoints");
        for (int k = 0; k < 2; ++k) {
            poses[k] = points;
            for (unsigned i = 0; i < points.length(); ++i)
                poses[k][i].y = 0.5 * std::sin(points[i].x * 0.7 + k) * std::cos(points[i].z * 0.4);
        }
        MFnDependencyNode pin(pinNode);
        outputMatrix = pin.findPlug("outputMatrix", true);
        outMesh = MFnDependencyNode(shape.node()).findPlug("outMesh", true);
    }

    // Pins on the first triangle of random faces, with random weights inside it.
    void bind()
    {
        MFnMesh mesh(shape);
        std::mt19937 random(5);
        std::uniform_int_distribution<int> face(0, mesh.numPolygons() - 1);
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        MIntArray vertexIds, normalIds, faceVertices, faceNormals;
        MDoubleArray weights, tangents;
        for (int i = 0; i < kPins; ++i) {
            const int f = face(random);
            require(mesh.getPolygonVertices(f, faceVertices) && mesh.getFaceNormalIds(f, faceNormals), "face ids");
            double w1 = unit(random), w2 = unit(random);
            if (w1 + w2 > 1.0) {
                w1 = 1.0 - w1;
                w2 = 1.0 - w2;
            }
            for (unsigned k = 0; k < 3; ++k) {
                vertexIds.append(faceVertices[k]);
                normalIds.append(faceNormals[k]);
            }
            weights.append(1.0 - w1 - w2);
            weights.append(w1);
            weights.append(w2);
            tangents.append(1.0);
            tangents.append(unit(random) - 0.5);
            PinFrameMath::PinBinding pin{};
            for (unsigned k = 0; k < 3; ++k) {
                pin.vertexIds[k] = faceVertices[k];
                pin.normalIds[k] = faceNormals[k];
                pin.weights[k] = float(weights[weights.length() - 3 + k]);
            }
            pin.tangentCoeffs[0] = float(tangents[tangents.length() - 2]);
            pin.tangentCoeffs[1] = float(tangents[tangents.length() - 1]);
            bindings.push_back(pin);
        }
        setArray(pinNode, "vertexIndices", vertexIds);
        setArray(pinNode, "normalIndices", normalIds);
        setArray(pinNode, "baryWeights", weights);
        setArray(pinNode, "bindTangents", tangents);
    }

    void movePoints()
    {
        MFnMesh mesh(shape);
        require(mesh.setPoints(poses[step++ % 2]), "setPoints");
    }

    // Reads every pin's matrix; the first read computes them all.
    double pullOutputs()
    {
        double sum = 0.0;
        MStatus status;
        for (unsigned i = 0; i < unsigned(kPins); ++i) {
            const MObject data = outputMatrix.elementByLogicalIndex(i, &status).asMObject(&status);
            require(status, "outputMatrix");
            sum += MFnMatrixData(data).matrix()(3, 1);
        }
        return sum;
    }

    // The mesh as the pin node reads it: the new points and their normals.
    double pullMesh()
    {
        MStatus status;
        MFnMesh mesh(outMesh.asMObject(&status));
        require(status, "outMesh");
        const float* normals = mesh.getRawNormals(&status);
        require(status && normals != nullptr, "normals");
        return normals[0] + mesh.getRawPoints(&status)[1];
    }
};

PinScene& scene()
{
    static PinScene s;
    return s;
}

void reportPerStep(benchmark::State& state)
{
    state.counters["steps_per_s"] = benchmark::Counter(1.0, benchmark::Counter::kIsIterationInvariantRate);
}

// CPU seconds of a step with the mesh pulled plus the pins' kernel on the pulled mesh.
double meshPullAndKernelSeconds()
{
    PinScene& s = scene();
    const double pull = bench::cpuSecondsPer(
        [&] {
            s.movePoints();
            benchmark::DoNotOptimize(s.pullMesh());
        },
        10);
    MStatus status;
    MFnMesh mesh(s.outMesh.asMObject(&status));
    PinFrameMath::FrameInputs inputs;
    inputs.points = mesh.getRawPoints(&status);
    inputs.normals = mesh.getRawNormals(&status);
    require(status && inputs.points && inputs.normals, "raw mesh");
    std::vector<PinFrameMath::Matrix4> outputs(s.bindings.size());
    const double kernel = bench::cpuSecondsPer(
        [&] {
            PinFrameMath::evaluatePins(inputs, s.bindings.data(), int(s.bindings.size()), outputs.data());
            benchmark::ClobberMemory();
        },
        20);
    return pull + kernel;
}

void BM_SurfacePinSteadyEvaluation(benchmark::State& state)
{
    PinScene& s = scene();
    bench::runAgainst(state, meshPullAndKernelSeconds(), [&] {
        s.movePoints();
        benchmark::DoNotOptimize(s.pullOutputs());
    });
    reportPerStep(state);
}

void BM_SurfacePinPointsChangedOutputsUnread(benchmark::State& state)
{
    PinScene& s = scene();
    for (auto _ : state)
        s.movePoints();
    reportPerStep(state);
}

void BM_SurfacePinPointsChangedMeshPulled(benchmark::State& state)
{
    PinScene& s = scene();
    for (auto _ : state) {
        s.movePoints();
        benchmark::DoNotOptimize(s.pullMesh());
    }
    reportPerStep(state);
}

}  // namespace

BENCHMARK(BM_SurfacePinSteadyEvaluation)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SurfacePinPointsChangedOutputsUnread)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SurfacePinPointsChangedMeshPulled)->Unit(benchmark::kMillisecond)->UseRealTime();
