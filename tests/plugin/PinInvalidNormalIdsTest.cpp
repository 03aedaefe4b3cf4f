// Both pin bind commands on a mesh whose face-vertex normal ids lie past its normals (given
// by the host's hostMeshFault facility): the user's error, and nothing of the half-run
// bind left behind, whether it made a new node or extended one.

#include "PluginTestSupport.h"
#include "SurfacePinBindTestSupport.h"

#include <string>

using namespace pinbind;

namespace {

class PinInvalidNormalIds : public PellixPluginTest
{
protected:
    void SetUp() override
    {
        PellixPluginTest::SetUp();
        ASSERT_TRUE(mel("polyPlane -w 10 -h 10 -sx 4 -sy 4"));
        for (const char* control : {"c0", "c1"}) {
            ASSERT_TRUE(mel(std::string("createNode transform -n ") + control));
        }
        ASSERT_TRUE(mel("setAttr c0.translate 1.2 1 -3.1; setAttr c1.translate -2 0.5 2.2; setAttr c1.rotateX 30"));
    }

    static std::string errors(const host::MessageCapture& capture)
    {
        return capture.text(host::MessageKind::kError).asChar();
    }
};

} // namespace

TEST_F(PinInvalidNormalIds, NewSurfacePinIsRolledBackWithTheUsersError)
{
    ASSERT_TRUE(mel("hostMeshFault -invalidNormalIds true pPlaneShape1"));
    const std::string before = sceneText();
    host::MessageCapture capture;
    EXPECT_FALSE(mel("surfacePinBind pPlane1 c0 c1"));
    EXPECT_EQ(errors(capture), "surfacePinBind: mesh did not provide valid face-vertex normal ids: pPlaneShape1\n");
    EXPECT_EQ(melStrings("ls -type surfacePin").length(), 0u);
    EXPECT_EQ(sourceOf("c0.offsetParentMatrix"), "");
    EXPECT_EQ(sceneText(), before);

    // The same bind goes through once the mesh is sound again.
    ASSERT_TRUE(mel("hostMeshFault -invalidNormalIds false pPlaneShape1"));
    const std::string pin = melString("surfacePinBind pPlane1 c0 c1").asChar();
    EXPECT_EQ(sourceOf("c1.offsetParentMatrix"), pin + ".outputMatrix[1]");
}

TEST_F(PinInvalidNormalIds, ExtendedSurfacePinKeepsItsControlsAndData)
{
    const std::string pin = melString("surfacePinBind pPlane1 c0").asChar();
    const std::vector<int> vertexIds = intArray(pin + ".vertexIndices");
    ASSERT_TRUE(mel("hostMeshFault -invalidNormalIds true pPlaneShape1"));
    const std::string before = sceneText();

    // Restating the mode reconnects every control, so the rollback has connections to restore.
    host::MessageCapture capture;
    EXPECT_FALSE(mel("surfacePinBind -n " + pin + " -c translate c1"));
    EXPECT_EQ(errors(capture), "surfacePinBind: mesh did not provide valid face-vertex normal ids: pPlaneShape1\n");
    EXPECT_EQ(sourceOf("c0.offsetParentMatrix"), pin + ".outputMatrix[0]");
    EXPECT_EQ(sourceOf("c0.translateX"), "");
    EXPECT_EQ(sourceOf("c1.offsetParentMatrix"), "");
    EXPECT_EQ(intArray(pin + ".vertexIndices"), vertexIds);
    EXPECT_EQ(sceneText(), before);
}

TEST_F(PinInvalidNormalIds, NewSurfaceUVPinIsRolledBackWithTheUsersError)
{
    ASSERT_TRUE(mel("hostMeshFault -invalidNormalIds true pPlaneShape1"));
    const std::string before = sceneText();
    host::MessageCapture capture;
    EXPECT_FALSE(mel("surfaceUVPinBind -mo pPlane1 c0 c1"));
    EXPECT_EQ(errors(capture), "surfaceUVPinBind: mesh did not provide valid face-vertex normal ids: pPlaneShape1\n");
    EXPECT_EQ(melStrings("ls -type surfaceUVPin").length(), 0u);
    EXPECT_EQ(sourceOf("c1.offsetParentMatrix"), "");
    EXPECT_EQ(melDouble("getAttr c1.rotateX"), 30.0);
    EXPECT_EQ(sceneText(), before);

    ASSERT_TRUE(mel("hostMeshFault -invalidNormalIds false pPlaneShape1"));
    const std::string pin = melString("surfaceUVPinBind -mo pPlane1 c0 c1").asChar();
    EXPECT_EQ(sourceOf("c0.offsetParentMatrix"), pin + ".outputMatrix[0]");
}

TEST_F(PinInvalidNormalIds, OnlyTheNamedShapeIsDamagedAndUntilItIsDeleted)
{
    ASSERT_TRUE(mel("polyPlane -w 4 -h 4 -sx 2 -sy 2"));
    ASSERT_TRUE(mel("hostMeshFault -invalidNormalIds true pPlaneShape1"));
    EXPECT_TRUE(mel("surfacePinBind pPlane2 c0"));

    ASSERT_TRUE(mel("delete pPlane1; polyPlane -w 10 -h 10 -sx 4 -sy 4 -n pPlane1"));
    EXPECT_TRUE(mel("surfacePinBind pPlane1 c1"));
}

TEST_F(PinInvalidNormalIds, FacilityRefusesWhatIsNotOneMeshShape)
{
    struct Refusal {
        const char* call;
        const char* error;
    };
    const Refusal refusals[] = {
        {"hostMeshFault pPlaneShape1", "hostMeshFault: give -invalidNormalIds or -refuseRawPoints.\n"},
        {"hostMeshFault -refuseRawPoints true pPlaneShape1", "hostMeshFault: -refuseRawPoints takes no object.\n"},
        {"hostMeshFault -invalidNormalIds maybe pPlaneShape1",
         "hostMeshFault: -invalidNormalIds takes true or false, not \"maybe\".\n"},
        {"hostMeshFault -invalidNormalIds true", "hostMeshFault: name one mesh shape.\n"},
        {"hostMeshFault -invalidNormalIds true pPlane1", "hostMeshFault: pPlane1 is not a mesh shape.\n"},
        {"hostMeshFault -invalidNormalIds true nothingHere", "hostMeshFault: no object matches name: nothingHere\n"},
    };
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.call);
        host::MessageCapture capture;
        EXPECT_FALSE(mel(refusal.call));
        EXPECT_EQ(errors(capture), refusal.error);
    }
}
