// The router's own addresses as the router dialog takes them: the UPnP description URL and the
// NAT-PMP gateway. Empty is always fine (discover / the default route's gateway).
#pragma once

#include <optional>
#include <string_view>

#include "core/settings/app_settings.h"

namespace zepa2 {

struct RefusedField {
  const char* label;   // UTF-8, as the dialog labels the field
  const char* reason;  // UTF-8 box text; %1 is the label
};

// Why the UPnP source could not use igdUrl as typed: a line break or NUL, or no http:// URL.
std::optional<RefusedField> RefuseIgdUrl(std::string_view igdUrl);

// Why the NAT-PMP source could not use gateway as typed: anything but a dotted IPv4 address.
std::optional<RefusedField> RefuseNatPmpGateway(std::string_view gateway);

// The refusal of the field the chosen source uses; the other source's field is kept as it is,
// unused, and the router page uses neither.
std::optional<RefusedField> RefuseGatewayField(AddressSource source, std::string_view igdUrl,
                                               std::string_view gateway);

}  // namespace zepa2
