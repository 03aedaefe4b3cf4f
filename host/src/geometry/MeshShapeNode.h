#pragma once
// The built-in "mesh" shape: its own geometry ("cachedInMesh", used while
// "inMesh" is not connected) plus vertex tweaks ("pnts") give "outMesh";
// each "worldMesh" element is outMesh with that instance's world matrix.

#include <maya/MDataBlock.h>
#include <maya/MPlug.h>
#include <maya/MPxNode.h>
#include <maya/MTypeId.h>

namespace host {

class MeshShapeNode : public MPxNode
{
public:
    static const MTypeId id;
    static const char* const typeName;

    static void* creator();
    static MStatus initialize();

    MStatus compute(const MPlug& plug, MDataBlock& block) override;
    MPxNode::Type type() const override;

    static MObject inMesh;
    static MObject outMesh;
    static MObject cachedInMesh;
    static MObject worldMesh;
    static MObject pnts, pntx, pnty, pntz;

private:
    MStatus computeOutMesh(const MPlug& plug, MDataBlock& block);
    MStatus computeWorldMesh(const MPlug& plug, MDataBlock& block);
};

} // namespace host
