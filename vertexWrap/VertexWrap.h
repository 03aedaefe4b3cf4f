#pragma once
// The "vertexWrap" deformer: every mapped target vertex takes the position of the driver
// vertex it coincided with when the deformer was set up.

#include "vertexWrap/DriverPointCache.h"
#include "vertexWrap/VertexWrapDeform.h"

#include <maya/MApiNamespace.h>
#include <maya/MFloatPointArray.h>
#include <maya/MIntArray.h>
#include <maya/MMatrix.h>
#include <maya/MObject.h>
#include <maya/MObjectHandle.h>
#include <maya/MPointArray.h>
#include <maya/MPxDeformerNode.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

#include <memory>

class VertexWrap : public MPxDeformerNode
{
public:
    VertexWrap();
    ~VertexWrap() override;

    static void* creator();
    static MStatus initialize();

    MStatus setDependentsDirty(const MPlug& plug, MPlugArray& plugArray) override;
    MStatus deform(MDataBlock& block, MItGeometry& iter, const MMatrix& localToWorld,
                   unsigned int multiIndex) override;

    static const MTypeId id;
    static const MString typeName;

    static MObject inMesh;
    static MObject vertexMapping;

private:
    // The driver's points as the deform kernels read them, and the matrix taking them into
    // the target's object space.
    struct DriverSource
    {
        VertexWrapDeform::DriverPoints points;
        MMatrix toLocal;
        std::shared_ptr<const MPointArray> cached;  // owns the points when they came from the cache
    };

    // The map of the geometry at `multiIndex`; left empty when it has none.
    MStatus readVertexMap(MDataBlock& block, unsigned int multiIndex, MIntArray& map);
    // The driver's raw object-space points, else its cached world-space points.
    MStatus readDriverPoints(const MObject& driverMesh, const MMatrix& worldToLocal, DriverSource& source);
    // Moves every mapped vertex toward its driver vertex by `weight`.
    MStatus moveMappedVertices(MDataBlock& block, unsigned int multiIndex, MItGeometry& iter,
                               const DriverSource& source, const MIntArray& map, double weight);
    // The world-space points of a driver mesh data object, read once per data object.
    // The array stays alive for its holders after the cache moves on to another mesh.
    MStatus cachedDriverPoints(const MObject& driverMesh, std::shared_ptr<const MPointArray>& points);

    DriverPointCache<MObjectHandle, MPointArray> fDriverPointCache;
    // Positions written in full each step, kept between steps so that a step fills memory
    // already in use instead of building a new array point by point. Single precision, as the
    // mesh keeps its points: the output mesh takes them without a conversion.
    MFloatPointArray fPositions;
};
