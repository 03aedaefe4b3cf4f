#include "views/ManipOptionsCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/ValueText.h"
#include "views/ViewCommands.h"
#include "views/Views.h"

#include <maya/MFnManip3D.h>
#include <maya/MGlobal.h>

#include <cmath>

namespace host {

namespace {
const CommandFlags::Definition kFlags[] = {
    {"-q", "-query", CommandFlags::kNoArg},
    {"-s", "-scale", CommandFlags::kOneArg},
    {"-hs", "-handleSize", CommandFlags::kOneArg},
    {"-ls", "-lineSize", CommandFlags::kOneArg},
    {"-sph", "-showPlaneHandles", CommandFlags::kOptionalBool},
    {"-r", "-relative", CommandFlags::kNoArg},
};

// In query mode the value flags take no argument.
const CommandFlags::Definition kQueryFlags[] = {
    {"-q", "-query", CommandFlags::kNoArg},
    {"-s", "-scale", CommandFlags::kNoArg},
    {"-hs", "-handleSize", CommandFlags::kNoArg},
    {"-ls", "-lineSize", CommandFlags::kNoArg},
    {"-sph", "-showPlaneHandles", CommandFlags::kNoArg},
    {"-r", "-relative", CommandFlags::kNoArg},
};

const char* const kSizeFlags[] = {"-s", "-hs", "-ls"};
const char* const kSizeNames[] = {"-scale", "-handleSize", "-lineSize"};

} // namespace

MStatus ManipOptionsCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = isQueryCall(args) ? flags.parse("manipOptions", args, kQueryFlags)
                                       : flags.parse("manipOptions", args, kFlags);
    if (!status)
        return status;
    if (!flags.objects().empty()) {
        MGlobal::displayError(MString("manipOptions: unexpected argument \"") + flags.objects()[0] + "\".");
        return MS::kInvalidParameter;
    }
    const int asked = int(flags.isSet("-s")) + int(flags.isSet("-hs")) + int(flags.isSet("-ls")) +
                      int(flags.isSet("-sph"));
    if (flags.isQuery()) {
        if (asked != 1 || flags.isSet("-r")) {
            MGlobal::displayError("manipOptions: query one of -scale, -handleSize, -lineSize and -showPlaneHandles.");
            return MS::kInvalidParameter;
        }
        if (flags.isSet("-s"))
            setResult(double(MFnManip3D::globalSize()));
        else if (flags.isSet("-hs"))
            setResult(double(MFnManip3D::handleSize()));
        else if (flags.isSet("-ls"))
            setResult(double(MFnManip3D::lineSize()));
        else
            setResult(MFnManip3D::drawPlaneHandles());
        return MS::kSuccess;
    }

    const double current[3] = {MFnManip3D::globalSize(), double(MFnManip3D::handleSize()), MFnManip3D::lineSize()};
    double wanted[3] = {current[0], current[1], current[2]};
    for (int i = 0; i < 3; ++i) {
        if (!flags.isSet(kSizeFlags[i]))
            continue;
        double value = 0.0;
        if (!ValueText::parseDouble(flags.arg(kSizeFlags[i]), value) || !std::isfinite(value) || value <= 0.0) {
            MGlobal::displayError(MString("manipOptions: ") + kSizeNames[i] + " needs a number greater than 0, not \"" +
                                  flags.arg(kSizeFlags[i]) + "\".");
            return MS::kInvalidParameter;
        }
        wanted[i] = flags.isSet("-r") ? current[i] * value : value;
    }
    // Handle sizes are whole pixels; a size that rounds to nothing or past
    // the largest handle is refused rather than wrapped.
    const double handle = std::round(wanted[1]);
    if (handle < 1.0 || handle > 65535.0) {
        MGlobal::displayError("manipOptions: -handleSize must come to 1 to 65535 pixels.");
        return MS::kInvalidParameter;
    }
    MFnManip3D::setGlobalSize(float(wanted[0]));
    MFnManip3D::setHandleSize(float(handle));
    MFnManip3D::setLineSize(float(wanted[2]));
    if (flags.isSet("-sph"))
        MFnManip3D::setDrawPlaneHandles(flags.boolValue("-sph", true));
    scheduleRefreshAll();
    return MS::kSuccess;
}

} // namespace host
