#include "core/log/control_escape.h"

#include "core/text/hex_escape.h"

namespace zepa2 {

std::string EscapeControlBytes(std::string_view text) {
  return HexEscaped(text, "\\x", HexCase::Lower, [](unsigned char c) { return c < 0x20 || c == 0x7F; });
}

}  // namespace zepa2
