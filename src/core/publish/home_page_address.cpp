#include "core/publish/home_page_address.h"

#include <filesystem>
#include <fstream>

#include "core/publish/local_path.h"
#include "core/publish/page_builder.h"

namespace zepa2 {

std::string DefaultHomePageAddress() { return std::string(kAddressToken) + "/"; }

HomePageAddress FindHomePageAddress(const std::string& templatePath) {
  HomePageAddress found{TemplateRead::Read, DefaultHomePageAddress()};
  const std::filesystem::path path = LocalPath(templatePath);
  std::error_code ec;
  std::ifstream in(path, std::ios::binary);
  if (!in || std::filesystem::is_directory(path, ec)) {
    found.read = TemplateRead::NotOpened;
    return found;
  }
  // The token starts with '$', never the second byte of a CP932 character, and so does not the
  // quote, so plain byte searches cannot match inside a character.
  for (std::string line; std::getline(in, line);) {
    const std::size_t token = line.find(kAddressToken);
    if (token == std::string::npos) continue;
    const std::size_t quote = line.find('"', token);
    if (quote != std::string::npos) found.address = line.substr(token, quote - token);
    break;
  }
  if (in.bad()) return {TemplateRead::NotOpened, DefaultHomePageAddress()};
  return found;
}

}  // namespace zepa2
