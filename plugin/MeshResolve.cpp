#include "plugin/MeshResolve.h"

#include "plugin/StatusCheck.h"

#include <maya/MDagPath.h>
#include <maya/MFn.h>
#include <maya/MFnDagNode.h>
#include <maya/MObject.h>

namespace {
const char* const kStatusSource = "meshResolve";

// Whether the node is a mesh and whether it is an intermediate object.
MStatus classify(const MObject& node, bool& mesh, bool& intermediate)
{
    // The node itself, not the path: a transform's path also reports its shape's types.
    mesh = node.hasFn(MFn::kMesh);
    intermediate = false;
    if (!mesh)
        return MS::kSuccess;
    MStatus status;
    MFnDagNode dagFn(node, &status);
    PELLIX_CHECK(status);
    intermediate = dagFn.isIntermediateObject(&status);
    PELLIX_CHECK(status);
    return MS::kSuccess;
}
} // namespace

MStatus resolveMesh(MDagPath& path, MeshResolution& resolution)
{
    resolution = MeshResolution::kNoMesh;
    MStatus status;
    const MObject node = path.node(&status);
    PELLIX_CHECK(status);
    bool mesh = false;
    bool intermediate = false;
    PELLIX_PASS_ON(classify(node, mesh, intermediate));
    if (mesh) {
        resolution = intermediate ? MeshResolution::kIntermediate : MeshResolution::kMesh;
        return MS::kSuccess;
    }

    unsigned shapeCount = 0;
    PELLIX_CHECK(path.numberOfShapesDirectlyBelow(shapeCount));
    for (unsigned i = 0; i < shapeCount; ++i) {
        PELLIX_CHECK(path.extendToShapeDirectlyBelow(i));
        const MObject shape = path.node(&status);
        PELLIX_CHECK(status);
        PELLIX_PASS_ON(classify(shape, mesh, intermediate));
        if (mesh && !intermediate) {
            resolution = MeshResolution::kMesh;
            return MS::kSuccess;
        }
        PELLIX_CHECK(path.pop());
    }
    return MS::kSuccess;
}
