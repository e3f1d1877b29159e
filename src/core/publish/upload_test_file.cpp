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
  return UploadTestFileOver({server, user, password}, uploadFile, localFile, pause, stop).code;
}

UploadTestResult UploadTestFileOver(const net::FtpLogin& login, const std::string& uploadFile,
                                    const std::string& localFile, const PauseFunction& pause,
                                    const StopToken* stop) {
  net::FtpOutcome outcome;
  const net::TransferLimits limits{stop, net::SteadyClock::now() + PageUploader::kSiteDeadline};
  if (auto session = net::FtpSession::Open(login, limits)) {
    outcome = session->StoreAscii(LocalPath(localFile), uploadFile);
    if (outcome.result == net::FtpResult::Done && pause) pause(kPauseBeforeClosing);
  }  // the connection closes here, after the pause
  switch (net::AsThreeWayResult(outcome.result)) {
    case net::FtpResult::Done: return {kUploadTestDone, outcome.key};
    case net::FtpResult::TransferRefused: return {kUploadTestTransferFailed, outcome.key};
    default: return {kConnectFailed, outcome.key};
  }
}

}  // namespace zepa2
