#pragma once
// The "surfaceUVPin" node: the surface pin's outputs, with pins stored by UV position and
// resolved to a triangle of the current mesh on evaluation.

#include <maya/MApiNamespace.h>
#include <maya/MObject.h>
#include <maya/MPxNode.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

class SurfaceUVPin : public MPxNode
{
public:
    SurfaceUVPin();
    ~SurfaceUVPin() override;

    static void* creator();
    static MStatus initialize();

    static const MTypeId id;
    static const MString typeName;

    static MObject deformedGeometry;
    static MObject geometryWorldMatrix;
    static MObject controlLocalInverseMatrix;
    static MObject controlParentInverseMatrix;
    static MObject pinUVs;
    static MObject preferredTriangleIndices;
    static MObject uvSet;
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
