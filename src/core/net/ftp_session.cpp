#include "core/net/ftp_session.h"

#include <cstdio>
#include <memory>

#include "core/net/protocol_text.h"
#include "core/net/server_address.h"

namespace zepa2::net {
namespace {

constexpr int kDefaultFtpPort = 21;
constexpr long kConnectTimeoutSeconds = 10;
constexpr long kWholeTransferTimeoutSeconds = 60;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

struct CurlUrlDeleter {
  void operator()(CURLU* u) const { curl_url_cleanup(u); }
};

bool IsUrlSafe(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~' || c == '/';
}

bool ParsesAsUrl(const std::string& url) {
  std::unique_ptr<CURLU, CurlUrlDeleter> parsed(curl_url());
  return parsed && curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) == CURLUE_OK;
}

// Failures that can only come after a successful log-in.
bool IsTransferFailure(CURLcode code) {
  switch (code) {
    case CURLE_UPLOAD_FAILED:
    case CURLE_REMOTE_ACCESS_DENIED:
    case CURLE_REMOTE_FILE_NOT_FOUND:
    case CURLE_REMOTE_DISK_FULL:
    case CURLE_QUOTE_ERROR:
    case CURLE_FTP_PORT_FAILED:
    case CURLE_FTP_ACCEPT_FAILED:
    case CURLE_FTP_ACCEPT_TIMEOUT:
    case CURLE_FTP_COULDNT_SET_TYPE:
    case CURLE_READ_ERROR:
    case CURLE_URL_MALFORMAT:  // the server text was checked before; only the remote name is left
      return true;
    default:
      return false;
  }
}

}  // namespace

std::optional<std::string> PrepareFtpHandle(CURL* handle, const FtpLogin& login) {
  if (UnsafeFtpSiteField(login.server, login.user, login.password, {})) return std::nullopt;
  const auto address = ParseServerAddress(login.server, kDefaultFtpPort);
  if (!address) return std::nullopt;
  std::string root = "ftp://" + address->host + ":" + std::to_string(address->port) + "/";
  if (!ParsesAsUrl(root)) return std::nullopt;

  curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "ftp");
  curl_easy_setopt(handle, CURLOPT_USERNAME, login.user.c_str());
  curl_easy_setopt(handle, CURLOPT_PASSWORD, login.password.c_str());
  curl_easy_setopt(handle, CURLOPT_FTPPORT, "-");  // active mode, from the control connection's address
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
  curl_easy_setopt(handle, CURLOPT_TIMEOUT, kWholeTransferTimeoutSeconds);
  curl_easy_setopt(handle, CURLOPT_ACCEPTTIMEOUT_MS, kConnectTimeoutSeconds * 1000);
  return root;
}

std::string FtpUrlFor(const std::string& rootUrl, const std::string& remoteName) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string url = rootUrl;
  for (unsigned char c : remoteName) {
    if (IsUrlSafe(c)) {
      url += static_cast<char>(c);
    } else {
      url += '%';
      url += kHex[c >> 4];
      url += kHex[c & 0x0F];
    }
  }
  return url;
}

FtpResult ClassifyFtpFailure(CURL* handle, CURLcode code) {
  const char* entryPath = nullptr;
  curl_easy_getinfo(handle, CURLINFO_FTP_ENTRY_PATH, &entryPath);
  if (entryPath != nullptr || IsTransferFailure(code)) return FtpResult::TransferRefused;
  return FtpResult::ConnectFailed;
}

std::optional<FtpSession> FtpSession::Open(const FtpLogin& login) {
  CurlEasy handle = MakeEasyHandle();
  if (!handle) return std::nullopt;
  auto root = PrepareFtpHandle(handle.get(), login);
  if (!root) return std::nullopt;
  return FtpSession(std::move(handle), std::move(*root));
}

FtpResult FtpSession::StoreAscii(const std::filesystem::path& localFile,
                                 const std::string& remoteName) {
  if (!IsProtocolText(remoteName)) return FtpResult::TransferRefused;
  FilePtr file(std::fopen(localFile.c_str(), "rb"));
  // A folder opens too but reads as nothing; storing that would report an empty upload as done.
  std::error_code ec;
  if (!file || std::filesystem::is_directory(localFile, ec)) return FtpResult::TransferRefused;
  const auto size = std::filesystem::file_size(localFile, ec);

  CurlSlist typeAscii;
  AppendTo(typeAscii, "TYPE A");
  CURL* h = handle_.get();
  curl_easy_setopt(h, CURLOPT_URL, FtpUrlFor(rootUrl_, remoteName).c_str());
  curl_easy_setopt(h, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
  curl_easy_setopt(h, CURLOPT_UPLOAD, 1L);
  curl_easy_setopt(h, CURLOPT_TRANSFERTEXT, 0L);
  curl_easy_setopt(h, CURLOPT_PREQUOTE, typeAscii.get());
  curl_easy_setopt(h, CURLOPT_READDATA, file.get());
  curl_easy_setopt(h, CURLOPT_INFILESIZE_LARGE, ec ? curl_off_t{-1} : static_cast<curl_off_t>(size));

  const CURLcode code = curl_easy_perform(h);
  // The list and the file die with this call; the handle must not point at them afterwards.
  curl_easy_setopt(h, CURLOPT_PREQUOTE, nullptr);
  curl_easy_setopt(h, CURLOPT_READDATA, nullptr);
  curl_easy_setopt(h, CURLOPT_UPLOAD, 0L);
  return code == CURLE_OK ? FtpResult::Done : ClassifyFtpFailure(h, code);
}

}  // namespace zepa2::net
