// "pellixDataBind" on a driver that already has an overlay: replacing it with its settings,
// name and tracked controls, rebinding some patches only, damaged stored bindings, and undo
// and redo restoring the saved scene text.

#include "BindCommandSupport.h"

#include "commands/MessageOutput.h"

#include <maya/MDGMessage.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MMessage.h>
#include <maya/MPlug.h>
#include <maya/MSelectionList.h>

#include <climits>
#include <string>
#include <vector>

namespace {

std::string messages(const host::MessageCapture& capture, host::MessageKind kind)
{
    return capture.text(kind).asChar();
}

class BindCommandRebind : public PellixPluginTest
{
protected:
    void SetUp() override
    {
        PellixPluginTest::SetUp();
        makeDriver("driver", fGrid);
        makePatch("patchA", fGrid, {0, 5, 6, 1}, {{0, 1, 2, 3}});
        makePatch("patchB", fGrid, {2, 7, 8, 3, 9, 4}, {{0, 1, 2, 3}, {3, 2, 4, 5}});
        makePatch("patchC", fGrid, {24, 18, 19}, {{1, 0, 2}});
        ASSERT_TRUE(undoableMel("pellixDataBind driver patchA patchB patchC"));
    }

    // Every stored array, keyed by what a reader would compare.
    std::vector<std::vector<int>> storedArrays(const std::string& shape)
    {
        std::vector<std::vector<int>> arrays;
        for (const char* name : {"pvc", "pdvi", "pto", "ptc", "pti", "peo", "pec", "pei"})
            arrays.push_back(intArray(shape + "." + name));
        return arrays;
    }

    void setStored(const char* attribute, const std::vector<int>& values)
    {
        std::string command = "setAttr pellixDataOverlayShape." + std::string(attribute) + " -type Int32Array " +
                              std::to_string(values.size());
        for (int v : values)
            command += " " + std::to_string(v);
        ASSERT_TRUE(undoableMel(command));
    }

    DriverGrid fGrid;
};

} // namespace

