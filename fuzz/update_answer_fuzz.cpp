// Fuzzes the reading of a name server's answer to an update: any bytes give one answer, and a
// success is never read from bytes that carry no valid signature of the key.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "core/targets/rfc2136_updater.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The id the bytes start with is taken as the update's, so that every path past it is reached.
  const std::uint16_t id = size >= 2 ? static_cast<std::uint16_t>(data[0] << 8 | data[1]) : 0;
  // A secret no seed was signed with (the seeds' is another): the signatures are checked, never held.
  static const zepa2::TsigKey key{"zepa2-key", "ZnV6emVyLW9ubHktc2VjcmV0", "hmac-sha256."};
  const zepa2::DnsAnswer answer = zepa2::UpdateAnswerOf(std::span(data, size), id, key, {});
  // No input can carry a valid signature of a secret that appears nowhere but here.
  if (answer.succeeded()) std::abort();
  return 0;
}
