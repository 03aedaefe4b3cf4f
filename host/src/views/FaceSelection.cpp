#include "views/FaceSelection.h"

#include "dg/Component.h"
#include "dg/SelectionItem.h"
#include "geometry/MeshData.h"
#include "geometry/MeshGeometry.h"
#include "geometry/MeshShapeNode.h"

#include <maya/M3dView.h>
#include <maya/MFloatPoint.h>
#include <maya/MFloatVector.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnMesh.h>
#include <maya/MItDag.h>
#include <maya/MMatrix.h>
#include <maya/MPlug.h>

namespace host {

int faceOnRay(const MDagPath& shape, const MPoint& origin, const MVector& direction)
{
    MStatus status;
    MFnMesh mesh(shape, &status);
    if (!status)
        return -1;
    MFloatPoint hitPoint;
    int face = -1;
    const bool hit = mesh.closestIntersection(MFloatPoint(float(origin.x), float(origin.y), float(origin.z)),
                                              MFloatVector(direction), nullptr, nullptr, false, MSpace::kWorld,
                                              1e7f, false, nullptr, hitPoint, nullptr, &face, nullptr, nullptr,
                                              nullptr);
    return hit ? face : -1;
}

namespace {

// The faces of one mesh inside the box and facing the camera.
void meshFacesInBox(const ViewSetup& view, const MDagPath& shape, const double box[4], std::vector<int>& faces)
{
    MObject data = MPlug(shape.node(), MeshShapeNode::outMesh).asMObject();
    const MeshData* mesh = meshDataOf(data);
    if (!mesh)
        return;
    const MeshGeometry& g = mesh->read();
    if (g.numFaces() == 0)
        return;
    const MMatrix toClip = shape.inclusiveMatrix() * view.view * view.projection;
    // Where the camera looks from, in the mesh's space: facing is the same there as in the world.
    const MMatrix toObject = shape.inclusiveMatrixInverse();
    const MMatrix eye = view.view.inverse();
    const bool perspective = view.projection[3][3] == 0.0;
    const MPoint eyePoint = MPoint(eye[3][0], eye[3][1], eye[3][2]) * toObject;
    const MVector towardsEye = MVector(eye[2][0], eye[2][1], eye[2][2]) * toObject;
    const std::vector<float>& normals = g.faceNormals();
    const float* p = &g.points[0];
    for (int f = 0, n = g.numFaces(); f < n; ++f) {
        const int first = g.offsets[std::size_t(f)], count = g.counts[std::size_t(f)];
        double c[3] = {0, 0, 0};
        for (int k = 0; k < count; ++k) {
            const float* v = p + 3 * std::size_t(g.connects[std::size_t(first + k)]);
            c[0] += v[0], c[1] += v[1], c[2] += v[2];
        }
        for (double& x : c)
            x /= count;
        const double w = c[0] * toClip[0][3] + c[1] * toClip[1][3] + c[2] * toClip[2][3] + toClip[3][3];
        if (w <= 0.0)
            continue;  // behind the camera
        const double x = (c[0] * toClip[0][0] + c[1] * toClip[1][0] + c[2] * toClip[2][0] + toClip[3][0]) / w;
        const double y = (c[0] * toClip[0][1] + c[1] * toClip[1][1] + c[2] * toClip[2][1] + toClip[3][1]) / w;
        const double px = (x + 1.0) * 0.5 * view.width, py = (y + 1.0) * 0.5 * view.height;
        if (px < box[0] || px > box[2] || py < box[1] || py > box[3])
            continue;
        const float* nf = &normals[3 * std::size_t(f)];
        const MVector look = perspective ? eyePoint - MPoint(c[0], c[1], c[2]) : towardsEye;
        if (nf[0] * look.x + nf[1] * look.y + nf[2] * look.z > 0.0)
            faces.push_back(f);
    }
}

} // namespace

std::vector<ShapeFaces> facesInBox(const ViewSetup& view, double left, double bottom, double right, double top)
{
    const double box[4] = {left, bottom, right, top};
    std::vector<ShapeFaces> picked;
    if (!(view.objectDisplay & M3dView::kDisplayMeshes))
        return picked;
    for (MItDag it(MItDag::kDepthFirst, MFn::kMesh); !it.isDone(); it.next()) {
        ShapeFaces shape;
        if (!it.getPath(shape.shape) || MFnDagNode(shape.shape).isIntermediateObject() ||
            !shape.shape.isVisible() || shape.shape.isTemplated())
            continue;
        meshFacesInBox(view, shape.shape, box, shape.faces);
        if (!shape.faces.empty())
            picked.push_back(std::move(shape));
    }
    return picked;
}

MString faceSelectCommand(const std::vector<ShapeFaces>& picked, bool shift, bool ctrl)
{
    if (picked.empty())
        // Only a plain click or box on nothing clears; modified ones there change nothing.
        return shift || ctrl ? MString() : MString("select -cl");
    MString command = MString("select ") + (shift && ctrl ? "-add" : shift ? "-tgl" : ctrl ? "-d" : "-r");
    for (const ShapeFaces& shape : picked)
        for (const MString& name :
             componentStrings(shape.shape, makeComponent(MFn::kMeshPolygonComponent, shape.faces), true, false))
            command += MString(" \"") + name + "\"";
    return command;
}

} // namespace host
