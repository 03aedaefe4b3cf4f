#include "overlay/PatchAuthoring.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <unordered_map>
#include <utility>

namespace PatchAuthoring {

namespace {

// The faces around every vertex, as one flat list with a start per vertex.
struct VertexFaces {
    std::vector<int64_t> start;
    std::vector<int> faces;

    VertexFaces(const FaceList& list, const std::vector<int64_t>& starts, int64_t pointCount)
        : start(static_cast<size_t>(pointCount) + 1, 0)
    {
        for (int64_t i = 0; i < list.faceVertexCount; ++i) {
            const int v = list.vertices[i];
            if (v >= 0 && v < pointCount)
                ++start[static_cast<size_t>(v) + 1];
        }
        for (size_t v = 1; v < start.size(); ++v)
            start[v] += start[v - 1];
        faces.resize(static_cast<size_t>(start.back()));
        std::vector<int64_t> next(start.begin(), start.end() - 1);
        for (int64_t f = 0; f < list.faceCount; ++f) {
            for (int64_t i = starts[f]; i < starts[f + 1]; ++i) {
                const int v = list.vertices[i];
                if (v >= 0 && v < pointCount)
                    faces[static_cast<size_t>(next[v]++)] = static_cast<int>(f);
            }
        }
    }
};

std::vector<int> sortedVerticesOf(const FaceList& list, const std::vector<int64_t>& starts, int face)
{
    std::vector<int> ids(list.vertices + starts[face], list.vertices + starts[face + 1]);
    std::sort(ids.begin(), ids.end());
    return ids;
}

bool faceHolds(const FaceList& list, const std::vector<int64_t>& starts, int face, int vertex)
{
    return std::find(list.vertices + starts[face], list.vertices + starts[face + 1], vertex) !=
           list.vertices + starts[face + 1];
}

// A side mark swapped for the other side's, upper or lower case as found.
struct SidePair {
    const char* left;
    const char* right;
};

bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.size() > prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool endsWith(const std::string& text, const std::string& suffix)
{
    return text.size() > suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// `word` spelled with the letter case of `model` (same length or the case of its last letter).
std::string withCaseOf(const std::string& word, const std::string& model)
{
    std::string out = word;
    for (size_t i = 0; i < out.size(); ++i) {
        const char c = model[std::min(i, model.size() - 1)];
        const bool upper = std::isupper(static_cast<unsigned char>(c)) != 0;
        out[i] = static_cast<char>(upper ? std::toupper(static_cast<unsigned char>(out[i]))
                                         : std::tolower(static_cast<unsigned char>(out[i])));
    }
    return out;
}

// Where a side mark stands as a word of the name: not inside a longer lower-case word
// ("shelf", "bright"), though a capitalised mark may follow one ("armLf", "armLeft").
// anyCase finds the mark in any letter case. npos when it is nowhere.
size_t findMark(const std::string& name, const std::string& mark, bool anyCase)
{
    const auto letter = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; };
    const auto lower = [](char c) { return std::islower(static_cast<unsigned char>(c)) != 0; };
    for (size_t at = 0; at + mark.size() <= name.size(); ++at) {
        bool same = true;
        for (size_t i = 0; i < mark.size() && same; ++i) {
            const char c = name[at + i];
            same = anyCase ? std::tolower(static_cast<unsigned char>(c)) == mark[i] : c == mark[i];
        }
        if (!same)
            continue;
        const char first = name[at];
        const bool startsWord = at == 0 || !letter(name[at - 1]) || (!lower(first) && lower(name[at - 1]));
        const size_t end = at + mark.size();
        const bool endsWord = end == name.size() || !letter(name[end]) || !lower(name[end]);
        if (startsWord && endsWord)
            return at;
    }
    return std::string::npos;
}

std::string swapSide(const std::string& name)
{
    // Prefix and suffix marks, in both cases.
    static const SidePair kEnds[] = {{"L_", "R_"}, {"l_", "r_"}};
    for (const SidePair& pair : kEnds) {
        if (startsWith(name, pair.left))
            return pair.right + name.substr(2);
        if (startsWith(name, pair.right))
            return pair.left + name.substr(2);
    }
    static const SidePair kSuffixes[] = {{"_L", "_R"}, {"_l", "_r"}};
    for (const SidePair& pair : kSuffixes) {
        if (endsWith(name, pair.left))
            return name.substr(0, name.size() - 2) + pair.right;
        if (endsWith(name, pair.right))
            return name.substr(0, name.size() - 2) + pair.left;
    }
    static const SidePair kInside[] = {{"_L_", "_R_"}, {"_l_", "_r_"}};
    for (const SidePair& pair : kInside) {
        for (const auto& [from, to] : {std::make_pair(pair.left, pair.right), std::make_pair(pair.right, pair.left)}) {
            const size_t at = name.find(from);
            if (at != std::string::npos)
                return name.substr(0, at) + to + name.substr(at + 3);
        }
    }
    // Whole words: left/right in any case, then Lf/Rt.
    for (const auto& [from, to] : {std::make_pair("left", "right"), std::make_pair("right", "left")}) {
        const size_t at = findMark(name, from, true);
        if (at != std::string::npos) {
            const std::string found = name.substr(at, std::string(from).size());
            return name.substr(0, at) + withCaseOf(to, found) + name.substr(at + found.size());
        }
    }
    static const SidePair kShort[] = {{"Lf", "Rt"}, {"lf", "rt"}, {"LF", "RT"}};
    for (const SidePair& pair : kShort) {
        for (const auto& [from, to] : {std::make_pair(pair.left, pair.right), std::make_pair(pair.right, pair.left)}) {
            const size_t at = findMark(name, from, false);
            if (at != std::string::npos)
                return name.substr(0, at) + to + name.substr(at + 2);
        }
    }
    return std::string();
}

bool parseIndex(const std::string& text, int64_t& value)
{
    if (text.empty() || text.size() > 18 ||
        !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; }))
        return false;
    value = std::strtoll(text.c_str(), nullptr, 10);
    return true;
}

}  // namespace