TEST_F(BindCommandRebind, ReplacingKeepsUserNameSettingsAndTrackedControls)
{
    ASSERT_TRUE(mel("rename pellixDataOverlay faceRig"));
    ASSERT_TRUE(mel("setAttr pellixDataOverlayShape.color 1 0 0.5"));
    ASSERT_TRUE(mel("setAttr pellixDataOverlayShape.selectedColor 0 0 1"));
    ASSERT_TRUE(mel("setAttr pellixDataOverlayShape.liveDraw 1"));
    ASSERT_TRUE(mel("setAttr pellixDataOverlayShape.drawWireframe 1"));
    ASSERT_TRUE(mel("setAttr pellixDataOverlayShape.transparency 0.25"));
    ASSERT_TRUE(mel("setAttr pellixDataOverlayShape.readoutTextSize 20"));
    ASSERT_TRUE(mel("createNode shapeControl -name sc1"));
    ASSERT_TRUE(mel("createNode shapeControl -name sc2"));
    ASSERT_TRUE(mel("createNode transform -name notAControl"));
    // Sparse, with a repeat and a node of another type: kept in order, each once.
    ASSERT_TRUE(mel("connectAttr sc2.message pellixDataOverlayShape.trackedShapeControls[2]"));
    ASSERT_TRUE(mel("connectAttr notAControl.message pellixDataOverlayShape.trackedShapeControls[4]"));
    ASSERT_TRUE(mel("connectAttr sc1.message pellixDataOverlayShape.trackedShapeControls[7]"));
    ASSERT_TRUE(mel("connectAttr sc2.message pellixDataOverlayShape.trackedShapeControls[9]"));
    const std::string before = sceneText();

    host::MessageCapture capture;
    MString shape;
    ASSERT_TRUE(undoableMel("pellixDataBind -bindTolerance 0.001 driver patchC patchA", &shape));
    EXPECT_EQ(shape, "faceRigShape");
    EXPECT_EQ(melStrings("ls -type pellixDataOverlay").length(), 1u);
    EXPECT_EQ(melStrings("listRelatives -parent faceRigShape")[0], "faceRig");
    EXPECT_EQ(intArray("faceRigShape.patchVertexCounts"), (std::vector<int>{3, 4}));
    EXPECT_EQ(intArray("faceRigShape.patchDriverVertexIndices"), (std::vector<int>{24, 18, 19, 0, 5, 6, 1}));
    EXPECT_DOUBLE_EQ(melDouble("getAttr faceRigShape.bindTolerance"), 0.001);
    EXPECT_FLOAT_EQ(static_cast<float>(melDouble("getAttr faceRigShape.colorB")), 0.5f);
    EXPECT_FLOAT_EQ(static_cast<float>(melDouble("getAttr faceRigShape.colorR")), 1.0f);
    EXPECT_FLOAT_EQ(static_cast<float>(melDouble("getAttr faceRigShape.selectedColorB")), 1.0f);
    EXPECT_FLOAT_EQ(static_cast<float>(melDouble("getAttr faceRigShape.transparency")), 0.25f);
    EXPECT_EQ(melInt("getAttr faceRigShape.liveDraw"), 1);
    EXPECT_EQ(melInt("getAttr faceRigShape.drawWireframe"), 1);
    EXPECT_EQ(melInt("getAttr faceRigShape.readoutTextSize"), 20);
    EXPECT_EQ(messageSources("faceRigShape.trackedShapeControls", 3), (std::vector<std::string>{"sc2", "sc1", ""}));
    EXPECT_EQ(messages(capture, host::MessageKind::kInfo),
              "pellixDataBind created data overlay with 2 patch(es); 7 vertices matched at bind tolerance 0.001.\n");
    const std::string after = sceneText();

    ASSERT_TRUE(mel("undo"));
    EXPECT_EQ(sceneText(), before);
    EXPECT_EQ(intArray("pellixDataOverlayShape.patchVertexCounts"), (std::vector<int>{4, 6, 3}));
    ASSERT_TRUE(mel("redo"));
    EXPECT_EQ(sceneText(), after);
    EXPECT_EQ(melStrings("ls -type pellixDataOverlay").length(), 1u);
}

TEST_F(BindCommandRebind, NewNameReplacesTheOldOne)
{
    EXPECT_EQ(melString("pellixDataBind -name lips driver patchB"), "lipsShape");
    EXPECT_EQ(melStrings("ls -type pellixDataOverlay").length(), 1u);
    EXPECT_EQ(melInt("objExists pellixDataOverlay"), 0);
}

TEST_F(BindCommandRebind, PartialRebindKeepsOrderControlsAndUnchangedPatches)
{
    ASSERT_TRUE(mel("createNode transform -name ctrlB"));
    ASSERT_TRUE(mel("connectAttr -force ctrlB.message pellixDataOverlayShape.patchControl[1]"));
    ASSERT_TRUE(mel("disconnectAttr patchC.message pellixDataOverlayShape.patchControl[2]"));
    const std::vector<std::vector<int>> old = storedArrays("pellixDataOverlayShape");
    // Patch B moves one row up the driver.
    ASSERT_TRUE(mel("move 0 0 1 patchB"));

    host::MessageCapture capture;
    EXPECT_EQ(melString("pellixDataBind -partialRebind true driver patchB"), "pellixDataOverlayShape");
    const std::vector<std::vector<int>> now = storedArrays("pellixDataOverlayShape");
    EXPECT_EQ(now[0], old[0]);
    EXPECT_EQ(now[1], (std::vector<int>{0, 5, 6, 1, 7, 12, 13, 8, 14, 9, 24, 18, 19}));
    for (size_t i = 2; i < old.size(); ++i)
        EXPECT_EQ(now[i], old[i]) << i;
    EXPECT_EQ(messageSources("pellixDataOverlayShape.patchSourceMeshes", 3),
              (std::vector<std::string>{"patchAShape", "patchBShape", "patchCShape"}));
    // A carried control stays; a patch without one gets its click target again.
    EXPECT_EQ(messageSources("pellixDataOverlayShape.patchControl", 3),
              (std::vector<std::string>{"patchA", "ctrlB", "patchC"}));
    EXPECT_EQ(messages(capture, host::MessageKind::kInfo),
              "pellixDataBind rebound 1 selected patch(es); preserved 2 unchanged patch(es); 6 vertices rematched at "
              "bind tolerance 0.0001.\n");
}

