// The plug-in installed as a Maya module and found through MAYA_MODULE_PATH alone,
// and the host's reading of module files, checked through pellixbatch runs.

#include "CommandTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kNodeTypes = {"pellixDataOverlay", "shapeControl", "surfacePin",
                                             "surfaceUVPin",      "vertexWrap",   "hoverMarker"};

// Sets environment variables for one scope (an empty optional unsets one) and puts
// the old values back afterwards, so each pellixbatch run sees only what a test gives.
class ScopedEnvironment
{
public:
    explicit ScopedEnvironment(const std::map<std::string, std::optional<std::string>>& values)
    {
        for (const auto& [name, value] : values) {
            const char* old = std::getenv(name.c_str());
            fSaved[name] = old ? std::optional<std::string>(old) : std::nullopt;
            set(name, value);
        }
    }
    ~ScopedEnvironment()
    {
        for (const auto& [name, value] : fSaved)
            set(name, value);
    }

private:
    static void set(const std::string& name, const std::optional<std::string>& value)
    {
        if (value)
            ::setenv(name.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name.c_str());
    }
    std::map<std::string, std::optional<std::string>> fSaved;
};

fs::path makeTemporaryFolder()
{
    std::string pattern = (fs::temp_directory_path() / "pellix-module-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        return fs::path();
    return fs::path(pattern);
}

void writeFile(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::string readFile(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The runner puts the plug-in's source scripts folder last on MAYA_SCRIPT_PATH; the
// module tests look only at what the modules add.
std::string withoutSourceScripts(std::string text)
{
    for (const std::string& element : {std::string(":") + PELLIX_SCRIPTS_DIR, std::string(PELLIX_SCRIPTS_DIR)})
        for (size_t at = text.find(element); at != std::string::npos; at = text.find(element))
            text.erase(at, element.size());
    return text;
}

// pellixbatch -command MEL with MAYA_MODULE_PATH as given and no MAYA_PLUG_IN_PATH,
// MAYA_SCRIPT_PATH or XBMLANGPATH of the caller's.
ProgramOutput runWithModules(const std::string& modulePath, const std::string& mel,
                             const std::map<std::string, std::optional<std::string>>& more = {})
{
    std::map<std::string, std::optional<std::string>> environment = {
        {"MAYA_MODULE_PATH", modulePath},
        {"MAYA_PLUG_IN_PATH", std::nullopt},
        {"MAYA_SCRIPT_PATH", std::nullopt},
        {"XBMLANGPATH", std::nullopt},
        {"PYTHONPATH", std::nullopt},
    };
    for (const auto& [name, value] : more)
        environment[name] = value;
    ScopedEnvironment scope(environment);
    ProgramOutput run = runProgram({PELLIXBATCH_PATH, "-command", mel});
    run.out = withoutSourceScripts(run.out);
    return run;
}

std::string result(const std::string& value)
{
    return "// Result: " + value + " //\n";
}

// One `cmake --install` of this build into a temporary prefix for the whole suite.
class ModuleInstall : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        sPrefix = makeTemporaryFolder();
        sInstall = runProgram({PELLIX_CMAKE_COMMAND, "--install", PELLIX_BINARY_DIR, "--prefix", sPrefix.string()});
    }
    static void TearDownTestSuite()
    {
        std::error_code error;
        fs::remove_all(sPrefix, error);
    }
    void SetUp() override
    {
        ASSERT_FALSE(sPrefix.empty());
        ASSERT_EQ(sInstall.exitCode, 0) << sInstall.out << sInstall.err;
    }

    static fs::path sPrefix;
    static ProgramOutput sInstall;
};

fs::path ModuleInstall::sPrefix;
ProgramOutput ModuleInstall::sInstall;

TEST_F(ModuleInstall, LaysOutTheModuleFolderAndItsDescription)
{
    EXPECT_EQ(readFile(sPrefix / "pellix.mod"), "+ MAYAVERSION:2023 PLATFORM:linux pellix 1.0 ./pellix\n");
    EXPECT_TRUE(fs::is_regular_file(sPrefix / "pellix" / "plug-ins" / "pellix.so"));
    for (const std::string& type : kNodeTypes) {
        for (const std::string& icon : {"out_" + type + ".png", type + ".png"}) {
            const std::string bytes = readFile(sPrefix / "pellix" / "icons" / icon);
            EXPECT_EQ(bytes.substr(0, 8), "\x89PNG\r\n\x1a\n") << icon;
        }
    }
    // Every script the plug-in ships is in the module's scripts folder, unchanged.
    const fs::path scripts = PELLIX_SCRIPTS_DIR;
    if (fs::is_directory(scripts))
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(scripts)) {
            if (!entry.is_regular_file())
                continue;
            const fs::path installed = sPrefix / "pellix" / "scripts" / fs::relative(entry.path(), scripts);
            EXPECT_EQ(readFile(installed), readFile(entry.path())) << installed;
        }
}

