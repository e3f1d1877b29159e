// The hand-over from the check cycle to publishing.
#pragma once

#include <string>

namespace zepa2 {

class Publisher {
 public:
  virtual ~Publisher() = default;
  // Publishes a changed (or forced) address to every site in use; the outcome is in the log.
  virtual void PublishAddress(const std::string& address) = 0;
};

}  // namespace zepa2
