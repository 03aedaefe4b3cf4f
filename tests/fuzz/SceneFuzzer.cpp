// pellixfuzz: damaged stored data, damaged scene files and damaged MEL against the host with
// the pellix plug-in loaded. Every input starts from a fresh seed scene, is damaged, opened,
// evaluated (every readable plug of the plug-in's nodes and meshes, every transform's world
// matrix), saved and opened again. A crash or sanitizer report (signal), a hang (alarm) or a
// non-finite pin output fails the run; the failing input is named so that
// `pellixfuzz --seed S --input N` repeats it alone.

#include "SceneMutator.h"

#include "commands/MessageOutput.h"
#include "commands/mel/MelInterpreter.h"
#include "views/Views.h"

#include <maya/MDagPath.h>
#include <maya/MFnAttribute.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnMatrixData.h>
#include <maya/MGlobal.h>
#include <maya/MItDag.h>
#include <maya/MItDependencyNodes.h>
#include <maya/MMatrix.h>
#include <maya/MObject.h>
#include <maya/MObjectArray.h>
#include <maya/MPlug.h>
#include <maya/MString.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using fuzz::Random;

const uint64_t kFixedSeed = 0x9e11f00dULL;
const unsigned kHangSeconds = 60;  // one input, under the sanitizers, on a busy machine
const unsigned kMaxElementsRead = 64;

// What the signal handlers print: the input in progress.
char gCurrentInput[512] = "no input yet";
// With --draw, every evaluated scene is also drawn in the views, framed whole, into this image.
std::string gDrawnImage;

void writeRaw(const char* text)
{
    ssize_t ignored = write(2, text, std::strlen(text));
    (void)ignored;
}

void onFatalSignal(int signal)
{
    char line[700];
    std::snprintf(line, sizeof line, "pellixfuzz: crash (signal %d) in %s\n", signal, gCurrentInput);
    writeRaw(line);
    _exit(2);
}

void onAlarm(int)
{
    char line[700];
    std::snprintf(line, sizeof line, "pellixfuzz: hang (over %u s) in %s\n", kHangSeconds, gCurrentInput);
    writeRaw(line);
    _exit(3);
}

void installHandlers()
{
    std::signal(SIGALRM, onAlarm);
    // The sanitizers end on abort (abort_on_error=1) after their report; without them a
    // segmentation fault is reported here too.
    std::signal(SIGABRT, onFatalSignal);
#if !defined(__SANITIZE_ADDRESS__)
    std::signal(SIGSEGV, onFatalSignal);
    std::signal(SIGBUS, onFatalSignal);
    std::signal(SIGFPE, onFatalSignal);
#endif
}

struct Options
{
    double seconds = 120.0;
    uint64_t runSeed = 0;
    bool seedGiven = false;
    long onlyInput = -1;
    std::string plant;  // a fault the harness must catch: "non-finite-output" or "abort"
    std::string realScenes;
    std::string melScripts;
    std::string workDirectory = "/tmp";
    bool verbose = false;
    bool draw = false;
};

bool parse(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--seconds" && hasValue) {
            options.seconds = std::atof(argv[++i]);
        } else if (arg == "--seed" && hasValue) {
            options.runSeed = std::strtoull(argv[++i], nullptr, 10);
            options.seedGiven = true;
        } else if (arg == "--input" && hasValue) {
            options.onlyInput = std::atol(argv[++i]);
        } else if (arg == "--plant" && hasValue) {
            options.plant = argv[++i];
        } else if (arg == "--real-scenes" && hasValue) {
            options.realScenes = argv[++i];
        } else if (arg == "--mel-scripts" && hasValue) {
            options.melScripts = argv[++i];
        } else if (arg == "--work" && hasValue) {
            options.workDirectory = argv[++i];
        } else if (arg == "--verbose") {
            options.verbose = true;
        } else if (arg == "--draw") {
            options.draw = true;
        } else {
            std::fprintf(stderr,
                         "usage: pellixfuzz [--seconds S] [--seed N] [--input N] [--plant non-finite-output|abort]\n"
                         "                  [--real-scenes DIR] [--mel-scripts DIR] [--work DIR] [--verbose] [--draw]\n");
            return false;
        }
    }
    if (!options.plant.empty() && options.plant != "non-finite-output" && options.plant != "abort") {
        std::fprintf(stderr, "pellixfuzz: unknown planted fault '%s'\n", options.plant.c_str());
        return false;
    }
    return true;
}

