// The MEL subset: how text becomes command arguments, and how malformed
// scripts are reported.

#include "CommandTestSupport.h"

#include "commands/mel/MelInterpreter.h"

#include <maya/MArgList.h>

using MelSyntax = CommandTest;

TEST_F(MelSyntax, ArgumentsKeepTheirKindsAndFlagsAreBareDashWords)
{
    ASSERT_EQ(run("testRecord -name \"-quoted\" -1.5 -n 3 word .5 -x 0x10 1e-3;"), MS::kSuccess);
    ASSERT_EQ(recordedCalls().size(), 1u);
    const MArgList& args = recordedCalls()[0];
    ASSERT_EQ(args.length(), 10u);

    // Bare "-name" is a flag, quoted "-quoted" a plain string; "-1.5" a number.
    EXPECT_EQ(args.flagIndex("-name"), 0u);
    EXPECT_EQ(args.flagIndex("-quoted"), MArgList::kInvalidArgIndex);
    EXPECT_EQ(args.asString(1), MString("-quoted"));
    EXPECT_DOUBLE_EQ(args.asDouble(2), -1.5);
    EXPECT_EQ(args.flagIndex("-q", "-n"), 3u);
    EXPECT_EQ(args.asInt(4), 3);
    EXPECT_EQ(args.asString(5), MString("word"));
    MStatus status;
    args.asInt(5, &status);
    EXPECT_FALSE(status) << "a word is not an integer";
    EXPECT_DOUBLE_EQ(args.asDouble(6), 0.5);
    EXPECT_EQ(args.flagIndex("-x"), 7u);
    EXPECT_EQ(args.asInt(8), 16);
    EXPECT_DOUBLE_EQ(args.asDouble(9), 0.001);
    // 1.5 is not an integer; 3 is also a double.
    args.asInt(2, &status);
    EXPECT_FALSE(status);
    EXPECT_DOUBLE_EQ(args.asDouble(4), 3.0);
}

TEST_F(MelSyntax, StringEscapesAndKeywordConstants)
{
    ASSERT_EQ(run("testRecord \"a\\\"b\\\\c\\nd\\te\" \"semi;colon // not a comment\" true off yes;"),
              MS::kSuccess);
    const MArgList& args = recordedCalls().at(0);
    ASSERT_EQ(args.length(), 5u);
    EXPECT_EQ(args.asString(0), MString("a\"b\\c\nd\te"));
    EXPECT_EQ(args.asString(1), MString("semi;colon // not a comment"));
    EXPECT_EQ(args.asInt(2), 1);
    EXPECT_EQ(args.asInt(3), 0);
    EXPECT_TRUE(args.asBool(4));
}

TEST_F(MelSyntax, CommentsSpanningStatementsAndSeveralPerLine)
{
    const char* script =
        "// a comment line; testRecord never\n"
        "testRecord 1; testRecord 2 /* inline; */ 3;\n"
        "/* a block\n"
        "   over lines; testRecord 99; */\n"
        "testRecord\n"
        "    -flag\n"
        "    4;   // trailing comment\n"
        "testRecord 5";  // the last statement needs no ';'
    ASSERT_EQ(run(script), MS::kSuccess);
    ASSERT_EQ(recordedCalls().size(), 4u);
    EXPECT_EQ(recordedCalls()[0].length(), 1u);
    EXPECT_EQ(recordedCalls()[1].length(), 2u);
    EXPECT_EQ(recordedCalls()[1].asInt(1), 3);
    EXPECT_EQ(recordedCalls()[2].flagIndex("-flag"), 0u);
    EXPECT_EQ(recordedCalls()[2].asInt(1), 4);
    EXPECT_EQ(recordedCalls()[3].asInt(0), 5);
}

TEST_F(MelSyntax, BackquotesVariablesAndConcatenation)
{
    const char* script =
        "string $words[] = `testEcho alpha beta`;\n"
        "int $count = `testRecord $words`;\n"
        "$label = \"n=\" + $count + \"/\" + $words[1];\n"
        "float $f = 2;\n"
        "$words[3] = \"delta\";\n"
        "testRecord $label $f $words[0] $words (1 + 2) {1, 2.5};\n"
        "testEcho(\"call\", $count)";
    host::MelValue last;
    ASSERT_EQ(run(script, &last), MS::kSuccess) << errors();
    ASSERT_EQ(recordedCalls().size(), 2u);
    const MArgList& args = recordedCalls()[1];
    // $words grew to 4 elements with an empty third; arrays are passed element by element.
    ASSERT_EQ(args.length(), 10u);
    EXPECT_EQ(args.asString(0), MString("n=2/beta"));
    EXPECT_DOUBLE_EQ(args.asDouble(1), 2.0);
    EXPECT_EQ(args.asString(2), MString("alpha"));
    EXPECT_EQ(args.asString(3), MString("alpha"));
    EXPECT_EQ(args.asString(4), MString("beta"));
    EXPECT_EQ(args.asString(5), MString(""));
    EXPECT_EQ(args.asString(6), MString("delta"));
    EXPECT_EQ(args.asInt(7), 3);
    EXPECT_EQ(args.asInt(8), 1);
    EXPECT_DOUBLE_EQ(args.asDouble(9), 2.5);
    // The last statement's value is what the caller gets back.
    EXPECT_EQ(last.asString(), MString("call 2"));
}

