#include "core/publish/page_uploader.h"

#include <cstdio>

#include "core/settings/unsafe_fields.h"
#include "core/publish/key_trouble_text.h"
#include "core/publish/site_store.h"
#include "core/text/cp932.h"
#include "core/text/messages.h"

namespace zepa2 {
namespace {

// server + a message with the protocol's name in it ("…:FTPS開始").
std::string ProtocolLine(const std::string& server, const char* format, const net::TransferModeRow& row) {
  char text[128];
  std::snprintf(text, sizeof text, format, row.logName);
  return server + Cp932(text);
}

}  // namespace

net::Outcome PageUploader::UploadPage(const std::filesystem::path& pageFile, const net::SiteLogin& login,
                                      const std::string& remoteFile) {
  BusyScope busy(host_);
  if (const char* field = UnsafeFtpSiteField(login.server, login.user, login.password, remoteFile)) {
    host_.AppendLog(UnsafeFieldLogLine(field), log_color::kRed);
    host_.AppendLog(Cp932(msg::kHomePageUpdateFailed), log_color::kRed);
    return {net::OutcomeKind::ConnectFailed, "a line break or NUL in a field of the site"};
  }
  const net::TransferModeRow& row = net::RowOf(login.mode);
  host_.AppendLog(ProtocolLine(login.server, msg::kTransferStart, row), log_color::kDarkBlue);
  const net::Outcome outcome = StoreOnSite(
      login, pageFile, remoteFile, [this](std::chrono::milliseconds pause) { host_.Pause(pause); }, stop_);
  LogOutcome(login, remoteFile, outcome);
  return outcome;
}

// A time-out or a stop reads like the failure of the step it cut short: before the log-in a
// failed connection, after it a refused transfer.
void PageUploader::LogOutcome(const net::SiteLogin& login, const std::string& remoteFile,
                              const net::Outcome& outcome) {
  const net::TransferModeRow& row = net::RowOf(login.mode);
  if (outcome.key != net::KeyTrouble::None) {
    host_.AppendFailureLog(KeyTroubleLogLine(login.server, outcome.key, row.key), log_color::kRed,
                           outcome.reason);
    host_.AppendLog(Cp932(msg::kHomePageUpdateFailed), log_color::kRed);
  } else if (outcome.done()) {
    host_.AppendLog(remoteFile + Cp932(msg::kFtpFileSucceeded), log_color::kBlack);
    host_.AppendLog(Cp932(msg::kHomePageUpdated), log_color::kGreen);
  } else if (outcome.kind == net::OutcomeKind::TransferRefused || outcome.loggedIn) {
    host_.AppendFailureLog(ProtocolLine(login.server, msg::kTransferRefused, row), log_color::kRed,
                           outcome.reason);
  } else {
    host_.AppendFailureLog(remoteFile + Cp932(msg::kFtpFileFailed), log_color::kRed, outcome.reason);
    host_.AppendLog(Cp932(msg::kHomePageUpdateFailed), log_color::kRed);
  }
}

}  // namespace zepa2
