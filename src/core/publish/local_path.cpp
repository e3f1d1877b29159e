#include "core/publish/local_path.h"

#include "core/text/cp932.h"

namespace zepa2 {

std::filesystem::path LocalPath(const std::string& cp932Path) {
  if (!RoundTripsThroughUtf8(cp932Path)) return std::filesystem::path(cp932Path);
  std::filesystem::path decoded(Cp932ToUtf8(cp932Path));
  std::error_code ec;
  if (!std::filesystem::exists(decoded, ec) && std::filesystem::exists(cp932Path, ec)) {
    return std::filesystem::path(cp932Path);
  }
  return decoded;
}

}  // namespace zepa2
