// How a transport visits a folder through libcurl's FTP and SFTP folder URLs (HTTP transports replace it).
#include <optional>
#include <string_view>
#include <vector>

#include "core/net/transport.h"

namespace zepa2::net {
namespace {

constexpr std::string_view kPwdReply = "257 ";

// The folder named in a 257 reply: the text between the quotes, a doubled quote standing for one.
std::optional<std::string> QuotedDirectory(std::string_view line) {
  if (!line.starts_with(kPwdReply)) return std::nullopt;
  std::size_t pos = line.find('"', kPwdReply.size());
  if (pos == std::string_view::npos) return std::nullopt;
  std::string name;
  for (++pos; pos < line.size(); ++pos) {
    if (line[pos] != '"') {
      name += line[pos];
    } else if (pos + 1 < line.size() && line[pos + 1] == '"') {
      name += '"';
      ++pos;
    } else {
      return name;
    }
  }
  return std::nullopt;  // no closing quote: not a name we can trust
}

struct Reply {
  std::string body;
  std::optional<std::string> directory;  // from the last 257 reply

  static size_t OnBody(char* data, size_t size, size_t count, void* self) {
    std::string& body = static_cast<Reply*>(self)->body;
    if (body.size() + size * count > Transport::kMaxListingBytes) return 0;  // aborts the transfer
    body.append(data, size * count);
    return size * count;
  }
  static size_t OnServerLine(char* data, size_t size, size_t count, void* self) {
    if (auto name = QuotedDirectory(std::string_view(data, size * count))) {
      static_cast<Reply*>(self)->directory = std::move(name);
    }
    return size * count;
  }
};

}  // namespace

std::string WithoutDots(const std::string& absolutePath) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start <= absolutePath.size()) {
    std::size_t end = absolutePath.find('/', start);
    if (end == std::string::npos) end = absolutePath.size();
    const std::string name = absolutePath.substr(start, end - start);
    if (name == "..") {
      if (!names.empty()) names.pop_back();
    } else if (!name.empty() && name != ".") {
      names.push_back(name);
    }
    start = end + 1;
  }
  std::string path;
  for (const std::string& name : names) path += "/" + name;
  return path.empty() ? "/" : path;
}

std::optional<std::string> Transport::HomeFolder() const {
  const char* entryPath = nullptr;
  curl_easy_getinfo(handle(), CURLINFO_FTP_ENTRY_PATH, &entryPath);
  if (entryPath == nullptr) return std::nullopt;
  return std::string(entryPath);
}

FolderListing Transport::ListFolder(const std::string& absoluteWirePath, bool withEntries) {
  // SFTP has no current folder and its "pwd" names the home: the client's own path stands, and
  // a folder is proved by reading it, there being no CWD to refuse one that is not there.
  const bool sftp = !serverNamesFolders();
  const std::string folder = sftp ? WithoutDots(absoluteWirePath) : absoluteWirePath;
  Reply reply;
  CurlSlist pwd;
  if (!sftp) AppendTo(pwd, "PWD");
  CURL* h = handle();
  curl_easy_setopt(h, CURLOPT_URL, FolderUrl(folder).c_str());
  curl_easy_setopt(h, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_SINGLECWD));
  curl_easy_setopt(h, CURLOPT_NOBODY, withEntries || sftp ? 0L : 1L);
  // "-a": servers which report "." and ".." only when asked do report them.
  curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, !sftp && withEntries ? "LIST -a" : nullptr);
  curl_easy_setopt(h, CURLOPT_POSTQUOTE, pwd.get());
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &Reply::OnBody);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, &reply);
  curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &Reply::OnServerLine);
  curl_easy_setopt(h, CURLOPT_HEADERDATA, &reply);

  const CURLcode code = Perform();
  // The list and the reply die with this call; the handle must not point at them afterwards.
  curl_easy_setopt(h, CURLOPT_POSTQUOTE, nullptr);
  curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, nullptr);
  curl_easy_setopt(h, CURLOPT_NOBODY, 0L);
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, nullptr);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, nullptr);
  curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, nullptr);
  curl_easy_setopt(h, CURLOPT_HEADERDATA, nullptr);

  FolderListing listing;
  if (withEntries) listing.entries = ParseListing(reply.body, code == CURLE_OK);
  if (sftp && code == CURLE_OK) reply.directory = folder;
  listing.folder = reply.directory.value_or("");
  listing.outcome = OutcomeOf(code);
  if (withEntries || code == CURLE_OK) {
    // A folder visited without its server's name for it leaves the client not knowing where it is.
    if (!withEntries && !reply.directory)
      listing.outcome = {OutcomeKind::ConnectFailed, "no folder name came back", true};
    return listing;
  }
  if (code == CURLE_REMOTE_ACCESS_DENIED || (sftp && code == CURLE_REMOTE_FILE_NOT_FOUND)) {
    listing.outcome.kind = OutcomeKind::TransferRefused;
  } else if (listing.outcome.kind == OutcomeKind::TransferRefused) {
    listing.outcome.kind = OutcomeKind::ConnectFailed;
  }
  return listing;
}

}  // namespace zepa2::net
