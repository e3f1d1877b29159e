#include "core/log/log_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/log/log_stamp.h"
#include "core/settings/private_file_write.h"
#include "core/sys/xdg_paths.h"
#include "core/text/cp932.h"
#include "core/text/messages.h"

namespace zepa2 {
namespace {

std::filesystem::path Numbered(const std::filesystem::path& file, int n) {
  std::filesystem::path numbered = file;
  numbered += "." + std::to_string(n);
  return numbered;
}

// Shifts file → .1 → .2 → .3; a missing step is no error (a young log has no old files yet).
bool Rotate(const std::filesystem::path& file) {
  for (int n = kLogFileKeptOld; n >= 1; --n) {
    const std::filesystem::path from = n == 1 ? file : Numbered(file, n - 1);
    if (::rename(from.c_str(), Numbered(file, n).c_str()) != 0 && errno != ENOENT) return false;
  }
  return true;
}

std::string Failure(const std::filesystem::path& file) { return file.string() + ": " + std::strerror(errno); }

}  // namespace

std::filesystem::path LogFilePath() { return XdgStateHome() / "ZEPA" / "zepa2.log"; }

std::string AppendLogFileLine(const std::filesystem::path& file, std::time_t when,
                              const std::string& cp932Text, LogColor color, std::uintmax_t rotateBytes) {
  const std::string line = PlainLogLine(Cp932ToUtf8(MakeLogLine(when, cp932Text)), color);
  const std::filesystem::path folder = file.parent_path().empty() ? "." : file.parent_path();
  if (!MakeMissingFolders(folder)) return Failure(folder);

  struct stat info {};
  if (::stat(file.c_str(), &info) == 0) {
    // Only a regular file is appended to: a FIFO would hold the window until someone read it.
    if (!S_ISREG(info.st_mode)) return file.string() + ": " + msg::kSettingsNotRegularFile;
    if (info.st_size > 0 && static_cast<std::uintmax_t>(info.st_size) + line.size() > rotateBytes &&
        !Rotate(file))
      return Failure(file);
  }

  // O_NOFOLLOW: a link planted in the state folder is not followed into someone else's file.
  // O_NONBLOCK: a FIFO put there after the check above never holds the open.
  const int fd =
      ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
  if (fd < 0) return Failure(file);
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return file.string() + ": " + msg::kSettingsNotRegularFile;
  }
  const bool written = WriteAllBytes(fd, line);
  const int savedErrno = errno;
  ::close(fd);
  errno = savedErrno;
  return written ? std::string() : Failure(file);
}

}  // namespace zepa2
