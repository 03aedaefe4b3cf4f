#include "geometry/PolyPrimitiveCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/SceneNames.h"
#include "dg/Namespaces.h"
#include "dg/Scene.h"
#include "geometry/GeometryStatus.h"
#include "geometry/LinearUnitText.h"
#include "geometry/MeshData.h"
#include "geometry/MeshShapeNode.h"
#include "geometry/PolyPrimitives.h"

#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MStringArray.h>

#include <cmath>

namespace host {

namespace {

const CommandFlags::Definition kFlags[] = {
    {"-n", "-name", CommandFlags::kOneArg},
    {"-w", "-width", CommandFlags::kOneArg},
    {"-h", "-height", CommandFlags::kOneArg},
    {"-d", "-depth", CommandFlags::kOneArg},
    {"-r", "-radius", CommandFlags::kOneArg},
    {"-sx", "-subdivisionsX", CommandFlags::kOneArg},
    {"-sy", "-subdivisionsY", CommandFlags::kOneArg},
    {"-sz", "-subdivisionsZ", CommandFlags::kOneArg},
    {"-sa", "-subdivisionsAxis", CommandFlags::kOneArg},
    {"-sh", "-subdivisionsHeight", CommandFlags::kOneArg},
    {"-ch", "-constructionHistory", CommandFlags::kOptionalBool},
};

const double kMaxSubdivisions = 10000;

struct KindInfo
{
    const char* command;
    const char* baseName;  // "pPlane" -> "pPlane1", "pPlaneShape1"
};
const KindInfo kKinds[] = {{"polyPlane", "pPlane"}, {"polyCube", "pCube"}, {"polySphere", "pSphere"}};

// A size flag (positive) or a subdivision flag (whole, at least `minimum`).
MStatus readNumber(const CommandFlags& flags, const char* command, const char* flag, double fallback,
                   double minimum, bool whole, double& value)
{
    value = fallback;
    if (!flags.isSet(flag))
        return MS::kSuccess;
    GEO_CHECK(flags.doubleValue(flag, value));
    // Subdivisions are checked against their range before they become ints.
    const bool badWhole = whole && !(value >= minimum && value <= kMaxSubdivisions && value == std::floor(value));
    const bool badSize = !whole && !(value > 0 && std::isfinite(value));
    if (badWhole || badSize) {
        MGlobal::displayError(MString(command) + ": " + flag + " is out of range: " + flags.arg(flag) + ".");
        return MS::kInvalidParameter;
    }
    return MS::kSuccess;
}

} // namespace

MStatus PolyPrimitiveCommand::doIt(const MArgList& args)
{
    const KindInfo& info = kKinds[mKind];
    CommandFlags flags;
    GEO_CHECK(flags.parse(info.command, args, kFlags));
    if (!flags.objects().empty()) {
        MGlobal::displayError(MString(info.command) + ": unexpected argument: " + flags.objects()[0] + ".");
        return MS::kInvalidParameter;
    }
    const MString name = flags.arg("-n");
    if (flags.isSet("-n") && !isValidNodeName(name)) {
        MGlobal::displayError(MString(info.command) + ": \"" + name + "\" is not a valid node name.");
        return MS::kInvalidParameter;
    }

    MeshGeometryPtr geometry;
    double w, h, d, r, sx, sy, sz, sa, sh;
    const char* c = info.command;
    // Sizes are in the UI unit (a default cube under metres is a metre wide).
    const double unit = LinearUnitText::centimetresPerUiUnit();
    if (mKind == kPlane) {
        GEO_CHECK(readNumber(flags, c, "-w", 1.0, 0.0, false, w));
        GEO_CHECK(readNumber(flags, c, "-h", 1.0, 0.0, false, h));
        GEO_CHECK(readNumber(flags, c, "-sx", 10, 1, true, sx));
        GEO_CHECK(readNumber(flags, c, "-sy", 10, 1, true, sy));
        geometry = buildPlane(w * unit, h * unit, int(sx), int(sy));
    } else if (mKind == kCube) {
        GEO_CHECK(readNumber(flags, c, "-w", 1.0, 0.0, false, w));
        GEO_CHECK(readNumber(flags, c, "-h", 1.0, 0.0, false, h));
        GEO_CHECK(readNumber(flags, c, "-d", 1.0, 0.0, false, d));
        GEO_CHECK(readNumber(flags, c, "-sx", 1, 1, true, sx));
        GEO_CHECK(readNumber(flags, c, "-sy", 1, 1, true, sy));
        GEO_CHECK(readNumber(flags, c, "-sz", 1, 1, true, sz));
        geometry = buildCube(w * unit, h * unit, d * unit, int(sx), int(sy), int(sz));
    } else {
        GEO_CHECK(readNumber(flags, c, "-r", 1.0, 0.0, false, r));
        GEO_CHECK(readNumber(flags, c, "-sa", 20, 3, true, sa));
        GEO_CHECK(readNumber(flags, c, "-sh", 20, 2, true, sh));
        geometry = buildSphere(r * unit, int(sa), int(sh));
    }

    MStatus status;
    MObject transform = mModifier.createNode("mesh", MObject::kNullObj, &status);
    GEO_CHECK(status);
    GEO_CHECK(mModifier.renameNode(transform, name.length() ? name : MString(info.baseName) + "#"));
    GEO_CHECK(execute(c));
    MFnDagNode fnTransform(transform, &status);
    GEO_CHECK(status);
    MObject shape = fnTransform.child(0, &status);
    GEO_CHECK(status);
    // The shape takes the transform's number: "pCube3" -> "pCubeShape3".
    const MString transformName = fnTransform.name();
    MString shapeName = transformName + "Shape";
    if (!name.length()) {
        shapeName = numberedShapeName(transformName, info.baseName);
    }
    GEO_CHECK(mModifier.renameNode(shape, shapeName));
    GEO_CHECK(mModifier.newPlugValue(MPlug(shape, MeshShapeNode::cachedInMesh), MeshData::make(geometry)));
    GEO_CHECK(execute(c));
    GEO_CHECK(selectCreated(transform));

    MStringArray result;
    result.append(SceneNames::nodeName(transform));
    result.append(SceneNames::nodeName(shape));
    setResult(result);
    return MS::kSuccess;
}

} // namespace host
