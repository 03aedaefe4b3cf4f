#pragma once
// The shared fixture of the plug-in tests: a host with an empty scene and the built pellix
// module loaded, driven through MEL as a user or script would drive it.

#include "commands/MessageOutput.h"

#include <maya/MObject.h>
#include <maya/MPoint.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The plug-in's name as the host knows it (the module's file name without extension).
extern const char* const kPluginName;

// Runs MEL; the helpers returning a value fail the calling test when the command fails.
MStatus mel(const std::string& command);
MString melString(const std::string& command);
MStringArray melStrings(const std::string& command);
int melInt(const std::string& command);
double melDouble(const std::string& command);
// Runs MEL that must fail; the errors it gave.
std::string melFailure(const std::string& command);

// The average of a mesh's world-space points (a transform or its shape).
MPoint worldCentreOf(const char* mesh);

// "loadPlugin" with the built module's path.
MStatus loadPellix();
bool isPellixLoaded();

// Runs the built pellixbatch with `arguments` (shell syntax), stderr merged into stdout.
// Returns its exit status; `output` receives what it printed.
int runPellixbatch(const std::string& arguments, std::string& output);

// The dependency node with that name, or the null object.
MObject nodeByName(const MString& name);

// Runs MEL on the undo queue, as a user's typed command is; `result` gets its string result.
MStatus undoableMel(const std::string& command, MString* result = nullptr);

// The scene as Maya ASCII text, as the file writer writes it.
std::string sceneText();

// The values of an Int32Array plug; none when it holds no data.
std::vector<int> intArray(const std::string& plug);

// Everything written to the process's stderr (file descriptor 2) while alive.
class StderrCapture
{
public:
    StderrCapture();
    ~StderrCapture();
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // Stops capturing (if still capturing) and returns what was written.
    std::string finish();

private:
    int fSaved = -1;
    int fFile = -1;
    std::string fText;
};

class PellixPluginTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
};
