#include "geometry/GeometryFileText.h"

#include "commands/builtins/ValueText.h"
#include "commands/mel/MelValue.h"
#include "dg/Node.h"
#include "geometry/CurveData.h"
#include "geometry/CurveShapeNode.h"
#include "geometry/GeometryStatus.h"
#include "geometry/LinearUnitText.h"
#include "geometry/MeshData.h"
#include "geometry/MeshShapeNode.h"

#include <maya/MGlobal.h>


namespace host {

namespace {

// ---------------------------------------------------------------------------
// Writing

void appendFloat(std::string& out, float value)
{
    out += ' ';
    // Negative zero reads back as zero: write it as zero.
    out += ValueText::formatFloat(value == 0.0f ? 0.0f : value).asChar();
}

void appendInt(std::string& out, long long value)
{
    out += ' ';
    out += std::to_string(value);
}

void appendRange(std::string& out, const char* name, size_t count, const char* type)
{
    out += "\tsetAttr -s ";
    out += std::to_string(count);
    out += " \".";
    out += name;
    out += "[0:";
    out += std::to_string(count - 1);
    out += "]\"";
    if (type) {
        out += " -type \"";
        out += type;
        out += '"';
    }
}

// One loop of a face ("f") or of a hole ("h") as its edge ids; an edge
// walked against its stored direction is written as -(e+1).
void writeLoop(const MeshGeometry& g, const char* record, const std::vector<int>& vertices,
               const std::vector<int>& edges, std::string& out)
{
    out += "\n\t\t";
    out += record;
    appendInt(out, (long long)vertices.size());
    for (size_t i = 0; i < vertices.size(); ++i) {
        const int e = edges[i];
        appendInt(out, g.edgeVertices[size_t(e) * 2] == vertices[i] ? e : -e - 1);
    }
}

void writeLoopUVs(size_t set, const int* ids, int n, std::string& out)
{
    out += "\n\t\tmu";
    appendInt(out, (long long)set);
    appendInt(out, n);
    for (int i = 0; i < n; ++i)
        appendInt(out, ids[i]);
}

// The colour records of one loop, from the face's records [first, last).
void writeLoopColors(const MeshGeometry& g, size_t first, size_t last, int loop, std::string& out)
{
    for (size_t c = first; c < last; ++c) {
        const MeshLoopColors& colors = g.loopColors[c];
        if (colors.loop != loop)
            continue;
        out += colors.set < 0 ? "\n\t\tfc" : "\n\t\tmc";
        if (colors.set >= 0)
            appendInt(out, colors.set);
        appendInt(out, (long long)colors.ids.size());
        for (int id : colors.ids)
            appendInt(out, id);
    }
}

void writeMesh(const MeshGeometry& g, std::string& out)
{
    // Points are written in the UI unit, as Maya writes them.
    const double scale = LinearUnitText::centimetresPerUiUnit();
    for (size_t s = 0; s < g.uvSets.size(); ++s) {
        const MeshUVSet& set = g.uvSets[s];
        const std::string prefix = ".uvst[" + std::to_string(s) + "]";
        out += "\tsetAttr \"" + prefix + ".uvsn\" -type \"string\" ";
        out += ValueText::quote(set.name).asChar();
        out += ";\n";
        if (!set.u.empty()) {
            appendRange(out, (prefix.substr(1) + ".uvsp").c_str(), set.u.size(), "float2");
            for (size_t i = 0; i < set.u.size(); ++i) {
                appendFloat(out, set.u[i]);
                appendFloat(out, set.v[i]);
            }
            out += ";\n";
        }
    }
    if (!g.uvSets.empty()) {
        out += "\tsetAttr \".cuvs\" -type \"string\" ";
        out += ValueText::quote(g.uvSets[size_t(g.currentUVSet)].name).asChar();
        out += ";\n";
    }
    if (g.numVertices() > 0) {
        appendRange(out, "vt", size_t(g.numVertices()), nullptr);
        for (float p : g.points) {
            out += ' ';
            LinearUnitText::appendFloat(out, p, scale);
        }
        out += ";\n";
    }
    if (g.numEdges() > 0) {
        appendRange(out, "ed", size_t(g.numEdges()), nullptr);
        for (int e = 0; e < g.numEdges(); ++e) {
            appendInt(out, g.edgeVertices[size_t(e) * 2]);
            appendInt(out, g.edgeVertices[size_t(e) * 2 + 1]);
            appendInt(out, g.edgeSmooth[size_t(e)]);
        }
        out += ";\n";
    }
    if (!g.userNormals.empty()) {
        appendRange(out, "n", g.userNormals.size() / 3, "float3");
        for (float n : g.userNormals)
            appendFloat(out, n);
        out += ";\n";
    }
    if (g.numFaces() > 0) {
        size_t loopCorners = size_t(g.numFaceVertices());
        for (const MeshHole& hole : g.holes)
            loopCorners += hole.vertices.size();
        out += "\tsetAttr -s " + std::to_string(g.numFaces()) + " -ch " + std::to_string(loopCorners) +
               " \".fc[0:" + std::to_string(g.numFaces() - 1) + "]\" -type \"polyFaces\" ";
        size_t nextHole = 0, nextColors = 0;
        for (int f = 0; f < g.numFaces(); ++f) {
            const int begin = g.offsets[size_t(f)], n = g.counts[size_t(f)];
            std::vector<int> vertices(g.connects.begin() + begin, g.connects.begin() + begin + n);
            std::vector<int> edges(g.faceEdges.begin() + begin, g.faceEdges.begin() + begin + n);
            writeLoop(g, "f", vertices, edges, out);
            for (size_t s = 0; s < g.uvSets.size(); ++s) {
                const std::vector<int>& ids = g.uvSets[s].ids;
                bool complete = true;
                for (int i = 0; i < n && complete; ++i)
                    complete = ids[size_t(begin + i)] >= 0;
                if (complete)
                    writeLoopUVs(s, ids.data() + begin, n, out);
            }
            const size_t faceColors = nextColors;
            while (nextColors < g.loopColors.size() && g.loopColors[nextColors].face == f)
                ++nextColors;
            writeLoopColors(g, faceColors, nextColors, 0, out);
            for (int loop = 1; nextHole < g.holes.size() && g.holes[nextHole].face == f; ++nextHole, ++loop) {
                const MeshHole& hole = g.holes[nextHole];
                writeLoop(g, "h", hole.vertices, hole.edges, out);
                for (size_t s = 0; s < hole.uvIds.size() && s < g.uvSets.size(); ++s)
                    if (hole.uvIds[s].size() == hole.vertices.size())
                        writeLoopUVs(s, hole.uvIds[s].data(), int(hole.vertices.size()), out);
                writeLoopColors(g, faceColors, nextColors, loop, out);
            }
        }
        out += ";\n";
    }
}

void writeCurve(const CurveGeometry& c, std::string& out)
{
    out += "\tsetAttr \".cc\"";
    GeometryFileText::formatCurveValue(c, out);
    out += ";\n";
}

// A float as its shortest exact text, negative zero as zero.
void appendFloatWord(std::string& out, float value)
{
    out += ValueText::formatFloat(value == 0.0f ? 0.0f : value).asChar();
}

// ---------------------------------------------------------------------------
// Reading

MStatus fail(const MString& message)
{
    MGlobal::displayError(MString("setAttr: ") + message);
    return MS::kInvalidParameter;
}

MStatus readDouble(const std::vector<MString>& words, size_t& pos, double& value)
{
    if (pos >= words.size() || !ValueText::parseDouble(words[pos], value))
        return fail(pos < words.size() ? MString("\"") + words[pos] + "\" is not a number." : "too few values.");
    ++pos;
    return MS::kSuccess;
}

MStatus readInt(const std::vector<MString>& words, size_t& pos, long long& value)
{
    if (pos >= words.size() || !ValueText::parseInt(words[pos], value))
        return fail(pos < words.size() ? MString("\"") + words[pos] + "\" is not a whole number." : "too few values.");
    ++pos;
    return MS::kSuccess;
}

MStatus readCount(const std::vector<MString>& words, size_t& pos, long long limit, int& value)
{
    long long n = 0;
    GEO_CHECK(readInt(words, pos, n));
    if (n < 0 || n > limit)
        return fail(MString("count ") + ValueText::formatInt(n) + " is out of range.");
    value = int(n);
    return MS::kSuccess;
}

// Indices the setAttr names: a range, one element, or the array from 0.
void indexSpan(const MPlug& plug, const SceneNames::IndexRange& range, unsigned& first, unsigned& last,
               bool& whole)
{
    whole = false;
    if (range.present) {
        first = range.first;
        last = range.last;
    } else if (plug.isElement()) {
        first = last = plug.logicalIndex();
    } else {
        whole = true;
        first = last = 0;
    }
}

template <class T>
void growTo(std::vector<T>& v, size_t size)
{
    if (v.size() < size)
        v.resize(size);
}

// Colour sets and ids past these are beyond any mesh the host handles.
const long long kMaxColorSet = 1 << 16, kMaxColorId = 1 << 28;

// Reads a run of faces; builds the mesh from its records once all its faces have arrived.
MStatus readFaces(MeshShapeNode& shape, const MPlug& plug, unsigned first, unsigned count,
                  const std::vector<MString>& words, size_t& pos, MDGModifier& modifier)
{
    MeshFileRecords& r = shape.fileRecords();
    const long long numEdges = (long long)(r.edges.size() / 3);
    if (first != r.faceCounts.size())
        return fail(MString("faces come in order: ") + plug.partialName(true) + " starts at face " +
                    ValueText::formatInt(first) + " after " + ValueText::formatInt((long long)r.faceCounts.size()) +
                    " faces.");
    std::vector<int>& counts = r.faceCounts;
    std::vector<int>& connects = r.faceConnects;
    std::vector<std::vector<int>>& uvIds = r.faceUVIds;
    uvIds.resize(r.uvSets.size());
    // A loop's edge ids, negative -(e+1) for an edge walked backwards, give its vertices.
    auto readLoop = [&](unsigned f, std::vector<int>& vertices) {
        int n = 0;
        GEO_CHECK(readCount(words, pos, numEdges, n));
        for (int i = 0; i < n; ++i) {
            long long e = 0;
            GEO_CHECK(readInt(words, pos, e));
            const long long edge = e >= 0 ? e : -e - 1;
            if (edge >= numEdges)
                return fail(MString("face ") + ValueText::formatInt(f) + " uses edge " + ValueText::formatInt(edge) +
                            ", which does not exist.");
            vertices.push_back(r.edges[size_t(edge) * 3 + (e >= 0 ? 0 : 1)]);
        }
        return MStatus(MS::kSuccess);
    };
    for (unsigned f = first; f < first + count; ++f) {
        if (pos >= words.size() || words[pos] != "f")
            return fail(MString("face ") + ValueText::formatInt(f) + " does not start with an \"f\" record.");
        ++pos;
        const size_t faceBegin = connects.size();
        GEO_CHECK(readLoop(f, connects));
        const int n = int(connects.size() - faceBegin);
        counts.push_back(n);
        for (auto& ids : uvIds)
            ids.resize(connects.size(), -1);
        // Holes follow their face; UV and colour records each go to the face's
        // first loop (its own, then its holes in order) that has none of their set yet.
        const size_t firstHole = r.holes.size(), firstColors = r.loopColors.size();
        auto loopSize = [&](size_t loop) {
            return loop == 0 ? n : int(r.holes[firstHole + loop - 1].vertices.size());
        };
        while (pos < words.size()) {
            const MString record = words[pos];
            if (record == "h") {
                ++pos;
                MeshHole hole;
                hole.face = int(f);
                GEO_CHECK(readLoop(f, hole.vertices));
                hole.uvIds.resize(r.uvSets.size());
                r.holes.push_back(std::move(hole));
            } else if (record == "mu" || record == "mf" || record == "mh") {
                // "mf" and "mh" are the older form of "mu 0" for the face's loop and for a hole.
                ++pos;
                int set = 0, m = 0;
                if (record == "mu")
                    GEO_CHECK(readCount(words, pos, (long long)r.uvSets.size() - 1, set));
                else if (r.uvSets.empty())
                    return fail(MString("face ") + ValueText::formatInt(f) + " has UVs, but the mesh has no UV set.");
                GEO_CHECK(readCount(words, pos, numEdges, m));
                const size_t loops = 1 + r.holes.size() - firstHole;
                size_t loop = record == "mh" ? 1 : 0;
                const size_t lastLoop = record == "mf" ? 1 : loops;
                auto hasUVs = [&](size_t l) {
                    return l == 0 ? n > 0 && uvIds[size_t(set)][faceBegin] >= 0
                                  : !r.holes[firstHole + l - 1].uvIds[size_t(set)].empty();
                };
                while (loop < lastLoop && hasUVs(loop))
                    ++loop;
                if (loop >= lastLoop)
                    return fail(MString("face ") + ValueText::formatInt(f) + " has more \"" + record +
                                "\" records for UV set " + ValueText::formatInt(set) + " than it has loops.");
                if (m != loopSize(loop))
                    return fail(MString("face ") + ValueText::formatInt(f) + " has " + ValueText::formatInt(m) +
                                " UVs for " + ValueText::formatInt(loopSize(loop)) + " corners.");
                const long long lastUV = (long long)r.uvSets[size_t(set)].u.size() - 1;
                std::vector<int> holeIds;
                for (int i = 0; i < m; ++i) {
                    int id = 0;
                    GEO_CHECK(readCount(words, pos, lastUV, id));
                    if (loop == 0)
                        uvIds[size_t(set)][faceBegin + size_t(i)] = id;
                    else
                        holeIds.push_back(id);
                }
                if (loop > 0)
                    r.holes[firstHole + loop - 1].uvIds[size_t(set)] = std::move(holeIds);
            } else if (record == "mc" || record == "fc") {
                // Colour ids, per colour set ("mc") or in the older form ("fc"); -1 leaves a corner uncoloured.
                ++pos;
                MeshLoopColors colors;
                colors.face = int(f);
                int m = 0;
                if (record == "mc")
                    GEO_CHECK(readCount(words, pos, kMaxColorSet, colors.set));
                GEO_CHECK(readCount(words, pos, numEdges, m));
                const size_t loops = 1 + r.holes.size() - firstHole;
                size_t loop = 0;
                auto colored = [&](size_t l) {
                    for (size_t c = firstColors; c < r.loopColors.size(); ++c)
                        if (r.loopColors[c].loop == int(l) && r.loopColors[c].set == colors.set)
                            return true;
                    return false;
                };
                while (loop < loops && colored(loop))
                    ++loop;
                if (loop >= loops)
                    return fail(MString("face ") + ValueText::formatInt(f) + " has more \"" + record +
                                "\" records for one colour set than it has loops.");
                if (m != loopSize(loop))
                    return fail(MString("face ") + ValueText::formatInt(f) + " has " + ValueText::formatInt(m) +
                                " colours for " + ValueText::formatInt(loopSize(loop)) + " corners.");
                colors.loop = int(loop);
                for (int i = 0; i < m; ++i) {
                    long long id = 0;
                    GEO_CHECK(readInt(words, pos, id));
                    if (id < -1 || id > kMaxColorId)
                        return fail(MString("colour id ") + ValueText::formatInt(id) + " is out of range.");
                    colors.ids.push_back(int(id));
                }
                r.loopColors.push_back(std::move(colors));
            } else {
                break;
            }
        }
    }
    if (counts.size() < r.expectedFaces)
        return MS::kSuccess;
    auto g = std::make_shared<MeshGeometry>();
    MString error;
    if (!g->setTopology(r.points, counts, connects, &error))
        return fail(MString("the faces of ") + plug.partialName(true) + " are invalid: " + error + ".");
    // Smooth flags travel with the vertex pairs of the file's edges.
    std::vector<int> pairs;
    std::vector<char> smooth;
    for (size_t e = 0; e * 3 < r.edges.size(); ++e) {
        pairs.push_back(r.edges[e * 3]);
        pairs.push_back(r.edges[e * 3 + 1]);
        smooth.push_back(char(r.edges[e * 3 + 2] != 0));
    }
    if (!r.holes.empty() && !g->setHoles(std::move(r.holes), &error))
        return fail(MString("the holes of ") + plug.partialName(true) + " are invalid: " + error + ".");
    g->setSmoothingByVertexPairs(pairs, smooth);
    for (size_t s = 0; s < r.uvSets.size(); ++s)
        g->setUVSet(r.uvSets[s].name, r.uvSets[s].u, r.uvSets[s].v, uvIds[s]);
    const int current = g->uvSetIndex(r.currentUVSet);
    g->currentUVSet = current < 0 ? 0 : current;
    g->loopColors = std::move(r.loopColors);
    g->userNormals = std::move(r.userNormals);
    g->touch();
    if (g->hasHoles()) {
        int holed = 0;
        for (size_t h = 0; h < g->holes.size(); ++h)
            holed += h == 0 || g->holes[h].face != g->holes[h - 1].face;
        MGlobal::displayWarning(MString("setAttr: ") + SceneNames::nodeName(plug.node()) + " has " +
                                ValueText::formatInt(holed) + (holed == 1 ? " face" : " faces") +
                                " with holes, which the host does not draw or triangulate.");
    }
    shape.clearFileRecords();
    MObject data = MeshData::make(g);
    return modifier.newPlugValue(MPlug(plug.node(), MeshShapeNode::cachedInMesh), data);
}

// User normals set once the mesh is whole (after its faces, or on a mesh
// already in the scene) go straight to its geometry; before that they wait
// for the faces.
MStatus applyUserNormals(MeshShapeNode& shape, const MPlug& plug, MDGModifier& modifier)
{
    MeshFileRecords& r = shape.fileRecords();
    if (!r.faceCounts.empty() || r.expectedFaces > 0)
        return MS::kSuccess;
    const MPlug cached(plug.node(), MeshShapeNode::cachedInMesh);
    MStatus status;
    // Held here: the data lives only as long as an MObject refers to it.
    const MObject value = cached.asMObject(&status);
    const MeshData* data = meshDataOf(value);
    if (!status || !data || data->read().numFaces() == 0)
        return MS::kSuccess;
    auto g = std::make_shared<MeshGeometry>(data->read());
    g->userNormals = r.userNormals;
    g->touch();
    MObject meshData = MeshData::make(g);
    return modifier.newPlugValue(cached, meshData);
}

MStatus readMeshAttribute(MeshShapeNode& shape, const MPlug& plug, const SceneNames::IndexRange& range,
                          const std::vector<MString>& words, size_t& pos, MDGModifier& modifier)
{
    MeshFileRecords& r = shape.fileRecords();
    const MObject attribute = plug.attribute();
    unsigned first = 0, last = 0;
    bool whole = false;
    indexSpan(plug, range, first, last, whole);
    const size_t count = whole ? 0 : size_t(last - first) + 1;
    // Indices past this are beyond any mesh the host handles.
    const unsigned kMaxIndex = 1u << 28;
    if (last >= kMaxIndex)
        return fail(MString("index ") + ValueText::formatInt(last) + " of " + plug.partialName(true) + " is too large.");

    // Pieces come in order; a gap would only be a corrupted file asking for memory.
    auto contiguous = [&](size_t have) {
        return first <= have ? MStatus(MS::kSuccess)
                             : fail(MString("index ") + ValueText::formatInt(first) + " of " +
                                    plug.partialName(true) + " leaves a gap.");
    };
    if (attribute == MeshShapeNode::vrts) {
        GEO_CHECK(contiguous(r.points.size() / 3));
        growTo(r.points, size_t(last + 1) * 3);
        // Files give points in the UI unit; meshes hold centimetres.
        const double scale = LinearUnitText::centimetresPerUiUnit();
        for (size_t i = 0; i < count * 3; ++i) {
            double v = 0;
            GEO_CHECK(readDouble(words, pos, v));
            r.points[size_t(first) * 3 + i] = LinearUnitText::toCentimetres(v, scale);
        }
        return MS::kSuccess;
    }
    if (attribute == MeshShapeNode::edge) {
        GEO_CHECK(contiguous(r.edges.size() / 3));
        growTo(r.edges, size_t(last + 1) * 3);
        for (size_t i = 0; i < count * 3; ++i) {
            int v = 0;
            GEO_CHECK(readCount(words, pos, i % 3 == 2 ? 1 : kMaxIndex, v));
            r.edges[size_t(first) * 3 + i] = v;
        }
        return MS::kSuccess;
    }
    if (attribute == MeshShapeNode::userNormals) {
        GEO_CHECK(contiguous(r.userNormals.size() / 3));
        growTo(r.userNormals, size_t(last + 1) * 3);
        for (size_t i = 0; i < count * 3; ++i) {
            double v = 0;
            GEO_CHECK(readDouble(words, pos, v));
            r.userNormals[size_t(first) * 3 + i] = float(v);
        }
        return applyUserNormals(shape, plug, modifier);
    }
    if (attribute == MeshShapeNode::face)
        return readFaces(shape, plug, first, unsigned(count), words, pos, modifier);
    if (attribute == MeshShapeNode::currentUVSet) {
        if (pos >= words.size())
            return fail("too few values.");
        r.currentUVSet = words[pos++];
        return MS::kSuccess;
    }
    // UV set name or points: the set is the uvst element above the plug.
    const MPlug setPlug = plug.isElement() ? plug.array().parent() : plug.parent();
    if (!setPlug.isElement())
        return fail(MString("give the UV set index of ") + plug.partialName(true) + ".");
    const unsigned set = setPlug.logicalIndex();
    if (set > r.uvSets.size())
        return fail("UV sets come in order: set index out of range.");
    growTo(r.uvSets, size_t(set) + 1);
    MeshUVSet& uv = r.uvSets[set];
    if (attribute == MeshShapeNode::uvSetName) {
        if (pos >= words.size())
            return fail("too few values.");
        uv.name = words[pos++];
        return MS::kSuccess;
    }
    if (attribute == MeshShapeNode::uvSetPoints) {
        GEO_CHECK(contiguous(uv.u.size()));
        growTo(uv.u, size_t(last) + 1);
        growTo(uv.v, size_t(last) + 1);
        for (size_t i = 0; i < count; ++i) {
            double u = 0, v = 0;
            GEO_CHECK(readDouble(words, pos, u));
            GEO_CHECK(readDouble(words, pos, v));
            uv.u[first + i] = float(u);
            uv.v[first + i] = float(v);
        }
        return MS::kSuccess;
    }
    return fail(MString("cannot set ") + plug.partialName(true) + ".");
}

// Words of one "mesh" or "nurbsCurve" value; every error names the plug.
class ValueReader
{
public:
    ValueReader(const char* command, const MString& plugName, const char* type, const std::vector<MString>& words,
                size_t& pos)
        : mCommand(command), mPlugName(plugName), mType(type), mWords(words), mPos(pos)
    {
    }

