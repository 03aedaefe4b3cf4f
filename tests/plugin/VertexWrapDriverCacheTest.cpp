// The wrap deformer when the driver's raw points cannot be read (the host's hostMeshFault
// -refuseRawPoints): targets follow the driver through the deformer's own copy of its
// world points, which is built for the driver's current data and dropped when it changes.

#include "PluginTestSupport.h"

#include <maya/MDagPath.h>
#include <maya/MFnMesh.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>

#include <string>

namespace {

MPointArray worldPoints(const std::string& shape)
{
    MSelectionList list;
    MDagPath path;
    EXPECT_TRUE(list.add(shape.c_str()) && list.getDagPath(0, path)) << shape;
    MPointArray points;
    EXPECT_TRUE(MFnMesh(path).getPoints(points, MSpace::kWorld));
    return points;
}

void expectFollowsDriver(const std::string& target)
{
    const MPointArray driver = worldPoints("driverShape");
    const MPointArray followed = worldPoints(target);
    ASSERT_EQ(followed.length(), driver.length()) << target;
    for (unsigned i = 0; i < driver.length(); ++i) {
        EXPECT_LT(followed[i].distanceTo(driver[i]), 1e-5) << target << " vertex " << i;
    }
}

class VertexWrapDriverCache : public PellixPluginTest
{
protected:
    void SetUp() override
    {
        PellixPluginTest::SetUp();
        // Two targets of one deformer, placed away from the driver and each other.
        ASSERT_TRUE(mel("polyPlane -w 2 -h 2 -sx 3 -sy 3 -n driver"));
        ASSERT_TRUE(mel("duplicate -n targetA driver; xform -t 4 1 -2 targetA"));
        ASSERT_TRUE(mel("duplicate -n targetB driver; xform -ro 0 35 10 targetB"));
        ASSERT_TRUE(mel("vertexWrap -n wrap driver targetA targetB"));
        ASSERT_TRUE(mel("hostMeshFault -refuseRawPoints true"));
    }

    void TearDown() override
    {
        EXPECT_TRUE(mel("hostMeshFault -refuseRawPoints false"));
        PellixPluginTest::TearDown();
    }
};

} // namespace

TEST_F(VertexWrapDriverCache, EveryTargetFollowsTheDriverThroughTheCachedPoints)
{
    ASSERT_TRUE(mel("xform -t -3 2 0.5 driver; xform -ro 20 -40 65 driver"));
    ASSERT_TRUE(mel("move -r 0 0.5 0 driver.vtx[5]"));
    expectFollowsDriver("targetAShape");
    expectFollowsDriver("targetBShape");
}

TEST_F(VertexWrapDriverCache, ChangedDriverIsReadAgainNotServedFromTheOldCopy)
{
    expectFollowsDriver("targetAShape");
    for (const char* edit : {"move -r 0 0.5 0 driver.vtx[5]", "move -r 0.25 -1 0 driver.vtx[5] driver.vtx[10]",
                             "xform -t 1 1 1 driver"}) {
        SCOPED_TRACE(edit);
        ASSERT_TRUE(mel(edit));
        expectFollowsDriver("targetAShape");
        expectFollowsDriver("targetBShape");
    }
    // Read back with raw points again, the targets are where the cached path put them.
    const MPointArray cached = worldPoints("targetBShape");
    ASSERT_TRUE(mel("hostMeshFault -refuseRawPoints false; move -r 0 0 0 driver.vtx[0]"));
    const MPointArray raw = worldPoints("targetBShape");
    ASSERT_EQ(raw.length(), cached.length());
    for (unsigned i = 0; i < raw.length(); ++i) {
        EXPECT_LT(raw[i].distanceTo(cached[i]), 1e-5) << "vertex " << i;
    }
}
