#include "vertexWrap/VertexWrap.h"

#include "plugin/IntArrayData.h"
#include "plugin/NodeAttributes.h"
#include "plugin/StatusCheck.h"
#include "vertexWrap/VertexWrapDeform.h"

#include <maya/MArrayDataHandle.h>
#include <maya/MDataBlock.h>
#include <maya/MDataHandle.h>
#include <maya/MFnGeometryData.h>
#include <maya/MFnIntArrayData.h>
#include <maya/MFnMesh.h>
#include <maya/MIntArray.h>
#include <maya/MItGeometry.h>
#include <maya/MPlug.h>

#include <algorithm>

namespace {
const char* const kStatusSource = "vertexWrap";
} // namespace

const MTypeId VertexWrap::id(0x140544);
const MString VertexWrap::typeName("vertexWrap");

MObject VertexWrap::inMesh;
MObject VertexWrap::vertexMapping;

VertexWrap::VertexWrap() = default;
VertexWrap::~VertexWrap() = default;

void* VertexWrap::creator()
{
    return new VertexWrap();
}

MStatus VertexWrap::initialize()
{
    PELLIX_CHECK(createTypedAttribute(inMesh, "inMesh", "inMesh", MFnData::kMesh, MObject::kNullObj,
                                      kAttrNotStorable));
    PELLIX_CHECK(addAttribute(inMesh));

    // One map per deformed geometry, at the geometry's multi index.
    PELLIX_CHECK(createTypedAttribute(vertexMapping, "vertexMapping", "vm", MFnData::kIntArray, MObject::kNullObj,
                                      kAttrArray | kAttrUsesArrayDataBuilder | kAttrHidden | kAttrNotConnectable));
    PELLIX_CHECK(addAttribute(vertexMapping));

    PELLIX_CHECK(attributeAffects(inMesh, outputGeom));
    PELLIX_CHECK(attributeAffects(vertexMapping, outputGeom));
    return MS::kSuccess;
}

MStatus VertexWrap::setDependentsDirty(const MPlug& plug, MPlugArray& plugArray)
{
    if (plug == inMesh) {
        // A new driver mesh is coming: whoever still holds the old points keeps them.
        fDriverPointCache.reset();
    }
    return MS::kSuccess;
}

MStatus VertexWrap::cachedDriverPoints(const MObject& driverMesh, std::shared_ptr<const MPointArray>& points)
{
    MStatus status;
    points = fDriverPointCache.get(
        MObjectHandle(driverMesh),
        [&](const MObjectHandle& held) { return held.isValid() && held.object() == driverMesh; },
        [&](MPointArray& fresh) {
            MFnMesh meshFn(driverMesh, &status);
            if (status)
                status = meshFn.getPoints(fresh, MSpace::kWorld);
            return static_cast<bool>(status);
        });
    PELLIX_CHECK(status);
    return MS::kSuccess;
}

MStatus VertexWrap::readVertexMap(MDataBlock& block, unsigned int multiIndex, MIntArray& map)
{
    MStatus status;
    MArrayDataHandle maps = block.inputArrayValue(vertexMapping, &status);
    PELLIX_CHECK(status);
    if (!maps.jumpToElement(multiIndex))
        return MS::kSuccess;  // this geometry has no map
    MDataHandle mapHandle = maps.inputValue(&status);
    PELLIX_CHECK(status);
    MObject mapData = mapHandle.data();
    if (mapData.isNull())
        return MS::kSuccess;
    MFnIntArrayData mapFn(mapData, &status);
    PELLIX_CHECK(status);
    map = mapFn.array(&status);
    PELLIX_CHECK(status);
    return MS::kSuccess;
}

