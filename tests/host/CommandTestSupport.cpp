#include "CommandTestSupport.h"

#include "commands/CommandRegistry.h"
#include "commands/UndoQueue.h"
#include "commands/mel/MelInterpreter.h"
#include "dg/Scene.h"

#include <maya/MGlobal.h>
#include <maya/MPxCommand.h>
#include <maya/MStringArray.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

std::vector<MArgList>& recordedCalls()
{
    static std::vector<MArgList> calls;
    return calls;
}

int& counterValue()
{
    static int value = 0;
    return value;
}

UndoObservation& undoObservation()
{
    static UndoObservation observation;
    return observation;
}

namespace {

class RecordCommand : public MPxCommand
{
public:
    static void* creator() { return new RecordCommand; }
    MStatus doIt(const MArgList& args) override
    {
        recordedCalls().push_back(args);
        setResult(static_cast<int>(args.length()));
        return MS::kSuccess;
    }
};

class EchoCommand : public MPxCommand
{
public:
    static void* creator() { return new EchoCommand; }
    MStatus doIt(const MArgList& args) override
    {
        MStringArray words;
        for (unsigned int i = 0; i < args.length(); ++i)
            words.append(args.asString(i));
        setResult(words);
        return MS::kSuccess;
    }
};

class CounterCommand : public MPxCommand
{
public:
    static void* creator() { return new CounterCommand; }
    MStatus doIt(const MArgList& args) override
    {
        MStatus status;
        fAmount = args.asInt(0, &status);
        if (!status) {
            displayError("testCounter: needs an integer.");
            return MS::kInvalidParameter;
        }
        return redoIt();
    }
    MStatus redoIt() override
    {
        undoObservation().redoingInRedo = MGlobal::isRedoing();
        counterValue() += fAmount;
        return MS::kSuccess;
    }
    MStatus undoIt() override
    {
        undoObservation().undoingInUndo = MGlobal::isUndoing();
        counterValue() -= fAmount;
        return MS::kSuccess;
    }
    bool isUndoable() const override { return true; }

private:
    int fAmount = 0;
};

// Appends each argument to the result with the overload of its kind.
class AppendCommand : public MPxCommand
{
public:
    static void* creator() { return new AppendCommand; }
    MStatus doIt(const MArgList& args) override
    {
        for (unsigned int i = 0; i < args.length(); ++i) {
            MStatus isInt, isDouble;
            const int whole = args.asInt(i, &isInt);
            const double number = args.asDouble(i, &isDouble);
            if (isInt)
                appendToResult(whole);
            else if (isDouble)
                appendToResult(number);
            else
                appendToResult(args.asString(i));
        }
        return MS::kSuccess;
    }
};

class FailCommand : public MPxCommand
{
public:
    static void* creator() { return new FailCommand; }
    MStatus doIt(const MArgList&) override
    {
        displayError("testFail: failing on purpose.");
        return MS::kFailure;
    }
};

class QuietFailCommand : public MPxCommand
{
public:
    static void* creator() { return new QuietFailCommand; }
    MStatus doIt(const MArgList&) override { return MS::kInvalidParameter; }
};

void registerTestCommands()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    host::registerBuiltinCommand("testRecord", RecordCommand::creator, nullptr);
    host::registerBuiltinCommand("testEcho", EchoCommand::creator, nullptr);
    host::registerBuiltinCommand("testCounter", CounterCommand::creator, nullptr);
    host::registerBuiltinCommand("testAppend", AppendCommand::creator, nullptr);
    host::registerBuiltinCommand("testFail", FailCommand::creator, nullptr);
    host::registerBuiltinCommand("testFailQuietly", QuietFailCommand::creator, nullptr);
}

std::string readAll(int fd)
{
    std::string text;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof(buffer))) > 0)
        text.append(buffer, static_cast<size_t>(n));
    return text;
}

} // namespace

void CommandTest::SetUp()
{
    registerTestCommands();
    host::UndoQueue::flush();
    MGlobal::clearSelectionList();
    host::deleteAllNodes();
    recordedCalls().clear();
    counterValue() = 0;
    undoObservation() = UndoObservation();
    fCapture = std::make_unique<host::MessageCapture>();
}

void CommandTest::TearDown()
{
    fCapture.reset();
    host::UndoQueue::flush();
    MGlobal::clearSelectionList();
    host::deleteAllNodes();
}

MStatus CommandTest::run(const std::string& script, host::MelValue* result)
{
    return host::MelInterpreter::run(script.c_str(), result);
}

std::string CommandTest::errors() const
{
    return fCapture->text(host::MessageKind::kError).asChar();
}

std::string CommandTest::warnings() const
{
    return fCapture->text(host::MessageKind::kWarning).asChar();
}

std::string CommandTest::infos() const
{
    return fCapture->text(host::MessageKind::kInfo).asChar();
}

std::string CommandTest::answer(const std::string& script)
{
    host::MelValue value;
    EXPECT_EQ(run(script, &value), MS::kSuccess) << script << "\n" << errors();
    return value.asString().asChar();
}

std::string CommandTest::failure(const std::string& script)
{
    clearMessages();
    EXPECT_NE(run(script), MS::kSuccess) << script;
    return errors();
}

ProgramOutput runProgram(const std::vector<std::string>& argv)
{
    ProgramOutput output;
    // stderr goes to a file so that a full stdout pipe cannot block the child.
    char errPath[] = "/tmp/pellix-cmdtest-XXXXXX";
    const int errFd = ::mkstemp(errPath);
    int outPipe[2];
    if (errFd < 0 || ::pipe(outPipe) != 0)
        return output;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(outPipe[1], 1);
        ::dup2(errFd, 2);
        ::close(outPipe[0]);
        std::vector<char*> args;
        for (const std::string& arg : argv)
            args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        std::_Exit(127);
    }
    ::close(outPipe[1]);
    output.out = readAll(outPipe[0]);
    ::close(outPipe[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    output.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    ::lseek(errFd, 0, SEEK_SET);
    output.err = readAll(errFd);
    ::close(errFd);
    ::unlink(errPath);
    return output;
}
