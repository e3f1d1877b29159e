// The last run for monitoring: a Prometheus text file that node-exporter's textfile collector reads
// ([SYSTEM] MetricsFile), written by both programs after each run.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "core/settings/private_file_write.h"
#include "core/run/check_report.h"
#include "core/settings/app_settings.h"

namespace zepa2 {

// What a site's or a DNS target's series said in the file before this run: carried over for one
// this run did not serve, and its last success kept until it succeeds again.
struct SiteMetrics {
  std::string server;  // UTF-8, as in the label (a DNS target's host names)
  std::optional<std::int64_t> lastSuccess;
  std::optional<int> lastResult;  // 1 the page went up, 0 it did not
  std::string result;             // the kind's name, as in last-run.json
};
using SiteMetricsByNumber = std::map<int, SiteMetrics>;

struct MetricsBefore {
  SiteMetricsByNumber sites;
  SiteMetricsByNumber targets;  // the DNS targets, by number
};

// The site and DNS target series of a file this program wrote; anything it cannot read is left out.
MetricsBefore ReadMetricsBefore(std::string_view text);

// The file's text for the run made with settings, given the series before it.
std::string MetricsText(const CheckReport& report, const AppSettings& settings, const MetricsBefore& before);

// Reads the old file (bounded), writes the new one beside it and renames it over the old: mode
// 0644, since the exporter runs as another user, and a temporary name that is no *.prom, which
// the collector would read half-written. "" on success, otherwise "<file>: <reason>".
FileWriteResult WriteMetricsFile(const std::filesystem::path& file, const CheckReport& report,
                                 const AppSettings& settings);

// The most a metrics file of ours can hold; a larger one is not ours and is not read.
inline constexpr std::size_t kMaxMetricsFileBytes = 1u << 20;

}  // namespace zepa2
