// What a network step came to: one vocabulary from a transfer up to the report and the dialogs.
#pragma once

#include <string>

namespace zepa2::net {

// Why a server was not trusted, when it was not.
enum class KeyTrouble {
  None,
  Unverified,  // no pin and the key could not be verified (TLS: not in the store; SFTP: always)
  Changed,     // a pin is set and the server showed another key
};

enum class OutcomeKind {
  Done,             // the server took the command or the file
  TransferRefused,  // logged in, but the transfer (or the local file) failed
  ConnectFailed,    // bad server text, name not resolved, no connection, or log-in refused
  TimedOut,         // the server stopped answering, or the step's deadline passed
  Cancelled,        // the run was asked to stop
};

// A step's result with the network library's own words for a failure (empty when it went well).
struct Outcome {
  OutcomeKind kind = OutcomeKind::ConnectFailed;
  std::string reason;
  bool loggedIn = false;              // whether the server had taken the log-in when the step failed
  KeyTrouble key = KeyTrouble::None;  // a server refused for its key, before any password went

  bool done() const { return kind == OutcomeKind::Done; }
};

}  // namespace zepa2::net
