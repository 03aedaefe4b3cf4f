#pragma once
// The "vertexWrap" deformer: every mapped target vertex takes the position of the driver
// vertex it coincided with when the deformer was set up.

#include <maya/MApiNamespace.h>
#include <maya/MMatrix.h>
#include <maya/MObject.h>
#include <maya/MObjectHandle.h>
#include <maya/MPointArray.h>
#include <maya/MPxDeformerNode.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

#include <memory>
#include <mutex>

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
    // The world-space points of a driver mesh data object, read once per data object.
    // The array stays alive for its holders after the cache moves on to another mesh.
    MStatus cachedDriverPoints(const MObject& driverMesh, std::shared_ptr<const MPointArray>& points);

    std::mutex fMutex;
    MObjectHandle fCachedDriverMesh;
    std::shared_ptr<const MPointArray> fCachedDriverPoints;
};
