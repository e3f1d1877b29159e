#include "core/outcome/last_address_file.h"

#include <sstream>

#include "core/settings/app_settings.h"
#include "core/settings/private_file_write.h"
#include "core/sys/read_file.h"
#include "core/sys/xdg_paths.h"

namespace zepa2 {

std::filesystem::path LastAddressFilePath() { return XdgStateHome() / "ZEPA" / "last-address"; }

std::filesystem::path LastIpv6AddressFilePath() { return XdgStateHome() / "ZEPA" / "last-ipv6-address"; }

std::filesystem::path ToldFailureFilePath() { return XdgStateHome() / "ZEPA" / "told-failure"; }

namespace {

// The file's bytes; nothing when it is missing or refused (then refusal says why).
std::optional<std::string> ReadAddressFile(const std::filesystem::path& file, std::string* refusal) {
  BoundedRead read = ReadBoundedFile(file, kMaxAddressFileBytes);
  if (read.kind == BoundedRead::Kind::Refused && refusal) *refusal = file.string() + ": " + read.reason;
  if (!read.read()) return std::nullopt;
  return std::move(read.bytes);
}

}  // namespace

std::optional<std::string> ReadLastAddress(const std::filesystem::path& file, std::string* refusal) {
  return ReadAddressFile(file, refusal);
}

FileWriteResult WriteLastAddress(const std::filesystem::path& file, const std::string& address) {
  const PrivateWriteResult r = WritePrivateFileIfChanged(file, address);
  return FileWriteResult::Of(file, r);
}

std::filesystem::path OwedSitesFilePath() { return XdgStateHome() / "ZEPA" / "owed-sites"; }

std::vector<int> ReadOwedSites(const std::filesystem::path& file, std::string* refusal) {
  std::istringstream in(ReadAddressFile(file, refusal).value_or(""));
  std::vector<int> sites;
  int n = 0;
  while (sites.size() < kSiteSlots && in >> n) {
    if (n >= 1 && n <= kSiteSlots && (sites.empty() || n > sites.back())) sites.push_back(n);
  }
  return sites;
}

FileWriteResult WriteOwedSites(const std::filesystem::path& file, const std::vector<int>& sites) {
  std::string text;
  for (int n : sites) text += std::to_string(n) + "\n";
  const PrivateWriteResult r = WritePrivateFileIfChanged(file, text);
  return FileWriteResult::Of(file, r);
}

}  // namespace zepa2
