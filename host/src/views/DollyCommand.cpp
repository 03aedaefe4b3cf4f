#include "views/DollyCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "geometry/LinearUnitText.h"
#include "views/CameraShapeNode.h"
#include "views/StartupCameras.h"

#include <maya/MEulerRotation.h>
#include <maya/MFnTransform.h>
#include <maya/MGlobal.h>
#include <maya/MMatrix.h>
#include <maya/MPlug.h>
#include <maya/MVector.h>

#include <algorithm>
#include <cmath>

namespace host {

namespace {

const CommandFlags::Definition kFlags[] = {
    {"-d", "-distance", CommandFlags::kOneArg},
    {"-abs", "-absolute", CommandFlags::kOptionalBool},
    {"-rel", "-relative", CommandFlags::kOptionalBool},
    {"-os", "-orthoScale", CommandFlags::kOneArg},
    {"-dtc", "-dollyTowardsCenter", CommandFlags::kOptionalBool},
};

// Closest a camera comes to its centre of interest.
constexpr double kMinimumDistance = 1e-3;

MStatus fail(const MString& message)
{
    MGlobal::displayError(MString("dolly: ") + message);
    return MS::kInvalidParameter;
}

} // namespace

MStatus DollyCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("dolly", args, kFlags);
    if (!status)
        return status;
    const bool hasDistance = flags.isSet("-d"), hasScale = flags.isSet("-os");
    if (!hasDistance && !hasScale)
        return fail("give -distance or -orthoScale.");
    double distance = 0.0, scale = 1.0;
    if (hasDistance && !(status = flags.doubleValue("-d", distance)))
        return status;
    if (hasScale && !(status = flags.doubleValue("-os", scale)))
        return status;
    if (!std::isfinite(distance) || !std::isfinite(scale) || !(scale > 0.0))
        return fail("-distance takes a number and -orthoScale a number above 0.");
    distance *= LinearUnitText::centimetresPerUiUnit();
    const bool absolute = flags.boolValue("-abs", false);
    if (flags.objects().empty())
        return fail("name the cameras to dolly.");
    for (const MString& name : flags.objects()) {
        MDagPath shape;
        if (!findCamera(name, shape))
            return fail(name + " is not a camera.");
        MFnDependencyNode camera(shape.node());
        MDagPath transformPath = shape;
        transformPath.pop();
        MFnTransform transform(transformPath, &status);
        if (!status)
            return fail(name + " has no transform to move.");
        const double ortho = MPlug(shape.node(), CameraShapeNode::orthographic).asDouble();
        if (ortho != 0.0 && hasScale) {
            MPlug width(shape.node(), CameraShapeNode::orthographicWidth);
            CHECK_MSTATUS_AND_RETURN_IT(mModifier.newPlugValueDouble(width, std::max(width.asDouble() * scale, kMinimumDistance)));
        }
        if (!hasDistance)
            continue;
        MPlug interest(shape.node(), CameraShapeNode::centerOfInterest);
        const double current = interest.asDouble();
        const double next = std::max(absolute ? distance : current - distance, kMinimumDistance);
        MEulerRotation rotation;
        if (!(status = transform.getRotation(rotation)))
            return status;
        // The camera looks down its local -Z, its centre of interest that far along it.
        const MVector direction = MVector(0.0, 0.0, -1.0) * rotation.asMatrix();
        const MVector position = transform.getTranslation(MSpace::kTransform) + direction * (current - next);
        const MPlug translate = transform.findPlug("translate", true);
        for (unsigned k = 0; k < 3; ++k)
            CHECK_MSTATUS_AND_RETURN_IT(mModifier.newPlugValueDouble(translate.child(k), position[k]));
        CHECK_MSTATUS_AND_RETURN_IT(mModifier.newPlugValueDouble(interest, next));
    }
    return execute("dolly");
}

} // namespace host
