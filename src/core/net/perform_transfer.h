// Runs one libcurl transfer so that it never sleeps with work waiting and always hears a stop.
#pragma once

#include <curl/curl.h>

#include "core/net/transfer_limits.h"

namespace zepa2::net {

// Performs the transfer set up on handle, like curl_easy_perform, but through the multi handle
// MakeEasyHandle paired with it, waking at least every few tens of milliseconds. libcurl's own
// perform waits up to a second when it has prepared a step without arming anything to wake it
// (a passive data connection whose EPSV answer was already read, a data channel's TLS handshake
// the server answers only after STOR): every such wait stalled an upload by a whole second. Each
// wake-up also reads the stop request and the deadline, so no phase — TLS and SSH handshakes
// included — outlasts a stop by more than one wake-up. A stop or a passed deadline ends the
// transfer with CURLE_ABORTED_BY_CALLBACK, as the progress callback would.
CURLcode PerformTransfer(CURL* handle, const TransferLimits& limits);

}  // namespace zepa2::net
