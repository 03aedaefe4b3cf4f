#include "commands/builtins/PolyEvaluateCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/SceneNames.h"
#include "commands/builtins/ValueText.h"
#include "geometry/LinearUnitText.h"

#include <maya/MArgList.h>
#include <maya/MDoubleArray.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnMesh.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

namespace host {

namespace {

enum Query { kVertex, kEdge, kFace, kTriangle, kUV, kBox };

struct QueryFlag
{
    const char* shortName;
    const char* longName;
    Query query;
};
const QueryFlag kQueries[] = {
    {"-v", "-vertex", kVertex}, {"-e", "-edge", kEdge},     {"-f", "-face", kFace},
    {"-t", "-triangle", kTriangle}, {"-uv", "-uvcoord", kUV}, {"-b", "-boundingBox", kBox},
};

MStatus fail(const MString& message)
{
    MGlobal::displayError(MString("polyEvaluate: ") + message);
    return MS::kInvalidParameter;
}

} // namespace

MStatus PolyEvaluateCommand::doIt(const MArgList& args)
{
    // Flags are read in order: the result lists values in that order.
    std::vector<Query> queries;
    std::vector<MString> names;
    MString uvSet;
    for (unsigned i = 0; i < args.length(); ++i) {
        const MString word = args.asString(i);
        if (!ValueText::isFlag(word)) {
            names.push_back(word);
            continue;
        }
        if (CommandFlags::names(word, "-q", "-query"))
            continue;
        if (CommandFlags::names(word, "-uvs", "-uvSetName")) {
            if (i + 1 >= args.length())
                return fail("-uvSetName needs a UV set name.");
            uvSet = args.asString(++i);
            continue;
        }
        const QueryFlag* found = nullptr;
        for (const QueryFlag& q : kQueries)
            if (CommandFlags::names(word, q.shortName, q.longName))
                found = &q;
        if (!found)
            return fail(MString("Invalid flag '") + word + "'");
        // A boolean after a flag ("-v true") is accepted as MEL passes it.
        bool on = true;
        if (i + 1 < args.length()) {
            const MString next = args.asString(i + 1);
            if (ValueText::isBoolWord(next) || next == "0" || next == "1")
                ValueText::parseBool(args.asString(++i), on);
        }
        if (on && std::find(queries.begin(), queries.end(), found->query) == queries.end())
            queries.push_back(found->query);
    }
    if (queries.empty())
        queries = {kVertex, kEdge, kFace, kUV, kTriangle};

    const bool wantsBox = std::find(queries.begin(), queries.end(), kBox) != queries.end();
    if (wantsBox && queries.size() > 1)
        return fail("counts and the bounding box cannot be queried together.");

    MSelectionList objects;
    MStatus status;
    if (names.empty()) {
        status = MGlobal::getActiveSelectionList(objects);
        if (!status)
            return status;
    }
    for (const MString& name : names) {
        status = SceneNames::addMatches("polyEvaluate", name, objects);
        if (!status)
            return status;
    }

    // Objects that are not polygonal are passed over, as Maya does.
    std::vector<MDagPath> meshes;
    for (unsigned i = 0; i < objects.length(); ++i) {
        MDagPath path;
        if (objects.getDagPath(i, path) != MS::kSuccess)
            continue;
        if (path.node().hasFn(MFn::kMesh)) {
            meshes.push_back(path);
            continue;
        }
        for (unsigned c = 0, n = path.childCount(); c < n; ++c) {
            MDagPath child(path);
            if (path.child(c).hasFn(MFn::kMesh) && child.push(path.child(c)) &&
                !MFnDagNode(child).isIntermediateObject()) {
                meshes.push_back(child);
                break;
            }
        }
    }
    if (meshes.empty()) {
        // Maya answers with this text rather than failing; scripts test for it.
        setResult(MString("Nothing counted : no polygonal object is selected."));
        return MS::kSuccess;
    }

    long long counts[5] = {0, 0, 0, 0, 0};
    double box[6] = {0, 0, 0, 0, 0, 0};
    bool anyPoint = false;
    for (const MDagPath& shape : meshes) {
        MFnMesh mesh(shape, &status);
        if (!status)
            return fail(MString("cannot read the mesh of ") + shape.partialPathName() + ".");
        counts[kVertex] += mesh.numVertices();
        counts[kEdge] += mesh.numEdges();
        counts[kFace] += mesh.numPolygons();
        if (uvSet.length() > 0) {
            MStatus uvStatus;
            const int n = mesh.numUVs(uvSet, &uvStatus);
            if (!uvStatus)
                return fail(MString("no UV set named ") + uvSet + " on " + shape.partialPathName() + ".");
            counts[kUV] += n;
        } else {
            counts[kUV] += mesh.numUVs();
        }
        MIntArray triangleCounts, triangleVertices;
        if (mesh.getTriangles(triangleCounts, triangleVertices))
            for (unsigned f = 0; f < triangleCounts.length(); ++f)
                counts[kTriangle] += triangleCounts[f];
        if (wantsBox) {
            MPointArray points;
            status = mesh.getPoints(points, MSpace::kWorld);
            if (!status)
                return fail(MString("cannot read the points of ") + shape.partialPathName() + ".");
            for (unsigned p = 0; p < points.length(); ++p)
                for (unsigned k = 0; k < 3; ++k) {
                    const double v = points[p][k];
                    if (!anyPoint || v < box[2 * k])
                        box[2 * k] = v;
                    if (!anyPoint || v > box[2 * k + 1])
                        box[2 * k + 1] = v;
                    if (k == 2)
                        anyPoint = true;
                }
        }
    }

    if (queries.size() == 1 && !wantsBox) {
        setResult(int(std::min<long long>(counts[queries[0]], std::numeric_limits<int>::max())));
        return MS::kSuccess;
    }
    if (wantsBox) {
        // MEL shows distances in the UI unit.
        const double scale = LinearUnitText::centimetresPerUiUnit();
        MDoubleArray values;
        for (double v : box)
            values.append(v / scale);
        setResult(values);
        return MS::kSuccess;
    }
    MIntArray values;
    for (Query q : queries)
        values.append(int(std::min<long long>(counts[q], std::numeric_limits<int>::max())));
    setResult(values);
    return MS::kSuccess;
}

} // namespace host
