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
    // The children line up one for one with a DAG node's "drawOverride".
    static const char* const kNames[DagAttributes::kDrawSettings][2] = {
        {"displayType", "dt"},  {"levelOfDetail", "lod"},     {"shading", "s"},
        {"texturing", "t"},     {"playback", "p"},            {"enabled", "e"},
        {"visibility", "v"},    {"hideOnPlayback", "hpb"},    {"overrideRGBColors", "ovrgbf"},
        {"color", "c"},         {"overrideColorRGB", "ovrgb"}, {"overrideColorA", "ovca"}};
    MObject settings[DagAttributes::kDrawSettings];
    drawInfo = DagAttributes::createDrawSettings("drawInfo", "di", kNames, true, settings, status);
    DAG_CHECK(status);
    displayType = settings[0];
    enabled = settings[5];
    visibility = settings[6];
    color = settings[9];
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
    DAG_CHECK(registerNodeType(locator));
    return registerSceneManagerNodeTypes();
}

} // namespace host
