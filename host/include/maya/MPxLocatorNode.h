#ifndef MAYA_MPXLOCATORNODE_H
#define MAYA_MPXLOCATORNODE_H

#include <maya/M3dView.h>
#include <maya/MBoundingBox.h>
#include <maya/MColor.h>
#include <maya/MPoint.h>
#include <maya/MPxNode.h>
#include <maya/MSelectionMask.h>
#include <maya/MVector.h>

class MDagPath;

// Base class of user-defined locator shapes.
class MPxLocatorNode : public MPxNode
{
public:
    MPxLocatorNode();
    ~MPxLocatorNode() override;

    MPxNode::Type type() const override;
    virtual void draw(M3dView& view, const MDagPath& path, M3dView::DisplayStyle style,
                      M3dView::DisplayStatus status);
    virtual bool isBounded() const;
    virtual MBoundingBox boundingBox() const;
    void getCacheSetup(const MEvaluationNode& evalNode, MNodeCacheDisablingInfo& disablingInfo,
                       MNodeCacheSetupInfo& cacheSetupInfo, MObjectArray& monitoredAttributes) const override;
    unsigned int color(M3dView::DisplayStatus displayStatus);
    MColor colorRGB(M3dView::DisplayStatus displayStatus);
    virtual bool excludeAsLocator() const;
    virtual bool isTransparent() const;
    virtual bool drawLast() const;
    virtual bool useClosestPointForSelection() const;
    virtual MPoint closestPoint(MPoint cursorRayPoint, MVector cursorRayDir) const;
    virtual MSelectionMask getShapeSelectionMask() const;

    static MObject underWorldObject;
    static MObject localPosition;
    static MObject localPositionX;
    static MObject localPositionY;
    static MObject localPositionZ;
    static MObject worldPosition;
    static MObject worldPositionX;
    static MObject worldPositionY;
    static MObject worldPositionZ;
    static MObject localScale;
    static MObject localScaleX;
    static MObject localScaleY;
    static MObject localScaleZ;
    static MObject nodeBoundingBox;
    static MObject nodeBoundingBoxMin;
    static MObject nodeBoundingBoxMinX;
    static MObject nodeBoundingBoxMinY;
    static MObject nodeBoundingBoxMinZ;
    static MObject nodeBoundingBoxMax;
    static MObject nodeBoundingBoxMaxX;
    static MObject nodeBoundingBoxMaxY;
    static MObject nodeBoundingBoxMaxZ;
    static MObject nodeBoundingBoxSize;
    static MObject nodeBoundingBoxSizeX;
    static MObject nodeBoundingBoxSizeY;
    static MObject nodeBoundingBoxSizeZ;
    static MObject center;
    static MObject boundingBoxCenterX;
    static MObject boundingBoxCenterY;
    static MObject boundingBoxCenterZ;
    // The DAG attributes every shape has (set up by the host's DAG code).
    static MObject visibility;
    static MObject intermediateObject;
    static MObject isTemplated;
    static MObject instObjGroups;
    static MObject parentMatrix;
    static MObject parentInverseMatrix;
    static MObject worldMatrix;
    static MObject worldInverseMatrix;
};

#endif
