// What one address check did, as values: the outcome, the address and each site's result with the
// network library's own reason. The log is written beside it and never read back.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include <chrono>
#include <ctime>

#include "core/run/run_request.h"
#include "core/run/dns_report.h"
#include "core/net/outcome.h"
#include "core/net/address_range.h"

namespace zepa2 {

// How a run ended.
enum class CheckOutcome {
  AddressNotFound,  // no address: fetch, markers, local address or decimal form failed
  Found,            // an address, but nothing went online: a test run, or a run stopped before publishing
  Unchanged,        // same address as last time, not forced and no site owed a page: nothing published
  Published,        // every site handled took the page
  PartlyPublished,  // some sites took the page, others failed
  PublishFailed,    // no site took the page
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

// Whether the site's public page was seen carrying the address after the upload.
enum class ProofKind {
  NotChecked,    // no check address set, or the upload did not succeed
  Confirmed,     // the page fetched from the check address holds the address
  NotConfirmed,  // it does not, or it could not be fetched: proofReason says which
};

struct SiteReport {
  int number = 0;      // 1..5
  std::string server;  // CP932, as in the settings
  SiteResultKind kind = SiteResultKind::ConnectFailed;
  std::string reason;  // the network library's text for a failed transfer, else empty (ASCII/UTF-8)
  net::KeyTrouble key = net::KeyTrouble::None;  // a server refused for its key, before any password went
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
  // This machine's global IPv6 address, looked up only when a page in use carries its token or a
  // DNS target keeps AAAA records; its network ("2001:db8:1:2::/64") beside it.
  std::string ipv6Address;
  std::string ipv6Prefix;
  // The state the run left, to be handed to the next one (the same as it started from when
  // nothing was published), and the address published before it.
  RunState state;
  std::string previousAddress;  // CP932
  std::time_t checkedAt = 0;    // when the run started, local clock of the host
  std::string routerPageText;   // CP932: the router page the run fetched; empty when none
  // The wait a target asked for before it is tried again (a provider's own "try later"); zero
  // when none did.
  std::chrono::seconds holdOff{};
  // The address as found, before any decimal form: what a DNS record holds.
  std::string dottedAddress;                // CP932
  std::vector<DnsTargetReport> dnsTargets;  // the DNS targets in use, in order
};

// The site kind a transfer's outcome makes.
SiteResultKind SiteResultOf(net::OutcomeKind kind);

// A site that took (or showed) the page; every other kind leaves the site owing one.
inline bool SiteSucceeded(SiteResultKind kind) {
  return kind == SiteResultKind::Done || kind == SiteResultKind::Shown;
}

// Whether a run left work to try again soon: it found no address, a site is still owed the page,
// or a DNS target its update (a held one after its hold; a stopped one waits for new settings).
inline bool LeftWorkOwed(const CheckReport& report) {
  const bool targetOwed =
      std::any_of(report.dnsTargets.begin(), report.dnsTargets.end(), [](const DnsTargetReport& t) {
        return t.result == DnsResultKind::Failed || t.result == DnsResultKind::Held;
      });
  return report.outcome == CheckOutcome::AddressNotFound || report.outcome == CheckOutcome::PartlyPublished ||
         report.outcome == CheckOutcome::PublishFailed || !report.state.owedSites.empty() || targetOwed;
}

}  // namespace zepa2
