#include "core/publish/upload_test_file.h"

#include "core/net/ftp_session.h"
#include "core/publish/local_path.h"

namespace zepa2 {
namespace {
constexpr std::chrono::milliseconds kPauseBeforeClosing{1000};
}  // namespace

int UploadTestFile(const std::string& server, const std::string& user, const std::string& password,
                   const std::string& uploadFile, const std::string& localFile,
                   const PauseFunction& pause) {
  net::FtpResult result = net::FtpResult::ConnectFailed;
  if (auto session = net::FtpSession::Open({server, user, password})) {
    result = session->StoreAscii(LocalPath(localFile), uploadFile);
    if (result == net::FtpResult::Done && pause) pause(kPauseBeforeClosing);
  }  // the connection closes here, after the pause
  switch (result) {
    case net::FtpResult::Done: return kUploadTestDone;
    case net::FtpResult::TransferRefused: return kUploadTestTransferFailed;
    case net::FtpResult::ConnectFailed: return kConnectFailed;
  }
  return kConnectFailed;
}

}  // namespace zepa2