TEST_F(BindCommandRebind, PartialRebindOfAForeignPatchNamesIt)
{
    makePatch("patchD", fGrid, {10, 15, 16, 11}, {{0, 1, 2, 3}});
    const std::string before = sceneText();
    host::MessageCapture capture;
    EXPECT_FALSE(mel("pellixDataBind -partialRebind true driver patchA patchD"));
    EXPECT_EQ(messages(capture, host::MessageKind::kError),
              "pellixDataBind: selected patch is not part of the existing overlay: |patchD|patchDShape\n");
    EXPECT_EQ(sceneText(), before);
}

TEST_F(BindCommandRebind, DamagedStoredBindingsAreRefusedNotRead)
{
    struct Damage
    {
        const char* what;
        const char* attribute;
        std::vector<int> values;
        const char* error;
    };
    const char* const invalid = "pellixDataBind: existing overlay topology is invalid; use a full Rebind.\n";
    const char* const incomplete = "pellixDataBind: existing overlay topology is incomplete; use a full Rebind.\n";
    const Damage damages[] = {
        // Patch A is rebound, so its negative count is only met as the start of the next copy.
        {"negative count before a copied patch", "pvc", {-4, 6, 3}, invalid},
        {"counts whose sum wraps in 32 bits", "pvc", {INT_MAX, INT_MAX, 3}, invalid},
        {"vertex slice past the end", "pvc", {4, 6, 4}, invalid},
        {"triangle offset plus count wraps", "pto", {0, INT_MAX, 18}, invalid},
        {"negative edge offset", "peo", {0, -8, 22}, invalid},
        {"edge counts shorter than the patches", "pec", {8, 14}, incomplete},
        {"triangle offsets shorter than the patches", "pto", {0}, incomplete},
        {"no patches stored", "pvc", {},
         "pellixDataBind: existing overlay binding data could not be read; use a full Rebind.\n"},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        const std::vector<std::vector<int>> healthy = storedArrays("pellixDataOverlayShape");
        setStored(damage.attribute, damage.values);
        const std::string before = sceneText();
        host::MessageCapture capture;
        EXPECT_FALSE(mel("pellixDataBind -partialRebind true driver patchA"));
        EXPECT_EQ(messages(capture, host::MessageKind::kError), damage.error);
        EXPECT_EQ(sceneText(), before);
        ASSERT_TRUE(mel("undo"));
        EXPECT_EQ(storedArrays("pellixDataOverlayShape"), healthy);
    }
}

TEST_F(BindCommandRebind, MissingPatchSourceNeedsAFullRebind)
{
    ASSERT_TRUE(mel("disconnectAttr patchBShape.message pellixDataOverlayShape.patchSourceMeshes[1]"));
    host::MessageCapture capture;
    EXPECT_FALSE(mel("pellixDataBind -partialRebind true driver patchA"));
    EXPECT_EQ(messages(capture, host::MessageKind::kError),
              "pellixDataBind: an existing patch source is missing; use a full Rebind.\n");
    capture.clear();
    // A full rebind starts afresh.
    ASSERT_TRUE(mel("pellixDataBind driver patchA patchB"));
    EXPECT_EQ(intArray("pellixDataOverlayShape.patchVertexCounts"), (std::vector<int>{4, 6}));
}

