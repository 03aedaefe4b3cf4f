#pragma once
// The points of a geometry filter's output element, for the built-in deformers to move in
// place: a mesh's float points or a curve's double CVs, copied from what the output shares
// with its input on the first write, as any deformer's output is.

#include <maya/MDataBlock.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

#include <cstddef>

namespace host {

class MeshGeometry;

class DeformedPoints
{
public:
    // Attaches to outputGeometry[index]; fails when it holds no mesh or curve.
    MStatus attach(MDataBlock& block, const MObject& outputAttribute, unsigned index);
    float* floats() const { return mFloats; }    // mesh points, x y z each
    double* doubles() const { return mDoubles; } // curve CVs
    size_t count() const { return mCount; }
    // Tells the geometry its points moved.
    void done();

private:
    MObject mData;  // keeps the data alive while the points are written
    MeshGeometry* mMesh = nullptr;
    float* mFloats = nullptr;
    double* mDoubles = nullptr;
    size_t mCount = 0;
};

} // namespace host
