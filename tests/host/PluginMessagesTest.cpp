// The scene messages around loading and unloading a plug-in: string-array callbacks get the
// file and the plug-in name as Maya passes them, and the before-unload message comes early
// enough for a plug-in to take its own helper nodes out of the scene.

#include "CommandTestSupport.h"

#include "commands/PluginManager.h"

#include <maya/MGlobal.h>
#include <maya/MMessage.h>
#include <maya/MSceneMessage.h>
#include <maya/MStringArray.h>

#include <string>
#include <vector>

namespace {

std::string modulePath(const char* name)
{
    return std::string(PELLIX_TEST_MODULES) + "/" + name + ".so";
}

std::vector<std::string> toVector(const MStringArray& strings)
{
    std::vector<std::string> out;
    for (unsigned i = 0; i < strings.length(); ++i)
        out.push_back(strings[i].asChar());
    return out;
}

struct Recorded
{
    std::vector<std::string> beforeLoad, afterLoad, beforeUnload, afterUnload;
};

class PluginMessages : public CommandTest
{
protected:
    void TearDown() override
    {
        for (MCallbackId id : fIds)
            MMessage::removeCallback(id);
        if (host::PluginManager::isLoaded("sampleModule"))
            host::PluginManager::unload("sampleModule", true);
        CommandTest::TearDown();
    }

    void watch(MSceneMessage::Message message, MMessage::MStringArrayFunction function, void* clientData)
    {
        MStatus status;
        fIds.push_back(MSceneMessage::addStringArrayCallback(message, function, clientData, &status));
        ASSERT_EQ(status, MS::kSuccess);
    }

    std::vector<MCallbackId> fIds;
};

} // namespace

TEST_F(PluginMessages, StringArrayCallbacksGetTheFileAndThePluginName)
{
    Recorded seen;
    watch(MSceneMessage::kBeforePluginLoad,
          [](const MStringArray& s, void* d) { static_cast<Recorded*>(d)->beforeLoad = toVector(s); }, &seen);
    watch(MSceneMessage::kAfterPluginLoad,
          [](const MStringArray& s, void* d) { static_cast<Recorded*>(d)->afterLoad = toVector(s); }, &seen);
    watch(MSceneMessage::kBeforePluginUnload,
          [](const MStringArray& s, void* d) { static_cast<Recorded*>(d)->beforeUnload = toVector(s); }, &seen);
    watch(MSceneMessage::kAfterPluginUnload,
          [](const MStringArray& s, void* d) { static_cast<Recorded*>(d)->afterUnload = toVector(s); }, &seen);

    ASSERT_EQ(run("loadPlugin \"" + modulePath("sampleModule") + "\";"), MS::kSuccess) << errors();
    ASSERT_EQ(seen.beforeLoad.size(), 1u);
    const std::string file = seen.beforeLoad[0];
    EXPECT_EQ(file.substr(file.rfind('/') + 1), "sampleModule.so");
    EXPECT_EQ(seen.afterLoad, (std::vector<std::string>{file, "sampleModule"}));
    EXPECT_TRUE(seen.beforeUnload.empty());

    ASSERT_EQ(run("unloadPlugin sampleModule;"), MS::kSuccess) << errors();
    EXPECT_EQ(seen.beforeUnload, (std::vector<std::string>{"sampleModule"}));
    EXPECT_EQ(seen.afterUnload, (std::vector<std::string>{"sampleModule", file}));
}

TEST_F(PluginMessages, ABeforeUnloadCallbackMayDeleteThePluginsNodesSoUnloadSucceeds)
{
    ASSERT_EQ(run("loadPlugin \"" + modulePath("sampleModule") + "\"; createNode sampleNode -n helper;"),
              MS::kSuccess)
        << errors();
    watch(
        MSceneMessage::kBeforePluginUnload,
        [](const MStringArray& s, void*) {
            if (s.length() == 1 && s[0] == "sampleModule")
                MGlobal::executeCommand("delete helper");
        },
        nullptr);

    EXPECT_EQ(run("unloadPlugin sampleModule;"), MS::kSuccess);
    EXPECT_EQ(errors(), "");
    EXPECT_FALSE(host::PluginManager::isLoaded("sampleModule"));
}
