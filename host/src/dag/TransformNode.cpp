#include "dag/TransformNode.h"

#include "dag/Dag.h"
#include "dag/DagAttributes.h"
#include "dag/DagMessages.h"
#include "dg/Node.h"

#include <maya/MDataHandle.h>
#include <maya/MEulerRotation.h>
#include <maya/MFnCompoundAttribute.h>
#include <maya/MFnEnumAttribute.h>
#include <maya/MFnMatrixData.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MMatrix.h>

namespace host {

const MTypeId TransformNode::id(0x5846524d);  // 'XFRM'
const char* const TransformNode::typeName = "transform";

MObject TransformNode::translate, TransformNode::translateX, TransformNode::translateY, TransformNode::translateZ;
MObject TransformNode::rotate, TransformNode::rotateX, TransformNode::rotateY, TransformNode::rotateZ;
MObject TransformNode::scale, TransformNode::scaleX, TransformNode::scaleY, TransformNode::scaleZ;
MObject TransformNode::shear, TransformNode::shearXY, TransformNode::shearXZ, TransformNode::shearYZ;
MObject TransformNode::rotateOrder;
MObject TransformNode::rotatePivot, TransformNode::rotatePivotX, TransformNode::rotatePivotY,
    TransformNode::rotatePivotZ;
MObject TransformNode::scalePivot, TransformNode::scalePivotX, TransformNode::scalePivotY, TransformNode::scalePivotZ;
MObject TransformNode::rotatePivotTranslate, TransformNode::rotatePivotTranslateX,
    TransformNode::rotatePivotTranslateY, TransformNode::rotatePivotTranslateZ;
MObject TransformNode::scalePivotTranslate, TransformNode::scalePivotTranslateX, TransformNode::scalePivotTranslateY,
    TransformNode::scalePivotTranslateZ;
MObject TransformNode::rotateAxis, TransformNode::rotateAxisX, TransformNode::rotateAxisY, TransformNode::rotateAxisZ;
MObject TransformNode::inheritsTransform;
MObject TransformNode::matrix;
MObject TransformNode::inverseMatrix;
MObject TransformNode::xformMatrix;

namespace {

// One double3 input of the transform with what a change to it means for the
// world-matrix callbacks.
struct Vector3Input
{
    MObject* compound;
    MObject* children[3];
    const char* name;
    const char* shortName;
    const char* childNames[3];
    const char* childShortNames[3];
    MFnUnitAttribute::Type unit;
    double value;
    bool keyable;
    unsigned flags;
};

Vector3Input vectorInputs[] = {
    {&TransformNode::translate,
     {&TransformNode::translateX, &TransformNode::translateY, &TransformNode::translateZ},
     "translate", "t", {"translateX", "translateY", "translateZ"}, {"tx", "ty", "tz"},
     MFnUnitAttribute::kDistance, 0.0, true, MDagMessage::kTranslation},
    {&TransformNode::rotate,
     {&TransformNode::rotateX, &TransformNode::rotateY, &TransformNode::rotateZ},
     "rotate", "r", {"rotateX", "rotateY", "rotateZ"}, {"rx", "ry", "rz"},
     MFnUnitAttribute::kAngle, 0.0, true, MDagMessage::kRotation},
    {&TransformNode::scale,
     {&TransformNode::scaleX, &TransformNode::scaleY, &TransformNode::scaleZ},
     "scale", "s", {"scaleX", "scaleY", "scaleZ"}, {"sx", "sy", "sz"},
     MFnUnitAttribute::kInvalid, 1.0, true, MDagMessage::kScale},
    {&TransformNode::shear,
     {&TransformNode::shearXY, &TransformNode::shearXZ, &TransformNode::shearYZ},
     "shear", "sh", {"shearXY", "shearXZ", "shearYZ"}, {"shxy", "shxz", "shyz"},
     MFnUnitAttribute::kInvalid, 0.0, false, MDagMessage::kShear},
    {&TransformNode::rotatePivot,
     {&TransformNode::rotatePivotX, &TransformNode::rotatePivotY, &TransformNode::rotatePivotZ},
     "rotatePivot", "rp", {"rotatePivotX", "rotatePivotY", "rotatePivotZ"}, {"rpx", "rpy", "rpz"},
     MFnUnitAttribute::kDistance, 0.0, false, MDagMessage::kRotatePivot},
    {&TransformNode::scalePivot,
     {&TransformNode::scalePivotX, &TransformNode::scalePivotY, &TransformNode::scalePivotZ},
     "scalePivot", "sp", {"scalePivotX", "scalePivotY", "scalePivotZ"}, {"spx", "spy", "spz"},
     MFnUnitAttribute::kDistance, 0.0, false, MDagMessage::kScalePivot},
    {&TransformNode::rotatePivotTranslate,
     {&TransformNode::rotatePivotTranslateX, &TransformNode::rotatePivotTranslateY,
      &TransformNode::rotatePivotTranslateZ},
     "rotatePivotTranslate", "rpt", {"rotatePivotTranslateX", "rotatePivotTranslateY", "rotatePivotTranslateZ"},
     {"rptx", "rpty", "rptz"}, MFnUnitAttribute::kDistance, 0.0, false, MDagMessage::kRotatePivotTrans},
    {&TransformNode::scalePivotTranslate,
     {&TransformNode::scalePivotTranslateX, &TransformNode::scalePivotTranslateY,
      &TransformNode::scalePivotTranslateZ},
     "scalePivotTranslate", "spt", {"scalePivotTranslateX", "scalePivotTranslateY", "scalePivotTranslateZ"},
     {"sptx", "spty", "sptz"}, MFnUnitAttribute::kDistance, 0.0, false, MDagMessage::kScalePivotTrans},
    {&TransformNode::rotateAxis,
     {&TransformNode::rotateAxisX, &TransformNode::rotateAxisY, &TransformNode::rotateAxisZ},
     "rotateAxis", "ra", {"rotateAxisX", "rotateAxisY", "rotateAxisZ"}, {"rax", "ray", "raz"},
     MFnUnitAttribute::kAngle, 0.0, false, MDagMessage::kRotateOrient},
};

MVector vectorValue(MDataBlock& block, const MObject& attribute, MStatus& status)
{
    MDataHandle handle = block.inputValue(attribute, &status);
    if (!status)
        return MVector::zero;
    const double3& v = handle.asDouble3();
    return MVector(v[0], v[1], v[2]);
}

// What changing an attribute (any child or element of it) changes in the
// local matrix, for the world-matrix callbacks; 0 when it does not.
unsigned localChangeFlags(const Attribute* attribute)
{
    const Attribute* root = attribute->root();
    for (const Vector3Input& input : vectorInputs) {
        const Attribute* compound = attributeOf(*input.compound);
        if (root != compound)
            continue;
        if (attribute == compound)
            return input.flags;
        // One component: the flags are three consecutive bits per input.
        unsigned lowest = input.flags & (~input.flags + 1);
        return lowest << attribute->childIndex;
    }
    if (root == attributeOf(TransformNode::rotateOrder))
        return MDagMessage::kRotateOrder;
    if (root == attributeOf(TransformNode::inheritsTransform) ||
        root == attributeOf(DagAttributes::offsetParentMatrix))
        return MDagMessage::kAll;
    return 0;
}

} // namespace

void* TransformNode::creator()
{
    return new TransformNode;
}

MPxNode::Type TransformNode::type() const
{
    return MPxNode::kTransformNode;
}

MStatus TransformNode::initialize()
{
    MStatus status;
    for (Vector3Input& input : vectorInputs) {
        *input.compound = DagAttributes::createDouble3(input.name, input.shortName, input.childNames,
                                                       input.childShortNames, input.unit, input.value,
                                                       input.keyable, status);
        DAG_CHECK(status);
        MFnCompoundAttribute fn(*input.compound);
        for (unsigned i = 0; i < 3; ++i) {
            *input.children[i] = fn.child(i, &status);
            DAG_CHECK(status);
        }
    }

    MFnEnumAttribute enumFn;
    rotateOrder = enumFn.create("rotateOrder", "ro", 0, &status);
    DAG_CHECK(status);
    const char* const orders[] = {"xyz", "yzx", "zxy", "xzy", "yxz", "zyx"};
    for (short i = 0; i < 6; ++i)
        DAG_CHECK(enumFn.addField(orders[i], i));

    inheritsTransform = DagAttributes::createBool("inheritsTransform", "it", true, false, status);
    DAG_CHECK(status);

    matrix = DagAttributes::createMatrix("matrix", "m", true, false, status);
    DAG_CHECK(status);
    inverseMatrix = DagAttributes::createMatrix("inverseMatrix", "im", true, false, status);
    DAG_CHECK(status);
    xformMatrix = DagAttributes::createMatrix("xformMatrix", "xm", true, false, status);
    DAG_CHECK(status);

    for (Vector3Input& input : vectorInputs)
        DAG_CHECK(addAttribute(*input.compound));
    for (MObject* attr : {&rotateOrder, &inheritsTransform, &matrix, &inverseMatrix, &xformMatrix})
        DAG_CHECK(addAttribute(*attr));

    const MObject* outputs[] = {&matrix, &inverseMatrix, &xformMatrix, &DagAttributes::worldMatrix,
                                &DagAttributes::worldInverseMatrix};
    for (Vector3Input& input : vectorInputs)
        for (const MObject* output : outputs)
            DAG_CHECK(attributeAffects(*input.compound, *output));
    for (const MObject* output : outputs)
        DAG_CHECK(attributeAffects(rotateOrder, *output));
    DAG_CHECK(attributeAffects(inheritsTransform, DagAttributes::worldMatrix));
    DAG_CHECK(attributeAffects(inheritsTransform, DagAttributes::worldInverseMatrix));
    return MS::kSuccess;
}

const MObject& TransformNode::partAttribute(Part part)
{
    return *vectorInputs[part].compound;
}

MTransformationMatrix TransformNode::compose(const MVector parts[kPartCount], short order)
{
    if (order < 0 || order > 5)
        order = 0;
    MTransformationMatrix tm;
    double scaleValues[3] = {parts[kScale].x, parts[kScale].y, parts[kScale].z};
    double shearValues[3] = {parts[kShear].x, parts[kShear].y, parts[kShear].z};
    double rotation[3] = {parts[kRotate].x, parts[kRotate].y, parts[kRotate].z};
    tm.setScalePivot(MPoint(parts[kScalePivot]), MSpace::kTransform, false);
    tm.setScale(scaleValues, MSpace::kTransform);
    tm.setShear(shearValues, MSpace::kTransform);
    tm.setScalePivotTranslation(parts[kScalePivotTranslate], MSpace::kTransform);
    tm.setRotatePivot(MPoint(parts[kRotatePivot]), MSpace::kTransform, false);
    tm.setRotationOrientation(MEulerRotation(parts[kRotateAxis]).asQuaternion());
    tm.setRotation(rotation, static_cast<MTransformationMatrix::RotationOrder>(order + 1));
    tm.setRotatePivotTranslation(parts[kRotatePivotTranslate], MSpace::kTransform);
    tm.setTranslation(parts[kTranslate], MSpace::kTransform);
    return tm;
}

MTransformationMatrix TransformNode::transformationOf(MDataBlock& block, MStatus* status)
{
    MStatus s;
    MVector parts[kPartCount];
    for (int i = 0; i < kPartCount && s; ++i)
        parts[i] = vectorValue(block, *vectorInputs[i].compound, s);
    short order = 0;
    if (s) {
        MDataHandle orderHandle = block.inputValue(rotateOrder, &s);
        if (s)
            order = orderHandle.asShort();
    }
    if (status)
        *status = s;
    return s ? compose(parts, order) : MTransformationMatrix();
}

MMatrix TransformNode::localMatrixOf(Node* node, MStatus* status)
{
    if (!node->isTransform || !dynamic_cast<TransformNode*>(node->user)) {
        if (status)
            *status = MS::kSuccess;
        return MMatrix::identity;
    }
    MPlug plug(node->object(), matrix);
    MObject data = plug.asMObject(status);
    MFnMatrixData fn(data);
    return fn.matrix(status);
}

MStatus TransformNode::addTransformAttributes()
{
    const MObject* outputs[] = {&matrix, &inverseMatrix, &xformMatrix, &DagAttributes::worldMatrix,
                                &DagAttributes::worldInverseMatrix};
    for (int part = 0; part < kPartCount; ++part)
        DAG_CHECK(MPxNode::addAttribute(partAttribute(static_cast<Part>(part))));
    for (const MObject* attr : {&rotateOrder, &inheritsTransform, &matrix, &inverseMatrix, &xformMatrix})
        DAG_CHECK(MPxNode::addAttribute(*attr));
    for (int part = 0; part < kPartCount; ++part)
        for (const MObject* output : outputs)
            DAG_CHECK(MPxNode::attributeAffects(partAttribute(static_cast<Part>(part)), *output));
    for (const MObject* output : outputs)
        DAG_CHECK(MPxNode::attributeAffects(rotateOrder, *output));
    DAG_CHECK(MPxNode::attributeAffects(inheritsTransform, DagAttributes::worldMatrix));
    DAG_CHECK(MPxNode::attributeAffects(inheritsTransform, DagAttributes::worldInverseMatrix));
    return MS::kSuccess;
}

MStatus TransformNode::compute(const MPlug& plug, MDataBlock& block)
{
    const Attribute* attribute = attributeOf(plug.attribute());
    if (attribute == attributeOf(matrix) || attribute == attributeOf(inverseMatrix) ||
        attribute == attributeOf(xformMatrix)) {
        MStatus status;
        MTransformationMatrix tm = transformationOf(block, &status);
        DAG_CHECK(status);
        MMatrix local = tm.asMatrix();
        MDataHandle out = block.outputValue(plug, &status);
        DAG_CHECK(status);
        out.set(attribute == attributeOf(inverseMatrix) ? local.inverse() : local);
        return block.setClean(plug);
    }
    return MS::kUnknownParameter;
}

MStatus TransformNode::setDependentsDirty(const MPlug& plug, MPlugArray& affected)
{
    Node* node = NodeAccess::node(this);
    const Attribute* attribute = attributeOf(plug.attribute());
    unsigned flags = localChangeFlags(attribute);
    if (flags)
        noteLocalMatrixChange(node, flags);
    // The children's world matrices follow this node's.
    if (flags || attribute->root() == attributeOf(DagAttributes::worldMatrix) ||
        attribute->root() == attributeOf(DagAttributes::parentMatrix)) {
        for (Node* child : node->children)
            affected.append(MPlug(child->object(), DagAttributes::parentMatrix));
    }
    return MS::kSuccess;
}

} // namespace host
