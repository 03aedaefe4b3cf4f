#include "vertexWrap/VertexWrap.h"

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
        std::lock_guard<std::mutex> lock(fMutex);
        fCachedDriverMesh = MObjectHandle();
        fCachedDriverPoints.reset();
    }
    return MS::kSuccess;
}

MStatus VertexWrap::cachedDriverPoints(const MObject& driverMesh, std::shared_ptr<const MPointArray>& points)
{
    std::lock_guard<std::mutex> lock(fMutex);
    if (!fCachedDriverPoints || !fCachedDriverMesh.isValid() || fCachedDriverMesh.object() != driverMesh) {
        MStatus status;
        MFnMesh meshFn(driverMesh, &status);
        PELLIX_CHECK(status);
        auto fresh = std::make_shared<MPointArray>();
        PELLIX_CHECK(meshFn.getPoints(*fresh, MSpace::kWorld));
        fCachedDriverMesh = MObjectHandle(driverMesh);
        fCachedDriverPoints = std::move(fresh);
    }
    points = fCachedDriverPoints;
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
    const MIntArray map = mapFn.array(&status);
    PELLIX_CHECK(status);
    if (map.length() == 0)
        return MS::kSuccess;

    MFnMesh driverFn(driverMesh, &status);
    PELLIX_CHECK(status);
    const MMatrix worldToLocal = localToWorld.inverse();
    VertexWrapDeform::DriverPoints driver;
    MMatrix toLocal = worldToLocal;
    std::shared_ptr<const MPointArray> cached;  // keeps the fallback points alive while they are read
    MStatus rawStatus;
    const float* raw = driverFn.getRawPoints(&rawStatus);
    if (rawStatus && raw) {
        driver.floatXyz = raw;
        driver.count = driverFn.numVertices(&status);
        PELLIX_CHECK(status);
        // Raw points are in the driver's object space; the data's matrix takes them to the world.
        MFnGeometryData dataFn(driverMesh, &status);
        PELLIX_CHECK(status);
        MMatrix driverToWorld;
        PELLIX_CHECK(dataFn.getMatrix(driverToWorld));
        toLocal = driverToWorld * worldToLocal;
    } else {
        PELLIX_CHECK(cachedDriverPoints(driverMesh, cached));
        if (!cached)
            return MS::kSuccess;
        driver.count = cached->length();
        driver.doubleXyzw = driver.count > 0 ? &(*cached)[0].x : nullptr;
    }
    if (driver.count == 0)
        return MS::kSuccess;

    const int vertexCount = iter.count(&status);
    PELLIX_CHECK(status);
    const int64_t mapped = std::min<int64_t>(vertexCount, map.length());
    if (mapped <= 0)
        return MS::kSuccess;
    const int* ids = &map[0];

    // Every vertex follows the driver in full: write the new positions without reading the old.
    if (weight == 1.0 && mapped == vertexCount) {
        MPointArray positions;
        PELLIX_CHECK(positions.setLength(static_cast<unsigned int>(vertexCount)));
        if (VertexWrapDeform::deformAll(driver, toLocal.matrix, ids, mapped, &positions[0].x)) {
            PELLIX_CHECK(iter.setAllPositions(positions, MSpace::kObject));
            return MS::kSuccess;
        }
    }

    MPointArray positions;
    PELLIX_CHECK(iter.allPositions(positions, MSpace::kObject));
    const int64_t count = std::min<int64_t>(mapped, positions.length());
    if (count <= 0)
        return MS::kSuccess;
    if (VertexWrapDeform::deformMapped(driver, toLocal.matrix, ids, count, weight, &positions[0].x) > 0)
        PELLIX_CHECK(iter.setAllPositions(positions, MSpace::kObject));
    return MS::kSuccess;
}
