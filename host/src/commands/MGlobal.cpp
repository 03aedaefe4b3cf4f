#include <maya/MGlobal.h>

#include "commands/CommandExecution.h"
#include "commands/CommandResultAccess.h"
#include "commands/MessageOutput.h"
#include "commands/Session.h"
#include "commands/UndoQueue.h"
#include "commands/mel/MelInterpreter.h"
#include "dg/Messages.h"

#include <maya/MCommandResult.h>
#include <maya/MDoubleArray.h>
#include <maya/MIntArray.h>
#include <maya/MObjectHandle.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

#include <deque>
#include <optional>

namespace host {

namespace {

MGlobal::MMayaState gMayaState = MGlobal::kBatch;

MSelectionList& activeSelection()
{
    // Never destroyed: it may hold nodes past the scene's own teardown.
    static MSelectionList* list = new MSelectionList;
    return *list;
}

std::deque<MString>& idleCommands()
{
    static std::deque<MString> queue;
    return queue;
}

// Deleted nodes leave the active selection, as they do in Maya. True when any did.
bool dropDeletedItems(MSelectionList& list)
{
    bool dropped = false;
    for (unsigned int i = list.length(); i-- > 0;) {
        MObject node;
        if (list.getDependNode(i, node) && !MObjectHandle(node).isValid()) {
            list.remove(i);
            dropped = true;
        }
    }
    return dropped;
}

// Removals not yet told to the selection's listeners.
int gSelectionEditDepth = 0;
bool gNodesLeftScene = false;      // the selection may hold removed nodes
bool gSelectionLostNodes = false;  // it held some, dropped since the last notice

void noticeRemovedSelection()
{
    if (gNodesLeftScene) {
        gNodesLeftScene = false;
        if (dropDeletedItems(activeSelection()))
            gSelectionLostNodes = true;
    }
    if (gSelectionLostNodes) {
        gSelectionLostNodes = false;
        fireEvent("SelectionChanged");
    }
}

MStringArray selectionStrings(const MSelectionList& list)
{
    MStringArray strings;
    list.getSelectionStrings(strings);
    return strings;
}

bool sameStrings(const MStringArray& a, const MStringArray& b)
{
    if (a.length() != b.length())
        return false;
    for (unsigned int i = 0; i < a.length(); ++i)
        if (a[i] != b[i])
            return false;
    return true;
}

// Runs MEL for MGlobal::executeCommand and its overloads.
MStatus runMel(const MString& command, bool undoEnabled, MelValue& value)
{
    std::optional<CommandExecution::NoUndoScope> noUndo;
    if (!undoEnabled)
        noUndo.emplace();
    return MelInterpreter::run(command, &value);
}

} // namespace

void setMayaState(MGlobal::MMayaState state)
{
    gMayaState = state;
}

void pruneActiveSelection()
{
    dropDeletedItems(activeSelection());
}

namespace {
bool gSessionEnding = false;
int gSessionExitCode = 0;
} // namespace

void requestSessionEnd(int exitCode)
{
    gSessionEnding = true;
    gSessionExitCode = exitCode;
}

bool sessionEndRequested()
{
    return gSessionEnding;
}

int sessionExitCode()
{
    return gSessionExitCode;
}

SelectionEditScope::SelectionEditScope()
{
    ++gSelectionEditDepth;
}

SelectionEditScope::~SelectionEditScope()
{
    if (--gSelectionEditDepth == 0)
        noticeRemovedSelection();
}

void noteNodeLeftScene()
{
    gNodesLeftScene = true;
    if (gSelectionEditDepth == 0)
        noticeRemovedSelection();
}

MStatus runIdleCommands()
{
    std::deque<MString>& queue = idleCommands();
    while (!queue.empty()) {
        MString command = queue.front();
        queue.pop_front();
        MStatus status = MelInterpreter::run(command);
        if (!status)
            return status;
    }
    return MS::kSuccess;
}

} // namespace host

using host::MelValue;

MGlobal::MMayaState MGlobal::mayaState(MStatus* ReturnStatus)
{
    if (ReturnStatus)
        *ReturnStatus = MS::kSuccess;
    return host::gMayaState;
}

MStatus MGlobal::getActiveSelectionList(MSelectionList& dest, bool)
{
    if (host::dropDeletedItems(host::activeSelection()))
        host::gSelectionLostNodes = true;
    dest = host::activeSelection();
    return MS::kSuccess;
}

MStatus MGlobal::setActiveSelectionList(const MSelectionList& src, ListAdjustment listAdjustment)
{
    MSelectionList& active = host::activeSelection();
    if (host::dropDeletedItems(active))
        host::gSelectionLostNodes = true;
    const MStringArray before = host::selectionStrings(active);

    MSelectionList next;
    MStatus status;
    switch (listAdjustment) {
    case kReplaceList:
        next = src;
        break;
    case kAddToList:
        next = active;
        status = next.merge(src, MSelectionList::kMergeNormal);
        break;
    case kXORWithList:
        next = active;
        status = next.merge(src, MSelectionList::kXORWithList);
        break;
    case kRemoveFromList:
        next = active;
        status = next.merge(src, MSelectionList::kRemoveFromList);
        break;
    case kAddToHeadOfList:
        next = src;
        status = next.merge(active, MSelectionList::kMergeNormal);
        break;
    default:
        return MS::kInvalidParameter;
    }
    if (!status)
        return status;

    active = next;
    if (!host::sameStrings(before, host::selectionStrings(active)) || host::gSelectionLostNodes) {
        // Listeners hear of the new selection, removed nodes gone included.
        host::gSelectionLostNodes = false;
        host::fireEvent("SelectionChanged");
    }
    return MS::kSuccess;
}

