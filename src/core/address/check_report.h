// What one address check did, as values: the outcome, the address and each site's result with the
// network library's own reason. The log is written beside it and never read back.
#pragma once

#include <string>
#include <vector>

#include "core/address/address_range.h"

namespace zepa2 {

// How a run ended.
enum class CheckOutcome {
  AddressNotFound,   // no address: fetch, markers, local address or decimal form failed
  Found,             // an address, but nothing went online: a test run, or a run stopped before publishing
  Unchanged,         // same address as last time, not forced and no site owed a page: nothing published
  Published,         // every site handled took the page
  PartlyPublished,   // some sites took the page, others failed
  PublishFailed,     // no site took the page
};

// One site's part of a publish.
enum class SiteResultKind {
  Done,               // the page is on the site
  Shown,              // a test run showed the page instead of uploading it
  NotRegistered,      // the site has no server set up
  TemplateNotOpened,  // the template could not be read whole: nothing sent
  PageNotWritten,     // the page file could not be made: nothing sent
  ConnectFailed,      // no connection, or the log-in was refused
  TransferRefused,    // logged in, but the server refused the file
  TimedOut,           // the site's deadline passed
  Cancelled,          // the run was stopped (the program is ending)
};

// What one site's publish came to, before it is put in the report under the site's number.
struct SiteOutcome {
  SiteResultKind kind = SiteResultKind::ConnectFailed;
  std::string reason;  // the network library's text for a failure, else empty
};

// Whether the site's public page was seen carrying the address after the upload.
enum class ProofKind {
  NotChecked,    // no check address set, or the upload did not succeed
  Confirmed,     // the page fetched from the check address holds the address
  NotConfirmed,  // it does not, or it could not be fetched: proofReason says which
};

struct SiteReport {
  int number = 0;       // 1..5
  std::string server;   // CP932, as in the settings
  SiteResultKind kind = SiteResultKind::ConnectFailed;
  std::string reason;   // the network library's text for a failed transfer, else empty (ASCII/UTF-8)
  ProofKind proof = ProofKind::NotChecked;
  std::string proofReason;  // NotConfirmed: why, UTF-8
};

struct CheckReport {
  CheckOutcome outcome = CheckOutcome::AddressNotFound;
  std::string address;            // CP932; empty when none was found
  std::string reason;             // with AddressNotFound after a failed fetch: libcurl's words
  std::vector<SiteReport> sites;  // the sites this run handled, in order
  // Why the address asked of the router is not a public one (None when it is, and always on the
  // local-address path, where a private address is expected).
  NonPublicReason nonPublic = NonPublicReason::None;
  // This machine's global IPv6 address, looked up only when a page in use carries its token.
  std::string ipv6Address;
  // Whether the address differs from the one published last; a forced publish of the same address
  // is no news and is not told as a new one.
  bool addressChanged = true;
};

// A site that took (or showed) the page; every other kind leaves the site owing one.
inline bool SiteSucceeded(SiteResultKind kind) {
  return kind == SiteResultKind::Done || kind == SiteResultKind::Shown;
}

}  // namespace zepa2
