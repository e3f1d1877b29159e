#include "core/publish/public_page.h"

#include <string_view>

#include "core/publish/page_builder.h"

namespace zepa2 {

std::optional<std::string> PublicPageUrl(const std::string& homePageAddress, const std::string& lastAddress) {
  if (lastAddress.empty()) return std::nullopt;
  std::string page = homePageAddress;
  const std::string_view token = kAddressToken;
  if (const auto at = page.find(token); at != std::string::npos) {
    page.replace(at, token.size(), lastAddress);
  }
  return "http://" + page;
}

}  // namespace zepa2
