// Replacing a file atomically: a new file is 0600, a folder made for it 0700.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zepa2 {

// NotRegular: the file (or the final target of its links) is a FIFO, a device, a socket or a
// folder: it is neither written through nor replaced. UnsafeLink: a link of the chain belongs to
// another account or lies in a folder another account can write (see WritePrivateFileAtomically).
enum class PrivateWriteError {
  None,
  Folder,
  FolderNotWritable,
  NotRegular,
  UnsafeLink,
  CreateTemporary,
  Write,
  Sync,
  Rename
};

struct PrivateWriteResult {
  PrivateWriteError error = PrivateWriteError::None;
  int errnum = 0;  // errno of the failed step
  bool ok() const { return error == PrivateWriteError::None; }
};

// Makes the missing folders of the path, each with mode (0700 unless said); existing ones are left
// as they are. False with errno set when that fails or the path is no folder.
bool MakeMissingFolders(const std::filesystem::path& folder, unsigned mode = 0700);

// Writes every byte, retrying after signals; false with errno set on failure.
bool WriteAllBytes(int fd, std::string_view bytes);

// Writes bytes to a temporary file beside `file`, syncs it and renames it over `file`. When `file`
// is a symbolic link, the file it leads to is replaced and the link stays (a settings file kept in
// a dotfiles repository), but only when every link of the chain and the folder holding it belong
// to this user or root and no other account can replace the link there; otherwise nothing is
// written (UnsafeLink). Missing folders are made 0700; a folder that exists keeps its mode,
// which is the user's choice. On failure `file` is left as it was.
PrivateWriteResult WritePrivateFileAtomically(const std::filesystem::path& file, std::string_view bytes);

// As WritePrivateFileAtomically, but a private regular file that already holds exactly these
// bytes is left as it is: the state of a run that changed nothing costs no writes and no syncs.
// Anything else, a FIFO in its place included, goes through WritePrivateFileAtomically.
PrivateWriteResult WritePrivateFileIfChanged(const std::filesystem::path& file, std::string_view bytes);

// Modes of a file written for other users to read (a metrics file an exporter collects).
struct SharedFileModes {
  unsigned file = 0644;
  unsigned newFolders = 0755;
};

// As WritePrivateFileAtomically, with the file and the folders made for it given these modes.
PrivateWriteResult WriteSharedFileAtomically(const std::filesystem::path& file, std::string_view bytes,
                                             SharedFileModes modes = {});

// "<file>: <reason>" for the user.
std::string DescribePrivateWriteFailure(const std::filesystem::path& file, const PrivateWriteResult& result);

// What writing one of the program's files came to: written, or the reason for the user (UTF-8,
// "<file>: <reason>"). Success is a value of its own, never an empty reason.
class FileWriteResult {
 public:
  static FileWriteResult Written() { return FileWriteResult(); }
  static FileWriteResult Failed(std::string reason) { return FileWriteResult(std::move(reason)); }
  static FileWriteResult Of(const std::filesystem::path& file, const PrivateWriteResult& result) {
    return result.ok() ? Written() : Failed(DescribePrivateWriteFailure(file, result));
  }

  bool ok() const { return !failure_; }
  const std::string& reason() const {
    static const std::string kNone;
    return failure_ ? *failure_ : kNone;
  }

 private:
  FileWriteResult() = default;
  explicit FileWriteResult(std::string reason) : failure_(std::move(reason)) {}
  std::optional<std::string> failure_;
};

}  // namespace zepa2
