#include "core/publish/upload_test_file.h"

#include "core/net/ftp_session.h"
#include "core/publish/local_path.h"
#include "core/publish/page_uploader.h"

namespace zepa2 {
namespace {
constexpr std::chrono::milliseconds kPauseBeforeClosing{1000};
}  // namespace

int UploadTestFile(const std::string& server, const std::string& user, const std::string& password,
                   const std::string& uploadFile, const std::string& localFile,
                   const PauseFunction& pause, const StopToken* stop) {
  net::FtpResult result = net::FtpResult::ConnectFailed;
  const net::TransferLimits limits{stop, net::SteadyClock::now() + PageUploader::kSiteDeadline};
  if (auto session = net::FtpSession::Open({server, user, password}, limits)) {
    result = session->StoreAscii(LocalPath(localFile), uploadFile).result;
    if (result == net::FtpResult::Done && pause) pause(kPauseBeforeClosing);
  }  // the connection closes here, after the pause
  switch (net::AsThreeWayResult(result)) {
    case net::FtpResult::Done: return kUploadTestDone;
    case net::FtpResult::TransferRefused: return kUploadTestTransferFailed;
    default: return kConnectFailed;
  }
}

}  // namespace zepa2
