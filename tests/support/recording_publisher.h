// A Publisher that records the addresses handed to it.
#pragma once

#include <string>
#include <vector>

#include "core/run/publisher.h"

namespace zepa2::test {

class RecordingPublisher : public Publisher {
 public:
  // Every site handed over is reported with the kind of the next entry of `results` (Done once
  // they run out).
  std::vector<SiteReport> Publish(const PublishRequest& request) override {
    published.push_back(request.address);
    publishedIpv6.push_back(request.ipv6Address);
    publishedIpv6Prefix.push_back(request.ipv6Prefix);
    requestedSites.push_back(request.onlySites);
    showOnly.push_back(request.showOnly);
    std::vector<SiteReport> reports;
    std::vector<int> sites = request.onlySites;
    if (sites.empty()) {
      for (int n = 1; n <= siteCount; ++n) sites.push_back(n);
    }
    for (int n : sites) {
      SiteResultKind kind = request.showOnly ? SiteResultKind::Shown : SiteResultKind::Done;
      if (!results.empty()) {
        kind = results.front();
        results.erase(results.begin());
      }
      reports.push_back({n, "server", kind, {}, {}, ProofKind::NotChecked, {}});
    }
    return reports;
  }
  bool PagesUseIpv6() const override { return usesIpv6; }

  std::vector<std::string> published;
  std::vector<std::string> publishedIpv6;  // beside published
  std::vector<std::string> publishedIpv6Prefix;
  std::vector<bool> showOnly;              // beside published
  bool usesIpv6 = false;                   // what PagesUseIpv6 answers
  std::vector<std::vector<int>> requestedSites;
  std::vector<SiteResultKind> results;
  int siteCount = 1;  // sites handled by a publish to every site
};

}  // namespace zepa2::test
