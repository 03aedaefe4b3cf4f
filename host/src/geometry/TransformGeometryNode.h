#pragma once
// The built-in "transformGeometry" node (what freezing transformations leaves in a
// mesh's or curve's history): "inputGeometry" moved by "transform" (or its inverse
// with "invertTransform") gives "outputGeometry".

#include <maya/MDataBlock.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MPxNode.h>
#include <maya/MTypeId.h>

namespace host {

class TransformGeometryNode : public MPxNode
{
public:
    static const MTypeId id;
    static const char* const typeName;

    static void* creator();
    static MStatus initialize();

    MStatus compute(const MPlug& plug, MDataBlock& block) override;

    static MObject inputGeometry;
    static MObject transform;
    static MObject invertTransform;
    static MObject outputGeometry;
};

} // namespace host
