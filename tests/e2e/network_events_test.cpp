// zepa2-check --watch in a network namespace of the test's own: a change of this machine's
// addresses starts a check long before the period (a day) is over.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <thread>

#include "core/settings/settings_store.h"
#include "support/network_namespace.h"
#include "support/program_run.h"
#include "support/publish_support.h"
#include "support/temp_dir.h"

namespace zepa2 {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr const char* kUploaded = "ホームページの更新に成功しました。";
constexpr const char* kNetworkChanged = "ネットワークの変化を検知しました";

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

bool WaitForOutput(const test::BackgroundProgram& program, const std::string& part, size_t times,
                   std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (Count(program.Output(), part) < times) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(20ms);
  }
  return true;
}

bool WaitForOutputIn(const fs::path& file, const std::string& part, size_t times, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (Count(test::ReadFile(file), part) < times) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(20ms);
  }
  return true;
}

// The namespace holds one way out (a veth pair, zepa0 this side) with 10.200.0.1, the FTP server
// on its own loopback, and the service publishing its local address with the period at a day.
class NetworkEventsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!namespace_.problem().empty()) GTEST_SKIP() << namespace_.problem();
    for (const char* command : {"link add zepa0 type veth peer name zepa1", "link set zepa1 up", "link set zepa0 up",
                                "addr add 10.200.0.1/24 dev zepa0", "route add default dev zepa0"}) {
      ASSERT_EQ(test::Ip(command), "") << command;
    }
    site_ = std::make_unique<test::FtpTestServer>();  // started inside the namespace
    for (const char* folder : {"config", "state", "run", "work"}) fs::create_directories(dir_ / folder);
    fs::permissions(dir_ / "run", fs::perms::owner_all);
    test::WriteFile(dir_ / "page.html", "<p>$$IP_ADDRESS$$</p>\n");
    settings_.useLocalAddress = true;
    settings_.interval = 1;
    settings_.intervalUnit = 2;  // a day
    settings_.siteCount = 1;
    settings_.sites[0].server = site_->server();
    settings_.sites[0].user = test::FtpTestServer::kUser;
    settings_.sites[0].pass = test::FtpTestServer::kPassword;
    settings_.sites[0].uploadFile = "index.html";
    settings_.sites[0].localFile = (dir_ / "page.html").string();
    SaveTheSettings();
  }

  void SaveTheSettings() { ASSERT_TRUE(SaveSettings(settings_, dir_ / "config" / "ZEPA" / "ZEPA2.conf", {}).ok); }

  std::unique_ptr<test::BackgroundProgram> Start(const char* program, const char* argument) {
    return std::make_unique<test::BackgroundProgram>(test::ProgramCall{
        program,
        {argument},
        {{"HOME", dir_.path().string()},
         {"XDG_CONFIG_HOME", (dir_ / "config").string()},
         {"XDG_STATE_HOME", (dir_ / "state").string()},
         {"XDG_RUNTIME_DIR", (dir_ / "run").string()},
         {"QT_QPA_PLATFORM", "offscreen"}},
        dir_ / "work"});
  }
  std::unique_ptr<test::BackgroundProgram> StartWatch() { return Start(ZEPA2_CHECK_PROGRAM, "--watch"); }

  // Waits until the page holds `address`; false when `limit` passed first.
  bool WaitForPage(const std::string& address, std::chrono::milliseconds limit) const {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (Page().find(address) == std::string::npos) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(20ms);
    }
    return true;
  }

  std::string Page() const { return test::ReadFile(site_->home() / "index.html"); }

  test::ScopedNetworkNamespace namespace_;
  test::TempDir dir_;
  std::unique_ptr<test::FtpTestServer> site_;
  AppSettings settings_;
};

