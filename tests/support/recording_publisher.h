// A Publisher that records the addresses handed to it.
#pragma once

#include <string>
#include <vector>

#include "core/address/publisher.h"

namespace zepa2::test {

class RecordingPublisher : public Publisher {
 public:
  void PublishAddress(const std::string& address) override { published.push_back(address); }
  std::vector<std::string> published;
};

}  // namespace zepa2::test
