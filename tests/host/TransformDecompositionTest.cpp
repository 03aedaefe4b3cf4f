// Splitting a world matrix back into translation, rotation, scale and shear
// with MTransformationMatrix, for every rotate order, mirrored matrices and
// rotations at and near gimbal lock: the parts must rebuild the matrix and
// the rotation, reordered, must be the same rotation.

#include <maya/MEulerRotation.h>
#include <maya/MMatrix.h>
#include <maya/MQuaternion.h>
#include <maya/MTransformationMatrix.h>
#include <maya/MVector.h>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

const double kDegree = 3.14159265358979323846 / 180.0;

struct Pose
{
    double rotate[3];  // degrees
    double scale[3];
    double translate[3];
};

const std::vector<Pose> kPoses = {
    {{30, -45, 60}, {1, 2, 3}, {1, -2, 3}},
    {{0, 90, 0}, {1, 1, 1}, {0, 0, 0}},           // gimbal lock
    {{10, 89.9999, -20}, {2, 2, 2}, {5, 5, 5}},   // next to it
    {{120, -90, 45}, {0.5, 1, 4}, {0, 1, 0}},     // locked the other way
    {{-170, 5, 179}, {1, 1, 1}, {-3, 0, 2}},
    {{45, 30, 15}, {-1, 1, 1}, {1, 2, 3}},        // mirrored in x
    {{45, 30, 15}, {-2, -3, -4}, {1, 2, 3}},      // mirrored through the origin
    {{0, 0, 0}, {1, -1, 1}, {0, 0, 0}},
};

const MTransformationMatrix::RotationOrder kOrders[] = {
    MTransformationMatrix::kXYZ, MTransformationMatrix::kYZX, MTransformationMatrix::kZXY,
    MTransformationMatrix::kXZY, MTransformationMatrix::kYXZ, MTransformationMatrix::kZYX};

MMatrix composed(const Pose& pose, MTransformationMatrix::RotationOrder order)
{
    MTransformationMatrix tm;
    const double r[3] = {pose.rotate[0] * kDegree, pose.rotate[1] * kDegree, pose.rotate[2] * kDegree};
    EXPECT_EQ(MS::kSuccess, tm.setRotation(r, order));
    EXPECT_EQ(MS::kSuccess, tm.setScale(pose.scale, MSpace::kTransform));
    EXPECT_EQ(MS::kSuccess,
              tm.setTranslation(MVector(pose.translate[0], pose.translate[1], pose.translate[2]), MSpace::kTransform));
    return tm.asMatrix();
}

double determinant3(const MMatrix& m)
{
    return m(0, 0) * (m(1, 1) * m(2, 2) - m(1, 2) * m(2, 1)) - m(0, 1) * (m(1, 0) * m(2, 2) - m(1, 2) * m(2, 0)) +
           m(0, 2) * (m(1, 0) * m(2, 1) - m(1, 1) * m(2, 0));
}

} // namespace

