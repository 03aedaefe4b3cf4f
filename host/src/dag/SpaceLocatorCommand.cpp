#include "dag/SpaceLocatorCommand.h"

#include "commands/builtins/SceneNames.h"
#include "commands/builtins/ValueText.h"
#include "dag/Dag.h"
#include "dg/Namespaces.h"
#include "dg/Scene.h"
#include "geometry/LinearUnitText.h"

#include <maya/MArgList.h>
#include <maya/MFnDagNode.h>
#include <maya/MGlobal.h>
#include <maya/MPxLocatorNode.h>
#include <maya/MStringArray.h>

namespace host {

namespace {

MStatus fail(const MString& message)
{
    MGlobal::displayError(MString("spaceLocator: ") + message);
    return MS::kInvalidParameter;
}

} // namespace

MStatus SpaceLocatorCommand::doIt(const MArgList& args)
{
    double position[3] = {0, 0, 0};
    MString name;
    const unsigned n = args.length();
    for (unsigned i = 0; i < n; ++i) {
        const MString word = args.asString(i);
        if (word == "-p" || word == "-position") {
            for (unsigned k = 0; k < 3; ++k)
                if (i + 1 + k >= n || !ValueText::parseDouble(args.asString(i + 1 + k), position[k]))
                    return fail(word + " takes three numbers.");
            i += 3;
        } else if (word == "-n" || word == "-name") {
            if (i + 1 >= n)
                return fail(word + " takes a name.");
            name = args.asString(++i);
        } else if (ValueText::isFlag(word)) {
            return fail("unknown flag " + word + ".");
        } else {
            return fail("unexpected argument: " + word + ".");
        }
    }
    if (name.length() && !isValidNodeName(name))
        return fail("\"" + name + "\" is not a valid node name.");

    MStatus status;
    MObject transform = mModifier.createNode("locator", MObject::kNullObj, &status);
    DAG_CHECK(status);
    DAG_CHECK(execute("spaceLocator"));
    MFnDagNode fnTransform(transform, &status);
    DAG_CHECK(status);
    MObject shape = fnTransform.child(0, &status);
    DAG_CHECK(status);
    // The new shape is called "locator<n>": it gives that name up first.
    DAG_CHECK(mModifier.renameNode(shape, "locatorShape#"));
    DAG_CHECK(mModifier.renameNode(transform, name.length() ? name : MString("locator#")));
    DAG_CHECK(execute("spaceLocator"));
    const MString transformName = fnTransform.name();
    MString shapeName = transformName + "Shape";
    if (!name.length())
        shapeName = numberedShapeName(transformName, "locator");
    if (MFnDagNode(shape).name() != shapeName)
        DAG_CHECK(mModifier.renameNode(shape, shapeName));
    const MObject* axes[3] = {&MPxLocatorNode::localPositionX, &MPxLocatorNode::localPositionY,
                              &MPxLocatorNode::localPositionZ};
    for (int k = 0; k < 3; ++k)
        DAG_CHECK(mModifier.newPlugValueDouble(MPlug(shape, *axes[k]),
                                               position[k] * LinearUnitText::centimetresPerUiUnit()));
    DAG_CHECK(execute("spaceLocator"));
    DAG_CHECK(selectCreated(transform));
    MStringArray result;
    result.append(SceneNames::nodeName(transform));
    setResult(result);
    return MS::kSuccess;
}

} // namespace host