bool run(const std::string& command)
{
    return MGlobal::executeCommand(MString(command.c_str()));
}

bool isPinType(const MString& type)
{
    return type == "surfacePin" || type == "surfaceUVPin";
}

// Reads a plug the way a query or a connection would, pulling its value.
void readPlug(const MPlug& plug, unsigned depth)
{
    if (depth > 4) {
        return;
    }
    if (plug.isArray()) {
        const unsigned count = plug.evaluateNumElements();
        for (unsigned i = 0; i < count && i < kMaxElementsRead; ++i) {
            readPlug(plug.elementByPhysicalIndex(i), depth + 1);
        }
        return;
    }
    if (plug.isCompound()) {
        for (unsigned i = 0; i < plug.numChildren(); ++i) {
            readPlug(plug.child(i), depth + 1);
        }
        return;
    }
    MStatus status;
    (void)plug.asMObject(&status);
    if (!status) {
        (void)plug.asDouble();
    }
}

// A pin output that is not finite, as "node.attr[i]" with its value, or "".
std::string nonFinitePinOutput(const MObject& node)
{
    MFnDependencyNode fn(node);
    MPlug matrices = fn.findPlug("outputMatrix", true);
    for (unsigned i = 0; i < matrices.evaluateNumElements() && i < kMaxElementsRead; ++i) {
        MPlug element = matrices.elementByPhysicalIndex(i);
        MObject data = element.asMObject();
        if (data.isNull()) {
            continue;
        }
        const MMatrix m = MFnMatrixData(data).matrix();
        for (int r = 0; r < 4; ++r) {
            for (int c = 0; c < 4; ++c) {
                if (!std::isfinite(m(r, c))) {
                    return element.name().asChar() + std::string(" = ") + std::to_string(m(r, c));
                }
            }
        }
    }
    MPlug translates = fn.findPlug("outputTranslate", true);
    for (unsigned i = 0; i < translates.evaluateNumElements() && i < kMaxElementsRead; ++i) {
        MPlug element = translates.elementByPhysicalIndex(i);
        for (unsigned k = 0; k < element.numChildren(); ++k) {
            const double value = element.child(k).asDouble();
            if (!std::isfinite(value)) {
                return element.child(k).name().asChar() + std::string(" = ") + std::to_string(value);
            }
        }
    }
    return "";
}

// Evaluates the scene; returns a failure text, or "".
std::string evaluateScene()
{
    std::vector<MObject> nodes;
    for (MItDependencyNodes it; !it.isDone(); it.next()) {
        nodes.push_back(it.thisNode());
    }
    std::string failure;
    for (const MObject& node : nodes) {
        MFnDependencyNode fn(node);
        const MString type = fn.typeName();
        const bool ours = fn.typeId().id() >= 0x140540 && fn.typeId().id() < 0x140550;  // the plug-in's ids
        if (ours || type == "mesh") {
            for (unsigned a = 0; a < fn.attributeCount(); ++a) {
                const MObject attribute = fn.attribute(a);
                MFnAttribute attributeFn(attribute);
                if (attributeFn.isReadable() && attributeFn.parent().isNull()) {
                    readPlug(MPlug(node, attribute), 0);
                }
            }
        }
        if (isPinType(type) && failure.empty()) {
            const std::string bad = nonFinitePinOutput(node);
            if (!bad.empty()) {
                failure = "non-finite pin output " + bad;
            }
        }
    }
    for (MItDag it; !it.isDone(); it.next()) {
        MDagPath path;
        if (it.getPath(path)) {
            (void)path.inclusiveMatrix();
        }
    }
    if (!gDrawnImage.empty()) {
        // Damaged data must draw (or draw nothing), never crash the viewport.
        run("viewFit -all");
        run("refresh -cv -fe png -fn \"" + gDrawnImage + "\"");
    }
    return failure;
}

