// The hand-over from the check cycle to publishing.
#pragma once

#include <string>
#include <vector>

#include "core/check/check_report.h"

namespace zepa2 {

class Publisher {
 public:
  virtual ~Publisher() = default;
  // Publishes a changed (or forced) address to every site in use, or, when onlySites is not empty,
  // to those of its site numbers that are in use. One entry per site handled, in order; the log
  // tells the same story for the user.
  virtual std::vector<SiteReport> PublishAddress(const std::string& address,
                                                 const std::vector<int>& onlySites) = 0;
  // Whether the page of a site in use carries the IPv6 token; only then is the IPv6 address
  // looked up and compared.
  virtual bool PagesUseIpv6() const { return false; }
  // PublishAddress with this machine's IPv6 address for the pages that carry its token.
  virtual std::vector<SiteReport> PublishAddresses(const std::string& address,
                                                   const std::string& ipv6Address,
                                                   const std::vector<int>& onlySites) {
    (void)ipv6Address;
    return PublishAddress(address, onlySites);
  }
};

}  // namespace zepa2
