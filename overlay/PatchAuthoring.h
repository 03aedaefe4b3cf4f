#pragma once

// Host-free part of "pellixPatchCreate": cuts a patch mesh out of a driver's
// faces, finds the faces that mirror a selection across an axis, names the
// control on the other side, spots faces that a stored patch already covers,
// and reads face components as Maya writes them ("body.f[10:40]").

#include "overlay/PatchBinding.h"
#include "overlay/PatchMatching.h"

#include <cstdint>
#include <string>
#include <vector>

namespace PatchAuthoring {

// A polygon mesh's faces: the vertex count of each face and all faces' vertex
// ids in face order, as MFnMesh::getVertices gives them.
struct FaceList {
    const int* counts = nullptr;
    int64_t faceCount = 0;
    const int* vertices = nullptr;
    int64_t faceVertexCount = 0;
};

// Where each face's vertex ids start in FaceList::vertices (faceCount + 1
// entries); empty when a count is negative or the counts overrun the ids.
std::vector<int64_t> faceStarts(const FaceList& faces);

// A patch cut out of the driver: patch vertex k is driver vertex
// driverVertices[k] (numbered in order of first use), and its faces keep the
// driver's winding. sourceFaceVertices[i] is the driver face-vertex that the
// patch's face-vertex i came from, for carrying UVs across.
struct ExtractedPatch {
    std::vector<int> driverVertices;
    std::vector<int> faceCounts;
    std::vector<int> faceVertices;
    std::vector<int64_t> sourceFaceVertices;
};

// The patch made of the given driver faces (ascending, each once). False when
// a face id lies outside the mesh.
bool extractPatch(const FaceList& faces, const std::vector<int64_t>& starts, const std::vector<int>& faceIds,
                  ExtractedPatch& patch);

// The patch's triangles (a fan per face, as local vertex triples in face
// order) and its edges (local vertex pairs, each once, in order of first use).
void patchTopology(const ExtractedPatch& patch, std::vector<int>& triangles, std::vector<int>& edges);

// Faces whose vertices mirror those of the selected faces across the plane
// through the origin normal to `axis` (0, 1, 2 for x, y, z), each vertex
// within `tolerance` of its mirror point. `mirrored` is ascending; `unmatched`
// lists the selected faces that have no mirror face.
struct MirroredFaces {
    std::vector<int> mirrored;
    std::vector<int> unmatched;
};
MirroredFaces mirrorFaces(const double* xyz, int64_t pointCount, const FaceList& faces,
                          const std::vector<int64_t>& starts, const std::vector<int>& faceIds, int axis,
                          double tolerance);

// The name of the same control on the other side, by the usual side marks
// (L_/R_ prefix, _L/_R suffix, _L_/_R_ inside, left/right, Lf/Rt), case kept.
// Empty when the name carries no side mark. Only the last path and namespace
// part of the name is changed.
std::string otherSideName(const std::string& name);

// The first selected face (in the given order) that a stored patch already
// covers, with that patch; face -1 when none does. A face counts as covered
// when one of the patch's triangles has all three corners among its vertices.
struct CoveredFace {
    int face = -1;
    int64_t patch = -1;
};
CoveredFace findCoveredFace(const PatchMatching::StoredPatchArrays& stored, const FaceList& faces,
                            const std::vector<int64_t>& starts, const std::vector<int>& faceIds);

// The stored patches without patch `removed`, each copied with fresh offsets.
// False when a stored slice is incomplete or invalid.
bool withoutPatch(const PatchMatching::StoredPatchArrays& stored, int64_t removed, PatchBinding::PatchArrays& out);

// Reads "name.f[3]", "name.f[10:40]" or "name.f[*]" (faceLimit faces) into the
// object name and the face ids it names, appended to faceIds. False when the
// text is not a face component or a range is reversed or out of range.
bool parseFaceComponent(const std::string& text, int64_t faceLimit, std::string& objectName,
                        std::vector<int>& faceIds);

// The object part of a face component text ("body" of "body.f[3]"); empty when
// the text is not a face component.
std::string faceComponentObject(const std::string& text);

// Face ids as Maya writes them in a component list: "name.f[3]", "name.f[5:9]".
std::string faceRangesText(const std::string& objectName, const std::vector<int>& sortedFaceIds);

}  // namespace PatchAuthoring
