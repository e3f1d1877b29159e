// IPv6 as a home network gives it: a router's advertisements (Debian's radvd, in a namespace of
// its own behind a veth) and the addresses the kernel forms from them by itself, in a network
// namespace of the test's own.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <linux/if_addr.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <thread>

#include "core/check/check_session.h"
#include "core/net/http_get.h"
#include "core/sys/ipv6_address_list.h"
#include "core/sys/network_watch.h"
#include "core/text/messages.h"
#include "support/fixture_process.h"
#include "support/network_namespace.h"
#include "support/program_run.h"
#include "support/recording_check_host.h"
#include "support/recording_publisher.h"
#include "support/temp_dir.h"

namespace zepa2 {
namespace {

using ::testing::HasSubstr;

constexpr const char* kRadvd = "/usr/sbin/radvd";
constexpr const char* kGlobal = "2a01:4f8:1:2::/64";
constexpr const char* kNewGlobal = "2a01:4f8:7:8::/64";
constexpr const char* kUniqueLocal = "fd12:3456:789a:1::/64";
// zepa0's address 02:11:22:33:44:55 gives this EUI-64 identifier.
constexpr const char* kStableIdentifier = ":11:22ff:fe33:4455";

std::string IpProgram() { return access("/usr/sbin/ip", X_OK) == 0 ? "/usr/sbin/ip" : "/sbin/ip"; }

std::string Text(const KernelIpv6Address& a) {
  char text[INET6_ADDRSTRLEN] = {};
  return inet_ntop(AF_INET6, a.bytes.data(), text, sizeof text) ? text : "";
}

// zepa0 in the test's namespace, its peer in the router's namespace, where radvd advertises.
class SlaacLink {
 public:
  explicit SlaacLink(bool temporaryAddresses) {
    if (access(kRadvd, X_OK) != 0) {
      problem_ = "Debian's radvd is not installed";
      return;
    }
    if (std::string error = test::Ip("netns add " + router_); !error.empty()) {
      problem_ = "this machine does not let the test name a second namespace: " + error;
      return;
    }
    made_ = true;
    for (const std::string& command :
         {std::string("link add zepa0 address 02:11:22:33:44:55 type veth peer name zepa1"),
          "link set zepa1 netns " + router_}) {
      if (std::string error = test::Ip(command); !error.empty()) {
        problem_ = command + ": " + error;
        return;
      }
    }
    // Addresses are usable at once (no duplicate detection to wait out); temporary ones as asked.
    Sysctl({}, "net/ipv6/conf/zepa0/accept_dad", "0");
    Sysctl({}, "net/ipv6/conf/zepa0/use_tempaddr", temporaryAddresses ? "2" : "0");
    Sysctl(router_, "net/ipv6/conf/all/forwarding", "1");
    Sysctl(router_, "net/ipv6/conf/zepa1/accept_dad", "0");
    for (const std::string& command : {std::string("link set zepa0 up"), "-n " + router_ + " link set lo up",
                                      "-n " + router_ + " link set zepa1 up"}) {
      if (std::string error = test::Ip(command); !error.empty()) problem_ = command + ": " + error;
    }
  }

  ~SlaacLink() {
    StopRouter();
    if (made_) test::Ip("netns del " + router_);
  }

  const std::string& problem() const { return problem_; }

  // radvd advertising the prefixes in this order; an earlier radvd is stopped first, and its last
  // word deprecates the prefixes it gave.
  void Advertise(const std::vector<std::string>& prefixes) {
    StopRouter();
    std::string config =
        "interface zepa1 {\n AdvSendAdvert on;\n MinRtrAdvInterval 3;\n MaxRtrAdvInterval 4;\n";
    for (const std::string& prefix : prefixes)
      config += " prefix " + prefix + " { AdvOnLink on; AdvAutonomous on; DeprecatePrefix on; };\n";
    config += "};\n";
    test::WriteFile(dir_ / "radvd.conf", config);
    radvd_ = std::make_unique<test::BackgroundProgram>(
        test::ProgramCall{.program = IpProgram(),
                          .args = {"netns", "exec", router_, kRadvd, "-n", "-m", "stderr", "-C",
                                   (dir_ / "radvd.conf").string(), "-p", (dir_ / "radvd.pid").string()},
                          .env = {},
                          .workingFolder = {}});
  }

  void StopRouter() {
    if (!radvd_) return;
    radvd_->Signal(SIGTERM);
    radvd_->Wait(std::chrono::seconds(10));
    radvd_.reset();
  }

