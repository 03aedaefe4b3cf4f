#include "deformers/GroupNodes.h"

#include "deformers/AttributeBuilders.h"
#include "dg/Data.h"

#include <maya/MDataBlock.h>
#include <maya/MDataHandle.h>
#include <maya/MFnAttribute.h>
#include <maya/MPlug.h>

namespace host {

const MTypeId GroupIdNode::id(0x47524944);  // 'GRID'
const char* const GroupIdNode::typeName = "groupId";
MObject GroupIdNode::groupId;

const MTypeId GroupPartsNode::id(0x47525054);  // 'GRPT'
const char* const GroupPartsNode::typeName = "groupParts";
MObject GroupPartsNode::inputGeometry, GroupPartsNode::inputComponents, GroupPartsNode::groupId,
    GroupPartsNode::outputGeometry, GroupPartsNode::inputRemoveComponent;

void* GroupIdNode::creator()
{
    return new GroupIdNode;
}

MStatus GroupIdNode::initialize()
{
    MStatus s;
    groupId = numericAttribute("groupId", "id", MFnNumericData::kInt, 0, kSingle, s);
    DEFORMER_CHECK(s);
    DEFORMER_CHECK(MFnAttribute(groupId).setStorable(false));
    return addAttributes({&groupId});
}

void GroupIdNode::postConstructor()
{
    static int next = 0;
    MPlug(thisMObject(), groupId).setInt(++next);
}

void* GroupPartsNode::creator()
{
    return new GroupPartsNode;
}

MStatus GroupPartsNode::initialize()
{
    MStatus s;
    inputGeometry = geometryAttribute("inputGeometry", "ig", kSingle, s);
    inputComponents = typedAttribute("inputComponents", "ic", MFnData::kComponentList, s);
    inputRemoveComponent = typedAttribute("inputRemoveComponent", "irc", MFnData::kComponentList, s);
    groupId = numericAttribute("groupId", "gi", MFnNumericData::kInt, 0, kSingle, s);
    outputGeometry = geometryAttribute("outputGeometry", "og", kSingle, s);
    DEFORMER_CHECK(s);
    MFnAttribute out(outputGeometry);
    DEFORMER_CHECK(out.setWritable(false));
    DEFORMER_CHECK(out.setStorable(false));
    DEFORMER_CHECK(MFnAttribute(inputGeometry).setStorable(false));
    DEFORMER_CHECK(addAttributes({&inputGeometry, &inputComponents, &inputRemoveComponent, &groupId, &outputGeometry}));
    return addAffects({&inputGeometry, &inputComponents, &inputRemoveComponent, &groupId}, {&outputGeometry});
}

MStatus GroupPartsNode::compute(const MPlug& plug, MDataBlock& block)
{
    if (plug != outputGeometry)
        return MS::kUnknownParameter;
    MStatus status;
    MDataHandle input = block.inputValue(inputGeometry, &status);
    DEFORMER_CHECK(status);
    MDataHandle output = block.outputValue(outputGeometry, &status);
    DEFORMER_CHECK(status);
    DEFORMER_CHECK(output.set(cloneData(input.data())));
    return block.setClean(plug);
}

} // namespace host
