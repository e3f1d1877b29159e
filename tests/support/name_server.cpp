#include "support/name_server.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

#include "support/free_port.h"

namespace zepa2::test {
namespace {

std::string ZoneFile(const std::string& zone) {
  return "$ORIGIN " + zone + ".\n$TTL 300\n@ SOA ns." + zone + ". admin." + zone +
         ". 1 3600 600 86400 60\n@ NS ns." + zone + ".\nns A 127.0.0.1\n";
}

std::string KnotConfig(const std::filesystem::path& dir, int port) {
  const std::string d = dir.string();
  return "server:\n  listen: 127.0.0.1@" + std::to_string(port) + "\n  rundir: " + d +
         "\nlog:\n  - target: stderr\n    any: warning\n"
         "database:\n  storage: " +
         d +
         "\n"
         "key:\n"
         "  - id: " +
         kUpdateKeyName + "\n    algorithm: hmac-sha256\n    secret: " + kUpdateKeySecret +
         "\n"
         "  - id: " +
         kStrongKeyName + "\n    algorithm: hmac-sha512\n    secret: " + kStrongKeySecret +
         "\n"
         "acl:\n  - id: update\n    key: [" +
         kUpdateKeyName + ", " + kStrongKeyName +
         "]\n    action: update\n"
         "template:\n  - id: default\n    storage: " +
         d +
         "\n    zonefile-sync: -1\n    journal-content: none\n"
         "zone:\n"
         "  - domain: " +
         kZone + "\n    file: " + d + "/" + kZone +
         ".zone\n    acl: update\n"
         "  - domain: " +
         kLockedZone + "\n    file: " + d + "/" + kLockedZone + ".zone\n";
}

std::string BindConfig(const std::filesystem::path& dir, int port) {
  const std::string d = dir.string();
  const auto key = [](const char* name, const char* algorithm, const char* secret) {
    return std::string("key \"") + name + "\" { algorithm " + algorithm + "; secret \"" + secret + "\"; };\n";
  };
  return "options {\n  directory \"" + d + "\";\n  listen-on port " + std::to_string(port) +
         " { 127.0.0.1; };\n  listen-on-v6 { none; };\n  pid-file none;\n  recursion no;\n"
         "  dnssec-validation no;\n  session-keyfile none;\n};\ncontrols { };\n" +
         key(kUpdateKeyName, "hmac-sha256", kUpdateKeySecret) +
         key(kStrongKeyName, "hmac-sha512", kStrongKeySecret) + "zone \"" + kZone +
         "\" { type primary; file \"" + d + "/" + kZone + ".zone\"; update-policy { grant " + kUpdateKeyName +
         " zonesub ANY; grant " + kStrongKeyName + " zonesub ANY; }; };\n" + "zone \"" + kLockedZone +
         "\" { type primary; file \"" + d + "/" + kLockedZone + ".zone\"; };\n";
}

// Runs a program with arguments and optional standard input; its standard output.
std::string Output(const std::vector<std::string>& argv, const std::string& input = {}) {
  std::string command;
  for (const std::string& arg : argv) command += "'" + arg + "' ";
  const std::string inputFile =
      std::filesystem::temp_directory_path() / ("zepa2-ns-" + std::to_string(getpid()));
  if (!input.empty()) {
    WriteFile(inputFile, input);
    command += "< '" + inputFile + "' ";
  }
  command += "2>&1";
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    std::array<char, 4096> buf{};
    for (std::size_t n; (n = fread(buf.data(), 1, buf.size(), pipe)) > 0;) out.append(buf.data(), n);
    pclose(pipe);
  }
  if (!input.empty()) std::filesystem::remove(inputFile);
  return out;
}

}  // namespace

LocalNameServer::LocalNameServer(NameServerKind kind) : kind_(kind) {
  port_ = UnusedLocalPort();
  for (const char* zone : {kZone, kLockedZone})
    WriteFile(dir_ / (std::string(zone) + ".zone"), ZoneFile(zone));
  const std::filesystem::path config = dir_ / "server.conf";
  WriteFile(config,
            kind == NameServerKind::Knot ? KnotConfig(dir_.path(), port_) : BindConfig(dir_.path(), port_));
  const std::string log = (dir_ / "server.log").string();
  std::vector<std::string> argv =
      kind == NameServerKind::Knot ? std::vector<std::string>{"/usr/sbin/knotd", "-c", config.string()}
                                   : std::vector<std::string>{"/usr/sbin/named", "-g", "-c", config.string()};
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    FILE* out = std::fopen(log.c_str(), "w");
    if (out) {
      dup2(fileno(out), STDOUT_FILENO);
      dup2(fileno(out), STDERR_FILENO);
    }
    std::vector<char*> cargv;
    for (auto& a : argv) cargv.push_back(a.data());
    cargv.push_back(nullptr);
    execv(cargv[0], cargv.data());
    _exit(127);
  }
  // Up once it answers for the zone, which takes well under a second; a server that does not start
  // within 20 s fails the test with its own words.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (Records(kZone, "SOA").empty()) {
    if (std::chrono::steady_clock::now() > deadline || waitpid(pid_, nullptr, WNOHANG) != 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
      pid_ = -1;
      throw std::runtime_error(std::string(name()) + " did not start: " + ReadFile(log));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

LocalNameServer::~LocalNameServer() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

std::string LocalNameServer::Records(const std::string& name, const std::string& type) const {
  const std::string out = Output({"kdig", "@127.0.0.1", "-p", std::to_string(port_), "+norecurse", "+noall",
                                  "+answer", "+timeout=1", "+retry=0", name, type});
  std::vector<std::string> lines;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) {
    // "name TTL IN TYPE data": the TTL and the data.
    std::istringstream fields(line);
    std::string owner, ttl, rclass, rtype, data, more;
    if (!(fields >> owner >> ttl >> rclass >> rtype) || rtype != type) continue;
    std::getline(fields >> std::ws, data);
    lines.push_back(ttl + " " + data);
  }
  std::sort(lines.begin(), lines.end());
  std::string all;
  for (const std::string& line : lines) all += line + "\n";
  return all;
}

void LocalNameServer::ChangeBehindBack(const std::string& updateLines) const {
  const std::string program = kind_ == NameServerKind::Knot ? "knsupdate" : "nsupdate";
  const std::string script =
      "server 127.0.0.1 " + std::to_string(port_) + "\nzone " + kZone + "\n" + updateLines + "\nsend\n";
  const std::string out =
      Output({program, "-y", std::string("hmac-sha256:") + kUpdateKeyName + ":" + kUpdateKeySecret}, script);
  if (out.find("ERROR") != std::string::npos || out.find("failed") != std::string::npos)
    throw std::runtime_error(program + ": " + out);
}

}  // namespace zepa2::test
