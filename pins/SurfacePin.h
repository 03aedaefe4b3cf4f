#pragma once
// The "surfacePin" node: one output matrix and translation per pin, following a deforming
// mesh through per-pin triangle and barycentric bindings stored on the node.

#include <maya/MApiNamespace.h>
#include <maya/MObject.h>
#include <maya/MPxNode.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

class SurfacePin : public MPxNode
{
public:
    SurfacePin();
    ~SurfacePin() override;

    static void* creator();
    static MStatus initialize();

    static const MTypeId id;
    static const MString typeName;

    static MObject deformedGeometry;
    static MObject geometryWorldMatrix;
    static MObject controlLocalInverseMatrix;
    static MObject controlParentInverseMatrix;
    static MObject baryWeights;
    static MObject vertexIndices;
    static MObject normalIndices;
    static MObject bindTangents;
    static MObject bindSurfaceMatrices;
    static MObject bindControlMatrices;
    static MObject bindMaintainOffset;
    static MObject bindUseControlInverse;
    static MObject outputMatrix;
    static MObject outputTranslateX;
    static MObject outputTranslateY;
    static MObject outputTranslateZ;
    static MObject outputTranslate;
};
