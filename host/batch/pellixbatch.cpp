// pellixbatch: runs the host without a user interface, or with its views up
// for the run when given -gui (see runner/Runner.h).

#include "runner/Runner.h"

int main(int argc, char** argv)
{
    return host::runnerMain(argc, argv, host::RunnerKind::kBatch);
}
