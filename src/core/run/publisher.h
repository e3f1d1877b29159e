// The hand-over from the check cycle to publishing.
#pragma once

#include <string>
#include <vector>

#include "core/run/check_report.h"

namespace zepa2 {

struct PublishRequest {
  std::string address;        // CP932
  std::string ipv6Address{};  // CP932, for the pages that carry its token; empty for none
  std::vector<int>
      onlySites{};           // site numbers to handle (those in use among them); empty = every site in use
  bool showOnly = false;     // each page is shown instead of uploaded (a test run)
  std::string ipv6Prefix{};  // CP932: the IPv6 address's network ("2001:db8:1:2::/64"), for its token
};

class Publisher {
 public:
  virtual ~Publisher() = default;
  // One entry per site handled, in order; the log tells the same story for the user.
  virtual std::vector<SiteReport> Publish(const PublishRequest& request) = 0;
  // Whether the page of a site in use carries an IPv6 token; only then is the IPv6 address
  // looked up and compared.
  virtual bool PagesUseIpv6() const = 0;
};

}  // namespace zepa2
