// A private folder for one publishing run's page file, removed with everything in it when the run ends.
#pragma once

#include <filesystem>
#include <optional>
#include <vector>

namespace zepa2 {

class PageFolder {
 public:
  // A fresh folder (mkdtemp, 0700) under the first usable base of PageFolderBases(); nothing
  // when none can be made.
  static std::optional<PageFolder> Create();
  static std::optional<PageFolder> CreateUnder(const std::vector<std::filesystem::path>& bases);

  ~PageFolder();
  PageFolder(PageFolder&& other) noexcept;
  PageFolder& operator=(PageFolder&&) = delete;
  PageFolder(const PageFolder&) = delete;
  PageFolder& operator=(const PageFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

  // Where the next site's page goes: temp.html in the folder, the previous site's page removed so
  // that the page can be created anew (the builder never opens an existing file).
  std::filesystem::path NewPageFile() const;

 private:
  explicit PageFolder(std::filesystem::path path) : path_(std::move(path)) {}
  std::filesystem::path path_;
};

// $XDG_RUNTIME_DIR/ZEPA (memory only, cleared at log-out), then $XDG_CACHE_HOME/ZEPA for a
// session without a runtime folder. Never the working folder, which others may share.
std::vector<std::filesystem::path> PageFolderBases();

}  // namespace zepa2
