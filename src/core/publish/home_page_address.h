// Finds the public page address in a site's template: the text from the address token to the quote.
#pragma once

#include <string>

namespace zepa2 {

// What the address is when the template does not tell: the token followed by one "/".
std::string DefaultHomePageAddress();

enum class TemplateRead { Read, NotOpened };

struct HomePageAddress {
  TemplateRead read = TemplateRead::Read;
  std::string address;  // CP932
};

// In the first line of the template (a CP932 path) that holds $$IP_ADDRESS$$, the text from the
// token up to the next double quote of that line. The default when that line has no quote after
// the token, when no line holds the token, and when the file cannot be opened (read = NotOpened).
HomePageAddress FindHomePageAddress(const std::string& templatePath);

}  // namespace zepa2
