// World-matrix callbacks see the new matrix: a callback that reads the watched path's
// matrix while the change spreads gets the moved value, on every move.

#include "SceneTestSupport.h"

#include "support/TestValues.h"

#include <maya/MDagMessage.h>
#include <maya/MDagPath.h>
#include <maya/MMatrix.h>
#include <maya/MSelectionList.h>

#include <vector>

namespace {

struct MatrixLog
{
    MDagPath path;
    std::vector<MMatrix> seen;
};

void readMatrix(MObject&, MDagMessage::MatrixModifiedFlags&, void* clientData)
{
    auto* log = static_cast<MatrixLog*>(clientData);
    log->seen.push_back(log->path.inclusiveMatrix());
}

} // namespace

// One channel set on its own reaches the shape through the compound's children; the callback
// runs once per change, after the change has spread, even for the very first change; after a
// move it reads the moved matrix, every time.
TEST_F(SceneTest, WorldMatrixCallbackSeesEachChannelChangeAndMoveOnce)
{
    ASSERT_TRUE(run("polyPlane -n plane"));
    MatrixLog log{pathNamed("planeShape"), {}};
    MStatus status;
    const MCallbackId id = MDagMessage::addWorldMatrixModifiedCallback(log.path, readMatrix, &log, &status);
    ASSERT_TRUE(status);

    ASSERT_TRUE(run("setAttr plane.translateX -3"));
    ASSERT_EQ(log.seen.size(), 1u);
    EXPECT_DOUBLE_EQ(log.seen.back()(3, 0), -3.0);
    ASSERT_TRUE(run("setAttr plane.translateZ 2"));
    ASSERT_EQ(log.seen.size(), 2u);
    EXPECT_DOUBLE_EQ(log.seen.back()(3, 0), -3.0);
    EXPECT_DOUBLE_EQ(log.seen.back()(3, 2), 2.0);
    ASSERT_TRUE(run("setAttr plane.scaleY 4"));
    ASSERT_EQ(log.seen.size(), 3u);
    EXPECT_DOUBLE_EQ(log.seen.back()(1, 1), 4.0);
    for (int move = 1; move <= 2; ++move) {
        log.seen.clear();
        ASSERT_TRUE(run("move -r 1 2 3 plane"));
        ASSERT_FALSE(log.seen.empty()) << "move " << move;
        EXPECT_DOUBLE_EQ(log.seen.back()(3, 0), move - 3.0);
        EXPECT_DOUBLE_EQ(log.seen.back()(3, 1), 2.0 * move);
        EXPECT_DOUBLE_EQ(log.seen.back()(3, 2), 3.0 * move + 2.0);
    }
    EXPECT_TRUE(MMessage::removeCallback(id));
}
