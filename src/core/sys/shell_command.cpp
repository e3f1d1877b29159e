#include "core/sys/shell_command.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <set>

extern char** environ;

namespace zepa2 {
namespace {

constexpr std::size_t kFirstLineCap = 512;
constexpr int kPollMilliseconds = 100;  // how soon a stop or the time limit is noticed

// Owned copies of "NAME=value" strings and the pointer array exec wants.
class EnvironmentBlock {
 public:
  explicit EnvironmentBlock(const std::vector<EnvironmentEntry>& changes) {
    std::set<std::string> changed;
    for (const auto& [name, value] : changes) changed.insert(name);
    for (char** entry = environ; entry && *entry; ++entry) {
      const std::string text = *entry;
      if (!changed.count(text.substr(0, text.find('=')))) strings_.push_back(text);
    }
    for (const auto& [name, value] : changes)
      if (value) strings_.push_back(name + "=" + *value);
    for (std::string& s : strings_) pointers_.push_back(s.data());
    pointers_.push_back(nullptr);
  }
  char** get() { return pointers_.data(); }

 private:
  std::vector<std::string> strings_;
  std::vector<char*> pointers_;
};

// Keeps the first line of what arrives and counts nothing else.
class FirstLine {
 public:
  void Take(const char* data, std::size_t size) {
    for (std::size_t i = 0; i < size && !done_; ++i) {
      if (data[i] == '\n' || line_.size() == kFirstLineCap) done_ = true;
      else if (data[i] != '\r') line_ += data[i];
    }
  }
  std::string Result() { return std::move(line_); }

 private:
  std::string line_;
  bool done_ = false;
};

// Reads what is waiting without blocking; false at the end of the stream or on an error.
bool Drain(int fd, FirstLine& firstLine) {
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) {
      firstLine.Take(buffer, static_cast<std::size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    return n < 0 && errno == EAGAIN;
  }
}

ShellCommandResult NotStarted(int errnum) {
  ShellCommandResult result;
  result.reason = std::strerror(errnum);
  return result;
}

}  // namespace

ShellCommandResult RunShellCommand(const std::string& commandLine, const ShellCommandOptions& options) {
  int errPipe[2];
  if (::pipe2(errPipe, O_CLOEXEC) != 0) return NotStarted(errno);
  ::fcntl(errPipe[0], F_SETFL, O_NONBLOCK);

  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&files, errPipe[1], 2);

  // A group of its own, so that the time limit reaches whatever the shell started; signals as a
  // fresh program has them (zepa2-check blocks SIGTERM while it watches).
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setpgroup(&attributes, 0);
  sigset_t none, defaults;
  sigemptyset(&none);
  sigemptyset(&defaults);
  for (int s : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGCHLD}) sigaddset(&defaults, s);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  EnvironmentBlock environment(options.environment);
  std::string shell = "/bin/sh", dashC = "-c", command = commandLine;
  char* argv[] = {shell.data(), dashC.data(), command.data(), nullptr};
  pid_t pid = -1;
  const int spawned = ::posix_spawn(&pid, shell.c_str(), &files, &attributes, argv, environment.get());
  posix_spawn_file_actions_destroy(&files);
  posix_spawnattr_destroy(&attributes);
  ::close(errPipe[1]);
  if (spawned != 0) {
    ::close(errPipe[0]);
    return NotStarted(spawned);
  }

  const auto deadline = std::chrono::steady_clock::now() + options.timeLimit;
  FirstLine firstLine;
  bool reading = true;
  ShellCommandResult result;
  int status = 0;
  for (;;) {
    const pid_t waited = ::waitpid(pid, &status, WNOHANG);
    if (waited == pid) break;
    const bool stopped = options.stop && options.stop->stopRequested();
    if (stopped || std::chrono::steady_clock::now() >= deadline) {
      ::kill(-pid, SIGKILL);
      while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
      result.end = stopped ? ShellCommandEnd::Stopped : ShellCommandEnd::TimedOut;
      break;
    }
    if (reading) {
      pollfd waiting{errPipe[0], POLLIN, 0};
      if (::poll(&waiting, 1, kPollMilliseconds) > 0) reading = Drain(errPipe[0], firstLine);
    } else {
      ::poll(nullptr, 0, kPollMilliseconds);
    }
  }
  // What the shell wrote just before it ended is still in the pipe; a child it left running may
  // hold the pipe open, so only what is there now is read.
  if (reading) Drain(errPipe[0], firstLine);
  ::close(errPipe[0]);

  if (result.end == ShellCommandEnd::NotStarted) {
    result.end = WIFEXITED(status) ? ShellCommandEnd::Exited : ShellCommandEnd::Signalled;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : WTERMSIG(status);
  }
  result.firstErrorLine = firstLine.Result();
  return result;
}

}  // namespace zepa2
