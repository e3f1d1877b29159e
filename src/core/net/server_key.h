// Server keys as pins ("sha256//" + base64 SHA-256), and learning the key a server presents.
#pragma once

#include <curl/curl.h>

#include <optional>
#include <string>
#include <string_view>

#include "core/net/transfer_limits.h"
#include "core/net/outcome.h"
#include "core/net/transfer_mode.h"

namespace zepa2::net {

inline constexpr std::string_view kPinPrefix = "sha256//";

// Whether text is a pin this program can use: the prefix and the base64 of 32 bytes.
bool IsPinText(std::string_view text);

// The pin of a certificate's public key (the SHA-256 of its SubjectPublicKeyInfo, as
// CURLOPT_PINNEDPUBLICKEY takes it), from the certificate in PEM; nothing when it cannot be read.
std::optional<std::string> PinOfCertificatePem(const std::string& pem);

// The pin of an SSH host key blob (as CURLOPT_SSH_HOST_PUBLIC_KEY_SHA256 takes it, with the prefix).
std::string PinOfHostKey(std::string_view keyBlob);

// Sets up TLS on handle for a site: with a pin, the pin alone decides (a self-signed certificate
// or another host name is fine); without one, libcurl verifies the chain against the system store
// and the host name.
void PinTlsKey(CURL* handle, const std::string& pin);

// Sorts a failed connection's code into a trust failure, given whether a pin was set.
KeyTrouble KeyTroubleOf(CURLcode code, bool pinned);

// What connecting to learn a key came to: the pin, or libcurl's words for why there is none.
struct PresentedKey {
  std::optional<std::string> pin;
  std::string reason;
};

// Connects to url ("scheme://host:port/", the scheme of a transfer mode's row or "https") and gives
// the key of the kind the server presents, without verifying it: the TLS certificate's public key
// (after AUTH TLS for ftp://) or the SSH host key. Only the url's own scheme is spoken. The
// connection ends right after the handshake: no user name or password is ever sent.
PresentedKey LearnServerKey(const std::string& url, PinnedKeyKind kind, TransferLimits limits = {});

}  // namespace zepa2::net
