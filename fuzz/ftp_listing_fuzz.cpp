// Fuzzes the reading of an FTP server's LIST answer: every entry read has a name that is a part of
// the answer and never runs over into the next line. (Control bytes inside a name are the browser's
// to leave out, not the parser's.)
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/net/ftp_list_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view body(reinterpret_cast<const char*>(data), size);
  for (const bool complete : {true, false}) {
    for (const zepa2::net::FtpEntry& entry : zepa2::net::ParseListing(body, complete)) {
      if (entry.name.find('\n') != std::string::npos) std::abort();
      if (body.find(entry.name) == std::string_view::npos) std::abort();
    }
  }
  return 0;
}
