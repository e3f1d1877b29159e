// Publishes a new address: builds each site's page in turn and uploads it, or shows it in a test run.
#pragma once

#include <functional>
#include <string>

#include "core/check/check_host.h"
#include "core/check/publisher.h"
#include "core/publish/page_uploader.h"
#include "core/settings/app_settings.h"

namespace zepa2 {

class PagePublisher : public Publisher {
 public:
  // All four must outlive the publisher. isTestRun is asked once at the start of each run: a
  // conversion test shows the pages instead of uploading them.
  PagePublisher(const AppSettings& settings, CheckHost& host, std::function<bool()> isTestRun,
                PageUploader& uploader);

  // Sites 1..siteCount in order (site 1 always, at most 5), each page built in the run's own page
  // folder. A site whose template cannot be read whole is reported and skipped: publishing a
  // cut or empty page would put wrong data online under a success message. A site that took the
  // page and has a check address is then fetched from there (PageProof) and the log says whether
  // the public page shows the address.
  std::vector<SiteReport> PublishAddress(const std::string& address,
                                         const std::vector<int>& onlySites) override;
  // Reads the templates of the sites in use.
  bool PagesUseIpv6() const override;
  std::vector<SiteReport> PublishAddresses(const std::string& address, const std::string& ipv6Address,
                                           const std::vector<int>& onlySites) override;

 private:
  void ProveSite(SiteReport& report, const std::string& checkUrl, const std::string& address);

  const AppSettings& settings_;
  CheckHost& host_;
  std::function<bool()> isTestRun_;
  PageUploader& uploader_;
};

// The number of sites a run handles: siteCount held to 1..5.
int SitesToPublish(int siteCount);

}  // namespace zepa2
