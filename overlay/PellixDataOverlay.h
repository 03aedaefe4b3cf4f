#pragma once
// The "pellixDataOverlay" locator shape: patches bound to a driver mesh, stored as flat
// int arrays (one slice per patch) plus message connections to the patch meshes, their
// controls and the tracked shape controls.

#include <maya/MApiNamespace.h>
#include <maya/MObject.h>
#include <maya/MPxLocatorNode.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

class PellixDataOverlay : public MPxLocatorNode
{
public:
    PellixDataOverlay();
    ~PellixDataOverlay() override;

    static void* creator();
    static MStatus initialize();

    static const MTypeId id;
    static const MString typeName;

    // Display and evaluation.
    static MObject enable;
    static MObject liveDraw;
    static MObject inMesh;
    static MObject bindTolerance;
    static MObject evaluatedMesh;
    static MObject geometryChanging;
    static MObject color;
    static MObject hoverColor;
    static MObject selectedColor;
    static MObject transparency;
    static MObject hoverTransparency;
    static MObject selectedTransparency;
    static MObject drawInXray;
    static MObject drawWireframe;
    static MObject wireframeWidth;
    static MObject drawMarker;
    static MObject showTransformReadout;
    static MObject readoutTextSize;

    // Interaction state, never saved.
    static MObject hoveredPatch;
    static MObject selectedPatches;

    // Patch storage.
    static MObject patchVertexCounts;
    static MObject patchDriverVertexIndices;
    static MObject patchTriangleOffsets;
    static MObject patchTriangleCounts;
    static MObject patchTriangleIndices;
    static MObject patchEdgeOffsets;
    static MObject patchEdgeCounts;
    static MObject patchEdgeIndices;
    static MObject patchSourcePaths;
    static MObject patchSelectPaths;
    static MObject patchSourceMeshes;
    static MObject patchControl;
    static MObject trackedShapeControls;
};
