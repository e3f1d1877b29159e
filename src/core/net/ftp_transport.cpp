#include "core/net/ftp_transport.h"

#include <string_view>

#include "core/net/server_key.h"

namespace zepa2::net {
namespace {

// Reads the FEAT answer for the UTF8 line (RFC 2640); every server line passes through here.
size_t NoteUtf8Feature(char* data, size_t size, size_t count, void* utf8) {
  std::string_view line(data, size * count);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ')) {
    line.remove_suffix(1);
  }
  while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
  if (line.size() == 4 && (line[0] | 0x20) == 'u' && (line[1] | 0x20) == 't' && (line[2] | 0x20) == 'f' &&
      line[3] == '8') {
    *static_cast<bool*>(utf8) = true;
  }
  return size * count;
}

// The data connection and the protection the mode's row asks for.
void SetModeOptions(CURL* handle, const SiteLogin& login) {
  const TransferModeRow& row = RowOf(login.mode);
  if (row.activeData)
    curl_easy_setopt(handle, CURLOPT_FTPPORT, "-");  // from the control connection's address
  // Otherwise libcurl's own way: EPSV, then PASV.
  if (row.key != PinnedKeyKind::TlsPublicKey) return;
  // AUTH TLS comes before USER: a server that fails the check never sees the log-in.
  curl_easy_setopt(handle, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
  curl_easy_setopt(handle, CURLOPT_FTPSSLAUTH, static_cast<long>(CURLFTPAUTH_TLS));
  PinTlsKey(handle, login.pin);
}

class FtpTransport final : public Transport {
 public:
  FtpTransport(CurlEasy handle, std::string rootUrl, TransferLimits limits, const SiteLogin& login)
      : Transport(std::move(handle), std::move(rootUrl), limits, login) {}

  // Logs in and, when the server's FEAT lists UTF8, switches it to UTF-8 names (OPTS UTF8 ON).
  Outcome LogIn() override {
    if (loggedIn()) return Done();
    CURL* h = handle();
    bool utf8 = false;
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &NoteUtf8Feature);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &utf8);
    // '*': a server that knows no FEAT is simply one without UTF-8, not a failed log-in.
    CURLcode code = PerformCommand("*FEAT");
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, nullptr);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, nullptr);
    // Some servers speak UTF-8 from the start and refuse the switch; they are UTF-8 all the same.
    if (code == CURLE_OK && utf8) code = PerformCommand("*OPTS UTF8 ON");
    if (code != CURLE_OK) return OutcomeOf(code);
    TakeLogIn(utf8);
    return Done();
  }

  std::string UrlFor(const std::string& wireName) const override { return FtpUrlFor(rootUrl(), wireName); }

  std::string FolderUrl(const std::string& absoluteWirePath) const override {
    return FtpFolderUrl(rootUrl(), absoluteWirePath);
  }

  bool serverNamesFolders() const override { return true; }

 private:
  // A step that only sends command (and logs in first when the connection is new).
  CURLcode PerformCommand(const char* command) {
    CurlSlist quote;
    AppendTo(quote, command);
    CURL* h = handle();
    curl_easy_setopt(h, CURLOPT_URL, rootUrl().c_str());
    curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(h, CURLOPT_QUOTE, quote.get());
    const CURLcode code = Perform();
    curl_easy_setopt(h, CURLOPT_QUOTE, nullptr);
    curl_easy_setopt(h, CURLOPT_NOBODY, 0L);
    return code;
  }
};

}  // namespace

std::string FtpFolderUrl(const std::string& rootUrl, const std::string& absolutePath) {
  // Empty names ("//", a trailing "/") are dropped; "." and ".." go to the server as they are.
  std::string path;
  std::size_t start = 0;
  while (start <= absolutePath.size()) {
    std::size_t end = absolutePath.find('/', start);
    if (end == std::string::npos) end = absolutePath.size();
    if (end > start) path += FtpUrlFor("", absolutePath.substr(start, end - start)) + "/";
    start = end + 1;
  }
  return rootUrl + "%2F" + (path.empty() ? "/" : path);
}

std::unique_ptr<Transport> OpenFtpTransport(CurlEasy handle, const std::string& hostRoot,
                                            TransferLimits limits, const SiteLogin& login) {
  SetModeOptions(handle.get(), login);
  return std::make_unique<FtpTransport>(std::move(handle), hostRoot + "/", limits, login);
}

}  // namespace zepa2::net
