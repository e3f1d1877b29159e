// Publishing to three sites on the local FTP server, beside the curl tool uploading the same pages.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <vector>

#include "core/publish/page_builder.h"
#include "core/publish/page_publisher.h"
#include "support/publish_support.h"

extern char** environ;

namespace zepa2 {
namespace {

constexpr int kSites = 3;

struct Setup {
  test::TempDir work;
  test::FtpTestServer ftp;
  AppSettings settings;

  Setup() {
    settings.siteCount = kSites;
    std::string templ;
    for (int i = 0; i < 200; ++i) templ += "<p>line " + std::to_string(i) + " $$DAY_TIME$$</p>\n";
    templ += "<p>$$IP_ADDRESS$$</p>\n";
    for (int n = 1; n <= kSites; ++n) {
      const auto tpl = work / ("site" + std::to_string(n) + ".tpl");
      test::WriteFile(tpl, templ);
      settings.sites[n - 1] = {ftp.server(), test::FtpTestServer::kUser,
                               test::FtpTestServer::kPassword, "page" + std::to_string(n) + ".html",
                               tpl.string()};
    }
  }
};

Setup& Shared() {
  static Setup setup;
  return setup;
}

void BM_PublishThreeSites(benchmark::State& state) {
  Setup& s = Shared();
  test::ScopedWorkingFolder inWork(s.work.path());
  test::RecordingHost host;  // pauses are recorded, not slept
  PageUploader uploader(host);
  PagePublisher publisher(s.settings, host, uploader);
  for (auto _ : state) {
    host.log.clear();
    publisher.Publish({.address = "192.0.2.1"});
  }
  if (host.log.size() != 3 * kSites) state.SkipWithError("a site failed");
}
BENCHMARK(BM_PublishThreeSites)->Unit(benchmark::kMillisecond);

int RunCurl(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid;
  if (posix_spawnp(&pid, "curl", nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The same pages, built once, stored by three runs of the curl tool (active mode, TYPE A).
void BM_CurlToolThreeUploads(benchmark::State& state) {
  Setup& s = Shared();
  test::ScopedWorkingFolder inWork(s.work.path());
  const std::filesystem::path page = s.work.path() / "curl-page.html";
  std::filesystem::remove(page);
  BuildPage(s.settings.sites[0].localFile, page, "192.0.2.1", [] { return std::time(nullptr); });
  const std::string login = std::string(test::FtpTestServer::kUser) + ":" + test::FtpTestServer::kPassword;
  for (auto _ : state) {
    for (int n = 1; n <= kSites; ++n) {
      const std::string url = "ftp://" + s.ftp.server() + "/curl" + std::to_string(n) + ".html";
      if (RunCurl({"curl", "-s", "--ftp-port", "-", "-Q", "+TYPE A", "--user", login, "-T",
                   page.string(), url}) != 0) {
        state.SkipWithError("curl failed");
        return;
      }
    }
  }
}
BENCHMARK(BM_CurlToolThreeUploads)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zepa2
