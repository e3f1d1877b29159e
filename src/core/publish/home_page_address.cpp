#include "core/publish/home_page_address.h"

#include "core/publish/local_path.h"
#include "core/publish/page_builder.h"
#include "core/sys/read_file.h"

namespace zepa2 {

std::string DefaultHomePageAddress() { return std::string(kAddressToken) + "/"; }

HomePageAddress FindHomePageAddress(const std::string& templatePath) {
  // Read the way publishing reads it, so a FIFO or a device cannot hang the dialog that asks.
  const auto text = ReadRegularFile(LocalPath(templatePath), kMaxTemplateBytes);
  if (!text) return {TemplateRead::NotOpened, DefaultHomePageAddress()};
  HomePageAddress found{TemplateRead::Read, DefaultHomePageAddress()};
  // The token starts with '$', never the second byte of a CP932 character, and so does not the
  // quote, so plain byte searches cannot match inside a character.
  const std::size_t token = text->find(kAddressToken);
  if (token == std::string::npos) return found;
  const std::size_t lineEnd = text->find('\n', token);
  const std::size_t quote = text->find('"', token);
  if (quote != std::string::npos && (lineEnd == std::string::npos || quote < lineEnd)) {
    found.address = text->substr(token, quote - token);
  }
  return found;
}

}  // namespace zepa2
