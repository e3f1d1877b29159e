// Test helpers for publishing: a window stand-in that records log lines and shown pages, a working
// folder switch, and the FTP test server with its command record.
#pragma once

#include <chrono>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "core/run/check_host.h"
#include "core/settings/app_settings.h"
#include "core/sys/read_file.h"
#include "support/fixture_process.h"
#include "support/temp_dir.h"

namespace zepa2::test {

struct LogLine {
  std::string text;  // UTF-8, for readable assertions
  LogColor color;
  bool operator==(const LogLine&) const = default;
};

// Records everything; the clock starts at a fixed moment and moves one second per reading.
class RecordingHost : public CheckHost {
 public:
  void AppendLog(const std::string& text, LogColor color) override;
  void Pause(std::chrono::milliseconds duration) override { pauses.push_back(duration); }
  void SetBusy(bool busy) override { busyNow = busy; }
  bool ShowGeneratedPage(const std::filesystem::path& pageFile) override {
    shownPages.push_back(ReadWholeFile(pageFile).value_or("<unreadable>"));
    return true;
  }
  std::time_t Now() override { return clock++; }

  std::vector<LogLine> log;
  std::vector<std::chrono::milliseconds> pauses;
  std::vector<std::string> shownPages;
  bool busyNow = false;
  std::time_t clock = 0;
};

// Makes a folder the current working folder for the life of the object.
class ScopedWorkingFolder {
 public:
  explicit ScopedWorkingFolder(const std::filesystem::path& folder);
  ~ScopedWorkingFolder();
  ScopedWorkingFolder(const ScopedWorkingFolder&) = delete;
  ScopedWorkingFolder& operator=(const ScopedWorkingFolder&) = delete;

 private:
  std::filesystem::path old_;
};

struct FtpServerOptions {
  bool listDotsWhenAsked = false;  // "LIST -a" also reports "." and ".."
  std::size_t floodListBytes = 0;  // > 0: every LIST answers with made-up lines adding up to more
  bool utf8 = true;                // false: FEAT does not list UTF8
  bool muteList = false;           // LIST is never answered
  bool stallStor = false;          // STOR gets a 150 and then silence, QUIT included
  bool tls = false;                // AUTH TLS demanded before the log-in, data protected too
  int port = 0;                    // 0: any free port; else this one (a server that comes back)
};

// tests/fixtures/ftp_server.py on a fresh folder: user "zepa", password "secret", its home
// writable, "ro" in it read-only.
class FtpTestServer {
 public:
  explicit FtpTestServer(FtpServerOptions options);
  explicit FtpTestServer(bool listDotsWhenAsked = false, std::size_t floodListBytes = 0)
      : FtpTestServer(FtpServerOptions{listDotsWhenAsked, floodListBytes}) {}
  std::string server() const { return process_.hostPort(); }
  std::filesystem::path home() const { return root_.path() / "home"; }
  // The commands clients have sent so far, one a line.
  std::vector<std::string> commands() const;
  // With tls: the pin of the server's self-signed certificate, worked out by the fixture.
  std::string pin() const;

  static constexpr const char* kUser = "zepa";
  static constexpr const char* kPassword = "secret";

 private:
  TempDir root_;
  FixtureProcess process_;
};

// Settings that read the address (10.0.0.1) from the router fixture at routerHostPort and publish
// the template localFile to an FTP test server as index.html: the smallest publishing run.
AppSettings OneSiteRun(const std::string& routerHostPort, const FtpTestServer& ftp,
                       const std::filesystem::path& localFile);

// tests/fixtures/sftp_server.py on a fresh folder and a host key made at its start: user "zepa",
// password "secret", home "/home/zepa" (home() on this side).
class SftpTestServer {
 public:
  SftpTestServer();
  std::string server() const { return process_.hostPort(); }
  std::filesystem::path home() const { return root_.path() / "root" / "home" / "zepa"; }
  // The pin of the host key, worked out by the fixture.
  std::string pin() const;
  // "AUTH <user>" for each log-in attempt, "OPEN <path>" and "LIST <path>" for file operations.
  std::vector<std::string> commands() const;

 private:
  TempDir root_;
  FixtureProcess process_;
};

// Debian's lighttpd with mod_webdav (tests/fixtures/webdav_server.py) on a fresh folder: user
// "zepa", password "secret", Digest (or Basic) auth, the served folder www() writable.
class WebDavTestServer {
 public:
  struct Options {
    bool tls = false;     // HTTPS with a certificate made for the test
    bool basic = false;   // Basic auth instead of Digest
  };
  explicit WebDavTestServer(Options options);
  WebDavTestServer() : WebDavTestServer(Options{}) {}
  // The server text of a site: "http://127.0.0.1:<port>", or "127.0.0.1:<port>" over TLS (a
  // server text without a scheme is https).
  std::string server() const;
  std::filesystem::path www() const { return root_.path() / "www"; }
  // With tls: the pin of the server's certificate, worked out by the fixture.
  std::string pin() const;
  int port() const { return process_.port(); }
  // "METHOD PATH PROTOCOL STATUS" for each request answered, once at least `count` are in the log
  // (lighttpd writes it every few seconds); what there is after ten seconds otherwise.
  std::vector<std::string> requests(std::size_t count) const;

 private:
  TempDir root_;
  bool tls_;
  FixtureProcess process_;
};

// tests/fixtures/s3_server.py on a fresh folder: access key kAccessKey, secret kSecret, the
// buckets made before it starts, every request's signature checked.
class S3TestServer {
 public:
  struct Options {
    std::vector<std::string> buckets{"www"};
    std::string region{};  // the region signatures must name; empty = any
    int pageSize = 1000; // entries per ListObjectsV2 page
    bool stallPut = false;  // a PUT is read and never answered
    bool repeatToken = false;  // every listing page is the first, with the same continuation token
  };
  explicit S3TestServer(Options options);
  S3TestServer() : S3TestServer(Options{}) {}
  // "http://127.0.0.1:<port>"
  std::string server() const { return "http://" + process_.hostPort(); }
  std::filesystem::path bucket(const std::string& name) const { return root_.path() / "data" / name; }
  // One line per request: "METHOD PATH?QUERY|content-type|x-amz-content-sha256|content-length|
  // transfer-encoding|signature check".
  std::vector<std::string> requests() const;

  static constexpr const char* kAccessKey = "AKIAZEPA2TEST";
  static constexpr const char* kSecret = "zepa2/secret+key";

 private:
  TempDir root_;
  FixtureProcess process_;
};

// The lines of a fixture's record file.
std::vector<std::string> RecordLines(const std::filesystem::path& file);

}  // namespace zepa2::test
