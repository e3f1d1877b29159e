#include "core/outcome/last_address_file.h"

#include <fstream>
#include <iterator>

#include "core/settings/app_settings.h"
#include "core/settings/private_file_write.h"
#include "core/sys/xdg_paths.h"

namespace zepa2 {

std::filesystem::path LastAddressFilePath() { return XdgStateHome() / "ZEPA" / "last-address"; }

std::filesystem::path LastIpv6AddressFilePath() { return XdgStateHome() / "ZEPA" / "last-ipv6-address"; }

std::optional<std::string> ReadLastAddress(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  // The file holds the address bytes and nothing else. A file too large to be ours is read no
  // further than the cap; its address then differs and the next run publishes again.
  constexpr std::size_t kCap = 64 * 1024;
  std::string bytes(kCap, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

std::string WriteLastAddress(const std::filesystem::path& file, const std::string& address) {
  const PrivateWriteResult r = WritePrivateFileAtomically(file, address);
  return r.ok() ? std::string() : DescribePrivateWriteFailure(file, r);
}

std::filesystem::path OwedSitesFilePath() { return XdgStateHome() / "ZEPA" / "owed-sites"; }

std::vector<int> ReadOwedSites(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::vector<int> sites;
  int n = 0;
  while (sites.size() < kSiteSlots && in >> n) {
    if (n >= 1 && n <= kSiteSlots && (sites.empty() || n > sites.back())) sites.push_back(n);
  }
  return sites;
}

std::string WriteOwedSites(const std::filesystem::path& file, const std::vector<int>& sites) {
  std::string text;
  for (int n : sites) text += std::to_string(n) + "\n";
  const PrivateWriteResult r = WritePrivateFileAtomically(file, text);
  return r.ok() ? std::string() : DescribePrivateWriteFailure(file, r);
}

}  // namespace zepa2
