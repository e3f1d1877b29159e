#include "core/text/fill_message.h"

namespace zepa2 {

std::string FillMessage(std::string_view text, std::string_view first, std::string_view second,
                        std::string_view third) {
  std::string out(text);
  const std::string_view args[] = {first, second, third};
  for (int n = 0; n < 3; ++n) {
    const std::string mark = "%" + std::to_string(n + 1);
    // Searching on after the inserted text: a %2 inside the first argument stays as it is.
    for (std::size_t at = out.find(mark); at != std::string::npos; at = out.find(mark, at + args[n].size()))
      out.replace(at, mark.size(), args[n]);
  }
  return out;
}

}  // namespace zepa2
