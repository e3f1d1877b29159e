// Sleeping until one of some descriptors is readable or a moment on the monotonic clock comes.
#pragma once

#include <chrono>
#include <optional>
#include <vector>

namespace zepa2 {

// Returns when a descriptor is readable (or closed, or in error), at `deadline`, or on a signal;
// without a deadline only a descriptor ends the wait. The caller looks at what is ready itself.
void WaitForReadable(const std::vector<int>& descriptors,
                     std::optional<std::chrono::steady_clock::time_point> deadline);

}  // namespace zepa2
