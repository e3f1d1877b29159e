#include "core/net/sftp_transport.h"

#include <cstdio>
#include <string_view>

#include "core/net/server_key.h"

namespace zepa2::net {
namespace {

// "/~/" is the login folder in libcurl's SFTP URLs, as the bare "/" is in its FTP URLs.
constexpr std::string_view kSftpHome = "/~/";

class SftpTransport final : public Transport {
 public:
  SftpTransport(CurlEasy handle, std::string hostRoot, TransferLimits limits, const SiteLogin& login)
      : Transport(std::move(handle), hostRoot + std::string(kSftpHome), limits, login),
        hostRoot_(std::move(hostRoot)) {}

  // Connecting, checking the host key and the password: nothing else is sent. Names on an SSH
  // server are the bytes of its file system, UTF-8 on every system that runs one today.
  Outcome LogIn() override {
    if (loggedIn()) return Done();
    CURL* h = handle();
    curl_easy_setopt(h, CURLOPT_URL, rootUrl().c_str());
    curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
    const CURLcode code = Perform();
    curl_easy_setopt(h, CURLOPT_NOBODY, 0L);
    if (code != CURLE_OK) return OutcomeOf(code);
    TakeLogIn(true);
    return Done();
  }

  std::string UrlFor(const std::string& wireName) const override {
    return wireName.starts_with('/') ? FtpUrlFor(hostRoot_, wireName) : FtpUrlFor(rootUrl(), wireName);
  }

  // The URL names the folder itself; a trailing slash asks for its listing.
  std::string FolderUrl(const std::string& absoluteWirePath) const override {
    return UrlFor(absoluteWirePath == "/" ? absoluteWirePath : absoluteWirePath + "/");
  }

  bool serverNamesFolders() const override { return false; }

 protected:
  // libcurl would take any host key when none is given; SSH has no store to check one against.
  CURLcode Refusal() const override {
    if (pinned()) return CURLE_OK;
    std::snprintf(errors().text.data(), errors().text.size(), "%s",
                  "the SFTP server's host key is not pinned (trust it in the FTP settings' "
                  "upload test or with zepa2-check --trust)");
    return CURLE_PEER_FAILED_VERIFICATION;
  }

 private:
  std::string hostRoot_;
};

}  // namespace

std::unique_ptr<Transport> OpenSftpTransport(CurlEasy handle, const std::string& hostRoot,
                                             TransferLimits limits, const SiteLogin& login) {
  curl_easy_setopt(handle.get(), CURLOPT_SSH_AUTH_TYPES,
                   static_cast<long>(CURLSSH_AUTH_PASSWORD | CURLSSH_AUTH_KEYBOARD));
  if (!login.pin.empty() && login.pin.starts_with(kPinPrefix)) {
    curl_easy_setopt(handle.get(), CURLOPT_SSH_HOST_PUBLIC_KEY_SHA256,
                     login.pin.substr(kPinPrefix.size()).c_str());
  }
  return std::make_unique<SftpTransport>(std::move(handle), hostRoot, limits, login);
}

}  // namespace zepa2::net
