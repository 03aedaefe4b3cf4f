#pragma once
// Fixture of the command framework tests: an empty scene and undo queue, the
// host's messages captured, and a few test commands registered as built-ins.
//
//   testRecord ...      keeps its raw argument list (see recordedCalls());
//                       result: the number of arguments
//   testEcho ...        result: its arguments as a string array
//   testCounter N       undoable: adds N to counterValue(); undo subtracts
//   testAppend ...      appendToResult of each argument, as int, double or string
//   testFail            reports an error and fails
//   testFailQuietly     fails without a word

#include "commands/MessageOutput.h"
#include "commands/mel/MelValue.h"

#include <maya/MArgList.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

std::vector<MArgList>& recordedCalls();
int& counterValue();
// isUndoing()/isRedoing() as seen from inside the last undoIt/redoIt.
struct UndoObservation
{
    bool undoingInUndo = false;
    bool redoingInRedo = false;
};
UndoObservation& undoObservation();

class CommandTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs MEL with undo on, as a user would.
    MStatus run(const std::string& script, host::MelValue* result = nullptr);
    // Errors and warnings written since SetUp, one per line.
    std::string errors() const;
    std::string warnings() const;
    std::string infos() const;
    void clearMessages() { fCapture->clear(); }
    // What MEL that must succeed answers, as text; the errors MEL that must fail gives.
    std::string answer(const std::string& script);
    std::string failure(const std::string& script);

private:
    std::unique_ptr<host::MessageCapture> fCapture;
};

// Runs a program and collects what it writes; `exitCode` is its status.
struct ProgramOutput
{
    std::string out;
    std::string err;
    int exitCode = -1;
};
ProgramOutput runProgram(const std::vector<std::string>& argv);