// Writes NaN into the first pin output there is, after it was pulled: the check must see it.
void plantNonFiniteOutput()
{
    for (MItDependencyNodes it; !it.isDone(); it.next()) {
        MFnDependencyNode fn(it.thisNode());
        if (!isPinType(fn.typeName())) {
            continue;
        }
        MPlug translates = fn.findPlug("outputTranslate", true);
        if (translates.evaluateNumElements() > 0) {
            translates.elementByPhysicalIndex(0).child(0).setDouble(std::nan(""));
            return;
        }
    }
}

struct KindCounts
{
    unsigned long inputs = 0;
    unsigned long clean = 0;    // no error said
    unsigned long errors = 0;   // the damage was reported
};

class Campaign
{
public:
    explicit Campaign(const Options& options) : fOptions(options)
    {
        fScenePath = options.workDirectory + "/pellixfuzz-scene.ma";
        fSeeds = fuzz::seedScenes(options.realScenes, options.melScripts);
    }

    ~Campaign() { std::remove(fScenePath.c_str()); }

    // Runs one input; returns a failure text, or "".
    std::string runInput(uint64_t runSeed, long index)
    {
        Random random(runSeed, static_cast<uint64_t>(index));
        // A planted fault goes into the first input, on the pinned scene left undamaged.
        const bool planted = !fOptions.plant.empty() && index == 0;
        const fuzz::SeedScene& seed = planted ? fSeeds.front() : pickSeed(random);
        const fuzz::Kind kind = fuzz::pickKind(random, seed);
        const char* kindText = planted ? "planted" : fuzz::kindName(kind);
        std::snprintf(gCurrentInput, sizeof gCurrentInput, "input %ld of run seed %llu (%s mutant of %s)", index,
                      static_cast<unsigned long long>(runSeed), kindText, seed.name.c_str());
        if (fOptions.verbose) {
            std::fprintf(stderr, "%s\n", gCurrentInput);
        }
        alarm(kHangSeconds);

        host::MessageCapture quiet(fOptions.verbose);
        run("file -force -new");
        // Errors the damage brought; a MEL mutant's seed is damaged as it is built.
        unsigned long long errorsBefore = host::errorCount();
        if (planted) {
            fuzz::buildSeed(seed);
            if (fOptions.plant == "abort") {
                std::abort();
            }
        } else {
            switch (kind) {
            case fuzz::Kind::kStoredData: {
                fuzz::buildSeed(seed);
                errorsBefore = host::errorCount();
                const std::string done = fuzz::mutateStoredData(random);
                if (fOptions.verbose) {
                    std::fprintf(stderr, "  %s\n", done.c_str());
                }
                break;
            }
            case fuzz::Kind::kSceneText: {
                fuzz::buildSeed(seed);
                errorsBefore = host::errorCount();
                const std::string text = fuzz::saveSceneText(fScenePath);
                writeFile(fScenePath, fuzz::mutateSceneText(random, text));
                run("file -force -new");
                run("file -force -open \"" + fScenePath + "\"");
                break;
            }
            case fuzz::Kind::kMelScript:
                run(fuzz::mutateMelScript(random, readFile(seed.melScriptPath)));
                break;
            case fuzz::Kind::kMel:
                for (const std::string& line : fuzz::mutateMel(random, seed.mel)) {
                    run(line);
                }
                break;
            }
        }
        std::string failure = evaluateScene();
        if (planted && fOptions.plant == "non-finite-output" && failure.empty()) {
            plantNonFiniteOutput();
            failure = evaluateScene();
        }
        if (failure.empty()) {
            // Saved and opened again, the scene evaluates as cleanly.
            run("file -rename \"" + fScenePath + "\"");
            run("file -save -type \"mayaAscii\"");
            run("file -force -new");
            run("file -force -open \"" + fScenePath + "\"");
            failure = evaluateScene();
            if (!failure.empty()) {
                failure += " after saving and opening again";
            }
        }
        alarm(0);
        const std::string family = seed.realScenePath.empty() ? seed.name : "real scenes";
        KindCounts& counts = fCounts[std::string(kindText) + " of " + family];
        ++counts.inputs;
        if (host::errorCount() == errorsBefore) {
            ++counts.clean;
        } else {
            ++counts.errors;
        }
        return failure;
    }

