// pellixgui: the host with its views, left open for a person until the
// window closes (see runner/Runner.h).

#include "runner/Runner.h"

int main(int argc, char** argv)
{
    return host::runnerMain(argc, argv, host::RunnerKind::kGui);
}
