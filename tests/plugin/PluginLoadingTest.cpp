// Loading and unloading the module: what it registers, that it can come and go repeatedly
// in one process, and that it will not leave the scene holding nodes of its types.

#include "PluginTestSupport.h"

#include "commands/CommandRegistry.h"
#include "commands/Session.h"

#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>

#include <dlfcn.h>

#include <string>
#include <vector>

namespace {

const std::vector<std::string> kNodeTypes = {"shapeControl", "pellixDataOverlay", "hoverMarker",
                                             "surfacePin",   "surfaceUVPin",      "vertexWrap"};
const std::vector<std::string> kCommands = {"shapeControlCreate", "pellixDataBind", "surfacePinBind",
                                            "surfaceUVPinBind", "vertexWrap"};

std::vector<std::string> toVector(const MStringArray& array)
{
    std::vector<std::string> values;
    for (unsigned i = 0; i < array.length(); ++i) {
        values.push_back(array[i].asChar());
    }
    return values;
}

std::vector<std::string> registeredNodeTypes()
{
    return toVector(melStrings(std::string("pluginInfo -query -dependNode ") + kPluginName));
}

std::vector<std::string> registeredCommands()
{
    return toVector(melStrings(std::string("pluginInfo -query -command ") + kPluginName));
}

bool commandExists(const std::string& name)
{
    return host::findCommand(MString(name.c_str())) != nullptr;
}

class PluginLoading : public PellixPluginTest
{
};

} // namespace

TEST_F(PluginLoading, RegistersItsNodeTypesAndCommandsInOrder)
{
    EXPECT_EQ(registeredNodeTypes(), kNodeTypes);
    EXPECT_EQ(registeredCommands(), kCommands);
}

TEST_F(PluginLoading, LocatorsCarryTheirDrawClassification)
{
    EXPECT_EQ(MFnDependencyNode::classification("shapeControl"), MString("drawdb/geometry/shapeControl"));
    EXPECT_EQ(MFnDependencyNode::classification("pellixDataOverlay"), MString("drawdb/geometry/pellixDataOverlay"));
    EXPECT_EQ(MFnDependencyNode::classification("hoverMarker"), MString("drawdb/geometry/hoverMarker"));
}

TEST_F(PluginLoading, EveryNodeTypeCanBeCreated)
{
    for (const std::string& type : kNodeTypes) {
        const MString name = melString("createNode " + type);
        EXPECT_EQ(melString(std::string("nodeType ") + name.asChar()), MString(type.c_str())) << type;
    }
}

TEST_F(PluginLoading, LoadsAndUnloadsTwiceInOneProcess)
{
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(isPellixLoaded());
        ASSERT_TRUE(mel("createNode pellixDataOverlay"));
        ASSERT_TRUE(mel("file -force -new"));

        ASSERT_TRUE(mel(std::string("unloadPlugin ") + kPluginName));
        EXPECT_FALSE(isPellixLoaded());
        EXPECT_FALSE(mel("createNode pellixDataOverlay"));
        for (const std::string& command : kCommands) {
            EXPECT_FALSE(commandExists(command)) << command;
        }

        ASSERT_TRUE(loadPellix());
        EXPECT_EQ(registeredNodeTypes(), kNodeTypes);
        EXPECT_EQ(registeredCommands(), kCommands);
    }
}

TEST_F(PluginLoading, LoadsWithoutAnErrorWhereItsMenuCannotBeBuilt)
{
    if (melInt("exists pellixCreateMenu")) {
        GTEST_SKIP() << "the menu's scripts are on MAYA_SCRIPT_PATH";
    }
    // Batch mode needs no menu and says nothing; with a window the user learns why there is none.
    for (const MGlobal::MMayaState state : {MGlobal::kBatch, MGlobal::kInteractive}) {
        SCOPED_TRACE(state);
        ASSERT_TRUE(mel(std::string("unloadPlugin ") + kPluginName));
        host::setMayaState(state);
        host::MessageCapture capture;
        StderrCapture apiErrors;
        EXPECT_TRUE(loadPellix());
        host::setMayaState(MGlobal::kBatch);
        EXPECT_EQ(apiErrors.finish(), "");
        EXPECT_EQ(std::string(capture.text(host::MessageKind::kError).asChar()), "");
        EXPECT_EQ(std::string(capture.text(host::MessageKind::kWarning).asChar()),
                  state == MGlobal::kBatch
                      ? ""
                      : "pellix: no Pellix menu: its script pellixCreateMenu.mel is not on MAYA_SCRIPT_PATH.\n");
        EXPECT_EQ(registeredCommands(), kCommands);
    }
}

TEST_F(PluginLoading, UnloadIsRefusedWhileAnOverlayExists)
{
    ASSERT_TRUE(mel("createNode pellixDataOverlay -name overlayShape"));
    {
        host::MessageCapture capture;
        EXPECT_FALSE(mel(std::string("unloadPlugin ") + kPluginName));
        EXPECT_NE(capture.text(host::MessageKind::kError).length(), 0u);
    }
    EXPECT_TRUE(isPellixLoaded());
    EXPECT_TRUE(melInt("objExists overlayShape"));
    EXPECT_EQ(melString("nodeType overlayShape"), MString("pellixDataOverlay"));
}

TEST_F(PluginLoading, ForcedUnloadRemovesTheOverlayAndThePlugin)
{
    ASSERT_TRUE(mel("createNode pellixDataOverlay -name overlayShape"));
    host::MessageCapture capture;
    ASSERT_TRUE(mel(std::string("unloadPlugin -force ") + kPluginName));
    EXPECT_EQ(std::string(capture.text(host::MessageKind::kWarning).asChar()),
              std::string("unloadPlugin: Plug-in \"") + kPluginName +
                  "\" unloaded by force: deleted its node overlayShape.\n");
    EXPECT_FALSE(isPellixLoaded());
    EXPECT_FALSE(melInt("objExists overlayShape"));
}

TEST(PluginModule, ExportsItsEntryPointsVersionAndSignature)
{
    void* handle = dlopen(PELLIX_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    EXPECT_NE(dlsym(handle, "initializePlugin"), nullptr);
    EXPECT_NE(dlsym(handle, "uninitializePlugin"), nullptr);
    EXPECT_NE(dlsym(handle, "ADSK_PLUGIN_SIGNATURE"), nullptr);
    const char* version = static_cast<const char*>(dlsym(handle, "MApiVersion"));
    ASSERT_NE(version, nullptr);
    EXPECT_STREQ(version, "20230300");
    dlclose(handle);
}
