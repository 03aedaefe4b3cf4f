#include "geometry/MeshShapeNode.h"

#include "dag/Dag.h"
#include "dag/DagAttributes.h"
#include "dg/Node.h"
#include "geometry/GeometryStatus.h"
#include "geometry/MeshData.h"

#include <maya/MArrayDataHandle.h>
#include <maya/MDataHandle.h>
#include <maya/MFnCompoundAttribute.h>
#include <maya/MFnMatrixData.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnTypedAttribute.h>

namespace host {

const MTypeId MeshShapeNode::id(0x4d455348);  // 'MESH'
const char* const MeshShapeNode::typeName = "mesh";

MObject MeshShapeNode::inMesh;
MObject MeshShapeNode::outMesh;
MObject MeshShapeNode::cachedInMesh;
MObject MeshShapeNode::worldMesh;
MObject MeshShapeNode::pnts, MeshShapeNode::pntx, MeshShapeNode::pnty, MeshShapeNode::pntz;
MObject MeshShapeNode::vrts, MeshShapeNode::edge, MeshShapeNode::face, MeshShapeNode::uvSet,
    MeshShapeNode::uvSetName, MeshShapeNode::uvSetPoints, MeshShapeNode::currentUVSet, MeshShapeNode::userNormals;

namespace {

// A hidden, non-storable attribute that only gives scene files a name to use.
MStatus fileOnly(MFnAttribute& fn, bool array)
{
    GEO_CHECK(fn.setStorable(false));
    GEO_CHECK(fn.setHidden(true));
    return array ? fn.setArray(true) : MStatus(MS::kSuccess);
}

MStatus createFileAttributes()
{
    MStatus status;
    MFnNumericAttribute numeric;
    MFnTypedAttribute typed;
    MFnCompoundAttribute compound;
    MeshShapeNode::vrts = numeric.create("vrts", "vt", MFnNumericData::k3Float, 0.0, &status);
    GEO_CHECK(status);
    GEO_CHECK(fileOnly(numeric, true));
    MeshShapeNode::edge = numeric.create("edge", "ed", MFnNumericData::k3Int, 0.0, &status);
    GEO_CHECK(status);
    GEO_CHECK(fileOnly(numeric, true));
    MeshShapeNode::userNormals = numeric.create("normals", "n", MFnNumericData::k3Float, 0.0, &status);
    GEO_CHECK(status);
    GEO_CHECK(fileOnly(numeric, true));
    MeshShapeNode::face = typed.create("face", "fc", MFnData::kIntArray, MObject::kNullObj, &status);
    GEO_CHECK(status);
    GEO_CHECK(fileOnly(typed, true));
    MeshShapeNode::uvSetName = typed.create("uvSetName", "uvsn", MFnData::kString, MObject::kNullObj, &status);
    GEO_CHECK(status);
    GEO_CHECK(fileOnly(typed, false));
    MeshShapeNode::uvSetPoints = numeric.create("uvSetPoints", "uvsp", MFnNumericData::k2Float, 0.0, &status);
    GEO_CHECK(status);
    GEO_CHECK(fileOnly(numeric, true));
    MeshShapeNode::uvSet = compound.create("uvSet", "uvst", &status);
    GEO_CHECK(status);
    GEO_CHECK(compound.addChild(MeshShapeNode::uvSetName));
    GEO_CHECK(compound.addChild(MeshShapeNode::uvSetPoints));
    GEO_CHECK(fileOnly(compound, true));
    MeshShapeNode::currentUVSet = typed.create("currentUVSet", "cuvs", MFnData::kString, MObject::kNullObj, &status);
    GEO_CHECK(status);
    return fileOnly(typed, false);
}

// Calls apply(vertex, offset) for each offset that moves one of the first `count` vertices.
template <class Apply>
MStatus forEachMovingOffset(MArrayDataHandle& offsets, int count, Apply&& apply)
{
    MStatus status;
    for (unsigned i = 0, n = offsets.elementCount(); i < n; ++i, offsets.next()) {
        const unsigned vertex = offsets.elementIndex(&status);
        GEO_CHECK(status);
        if (vertex >= unsigned(count))
            continue;  // offsets past the last vertex have nothing to move
        const float3& offset = offsets.inputValue(&status).asFloat3();
        GEO_CHECK(status);
        if (offset[0] != 0 || offset[1] != 0 || offset[2] != 0)
            apply(vertex, offset);
    }
    return MS::kSuccess;
}

} // namespace

void* MeshShapeNode::creator()
{
    return new MeshShapeNode;
}

MPxNode::Type MeshShapeNode::type() const
{
    return MPxNode::kSurfaceShape;
}

MStatus MeshShapeNode::initialize()
{
    MStatus status;
    MFnTypedAttribute typed;
    inMesh = typed.create("inMesh", "i", MFnData::kMesh, MObject::kNullObj, &status);
    GEO_CHECK(status);
    GEO_CHECK(typed.setStorable(false));
    GEO_CHECK(typed.setHidden(true));
    outMesh = typed.create("outMesh", "o", MFnData::kMesh, MObject::kNullObj, &status);
    GEO_CHECK(status);
    GEO_CHECK(typed.setWritable(false));
    GEO_CHECK(typed.setStorable(false));
    GEO_CHECK(typed.setHidden(true));
    cachedInMesh = typed.create("cachedInMesh", "ci", MFnData::kMesh, MObject::kNullObj, &status);
    GEO_CHECK(status);
    // Written to scene files in the mesh's own form (points, edges, faces), not as a value.
    GEO_CHECK(typed.setStorable(false));
    GEO_CHECK(typed.setHidden(true));
    worldMesh = typed.create("worldMesh", "w", MFnData::kMesh, MObject::kNullObj, &status);
    GEO_CHECK(status);
    GEO_CHECK(typed.setArray(true));
    GEO_CHECK(typed.setWritable(false));
    GEO_CHECK(typed.setStorable(false));
    GEO_CHECK(typed.setUsesArrayDataBuilder(true));

    MFnNumericAttribute numeric;
    pntx = numeric.create("pntx", "px", MFnNumericData::kFloat, 0.0, &status);
    GEO_CHECK(status);
    pnty = numeric.create("pnty", "py", MFnNumericData::kFloat, 0.0, &status);
    GEO_CHECK(status);
    pntz = numeric.create("pntz", "pz", MFnNumericData::kFloat, 0.0, &status);
    GEO_CHECK(status);
    // Tweaks are distances, as in Maya: MEL and scene files give them in the UI unit.
    for (const MObject* child : {&pntx, &pnty, &pntz})
        attributeOf(*child)->unitType = MFnUnitAttribute::kDistance;
    pnts = numeric.create("pnts", "pt", pntx, pnty, pntz, &status);
    GEO_CHECK(status);
    GEO_CHECK(numeric.setArray(true));

    GEO_CHECK(createFileAttributes());
    for (MObject* a : {&inMesh, &outMesh, &cachedInMesh, &worldMesh, &pnts, &vrts, &edge, &userNormals, &face, &uvSet,
                      &currentUVSet})
        GEO_CHECK(addAttribute(*a));
    for (MObject* a : {&inMesh, &cachedInMesh, &pnts}) {
        GEO_CHECK(attributeAffects(*a, outMesh));
        GEO_CHECK(attributeAffects(*a, worldMesh));
    }
    GEO_CHECK(attributeAffects(DagAttributes::worldMatrix, worldMesh));
    return MS::kSuccess;
}

MeshFileRecords& MeshShapeNode::fileRecords()
{
    if (!mFileRecords)
        mFileRecords.reset(new MeshFileRecords);
    return *mFileRecords;
}

MStatus MeshShapeNode::compute(const MPlug& plug, MDataBlock& block)
{
    if (plug == outMesh)
        return computeOutMesh(plug, block);
    if (plug == worldMesh || (plug.isElement() && plug.array() == worldMesh))
        return computeWorldMesh(plug, block);
    return MS::kUnknownParameter;
}

// outMesh: the input (connection, else the shape's own geometry) with the tweaks added.
MStatus MeshShapeNode::computeOutMesh(const MPlug& plug, MDataBlock& block)
{
    MStatus status;
    const MObject self = thisMObject();
    const bool connected = MPlug(self, inMesh).isConnected(&status);
    GEO_CHECK(status);
    MDataHandle input = block.inputValue(connected ? inMesh : cachedInMesh, &status);
    GEO_CHECK(status);
    const MeshData* source = meshDataOf(input.data());
    const MeshGeometryPtr from = source ? source->shared() : std::make_shared<MeshGeometry>();

    MArrayDataHandle tweaks = block.inputArrayValue(pnts, &status);
    GEO_CHECK(status);
    MeshGeometryPtr geometry = takeOwnResult(from);
    mBuiltFrom.reset();  // until this result is whole
    if (geometry) {
        GEO_CHECK(retweak(tweaks, *from, *geometry));
    } else {
        geometry = from;
        mTweaked.clear();
        GEO_CHECK(addVertexOffsets(tweaks, geometry, &mTweaked));
    }
    MDataHandle out = block.outputValue(outMesh, &status);
    GEO_CHECK(status);
    GEO_CHECK(out.set(MeshData::make(geometry)));
    mBuiltFrom = from;
    mBuiltFromVersion = from->version();
    mBuiltVersion = geometry->version();
    return block.setClean(plug);
}

// The last outMesh geometry, when it was built from this very input and nothing but this node's
// own outputs (stale now, about to be replaced) holds it: a change of tweaks alone then moves its
// tweaked vertices where they are instead of copying every point again. Null otherwise.
MeshGeometryPtr MeshShapeNode::takeOwnResult(const MeshGeometryPtr& input)
{
    if (mBuiltFrom.lock() != input || input->version() != mBuiltFromVersion)
        return nullptr;
    Node* node = NodeAccess::node(this);
    Slot* out = node->slotOf(attributeOf(outMesh));
    const MeshData* data = out ? meshDataOf(out->data) : nullptr;
    if (!data || data->shared() == input || data->read().version() != mBuiltVersion)
        return nullptr;
    MeshGeometryPtr result = data->shared();
    out->data = MObject();
    if (Slot* world = node->slotOf(attributeOf(worldMesh)))
        for (const std::unique_ptr<Slot>& element : world->elements)
            if (element->dirty)
                element->data = MObject();
    // Anyone else still holding it (a connection, a plug-in's MObject) keeps it as it is.
    return result.use_count() == 1 ? result : nullptr;
}

// Moves the vertices the last tweaks moved back to the input, then applies the tweaks as they are
// now: the same points a full rebuild gives, touching only tweaked vertices.
MStatus MeshShapeNode::retweak(MArrayDataHandle offsets, const MeshGeometry& input, MeshGeometry& result)
{
    std::vector<float>& points = result.points.edit();  // copied only when another geometry shares them
    const std::vector<float>& original = input.points;
    for (unsigned vertex : mTweaked)
        for (size_t k = 0; k < 3; ++k)
            points[size_t(vertex) * 3 + k] = original[size_t(vertex) * 3 + k];
    mTweaked.clear();
    GEO_CHECK(forEachMovingOffset(offsets, result.numVertices(), [&](unsigned vertex, const float3& offset) {
        for (size_t k = 0; k < 3; ++k)
            points[size_t(vertex) * 3 + k] = original[size_t(vertex) * 3 + k] + offset[k];
        mTweaked.push_back(vertex);
    }));
    result.touchPoints();
    return MS::kSuccess;
}

MStatus MeshShapeNode::addVertexOffsets(MArrayDataHandle offsets, MeshGeometryPtr& geometry,
                                        std::vector<unsigned>* movedVertices)
{
    std::vector<float> moved;
    GEO_CHECK(forEachMovingOffset(offsets, geometry->numVertices(), [&](unsigned vertex, const float3& offset) {
        if (moved.empty())
            moved = geometry->points;
        for (size_t k = 0; k < 3; ++k)
            moved[size_t(vertex) * 3 + k] += offset[k];
        if (movedVertices)
            movedVertices->push_back(vertex);
    }));
    if (!moved.empty()) {
        geometry = std::make_shared<MeshGeometry>(*geometry);
        geometry->setPoints(std::move(moved));
    }
    return MS::kSuccess;
}

// worldMesh[i]: outMesh's geometry carrying the world matrix of instance i.
MStatus MeshShapeNode::computeWorldMesh(const MPlug& plug, MDataBlock& block)
{
    MStatus status;
    const MObject self = thisMObject();
    MObject local = MPlug(self, outMesh).asMObject(&status);
    GEO_CHECK(status);
    const MeshData* source = meshDataOf(local);
    MeshGeometryPtr geometry = source ? source->shared() : std::make_shared<MeshGeometry>();

    const MPlug array(self, worldMesh);
    const MPlug matrices(self, DagAttributes::worldMatrix);
    const unsigned count = instanceCount(NodeAccess::node(this));
    const unsigned first = plug.isElement() ? plug.logicalIndex() : 0;
    const unsigned last = plug.isElement() ? first + 1 : count;
    for (unsigned i = first; i < last; ++i) {
        MObject matrixData = matrices.elementByLogicalIndex(i, &status).asMObject(&status);
        GEO_CHECK(status);
        MFnMatrixData fnMatrix(matrixData, &status);
        GEO_CHECK(status);
        MObject data = MeshData::make(geometry);
        meshDataOf(data)->matrix = fnMatrix.matrix();
        MPlug element = array.elementByLogicalIndex(i, &status);
        GEO_CHECK(status);
        MDataHandle handle = block.outputValue(element, &status);
        GEO_CHECK(status);
        GEO_CHECK(handle.set(data));
        GEO_CHECK(block.setClean(element));
    }
    return block.setClean(plug.isElement() ? plug.array() : plug);
}

} // namespace host