  // zepa0's addresses once one fits (or after 20 s, when none did).
  std::vector<KernelIpv6Address> WaitFor(const std::function<bool(const KernelIpv6Address&)>& fits) {
    std::vector<KernelIpv6Address> mine;
    for (int tries = 0; tries < 200; ++tries) {
      std::string reason;
      mine.clear();
      for (const KernelIpv6Address& a : ListIpv6Addresses(reason).value_or(std::vector<KernelIpv6Address>{}))
        if (a.interfaceName == "zepa0") mine.push_back(a);
      if (std::any_of(mine.begin(), mine.end(), fits)) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return mine;
  }

  // Waits for the stable address in prefix (the first 19 characters of it, "2a01:4f8:1:2::/64").
  bool WaitForStable(const std::string& prefix) {
    const std::string wanted = prefix.substr(0, prefix.find("::")) + kStableIdentifier;
    const auto mine = WaitFor(
        [&](const KernelIpv6Address& a) { return Text(a) == wanted && !(a.flags & IFA_F_DEPRECATED); });
    return std::any_of(mine.begin(), mine.end(),
                       [&](const KernelIpv6Address& a) { return Text(a) == wanted; });
  }

 private:
  // A kernel setting (its path under /proc/sys) in the test's namespace, or in the router's.
  static void Sysctl(const std::string& where, const std::string& path, const std::string& value) {
    if (where.empty()) {
      std::ofstream("/proc/sys/" + path) << value;
      EXPECT_EQ(test::ReadFile("/proc/sys/" + path), value + "\n") << path;
      return;
    }
    const test::ProgramResult done = test::RunProgram(
        {.program = IpProgram(),
         .args = {"netns", "exec", where, "/bin/sh", "-c", "echo " + value + " >/proc/sys/" + path},
         .env = {},
         .workingFolder = {}});
    EXPECT_EQ(done.exitCode, 0) << path << ": " << done.err;
  }

  std::string problem_;
  std::string router_ = "zepa2-router-" + std::to_string(getpid());
  bool made_ = false;
  test::TempDir dir_;
  std::unique_ptr<test::BackgroundProgram> radvd_;
};

class Ipv6NamespaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!namespace_.problem().empty()) GTEST_SKIP() << namespace_.problem();
  }

  // One run with the pages asking for IPv6; the IPv6 address they were handed.
  std::string PublishedIpv6(const AppSettings& settings) {
    test::RecordingPublisher publisher;
    publisher.usesIpv6 = true;
    CheckSession session(settings, host_, publisher,
                         {.localAddress = [] { return std::optional<std::string>("203.0.113.5"); }});
    session.Run({}, {});
    return publisher.publishedIpv6.empty() ? "(nothing published)" : publisher.publishedIpv6.back();
  }

  bool Logged(const char* text) const {
    return std::any_of(host_.lines.begin(), host_.lines.end(), [&](const test::LoggedLine& line) {
      return line.text.find(text) != std::string::npos;
    });
  }

  test::ScopedNetworkNamespace namespace_;
  test::RecordingCheckHost host_;
};

// The kernel gives unique-local addresses global scope; the global one is published whichever the
// router names first, and a temporary one only when asked for.
TEST_F(Ipv6NamespaceTest, TheGlobalAddressBesideAUniqueLocalOne) {
  for (const bool uniqueLocalFirst : {true, false}) {
    SCOPED_TRACE(uniqueLocalFirst ? "unique-local first" : "global first");
    SlaacLink link(true);
    if (!link.problem().empty()) GTEST_SKIP() << link.problem();
    link.Advertise(uniqueLocalFirst ? std::vector<std::string>{kUniqueLocal, kGlobal}
                                    : std::vector<std::string>{kGlobal, kUniqueLocal});
    ASSERT_TRUE(link.WaitForStable(kGlobal));
    link.WaitFor(
        [](const KernelIpv6Address& a) { return (a.flags & IFA_F_TEMPORARY) && a.bytes[0] == 0x2a; });
    AppSettings settings;
    settings.useLocalAddress = true;
    EXPECT_EQ(PublishedIpv6(settings), "2a01:4f8:1:2:11:22ff:fe33:4455");
    settings.ipv6Interface = "zepa0";
    EXPECT_EQ(PublishedIpv6(settings), "2a01:4f8:1:2:11:22ff:fe33:4455");
    settings.ipv6Temporary = true;
    const std::string temporary = PublishedIpv6(settings);
    EXPECT_THAT(temporary, ::testing::StartsWith("2a01:4f8:1:2:"));
    EXPECT_NE(temporary, "2a01:4f8:1:2:11:22ff:fe33:4455");
    settings.ipv6Interface = "lo";
    EXPECT_EQ(PublishedIpv6(settings), "");
  }
}

TEST_F(Ipv6NamespaceTest, UniqueLocalAloneIsSaidAndNotPublished) {
  SlaacLink link(false);
  if (!link.problem().empty()) GTEST_SKIP() << link.problem();
  link.Advertise({kUniqueLocal});
  ASSERT_TRUE(link.WaitForStable(kUniqueLocal));
  AppSettings settings;
  settings.useLocalAddress = true;
  EXPECT_EQ(PublishedIpv6(settings), "");
  const auto note = std::find_if(host_.lines.begin(), host_.lines.end(), [](const test::LoggedLine& line) {
    return line.text == msg::kIpv6OnlyUniqueLocal;
  });
  ASSERT_NE(note, host_.lines.end());
  EXPECT_EQ(note->color, log_color::kViolet);
}

