#include "dag/DisplayLayerNode.h"

#include "dag/Dag.h"
#include "dag/DagAttributes.h"
#include "dag/LocatorShapeNode.h"
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
MObject DisplayLayerNode::rgbColors;
MObject DisplayLayerNode::color;
MObject DisplayLayerNode::colorRGB;
MObject DisplayLayerNode::identification;

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
    enabled = DagAttributes::createBool("enabled", "e", true, false, status);
    DAG_CHECK(status);
    visibility = DagAttributes::createBool("visibility", "v", true, false, status);
    DAG_CHECK(status);
    static const char* const colourNames[3] = {"overrideRGBColors", "color", "overrideColorRGB"};
    static const char* const colourShortNames[3] = {"ovrgbf", "c", "ovrgb"};
    DAG_CHECK(DagAttributes::createOverrideColour(colourNames, colourShortNames, rgbColors, color, colorRGB));
    // The children line up one for one with a DAG node's "drawOverride" (overrideDisplayType,
    // overrideEnabled, overrideVisibility, overrideRGBColors, overrideColor, overrideColorRGB).
    MFnCompoundAttribute compound;
    drawInfo = compound.create("drawInfo", "di", &status);
    DAG_CHECK(status);
    DAG_CHECK(compound.addChild(displayType));
    DAG_CHECK(compound.addChild(enabled));
    DAG_CHECK(compound.addChild(visibility));
    DAG_CHECK(compound.addChild(rgbColors));
    DAG_CHECK(compound.addChild(color));
    DAG_CHECK(compound.addChild(colorRGB));
    MFnNumericAttribute numeric;
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
    return registerNodeType(locator);
}

} // namespace host
