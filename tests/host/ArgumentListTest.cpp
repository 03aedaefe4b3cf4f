// MArgList: values built by code read back whole, and short or corrupted
// lists fail instead of reading past their end.

#include "commands/Argument.h"

#include <maya/MArgList.h>
#include <maya/MDoubleArray.h>
#include <maya/MIntArray.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MStringArray.h>
#include <maya/MVector.h>

#include <gtest/gtest.h>

TEST(ArgumentList, ArraysVectorsAndMatricesReadBackAndAdvanceTheIndex)
{
    MIntArray ints;
    ints.append(4);
    ints.append(-2);
    MStringArray strings;
    strings.append("a b");
    strings.append("-notAFlag");
    double rows[4][4] = {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {13, 14, 15, 16}};

    MArgList list;
    host::addArgs(list, ints, MVector(0.5, 1.5, 2.5), strings, MMatrix(rows));
    host::addArgs(list, MDoubleArray(), MPoint(7, 8, 9));

    unsigned int index = 0;
    MStatus status;
    MIntArray intsBack = list.asIntArray(index, &status);
    ASSERT_EQ(status, MS::kSuccess);
    ASSERT_EQ(intsBack.length(), 2u);
    EXPECT_EQ(intsBack[1], -2);
    EXPECT_EQ(index, 3u);

    MVector vector = list.asVector(index, 3, &status);
    ASSERT_EQ(status, MS::kSuccess);
    EXPECT_DOUBLE_EQ(vector.z, 2.5);

    MStringArray stringsBack = list.asStringArray(index, &status);
    ASSERT_EQ(status, MS::kSuccess);
    ASSERT_EQ(stringsBack.length(), 2u);
    EXPECT_EQ(stringsBack[0], MString("a b"));
    // A string element of an array is a value, even when it looks like a flag.
    EXPECT_EQ(stringsBack[1], MString("-notAFlag"));
    EXPECT_EQ(list.flagIndex("-notAFlag"), MArgList::kInvalidArgIndex);

    MMatrix matrix = list.asMatrix(index, &status);
    ASSERT_EQ(status, MS::kSuccess);
    EXPECT_DOUBLE_EQ(matrix(2, 1), 10.0);

    MDoubleArray empty = list.asDoubleArray(index, &status);
    ASSERT_EQ(status, MS::kSuccess);
    EXPECT_EQ(empty.length(), 0u);

    MPoint point = list.asPoint(index, 3, &status);
    ASSERT_EQ(status, MS::kSuccess);
    EXPECT_DOUBLE_EQ(point.y, 8.0);
    EXPECT_DOUBLE_EQ(point.w, 1.0);
    EXPECT_EQ(index, list.length());
}

TEST(ArgumentList, ShortOrCorruptListsFailWithoutMovingTheIndex)
{
    MArgList list;
    host::addArgs(list, 5, 1.0, MString("x"));  // claims 5 elements, holds 2

    unsigned int index = 0;
    MStatus status;
    EXPECT_EQ(list.asIntArray(index, &status).length(), 0u);
    EXPECT_NE(status, MS::kSuccess);
    EXPECT_EQ(index, 0u);
    list.asStringArray(index, &status);
    EXPECT_NE(status, MS::kSuccess);
    list.asDoubleArray(index, &status);
    EXPECT_NE(status, MS::kSuccess);
    list.asMatrix(index, &status);
    EXPECT_NE(status, MS::kSuccess);
    EXPECT_EQ(index, 0u);

    index = 1;
    list.asVector(index, 3, &status);
    EXPECT_NE(status, MS::kSuccess) << "x is not a number";
    EXPECT_EQ(index, 1u);

    MArgList negative;
    host::addArgs(negative, -1, 2);
    index = 0;
    negative.asIntArray(index, &status);
    EXPECT_NE(status, MS::kSuccess);

    list.asInt(3, &status);
    EXPECT_NE(status, MS::kSuccess) << "past the end";
    EXPECT_EQ(list.asString(99, &status), MString());
    EXPECT_NE(status, MS::kSuccess);
}
