// One WebDAV (HTTPS, Digest, pinned) and one S3 upload of the same 7 KB page, beside curl -T to the same servers.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include <string>
#include <vector>

#include "core/publish/page_uploader.h"
#include "support/publish_support.h"

extern char** environ;

namespace zepa2 {
namespace {

struct Setup {
  test::TempDir work;
  test::WebDavTestServer dav{{.tls = true}};
  test::S3TestServer s3;
  std::filesystem::path page = work.path() / "page.html";
  Setup() {
    std::string text = "<p>192.0.2.1</p>\r\n";
    for (int i = 0; text.size() < 7 * 1024; ++i) text += "<p>line " + std::to_string(i) + " 2001/12/24</p>\r\n";
    test::WriteFile(page, text);
  }
};

Setup& Shared() {
  static Setup setup;
  return setup;
}

// Runs curl and gives the seconds it says the transfer took (its -w %{time_total}), or a negative
// number when it failed: the wall time around it also holds the start of a process.
double RunCurl(std::vector<std::string> args) {
  args.insert(args.begin() + 1, {"-w", "%{time_total}"});
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  int out[2];
  if (pipe(out) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  pid_t pid;
  const int spawned = posix_spawnp(&pid, "curl", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  std::string said;
  char buf[256];
  for (ssize_t n; spawned == 0 && (n = read(out[0], buf, sizeof buf)) > 0;) said.append(buf, static_cast<std::size_t>(n));
  close(out[0]);
  if (spawned != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return std::strtod(said.c_str(), nullptr);
}

// The uploader's one-second wait before closing is the site's protocol, not the transfer: skipped.
class NoPauseHost : public test::RecordingHost {
 public:
  void Pause(std::chrono::milliseconds) override {}
};

void Upload(benchmark::State& state, const net::SiteLogin& login, const std::string& remote) {
  NoPauseHost host;
  PageUploader uploader(host);
  for (auto _ : state) {
    if (!uploader.UploadPage(Shared().page, login, remote).done()) {
      state.SkipWithError("upload failed");
      return;
    }
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(Shared().page));
}

void Curl(benchmark::State& state, const std::vector<std::string>& args) {
  double transfer = 0;
  for (auto _ : state) {
    const double seconds = RunCurl(args);
    if (seconds < 0) {
      state.SkipWithError("curl failed");
      return;
    }
    transfer += seconds;
  }
  // curl's own figure for the transfer, without starting the process: the fair comparison.
  state.counters["curl_ms"] = benchmark::Counter(transfer * 1000, benchmark::Counter::kAvgIterations);
}

void BM_ZepaWebDavUpload(benchmark::State& state) {
  Setup& s = Shared();
  Upload(state, {s.dav.server(), "zepa", "secret", net::TransferMode::WebDav, s.dav.pin()}, "/zepa.html");
}
BENCHMARK(BM_ZepaWebDavUpload)->Unit(benchmark::kMillisecond);

void BM_CurlWebDavUpload(benchmark::State& state) {
  Setup& s = Shared();
  Curl(state, {"curl", "-s", "-f", "-o", "/dev/null", "--http1.1", "-k", "--pinnedpubkey", s.dav.pin(),
               "--anyauth", "--user", "zepa:secret", "-T", s.page.string(),
               "https://" + s.dav.server() + "/curl.html"});
}
BENCHMARK(BM_CurlWebDavUpload)->Unit(benchmark::kMillisecond);

void BM_ZepaS3Upload(benchmark::State& state) {
  Setup& s = Shared();
  Upload(state, {s.s3.server(), test::S3TestServer::kAccessKey, test::S3TestServer::kSecret, net::TransferMode::S3},
         "/www/zepa.html");
}
BENCHMARK(BM_ZepaS3Upload)->Unit(benchmark::kMillisecond);

void BM_CurlS3Upload(benchmark::State& state) {
  Setup& s = Shared();
  Curl(state, {"curl", "-s", "-f", "-o", "/dev/null", "--aws-sigv4", "aws:amz:us-east-1:s3", "--user",
               std::string(test::S3TestServer::kAccessKey) + ":" + test::S3TestServer::kSecret, "-H",
               "x-amz-content-sha256: UNSIGNED-PAYLOAD", "-T", s.page.string(), s.s3.server() + "/www/curl.html"});
}
BENCHMARK(BM_CurlS3Upload)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zepa2
