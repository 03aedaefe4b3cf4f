// The host's value types as the plug-in uses them: API arrays, MArgList, MString and MStatus,
// times, angles and distances with their units.

#include "commands/Argument.h"
#include "support/TestValues.h"

#include <maya/MAngle.h>
#include <maya/MAnimControl.h>
#include <maya/MArgList.h>
#include <maya/MColor.h>
#include <maya/MDGContext.h>
#include <maya/MDGContextGuard.h>
#include <maya/MDistance.h>
#include <maya/MDoubleArray.h>
#include <maya/MEvaluationManager.h>
#include <maya/MIntArray.h>
#include <maya/MMatrix.h>
#include <maya/MMatrixArray.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>
#include <maya/MTime.h>
#include <maya/MUintArray.h>
#include <maya/MVector.h>
#include <maya/MVectorArray.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

TEST(ApiArrays, InsertRemoveSetLengthAndCopiesKeepOrderAndRefuseBadIndices)
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

    // setLength grows with default values and shrinks from the end.
    MDoubleArray d(3, 2.5);
    ASSERT_EQ(d.length(), 3u);
    ASSERT_EQ(d.setLength(5), MS::kSuccess);
    EXPECT_EQ(d[2], 2.5);
    EXPECT_EQ(d[3], 0.0);
    EXPECT_EQ(d[4], 0.0);
    ASSERT_EQ(d.setLength(1), MS::kSuccess);
    ASSERT_EQ(d.length(), 1u);
    EXPECT_EQ(d[0], 2.5);

    MUintArray counts(4);
    for (unsigned int i = 0; i < counts.length(); ++i) EXPECT_EQ(counts[i], 0u);

    // Copies are independent of their source.
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

TEST(ApiArrays, PointAndStringArraysFillDefaultsAndExportRows)
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

    // String arrays from char pointers, appended past their size increment.
    const char* names[] = {"pSphere1", "pCube1"};
    MStringArray strings(names, 2);
    strings.setSizeIncrement(64);
    EXPECT_EQ(strings.sizeIncrement(), 64u);
    for (int i = 0; i < 100; ++i) strings.append(MString("n") + i);
    ASSERT_EQ(strings.length(), 102u);
    EXPECT_STREQ(strings[1].asChar(), "pCube1");
    EXPECT_STREQ(strings[101].asChar(), "n99");
}

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

namespace
{

MStatus failWith(MStatus::MStatusCode code, int& calls)
{
    ++calls;
    return code;
}

MStatus returnsFirstFailure(int& calls)
{
    CHECK_MSTATUS_AND_RETURN_IT(failWith(MS::kInvalidParameter, calls));
    return MS::kSuccess;
}

int returnsValueOnFailure(int& calls)
{
    CHECK_MSTATUS_AND_RETURN(failWith(MS::kFailure, calls), -7);
    return 1;
}

} // namespace

TEST(MStringText, SubstringSplitSubstituteSearchAndCase)
{
    MString s("pellixData");
    EXPECT_STREQ(s.substring(0, 5).asChar(), "pellix");
    EXPECT_STREQ(s.substring(6, 9).asChar(), "Data");
    EXPECT_STREQ(s.substring(6, 100).asChar(), "Data");
    EXPECT_STREQ(s.substring(-3, 1).asChar(), "pe");
    EXPECT_EQ(s.substring(4, 3).length(), 0u);
    EXPECT_EQ(MString().substring(0, 0).length(), 0u);

    // split drops empty tokens and replaces the output.
    MStringArray parts;
    parts.append("stale");
    ASSERT_EQ(MString("a,,b,c,").split(',', parts), MS::kSuccess);
    EXPECT_EQ(toVector(parts), (std::vector<std::string>{"a", "b", "c"}));

    ASSERT_EQ(MString(",,,").split(',', parts), MS::kSuccess);
    EXPECT_EQ(parts.length(), 0u);

    ASSERT_EQ(MString("|grp|ctrl|ctrlShape").split('|', parts), MS::kSuccess);
    EXPECT_EQ(toVector(parts), (std::vector<std::string>{"grp", "ctrl", "ctrlShape"}));

    // substitute replaces every occurrence, or the first.
    MString dotted("a.b.c");
    ASSERT_EQ(dotted.substitute(".", "::"), MS::kSuccess);
    EXPECT_STREQ(dotted.asChar(), "a::b::c");

    MString first("x-x-x");
    ASSERT_EQ(first.substituteFirst("x", "y"), MS::kSuccess);
    EXPECT_STREQ(first.asChar(), "y-x-x");

    EXPECT_EQ(dotted.substitute("", "z"), MS::kInvalidParameter);
    EXPECT_STREQ(dotted.asChar(), "a::b::c");

    // Comparison, search and case.
    const char* none = nullptr;
    EXPECT_TRUE(MString() == none);
    EXPECT_TRUE(MString(none).length() == 0);
    EXPECT_TRUE(MString("abc") != MString("abd"));
    EXPECT_EQ(MString("a/b/c").index('/'), 1);
    EXPECT_EQ(MString("a/b/c").rindex('/'), 3);
    EXPECT_EQ(MString("abc").index('z'), -1);
    MString upper("MixEd");
    upper.toUpperCase();
    EXPECT_STREQ(upper.asChar(), "MIXED");
    EXPECT_STREQ(upper.toLowerCase().asChar(), "mixed");
}

