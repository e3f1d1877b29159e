#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
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
  // Builds a fresh page from the template path, as the publisher does for each site.
  BuildOutcome Build(const std::string& templatePath, const std::string& address) {
    std::filesystem::remove(page);
    return BuildPage(templatePath, page, address, now);
  }

  test::TempDir dir;
  const std::filesystem::path page = dir / "temp.html";
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
    EXPECT_EQ(Build((dir / "t.html").string(), "192.0.2.1"), BuildOutcome::PageWritten) << c.name;
    EXPECT_EQ(ReadFile(page), c.page) << c.name;
  }
}

TEST_F(PageBuilderTest, Ipv6TokensTakeTheAddressAndItsNetwork) {
  WriteFile(dir / "t.html", "$$IPV6_PREFIX$$ $$IPV6_ADDRESS$$ $$IP_ADDRESS$$\n$$IPV6_PREFIX$$\n");
  ASSERT_EQ(BuildPage((dir / "t.html").string(), page, "192.0.2.1", now,
                      {"2a01:4f8:1:2::5", "2a01:4f8:1:2::/64"}),
            BuildOutcome::PageWritten);
  EXPECT_EQ(ReadFile(page), "2a01:4f8:1:2::/64 2a01:4f8:1:2::5 192.0.2.1\r\n\r\n2a01:4f8:1:2::/64\r\n");
  EXPECT_TRUE(TemplateUsesIpv6((dir / "t.html").string()));
  WriteFile(dir / "prefix.html", "<p>$$IPV6_PREFIX$$</p>");
  EXPECT_TRUE(TemplateUsesIpv6((dir / "prefix.html").string()));
  WriteFile(dir / "none.html", "<p>$$IP_ADDRESS$$ $$IPV6_PREFIX$</p>");
  EXPECT_FALSE(TemplateUsesIpv6((dir / "none.html").string()));
}

TEST_F(PageBuilderTest, InsertedTextIsNotSearchedAgain) {
  WriteFile(dir / "t.html", "$$IP_ADDRESS$$$$DAY_TIME$$");
  // An address that itself reads like tokens goes in as it stands.
  ASSERT_EQ(Build((dir / "t.html").string(), "$$DAY_TIME$$$$IP_ADDRESS$$"), BuildOutcome::PageWritten);
  EXPECT_EQ(ReadFile(page), "$$DAY_TIME$$$$IP_ADDRESS$$" + Time(clock - 1) + "\r\n\r\n");
}

TEST_F(PageBuilderTest, TimeFormat) {
  EXPECT_TRUE(std::regex_match(FormatPageTime(clock),
                               std::regex(R"(\d{4}/\d\d/\d\d \d\d:\d\d:\d\d)")));
}

// A template is read whole or not at all: anything less would be published as a cut page.
TEST_F(PageBuilderTest, TemplateNotReadWholeMakesNoPage) {
  std::filesystem::create_directory(dir / "pages");
  ASSERT_EQ(::mkfifo((dir / "fifo.html").c_str(), 0600), 0);  // nobody ever writes to it
  WriteFile(dir / "huge.html", "");
  std::filesystem::resize_file(dir / "huge.html", kMaxTemplateBytes + 1);
  WriteFile(dir / "limit.html", "");
  std::filesystem::resize_file(dir / "limit.html", kMaxTemplateBytes);
  struct Case {
    const char* name;
    std::string templ;
  };
  const Case cases[] = {
      {"missing", (dir / "missing.html").string()},
      {"folder", (dir / "pages").string()},
      {"FIFO", (dir / "fifo.html").string()},
      {"device", "/dev/zero"},
      // A regular file that opens but fails to read (EIO), even for root.
      {"read error", "/proc/self/mem"},
      {"over the size limit", (dir / "huge.html").string()},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Build(c.templ, "192.0.2.1"), BuildOutcome::TemplateNotOpened) << c.name;
    EXPECT_FALSE(std::filesystem::exists(page)) << c.name;
  }
  EXPECT_EQ(Build((dir / "limit.html").string(), "192.0.2.1"), BuildOutcome::PageWritten);
}

// The page is only ever created new: whatever stands in its place, a link above all, is left alone.
TEST_F(PageBuilderTest, PageFileIsNeverWrittenThroughWhatStandsInItsPlace) {
  WriteFile(dir / "t.html", "x $$IP_ADDRESS$$\n");
  WriteFile(dir / "victim", "keep me");
  struct Case {
    const char* name;
    void (*plant)(const std::filesystem::path& page, const std::filesystem::path& victim);
  };
  const Case cases[] = {
      {"file", [](const auto& p, const auto&) { WriteFile(p, "old page"); }},
      {"link to a file", [](const auto& p, const auto& v) { std::filesystem::create_symlink(v, p); }},
      {"dangling link",
       [](const auto& p, const auto& v) { std::filesystem::create_symlink(v.string() + ".new", p); }},
      {"folder", [](const auto& p, const auto&) { std::filesystem::create_directory(p); }},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(page);
    c.plant(page, dir / "victim");
    EXPECT_EQ(BuildPage((dir / "t.html").string(), page, "192.0.2.1", now),
              BuildOutcome::TempFileNotCreated)
        << c.name;
    EXPECT_EQ(ReadFile(dir / "victim"), "keep me") << c.name;
    EXPECT_FALSE(std::filesystem::exists(dir / "victim.new")) << c.name;
  }
}

TEST_F(PageBuilderTest, TemplatePathInShiftJisOpensTheUtf8Name) {
  WriteFile(dir / "ページ.html", "$$IP_ADDRESS$$");
  const std::string cp932Path = dir.path().string() + "/\x83\x79\x81\x5B\x83\x57.html";
  EXPECT_EQ(Build(cp932Path, "10.0.0.1"), BuildOutcome::PageWritten);
  EXPECT_EQ(ReadFile(page), "10.0.0.1\r\n\r\n");
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
