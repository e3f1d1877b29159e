#include "support/program_run.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "support/temp_dir.h"

namespace zepa2::test {
namespace {

// Forks and execs the call with its stdout and stderr going to the given files.
pid_t Launch(const ProgramCall& call, const std::filesystem::path& out, const std::filesystem::path& err) {
  std::vector<std::string> argv{call.program.string()};
  argv.insert(argv.end(), call.args.begin(), call.args.end());
  int pipeEnds[2] = {-1, -1};
  if (call.input && pipe2(pipeEnds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    for (const auto& [name, value] : call.env) setenv(name.c_str(), value.c_str(), 1);
    if (!call.workingFolder.empty() && chdir(call.workingFolder.c_str()) != 0) _exit(126);
    const int in = call.input ? pipeEnds[0] : open("/dev/null", O_RDONLY);
    const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(in, STDIN_FILENO);
    dup2(o, STDOUT_FILENO);
    dup2(e, STDERR_FILENO);
    std::vector<char*> cargv;
    for (auto& a : argv) cargv.push_back(a.data());
    cargv.push_back(nullptr);
    execv(cargv[0], cargv.data());
    _exit(127);
  }
  if (call.input) {
    // A test's input fits the pipe's buffer; the program reads it when it wants. A program that
    // ends without reading it must fail its test, not end the test program with SIGPIPE.
    signal(SIGPIPE, SIG_IGN);
    close(pipeEnds[0]);
    const std::string& input = *call.input;
    for (std::size_t done = 0; done < input.size();) {
      const ssize_t n = write(pipeEnds[1], input.data() + done, input.size() - done);
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    close(pipeEnds[1]);
  }
  return pid;
}

// Polls for the end of pid; kills it after limit. Returns the exit code or -1.
int WaitOrKill(pid_t pid, std::chrono::seconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  int status = 0;
  while (std::chrono::steady_clock::now() < deadline) {
    const pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
  return -1;
}

std::filesystem::path OutputFile(const char* kind) {
  std::string pattern = (std::filesystem::temp_directory_path() / "zepa2-out-XXXXXX").string();
  const int fd = mkstemp(pattern.data());
  if (fd < 0) throw std::runtime_error(std::string("mkstemp failed for ") + kind);
  close(fd);
  return pattern;
}

}  // namespace

ProgramResult RunProgram(const ProgramCall& call, std::chrono::seconds limit) {
  const auto out = OutputFile("stdout");
  const auto err = OutputFile("stderr");
  ProgramResult result;
  result.exitCode = WaitOrKill(Launch(call, out, err), limit);
  result.out = ReadFile(out);
  result.err = ReadFile(err);
  std::filesystem::remove(out);
  std::filesystem::remove(err);
  return result;
}

BackgroundProgram::BackgroundProgram(const ProgramCall& call) : outFile_(OutputFile("stdout")) {
  pid_ = Launch(call, outFile_, "/dev/null");
}

BackgroundProgram::~BackgroundProgram() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    WaitOrKill(pid_, std::chrono::seconds(5));
  }
  std::error_code ec;
  std::filesystem::remove(outFile_, ec);
}

void BackgroundProgram::Signal(int signal) {
  if (pid_ > 0) kill(pid_, signal);
}

int BackgroundProgram::Wait(std::chrono::seconds limit) {
  const int code = WaitOrKill(pid_, limit);
  pid_ = -1;
  return code;
}

std::string BackgroundProgram::Output() const { return ReadFile(outFile_); }

}  // namespace zepa2::test
