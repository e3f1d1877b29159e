// A real name server (knotd or named from Debian's packages) on 127.0.0.1, started as a plain
// process with its own configuration, zone files and keys in a temporary folder.
#pragma once

#include <sys/types.h>

#include <string>

#include "support/temp_dir.h"

namespace zepa2::test {

enum class NameServerKind { Knot, Bind };

// The keys the servers know. kUpdateKey may change every name of kZone (and of nothing else);
// kStrongKey, hmac-sha512, too. kLockedZone is served, but no key may change it.
inline constexpr const char* kZone = "example.test";
inline constexpr const char* kLockedZone = "locked.test";
inline constexpr const char* kUpdateKeyName = "zepa2-key";
inline constexpr const char* kUpdateKeySecret = "c2VjcmV0LXNlY3JldC1zZWNyZXQtc2VjcmV0LTEyMzQ=";
inline constexpr const char* kStrongKeyName = "strong-key";
inline constexpr const char* kStrongKeySecret =
    "bG9uZ2VyLXNlY3JldC1mb3ItaG1hYy1zaGE1MTItbG9uZ2VyLXNlY3JldC1mb3ItaG1hYy1zaGE1MTI=";

class LocalNameServer {
 public:
  explicit LocalNameServer(NameServerKind kind);
  ~LocalNameServer();
  LocalNameServer(const LocalNameServer&) = delete;
  LocalNameServer& operator=(const LocalNameServer&) = delete;

  int port() const { return port_; }
  std::string hostPort() const { return "127.0.0.1:" + std::to_string(port_); }
  const char* name() const { return kind_ == NameServerKind::Knot ? "knotd" : "named"; }

  // The records of a name and type the server answers with, sorted, one "TTL DATA" a line.
  std::string Records(const std::string& name, const std::string& type) const;
  // Changes records behind the program's back: knsupdate or nsupdate with kUpdateKey, given
  // update lines ("update delete …", "update add …") for kZone.
  void ChangeBehindBack(const std::string& updateLines) const;

 private:
  NameServerKind kind_;
  TempDir dir_;
  int port_ = 0;
  pid_t pid_ = -1;
};

}  // namespace zepa2::test
