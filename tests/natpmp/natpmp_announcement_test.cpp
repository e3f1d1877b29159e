// A NAT-PMP gateway's announcement of a new public address, and a forged one from another host.
#include <gtest/gtest.h>
#include <poll.h>

#include <thread>

#include "core/source/change_listeners.h"
#include "core/source/natpmp_announcements.h"
#include "support/fixture_process.h"

namespace zepa2 {
namespace {

using namespace std::chrono_literals;

// The announcements that came within `limit`, gathered as the gateway repeats itself.
std::vector<std::string> Gather(NatPmpAnnouncements& listener, const std::string& gateway, std::size_t wanted) {
  std::vector<std::string> got;
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (got.size() < wanted && std::chrono::steady_clock::now() < deadline) {
    pollfd ready{listener.descriptor(), POLLIN, 0};
    poll(&ready, 1, 100);
    for (std::string& address : listener.Take(gateway)) got.push_back(std::move(address));
  }
  return got;
}

TEST(NatPmpAnnouncementTest, OnlyTheGatewaysWordIsTaken) {
  std::string reason;
  auto listener = NatPmpAnnouncements::Open(reason);
  ASSERT_TRUE(listener) << reason;
  test::FixtureProcess gateway("natpmp_server.py", {"announce", "203.0.113.78", "127.0.0.2"});
  const std::vector<std::string> got = Gather(*listener, "127.0.0.1", 3);
  EXPECT_EQ(got, (std::vector<std::string>{"203.0.113.78", "203.0.113.78", "203.0.113.78"}))
      << "the forged 198.51.100.9 from 127.0.0.2 is dropped";
}

TEST(NatPmpAnnouncementTest, ANewAddressAsksForOneCheckAndTheKnownOneForNone) {
  struct Case {
    const char* published;
    bool change;
  };
  for (const Case& c : {Case{"203.0.113.77", true}, Case{"203.0.113.78", false}, Case{"3405803854", false}}) {
    ChangeListeners listeners(ListenerPlan{.natPmp = true, .natPmpGateway = "127.0.0.1"});
    ASSERT_TRUE(listeners.openingNotes().empty()) << listeners.openingNotes().front();
    ASSERT_EQ(listeners.descriptors().size(), 1u);
    test::FixtureProcess gateway("natpmp_server.py", {"announce", "203.0.113.78", "127.0.0.2"});
    int changes = 0;
    const auto deadline = std::chrono::steady_clock::now() + 2500ms;  // past the third copy
    while (std::chrono::steady_clock::now() < deadline) {
      pollfd ready{listeners.descriptors().front(), POLLIN, 0};
      poll(&ready, 1, 100);
      if (listeners.Take(std::chrono::steady_clock::now(), c.published).change) ++changes;
    }
    EXPECT_EQ(changes, c.change ? 1 : 0) << "published " << c.published << "; the copies ask for nothing more";
  }
}

}  // namespace
}  // namespace zepa2
