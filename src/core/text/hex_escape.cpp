#include "core/text/hex_escape.h"

namespace zepa2 {

void AppendHexByte(std::string& out, std::string_view prefix, unsigned char byte, HexCase hexCase) {
  const char* digits = hexCase == HexCase::Upper ? "0123456789ABCDEF" : "0123456789abcdef";
  out += prefix;
  out += digits[byte >> 4];
  out += digits[byte & 0x0F];
}

}  // namespace zepa2
