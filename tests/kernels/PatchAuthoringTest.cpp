// Cutting patches out of a driver's faces, mirroring a face selection, the side-name
// conventions, faces a stored patch already covers, taking a patch out of stored arrays, and
// face components as Maya writes them.

#include "overlay/PatchAuthoring.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace PatchAuthoring;

namespace {

using Ints = std::vector<int>;

// A 4 x 2 grid of quads (vertices 5 per row, x from -2 to 2, z 0 to 2), face 4 * row + column,
// plus a triangle (face 8) on the right side with nothing on the left to mirror it.
struct Sheet {
    std::vector<double> xyz;
    Ints counts;
    Ints vertices;
    FaceList list;
    std::vector<int64_t> starts;

    Sheet()
    {
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 5; ++column)
                xyz.insert(xyz.end(), {column - 2.0, 0.0, double(row)});
        xyz.insert(xyz.end(), {2.5, 0.0, 0.5});  // vertex 15
        for (int row = 0; row < 2; ++row) {
            for (int column = 0; column < 4; ++column) {
                const int c = row * 5 + column;
                counts.push_back(4);
                vertices.insert(vertices.end(), {c, c + 5, c + 6, c + 1});
            }
        }
        counts.push_back(3);
        vertices.insert(vertices.end(), {4, 9, 15});
        list = {counts.data(), int64_t(counts.size()), vertices.data(), int64_t(vertices.size())};
        starts = faceStarts(list);
    }
};

} // namespace

TEST(PatchAuthoring, ExtractedPatchesKeepWindingNumberVerticesByFirstUseAndBindLikeTheirMesh)
{
    const Sheet sheet;
    ExtractedPatch patch;
    ASSERT_TRUE(extractPatch(sheet.list, sheet.starts, {1, 5, 8}, patch));
    EXPECT_EQ(patch.driverVertices, (Ints{1, 6, 7, 2, 11, 12, 4, 9, 15}));
    EXPECT_EQ(patch.faceCounts, (Ints{4, 4, 3}));
    EXPECT_EQ(patch.faceVertices, (Ints{0, 1, 2, 3, 1, 4, 5, 2, 6, 7, 8}));
    EXPECT_EQ(patch.sourceFaceVertices[4], 20);  // face 5 starts at face-vertex 20
    Ints triangles;
    Ints edges;
    patchTopology(patch, triangles, edges);
    EXPECT_EQ(triangles, (Ints{0, 1, 2, 0, 2, 3, 1, 4, 5, 1, 5, 2, 6, 7, 8}));
    // The shared edge 1-2 of the two quads is listed once.
    EXPECT_EQ(edges, (Ints{0, 1, 1, 2, 2, 3, 3, 0, 1, 4, 4, 5, 5, 2, 6, 7, 7, 8, 8, 6}));

    EXPECT_FALSE(extractPatch(sheet.list, sheet.starts, {9}, patch));
    const Ints negative = {4, -1};
    EXPECT_TRUE(faceStarts({negative.data(), 2, sheet.vertices.data(), 8}).empty());
    EXPECT_TRUE(faceStarts({sheet.counts.data(), 9, sheet.vertices.data(), 34}).empty());
}

TEST(PatchAuthoring, MirroredFacesAreTheFacesOnTheMirroredVerticesAndTheRestAreReported)
{
    const Sheet sheet;
    const int64_t points = int64_t(sheet.xyz.size() / 3);
    MirroredFaces mirrored = mirrorFaces(sheet.xyz.data(), points, sheet.list, sheet.starts, {0, 5, 8}, 0, 0.001);
    EXPECT_EQ(mirrored.mirrored, (Ints{3, 6}));
    EXPECT_EQ(mirrored.unmatched, (Ints{8}));
    // Across z only row 0's vertices have mirrors; within a looser tolerance the shifted
    // vertex still finds its mirror, and a vertex just past it does not.
    mirrored = mirrorFaces(sheet.xyz.data(), points, sheet.list, sheet.starts, {0}, 2, 0.001);
    EXPECT_EQ(mirrored.unmatched, (Ints{0}));
    Sheet shifted;
    shifted.xyz[3 * 4] += 0.0009;  // vertex 4 (x = 2) nudged outwards
    mirrored = mirrorFaces(shifted.xyz.data(), points, shifted.list, shifted.starts, {0}, 0, 0.001);
    EXPECT_EQ(mirrored.mirrored, (Ints{3}));
    shifted.xyz[3 * 4] += 0.0002;
    mirrored = mirrorFaces(shifted.xyz.data(), points, shifted.list, shifted.starts, {0}, 0, 0.001);
    EXPECT_EQ(mirrored.unmatched, (Ints{0}));
}

