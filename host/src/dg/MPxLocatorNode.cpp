#include <maya/MDagPath.h>
#include <maya/MEvaluationNode.h>
#include <maya/MHWGeometryUtilities.h>
#include <maya/MNodeCacheSetupInfo.h>
#include <maya/MObjectArray.h>
#include <maya/MPxLocatorNode.h>

#include <maya/MNodeCacheDisablingInfo.h>

// The attribute objects are created by the host's DAG code, which adds them
// to every locator type.
MObject MPxLocatorNode::underWorldObject;
MObject MPxLocatorNode::localPosition;
MObject MPxLocatorNode::localPositionX;
MObject MPxLocatorNode::localPositionY;
MObject MPxLocatorNode::localPositionZ;
MObject MPxLocatorNode::worldPosition;
MObject MPxLocatorNode::worldPositionX;
MObject MPxLocatorNode::worldPositionY;
MObject MPxLocatorNode::worldPositionZ;
MObject MPxLocatorNode::localScale;
MObject MPxLocatorNode::localScaleX;
MObject MPxLocatorNode::localScaleY;
MObject MPxLocatorNode::localScaleZ;
MObject MPxLocatorNode::nodeBoundingBox;
MObject MPxLocatorNode::nodeBoundingBoxMin;
MObject MPxLocatorNode::nodeBoundingBoxMinX;
MObject MPxLocatorNode::nodeBoundingBoxMinY;
MObject MPxLocatorNode::nodeBoundingBoxMinZ;
MObject MPxLocatorNode::nodeBoundingBoxMax;
MObject MPxLocatorNode::nodeBoundingBoxMaxX;
MObject MPxLocatorNode::nodeBoundingBoxMaxY;
MObject MPxLocatorNode::nodeBoundingBoxMaxZ;
MObject MPxLocatorNode::nodeBoundingBoxSize;
MObject MPxLocatorNode::nodeBoundingBoxSizeX;
MObject MPxLocatorNode::nodeBoundingBoxSizeY;
MObject MPxLocatorNode::nodeBoundingBoxSizeZ;
MObject MPxLocatorNode::center;
MObject MPxLocatorNode::boundingBoxCenterX;
MObject MPxLocatorNode::boundingBoxCenterY;
MObject MPxLocatorNode::boundingBoxCenterZ;
MObject MPxLocatorNode::visibility;
MObject MPxLocatorNode::intermediateObject;
MObject MPxLocatorNode::isTemplated;
MObject MPxLocatorNode::instObjGroups;
MObject MPxLocatorNode::parentMatrix;
MObject MPxLocatorNode::parentInverseMatrix;
MObject MPxLocatorNode::worldMatrix;
MObject MPxLocatorNode::worldInverseMatrix;

MPxLocatorNode::MPxLocatorNode() = default;
MPxLocatorNode::~MPxLocatorNode() = default;

MPxNode::Type MPxLocatorNode::type() const
{
    return kLocatorNode;
}

void MPxLocatorNode::draw(M3dView&, const MDagPath&, M3dView::DisplayStyle, M3dView::DisplayStatus) {}

bool MPxLocatorNode::isBounded() const
{
    return false;
}

MBoundingBox MPxLocatorNode::boundingBox() const
{
    return MBoundingBox();
}

void MPxLocatorNode::getCacheSetup(const MEvaluationNode&, MNodeCacheDisablingInfo& disablingInfo,
                                   MNodeCacheSetupInfo&, MObjectArray&) const
{
    // Locators stay out of Cached Playback unless they opt in.
    disablingInfo.setCacheDisabled(true);
}

unsigned int MPxLocatorNode::color(M3dView::DisplayStatus displayStatus)
{
    switch (displayStatus) {
    case M3dView::kLead: return 18;
    case M3dView::kActive: return 15;
    case M3dView::kTemplate: return 2;
    default: return 5;
    }
}

MColor MPxLocatorNode::colorRGB(M3dView::DisplayStatus displayStatus)
{
    switch (displayStatus) {
    case M3dView::kLead: return MColor(0.26f, 1.0f, 0.64f);
    case M3dView::kActive: return MColor(1.0f, 1.0f, 1.0f);
    case M3dView::kTemplate: return MColor(0.47f, 0.47f, 0.47f);
    default: return MColor(0.0f, 0.0f, 0.7f);
    }
}

bool MPxLocatorNode::excludeAsLocator() const
{
    return true;
}

bool MPxLocatorNode::isTransparent() const
{
    return false;
}

bool MPxLocatorNode::drawLast() const
{
    return false;
}

bool MPxLocatorNode::useClosestPointForSelection() const
{
    return false;
}

MPoint MPxLocatorNode::closestPoint(MPoint cursorRayPoint, MVector) const
{
    return cursorRayPoint;
}

MSelectionMask MPxLocatorNode::getShapeSelectionMask() const
{
    return MSelectionMask(MSelectionMask::kSelectLocators);
}