TEST(MStringText, FormatReplacesNumberedArgumentsAndKeepsOtherCarets)
{
    MString out;
    EXPECT_EQ(out.format("^1s: ^2s is ^1s (^3x, ^^)", "node", "locked"), MS::kSuccess);
    EXPECT_STREQ(out.asChar(), "node: locked is node (^3x, ^^)");

    out.format("^10s-^1s", "a", "", "", "", "", "", "", "", "", "ten");
    EXPECT_STREQ(out.asChar(), "ten-a");

    // A missing argument stands for the empty string.
    out.format("[^4s]", "a");
    EXPECT_STREQ(out.asChar(), "[]");
}

TEST(MStringText, NumberChecksAcceptOnlyWholeNumbers)
{
    EXPECT_TRUE(MString("42").isInt());
    EXPECT_TRUE(MString("-42").isInt());
    EXPECT_FALSE(MString("4x").isInt());
    EXPECT_FALSE(MString("").isInt());
    EXPECT_FALSE(MString("99999999999").isInt());
    EXPECT_FALSE(MString("40000").isShort());
    EXPECT_TRUE(MString("-32768").isShort());
    EXPECT_FALSE(MString("-1").isUnsigned());
    EXPECT_TRUE(MString("4294967295").isUnsigned());
    EXPECT_TRUE(MString("1e3").isDouble());
    EXPECT_TRUE(MString("-.5").isFloat());
    EXPECT_FALSE(MString("nan").isDouble());
    EXPECT_FALSE(MString("0x10").isDouble());
    EXPECT_FALSE(MString("1.5 ").isDouble());

    EXPECT_EQ(MString("-17").asInt(), -17);
    EXPECT_EQ(MString("abc").asInt(), 0);
    EXPECT_DOUBLE_EQ(MString("2.5e-1").asDouble(), 0.25);
    EXPECT_EQ(MString("7").asUnsigned(), 7u);
}

TEST(MStringText, NumbersAppendInShortestExactForm)
{
    MString s("v=");
    s += 0.1;
    EXPECT_STREQ(s.asChar(), "v=0.1");

    MString whole;
    whole = 3.0;
    EXPECT_STREQ(whole.asChar(), "3");

    for (double value : {1e300, -2.2250738585072014e-308, 1.0 / 3.0, 123456.789}) {
        MString text;
        EXPECT_EQ(text.set(value), MS::kSuccess);
        EXPECT_EQ(text.asDouble(), value) << text.asChar();
    }

    MString fixed;
    EXPECT_EQ(fixed.set(3.14159, 2), MS::kSuccess);
    EXPECT_STREQ(fixed.asChar(), "3.14");
    EXPECT_EQ(fixed.set("label:12", 5), MS::kSuccess);
    EXPECT_STREQ(fixed.asChar(), "label");
    EXPECT_EQ(fixed.set("pin"), MS::kSuccess);
    EXPECT_STREQ(fixed.asChar(), "pin");

    MString mixed = MString("n") + 5 + ":" + 2.5f;
    EXPECT_STREQ(mixed.asChar(), "n5:2.5");
    unsigned int count = 12;
    mixed += count;
    EXPECT_STREQ(mixed.asChar(), "n5:2.512");
}

