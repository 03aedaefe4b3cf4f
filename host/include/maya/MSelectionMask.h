#ifndef MAYA_MSELECTIONMASK_H
#define MAYA_MSELECTIONMASK_H

#include <maya/MStatus.h>
#include <vector>

class MSelectionMask
{
public:
    enum SelectionType {
        kSelectHandles,
        kSelectLocalAxis,
        kSelectIkHandles,
        kSelectIkEndEffectors,
        kSelectJoints,
        kSelectLights,
        kSelectCameras,
        kSelectLattices,
        kSelectClusters,
        kSelectSculpt,
        kSelectNurbsCurves,
        kSelectNurbsSurfaces,
        kSelectMeshes,
        kSelectSubdiv,
        kSelectSketchPlanes,
        kSelectParticleShapes,
        kSelectEmitters,
        kSelectFields,
        kSelectSprings,
        kSelectRigidBodies,
        kSelectRigidConstraints,
        kSelectCollisionModels,
        kSelectXYZLocators,
        kSelectDynamicConstraints,
        kSelectLocators,
        kSelectObjectsMask,
        kSelectCVs,
        kSelectHulls,
        kSelectEditPoints,
        kSelectMeshVerts,
        kSelectMeshEdges,
        kSelectMeshFreeEdges,
        kSelectMeshFaces,
        kSelectSubdivMeshPoints,
        kSelectSubdivMeshEdges,
        kSelectSubdivMeshFaces,
        kSelectMeshUVs,
        kSelectVertices,
        kSelectEdges,
        kSelectFacets,
        kSelectMeshLines,
        kSelectMeshComponents,
        kSelectCurveParmPoints,
        kSelectCurveKnots,
        kSelectSurfaceParmPoints,
        kSelectSurfaceKnots,
        kSelectSurfaceRange,
        kSelectSurfaceEdge,
        kSelectIsoparms,
        kSelectCurvesOnSurfaces,
        kSelectPPStrokes,
        kSelectLatticePoints,
        kSelectParticles,
        kSelectJointPivots,
        kSelectScalePivots,
        kSelectRotatePivots,
        kSelectPointsForGravity,
        kSelectSelectHandles,
        kSelectIkEndEffectorsComponent,
        kSelectImagePlane,
        kSelectComponentsMask,
        kSelectAnimCurves,
        kSelectAnimKeyframes,
        kSelectAnimInTangents,
        kSelectAnimOutTangents,
        kSelectAnimMask,
        kSelectAnimAny,
        kSelectTemplates,
        kSelectManipulators,
        kSelectGuideLines,
        kSelectPointsOnCurve,
        kSelectPointsOnSurface,
        kSelectPolymesh,
        kSelectPluginShapes,
        kInvalidSelection,
        kLastSelectionType
    };

    MSelectionMask();
    MSelectionMask(SelectionType selType);
    MSelectionMask(const MString& selTypeName);
    MSelectionMask(const MSelectionMask& src) = default;
    MSelectionMask& operator=(const MSelectionMask& src) = default;
    ~MSelectionMask() = default;

    MStatus setMask(SelectionType selType);
    MStatus setMask(MSelectionMask& mask);
    MStatus addMask(SelectionType selType);
    bool intersects(SelectionType selType, MStatus* ReturnStatus = NULL) const;
    bool intersects(MSelectionMask& mask, MStatus* ReturnStatus = NULL) const;
    MSelectionMask operator|(const MSelectionMask& other) const;

    static bool registerSelectionType(const MString& selTypeName, int priority = 0);
    static bool deregisterSelectionType(const MString& selTypeName);
    static int getSelectionTypePriority(const MString& selTypeName);

private:
    // Built-in types by enum value, registered named types after kLastSelectionType.
    std::vector<int> fTypes;
};

#endif
