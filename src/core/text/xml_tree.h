// Reads the small XML answers of web services (WebDAV multistatus, S3 listings) into a tree of elements.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zepa2 {

// An element by its local name (the namespace prefix dropped: servers spell "DAV:" as "D:", "d:"
// or a default namespace), its text (entities decoded, UTF-8 as it came) and its child elements.
// Attributes are not kept: nothing read here needs one.
struct XmlElement {
  std::string name;
  std::string text;
  std::vector<XmlElement> children;

  // The first child of that name, or nullptr.
  const XmlElement* Child(std::string_view childName) const;
  // The text of the first child of that name; empty when there is none.
  std::string ChildText(std::string_view childName) const;
};

// The root element of a document; nothing for text that is not well-formed XML, nests deeper than
// a listing ever does, or names an entity of its own (no document type is ever read).
std::optional<XmlElement> ParseXml(std::string_view document);

}  // namespace zepa2
