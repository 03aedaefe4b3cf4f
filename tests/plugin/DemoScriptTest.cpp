// The README's main command runs scripts/demo.mel in pellixbatch; it must run to its end
// and show the overlay's arrays as they were set before the save.

#include "PluginTestSupport.h"

#include <string>

TEST(DemoScript, RunsToTheEndAndReadsTheArraysBack)
{
    std::string output;
    // The test data folder is <source>/tests/data; the script lives in <source>/scripts.
    std::string root = PELLIX_TEST_DATA;
    root.erase(root.rfind("/tests/data"));
    const std::string script = root + "/scripts/demo.mel";
    ASSERT_EQ(runPellixbatch("-script \"" + script + "\"", output), 0) << output;

    EXPECT_NE(output.find("// Result: shapeControl pellixDataOverlay hoverMarker surfacePin surfaceUVPin vertexWrap //"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("// Result: 10 11 12 13 20 21 22 //"), std::string::npos) << output;
    EXPECT_NE(output.find("// Result: 0 1 1 2 2 3 3 0 0 1 1 2 2 0 //"), std::string::npos) << output;
    EXPECT_NE(output.find("// Result: -1 //"), std::string::npos) << output;
    EXPECT_NE(output.find("== Done"), std::string::npos) << output;
    EXPECT_EQ(output.find("Error:"), std::string::npos) << output;
}
