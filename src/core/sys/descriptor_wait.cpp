#include "core/sys/descriptor_wait.h"

#include <poll.h>

#include <algorithm>
#include <climits>

namespace zepa2 {

void WaitForReadable(const std::vector<int>& descriptors,
                     std::optional<std::chrono::steady_clock::time_point> deadline) {
  std::vector<pollfd> ready;
  for (const int fd : descriptors) ready.push_back({fd, POLLIN, 0});
  int timeout = -1;
  if (deadline) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(*deadline - std::chrono::steady_clock::now());
    timeout = static_cast<int>(std::clamp<long long>(left.count(), 0, INT_MAX));
  }
  poll(ready.data(), ready.size(), timeout);
}

}  // namespace zepa2
