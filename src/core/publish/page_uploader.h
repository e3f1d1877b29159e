// Uploads the built page to one mirror site by FTP and reports each step in the activity log.
#pragma once

#include <filesystem>
#include <string>

#include "core/check/check_host.h"
#include "core/check/check_report.h"
#include "core/net/ftp_session.h"
#include "core/sys/stop_token.h"

namespace zepa2 {

class PageUploader {
 public:
  // stop, when given, ends a running upload early (the program is ending).
  explicit PageUploader(CheckHost& host, const StopToken* stop = nullptr)
      : host_(host), stop_(stop) {}

  // Stores pageFile under remoteFile (relative to the login folder) within the site's deadline,
  // QUIT included, over the site's transfer mode (pin: the server's pinned key, or empty). The
  // outcome is logged and returned; a failed site never stops the caller from going on with the
  // next. A server refused for its key gets a line that says so before the usual failure.
  SiteOutcome UploadPage(const std::filesystem::path& pageFile, const std::string& server,
                         const std::string& user, const std::string& password,
                         const std::string& remoteFile,
                         net::TransferMode mode = net::TransferMode::ActiveFtp,
                         const std::string& pin = {});

  const StopToken* stop() const { return stop_; }

  // Everything one site may take: connecting, logging in, storing, the pause and QUIT.
  static constexpr std::chrono::seconds kSiteDeadline{60};

 private:
  void LogOutcome(const std::string& server, const std::string& remoteFile,
                  const net::FtpOutcome& outcome, net::TransferMode mode);

  CheckHost& host_;
  const StopToken* stop_;
};

}  // namespace zepa2
