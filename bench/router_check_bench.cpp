// One whole router-path check against the local test router, beside the curl tool on the same page.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <memory>
#include <string>

#include "core/check/check_session.h"
#include "core/text/cp932.h"
#include "support/fixture_process.h"
#include "support/recording_check_host.h"

extern char** environ;

namespace {

class DiscardingPublisher : public zepa2::Publisher {
 public:
  std::vector<zepa2::SiteReport> Publish(const zepa2::PublishRequest&) override { return {}; }
  bool PagesUseIpv6() const override { return false; }
};

zepa2::test::FixtureProcess& Router() {
  static zepa2::test::FixtureProcess server("router_server.py");
  return server;
}

void BM_RouterCheck(benchmark::State& state) {
  zepa2::AppSettings settings;
  settings.routerServer = Router().hostPort();
  settings.routerPage = "status.htm";
  settings.filter1 = zepa2::Cp932("WAN側IPアドレス");
  settings.filter2 = "</tr>";
  settings.filter3 = "<td>";
  settings.filter4 = "</td>";
  zepa2::test::RecordingCheckHost host;  // pauses cost nothing here
  DiscardingPublisher publisher;
  zepa2::CheckSession check(settings, host, publisher);
  for (auto _ : state) {
    const zepa2::CheckReport report = check.Run({.force = true}, {});
    if (report.state.lastAddress != "10.0.0.1") state.SkipWithError("no address");
    host.lines.clear();
    host.rawLines.clear();
    host.pauses.clear();
  }
}
BENCHMARK(BM_RouterCheck)->Unit(benchmark::kMillisecond);

void BM_CurlToolSamePage(benchmark::State& state) {
  const std::string url = "http://" + Router().hostPort() + "/status.htm";
  std::string a0 = "curl", a1 = "-s", a2 = "-o", a3 = "/dev/null", a4 = url;
  char* argv[] = {a0.data(), a1.data(), a2.data(), a3.data(), a4.data(), nullptr};
  for (auto _ : state) {
    pid_t pid = 0;
    if (posix_spawnp(&pid, "curl", nullptr, nullptr, argv, environ) != 0) {
      state.SkipWithError("curl not found");
      break;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("curl failed");
  }
}
BENCHMARK(BM_CurlToolSamePage)->Unit(benchmark::kMillisecond);

}  // namespace
