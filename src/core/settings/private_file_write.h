// Replacing a file atomically in a folder only its owner can enter (file 0600, folder 0700).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zepa2 {

enum class PrivateWriteError { None, Folder, CreateTemporary, Write, Sync, Rename };

struct PrivateWriteResult {
  PrivateWriteError error = PrivateWriteError::None;
  int errnum = 0;  // errno of the failed step
  bool ok() const { return error == PrivateWriteError::None; }
};

// Creates the folder (and missing parents) or tightens it to 0700; false with errno set on failure.
bool MakePrivateFolder(const std::filesystem::path& folder);

// Writes every byte, retrying after signals; false with errno set on failure.
bool WriteAllBytes(int fd, std::string_view bytes);

// Creates the folder (and missing parents) or tightens it to 0700, writes bytes to a temporary
// file beside `file`, syncs it and renames it over `file`. On failure `file` is left as it was.
PrivateWriteResult WritePrivateFileAtomically(const std::filesystem::path& file,
                                              std::string_view bytes);

// "<file>: <reason>" for the user.
std::string DescribePrivateWriteFailure(const std::filesystem::path& file,
                                        const PrivateWriteResult& result);

}  // namespace zepa2
