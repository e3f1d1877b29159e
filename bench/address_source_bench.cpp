// Time to the address by each source against the local fixtures, in one run: the router page
// (its markers), UPnP (description and SOAP call) and NAT-PMP (one UDP exchange on port 5351).
#include <benchmark/benchmark.h>

#include <functional>
#include <string>

#include "core/check/check_session.h"
#include "core/text/cp932.h"
#include "support/fixture_process.h"
#include "support/recording_check_host.h"

namespace {

class DiscardingPublisher : public zepa2::Publisher {
 public:
  std::vector<zepa2::SiteReport> Publish(const zepa2::PublishRequest&) override { return {}; }
  bool PagesUseIpv6() const override { return false; }
};

// Finding only: publishing is the same whatever the source.
void FindRepeatedly(benchmark::State& state, const zepa2::AppSettings& settings, const std::string& expected) {
  zepa2::test::RecordingCheckHost host;  // the router page's settle pause costs nothing here
  DiscardingPublisher publisher;
  zepa2::CheckSession check(settings, host, publisher);
  for (auto _ : state) {
    const zepa2::CheckReport found = check.Run({.mode = zepa2::RunMode::FindOnly}, {});
    if (found.address != expected) state.SkipWithError(("got '" + found.address + "' " + found.reason).c_str());
    host.lines.clear();
    host.rawLines.clear();
    host.pauses.clear();
  }
}

void BM_AddressByRouterPage(benchmark::State& state) {
  static zepa2::test::FixtureProcess router("router_server.py");
  zepa2::AppSettings settings;
  settings.routerServer = router.hostPort();
  settings.routerPage = "status.htm";
  settings.filter1 = zepa2::Cp932("WAN側IPアドレス");
  settings.filter2 = "</tr>";
  settings.filter3 = "<td>";
  settings.filter4 = "</td>";
  FindRepeatedly(state, settings, "10.0.0.1");
}
BENCHMARK(BM_AddressByRouterPage)->Unit(benchmark::kMillisecond);

void BM_AddressByUpnp(benchmark::State& state) {
  static zepa2::test::FixtureProcess igd("igd_server.py");
  zepa2::AppSettings settings;
  settings.addressSource = zepa2::AddressSource::Upnp;
  settings.igdUrl = "http://" + igd.hostPort() + "/ip/rootDesc.xml";
  FindRepeatedly(state, settings, "203.0.113.45");
}
BENCHMARK(BM_AddressByUpnp)->Unit(benchmark::kMillisecond);

void BM_AddressByNatPmp(benchmark::State& state) {
  static zepa2::test::FixtureProcess gateway("natpmp_server.py", {"203.0.113.77"});
  zepa2::AppSettings settings;
  settings.addressSource = zepa2::AddressSource::NatPmp;
  settings.natPmpGateway = "127.0.0.1";
  FindRepeatedly(state, settings, "203.0.113.77");
}
BENCHMARK(BM_AddressByNatPmp)->Unit(benchmark::kMillisecond);

}  // namespace
