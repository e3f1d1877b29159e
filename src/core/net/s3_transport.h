// S3-compatible object storage as a transport: PUT of an object, ListObjectsV2, AWS Signature Version 4.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "core/net/transport.h"

namespace zepa2::net {

// "us-east-1", "auto", "fr-par" (empty too: the default): a region goes into the signature's
// scope between colons and into a header, so only letters, digits, '-' and '_' are one.
bool IsRegionName(std::string_view region);

// hostRoot: the endpoint, "https://host:port" or "http://host:port". Names are path style,
// "/BUCKET/KEY"; the user is the access key id, the password the secret, signed for the login's
// region (us-east-1 when it names none). Nothing when the region is no region name.
std::unique_ptr<Transport> OpenS3Transport(CurlEasy handle, const std::string& hostRoot,
                                           TransferLimits limits, const SiteLogin& login);

}  // namespace zepa2::net
