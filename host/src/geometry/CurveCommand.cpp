#include "geometry/CurveCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/SceneNames.h"
#include "commands/builtins/ValueText.h"
#include "dg/Namespaces.h"
#include "dg/Scene.h"
#include "geometry/CurveBuild.h"
#include "geometry/CurveData.h"
#include "geometry/CurveShapeNode.h"
#include "geometry/GeometryStatus.h"
#include "geometry/LinearUnitText.h"

#include <maya/MArgList.h>
#include <maya/MFnDagNode.h>
#include <maya/MGlobal.h>

#include <cmath>

namespace host {

namespace {

MStatus fail(const MString& message)
{
    MGlobal::displayError(MString("curve: ") + message);
    return MS::kInvalidParameter;
}

bool isBoolWord(const MString& word, bool& value)
{
    if (word == "true" || word == "on" || word == "yes" || word == "1") {
        value = true;
        return true;
    }
    if (word == "false" || word == "off" || word == "no" || word == "0") {
        value = false;
        return true;
    }
    return false;
}

MString number(int value)
{
    return ValueText::formatInt(value);
}

} // namespace

MStatus CurveCommand::doIt(const MArgList& args)
{
    double degreeValue = 3;
    bool periodic = false;
    MString name;
    std::vector<double> cvs, knots;
    bool knotsGiven = false;
    const unsigned n = args.length();
    for (unsigned i = 0; i < n; ++i) {
        const MString word = args.asString(i);
        auto numberAt = [&](unsigned at, double& value) {
            return at < n && ValueText::parseDouble(args.asString(at), value);
        };
        if (CommandFlags::names(word, "-d", "-degree")) {
            if (!numberAt(i + 1, degreeValue))
                return fail(MString(word) + " takes a number.");
            ++i;
        } else if (CommandFlags::names(word, "-p", "-point")) {
            for (unsigned k = 0; k < 3; ++k) {
                double v;
                if (!numberAt(i + 1 + k, v))
                    return fail(MString(word) + " takes three numbers.");
                // Points are in the UI unit; curves hold centimetres.
                cvs.push_back(v * LinearUnitText::centimetresPerUiUnit());
            }
            i += 3;
        } else if (CommandFlags::names(word, "-k", "-knot")) {
            double v;
            if (!numberAt(i + 1, v))
                return fail(MString(word) + " takes a number.");
            knots.push_back(v);
            knotsGiven = true;
            ++i;
        } else if (CommandFlags::names(word, "-per", "-periodic")) {
            periodic = true;
            bool value;
            if (i + 1 < n && isBoolWord(args.asString(i + 1), value)) {
                periodic = value;
                ++i;
            }
        } else if (CommandFlags::names(word, "-n", "-name")) {
            if (i + 1 >= n)
                return fail(MString(word) + " takes a name.");
            name = args.asString(++i);
        } else if (CommandFlags::names(word, "-os", "-objectSpace") || CommandFlags::names(word, "-ws", "-worldSpace")) {
            // New curves have no parent: both spaces are the same.
        } else if (ValueText::isFlag(word)) {
            return fail(MString("unknown flag ") + word + ".");
        } else {
            return fail(MString("unexpected argument: ") + word + ".");
        }
    }
    if (name.length() && !isValidNodeName(name))
        return fail("\"" + name + "\" is not a valid node name.");
    if (!(degreeValue >= 1 && degreeValue <= 31 && degreeValue == std::floor(degreeValue)))
        return fail("-degree must be a whole number from 1 to 31, got " + ValueText::formatFloat(float(degreeValue)) + ".");
    const int degree = int(degreeValue);
    const int numCVs = int(cvs.size() / 3);
    if (numCVs == 0)
        return fail("give the curve's points with -p.");
    if (numCVs < degree + 1)
        return fail("a degree " + number(degree) + " curve needs at least " + number(degree + 1) + " points, got " +
                    number(numCVs) + ".");
    if (periodic && !wrapsAround(cvs, degree))
        return fail("the last " + number(degree) + " points of a periodic curve must repeat its first " +
                    number(degree) + ".");
    if (!knotsGiven)
        knots = uniformKnots(numCVs, degree, periodic);
    const std::string problem = knotProblem(knots, numCVs, degree);
    if (!problem.empty())
        return fail(MString(problem.c_str()) + ".");

    CurveGeometry geometry;
    geometry.cvs = cvs;
    geometry.knots = knots;
    geometry.degree = degree;
    geometry.form = int(periodic ? CurveForm::kPeriodic : formOfOpenCurve(cvs));

    MStatus status;
    MObject transform = mModifier.createNode("nurbsCurve", MObject::kNullObj, &status);
    GEO_CHECK(status);
    GEO_CHECK(mModifier.renameNode(transform, name.length() ? name : MString("curve#")));
    GEO_CHECK(execute("curve"));
    MFnDagNode fnTransform(transform, &status);
    GEO_CHECK(status);
    MObject shape = fnTransform.child(0, &status);
    GEO_CHECK(status);
    // The shape takes the transform's number: "curve3" -> "curveShape3".
    const MString transformName = fnTransform.name();
    MString shapeName = transformName + "Shape";
    if (!name.length())
        shapeName = numberedShapeName(transformName, "curve");
    GEO_CHECK(mModifier.renameNode(shape, shapeName));
    MObject curve = CurveData::make(&geometry);
    GEO_CHECK(mModifier.newPlugValue(MPlug(shape, CurveShapeNode::cached), curve));
    GEO_CHECK(execute("curve"));
    GEO_CHECK(selectCreated(transform));
    setResult(SceneNames::nodeName(transform));
    return MS::kSuccess;
}

} // namespace host
