#pragma once
// Where the scenes saved by Maya are: the PELLIX_REAL_SCENES environment variable, else the
// folder the build was configured with. Tests skip when it holds no scene.

#include <cstdlib>
#include <string>

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