    MStatus fail(const MString& problem) const
    {
        MGlobal::displayError(MString(mCommand) + ": bad " + mType + " value for " + mPlugName + ": " + problem);
        return MS::kInvalidParameter;
    }

    bool at(const char* word) const { return mPos < mWords.size() && mWords[mPos] == word; }
    size_t remaining() const { return mWords.size() - mPos; }

    MStatus keyword(const char* word)
    {
        if (mPos >= mWords.size())
            return fail(MString("the value ends before \"") + word + "\".");
        if (mWords[mPos] != word)
            return fail(MString("expected \"") + word + "\", found \"" + mWords[mPos] + "\".");
        ++mPos;
        return MS::kSuccess;
    }

    MStatus number(double& value)
    {
        if (mPos >= mWords.size())
            return fail("the value ends too soon.");
        if (!ValueText::parseDouble(mWords[mPos], value))
            return fail(MString("\"") + mWords[mPos] + "\" is not a number.");
        ++mPos;
        return MS::kSuccess;
    }

    // A whole number from `low` to `high`; `what` names it in the message.
    MStatus integer(const char* what, long long low, long long high, int& value)
    {
        if (mPos >= mWords.size())
            return fail("the value ends too soon.");
        long long n = 0;
        if (!ValueText::parseInt(mWords[mPos], n))
            return fail(MString("\"") + mWords[mPos] + "\" is not a whole number.");
        if (n < low || n > high)
            return fail(MString(what) + " " + ValueText::formatInt(n) + " is out of range.");
        ++mPos;
        value = int(n);
        return MS::kSuccess;
    }

