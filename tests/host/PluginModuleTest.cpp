// Loading and unloading plug-in modules: the refusals, the clean-up after a
// failed initializePlugin, lookup through MAYA_PLUG_IN_PATH and unloading
// while the plug-in's nodes are in the scene.

#include "CommandTestSupport.h"

#include "commands/PluginManager.h"

#define MNoVersionString
#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>
#include <maya/MSceneMessage.h>
#include <maya/MStringArray.h>

#include <climits>
#include <cstdlib>
#include <string>

namespace {

std::string modulePath(const char* name)
{
    return std::string(PELLIX_TEST_MODULES) + "/" + name + ".so";
}

class PluginModules : public CommandTest
{
protected:
    void TearDown() override
    {
        if (host::PluginManager::isLoaded("sampleModule"))
            host::PluginManager::unload("sampleModule", true);
        CommandTest::TearDown();
    }

    host::MelValue value(const std::string& script)
    {
        host::MelValue result;
        EXPECT_EQ(run(script, &result), MS::kSuccess) << script << "\n" << errors();
        return result;
    }
};

void countUnloadMessages(void* clientData)
{
    ++*static_cast<int*>(clientData);
}

} // namespace

TEST_F(PluginModules, RefusesModulesWithoutTheVersionSymbolOrAnEntryPoint)
{
    const std::string noVersion = modulePath("noApiVersionModule");
    EXPECT_NE(run("loadPlugin \"" + noVersion + "\";"), MS::kSuccess);
    EXPECT_NE(errors().find("it does not define MApiVersion"), std::string::npos) << errors();
    EXPECT_NE(errors().find(noVersion), std::string::npos) << "the error names the module";

    clearMessages();
    EXPECT_NE(run("loadPlugin \"" + modulePath("noUninitializeModule") + "\";"), MS::kSuccess);
    EXPECT_NE(errors().find("it does not define uninitializePlugin"), std::string::npos) << errors();
    EXPECT_EQ(infos(), "") << "none of the refused module's code ran";

    EXPECT_EQ(value("pluginInfo -q -loaded noApiVersionModule;").asInt(), 0);
    EXPECT_EQ(value("pluginInfo -q -loaded noUninitializeModule;").asInt(), 0);

    clearMessages();
    EXPECT_NE(run("loadPlugin \"/no/such/folder/module.so\";"), MS::kSuccess);
    EXPECT_NE(errors().find("does not exist"), std::string::npos) << errors();
}

TEST_F(PluginModules, AFailingInitializeUnloadsTheModuleAndItsRegistrations)
{
    EXPECT_NE(run("loadPlugin \"" + modulePath("failingInitModule") + "\";"), MS::kSuccess);
    EXPECT_NE(errors().find("initializePlugin of \"failingInitModule\" failed"), std::string::npos) << errors();
    EXPECT_EQ(value("pluginInfo -q -loaded failingInitModule;").asInt(), 0);
    // It registered one command before trying to take a built-in's name.
    clearMessages();
    EXPECT_NE(run("failingInitCommand;"), MS::kSuccess);
    EXPECT_NE(errors().find("Cannot find procedure \"failingInitCommand\""), std::string::npos);
    // The built-in it tried to take is untouched.
    EXPECT_EQ(value("pluginInfo -q -loaded sampleModule;").asInt(), 0);
}

