// Uploads the built page to one mirror site by FTP and reports each step in the activity log.
#pragma once

#include <filesystem>
#include <string>

#include "core/address/check_host.h"

namespace zepa2 {

class PageUploader {
 public:
  explicit PageUploader(CheckHost& host) : host_(host) {}

  // Stores pageFile under remoteFile (relative to the login folder). The outcome is only logged;
  // a failed site never stops the caller from going on with the next.
  void UploadPage(const std::filesystem::path& pageFile, const std::string& server, const std::string& user,
                  const std::string& password, const std::string& remoteFile);

 private:
  CheckHost& host_;
};

}  // namespace zepa2
