#pragma once
// The "surfacePin" node: one output matrix and translation per pin, following a deforming
// mesh through per-pin triangle and barycentric bindings stored on the node.

#include "pins/PinEvaluation.h"
#include "pins/PinFrameMath.h"

#include <maya/MApiNamespace.h>
#include <maya/MObject.h>
#include <maya/MPxNode.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

#include <vector>

class SurfacePin : public MPxNode
{
public:
    SurfacePin();
    ~SurfacePin() override;

    MStatus compute(const MPlug& plug, MDataBlock& data) override;
    MStatus setDependentsDirty(const MPlug& plug, MPlugArray& plugArray) override;
    SchedulingType schedulingType() const override;
    MStatus connectionMade(const MPlug& plug, const MPlug& otherPlug, bool asSrc) override;
    MStatus connectionBroken(const MPlug& plug, const MPlug& otherPlug, bool asSrc) override;

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

private:
    // Converts the stored bind arrays into pin records.
    MStatus loadBindData(MDataBlock& data);

    static const PinNodeAttributes kAttributes;

    PinEvaluation fEvaluation;
    std::vector<PinFrameMath::PinBinding> fBindings;
};
