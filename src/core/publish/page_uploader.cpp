#include "core/publish/page_uploader.h"

#include <chrono>

#include "core/net/ftp_session.h"
#include "core/net/protocol_text.h"
#include "core/text/cp932.h"
#include "core/text/messages.h"

namespace zepa2 {
namespace {
// A fixed wait after a stored page, while the connection is still open.
constexpr std::chrono::milliseconds kPauseBeforeClosing{1000};
}  // namespace

void PageUploader::UploadPage(const std::filesystem::path& pageFile, const std::string& server, const std::string& user,
                              const std::string& password, const std::string& remoteFile) {
  BusyScope busy(host_);
  if (server.empty()) {
    host_.AppendLog(Cp932(msg::kSiteNotRegistered), log_color::kDarkBlue);
    return;
  }
  if (const char* field = net::UnsafeFtpSiteField(server, user, password, remoteFile)) {
    host_.AppendLog(net::UnsafeFieldLogLine(field), log_color::kRed);
    host_.AppendLog(Cp932(msg::kHomePageUpdateFailed), log_color::kRed);
    return;
  }
  host_.AppendLog(server + Cp932(msg::kFtpStart), log_color::kDarkBlue);

  net::FtpResult result = net::FtpResult::ConnectFailed;
  if (auto session = net::FtpSession::Open({server, user, password})) {
    result = session->StoreAscii(pageFile, remoteFile);
    if (result == net::FtpResult::Done) host_.Pause(kPauseBeforeClosing);
  }  // the session closes here, after the pause

  switch (result) {
    case net::FtpResult::Done:
      host_.AppendLog(remoteFile + Cp932(msg::kFtpFileSucceeded), log_color::kBlack);
      host_.AppendLog(Cp932(msg::kHomePageUpdated), log_color::kGreen);
      break;
    case net::FtpResult::TransferRefused:
      host_.AppendLog(server + Cp932(msg::kFtpRefused), log_color::kRed);
      break;
    case net::FtpResult::ConnectFailed:
      host_.AppendLog(remoteFile + Cp932(msg::kFtpFileFailed), log_color::kRed);
      host_.AppendLog(Cp932(msg::kHomePageUpdateFailed), log_color::kRed);
      break;
  }
}

}  // namespace zepa2
