#include "cli/locale_text.h"

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <clocale>
#include <cstring>

namespace zepa2::cli {
namespace {

bool LocaleIsUtf8OrAscii() {
  const char* codeset = nl_langinfo(CODESET);
  return std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "ANSI_X3.4-1968") == 0;
}

bool IsValidUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    const std::size_t length = c < 0x80             ? 1
                               : (c & 0xE0) == 0xC0 ? 2
                               : (c & 0xF0) == 0xE0 ? 3
                               : (c & 0xF8) == 0xF0 ? 4
                                                    : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += length;
  }
  return true;
}

// One whole conversion; nothing when a byte does not convert and `strict`, else '?' for it.
std::optional<std::string> Convert(const char* to, const char* from, std::string_view in, bool strict) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out;
  char buffer[1024];
  char* src = const_cast<char*>(in.data());
  std::size_t left = in.size();
  bool failed = false;
  while (left > 0 && !failed) {
    char* dst = buffer;
    std::size_t room = sizeof buffer;
    const std::size_t r = iconv(cd, &src, &left, &dst, &room);
    out.append(buffer, static_cast<std::size_t>(dst - buffer));
    if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
      if (strict) failed = true;
      else {
        out += '?';
        ++src;
        --left;
      }
    }
  }
  iconv_close(cd);
  if (failed) return std::nullopt;
  return out;
}

}  // namespace

void UseUserLocale() { std::setlocale(LC_CTYPE, ""); }

std::optional<std::string> LocaleToUtf8(std::string_view text) {
  if (LocaleIsUtf8OrAscii()) {
    if (!IsValidUtf8(text)) return std::nullopt;
    return std::string(text);
  }
  return Convert("UTF-8", nl_langinfo(CODESET), text, true);
}

std::string Utf8ToLocale(std::string_view utf8) {
  if (LocaleIsUtf8OrAscii()) return std::string(utf8);
  return Convert(nl_langinfo(CODESET), "UTF-8", utf8, false).value_or(std::string(utf8));
}

}  // namespace zepa2::cli
