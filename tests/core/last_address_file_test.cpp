#include <gtest/gtest.h>

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
    ASSERT_EQ(WriteLastAddress(file, address), "");
    EXPECT_EQ(ReadLastAddress(file), address);
  }
  EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST(LastAddressFile, UnwritablePlaceIsReported) {
  test::TempDir dir;
  test::WriteFile(dir / "ZEPA", "a file where the folder should be");
  const std::string error = WriteLastAddress(dir / "ZEPA" / "last-address", "10.0.0.1");
  EXPECT_NE(error.find("last-address"), std::string::npos) << error;
}

}  // namespace
}  // namespace zepa2
