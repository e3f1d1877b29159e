#include "core/sys/read_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace zepa2 {
namespace {

class FdCloser {
 public:
  explicit FdCloser(int fd) : fd_(fd) {}
  ~FdCloser() {
    if (fd_ >= 0) ::close(fd_);
  }
  FdCloser(const FdCloser&) = delete;
  FdCloser& operator=(const FdCloser&) = delete;

 private:
  int fd_;
};

}  // namespace

std::optional<std::string> ReadWholeFile(const std::filesystem::path& file) {
  std::error_code ec;
  if (std::filesystem::is_directory(file, ec)) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes(std::istreambuf_iterator<char>(in), {});
  if (in.bad()) return std::nullopt;
  return bytes;
}

BoundedRead ReadBoundedFile(const std::filesystem::path& file, std::size_t maxBytes) {
  const auto refused = [](std::string reason) {
    return BoundedRead{BoundedRead::Kind::Refused, {}, std::move(reason)};
  };
  // O_NONBLOCK: opening a FIFO would otherwise wait for a writer, with no time limit.
  const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    if (errno == ENOENT) return {};
    return refused(std::strerror(errno));
  }
  FdCloser closer(fd);
  struct stat info {};
  if (::fstat(fd, &info) != 0) return refused(std::strerror(errno));
  if (!S_ISREG(info.st_mode)) return refused("not a regular file");
  const std::string tooLarge = "larger than " + std::to_string(maxBytes) + " bytes";
  if (static_cast<unsigned long long>(info.st_size) > maxBytes) return refused(tooLarge);

  BoundedRead result{BoundedRead::Kind::Read, {}, {}};
  result.bytes.reserve(static_cast<std::size_t>(info.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return refused(std::strerror(errno));
    if (n == 0) return result;
    // The file may have grown since fstat.
    if (result.bytes.size() + static_cast<std::size_t>(n) > maxBytes) return refused(tooLarge);
    result.bytes.append(buffer, static_cast<std::size_t>(n));
  }
}

std::optional<std::string> ReadRegularFile(const std::filesystem::path& file, std::size_t maxBytes) {
  BoundedRead read = ReadBoundedFile(file, maxBytes);
  if (!read.read()) return std::nullopt;
  return std::move(read.bytes);
}

}  // namespace zepa2
