// Starts one of the Python test servers in tests/fixtures and stops it when the object goes away.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace zepa2::test {

// The server script must print "PORT <n>" as its first line on standard output once it listens
// on 127.0.0.1; anything it prints after that is left to it.
class FixtureProcess {
 public:
  FixtureProcess(const std::string& script, const std::vector<std::string>& args = {});
  ~FixtureProcess();
  FixtureProcess(const FixtureProcess&) = delete;
  FixtureProcess& operator=(const FixtureProcess&) = delete;

  int port() const { return port_; }
  // "127.0.0.1:<port>", the server text the program's settings take.
  std::string hostPort() const;

 private:
  pid_t pid_ = -1;
  int port_ = 0;
};

}  // namespace zepa2::test
