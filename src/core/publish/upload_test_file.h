// The FTP settings' upload test: one template file stored as it is on the site being edited.
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "core/net/ftp_session.h"
#include "core/sys/pause.h"
#include "core/sys/stop_token.h"

namespace zepa2 {

inline constexpr int kUploadTestDone = 1;
inline constexpr int kUploadTestTransferFailed = -1;
inline constexpr int kConnectFailed = -2;


// Stores localFile (a CP932 path) under uploadFile with the ASCII type, waits one second with the
// connection still open after a stored file, and closes it. Returns kUploadTestDone;
// kUploadTestTransferFailed when the server refused the file or the local file cannot be read;
// kConnectFailed when the server cannot be reached or refuses the log-in, when the site's deadline
// passes, or when stop is asked for.
int UploadTestFile(const std::string& server, const std::string& user, const std::string& password,
                   const std::string& uploadFile, const std::string& localFile,
                   const PauseFunction& pause, const StopToken* stop = nullptr);

// The same over any transfer mode, with the reason a server was refused for its key (the code is
// then kConnectFailed) so that the dialog can offer to trust it.
struct UploadTestResult {
  int code = kConnectFailed;
  net::KeyTrouble key = net::KeyTrouble::None;
};
UploadTestResult UploadTestFileOver(const net::FtpLogin& login, const std::string& uploadFile,
                                    const std::string& localFile, const PauseFunction& pause,
                                    const StopToken* stop = nullptr);

}  // namespace zepa2
