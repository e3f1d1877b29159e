// Fuzzes the reading of a dyndns2 server's answer: any body gives one answer of a known kind, and a
// success is never read from a body that names no success code.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/targets/dyndns2_updater.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view body(reinterpret_cast<const char*>(data), size);
  const zepa2::DnsAnswer answer = zepa2::Dyndns2AnswerOf(body);
  const bool success =
      answer.kind == zepa2::DnsAnswerKind::Taken || answer.kind == zepa2::DnsAnswerKind::AlreadyHeld;
  if (success && body.find("good") == std::string_view::npos && body.find("nochg") == std::string_view::npos)
    std::abort();
  return 0;
}