TEST(MStringText, WideAndUtf8TextKeepCharacters)
{
    MString s(L"h\u00e9llo w\u00f6rld");
    EXPECT_EQ(s.numChars(), 11u);
    EXPECT_EQ(s.length(), 13u);  // bytes of UTF-8
    EXPECT_EQ(std::wstring(s.asWChar()), std::wstring(L"h\u00e9llo w\u00f6rld"));
    EXPECT_EQ(s.indexW(MString("w")), 6);
    EXPECT_EQ(std::wstring(s.substringW(6, 10).asWChar()), std::wstring(L"w\u00f6rld"));
    EXPECT_EQ(MString(L"abc", 2), MString("ab"));
}

TEST(MStatusReport, APIErrorAndPerrorNameTheCallerAndTheError)
{
    MStatus status(MS::kNotFound);
    testing::internal::CaptureStderr();
    status.pAPIerror("pluginMain", 42);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("API error detected in pluginMain at line 42"), std::string::npos) << err;
    EXPECT_NE(err.find(status.errorString().asChar()), std::string::npos) << err;
    EXPECT_NE(err.find("kNotFound"), std::string::npos) << err;

    // perror prefixes the caller's text.
    testing::internal::CaptureStderr();
    MStatus(MS::kInvalidParameter).perror("setAttr");
    std::string perr = testing::internal::GetCapturedStderr();
    EXPECT_EQ(perr.rfind("setAttr: ", 0), 0u) << perr;
    EXPECT_NE(perr.find("kInvalidParameter"), std::string::npos) << perr;
}

