// This machine's IPv6 addresses with the kernel's word on each (rtnetlink): the flags that say
// whether an address is temporary, deprecated or still under duplicate detection.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zepa2 {

struct KernelIpv6Address {
  std::string interfaceName;
  std::array<std::uint8_t, 16> bytes{};
  int prefixLength = 0;
  std::uint32_t flags = 0;             // IFA_F_* (the whole word of IFA_FLAGS when given)
  std::uint32_t preferredSeconds = 0;  // left before it is deprecated; 0xFFFFFFFF = forever
};

// The addresses in a buffer of RTM_NEWADDR messages; indexName gives an interface's name.
std::vector<KernelIpv6Address> ReadIpv6Addresses(std::string_view messages,
                                                 std::string (*indexName)(unsigned index));

// Every IPv6 address the kernel lists now; nothing, with the reason, when it cannot be asked.
std::optional<std::vector<KernelIpv6Address>> ListIpv6Addresses(std::string& reason);

}  // namespace zepa2
