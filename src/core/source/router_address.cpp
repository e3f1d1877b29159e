#include "core/source/router_address.h"

namespace zepa2 {

RouterAddress SplitRouterAddress(std::string_view text) {
  constexpr std::string_view kScheme = "http://";
  constexpr std::string_view kSecureScheme = "https://";
  if (text.starts_with(kScheme)) text.remove_prefix(kScheme.size());
  RouterAddress split{std::string(text), {}, {}};
  // "https://" stays part of the server, which it makes an HTTPS one.
  const std::size_t hostStart = text.starts_with(kSecureScheme) ? kSecureScheme.size() : 0;
  // "/" is never the second byte of a CP932 character, so a byte search is safe.
  const std::size_t slash = text.find('/', hostStart);
  if (slash != std::string_view::npos) {
    split.server = text.substr(0, slash);
    split.path = text.substr(slash + 1);
  }
  return split;
}

std::string JoinRouterAddress(const std::string& server, const std::string& path) {
  return server + "/" + path;
}

}  // namespace zepa2