std::vector<int64_t> faceStarts(const FaceList& faces)
{
    std::vector<int64_t> starts(static_cast<size_t>(faces.faceCount) + 1, 0);
    for (int64_t f = 0; f < faces.faceCount; ++f) {
        if (faces.counts[f] < 0)
            return {};
        starts[f + 1] = starts[f] + faces.counts[f];
    }
    if (starts.back() > faces.faceVertexCount)
        return {};
    return starts;
}

bool extractPatch(const FaceList& faces, const std::vector<int64_t>& starts, const std::vector<int>& faceIds,
                  ExtractedPatch& patch)
{
    patch = ExtractedPatch();
    std::unordered_map<int, int> local;
    local.reserve(faceIds.size() * 4);
    for (const int face : faceIds) {
        if (face < 0 || face >= faces.faceCount)
            return false;
        patch.faceCounts.push_back(faces.counts[face]);
        for (int64_t i = starts[face]; i < starts[face + 1]; ++i) {
            const int driverVertex = faces.vertices[i];
            const auto inserted = local.emplace(driverVertex, static_cast<int>(patch.driverVertices.size()));
            if (inserted.second)
                patch.driverVertices.push_back(driverVertex);
            patch.faceVertices.push_back(inserted.first->second);
            patch.sourceFaceVertices.push_back(i);
        }
    }
    return true;
}

void patchTopology(const ExtractedPatch& patch, std::vector<int>& triangles, std::vector<int>& edges)
{
    triangles.clear();
    edges.clear();
    std::unordered_map<int64_t, bool> seen;
    size_t start = 0;
    for (const int count : patch.faceCounts) {
        const int* face = patch.faceVertices.data() + start;
        for (int k = 1; k + 1 < count; ++k)
            triangles.insert(triangles.end(), {face[0], face[k], face[k + 1]});
        for (int k = 0; k < count; ++k) {
            const int a = face[k];
            const int b = face[(k + 1) % count];
            const int64_t key = (static_cast<int64_t>(std::min(a, b)) << 32) | static_cast<uint32_t>(std::max(a, b));
            if (seen.emplace(key, true).second)
                edges.insert(edges.end(), {a, b});
        }
        start += static_cast<size_t>(count);
    }
}

MirroredFaces mirrorFaces(const double* xyz, int64_t pointCount, const FaceList& faces,
                          const std::vector<int64_t>& starts, const std::vector<int>& faceIds, int axis,
                          double tolerance)
{
    MirroredFaces result;
    PatchMatching::DriverGrid grid;
    if (!grid.build(xyz, pointCount, tolerance)) {
        result.unmatched = faceIds;
        return result;
    }
    const VertexFaces around(faces, starts, pointCount);
    for (const int face : faceIds) {
        std::vector<int> mirroredIds;
        for (int64_t i = starts[face]; i < starts[face + 1]; ++i) {
            const int v = faces.vertices[i];
            double p[3] = {xyz[3 * v], xyz[3 * v + 1], xyz[3 * v + 2]};
            p[axis] = -p[axis];
            const int found = grid.findDriverVertex(p[0], p[1], p[2]);
            if (found < 0)
                break;
            mirroredIds.push_back(found);
        }
        int match = -1;
        if (static_cast<int64_t>(mirroredIds.size()) == starts[face + 1] - starts[face] && !mirroredIds.empty()) {
            const int first = mirroredIds[0];
            std::sort(mirroredIds.begin(), mirroredIds.end());
            for (int64_t i = around.start[first]; i < around.start[first + 1] && match < 0; ++i) {
                const int candidate = around.faces[static_cast<size_t>(i)];
                if (sortedVerticesOf(faces, starts, candidate) == mirroredIds)
                    match = candidate;
            }
        }
        if (match >= 0)
            result.mirrored.push_back(match);
        else
            result.unmatched.push_back(face);
    }
    std::sort(result.mirrored.begin(), result.mirrored.end());
    result.mirrored.erase(std::unique(result.mirrored.begin(), result.mirrored.end()), result.mirrored.end());
    return result;
}

