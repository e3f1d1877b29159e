#include "core/publish/page_publisher.h"

#include <algorithm>
#include <cstdio>

#include "core/publish/page_builder.h"
#include "core/publish/page_folder.h"
#include "core/publish/page_proof.h"
#include "core/settings/secret_reference.h"
#include "core/publish/site_store.h"
#include "core/text/cp932.h"
#include "core/text/fill_message.h"
#include "core/text/messages.h"

namespace zepa2 {
namespace {

std::string SiteTestDoneLine(int siteNumber) {
  char text[128];
  std::snprintf(text, sizeof text, msg::kSiteTestDone, siteNumber);
  return Cp932(text);
}

}  // namespace

PagePublisher::PagePublisher(const AppSettings& settings, CheckHost& host, PageUploader& uploader)
    : settings_(settings), host_(host), uploader_(uploader) {}

void PagePublisher::ProveSite(SiteReport& report, const std::string& checkUrl, const std::string& address) {
  PageProofOptions options;
  options.stop = uploader_.stop();
  const PageProof proof = ProvePagePublished(checkUrl, address, options);
  report.proof = proof.kind;
  report.proofReason = FullProofReason(proof);
  host_.AppendLog(DescribePageProof(report.number, proof),
                  proof.kind == ProofKind::Confirmed ? log_color::kGreen : log_color::kRed);
}

bool PagePublisher::PagesUseIpv6() const {
  for (int n = 1; n <= SitesToPublish(settings_.siteCount); ++n) {
    if (TemplateUsesIpv6(settings_.sites[static_cast<std::size_t>(n - 1)].localFile)) return true;
  }
  return false;
}

std::vector<SiteReport> PagePublisher::Publish(const PublishRequest& request) {
  BusyScope busy(host_);
  const std::vector<int>& onlySites = request.onlySites;
  // A folder of this run's own: another run (the window and the service both publish) can
  // neither overwrite the page before it is uploaded nor plant a link where it goes.
  const std::optional<PageFolder> folder = PageFolder::Create();
  if (!folder) host_.AppendLog(Cp932(msg::kTempFileNotOpened), log_color::kRed);
  std::vector<SiteReport> reports;
  bool pageFileBroken = !folder;
  for (int n = 1; n <= SitesToPublish(settings_.siteCount); ++n) {
    if (!onlySites.empty() && std::find(onlySites.begin(), onlySites.end(), n) == onlySites.end()) {
      continue;
    }
    const FtpSite& site = settings_.sites[static_cast<std::size_t>(n - 1)];
    SiteReport& report = reports.emplace_back();
    report.number = n;
    report.server = site.server;
    // Without a page file no later site can be served either; each is owed the page.
    if (pageFileBroken) {
      report.kind = SiteResultKind::PageNotWritten;
      continue;
    }
    const std::filesystem::path pageFile = folder->NewPageFile();
    switch (BuildPage(
        site.localFile, pageFile, request.address, [this] { return host_.Now(); },
        PageIpv6{request.ipv6Address, request.ipv6Prefix})) {
      case BuildOutcome::TempFileNotCreated:
        host_.AppendLog(Cp932(msg::kTempFileNotOpened), log_color::kRed);
        report.kind = SiteResultKind::PageNotWritten;
        pageFileBroken = true;
        continue;
      case BuildOutcome::TemplateNotOpened:
        host_.AppendLog(Cp932(msg::kTemplateNotOpened), log_color::kRed);
        report.kind = SiteResultKind::TemplateNotOpened;
        continue;
      case BuildOutcome::PageWritten:
        break;
    }
    Deliver(report, site, pageFile, request);
  }
  return reports;
}

void PagePublisher::Deliver(SiteReport& report, const FtpSite& site, const std::filesystem::path& pageFile,
                            const PublishRequest& request) {
  if (request.showOnly) {
    const bool shown = host_.ShowGeneratedPage(pageFile);
    host_.AppendLog(SiteTestDoneLine(report.number), log_color::kBlack);
    report.kind = shown ? SiteResultKind::Shown : SiteResultKind::PageNotWritten;
    return;
  }
  if (site.server.empty()) {
    host_.AppendLog(Cp932(msg::kSiteNotRegistered), log_color::kDarkBlue);
    report.kind = SiteResultKind::NotRegistered;
    return;
  }
  // A mode or pin the settings could not give is never replaced by a default: no connection.
  if (site.unknownMode || site.unreadablePin) {
    const std::string line = site.unknownMode ? FillMessage(msg::kUnknownTransferMode, *site.unknownMode)
                                              : FillMessage(msg::kUnreadablePin, *site.unreadablePin);
    host_.AppendLog(site.server + Cp932(line), log_color::kRed);
    host_.AppendLog(Cp932(msg::kHomePageUpdateFailed), log_color::kRed);
    report.kind = SiteResultKind::ConnectFailed;
    report.reason = site.unknownMode ? "unknown transfer mode " + *site.unknownMode
                                     : "unreadable pin " + *site.unreadablePin;
    return;
  }
  // A password kept outside the settings is looked up only now, and a missing one never goes out
  // as an empty password: the site fails before connecting.
  const std::string passKey = "FTP.Pass" + std::to_string(report.number);
  ResolvedSecret password = ResolveSecret(site.pass, passKey);
  if (!password.secret) {
    host_.AppendLog(site.server + UnresolvedSecretLogLine(passKey, site.pass, password.problem),
                    log_color::kRed);
    host_.AppendLog(Cp932(msg::kHomePageUpdateFailed), log_color::kRed);
    report.kind = SiteResultKind::ConnectFailed;
    report.reason = "password reference not resolved: " + password.problem;
    return;
  }
  net::Outcome outcome =
      uploader_.UploadPage(pageFile, SiteLoginOf(site, std::move(*password.secret)), site.uploadFile);
  report.kind = SiteResultOf(outcome.kind);
  report.reason = std::move(outcome.reason);
  report.key = outcome.key;
  if (report.kind == SiteResultKind::Done && !site.checkUrl.empty())
    ProveSite(report, site.checkUrl, request.address);
}

}  // namespace zepa2
