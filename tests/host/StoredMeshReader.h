#pragma once
// A small reader of Maya ASCII scenes, written apart from the host's own, that
// finds the meshes a scene stores and works out their counts and world positions
// from the text alone: a second opinion the host's reading is checked against.

#include <array>
#include <map>
#include <string>
#include <vector>

namespace stored {

using Vec3 = std::array<double, 3>;
using Mat4 = std::array<std::array<double, 4>, 4>;  // row vectors: p' = p * M

Mat4 identity();
Mat4 multiply(const Mat4& a, const Mat4& b);
Vec3 transformPoint(const Vec3& p, const Mat4& m);

// The channels of a transform as the file sets them (degrees, file units).
struct TransformChannels
{
    Vec3 translate{0, 0, 0}, rotate{0, 0, 0}, scale{1, 1, 1}, shear{0, 0, 0};
    Vec3 rotatePivot{0, 0, 0}, scalePivot{0, 0, 0}, rotatePivotTranslate{0, 0, 0}, scalePivotTranslate{0, 0, 0};
    Vec3 rotateAxis{0, 0, 0};
    int rotateOrder = 0;  // xyz yzx zxy xzy yxz zyx
};

// [-sp] S Sh [sp] [spt] [-rp] Ra R [rp] [rpt] T, for row vectors.
Mat4 localMatrix(const TransformChannels& channels);

struct DagNode
{
    std::string type, name;
    int parent = -1;             // index into Scene::nodes, -1 at the world
    bool parentKnown = true;     // false when -p names a node the file does not create
    bool drivenChannels = false; // a transform channel is the end of a connection
    TransformChannels channels;
    // Meshes.
    bool storesVertices = false, intermediate = false, hasInMesh = false;
    std::vector<Vec3> vertices, tweaks;
    int declaredVertexCount = -1;
    int faceCount = 0;
};

struct Scene
{
    std::vector<DagNode> nodes;
    double unitToCentimetres = 1;  // the file's linear unit

    std::string fullPath(int node) const;
    // False when a node above is not a plain transform, is driven by a connection or
    // comes from elsewhere (a reference): its world place is then not the file's alone.
    bool worldIsStatic(int node) const;
    Mat4 worldMatrix(int node) const;  // of the node's own transform chain, itself included
    std::vector<Vec3> localPoints(int mesh) const;  // vertices plus their tweaks
};

// Reads the file's DAG nodes, the transform channels and stored mesh data.
// Throws std::runtime_error when the file cannot be read.
Scene readScene(const std::string& path);

} // namespace stored
