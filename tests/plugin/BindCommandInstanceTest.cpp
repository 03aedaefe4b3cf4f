// "pellixDataBind" on an instanced driver, where each instance has its own world mesh and
// its own overlay, and replacing binds whose deletion of the old overlay or renaming of the
// new one fails.

#include "BindCommandSupport.h"
#include "PinTestSupport.h"

#include "commands/MessageOutput.h"

#include <maya/MDGMessage.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MMessage.h>

#include <string>
#include <vector>

namespace {

class BindCommandInstance : public PellixPluginTest
{
protected:
    void SetUp() override
    {
        PellixPluginTest::SetUp();
        // The driver's shape also sits under "inst", ten units along x: its instance 1.
        makeDriver("driver", fNear);
        ASSERT_TRUE(mel("createNode transform -n inst; setAttr inst.translate 10 0 0"));
        ASSERT_TRUE(mel("parent -add -shape driverShape inst"));
        fFar.x0 = 10.0;
        makePatch("nearPatch", fNear, {0, 5, 6, 1}, {{0, 1, 2, 3}});
        makePatch("farPatch", fFar, {0, 5, 6, 1}, {{0, 1, 2, 3}});
        makePatch("farPatch2", fFar, {2, 7, 8, 3, 9, 4}, {{0, 1, 2, 3}, {3, 2, 4, 5}});
    }

    static std::string bind(const std::string& arguments)
    {
        MString result;
        EXPECT_TRUE(undoableMel("pellixDataBind " + arguments, &result)) << arguments;
        return result.asChar();
    }

    DriverGrid fNear;
    DriverGrid fFar;
};

// Locks the overlay shape a bind creates while the bind deletes the overlay it replaces, so
// that renaming the new shape fails, and unlocks it when the rollback restores the old
// overlay, so that the rollback can delete it again.
class RenameSaboteur
{
public:
    RenameSaboteur()
    {
        fIds.append(MDGMessage::addNodeAddedCallback(nodeAdded, "dependNode", this));
        fIds.append(MDGMessage::addNodeRemovedCallback(nodeRemoved, "dependNode", this));
    }
    ~RenameSaboteur() { MMessage::removeCallbacks(fIds); }

    bool lockedAndUnlocked() const { return fLocked && fUnlocked; }

private:
    static void nodeAdded(MObject& node, void* data)
    {
        auto* self = static_cast<RenameSaboteur*>(data);
        if (self->fNewShape.isNull() && MFnDependencyNode(node).typeName() == "pellixDataOverlay") {
            self->fNewShape = node;
        } else if (self->fLocked && !self->fUnlocked) {
            self->fUnlocked = static_cast<bool>(MFnDependencyNode(self->fNewShape).setLocked(false));
        }
    }

    static void nodeRemoved(MObject&, void* data)
    {
        auto* self = static_cast<RenameSaboteur*>(data);
        if (!self->fNewShape.isNull() && !self->fLocked)
            self->fLocked = static_cast<bool>(MFnDependencyNode(self->fNewShape).setLocked(true));
    }

    MCallbackIdArray fIds;
    MObject fNewShape;
    bool fLocked = false;
    bool fUnlocked = false;
};

} // namespace

TEST_F(BindCommandInstance, EachInstanceFeedsItsOwnOverlayThroughItsWorldMesh)
{
    EXPECT_EQ(bind("-name farOverlay inst farPatch"), "farOverlayShape");
    EXPECT_EQ(pinbind::sourceOf("farOverlayShape.inMesh"), "driverShape.worldMesh[1]");
    EXPECT_EQ(intArray("farOverlayShape.patchDriverVertexIndices"), (std::vector<int>{0, 5, 6, 1}));

    // The first instance's overlay is a new one beside it, not a replacement.
    EXPECT_EQ(bind("-name nearOverlay |driver|driverShape nearPatch"), "nearOverlayShape");
    EXPECT_EQ(pinbind::sourceOf("nearOverlayShape.inMesh"), "driverShape.worldMesh[0]");
    EXPECT_EQ(melStrings("ls -type pellixDataOverlay").length(), 2u);

    // A patch of one instance lies off the other instance's vertices.
    host::MessageCapture capture;
    EXPECT_FALSE(mel("pellixDataBind driver farPatch"));
    EXPECT_EQ(capture.text(host::MessageKind::kError),
              MString("pellixDataBind: patch '|farPatch|farPatchShape' has 4 of 4 vertices outside bind tolerance "
                      "0.0001. Increase Bind Tolerance or align the patch with the driver.\n"));
    EXPECT_EQ(melStrings("ls -type pellixDataOverlay").length(), 2u);
}

