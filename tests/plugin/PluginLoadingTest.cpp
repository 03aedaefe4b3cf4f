// Loading and unloading the module: what it registers, that it can come and go repeatedly
// in one process, and that it will not leave the scene holding nodes of its types.

#include "PluginTestSupport.h"

#include "commands/CommandRegistry.h"
#include "commands/PluginRecord.h"
#include "commands/Session.h"
#include "dg/Object.h"
#include "dg/Registry.h"
#include "support/TestValues.h"
#include "viewport/DrawRegistryState.h"

#include <maya/MDrawRegistry.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MObject.h>
#include <maya/MPxDrawOverride.h>
#include <maya/MPxGeometryOverride.h>
#include <maya/MTypeId.h>
#include <maya/MTypes.h>

#include <dlfcn.h>

#include <algorithm>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> kNodeTypes = {"shapeControl", "pellixDataOverlay", "hoverMarker",
                                             "surfacePin",   "surfaceUVPin",      "vertexWrap"};
const std::vector<std::string> kCommands = {"shapeControlCreate", "pellixDataBind", "pellixPatchCreate", "surfacePinBind",
                                            "surfaceUVPinBind", "vertexWrap"};

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

TEST_F(PluginLoading, RegistersItsTypesAndCommandsInOrderAgainEachTimeItIsLoaded)
{
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(isPellixLoaded());
        ASSERT_TRUE(mel("createNode pellixDataOverlay; file -force -new"));

        ASSERT_TRUE(mel(std::string("unloadPlugin ") + kPluginName));
        EXPECT_FALSE(isPellixLoaded());
        EXPECT_FALSE(mel("createNode pellixDataOverlay"));
        for (const std::string& command : kCommands) {
            EXPECT_FALSE(commandExists(command)) << command;
        }

        ASSERT_TRUE(loadPellix());
        EXPECT_EQ(registeredNodeTypes(), kNodeTypes);
        EXPECT_EQ(registeredCommands(), kCommands);
        // The locators carry their draw classification; every type can be created.
        for (const char* locator : {"shapeControl", "pellixDataOverlay", "hoverMarker"}) {
            EXPECT_EQ(MFnDependencyNode::classification(locator), MString("drawdb/geometry/") + locator);
        }
        for (const std::string& type : kNodeTypes) {
            const MString name = melString("createNode " + type);
            EXPECT_EQ(melString(std::string("nodeType ") + name.asChar()), MString(type.c_str())) << type;
        }
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

TEST_F(PluginLoading, UnloadIsRefusedWhileAnOverlayExistsUnlessForced)
{
    ASSERT_TRUE(mel("createNode pellixDataOverlay -name overlayShape"));
    {
        host::MessageCapture capture;
        EXPECT_FALSE(mel(std::string("unloadPlugin ") + kPluginName));
        EXPECT_EQ(std::string(capture.text(host::MessageKind::kError).asChar()),
                  "unloadPlugin: Cannot unload plug-in \"pellix\": 1 node of its types is in the scene (use -force to "
                  "unload anyway).\n");
    }
    EXPECT_TRUE(isPellixLoaded());
    EXPECT_TRUE(melInt("objExists overlayShape"));
    EXPECT_EQ(melString("nodeType overlayShape"), MString("pellixDataOverlay"));

    // Forced, it removes the overlay and the plug-in, and says what it deleted.
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
    EXPECT_EQ(std::string(version), std::to_string(MAYA_API_VERSION));
    dlclose(handle);
}

namespace {

// The module's fifteen registrations in order: N node type, D draw override, G geometry
// override, C command (overrides are registered as "<type>Plugin").
const std::vector<std::string> kSteps = {
    "N shapeControl",      "D drawdb/geometry/shapeControl",      "C shapeControlCreate",
    "N pellixDataOverlay", "G drawdb/geometry/pellixDataOverlay", "C pellixDataBind",
    "C pellixPatchCreate", "N hoverMarker",                       "D drawdb/geometry/hoverMarker",
    "C surfacePinBind",    "N surfacePin",                        "C surfaceUVPinBind",
    "N surfaceUVPin",      "C vertexWrap",                        "N vertexWrap"};

const char* const kClashOwner = "clashingPlugin";
const char* const kTestPluginName = "pellixOrderTest";

void* noNode()
{
    return nullptr;
}
MStatus noAttributes()
{
    return MS::kSuccess;
}
MHWRender::MPxDrawOverride* noDrawOverride(const MObject&)
{
    return nullptr;
}
MHWRender::MPxGeometryOverride* noGeometryOverride(const MObject&)
{
    return nullptr;
}

// Puts (or with `add` false takes back) something of another plug-in where a step registers:
// the step's name, or for a node with `typeId` set only its type id.
MStatus clash(const std::string& step, unsigned typeId, bool add)
{
    const MString name(step.c_str() + 2);
    const MString registrant = MString(step.substr(step.rfind('/') + 1).c_str()) + "Plugin";
    host::NodeTypeInfo node;
    node.name = typeId ? MString("clashingTypeName") : name;
    node.id = MTypeId(typeId ? typeId : 0x7f0001u);
    node.creator = noNode;
    node.initialize = noAttributes;
    node.pluginName = kClashOwner;
    switch (step[0]) {
    case 'N':
        return add ? host::registerNodeType(node) : host::deregisterNodeType(node.id);
    case 'C':
        return add ? host::registerPluginCommand(name, noNode, nullptr, kClashOwner)
                   : host::deregisterPluginCommand(name, kClashOwner);
    case 'D':
        return add ? MHWRender::MDrawRegistry::registerDrawOverrideCreator(name, registrant, noDrawOverride)
                   : MHWRender::MDrawRegistry::deregisterDrawOverrideCreator(name, registrant);
    default:
        return add ? MHWRender::MDrawRegistry::registerGeometryOverrideCreator(name, registrant, noGeometryOverride)
                   : MHWRender::MDrawRegistry::deregisterGeometryOverrideCreator(name, registrant);
    }
}

// What the module under test registered, as sorted steps; each is taken back as it is found.
std::vector<std::string> takeBackModuleSteps()
{
    std::vector<std::string> held;
    for (const MString& type : host::nodeTypesOfPlugin(kTestPluginName)) {
        held.push_back(std::string("N ") + type.asChar());
        EXPECT_TRUE(host::deregisterNodeType(host::findNodeType(type)->id)) << type;
    }
    for (const MString& command : host::commandsOfPlugin(kTestPluginName)) {
        held.push_back(std::string("C ") + command.asChar());
        EXPECT_TRUE(host::deregisterPluginCommand(command, kTestPluginName)) << command;
    }
    for (const host::DrawOverrideEntry& entry : host::drawRegistryEntries()) {
        const bool draw = entry.kind == host::DrawOverrideEntry::kDrawOverride;
        if (draw ? entry.drawCreator != noDrawOverride : entry.geometryCreator != noGeometryOverride) {
            held.push_back((draw ? "D " : "G ") + std::string(entry.classification.asChar()));
            EXPECT_TRUE(clash(held.back(), 0, false)) << held.back();
        }
    }
    std::sort(held.begin(), held.end());
    return held;
}

class ModuleDrivenDirectly : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The module must not be loaded through the host while it is driven directly.
        if (isPellixLoaded()) {
            ASSERT_TRUE(mel("file -force -new"));
            ASSERT_TRUE(mel(std::string("unloadPlugin ") + kPluginName));
        }
    }
};

} // namespace

