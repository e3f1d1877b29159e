// Running a user's command line through /bin/sh with a time limit, without ever blocking on its output.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/sys/stop_token.h"

namespace zepa2 {

// One variable for the command: a value sets it, nothing removes an inherited one.
using EnvironmentEntry = std::pair<std::string, std::optional<std::string>>;

struct ShellCommandOptions {
  std::vector<EnvironmentEntry> environment;  // on top of this program's own environment
  std::chrono::milliseconds timeLimit{30'000};
  const StopToken* stop = nullptr;  // a stop ends the command like the time limit does
};

enum class ShellCommandEnd {
  Exited,      // ended by itself; status is its exit code
  Signalled,   // ended by a signal from elsewhere; status is the signal number
  TimedOut,    // still running at the time limit: its process group was killed
  Stopped,     // the stop token was set: its process group was killed
  NotStarted,  // the shell could not be started; reason says why
};

struct ShellCommandResult {
  ShellCommandEnd end = ShellCommandEnd::NotStarted;
  int status = 0;
  std::string firstErrorLine;  // the first line it wrote to standard error, at most 512 bytes
  std::string reason;          // NotStarted: the system's text
};

// Runs `/bin/sh -c commandLine` in a process group of its own, with standard input and output on
// /dev/null and standard error read (and, past its first line, thrown away) as it comes, so a
// command that writes a lot neither stalls nor fills memory. Waits for the shell to end, at most
// timeLimit; then, or on a stop, the whole group is killed. Values reach the command only through
// its environment, never through the command text.
ShellCommandResult RunShellCommand(const std::string& commandLine, const ShellCommandOptions& options);

}  // namespace zepa2
