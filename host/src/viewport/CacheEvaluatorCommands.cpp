#include "CacheEvaluatorCommands.h"

#include "PlaybackCache.h"

#include "commands/CommandRegistry.h"
#include "commands/builtins/CommandFlags.h"

#include <maya/MAnimControl.h>
#include <maya/MDoubleArray.h>
#include <maya/MGlobal.h>

namespace host
{

namespace
{

const CommandFlags::Definition kEvaluatorFlags[] = {
    {"-n", "-name", CommandFlags::kOneArg},
    {"-en", "-enable", CommandFlags::kOptionalBool},
    {"-q", "-query", CommandFlags::kNoArg},
};

// In query mode the flags name what is asked and take no argument.
const CommandFlags::Definition kCacheQueryFlags[] = {
    {"-cfm", "-cacheFillMode", CommandFlags::kNoArg},
    {"-cf", "-cachedFrames", CommandFlags::kNoArg},
    {"-q", "-query", CommandFlags::kNoArg},
};

const CommandFlags::Definition kCacheFlags[] = {
    {"-cfm", "-cacheFillMode", CommandFlags::kOneArg},
    {"-wfc", "-waitForCache", CommandFlags::kOneArg},
    {"-fc", "-flushCache", CommandFlags::kOneArg},
    {"-cf", "-cachedFrames", CommandFlags::kNoArg},
    {"-q", "-query", CommandFlags::kNoArg},
};

bool isFillMode(const MString& mode)
{
    return mode == "syncOnly" || mode == "asyncOnly" || mode == "syncAsync";
}

} // namespace

MStatus EvaluatorCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("evaluator", args, kEvaluatorFlags);
    if (!status) return status;
    const MString name = flags.arg("-n");
    if (name != "cache") {
        MGlobal::displayError(MString("evaluator: Unknown evaluator '") + name + "'.");
        return MStatus::kInvalidParameter;
    }
    if (flags.isQuery()) {
        setResult(cachedPlaybackEnabled());
        return MStatus::kSuccess;
    }
    if (!flags.isSet("-en")) {
        MGlobal::displayError("evaluator: Nothing to do: use -enable or -query.");
        return MStatus::kInvalidParameter;
    }
    setCachedPlayback(flags.boolValue("-en", true));
    return MStatus::kSuccess;
}

MStatus CacheEvaluatorCommand::doIt(const MArgList& args)
{
    bool query = false;
    for (unsigned int i = 0; i < args.length(); ++i) {
        MString word = args.asString(i);
        query = query || word == "-q" || word == "-query";
    }
    CommandFlags flags;
    MStatus status = query ? flags.parse("cacheEvaluator", args, kCacheQueryFlags)
                           : flags.parse("cacheEvaluator", args, kCacheFlags);
    if (!status) return status;
    if (flags.isQuery()) {
        if (flags.isSet("-cf")) {
            MDoubleArray frames;
            MTime cached;
            // Only the playback range can have been filled from MEL; report what is held.
            for (double f = MAnimControl::minTime().value(); f <= MAnimControl::maxTime().value(); f += 1.0)
                if (playbackCacheHolds(MTime(f), cached)) frames.append(f);
            setResult(frames);
            return MStatus::kSuccess;
        }
        setResult(cachedPlaybackEnabled() ? "syncOnly" : "none");
        return MStatus::kSuccess;
    }
    if (flags.isSet("-cfm")) {
        const MString mode = flags.arg("-cfm");
        if (!isFillMode(mode)) {
            MGlobal::displayError(MString("cacheEvaluator: Invalid cache fill mode '") + mode +
                                  "': use \"syncOnly\", \"asyncOnly\" or \"syncAsync\".");
            return MStatus::kInvalidParameter;
        }
        setCachedPlayback(true);
    }
    if (flags.isSet("-fc")) {
        const MString what = flags.arg("-fc");
        if (what != "destroy" && what != "keep") {
            MGlobal::displayError(MString("cacheEvaluator: Invalid flush mode '") + what +
                                  "': use \"destroy\" or \"keep\".");
            return MStatus::kInvalidParameter;
        }
        clearPlaybackCache();
    }
    if (flags.isSet("-wfc")) {
        double seconds = 0.0;
        status = flags.doubleValue("-wfc", seconds);
        if (!status) return status;
        MString error;
        status = fillPlaybackCache(MAnimControl::minTime().value(), MAnimControl::maxTime().value(), error);
        if (!status) {
            MGlobal::displayError(MString("cacheEvaluator: ") + error);
            return status;
        }
    }
    return MStatus::kSuccess;
}

void registerViewportCommands()
{
    CHECK_MSTATUS(registerBuiltinCommand("evaluator", EvaluatorCommand::creator, nullptr));
    CHECK_MSTATUS(registerBuiltinCommand("cacheEvaluator", CacheEvaluatorCommand::creator, nullptr));
}

} // namespace host
