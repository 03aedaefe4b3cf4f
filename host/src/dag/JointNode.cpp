#include "dag/JointNode.h"

#include "dag/Dag.h"
#include "dag/DagAttributes.h"
#include "dag/DagMessages.h"
#include "dg/Node.h"

#include <maya/MEulerRotation.h>
#include <maya/MFnCompoundAttribute.h>
#include <maya/MFnEnumAttribute.h>
#include <maya/MFnNumericAttribute.h>

namespace host {

const MTypeId JointNode::id(0x4a4f4e54);  // 'JONT'
const char* const JointNode::typeName = "joint";

MObject JointNode::jointOrient, JointNode::jointOrientX, JointNode::jointOrientY, JointNode::jointOrientZ;
MObject JointNode::segmentScaleCompensate;
MObject JointNode::inverseScale, JointNode::inverseScaleX, JointNode::inverseScaleY, JointNode::inverseScaleZ;
MObject JointNode::preferredAngle, JointNode::preferredAngleX, JointNode::preferredAngleY, JointNode::preferredAngleZ;
MObject JointNode::radius;
MObject JointNode::bindPose;
MObject JointNode::drawStyle;

namespace {

MStatus createTriple(MObject& compound, MObject* children[3], const char* name, const char* shortName,
                     const char* const names[3], const char* const shortNames[3], MFnUnitAttribute::Type unit,
                     double value)
{
    MStatus status;
    compound = DagAttributes::createDouble3(name, shortName, names, shortNames, unit, value, false, status);
    DAG_CHECK(status);
    MFnCompoundAttribute fn(compound);
    for (unsigned i = 0; i < 3; ++i) {
        *children[i] = fn.child(i, &status);
        DAG_CHECK(status);
    }
    return MS::kSuccess;
}

MVector vectorIn(MDataBlock& block, const MObject& attribute, MStatus& status)
{
    MDataHandle handle = block.inputValue(attribute, &status);
    if (!status)
        return MVector::zero;
    const double3& v = handle.asDouble3();
    return MVector(v[0], v[1], v[2]);
}

bool isJointMatrixInput(const Attribute* root)
{
    return root == attributeOf(JointNode::jointOrient) || root == attributeOf(JointNode::inverseScale) ||
           root == attributeOf(JointNode::segmentScaleCompensate);
}

} // namespace

void* JointNode::creator()
{
    return new JointNode;
}

MStatus JointNode::initialize()
{
    static const char* const joNames[3] = {"jointOrientX", "jointOrientY", "jointOrientZ"};
    static const char* const joShort[3] = {"jox", "joy", "joz"};
    MObject* joChildren[3] = {&jointOrientX, &jointOrientY, &jointOrientZ};
    DAG_CHECK(createTriple(jointOrient, joChildren, "jointOrient", "jo", joNames, joShort, MFnUnitAttribute::kAngle,
                           0.0));
    static const char* const isNames[3] = {"inverseScaleX", "inverseScaleY", "inverseScaleZ"};
    static const char* const isShort[3] = {"isx", "isy", "isz"};
    MObject* isChildren[3] = {&inverseScaleX, &inverseScaleY, &inverseScaleZ};
    DAG_CHECK(createTriple(inverseScale, isChildren, "inverseScale", "is", isNames, isShort,
                           MFnUnitAttribute::kInvalid, 1.0));
    static const char* const paNames[3] = {"preferredAngleX", "preferredAngleY", "preferredAngleZ"};
    static const char* const paShort[3] = {"pax", "pay", "paz"};
    MObject* paChildren[3] = {&preferredAngleX, &preferredAngleY, &preferredAngleZ};
    DAG_CHECK(createTriple(preferredAngle, paChildren, "preferredAngle", "pa", paNames, paShort,
                           MFnUnitAttribute::kAngle, 0.0));

    MStatus status;
    segmentScaleCompensate = DagAttributes::createBool("segmentScaleCompensate", "ssc", true, false, status);
    DAG_CHECK(status);
    MFnNumericAttribute numeric;
    radius = numeric.create("radius", "radi", MFnNumericData::kDouble, 1.0, &status);
    DAG_CHECK(status);
    DAG_CHECK(numeric.setMin(0.0));
    DAG_CHECK(numeric.setSoftMax(10.0));
    bindPose = DagAttributes::createMatrix("bindPose", "bps", false, false, status);
    DAG_CHECK(status);
    MFnEnumAttribute enumFn;
    drawStyle = enumFn.create("drawStyle", "ds", 0, &status);
    DAG_CHECK(status);
    const char* const styles[] = {"Bone", "Multi-child as Box", "None", "Joint"};
    for (short i = 0; i < 4; ++i)
        DAG_CHECK(enumFn.addField(styles[i], i));

    DAG_CHECK(addTransformAttributes());
    for (MObject* attr : {&jointOrient, &segmentScaleCompensate, &inverseScale, &preferredAngle, &radius, &bindPose,
                          &drawStyle})
        DAG_CHECK(addAttribute(*attr));
    for (MObject* input : {&jointOrient, &segmentScaleCompensate, &inverseScale})
        for (MObject* output : {&matrix, &inverseMatrix, &xformMatrix, &DagAttributes::worldMatrix,
                                &DagAttributes::worldInverseMatrix})
            DAG_CHECK(attributeAffects(*input, *output));
    return MS::kSuccess;
}

MMatrix JointNode::compose(const MVector& scale, const MVector& rotateAxis, const MVector& rotate, short rotateOrder,
                           const MVector& jointOrient, const MVector& inverseScale, bool compensate,
                           const MVector& translate)
{
    if (rotateOrder < 0 || rotateOrder > 5)
        rotateOrder = 0;
    MMatrix scaling;
    scaling[0][0] = scale.x;
    scaling[1][1] = scale.y;
    scaling[2][2] = scale.z;
    MMatrix m = scaling * MEulerRotation(rotateAxis).asMatrix() *
                MEulerRotation(rotate, static_cast<MEulerRotation::RotationOrder>(rotateOrder)).asMatrix() *
                MEulerRotation(jointOrient).asMatrix();
    if (compensate) {
        // A parent scale of zero cannot be undone: that axis is left as it is.
        MMatrix undoParentScale;
        for (int i = 0; i < 3; ++i)
            undoParentScale[i][i] = inverseScale[i] != 0.0 ? 1.0 / inverseScale[i] : 1.0;
        m = m * undoParentScale;
    }
    m[3][0] = translate.x;
    m[3][1] = translate.y;
    m[3][2] = translate.z;
    return m;
}

MStatus JointNode::compute(const MPlug& plug, MDataBlock& block)
{
    const Attribute* attribute = attributeOf(plug.attribute());
    if (attribute != attributeOf(matrix) && attribute != attributeOf(inverseMatrix) &&
        attribute != attributeOf(xformMatrix))
        return MS::kUnknownParameter;
    MStatus status;
    const MVector scaleValue = vectorIn(block, scale, status);
    DAG_CHECK(status);
    const MVector axis = vectorIn(block, rotateAxis, status);
    DAG_CHECK(status);
    const MVector rotation = vectorIn(block, rotate, status);
    DAG_CHECK(status);
    const MVector orient = vectorIn(block, jointOrient, status);
    DAG_CHECK(status);
    const MVector parentScale = vectorIn(block, inverseScale, status);
    DAG_CHECK(status);
    const MVector move = vectorIn(block, translate, status);
    DAG_CHECK(status);
    const short order = block.inputValue(rotateOrder, &status).asShort();
    DAG_CHECK(status);
    const bool compensate = block.inputValue(segmentScaleCompensate, &status).asBool();
    DAG_CHECK(status);
    const MMatrix local = compose(scaleValue, axis, rotation, order, orient, parentScale, compensate, move);
    MDataHandle out = block.outputValue(plug, &status);
    DAG_CHECK(status);
    out.set(attribute == attributeOf(inverseMatrix) ? local.inverse() : local);
    return block.setClean(plug);
}

MStatus JointNode::setDependentsDirty(const MPlug& plug, MPlugArray& affected)
{
    if (isJointMatrixInput(attributeOf(plug.attribute())->root())) {
        Node* node = NodeAccess::node(this);
        noteLocalMatrixChange(node, MDagMessage::kAll);
        for (Node* child : node->children)
            affected.append(MPlug(child->object(), DagAttributes::parentMatrix));
        return MS::kSuccess;
    }
    return TransformNode::setDependentsDirty(plug, affected);
}

} // namespace host
