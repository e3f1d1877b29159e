// One FTPS and one SFTP upload of the same page, beside the curl tool storing the same file.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <vector>

#include "core/publish/page_uploader.h"
#include "support/publish_support.h"

extern char** environ;

namespace zepa2 {
namespace {

struct Setup {
  test::TempDir work;
  test::FtpTestServer ftps{test::FtpServerOptions{.tls = true}};
  test::SftpTestServer sftp;
  std::filesystem::path page = work.path() / "page.html";
  Setup() {
    std::string text;
    for (int i = 0; i < 200; ++i) text += "<p>line " + std::to_string(i) + " 2001/12/24 09:05:03</p>\r\n";
    test::WriteFile(page, text + "<p>192.0.2.1</p>\r\n");
  }
};

Setup& Shared() {
  static Setup setup;
  return setup;
}

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

// The uploader's one-second wait before closing is the site's protocol, not the transfer: skipped.
class NoPauseHost : public test::RecordingHost {
 public:
  void Pause(std::chrono::milliseconds) override {}
};

void Upload(benchmark::State& state, net::TransferMode mode, const std::string& server,
            const std::string& pin) {
  Setup& s = Shared();
  NoPauseHost host;
  PageUploader uploader(host);
  for (auto _ : state) {
    if (!uploader.UploadPage(s.page, {server, "zepa", "secret", mode, pin}, "zepa.html").done()) {
      state.SkipWithError("upload failed");
      return;
    }
  }
}

void BM_ZepaFtpsUpload(benchmark::State& state) {
  Upload(state, net::TransferMode::FtpTls, Shared().ftps.server(), Shared().ftps.pin());
}
BENCHMARK(BM_ZepaFtpsUpload)->Unit(benchmark::kMillisecond);

void BM_CurlFtpsUpload(benchmark::State& state) {
  Setup& s = Shared();
  for (auto _ : state) {
    if (RunCurl({"curl", "-s", "--ssl-reqd", "-k", "--pinnedpubkey", s.ftps.pin(), "-Q", "+TYPE A",
                 "--user", "zepa:secret", "-T", s.page.string(),
                 "ftp://" + s.ftps.server() + "/curl.html"}) != 0) {
      state.SkipWithError("curl failed");
      return;
    }
  }
}
BENCHMARK(BM_CurlFtpsUpload)->Unit(benchmark::kMillisecond);

void BM_ZepaSftpUpload(benchmark::State& state) {
  Upload(state, net::TransferMode::Sftp, Shared().sftp.server(), Shared().sftp.pin());
}
BENCHMARK(BM_ZepaSftpUpload)->Unit(benchmark::kMillisecond);

void BM_CurlSftpUpload(benchmark::State& state) {
  Setup& s = Shared();
  const std::string pin = s.sftp.pin().substr(8);
  for (auto _ : state) {
    if (RunCurl({"curl", "-s", "--hostpubsha256", pin, "--user", "zepa:secret", "-T",
                 s.page.string(), "sftp://" + s.sftp.server() + "/~/curl.html"}) != 0) {
      state.SkipWithError("curl failed");
      return;
    }
  }
}
BENCHMARK(BM_CurlSftpUpload)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zepa2
