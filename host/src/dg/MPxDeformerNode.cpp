#include <maya/MPxDeformerNode.h>

#include <maya/MArrayDataHandle.h>
#include <maya/MDataBlock.h>
#include <maya/MFnCompoundAttribute.h>
#include <maya/MFnNumericAttribute.h>

MObject MPxDeformerNode::weightList;
MObject MPxDeformerNode::weights;

namespace host {

// Per-geometry, per-vertex weights every weighted deformer type has.
MStatus addDeformerWeightAttributes()
{
    if (MPxDeformerNode::weightList.isNull()) {
        MFnNumericAttribute numeric;
        MPxDeformerNode::weights = numeric.create("weights", "w", MFnNumericData::kFloat, 1.0);
        numeric.setArray(true);
        numeric.setUsesArrayDataBuilder(true);
        MFnCompoundAttribute compound;
        MPxDeformerNode::weightList = compound.create("weightList", "wl");
        compound.addChild(MPxDeformerNode::weights);
        compound.setArray(true);
        compound.setUsesArrayDataBuilder(true);
    }
    MStatus status = MPxNode::addAttribute(MPxDeformerNode::weightList);
    if (!status)
        return status;
    return MPxNode::attributeAffects(MPxDeformerNode::weightList, MPxGeometryFilter::outputGeom);
}

} // namespace host

MPxDeformerNode::MPxDeformerNode() = default;
MPxDeformerNode::~MPxDeformerNode() = default;

MPxNode::Type MPxDeformerNode::type() const
{
    return kDeformerNode;
}

float MPxDeformerNode::weightValue(MDataBlock& block, unsigned int multiIndex, unsigned int wtIndex)
{
    // Missing entries weigh 1, as unpainted deformer weights do.
    MStatus status;
    MArrayDataHandle lists = block.inputArrayValue(weightList, &status);
    if (!status || !lists.jumpToElement(multiIndex))
        return 1.0f;
    MDataHandle list = lists.inputValue(&status);
    if (!status)
        return 1.0f;
    MArrayDataHandle values(list.child(weights), &status);
    if (!status || !values.jumpToElement(wtIndex))
        return 1.0f;
    return values.inputValue().asFloat();
}
