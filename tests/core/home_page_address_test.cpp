#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/publish/home_page_address.h"
#include "support/temp_dir.h"

namespace zepa2 {
namespace {

TEST(FindHomePageAddress, TakesTheFirstTokenLineUpToItsQuote) {
  struct Case {
    const char* name;
    std::string page;
    std::string expected;
  };
  const Case cases[] = {
      {"link to the page itself",
       "<html>\n<a href=\"http://$$IP_ADDRESS$$/index.html\">here</a>\n<a href=\"x\">\n",
       "$$IP_ADDRESS$$/index.html"},
      {"CR LF lines and a port", "<p>\r\n<a href=\"http://$$IP_ADDRESS$$:8080/~me/\">\r\n",
       "$$IP_ADDRESS$$:8080/~me/"},
      {"quote right after the token", "<a href=\"http://$$IP_ADDRESS$$\">", "$$IP_ADDRESS$$"},
      {"first token line has no quote, a later one would",
       "Address: $$IP_ADDRESS$$\n<a href=\"http://$$IP_ADDRESS$$/b.html\">\n", "$$IP_ADDRESS$$/"},
      {"quote only before the token", "\"x\" $$IP_ADDRESS$$/a.html\n", "$$IP_ADDRESS$$/"},
      {"no token", "<html><a href=\"http://example.net/\"></html>\n", "$$IP_ADDRESS$$/"},
      {"empty file", "", "$$IP_ADDRESS$$/"},
      {"two-byte characters before the quote", "$$IP_ADDRESS$$/\x83\x79\x81\x5B\x83\x57.html\"",
       "$$IP_ADDRESS$$/\x83\x79\x81\x5B\x83\x57.html"},
  };
  test::TempDir dir;
  for (const Case& c : cases) {
    test::WriteFile(dir / "page.html", c.page);
    const HomePageAddress found = FindHomePageAddress((dir / "page.html").string());
    EXPECT_EQ(found.read, TemplateRead::Read) << c.name;
    EXPECT_EQ(found.address, c.expected) << c.name;
  }
}

TEST(FindHomePageAddress, UnreadableTemplateGivesTheDefaultAndSaysSo) {
  test::TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "fifo.html").c_str(), 0600), 0);  // must not wait for a writer
  for (const std::string& path : {(dir / "missing.html").string(), dir.path().string(), std::string(),
                                  (dir / "fifo.html").string()}) {
    const HomePageAddress found = FindHomePageAddress(path);
    EXPECT_EQ(found.read, TemplateRead::NotOpened) << path;
    EXPECT_EQ(found.address, "$$IP_ADDRESS$$/") << path;
  }
}

}  // namespace
}  // namespace zepa2
