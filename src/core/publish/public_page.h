// The address of the published page that the window opens in the browser.
#pragma once

#include <optional>
#include <string>

namespace zepa2 {

// "http://" + homePageAddress with its first $$IP_ADDRESS$$ replaced by lastAddress (any further
// tokens stay). Nothing while no address has been found yet: the caller asks for one first.
std::optional<std::string> PublicPageUrl(const std::string& homePageAddress, const std::string& lastAddress);

}  // namespace zepa2
