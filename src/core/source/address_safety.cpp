#include "core/source/address_safety.h"

namespace zepa2 {

bool IsPublishableAddress(std::string_view address) {
  for (unsigned char c : address) {
    if (c < 0x20 || c == '<' || c == '>' || c == '"' || c == '\'' || c == '&') return false;
  }
  return true;
}

}  // namespace zepa2