    void printCounts(double seconds) const
    {
        unsigned long total = 0;
        for (const auto& entry : fCounts) {
            total += entry.second.inputs;
            std::printf("pellixfuzz: %-30s %6lu inputs, %6lu clean, %6lu with an error reported\n",
                        entry.first.c_str(), entry.second.inputs, entry.second.clean, entry.second.errors);
        }
        std::printf("pellixfuzz: %lu inputs in %.1f s, no crash, hang or non-finite pin output\n", total, seconds);
    }

private:
    // The plug-in's own scenes mostly; the real scenes are many, large and slow to build.
    const fuzz::SeedScene& pickSeed(Random& random) const
    {
        std::vector<const fuzz::SeedScene*> own, real, scripts;
        for (const fuzz::SeedScene& seed : fSeeds) {
            (!seed.realScenePath.empty() ? real : !seed.melScriptPath.empty() ? scripts : own).push_back(&seed);
        }
        if (!real.empty() && random.chance(0.25)) {
            return *real[random.below(real.size())];
        }
        if (!scripts.empty() && random.chance(0.15)) {
            return *scripts[random.below(scripts.size())];
        }
        return *own[random.below(own.size())];
    }

    static std::string readFile(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    static void writeFile(const std::string& path, const std::string& text)
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << text;
    }

    const Options& fOptions;
    std::string fScenePath;
    std::vector<fuzz::SeedScene> fSeeds;
    std::map<std::string, KindCounts> fCounts;
};

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parse(argc, argv, options)) {
        return 64;
    }
    if (!options.seedGiven) {
        options.runSeed = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                          (static_cast<uint64_t>(getpid()) << 32);
        options.runSeed %= 1000000000000ULL;
    }
    installHandlers();
    // A damaged script may loop for ever, which is its own business, not the host's fault.
    host::MelInterpreter::setLoopIterationLimit(100000);
    // The views close before the process ends, whichever way main returns.
    struct ViewsClosed {
        ~ViewsClosed()
        {
            if (host::viewsStarted()) {
                run("file -force -new");
                host::stopViews();
            }
        }
    } viewsClosed;
    if (options.draw) {
        std::string error;
        if (!host::startViews(argc, argv, error)) {
            std::fprintf(stderr, "pellixfuzz: %s\n", error.c_str());
            return 1;
        }
        gDrawnImage = options.workDirectory + "/pellixfuzz-view.png";
    }
    if (!run(std::string("loadPlugin \"") + PELLIX_PLUGIN_PATH + "\"")) {
        std::fprintf(stderr, "pellixfuzz: cannot load %s\n", PELLIX_PLUGIN_PATH);
        return 1;
    }
    Campaign campaign(options);
    const auto start = std::chrono::steady_clock::now();
    auto elapsed = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };

    if (options.onlyInput >= 0) {
        const std::string failure = campaign.runInput(options.runSeed, options.onlyInput);
        if (!failure.empty()) {
            std::printf("pellixfuzz: %s in %s\n", failure.c_str(), gCurrentInput);
            return 1;
        }
        campaign.printCounts(elapsed());
        return 0;
    }

    // Half the time on a fixed seed, so every run covers the same ground, half on this run's.
    std::printf("pellixfuzz: fixed seed %llu, run seed %llu, %.0f s (repeat one input with --seed S --input N)\n",
                static_cast<unsigned long long>(kFixedSeed), static_cast<unsigned long long>(options.runSeed),
                options.seconds);
    std::fflush(stdout);
    const uint64_t seeds[2] = {kFixedSeed, options.runSeed};
    for (int phase = 0; phase < 2; ++phase) {
        const double phaseEnd = options.seconds * (phase + 1) / 2.0;
        for (long index = 0; elapsed() < phaseEnd; ++index) {
            const std::string failure = campaign.runInput(seeds[phase], index);
            if (!failure.empty()) {
                std::printf("pellixfuzz: %s in %s\n", failure.c_str(), gCurrentInput);
                return 1;
            }
        }
    }
    campaign.printCounts(elapsed());
    return 0;
}
