#pragma once
// The "surfaceUVPin" node: the surface pin's outputs, with pins stored by UV position and
// resolved to a triangle of the current mesh on evaluation.

#include "pins/PinEvaluation.h"
#include "pins/PinFrameMath.h"
#include "pins/PinUVTable.h"

#include <maya/MApiNamespace.h>
#include <maya/MObject.h>
#include <maya/MPxNode.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

#include <vector>

class SurfaceUVPin : public MPxNode
{
public:
    SurfaceUVPin();
    ~SurfaceUVPin() override;

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

private:
    // Reads the stored pins, unresolved, and the UV set they live in.
    MStatus loadBindData(MDataBlock& data);
    // Notes a change of vertex, polygon, normal or UV count.
    MStatus noteTopology(MFnMesh& mesh, int& vertexCount, int& normalCount);
    // Rebuilds the UV triangle table from the mesh's current triangulation.
    MStatus rebuildUVTable(MFnMesh& mesh);
    // Resolves every pin to a row of the UV table; a rejected pin sits on the first vertex.
    void resolvePins();
    void noteConnectionChange(const MPlug& plug, bool asSrc);

    static const PinNodeAttributes kAttributes;

    PinEvaluation fEvaluation;
    std::vector<PinFrameMath::UVPinBinding> fBindings;
    bool fUVTableDirty = true;
    bool fResolveNeeded = true;
    MString fUVSetName;
    PinFrameMath::UVTriangleTable fUVTable;
    int fCachedUVCount = -1;
};
