// The README's main command runs scripts/demo.mel in pellixbatch; it must run to its end
// and show each part of the plug-in doing its work, before and after a save and reopen.

#include "PluginTestSupport.h"

#include <cstdio>
#include <string>

TEST(DemoScript, RunsToTheEndShowingEveryPartAtWork)
{
    std::string output;
    // The test data folder is <source>/tests/data; the script lives in <source>/scripts.
    std::string root = PELLIX_TEST_DATA;
    root.erase(root.rfind("/tests/data"));
    const std::string script = root + "/scripts/demo.mel";
    ASSERT_EQ(runPellixbatch("-script \"" + script + "\"", output), 0) << output;

    auto shows = [&output](const std::string& text) { return output.find(text) != std::string::npos; };
    EXPECT_TRUE(shows("// Result: shapeControl pellixDataOverlay hoverMarker surfacePin surfaceUVPin vertexWrap //"));
    // Both patches bound, stored and read back after the reopen.
    EXPECT_TRUE(shows("2 patch(es); 12 vertices matched at bind tolerance 0.0001."));
    const std::string binding = "// Result: 0 1 2 5 6 7 17 18 19 22 23 24 //";
    ASSERT_NE(output.find(binding), std::string::npos) << output;
    EXPECT_NE(output.find(binding, output.find("opening it again")), std::string::npos) << output;
    // Selecting the belly control selects patch 1; undo and redo swap the tolerances.
    EXPECT_TRUE(shows("marks patch 1 as selected\n// Result: 1 //"));
    EXPECT_TRUE(shows("redo the second\n// Result: 0.0001 //\n// Result: torsoOverlayShape //\n// Result: 0.001 //"));
    // The side control rides the rock up by 3; the wrapped cloth vertex follows the body's.
    // The side control ends at (2, 3, 0), to the last digits of the pin's frame math.
    const size_t carried = output.find("carries them along\n// Result: ");
    ASSERT_NE(carried, std::string::npos) << output;
    const size_t side = output.find("// Result: ", output.find('\n', carried + 20));
    ASSERT_NE(side, std::string::npos) << output;
    double x = 0, y = 0, z = 0;
    ASSERT_EQ(std::sscanf(output.c_str() + side, "// Result: %lf %lf %lf //", &x, &y, &z), 3) << output.substr(side, 80);
    EXPECT_NEAR(x, 2.0, 1e-9);
    EXPECT_NEAR(y, 3.0, 1e-9);
    EXPECT_NEAR(z, 0.0, 1e-9);
    EXPECT_TRUE(shows("cloth's vertex 12 with it\n// Result: 0 1 0 //\n// Result: 0 1 0 //"));
    EXPECT_TRUE(shows("(vertex 12 lowered by 2)\n// Result: 0 -1 0 //"));
    EXPECT_TRUE(shows("sits where its curve was\n// Result: 0 1 0 //"));
    EXPECT_TRUE(shows("brings it back\n// Result: hipCtrlShape //\n// Result: hipCtrlShape headCtrlShape //"));
    EXPECT_TRUE(shows("The shape controls are back\n// Result: hipCtrlShape headCtrlShape //"));
    EXPECT_TRUE(shows("== Done"));
    EXPECT_FALSE(shows("Error:")) << output;
}
