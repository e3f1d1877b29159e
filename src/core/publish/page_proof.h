// Proof that a site's public page shows the address just uploaded: fetch its check address, look.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/run/check_report.h"
#include "core/sys/stop_token.h"

namespace zepa2 {

struct PageProofOptions {
  std::chrono::milliseconds connectTimeout{10'000};  // as the router fetch
  std::chrono::milliseconds totalTimeout{30'000};
  std::size_t maxBodyBytes = 16u << 20;
  const StopToken* stop = nullptr;  // a stop aborts the fetch within a second
};

struct PageProof {
  ProofKind kind = ProofKind::NotConfirmed;
  std::string reason;    // NotConfirmed: why, UTF-8
  std::string detail{};  // the network library's own words (English) for a page not fetched; for the log
};

// The check address with a query no cache has seen (`zepa2-nocache=<token>`, appended to any
// query it has); without a scheme it is an http:// address. Empty when it is not an http:// or
// https:// URL.
std::string CacheDefeatingUrl(const std::string& url, std::uint64_t token);

// Whether the address stands in the page by itself: not as part of a longer number
// (10.0.0.1 is not in 10.0.0.12 nor in 110.0.0.1).
bool PageShowsAddress(const std::string& page, const std::string& address);

// Fetches checkUrl (CP932, http:// or https://, up to five redirects) past every cache and looks
// for the address (CP932) in the body.
PageProof ProvePagePublished(const std::string& checkUrl, const std::string& address,
                             const PageProofOptions& options = {});

// The reason, then the network's words when there are any: for the log and the status file.
std::string FullProofReason(const PageProof& proof);

// The log line for a proof of site `number`, CP932: confirmed, or not with the full reason. A box
// (withDetail false) gives the Japanese reason alone.
std::string DescribePageProof(int number, const PageProof& proof, bool withDetail = true);

}  // namespace zepa2
