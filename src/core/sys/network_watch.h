// This machine's addresses and default routes, as the kernel announces their changes (rtnetlink).
#pragma once

#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace zepa2 {

// One thing a netlink message says about this machine's way out.
struct NetworkFact {
  enum class Kind { AddressAdded, AddressRemoved, DefaultRouteAdded, DefaultRouteRemoved, DumpDone, Overrun };
  Kind kind;
  std::string key;  // what the fact is about (family, interface, address or route); empty for DumpDone
};

// The facts in a buffer of rtnetlink messages. Addresses that only this machine or its link can
// use (loopback, IPv6 link-local), tentative and duplicate addresses, and routes other than the
// main table's unicast default routes are left out: they change nothing anyone outside sees.
std::vector<NetworkFact> ReadNetworkFacts(std::string_view messages);

// The addresses and default routes known so far. The kernel repeats itself (an IPv6 router's
// advertisement renews every address it gave, a replaced address is announced again), so only a
// fact that changes what is known is a change.
class KnownNetwork {
 public:
  // True when the fact added or removed something.
  bool Apply(const NetworkFact& fact);

 private:
  std::set<std::string> known_;
};

// A netlink socket that listens for the changes, and the addresses and routes already there.
class NetworkWatch {
 public:
  // Nothing, with the reason, when the kernel gives no netlink socket (a sandbox without it).
  static std::unique_ptr<NetworkWatch> Open(std::string& reason);
  ~NetworkWatch();
  NetworkWatch(const NetworkWatch&) = delete;
  NetworkWatch& operator=(const NetworkWatch&) = delete;

  // Readable when the kernel has something to say.
  int descriptor() const { return fd_; }
  // Reads everything waiting without blocking; true when an address or a default route changed
  // (or the kernel dropped messages, which may have been changes).
  bool TakeChanges();

 private:
  explicit NetworkWatch(int fd) : fd_(fd) {}
  // Asks for the present addresses and routes and learns them without calling them changes.
  void LearnPresentState();

  int fd_;
  KnownNetwork known_;
};

}  // namespace zepa2
