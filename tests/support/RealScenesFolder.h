#pragma once
// Where the scenes saved by Maya are: the PELLIX_REAL_SCENES environment variable, else the
// folder the build was configured with. Tests skip when it holds no scene.

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

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
