#include "geometry/MoveCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/ValueText.h"
#include "geometry/GeometryStatus.h"
#include "geometry/LinearUnitText.h"
#include "geometry/MeshComponents.h"

#include <maya/MGlobal.h>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {
    {"-r", "-relative", CommandFlags::kNoArg},
    {"-a", "-absolute", CommandFlags::kNoArg},
    {"-ws", "-worldSpace", CommandFlags::kNoArg},
    {"-os", "-objectSpace", CommandFlags::kNoArg},
    {"-ls", "-localSpace", CommandFlags::kNoArg},
};
}

MStatus MoveCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    GEO_CHECK(flags.parse("move", args, kFlags));
    const std::vector<MString>& words = flags.objects();
    MVector value;
    for (unsigned k = 0; k < 3; ++k)
        if (k >= words.size() || !ValueText::parseDouble(words[k], value[k])) {
            MGlobal::displayError("move: expects three numbers, then the objects to move.");
            return MS::kInvalidParameter;
        }
    // MEL gives distances in the UI unit; the scene holds centimetres.
    value *= LinearUnitText::centimetresPerUiUnit();
    MoveTargets targets;
    GEO_CHECK(findMoveTargets("move", std::vector<MString>(words.begin() + 3, words.end()), targets));
    const bool relative = flags.isSet("-r");
    const bool world = !flags.isSet("-os") && !flags.isSet("-ls");
    for (const MeshComponent& vertices : targets.vertices)
        GEO_CHECK(queueVertexMove(mModifier, vertices, value, relative, world));
    for (const CurveComponent& cvs : targets.cvs)
        GEO_CHECK(queueCVMove(mModifier, cvs, value, relative, world));
    MString names;
    for (const MDagPath& transform : targets.transforms) {
        GEO_CHECK(queueTranslate(mModifier, transform, value, relative, world));
        names += (names.length() ? ", " : "") + transform.partialPathName();
    }
    // What fails past the checks above is a channel that takes no value.
    return execute("move", names.length() ? "a channel of " + names + " is locked or connected and cannot be modified."
                                          : MString());
}

} // namespace host
