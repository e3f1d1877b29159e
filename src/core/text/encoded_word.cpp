#include "core/text/encoded_word.h"

#include <openssl/evp.h>

#include <algorithm>
#include <vector>

namespace zepa2 {
namespace {

constexpr std::string_view kWordStart = "=?UTF-8?B?";
constexpr std::string_view kWordEnd = "?=";
// The bytes one word carries: 52 characters of base64 in a word of 64, so that even the first,
// after "Subject: ", keeps its line within 78 characters (a word may have up to 75).
constexpr std::size_t kBytesPerWord = 39;

bool PlainAscii(std::string_view text) {
  for (unsigned char c : text)
    if (c < 0x20 || c >= 0x7F) return false;
  return text.find("=?") == std::string_view::npos;  // would read as the start of a word
}

// How many bytes the UTF-8 sequence starting with lead takes (1 for a stray byte).
std::size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xF0 && lead < 0xF8) return 4;
  if (lead >= 0xE0) return lead < 0xF0 ? 3 : 1;
  if (lead >= 0xC0) return 2;
  return 1;
}

}  // namespace

std::string Base64(std::string_view bytes) {
  std::vector<unsigned char> text(4 * ((bytes.size() + 2) / 3) + 1);
  const int chars = EVP_EncodeBlock(text.data(), reinterpret_cast<const unsigned char*>(bytes.data()),
                                    static_cast<int>(bytes.size()));
  return std::string(reinterpret_cast<const char*>(text.data()), static_cast<std::size_t>(chars));
}

std::string EncodedWords(std::string_view utf8, std::string_view separator) {
  if (PlainAscii(utf8)) return std::string(utf8);
  std::string words;
  while (!utf8.empty()) {
    std::size_t take = 0;
    while (take < utf8.size()) {
      const std::size_t next =
          std::min(take + SequenceLength(static_cast<unsigned char>(utf8[take])), utf8.size());
      if (next > kBytesPerWord && take > 0) break;
      take = next;
    }
    if (!words.empty()) words += separator;
    ((words += kWordStart) += Base64(utf8.substr(0, take))) += kWordEnd;
    utf8.remove_prefix(take);
  }
  return words;
}

}  // namespace zepa2
