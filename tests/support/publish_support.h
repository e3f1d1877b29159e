// Test helpers for publishing: a window stand-in that records log lines and shown pages, a working
// folder switch, and the FTP test server with its command record.
#pragma once

#include <chrono>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "core/check/check_host.h"
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

// The lines of a fixture's record file.
std::vector<std::string> RecordLines(const std::filesystem::path& file);

}  // namespace zepa2::test
