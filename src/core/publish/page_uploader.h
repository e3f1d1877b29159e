// Uploads the built page to one mirror site over its transport and reports each step in the activity log.
#pragma once

#include <filesystem>
#include <string>

#include "core/run/check_host.h"
#include "core/net/transport.h"
#include "core/sys/stop_token.h"

namespace zepa2 {

class PageUploader {
 public:
  // stop, when given, ends a running upload early (the program is ending).
  explicit PageUploader(CheckHost& host, const StopToken* stop = nullptr) : host_(host), stop_(stop) {}

  // Stores pageFile under remoteFile (relative to the login folder) within the site's deadline,
  // QUIT included, over the login's transfer mode. The outcome is logged and returned; a failed
  // site never stops the caller from going on with the next. A server refused for its key gets a
  // line that says so before the usual failure.
  net::Outcome UploadPage(const std::filesystem::path& pageFile, const net::SiteLogin& login,
                          const std::string& remoteFile);

  const StopToken* stop() const { return stop_; }

 private:
  void LogOutcome(const net::SiteLogin& login, const std::string& remoteFile, const net::Outcome& outcome);

  CheckHost& host_;
  const StopToken* stop_;
};

}  // namespace zepa2
