#include "core/net/ipv6_suffix.h"

#include <arpa/inet.h>

#include <charconv>

#include "core/text/messages.h"

namespace zepa2 {
namespace {

std::optional<Ipv6Bytes> Parsed(std::string_view text) {
  Ipv6Bytes bytes{};
  if (text.empty() || text.size() > 45 || inet_pton(AF_INET6, std::string(text).c_str(), bytes.data()) != 1)
    return std::nullopt;
  return bytes;
}

std::string Text(const Ipv6Bytes& bytes) {
  char text[INET6_ADDRSTRLEN] = {};
  return inet_ntop(AF_INET6, bytes.data(), text, sizeof text) ? text : "";
}

// The mask byte i takes from the prefix of length bits.
std::uint8_t PrefixMask(int bits, std::size_t i) {
  const int inByte = bits - static_cast<int>(i) * 8;
  if (inByte >= 8) return 0xFF;
  if (inByte <= 0) return 0x00;
  return static_cast<std::uint8_t>(0xFF << (8 - inByte));
}

std::optional<Ipv6Suffix> Refused(const char** problem, const char* why) {
  if (problem) *problem = why;
  return std::nullopt;
}

}  // namespace

std::optional<Ipv6Suffix> ParseIpv6Suffix(std::string_view text, const char** problem) {
  Ipv6Suffix suffix;
  const std::size_t slash = text.find('/');
  if (slash != std::string_view::npos) {
    const std::string_view length = text.substr(slash + 1);
    const auto [end, error] =
        std::from_chars(length.data(), length.data() + length.size(), suffix.prefixLength);
    if (length.empty() || error != std::errc() || end != length.data() + length.size() ||
        suffix.prefixLength < 1 || suffix.prefixLength > 127)
      return Refused(problem, msg::kSuffixBadLength);
    text = text.substr(0, slash);
  }
  const auto identifier = Parsed(text);
  if (!identifier) return Refused(problem, msg::kSuffixNotIdentifier);
  suffix.identifier = *identifier;
  bool any = false;
  for (std::size_t i = 0; i < suffix.identifier.size(); ++i) {
    any = any || suffix.identifier[i] != 0;
    if (suffix.identifier[i] & PrefixMask(suffix.prefixLength, i))
      return Refused(problem, msg::kSuffixTooLong);
  }
  if (!any) return Refused(problem, msg::kSuffixAllZeros);
  return suffix;
}

std::string Ipv6WithSuffix(std::string_view address, const Ipv6Suffix& suffix) {
  auto bytes = Parsed(address);
  if (!bytes) return {};
  for (std::size_t i = 0; i < bytes->size(); ++i) {
    const std::uint8_t mask = PrefixMask(suffix.prefixLength, i);
    (*bytes)[i] = static_cast<std::uint8_t>(((*bytes)[i] & mask) | (suffix.identifier[i] & ~mask));
  }
  return Text(*bytes);
}

std::string Ipv6PrefixText(std::string_view address, int prefixLength) {
  auto bytes = Parsed(address);
  if (!bytes || prefixLength < 0 || prefixLength > 128) return {};
  for (std::size_t i = 0; i < bytes->size(); ++i) (*bytes)[i] &= PrefixMask(prefixLength, i);
  return Text(*bytes) + "/" + std::to_string(prefixLength);
}

}  // namespace zepa2
