#include <gtest/gtest.h>

#include <maya/MDoubleArray.h>
#include <maya/MIntArray.h>
#include <maya/MMatrixArray.h>
#include <maya/MPointArray.h>
#include <maya/MStringArray.h>
#include <maya/MUintArray.h>
#include <maya/MVectorArray.h>

#include <vector>

namespace
{

std::vector<int> toVector(const MIntArray& a)
{
    return std::vector<int>(a.begin(), a.end());
}

} // namespace

TEST(ApiArrays, InsertRemoveAndSetKeepOrderAndRefuseBadIndices)
{
    MIntArray a;
    a.append(1);
    a.append(2);
    a.append(3);
    ASSERT_EQ(a.insert(9, 1), MS::kSuccess);
    EXPECT_EQ(toVector(a), (std::vector<int>{1, 9, 2, 3}));
    ASSERT_EQ(a.insert(7, a.length()), MS::kSuccess);  // at the end: appends
    EXPECT_EQ(toVector(a), (std::vector<int>{1, 9, 2, 3, 7}));

    EXPECT_NE(a.insert(5, 99), MS::kSuccess);
    EXPECT_NE(a.remove(5), MS::kSuccess);
    EXPECT_NE(a.set(4, 5), MS::kSuccess);
    EXPECT_EQ(toVector(a), (std::vector<int>{1, 9, 2, 3, 7}));

    ASSERT_EQ(a.remove(0), MS::kSuccess);
    ASSERT_EQ(a.set(8, 3), MS::kSuccess);
    EXPECT_EQ(toVector(a), (std::vector<int>{9, 2, 3, 8}));
    a.clear();
    EXPECT_EQ(a.length(), 0u);
}

TEST(ApiArrays, SetLengthGrowsWithDefaultValuesAndShrinksFromTheEnd)
{
    MDoubleArray a(3, 2.5);
    ASSERT_EQ(a.length(), 3u);
    ASSERT_EQ(a.setLength(5), MS::kSuccess);
    EXPECT_EQ(a[2], 2.5);
    EXPECT_EQ(a[3], 0.0);
    EXPECT_EQ(a[4], 0.0);
    ASSERT_EQ(a.setLength(1), MS::kSuccess);
    ASSERT_EQ(a.length(), 1u);
    EXPECT_EQ(a[0], 2.5);

    MUintArray counts(4);
    for (unsigned int i = 0; i < counts.length(); ++i) EXPECT_EQ(counts[i], 0u);
}

TEST(ApiArrays, CopiesAreIndependentOfTheirSource)
{
    const int raw[] = {4, 5, 6};
    MIntArray source(raw, 3);
    MIntArray copied(source);
    MIntArray assigned;
    assigned = source;
    MIntArray viaCopy;
    ASSERT_EQ(viaCopy.copy(source), MS::kSuccess);

    source[0] = 40;
    source.append(7);
    for (const MIntArray* a : {&copied, &assigned, &viaCopy}) EXPECT_EQ(toVector(*a), (std::vector<int>{4, 5, 6}));

    int out[3] = {0, 0, 0};
    ASSERT_EQ(copied.get(out), MS::kSuccess);
    EXPECT_EQ(out[2], 6);
}

TEST(ApiArrays, StringArrayFromCharPointersAndAppendAfterSizeIncrement)
{
    const char* names[] = {"pSphere1", "pCube1"};
    MStringArray a(names, 2);
    a.setSizeIncrement(64);
    EXPECT_EQ(a.sizeIncrement(), 64u);
    for (int i = 0; i < 100; ++i) a.append(MString("n") + i);
    ASSERT_EQ(a.length(), 102u);
    EXPECT_STREQ(a[1].asChar(), "pCube1");
    EXPECT_STREQ(a[101].asChar(), "n99");
}

TEST(ApiArrays, PointArrayFillsDefaultCoordinatesAndExportsRows)
{
    MPointArray points;
    points.append(1.0, 2.0);
    points.append(MVector(3.0, 4.0, 5.0));
    ASSERT_EQ(points.set(1, 6.0, 7.0, 8.0, 2.0), MS::kSuccess);
    EXPECT_NE(points.set(2, 0.0, 0.0), MS::kSuccess);

    double rows[2][4];
    ASSERT_EQ(points.get(rows), MS::kSuccess);
    EXPECT_EQ(rows[0][2], 0.0);
    EXPECT_EQ(rows[0][3], 1.0);
    EXPECT_EQ(rows[1][0], 6.0);
    EXPECT_EQ(rows[1][3], 2.0);

    MVectorArray vectors(2, MVector(1.0, 2.0, 3.0));
    float vrows[2][3];
    ASSERT_EQ(vectors.get(vrows), MS::kSuccess);
    EXPECT_EQ(vrows[1][2], 3.0f);

    MMatrixArray matrices(2);
    EXPECT_TRUE(matrices[1] == MMatrix::identity);
}
