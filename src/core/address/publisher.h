// The hand-over from the check cycle to publishing.
#pragma once

#include <string>
#include <vector>

#include "core/address/check_report.h"

namespace zepa2 {

class Publisher {
 public:
  virtual ~Publisher() = default;
  // Publishes a changed (or forced) address to every site in use, or, when onlySites is not empty,
  // to those of its site numbers that are in use. One entry per site handled, in order; the log
  // tells the same story for the user.
  virtual std::vector<SiteReport> PublishAddress(const std::string& address,
                                                 const std::vector<int>& onlySites) = 0;
};

}  // namespace zepa2
