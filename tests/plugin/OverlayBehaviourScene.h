#pragma once
// A bound overlay scene for the overlay behaviour tests, and a look at the overlay's change
// counters as its geometry override reads them.

#include "PluginTestSupport.h"

#include "../../overlay/PellixDataOverlay.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

// Driver "driver" (a 4 x 4 plane, 9 vertices), patch meshes "patchA" and "patchB", their
// controls "ctrlA" and "ctrlB".
MStatus buildDriverAndPatches();

// An overlay shape under a new transform, bound to the scene above as the bind command
// leaves it: two patches of four vertices, driver world mesh, patch meshes and controls
// connected.
MStatus buildBoundOverlay(const std::string& transform, const std::string& shape);

// The overlay node as its geometry override sees it (fails the test when it is none).
const PellixDataOverlay* overlayNamed(const std::string& name);

// Pulls the overlay's evaluated mesh as a viewport refresh does, leaving its input clean.
void refreshOverlay(const std::string& overlay);

// The overlay's "selectedPatches".
std::vector<int> selectedPatchesOf(const std::string& overlay);

enum Counter { kTopology, kGeometry, kHighlight, kDisplay, kTracked, kCounterCount };

struct Counters
{
    uint64_t value[kCounterCount] = {};
};

Counters countersOf(const std::string& overlay);

// Refreshes the overlay, runs `edit` and checks that exactly the counters in `bumped` went up.
void expectBumps(const std::string& edit, std::initializer_list<Counter> bumped,
                 const std::string& overlay = "overlayShape");
