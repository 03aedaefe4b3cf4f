#pragma once
// The seed scenes of the fuzz campaign and the ways it damages them: structured changes to
// the stored data of the plug-in's nodes and meshes, token changes to saved scene text and
// token changes to MEL.

#include <cstdint>
#include <string>
#include <vector>

namespace fuzz {

// Deterministic per input: the same run seed and input index give the same choices.
class Random
{
public:
    Random(uint64_t runSeed, uint64_t index);
    uint64_t next();
    size_t below(size_t bound);  // 0 when bound is 0
    bool chance(double probability);
    double real(double low, double high);

private:
    uint64_t fState;
};

struct SeedScene
{
    std::string name;
    std::vector<std::string> mel;  // builds the scene from an empty one
    std::string realScenePath;     // or a file saved by Maya
    std::string melScriptPath;     // or a MEL script, damaged and run whole
};

enum class Kind { kStoredData, kSceneText, kMel, kMelScript };
const char* kindName(Kind kind);
Kind pickKind(Random& random, const SeedScene& seed);

// The scenes the plug-in's tests build, the real scenes in `realScenesDirectory` and the MEL
// scripts in `melScriptsDirectory` (either may be empty).
std::vector<SeedScene> seedScenes(const std::string& realScenesDirectory, const std::string& melScriptsDirectory);
// Builds the seed's scene: its MEL, or its real scene opened.
void buildSeed(const SeedScene& seed);
// A MEL script's text with one to four lines damaged, dropped or repeated.
std::string mutateMelScript(Random& random, const std::string& text);

// Damages one to four stored values of the plug-in's nodes and meshes through their plugs;
// returns what was done.
std::string mutateStoredData(Random& random);

// Saves the open scene as Maya ASCII at `path` and returns its text.
std::string saveSceneText(const std::string& path);
std::string mutateSceneText(Random& random, const std::string& text);
std::vector<std::string> mutateMel(Random& random, const std::vector<std::string>& lines);

} // namespace fuzz
