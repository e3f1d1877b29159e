#include "core/settings/secret_reference.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "core/settings/keyring_store.h"
#include "core/text/cp932.h"
#include "core/text/fill_message.h"
#include "core/text/messages.h"

namespace zepa2 {
namespace {

struct Prefix {
  std::string_view text;
  SecretSource source;
};

constexpr std::array kPrefixes{Prefix{"keyring:", SecretSource::Keyring},
                               Prefix{"credential:", SecretSource::Credential},
                               Prefix{"file:", SecretSource::File}, Prefix{"env:", SecretSource::Env}};

// A password is one line; a file of more is not read past its first.
constexpr std::size_t kMaxSecretFileBytes = 64 * 1024;

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

ResolvedSecret Missing(std::string problem) { return {std::nullopt, std::move(problem)}; }

// The first line of the text, without its line end.
std::string FirstLine(std::string text) {
  text.resize(std::min(text.find('\n'), text.size()));
  if (!text.empty() && text.back() == '\r') text.pop_back();
  return text;
}

ResolvedSecret Found(std::string secret) {
  if (secret.empty()) return Missing(msg::kSecretEmpty);
  return {std::move(secret), {}};
}

// Reads the first line of a regular file; a file anyone else may read or change is refused
// unless it is a systemd credential, which systemd made readable to this user alone.
ResolvedSecret ReadSecretFile(const std::string& path, bool mustBePrivate) {
  // Non-blocking: a FIFO put in the file's place must not hang the run before it is refused.
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (fd.get() < 0)
    return Missing(std::string(msg::kSecretUnreadable) + msg::kReasonFollows + std::strerror(errno));
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0)
    return Missing(std::string(msg::kSecretUnreadable) + msg::kReasonFollows + std::strerror(errno));
  if (!S_ISREG(info.st_mode)) return Missing(msg::kSecretNotRegular);
  if (mustBePrivate && info.st_uid != ::geteuid()) return Missing(msg::kSecretNotOwn);
  if (mustBePrivate && (info.st_mode & (S_IRWXG | S_IRWXO)) != 0) return Missing(msg::kSecretNotPrivate);
  if (static_cast<std::size_t>(info.st_size) > kMaxSecretFileBytes) return Missing(msg::kSecretTooLarge);
  std::string text(static_cast<std::size_t>(info.st_size), '\0');
  std::size_t got = 0;
  while (got < text.size()) {
    const ssize_t n = ::read(fd.get(), text.data() + got, text.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0)
      return Missing(std::string(msg::kSecretUnreadable) + msg::kReasonFollows + std::strerror(errno));
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  text.resize(got);
  return Found(FirstLine(std::move(text)));
}

bool IsVariableName(std::string_view name) {
  if (name.empty() || (name[0] >= '0' && name[0] <= '9')) return false;
  for (char c : name) {
    const bool ok = c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    if (!ok) return false;
  }
  return true;
}

std::optional<std::string> ProblemOf(const SecretReference& reference) {
  switch (reference.source) {
    case SecretSource::Keyring:
      if (!reference.name.empty()) return msg::kSecretKeyringExtra;
      return std::nullopt;
    case SecretSource::Credential:
      if (reference.name.empty() || reference.name == "." || reference.name == "..")
        return msg::kSecretNoName;
      if (reference.name.find('/') != std::string::npos) return msg::kSecretCredentialSlash;
      return std::nullopt;
    case SecretSource::File:
      if (reference.name.empty()) return msg::kSecretNoName;
      if (reference.name[0] != '/') return msg::kSecretRelativePath;
      return std::nullopt;
    case SecretSource::Env:
      if (!IsVariableName(reference.name)) return msg::kSecretBadVariable;
      return std::nullopt;
  }
  return std::nullopt;
}

ResolvedSecret Resolve(const SecretReference& reference, std::string_view key) {
  switch (reference.source) {
    case SecretSource::Keyring: {
      KeyringAnswer answer = LookUpKeyringSecret(key);
      if (!answer.secret) return Missing(std::move(answer.problem));
      // The keyring holds text; the program's passwords are CP932, as the window's box gives them.
      return Found(Utf8ToCp932Exactly(*answer.secret).value_or(*answer.secret));
    }
    case SecretSource::Credential: {
      const char* folder = std::getenv("CREDENTIALS_DIRECTORY");
      if (!folder || !*folder) return Missing(msg::kSecretNoCredentials);
      return ReadSecretFile(std::string(folder) + "/" + reference.name, false);
    }
    case SecretSource::File:
      return ReadSecretFile(reference.name, true);
    case SecretSource::Env: {
      const char* value = std::getenv(reference.name.c_str());
      if (!value) return Missing(msg::kSecretEnvMissing);
      return Found(value);
    }
  }
  return Missing(msg::kSecretNoName);
}

}  // namespace

std::optional<SecretReference> ParseSecretReference(std::string_view stored) {
  for (const Prefix& prefix : kPrefixes) {
    if (stored.substr(0, prefix.text.size()) == prefix.text)
      return SecretReference{prefix.source, std::string(stored.substr(prefix.text.size()))};
  }
  return std::nullopt;
}

std::optional<std::string> SecretReferenceProblem(std::string_view stored) {
  const std::optional<SecretReference> reference = ParseSecretReference(stored);
  if (!reference) return std::nullopt;
  return ProblemOf(*reference);
}

ResolvedSecret ResolveSecret(std::string_view stored, std::string_view key) {
  const std::optional<SecretReference> reference = ParseSecretReference(stored);
  if (!reference) return {std::string(stored), {}};
  if (auto problem = ProblemOf(*reference)) return Missing(std::move(*problem));
  return Resolve(*reference, key);
}

std::string UnresolvedSecretLogLine(std::string_view key, std::string_view stored,
                                    const std::string& problem) {
  return Cp932(FillMessage(msg::kSecretUnresolved, key, Cp932ToUtf8(stored), problem));
}

}  // namespace zepa2
