// Scrambling of the FTP passwords in the settings file: a fixed keystream XORed into each byte.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/settings/settings_store.h"

namespace zepa2 {

inline constexpr std::uint32_t kPasswordSeed = 246813;

// The classic 15-bit linear congruential generator. The stored passwords depend on its exact
// sequence, so it is ours rather than the platform's rand().
class PasswordKeyStream {
 public:
  explicit PasswordKeyStream(std::uint32_t seed = kPasswordSeed) : state_(seed) {}

  // Next value in 0..32767.
  int Draw() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFF);
  }

 private:
  std::uint32_t state_;
};

enum class ShiftDirection { Down, Up };

// Down: a byte below 0x20 calls the notice and gives 0 (so it ends up as a space), else c - 0x20.
// Up: c + 0x20, wrapping at 256.
unsigned char ShiftPasswordText(unsigned char c, ShiftDirection direction,
                                const BadPasswordByteNotice& notice);

// Turns a plain password into its stored form and a stored form back into the plain password,
// drawing one key per byte; the length never changes.
std::string ScramblePassword(std::string_view text, PasswordKeyStream& keys,
                             const BadPasswordByteNotice& notice);

}  // namespace zepa2