TEST_F(BindCommandInstance, RebindThroughAnInstanceReplacesOnlyThatInstancesOverlay)
{
    bind("-name farOverlay inst farPatch");
    bind("-name nearOverlay driver nearPatch");
    ASSERT_TRUE(mel("setAttr farOverlayShape.drawWireframe true"));

    // Replaced by the logical index of its world mesh, keeping its name and settings.
    EXPECT_EQ(bind("|inst|driverShape farPatch farPatch2"), "farOverlayShape");
    EXPECT_EQ(melStrings("ls -type pellixDataOverlay").length(), 2u);
    EXPECT_EQ(pinbind::sourceOf("farOverlayShape.inMesh"), "driverShape.worldMesh[1]");
    EXPECT_EQ(intArray("farOverlayShape.patchVertexCounts"), (std::vector<int>{4, 6}));
    EXPECT_EQ(melInt("getAttr farOverlayShape.drawWireframe"), 1);
    EXPECT_EQ(intArray("nearOverlayShape.patchVertexCounts"), (std::vector<int>{4}));
    EXPECT_EQ(pinbind::sourceOf("nearOverlayShape.inMesh"), "driverShape.worldMesh[0]");

    // A partial rebind finds it the same way.
    EXPECT_EQ(bind("-partialRebind true inst farPatch2"), "farOverlayShape");
    EXPECT_EQ(intArray("farOverlayShape.patchVertexCounts"), (std::vector<int>{4, 6}));
    EXPECT_EQ(intArray("nearOverlayShape.patchVertexCounts"), (std::vector<int>{4}));
}

TEST_F(BindCommandInstance, LockedOldOverlayStopsTheReplacementAndStaysAsItWas)
{
    makePatch("nearPatch2", fNear, {12, 17, 18, 13}, {{0, 1, 2, 3}});
    EXPECT_EQ(bind("driver nearPatch nearPatch2"), "pellixDataOverlayShape");
    ASSERT_TRUE(mel("lockNode -lock true pellixDataOverlay"));
    const std::string before = sceneText();

    // The new overlay is made and filled before the old one is deleted; the deletion fails on
    // the lock and everything the bind did is undone.
    host::MessageCapture capture;
    StderrCapture apiErrors;
    EXPECT_FALSE(mel("pellixDataBind driver nearPatch2"));
    EXPECT_NE(apiErrors.finish().find("API error detected in pellixDataBindCommand"), std::string::npos);
    EXPECT_EQ(sceneText(), before);
    EXPECT_EQ(melStrings("ls -type pellixDataOverlay").length(), 1u);
    EXPECT_EQ(intArray("pellixDataOverlayShape.patchVertexCounts"), (std::vector<int>{4, 4}));
    EXPECT_EQ(pinbind::sourceOf("pellixDataOverlayShape.inMesh"), "driverShape.worldMesh[0]");

    // Unlocked, the same replacement goes through under the old name.
    ASSERT_TRUE(mel("lockNode -lock false pellixDataOverlay"));
    EXPECT_EQ(bind("driver nearPatch2"), "pellixDataOverlayShape");
    EXPECT_EQ(melStrings("ls -type pellixDataOverlay").length(), 1u);
    EXPECT_EQ(intArray("pellixDataOverlayShape.patchVertexCounts"), (std::vector<int>{4}));
}

TEST_F(BindCommandInstance, FailedRenameOfTheNewOverlayRestoresTheOldOne)
{
    makePatch("nearPatch2", fNear, {12, 17, 18, 13}, {{0, 1, 2, 3}});
    EXPECT_EQ(bind("driver nearPatch nearPatch2"), "pellixDataOverlayShape");
    const std::string before = sceneText();
    {
        RenameSaboteur saboteur;
        StderrCapture apiErrors;
        EXPECT_FALSE(mel("pellixDataBind driver nearPatch2"));
        EXPECT_TRUE(saboteur.lockedAndUnlocked());
        EXPECT_NE(apiErrors.finish().find("API error detected in pellixDataBindCommand"), std::string::npos);
    }
    EXPECT_EQ(sceneText(), before);
    EXPECT_EQ(melStrings("ls -type pellixDataOverlay").length(), 1u);
    EXPECT_EQ(intArray("pellixDataOverlayShape.patchVertexCounts"), (std::vector<int>{4, 4}));
    EXPECT_EQ(pinbind::sourceOf("pellixDataOverlayShape.inMesh"), "driverShape.worldMesh[0]");

    // Nothing of the failed run is left to get in the way of the next one.
    EXPECT_EQ(bind("driver nearPatch2"), "pellixDataOverlayShape");
    EXPECT_EQ(intArray("pellixDataOverlayShape.patchVertexCounts"), (std::vector<int>{4}));
}
