#include "pins/PinAttributes.h"

#include "plugin/NodeAttributes.h"
#include "plugin/StatusCheck.h"

#include <maya/MFnNumericAttribute.h>
#include <maya/MPxNode.h>

namespace {

// Driver inputs are read fresh on every evaluation and never saved.
const unsigned kDriverFlags = kAttrNotStorable | kAttrNotCached;

// Outputs are recomputed, never saved or set.
const unsigned kOutputFlags = kAttrNotStorable | kAttrNotWritable;

} // namespace

MStatus addPinDriverAttributes(MObject& deformedGeometry, MObject& geometryWorldMatrix,
                               MObject& controlLocalInverseMatrix, MObject& controlParentInverseMatrix)
{
    PELLIX_PASS_ON(createTypedAttribute(deformedGeometry, "deformedGeometry", "dg", MFnData::kMesh, MObject::kNullObj,
                                  kDriverFlags));
    PELLIX_PASS_ON(MPxNode::addAttribute(deformedGeometry));
    PELLIX_PASS_ON(createMatrixAttribute(geometryWorldMatrix, "geometryWorldMatrix", "gwm", kDriverFlags));
    PELLIX_PASS_ON(MPxNode::addAttribute(geometryWorldMatrix));
    PELLIX_PASS_ON(createMatrixAttribute(controlLocalInverseMatrix, "controlLocalInverseMatrix", "clim",
                                   kDriverFlags | kAttrArray));
    PELLIX_PASS_ON(MPxNode::addAttribute(controlLocalInverseMatrix));
    PELLIX_PASS_ON(createMatrixAttribute(controlParentInverseMatrix, "controlParentInverseMatrix", "cpim",
                                   kDriverFlags | kAttrArray));
    PELLIX_PASS_ON(MPxNode::addAttribute(controlParentInverseMatrix));
    return MS::kSuccess;
}

MStatus addPinBindAttributes(MObject& bindTangents, MObject& bindSurfaceMatrices, MObject& bindControlMatrices,
                             MObject& bindMaintainOffset, MObject& bindUseControlInverse)
{
    PELLIX_PASS_ON(createTypedAttribute(bindTangents, "bindTangents", "bt", MFnData::kDoubleArray, MObject::kNullObj,
                                  kAttrStorable));
    PELLIX_PASS_ON(MPxNode::addAttribute(bindTangents));
    PELLIX_PASS_ON(createTypedAttribute(bindSurfaceMatrices, "bindSurfaceMatrices", "bsm", MFnData::kMatrixArray,
                                  MObject::kNullObj, kAttrStorable));
    PELLIX_PASS_ON(MPxNode::addAttribute(bindSurfaceMatrices));
    PELLIX_PASS_ON(createTypedAttribute(bindControlMatrices, "bindControlMatrices", "bcm", MFnData::kMatrixArray,
                                  MObject::kNullObj, kAttrStorable | kAttrHidden));
    PELLIX_PASS_ON(MPxNode::addAttribute(bindControlMatrices));
    PELLIX_PASS_ON(createNumericAttribute(bindMaintainOffset, "bindMaintainOffset", "bmo", MFnNumericData::kBoolean, 0.0,
                                    kAttrStorable | kAttrNotKeyable | kAttrHidden));
    PELLIX_PASS_ON(MPxNode::addAttribute(bindMaintainOffset));
    PELLIX_PASS_ON(createNumericAttribute(bindUseControlInverse, "bindUseControlInverse", "bui", MFnNumericData::kBoolean,
                                    0.0, kAttrStorable | kAttrNotKeyable | kAttrHidden));
    PELLIX_PASS_ON(MPxNode::addAttribute(bindUseControlInverse));
    return MS::kSuccess;
}

MStatus addPinOutputAttributes(MObject& outputMatrix, MObject& outputTranslateX, MObject& outputTranslateY,
                               MObject& outputTranslateZ, MObject& outputTranslate)
{
    PELLIX_PASS_ON(createMatrixAttribute(outputMatrix, "outputMatrix", "om",
                                   kOutputFlags | kAttrArray | kAttrUsesArrayDataBuilder));
    PELLIX_PASS_ON(MPxNode::addAttribute(outputMatrix));
    PELLIX_PASS_ON(createNumericAttribute(outputTranslateX, "outputTranslateX", "otx", MFnNumericData::kDouble, 0.0,
                                    kOutputFlags));
    PELLIX_PASS_ON(createNumericAttribute(outputTranslateY, "outputTranslateY", "oty", MFnNumericData::kDouble, 0.0,
                                    kOutputFlags));
    PELLIX_PASS_ON(createNumericAttribute(outputTranslateZ, "outputTranslateZ", "otz", MFnNumericData::kDouble, 0.0,
                                    kOutputFlags));

    // The compound is added alone: its children come with it.
    MStatus status;
    MFnNumericAttribute compound;
    outputTranslate = compound.create("outputTranslate", "ot", outputTranslateX, outputTranslateY, outputTranslateZ,
                                      &status);
    PELLIX_PASS_ON(status);
    PELLIX_PASS_ON(applyAttributeFlags(compound, kOutputFlags | kAttrArray | kAttrUsesArrayDataBuilder));
    PELLIX_PASS_ON(MPxNode::addAttribute(outputTranslate));
    return MS::kSuccess;
}

MStatus addPinAffects(const MObject* const* inputs, unsigned count, const MObject& outputMatrix,
                      const MObject& outputTranslate)
{
    for (unsigned i = 0; i < count; ++i) {
        PELLIX_PASS_ON(MPxNode::attributeAffects(*inputs[i], outputMatrix));
    }
    for (unsigned i = 0; i < count; ++i) {
        PELLIX_PASS_ON(MPxNode::attributeAffects(*inputs[i], outputTranslate));
    }
    return MS::kSuccess;
}
