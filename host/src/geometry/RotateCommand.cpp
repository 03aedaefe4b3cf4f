#include "geometry/RotateCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/SceneNames.h"
#include "commands/builtins/ValueText.h"
#include "geometry/GeometryStatus.h"
#include "geometry/LinearUnitText.h"
#include "geometry/TransformRotation.h"

#include <maya/MAngle.h>
#include <maya/MGlobal.h>
#include <maya/MSelectionList.h>

#include <vector>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {
    {"-r", "-relative", CommandFlags::kNoArg},     {"-a", "-absolute", CommandFlags::kNoArg},
    {"-ws", "-worldSpace", CommandFlags::kNoArg},  {"-os", "-objectSpace", CommandFlags::kNoArg},
    {"-eu", "-euler", CommandFlags::kNoArg},       {"-fo", "-forceOrderXYZ", CommandFlags::kOptionalBool},
};
}

MStatus RotateCommand::doIt(const MArgList& args)
{
    const char* const command = "rotate";
    MArgList rest;
    bool aboutPoint = false;
    double point[3] = {0, 0, 0};
    GEO_CHECK(CommandFlags::takeTriple(command, args, "-p", "-pivot", rest, aboutPoint, point));
    CommandFlags flags;
    GEO_CHECK(flags.parse(command, rest, kFlags));
    const std::vector<MString>& words = flags.objects();
    double angles[3];
    for (unsigned k = 0; k < 3; ++k)
        if (k >= words.size() || !ValueText::parseDouble(words[k], angles[k])) {
            MGlobal::displayError("rotate: expects three angles, then the objects to rotate.");
            return MS::kInvalidParameter;
        }
    for (double& angle : angles)
        angle = MAngle(angle, MAngle::uiUnit()).asRadians();
    MSelectionList objects;
    GEO_CHECK(SceneNames::namedOrSelected(command, std::vector<MString>(words.begin() + 3, words.end()), objects));
    if (objects.length() == 0) {
        MGlobal::displayError("rotate: nothing to rotate: name or select transforms.");
        return MS::kInvalidParameter;
    }
    const bool relative = flags.isSet("-r");
    const bool objectSpace = flags.isSet("-os");
    const bool xyz = flags.boolValue("-fo", false);
    // MEL gives the pivot in the UI unit; the scene holds centimetres.
    const MPoint pivot(MPoint(point[0], point[1], point[2]) * LinearUnitText::centimetresPerUiUnit());
    MString names;
    for (unsigned i = 0; i < objects.length(); ++i) {
        MDagPath path;
        if (!objects.getDagPath(i, path) || !path.node().hasFn(MFn::kTransform)) {
            MObject node;
            objects.getDependNode(i, node);
            MGlobal::displayError(MString("rotate: ") + SceneNames::nodeName(node) + " is not a transform.");
            return MS::kInvalidParameter;
        }
        TransformOrientation current;
        GEO_CHECK(orientationOf(path, current));
        const MEulerRotation given(angles[0], angles[1], angles[2],
                                   xyz ? MEulerRotation::kXYZ : current.rotate.order);
        MEulerRotation rotate = current.rotate;
        MMatrix world = current.world;
        if (relative && flags.isSet("-eu")) {
            rotate.x += angles[0], rotate.y += angles[1], rotate.z += angles[2];
        } else if (!relative && objectSpace) {
            rotate.x = angles[0], rotate.y = angles[1], rotate.z = angles[2];
        } else {
            // A world orientation to reach: the given one, or the current one turned about the
            // object's own axes (applied first) or the world's (applied last).
            world = !relative ? given.asMatrix() : objectSpace ? given.asMatrix() * current.world
                                                               : current.world * given.asMatrix();
            GEO_CHECK(rotateForWorld(path, current, world, rotate));
        }
        // The turn the transform makes in the world, which its pivot follows around the point.
        GEO_CHECK(worldFor(path, rotate, world));
        GEO_CHECK(queueRotation(mModifier, path, rotate, aboutPoint, pivot, current.world.inverse() * world));
        names += (names.length() ? ", " : "") + path.partialPathName();
    }
    // What fails past the checks above is a channel that takes no value.
    return execute(command, "a channel of " + names + " is locked or connected and cannot be modified.");
}

} // namespace host
