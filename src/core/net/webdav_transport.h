// WebDAV as a transport: the page goes up with PUT, folders are listed with PROPFIND.
#pragma once

#include <memory>
#include <string>

#include "core/net/transport.h"

namespace zepa2::net {

// hostRoot: "https://host:port" or "http://host:port". Answers Basic or Digest, whichever the
// server asks for.
std::unique_ptr<Transport> OpenWebDavTransport(CurlEasy handle, const std::string& hostRoot,
                                               TransferLimits limits, const SiteLogin& login);

}  // namespace zepa2::net
