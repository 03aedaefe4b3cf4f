#include "dag/DisplayLayerNode.h"

#include "dag/Dag.h"
#include "dag/DagAttributes.h"
#include "dag/LocatorShapeNode.h"
#include "dag/SceneManagerNodes.h"
#include "dg/Registry.h"

#include <maya/MFnCompoundAttribute.h>
#include <maya/MFnEnumAttribute.h>
#include <maya/MFnNumericAttribute.h>

namespace host {

const MTypeId DisplayLayerNode::id(0x4e444c59);  // 'NDLY'
const char* const DisplayLayerNode::typeName = "displayLayer";

MObject DisplayLayerNode::drawInfo;
MObject DisplayLayerNode::displayType;
MObject DisplayLayerNode::enabled;
MObject DisplayLayerNode::visibility;
MObject DisplayLayerNode::identification;
MObject DisplayLayerNode::color;

void* DisplayLayerNode::creator()
{
    return new DisplayLayerNode;
}

MStatus DisplayLayerNode::initialize()
{
    MStatus status;
    MFnEnumAttribute typeFn;
    displayType = typeFn.create("displayType", "dt", 0, &status);
    DAG_CHECK(status);
    DAG_CHECK(typeFn.addField("Normal", 0));
    DAG_CHECK(typeFn.addField("Template", 1));
    DAG_CHECK(typeFn.addField("Reference", 2));
    MFnEnumAttribute detailFn;
    MObject detail = detailFn.create("levelOfDetail", "lod", 0, &status);
    DAG_CHECK(status);
    DAG_CHECK(detailFn.addField("Full", 0));
    DAG_CHECK(detailFn.addField("Bounding Box", 1));
    MObject shading = DagAttributes::createBool("shading", "s", true, false, status);
    DAG_CHECK(status);
    MObject texturing = DagAttributes::createBool("texturing", "t", true, false, status);
    DAG_CHECK(status);
    MObject playback = DagAttributes::createBool("playback", "p", true, false, status);
    DAG_CHECK(status);
    enabled = DagAttributes::createBool("enabled", "e", true, false, status);
    DAG_CHECK(status);
    visibility = DagAttributes::createBool("visibility", "v", true, false, status);
    DAG_CHECK(status);
    MObject hideOnPlayback = DagAttributes::createBool("hideOnPlayback", "hpb", false, false, status);
    DAG_CHECK(status);
    MObject rgbColors = DagAttributes::createBool("overrideRGBColors", "ovrgbf", false, false, status);
    DAG_CHECK(status);
    MFnNumericAttribute numeric;
    color = numeric.create("color", "c", MFnNumericData::kByte, 0, &status);
    DAG_CHECK(status);
    DAG_CHECK(numeric.setMin(0));
    DAG_CHECK(numeric.setMax(31));
    MObject colorRGB = DagAttributes::createColor("overrideColorRGB", "ovrgb", "overrideColor", "ovc", status);
    DAG_CHECK(status);
    MObject colorAlpha = numeric.create("overrideColorA", "ovca", MFnNumericData::kFloat, 1.0, &status);
    DAG_CHECK(status);
    // The children line up one for one with a DAG node's "drawOverride".
    MFnCompoundAttribute compound;
    drawInfo = compound.create("drawInfo", "di", &status);
    DAG_CHECK(status);
    for (const MObject& child : {displayType, detail, shading, texturing, playback, enabled, visibility,
                                 hideOnPlayback, rgbColors, color, colorRGB, colorAlpha})
        DAG_CHECK(compound.addChild(child));
    identification = numeric.create("identification", "id", MFnNumericData::kShort, 0, &status);
    DAG_CHECK(status);
    DAG_CHECK(addAttribute(drawInfo));
    DAG_CHECK(addAttribute(identification));
    return MS::kSuccess;
}

MStatus registerDisplayNodeTypes()
{
    NodeTypeInfo layer;
    layer.name = DisplayLayerNode::typeName;
    layer.id = DisplayLayerNode::id;
    layer.creator = &DisplayLayerNode::creator;
    layer.initialize = &DisplayLayerNode::initialize;
    layer.apiType = MFn::kDependencyNode;
    DAG_CHECK(registerNodeType(layer));

    NodeTypeInfo locator;
    locator.name = LocatorShapeNode::typeName;
    locator.id = LocatorShapeNode::id;
    locator.creator = &LocatorShapeNode::creator;
    locator.initialize = &LocatorShapeNode::initialize;
    locator.type = MPxNode::kLocatorNode;
    locator.apiType = MFn::kLocator;
    DAG_CHECK(registerNodeType(locator));
    return registerSceneManagerNodeTypes();
}

} // namespace host
