// Builds the page to publish (temp.html) from a site's template by filling in the address and time.
#pragma once

#include <cstddef>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>

namespace zepa2 {

// The built page's name inside the run's private page folder.
inline constexpr const char* kTempPageFile = "temp.html";
// A larger template is refused rather than half-published or held in memory.
inline constexpr std::size_t kMaxTemplateBytes = 16u << 20;
inline constexpr const char* kAddressToken = "$$IP_ADDRESS$$";
inline constexpr const char* kTimeToken = "$$DAY_TIME$$";
inline constexpr const char* kIpv6AddressToken = "$$IPV6_ADDRESS$$";
inline constexpr const char* kIpv6PrefixToken = "$$IPV6_PREFIX$$";

// What the IPv6 tokens take: the address and its network ("2001:db8:1:2::/64"), CP932; empty for none.
struct PageIpv6 {
  std::string address{};
  std::string prefix{};
};

enum class BuildOutcome { PageWritten, TemplateNotOpened, TempFileNotCreated };

using Clock = std::function<std::time_t()>;

// "2001/12/24 09:05:03" in local time.
std::string FormatPageTime(std::time_t when);

// One template line (without its line end) with the tokens filled in, followed by its line ends:
// one LF, plus one more for each address token the line held. Inserted text is never searched
// again. Both tokens start with '$', which is never the second byte of a CP932 character, so a
// plain byte search cannot match inside one. The IPv6 tokens take ipv6 and no extra line end.
std::string FillTemplateLine(const std::string& line, const std::string& address, const Clock& now,
                             const PageIpv6& ipv6 = {});

// Creates pageFile (which must not exist yet; a link in its place is never followed) from the
// template (a CP932 path) with CR LF line ends; the template's own bytes pass through. The
// template is read whole first: a template that is not a regular file, cannot be read to its end
// or is over kMaxTemplateBytes is TemplateNotOpened, and then no page file is made.
BuildOutcome BuildPage(const std::string& templatePath, const std::filesystem::path& pageFile,
                       const std::string& address, const Clock& now, const PageIpv6& ipv6 = {});

// Whether the template (a CP932 path) can be read and carries an IPv6 token.
bool TemplateUsesIpv6(const std::string& templatePath);

}  // namespace zepa2
