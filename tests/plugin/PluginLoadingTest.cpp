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

#include <regex>
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

TEST_F(PluginLoading, RegistersItsNodeTypesAndCommandsInOrderAndEveryTypeCanBeCreated)
{
    EXPECT_EQ(registeredNodeTypes(), kNodeTypes);
    EXPECT_EQ(registeredCommands(), kCommands);
    // The locators carry their draw classification.
    EXPECT_EQ(MFnDependencyNode::classification("shapeControl"), MString("drawdb/geometry/shapeControl"));
    EXPECT_EQ(MFnDependencyNode::classification("pellixDataOverlay"), MString("drawdb/geometry/pellixDataOverlay"));
    EXPECT_EQ(MFnDependencyNode::classification("hoverMarker"), MString("drawdb/geometry/hoverMarker"));
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

enum class ItemKind { Node, DrawOverride, GeometryOverride, Command };

struct Item
{
    ItemKind kind;
    const char* name;        // node type, command or classification
    const char* registrant;  // overrides only
    unsigned typeId;         // nodes only
};

// The fifteen steps, in the order the module registers them.
const Item kSteps[] = {
    {ItemKind::Node, "shapeControl", nullptr, 0x140542},
    {ItemKind::DrawOverride, "drawdb/geometry/shapeControl", "shapeControlPlugin", 0},
    {ItemKind::Command, "shapeControlCreate", nullptr, 0},
    {ItemKind::Node, "pellixDataOverlay", nullptr, 0x140548},
    {ItemKind::GeometryOverride, "drawdb/geometry/pellixDataOverlay", "pellixDataOverlayPlugin", 0},
    {ItemKind::Command, "pellixDataBind", nullptr, 0},
    {ItemKind::Command, "pellixPatchCreate", nullptr, 0},
    {ItemKind::Node, "hoverMarker", nullptr, 0x140547},
    {ItemKind::DrawOverride, "drawdb/geometry/hoverMarker", "hoverMarkerPlugin", 0},
    {ItemKind::Command, "surfacePinBind", nullptr, 0},
    {ItemKind::Node, "surfacePin", nullptr, 0x140545},
    {ItemKind::Command, "surfaceUVPinBind", nullptr, 0},
    {ItemKind::Node, "surfaceUVPin", nullptr, 0x140546},
    {ItemKind::Command, "vertexWrap", nullptr, 0},
    {ItemKind::Node, "vertexWrap", nullptr, 0x140544},
};
const unsigned kStepCount = sizeof(kSteps) / sizeof(kSteps[0]);

const char* const kClashOwner = "clashingPlugin";
const char* const kTestPluginName = "pellixOrderTest";

void* noCommand()
{
    return nullptr;
}
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

// A host node type that takes the step's name (or, with `byId`, only its type id).
host::NodeTypeInfo clashingNodeType(const Item& item, bool byId)
{
    host::NodeTypeInfo info;
    info.name = byId ? "clashingTypeName" : item.name;
    info.id = MTypeId(byId ? item.typeId : 0x7f0001u);
    info.creator = noNode;
    info.initialize = noAttributes;
    info.pluginName = kClashOwner;
    return info;
}

MStatus addClash(const Item& item, bool byId)
{
    switch (item.kind) {
    case ItemKind::Node:
        return host::registerNodeType(clashingNodeType(item, byId));
    case ItemKind::Command:
        return host::registerPluginCommand(item.name, noCommand, nullptr, kClashOwner);
    case ItemKind::DrawOverride:
        return MHWRender::MDrawRegistry::registerDrawOverrideCreator(item.name, item.registrant, noDrawOverride);
    case ItemKind::GeometryOverride:
        return MHWRender::MDrawRegistry::registerGeometryOverrideCreator(item.name, item.registrant,
                                                                         noGeometryOverride);
    }
    return MS::kFailure;
}

MStatus removeClash(const Item& item, bool byId)
{
    switch (item.kind) {
    case ItemKind::Node:
        return host::deregisterNodeType(clashingNodeType(item, byId).id);
    case ItemKind::Command:
        return host::deregisterPluginCommand(item.name, kClashOwner);
    case ItemKind::DrawOverride:
        return MHWRender::MDrawRegistry::deregisterDrawOverrideCreator(item.name, item.registrant);
    case ItemKind::GeometryOverride:
        return MHWRender::MDrawRegistry::deregisterGeometryOverrideCreator(item.name, item.registrant);
    }
    return MS::kFailure;
}

// Whether the module under test holds the item (and not the clash the test put there).
bool registeredByModule(const Item& item)
{
    switch (item.kind) {
    case ItemKind::Node: {
        const host::NodeTypeInfo* info = host::findNodeType(MString(item.name));
        return info && info->pluginName == kTestPluginName && info->id == MTypeId(item.typeId);
    }
    case ItemKind::Command: {
        const host::CommandEntry* entry = host::findCommand(item.name);
        return entry && entry->plugin == kTestPluginName;
    }
    case ItemKind::DrawOverride:
    case ItemKind::GeometryOverride: {
        const bool draw = item.kind == ItemKind::DrawOverride;
        for (const host::DrawOverrideEntry& entry : host::drawRegistryEntries()) {
            if (entry.kind == (draw ? host::DrawOverrideEntry::kDrawOverride : host::DrawOverrideEntry::kGeometryOverride) &&
                entry.classification == item.name && entry.registrantId == item.registrant) {
                return draw ? entry.drawCreator != noDrawOverride : entry.geometryCreator != noGeometryOverride;
            }
        }
        return false;
    }
    }
    return false;
}

// The built module opened directly, so that its entry point can be called with a plug-in
// object of the test's own and what it left registered inspected afterwards.
class ModuleUnderTest
{
public:
    ModuleUnderTest() : fHandle(dlopen(PELLIX_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL)) {}
    ~ModuleUnderTest()
    {
        if (fHandle) {
            dlclose(fHandle);
        }
    }

    MStatus initialize()
    {
        typedef MStatus (*EntryPoint)(MObject);
        EntryPoint entry = fHandle ? reinterpret_cast<EntryPoint>(dlsym(fHandle, "initializePlugin")) : nullptr;
        if (!entry) {
            ADD_FAILURE() << "cannot open the module or find initializePlugin";
            return MS::kFailure;
        }
        MObject plugin = host::ObjectAccess::make(
            new host::PluginRecord(kTestPluginName, PELLIX_PLUGIN_PATH, fHandle));
        return entry(plugin);
    }

private:
    void* fHandle;
};

// Takes back whatever the module under test registered before it stopped.
void removeModuleLeftovers(unsigned failedStep)
{
    for (unsigned i = 0; i < failedStep; ++i) {
        const Item& item = kSteps[i];
        switch (item.kind) {
        case ItemKind::Node:
            EXPECT_TRUE(host::deregisterNodeType(MTypeId(item.typeId))) << item.name;
            break;
        case ItemKind::Command:
            EXPECT_TRUE(host::deregisterPluginCommand(item.name, kTestPluginName)) << item.name;
            break;
        default:
            EXPECT_TRUE(removeClash(item, false)) << item.name;
            break;
        }
    }
}

struct FailingStep
{
    unsigned step;  // index into kSteps
    bool byId;      // nodes: clash by type id instead of by name
};

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

class RegistrationOrder : public ModuleDrivenDirectly, public ::testing::WithParamInterface<FailingStep>
{
};

} // namespace

