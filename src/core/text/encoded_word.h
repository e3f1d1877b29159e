// Text for mail and HTTP headers: base64, and RFC 2047 encoded-words for UTF-8 that is not plain ASCII.
#pragma once

#include <string>
#include <string_view>

namespace zepa2 {

// The base64 of bytes, in one line.
std::string Base64(std::string_view bytes);

// A UTF-8 header value as a header may carry it: printable ASCII as it is, anything else as
// "=?UTF-8?B?…?=" words of at most 64 characters each, never splitting a character, joined by
// separator (a folding "\r\n " in a mail header, a space in an HTTP header).
std::string EncodedWords(std::string_view utf8, std::string_view separator);

}  // namespace zepa2
