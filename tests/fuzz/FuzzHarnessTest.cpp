// The fuzz campaign itself: planted faults are caught and named, one input repeats exactly
// from its seed and index, and a short clean run reports its seeds and counts.

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <string>
#include <cstdlib>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Outcome
{
    int exitCode = -1;
    std::string output;
};

// Runs the campaign with its scene files in a folder of its own.
Outcome runFuzz(const std::string& arguments)
{
    Outcome outcome;
    char folder[] = "/tmp/pellixfuzzTestXXXXXX";
    if (!mkdtemp(folder)) {
        ADD_FAILURE() << "cannot make a folder for the scene files";
        return outcome;
    }
    const std::string command = std::string(PELLIXFUZZ_PATH) + " --work " + folder + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        ADD_FAILURE() << "cannot run " << command;
        return outcome;
    }
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe)) {
        outcome.output += buffer;
    }
    // The folder differs from run to run; what was done in it does not.
    for (size_t at; (at = outcome.output.find(folder)) != std::string::npos;) {
        outcome.output.replace(at, std::strlen(folder), "WORK");
    }
    const int status = pclose(pipe);
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::remove((std::string(folder) + "/pellixfuzz-scene.ma").c_str());
    rmdir(folder);
    return outcome;
}

bool hasLine(const std::string& output, const std::string& line)
{
    return ("\n" + output).find("\n" + line + "\n") != std::string::npos;
}

} // namespace

TEST(FuzzHarness, PlantedNonFinitePinOutputIsCaughtAndNamed)
{
    const Outcome outcome = runFuzz("--plant non-finite-output --seed 5 --input 0");
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_TRUE(hasLine(outcome.output, "pellixfuzz: non-finite pin output surfacePin1.outputTranslate[0]."
                                        "outputTranslateX = nan in input 0 of run seed 5 (planted mutant of pins)"))
        << outcome.output;
}

TEST(FuzzHarness, PlantedCrashIsCaughtAndNamed)
{
    const Outcome outcome = runFuzz("--plant abort --seed 5 --input 0");
    EXPECT_EQ(outcome.exitCode, 2);
    EXPECT_TRUE(hasLine(outcome.output, "pellixfuzz: crash (signal 6) in input 0 of run seed 5 (planted mutant of pins)"))
        << outcome.output;
}

TEST(FuzzHarness, AnInputRepeatsFromItsSeedAndIndex)
{
    for (const char* input : {"1", "2", "3"}) {
        SCOPED_TRACE(input);
        const std::string arguments = std::string("--verbose --seed 11 --input ") + input;
        const Outcome first = runFuzz(arguments);
        const Outcome second = runFuzz(arguments);
        EXPECT_EQ(first.exitCode, 0) << first.output;
        EXPECT_NE(first.output.find("input " + std::string(input) + " of run seed 11 ("), std::string::npos)
            << first.output;
        // Everything but the time taken.
        const std::regex time(" in [0-9.]+ s,");
        EXPECT_EQ(std::regex_replace(first.output, time, ""), std::regex_replace(second.output, time, ""));
    }
}

TEST(FuzzHarness, ABoundedRunPrintsItsSeedsAndWhatItTried)
{
    const Outcome outcome = runFuzz("--seconds 6 --seed 11");
    EXPECT_EQ(outcome.exitCode, 0) << outcome.output;
    EXPECT_EQ(outcome.output.rfind("pellixfuzz: fixed seed 2651975693, run seed 11, 6 s "
                                   "(repeat one input with --seed S --input N)\n",
                                   0),
              0u)
        << outcome.output;
    std::smatch total;
    const std::regex summary("pellixfuzz: ([0-9]+) inputs in ([0-9.]+) s, no crash, hang or non-finite pin output\n");
    ASSERT_TRUE(std::regex_search(outcome.output, total, summary)) << outcome.output;
    EXPECT_GT(std::stoul(total[1].str()), 0u);
    EXPECT_GE(std::stod(total[2].str()), 6.0);
}

TEST(FuzzHarness, UnknownPlantedFaultIsRefused)
{
    const Outcome outcome = runFuzz("--plant nothing");
    EXPECT_EQ(outcome.exitCode, 64);
    EXPECT_EQ(outcome.output, "pellixfuzz: unknown planted fault 'nothing'\n");
}