std::string otherSideName(const std::string& name)
{
    const size_t cut = name.find_last_of("|:");
    const size_t from = cut == std::string::npos ? 0 : cut + 1;
    const std::string swapped = swapSide(name.substr(from));
    return swapped.empty() ? swapped : name.substr(0, from) + swapped;
}

CoveredFace findCoveredFace(const PatchMatching::StoredPatchArrays& stored, const FaceList& faces,
                            const std::vector<int64_t>& starts, const std::vector<int>& faceIds)
{
    // (vertex, rank of a selected face holding it), sorted: the faces at a vertex are one run.
    std::vector<std::pair<int, size_t>> selectedAt;
    for (size_t n = 0; n < faceIds.size(); ++n)
        for (int64_t i = starts[faceIds[n]]; i < starts[faceIds[n] + 1]; ++i)
            selectedAt.emplace_back(faces.vertices[i], n);
    std::sort(selectedAt.begin(), selectedAt.end());
    CoveredFace best;
    size_t bestRank = faceIds.size();
    int64_t vertexStart = 0;
    for (int64_t p = 0; p < stored.vertexCounts.length; ++p) {
        const PatchMatching::StoredPatchSlice slice = PatchMatching::locateStoredPatch(stored, p, vertexStart);
        vertexStart = PatchMatching::nextVertexStart(stored.vertexCounts, p, vertexStart);
        if (slice.state != PatchMatching::StoredPatchState::kValid)
            continue;
        const int* driver = stored.driverVertexIndices.data + slice.vertexStart;
        const int* tri = stored.triangleIndices.data + slice.triangleOffset;
        for (int64_t t = 0; t + 2 < slice.triangleCount; t += 3) {
            int corner[3];
            bool inside = true;
            for (int c = 0; c < 3 && inside; ++c) {
                inside = tri[t + c] >= 0 && tri[t + c] < slice.vertexCount;
                corner[c] = inside ? driver[tri[t + c]] : -1;
            }
            if (!inside)
                continue;
            auto at = std::lower_bound(selectedAt.begin(), selectedAt.end(), std::make_pair(corner[0], size_t(0)));
            for (; at != selectedAt.end() && at->first == corner[0]; ++at) {
                const int face = faceIds[at->second];
                if (at->second < bestRank && faceHolds(faces, starts, face, corner[1]) &&
                    faceHolds(faces, starts, face, corner[2])) {
                    bestRank = at->second;
                    best = {face, p};
                }
            }
        }
    }
    return best;
}

bool withoutPatch(const PatchMatching::StoredPatchArrays& stored, int64_t removed, PatchBinding::PatchArrays& out)
{
    out = PatchBinding::PatchArrays();
    int64_t vertexStart = 0;
    for (int64_t p = 0; p < stored.vertexCounts.length; ++p) {
        if (p != removed &&
            PatchBinding::copyStoredPatch(stored, p, vertexStart, out) != PatchBinding::CopyResult::kCopied)
            return false;
        vertexStart = PatchMatching::nextVertexStart(stored.vertexCounts, p, vertexStart);
    }
    return true;
}

std::string faceComponentObject(const std::string& text)
{
    const size_t dot = text.rfind(".f[");
    if (dot == std::string::npos || dot == 0 || text.empty() || text.back() != ']')
        return std::string();
    return text.substr(0, dot);
}

bool parseFaceComponent(const std::string& text, int64_t faceLimit, std::string& objectName,
                        std::vector<int>& faceIds)
{
    objectName = faceComponentObject(text);
    if (objectName.empty())
        return false;
    const std::string range = text.substr(objectName.size() + 3, text.size() - objectName.size() - 4);
    int64_t first = 0;
    int64_t last = 0;
    if (range == "*") {
        last = faceLimit - 1;
    } else {
        const size_t colon = range.find(':');
        if (colon == std::string::npos) {
            if (!parseIndex(range, first))
                return false;
            last = first;
        } else if (!parseIndex(range.substr(0, colon), first) || !parseIndex(range.substr(colon + 1), last)) {
            return false;
        }
    }
    if (first > last || last >= faceLimit)
        return false;
    for (int64_t f = first; f <= last; ++f)
        faceIds.push_back(static_cast<int>(f));
    return true;
}

std::string faceRangesText(const std::string& objectName, const std::vector<int>& sortedFaceIds)
{
    std::string text;
    for (size_t i = 0; i < sortedFaceIds.size();) {
        size_t j = i;
        while (j + 1 < sortedFaceIds.size() && sortedFaceIds[j + 1] == sortedFaceIds[j] + 1)
            ++j;
        text += (text.empty() ? "" : " ") + objectName + ".f[" + std::to_string(sortedFaceIds[i]);
        if (j > i)
            text += ":" + std::to_string(sortedFaceIds[j]);
        text += "]";
        i = j + 1;
    }
    return text;
}

}  // namespace PatchAuthoring
