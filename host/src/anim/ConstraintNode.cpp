#include "anim/ConstraintNode.h"

#include "anim/AnimStatus.h"
#include "dag/DagAttributes.h"
#include "dg/Node.h"
#include "dg/Registry.h"
#include "geometry/TransformRotation.h"

#include <maya/MArrayDataHandle.h>
#include <maya/MDataHandle.h>
#include <maya/MEulerRotation.h>
#include <maya/MFnCompoundAttribute.h>
#include <maya/MFnEnumAttribute.h>
#include <maya/MFnMatrixAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnUnitAttribute.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MQuaternion.h>
#include <maya/MTransformationMatrix.h>
#include <maya/MTypeId.h>
#include <maya/MVector.h>

#include <cmath>
#include <string>
#include <vector>

namespace host {

namespace {

typedef ConstraintNode::Attributes A;

const struct
{
    const char* typeName;
    unsigned id;
} kKinds[ConstraintNode::kKindCount] = {
    {"parentConstraint", 0x4e435041}, {"pointConstraint", 0x4e43504f}, {"orientConstraint", 0x4e434f52},
    {"scaleConstraint", 0x4e435343}, {"aimConstraint", 0x4e43494d},
};

A gAttributes[ConstraintNode::kKindCount];

// A double3 with children named <name>X/Y/Z and <short>x/y/z.
MObject vector3(const char* name, const char* shortName, MFnUnitAttribute::Type unit, const MVector& value,
                MStatus& status)
{
    const std::string n(name), s(shortName);
    const std::string longNames[3] = {n + "X", n + "Y", n + "Z"}, shortNames[3] = {s + "x", s + "y", s + "z"};
    const char* const longs[3] = {longNames[0].c_str(), longNames[1].c_str(), longNames[2].c_str()};
    const char* const shorts[3] = {shortNames[0].c_str(), shortNames[1].c_str(), shortNames[2].c_str()};
    MObject attribute = DagAttributes::createDouble3(name, shortName, longs, shorts, unit, value.x, false, status);
    if (!status)
        return attribute;
    MFnCompoundAttribute compound(attribute);
    for (unsigned k = 1; k < 3 && status; ++k)
        if (value[k] != value.x) {
            MObject child = compound.child(k);
            status = unit == MFnUnitAttribute::kInvalid ? MFnNumericAttribute(child).setDefault(value[k])
                                                         : MFnUnitAttribute(child).setDefault(value[k]);
        }
    return attribute;
}

MObject enumeration(const char* name, const char* shortName, short value,
                    std::initializer_list<const char*> fields, MStatus& status)
{
    MFnEnumAttribute fn;
    MObject attribute = fn.create(name, shortName, value, &status);
    short index = 0;
    for (const char* field : fields)
        if (status)
            status = fn.addField(field, index++);
    return attribute;
}

MObject number(const char* name, const char* shortName, MFnNumericData::Type type, double value, MStatus& status)
{
    MFnNumericAttribute fn;
    return fn.create(name, shortName, type, value, &status);
}

MObject matrix(const char* name, const char* shortName, MStatus& status)
{
    MFnMatrixAttribute fn;
    return fn.create(name, shortName, MFnMatrixAttribute::kDouble, &status);
}

const std::initializer_list<const char*> kRotateOrders = {"xyz", "yzx", "zxy", "xzy", "yxz", "zyx"};

MStatus initializeKind(ConstraintNode::Kind kind)
{
    ANIM_CHECK(TransformNode::addTransformAttributes());
    A& a = gAttributes[kind];
    const bool parent = kind == ConstraintNode::kParent, point = kind == ConstraintNode::kPoint;
    const bool orient = kind == ConstraintNode::kOrient, scale = kind == ConstraintNode::kScale;
    const bool aim = kind == ConstraintNode::kAim;
    const bool positions = parent || point || aim, rotations = parent || orient || aim;
    MStatus status;
    const MFnUnitAttribute::Type kDistance = MFnUnitAttribute::kDistance, kAngle = MFnUnitAttribute::kAngle;
    const MFnUnitAttribute::Type kPlain = MFnUnitAttribute::kInvalid;

    // Each target: what the kind reads of it.
    std::vector<MObject*> children;
    auto child = [&](MObject& member, MObject created) {
        member = created;
        children.push_back(&member);
        return status;
    };
    if (positions) {
        ANIM_CHECK(child(a.targetTranslate, vector3("targetTranslate", "tt", kDistance, MVector(), status)));
        ANIM_CHECK(child(a.targetRotatePivot, vector3("targetRotatePivot", "trp", kDistance, MVector(), status)));
        ANIM_CHECK(child(a.targetRotateTranslate, vector3("targetRotateTranslate", "trt", kDistance, MVector(), status)));
    }
    if (parent || orient) {
        ANIM_CHECK(child(a.targetRotate, vector3("targetRotate", "tr", kAngle, MVector(), status)));
        ANIM_CHECK(child(a.targetRotateOrder, enumeration("targetRotateOrder", "tro", 0, kRotateOrders, status)));
        ANIM_CHECK(child(a.targetJointOrient, vector3("targetJointOrient", "tjo", kAngle, MVector(), status)));
    }
    if (parent || scale)
        ANIM_CHECK(child(a.targetScale, vector3("targetScale", "ts", kPlain, MVector(1, 1, 1), status)));
    if (parent) {
        ANIM_CHECK(child(a.targetOffsetTranslate, vector3("targetOffsetTranslate", "tot", kDistance, MVector(), status)));
        ANIM_CHECK(child(a.targetOffsetRotate, vector3("targetOffsetRotate", "tor", kAngle, MVector(), status)));
    }
    ANIM_CHECK(child(a.targetParentMatrix, matrix("targetParentMatrix", "tpm", status)));
    ANIM_CHECK(child(a.targetWeight, number("targetWeight", "tw", MFnNumericData::kDouble, 1.0, status)));
    MFnCompoundAttribute compound;
    a.target = compound.create("target", "tg", &status);
    ANIM_CHECK(status);
    for (MObject* c : children)
        ANIM_CHECK(compound.addChild(*c));
    ANIM_CHECK(compound.setArray(true));

    std::vector<MObject*> inputs = {&a.target}, outputs;
    auto add = [&](MObject& member, MObject created, bool output) {
        member = created;
        (output ? outputs : inputs).push_back(&member);
        return status;
    };
    ANIM_CHECK(add(a.parentInverseMatrix, matrix("constraintParentInverseMatrix", "cpim", status), false));
    if (positions) {
        ANIM_CHECK(add(a.rotatePivot, vector3("constraintRotatePivot", "crp", kDistance, MVector(), status), false));
        ANIM_CHECK(add(a.rotateTranslate, vector3("constraintRotateTranslate", "crt", kDistance, MVector(), status), false));
        ANIM_CHECK(add(a.translate, vector3("constraintTranslate", "ct", kDistance, MVector(), status), !aim));
    }
    if (rotations) {
        ANIM_CHECK(add(a.rotateOrder, enumeration("constraintRotateOrder", "cro", 0, kRotateOrders, status), false));
        ANIM_CHECK(add(a.jointOrient, vector3("constraintJointOrient", "cjo", kAngle, MVector(), status), false));
        ANIM_CHECK(add(a.rotate, vector3("constraintRotate", "cr", kAngle, MVector(), status), true));
        ANIM_CHECK(add(a.restRotate, vector3("restRotate", "rsrr", kAngle, MVector(), status), false));
    }
    if (scale) {
        ANIM_CHECK(add(a.scale, vector3("constraintScale", "cs", kPlain, MVector(1, 1, 1), status), true));
        ANIM_CHECK(add(a.scaleCompensate, number("targetScaleCompensate", "tsc", MFnNumericData::kBoolean, 1.0, status), false));
    }
    if (parent || point)
        ANIM_CHECK(add(a.restTranslate, vector3("restTranslate", "rst", kDistance, MVector(), status), false));
    if (!parent) {
        const MFnUnitAttribute::Type unit = point ? kDistance : scale ? kPlain : kAngle;
        ANIM_CHECK(add(a.offset, vector3("offset", "o", unit, scale ? MVector(1, 1, 1) : MVector(), status), false));
    }
    ANIM_CHECK(add(a.enableRestPosition, number("enableRestPosition", "erp", MFnNumericData::kBoolean, 1.0, status), false));
    if (parent || orient) {
        ANIM_CHECK(add(a.interpType, enumeration("interpType", "int", 1,
                                                 {"No Flip", "Average", "Shortest", "Longest", "Cache"}, status),
                       false));
    }
    if (orient)
        ANIM_CHECK(add(a.lastTargetRotate, vector3("lastTargetRotate", "lr", kAngle, MVector(), status), false));
    if (aim) {
        ANIM_CHECK(add(a.aimVector, vector3("aimVector", "a", kPlain, MVector(1, 0, 0), status), false));
        ANIM_CHECK(add(a.upVector, vector3("upVector", "u", kPlain, MVector(0, 1, 0), status), false));
        ANIM_CHECK(add(a.worldUpVector, vector3("worldUpVector", "wu", kPlain, MVector(0, 1, 0), status), false));
        ANIM_CHECK(add(a.worldUpMatrix, matrix("worldUpMatrix", "wum", status), false));
        ANIM_CHECK(add(a.worldUpType, enumeration("worldUpType", "wut", 0,
                                                  {"scene", "object", "objectrotation", "vector", "none"}, status),
                       false));
    }
    for (MObject* output : outputs) {
        MFnAttribute fn(*output);
        ANIM_CHECK(fn.setWritable(false));
        ANIM_CHECK(fn.setStorable(false));
    }
    for (std::vector<MObject*>* list : {&inputs, &outputs})
        for (MObject* attribute : *list)
            ANIM_CHECK(MPxNode::addAttribute(*attribute));
    for (MObject* input : inputs)
        for (MObject* output : outputs)
            ANIM_CHECK(MPxNode::attributeAffects(*input, *output));
    return MS::kSuccess;
}

template <ConstraintNode::Kind K>
void* createKind()
{
    return new ConstraintNode(K);
}

template <ConstraintNode::Kind K>
MStatus initializeKindOf()
{
    return initializeKind(K);
}

const NodeCreatorFunction kCreators[ConstraintNode::kKindCount] = {
    &createKind<ConstraintNode::kParent>, &createKind<ConstraintNode::kPoint>, &createKind<ConstraintNode::kOrient>,
    &createKind<ConstraintNode::kScale>, &createKind<ConstraintNode::kAim>};
const NodeInitializeFunction kInitializers[ConstraintNode::kKindCount] = {
    &initializeKindOf<ConstraintNode::kParent>, &initializeKindOf<ConstraintNode::kPoint>,
    &initializeKindOf<ConstraintNode::kOrient>, &initializeKindOf<ConstraintNode::kScale>,
    &initializeKindOf<ConstraintNode::kAim>};

MVector vectorOf(MDataHandle handle, const MObject& attribute, const MVector& fallback = MVector())
{
    if (attribute.isNull())
        return fallback;
    const double3& v = handle.child(attribute).asDouble3();
    return MVector(v[0], v[1], v[2]);
}

MVector vectorOf(MDataBlock& block, const MObject& attribute, const MVector& fallback = MVector())
{
    if (attribute.isNull())
        return fallback;
    const double3& v = block.inputValue(attribute).asDouble3();
    return MVector(v[0], v[1], v[2]);
}

MMatrix withTranslation(const MMatrix& m, const MPoint& p)
{
    MMatrix result = m;
    result[3][0] = p.x, result[3][1] = p.y, result[3][2] = p.z;
    return result;
}

MMatrix withoutTranslation(const MMatrix& m)
{
    return withTranslation(m, MPoint(0, 0, 0));
}

MMatrix scaling(const MVector& s)
{
    MMatrix m;
    m[0][0] = s.x, m[1][1] = s.y, m[2][2] = s.z;
    return m;
}

// One target as the kind needs it, in the world.
struct Target
{
    double weight = 0;
    MPoint position;
    MMatrix rotation;  // rotation only
    MVector scale;     // in the constrained object's parent space
};

// Quaternions blended by weight, all taken on the same side as the first (or, for the
// longest way round, the other).
MQuaternion blend(const std::vector<Target>& targets, double total, bool longest)
{
    MQuaternion sum(0, 0, 0, 0), first;
    bool haveFirst = false;
    for (const Target& t : targets) {
        if (t.weight == 0)
            continue;
        MQuaternion q = MTransformationMatrix(t.rotation).rotation();
        if (!haveFirst) {
            first = q;
            haveFirst = true;
        } else {
            const double dot = q.x * first.x + q.y * first.y + q.z * first.z + q.w * first.w;
            if (longest ? dot > 0 : dot < 0)
                q = -q;
        }
        const double w = t.weight / total;
        sum = sum + MQuaternion(q.x * w, q.y * w, q.z * w, q.w * w);
    }
    const double length = std::sqrt(sum.x * sum.x + sum.y * sum.y + sum.z * sum.z + sum.w * sum.w);
    return length > 1e-12 ? MQuaternion(sum.x / length, sum.y / length, sum.z / length, sum.w / length)
                          : MQuaternion();
}

// The rotation that takes `aim` to `direction` with `up` kept as near `worldUp` as it can be
// (no up: the shortest turn).
MMatrix aimRotation(const MVector& aim, const MVector& up, const MVector& direction, const MVector& worldUp,
                    bool useUp)
{
    if (!useUp || (direction ^ worldUp).length() < 1e-12 || (aim ^ up).length() < 1e-12)
        return MQuaternion(aim, direction).asMatrix();
    const MVector e1 = aim.normal(), e3 = (aim ^ up).normal(), e2 = e3 ^ e1;
    const MVector f1 = direction.normal(), f3 = (direction ^ worldUp).normal(), f2 = f3 ^ f1;
    MMatrix local, world;
    const MVector es[3] = {e1, e2, e3}, fs[3] = {f1, f2, f3};
    for (unsigned r = 0; r < 3; ++r)
        for (unsigned c = 0; c < 3; ++c) {
            local[r][c] = es[r][c];
            world[r][c] = fs[r][c];
        }
    return local.transpose() * world;
}

} // namespace

MStatus ConstraintNode::registerTypes()
{
    for (int kind = 0; kind < kKindCount; ++kind) {
        NodeTypeInfo info;
        info.name = kKinds[kind].typeName;
        info.id = MTypeId(kKinds[kind].id);
        info.creator = kCreators[kind];
        info.initialize = kInitializers[kind];
        info.type = MPxNode::kTransformNode;
        info.apiType = MFn::kTransform;
        ANIM_CHECK(registerNodeType(info));
    }
    return MS::kSuccess;
}

const char* ConstraintNode::typeNameOf(Kind kind)
{
    return kKinds[kind].typeName;
}

const ConstraintNode::Attributes& ConstraintNode::attributesOf(Kind kind)
{
    return gAttributes[kind];
}

bool ConstraintNode::kindOf(const MObject& node, Kind& kind)
{
    const Node* n = nodeOf(node);
    for (int k = 0; n && k < kKindCount; ++k)
        if (n->type->info.name == kKinds[k].typeName) {
            kind = Kind(k);
            return true;
        }
    return false;
}

MMatrix ConstraintNode::targetFrame(const MVector& translate, const MVector& rotatePivot,
                                    const MVector& rotateTranslate, const MEulerRotation& rotate,
                                    const MVector& jointOrient, const MVector& scale, const MMatrix& parentMatrix)
{
    const MPoint pivot = MPoint(rotatePivot + rotateTranslate + translate) * parentMatrix;
    return withTranslation(scaling(scale) * rotate.asMatrix() * MEulerRotation(jointOrient).asMatrix() *
                               withoutTranslation(parentMatrix),
                           pivot);
}

MStatus ConstraintNode::compute(const MPlug& plug, MDataBlock& block)
{
    const A& a = gAttributes[mKind];
    const MObject root = plug.isChild() ? plug.parent().attribute() : plug.attribute();
    const bool output = (root == a.translate && mKind != kAim) || root == a.rotate || root == a.scale;
    if (!output)
        return TransformNode::compute(plug, block);
    MStatus status;
    const MMatrix parentInverse = block.inputValue(a.parentInverseMatrix, &status).asMatrix();
    ANIM_CHECK(status);

    // The targets in the world.
    std::vector<Target> targets;
    double total = 0;
    MArrayDataHandle elements = block.inputArrayValue(a.target, &status);
    ANIM_CHECK(status);
    for (unsigned i = 0, n = elements.elementCount(); i < n; ++i, elements.next()) {
        MDataHandle t = elements.inputValue(&status);
        ANIM_CHECK(status);
        Target target;
        target.weight = t.child(a.targetWeight).asDouble();
        const MMatrix pm = t.child(a.targetParentMatrix).asMatrix();
        // Where the target's rotate pivot is, and how it is turned (a joint's orient after its rotation).
        const MEulerRotation rotate =
            a.targetRotate.isNull()
                ? MEulerRotation()
                : MEulerRotation(vectorOf(t, a.targetRotate),
                                 MEulerRotation::RotationOrder(t.child(a.targetRotateOrder).asShort()));
        const MVector jointOrient = vectorOf(t, a.targetJointOrient);
        const MMatrix frame = targetFrame(vectorOf(t, a.targetTranslate), vectorOf(t, a.targetRotatePivot),
                                          vectorOf(t, a.targetRotateTranslate), rotate, jointOrient,
                                          vectorOf(t, a.targetScale, MVector(1, 1, 1)), pm);
        const MPoint pivot(frame[3][0], frame[3][1], frame[3][2]);
        const MMatrix turn = rotate.asMatrix() * MEulerRotation(jointOrient).asMatrix();
        if (mKind == kParent) {
            // The offset sits in the target's frame (its scale included).
            const MMatrix offset = withTranslation(MEulerRotation(vectorOf(t, a.targetOffsetRotate)).asMatrix(),
                                                   MPoint(vectorOf(t, a.targetOffsetTranslate)));
            const MMatrix world = offset * frame;
            target.position = MPoint(world[3][0], world[3][1], world[3][2]);
            target.rotation = rotationPart(world);
        } else {
            target.position = pivot;
            target.rotation = rotationPart(turn * withoutTranslation(pm));
        }
        if (mKind == kScale) {
            const MMatrix inParent = scaling(vectorOf(t, a.targetScale, MVector(1, 1, 1))) * withoutTranslation(pm) *
                                     withoutTranslation(parentInverse);
            for (unsigned k = 0; k < 3; ++k)
                target.scale[k] = MVector(inParent[k][0], inParent[k][1], inParent[k][2]).length();
        }
        total += target.weight;
        targets.push_back(target);
    }

    const bool rest = !(total > 0) || !std::isfinite(total);
    const bool useRest = rest && block.inputValue(a.enableRestPosition).asBool();
    if (!rest || useRest) {
        if (!a.translate.isNull() && mKind != kAim) {
            MVector local;
            if (rest) {
                local = vectorOf(block, a.restTranslate);
            } else {
                MPoint world(0, 0, 0);
                for (const Target& t : targets)
                    world += MVector(t.position) * (t.weight / total);
                // translate puts the object's rotate pivot there.
                local = MVector(world * parentInverse) - vectorOf(block, a.rotatePivot) - vectorOf(block, a.rotateTranslate) +
                        vectorOf(block, a.offset);
            }
            block.outputValue(a.translate).set3Double(local.x, local.y, local.z);
        }
        if (!a.rotate.isNull()) {
            MEulerRotation::RotationOrder order = MEulerRotation::RotationOrder(block.inputValue(a.rotateOrder).asShort());
            MVector angles = vectorOf(block, a.restRotate);
            if (!rest) {
                MMatrix world;
                if (mKind == kAim) {
                    // Aim from where the object's pivot is at the targets' pivots.
                    MPoint goal(0, 0, 0);
                    for (const Target& t : targets)
                        goal += MVector(t.position) * (t.weight / total);
                    const MMatrix parentMatrix = parentInverse.inverse();
                    const MPoint from = MPoint(vectorOf(block, a.rotatePivot) + vectorOf(block, a.rotateTranslate) +
                                               vectorOf(block, a.translate)) *
                                        parentMatrix;
                    const short upType = block.inputValue(a.worldUpType).asShort();
                    const MMatrix upMatrix = block.inputValue(a.worldUpMatrix).asMatrix();
                    const MVector upVector = vectorOf(block, a.worldUpVector, MVector(0, 1, 0));
                    const MVector worldUp = upType == 0   ? MVector(0, 1, 0)
                                            : upType == 1 ? MPoint(upMatrix[3][0], upMatrix[3][1], upMatrix[3][2]) - from
                                            : upType == 2 ? upVector * rotationPart(upMatrix)
                                                          : upVector;
                    world = aimRotation(vectorOf(block, a.aimVector, MVector(1, 0, 0)),
                                        vectorOf(block, a.upVector, MVector(0, 1, 0)), goal - from, worldUp, upType != 4);
                } else {
                    const short interp = block.inputValue(a.interpType).asShort();
                    world = blend(targets, total, interp == 3).asMatrix();
                }
                if (!a.offset.isNull())
                    world = MEulerRotation(vectorOf(block, a.offset)).asMatrix() * world;
                // The object's rotation under its parent, its joint orient taken off.
                const MMatrix local = world * rotationPart(parentInverse) *
                                      MEulerRotation(vectorOf(block, a.jointOrient)).asMatrix().inverse();
                const MEulerRotation euler = MEulerRotation::decompose(local, order);
                angles = MVector(euler.x + 0.0, euler.y + 0.0, euler.z + 0.0);  // no -0
            }
            block.outputValue(a.rotate).set3Double(angles.x, angles.y, angles.z);
        }
        if (!a.scale.isNull() && !rest) {
            MVector blended;
            for (const Target& t : targets)
                blended += t.scale * (t.weight / total);
            const MVector offset = vectorOf(block, a.offset, MVector(1, 1, 1));
            block.outputValue(a.scale).set3Double(blended.x * offset.x, blended.y * offset.y, blended.z * offset.z);
        }
    }
    for (const MObject& out : {a.translate, a.rotate, a.scale})
        if (!out.isNull() && !(out == a.translate && mKind == kAim))
            ANIM_CHECK(block.setClean(MPlug(thisMObject(), out)));
    return MS::kSuccess;
}

} // namespace host
