#include "commands/builtins/PointPositionCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/ShapeLookup.h"
#include "commands/builtins/ValueText.h"
#include "geometry/LinearUnitText.h"

#include <maya/MDoubleArray.h>
#include <maya/MFnMesh.h>
#include <maya/MFnNurbsCurve.h>
#include <maya/MGlobal.h>
#include <maya/MPoint.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

#include <string>

namespace host {

namespace {

const CommandFlags::Definition kFlags[] = {
    {"-w", "-world", CommandFlags::kOptionalBool},
    {"-l", "-local", CommandFlags::kOptionalBool},
};

MStatus fail(const MString& message)
{
    MGlobal::displayError(MString("pointPosition: ") + message);
    return MS::kInvalidParameter;
}

} // namespace

MStatus PointPositionCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("pointPosition", args, kFlags);
    if (!status)
        return status;
    MString name;
    if (flags.objects().size() > 1)
        return fail("give one point.");
    if (flags.objects().empty()) {
        // The one selected component, written back as text.
        MSelectionList selection;
        MGlobal::getActiveSelectionList(selection);
        MStringArray strings;
        selection.getSelectionStrings(strings);
        if (strings.length() != 1)
            return fail("name or select one vertex or CV.");
        name = strings[0];
    } else {
        name = flags.objects()[0];
    }

    const std::string text = name.asChar();
    const size_t dot = text.rfind('.'), open = text.find('[', dot == std::string::npos ? 0 : dot);
    if (dot == std::string::npos || open == std::string::npos || text.back() != ']')
        return fail(name + " is not a vertex or CV.");
    const std::string kind = text.substr(dot + 1, open - dot - 1);
    const MString node(text.substr(0, dot).c_str());
    long long index = 0;
    const std::string indexText = text.substr(open + 1, text.size() - open - 2);
    if (indexText.find_first_of(":*") != std::string::npos)
        return fail(name + " names more than one point: give one index.");
    if (!ValueText::parseInt(MString(indexText.c_str()), index))
        return fail(name + " has a bad index.");
    const MSpace::Space space = flags.boolValue("-l", false) ? MSpace::kObject : MSpace::kWorld;

    MPoint point;
    MDagPath shape;
    if (kind == "vtx") {
        status = findShape("pointPosition", node, MFn::kMesh, "mesh", shape);
        if (!status)
            return status;
        MFnMesh mesh(shape);
        if (index < 0 || index >= mesh.numVertices())
            return fail(name + " is out of range: the mesh has " + ValueText::formatInt(mesh.numVertices()) +
                        " vertices.");
        status = mesh.getPoint(int(index), point, space);
    } else if (kind == "cv") {
        status = findShape("pointPosition", node, MFn::kNurbsCurve, "NURBS curve", shape);
        if (!status)
            return status;
        MFnNurbsCurve curve(shape);
        if (index < 0 || index >= curve.numCVs())
            return fail(name + " is out of range: the curve has " + ValueText::formatInt(curve.numCVs()) + " CVs.");
        status = curve.getCV(unsigned(index), point, space);
    } else {
        return fail(name + " is not a vertex or CV.");
    }
    if (!status)
        return fail(MString("cannot read ") + name + ".");
    // MEL shows distances in the UI unit.
    const double scale = LinearUnitText::centimetresPerUiUnit();
    MDoubleArray result;
    result.append(point.x / scale);
    result.append(point.y / scale);
    result.append(point.z / scale);
    setResult(result);
    return MS::kSuccess;
}

} // namespace host
