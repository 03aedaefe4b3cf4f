#include "testing/HostMeshFaultCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/CommandRegistry.h"

#include <maya/MFn.h>
#include <maya/MGlobal.h>
#include <maya/MObject.h>
#include <maya/MObjectHandle.h>
#include <maya/MSelectionList.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

namespace host {

namespace {

const char* const kCommand = "hostMeshFault";

const CommandFlags::Definition kFlags[] = {
    {"-ini", "-invalidNormalIds", CommandFlags::kOneArg},
    {"-rrp", "-refuseRawPoints", CommandFlags::kOneArg},
};

std::atomic<bool> gRawPointsRefused{false};

// The shapes given invalid normal ids. Mesh reads run on evaluation threads, so the list is
// guarded; the count lets every read skip the lock while no shape is listed.
struct FaultyShape
{
    MObject node;
    MObjectHandle handle;  // tells when the node is gone
};

struct FaultyShapes
{
    std::mutex lock;
    std::vector<FaultyShape> shapes;
    std::atomic<size_t> count{0};
};

FaultyShapes& faultyShapes()
{
    static FaultyShapes registry;
    return registry;
}

MStatus fail(const MString& message)
{
    MGlobal::displayError(MString(kCommand) + ": " + message);
    return MS::kInvalidParameter;
}

void setInvalidNormalIds(const MObject& shape, bool invalid)
{
    FaultyShapes& registry = faultyShapes();
    std::lock_guard<std::mutex> guard(registry.lock);
    auto& shapes = registry.shapes;
    shapes.erase(std::remove_if(shapes.begin(), shapes.end(),
                                [&](const FaultyShape& s) { return !s.handle.isValid() || s.node == shape; }),
                 shapes.end());
    if (invalid)
        shapes.push_back(FaultyShape{shape, MObjectHandle(shape)});
    registry.count = shapes.size();
}

} // namespace

bool meshHasInvalidNormalIds(const MObject& node)
{
    FaultyShapes& registry = faultyShapes();
    if (registry.count == 0)
        return false;
    std::lock_guard<std::mutex> guard(registry.lock);
    for (const FaultyShape& shape : registry.shapes) {
        if (shape.handle.isValid() && shape.node == node)
            return true;
    }
    return false;
}

bool rawPointsRefused()
{
    return gRawPointsRefused;
}

MStatus HostMeshFaultCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse(kCommand, args, kFlags);
    if (!status)
        return status;
    const bool normalIds = flags.isSet("-ini");
    if (normalIds == flags.isSet("-rrp"))
        return fail("give -invalidNormalIds or -refuseRawPoints.");
    const char* const flag = normalIds ? "-invalidNormalIds" : "-refuseRawPoints";
    const MString value = flags.arg(normalIds ? "-ini" : "-rrp");
    if (value != "true" && value != "false" && value != "1" && value != "0")
        return fail(MString(flag) + " takes true or false, not \"" + value + "\".");
    const bool on = value == "true" || value == "1";
    if (!normalIds) {
        if (!flags.objects().empty())
            return fail("-refuseRawPoints takes no object.");
        gRawPointsRefused = on;
        return MS::kSuccess;
    }
    if (flags.objects().size() != 1)
        return fail("name one mesh shape.");
    const MString& name = flags.objects()[0];
    MSelectionList list;
    MObject shape;
    if (!list.add(name) || !list.getDependNode(0, shape))
        return fail("no object matches name: " + name);
    if (!shape.hasFn(MFn::kMesh))
        return fail(name + " is not a mesh shape.");
    setInvalidNormalIds(shape, on);
    return MS::kSuccess;
}

void registerTestingCommands()
{
    MStatus status = registerBuiltinCommand(kCommand, HostMeshFaultCommand::creator, nullptr);
    CHECK_MSTATUS(status);
}

} // namespace host
