#include "core/settings/password_scramble.h"

namespace zepa2 {

unsigned char ShiftPasswordText(unsigned char c, ShiftDirection direction,
                                const BadPasswordByteNotice& notice) {
  if (direction == ShiftDirection::Up) return static_cast<unsigned char>(c + 0x20);
  if (c < 0x20) {
    if (notice) notice();
    return 0;
  }
  return static_cast<unsigned char>(c - 0x20);
}

std::string ScramblePassword(std::string_view text, PasswordKeyStream& keys,
                             const BadPasswordByteNotice& notice) {
  std::string result;
  result.reserve(text.size());
  for (char byte : text) {
    // Keys run 0..8, so the XOR never leaves 0x00..0xDF and the stored byte stays in 0x20..0xFF.
    const auto key = static_cast<unsigned char>(keys.Draw() / 3968);
    const unsigned char down =
        ShiftPasswordText(static_cast<unsigned char>(byte), ShiftDirection::Down, notice);
    result += static_cast<char>(ShiftPasswordText(down ^ key, ShiftDirection::Up, notice));
  }
  return result;
}

}  // namespace zepa2
