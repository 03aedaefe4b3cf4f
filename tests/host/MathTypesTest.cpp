// The host's math types: matrices acting on row vectors, points, vectors, quaternions, Euler
// rotations and bounding boxes, and world matrices split back into translation, rotation,
// scale and shear for every rotate order.

#include <maya/MBoundingBox.h>
#include <maya/MEulerRotation.h>
#include <maya/MFloatMatrix.h>
#include <maya/MFloatPoint.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MQuaternion.h>
#include <maya/MTransformationMatrix.h>
#include <maya/MVector.h>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace
{

const double kPi = 3.14159265358979323846;

// Hand-built matrices acting on row vectors, independent of the classes under test.
MMatrix translate(double x, double y, double z)
{
    MMatrix m;
    m[3][0] = x;
    m[3][1] = y;
    m[3][2] = z;
    return m;
}

MMatrix scale(double x, double y, double z)
{
    MMatrix m;
    m[0][0] = x;
    m[1][1] = y;
    m[2][2] = z;
    return m;
}

MMatrix rotX(double a)
{
    const double v[4][4] = {{1, 0, 0, 0}, {0, cos(a), sin(a), 0}, {0, -sin(a), cos(a), 0}, {0, 0, 0, 1}};
    return MMatrix(v);
}

MMatrix rotY(double a)
{
    const double v[4][4] = {{cos(a), 0, -sin(a), 0}, {0, 1, 0, 0}, {sin(a), 0, cos(a), 0}, {0, 0, 0, 1}};
    return MMatrix(v);
}

MMatrix rotZ(double a)
{
    const double v[4][4] = {{cos(a), sin(a), 0, 0}, {-sin(a), cos(a), 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    return MMatrix(v);
}

MMatrix shear(double xy, double xz, double yz)
{
    MMatrix m;
    m[1][0] = xy;
    m[2][0] = xz;
    m[2][1] = yz;
    return m;
}

// The rotation of each order, applied first axis first.
MMatrix handRotation(double x, double y, double z, MEulerRotation::RotationOrder order)
{
    MMatrix rx = rotX(x), ry = rotY(y), rz = rotZ(z);
    switch (order) {
    case MEulerRotation::kXYZ: return rx * ry * rz;
    case MEulerRotation::kYZX: return ry * rz * rx;
    case MEulerRotation::kZXY: return rz * rx * ry;
    case MEulerRotation::kXZY: return rx * rz * ry;
    case MEulerRotation::kYXZ: return ry * rx * rz;
    case MEulerRotation::kZYX: return rz * ry * rx;
    }
    return MMatrix();
}

// Index (0 = x) of the axis applied second, whose angle decomposition keeps within [-pi/2, pi/2].
int middleAxis(MEulerRotation::RotationOrder order)
{
    switch (order) {
    case MEulerRotation::kXYZ:
    case MEulerRotation::kZYX: return 1;
    case MEulerRotation::kYZX:
    case MEulerRotation::kXZY: return 2;
    default: return 0;
    }
}

const MEulerRotation::RotationOrder kOrders[] = {MEulerRotation::kXYZ, MEulerRotation::kYZX, MEulerRotation::kZXY,
                                                 MEulerRotation::kXZY, MEulerRotation::kYXZ, MEulerRotation::kZYX};

::testing::AssertionResult matricesNear(const MMatrix& a, const MMatrix& b, double tol = 1e-9)
{
    if (a.isEquivalent(b, tol)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << a << "\n  vs\n" << b;
}

::testing::AssertionResult pointsNear(const MPoint& a, const MPoint& b, double tol = 1e-9)
{
    if (a.isEquivalent(b, tol)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << a << " vs " << b;
}

} // namespace

TEST(MatrixMath, RowVectorsAndLeftFactorAppliedFirst)
{
    MPoint p(1.0, 0.0, 0.0);
    MMatrix s = scale(2.0, 3.0, 4.0), t = translate(10.0, 0.0, 0.0);
    EXPECT_TRUE(pointsNear(p * (s * t), MPoint(12.0, 0.0, 0.0)));  // scale, then move
    EXPECT_TRUE(pointsNear(p * (t * s), MPoint(22.0, 0.0, 0.0)));  // move, then scale
    // Directions ignore translation; the column form uses the transpose.
    EXPECT_TRUE((MVector(1.0, 0.0, 0.0) * (s * t)).isEquivalent(MVector(2.0, 0.0, 0.0)));
    EXPECT_TRUE(pointsNear((s * t).transpose() * p, MPoint(12.0, 0.0, 0.0)));

    MMatrix product;
    product.setToProduct(s, t);
    EXPECT_TRUE(product == s * t);
    MMatrix inPlace = s;
    inPlace *= t;
    EXPECT_TRUE(inPlace == s * t);
}

TEST(MatrixMath, InverseUndoesAGeneralAffineMatrix)
{
    MMatrix m = scale(2.0, -0.5, 3.0) * shear(0.3, -0.2, 0.7) * rotZ(0.4) * rotX(-1.1) * translate(4.0, -2.0, 9.0);
    EXPECT_TRUE(matricesNear(m * m.inverse(), MMatrix::identity));
    EXPECT_TRUE(matricesNear(m.inverse() * m, MMatrix::identity));
    EXPECT_NEAR(m.det4x4(), 2.0 * -0.5 * 3.0, 1e-12);
    EXPECT_NEAR(m.det3x3(), m.det4x4(), 1e-12);
    EXPECT_TRUE(matricesNear(m.adjoint() * (1.0 / m.det4x4()), m.inverse()));
    EXPECT_FALSE(m.isSingular());
    EXPECT_TRUE(scale(1.0, 0.0, 1.0).isSingular());

    MFloatMatrix f(m.matrix);
    MFloatMatrix fi = f * f.inverse();
    EXPECT_TRUE(fi.isEquivalent(MFloatMatrix(), 1e-5f));
    MFloatPoint fp = MFloatPoint(1.0f, 2.0f, 3.0f) * f;
    MPoint dp = MPoint(1.0, 2.0, 3.0) * m;
    EXPECT_NEAR(fp.x, dp.x, 1e-4);
    EXPECT_NEAR(fp.z, dp.z, 1e-4);
}

TEST(EulerRotationOrder, MatrixAppliesAxesInTheNamedOrder)
{
    // X then Y: the y axis goes to z, then to x. Y then X: y is untouched by Y, then goes to z.
    MVector yAxis(0.0, 1.0, 0.0);
    EXPECT_TRUE((yAxis * MEulerRotation(kPi / 2, kPi / 2, 0.0, MEulerRotation::kXYZ).asMatrix())
                    .isEquivalent(MVector(1.0, 0.0, 0.0), 1e-12));
    EXPECT_TRUE((yAxis * MEulerRotation(kPi / 2, kPi / 2, 0.0, MEulerRotation::kYXZ).asMatrix())
                    .isEquivalent(MVector(0.0, 0.0, 1.0), 1e-12));

    for (MEulerRotation::RotationOrder order : kOrders) {
        MEulerRotation e(0.3, -0.7, 1.1, order);
        EXPECT_TRUE(matricesNear(e.asMatrix(), handRotation(0.3, -0.7, 1.1, order))) << "order " << order;
        EXPECT_TRUE(matricesNear(e.asQuaternion().asMatrix(), e.asMatrix())) << "order " << order;
    }
}

TEST(EulerRotationOrder, DecomposeRecoversAnglesOfEveryOrder)
{
    for (MEulerRotation::RotationOrder order : kOrders) {
        // Outer angles anywhere in (-pi, pi), the middle one within (-pi/2, pi/2).
        double angles[3] = {-2.1, 2.7, -2.9};
        angles[middleAxis(order)] = 0.9;
        MEulerRotation e(angles[0], angles[1], angles[2], order);
        MEulerRotation back = MEulerRotation::decompose(handRotation(e.x, e.y, e.z, order), order);
        EXPECT_TRUE(back.isEquivalent(e, 1e-9)) << "order " << order << ": " << back;
        // Scale on the matrix does not disturb the angles.
        back = MEulerRotation::decompose(scale(2.0, 3.0, 0.5) * e.asMatrix(), order);
        EXPECT_TRUE(back.isEquivalent(e, 1e-9)) << "order " << order << ": " << back;
    }
}

TEST(EulerRotationOrder, GimbalLockStillGivesTheSameRotation)
{
    for (MEulerRotation::RotationOrder order : kOrders) {
        double angles[3] = {0.4, 0.4, 0.4};
        angles[middleAxis(order)] = kPi / 2;
        MEulerRotation e(angles[0], angles[1], angles[2], order);
        MEulerRotation back = MEulerRotation::decompose(e.asMatrix(), order);
        EXPECT_TRUE(matricesNear(back.asMatrix(), e.asMatrix(), 1e-9)) << "order " << order;
    }
}

TEST(EulerRotationOrder, ReorderInverseAndAlternateKeepTheRotation)
{
    MEulerRotation e(0.5, -1.2, 2.0, MEulerRotation::kXYZ);
    for (MEulerRotation::RotationOrder order : kOrders) {
        MEulerRotation r = e.reorder(order);
        EXPECT_EQ(r.order, order);
        EXPECT_TRUE(matricesNear(r.asMatrix(), e.asMatrix())) << "order " << order;
    }
    EXPECT_TRUE(matricesNear(e.asMatrix() * e.inverse().asMatrix(), MMatrix::identity));
    EXPECT_TRUE(matricesNear(e.alternateSolution().asMatrix(), e.asMatrix()));
    EXPECT_FALSE(e.alternateSolution().isEquivalent(e, 1e-3));

    // Closest solution unwinds full turns towards the target.
    MEulerRotation target(0.5 + 4 * kPi, -1.2, 2.0 - 2 * kPi);
    EXPECT_TRUE(e.closestSolution(target).isEquivalent(target, 1e-9));
    EXPECT_TRUE(MEulerRotation(2.5 * kPi, 0.0, -3.5 * kPi).bound().isEquivalent(MEulerRotation(0.5 * kPi, 0.0, 0.5 * kPi),
                                                                             1e-9));
}

TEST(QuaternionMath, ProductComposesLikeMatrices)
{
    MQuaternion a(0.7, MVector(1.0, 2.0, -0.5));
    MQuaternion b(-1.3, MVector(0.0, 1.0, 1.0));
    EXPECT_TRUE(matricesNear((a * b).asMatrix(), a.asMatrix() * b.asMatrix()));
    EXPECT_TRUE(matricesNear((a * a.inverse()).asMatrix(), MMatrix::identity));

    MQuaternion fromMatrix;
    fromMatrix = (a * b).asMatrix();
    EXPECT_TRUE(fromMatrix.isEquivalent(a * b, 1e-9));
    fromMatrix = scale(3.0, 0.5, 2.0) * a.asMatrix();  // scale does not leak into the rotation
    EXPECT_TRUE(fromMatrix.isEquivalent(a, 1e-9));

    MVector from(1.0, 2.0, 3.0), to(-3.0, 0.5, 1.0);
    EXPECT_TRUE(from.rotateBy(from.rotateTo(to)).normal().isEquivalent(to.normal(), 1e-9));
    MVector opposite = -from;
    EXPECT_TRUE(from.rotateBy(from.rotateTo(opposite)).normal().isEquivalent(opposite.normal(), 1e-9));
    EXPECT_TRUE(matricesNear(a.asEulerRotation().asMatrix(), a.asMatrix()));
}

TEST(TransformationMatrixComposition, PivotsAndTranslationsByHand)
{
    // scale 2 in x and rotate 90 degrees about z around the pivot (1,0,0), then move by (1,2,3):
    // (2,0,0) -> scale (4,0,0) -> pivot-relative (3,0,0) -> rotate (0,3,0) -> back (1,3,0) -> move (2,5,3).
    MTransformationMatrix tm;
    const double s[3] = {2.0, 1.0, 1.0};
    const double r[3] = {0.0, 0.0, kPi / 2};
    ASSERT_EQ(tm.setScale(s, MSpace::kTransform), MS::kSuccess);
    ASSERT_EQ(tm.setRotation(r, MTransformationMatrix::kXYZ), MS::kSuccess);
    ASSERT_EQ(tm.setRotatePivot(MPoint(1.0, 0.0, 0.0), MSpace::kTransform, false), MS::kSuccess);
    ASSERT_EQ(tm.setTranslation(MVector(1.0, 2.0, 3.0), MSpace::kTransform), MS::kSuccess);
    EXPECT_TRUE(pointsNear(MPoint(2.0, 0.0, 0.0) * tm.asMatrix(), MPoint(2.0, 5.0, 3.0)));
    EXPECT_TRUE(pointsNear(MPoint(2.0, 5.0, 3.0) * tm.asMatrixInverse(), MPoint(2.0, 0.0, 0.0)));
}

TEST(TransformationMatrixComposition, EveryComponentInMayasOrder)
{
    const MVector t(1.5, -2.0, 0.25), spt(0.1, 0.2, -0.3), rpt(-0.4, 0.5, 0.6);
    const MPoint sp(0.3, -0.6, 1.2), rp(-1.0, 0.7, 0.2);
    const double s[3] = {1.5, -0.5, 2.0};
    const double sh[3] = {0.2, -0.3, 0.4};
    const double r[3] = {0.4, -0.9, 1.3};
    const MEulerRotation orient(0.2, 0.1, -0.3);

    for (MEulerRotation::RotationOrder order : kOrders) {
        MTransformationMatrix tm;
        ASSERT_EQ(tm.setRotation(r, MTransformationMatrix::RotationOrder(order + 1)), MS::kSuccess);
        ASSERT_EQ(tm.setScale(s, MSpace::kTransform), MS::kSuccess);
        ASSERT_EQ(tm.setShear(sh, MSpace::kTransform), MS::kSuccess);
        ASSERT_EQ(tm.setTranslation(t, MSpace::kTransform), MS::kSuccess);
        ASSERT_EQ(tm.setScalePivot(sp, MSpace::kTransform, false), MS::kSuccess);
        ASSERT_EQ(tm.setRotatePivot(rp, MSpace::kTransform, false), MS::kSuccess);
        ASSERT_EQ(tm.setScalePivotTranslation(spt, MSpace::kTransform), MS::kSuccess);
        ASSERT_EQ(tm.setRotatePivotTranslation(rpt, MSpace::kTransform), MS::kSuccess);
        tm.setRotationOrientation(orient.asQuaternion());

        MMatrix expected = translate(-sp.x, -sp.y, -sp.z) * scale(s[0], s[1], s[2]) * shear(sh[0], sh[1], sh[2]) *
                           translate(sp.x, sp.y, sp.z) * translate(spt.x, spt.y, spt.z) *
                           translate(-rp.x, -rp.y, -rp.z) * handRotation(orient.x, orient.y, orient.z,
                                                                         MEulerRotation::kXYZ) *
                           handRotation(r[0], r[1], r[2], order) * translate(rp.x, rp.y, rp.z) *
                           translate(rpt.x, rpt.y, rpt.z) * translate(t.x, t.y, t.z);
        EXPECT_TRUE(matricesNear(tm.asMatrix(), expected)) << "order " << order;
        EXPECT_EQ(tm.eulerRotation().order, order);
        MTransformationMatrix::RotationOrder stored;
        double back[3];
        ASSERT_EQ(tm.getRotation(back, stored), MS::kSuccess);
        EXPECT_EQ(int(stored), int(order) + 1);
    }
}

TEST(TransformationMatrixComposition, MovingAPivotWithBalanceKeepsTheMatrix)
{
    MTransformationMatrix tm;
    const double s[3] = {2.0, 0.5, 1.5};
    const double sh[3] = {0.3, 0.0, -0.2};
    const double r[3] = {0.3, 1.0, -0.4};
    tm.setScale(s, MSpace::kTransform);
    tm.setShear(sh, MSpace::kTransform);
    tm.setRotation(r, MTransformationMatrix::kZXY);
    tm.setTranslation(MVector(1.0, 2.0, 3.0), MSpace::kTransform);
    MMatrix before = tm.asMatrix();

    ASSERT_EQ(tm.setRotatePivot(MPoint(4.0, -1.0, 2.0), MSpace::kTransform, true), MS::kSuccess);
    ASSERT_EQ(tm.setScalePivot(MPoint(-2.0, 3.0, 0.5), MSpace::kTransform, true), MS::kSuccess);
    EXPECT_TRUE(matricesNear(tm.asMatrix(), before));
    EXPECT_FALSE(tm.rotatePivotTranslation(MSpace::kTransform).isEquivalent(MVector::zero));

    ASSERT_EQ(tm.setRotatePivot(MPoint(0.0, 0.0, 0.0), MSpace::kTransform, false), MS::kSuccess);
    EXPECT_FALSE(tm.asMatrix().isEquivalent(before, 1e-6));
}

TEST(TransformationMatrixComposition, MatrixDecomposesBackIntoItsComponents)
{
    MTransformationMatrix tm;
    const double s[3] = {2.0, 3.0, -0.5};
    const double sh[3] = {0.25, -0.5, 0.75};
    const double r[3] = {0.3, -0.6, 0.9};
    tm.setScale(s, MSpace::kTransform);
    tm.setShear(sh, MSpace::kTransform);
    tm.setRotation(r, MTransformationMatrix::kXYZ);
    tm.setTranslation(MVector(-4.0, 5.0, 6.0), MSpace::kTransform);

    MTransformationMatrix back(tm.asMatrix());
    EXPECT_TRUE(matricesNear(back.asMatrix(), tm.asMatrix()));
    double s2[3], sh2[3], r2[3];
    MTransformationMatrix::RotationOrder order;
    back.getScale(s2, MSpace::kTransform);
    back.getShear(sh2, MSpace::kTransform);
    back.getRotation(r2, order);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(s2[i], s[i], 1e-9) << i;
        EXPECT_NEAR(sh2[i], sh[i], 1e-9) << i;
        EXPECT_NEAR(r2[i], r[i], 1e-9) << i;
    }
    EXPECT_TRUE(back.getTranslation(MSpace::kTransform).isEquivalent(MVector(-4.0, 5.0, 6.0)));

    // Invalid arguments are refused and change nothing.
    EXPECT_EQ(back.setRotation(r, MTransformationMatrix::kInvalid), MS::kInvalidParameter);
    EXPECT_EQ(back.setTranslation(MVector::one, MSpace::kInvalid), MS::kInvalidParameter);
    EXPECT_TRUE(matricesNear(back.asMatrix(), tm.asMatrix()));
}

TEST(TransformationMatrixComposition, ReorderAndRotateByKeepOrComposeRotation)
{
    MTransformationMatrix tm;
    const double r[3] = {0.3, -0.6, 0.9};
    tm.setRotation(r, MTransformationMatrix::kXYZ);
    MMatrix before = tm.asMatrix();
    ASSERT_EQ(tm.reorderRotation(MTransformationMatrix::kZYX), MS::kSuccess);
    EXPECT_EQ(tm.rotationOrder(), MTransformationMatrix::kZYX);
    EXPECT_TRUE(matricesNear(tm.asMatrix(), before));

    MQuaternion extra(0.5, MVector::yAxis);
    tm.rotateBy(extra, MSpace::kTransform);
    EXPECT_TRUE(matricesNear(tm.asRotateMatrix(), before * extra.asMatrix()));
}

TEST(BoundingBoxes, ExpandFromEmptyAndTransform)
{
    MBoundingBox box;
    EXPECT_FALSE(box.contains(MPoint::origin));
    box.expand(MPoint(1.0, 2.0, 3.0));
    EXPECT_TRUE(box.contains(MPoint(1.0, 2.0, 3.0)));
    EXPECT_EQ(box.width(), 0.0);
    box.expand(MPoint(-1.0, 4.0, 3.0));
    EXPECT_EQ(box.width(), 2.0);
    EXPECT_EQ(box.height(), 2.0);
    EXPECT_EQ(box.depth(), 0.0);
    EXPECT_TRUE(pointsNear(box.center(), MPoint(0.0, 3.0, 3.0)));

    box.expand(MBoundingBox());  // an empty box adds nothing
    EXPECT_EQ(box.width(), 2.0);

    MBoundingBox corners(MPoint(1.0, -1.0, 5.0), MPoint(-1.0, 1.0, 4.0));
    EXPECT_TRUE(pointsNear(corners.min(), MPoint(-1.0, -1.0, 4.0)));
    EXPECT_TRUE(pointsNear(corners.max(), MPoint(1.0, 1.0, 5.0)));
    EXPECT_TRUE(corners.intersects(box) == false);
    EXPECT_TRUE(corners.intersects(box, 2.0));

    MBoundingBox unit(MPoint(-1.0, -1.0, -1.0), MPoint(1.0, 1.0, 1.0));
    unit.transformUsing(rotZ(kPi / 4) * translate(10.0, 0.0, 0.0));
    EXPECT_NEAR(unit.width(), 2.0 * std::sqrt(2.0), 1e-12);
    EXPECT_NEAR(unit.center().x, 10.0, 1e-12);
    unit.clear();
    EXPECT_FALSE(unit.contains(unit.center()));
}

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

const MTransformationMatrix::RotationOrder kMatrixOrders[] = {
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
    for (MTransformationMatrix::RotationOrder order : kMatrixOrders) {
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
