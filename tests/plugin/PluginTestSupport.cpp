#include "PluginTestSupport.h"
#include "support/TestValues.h"

#include "commands/scene/MayaAsciiWriter.h"

#include <maya/MDagPath.h>
#include <maya/MFnIntArrayData.h>
#include <maya/MIntArray.h>
#include <maya/MPlug.h>
#include <maya/MFnMesh.h>
#include <maya/MGlobal.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>

#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

const char* const kPluginName = "pellix";

MStatus mel(const std::string& command)
{
    return MGlobal::executeCommand(MString(command.c_str()));
}

std::string melFailure(const std::string& command)
{
    host::MessageCapture capture;
    EXPECT_FALSE(mel(command)) << command;
    return capture.text(host::MessageKind::kError).asChar();
}

MString melString(const std::string& command)
{
    MString result;
    const MStatus status = MGlobal::executeCommand(MString(command.c_str()), result);
    EXPECT_TRUE(status) << command;
    return result;
}

MStringArray melStrings(const std::string& command)
{
    MStringArray result;
    const MStatus status = MGlobal::executeCommand(MString(command.c_str()), result);
    EXPECT_TRUE(status) << command;
    return result;
}

int melInt(const std::string& command)
{
    int result = 0;
    const MStatus status = MGlobal::executeCommand(MString(command.c_str()), result);
    EXPECT_TRUE(status) << command;
    return result;
}

double melDouble(const std::string& command)
{
    double result = 0.0;
    const MStatus status = MGlobal::executeCommand(MString(command.c_str()), result);
    EXPECT_TRUE(status) << command;
    return result;
}

MStatus loadPellix()
{
    return mel(std::string("loadPlugin \"") + PELLIX_PLUGIN_PATH + "\"");
}

bool isPellixLoaded()
{
    return melInt(std::string("pluginInfo -query -loaded ") + kPluginName) != 0;
}

int runPellixbatch(const std::string& arguments, std::string& output)
{
    const std::string command = std::string(PELLIXBATCH_PATH) + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        ADD_FAILURE() << "cannot run " << command;
        return -1;
    }
    output.clear();
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe)) {
        output += buffer;
    }
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

MObject nodeByName(const MString& name)
{
    MSelectionList list;
    MObject node;
    if (list.add(name) && list.getDependNode(0, node)) {
        return node;
    }
    return MObject();
}

MStatus undoableMel(const std::string& command, MString* result)
{
    if (!result)
        return MGlobal::executeCommand(MString(command.c_str()), false, true);
    return MGlobal::executeCommand(MString(command.c_str()), *result, false, true);
}

std::string sceneText()
{
    std::string text;
    EXPECT_TRUE(host::MayaAsciiWriter::write("scene.ma", text));
    return text;
}

std::vector<int> intArray(const std::string& plug)
{
    const MObject data = plugNamed(plug).asMObject();
    std::vector<int> values;
    if (!data.isNull()) {
        const MIntArray array = MFnIntArrayData(data).array();
        for (unsigned i = 0; i < array.length(); ++i)
            values.push_back(array[i]);
    }
    return values;
}

StderrCapture::StderrCapture()
{
    std::fflush(stderr);
    char path[] = "/tmp/pellixStderrXXXXXX";
    fFile = mkstemp(path);
    if (fFile < 0) {
        ADD_FAILURE() << "cannot create a file to capture stderr";
        return;
    }
    unlink(path);
    fSaved = dup(2);
    dup2(fFile, 2);
}

StderrCapture::~StderrCapture()
{
    finish();
}

std::string StderrCapture::finish()
{
    if (fSaved < 0) {
        return fText;
    }
    std::fflush(stderr);
    dup2(fSaved, 2);
    close(fSaved);
    fSaved = -1;

    lseek(fFile, 0, SEEK_SET);
    char buffer[4096];
    ssize_t count = 0;
    while ((count = read(fFile, buffer, sizeof buffer)) > 0) {
        fText.append(buffer, static_cast<size_t>(count));
    }
    close(fFile);
    fFile = -1;
    return fText;
}

void PellixPluginTest::SetUp()
{
    ASSERT_TRUE(mel("file -force -new"));
    if (!isPellixLoaded()) {
        ASSERT_TRUE(loadPellix());
    }
}

void PellixPluginTest::TearDown()
{
    // Leave the next test a clean host: no scene and no plug-in.
    EXPECT_TRUE(mel("file -force -new"));
    if (isPellixLoaded()) {
        EXPECT_TRUE(mel(std::string("unloadPlugin ") + kPluginName));
    }
}

MPoint worldCentreOf(const char* mesh)
{
    MSelectionList list;
    list.add(mesh);
    MDagPath path;
    list.getDagPath(0, path);
    path.extendToShape();
    MPointArray points;
    MFnMesh(path).getPoints(points, MSpace::kWorld);
    MPoint sum(0, 0, 0);
    for (unsigned i = 0; i < points.length(); ++i)
        sum += MVector(points[i]);
    return sum / points.length();
}
