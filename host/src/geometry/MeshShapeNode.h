#pragma once
// The built-in "mesh" shape: its own geometry ("cachedInMesh", used while
// "inMesh" is not connected) plus vertex tweaks ("pnts") give "outMesh";
// each "worldMesh" element is outMesh with that instance's world matrix.

#include <maya/MArrayDataHandle.h>
#include <maya/MDataBlock.h>
#include <maya/MPlug.h>
#include <maya/MPxNode.h>
#include <maya/MTypeId.h>

#include "geometry/MeshGeometry.h"

#include <memory>
#include <vector>

namespace host {

// A mesh's geometry as a scene file gives it, piece by piece, before its
// faces arrive and make it whole.
struct MeshFileRecords
{
    std::vector<float> points;
    std::vector<int> edges;  // vertex, vertex, smooth flag per edge
    std::vector<float> userNormals;  // xyz per face-vertex, as MeshGeometry keeps them
    std::vector<MeshUVSet> uvSets;
    MString currentUVSet;
    // Faces read so far: Maya writes large meshes' faces in several setAttr runs.
    std::vector<int> faceCounts, faceConnects;
    std::vector<std::vector<int>> faceUVIds;  // per UV set, per face-vertex
    std::vector<MeshHole> holes;              // hole loops of the faces read so far
    std::vector<MeshLoopColors> loopColors;   // colour records of the faces read so far
    size_t expectedFaces = 0;                 // from "setAttr -s N .fc"; 0 when not given
};

class MeshShapeNode : public MPxNode
{
public:
    static const MTypeId id;
    static const char* const typeName;

    static void* creator();
    static MStatus initialize();

    MStatus compute(const MPlug& plug, MDataBlock& block) override;
    MPxNode::Type type() const override;

    static MObject inMesh;
    static MObject outMesh;
    static MObject cachedInMesh;
    static MObject worldMesh;
    static MObject pnts, pntx, pnty, pntz;
    // The names scene files use for the shape's own geometry: points, edges,
    // user normals, faces, UV sets and the current UV set. They hold no values; setAttr on
    // them goes through the mesh's scene-file reader (GeometryFileText).
    static MObject vrts, edge, face, uvSet, uvSetName, uvSetPoints, currentUVSet, userNormals;

    // Adds a multi of float3 vertex offsets (the "pnts" tweaks, a polyTweak's) to the
    // geometry, which is copied first when any offset moves a point; `movedVertices`, when
    // given, gets the vertices an offset moved.
    static MStatus addVertexOffsets(MArrayDataHandle offsets, MeshGeometryPtr& geometry,
                                    std::vector<unsigned>* movedVertices = nullptr);

    // Scene-file pieces read so far (created on first use).
    MeshFileRecords& fileRecords();
    void clearFileRecords() { mFileRecords.reset(); }

private:
    std::unique_ptr<MeshFileRecords> mFileRecords;
    MStatus computeOutMesh(const MPlug& plug, MDataBlock& block);
    MStatus computeWorldMesh(const MPlug& plug, MDataBlock& block);
    MeshGeometryPtr takeOwnResult(const MeshGeometryPtr& input);
    MStatus retweak(MArrayDataHandle offsets, const MeshGeometry& input, MeshGeometry& result);

    // What the last outMesh was built from, so that a change of tweaks alone edits that result's
    // points where they are, when nothing but this node holds it.
    std::weak_ptr<const MeshGeometry> mBuiltFrom;
    uint64_t mBuiltFromVersion = 0, mBuiltVersion = 0;
    std::vector<unsigned> mTweaked;  // vertices the last result moved off its input
};

} // namespace host