TEST(MStatusReport, CheckMacrosEvaluateOnceReportAndReturn)
{
    int calls = 0;
    testing::internal::CaptureStderr();
    MStatus result = returnsFirstFailure(calls);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(result, MS::kInvalidParameter);
    EXPECT_EQ(calls, 1);
    EXPECT_NE(err.find("ValueTypesTest.cpp"), std::string::npos) << err;

    calls = 0;
    testing::internal::CaptureStderr();
    EXPECT_EQ(returnsValueOnFailure(calls), -7);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(calls, 1);

    testing::internal::CaptureStderr();
    CHECK_MSTATUS(MStatus(MS::kSuccess));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(TimeUnits, FilmIsTheDefaultConversionsAreExactAndUnitsCompare)
{
    EXPECT_EQ(MTime::uiUnit(), MTime::kFilm);
    MTime t(48.0);
    EXPECT_EQ(t.unit(), MTime::kFilm);
    EXPECT_EQ(t.as(MTime::kSeconds), 2.0);
    EXPECT_EQ(MTime(10.0, MTime::kFilm).as(MTime::k6000FPS), 2500.0);
    EXPECT_DOUBLE_EQ(MTime(30.0, MTime::k29_97FPS).as(MTime::kSeconds), 1.001);
    EXPECT_DOUBLE_EQ(MTime(1.001, MTime::kSeconds).as(MTime::k29_97FPS), 30.0);
    EXPECT_EQ(MTime(90.0, MTime::kMinutes).as(MTime::kHours), 1.5);
    EXPECT_EQ(MTime(1.0, MTime::kSeconds).asUnits(MTime::kMilliseconds), 1000.0);

    // Times compare across units and keep their unit in arithmetic.
    EXPECT_TRUE(MTime(1.0, MTime::kSeconds) == MTime(24.0, MTime::kFilm));
    EXPECT_TRUE(MTime(1.0, MTime::kSeconds) < MTime(25.0, MTime::kFilm));
    EXPECT_TRUE(MTime(2.0, MTime::kNTSCFrame) > MTime(1.0, MTime::kFilm));
    EXPECT_TRUE(MTime(0.1, MTime::kSeconds) == MTime(2.4, MTime::kFilm));

    MTime sum = MTime(12.0, MTime::kFilm) + MTime(1.0, MTime::kSeconds);
    EXPECT_EQ(sum.unit(), MTime::kFilm);
    EXPECT_EQ(sum.value(), 36.0);
    MTime moved(12.0, MTime::kFilm);
    moved += 1.0;
    EXPECT_EQ(moved.value(), 13.0);

    MTime converted(12.0, MTime::kFilm);
    ASSERT_EQ(converted.setUnit(MTime::kPALFrame), MS::kSuccess);
    EXPECT_DOUBLE_EQ(converted.value(), 12.5);
    EXPECT_TRUE(converted == MTime(12.0, MTime::kFilm));
    EXPECT_NE(converted.setUnit(MTime::kInvalid), MS::kSuccess);
    EXPECT_NE(MTime::setUIUnit(MTime::kUserDef), MS::kSuccess);
    EXPECT_EQ(MTime::uiUnit(), MTime::kFilm);
}

TEST(TimeUnits, AnglesAndDistancesConvertThroughTheirInternalUnits)
{
    EXPECT_DOUBLE_EQ(MAngle(180.0, MAngle::kDegrees).asRadians(), 3.14159265358979323846);
    EXPECT_DOUBLE_EQ(MAngle(1.0, MAngle::kDegrees).asAngMinutes(), 60.0);
    EXPECT_EQ(MAngle::internalUnit(), MAngle::kRadians);
    EXPECT_DOUBLE_EQ(MAngle::internalToUI(3.14159265358979323846 / 2), 90.0);
    EXPECT_DOUBLE_EQ(MAngle::uiToInternal(90.0), 3.14159265358979323846 / 2);

    EXPECT_DOUBLE_EQ(MDistance(1.0, MDistance::kInches).asCentimeters(), 2.54);
    EXPECT_DOUBLE_EQ(MDistance(1.0, MDistance::kMeters).asMillimeters(), 1000.0);
    ASSERT_EQ(MDistance::setUIUnit(MDistance::kMeters), MS::kSuccess);
    EXPECT_DOUBLE_EQ(MDistance::internalToUI(250.0), 2.5);
    ASSERT_EQ(MDistance::setUIUnit(MDistance::kCentimeters), MS::kSuccess);
    EXPECT_NE(MDistance::setUIUnit(MDistance::kLast), MS::kSuccess);
    EXPECT_EQ(MDistance(5.0, MDistance::kFeet).as(MDistance::kInvalid), 0.0);
}

TEST(ColorModels, HsvAndCmyRoundTripThroughRgb)
{
    MColor orange(MColor::kHSV, 30.0f, 1.0f, 1.0f);
    EXPECT_FLOAT_EQ(orange.r, 1.0f);
    EXPECT_FLOAT_EQ(orange.g, 0.5f);
    EXPECT_FLOAT_EQ(orange.b, 0.0f);
    float h, s, v;
    ASSERT_TRUE(orange.get(MColor::kHSV, h, s, v));
    EXPECT_FLOAT_EQ(h, 30.0f);
    EXPECT_FLOAT_EQ(s, 1.0f);

    MColor bytes(MColor::kRGB, (unsigned char)255, (unsigned char)0, (unsigned char)51, (unsigned char)128);
    EXPECT_FLOAT_EQ(bytes.b, 0.2f);
    EXPECT_NEAR(bytes.a, 0.502f, 1e-3);

    MColor cyan(MColor::kCMY, 1.0f, 0.0f, 0.0f);
    EXPECT_EQ(cyan, MColor(0.0f, 1.0f, 1.0f));
    EXPECT_EQ(cyan * 0.5f, MColor(0.0f, 0.5f, 0.5f, 0.5f));
}

TEST(EvaluationContext, GuardsNestAndRestoreTheNormalContext)
{
    const auto contextTime = [] {
        MTime time;
        EXPECT_EQ(MDGContext::current().getTime(time), MS::kSuccess);
        return time;
    };
    ASSERT_EQ(MAnimControl::setCurrentTime(MTime(7.0, MTime::kFilm)), MS::kSuccess);
    EXPECT_TRUE(MDGContext::current().isNormal());
    EXPECT_EQ(contextTime(), MTime(7.0, MTime::kFilm));
    {
        MDGContextGuard outer(MDGContext(MTime(3.0, MTime::kFilm)));
        EXPECT_FALSE(MDGContext::current().isNormal());
        EXPECT_EQ(contextTime(), MTime(3.0, MTime::kFilm));
        {
            MDGContextGuard inner(MDGContext::fsNormal);
            EXPECT_TRUE(MDGContext::current().isNormal());
        }
        EXPECT_EQ(contextTime(), MTime(3.0, MTime::kFilm));
        // Other threads keep evaluating in the normal context.
        bool otherNormal = false;
        std::thread([&otherNormal] { otherNormal = MDGContext::current().isNormal(); }).join();
        EXPECT_TRUE(otherNormal);
    }
    EXPECT_TRUE(MDGContext::current().isNormal());
    EXPECT_FALSE(MEvaluationManager::graphConstructionActive());
    EXPECT_FALSE(MEvaluationManager::evaluationManagerActive(MDGContext::current()));
    ASSERT_EQ(MAnimControl::setCurrentTime(MTime(1.0, MTime::kFilm)), MS::kSuccess);
}

