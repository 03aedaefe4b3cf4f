#pragma once
// The built-in "tweak" deformer Maya puts at the front of a deformed shape's chain to hold the
// shape's point moves: input i's points move by vlist[i].vertex[p] (meshes) or
// plist[i].controlPoints[p] (curves), scaled by the envelope. "relativeTweak" off would make the
// values absolute positions; Maya leaves it on.

#include <maya/MDataBlock.h>
#include <maya/MItGeometry.h>
#include <maya/MMatrix.h>
#include <maya/MPxGeometryFilter.h>
#include <maya/MTypeId.h>

namespace host {

class TweakNode : public MPxGeometryFilter
{
public:
    static const MTypeId id;
    static const char* const typeName;
    static void* creator();
    static MStatus initialize();
    MStatus deform(MDataBlock& block, MItGeometry& iter, const MMatrix& toWorld, unsigned int index) override;

    static MObject relativeTweak;
    static MObject vlist, vertex;        // vlist[i].vertex[p]: float3 offsets of mesh points
    static MObject plist, controlPoints; // plist[i].controlPoints[p]: double3 offsets of curve CVs
};

} // namespace host
