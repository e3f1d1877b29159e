#include "core/text/xml_tree.h"

#include <charconv>

namespace zepa2 {
namespace {

// Far deeper than any answer read here; a hostile server cannot make the reader recurse without end.
constexpr int kMaxDepth = 32;

bool IsNameEnd(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '/' || c == '>'; }

void AppendUtf8(std::string& out, unsigned long code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// Appends text with its entities decoded; false on an entity XML does not define.
bool AppendDecoded(std::string& out, std::string_view text) {
  while (!text.empty()) {
    const std::size_t amp = text.find('&');
    out.append(text.substr(0, amp));
    if (amp == std::string_view::npos) return true;
    text.remove_prefix(amp + 1);
    const std::size_t semi = text.find(';');
    if (semi == std::string_view::npos) return false;
    const std::string_view entity = text.substr(0, semi);
    text.remove_prefix(semi + 1);
    if (entity == "lt") out += '<';
    else if (entity == "gt") out += '>';
    else if (entity == "amp") out += '&';
    else if (entity == "quot") out += '"';
    else if (entity == "apos") out += '\'';
    else if (entity.size() > 1 && entity[0] == '#') {
      const bool hex = entity[1] == 'x';
      const std::string_view digits = entity.substr(hex ? 2 : 1);
      unsigned long code = 0;
      const auto [end, ec] =
          std::from_chars(digits.data(), digits.data() + digits.size(), code, hex ? 16 : 10);
      if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size() || code == 0 ||
          code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return false;
      }
      AppendUtf8(out, code);
    } else {
      return false;
    }
  }
  return true;
}

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  std::optional<XmlElement> Document() {
    if (!SkipMisc()) return std::nullopt;
    XmlElement root;
    if (!Element(root, 0)) return std::nullopt;
    if (!SkipMisc() || pos_ != text_.size()) return std::nullopt;
    return root;
  }

 private:
  bool StartsWith(std::string_view prefix) const { return text_.substr(pos_).starts_with(prefix); }

  bool SkipPast(std::string_view end) {
    const std::size_t at = text_.find(end, pos_);
    if (at == std::string_view::npos) return false;
    pos_ = at + end.size();
    return true;
  }

  // Spaces, the declaration, processing instructions and comments around the root. A document
  // type could define entities; none of the answers read here has one, so it is refused.
  bool SkipMisc() {
    for (;;) {
      while (pos_ < text_.size() &&
             (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\r' || text_[pos_] == '\n')) {
        ++pos_;
      }
      if (StartsWith("<?")) {
        if (!SkipPast("?>")) return false;
      } else if (StartsWith("<!--")) {
        if (!SkipPast("-->")) return false;
      } else {
        return !StartsWith("<!");
      }
    }
  }

  // The tag name at pos_, its prefix dropped; empty when there is none.
  std::string_view Name(std::string_view& qualified) {
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !IsNameEnd(text_[pos_])) ++pos_;
    qualified = text_.substr(start, pos_ - start);
    const std::size_t colon = qualified.rfind(':');
    return colon == std::string_view::npos ? qualified : qualified.substr(colon + 1);
  }

  // Skips the attributes up to the tag's end; true with selfClosing set when it ends in "/>".
  bool TagEnd(bool& selfClosing) {
    char quote = 0;
    for (; pos_ < text_.size(); ++pos_) {
      const char c = text_[pos_];
      if (quote) {
        if (c == quote) quote = 0;
      } else if (c == '"' || c == '\'') {
        quote = c;
      } else if (c == '>') {
        selfClosing = pos_ > 0 && text_[pos_ - 1] == '/';
        ++pos_;
        return true;
      }
    }
    return false;
  }

  bool Element(XmlElement& element, int depth) {
    if (depth > kMaxDepth || !StartsWith("<")) return false;
    ++pos_;
    std::string_view qualified;
    element.name = std::string(Name(qualified));
    if (element.name.empty()) return false;
    bool selfClosing = false;
    if (!TagEnd(selfClosing)) return false;
    if (selfClosing) return true;
    for (;;) {
      const std::size_t lt = text_.find('<', pos_);
      if (lt == std::string_view::npos) return false;
      if (!AppendDecoded(element.text, text_.substr(pos_, lt - pos_))) return false;
      pos_ = lt;
      if (StartsWith("</")) {
        pos_ += 2;
        std::string_view closing;
        Name(closing);
        if (closing != qualified) return false;
        while (pos_ < text_.size() && text_[pos_] != '>') {
          if (!IsNameEnd(text_[pos_])) return false;
          ++pos_;
        }
        if (pos_ == text_.size()) return false;
        ++pos_;
        return true;
      }
      if (StartsWith("<![CDATA[")) {
        const std::size_t start = pos_ + 9;
        if (!SkipPast("]]>")) return false;
        element.text.append(text_.substr(start, pos_ - 3 - start));
      } else if (StartsWith("<!--")) {
        if (!SkipPast("-->")) return false;
      } else if (StartsWith("<?")) {
        if (!SkipPast("?>")) return false;
      } else {
        if (!Element(element.children.emplace_back(), depth + 1)) return false;
      }
    }
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

const XmlElement* XmlElement::Child(std::string_view childName) const {
  for (const XmlElement& child : children) {
    if (child.name == childName) return &child;
  }
  return nullptr;
}

std::string XmlElement::ChildText(std::string_view childName) const {
  const XmlElement* child = Child(childName);
  return child ? child->text : std::string();
}

std::optional<XmlElement> ParseXml(std::string_view document) { return Reader(document).Document(); }

}  // namespace zepa2