TEST_F(ModuleDrivenDirectly, EachKindOfFailingStepStopsTheLoadThereAndReportsItsOwnLine)
{
    // The built module opened directly, its entry point called with a plug-in object of the test's own.
    void* handle = dlopen(PELLIX_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    const auto entry = reinterpret_cast<MStatus (*)(MObject)>(dlsym(handle, "initializePlugin"));
    ASSERT_NE(entry, nullptr);
    std::set<std::string> lines;
    // The first node, a command, the geometry override, a draw override, a node clashing by
    // type id, and the last step.
    const std::pair<unsigned, unsigned> kFailing[] = {{0, 0}, {2, 0}, {4, 0}, {8, 0}, {9, 0}, {12, 0x140546}, {14, 0}};
    for (const auto& failing : kFailing) {
        const std::string& step = kSteps[failing.first];
        SCOPED_TRACE(step);
        ASSERT_TRUE(clash(step, failing.second, true));
        StderrCapture stderrText;
        EXPECT_FALSE(entry(host::ObjectAccess::make(new host::PluginRecord(kTestPluginName, PELLIX_PLUGIN_PATH, handle))));
        const std::string reported = stderrText.finish();
        std::vector<std::string> before(kSteps.begin(), kSteps.begin() + failing.first);
        std::sort(before.begin(), before.end());
        EXPECT_EQ(takeBackModuleSteps(), before);
        EXPECT_TRUE(clash(step, failing.second, false));
        std::smatch line;
        ASSERT_TRUE(std::regex_search(reported, line, std::regex("pluginMain[^0-9\\n]*([0-9]+)"))) << reported;
        EXPECT_TRUE(lines.insert(line[1]).second) << reported;
    }
    dlclose(handle);
}
