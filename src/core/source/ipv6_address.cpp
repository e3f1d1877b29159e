#include "core/source/ipv6_address.h"

#include <arpa/inet.h>

#include <array>
#include <cstdint>
#include <optional>
#include <sstream>

#include "core/sys/read_file.h"

#include "core/sys/route_table.h"

namespace zepa2 {
namespace {

// The kernel's IFA_F_* and RTF_* bits as /proc prints them.
constexpr unsigned kTemporary = 0x01;
constexpr unsigned kDadFailed = 0x08;
constexpr unsigned kDeprecated = 0x20;
constexpr unsigned kTentative = 0x40;
constexpr unsigned kStablePrivacy = 0x800;
constexpr unsigned kGlobalScope = 0x00;

std::optional<unsigned long> Hex(const std::string& text) {
  if (text.empty() || text.size() > 8) return std::nullopt;
  std::size_t used = 0;
  try {
    const unsigned long value = std::stoul(text, &used, 16);
    if (used == text.size()) return value;
  } catch (...) {
  }
  return std::nullopt;
}

std::optional<std::array<unsigned char, 16>> HexAddress(const std::string& text) {
  if (text.size() != 32) return std::nullopt;
  std::array<unsigned char, 16> bytes{};
  for (std::size_t i = 0; i < 16; ++i) {
    const auto byte = Hex(text.substr(i * 2, 2));
    if (!byte) return std::nullopt;
    bytes[i] = static_cast<unsigned char>(*byte);
  }
  return bytes;
}

bool IsEui64(const std::array<unsigned char, 16>& bytes) { return bytes[11] == 0xFF && bytes[12] == 0xFE; }

std::string AddressText(const std::array<unsigned char, 16>& bytes) {
  char text[INET6_ADDRSTRLEN] = {};
  return inet_ntop(AF_INET6, bytes.data(), text, sizeof text) ? text : "";
}

}  // namespace

std::string DefaultIpv6Interface(std::string_view routesText) {
  const auto route = BestIpv6DefaultRoute(routesText);
  return route ? route->device : std::string();
}

std::string ChooseGlobalIpv6(std::string_view addressesText, std::string_view interfaceName) {
  if (interfaceName.empty()) return {};
  std::istringstream lines{std::string(addressesText)};
  std::string line;
  std::string other;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string address, index, prefix, scope, flags, device;
    if (!(fields >> address >> index >> prefix >> scope >> flags >> device)) continue;
    const auto bytes = HexAddress(address);
    const auto scopeBits = Hex(scope);
    const auto flagBits = Hex(flags);
    if (!bytes || !scopeBits || !flagBits || device != interfaceName) continue;
    if (*scopeBits != kGlobalScope) continue;
    if (*flagBits & (kTemporary | kDadFailed | kDeprecated | kTentative)) continue;
    const std::string text = AddressText(*bytes);
    if (IsEui64(*bytes) || (*flagBits & kStablePrivacy)) return text;
    if (other.empty()) other = text;
  }
  return other;
}

std::string GlobalIpv6Address(const Ipv6Sources& sources) {
  const auto routes = ReadWholeFile(sources.routes);
  const auto addresses = ReadWholeFile(sources.addresses);
  if (!routes || !addresses) return {};
  return ChooseGlobalIpv6(*addresses, DefaultIpv6Interface(*routes));
}

}  // namespace zepa2
