#ifndef MAYA_MPXCOMMAND_H
#define MAYA_MPXCOMMAND_H

#include <maya/MApiNamespace.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypes.h>

class MArgList;
class MIntArray;
class MDoubleArray;
class MStringArray;

// Base class of user-defined commands. The host creates one object per
// invocation, calls doIt once, and keeps undoable commands on the undo queue.
class MPxCommand
{
public:
    MPxCommand();
    virtual ~MPxCommand();

    virtual MStatus doIt(const MArgList& args) = 0;
    virtual MStatus undoIt();
    virtual MStatus redoIt();
    virtual bool isUndoable() const;
    virtual bool hasSyntax() const;

    MSyntax syntax() const;
    bool isHistoryOn() const;
    MString commandString() const;
    MStatus setHistoryOn(bool state);
    MStatus setCommandString(const MString& command);

    static void clearResult();
    static void setResult(bool result);
    static void setResult(int result);
    static void setResult(double result);
    static void setResult(const MString& result);
    static void setResult(const char* result);
    static void setResult(const MIntArray& result);
    static void setResult(const MDoubleArray& result);
    static void setResult(const MStringArray& result);
    static void appendToResult(bool result);
    static void appendToResult(int result);
    static void appendToResult(double result);
    static void appendToResult(const MString& result);
    static void appendToResult(const char* result);
    static void appendToResult(const MStringArray& result);

    static void displayInfo(const MString& theInfo);
    static void displayWarning(const MString& theWarning, bool showLineNumber = false);
    static void displayError(const MString& theError, bool showLineNumber = false);

private:
    MPxCommand(const MPxCommand&) = delete;
    MPxCommand& operator=(const MPxCommand&) = delete;

    MString fCommandString;
    MSyntax (*fSyntaxFunction)();
    bool fHistoryOn;
};

#endif
