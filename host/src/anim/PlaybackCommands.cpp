#include "anim/PlaybackCommands.h"

#include "anim/AnimStatus.h"
#include "anim/SceneTime.h"
#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/ValueText.h"
#include "dag/DagAttributes.h"
#include "dg/Graph.h"
#include "dg/Messages.h"
#include "dg/Node.h"
#include "dg/Scene.h"
#include "values/CurrentTime.h"
#include "views/ViewCommands.h"
#include "views/Views.h"

#include <maya/MAnimControl.h>
#include <maya/MGlobal.h>
#include <maya/MTime.h>

#include <algorithm>
#include <cmath>

namespace host {

namespace {

MStatus fail(const char* command, const MString& message)
{
    MGlobal::displayError(MString(command) + ": " + message);
    return MS::kInvalidParameter;
}

// Settings Maya keeps with the playback range that MAnimControl does not hold.
struct PlaybackSettings
{
    double by = 1.0;
    double speed = 1.0;
    double maxSpeed = 0.0;
};

PlaybackSettings& settings()
{
    static PlaybackSettings s;
    return s;
}

const char* const kLoopNames[] = {"once", "continuous", "oscillate"};

double ui(const MTime& time)
{
    return time.as(MTime::uiUnit());
}

// Runs while play steps through the frames, so MAnimControl::isPlaying answers true.
struct PlayingScope
{
    PlayingScope() { setPlaybackRunning(true); }
    ~PlayingScope() { setPlaybackRunning(false); }
};

void evaluateSlot(Slot* slot)
{
    if (!slot->isArray()) {
        evaluate(slot);
        return;
    }
    for (size_t e = 0; e < slot->elements.size(); ++e) {
        Slot* element = slot->elements[e].get();
        evaluate(element);
    }
}

} // namespace

void resetPlaybackSettings()
{
    settings() = PlaybackSettings();
}

void evaluateScene()
{
    // A copy: evaluation may create nodes' slots but not nodes; still, do not hold the live list.
    const std::vector<Node*> nodes = sceneNodes();
    const Attribute* worldMatrix = attributeOf(DagAttributes::worldMatrix);
    for (Node* node : nodes) {
        if (!node->inScene || !node->isDag)
            continue;
        for (size_t i = 0; i < node->slots.size(); ++i) {
            const Attribute* attribute = node->slots[i]->attr;
            const bool output = attribute->is(kReadable) && !attribute->is(kWritable);
            if (attribute == worldMatrix) {
                // Read as a caller would, one element per instance, so that elements nothing has asked
                // for yet are computed too.
                const MPlug plug = plugOf(node->slots[i].get());
                for (unsigned instance = 0; instance < std::max<size_t>(node->parents.size(), 1); ++instance)
                    plug.elementByLogicalIndex(instance).asMObject();
            } else if (node->isShape && output) {
                evaluateSlot(node->slots[i].get());
            }
        }
    }
}

MStatus PlaybackOptionsCommand::doIt(const MArgList& args)
{
    // The settings take a value when set and none when queried.
    const bool query = isQueryCall(args);
    const CommandFlags::Arity value = query ? CommandFlags::kNoArg : CommandFlags::kOneArg;
    const CommandFlags::Definition kFlags[] = {
        {"-q", "-query", CommandFlags::kNoArg}, {"-e", "-edit", CommandFlags::kNoArg},
        {"-min", "-minTime", value},           {"-max", "-maxTime", value},
        {"-ast", "-animationStartTime", value}, {"-aet", "-animationEndTime", value},
        {"-by", "-by", value},                 {"-l", "-loop", value},
        {"-ps", "-playbackSpeed", value},       {"-mps", "-maxPlaybackSpeed", value},
    };
    const char* const command = "playbackOptions";
    CommandFlags flags;
    ANIM_CHECK(flags.parse(command, args, kFlags));
    if (!flags.objects().empty())
        return fail(command, MString("unexpected argument \"") + flags.objects()[0] + "\".");
    if (flags.isQuery()) {
        if (flags.isSet("-min"))
            setResult(ui(MAnimControl::minTime()));
        else if (flags.isSet("-max"))
            setResult(ui(MAnimControl::maxTime()));
        else if (flags.isSet("-ast"))
            setResult(ui(MAnimControl::animationStartTime()));
        else if (flags.isSet("-aet"))
            setResult(ui(MAnimControl::animationEndTime()));
        else if (flags.isSet("-by"))
            setResult(settings().by);
        else if (flags.isSet("-ps"))
            setResult(settings().speed);
        else if (flags.isSet("-mps"))
            setResult(settings().maxSpeed);
        else if (flags.isSet("-l"))
            setResult(MString(kLoopNames[MAnimControl::playbackMode()]));
        else
            return fail(command, "give the setting to query.");
        return MS::kSuccess;
    }

    auto number = [&](const char* flag, double& value) -> MStatus {
        const MString text = flags.arg(flag);
        if (!ValueText::parseDouble(text, value) || !std::isfinite(value))
            return fail(command, MString(flag) + " takes a number, not \"" + text + "\".");
        return MS::kSuccess;
    };
    double minTime = ui(MAnimControl::minTime()), maxTime = ui(MAnimControl::maxTime());
    double start = ui(MAnimControl::animationStartTime()), end = ui(MAnimControl::animationEndTime());
    PlaybackSettings next = settings();
    if (flags.isSet("-min"))
        ANIM_CHECK(number("-min", minTime));
    if (flags.isSet("-max"))
        ANIM_CHECK(number("-max", maxTime));
    if (flags.isSet("-ast"))
        ANIM_CHECK(number("-ast", start));
    if (flags.isSet("-aet"))
        ANIM_CHECK(number("-aet", end));
    if (flags.isSet("-by")) {
        ANIM_CHECK(number("-by", next.by));
        if (!(next.by > 0))
            return fail(command, "-by takes a step above 0.");
    }
    if (flags.isSet("-ps"))
        ANIM_CHECK(number("-ps", next.speed));
    if (flags.isSet("-mps"))
        ANIM_CHECK(number("-mps", next.maxSpeed));
    int mode = -1;
    if (flags.isSet("-l")) {
        const MString loop = flags.arg("-l");
        for (int m = 0; m < 3; ++m)
            if (loop == kLoopNames[m])
                mode = m;
        if (mode < 0)
            return fail(command, MString("-loop takes once, continuous or oscillate, not \"") + loop + "\".");
    }
    if (minTime > maxTime)
        return fail(command, "the playback start is after its end.");
    if (start > end)
        return fail(command, "the animation start is after its end.");
    // The playback range stays inside the animation range, which grows to hold it.
    start = std::min(start, minTime);
    end = std::max(end, maxTime);
    ANIM_CHECK(MAnimControl::setAnimationStartEndTime(MTime(start, MTime::uiUnit()), MTime(end, MTime::uiUnit())));
    ANIM_CHECK(MAnimControl::setMinMaxTime(MTime(minTime, MTime::uiUnit()), MTime(maxTime, MTime::uiUnit())));
    if (mode >= 0)
        ANIM_CHECK(MAnimControl::setPlaybackMode(MAnimControl::PlaybackMode(mode)));
    settings() = next;
    fireEvent("playbackRangeChanged");
    return MS::kSuccess;
}

MStatus PlayCommand::doIt(const MArgList& args)
{
    static const CommandFlags::Definition kFlags[] = {
        {"-q", "-query", CommandFlags::kNoArg},          {"-f", "-forward", CommandFlags::kOptionalBool},
        {"-w", "-wait", CommandFlags::kNoArg},           {"-st", "-state", CommandFlags::kOptionalBool},
        {"-ps", "-playSound", CommandFlags::kOptionalBool}, {"-rec", "-record", CommandFlags::kNoArg},
    };
    const char* const command = "play";
    CommandFlags flags;
    ANIM_CHECK(flags.parse(command, args, kFlags));
    if (!flags.objects().empty())
        return fail(command, MString("unexpected argument \"") + flags.objects()[0] + "\".");
    if (flags.isQuery()) {
        if (!flags.isSet("-st") && !flags.isSet("-f"))
            return fail(command, "give -state or -forward to query.");
        setResult(flags.isSet("-st") ? MAnimControl::isPlaying() : true);
        return MS::kSuccess;
    }
    // Playback runs in this command, but views handle events between frames (a script, a
    // menu or the command port may stop it there): it ends after the frame being shown.
    if (flags.isSet("-st") && !flags.boolValue("-st", true))
        return MAnimControl::stop();
    const bool forward = flags.boolValue("-f", true);
    const double first = ui(MAnimControl::minTime()), last = ui(MAnimControl::maxTime());
    const double step = settings().by;
    double t = ui(MAnimControl::currentTime());
    if (forward && (t < first || t >= last))
        t = first;
    if (!forward && (t <= first || t > last))
        t = last;
    const double tolerance = 1e-9 * (1 + std::fabs(last));
    PlayingScope playing;
    while ((forward ? t <= last + tolerance : t >= first - tolerance) && MAnimControl::isPlaying()) {
        ANIM_CHECK(setSceneTime(MTime(t, MTime::uiUnit())));
        evaluateScene();
        if (viewsStarted()) {
            for (unsigned int panel = 0; panel < 4; ++panel)
                refreshNow(panel);
            processEvents();
        }
        t += forward ? step : -step;
    }
    return MS::kSuccess;
}

} // namespace host
