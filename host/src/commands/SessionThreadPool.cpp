// Maya runs the parallel loops of plug-ins on its own TBB pool, which lives as long as the
// session. The host holds TBB the same way: this control ties the TBB library to the host
// library, so unloading the last plug-in that used TBB never unloads it under its running
// worker threads.

#include <tbb/global_control.h>
#include <tbb/info.h>

namespace host {
namespace {

// Allows what TBB would allow anyway; only its lifetime matters.
const tbb::global_control gSessionThreadPool(tbb::global_control::max_allowed_parallelism,
                                             static_cast<size_t>(tbb::info::default_concurrency()));

} // namespace
} // namespace host
