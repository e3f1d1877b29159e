// Runs the project's own programs from tests: to completion with their output, or in the background.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zepa2::test {

struct ProgramCall {
  std::filesystem::path program;
  std::vector<std::string> args;
  std::map<std::string, std::string> env;  // set on top of the test's own environment
  std::filesystem::path workingFolder;     // empty: the test's own
  std::optional<std::string> input{};      // written to its standard input through a pipe; none: /dev/null
};

struct ProgramResult {
  int exitCode = -1;  // -1 when it had to be killed
  std::string out;
  std::string err;
};

// Runs to the end, killing the program after `limit`.
ProgramResult RunProgram(const ProgramCall& call, std::chrono::seconds limit = std::chrono::seconds(60));

// A program running in the background until Stop() or the end of the object (SIGTERM, then SIGKILL).
class BackgroundProgram {
 public:
  explicit BackgroundProgram(const ProgramCall& call);
  ~BackgroundProgram();
  BackgroundProgram(const BackgroundProgram&) = delete;
  BackgroundProgram& operator=(const BackgroundProgram&) = delete;

  pid_t pid() const { return pid_; }
  void Signal(int signal);
  // Waits for the end; the exit code, or -1 when it was still running after `limit` and was killed.
  int Wait(std::chrono::seconds limit);
  // Its standard output so far (read from the file it writes to).
  std::string Output() const;

 private:
  pid_t pid_ = -1;
  std::filesystem::path outFile_;
};

}  // namespace zepa2::test
