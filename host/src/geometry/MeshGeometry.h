#pragma once
// Polygon mesh geometry: points, faces, edges with their smoothing, UV sets,
// and the derived data the queries need (normals, triangles, a bounding-volume
// hierarchy), built lazily once per geometry version and thread-safe to read.

#include "geometry/SharedArray.h"

#include <maya/MString.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace host {

class MeshBvh;

struct MeshUVSet
{
    MString name;
    std::vector<float> u, v;
    std::vector<int> ids;  // per face-vertex; -1 where the face has no UVs
};

// A hole in a face: a loop of vertices inside the face's own loop. Its
// vertices are not corners of the face (numPolygonVertices leaves them out),
// but its edges are edges of the mesh.
struct MeshHole
{
    int face = 0;
    std::vector<int> vertices;
    std::vector<int> edges;               // per corner: the edge to the next corner (built with the edges)
    std::vector<std::vector<int>> uvIds;  // per UV set: one id per corner, or empty when the set maps none
};

// Colour ids a scene file gives one loop of a face: "mc" records of a colour
// set, or the older "fc" form (set -1). Kept to be written back.
struct MeshLoopColors
{
    int face = 0;
    int loop = 0;  // 0: the face's own loop; k: its k-th hole
    int set = -1;
    std::vector<int> ids;
};

class MeshGeometry
{
public:
    MeshGeometry();
    MeshGeometry(const MeshGeometry& other);
    MeshGeometry& operator=(const MeshGeometry&) = delete;
    ~MeshGeometry();

    // Replaces the topology; edges are rebuilt (borders hard, others smooth).
    // Fails (false, with a reason) on counts below 3 or vertex ids out of range.
    bool setTopology(std::vector<float> points, std::vector<int> counts, std::vector<int> connects,
                     MString* error = nullptr);
    // Replaces the points (same count); drops derived data.
    void setPoints(std::vector<float> points);
    // Marks every edge hard (true) or smooth (false).
    void setAllEdgesHard(bool hard);
    void setEdgeHard(int edge, bool hard);
    // Takes the smooth flags of edges given by their vertex pairs (edges
    // missing from the list keep theirs).
    void setSmoothingByVertexPairs(const std::vector<int>& pairs, const std::vector<char>& smooth);
    // Replaces the holes (ordered by face, each loop at least 3 vertices of
    // this mesh) and rebuilds the edges, so smoothing must be set after.
    // Fails (false, with a reason) on a bad face or vertex id.
    bool setHoles(std::vector<MeshHole> newHoles, MString* error = nullptr);
    bool hasHoles() const { return !holes.empty(); }
    // Adds or replaces a UV set; ids per face-vertex. False when ids don't fit.
    bool setUVSet(const MString& name, std::vector<float> u, std::vector<float> v, std::vector<int> ids);
    int uvSetIndex(const MString& name) const;  // -1 when missing
    // Set named by `name` (null or empty: the current one), or null.
    const MeshUVSet* uvSet(const MString* name) const;
    // Drops derived data after a direct edit of the members below.
    void touch();
    // The same after an edit of the points only: normal ids, which depend on
    // the faces and edges alone, are kept.
    void touchPoints();

    int numVertices() const { return int(points.size() / 3); }
    int numFaces() const { return int(counts.size()); }
    int numFaceVertices() const { return int(connects.size()); }
    int numEdges() const { return int(edgeVertices.size() / 2); }

    // Normals: one per (vertex, group of faces around it joined by smooth edges).
    // The first group of vertex v has normal id v; further groups follow.
    const std::vector<int>& normalIds() const;      // per face-vertex
    const std::vector<float>& normals() const;      // xyz per normal id
    const std::vector<float>& faceNormals() const;  // xyz per face (unit, Newell)
    // Triangles: per face a count, then the three face-relative corners of
    // each. A face with holes has none: a fan over its own loop would cover them.
    const std::vector<int>& triangleCounts() const;
    const std::vector<int>& triangleCorners() const;  // face-relative corner indices
    const std::vector<int>& triangleOffsets() const;  // first triangle of each face (size faces+1)
    const MeshBvh& bvh() const;

    uint64_t version() const { return serial; }

    // Copies of a geometry share these until one writes them (SharedArray.h), so a copy made
    // to move the points copies the points alone.
    SharedArray<float> points;      // xyz
    SharedArray<int> counts;        // vertices per face
    SharedArray<int> connects;      // vertex ids, face after face
    SharedArray<int> offsets;       // first face-vertex of each face (size faces+1)
    SharedArray<int> edgeVertices;  // two vertex ids per edge
    SharedArray<char> edgeSmooth;   // per edge
    SharedArray<int> faceEdges;     // per face-vertex: edge from this corner to the next
    SharedArray<MeshUVSet> uvSets;
    int currentUVSet = 0;
    // Normals a user set (locked), xyz per face-vertex, face after face, as
    // scene files give them; a component of 1e+20 or more leaves that
    // face-vertex its computed normal. A list of another length (stale data
    // some files carry) is kept for saving but not applied. Dropped by
    // setTopology; call touch() after changing them.
    SharedArray<float> userNormals;
    bool hasUserNormal(int faceVertex) const;
    SharedArray<MeshHole> holes;              // ordered by face; dropped by setTopology
    SharedArray<MeshLoopColors> loopColors;   // ordered by face; dropped by setTopology

private:
    void buildEdges();
    void buildNormalIds() const;
    void buildNormals() const;
    void buildTriangles() const;

    uint64_t serial;
    mutable std::mutex lock;
    mutable bool normalIdsBuilt = false, normalsBuilt = false, trianglesBuilt = false;
    mutable SharedArray<int> cachedNormalIds;
    mutable int cachedNormalIdCount = 0;
    mutable std::vector<float> cachedNormals, cachedFaceNormals;
    mutable std::vector<int> cachedTriCounts, cachedTriCorners, cachedTriOffsets;
    mutable std::unique_ptr<MeshBvh> cachedBvh;
};

typedef std::shared_ptr<MeshGeometry> MeshGeometryPtr;

} // namespace host