TEST_P(RegistrationOrder, StopsAtTheFirstFailingStep)
{
    const FailingStep failing = GetParam();
    const Item& clash = kSteps[failing.step];
    SCOPED_TRACE(clash.name);
    ASSERT_TRUE(addClash(clash, failing.byId));

    std::string reported;
    MStatus status;
    {
        ModuleUnderTest module;
        StderrCapture stderrText;
        status = module.initialize();
        reported = stderrText.finish();

        EXPECT_FALSE(status);
        for (unsigned i = 0; i < kStepCount; ++i) {
            EXPECT_EQ(registeredByModule(kSteps[i]), i < failing.step) << "step " << i + 1 << ": " << kSteps[i].name;
        }
        removeModuleLeftovers(failing.step);
    }
    EXPECT_TRUE(removeClash(clash, failing.byId));

    EXPECT_NE(reported.find("pluginMain"), std::string::npos) << reported;
    EXPECT_TRUE(std::regex_search(reported, std::regex("pluginMain[^0-9\\n]*[0-9]+"))) << reported;
}

INSTANTIATE_TEST_SUITE_P(EachKindOfStep, RegistrationOrder,
                         ::testing::Values(FailingStep{0, false},   // the very first node
                                           FailingStep{2, false},   // a command
                                           FailingStep{4, false},   // the geometry override
                                           FailingStep{8, false},   // a draw override
                                           FailingStep{9, false},   // "surfacePinBind"
                                           FailingStep{12, true},   // a node clashing by type id
                                           FailingStep{14, false}), // the last step
                         [](const ::testing::TestParamInfo<FailingStep>& info) {
                             return "Step" + std::to_string(info.param.step + 1) + (info.param.byId ? "ById" : "");
                         });

TEST_F(ModuleDrivenDirectly, DifferentFailingStepsReportDifferentLines)
{
    // Two failing steps are told apart by the reported line.
    std::vector<std::string> lines;
    for (unsigned step : {2u, 9u}) {
        const Item& clash = kSteps[step];
        ASSERT_TRUE(addClash(clash, false));
        std::string reported;
        {
            ModuleUnderTest module;
            StderrCapture stderrText;
            EXPECT_FALSE(module.initialize());
            reported = stderrText.finish();
            removeModuleLeftovers(step);
        }
        EXPECT_TRUE(removeClash(clash, false));
        std::smatch match;
        ASSERT_TRUE(std::regex_search(reported, match, std::regex("pluginMain[^0-9\\n]*([0-9]+)"))) << reported;
        lines.push_back(match[1]);
    }
    EXPECT_NE(lines[0], lines[1]);
}
