// MFnPlugin::registerUI as a plug-in meets it: the procedures of the mode the host runs in
// (batch here) run after initializePlugin and before uninitializePlugin, must exist when
// registered, may be registered only while the plug-in initialises, and a failing one is
// reported without stopping the load.

#include "CommandTestSupport.h"

#include "commands/PluginManager.h"

#include <maya/MStringArray.h>

#include <cstdlib>
#include <string>

namespace {

std::string uiModulePath()
{
    return std::string(PELLIX_TEST_MODULES) + "/uiModule.so";
}

class PluginInterface : public CommandTest
{
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        ASSERT_EQ(run("global string $gUiModuleLog[]; clear $gUiModuleLog;\n"
                      "global proc string[] uiModuleLog() { global string $gUiModuleLog[]; return $gUiModuleLog; }"),
                  MS::kSuccess);
    }

    void TearDown() override
    {
        if (host::PluginManager::isLoaded("uiModule"))
            host::PluginManager::unload("uiModule", true);
        ::unsetenv("PELLIX_UI_MODULE_PREFIX");
        CommandTest::TearDown();
    }

    std::string log()
    {
        host::MelValue result;
        EXPECT_EQ(run("uiModuleLog();", &result), MS::kSuccess) << errors();
        const MStringArray entries = result.asStringArray();
        std::string joined;
        for (unsigned i = 0; i < entries.length(); ++i)
            joined += (i ? ", " : "") + std::string(entries[i].asChar());
        return joined;
    }

    static std::string logging(const char* procedure)
    {
        return std::string("global proc ") + procedure +
               "() { global string $gUiModuleLog[]; $gUiModuleLog[size($gUiModuleLog)] = \"" + procedure + "\"; }\n";
    }
};

TEST_F(PluginInterface, BatchProceduresRunAfterLoadAndBeforeUnload)
{
    ASSERT_EQ(run(logging("uiModuleCreate") + logging("uiModuleDelete") + logging("uiModuleCreateBatch") +
                  logging("uiModuleDeleteBatch")),
              MS::kSuccess);
    ASSERT_EQ(run("loadPlugin \"" + uiModulePath() + "\";"), MS::kSuccess) << errors();
    EXPECT_EQ(log(), "registerUI ok, uiModuleCreateBatch");
    ASSERT_EQ(run("unloadPlugin uiModule;"), MS::kSuccess) << errors();
    EXPECT_EQ(log(), "registerUI ok, uiModuleCreateBatch, uiModuleDeleteBatch, uninitialize");
    EXPECT_EQ(errors(), "");
}

TEST_F(PluginInterface, MissingProceduresFailTheRegistrationButNotTheLoad)
{
    ::setenv("PELLIX_UI_MODULE_PREFIX", "uiMissing", 1);
    ASSERT_EQ(run("loadPlugin \"" + uiModulePath() + "\";"), MS::kSuccess);
    EXPECT_EQ(log(), "registerUI failed");
    EXPECT_EQ(errors(), "registerUI: procedure \"uiMissingCreateBatch\" was not found.\n");
    clearMessages();
    ASSERT_EQ(run("unloadPlugin uiModule;"), MS::kSuccess);
    EXPECT_EQ(log(), "registerUI failed, uninitialize");
    EXPECT_EQ(errors(), "");
}

TEST_F(PluginInterface, AFailingCreationProcedureIsReportedAndThePluginStaysLoaded)
{
    ::setenv("PELLIX_UI_MODULE_PREFIX", "uiFailing", 1);
    ASSERT_EQ(run("global proc uiFailingCreateBatch() { error \"no room\"; }\n" + logging("uiFailingDeleteBatch") +
                  logging("uiFailingCreate") + logging("uiFailingDelete")),
              MS::kSuccess);
    ASSERT_EQ(run("loadPlugin \"" + uiModulePath() + "\";"), MS::kSuccess);
    EXPECT_TRUE(host::PluginManager::isLoaded("uiModule"));
    EXPECT_NE(errors().find("loadPlugin: The interface creation procedure \"uiFailingCreateBatch\" of plug-in "
                            "\"uiModule\" failed.\n"),
              std::string::npos)
        << errors();
}

TEST_F(PluginInterface, RegisteringOutsideInitializePluginFails)
{
    ASSERT_EQ(run(logging("uiModuleCreate") + logging("uiModuleDelete") + logging("uiModuleCreateBatch") +
                  logging("uiModuleDeleteBatch")),
              MS::kSuccess);
    ASSERT_EQ(run("loadPlugin \"" + uiModulePath() + "\";"), MS::kSuccess);
    host::MelValue late;
    ASSERT_EQ(run("uiModuleLateRegister;", &late), MS::kSuccess);
    EXPECT_EQ(late.asString(), "0");
}

} // namespace
