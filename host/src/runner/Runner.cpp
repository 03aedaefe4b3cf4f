#include "runner/Runner.h"

#include "commands/MessageOutput.h"
#include "commands/ModulePaths.h"
#include "commands/PluginManager.h"
#include "commands/Session.h"
#include "commands/builtins/SessionCommands.h"
#include "commands/mel/MelInterpreter.h"
#include "commands/scene/DefaultNodes.h"
#include "views/StartupCameras.h"
#include "views/Views.h"

#include <maya/MGlobal.h>
#include <maya/MString.h>

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace host {

namespace {

struct Options
{
    bool gui = false;
    std::string sceneFile;
    std::string command;
    bool hasCommand = false;
    std::string scriptFile;
    std::vector<std::string> plugins;
};

void printUsage(RunnerKind kind)
{
    if (kind == RunnerKind::kBatch)
        std::fputs("usage: pellixbatch [-gui] [-file SCENE.ma] [-command \"MEL\"] [-script FILE.mel] "
                   "[-plugin PATH_OR_NAME]...\n",
                   stderr);
    else
        std::fputs("usage: pellixgui [-file SCENE.ma] [-command \"MEL\"] [-script FILE.mel] "
                   "[-plugin PATH_OR_NAME]...\n",
                   stderr);
}

bool parseOptions(int argc, char** argv, RunnerKind kind, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        if (flag == "-h" || flag == "-help" || flag == "--help")
            return false;
        if (flag == "-gui" && kind == RunnerKind::kBatch) {
            options.gui = true;
            continue;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "Error: %s needs a value.\n", flag.c_str());
            return false;
        }
        const char* value = argv[++i];
        if (flag == "-file")
            options.sceneFile = value;
        else if (flag == "-command") {
            options.command = value;
            options.hasCommand = true;
        } else if (flag == "-script")
            options.scriptFile = value;
        else if (flag == "-plugin")
            options.plugins.push_back(value);
        else {
            std::fprintf(stderr, "Error: unknown option %s.\n", flag.c_str());
            return false;
        }
    }
    return true;
}

// The built plug-in sits in <dir of the program>/../plug-ins: that folder
// comes last on the plug-in search path, as Maya's own plug-ins folder does,
// so the user's folders and the modules' come first.
void addBuiltPluginFolder()
{
    char exe[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", exe, sizeof(exe) - 1);
    if (length <= 0)
        return;
    std::string folder(exe, static_cast<size_t>(length));
    folder.erase(folder.find_last_of('/'));
    folder += "/../plug-ins";
    std::string path = folder;
    if (const char* existing = std::getenv("MAYA_PLUG_IN_PATH"))
        if (*existing)
            path = existing + std::string(":") + folder;
    ::setenv("MAYA_PLUG_IN_PATH", path.c_str(), 1);
}

// In the build tree the plug-in's interface scripts (its menu) are read from the sources:
// with the views up, that folder comes last on the script path, after the user's and the
// modules' folders. Batch runs build no interface and leave the path as the modules set it.
void addSourceScriptsFolder()
{
#ifdef PELLIX_SCRIPTS_DIR
    if (::access(PELLIX_SCRIPTS_DIR, R_OK) != 0)
        return;
    std::string path = PELLIX_SCRIPTS_DIR;
    if (const char* existing = std::getenv("MAYA_SCRIPT_PATH"))
        if (*existing)
            path = existing + std::string(":") + path;
    ::setenv("MAYA_SCRIPT_PATH", path.c_str(), 1);
#endif
}

// "a\"b" for a\"b inside a MEL string.
std::string melQuoted(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

void echoResult(const MelValue& value)
{
    writeMessage(MessageKind::kPrint, MString("// Result: ") + value.asString() + " //\n");
}

MStatus runMel(const std::string& text, const MString& sourceName)
{
    MelInterpreter::Options options;
    options.sourceName = sourceName;
    options.onResult = echoResult;
    MStatus status = MelInterpreter::run(MString(text.c_str(), static_cast<int>(text.size())), options);
    if (status)
        status = runIdleCommands();
    return status;
}

MStatus runSteps(const Options& options)
{
    for (const std::string& plugin : options.plugins) {
        if (sessionEndRequested())
            return MS::kSuccess;
        MStatus status = PluginManager::load(plugin.c_str());
        if (!status)
            return status;
    }
    if (!options.sceneFile.empty()) {
        // Opening the scene echoes nothing, as Maya's -file does not.
        MStatus status = MelInterpreter::run(("file -force -open " + melQuoted(options.sceneFile)).c_str());
        if (!status)
            return status;
    }
    if (options.hasCommand && !sessionEndRequested()) {
        MStatus status = runMel(options.command, MString());
        if (!status)
            return status;
    }
    if (!options.scriptFile.empty() && !sessionEndRequested()) {
        std::ifstream file(options.scriptFile, std::ios::binary);
        if (!file) {
            MGlobal::displayError(MString("Cannot read script file: ") + options.scriptFile.c_str());
            return MS::kNotFound;
        }
        std::ostringstream text;
        text << file.rdbuf();
        MStatus status = runMel(text.str(), options.scriptFile.c_str());
        if (!status)
            return status;
    }
    return MS::kSuccess;
}

} // namespace

int runnerMain(int argc, char** argv, RunnerKind kind)
{
    Options options;
    if (!parseOptions(argc, argv, kind, options)) {
        printUsage(kind);
        return 2;
    }
    setMayaState(MGlobal::kBatch);
    // Modules add their folders before any plug-in loads, as at Maya's start-up.
    loadModulesFromEnvironment();
    addBuiltPluginFolder();

    const bool gui = kind == RunnerKind::kGui || options.gui;
    if (gui) {
        addSourceScriptsFolder();
        std::string error;
        // Qt reads flags of its own from the command line (-plugin among them); the runner's
        // flags were read above and are not for it.
        static int qtArgc = 1;
        static char* qtArgv[] = {argv[0], nullptr};
        if (!startViews(qtArgc, qtArgv, error)) {
            std::fprintf(stderr, "Error: %s\n", error.c_str());
            return 1;
        }
    }
    // `quit` ends the steps, or closes the window a person works in; -abort ends at once.
    setQuitHandler([](int exitCode, bool abort) {
        if (abort) {
            std::fflush(stdout);
            std::fflush(stderr);
            std::_Exit(exitCode);
        }
        closeMainWindowLater();
    });
    // The session starts with Maya's startup cameras and default nodes.
    MStatus status = ensureStartupCameras();
    if (status)
        status = DefaultNodes::createForNewScene();
    if (status)
        status = runSteps(options);
    if (gui) {
        // The views show what the steps left behind.
        scheduleRefreshAll();
        processEvents();
        // A person closes the window; a failed step leaves it open to look at.
        if (kind == RunnerKind::kGui && !sessionEndRequested())
            runViewsUntilClosed();
        stopViews();
    }
    PluginManager::shutdown();
    std::fflush(stdout);
    if (sessionEndRequested())
        return sessionExitCode();
    return status ? 0 : 1;
}

} // namespace host
