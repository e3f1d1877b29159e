// Noticing that the settings file was written by another program (zepa2-check config) since the
// window last looked, so a running window takes the change before its next check.
#pragma once

#include <filesystem>
#include <optional>
#include <tuple>

namespace zepa2 {

class SettingsFileStamp {
 public:
  // Takes the file's stamp as it is now: what is there at the start has been loaded.
  explicit SettingsFileStamp(std::filesystem::path file);

  // True once for every change of the file (replaced, rewritten or made) since the last call.
  bool Changed();

 private:
  using Stamp = std::tuple<unsigned long, long, long, long>;  // inode, size, mtime s, mtime ns
  std::optional<Stamp> Now() const;

  std::filesystem::path file_;
  std::optional<Stamp> seen_;
};

}  // namespace zepa2
