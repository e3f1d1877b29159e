// SFTP as a transport: the host key must be pinned before anything is sent.
#pragma once

#include <memory>
#include <string>

#include "core/net/transport.h"

namespace zepa2::net {

// hostRoot: "sftp://host:port". Sets the key check and the password log-in on handle.
std::unique_ptr<Transport> OpenSftpTransport(CurlEasy handle, const std::string& hostRoot,
                                             TransferLimits limits, const SiteLogin& login);

}  // namespace zepa2::net
