#include "core/publish/page_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "core/publish/page_builder.h"
#include "core/sys/xdg_paths.h"

namespace zepa2 {
namespace {

// The base must be this user's own folder that nobody else can write: another user who could
// rename entries in it could swap the run's folder for one of their own.
bool IsPrivateFolder(const std::filesystem::path& folder) {
  struct stat info {};
  if (::lstat(folder.c_str(), &info) != 0) return false;
  return S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & 0022) == 0;
}

bool MakeBase(const std::filesystem::path& base) {
  std::error_code ec;
  std::filesystem::create_directories(base.parent_path(), ec);
  if (::mkdir(base.c_str(), 0700) != 0 && errno != EEXIST) return false;
  return IsPrivateFolder(base);
}

}  // namespace

std::vector<std::filesystem::path> PageFolderBases() {
  std::vector<std::filesystem::path> bases;
  if (auto runtime = XdgRuntimeDir()) bases.push_back(*runtime / "ZEPA");
  bases.push_back(XdgCacheHome() / "ZEPA");
  return bases;
}

std::optional<PageFolder> PageFolder::Create() { return CreateUnder(PageFolderBases()); }

std::optional<PageFolder> PageFolder::CreateUnder(const std::vector<std::filesystem::path>& bases) {
  for (const auto& base : bases) {
    if (!MakeBase(base)) continue;
    std::string pattern = (base / "page-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) return PageFolder(std::filesystem::path(pattern));
  }
  return std::nullopt;
}

PageFolder::PageFolder(PageFolder&& other) noexcept : path_(std::move(other.path_)) { other.path_.clear(); }

PageFolder::~PageFolder() {
  if (path_.empty()) return;
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);  // never follows a link inside
}

std::filesystem::path PageFolder::NewPageFile() const {
  std::filesystem::path page = path_ / kTempPageFile;
  ::unlink(page.c_str());
  return page;
}

}  // namespace zepa2
