// One mail handed to an SMTP server through libcurl: STARTTLS or TLS from the start, verified or pinned.
#pragma once

#include <string>
#include <vector>

#include "core/net/outcome.h"
#include "core/net/server_address.h"
#include "core/net/transfer_limits.h"

namespace zepa2::net {

struct SmtpRequest {
  MailServer server;
  // smtp://: the connection must become TLS (STARTTLS) before anything else is sent, the log-in
  // included; false lets it go in clear.
  bool requireStartTls = true;
  std::string user;      // empty: no log-in
  std::string password;  // with a user
  // "sha256//…" of the server's key: the pin alone decides. Empty: the system's certificates and
  // the host name.
  std::string pin;
  std::string from;             // the envelope's sender, a plain address
  std::vector<std::string> to;  // the envelope's recipients, plain addresses
  TransferLimits limits;        // the stop request and the deadline of the whole session
};

// Sends message (a whole mail, CRLF line ends) to every recipient. Done when the server took it;
// else why not, with the key trouble when TLS refused the server.
Outcome SendMailMessage(const SmtpRequest& request, const std::string& message);

}  // namespace zepa2::net