TEST_F(ModuleInstall, LoadPluginFindsTheInstalledPluginThroughMayaModulePathAlone)
{
    std::string mel = "loadPlugin pellix; pluginInfo -q -path pellix; getModulePath -moduleName pellix;";
    for (const std::string& type : kNodeTypes)
        mel += " nodeType `createNode " + type + "`;";
    const ProgramOutput run = runWithModules(sPrefix.string(), mel);

    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::string installed = fs::canonical(sPrefix / "pellix" / "plug-ins" / "pellix.so").string();
    std::string expected = result("pellix") + result(installed) + result(sPrefix.string() + "/pellix");
    for (const std::string& type : kNodeTypes)
        expected += result(type);
    EXPECT_EQ(run.out, expected);
}

TEST_F(ModuleInstall, WithoutTheModuleThePluginIsFoundOnlyInTheBuild)
{
    // A module folder whose version does not match leaves the search to the build's own folder.
    const fs::path other = makeTemporaryFolder();
    writeFile(other / "pellix.mod", "+ MAYAVERSION:2022 pellix 1.0 " + (sPrefix / "pellix").string() + "\n");
    const ProgramOutput run = runWithModules(other.string(), "loadPlugin pellix; pluginInfo -q -path pellix;");
    fs::remove_all(other);

    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string built = fs::canonical(fs::path(PELLIX_BINARY_DIR) / "plug-ins" / "pellix.so").string();
    EXPECT_EQ(run.out, result("pellix") + result(built));
}

// Module files written by hand into a temporary folder.
class ModuleFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fRoot = makeTemporaryFolder();
        ASSERT_FALSE(fRoot.empty());
    }
    void TearDown() override
    {
        std::error_code error;
        fs::remove_all(fRoot, error);
    }
    std::string path(const std::string& relative) const { return (fRoot / relative).lexically_normal().string(); }
    void folder(const std::string& relative) const { fs::create_directories(fRoot / relative); }

    fs::path fRoot;
};

TEST_F(ModuleFiles, ConventionalFoldersGoOnTheSearchPathsAndScriptsAreFound)
{
    writeFile(fRoot / "mods" / "alpha.mod", "+ alpha 2.1 ../alpha\n");
    writeFile(fRoot / "alpha" / "scripts" / "alphaGreeting.mel",
              "global proc string alphaGreeting() { return \"hello from alpha\"; }\n");
    folder("alpha/plug-ins");
    folder("alpha/icons");
    // No presets folder: nothing is added for it.
    const ProgramOutput run = runWithModules(
        path("mods"),
        "alphaGreeting; moduleInfo -mn alpha -v; moduleInfo -mn alpha -p; moduleInfo -mn alpha -definition; "
        "getenv MAYA_SCRIPT_PATH; getenv PYTHONPATH; getenv XBMLANGPATH; getenv MAYA_PRESET_PATH;");

    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, result("hello from alpha") + result("2.1") + result(path("alpha")) +
                           result(path("mods/alpha.mod")) + result(path("alpha/scripts")) +
                           result(path("alpha/scripts")) + result(path("alpha/icons") + "/%B") + result(""));
}

