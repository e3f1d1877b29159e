// Publishes a new address: builds each site's page in turn and uploads it, or shows it in a test run.
#pragma once

#include <functional>
#include <string>

#include "core/address/check_host.h"
#include "core/address/publisher.h"
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
  // cut or empty page would put wrong data online under a success message.
  std::vector<SiteReport> PublishAddress(const std::string& address,
                                         const std::vector<int>& onlySites) override;
  // Reads the templates of the sites in use.
  bool PagesUseIpv6() const override;
  std::vector<SiteReport> PublishAddresses(const std::string& address, const std::string& ipv6Address,
                                           const std::vector<int>& onlySites) override;

 private:
  const AppSettings& settings_;
  CheckHost& host_;
  std::function<bool()> isTestRun_;
  PageUploader& uploader_;
};

// The number of sites a run handles: siteCount held to 1..5.
int SitesToPublish(int siteCount);

}  // namespace zepa2
