#include <gtest/gtest.h>

#include "core/log/log_file.h"
#include "core/text/cp932.h"
#include "support/temp_dir.h"

namespace zepa2 {
namespace {

namespace fs = std::filesystem;

fs::perms ModeOf(const fs::path& path) { return fs::status(path).permissions() & fs::perms::all; }

TEST(LogFile, LivesInTheStateFolder) {
  test::ScopedEnv state("XDG_STATE_HOME", "/tmp/st");
  EXPECT_EQ(LogFilePath(), fs::path("/tmp/st/ZEPA/zepa2.log"));
}

TEST(LogFile, AppendsStampedUtf8LinesInAPrivateFile) {
  test::TempDir dir;
  const fs::path file = dir / "ZEPA" / "zepa2.log";
  ASSERT_EQ(AppendLogFileLine(file, 0, Cp932("IPアドレス取得成功"), log_color::kGreen), "");
  // A message with a line break stays one line of the file.
  ASSERT_EQ(AppendLogFileLine(file, 60, "two\nlines", log_color::kRed), "");

  const std::string text = test::ReadFile(file);
  const std::size_t split = text.find('\n');
  ASSERT_NE(split, std::string::npos);
  EXPECT_EQ(text.substr(0, 6), "ok    ");
  EXPECT_NE(text.find("::IPアドレス取得成功\n"), std::string::npos) << text;
  EXPECT_EQ(text.substr(split + 1, 6), "error ");
  EXPECT_NE(text.find("::two\\x0alines\n"), std::string::npos) << text;
  EXPECT_EQ(ModeOf(dir / "ZEPA"), fs::perms::owner_all);
  EXPECT_EQ(ModeOf(file), fs::perms::owner_read | fs::perms::owner_write);
}

TEST(LogFile, RotatesAtTheLimitKeepingThreeOldFiles) {
  test::TempDir dir;
  const fs::path file = dir / "zepa2.log";
  const std::string text(40, 'x');  // each line: 6 + 22 (stamp) + 40 + 1 = 69 bytes
  constexpr std::uintmax_t kLimit = 150;  // two lines fit, the third rotates
  for (int n = 0; n < 12; ++n)
    ASSERT_EQ(AppendLogFileLine(file, 0, text + std::to_string(n % 10), log_color::kBlack, kLimit), "");

  // Six files' worth of lines were written: the current file and three old ones remain, the
  // newest lines in the current file, each older pair one number further.
  auto lastDigits = [](const fs::path& f) {
    std::string digits;
    const std::string content = test::ReadFile(f);
    for (std::size_t end = content.find('\n'); end != std::string::npos;
         end = content.find('\n', end + 1))
      digits += content[end - 1];
    return digits;
  };
  EXPECT_EQ(lastDigits(file), "01");
  EXPECT_EQ(lastDigits(dir / "zepa2.log.1"), "89");
  EXPECT_EQ(lastDigits(dir / "zepa2.log.2"), "67");
  EXPECT_EQ(lastDigits(dir / "zepa2.log.3"), "45");
  EXPECT_FALSE(fs::exists(dir / "zepa2.log.4"));
  for (const char* name : {"zepa2.log", "zepa2.log.1", "zepa2.log.3"})
    EXPECT_LE(fs::file_size(dir / name), kLimit) << name;
}

TEST(LogFile, ALineLargerThanTheLimitStillLands) {
  test::TempDir dir;
  const fs::path file = dir / "zepa2.log";
  ASSERT_EQ(AppendLogFileLine(file, 0, std::string(500, 'y'), log_color::kBlack, 100), "");
  ASSERT_EQ(AppendLogFileLine(file, 0, std::string(500, 'z'), log_color::kBlack, 100), "");
  EXPECT_NE(test::ReadFile(file).find("zzz"), std::string::npos);
  EXPECT_NE(test::ReadFile(dir / "zepa2.log.1").find("yyy"), std::string::npos);
}

TEST(LogFile, UnwritablePlaceIsReportedAndALinkIsNotFollowed) {
  test::TempDir dir;
  test::WriteFile(dir / "ZEPA", "a file where the folder should be");
  EXPECT_NE(AppendLogFileLine(dir / "ZEPA" / "zepa2.log", 0, "x", log_color::kBlack), "");

  test::WriteFile(dir / "other", "someone else's\n");
  fs::create_symlink(dir / "other", dir / "zepa2.log");
  EXPECT_NE(AppendLogFileLine(dir / "zepa2.log", 0, "x", log_color::kBlack), "");
  EXPECT_EQ(test::ReadFile(dir / "other"), "someone else's\n");
}

}  // namespace
}  // namespace zepa2
