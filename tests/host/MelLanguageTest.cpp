// MEL as scripts use it: the language suite written in MEL, and the messages,
// limits and call forms seen from outside the script.

#include "CommandTestSupport.h"

#include "commands/MessageOutput.h"
#include "commands/mel/MelInterpreter.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>

namespace {

class MelLanguage : public CommandTest
{
protected:
    // Runs `script` and returns what it printed.
    std::string printed(const std::string& script, MStatus* status = nullptr)
    {
        host::MessageCapture capture(true);
        MStatus result = run(script);
        if (status)
            *status = result;
        return capture.text(host::MessageKind::kPrint).asChar();
    }
};

// Sets MAYA_SCRIPT_PATH for one test and writes scripts into a folder of its own.
class ScriptFolder
{
public:
    explicit ScriptFolder(const std::string& name)
        : fFolder(std::filesystem::temp_directory_path() / (name + std::to_string(::getpid())))
    {
        std::filesystem::create_directories(fFolder);
        const char* previous = std::getenv("MAYA_SCRIPT_PATH");
        fHadPrevious = previous != nullptr;
        if (previous)
            fPrevious = previous;
        ::setenv("MAYA_SCRIPT_PATH", ("/no/such/folder:" + fFolder.string()).c_str(), 1);
    }
    ~ScriptFolder()
    {
        if (fHadPrevious)
            ::setenv("MAYA_SCRIPT_PATH", fPrevious.c_str(), 1);
        else
            ::unsetenv("MAYA_SCRIPT_PATH");
        std::error_code ignored;
        std::filesystem::remove_all(fFolder, ignored);
    }
    void write(const std::string& file, const std::string& text) const
    {
        std::ofstream(fFolder / file) << text;
    }
    std::string path(const std::string& file) const { return (fFolder / file).string(); }

private:
    std::filesystem::path fFolder;
    std::string fPrevious;
    bool fHadPrevious = false;
};

} // namespace

TEST_F(MelLanguage, SuiteOfControlFlowScopeProceduresAndBuiltinsPasses)
{
    const std::string suite = std::string(PELLIX_MEL_SCRIPTS) + "/suite.mel";
    MStatus status;
    const std::string output = printed("source \"" + suite + "\";", &status);
    ASSERT_TRUE(status) << errors();
    EXPECT_EQ(output.find("FAIL"), std::string::npos) << output;
    std::smatch summary;
    ASSERT_TRUE(std::regex_search(output, summary, std::regex("suite done ([0-9]+) checks, ([0-9]+) failures")))
        << output;
    EXPECT_GE(std::stoi(summary[1]), 120);
    EXPECT_EQ(summary[2], "0");
    // The one error the suite raises on purpose, caught, names the file and line.
    EXPECT_NE(errors().find(suite + " line "), std::string::npos) << errors();
    EXPECT_NE(errors().find(": expected failure"), std::string::npos) << errors();

    // The suite's check procedure does report a mismatch.
    EXPECT_EQ(printed("check(\"deliberate\", 1 + 1, \"3\");"), "FAIL deliberate: got [2] want [3]\n");
}

