// pellixbatch as scripts and checks see it: the result echo, the message
// streams and the exit status.

#include "CommandTestSupport.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

const std::string kSample = std::string(PELLIX_TEST_MODULES) + "/sampleModule.so";

ProgramOutput batch(const std::vector<std::string>& args)
{
    std::vector<std::string> argv{PELLIXBATCH_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    return runProgram(argv);
}

} // namespace

TEST(BatchRunner, EchoesEachTopLevelResultInMayasFormat)
{
    const ProgramOutput run = batch({"-plugin", kSample, "-command",
                                     "sampleResult -i 42; sampleResult -d 0.1; sampleResult -d 3;"
                                     "sampleResult -d 1e-7; sampleResult -d 0.0001; sampleResult -d 0.30000000000000004;"
                                     "sampleResult -b on; sampleResult -b false; sampleResult -s \"two words\";"
                                     "sampleResult -s \"\"; sampleResult -ea; sampleResult -sa a -sa b;"
                                     "sampleResult -da 1 -da 2.5; sampleResult;"
                                     "string $kept[] = `sampleResult -sa hidden`;"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out,
              "// Result: 42 //\n"
              "// Result: 0.1 //\n"
              "// Result: 3 //\n"
              "// Result: 1e-07 //\n"
              "// Result: 0.0001 //\n"
              "// Result: 0.30000000000000004 //\n"
              "// Result: 1 //\n"
              "// Result: 0 //\n"
              "// Result: two words //\n"
              "// Result:  //\n"
              "// Result:  //\n"
              "// Result: a b //\n"
              "// Result: 1 2.5 //\n");
    EXPECT_EQ(run.err, "");
}

TEST(BatchRunner, InfoGoesToStdoutWarningsAndErrorsToStderr)
{
    const ProgramOutput run =
        batch({"-plugin", kSample, "-command", "sampleResult -info \"as it stands\" -warn \"look out\";"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "as it stands\n");
    EXPECT_EQ(run.err, "Warning: look out\n");
}

TEST(BatchRunner, AFailingCommandEndsTheRunWithStatusOne)
{
    const ProgramOutput run =
        batch({"-plugin", kSample, "-command", "sampleResult -i 1; sampleResult -fail; sampleResult -i 2;"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "// Result: 1 //\n");
    EXPECT_EQ(run.err, "Error: sampleResult: asked to fail.\n");
}

// quit ends the run there with its exit code, even inside a procedure and a catch; the
// script given after the command never starts. Without a runner (a test), quit refuses.
TEST(BatchRunner, QuitEndsTheRunWithItsExitCode)
{
    ProgramOutput run = batch({"-plugin", kSample, "-script", "/nonexistent.mel", "-command",
                               "sampleResult -i 1; proc leave() { catch(`quit -f -exitCode 3`); print \"not here\"; }"
                               "leave(); sampleResult -i 2;"});
    EXPECT_EQ(run.exitCode, 3) << run.err;
    EXPECT_EQ(run.out, "// Result: 1 //\n");
    EXPECT_EQ(run.err, "");
    run = batch({"-command", "quit -force"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
}

TEST(BatchRunner, ScriptsRunAfterTheCommandAndReportTheirFileAndLine)
{
    const std::string script = ::testing::TempDir() + "/batch-runner-test.mel";
    {
        std::ofstream file(script);
        file << "sampleResult -s \"from script\";\n"
                "\n"
                "sampleResult -s \"unterminated;\n"
                "sampleResult -s never;\n";
    }
    const ProgramOutput run =
        batch({"-plugin", kSample, "-script", script, "-command", "sampleResult -s \"from command\";"});
    std::remove(script.c_str());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "// Result: from command //\n// Result: from script //\n");
    EXPECT_EQ(run.err, "Error: " + script + " line 3: Unterminated string.\n");
}

TEST(BatchRunner, RefusesBadPluginsAndArguments)
{
    ProgramOutput run = batch({"-plugin", std::string(PELLIX_TEST_MODULES) + "/noApiVersionModule.so",
                               "-command", "sampleResult -i 1;"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("does not define MApiVersion"), std::string::npos) << run.err;

    run = batch({"-unknown"});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find("usage: pellixbatch"), std::string::npos);
}
