// Publishes a new address: builds each site's page in turn and uploads it, or shows it in a test run.
#pragma once

#include <filesystem>
#include <string>

#include "core/run/check_host.h"
#include "core/run/publisher.h"
#include "core/publish/page_uploader.h"
#include "core/settings/app_settings.h"

namespace zepa2 {

class PagePublisher : public Publisher {
 public:
  // All three must outlive the publisher.
  PagePublisher(const AppSettings& settings, CheckHost& host, PageUploader& uploader);

  // Sites 1..siteCount in order (site 1 always, at most 5), each page built in the run's own page
  // folder. A site whose template cannot be read whole is reported and skipped: publishing a
  // cut or empty page would put wrong data online under a success message. A site whose transfer
  // mode this version does not know is refused before any connection. A site that took the page
  // and has a check address is then fetched from there (PageProof) and the log says whether the
  // public page shows the address.
  std::vector<SiteReport> Publish(const PublishRequest& request) override;
  // Reads the templates of the sites in use.
  bool PagesUseIpv6() const override;

 private:
  void ProveSite(SiteReport& report, const std::string& checkUrl, const std::string& address);
  // Uploads (or shows) the built page; fills the report's kind and reason.
  void Deliver(SiteReport& report, const FtpSite& site, const std::filesystem::path& pageFile,
               const PublishRequest& request);

  const AppSettings& settings_;
  CheckHost& host_;
  PageUploader& uploader_;
};

}  // namespace zepa2