TEST_F(MelLanguage, MalformedScriptsAndOperatorsOnWrongTypesGiveTheirLineAndMayasMessage)
{
    struct Case
    {
        const char* script;
        const char* expected;
    };
    const Case cases[] = {
        {"int $x = 1;\nint $y = (2 + ;", "Line 2: Syntax error: unexpected ';'.\n"},
        {"if (1) {\n  testRecord 1;\n", "Line 3: Syntax error: missing '}' for the block opened on line 1.\n"},
        {"\nnoSuchProcedure 1 2;", "Line 2: Cannot find procedure \"noSuchProcedure\".\n"},
        {"global proc melTestOneArgument(int $a) {}\nmelTestOneArgument(1, 2);",
         "Line 2: Wrong number of arguments on call to melTestOneArgument.\n"},
        {"int $a[] = {1};\nint $b = $a;", "Line 2: Cannot convert data of type int[] to type int.\n"},
        {"string $s = \"x\";\nstring $list[] = $s;", "Line 2: Cannot convert data of type string to type string[].\n"},
        {"string $s;\nint $s;", "Line 2: $s is already declared as string.\n"},
        {"break;", "Line 1: Syntax error: 'break' outside a loop or switch.\n"},
        {"int $zero = 0;\nprint (1 / $zero);", "Line 2: Division by zero.\n"},
        {"print $notDeclared;", "Line 1: $notDeclared is an undeclared variable.\n"},
        {"int $top = 1;\nproc melTestSeesTop() { print $top; }\nmelTestSeesTop();",
         "Line 2: $top is an undeclared variable.\n"},
        {"match(\"[a-\", \"abc\");", "Line 1: match: invalid regular expression \"[a-\".\n"},
        {"source \"melTestNoSuchFile.mel\";",
         "Line 1: Cannot find file \"melTestNoSuchFile.mel\" for source statement.\n"},
        {"size(1, 2);", "Line 1: Wrong number of arguments on call to size.\n"},
        {"string $t[];\ntokenize(\"a b\", \"x\");", "Line 2: tokenize: argument 2 must be an array variable.\n"},
        {"vector $v = <<1, 2>>;", "Line 1: Syntax error: a vector has three components.\n"},
        {"for ($i = 0; $i < 3; $i++ {\n}", "Line 1: Syntax error: expected ')' before '{'.\n"},
        {"print \"open;\n", "Line 1: Unterminated string.\n"},
        // Operators refuse types they cannot combine.
        {"$d = \"a\" * 2;", "Line 1: '*' cannot be applied to a string.\n"},
        {"string $a[] = {\"x\"};\n$b = $a + \"y\";", "Line 2: '+' cannot be applied to a string[].\n"},
        {"$c = 1 ^ 2;", "Line 1: '^' (cross product) needs two vectors.\n"},
        {"$v = <<1, 2, 3>> / <<1, 1, 1>>;", "Line 1: A vector cannot divide.\n"},
        {"int $i = 1;\n$i.x;", "Line 2: Only a vector has a .x component.\n"},
        {"int $n = 3;\n$e = $n[0];", "Line 2: $n is not an array.\n"},
        {"matrix $m[2][2];\n$m[2][0] = 1;", "Line 2: Matrix index out of range for $m.\n"},
        {"global proc melTestNothing() {}\nint $r = melTestNothing();",
         "Line 2: Cannot convert data of type void to type int.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        clearMessages();
        EXPECT_FALSE(run(c.script));
        EXPECT_EQ(errors(), c.expected);
    }

    // A named script (a file run by the batch runner) names itself.
    clearMessages();
    host::MelInterpreter::Options options;
    options.sourceName = "rig.mel";
    EXPECT_FALSE(host::MelInterpreter::run("int $a = 1;\n\nerror \"bad rig\";", options));
    EXPECT_EQ(errors(), "rig.mel line 3: bad rig\n");
    // -noContext leaves the place out, for messages in a tool's own words.
    clearMessages();
    EXPECT_TRUE(host::MelInterpreter::run("warning -noContext \"odd rig\";", options));
    EXPECT_FALSE(host::MelInterpreter::run("error -n \"bad rig\";", options));
    EXPECT_FALSE(host::MelInterpreter::run("error -quiet \"bad rig\";", options));
    EXPECT_EQ(warnings(), "odd rig\n");
    EXPECT_EQ(errors(), "bad rig\nrig.mel line 1: Invalid flag for error: -quiet\n");
}

TEST_F(MelLanguage, ErrorStopsTheScriptUnlessCaught)
{
    EXPECT_FALSE(run("testRecord 1; error \"stop here\"; testRecord 2;"));
    EXPECT_EQ(recordedCalls().size(), 1u);
    EXPECT_EQ(errors(), "stop here\n");

    // catch reports the failure and goes on; catchQuiet says nothing.
    recordedCalls().clear();
    clearMessages();
    host::MelValue caught;
    ASSERT_TRUE(run("int $failed = catch(`testFail`);\ntestRecord $failed;", &caught)) << errors();
    EXPECT_EQ(errors(), "testFail: failing on purpose.\n");
    ASSERT_EQ(recordedCalls().size(), 1u);
    EXPECT_EQ(recordedCalls()[0].asInt(0), 1);

    clearMessages();
    ASSERT_TRUE(run("if (catchQuiet(testFail())) warning \"quietly failed\";"));
    EXPECT_EQ(errors(), "");
    EXPECT_EQ(warnings(), "quietly failed\n");

    // An error deep in procedures unwinds to the catch around the outer call.
    clearMessages();
    const std::string output = printed(
        "global proc melTestInner() { error \"deep\"; print \"never\"; }\n"
        "global proc melTestOuter() { melTestInner(); print \"never\"; }\n"
        "print (catch(melTestOuter()) + \"\\n\");");
    EXPECT_EQ(output, "1\n");
    EXPECT_EQ(errors(), "deep\n");
}

TEST_F(MelLanguage, ProceduresTakeCommandAndFunctionSyntax)
{
    ASSERT_TRUE(run("global proc melTestGreet(string $who, int $times) { testRecord $who $times; }\n"
                    "melTestGreet \"bob\" 3;\n"
                    "melTestGreet(\"ann\", 2 + 2);\n"
                    "melTestGreet ann 5;"))
        << errors();
    ASSERT_EQ(recordedCalls().size(), 3u);
    EXPECT_EQ(recordedCalls()[0].asString(0), MString("bob"));
    EXPECT_EQ(recordedCalls()[0].asInt(1), 3);
    EXPECT_EQ(recordedCalls()[1].asString(0), MString("ann"));
    EXPECT_EQ(recordedCalls()[1].asInt(1), 4);
    EXPECT_EQ(recordedCalls()[2].asString(0), MString("ann"));
}

TEST_F(MelLanguage, CommandsReceiveFlagsArraysAndVectorsAsArguments)
{
    ASSERT_TRUE(run("string $names[] = {\"a\", \"b\"};\n"
                    "vector $p = <<1, 2.5, 3>>;\n"
                    "testRecord(\"-flag\", $names, $p);\n"
                    "testRecord -n ($names[1] + \".tx\") `testEcho x`;"))
        << errors();
    ASSERT_EQ(recordedCalls().size(), 2u);
    const MArgList& functionCall = recordedCalls()[0];
    ASSERT_EQ(functionCall.length(), 6u);
    EXPECT_EQ(functionCall.flagIndex("-flag"), 0u);
    EXPECT_EQ(functionCall.asString(2), MString("b"));
    EXPECT_DOUBLE_EQ(functionCall.asDouble(4), 2.5);
    const MArgList& commandCall = recordedCalls()[1];
    ASSERT_EQ(commandCall.length(), 3u);
    EXPECT_EQ(commandCall.flagIndex("-n"), 0u);
    EXPECT_EQ(commandCall.asString(1), MString("b.tx"));
    EXPECT_EQ(commandCall.asString(2), MString("x"));
}

TEST_F(MelLanguage, PrintShowsArraysOneElementPerLine)
{
    EXPECT_EQ(printed("string $a[] = {\"x\", \"y\"}; print $a;"), "x\ny\n");
    EXPECT_EQ(printed("float $f[] = {0.5, 2}; print $f;"), "0.5\n2\n");
    EXPECT_EQ(printed("print <<1, 0.25, -3>>;"), "1 0.25 -3");
    EXPECT_EQ(printed("print (7 / 2.0);"), "3.5");
}

TEST_F(MelLanguage, TopLevelCallsEchoTheirResultButProcedureBodiesDoNot)
{
    std::vector<std::string> results;
    host::MelInterpreter::Options options;
    options.onResult = [&results](const host::MelValue& value) { results.push_back(value.asString().asChar()); };
    const char* script =
        "global proc int melTestQuiet() { size(\"inner\"); return 7; }\n"
        "size(\"four\");\n"
        "int $n = size(\"xy\");\n"
        "melTestQuiet();\n"
        "if (1) size(\"in a block\");\n"
        "catch(size(\"abc\"));";
    ASSERT_TRUE(host::MelInterpreter::run(script, options)) << errors();
    EXPECT_EQ(results, (std::vector<std::string>{"4", "7", "0"}));
}

TEST_F(MelLanguage, SourceFindsScriptsThroughMayaScriptPath)
{
    ScriptFolder folder("melTestScripts");
    folder.write("melTestLibrary.mel",
                 "global proc string melTestLibraryProc() { return \"from library\"; }\n"
                 "proc string melTestHidden() { return \"hidden\"; }\n"
                 "global proc string melTestUsesHidden() { return melTestHidden(); }\n");
    folder.write("melTestAutoloaded.mel", "global proc int melTestAutoloaded(int $x) { return $x * 2; }\n");
    folder.write("melTestBroken.mel", "print \"before\";\n\nerror \"broken library\";\n");

    EXPECT_EQ(printed("source \"melTestLibrary.mel\"; print (melTestLibraryProc());"), "from library") << errors();
    // Local procedures stay in their file, but that file's global procedures can call them.
    EXPECT_EQ(printed("print (melTestUsesHidden());"), "hidden") << errors();
    clearMessages();
    EXPECT_EQ(failure("melTestHidden();"), "Line 1: Cannot find procedure \"melTestHidden\".\n");
    // "source name" adds .mel; an unknown procedure is looked for as NAME.mel.
    EXPECT_TRUE(run("source melTestLibrary;")) << errors();
    EXPECT_EQ(printed("print (melTestAutoloaded(21));"), "42") << errors();
    host::MelValue kind;
    ASSERT_TRUE(run("whatIs melTestLibraryProc;", &kind));
    EXPECT_EQ(kind.asString(), MString(("Mel procedure found in: " + folder.path("melTestLibrary.mel")).c_str()));

    // Errors in a sourced file name the file and line.
    clearMessages();
    EXPECT_FALSE(run("source \"melTestBroken.mel\";"));
    EXPECT_EQ(errors(), folder.path("melTestBroken.mel") + " line 3: broken library\n");
}

TEST_F(MelLanguage, RunawayScriptsFailCleanly)
{
    EXPECT_EQ(failure("global proc melTestForever(int $n) { melTestForever($n + 1); }\nmelTestForever(0);"),
              "Line 1: Procedure calls nested too deeply (more than 200 levels).\n");

    clearMessages();
    EXPECT_FALSE(run(std::string(2000, '{') + std::string(2000, '}')));
    EXPECT_EQ(errors(), "Line 1: Statements nested too deeply.\n");

    clearMessages();
    EXPECT_EQ(failure("eval \"eval \\\"melTestNeverDefined\\\"\";"),
              "Line 1: Cannot find procedure \"melTestNeverDefined\".\n");

    // Long flat expressions are chains, not nesting: they evaluate.
    std::string sum = "int $total = 0";
    for (int k = 0; k < 20000; ++k)
        sum += " + 1";
    host::MelValue value;
    ASSERT_TRUE(run(sum + ";", &value)) << errors();
    EXPECT_EQ(value.asInt(), 20000);

    // Indices far past any real array are refused instead of allocated.
    clearMessages();
    EXPECT_EQ(failure("int $a[];\n$a[2000000000] = 1;"), "Line 2: Array index out of range: 2000000000\n");
}

TEST_F(MelLanguage, LoopsRunThousandsOfIterations)
{
    host::MelValue value;
    ASSERT_TRUE(run("string $names[];\n"
                    "for ($i = 0; $i < 20000; $i++) $names[size($names)] = \"n\" + $i;\n"
                    "int $count = 0;\n"
                    "for ($n in $names) if (gmatch($n, \"n1*\")) $count++;\n"
                    "$count;",
                    &value))
        << errors();
    EXPECT_EQ(value.asInt(), 11111);
}

TEST_F(MelLanguage, GlobalsAndProceduresOutliveTheScriptThatDeclaredThem)
{
    ASSERT_TRUE(run("global int $melTestCounter = 1;\n"
                    "global proc melTestBump() { global int $melTestCounter; $melTestCounter++; }"))
        << errors();
    ASSERT_TRUE(run("melTestBump(); melTestBump;")) << errors();
    host::MelValue value;
    ASSERT_TRUE(run("global int $melTestCounter; $melTestCounter;", &value)) << errors();
    EXPECT_EQ(value.asInt(), 3);

    // A script's own variables end with it; a global keeps its type.
    ASSERT_TRUE(run("int $melTestLocal = 1;"));
    EXPECT_EQ(failure("print $melTestLocal;"), "Line 1: $melTestLocal is an undeclared variable.\n");
    EXPECT_EQ(failure("global string $melTestCounter;"),
              "Line 1: $melTestCounter is already declared as a global int.\n");
}

TEST_F(MelLanguage, EvalSeesTheScriptsVariablesAtTheTopLevelOnly)
{
    EXPECT_EQ(printed("int $melTestSeen = 5;\neval(\"print $melTestSeen\");"), "5") << errors();
    clearMessages();
    EXPECT_EQ(failure("global proc melTestEvalInside() { int $mine = 1; eval(\"print $mine\"); }\nmelTestEvalInside;"),
              "Line 1: $mine is an undeclared variable.\n");
}
