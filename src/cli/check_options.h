// The command line of zepa2-check.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zepa2::cli {

struct CheckOptions {
  bool force = false;                         // publish even when the address is unchanged
  bool dryRun = false;                        // build each site's page and print it instead of uploading
  bool watch = false;                         // repeat at the applied period until SIGTERM/SIGINT
  std::optional<std::int64_t> periodSeconds;  // with watch: this period instead of the settings'
  bool status = false;                        // print the last run instead of checking
  bool human = false;                         // with status: as a short table in Japanese
  bool printAddress = false;  // print the address found and nothing else; publish and store nothing
  bool trust = false;         // pin the key of every TLS/SFTP server in use that has none, no check
  int retrySeconds = 60;      // with watch: the wait after a failed check, doubled after each one more
  bool help = false;
  bool version = false;
};

// Parses argv; on a usage error returns nothing and sets `error` to a one-line explanation.
std::optional<CheckOptions> ParseCheckOptions(int argc, char** argv, std::string& error);

extern const char* const kCheckUsage;

}  // namespace zepa2::cli