TEST_F(MelSyntax, MalformedScriptsNameTheLineAndStopThere)
{
    struct Case
    {
        const char* script;
        const char* expected;
        size_t callsBefore;  // statements before the fault still ran
    };
    const Case cases[] = {
        {"testRecord 1;\ntestRecord 2;\ntestRecord \"open;\ntestRecord 3;", "Line 3: Unterminated string.", 2},
        {"testRecord 1;\n/* never closed\ntestRecord 2;", "Line 2: Unterminated comment.", 1},
        {"testRecord 1;\n\nnoSuchCommand -x;", "Line 3: Cannot find procedure \"noSuchCommand\".", 1},
        {"testRecord `testEcho a;\ntestRecord 2;", "Line 1: Unterminated back-quoted command.", 0},
        {"testRecord 1;\ntestRecord (1 + ;", "Line 2: Syntax error: unexpected ';'.", 1},
        {"testRecord $undeclared;", "Line 1: $undeclared is an undeclared variable.", 0},
        {"string $a[];\ntestRecord $a[1;", "Line 2: Missing ']' after array index.", 0},
        {"testRecord 1;\nif (1 testRecord 2;", "Line 2: Syntax error: expected ')' before 'testRecord'.", 1},
        {"$x = ;", "Line 1: Syntax error: unexpected ';'.", 0},
        {"testRecord 1;\ntestRecord ) 3;", "Line 2: Syntax error: unexpected ')'.", 1},
        {"= 5;", "Line 1: Syntax error: unexpected '='.", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        recordedCalls().clear();
        clearMessages();
        EXPECT_NE(run(c.script), MS::kSuccess);
        EXPECT_NE(errors().find(c.expected), std::string::npos) << errors();
        EXPECT_EQ(recordedCalls().size(), c.callsBefore);
    }
}

TEST_F(MelSyntax, AFailingCommandStopsTheScriptWithItsStatus)
{
    EXPECT_EQ(run("testRecord 1; testFail; testRecord 2;"), MS::kFailure);
    EXPECT_EQ(recordedCalls().size(), 1u);
    // The command's own message, not a second generic one.
    EXPECT_EQ(errors(), "testFail: failing on purpose.\n");

    recordedCalls().clear();
    clearMessages();
    EXPECT_EQ(run("testRecord 1;\n testFailQuietly; testRecord 2;"), MS::kInvalidParameter);
    EXPECT_EQ(recordedCalls().size(), 1u);
    EXPECT_EQ(errors(), "Line 2: testFailQuietly failed.\n");
}

TEST_F(MelSyntax, NamedSourcesLocateFailuresInTheirFile)
{
    host::MelInterpreter::Options options;
    options.sourceName = "rig.mel";
    EXPECT_FALSE(host::MelInterpreter::run("testRecord 1;\n\ntestFail;", options));
    EXPECT_NE(errors().find("testFail: failing on purpose."), std::string::npos);
    EXPECT_NE(errors().find("rig.mel line 3: testFail failed."), std::string::npos) << errors();
}

TEST_F(MelSyntax, TopLevelResultsAreReportedButNotThoseOfBackquotesOrAssignments)
{
    std::vector<std::string> results;
    host::MelInterpreter::Options options;
    options.onResult = [&results](const host::MelValue& value) { results.push_back(value.asString().asChar()); };
    const char* script =
        "testEcho a b;\n"
        "string $s[] = `testEcho hidden`;\n"
        "testEcho;\n"           // an empty array is still a result
        "testCounter 1;\n"      // no result: nothing reported
        "testRecord `testRecord x y`;";
    ASSERT_EQ(host::MelInterpreter::run(script, options), MS::kSuccess);
    EXPECT_EQ(results, (std::vector<std::string>{"a b", "", "1"}));
}

TEST_F(MelSyntax, ExtremeInputFailsCleanlyOrSaturates)
{
    const std::string deep = "testRecord " + std::string(5000, '(') + "1" + std::string(5000, ')') + ";";
    EXPECT_NE(run(deep), MS::kSuccess);
    EXPECT_NE(errors().find("Line 1: Expression nested too deeply."), std::string::npos) << errors();
    EXPECT_TRUE(recordedCalls().empty());

    // Integer sums that overflow carry on as doubles; huge doubles saturate as ints.
    host::MelValue value;
    ASSERT_EQ(run("int $big = 9223372036854775807; $sum = ($big + 1);", &value), MS::kSuccess) << errors();
    EXPECT_EQ(value.type(), host::MelValue::kDouble);
    EXPECT_DOUBLE_EQ(value.asDouble(), 9223372036854775808.0);
    ASSERT_EQ(run("int $clamped = 1e300;", &value), MS::kSuccess);
    EXPECT_EQ(value.asInt(), INT64_MAX);
    ASSERT_EQ(run("int $ints[] = {1e300, -1e300, 2};", &value), MS::kSuccess);
    ASSERT_EQ(value.intArray().length(), 3u);
    EXPECT_EQ(value.intArray()[0], INT32_MAX);
    EXPECT_EQ(value.intArray()[1], INT32_MIN);

    // Control bytes and stray quotes are reported, never looped over.
    clearMessages();
    EXPECT_NE(run(std::string("testRecord a\x01;\n\"") + "\n"), MS::kSuccess);
    EXPECT_NE(errors().find("Line 2: Unterminated string."), std::string::npos) << errors();
}
