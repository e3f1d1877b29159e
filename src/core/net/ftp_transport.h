// FTP in its three modes (active, passive, over TLS) as a transport.
#pragma once

#include <memory>
#include <string>

#include "core/net/transport.h"

namespace zepa2::net {

// The URL of an absolute folder from the server's root ("%2F", then each name escaped): one CWD,
// so libcurl always knows where the connection stands.
std::string FtpFolderUrl(const std::string& rootUrl, const std::string& absolutePath);

// hostRoot: "ftp://host:port". Sets the mode's options on handle.
std::unique_ptr<Transport> OpenFtpTransport(CurlEasy handle, const std::string& hostRoot,
                                            TransferLimits limits, const SiteLogin& login);

}  // namespace zepa2::net