TEST_F(BindCommandRebind, UndoAndRedoOfAFirstBindRestoreTheSavedScene)
{
    ASSERT_TRUE(mel("undo"));  // the fixture's bind
    const std::string empty = sceneText();
    EXPECT_EQ(melStrings("ls -type pellixDataOverlay").length(), 0u);

    ASSERT_TRUE(undoableMel("pellixDataBind -hidePatches true driver patchA patchC"));
    const std::string bound = sceneText();
    EXPECT_EQ(melInt("getAttr patchA.visibility"), 0);
    ASSERT_TRUE(mel("undo"));
    EXPECT_EQ(sceneText(), empty);
    EXPECT_EQ(melInt("getAttr patchA.visibility"), 1);
    ASSERT_TRUE(mel("redo"));
    EXPECT_EQ(sceneText(), bound);
    EXPECT_EQ(melInt("getAttr patchC.visibility"), 0);
    EXPECT_EQ(intArray("pellixDataOverlayShape.patchVertexCounts"), (std::vector<int>{4, 3}));
}

TEST_F(BindCommandRebind, PatchesTheRigKeepsVisibleStayVisibleWithAWarning)
{
    ASSERT_TRUE(mel("setAttr -lock true patchC.visibility; createNode transform -n switch; "
                    "connectAttr switch.visibility patchA.visibility"));
    host::MessageCapture capture;
    EXPECT_EQ(melString("pellixDataBind -hidePatches true driver patchA patchB patchC"), "pellixDataOverlayShape");
    EXPECT_EQ(messages(capture, host::MessageKind::kWarning),
              "pellixDataBind: patch patchA stays visible: its visibility is connected.\n"
              "pellixDataBind: patch patchC stays visible: its visibility is locked.\n");
    EXPECT_EQ(melInt("getAttr patchA.visibility") + melInt("getAttr patchC.visibility"), 2);
    EXPECT_EQ(melInt("getAttr patchB.visibility"), 0);
    EXPECT_EQ(intArray("pellixDataOverlayShape.patchVertexCounts"), (std::vector<int>{4, 6, 3}));
}

namespace {

// Locks a plug once a bind starts connecting its new overlay, so that hiding a patch fails
// after the overlay was made and partly filled.
class LockWhenOverlayIsConnected
{
public:
    explicit LockWhenOverlayIsConnected(const char* plug) : fPlug(plug)
    {
        fId = MDGMessage::addConnectionCallback(lock, this);
    }
    ~LockWhenOverlayIsConnected()
    {
        MMessage::removeCallback(fId);
        mel(std::string("setAttr -lock false ") + fPlug);
    }

private:
    static void lock(MPlug&, MPlug& destination, bool made, void* data)
    {
        if (!made || MFnDependencyNode(destination.node()).typeName() != "pellixDataOverlay")
            return;
        MSelectionList list;
        MPlug plug;
        if (list.add(static_cast<LockWhenOverlayIsConnected*>(data)->fPlug) && list.getPlug(0, plug))
            plug.setLocked(true);
    }

    const char* fPlug;
    MCallbackId fId = 0;
};

} // namespace

TEST_F(BindCommandRebind, FailureAfterCreationLeavesNoHalfBuiltOverlay)
{
    const std::string withOldOverlay = sceneText();
    {
        LockWhenOverlayIsConnected sabotage("patchC.visibility");
        EXPECT_FALSE(mel("pellixDataBind -hidePatches true -name other driver patchA patchC"));
    }
    EXPECT_EQ(sceneText(), withOldOverlay);
    EXPECT_EQ(melInt("getAttr patchA.visibility"), 1);
    EXPECT_EQ(intArray("pellixDataOverlayShape.patchVertexCounts"), (std::vector<int>{4, 6, 3}));

    ASSERT_TRUE(mel("undo"));  // the fixture's bind
    const std::string withoutOverlay = sceneText();
    {
        LockWhenOverlayIsConnected sabotage("patchC.visibility");
        EXPECT_FALSE(mel("pellixDataBind -hidePatches true driver patchA patchC"));
    }
    EXPECT_EQ(sceneText(), withoutOverlay);
    EXPECT_EQ(melStrings("ls -type pellixDataOverlay").length(), 0u);
}
