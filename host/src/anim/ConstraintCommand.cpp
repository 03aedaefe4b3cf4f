#include "anim/ConstraintCommand.h"

#include "anim/AnimStatus.h"
#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/SceneNames.h"
#include "commands/builtins/ValueText.h"
#include "dag/DagAttributes.h"
#include "dag/TransformNode.h"
#include "geometry/TransformRotation.h"
#include "views/ViewCommands.h"

#include <maya/MAngle.h>
#include <maya/MDistance.h>
#include <maya/MDoubleArray.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnTransform.h>
#include <maya/MGlobal.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

#include <cmath>
#include <string>
#include <vector>

namespace host {

namespace {

typedef ConstraintNode::Attributes A;
typedef ConstraintNode::Kind Kind;

MStatus fail(const char* command, const MString& message)
{
    MGlobal::displayError(MString(command) + ": " + message);
    return MS::kInvalidParameter;
}

MString shortName(const MObject& node)
{
    MString name = MFnDependencyNode(node).name();
    const int colon = name.rindex(':');
    return colon >= 0 ? name.substring(colon + 1, int(name.length()) - 1) : name;
}

MPlug plugOf(const MObject& node, const char* name)
{
    return MFnDependencyNode(node).findPlug(name, false);
}

MVector vectorOf(const MObject& node, const char* name)
{
    const MPlug plug = plugOf(node, name);
    return plug.isNull() ? MVector() : MVector(plug.child(0).asDouble(), plug.child(1).asDouble(), plug.child(2).asDouble());
}

// The constraint of this kind under an object, or a null object.
MObject constraintUnder(const MDagPath& object, Kind kind)
{
    MFnDagNode fn(object);
    for (unsigned i = 0; i < fn.childCount(); ++i) {
        const MObject child = fn.child(i);
        Kind found;
        if (ConstraintNode::kindOf(child, found) && found == kind)
            return child;
    }
    return MObject();
}

// A target of a constraint: its element of target[] and the node feeding it.
struct TargetSlot
{
    unsigned index;
    MObject node;
    MPlug weight;  // the weight attribute feeding targetWeight, or targetWeight itself
};

std::vector<TargetSlot> targetsOf(const MObject& constraint, Kind kind)
{
    const A& a = ConstraintNode::attributesOf(kind);
    std::vector<TargetSlot> slots;
    const MPlug targets(constraint, a.target);
    for (unsigned i = 0; i < targets.numElements(); ++i) {
        const MPlug element = targets.elementByPhysicalIndex(i);
        const MPlug matrix = element.child(a.targetParentMatrix), weight = element.child(a.targetWeight);
        const MPlug source = matrix.source();
        if (source.isNull())
            continue;  // a target taken out
        const MPlug weightSource = weight.source();
        slots.push_back({element.logicalIndex(), source.node(), weightSource.isNull() ? weight : weightSource});
    }
    return slots;
}

const struct
{
    const char* attribute;  // the constrained object's
    MObject A::*input;
} kObjectInputs[] = {
    {"rotatePivot", &A::rotatePivot},  {"rotatePivotTranslate", &A::rotateTranslate},
    {"rotateOrder", &A::rotateOrder},  {"jointOrient", &A::jointOrient},
};

const struct
{
    const char* attribute;  // the target's
    MObject A::*input;
} kTargetInputs[] = {
    {"translate", &A::targetTranslate},     {"rotatePivot", &A::targetRotatePivot},
    {"rotatePivotTranslate", &A::targetRotateTranslate}, {"rotate", &A::targetRotate},
    {"rotateOrder", &A::targetRotateOrder}, {"scale", &A::targetScale},
    {"jointOrient", &A::targetJointOrient},
};

// Axes a -skip flag names ("x", "y", "z" or "none"), by channel.
MStatus skippedAxes(const char* command, const CommandFlags& flags, const char* flag, bool axes[3])
{
    axes[0] = axes[1] = axes[2] = false;
    for (unsigned i = 0; i < flags.uses(flag); ++i) {
        const MString axis = flags.arg(flag, i);
        if (axis == "x" || axis == "y" || axis == "z")
            axes[axis == "x" ? 0 : axis == "y" ? 1 : 2] = true;
        else if (axis != "none")
            return fail(command, MString(flag) + " takes x, y, z or none, not \"" + axis + "\".");
    }
    return MS::kSuccess;
}

const char* const kUpTypes[] = {"scene", "object", "objectrotation", "vector", "none"};

} // namespace

MStatus ConstraintCommand::doIt(const MArgList& args)
{
    const char* const command = ConstraintNode::typeNameOf(mKind);
    const A& a = ConstraintNode::attributesOf(mKind);
    const bool aim = mKind == ConstraintNode::kAim;
    MArgList rest, restAim, restUp, restWorldUp;
    bool offsetGiven = false, aimGiven = false, upGiven = false, worldUpGiven = false;
    double offset[3] = {0, 0, 0}, aimVector[3] = {1, 0, 0}, upVector[3] = {0, 1, 0}, worldUp[3] = {0, 1, 0};
    ANIM_CHECK(CommandFlags::takeTriple(command, args, "-o", "-offset", restAim, offsetGiven, offset));
    ANIM_CHECK(CommandFlags::takeTriple(command, restAim, "-aim", "-aimVector", restUp, aimGiven, aimVector));
    ANIM_CHECK(CommandFlags::takeTriple(command, restUp, "-u", "-upVector", restWorldUp, upGiven, upVector));
    ANIM_CHECK(CommandFlags::takeTriple(command, restWorldUp, "-wu", "-worldUpVector", rest, worldUpGiven, worldUp));
    if ((offsetGiven && mKind == ConstraintNode::kParent) || ((aimGiven || upGiven || worldUpGiven) && !aim))
        return fail(command, "that flag is not one of this constraint's.");
    mQuery = isQueryCall(args);
    const CommandFlags::Arity weightArity = mQuery ? CommandFlags::kNoArg : CommandFlags::kOneArg;
    const CommandFlags::Definition kFlags[] = {
        {"-q", "-query", CommandFlags::kNoArg},        {"-e", "-edit", CommandFlags::kNoArg},
        {"-n", "-name", CommandFlags::kOneArg},        {"-w", "-weight", weightArity},
        {"-mo", "-maintainOffset", CommandFlags::kNoArg}, {"-tl", "-targetList", CommandFlags::kNoArg},
        {"-wal", "-weightAliasList", CommandFlags::kNoArg}, {"-rm", "-remove", CommandFlags::kNoArg},
        {"-st", "-skipTranslate", CommandFlags::kOneArg}, {"-sr", "-skipRotate", CommandFlags::kOneArg},
        {"-sk", "-skip", CommandFlags::kOneArg},       {"-wuo", "-worldUpObject", CommandFlags::kOneArg},
        {"-wut", "-worldUpType", CommandFlags::kOneArg},
    };
    CommandFlags flags;
    ANIM_CHECK(flags.parse(command, rest, kFlags));
    MSelectionList named;
    ANIM_CHECK(SceneNames::namedOrSelected(command, flags.objects(), named));
    std::vector<MDagPath> paths;
    for (unsigned i = 0; i < named.length(); ++i) {
        MDagPath path;
        MObject node;
        named.getDependNode(i, node);
        if (!named.getDagPath(i, path) || !node.hasFn(MFn::kTransform))
            return fail(command, SceneNames::nodeName(node) + " is not a transform.");
        paths.push_back(path);
    }
    if (paths.empty())
        return fail(command, "name or select the targets, then the object to constrain.");

    // Queries and edits name the constraint or the object it drives, after any targets.
    MObject constraint;
    Kind kind;
    if (ConstraintNode::kindOf(paths.back().node(), kind) && kind == mKind)
        constraint = paths.back().node();
    else
        constraint = constraintUnder(paths.back(), mKind);
    std::vector<TargetSlot> slots = constraint.isNull() ? std::vector<TargetSlot>() : targetsOf(constraint, mKind);
    if (mQuery || flags.isSet("-e") || flags.isSet("-rm")) {
        if (constraint.isNull())
            return fail(command, paths.back().partialPathName() + " has no " + command + ".");
        // The targets the command names; none named: all of them.
        std::vector<TargetSlot> chosen;
        for (const TargetSlot& slot : slots) {
            bool pick = paths.size() == 1;
            for (size_t i = 0; i + 1 < paths.size(); ++i)
                pick = pick || paths[i].node() == slot.node;
            if (pick)
                chosen.push_back(slot);
        }
        if (mQuery) {
            if (flags.isSet("-tl") || flags.isSet("-wal")) {
                MStringArray names;
                for (const TargetSlot& slot : chosen)
                    names.append(flags.isSet("-tl") ? SceneNames::nodeName(slot.node)
                                                    : slot.weight.partialName(false, false, false, false, false, true));
                setResult(names);
            } else if (flags.isSet("-w")) {
                MDoubleArray weights;
                for (const TargetSlot& slot : chosen)
                    weights.append(slot.weight.asDouble());
                setResult(weights);
            } else {
                return fail(command, "give -targetList, -weightAliasList or -weight to query.");
            }
            return MS::kSuccess;
        }
        if (flags.isSet("-rm")) {
            // A target taken out no longer feeds the constraint; the last one out takes it along,
            // which one of a referenced file cannot (its file would bring it back).
            if (chosen.size() == slots.size()) {
                if (MFnDependencyNode(constraint).isFromReferencedFile())
                    return fail(command, "cannot remove every target of " + SceneNames::nodeName(constraint) +
                                             ": it is a constraint of a referenced file.");
                ANIM_CHECK(mModifier.deleteNode(constraint));
            }
            for (const TargetSlot& slot : chosen) {
                if (chosen.size() == slots.size())
                    break;
                const MPlug element = MPlug(constraint, a.target).elementByLogicalIndex(slot.index);
                for (unsigned c = 0; c < element.numChildren(); ++c) {
                    const MPlug child = element.child(c);
                    const MPlug source = child.source();
                    if (!source.isNull())
                        ANIM_CHECK(mModifier.disconnect(source, child));
                }
                ANIM_CHECK(mModifier.newPlugValueDouble(element.child(a.targetWeight), 0.0));
                if (slot.weight.isDynamic())
                    ANIM_CHECK(mModifier.removeAttribute(constraint, slot.weight.attribute()));
            }
            ANIM_CHECK(execute(command));
            setResult(MStringArray(1, SceneNames::nodeName(constraint)));
            return MS::kSuccess;
        }
        if (flags.isSet("-w")) {
            double weight = 0;
            ANIM_CHECK(flags.doubleValue("-w", weight));
            for (const TargetSlot& slot : chosen)
                ANIM_CHECK(mModifier.newPlugValueDouble(slot.weight, weight));
        }
        ANIM_CHECK(execute(command));
        setResult(MStringArray(1, SceneNames::nodeName(constraint)));
        return MS::kSuccess;
    }

    if (paths.size() < 2)
        return fail(command, "name or select the targets, then the object to constrain.");
    const MDagPath object = paths.back();
    double weight = 1;
    if (flags.isSet("-w"))
        ANIM_CHECK(flags.doubleValue("-w", weight));
    bool skipTranslate[3], skipRotate[3], skip[3];
    ANIM_CHECK(skippedAxes(command, flags, "-st", skipTranslate));
    ANIM_CHECK(skippedAxes(command, flags, "-sr", skipRotate));
    ANIM_CHECK(skippedAxes(command, flags, "-sk", skip));
    short upType = 0;
    if (flags.isSet("-wut")) {
        upType = -1;
        for (short k = 0; k < 5; ++k)
            if (flags.arg("-wut") == kUpTypes[k])
                upType = k;
        if (upType < 0)
            return fail(command, MString("-worldUpType takes scene, object, objectrotation, vector or none, not \"") +
                                     flags.arg("-wut") + "\".");
    }
    MDagPath upObject;
    if (flags.isSet("-wuo")) {
        MSelectionList list;
        if (!list.add(flags.arg("-wuo")) || !list.getDagPath(0, upObject))
            return fail(command, MString("No object matches name: ") + flags.arg("-wuo"));
        if (!flags.isSet("-wut"))
            upType = 1;
    }
    for (size_t i = 0; i + 1 < paths.size(); ++i)
        if (paths[i] == object)
            return fail(command, object.partialPathName() + " cannot constrain itself.");

    // What the constraint drives: each output axis to the object's channel, none already driven.
    struct Output
    {
        MObject A::*attribute;
        const char* channel;
        const bool* skipped;
    };
    std::vector<Output> outputs;
    if (mKind == ConstraintNode::kParent || mKind == ConstraintNode::kPoint)
        outputs.push_back({&A::translate, "translate", mKind == ConstraintNode::kParent ? skipTranslate : skip});
    if (mKind == ConstraintNode::kParent || mKind == ConstraintNode::kOrient || aim)
        outputs.push_back({&A::rotate, "rotate", mKind == ConstraintNode::kParent ? skipRotate : skip});
    if (mKind == ConstraintNode::kScale)
        outputs.push_back({&A::scale, "scale", skip});
    const bool adding = !constraint.isNull();
    if (!adding)
        for (const Output& out : outputs)
            for (unsigned k = 0; k < 3; ++k) {
                const MPlug channel = plugOf(object.node(), out.channel).child(k);
                if (!out.skipped[k] && (channel.isDestination() || channel.isLocked()))
                    return fail(command, SceneNames::plugName(channel) + " is already driven or locked.");
            }

    MStatus status;
    if (!adding) {
        constraint = mModifier.createNode(command, object.node(), &status);
        ANIM_CHECK(status);
        const MString name = flags.isSet("-n") ? flags.arg("-n") : shortName(object.node()) + "_" + command + "#";
        ANIM_CHECK(mModifier.renameNode(constraint, name));
        const MPlug parentInverse = plugOf(object.node(), "parentInverseMatrix").elementByLogicalIndex(object.instanceNumber());
        ANIM_CHECK(mModifier.connect(parentInverse, MPlug(constraint, a.parentInverseMatrix)));
        for (const auto& input : kObjectInputs) {
            const MPlug from = plugOf(object.node(), input.attribute);
            if (!from.isNull() && !(a.*input.input).isNull())
                ANIM_CHECK(mModifier.connect(from, MPlug(constraint, a.*input.input)));
        }
        // With every weight at 0 the object goes back to where it was when constrained.
        for (const auto& [rest, channel] : {std::make_pair(&A::restTranslate, "translate"), std::make_pair(&A::restRotate, "rotate")})
            if (!(a.*rest).isNull()) {
                const MVector now = vectorOf(object.node(), channel);
                for (unsigned k = 0; k < 3; ++k)
                    ANIM_CHECK(mModifier.newPlugValueDouble(MPlug(constraint, a.*rest).child(k), now[k]));
            }
        if (aim)
            ANIM_CHECK(mModifier.connect(plugOf(object.node(), "translate"), MPlug(constraint, a.translate)));
        if (aim) {
            const double* vectors[3] = {aimVector, upVector, worldUp};
            const MObject A::*attributes[3] = {&A::aimVector, &A::upVector, &A::worldUpVector};
            for (int v = 0; v < 3; ++v)
                for (unsigned k = 0; k < 3; ++k)
                    ANIM_CHECK(mModifier.newPlugValueDouble(MPlug(constraint, a.*attributes[v]).child(k), vectors[v][k]));
            ANIM_CHECK(mModifier.newPlugValueShort(MPlug(constraint, a.worldUpType), upType));
            if (upObject.isValid())
                ANIM_CHECK(mModifier.connect(plugOf(upObject.node(), "worldMatrix").elementByLogicalIndex(upObject.instanceNumber()),
                                             MPlug(constraint, a.worldUpMatrix)));
        }
    }
    unsigned next = 0;
    for (const TargetSlot& slot : slots)
        next = std::max(next, slot.index + 1);
    const bool parentOffsets = flags.isSet("-mo") && mKind == ConstraintNode::kParent;
    TransformOrientation objectNow;
    ANIM_CHECK(orientationOf(object, objectNow));
    MFnTransform objectFn(object);
    const MPoint objectPivot = objectFn.rotatePivot(MSpace::kWorld, &status);
    ANIM_CHECK(status);
    for (size_t i = 0; i + 1 < paths.size(); ++i, ++next) {
        const MDagPath& target = paths[i];
        const MPlug element = MPlug(constraint, a.target).elementByLogicalIndex(next, &status);
        ANIM_CHECK(status);
        for (const auto& input : kTargetInputs) {
            const MPlug from = plugOf(target.node(), input.attribute);
            if (!from.isNull() && !(a.*input.input).isNull())
                ANIM_CHECK(mModifier.connect(from, element.child(a.*input.input)));
        }
        ANIM_CHECK(mModifier.connect(plugOf(target.node(), "parentMatrix").elementByLogicalIndex(target.instanceNumber()),
                                     element.child(a.targetParentMatrix)));
        // The weight: "<target>W<i>" on the constraint, keyable, from 0.
        MFnNumericAttribute fn;
        const MString index = ValueText::formatInt(next);
        MObject weightAttribute =
            fn.create(shortName(target.node()) + "W" + index, MString("w") + index, MFnNumericData::kDouble, 1.0, &status);
        ANIM_CHECK(status);
        ANIM_CHECK(fn.setMin(0.0));
        ANIM_CHECK(fn.setKeyable(true));
        ANIM_CHECK(mModifier.addAttribute(constraint, weightAttribute));
        ANIM_CHECK(execute(command));
        const MPlug weightPlug(constraint, weightAttribute);
        ANIM_CHECK(mModifier.newPlugValueDouble(weightPlug, weight));
        ANIM_CHECK(mModifier.connect(weightPlug, element.child(a.targetWeight)));
        if (parentOffsets) {
            // The object's frame in the target's, so that the constraint keeps it where it is.
            MEulerRotation rotate;
            MFnTransform targetFn(target);
            ANIM_CHECK(targetFn.getRotation(rotate));
            const MPlug orient = plugOf(target.node(), "jointOrient");
            const MMatrix frame = ConstraintNode::targetFrame(
                vectorOf(target.node(), "translate"), vectorOf(target.node(), "rotatePivot"),
                vectorOf(target.node(), "rotatePivotTranslate"), rotate,
                orient.isNull() ? MVector() : vectorOf(target.node(), "jointOrient"), vectorOf(target.node(), "scale"),
                target.exclusiveMatrix());
            MMatrix objectFrame = objectNow.world;
            objectFrame[3][0] = objectPivot.x, objectFrame[3][1] = objectPivot.y, objectFrame[3][2] = objectPivot.z;
            const MMatrix offsetMatrix = objectFrame * frame.inverse();
            const MEulerRotation offsetRotate = MEulerRotation::decompose(rotationPart(offsetMatrix), MEulerRotation::kXYZ);
            const double angles[3] = {offsetRotate.x, offsetRotate.y, offsetRotate.z};
            for (unsigned k = 0; k < 3; ++k) {
                ANIM_CHECK(mModifier.newPlugValueMDistance(element.child(a.targetOffsetTranslate).child(k),
                                                           MDistance(offsetMatrix[3][k], MDistance::kCentimeters)));
                ANIM_CHECK(mModifier.newPlugValueMAngle(element.child(a.targetOffsetRotate).child(k),
                                                        MAngle(angles[k], MAngle::kRadians)));
            }
        }
    }
    ANIM_CHECK(execute(command));

    // -mo for the others: the offset that makes the outputs what the object holds now.
    if (flags.isSet("-mo") && !parentOffsets && !adding) {
        const MPlug out(constraint, a.*outputs.front().attribute);
        const MVector raw(out.child(0).asDouble(), out.child(1).asDouble(), out.child(2).asDouble());
        MVector value;
        if (mKind == ConstraintNode::kPoint) {
            value = vectorOf(object.node(), "translate") - raw;
        } else if (mKind == ConstraintNode::kScale) {
            const MVector now = vectorOf(object.node(), "scale");
            for (unsigned k = 0; k < 3; ++k)
                value[k] = std::fabs(raw[k]) > 1e-12 ? now[k] / raw[k] : 1.0;
        } else {
            MMatrix world;
            ANIM_CHECK(worldFor(object, MEulerRotation(raw, objectNow.rotate.order), world));
            const MEulerRotation turn = MEulerRotation::decompose(objectNow.world * world.inverse(), MEulerRotation::kXYZ);
            value = MVector(turn.x, turn.y, turn.z);
        }
        for (unsigned k = 0; k < 3; ++k)
            ANIM_CHECK(mModifier.newPlugValueDouble(MPlug(constraint, a.offset).child(k), value[k]));
    } else if (offsetGiven) {
        for (unsigned k = 0; k < 3; ++k) {
            const MPlug axis = MPlug(constraint, a.offset).child(k);
            if (mKind == ConstraintNode::kPoint)
                ANIM_CHECK(mModifier.newPlugValueMDistance(axis, MDistance(offset[k], MDistance::uiUnit())));
            else if (mKind == ConstraintNode::kScale)
                ANIM_CHECK(mModifier.newPlugValueDouble(axis, offset[k]));
            else
                ANIM_CHECK(mModifier.newPlugValueMAngle(axis, MAngle(offset[k], MAngle::uiUnit())));
        }
    }
    if (!adding) {
        for (const Output& out : outputs)
            for (unsigned k = 0; k < 3; ++k)
                if (!out.skipped[k])
                    ANIM_CHECK(mModifier.connect(MPlug(constraint, a.*out.attribute).child(k),
                                                 plugOf(object.node(), out.channel).child(k)));
    }
    ANIM_CHECK(execute(command));
    if (!adding) {
        // As Maya makes them: the constraint's own channels are not keyed, its state is.
        for (const char* channel : {"visibility", "translateX", "translateY", "translateZ", "rotateX", "rotateY",
                                    "rotateZ", "scaleX", "scaleY", "scaleZ"})
            plugOf(constraint, channel).setKeyable(false);
        plugOf(constraint, "nodeState").setKeyable(true);
    }
    setResult(MStringArray(1, SceneNames::nodeName(constraint)));
    return MS::kSuccess;
}

} // namespace host
