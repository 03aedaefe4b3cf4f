#include <maya/MPxCommand.h>

#include "commands/CommandExecution.h"

#include <maya/MDoubleArray.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MStringArray.h>

using host::CommandExecution;

MPxCommand::MPxCommand() : fSyntaxFunction(nullptr), fHistoryOn(false)
{
    // The host creates commands through their registered creator; remember
    // which registration this one came from, for syntax().
    if (const host::CommandEntry* entry = CommandExecution::entryBeingCreated()) {
        fCommandString = entry->name;
        fSyntaxFunction = entry->syntaxFunction;
    }
}

MPxCommand::~MPxCommand() = default;

MStatus MPxCommand::undoIt()
{
    return MS::kSuccess;
}

MStatus MPxCommand::redoIt()
{
    return MS::kSuccess;
}

bool MPxCommand::isUndoable() const
{
    return false;
}

bool MPxCommand::hasSyntax() const
{
    return true;
}

MSyntax MPxCommand::syntax() const
{
    return fSyntaxFunction ? fSyntaxFunction() : MSyntax();
}

bool MPxCommand::isHistoryOn() const
{
    return fHistoryOn;
}

MString MPxCommand::commandString() const
{
    return fCommandString;
}

MStatus MPxCommand::setHistoryOn(bool state)
{
    fHistoryOn = state;
    return MS::kSuccess;
}

MStatus MPxCommand::setCommandString(const MString& command)
{
    fCommandString = command;
    return MS::kSuccess;
}

void MPxCommand::clearResult()
{
    CommandExecution::currentResult().clear();
}

void MPxCommand::setResult(bool result)
{
    CommandExecution::currentResult().setInt(result ? 1 : 0);
}

void MPxCommand::setResult(int result)
{
    CommandExecution::currentResult().setInt(result);
}

void MPxCommand::setResult(double result)
{
    CommandExecution::currentResult().setDouble(result);
}

void MPxCommand::setResult(const MString& result)
{
    CommandExecution::currentResult().setString(result);
}

void MPxCommand::setResult(const char* result)
{
    CommandExecution::currentResult().setString(MString(result ? result : ""));
}

void MPxCommand::setResult(const MIntArray& result)
{
    CommandExecution::currentResult().setIntArray(result);
}

void MPxCommand::setResult(const MDoubleArray& result)
{
    CommandExecution::currentResult().setDoubleArray(result);
}

void MPxCommand::setResult(const MStringArray& result)
{
    CommandExecution::currentResult().setStringArray(result);
}

void MPxCommand::appendToResult(bool result)
{
    CommandExecution::currentResult().appendInt(result ? 1 : 0);
}

void MPxCommand::appendToResult(int result)
{
    CommandExecution::currentResult().appendInt(result);
}

void MPxCommand::appendToResult(double result)
{
    CommandExecution::currentResult().appendDouble(result);
}

void MPxCommand::appendToResult(const MString& result)
{
    CommandExecution::currentResult().appendString(result);
}

void MPxCommand::appendToResult(const char* result)
{
    CommandExecution::currentResult().appendString(MString(result ? result : ""));
}

void MPxCommand::appendToResult(const MStringArray& result)
{
    host::MelValue& value = CommandExecution::currentResult();
    for (unsigned int i = 0; i < result.length(); ++i)
        value.appendString(result[i]);
    // Appending an empty array still makes the result an (empty) array.
    if (result.length() == 0 && value.isNone())
        value.setStringArray(MStringArray());
}

void MPxCommand::displayInfo(const MString& theInfo)
{
    MGlobal::displayInfo(theInfo);
}

void MPxCommand::displayWarning(const MString& theWarning, bool)
{
    MGlobal::displayWarning(theWarning);
}

void MPxCommand::displayError(const MString& theError, bool)
{
    MGlobal::displayError(theError);
}
