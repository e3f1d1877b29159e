// The router page's address as the settings dialog takes it: one text split into server and path.
#pragma once

#include <string>
#include <string_view>

namespace zepa2 {

struct RouterAddress {
  std::string address;  // the text without a leading "http://"
  std::string server;   // before the first "/", port included; empty when there is no "/"
  std::string path;     // after the first "/"; empty when there is no "/"
};

// Only the exact lower-case "http://" is dropped; "https://" stays part of the server (an HTTPS
// router), any other prefix too.
RouterAddress SplitRouterAddress(std::string_view text);

// The address text shown for a stored server and path.
std::string JoinRouterAddress(const std::string& server, const std::string& path);

}  // namespace zepa2
