// The kernel's word on this machine's addresses and routes, in a network namespace of the test's own.
#include "core/sys/network_watch.h"

#include <gtest/gtest.h>
#include <poll.h>

#include "support/network_namespace.h"

namespace zepa2 {
namespace {

class NetworkWatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!namespace_.problem().empty()) GTEST_SKIP() << namespace_.problem();
    // What is there before the watch opens is its starting point, not a change.
    for (const char* command : {"link add zepa0 type veth peer name zepa1", "link set zepa1 up",
                                "link set zepa0 up",
                                "addr add 10.200.0.1/24 dev zepa0", "route add default dev zepa0"}) {
      ASSERT_EQ(test::Ip(command), "") << command;
    }
    std::string reason;
    watch_ = NetworkWatch::Open(reason);
    ASSERT_TRUE(watch_) << reason;
  }

  // The kernel tells its listeners before `ip` returns; the short wait only keeps a slow machine fair.
  bool Changed() {
    pollfd ready{watch_->descriptor(), POLLIN, 0};
    poll(&ready, 1, 200);
    return watch_->TakeChanges();
  }

  test::ScopedNetworkNamespace namespace_;
  std::unique_ptr<NetworkWatch> watch_;
};

TEST_F(NetworkWatchTest, OnlyNewAddressesAndDefaultRoutesAreChanges) {
  struct Case {
    const char* command;
    bool change;
  };
  const Case cases[] = {
      {"addr replace 10.200.0.1/24 dev zepa0", false},  // the kernel says it again; nothing new
      {"route replace default dev zepa0", false},
      {"route add 10.9.0.0/16 dev zepa0", false},           // not a way out
      {"addr add 127.0.0.2/8 dev lo", false},                // host scope
      {"addr add fe80::1234/64 dev zepa0 nodad", false},    // link scope
      {"addr add 10.200.0.2/24 dev zepa0", true},
      {"addr add 2001:db8::5/64 dev zepa0 nodad", true},
      {"route add default via 2001:db8::1 dev zepa0", true},
      {"route add default dev zepa0 metric 50", true},      // another way out
      {"addr del 10.200.0.2/24 dev zepa0", true},
      {"route del default dev zepa0 metric 50", true},
      {"route del default via 2001:db8::1 dev zepa0", true},
      {"addr add 2001:db8::6/64 dev zepa0", false},         // tentative until its duplicate check passes
  };
  for (const Case& c : cases) {
    ASSERT_EQ(test::Ip(c.command), "") << c.command;
    EXPECT_EQ(Changed(), c.change) << c.command;
  }
}

TEST(NetworkFactsTest, AFactAboutNothingKnownIsNoChangeAndTruncatedMessagesAreNoFacts) {
  KnownNetwork known;
  EXPECT_FALSE(known.Apply({NetworkFact::Kind::AddressRemoved, "address 2 10.0.0.1/24"}));
  EXPECT_TRUE(known.Apply({NetworkFact::Kind::AddressAdded, "address 2 10.0.0.1/24"}));
  EXPECT_FALSE(known.Apply({NetworkFact::Kind::AddressAdded, "address 2 10.0.0.1/24"}));
  EXPECT_TRUE(known.Apply({NetworkFact::Kind::Overrun, {}}));

  EXPECT_TRUE(ReadNetworkFacts("").empty());
  EXPECT_TRUE(ReadNetworkFacts(std::string(7, '\xff')).empty());
}

}  // namespace
}  // namespace zepa2
