// A network namespace of the test's own: the thread that makes it, and every program and fixture
// it starts meanwhile, see only the namespace's interfaces, so a test can change addresses and
// routes freely. Needs root (or CAP_NET_ADMIN and CAP_SYS_ADMIN); tests skip without it.
#pragma once

#include <string>

namespace zepa2::test {

class ScopedNetworkNamespace {
 public:
  // Enters a fresh namespace with its loopback up; see problem() when that was not allowed.
  ScopedNetworkNamespace();
  // Returns the thread to the namespace it came from; the namespace ends with its last program.
  ~ScopedNetworkNamespace();
  ScopedNetworkNamespace(const ScopedNetworkNamespace&) = delete;
  ScopedNetworkNamespace& operator=(const ScopedNetworkNamespace&) = delete;

  // Why the namespace could not be made; empty when it was.
  const std::string& problem() const { return problem_; }

 private:
  int original_ = -1;
  std::string problem_;
};

// Runs iproute2's `ip` with the words of `command` (split at spaces); its error output when it
// failed, empty when it did what it was told.
std::string Ip(const std::string& command);

}  // namespace zepa2::test
