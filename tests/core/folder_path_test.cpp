#include <gtest/gtest.h>

#include "core/text/cp932.h"
#include "core/text/folder_path.h"

namespace zepa2 {
namespace {

TEST(NormalizeStartPath, DropsOneTrailingSeparatorOnly) {
  struct Case { std::string in; std::string out; };
  const Case cases[] = {
      {"D:\\pages\\", "D:\\pages"},
      {"A:\\", "A:\\"},                      // a drive root keeps its separator
      {"\\", "\\"},                          // so does a lone separator
      {"/", "/"},
      {"", ""},
      {"/home/u/web/", "/home/u/web"},
      {"C:\\web\\\\", "C:\\web\\"},          // only one is dropped
      {"C:/", "C:/"},
      {"a/", "a"},
      {"D:\\pages", "D:\\pages"},
      // 表 is 0x95 0x5C and ソ is 0x83 0x5C: their second byte is not a backslash.
      {"C:\\" + Cp932("表"), "C:\\" + Cp932("表")},
      {"/home/" + Cp932("ソ"), "/home/" + Cp932("ソ")},
      {"C:\\" + Cp932("表") + "\\", "C:\\" + Cp932("表")},
      {Cp932("表"), Cp932("表")},
  };
  for (const auto& c : cases) EXPECT_EQ(NormalizeStartPath(c.in), c.out) << c.in;
}

TEST(SelectedPathLine, PrefixesThePathAndCutsAt259Bytes) {
  const std::string prefix = Cp932("選択中のパス：");
  ASSERT_EQ(prefix.size(), 14u);
  EXPECT_EQ(SelectedPathLine("/tmp/a"), prefix + "/tmp/a");
  EXPECT_EQ(SelectedPathLine(""), prefix);

  // A path is never read as a format: "%s" and "%n" in a folder name stay text.
  EXPECT_EQ(SelectedPathLine("/tmp/%s%n"), prefix + "/tmp/%s%n");

  const std::string fits(245, 'x');
  EXPECT_EQ(SelectedPathLine(fits), prefix + fits);
  const std::string longPath(250, 'y');
  EXPECT_EQ(SelectedPathLine(longPath), prefix + std::string(245, 'y'));
  EXPECT_EQ(SelectedPathLine(longPath).size(), 259u);
}

TEST(SelectedPathLine, CutCountsBytesEvenInsideATwoByteCharacter) {
  // 244 ASCII bytes, then 表: the cut at byte 259 keeps only its first byte.
  const std::string path = std::string(244, 'z') + Cp932("表");
  const std::string line = SelectedPathLine(path);
  ASSERT_EQ(line.size(), 259u);
  EXPECT_EQ(static_cast<unsigned char>(line.back()), 0x95);
}

}  // namespace
}  // namespace zepa2