TEST(TransformDecomposition, WorldMatrixSplitsIntoPartsThatRebuildItForEveryRotateOrder)
{
    for (MTransformationMatrix::RotationOrder order : kOrders) {
        for (const Pose& pose : kPoses) {
            SCOPED_TRACE(::testing::Message() << "order " << int(order) << " rotate " << pose.rotate[0] << " "
                                              << pose.rotate[1] << " " << pose.rotate[2] << " scale "
                                              << pose.scale[0] << " " << pose.scale[1] << " " << pose.scale[2]);
            const MMatrix world = composed(pose, order);
            const MTransformationMatrix split(world);
            EXPECT_TRUE(split.asMatrix().isEquivalent(world, 1e-9));

            const MVector t = split.getTranslation(MSpace::kWorld);
            EXPECT_TRUE(t.isEquivalent(MVector(pose.translate[0], pose.translate[1], pose.translate[2]), 1e-12));

            // Scale magnitudes come back; their signs may move between axes but
            // always mirror the matrix as the original did.
            double scale[3];
            ASSERT_EQ(MS::kSuccess, split.getScale(scale, MSpace::kWorld));
            for (int i = 0; i < 3; ++i)
                EXPECT_NEAR(std::fabs(pose.scale[i]), std::fabs(scale[i]), 1e-9) << i;
            EXPECT_EQ(determinant3(world) < 0, scale[0] * scale[1] * scale[2] < 0);

            // The rotation, asked for in the pose's order, is a rotation that
            // together with the scale rebuilds the matrix.
            const MEulerRotation euler = split.eulerRotation().reorder(MEulerRotation::RotationOrder(int(order) - 1));
            EXPECT_EQ(MEulerRotation::RotationOrder(int(order) - 1), euler.order);
            MTransformationMatrix rebuilt;
            rebuilt.rotateTo(euler);
            EXPECT_EQ(MS::kSuccess, rebuilt.setScale(scale, MSpace::kTransform));
            EXPECT_EQ(MS::kSuccess, rebuilt.setTranslation(t, MSpace::kTransform));
            EXPECT_TRUE(rebuilt.asMatrix().isEquivalent(world, 1e-9));
            EXPECT_TRUE(euler.asQuaternion().isEquivalent(split.rotation(), 1e-9) ||
                        euler.asQuaternion().negateIt().isEquivalent(split.rotation(), 1e-9));

            // Without mirroring the rotation is the pose's own rotation.
            if (pose.scale[0] > 0 && pose.scale[1] > 0 && pose.scale[2] > 0) {
                const MEulerRotation posed(pose.rotate[0] * kDegree, pose.rotate[1] * kDegree,
                                           pose.rotate[2] * kDegree, MEulerRotation::RotationOrder(int(order) - 1));
                EXPECT_TRUE(euler.asMatrix().isEquivalent(posed.asMatrix(), 1e-9));
                // Away from gimbal lock the angles themselves come back.
                if (std::fabs(std::fabs(pose.rotate[1]) - 90) > 1 && std::fabs(pose.rotate[0]) < 90 &&
                    std::fabs(pose.rotate[2]) < 90 && order == MTransformationMatrix::kXYZ) {
                    EXPECT_TRUE(euler.isEquivalent(posed, 1e-9));
                }
            }
        }
    }
}

TEST(TransformDecomposition, ShearComesBackWithScaleAndRotation)
{
    MTransformationMatrix tm;
    const double r[3] = {20 * kDegree, -35 * kDegree, 50 * kDegree};
    const double scale[3] = {2, 0.5, 3};
    const double shear[3] = {0.25, -0.5, 0.75};
    ASSERT_EQ(MS::kSuccess, tm.setRotation(r, MTransformationMatrix::kZXY));
    ASSERT_EQ(MS::kSuccess, tm.setScale(scale, MSpace::kTransform));
    ASSERT_EQ(MS::kSuccess, tm.setShear(shear, MSpace::kTransform));
    ASSERT_EQ(MS::kSuccess, tm.setTranslation(MVector(4, 5, 6), MSpace::kTransform));
    const MMatrix world = tm.asMatrix();

    const MTransformationMatrix split(world);
    double scaleBack[3], shearBack[3];
    ASSERT_EQ(MS::kSuccess, split.getScale(scaleBack, MSpace::kWorld));
    ASSERT_EQ(MS::kSuccess, split.getShear(shearBack, MSpace::kWorld));
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(scale[i], scaleBack[i], 1e-9) << i;
        EXPECT_NEAR(shear[i], shearBack[i], 1e-9) << i;
    }
    const MEulerRotation posed(r[0], r[1], r[2], MEulerRotation::kZXY);
    EXPECT_TRUE(split.eulerRotation().reorder(MEulerRotation::kZXY).isEquivalent(posed, 1e-9));
    EXPECT_TRUE(split.asMatrix().isEquivalent(world, 1e-9));
}
