#include "support/fixture_process.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>
#include <thread>

namespace zepa2::test {

FixtureProcess::FixtureProcess(const std::string& script, const std::vector<std::string>& args) {
  int fds[2];
  if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
  const std::string path = std::string(ZEPA2_FIXTURES_DIR) + "/" + script;
  std::vector<std::string> argv{ZEPA2_PYTHON, "-u", path};
  argv.insert(argv.end(), args.begin(), args.end());

  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    dup2(fds[1], STDOUT_FILENO);
    close(fds[0]);
    close(fds[1]);
    std::vector<char*> cargv;
    for (auto& a : argv) cargv.push_back(a.data());
    cargv.push_back(nullptr);
    execv(cargv[0], cargv.data());
    _exit(127);
  }
  close(fds[1]);

  // Read the first line, waiting at most 20 s for the server to come up.
  std::string line;
  pollfd pfd{fds[0], POLLIN, 0};
  while (line.find('\n') == std::string::npos) {
    if (poll(&pfd, 1, 20000) <= 0) break;
    char buf[256];
    ssize_t n = read(fds[0], buf, sizeof buf);
    if (n <= 0) break;
    line.append(buf, static_cast<std::size_t>(n));
  }
  if (std::sscanf(line.c_str(), "PORT %d", &port_) != 1) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    close(fds[0]);
    throw std::runtime_error("fixture " + script + " did not start: " + line);
  }
  // Whatever the server prints later is read and dropped, so it never blocks on a full pipe; the
  // reader ends when the server closes its side.
  std::thread([fd = fds[0]] {
    char buf[4096];
    while (read(fd, buf, sizeof buf) > 0) {}
    close(fd);
  }).detach();
}

FixtureProcess::~FixtureProcess() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

std::string FixtureProcess::hostPort() const { return "127.0.0.1:" + std::to_string(port_); }

}  // namespace zepa2::test
