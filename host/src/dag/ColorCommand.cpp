#include "dag/ColorCommand.h"

#include "commands/builtins/SceneNames.h"
#include "commands/builtins/ValueText.h"
#include "dag/Dag.h"
#include "dag/DagAttributes.h"

#include <maya/MArgList.h>
#include <maya/MGlobal.h>
#include <maya/MPlug.h>
#include <maya/MSelectionList.h>

#include <vector>

namespace host {

namespace {

MStatus fail(const MString& message)
{
    MGlobal::displayError(MString("color: ") + message);
    return MS::kInvalidParameter;
}

} // namespace

MStatus ColorCommand::doIt(const MArgList& args)
{
    bool rgb = false, user = false;
    double channels[3] = {0.0, 0.0, 0.0};
    double userColor = 0.0;
    std::vector<MString> names;
    for (unsigned i = 0; i < args.length(); ++i) {
        const MString word = args.asString(i);
        if (word == "-rgb" || word == "-rgbColor") {
            rgb = true;
            for (double& channel : channels)
                if (++i >= args.length() || !ValueText::parseDouble(args.asString(i), channel))
                    return fail("-rgbColor takes three numbers.");
        } else if (word == "-ud" || word == "-userDefined") {
            user = true;
            if (++i >= args.length() || !ValueText::parseDouble(args.asString(i), userColor) ||
                userColor != double(int(userColor)) || userColor < 1 || userColor > 8)
                return fail("-userDefined takes a user colour from 1 to 8.");
        } else if (word.length() > 1 && word.asChar()[0] == '-') {
            return fail(MString("unknown flag ") + word + ".");
        } else {
            names.push_back(word);
        }
    }
    if (rgb && user)
        return fail("give -rgbColor or -userDefined, not both.");
    MSelectionList objects;
    DAG_CHECK(SceneNames::namedOrSelected("color", names, objects));
    if (objects.length() == 0)
        return fail("name or select the objects to colour.");
    for (unsigned i = 0; i < objects.length(); ++i) {
        MObject node;
        DAG_CHECK(objects.getDependNode(i, node));
        if (!node.hasFn(MFn::kDagNode))
            return fail(SceneNames::nodeName(node) + " is not a DAG object.");
        DAG_CHECK(mModifier.newPlugValueShort(MPlug(node, DagAttributes::useObjectColor), rgb ? 2 : user ? 1 : 0));
        if (user)
            DAG_CHECK(mModifier.newPlugValueShort(MPlug(node, DagAttributes::objectColor), short(userColor - 1)));
        if (rgb) {
            const MPlug color(node, DagAttributes::wireColorRGB);
            for (unsigned k = 0; k < 3; ++k)
                DAG_CHECK(mModifier.newPlugValueFloat(color.child(k), float(channels[k])));
        }
    }
    return execute("color");
}

} // namespace host