TEST_F(NetworkEventsTest, ANewAddressIsPublishedWithinThreeSecondsAndABurstIsOneCheck) {
  auto watch = StartWatch();
  ASSERT_TRUE(WaitForOutput(*watch, kUploaded, 1, 30s)) << watch->Output();
  EXPECT_NE(Page().find("10.200.0.1"), std::string::npos);

  // The address moves: the new one comes, the old one goes.
  const auto changed = std::chrono::steady_clock::now();
  ASSERT_EQ(test::Ip("addr replace 10.201.0.2/24 dev zepa0"), "");
  ASSERT_EQ(test::Ip("addr del 10.200.0.1/24 dev zepa0"), "");
  ASSERT_TRUE(WaitForOutput(*watch, kUploaded, 2, 3s)) << watch->Output();
  EXPECT_LT(std::chrono::steady_clock::now() - changed, 3s);
  EXPECT_NE(Page().find("10.201.0.2"), std::string::npos) << Page();
  EXPECT_EQ(Count(watch->Output(), kNetworkChanged), 1u) << watch->Output();

  // Five changes in a row are one check (the address it finds is the same: nothing to upload).
  for (int n = 1; n <= 5; ++n) {
    ASSERT_EQ(test::Ip("addr replace 10.202." + std::to_string(n) + ".1/24 dev zepa0"), "");
  }
  ASSERT_TRUE(WaitForOutput(*watch, kNetworkChanged, 2, 5s)) << watch->Output();
  std::this_thread::sleep_for(3s);  // longer than the merge window: a second check would be here
  EXPECT_EQ(Count(watch->Output(), kNetworkChanged), 2u) << watch->Output();
  EXPECT_EQ(Count(watch->Output(), kUploaded), 2u) << watch->Output();

  watch->Signal(SIGTERM);
  EXPECT_EQ(watch->Wait(10s), 0);
}

// With events off in the settings only the countdown checks.
TEST_F(NetworkEventsTest, EventsOffLeaveOnlyTheCountdown) {
  settings_.events = false;
  SaveTheSettings();
  auto watch = StartWatch();
  ASSERT_TRUE(WaitForOutput(*watch, kUploaded, 1, 30s)) << watch->Output();
  ASSERT_EQ(test::Ip("addr replace 10.201.0.2/24 dev zepa0"), "");
  ASSERT_EQ(test::Ip("addr del 10.200.0.1/24 dev zepa0"), "");
  std::this_thread::sleep_for(4s);
  EXPECT_EQ(Count(watch->Output(), kNetworkChanged), 0u) << watch->Output();
  EXPECT_EQ(Count(watch->Output(), kUploaded), 1u) << watch->Output();
  watch->Signal(SIGTERM);
  EXPECT_EQ(watch->Wait(10s), 0);
}

#ifdef ZEPA2_WINDOW_PROGRAM
// The window listens alike: its check at start publishes the address, and a new one follows.
TEST_F(NetworkEventsTest, TheWindowPublishesANewAddressWithinThreeSeconds) {
  settings_.runAtStart = true;
  SaveTheSettings();
  auto window = Start(ZEPA2_WINDOW_PROGRAM, "-Embedding");
  ASSERT_TRUE(WaitForPage("10.200.0.1", 60s)) << window->Output();
  const fs::path log = dir_ / "state" / "ZEPA" / "zepa2.log";
  ASSERT_TRUE(WaitForOutputIn(log, kUploaded, 1, 10s));  // the start's check has ended

  const auto changed = std::chrono::steady_clock::now();
  ASSERT_EQ(test::Ip("addr replace 10.201.0.2/24 dev zepa0"), "");
  ASSERT_EQ(test::Ip("addr del 10.200.0.1/24 dev zepa0"), "");
  ASSERT_TRUE(WaitForPage("10.201.0.2", 3s)) << test::ReadFile(log);
  EXPECT_LT(std::chrono::steady_clock::now() - changed, 3s);
  EXPECT_TRUE(WaitForOutputIn(log, kUploaded, 2, 5s));
  EXPECT_EQ(Count(test::ReadFile(log), kNetworkChanged), 1u) << test::ReadFile(log);
}
#endif

}  // namespace
}  // namespace zepa2
