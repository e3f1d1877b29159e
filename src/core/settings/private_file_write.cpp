#include "core/settings/private_file_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>

#include "core/sys/read_file.h"
#include "core/text/messages.h"

namespace zepa2 {
namespace {

class UniqueFd {
 public:
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() { Close(); }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  int get() const { return fd_; }
  int Close() {
    int rc = fd_ >= 0 ? ::close(fd_) : 0;
    fd_ = -1;
    return rc;
  }

 private:
  int fd_;
};

// Removes the temporary file unless it was renamed into place.
class TemporaryName {
 public:
  explicit TemporaryName(std::string path) : path_(std::move(path)) {}
  ~TemporaryName() {
    if (!kept_) ::unlink(path_.c_str());
  }
  TemporaryName(const TemporaryName&) = delete;
  TemporaryName& operator=(const TemporaryName&) = delete;
  void Keep() { kept_ = true; }

 private:
  std::string path_;
  bool kept_ = false;
};

PrivateWriteResult Failed(PrivateWriteError error) { return {error, errno}; }

// Whether a link may be followed for a write: it and the folder that holds it belong to this
// user or to root, and nobody else can replace it there (the folder is not writable by others, or
// sticky). The kernel's protected_symlinks rule for following, made strict for writing: a link
// planted by another account would otherwise aim this user's write at any file it can reach.
bool MayFollowForWriting(const std::filesystem::path& link) {
  const uid_t self = ::geteuid();
  const auto ours = [self](uid_t owner) { return owner == self || owner == 0; };
  struct stat info {};
  if (::lstat(link.c_str(), &info) != 0 || !ours(info.st_uid)) return false;
  const std::filesystem::path folder = link.parent_path().empty() ? "." : link.parent_path();
  if (::stat(folder.c_str(), &info) != 0 || !ours(info.st_uid)) return false;
  return (info.st_mode & (S_IWGRP | S_IWOTH)) == 0 || (info.st_mode & S_ISVTX) != 0;
}

// The file a chain of symbolic links ends at; the path itself when it is no link (or missing).
// Nothing when a link of the chain may not be followed for writing.
std::optional<std::filesystem::path> FinalTarget(std::filesystem::path file) {
  constexpr int kMaxLinks = 40;  // as the kernel allows
  for (int i = 0; i < kMaxLinks; ++i) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(file, ec))) return file;
    if (!MayFollowForWriting(file)) return std::nullopt;
    const std::filesystem::path target = std::filesystem::read_symlink(file, ec);
    if (ec) return file;
    file = target.is_absolute() ? target : file.parent_path() / target;
  }
  return file;
}

}  // namespace

bool MakeMissingFolders(const std::filesystem::path& folder, unsigned mode) {
  std::filesystem::path built;
  struct stat info {};
  for (const auto& part : folder) {
    built /= part;
    if (::stat(built.c_str(), &info) == 0) continue;
    if (errno != ENOENT) return false;
    if (::mkdir(built.c_str(), static_cast<mode_t>(mode)) != 0 && errno != EEXIST) return false;
  }
  if (::stat(folder.c_str(), &info) != 0) return false;
  if (!S_ISDIR(info.st_mode)) {
    errno = ENOTDIR;
    return false;
  }
  return true;
}

bool WriteAllBytes(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

namespace {

PrivateWriteResult WriteAtomically(const std::filesystem::path& path, std::string_view bytes,
                                   std::optional<SharedFileModes> shared) {
  const std::optional<std::filesystem::path> followed = FinalTarget(path);
  if (!followed) {
    errno = EPERM;
    return Failed(PrivateWriteError::UnsafeLink);
  }
  const std::filesystem::path& file = *followed;
  // Replacing /dev/null or a FIFO someone pointed the file at would turn it into a regular file.
  struct stat target {};
  if (::lstat(file.c_str(), &target) == 0 && !S_ISREG(target.st_mode)) {
    errno = S_ISDIR(target.st_mode) ? EISDIR : EINVAL;
    return Failed(PrivateWriteError::NotRegular);
  }
  const std::filesystem::path folder = file.parent_path().empty() ? "." : file.parent_path();
  if (!MakeMissingFolders(folder, shared ? shared->newFolders : 0700))
    return Failed(PrivateWriteError::Folder);
  // With the effective identity and capabilities, the ones the writing itself will meet.
  if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
    return Failed(PrivateWriteError::FolderNotWritable);

  std::string tempPath = file.string() + ".XXXXXX";
  UniqueFd fd(::mkstemp(tempPath.data()));  // mkstemp creates it 0600
  if (fd.get() < 0) return Failed(PrivateWriteError::CreateTemporary);
  TemporaryName temporary(tempPath);
  // Set on the descriptor before a byte is written: the umask does not narrow it.
  if (shared && ::fchmod(fd.get(), static_cast<mode_t>(shared->file)) != 0)
    return Failed(PrivateWriteError::CreateTemporary);

  if (!WriteAllBytes(fd.get(), bytes)) return Failed(PrivateWriteError::Write);
  if (::fsync(fd.get()) != 0) return Failed(PrivateWriteError::Sync);
  if (fd.Close() != 0) return Failed(PrivateWriteError::Write);
  if (::rename(tempPath.c_str(), file.c_str()) != 0) return Failed(PrivateWriteError::Rename);
  temporary.Keep();

  // Makes the rename itself survive a power cut; the new file is complete either way.
  UniqueFd folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folderFd.get() >= 0) ::fsync(folderFd.get());
  return {};
}

}  // namespace

PrivateWriteResult WritePrivateFileAtomically(const std::filesystem::path& file, std::string_view bytes) {
  return WriteAtomically(file, bytes, std::nullopt);
}

PrivateWriteResult WritePrivateFileIfChanged(const std::filesystem::path& file, std::string_view bytes) {
  struct stat info {};
  if (::stat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & 077) == 0 &&
      static_cast<std::uintmax_t>(info.st_size) == bytes.size()) {
    const BoundedRead held = ReadBoundedFile(file, bytes.size());
    if (held.read() && held.bytes == bytes) return {};
  }
  return WritePrivateFileAtomically(file, bytes);
}

PrivateWriteResult WriteSharedFileAtomically(const std::filesystem::path& file, std::string_view bytes,
                                             SharedFileModes modes) {
  return WriteAtomically(file, bytes, modes);
}

std::string DescribePrivateWriteFailure(const std::filesystem::path& file, const PrivateWriteResult& result) {
  const char* step = "";
  switch (result.error) {
    case PrivateWriteError::None:
      return {};
    case PrivateWriteError::Folder:
      step = msg::kSettingsFolderFailed;
      break;
    case PrivateWriteError::FolderNotWritable:
      step = msg::kSettingsFolderNotWritable;
      break;
    case PrivateWriteError::NotRegular:
      step = msg::kSettingsNotRegularFile;
      break;
    case PrivateWriteError::UnsafeLink:
      step = msg::kSettingsUnsafeLink;
      break;
    case PrivateWriteError::CreateTemporary:
      step = msg::kSettingsTemporaryFailed;
      break;
    case PrivateWriteError::Write:
      step = msg::kSettingsWriteFailed;
      break;
    case PrivateWriteError::Sync:
      step = msg::kSettingsSyncFailed;
      break;
    case PrivateWriteError::Rename:
      step = msg::kSettingsRenameFailed;
      break;
  }
  return file.string() + ": " + step + " (" + std::strerror(result.errnum) + ")";
}

}  // namespace zepa2