// A new prefix is one AAAA update for this machine and one for the machine behind it by its
// identifier, found through the network-change listener; a new temporary address is none. The
// provider's shared IPv4 address never reaches an A record.
TEST_F(Ipv6NamespaceTest, PrefixChangeUpdatesOnceAndTemporaryChurnNever) {
  SlaacLink link(true);
  if (!link.problem().empty()) GTEST_SKIP() << link.problem();
  link.Advertise({kGlobal});
  ASSERT_TRUE(link.WaitForStable(kGlobal));
  auto temporaries =
      link.WaitFor([](const KernelIpv6Address& a) { return (a.flags & IFA_F_TEMPORARY) != 0; });

  test::FixtureProcess provider("dns_server.py");
  const std::string base = "http://127.0.0.1:" + std::to_string(provider.port());
  const auto requests = [&] {
    std::vector<std::string> paths;
    const std::string log = net::HttpGetUrl(base + "/log").body;
    std::size_t start = 0;
    for (std::size_t end; (end = log.find('\n', start)) != std::string::npos; start = end + 1)
      paths.push_back(nlohmann::json::parse(log.substr(start, end - start))["path"]);
    return paths;
  };
  AppSettings settings;
  settings.useLocalAddress = true;
  settings.dnsTargets[0] = {.kind = DnsKind::Dyndns2,
                            .url = base,
                            .user = "me",
                            .pass = "secret",
                            .host = "home.example.net",
                            .records = DnsRecords::Both};
  settings.dnsTargets[1] = {.kind = DnsKind::Dyndns2,
                            .url = base,
                            .user = "me",
                            .pass = "secret",
                            .host = "nas.example.net",
                            .records = DnsRecords::Aaaa,
                            .suffix = "::12"};
  test::RecordingPublisher publisher;
  CheckSession session(settings, host_, publisher,
                       {.localAddress = [] { return std::optional<std::string>("100.64.1.2"); }});
  RunState state;
  const auto run = [&] {
    const CheckReport report = session.Run({}, state);
    state = report.state;
    for (const DnsTargetReport& target : report.dnsTargets) EXPECT_FALSE(DnsTargetFailed(target.result));
  };
  std::string reason;
  const auto watch = NetworkWatch::Open(reason);
  ASSERT_TRUE(watch) << reason;
  const auto changed = [&] {
    pollfd ready{watch->descriptor(), POLLIN, 0};
    poll(&ready, 1, 200);
    return watch->TakeChanges();
  };

  run();
  const std::string home = "/nic/update?hostname=home.example.net&myip=";
  const std::string nas = "/nic/update?hostname=nas.example.net&myip=";
  EXPECT_EQ(requests(), (std::vector<std::string>{home + "2a01%3A4f8%3A1%3A2%3A11%3A22ff%3Afe33%3A4455",
                                                  nas + "2a01%3A4f8%3A1%3A2%3A%3A12"}));
  EXPECT_TRUE(Logged("IPv4アドレスが共有アドレス（CGN）のため、Aレコードは更新しません"));
  EXPECT_TRUE(Logged(msg::kIpv4OnlyThroughTunnel));

  // The temporary address goes; the next advertisement brings a new one.
  const auto temporary = std::find_if(temporaries.begin(), temporaries.end(), [](const KernelIpv6Address& a) {
    return (a.flags & IFA_F_TEMPORARY) != 0;
  });
  ASSERT_NE(temporary, temporaries.end());
  const std::string old = Text(*temporary);
  ASSERT_EQ(test::Ip("addr del " + old + "/64 dev zepa0"), "");
  link.WaitFor([&](const KernelIpv6Address& a) { return (a.flags & IFA_F_TEMPORARY) && Text(a) != old; });
  EXPECT_TRUE(changed());
  run();
  EXPECT_EQ(requests().size(), 2u);

  // The router's new prefix; the old one is deprecated by radvd's last word.
  link.Advertise({kNewGlobal});
  ASSERT_TRUE(link.WaitForStable(kNewGlobal));
  link.WaitFor([](const KernelIpv6Address& a) {
    return Text(a) == "2a01:4f8:1:2:11:22ff:fe33:4455" && (a.flags & IFA_F_DEPRECATED);
  });
  EXPECT_TRUE(changed());
  run();
  const std::vector<std::string> all = requests();
  ASSERT_EQ(all.size(), 4u);
  EXPECT_EQ(all[2], home + "2a01%3A4f8%3A7%3A8%3A11%3A22ff%3Afe33%3A4455");
  EXPECT_EQ(all[3], nas + "2a01%3A4f8%3A7%3A8%3A%3A12");
  const auto tunnelLines =
      std::count_if(host_.lines.begin(), host_.lines.end(),
                    [](const test::LoggedLine& line) { return line.text == msg::kIpv4OnlyThroughTunnel; });
  EXPECT_EQ(tunnelLines, 1);
}

}  // namespace
}  // namespace zepa2
