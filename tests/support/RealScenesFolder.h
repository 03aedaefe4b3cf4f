#pragma once
// Where the scenes saved by Maya are: the PELLIX_REAL_SCENES environment variable, else the
// folder the build was configured with (../shared/real-scenes beside the checkout, which a
// clone elsewhere does not have). Tests that read them skip in their own body when they are
// missing, with kNoRealScenes as the reason:
//
//     const std::string scene = realScenePath("Chess.ma");
//     if (scene.empty())
//         GTEST_SKIP() << kNoRealScenes;

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

inline constexpr const char* kNoRealScenes =
    "no scenes saved by Maya here: they are read from ../shared/real-scenes beside the checkout "
    "(or PELLIX_REAL_SCENES), which this checkout does not have";

inline std::string realScenesFolder()
{
    if (const char* folder = std::getenv("PELLIX_REAL_SCENES"))
        return folder;
#ifdef PELLIX_REAL_SCENES
    return PELLIX_REAL_SCENES;
#else
    return "../shared/real-scenes";
#endif
}

// The path of one scene of that folder, or "" when it is not there.
inline std::string realScenePath(const std::string& name)
{
    const std::string path = realScenesFolder() + "/" + name;
    std::error_code error;
    return std::filesystem::is_regular_file(path, error) ? path : std::string();
}

// The Maya ASCII scenes of that folder, sorted; none when it is missing.
inline std::vector<std::string> realScenePaths()
{
    std::vector<std::string> paths;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(realScenesFolder(), error))
        if (entry.path().extension() == ".ma")
            paths.push_back(entry.path().string());
    std::sort(paths.begin(), paths.end());
    return paths;
}
