#include "geometry/MeshComponents.h"

#include "commands/builtins/SceneNames.h"
#include "commands/builtins/ValueText.h"
#include "dg/Component.h"
#include "geometry/GeometryStatus.h"
#include "geometry/CurveData.h"
#include "geometry/CurveShapeNode.h"
#include "geometry/MeshData.h"
#include "geometry/MeshShapeNode.h"

#include <maya/MFnDagNode.h>
#include <maya/MDistance.h>
#include <maya/MFnMesh.h>
#include <maya/MFnNurbsCurve.h>
#include <maya/MGlobal.h>
#include <maya/MMatrix.h>
#include <maya/MPlug.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>

#include <algorithm>
#include <cstring>

namespace host {

namespace {

// Reports "<command>: message"; quietly without a command (names resolved through the API).
MStatus fail(const char* command, const MString& message)
{
    if (command)
        MGlobal::displayError(MString(command) + ": " + message);
    return MS::kInvalidParameter;
}

// The shape of a node of the given type: itself, or the first such shape under a transform.
MStatus shapeOf(const char* command, const MString& name, MFn::Type type, const char* typeName, MDagPath& shape)
{
    MSelectionList list;
    MStatus status = list.add(name);
    if (!status || list.length() != 1 || !list.getDagPath(0, shape))
        return fail(command, MString("No object matches name: ") + name);
    if (shape.node().hasFn(type))
        return MS::kSuccess;
    const unsigned children = shape.childCount();
    for (unsigned i = 0; i < children; ++i) {
        MObject child = shape.child(i);
        if (child.hasFn(type) && !MFnDagNode(child).isIntermediateObject()) {
            GEO_CHECK(shape.push(child));
            return MS::kSuccess;
        }
    }
    return fail(command, name + " is not a " + typeName + ".");
}

// "node.kind[range]" split into its node, kind and range texts.
MStatus splitComponent(const char* command, const MString& text, std::string& node, std::string& kind,
                       std::string& range)
{
    const std::string s(text.asChar());
    const size_t dot = s.rfind('.'), open = s.find('[', dot == std::string::npos ? 0 : dot);
    if (dot == std::string::npos || open == std::string::npos || s.back() != ']')
        return fail(command, MString("\"") + text + "\" is not a component.");
    node = s.substr(0, dot);
    kind = s.substr(dot + 1, open - dot - 1);
    range = s.substr(open + 1, s.size() - open - 2);
    return MS::kSuccess;
}

// The indices "i", "a:b" or "*" name among `count`.
MStatus rangeIndices(const char* command, const MString& text, const std::string& range, int count,
                     const char* owner, std::vector<int>& indices)
{
    long long first = 0, last = count - 1;
    const size_t colon = range.find(':');
    if (range != "*") {
        const MString a(range.substr(0, colon).c_str());
        const MString b(colon == std::string::npos ? a : MString(range.substr(colon + 1).c_str()));
        if (!ValueText::parseInt(a, first) || !ValueText::parseInt(b, last) || first > last)
            return fail(command, MString("bad index range in ") + text + ".");
    }
    if (first < 0 || last >= count)
        return fail(command, text + " is out of range: the " + owner + " has " + ValueText::formatInt(count) +
                                 " of them.");
    indices.clear();
    for (long long i = first; i <= last; ++i)
        indices.push_back(int(i));
    return MS::kSuccess;
}

} // namespace

bool looksLikeComponent(const MString& text)
{
    const char* s = text.asChar();
    const char* dot = std::strrchr(s, '.');
    return dot && std::strchr(dot, '[') && s[text.length() - 1] == ']';
}

MStatus findMeshComponent(const char* command, const MString& text, MeshComponent& component)
{
    std::string node, kind, range;
    GEO_CHECK(splitComponent(command, text, node, kind, range));
    component.kind = MString(kind.c_str());
    if (component.kind != "vtx" && component.kind != "f" && component.kind != "e")
        return fail(command, MString("unknown component type in ") + text + ".");
    GEO_CHECK(shapeOf(command, MString(node.c_str()), MFn::kMesh, "mesh", component.shape));
    MFnMesh mesh(component.shape);
    const int count = component.kind == "vtx" ? mesh.numVertices() : component.kind == "f" ? mesh.numPolygons()
                                                                                          : mesh.numEdges();
    return rangeIndices(command, text, range, count, "mesh", component.indices);
}

MStatus resolveComponentName(const MString& text, MDagPath& shape, MObject& component)
{
    if (!looksLikeComponent(text))
        return MS::kNotFound;
    std::string node, kind, range;
    GEO_CHECK(splitComponent(nullptr, text, node, kind, range));
    const MFn::Type type = componentTypeOfKind(kind);
    if (type == MFn::kInvalid)
        return MS::kNotFound;
    // Another node's multi attribute of that name ("node.e[0]") is a plug, not a component.
    MDagPath owner;
    const bool cvs = type == MFn::kCurveCVComponent;
    if (!shapeOf(nullptr, MString(node.c_str()), cvs ? MFn::kNurbsCurve : MFn::kMesh, "", owner))
        return SceneNames::exists(MString(node.c_str())) ? MS::kNotFound : MS::kInvalidParameter;
    std::vector<int> indices;
    if (cvs) {
        CurveComponent cvs;
        GEO_CHECK(findCurveComponent(nullptr, text, cvs));
        shape = cvs.shape;
        indices = std::move(cvs.indices);
    } else {
        MeshComponent mesh;
        GEO_CHECK(findMeshComponent(nullptr, text, mesh));
        shape = mesh.shape;
        indices = std::move(mesh.indices);
    }
    component = makeComponent(type, std::move(indices));
    return MS::kSuccess;
}

MStatus findCurveComponent(const char* command, const MString& text, CurveComponent& component)
{
    std::string node, kind, range;
    GEO_CHECK(splitComponent(command, text, node, kind, range));
    if (kind != "cv")
        return fail(command, MString("unknown component type in ") + text + ".");
    GEO_CHECK(shapeOf(command, MString(node.c_str()), MFn::kNurbsCurve, "NURBS curve", component.shape));
    return rangeIndices(command, text, range, MFnNurbsCurve(component.shape).numCVs(), "curve", component.indices);
}

MStatus findMoveTargets(const char* command, const std::vector<MString>& names, MoveTargets& targets)
{
    MSelectionList objects;
    for (const MString& name : names) {
        if (looksLikeComponent(name) && std::string(name.asChar()).find(".cv[") != std::string::npos) {
            CurveComponent component;
            GEO_CHECK(findCurveComponent(command, name, component));
            // CVs of one curve named apart move together, so that no move undoes another.
            auto same = std::find_if(targets.cvs.begin(), targets.cvs.end(),
                                     [&](const CurveComponent& c) { return c.shape == component.shape; });
            if (same == targets.cvs.end()) {
                targets.cvs.push_back(component);
            } else {
                same->indices.insert(same->indices.end(), component.indices.begin(), component.indices.end());
                std::sort(same->indices.begin(), same->indices.end());
                same->indices.erase(std::unique(same->indices.begin(), same->indices.end()), same->indices.end());
            }
        } else if (looksLikeComponent(name)) {
            MeshComponent component;
            GEO_CHECK(findMeshComponent(command, name, component));
            if (component.kind != "vtx")
                return fail(command, MString("only vertices and CVs can be moved: ") + name + ".");
            targets.vertices.push_back(component);
        } else {
            GEO_CHECK(SceneNames::addMatches(command, name, objects));
        }
    }
    if (names.empty())
        GEO_CHECK(MGlobal::getActiveSelectionList(objects));
    for (unsigned i = 0; i < objects.length(); ++i) {
        MDagPath path;
        if (!objects.getDagPath(i, path) || !path.node().hasFn(MFn::kTransform)) {
            MObject node;
            objects.getDependNode(i, node);
            return fail(command, SceneNames::nodeName(node) + " is not a transform.");
        }
        targets.transforms.push_back(path);
    }
    if (targets.vertices.empty() && targets.cvs.empty() && targets.transforms.empty())
        return fail(command, "nothing to move: name or select objects, vertices or CVs.");
    return MS::kSuccess;
}

MStatus vertexPositions(const MeshComponent& vertices, bool worldSpace, std::vector<double>& xyz)
{
    MFnMesh mesh(vertices.shape);
    xyz.clear();
    for (int v : vertices.indices) {
        MPoint p;
        GEO_CHECK(mesh.getPoint(v, p, worldSpace ? MSpace::kWorld : MSpace::kObject));
        xyz.insert(xyz.end(), {p.x, p.y, p.z});
    }
    return MS::kSuccess;
}

MStatus queueVertexMove(MDGModifier& modifier, const MeshComponent& vertices, const MVector& value, bool relative,
                        bool worldSpace)
{
    MStatus status;
    const MMatrix toObject = worldSpace ? vertices.shape.inclusiveMatrixInverse(&status) : MMatrix();
    GEO_CHECK(status);
    MFnMesh mesh(vertices.shape);
    MPlug tweaks(vertices.shape.node(), MeshShapeNode::pnts);
    for (int v : vertices.indices) {
        MPlug element = tweaks.elementByLogicalIndex(unsigned(v), &status);
        GEO_CHECK(status);
        float tweak[3];
        for (unsigned k = 0; k < 3; ++k)
            tweak[k] = element.child(k).asFloat();
        MVector offset;
        if (relative) {
            offset = worldSpace ? value * toObject : value;  // a direction: no translation
        } else {
            MPoint current;
            GEO_CHECK(mesh.getPoint(v, current));
            const MPoint target = worldSpace ? MPoint(value) * toObject : MPoint(value);
            offset = target - current;
        }
        for (unsigned k = 0; k < 3; ++k)
            GEO_CHECK(modifier.newPlugValueFloat(element.child(k), tweak[k] + float(offset[k])));
    }
    return MS::kSuccess;
}

MStatus cvPositions(const CurveComponent& cvs, bool worldSpace, std::vector<double>& xyz)
{
    MFnNurbsCurve curve(cvs.shape);
    xyz.clear();
    for (int i : cvs.indices) {
        MPoint p;
        GEO_CHECK(curve.getCV(unsigned(i), p, worldSpace ? MSpace::kWorld : MSpace::kObject));
        xyz.insert(xyz.end(), {p.x, p.y, p.z});
    }
    return MS::kSuccess;
}

MStatus queueCVMove(MDGModifier& modifier, const CurveComponent& cvs, const MVector& value, bool relative,
                    bool worldSpace)
{
    MStatus status;
    const MObject shape = cvs.shape.node();
    const MMatrix toObject = worldSpace ? cvs.shape.inclusiveMatrixInverse(&status) : MMatrix();
    GEO_CHECK(status);
    const MObject localData = MPlug(shape, CurveShapeNode::local).asMObject(&status);
    GEO_CHECK(status);
    const CurveData* local = curveDataOf(localData);
    if (!local || !local->geometry.valid())
        return fail("move", MString("cannot read the curve of ") + cvs.shape.partialPathName() + ".");
    const CurveGeometry& g = local->geometry;
    // A periodic curve repeats its first `degree` CVs at its end: they move as one.
    const int distinct = g.form == 3 ? g.numCVs() - g.degree : g.numCVs();
    std::vector<double> offsets(g.cvs.size(), 0.0);
    for (int i : cvs.indices) {
        const int cv = i % distinct;
        const MPoint current(g.cvs[size_t(cv) * 3], g.cvs[size_t(cv) * 3 + 1], g.cvs[size_t(cv) * 3 + 2]);
        const MVector offset = relative ? (worldSpace ? value * toObject : value)  // a direction
                                        : (worldSpace ? MPoint(value) * toObject : MPoint(value)) - current;
        for (int copy = cv; copy < g.numCVs(); copy += distinct)
            for (int k = 0; k < 3; ++k)
                offsets[size_t(copy) * 3 + size_t(k)] = offset[k];
    }
    if (!MPlug(shape, CurveShapeNode::create).isConnected()) {
        // A curve of its own: its CVs change.
        const MObject ownData = MPlug(shape, CurveShapeNode::cached).asMObject(&status);
        GEO_CHECK(status);
        const CurveData* own = curveDataOf(ownData);
        if (!own || own->geometry.cvs.size() != g.cvs.size())
            return fail("move", MString("cannot read the curve of ") + cvs.shape.partialPathName() + ".");
        CurveGeometry moved = own->geometry;
        for (size_t k = 0; k < moved.cvs.size(); ++k)
            moved.cvs[k] += offsets[k];
        MObject data = CurveData::make(&moved);
        return modifier.newPlugValue(MPlug(shape, CurveShapeNode::cached), data);
    }
    // A curve from its history: tweaks on top of it.
    MPlug tweaks(shape, CurveShapeNode::controlPoints);
    for (int cv = 0; cv < g.numCVs(); ++cv) {
        const double* delta = &offsets[size_t(cv) * 3];
        if (delta[0] == 0 && delta[1] == 0 && delta[2] == 0)
            continue;
        MPlug element = tweaks.elementByLogicalIndex(unsigned(cv), &status);
        GEO_CHECK(status);
        for (unsigned k = 0; k < 3; ++k)
            GEO_CHECK(modifier.newPlugValueMDistance(
                element.child(k), MDistance(element.child(k).asDouble() + delta[k], MDistance::kCentimeters)));
    }
    return MS::kSuccess;
}

namespace {

// The mesh without the marked faces, renumbering what is left in order.
MeshGeometryPtr withoutFaces(const MeshGeometry& g, const std::vector<char>& removed)
{
    std::vector<int> vertexMap(size_t(g.numVertices()), -1), counts, connects;
    std::vector<float> points;
    for (int f = 0; f < g.numFaces(); ++f) {
        if (removed[size_t(f)])
            continue;
        counts.push_back(g.counts[size_t(f)]);
        for (int c = g.offsets[size_t(f)]; c < g.offsets[size_t(f) + 1]; ++c)
            vertexMap[size_t(g.connects[size_t(c)])] = 0;
    }
    int next = 0;
    for (size_t v = 0; v < vertexMap.size(); ++v)
        if (vertexMap[v] == 0) {
            vertexMap[v] = next++;
            points.insert(points.end(), g.points.begin() + long(v) * 3, g.points.begin() + long(v) * 3 + 3);
        }
    for (int f = 0; f < g.numFaces(); ++f)
        if (!removed[size_t(f)])
            for (int c = g.offsets[size_t(f)]; c < g.offsets[size_t(f) + 1]; ++c)
                connects.push_back(vertexMap[size_t(g.connects[size_t(c)])]);
    auto result = std::make_shared<MeshGeometry>();
    result->setTopology(std::move(points), std::move(counts), std::move(connects));

    std::vector<int> pairs;
    for (int e = 0; e < g.numEdges(); ++e)
        for (int k = 0; k < 2; ++k)
            pairs.push_back(vertexMap[size_t(g.edgeVertices[size_t(e) * 2 + k])]);
    result->setSmoothingByVertexPairs(pairs, g.edgeSmooth);

    for (const MeshUVSet& set : g.uvSets) {
        std::vector<int> uvMap(set.u.size(), -1), ids;
        std::vector<float> u, v;
        for (int f = 0; f < g.numFaces(); ++f)
            if (!removed[size_t(f)])
                for (int c = g.offsets[size_t(f)]; c < g.offsets[size_t(f) + 1]; ++c)
                    if (set.ids[size_t(c)] >= 0)
                        uvMap[size_t(set.ids[size_t(c)])] = 0;
        for (size_t i = 0; i < uvMap.size(); ++i)
            if (uvMap[i] == 0) {
                uvMap[i] = int(u.size());
                u.push_back(set.u[i]);
                v.push_back(set.v[i]);
            }
        for (int f = 0; f < g.numFaces(); ++f)
            if (!removed[size_t(f)])
                for (int c = g.offsets[size_t(f)]; c < g.offsets[size_t(f) + 1]; ++c)
                    ids.push_back(set.ids[size_t(c)] >= 0 ? uvMap[size_t(set.ids[size_t(c)])] : -1);
        result->setUVSet(set.name, std::move(u), std::move(v), std::move(ids));
    }
    result->currentUVSet = g.currentUVSet;
    return result;
}

} // namespace

MStatus queueFaceDeletion(MDGModifier& modifier, const char* command, const std::vector<MString>& texts)
{
    // Faces to remove per mesh shape, in the order the meshes were first named.
    std::vector<std::pair<MObject, std::vector<char>>> meshes;
    for (const MString& text : texts) {
        MeshComponent faces;
        GEO_CHECK(findMeshComponent(command, text, faces));
        if (faces.kind != "f")
            return fail(command, MString("only faces can be deleted: ") + text + ".");
        const MObject shape = faces.shape.node();
        if (MPlug(shape, MeshShapeNode::inMesh).isConnected())
            return fail(command, MString("cannot delete faces of ") + text + ": its mesh comes from a connection.");
        auto it = std::find_if(meshes.begin(), meshes.end(), [&](const auto& entry) { return entry.first == shape; });
        if (it == meshes.end()) {
            meshes.emplace_back(shape, std::vector<char>(size_t(MFnMesh(faces.shape).numPolygons()), 0));
            it = meshes.end() - 1;
        }
        for (int f : faces.indices)
            it->second[size_t(f)] = 1;
    }
    for (const auto& [shape, removed] : meshes) {
        MStatus status;
        const MObject current = MPlug(shape, MeshShapeNode::outMesh).asMObject(&status);
        GEO_CHECK(status);
        const MeshData* data = meshDataOf(current);
        if (!data || size_t(data->read().numFaces()) != removed.size())
            return fail(command, MString("cannot read the mesh of ") + SceneNames::nodeName(shape) + ".");
        MObject remaining = MeshData::make(withoutFaces(data->read(), removed));
        GEO_CHECK(modifier.newPlugValue(MPlug(shape, MeshShapeNode::cachedInMesh), remaining));
        MPlug tweaks(shape, MeshShapeNode::pnts);
        for (unsigned i = 0, n = tweaks.numElements(); i < n; ++i) {
            MPlug element = tweaks.elementByPhysicalIndex(i, &status);
            GEO_CHECK(status);
            for (unsigned k = 0; k < 3; ++k)
                GEO_CHECK(modifier.newPlugValueFloat(element.child(k), 0.0f));
        }
    }
    return MS::kSuccess;
}

MStatus queueTranslate(MDGModifier& modifier, const MDagPath& transform, const MVector& value, bool relative,
                       bool worldSpace)
{
    MStatus status;
    MPlug translate = MFnDagNode(transform).findPlug("translate", true, &status);
    GEO_CHECK(status);
    MVector current;
    for (unsigned k = 0; k < 3; ++k)
        current[k] = translate.child(k).asDouble();
    MVector local = value;
    if (worldSpace) {
        const MMatrix parentInverse = transform.exclusiveMatrixInverse(&status);
        GEO_CHECK(status);
        local = relative ? value * parentInverse : MVector(MPoint(value) * parentInverse);
    }
    const MVector result = relative ? current + local : local;
    for (unsigned k = 0; k < 3; ++k)
        GEO_CHECK(modifier.newPlugValueDouble(translate.child(k), result[k]));
    return MS::kSuccess;
}

} // namespace host
