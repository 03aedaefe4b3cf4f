#include "anim/SceneTime.h"

#include "anim/AnimCurveNode.h"
#include "anim/AnimStatus.h"
#include "anim/ConstraintNode.h"
#include "anim/PlaybackCommands.h"
#include "anim/TimeNode.h"
#include "dg/Messages.h"
#include "dg/Node.h"
#include "dg/Registry.h"
#include "dg/Scene.h"
#include "values/CurrentTime.h"

#include <maya/MAnimControl.h>
#include <maya/MPlug.h>

namespace host {

namespace {

// setSceneTime is writing time1: its outTime must not move the time again.
bool gWritingTimeNode = false;

Node* timeNode()
{
    Node* node = findNodeByName("time1");
    return node && node->type->info.name == TimeNode::typeName ? node : nullptr;
}

MStatus changeTimeFromApi(const MTime& time)
{
    return setSceneTime(time, true);
}

void writeTimeNode(const MTime& time)
{
    storeCurrentTime(time);
    if (Node* node = timeNode()) {
        gWritingTimeNode = true;
        MPlug(node->object(), TimeNode::outTime).setMTime(time);
        MPlug(node->object(), TimeNode::unwarpedTime).setMTime(time);
        gWritingTimeNode = false;
    }
    AnimCurveNode::timeChanged();
}

} // namespace

MStatus setSceneTime(const MTime& time, bool update)
{
    writeTimeNode(time);
    MTime changed = time;
    fireTimeChange(changed);
    fireEvent("timeChanged");
    if (update)
        fireForceUpdate(changed);
    return MS::kSuccess;
}

void followTimeNode(const MTime& time)
{
    if (gWritingTimeNode)
        return;
    storeCurrentTime(time);
    AnimCurveNode::timeChanged();
}

void startSceneTime()
{
    const MTime first(1.0, MTime::uiUnit());
    MAnimControl::setMinMaxTime(first, MTime(120.0, MTime::uiUnit()));
    MAnimControl::setAnimationStartEndTime(first, MTime(200.0, MTime::uiUnit()));
    resetPlaybackSettings();
    writeTimeNode(first);
}

void syncTimeNode()
{
    if (Node* node = timeNode())
        followTimeNode(MPlug(node->object(), TimeNode::outTime).asMTime());
}

MStatus registerAnimNodeTypes()
{
    NodeTypeInfo time;
    time.name = TimeNode::typeName;
    time.id = TimeNode::id;
    time.creator = &TimeNode::creator;
    time.initialize = &TimeNode::initialize;
    time.apiType = MFn::kTime;
    ANIM_CHECK(registerNodeType(time));
    AnimCurveNode::registerTypes();
    ANIM_CHECK(ConstraintNode::registerTypes());
    setCurrentTimeHook(&changeTimeFromApi);
    return MS::kSuccess;
}

} // namespace host
