#include "core/net/ftp_browse_session.h"

#include <string_view>
#include <vector>

#include "core/text/cp932.h"
#include "core/net/protocol_text.h"

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

// "/a/./b/../c" as "/a/c": an SSH server has no current folder to ask, so the client keeps it.
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

}  // namespace

struct FtpBrowseSession::Reply {
  std::string body;
  std::optional<std::string> directory;  // from the last 257 reply

  static size_t OnBody(char* data, size_t size, size_t count, void* self) {
    std::string& body = static_cast<Reply*>(self)->body;
    if (body.size() + size * count > kMaxListingBytes) return 0;  // aborts the transfer
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

std::optional<FtpBrowseSession> FtpBrowseSession::Connect(const SiteLogin& login,
                                                          TransferLimits limits,
                                                          Outcome* failure) {
  Outcome ignored;
  Outcome& outcome = failure ? *failure : ignored;
  auto session = Transport::Open(login, limits);
  if (!session) return std::nullopt;
  outcome = session->LogIn();
  if (outcome.kind != OutcomeKind::Done) return std::nullopt;
  const char* entryPath = nullptr;
  curl_easy_getinfo(session->handle(), CURLINFO_FTP_ENTRY_PATH, &entryPath);
  if (entryPath == nullptr) return std::nullopt;
  std::string entry = session->LocalName(entryPath).value_or(Utf8ToCp932(entryPath));
  return FtpBrowseSession(std::move(session), std::move(entry));
}

std::string FtpBrowseSession::DirectoryUrlOf(const std::string& absoluteWirePath) const {
  if (session_->serverNamesFolders()) return session_->FolderUrl(absoluteWirePath);
  return session_->FolderUrl(WithoutDots(absoluteWirePath));
}

std::string FtpBrowseSession::LocalDirectory(const std::string& wireName) const {
  // A folder the user could not have picked: the closest CP932 spelling still shows where we are.
  return session_->LocalName(wireName).value_or(Utf8ToCp932(wireName));
}

CURLcode FtpBrowseSession::Perform(const std::string& url, bool wantBody, const char* command,
                                   Reply& reply) {
  // SFTP has no current folder and its "pwd" names the home: the client's own path stands.
  const bool sftp = !session_->serverNamesFolders();
  CurlSlist pwd;
  if (!sftp) AppendTo(pwd, "PWD");
  CURL* h = session_->handle();
  curl_easy_setopt(h, CURLOPT_URL, url.c_str());
  curl_easy_setopt(h, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_SINGLECWD));
  curl_easy_setopt(h, CURLOPT_NOBODY, wantBody ? 0L : 1L);
  curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, sftp ? nullptr : command);
  curl_easy_setopt(h, CURLOPT_POSTQUOTE, pwd.get());
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &Reply::OnBody);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, &reply);
  curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &Reply::OnServerLine);
  curl_easy_setopt(h, CURLOPT_HEADERDATA, &reply);

  const CURLcode code = session_->Perform();
  // The list and the reply die with this call; the handle must not point at them afterwards.
  curl_easy_setopt(h, CURLOPT_POSTQUOTE, nullptr);
  curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, nullptr);
  curl_easy_setopt(h, CURLOPT_NOBODY, 0L);
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, nullptr);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, nullptr);
  curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, nullptr);
  curl_easy_setopt(h, CURLOPT_HEADERDATA, nullptr);
  return code;
}

OutcomeKind FtpBrowseSession::ChangeDirectory(const std::string& target) {
  if (!IsProtocolText(target)) return OutcomeKind::TransferRefused;
  Reply reply;
  const bool sftp = !session_->serverNamesFolders();
  // An SFTP folder is proved by reading it: there is no CWD to refuse a folder that is not there.
  const CURLcode code = Perform(DirectoryUrlOf(session_->WireName(target)), sftp, nullptr, reply);
  if (code == CURLE_REMOTE_ACCESS_DENIED || (sftp && code == CURLE_REMOTE_FILE_NOT_FOUND)) {
    return OutcomeKind::TransferRefused;
  }
  if (sftp && code == CURLE_OK) reply.directory = WithoutDots(session_->WireName(target));
  if (code != CURLE_OK) {
    const OutcomeKind failure = session_->OutcomeOf(code).kind;
    return failure == OutcomeKind::TransferRefused ? OutcomeKind::ConnectFailed : failure;
  }
  if (!reply.directory) return OutcomeKind::ConnectFailed;
  currentDirectory_ = LocalDirectory(*reply.directory);
  return OutcomeKind::Done;
}

FtpListing FtpBrowseSession::ListCurrentDirectory() {
  Reply reply;
  const CURLcode code =
      Perform(DirectoryUrlOf(session_->WireName(currentDirectory_)), true, "LIST -a", reply);
  FtpListing listing;
  listing.entries = ParseListing(reply.body, code == CURLE_OK);
  for (FtpEntry& entry : listing.entries) {
    if (auto local = session_->LocalName(entry.name)) {
      entry.name = std::move(*local);
    } else {
      entry.noCp932Form = true;
    }
  }
  if (code == CURLE_OK) {
    if (reply.directory) currentDirectory_ = LocalDirectory(*reply.directory);
    listing.kind = OutcomeKind::Done;
  } else {
    listing.kind = session_->OutcomeOf(code).kind;
  }
  return listing;
}

}  // namespace zepa2::net
