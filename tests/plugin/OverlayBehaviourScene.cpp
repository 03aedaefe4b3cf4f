#include "OverlayBehaviourScene.h"

#include <maya/MFnDependencyNode.h>
#include <maya/MFnIntArrayData.h>
#include <maya/MIntArray.h>
#include <maya/MPlug.h>

#include <algorithm>

namespace {

const char* const kCounterNames[kCounterCount] = {"topology", "geometry", "highlight", "display", "tracked"};

const char* const kPatchArrays[] = {
    "patchVertexCounts -type Int32Array 2 4 4",
    "patchDriverVertexIndices -type Int32Array 8 0 1 3 4 4 5 7 8",
    "patchTriangleOffsets -type Int32Array 2 0 6",
    "patchTriangleCounts -type Int32Array 2 6 6",
    "patchTriangleIndices -type Int32Array 12 0 1 3 0 3 2 0 1 3 0 3 2",
    "patchEdgeOffsets -type Int32Array 2 0 8",
    "patchEdgeCounts -type Int32Array 2 8 8",
    "patchEdgeIndices -type Int32Array 16 0 1 0 2 1 3 2 3 0 1 0 2 1 3 2 3",
};

MStatus runAll(std::initializer_list<std::string> commands)
{
    for (const std::string& command : commands) {
        const MStatus status = mel(command);
        if (!status) {
            ADD_FAILURE() << command;
            return status;
        }
    }
    return MS::kSuccess;
}

} // namespace

MStatus buildDriverAndPatches()
{
    return runAll({"polyPlane -n driver -w 4 -h 4 -sx 2 -sy 2", "polyPlane -n patchA -w 1 -h 1 -sx 1 -sy 1",
                   "polyPlane -n patchB -w 1 -h 1 -sx 1 -sy 1", "createNode transform -n ctrlA",
                   "createNode transform -n ctrlB"});
}

MStatus buildBoundOverlay(const std::string& transform, const std::string& shape)
{
    MStatus status = runAll({"createNode transform -n " + transform,
                             "createNode pellixDataOverlay -n " + shape + " -p " + transform});
    for (const char* array : kPatchArrays) {
        if (!status) {
            return status;
        }
        status = runAll({"setAttr " + shape + "." + array});
    }
    if (!status) {
        return status;
    }
    return runAll({"connectAttr driverShape.worldMesh[0] " + shape + ".inMesh",
                   "connectAttr patchAShape.message " + shape + ".patchSourceMeshes[0]",
                   "connectAttr patchBShape.message " + shape + ".patchSourceMeshes[1]",
                   "connectAttr ctrlA.message " + shape + ".patchControl[0]",
                   "connectAttr ctrlB.message " + shape + ".patchControl[1]"});
}

const PellixDataOverlay* overlayNamed(const std::string& name)
{
    MStatus status;
    MFnDependencyNode fn(nodeByName(name.c_str()), &status);
    if (!status || fn.typeName() != "pellixDataOverlay") {
        ADD_FAILURE() << name << " is not an overlay";
        return nullptr;
    }
    return static_cast<const PellixDataOverlay*>(fn.userNode());
}

void refreshOverlay(const std::string& overlay)
{
    MStatus status;
    MFnDependencyNode(nodeByName(overlay.c_str())).findPlug("evaluatedMesh", true).asMObject(&status);
    EXPECT_TRUE(status) << overlay;
}

std::vector<int> selectedPatchesOf(const std::string& overlay)
{
    MStatus status;
    const MPlug plug = MFnDependencyNode(nodeByName(overlay.c_str())).findPlug("selectedPatches", true, &status);
    EXPECT_TRUE(status) << overlay;
    const MIntArray values = MFnIntArrayData(plug.asMObject()).array();
    std::vector<int> result;
    for (unsigned i = 0; i < values.length(); ++i) {
        result.push_back(values[i]);
    }
    return result;
}

Counters countersOf(const std::string& overlay)
{
    Counters counters;
    if (const PellixDataOverlay* node = overlayNamed(overlay)) {
        counters.value[kTopology] = node->topologyCounter();
        counters.value[kGeometry] = node->geometryCounter();
        counters.value[kHighlight] = node->highlightCounter();
        counters.value[kDisplay] = node->displayCounter();
        counters.value[kTracked] = node->trackedCounter();
    }
    return counters;
}

void expectBumps(const std::string& edit, std::initializer_list<Counter> bumped, const std::string& overlay)
{
    SCOPED_TRACE(edit);
    refreshOverlay(overlay);
    const Counters before = countersOf(overlay);
    ASSERT_TRUE(mel(edit));
    const Counters after = countersOf(overlay);
    for (int which = 0; which < kCounterCount; ++which) {
        if (std::find(bumped.begin(), bumped.end(), which) != bumped.end()) {
            EXPECT_GT(after.value[which], before.value[which]) << kCounterNames[which] << " not bumped";
        } else {
            EXPECT_EQ(after.value[which], before.value[which]) << kCounterNames[which] << " bumped";
        }
    }
}