MStatus MGlobal::selectByName(const MString& name, ListAdjustment listAdjustment)
{
    MSelectionList list;
    MStatus status = list.add(name);
    if (!status)
        return status;
    return setActiveSelectionList(list, listAdjustment);
}

MStatus MGlobal::select(const MObject& object, ListAdjustment listAdjustment)
{
    MSelectionList list;
    MStatus status = list.add(object);
    if (!status)
        return status;
    return setActiveSelectionList(list, listAdjustment);
}

MStatus MGlobal::clearSelectionList()
{
    return setActiveSelectionList(MSelectionList(), kReplaceList);
}

MStatus MGlobal::getSelectionListByName(const MString& name, MSelectionList& list)
{
    list.clear();
    return list.add(name);
}

MStatus MGlobal::executeCommand(const MString& command, bool, bool undoEnabled)
{
    MelValue value;
    return host::runMel(command, undoEnabled, value);
}

MStatus MGlobal::executeCommand(const MString& command, MCommandResult& result, bool, bool undoEnabled)
{
    MelValue& value = host::CommandResultAccess::value(result);
    value.clear();
    return host::runMel(command, undoEnabled, value);
}

namespace {
// Runs MEL and hands its result back converted, when the result is of a kind the caller can take.
template <typename Result, typename Accepts, typename Convert>
MStatus runForResult(const MString& command, bool undoEnabled, Result& result, Accepts accepts, Convert convert)
{
    MelValue value;
    MStatus status = host::runMel(command, undoEnabled, value);
    if (!status)
        return status;
    if (!accepts(value))
        return MS::kFailure;
    result = convert(value);
    return MS::kSuccess;
}

bool isNumber(const MelValue& v) { return v.isNumber(); }
bool isNotText(const MelValue& v) { return v.type() != MelValue::kString && v.type() != MelValue::kStringArray; }
bool isSingleValue(const MelValue& v) { return !v.isNone() && !v.isArray(); }
bool anyValue(const MelValue&) { return true; }
} // namespace

MStatus MGlobal::executeCommand(const MString& command, int& result, bool, bool undoEnabled)
{
    return runForResult(command, undoEnabled, result, isNumber,
                        [](const MelValue& v) { return static_cast<int>(v.asInt()); });
}

MStatus MGlobal::executeCommand(const MString& command, MIntArray& result, bool, bool undoEnabled)
{
    return runForResult(command, undoEnabled, result, isNotText, [](const MelValue& v) { return v.asIntArray(); });
}

MStatus MGlobal::executeCommand(const MString& command, double& result, bool, bool undoEnabled)
{
    return runForResult(command, undoEnabled, result, isNumber, [](const MelValue& v) { return v.asDouble(); });
}

MStatus MGlobal::executeCommand(const MString& command, MDoubleArray& result, bool, bool undoEnabled)
{
    return runForResult(command, undoEnabled, result, isNotText, [](const MelValue& v) { return v.asDoubleArray(); });
}

MStatus MGlobal::executeCommand(const MString& command, MString& result, bool, bool undoEnabled)
{
    return runForResult(command, undoEnabled, result, isSingleValue, [](const MelValue& v) { return v.asString(); });
}

MStatus MGlobal::executeCommand(const MString& command, MStringArray& result, bool, bool undoEnabled)
{
    return runForResult(command, undoEnabled, result, anyValue, [](const MelValue& v) { return v.asStringArray(); });
}

MString MGlobal::executeCommandStringResult(const MString& command, bool, bool undoEnabled, MStatus* ReturnStatus)
{
    MelValue value;
    MStatus status = host::runMel(command, undoEnabled, value);
    if (ReturnStatus)
        *ReturnStatus = status;
    return status ? value.asString() : MString();
}

MStatus MGlobal::executeCommandOnIdle(const MString& command, bool)
{
    host::idleCommands().push_back(command);
    return MS::kSuccess;
}

MStatus MGlobal::executePythonCommand(const MString&, bool, bool)
{
    displayError("Python is not available in this host.");
    return MS::kFailure;
}

void MGlobal::displayInfo(const MString& theMessage)
{
    host::writeMessage(host::MessageKind::kInfo, theMessage);
}

void MGlobal::displayWarning(const MString& theWarning)
{
    host::writeMessage(host::MessageKind::kWarning, theWarning);
}

void MGlobal::displayError(const MString& theError)
{
    host::writeMessage(host::MessageKind::kError, theError);
}

bool MGlobal::isUndoing()
{
    return host::UndoQueue::isUndoing();
}

bool MGlobal::isRedoing()
{
    return host::UndoQueue::isRedoing();
}

int MGlobal::apiVersion()
{
    return MAYA_API_VERSION;
}

MString MGlobal::mayaVersion()
{
    return "2023";
}