TEST(PatchAuthoring, OtherSideNamesFollowTheUsualMarksAndKeepCase)
{
    const std::pair<const char*, const char*> names[] = {
        {"L_hand_ctrl", "R_hand_ctrl"}, {"r_arm", "l_arm"},         {"spine_L", "spine_R"},
        {"arm_l", "arm_r"},             {"arm_L_ctrl", "arm_R_ctrl"}, {"leftArm", "rightArm"},
        {"LeftArm", "RightArm"},        {"LEFT_ARM", "RIGHT_ARM"},   {"armRight", "armLeft"},
        {"armLf", "armRt"},             {"Rt_leg", "Lf_leg"},        {"lf_leg", "rt_leg"},
        {"rig:L_hand", "rig:R_hand"},   {"|grp|L_x", "|grp|R_x"},    {"L_:chest", ""},
        {"chest_ctrl", ""},             {"shelf_ctrl", ""},           {"bright", ""},
        {"leftover", ""},               {"L_", ""},
    };
    for (const auto& [name, other] : names)
        EXPECT_EQ(otherSideName(name), other) << name;
}

TEST(PatchAuthoring, CoveredFacesShareATriangleWithAStoredPatchNotJustItsVertices)
{
    // A 3 x 3 sheet whose stored patch is the ring of eight faces around the middle one: every
    // corner of the middle face is in the patch, yet the face itself is not.
    Ints counts(9, 4);
    Ints vertices;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) {
            const int c = row * 4 + column;
            vertices.insert(vertices.end(), {c, c + 4, c + 5, c + 1});
        }
    const FaceList list{counts.data(), 9, vertices.data(), 36};
    const std::vector<int64_t> starts = faceStarts(list);
    ExtractedPatch ring;
    ASSERT_TRUE(extractPatch(list, starts, {0, 1, 2, 3, 5, 6, 7, 8}, ring));
    Ints triangles;
    Ints edges;
    patchTopology(ring, triangles, edges);
    PatchBinding::PatchArrays stored;
    ASSERT_TRUE(PatchBinding::appendBoundPatch(stored, ring.driverVertices.data(), int64_t(ring.driverVertices.size()),
                                               {triangles.data(), int64_t(triangles.size()), edges.data(),
                                                int64_t(edges.size())}));
    EXPECT_EQ(findCoveredFace(stored.view(), list, starts, {4}).face, -1);
    const CoveredFace covered = findCoveredFace(stored.view(), list, starts, {4, 7, 5});
    EXPECT_EQ(covered.face, 7);  // the first in the given order
    EXPECT_EQ(covered.patch, 0);

    // Taking the ring out of [middle, ring] leaves the middle face's patch alone.
    ExtractedPatch middle;
    ASSERT_TRUE(extractPatch(list, starts, {4}, middle));
    PatchBinding::PatchArrays both;
    Ints middleTriangles;
    Ints middleEdges;
    patchTopology(middle, middleTriangles, middleEdges);
    const PatchBinding::PatchTopology middleTopology{middleTriangles.data(), int64_t(middleTriangles.size()),
                                                     middleEdges.data(), int64_t(middleEdges.size())};
    ASSERT_TRUE(PatchBinding::appendBoundPatch(both, middle.driverVertices.data(), 4, middleTopology));
    ASSERT_TRUE(PatchBinding::appendBoundPatch(both, ring.driverVertices.data(), int64_t(ring.driverVertices.size()),
                                               {triangles.data(), int64_t(triangles.size()), edges.data(),
                                                int64_t(edges.size())}));
    PatchBinding::PatchArrays kept;
    ASSERT_TRUE(withoutPatch(both.view(), 1, kept));
    PatchBinding::PatchArrays alone;
    ASSERT_TRUE(PatchBinding::appendBoundPatch(alone, middle.driverVertices.data(), 4, middleTopology));
    EXPECT_EQ(kept.driverVertexIndices, alone.driverVertexIndices);
    EXPECT_EQ(kept.triangleIndices, alone.triangleIndices);
    EXPECT_EQ(kept.edgeOffsets, alone.edgeOffsets);
    both.edgeCounts[0] = 99;  // a slice running past its array is refused
    EXPECT_FALSE(withoutPatch(both.view(), 1, kept));
}

TEST(PatchAuthoring, FaceComponentsReadAndWriteAsMayaNamesThem)
{
    const struct {
        const char* text;
        bool read;
        const char* object;
        Ints faces;
    } cases[] = {
        {"body.f[3]", true, "body", {3}},
        {"|rig|body.f[2:4]", true, "|rig|body", {2, 3, 4}},
        {"ns:bodyShape.f[*]", true, "ns:bodyShape", {0, 1, 2, 3, 4, 5}},
        {"body.f[5:6]", false, "body", {}},  // past the last face
        {"body.f[4:2]", false, "body", {}},
        {"body.f[-1]", false, "body", {}},
        {"body.f[]", false, "body", {}},
        {"body.vtx[3]", false, "", {}},
        {"body", false, "", {}},
        {".f[1]", false, "", {}},
    };
    for (const auto& c : cases) {
        std::string object;
        Ints faces;
        EXPECT_EQ(parseFaceComponent(c.text, 6, object, faces), c.read) << c.text;
        EXPECT_EQ(object, c.object) << c.text;
        if (c.read)
            EXPECT_EQ(faces, c.faces) << c.text;
    }
    EXPECT_EQ(faceRangesText("body", {1, 2, 3, 7, 9, 10}), "body.f[1:3] body.f[7] body.f[9:10]");
    EXPECT_EQ(faceRangesText("body", {}), "");
}
