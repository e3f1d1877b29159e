#include "core/text/bounded_json.h"

#include <string>

namespace zepa2 {
namespace {

using Json = nlohmann::json;

// Counts open objects and arrays and stops the streaming parser at the first one beyond the bound.
class DepthCheck {
 public:
  explicit DepthCheck(std::size_t maxDepth) : maxDepth_(maxDepth) {}

  bool null() { return true; }
  bool boolean(bool) { return true; }
  bool number_integer(Json::number_integer_t) { return true; }
  bool number_unsigned(Json::number_unsigned_t) { return true; }
  bool number_float(Json::number_float_t, const Json::string_t&) { return true; }
  bool string(Json::string_t&) { return true; }
  bool binary(Json::binary_t&) { return true; }
  bool start_object(std::size_t) { return Open(); }
  bool key(Json::string_t&) { return true; }
  bool end_object() { return Close(); }
  bool start_array(std::size_t) { return Open(); }
  bool end_array() { return Close(); }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) { return false; }

 private:
  bool Open() { return ++depth_ <= maxDepth_; }
  bool Close() {
    --depth_;
    return true;
  }

  std::size_t maxDepth_;
  std::size_t depth_ = 0;
};

}  // namespace

std::optional<Json> ParseBoundedJson(std::string_view text, std::size_t maxDepth) {
  DepthCheck check(maxDepth);
  if (!Json::sax_parse(text, &check)) return std::nullopt;
  Json value = Json::parse(text, nullptr, false);
  if (value.is_discarded()) return std::nullopt;
  return value;
}

}  // namespace zepa2
