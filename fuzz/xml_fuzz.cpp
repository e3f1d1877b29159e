// Fuzzes the XML reader that WebDAV listings and S3 answers go through: any bytes give a tree or
// nothing, within the reader's limits.
#include <cstdint>
#include <string_view>

#include "core/text/xml_tree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  (void)zepa2::ParseXml(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
