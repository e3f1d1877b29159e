// A 127.0.0.1 port on which nothing listens, for tests of refused connections.
#pragma once

namespace zepa2::test {

// Binds an ephemeral port and closes it again; nothing listens there right after.
int UnusedLocalPort();

}  // namespace zepa2::test
