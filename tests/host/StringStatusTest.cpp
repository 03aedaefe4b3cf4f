#include <gtest/gtest.h>

#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <string>

namespace
{

std::vector<std::string> toVector(const MStringArray& array)
{
    std::vector<std::string> out;
    for (unsigned int i = 0; i < array.length(); ++i) out.push_back(array[i].asChar());
    return out;
}

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

TEST(MStringText, SubstringEndIsInclusiveAndClippedToTheString)
{
    MString s("pellixData");
    EXPECT_STREQ(s.substring(0, 5).asChar(), "pellix");
    EXPECT_STREQ(s.substring(6, 9).asChar(), "Data");
    EXPECT_STREQ(s.substring(6, 100).asChar(), "Data");
    EXPECT_STREQ(s.substring(-3, 1).asChar(), "pe");
    EXPECT_EQ(s.substring(4, 3).length(), 0u);
    EXPECT_EQ(MString().substring(0, 0).length(), 0u);
}

TEST(MStringText, SplitDropsEmptyTokensAndReplacesTheOutput)
{
    MStringArray parts;
    parts.append("stale");
    ASSERT_EQ(MString("a,,b,c,").split(',', parts), MS::kSuccess);
    EXPECT_EQ(toVector(parts), (std::vector<std::string>{"a", "b", "c"}));

    ASSERT_EQ(MString(",,,").split(',', parts), MS::kSuccess);
    EXPECT_EQ(parts.length(), 0u);

    ASSERT_EQ(MString("|grp|ctrl|ctrlShape").split('|', parts), MS::kSuccess);
    EXPECT_EQ(toVector(parts), (std::vector<std::string>{"grp", "ctrl", "ctrlShape"}));
}

TEST(MStringText, FormatReplacesNumberedArgumentsAndKeepsOtherCarets)
{
    MString out;
    out.format("^1s: ^2s is ^1s (^3x, ^^)", "node", "locked");
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
        text.set(value);
        EXPECT_EQ(text.asDouble(), value) << text.asChar();
    }

    MString fixed;
    fixed.set(3.14159, 2);
    EXPECT_STREQ(fixed.asChar(), "3.14");

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

TEST(MStringText, SubstituteReplacesEveryOccurrenceOrTheFirst)
{
    MString s("a.b.c");
    ASSERT_EQ(s.substitute(".", "::"), MS::kSuccess);
    EXPECT_STREQ(s.asChar(), "a::b::c");

    MString first("x-x-x");
    ASSERT_EQ(first.substituteFirst("x", "y"), MS::kSuccess);
    EXPECT_STREQ(first.asChar(), "y-x-x");

    EXPECT_EQ(s.substitute("", "z"), MS::kInvalidParameter);
    EXPECT_STREQ(s.asChar(), "a::b::c");
}

TEST(MStringText, ComparesSearchesAndChangesCase)
{
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

TEST(MStatusReport, APIErrorNamesFileLineAndError)
{
    MStatus status(MS::kNotFound);
    testing::internal::CaptureStderr();
    status.pAPIerror("pluginMain", 42);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("API error detected in pluginMain at line 42"), std::string::npos) << err;
    EXPECT_NE(err.find(status.errorString().asChar()), std::string::npos) << err;
    EXPECT_NE(err.find("kNotFound"), std::string::npos) << err;
}

TEST(MStatusReport, PerrorPrefixesTheCallersText)
{
    testing::internal::CaptureStderr();
    MStatus(MS::kInvalidParameter).perror("setAttr");
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.rfind("setAttr: ", 0), 0u) << err;
    EXPECT_NE(err.find("kInvalidParameter"), std::string::npos) << err;
}

TEST(MStatusReport, CheckMacrosEvaluateOnceReportAndReturn)
{
    int calls = 0;
    testing::internal::CaptureStderr();
    MStatus result = returnsFirstFailure(calls);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(result, MS::kInvalidParameter);
    EXPECT_EQ(calls, 1);
    EXPECT_NE(err.find("StringStatusTest.cpp"), std::string::npos) << err;

    calls = 0;
    testing::internal::CaptureStderr();
    EXPECT_EQ(returnsValueOnFailure(calls), -7);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(calls, 1);

    testing::internal::CaptureStderr();
    CHECK_MSTATUS(MStatus(MS::kSuccess));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(MStatusReport, ConvertsToBoolAndComparesWithCodes)
{
    MStatus ok;
    MStatus bad(MS::kFailure);
    EXPECT_TRUE(ok);
    EXPECT_FALSE(bad);
    EXPECT_TRUE(bad.error());
    EXPECT_TRUE(MS::kFailure == bad);
    EXPECT_TRUE(bad != MS::kSuccess);
    EXPECT_TRUE(MFAIL(bad));
    EXPECT_FALSE(MFAIL(ok));
    bad.clear();
    EXPECT_EQ(bad.statusCode(), MS::kSuccess);
}
