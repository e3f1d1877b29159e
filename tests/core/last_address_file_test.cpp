#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/outcome/last_address_file.h"
#include "support/temp_dir.h"

namespace zepa2 {
namespace {

TEST(LastAddressFile, LivesInTheStateFolder) {
  test::ScopedEnv home("HOME", "/home/someone");
  {
    test::ScopedEnv state("XDG_STATE_HOME", "/tmp/st");
    EXPECT_EQ(LastAddressFilePath(), std::filesystem::path("/tmp/st/ZEPA/last-address"));
  }
  test::ScopedEnv relative("XDG_STATE_HOME", "rel");
  EXPECT_EQ(LastAddressFilePath(),
            std::filesystem::path("/home/someone/.local/state/ZEPA/last-address"));
}

TEST(LastAddressFile, KeepsAnyAddressByteForByte) {
  test::TempDir dir;
  const auto file = dir / "ZEPA" / "last-address";
  EXPECT_EQ(ReadLastAddress(file), std::nullopt);  // nothing published yet

  // Markers may cut out any text, long or empty, CP932 included.
  for (const std::string& address :
       {std::string("10.0.0.1"), std::string(), std::string(300, 'x') + "\x83\x65\n"}) {
    ASSERT_TRUE(WriteLastAddress(file, address).ok());
    EXPECT_EQ(ReadLastAddress(file), address);
  }
  EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

// A run that changed nothing leaves its state file alone (no write, no sync): the same inode stays.
// A file that differs, or holds the same bytes but is readable by others, is replaced.
TEST(LastAddressFile, UnchangedPrivateFileIsNotRewritten) {
  test::TempDir dir;
  const auto file = dir / "ZEPA" / "last-address";
  auto inode = [&file] {
    struct stat info {};
    return ::stat(file.c_str(), &info) == 0 ? info.st_ino : 0;
  };
  ASSERT_TRUE(WriteLastAddress(file, "10.0.0.1").ok());
  const auto first = inode();
  ASSERT_TRUE(WriteLastAddress(file, "10.0.0.1").ok());
  EXPECT_EQ(inode(), first);

  ASSERT_TRUE(WriteLastAddress(file, "10.0.0.2").ok());
  EXPECT_NE(inode(), first);
  EXPECT_EQ(ReadLastAddress(file), "10.0.0.2");

  std::filesystem::permissions(file, std::filesystem::perms::others_read, std::filesystem::perm_options::add);
  const auto shared = inode();
  ASSERT_TRUE(WriteLastAddress(file, "10.0.0.2").ok());
  EXPECT_NE(inode(), shared);
  EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::others_read,
            std::filesystem::perms::none);
}

TEST(LastAddressFile, UnwritablePlaceIsReported) {
  test::TempDir dir;
  test::WriteFile(dir / "ZEPA", "a file where the folder should be");
  const FileWriteResult written = WriteLastAddress(dir / "ZEPA" / "last-address", "10.0.0.1");
  EXPECT_FALSE(written.ok());
  EXPECT_NE(written.reason().find("last-address"), std::string::npos) << written.reason();
}

}  // namespace
}  // namespace zepa2
