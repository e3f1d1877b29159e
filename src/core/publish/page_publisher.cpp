#include "core/publish/page_publisher.h"

#include <algorithm>
#include <cstdio>

#include "core/publish/page_builder.h"
#include "core/publish/page_folder.h"
#include "core/text/cp932.h"
#include "core/text/messages.h"

namespace zepa2 {
namespace {

std::string SiteTestDoneLine(int siteNumber) {
  char text[128];
  std::snprintf(text, sizeof text, msg::kSiteTestDone, siteNumber);
  return Cp932(text);
}

}  // namespace

int SitesToPublish(int siteCount) { return std::clamp(siteCount, 1, kSiteSlots); }

PagePublisher::PagePublisher(const AppSettings& settings, CheckHost& host,
                             std::function<bool()> isTestRun, PageUploader& uploader)
    : settings_(settings), host_(host), isTestRun_(std::move(isTestRun)), uploader_(uploader) {}

void PagePublisher::PublishAddress(const std::string& address) {
  BusyScope busy(host_);
  // Read once: a timed check that runs while a test run's viewer is open clears the flag, and the
  // rest of the test run must still not upload anything.
  const bool testRun = isTestRun_();
  // A folder of this run's own: another run (the window and the service both publish) can
  // neither overwrite the page before it is uploaded nor plant a link where it goes.
  const std::optional<PageFolder> folder = PageFolder::Create();
  if (!folder) {
    host_.AppendLog(Cp932(msg::kTempFileNotOpened), log_color::kRed);
    return;
  }
  const int sites = SitesToPublish(settings_.siteCount);
  for (int n = 1; n <= sites; ++n) {
    const FtpSite& site = settings_.sites[static_cast<std::size_t>(n - 1)];
    const std::filesystem::path pageFile = folder->NewPageFile();
    switch (BuildPage(site.localFile, pageFile, address, [this] { return host_.Now(); })) {
      case BuildOutcome::TempFileNotCreated:
        host_.AppendLog(Cp932(msg::kTempFileNotOpened), log_color::kRed);
        return;
      case BuildOutcome::TemplateNotOpened:
        host_.AppendLog(Cp932(msg::kTemplateNotOpened), log_color::kRed);
        continue;
      case BuildOutcome::PageWritten:
        break;
    }
    if (testRun) {
      host_.ShowGeneratedPage(pageFile);
      host_.AppendLog(SiteTestDoneLine(n), log_color::kBlack);
    } else {
      uploader_.UploadPage(pageFile, site.server, site.user, site.pass, site.uploadFile);
    }
  }
}

}  // namespace zepa2
