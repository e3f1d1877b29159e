// Fuzzes the settings file reader: any file loads without harm, and what it loads is saved and
// loaded again to the same record (nothing read is lost or changed by a save).
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/settings/settings_load.h"

namespace {

std::filesystem::path Folder() {
  static const std::filesystem::path folder = [] {
    // Memory-backed where there is such a folder: every save syncs, and disks make that slow.
    const std::filesystem::path base =
        std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
    std::string name = (base / "zepa2-settings-fuzz-XXXXXX").string();
    if (!mkdtemp(name.data())) std::abort();
    return std::filesystem::path(name);
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::filesystem::path file = Folder() / "ZEPA2.conf";
  std::filesystem::remove(Folder() / "ZEPA2.conf.bak");
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  zepa2::AppSettings loaded;
  zepa2::LoadSettingsWithReport(loaded, file, [] {});
  const std::filesystem::path saved = Folder() / "saved.conf";
  if (!zepa2::SaveSettings(loaded, saved, [] {}).ok) std::abort();
  zepa2::AppSettings again;
  zepa2::LoadSettingsWithReport(again, saved, [] {});
  if (!(again == loaded)) std::abort();
  return 0;
}
