#include "core/publish/page_uploader.h"

#include <chrono>

#include "core/net/ftp_session.h"
#include "core/net/key_trouble_text.h"
#include "core/net/protocol_text.h"
#include "core/text/cp932.h"
#include "core/text/messages.h"

namespace zepa2 {
namespace {
// A fixed wait after a stored page, while the connection is still open.
constexpr std::chrono::milliseconds kPauseBeforeClosing{1000};

SiteResultKind KindOf(net::FtpResult result) {
  switch (result) {
    case net::FtpResult::Done: return SiteResultKind::Done;
    case net::FtpResult::TransferRefused: return SiteResultKind::TransferRefused;
    case net::FtpResult::ConnectFailed: return SiteResultKind::ConnectFailed;
    case net::FtpResult::TimedOut: return SiteResultKind::TimedOut;
    case net::FtpResult::Cancelled: return SiteResultKind::Cancelled;
  }
  return SiteResultKind::ConnectFailed;
}

}  // namespace

SiteOutcome PageUploader::UploadPage(const std::filesystem::path& pageFile, const std::string& server,
                                     const std::string& user, const std::string& password,
                                     const std::string& remoteFile, net::TransferMode mode,
                                     const std::string& pin) {
  BusyScope busy(host_);
  if (server.empty()) {
    host_.AppendLog(Cp932(msg::kSiteNotRegistered), log_color::kDarkBlue);
    return {SiteResultKind::NotRegistered, {}};
  }
  if (const char* field = net::UnsafeFtpSiteField(server, user, password, remoteFile)) {
    host_.AppendLog(net::UnsafeFieldLogLine(field), log_color::kRed);
    host_.AppendLog(Cp932(msg::kHomePageUpdateFailed), log_color::kRed);
    return {SiteResultKind::ConnectFailed, "a line break or NUL in a field of the site"};
  }
  host_.AppendLog(server + Cp932(msg::kFtpStart), log_color::kDarkBlue);

  const net::TransferLimits limits{stop_, net::SteadyClock::now() + kSiteDeadline};
  net::FtpOutcome outcome{net::FtpResult::ConnectFailed,
                          "the server text names no host, or the pinned key is no sha256// pin",
                          false};
  if (auto session = net::FtpSession::Open({server, user, password, mode, pin}, limits)) {
    outcome = session->StoreAscii(pageFile, remoteFile);
    if (outcome.result == net::FtpResult::Done) host_.Pause(kPauseBeforeClosing);
  }  // the session closes here, after the pause

  LogOutcome(server, remoteFile, outcome, mode);
  return {KindOf(outcome.result), outcome.reason};
}

// A time-out or a stop reads like the failure of the step it cut short: before the log-in a
// failed connection, after it a refused transfer.
void PageUploader::LogOutcome(const std::string& server, const std::string& remoteFile,
                              const net::FtpOutcome& outcome, net::TransferMode mode) {
  if (outcome.key != net::KeyTrouble::None) {
    host_.AppendFailureLog(net::KeyTroubleLogLine(server, outcome.key, mode), log_color::kRed,
                           outcome.reason);
    host_.AppendLog(Cp932(msg::kHomePageUpdateFailed), log_color::kRed);
  } else if (outcome.result == net::FtpResult::Done) {
    host_.AppendLog(remoteFile + Cp932(msg::kFtpFileSucceeded), log_color::kBlack);
    host_.AppendLog(Cp932(msg::kHomePageUpdated), log_color::kGreen);
  } else if (outcome.result == net::FtpResult::TransferRefused || outcome.loggedIn) {
    host_.AppendFailureLog(server + Cp932(msg::kFtpRefused), log_color::kRed, outcome.reason);
  } else {
    host_.AppendFailureLog(remoteFile + Cp932(msg::kFtpFileFailed), log_color::kRed,
                           outcome.reason);
    host_.AppendLog(Cp932(msg::kHomePageUpdateFailed), log_color::kRed);
  }
}

}  // namespace zepa2
