#include <gtest/gtest.h>

#include <regex>

#include "core/publish/page_builder.h"
#include "core/publish/public_page.h"
#include "support/publish_support.h"

namespace zepa2 {
namespace {

using test::ReadFile;
using test::WriteFile;

class PageBuilderTest : public ::testing::Test {
 protected:
  test::TempDir dir;
  test::ScopedWorkingFolder inDir{dir.path()};
  std::time_t clock = 1008000000;  // any fixed moment; each reading moves it on by one second
  Clock now = [this] { return clock++; };
  std::string Time(std::time_t t) { return FormatPageTime(t); }
};

TEST_F(PageBuilderTest, FillsTokensAndWritesCrLfLines) {
  const std::time_t t0 = clock;
  struct Case {
    const char* name;
    std::string templ;
    std::string page;
  };
  const Case cases[] = {
      {"no tokens, last line without LF", "<html>\n<body>\r\nend", "<html>\r\n<body>\r\nend\r\n"},
      {"empty template", "", ""},
      {"one empty line", "\n", "\r\n"},
      {"two address tokens add two line ends",
       "<p>$$IP_ADDRESS$$ and $$IP_ADDRESS$$</p>\nnext\n",
       "<p>192.0.2.1 and 192.0.2.1</p>\r\n\r\n\r\nnext\r\n"},
      {"time then address on one line", "<p>$$IP_ADDRESS$$ $$DAY_TIME$$</p>",
       "<p>192.0.2.1 " + Time(t0) + "</p>\r\n\r\n"},
      {"two time tokens read the clock each", "$$DAY_TIME$$|$$DAY_TIME$$",
       Time(t0) + "|" + Time(t0 + 1) + "\r\n"},
      {"Shift-JIS passes through", "\x83\x41\x83\x68\x83\x8C\x83\x58:$$IP_ADDRESS$$\n\x95\x5C",
       "\x83\x41\x83\x68\x83\x8C\x83\x58:192.0.2.1\r\n\r\n\x95\x5C\r\n"},
      {"lone CR and case-different token stay", "a\rb $$ip_address$$ $$IP_ADDRESS$\n",
       "a\rb $$ip_address$$ $$IP_ADDRESS$\r\n"},
      {"token split across lines is not one", "$$IP_\nADDRESS$$\n", "$$IP_\r\nADDRESS$$\r\n"},
  };
  for (const Case& c : cases) {
    clock = t0;
    WriteFile(dir / "t.html", c.templ);
    EXPECT_EQ(BuildPage((dir / "t.html").string(), "192.0.2.1", now), BuildOutcome::PageWritten)
        << c.name;
    EXPECT_EQ(ReadFile("temp.html"), c.page) << c.name;
  }
}

TEST_F(PageBuilderTest, InsertedTextIsNotSearchedAgain) {
  WriteFile(dir / "t.html", "$$IP_ADDRESS$$$$DAY_TIME$$");
  // An address that itself reads like tokens goes in as it stands.
  ASSERT_EQ(BuildPage((dir / "t.html").string(), "$$DAY_TIME$$$$IP_ADDRESS$$", now),
            BuildOutcome::PageWritten);
  EXPECT_EQ(ReadFile("temp.html"), "$$DAY_TIME$$$$IP_ADDRESS$$" + Time(clock - 1) + "\r\n\r\n");
}

TEST_F(PageBuilderTest, TimeFormat) {
  EXPECT_TRUE(std::regex_match(FormatPageTime(clock),
                               std::regex(R"(\d{4}/\d\d/\d\d \d\d:\d\d:\d\d)")));
}

TEST_F(PageBuilderTest, MissingTemplateLeavesOldPage) {
  WriteFile("temp.html", "old page");
  EXPECT_EQ(BuildPage((dir / "missing.html").string(), "192.0.2.1", now),
            BuildOutcome::TemplateNotOpened);
  EXPECT_EQ(ReadFile("temp.html"), "old page");
}

TEST_F(PageBuilderTest, TemplateThatIsAFolderLeavesOldPage) {
  // A folder opens for reading but yields no lines; it must not turn into an empty page.
  WriteFile("temp.html", "old page");
  std::filesystem::create_directory(dir / "pages");
  EXPECT_EQ(BuildPage((dir / "pages").string(), "192.0.2.1", now), BuildOutcome::TemplateNotOpened);
  EXPECT_EQ(ReadFile("temp.html"), "old page");
}

TEST_F(PageBuilderTest, TempFileThatCannotBeCreated) {
  WriteFile(dir / "t.html", "x\n");
  std::filesystem::create_directory("temp.html");  // a folder in its place cannot be opened as a file
  EXPECT_EQ(BuildPage((dir / "t.html").string(), "192.0.2.1", now),
            BuildOutcome::TempFileNotCreated);
}

TEST_F(PageBuilderTest, TemplatePathInShiftJisOpensTheUtf8Name) {
  WriteFile(dir / "ページ.html", "$$IP_ADDRESS$$");
  const std::string cp932Path = dir.path().string() + "/\x83\x79\x81\x5B\x83\x57.html";
  EXPECT_EQ(BuildPage(cp932Path, "10.0.0.1", now), BuildOutcome::PageWritten);
  EXPECT_EQ(ReadFile("temp.html"), "10.0.0.1\r\n\r\n");
}

TEST(PublicPageUrl, FillsTheFirstTokenOnly) {
  EXPECT_EQ(PublicPageUrl("$$IP_ADDRESS$$/index.html", "192.0.2.1"),
            "http://192.0.2.1/index.html");
  EXPECT_EQ(PublicPageUrl("$$IP_ADDRESS$$/$$IP_ADDRESS$$", "192.0.2.1"),
            "http://192.0.2.1/$$IP_ADDRESS$$");
  EXPECT_EQ(PublicPageUrl("example.net/me", "192.0.2.1"), "http://example.net/me");
  EXPECT_EQ(PublicPageUrl("$$IP_ADDRESS$$/index.html", ""), std::nullopt);
}

}  // namespace
}  // namespace zepa2
