#include "dag/JointCommand.h"

#include "commands/builtins/SceneNames.h"
#include "commands/builtins/ValueText.h"
#include "dag/Dag.h"
#include "dag/JointNode.h"
#include "dg/Scene.h"

#include <maya/MAngle.h>
#include <maya/MArgList.h>
#include <maya/MDagPath.h>
#include <maya/MDistance.h>
#include <maya/MDoubleArray.h>
#include <maya/MFnDagNode.h>
#include <maya/MGlobal.h>
#include <maya/MPlug.h>
#include <maya/MSelectionList.h>

#include <vector>

namespace host {

namespace {

MStatus fail(const MString& message)
{
    MGlobal::displayError("joint: " + message);
    return MS::kInvalidParameter;
}

// What the words of a joint command ask for.
struct JointRequest
{
    bool edit = false, query = false, relative = false;
    bool position = false, orient = false, radius = false;
    double positionValue[3] = {0, 0, 0};  // UI unit
    double orientValue[3] = {0, 0, 0};    // UI angle unit
    double radiusValue = 1.0;
    MString name;
    std::vector<MString> objects;
};

MStatus readNumbers(const MArgList& args, unsigned& i, unsigned count, double* values, bool query,
                    const MString& flag)
{
    // Query flags take no values.
    if (query)
        return MS::kSuccess;
    for (unsigned k = 0; k < count; ++k)
        if (i + 1 + k >= args.length() || !ValueText::parseDouble(args.asString(i + 1 + k), values[k]))
            return fail(flag + (count == 1 ? " takes a number." : " takes three numbers."));
    i += count;
    return MS::kSuccess;
}

MStatus parse(const MArgList& args, JointRequest& r)
{
    // -q and -e change what the other flags take, so they are found first.
    for (unsigned i = 0; i < args.length(); ++i) {
        const MString word = args.asString(i);
        r.query = r.query || word == "-q" || word == "-query";
        r.edit = r.edit || word == "-e" || word == "-edit";
    }
    for (unsigned i = 0; i < args.length(); ++i) {
        const MString word = args.asString(i);
        MStatus status;
        if (word == "-q" || word == "-query" || word == "-e" || word == "-edit") {
        } else if (word == "-p" || word == "-position") {
            r.position = true;
            status = readNumbers(args, i, 3, r.positionValue, r.query, word);
        } else if (word == "-o" || word == "-orientation") {
            r.orient = true;
            status = readNumbers(args, i, 3, r.orientValue, r.query, word);
        } else if (word == "-rad" || word == "-radius") {
            r.radius = true;
            status = readNumbers(args, i, 1, &r.radiusValue, r.query, word);
            if (status && !r.query && r.radiusValue < 0)
                return fail("the radius cannot be negative.");
        } else if (word == "-r" || word == "-relative") {
            r.relative = true;
        } else if (word == "-a" || word == "-absolute") {
            r.relative = false;
        } else if (word == "-n" || word == "-name") {
            if (i + 1 >= args.length())
                return fail(word + " takes a name.");
            r.name = args.asString(++i);
        } else if (ValueText::isFlag(word)) {
            return fail("unknown flag " + word + ".");
        } else {
            r.objects.push_back(word);
        }
        if (!status)
            return status;
    }
    if (r.query && r.edit)
        return fail("-query and -edit cannot be used together.");
    if (r.name.length() && (r.query || r.edit))
        return fail("-name is for creating a joint.");
    if (r.name.length() && !isValidNodeName(r.name))
        return fail("\"" + r.name + "\" is not a valid node name.");
    return MS::kSuccess;
}

MVector uiDistance(const double values[3])
{
    return MVector(MDistance::uiToInternal(values[0]), MDistance::uiToInternal(values[1]),
                   MDistance::uiToInternal(values[2]));
}

MStatus queueVector(MDGModifier& modifier, const MObject& node, const MObject& attribute, const MVector& value)
{
    MPlug plug(node, attribute);
    for (unsigned k = 0; k < 3; ++k)
        DAG_CHECK(modifier.newPlugValueDouble(plug.child(k), value[k]));
    return MS::kSuccess;
}

// The translate that puts a joint at `position`: in world space, or, relative, as given.
MStatus translateFor(const MDagPath& parent, const MVector& position, bool relative, MVector& translate)
{
    translate = position;
    if (relative || !parent.isValid() || parent.length() == 0)
        return MS::kSuccess;
    MStatus status;
    const MMatrix parentInverse = parent.inclusiveMatrixInverse(&status);
    DAG_CHECK(status);
    translate = MVector(MPoint(position) * parentInverse);
    return MS::kSuccess;
}

MStatus jointsOf(const std::vector<MString>& names, std::vector<MDagPath>& joints)
{
    MSelectionList list;
    DAG_CHECK(SceneNames::namedOrSelected("joint", names, list));
    for (unsigned i = 0; i < list.length(); ++i) {
        MDagPath path;
        MObject node;
        list.getDependNode(i, node);
        if (!list.getDagPath(i, path) || !path.node().hasFn(MFn::kJoint))
            return fail(SceneNames::nodeName(node) + " is not a joint.");
        joints.push_back(path);
    }
    if (joints.empty())
        return fail("name or select a joint.");
    return MS::kSuccess;
}

MDagPath parentPath(const MDagPath& joint)
{
    MDagPath parent = joint;
    parent.pop();
    return parent;
}

} // namespace

MStatus JointCommand::doIt(const MArgList& args)
{
    JointRequest r;
    DAG_CHECK(parse(args, r));
    mQuery = r.query;

    if (r.query) {
        std::vector<MDagPath> joints;
        DAG_CHECK(jointsOf(r.objects, joints));
        const MDagPath& joint = joints[0];
        MStatus status;
        MDoubleArray result;
        if (r.position) {
            MVector p;
            if (r.relative) {
                const MPlug translate(joint.node(), TransformNode::translate);
                p = MVector(translate.child(0).asDouble(), translate.child(1).asDouble(), translate.child(2).asDouble());
            } else {
                const MMatrix world = joint.inclusiveMatrix(&status);
                DAG_CHECK(status);
                p = MVector(world(3, 0), world(3, 1), world(3, 2));
            }
            for (unsigned k = 0; k < 3; ++k)
                result.append(MDistance::internalToUI(p[k]));
        } else if (r.orient) {
            const MPlug orient(joint.node(), JointNode::jointOrient);
            for (unsigned k = 0; k < 3; ++k)
                result.append(MAngle::internalToUI(orient.child(k).asDouble()));
        } else if (r.radius) {
            result.append(MPlug(joint.node(), JointNode::radius).asDouble());
        } else {
            return fail("-query needs a flag: -position, -orientation or -radius.");
        }
        setResult(result);
        return MS::kSuccess;
    }

    const MVector orient(MAngle::uiToInternal(r.orientValue[0]), MAngle::uiToInternal(r.orientValue[1]),
                         MAngle::uiToInternal(r.orientValue[2]));
    if (r.edit) {
        std::vector<MDagPath> joints;
        DAG_CHECK(jointsOf(r.objects, joints));
        if (r.position && !r.relative && joints.size() > 1)
            return fail("one joint at a time takes a world position; use -relative for several.");
        for (const MDagPath& joint : joints) {
            if (r.position) {
                MVector translate;
                DAG_CHECK(translateFor(parentPath(joint), uiDistance(r.positionValue), r.relative, translate));
                DAG_CHECK(queueVector(mModifier, joint.node(), TransformNode::translate, translate));
            }
            if (r.orient)
                DAG_CHECK(queueVector(mModifier, joint.node(), JointNode::jointOrient, orient));
            if (r.radius)
                DAG_CHECK(mModifier.newPlugValueDouble(MPlug(joint.node(), JointNode::radius), r.radiusValue));
        }
        return execute("joint");
    }

    // The new joint goes under the named transform, else the first selected one.
    MDagPath parent;
    MSelectionList list;
    if (r.objects.size() > 1)
        return fail("only one parent can be given.");
    DAG_CHECK(SceneNames::namedOrSelected("joint", r.objects, list));
    for (unsigned i = 0; i < list.length() && !parent.isValid(); ++i) {
        MDagPath path;
        if (list.getDagPath(i, path) && path.node().hasFn(MFn::kTransform))
            parent = path;
    }
    if (!r.objects.empty() && !parent.isValid())
        return fail(r.objects[0] + " is not a transform.");

    MStatus status;
    const MObject parentNode = parent.isValid() ? parent.node() : MObject::kNullObj;
    const MObject joint = mModifier.createNode(JointNode::typeName, parentNode, &status);
    DAG_CHECK(status);
    DAG_CHECK(mModifier.renameNode(joint, r.name.length() ? r.name : MString("joint#")));
    MVector translate;
    DAG_CHECK(translateFor(parent, uiDistance(r.positionValue), r.relative, translate));
    DAG_CHECK(queueVector(mModifier, joint, TransformNode::translate, translate));
    DAG_CHECK(queueVector(mModifier, joint, JointNode::jointOrient, orient));
    DAG_CHECK(mModifier.newPlugValueDouble(MPlug(joint, JointNode::radius), r.radiusValue));
    if (parent.isValid() && parentNode.hasFn(MFn::kJoint))
        DAG_CHECK(mModifier.connect(MPlug(parentNode, TransformNode::scale), MPlug(joint, JointNode::inverseScale)));
    DAG_CHECK(execute("joint"));
    DAG_CHECK(selectCreated(joint));
    setResult(SceneNames::nodeName(joint));
    return MS::kSuccess;
}

} // namespace host