    // A count of items of `perItem` words each, which must all follow.
    MStatus count(const char* what, size_t perItem, int& value)
    {
        GEO_CHECK(integer(what, 0, 1 << 28, value));
        if (size_t(value) * perItem > remaining())
            return fail("the value ends too soon.");
        return MS::kSuccess;
    }

    MStatus word(MString& value)
    {
        if (mPos >= mWords.size())
            return fail("the value ends too soon.");
        value = mWords[mPos++];
        return MS::kSuccess;
    }

private:
    const char* mCommand;
    MString mPlugName;
    const char* mType;
    const std::vector<MString>& mWords;
    size_t& mPos;
};

MStatus readCurveValue(ValueReader& in, CurveGeometry& c)
{
    int spans = 0, form = 0, dimension = 0, knotCount = 0, cvCount = 0;
    GEO_CHECK(in.integer("degree", 1, 31, c.degree));
    GEO_CHECK(in.integer("span count", 0, 1 << 24, spans));
    GEO_CHECK(in.integer("form", 0, 2, form));
    MString rationalWord;
    bool rational = false;
    GEO_CHECK(in.word(rationalWord));
    if (!ValueText::parseBool(rationalWord, rational))
        return in.fail(MString("the rational flag must be yes or no, not \"") + rationalWord + "\".");
    GEO_CHECK(in.integer("dimension", 2, 3, dimension));
    GEO_CHECK(in.count("knot count", 1, knotCount));
    for (int i = 0; i < knotCount; ++i) {
        double k = 0;
        GEO_CHECK(in.number(k));
        c.knots.push_back(k);
    }
    GEO_CHECK(in.count("CV count", size_t(dimension + (rational ? 1 : 0)), cvCount));
    // CVs come in the UI unit; curves hold centimetres.
    const double scale = LinearUnitText::centimetresPerUiUnit();
    for (int i = 0; i < cvCount; ++i) {
        double xyz[3] = {0, 0, 0}, weight = 1;
        for (int k = 0; k < dimension; ++k) {
            GEO_CHECK(in.number(xyz[k]));
            xyz[k] *= scale;
        }
        if (rational)
            GEO_CHECK(in.number(weight));
        c.cvs.insert(c.cvs.end(), xyz, xyz + 3);
    }
    c.form = form + 1;
    if (!c.valid() || spans != c.numSpans())
        return in.fail("its degree, knots and CVs are not a valid curve.");
    return MS::kSuccess;
}

// Maya's "mesh" value. Normals follow from the edges' smoothing, so given
// normals are read past and none are written.
MStatus readMeshValue(ValueReader& in, MeshGeometry& g)
{
    int n = 0;
    GEO_CHECK(in.keyword("v"));
    GEO_CHECK(in.count("vertex count", 3, n));
    std::vector<float> points(size_t(n) * 3);
    // Points come in the UI unit; meshes hold centimetres.
    const double scale = LinearUnitText::centimetresPerUiUnit();
    for (float& p : points) {
        double v = 0;
        GEO_CHECK(in.number(v));
        p = LinearUnitText::toCentimetres(v, scale);
    }
    const int numVertices = n;
    if (in.at("vn")) {
        GEO_CHECK(in.keyword("vn"));
        GEO_CHECK(in.count("normal count", 3, n));
        for (int i = 0; i < n * 3; ++i) {
            double ignored = 0;
            GEO_CHECK(in.number(ignored));
        }
    }
    bool hasUVs = false;
    std::vector<float> u, v;
    if (in.at("vt")) {
        hasUVs = true;
        GEO_CHECK(in.keyword("vt"));
        GEO_CHECK(in.count("UV count", 2, n));
        u.resize(size_t(n));
        v.resize(size_t(n));
        for (int i = 0; i < n; ++i) {
            double a = 0, b = 0;
            GEO_CHECK(in.number(a));
            GEO_CHECK(in.number(b));
            u[size_t(i)] = float(a);
            v[size_t(i)] = float(b);
        }
    }
    GEO_CHECK(in.keyword("e"));
    int numEdges = 0;
    GEO_CHECK(in.count("edge count", 3, numEdges));
    std::vector<int> pairs(size_t(numEdges) * 2);
    std::vector<char> smooth(static_cast<size_t>(numEdges));
    for (int e = 0; e < numEdges; ++e) {
        GEO_CHECK(in.integer("vertex", 0, numVertices - 1, pairs[size_t(e) * 2]));
        GEO_CHECK(in.integer("vertex", 0, numVertices - 1, pairs[size_t(e) * 2 + 1]));
        MString kind;
        GEO_CHECK(in.word(kind));
        if (kind != "smooth" && kind != "hard")
            return in.fail(MString("edge ") + ValueText::formatInt(e) + " must be \"smooth\" or \"hard\", not \"" +
                           kind + "\".");
        smooth[size_t(e)] = char(kind == "smooth");
    }
    // Faces walk their edges in order; a negative id -(e+1) walks edge e backwards.
    std::vector<int> counts, connects, uvIds;
    while (in.at("f")) {
        const long long face = (long long)counts.size();
        GEO_CHECK(in.keyword("f"));
        GEO_CHECK(in.integer("face size", 3, numEdges, n));
        const size_t begin = connects.size();
        std::vector<int> ends;
        for (int i = 0; i < n; ++i) {
            int id = 0;
            GEO_CHECK(in.integer("edge id", -(long long)numEdges, numEdges - 1, id));
            const size_t e = size_t(id >= 0 ? id : -id - 1);
            connects.push_back(pairs[e * 2 + (id >= 0 ? 0 : 1)]);
            ends.push_back(pairs[e * 2 + (id >= 0 ? 1 : 0)]);
        }
        for (int i = 0; i < n; ++i)
            if (ends[size_t(i)] != connects[begin + size_t((i + 1) % n)])
                return in.fail(MString("the edges of face ") + ValueText::formatInt(face) +
                               " do not join into a loop.");
        counts.push_back(n);
        uvIds.resize(connects.size(), -1);
        if (in.at("mu")) {
            int set = 0, m = 0;
            GEO_CHECK(in.keyword("mu"));
            GEO_CHECK(in.integer("UV set", 0, hasUVs ? 0 : -1, set));
            GEO_CHECK(in.integer("face UV count", n, n, m));
            for (int i = 0; i < m; ++i)
                GEO_CHECK(in.integer("UV id", 0, (long long)u.size() - 1, uvIds[begin + size_t(i)]));
        }
    }
    MString error;
    if (!g.setTopology(std::move(points), counts, connects, &error))
        return in.fail(MString("the faces do not make a valid mesh: ") + error + ".");
    g.setSmoothingByVertexPairs(pairs, smooth);
    if (hasUVs)
        g.setUVSet("map1", std::move(u), std::move(v), std::move(uvIds));
    g.touch();
    return MS::kSuccess;
}

MStatus readCurve(const MPlug& plug, const std::vector<MString>& words, size_t& pos, MDGModifier& modifier)
{
    MObject data;
    GEO_CHECK(GeometryFileText::parseCurveValue("setAttr", SceneNames::plugName(plug), words, pos, data));
    return modifier.newPlugValue(plug, data);
}

bool isMeshFileAttribute(const MObject& attribute)
{
    for (const MObject* a : {&MeshShapeNode::vrts, &MeshShapeNode::edge, &MeshShapeNode::userNormals, &MeshShapeNode::face,
                             &MeshShapeNode::uvSetName, &MeshShapeNode::uvSetPoints, &MeshShapeNode::currentUVSet})
        if (attribute == *a)
            return true;
    return false;
}

} // namespace

void GeometryFileText::write(const MObject& node, std::string& out)
{
    MStatus status;
    if (node.hasFn(MFn::kMesh)) {
        if (MPlug(node, MeshShapeNode::inMesh).isConnected())
            return;
        const MObject value = MPlug(node, MeshShapeNode::cachedInMesh).asMObject(&status);
        const MeshData* data = meshDataOf(value);
        if (status && data)
            writeMesh(data->read(), out);
    } else if (node.hasFn(MFn::kNurbsCurve)) {
        if (MPlug(node, CurveShapeNode::create).isConnected())
            return;
        const MObject value = MPlug(node, CurveShapeNode::cached).asMObject(&status);
        const CurveData* data = curveDataOf(value);
        if (status && data && data->geometry.valid())
            writeCurve(data->geometry, out);
    }
}

MStatus GeometryFileText::parseSetAttr(const MPlug& plug, const SceneNames::IndexRange& range, const MString& type,
                                       long long size, const std::vector<MString>& words, size_t& pos,
                                       MDGModifier& modifier, bool& handled)
{
    handled = false;
    const MObject node = plug.node();
    if (node.hasFn(MFn::kNurbsCurve) && plug.attribute() == CurveShapeNode::cached) {
        handled = true;
        if (type != "nurbsCurve")
            return fail(MString(plug.partialName(true)) + " takes a -type \"nurbsCurve\" value.");
        return readCurve(plug, words, pos, modifier);
    }
    if (!node.hasFn(MFn::kMesh) || !isMeshFileAttribute(plug.attribute()))
        return MS::kSuccess;
    handled = true;
    Node* n = nodeOf(node);
    if (plug.attribute() == MeshShapeNode::face && type != "polyFaces") {
        // "setAttr -s N .fc" announces the face count; runs after the first may omit the type.
        if (type.length() == 0 && pos >= words.size() && !range.present && !plug.isElement()) {
            if (size >= 0)
                static_cast<MeshShapeNode*>(n->user)->fileRecords().expectedFaces = size_t(size);
            return MS::kSuccess;
        }
        const bool continuation = type.length() == 0 && pos < words.size() && words[pos] == "f";
        if (!continuation)
            return fail(MString(plug.partialName(true)) + " takes a -type \"polyFaces\" value.");
    }
    if (plug.attribute() == MeshShapeNode::face && size >= 0 && range.present && range.first == 0)
        static_cast<MeshShapeNode*>(n->user)->fileRecords().expectedFaces = size_t(size);
    return readMeshAttribute(*static_cast<MeshShapeNode*>(n->user), plug, range, words, pos, modifier);
}

void GeometryFileText::formatCurveValue(const CurveGeometry& c, std::string& out)
{
    // Scene files number the forms from 0: open, closed, periodic.
    out += " -type \"nurbsCurve\" \n\t\t";
    out += std::to_string(c.degree) + " " + std::to_string(c.numSpans()) + " " + std::to_string(c.form - 1) +
           " no 3\n\t\t" + std::to_string(c.knots.size());
    for (double k : c.knots) {
        out += ' ';
        appendDouble(out, k);
    }
    out += "\n\t\t" + std::to_string(c.numCVs());
    const double scale = LinearUnitText::centimetresPerUiUnit();
    for (int i = 0; i < c.numCVs(); ++i) {
        out += "\n\t\t";
        for (int k = 0; k < 3; ++k) {
            if (k)
                out += ' ';
            LinearUnitText::appendDouble(out, c.cvs[size_t(i) * 3 + size_t(k)], scale);
        }
    }
    out += "\n\t\t";
}

void GeometryFileText::formatMeshValue(const MeshGeometry& g, std::string& out)
{
    out += " -type \"mesh\" \n\t\t\"v\" " + std::to_string(g.numVertices());
    const double scale = LinearUnitText::centimetresPerUiUnit();
    for (int i = 0; i < g.numVertices(); ++i) {
        out += "\n\t\t";
        for (int k = 0; k < 3; ++k) {
            if (k)
                out += ' ';
            LinearUnitText::appendFloat(out, g.points[size_t(i) * 3 + size_t(k)], scale);
        }
    }
    out += "\n\t\t\"vn\" 0";
    // The current UV set travels as the value's one set of UVs.
    const MeshUVSet* uvs = g.uvSets.empty() ? nullptr : &g.uvSets[size_t(g.currentUVSet)];
    if (uvs) {
        out += "\n\t\t\"vt\" " + std::to_string(uvs->u.size());
        for (size_t i = 0; i < uvs->u.size(); ++i) {
            out += "\n\t\t";
            appendFloatWord(out, uvs->u[i]);
            out += ' ';
            appendFloatWord(out, uvs->v[i]);
        }
    }
    out += "\n\t\t\"e\" " + std::to_string(g.numEdges());
    for (int e = 0; e < g.numEdges(); ++e)
        out += "\n\t\t" + std::to_string(g.edgeVertices[size_t(e) * 2]) + " " +
               std::to_string(g.edgeVertices[size_t(e) * 2 + 1]) + (g.edgeSmooth[size_t(e)] ? " \"smooth\"" : " \"hard\"");
    for (int f = 0; f < g.numFaces(); ++f) {
        const int begin = g.offsets[size_t(f)], n = g.counts[size_t(f)];
        out += "\n\t\t\"f\" " + std::to_string(n);
        for (int i = 0; i < n; ++i) {
            const int e = g.faceEdges[size_t(begin + i)];
            appendInt(out, g.edgeVertices[size_t(e) * 2] == g.connects[size_t(begin + i)] ? e : -e - 1);
        }
        if (!uvs || uvs->ids.size() < size_t(begin + n))
            continue;
        bool complete = true;
        for (int i = 0; i < n && complete; ++i)
            complete = uvs->ids[size_t(begin + i)] >= 0;
        if (!complete)
            continue;
        out += "\n\t\t\"mu\" 0 " + std::to_string(n);
        for (int i = 0; i < n; ++i)
            appendInt(out, uvs->ids[size_t(begin + i)]);
    }
    out += "\n\t\t";
}

MStatus GeometryFileText::parseMeshValue(const char* command, const MString& plugName,
                                         const std::vector<MString>& words, size_t& pos, MObject& data)
{
    ValueReader in(command, plugName, "mesh", words, pos);
    auto g = std::make_shared<MeshGeometry>();
    GEO_CHECK(readMeshValue(in, *g));
    data = MeshData::make(g);
    return MS::kSuccess;
}

MStatus GeometryFileText::parseCurveValue(const char* command, const MString& plugName,
                                          const std::vector<MString>& words, size_t& pos, MObject& data)
{
    ValueReader in(command, plugName, "nurbsCurve", words, pos);
    CurveGeometry c;
    GEO_CHECK(readCurveValue(in, c));
    data = CurveData::make(&c);
    return MS::kSuccess;
}

} // namespace host
