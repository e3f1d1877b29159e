// NAT-PMP has a fixed port: these tests share UDP 127.0.0.1:5351 and run one at a time.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

#include "core/check/check_session.h"
#include "support/stateful_check.h"
#include "core/source/natpmp_address.h"
#include "support/fixture_process.h"
#include "support/recording_check_host.h"
#include "support/recording_publisher.h"
#include "support/temp_dir.h"

namespace zepa2 {
namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;
using test::LoggedLine;
using Lines = std::vector<LoggedLine>;
namespace color = log_color;

// Lines as the kernel writes them: interface, destination, gateway, flags, references, use,
// metric, mask, MTU, window, IRTT. Addresses are in memory order: 0101A8C0 is 192.168.1.1.
constexpr const char* kRouteHeader =
    "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";

TEST(NatPmpGateway, DefaultRouteWithTheLowestMetric) {
  const std::string routes = std::string(kRouteHeader) +
                             "eth0\t0001A8C0\t00000000\t0001\t0\t0\t100\t00FFFFFF\t0\t0\t0\n"
                             "wlan0\t00000000\t0102A8C0\t0003\t0\t0\t600\t00000000\t0\t0\t0\n"
                             "eth0\t00000000\t0101A8C0\t0003\t0\t0\t100\t00000000\t0\t0\t0\n"
                             "down0\t00000000\t0103A8C0\t0002\t0\t0\t10\t00000000\t0\t0\t0\n";
  EXPECT_EQ(DefaultIpv4Gateway(routes), "192.168.1.1");
  EXPECT_EQ(DefaultIpv4Gateway(kRouteHeader), "");
  EXPECT_EQ(DefaultIpv4Gateway("garbage\n\n"), "");

  test::TempDir dir;
  test::WriteFile(dir / "route", routes);
  EXPECT_EQ(NatPmpGatewayToAsk("", dir / "route"), "192.168.1.1");
  EXPECT_EQ(NatPmpGatewayToAsk("10.0.0.138", dir / "route"), "10.0.0.138");
  EXPECT_EQ(NatPmpGatewayToAsk("", dir / "missing"), "");
}

TEST(NatPmpGateway, AnswersAndRefusals) {
  {
    test::FixtureProcess gateway("natpmp_server.py", {"203.0.113.77"});
    const GatewayAnswer answer = AskNatPmpPublicAddress("127.0.0.1");
    EXPECT_EQ(answer.address, "203.0.113.77");
    EXPECT_EQ(answer.reason, "");
  }
  {
    test::FixtureProcess gateway("natpmp_server.py", {"refuse"});
    const GatewayAnswer answer = AskNatPmpPublicAddress("127.0.0.1");
    EXPECT_EQ(answer.address, "");
    EXPECT_THAT(answer.reason, HasSubstr("NAT-PMP: "));
  }
  // Nobody on the port: the refusal comes back at once.
  EXPECT_THAT(AskNatPmpPublicAddress("127.0.0.1").reason, HasSubstr("NAT-PMP: "));
  EXPECT_EQ(AskNatPmpPublicAddress("").reason, "NAT-PMP: no gateway (no default route)");
  EXPECT_EQ(AskNatPmpPublicAddress("router.lan").reason, "NAT-PMP: the gateway is not an IPv4 address");
}

TEST(NatPmpGateway, SilentGatewayEndsAtTheTimeOutOrAStop) {
  test::FixtureProcess gateway("natpmp_server.py", {"silent"});
  EXPECT_EQ(AskNatPmpPublicAddress("127.0.0.1", {.answerTimeout = 400ms}).reason,
            "NAT-PMP: no answer from 127.0.0.1");

  StopToken stop;
  std::thread stopper([&] {
    std::this_thread::sleep_for(200ms);
    stop.RequestStop();
  });
  const GatewayAnswer stopped = AskNatPmpPublicAddress("127.0.0.1", {.stop = &stop});
  stopper.join();
  EXPECT_EQ(stopped.reason, "NAT-PMP: stopped");
}

TEST(NatPmpGateway, CheckAsksTheConfiguredGateway) {
  AppSettings settings;
  settings.addressSource = AddressSource::NatPmp;
  settings.natPmpGateway = "127.0.0.1";
  test::RecordingCheckHost host;
  test::RecordingPublisher publisher;
  test::StatefulCheck check(settings, host, publisher);
  const LoggedLine start{"NAT-PMPでルータに問い合わせ開始", color::kBlack};

  test::FixtureProcess gateway("natpmp_server.py", {"100.64.0.9"});
  const CheckReport report = check.RunAddressCheck(false);
  EXPECT_EQ(host.lines, (Lines{start,
                               {"NAT-PMPでIPアドレス取得成功", color::kGreen},
                               {"注意：このアドレスは公開アドレスではありません（プロバイダのNATで共有される"
                                "アドレス 100.64.0.0/10）。外から届かない可能性があります。", color::kViolet}}));
  EXPECT_EQ(report.outcome, CheckOutcome::Published);
  EXPECT_EQ(report.nonPublic, NonPublicReason::SharedNat);
  EXPECT_EQ(publisher.published, std::vector<std::string>{"100.64.0.9"});

  host.lines.clear();
  settings.natPmpGateway = "not an address";
  EXPECT_EQ(check.RunAddressCheck(false).outcome, CheckOutcome::AddressNotFound);
  EXPECT_EQ(host.lines, (Lines{start, {"NAT-PMPでIPアドレス取得失敗：NAT-PMP: the gateway is not an IPv4 address",
                                       color::kRed}}));
}

}  // namespace
}  // namespace zepa2
