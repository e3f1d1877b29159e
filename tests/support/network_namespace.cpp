#include "support/network_namespace.h"

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "support/program_run.h"

namespace zepa2::test {
namespace {

std::filesystem::path IpProgram() {
  for (const char* path : {"/usr/sbin/ip", "/sbin/ip", "/usr/bin/ip", "/bin/ip"}) {
    if (access(path, X_OK) == 0) return path;
  }
  return {};
}

}  // namespace

ScopedNetworkNamespace::ScopedNetworkNamespace() {
  if (IpProgram().empty()) {
    problem_ = "iproute2's ip is not installed";
    return;
  }
  original_ = open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
  if (original_ < 0) {
    problem_ = std::string("cannot open this thread's network namespace: ") + std::strerror(errno);
    return;
  }
  if (unshare(CLONE_NEWNET) != 0) {
    problem_ = std::string("this machine does not let the test make a network namespace: ") + std::strerror(errno);
    return;
  }
  if (std::string error = Ip("link set lo up"); !error.empty()) problem_ = "ip link set lo up: " + error;
}

ScopedNetworkNamespace::~ScopedNetworkNamespace() {
  if (original_ < 0) return;
  setns(original_, CLONE_NEWNET);
  close(original_);
}

std::string Ip(const std::string& command) {
  std::vector<std::string> words;
  std::istringstream split(command);
  for (std::string word; split >> word;) words.push_back(word);
  const ProgramResult result = RunProgram({IpProgram(), words, {}, {}}, std::chrono::seconds(20));
  if (result.exitCode == 0) return {};
  return result.err.empty() ? "exit status " + std::to_string(result.exitCode) : result.err;
}

}  // namespace zepa2::test
