#include "core/net/protocol_text.h"

namespace zepa2::net {

bool IsProtocolText(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

}  // namespace zepa2::net
