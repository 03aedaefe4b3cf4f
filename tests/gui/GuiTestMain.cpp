// The GUI tests share one process with the views up: they start once, before
// any test, as in a session of pellixgui.

#include "commands/mel/MelInterpreter.h"
#include "views/StartupCameras.h"
#include "views/Views.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
#ifdef PELLIX_SCRIPTS_DIR
    // The plug-in's menu script, found as an installed module's scripts folder would be.
    ::setenv("MAYA_SCRIPT_PATH", PELLIX_SCRIPTS_DIR, 1);
#endif
    std::string error;
    if (!host::startViews(argc, argv, error)) {
        std::fprintf(stderr, "Error: %s\n", error.c_str());
        return 1;
    }
    // The session starts with Maya's startup cameras, as pellixgui's does. The views show the
    // scene on flat grey with no grid or view axis, which tests of drawing tell apart from what
    // they draw; the tests of those decorations turn them on.
    const int result = host::ensureStartupCameras() &&
                               host::MelInterpreter::run("grid -toggle off; displayPref -displayGradient off; "
                                                         "toggleAxis -view off")
                           ? RUN_ALL_TESTS()
                           : 1;
    host::stopViews();
    return result;
}