TEST_F(ModuleFiles, ModulesForAnotherMayaPlatformOrLocaleAndDisabledOnesAreSkippedQuietly)
{
    for (const char* name : {"older", "windows", "french", "disabled", "matching"})
        folder(name);
    writeFile(fRoot / "mods" / "many.txt",
              "+ MAYAVERSION:2022 older 1.0 ../older\n"
              "not a line a module could hold\n"
              "+ PLATFORM:win64 windows 1.0 ../windows\n"
              "+ LOCALE:fr_FR french 1.0 ../french\n"
              "- disabled 1.0 ../disabled\n"
              "MAYA_SCRIPT_PATH+:=scripts\n"
              "+ MAYAVERSION:2023 PLATFORM:Linux LOCALE:en_US matching 3.0 ../matching\n");
    const ProgramOutput run = runWithModules(path("mods"), "moduleInfo -lm; getenv MAYA_SCRIPT_PATH;");

    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, result("matching") + result(""));
}

TEST_F(ModuleFiles, VariableLinesSetOrAppendValuesAsWrittenOrInsideTheModule)
{
    folder("gamma/shared/scripts");
    folder("gamma/art/small");
    folder("gamma/art/.cache");
    writeFile(fRoot / "mods" / "gamma.mod",
              "+ gamma 1.0 ../gamma\n"
              "GAMMA_LOCATION:=\n"
              "GAMMA_DATA:=data/rigs\n"
              "GAMMA_MODE=fast\n"
              "GAMMA_LIST+=second\n"
              "GAMMA_LIST+:=third\n"
              "scripts: shared/scripts\n"
              "[r] icons: art\n");
    const ProgramOutput run = runWithModules(
        path("mods"),
        "getenv GAMMA_LOCATION; getenv GAMMA_DATA; getenv GAMMA_MODE; getenv GAMMA_LIST; getenv MAYA_SCRIPT_PATH; "
        "getenv XBMLANGPATH;",
        {{"GAMMA_LIST", "first"}});

    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, result(path("gamma")) + result(path("gamma/data/rigs")) + result("fast") +
                           result("first:second:" + path("gamma/third")) + result(path("gamma/shared/scripts")) +
                           result(path("gamma/art") + "/%B:" + path("gamma/art/small") + "/%B"));
}

TEST_F(ModuleFiles, ProblemsAreWarnedAndTheOtherModulesStillLoad)
{
    folder("good/plug-ins");
    writeFile(fRoot / "mods" / "a.mod",
              "+ missing 1.0 ../not-there\n"
              "+ short 1.0\n"
              "+ good 1.0 ../good\n"
              "this line sets nothing\n");
    const ProgramOutput run = runWithModules(path("mods"), "moduleInfo -listModules;");

    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string file = path("mods/a.mod");
    EXPECT_EQ(run.err, "Warning: Module \"missing\" (" + file + " line 1): its folder " + path("not-there") +
                           " does not exist; module skipped.\n"
                           "Warning: Module description at " + file +
                           " line 2 needs a name, a version and a path: \"+ short 1.0\"\n"
                           "Warning: Cannot read the line at " + file +
                           " line 4 of module \"good\": \"this line sets nothing\"\n");
    EXPECT_EQ(run.out, result("good"));
}

TEST_F(ModuleFiles, TheFirstModuleOfANameOnTheSearchPathWins)
{
    folder("first/delta");
    folder("second/delta");
    writeFile(fRoot / "first" / "delta.mod", "+ delta 1.0 ./delta\n");
    writeFile(fRoot / "second" / "delta.mod", "+ delta 2.0 ./delta\n");
    const ProgramOutput run = runWithModules(path("first") + ":" + path("second") + ":/no/such/folder",
                                             "moduleInfo -lm; getModulePath -mn delta; moduleInfo -mn delta -v;");

    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, result("delta") + result(path("first/delta")) + result("1.0"));
}

TEST_F(ModuleFiles, AskingForAnUnknownModuleFailsWithItsName)
{
    const ProgramOutput missing = runWithModules(path("mods"), "getModulePath -moduleName nowhere;");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "Error: getModulePath: no module named \"nowhere\" is loaded.\n");

    const ProgramOutput unnamed = runWithModules(path("mods"), "moduleInfo -path;");
    EXPECT_EQ(unnamed.exitCode, 1);
    EXPECT_EQ(unnamed.err, "Error: moduleInfo: name the module with -moduleName.\n");
}

} // namespace
