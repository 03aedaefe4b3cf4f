#include "commands/builtins/GetAttrCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/MeshAttributeValues.h"
#include "commands/builtins/PlugValue.h"
#include "commands/builtins/SceneNames.h"
#include "geometry/MeshShapeNode.h"

#include <maya/MGlobal.h>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {
    {"-s", "-size", CommandFlags::kNoArg},
    {"-as", "-asString", CommandFlags::kNoArg},
    {"-l", "-lock", CommandFlags::kNoArg},
    {"-k", "-keyable", CommandFlags::kNoArg},
    {"-typ", "-type", CommandFlags::kNoArg},
};
}

MStatus GetAttrCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("getAttr", args, kFlags);
    if (!status)
        return status;
    if (flags.objects().size() != 1) {
        MGlobal::displayError("getAttr: expects one attribute name.");
        return MS::kInvalidParameter;
    }
    MPlug plug;
    SceneNames::IndexRange range;
    status = SceneNames::findPlug("getAttr", flags.objects()[0], plug, &range);
    if (!status)
        return status;
    const bool meshGeometry = isMeshGeometryPlug(plug);
    if (range.present && !(meshGeometry && plug.attribute() == MeshShapeNode::vrts)) {
        // Only mesh positions read as a range; anything else is refused as a single plug would be.
        status = SceneNames::findPlug("getAttr", flags.objects()[0], plug);
        if (!status)
            return status;
        MGlobal::displayError(MString("getAttr: ") + flags.objects()[0] + " names a range: give one element.");
        return MS::kInvalidParameter;
    }
    if (flags.isSet("-l")) {
        setResult(plug.isLocked());
        return MS::kSuccess;
    }
    if (flags.isSet("-k")) {
        setResult(plug.isKeyable());
        return MS::kSuccess;
    }
    if (flags.isSet("-typ")) {
        setResult(PlugValue::typeName(plug));
        return MS::kSuccess;
    }
    if (flags.isSet("-s") && meshGeometry && !plug.isElement()) {
        unsigned count = 0;
        status = meshGeometryCount(plug, count);
        if (!status)
            return status;
        setResult(static_cast<int>(count));
        return MS::kSuccess;
    }
    if (flags.isSet("-s")) {
        unsigned size = 0;
        if (!PlugValue::arraySize(plug, size)) {
            MGlobal::displayError(MString("getAttr: ") + SceneNames::plugName(plug) + " is not an array: -size needs one.");
            return MS::kInvalidParameter;
        }
        setResult(static_cast<int>(size));
        return MS::kSuccess;
    }
    if (meshGeometry && plug.attribute() == MeshShapeNode::vrts)
        return setMeshPositionsResult(plug, range);
    if (plug.isArray() && PlugValue::kindOf(plug) == PlugValue::kMatrix)
        plug = plug.elementByLogicalIndex(0);  // worldMatrix without an index: the first instance's
    return PlugValue::setResult("getAttr", plug, flags.isSet("-as"));
}

} // namespace host