MStatus VertexWrap::readDriverPoints(const MObject& driverMesh, const MMatrix& worldToLocal, DriverSource& source)
{
    MStatus status;
    MFnMesh driverFn(driverMesh, &status);
    PELLIX_CHECK(status);
    source.toLocal = worldToLocal;
    MStatus rawStatus;
    const float* raw = driverFn.getRawPoints(&rawStatus);
    if (rawStatus && raw) {
        source.points.floatXyz = raw;
        source.points.count = driverFn.numVertices(&status);
        PELLIX_CHECK(status);
        // Raw points are in the driver's object space; the data's matrix takes them to the world.
        MFnGeometryData dataFn(driverMesh, &status);
        PELLIX_CHECK(status);
        MMatrix driverToWorld;
        PELLIX_CHECK(dataFn.getMatrix(driverToWorld));
        source.toLocal = driverToWorld * worldToLocal;
        return MS::kSuccess;
    }
    PELLIX_CHECK(cachedDriverPoints(driverMesh, source.cached));
    if (source.cached) {
        source.points.count = source.cached->length();
        source.points.doubleXyzw = source.points.count > 0 ? &(*source.cached)[0].x : nullptr;
    }
    return MS::kSuccess;
}

MStatus VertexWrap::moveMappedVertices(MDataBlock& block, unsigned int multiIndex, MItGeometry& iter,
                                       const DriverSource& source, const MIntArray& map, double weight)
{
    MStatus status;
    const int vertexCount = iter.count(&status);
    PELLIX_CHECK(status);
    const int64_t mapped = std::min<int64_t>(vertexCount, map.length());
    if (mapped <= 0)
        return MS::kSuccess;
    const int* ids = intArrayData(map);

    // Every vertex follows the driver in full: write the new positions without reading the old.
    if (weight == 1.0 && mapped == vertexCount) {
        if (fPositions.length() != static_cast<unsigned int>(vertexCount))
            PELLIX_CHECK(fPositions.setLength(static_cast<unsigned int>(vertexCount)));
        if (VertexWrapDeform::deformAll(source.points, source.toLocal.matrix, ids, mapped, &fPositions[0].x)) {
            // Straight into the output mesh's points (the geometry being iterated).
            MArrayDataHandle outputs = block.outputArrayValue(outputGeom, &status);
            PELLIX_CHECK(status);
            PELLIX_CHECK(outputs.jumpToElement(multiIndex));
            MDataHandle output = outputs.outputValue(&status);
            PELLIX_CHECK(status);
            MFnMesh outputMesh(output.asMesh(), &status);
            PELLIX_CHECK(status);
            PELLIX_CHECK(outputMesh.setPoints(fPositions, MSpace::kObject));
            return MS::kSuccess;
        }
    }

    MPointArray positions;
    PELLIX_CHECK(iter.allPositions(positions, MSpace::kObject));
    const int64_t count = std::min<int64_t>(mapped, positions.length());
    if (count <= 0)
        return MS::kSuccess;
    if (VertexWrapDeform::deformMapped(source.points, source.toLocal.matrix, ids, count, weight, &positions[0].x) >
        0)
        PELLIX_CHECK(iter.setAllPositions(positions, MSpace::kObject));
    return MS::kSuccess;
}

MStatus VertexWrap::deform(MDataBlock& block, MItGeometry& iter, const MMatrix& localToWorld,
                           unsigned int multiIndex)
{
    MStatus status;
    MDataHandle envelopeHandle = block.inputValue(envelope, &status);
    PELLIX_CHECK(status);
    const double weight = envelopeHandle.asFloat();
    if (weight == 0.0)
        return MS::kSuccess;

    MDataHandle meshHandle = block.inputValue(inMesh, &status);
    PELLIX_CHECK(status);
    MObject driverMesh = meshHandle.asMesh();
    if (driverMesh.isNull())
        return MS::kSuccess;

    MIntArray map;
    PELLIX_CHECK(readVertexMap(block, multiIndex, map));
    if (map.length() == 0)
        return MS::kSuccess;

    DriverSource source;  // keeps cached fallback points alive while they are read
    PELLIX_CHECK(readDriverPoints(driverMesh, localToWorld.inverse(), source));
    if (source.points.count == 0)
        return MS::kSuccess;
    PELLIX_CHECK(moveMappedVertices(block, multiIndex, iter, source, map, weight));
    return MS::kSuccess;
}
