#include "core/text/cp932.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace zepa2 {
namespace {

// One iconv descriptor for one conversion; closed on every way out.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv: CP932 is not available");
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts as much as possible; on a byte sequence that does not convert, calls onBad with the
  // remaining input and continues after the number of bytes it returns.
  template <typename OnBad>
  std::string Run(std::string_view in, OnBad onBad) {
    std::string out;
    out.reserve(in.size() * 2 + 8);
    char buf[4096];
    char* src = const_cast<char*>(in.data());
    std::size_t left = in.size();
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    while (left > 0) {
      char* dst = buf;
      std::size_t room = sizeof buf;
      std::size_t r = iconv(cd_, &src, &left, &dst, &room);
      out.append(buf, static_cast<std::size_t>(dst - buf));
      if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
        std::size_t skip = onBad(std::string_view(src, left), out);
        src += skip;
        left -= skip;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
      }
    }
    return out;
  }

 private:
  iconv_t cd_;
};

std::size_t Utf8SequenceLength(unsigned char c) {
  if (c < 0x80) return 1;
  if ((c & 0xE0) == 0xC0) return 2;
  if ((c & 0xF0) == 0xE0) return 3;
  if ((c & 0xF8) == 0xF0) return 4;
  return 1;
}

}  // namespace

std::size_t CharLength(std::string_view text, std::size_t pos) {
  if (pos + 1 < text.size() && IsLeadByte(static_cast<unsigned char>(text[pos]))) return 2;
  return 1;
}

std::string Utf8ToCp932(std::string_view utf8) {
  thread_local Converter conv("CP932", "UTF-8");
  return conv.Run(utf8, [](std::string_view rest, std::string& out) {
    out += '?';
    std::size_t n = Utf8SequenceLength(static_cast<unsigned char>(rest[0]));
    return n <= rest.size() ? n : rest.size();
  });
}

std::optional<std::string> Utf8ToCp932Exactly(std::string_view utf8) {
  bool bad = false;
  thread_local Converter conv("CP932", "UTF-8");
  std::string cp932 = conv.Run(utf8, [&bad](std::string_view rest, std::string&) {
    bad = true;
    return rest.size();
  });
  // Some characters map onto CP932 bytes that read back as a look-alike (U+301C gives the bytes
  // of U+FF5E): such a name would not be the server's name any more.
  if (bad || Cp932ToUtf8(cp932) != utf8) return std::nullopt;
  return cp932;
}

std::string Cp932ToUtf8(std::string_view cp932) {
  thread_local Converter conv("UTF-8", "CP932");
  return conv.Run(cp932, [](std::string_view rest, std::string& out) {
    out += "\xEF\xBF\xBD";
    return CharLength(rest, 0);
  });
}

bool RoundTripsThroughUtf8(std::string_view cp932) {
  bool bad = false;
  thread_local Converter conv("UTF-8", "CP932");
  std::string utf8 = conv.Run(cp932, [&bad](std::string_view rest, std::string&) {
    bad = true;
    return rest.size();
  });
  return !bad && Utf8ToCp932(utf8) == cp932;
}

}  // namespace zepa2
