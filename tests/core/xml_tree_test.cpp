#include <gtest/gtest.h>

#include "core/text/xml_tree.h"

namespace zepa2 {
namespace {

TEST(XmlTree, ReadsElementsByLocalNameWithTheirText) {
  const auto tree = ParseXml(
      "<?xml version=\"1.0\"?>\n<!-- answer -->\n"
      "<D:multistatus xmlns:D=\"DAV:\" a='x>y'>\n"
      "<D:response><D:href>/a%20b/</D:href><D:propstat><D:prop><D:resourcetype><D:collection/>"
      "</D:resourcetype></D:prop></D:propstat></D:response>\n"
      "<response xmlns=\"DAV:\"><href>&lt;&amp;&gt;&quot;&apos;&#26085;&#x672C;<![CDATA[<raw>]]></href></response>"
      "</D:multistatus>\n");
  ASSERT_TRUE(tree);
  EXPECT_EQ(tree->name, "multistatus");
  ASSERT_EQ(tree->children.size(), 2u);
  EXPECT_EQ(tree->children[0].ChildText("href"), "/a%20b/");
  const XmlElement* prop = tree->children[0].Child("propstat")->Child("prop");
  ASSERT_TRUE(prop);
  EXPECT_TRUE(prop->Child("resourcetype")->Child("collection"));
  EXPECT_EQ(tree->children[1].ChildText("href"), "<&>\"'\xE6\x97\xA5\xE6\x9C\xAC<raw>");
  EXPECT_EQ(tree->children[1].ChildText("missing"), "");
  EXPECT_EQ(tree->Child("missing"), nullptr);
}

TEST(XmlTree, RefusesWhatIsNotWellFormedOrDefinesEntities) {
  std::string deep;
  for (int i = 0; i < 100; ++i) deep += "<a>";
  for (int i = 0; i < 100; ++i) deep += "</a>";
  const char* cases[] = {
      "",
      "text",
      "<a>",
      "<a></b>",
      "<a><b></a></b>",
      "<a>&unknown;</a>",
      "<a>&#0;</a>",
      "<a>&#xD800;</a>",
      "<a>& amp</a>",
      "<a/><b/>",
      "<!DOCTYPE a [<!ENTITY x \"y\">]><a>&x;</a>",
      "<a><![CDATA[open</a>",
      "<a attr=\"unclosed></a>",
  };
  for (const char* text : cases) EXPECT_FALSE(ParseXml(text)) << text;
  EXPECT_FALSE(ParseXml(deep));
  EXPECT_TRUE(ParseXml("<a/>"));
  EXPECT_TRUE(ParseXml("<a></a >"));
}

}  // namespace
}  // namespace zepa2
