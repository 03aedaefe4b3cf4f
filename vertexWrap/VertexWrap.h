#pragma once
// The "vertexWrap" deformer: every mapped target vertex takes the position of the driver
// vertex it coincided with when the deformer was set up.

#include <maya/MApiNamespace.h>
#include <maya/MObject.h>
#include <maya/MPxDeformerNode.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

class VertexWrap : public MPxDeformerNode
{
public:
    VertexWrap();
    ~VertexWrap() override;

    static void* creator();
    static MStatus initialize();

    static const MTypeId id;
    static const MString typeName;

    static MObject inMesh;
    static MObject vertexMapping;
};