TEST_F(PluginModules, LoadsByNameFromThePluginPathAndReportsWhatItRegistered)
{
    const std::string previous = std::getenv("MAYA_PLUG_IN_PATH") ? std::getenv("MAYA_PLUG_IN_PATH") : "";
    ::setenv("MAYA_PLUG_IN_PATH", (std::string("/no/such/folder:") + PELLIX_TEST_MODULES).c_str(), 1);
    host::MelValue loaded = value("loadPlugin sampleModule;");
    ::setenv("MAYA_PLUG_IN_PATH", previous.c_str(), 1);
    EXPECT_EQ(loaded.asString(), MString("sampleModule"));

    EXPECT_EQ(value("pluginInfo -q -loaded sampleModule;").asInt(), 1);
    EXPECT_EQ(value("pluginInfo -q -dependNode sampleModule;").asString(), MString("sampleNode"));
    EXPECT_EQ(value("pluginInfo -q -command sampleModule;").asString(), MString("sampleResult"));
    EXPECT_EQ(value("pluginInfo -q -version sampleModule;").asString(), MString("1.5"));
    EXPECT_EQ(value("pluginInfo -q -vendor sampleModule;").asString(), MString("pellix tests"));
    EXPECT_EQ(value("sampleResult -i 4;").asInt(), 4);

    MObject pluginObject = MFnPlugin::findPlugin("sampleModule");
    MStatus status;
    MFnPlugin fn(pluginObject, "Unknown", "Unknown", "Any", &status);
    ASSERT_EQ(status, MS::kSuccess);
    EXPECT_EQ(fn.name(), MString("sampleModule"));
    EXPECT_EQ(fn.version(), MString("1.5")) << "a later MFnPlugin does not overwrite what the plug-in declared";
    char canonical[PATH_MAX];
    ASSERT_NE(::realpath(PELLIX_TEST_MODULES, canonical), nullptr);
    EXPECT_EQ(fn.loadPath(), MString(canonical));
    EXPECT_TRUE(MFnPlugin::findPlugin("noSuchPlugin").isNull());

    // Loading it again, by path this time, only warns.
    clearMessages();
    EXPECT_EQ(value("loadPlugin \"" + modulePath("sampleModule") + "\";").asString(), MString("sampleModule"));
    EXPECT_EQ(warnings(), "loadPlugin: Plug-in \"sampleModule\" is already loaded.\n");
    EXPECT_EQ(errors(), "");
}

TEST_F(PluginModules, UnloadIsRefusedWhileItsNodesExistUnlessForced)
{
    value("loadPlugin \"" + modulePath("sampleModule") + "\";");
    value("createNode sampleNode -n \"inUse\";");
    int beforeUnload = 0;
    MStatus status;
    MCallbackId id = MSceneMessage::addCallback(MSceneMessage::kBeforePluginUnload, countUnloadMessages,
                                                &beforeUnload, &status);
    ASSERT_EQ(status, MS::kSuccess);

    EXPECT_NE(run("unloadPlugin sampleModule;"), MS::kSuccess);
    EXPECT_EQ(beforeUnload, 1) << "the unload message comes before the refusal";
    EXPECT_NE(errors().find("Cannot unload plug-in \"sampleModule\": 1 node of its types is in the scene"),
              std::string::npos)
        << errors();
    EXPECT_EQ(value("pluginInfo -q -loaded sampleModule;").asInt(), 1);
    EXPECT_EQ(value("objExists inUse;").asInt(), 1);

    value("createNode sampleNode -n \"spare\";");
    EXPECT_EQ(value("unloadPlugin -force sampleModule;").asString(), MString("sampleModule"));
    EXPECT_EQ(warnings(), "unloadPlugin: Plug-in \"sampleModule\" unloaded by force: deleted its nodes inUse, spare.\n");
    EXPECT_EQ(beforeUnload, 2);
    EXPECT_EQ(value("objExists inUse;").asInt() + value("objExists spare;").asInt(), 0);
    EXPECT_EQ(value("pluginInfo -q -loaded sampleModule;").asInt(), 0);
    clearMessages();
    EXPECT_NE(run("sampleResult -i 1;"), MS::kSuccess) << "its command went with it";
    EXPECT_NE(run("createNode sampleNode;"), MS::kSuccess) << "and so did its node type";
    MMessage::removeCallback(id);
}

TEST_F(PluginModules, LoadUnloadAndLoadAgainInOneProcess)
{
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        value("loadPlugin \"" + modulePath("sampleModule") + "\";");
        EXPECT_EQ(value("sampleResult -s \"round\";").asString(), MString("round"));
        value("createNode sampleNode -n \"temporary\"; delete temporary;");
        value("unloadPlugin sampleModule;");
        EXPECT_EQ(value("pluginInfo -q -listPlugins;").length(), 0u);
    }
    clearMessages();
    EXPECT_NE(run("unloadPlugin sampleModule;"), MS::kSuccess);
    EXPECT_EQ(errors(), "unloadPlugin: Plug-in \"sampleModule\" is not loaded.\n");
}
