#include "geometry/CircleCommand.h"

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
#include "geometry/MakeNurbCircleNode.h"

#include <maya/MArgList.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MStringArray.h>

#include <cmath>

namespace host {

namespace {

MStatus fail(const MString& message)
{
    MGlobal::displayError(MString("circle: ") + message);
    return MS::kInvalidParameter;
}

} // namespace

MStatus CircleCommand::doIt(const MArgList& args)
{
    double normal[3] = {0, 0, 1}, center[3] = {0, 0, 0};
    double radius = 1, sections = 8, degree = 3;
    bool history = true;
    MString name;
    const unsigned n = args.length();
    for (unsigned i = 0; i < n; ++i) {
        const MString word = args.asString(i);
        auto numbers = [&](double* values, unsigned count) {
            for (unsigned k = 0; k < count; ++k)
                if (i + 1 + k >= n || !ValueText::parseDouble(args.asString(i + 1 + k), values[k]))
                    return false;
            i += count;
            return true;
        };
        if (CommandFlags::names(word, "-nr", "-normal")) {
            if (!numbers(normal, 3))
                return fail(MString(word) + " takes three numbers.");
        } else if (CommandFlags::names(word, "-c", "-center")) {
            if (!numbers(center, 3))
                return fail(MString(word) + " takes three numbers.");
        } else if (CommandFlags::names(word, "-r", "-radius")) {
            if (!numbers(&radius, 1))
                return fail(MString(word) + " takes a number.");
        } else if (CommandFlags::names(word, "-s", "-sections")) {
            if (!numbers(&sections, 1))
                return fail(MString(word) + " takes a number.");
        } else if (CommandFlags::names(word, "-d", "-degree")) {
            if (!numbers(&degree, 1))
                return fail(MString(word) + " takes a number.");
        } else if (CommandFlags::names(word, "-ch", "-constructionHistory")) {
            double on = 1;
            const MString next = i + 1 < n ? args.asString(i + 1) : MString();
            if (next == "true" || next == "on" || next == "yes")
                ++i;
            else if (next == "false" || next == "off" || next == "no")
                on = 0, ++i;
            else if (i + 1 < n && ValueText::parseDouble(next, on))
                ++i;
            history = on != 0;
        } else if (CommandFlags::names(word, "-n", "-name")) {
            if (i + 1 >= n)
                return fail(MString(word) + " takes a name.");
            name = args.asString(++i);
        } else if (ValueText::isFlag(word)) {
            return fail(MString("unknown flag ") + word + ".");
        } else {
            return fail(MString("unexpected argument: ") + word + ".");
        }
    }
    if (name.length() && !isValidNodeName(name))
        return fail("\"" + name + "\" is not a valid node name.");
    if (!(radius > 0 && std::isfinite(radius)))
        return fail("-radius must be greater than 0.");
    if (!(degree == 1 || degree == 3))
        return fail("-degree must be 1 or 3.");
    if (!(sections >= 3 && sections <= 10000 && sections == std::floor(sections)))
        return fail("-sections must be a whole number from 3 to 10000.");
    if (std::sqrt(normal[0] * normal[0] + normal[1] * normal[1] + normal[2] * normal[2]) == 0)
        return fail("-normal must not be zero.");
    // MEL gives the radius and centre in the UI unit; the scene holds centimetres.
    const double scale = LinearUnitText::centimetresPerUiUnit();
    radius *= scale;
    for (double& c : center)
        c *= scale;

    MStatus status;
    MObject maker;
    if (history) {
        maker = mModifier.MDGModifier::createNode(MString(MakeNurbCircleNode::typeName), &status);
        GEO_CHECK(status);
        GEO_CHECK(mModifier.renameNode(maker, "makeNurbCircle#"));
    }
    MObject transform = mModifier.createNode("nurbsCurve", MObject::kNullObj, &status);
    GEO_CHECK(status);
    GEO_CHECK(mModifier.renameNode(transform, name.length() ? name : MString("nurbsCircle#")));
    GEO_CHECK(execute("circle"));
    MFnDagNode fnTransform(transform, &status);
    GEO_CHECK(status);
    MObject shape = fnTransform.child(0, &status);
    GEO_CHECK(status);
    const MString transformName = fnTransform.name();
    MString shapeName = transformName + "Shape";
    if (!name.length())
        shapeName = numberedShapeName(transformName, "nurbsCircle");
    GEO_CHECK(mModifier.renameNode(shape, shapeName));
    if (history) {
        MFnDependencyNode fnMaker(maker, &status);
        GEO_CHECK(status);
        const char* const normalNames[3] = {"normalX", "normalY", "normalZ"};
        const char* const centerNames[3] = {"centerX", "centerY", "centerZ"};
        for (int k = 0; k < 3; ++k) {
            GEO_CHECK(mModifier.newPlugValueDouble(fnMaker.findPlug(normalNames[k], true), normal[k]));
            GEO_CHECK(mModifier.newPlugValueDouble(fnMaker.findPlug(centerNames[k], true), center[k]));
        }
        GEO_CHECK(mModifier.newPlugValueDouble(MPlug(maker, MakeNurbCircleNode::radius), radius));
        GEO_CHECK(mModifier.newPlugValueInt(MPlug(maker, MakeNurbCircleNode::sections), int(sections)));
        GEO_CHECK(mModifier.newPlugValueInt(MPlug(maker, MakeNurbCircleNode::degree), int(degree)));
        GEO_CHECK(
            mModifier.connect(MPlug(maker, MakeNurbCircleNode::outputCurve), MPlug(shape, CurveShapeNode::create)));
    } else {
        // Without history the shape keeps the circle itself.
        CircleSettings settings;
        for (int k = 0; k < 3; ++k) {
            settings.normal[k] = normal[k];
            settings.center[k] = center[k];
        }
        settings.radius = radius;
        settings.sections = int(sections);
        settings.degree = int(degree);
        CurveGeometry geometry;
        geometry.degree = settings.degree;
        geometry.form = int(CurveForm::kPeriodic);
        buildCircle(settings, geometry.cvs, geometry.knots);
        MObject circle = CurveData::make(&geometry);
        GEO_CHECK(mModifier.newPlugValue(MPlug(shape, CurveShapeNode::cached), circle));
    }
    GEO_CHECK(execute("circle"));
    GEO_CHECK(selectCreated(transform));
    MStringArray result;
    result.append(SceneNames::nodeName(transform));
    if (history)
        result.append(SceneNames::nodeName(maker));
    setResult(result);
    return MS::kSuccess;
}

} // namespace host
