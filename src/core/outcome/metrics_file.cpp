#include "core/outcome/metrics_file.h"

#include <charconv>
#include <sstream>
#include <vector>

#include "core/run/check_report_text.h"
#include "core/settings/private_file_write.h"
#include "core/sys/read_file.h"
#include "core/text/cp932.h"

namespace zepa2 {
namespace {

// One kind of series, with the label that numbers it and the one that says where it goes: the
// sites (site, server) and the DNS targets (target, hosts).
struct SeriesNames {
  std::string_view lastSuccess, lastSuccessHelp;
  std::string_view lastResult, lastResultHelp;
  std::string_view resultInfo, resultInfoHelp;
  std::string_view numberLabel, whereLabel;
};

constexpr SeriesNames kSiteSeries{
    "zepa2_site_last_success_timestamp_seconds",
    "When the site last took the page, in seconds since the epoch.",
    "zepa2_site_last_result",
    "1 when the site took the page at its last publish, 0 when it did not.",
    "zepa2_site_result_info",
    "The kind of the site's last result (as in last-run.json), in its labels; always 1.",
    "site",
    "server"};

constexpr SeriesNames kDnsSeries{
    "zepa2_dns_last_success_timestamp_seconds",
    "When the DNS target's provider last took or confirmed the address, in seconds since the epoch.",
    "zepa2_dns_last_result",
    "1 when the DNS target holds the address after its last check, 0 when it does not.",
    "zepa2_dns_result_info",
    "The kind of the DNS target's last result (as in last-run.json), in its labels; always 1.",
    "target",
    "hosts"};

// A label value as the text format wants it: backslash, double quote and line feed escaped.
std::string LabelValue(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\\') out += "\\\\";
    else if (c == '"') out += "\\\"";
    else if (c == '\n') out += "\\n";
    else out += c;
  }
  return out;
}

struct Sample {
  std::string name;
  std::map<std::string, std::string> labels;
  std::string value;
};

// One sample line of the text format; nothing for a comment or a line it cannot read.
std::optional<Sample> ParseSample(std::string_view line) {
  Sample sample;
  const std::size_t open = line.find('{');
  if (open == std::string_view::npos || line.empty() || line[0] == '#') return std::nullopt;
  sample.name = line.substr(0, open);
  std::size_t at = open + 1;
  while (at < line.size() && line[at] != '}') {
    const std::size_t equals = line.find("=\"", at);
    if (equals == std::string_view::npos) return std::nullopt;
    const std::string key(line.substr(at, equals - at));
    std::string value;
    at = equals + 2;
    for (; at < line.size() && line[at] != '"'; ++at) {
      if (line[at] == '\\' && at + 1 < line.size()) {
        ++at;
        value += line[at] == 'n' ? '\n' : line[at];
      } else {
        value += line[at];
      }
    }
    if (at >= line.size()) return std::nullopt;
    sample.labels[key] = std::move(value);
    ++at;  // the closing quote
    if (at < line.size() && line[at] == ',') ++at;
  }
  if (at >= line.size() || line.substr(at, 2) != "} ") return std::nullopt;
  sample.value = line.substr(at + 2);
  return sample;
}

std::optional<std::int64_t> Number(const std::string& text) {
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

class MetricsWriter {
 public:
  void Family(std::string_view name, std::string_view help) {
    ((((text_ += "# HELP ") += name) += ' ') += help) += '\n';
    ((text_ += "# TYPE ") += name) += " gauge\n";
  }

  void Sample(std::string_view name, const std::vector<std::pair<std::string, std::string>>& labels,
              std::int64_t value) {
    text_ += name;
    if (!labels.empty()) {
      text_ += '{';
      for (std::size_t i = 0; i < labels.size(); ++i)
        ((((text_ += i ? "," : "") += labels[i].first) += "=\"") += LabelValue(labels[i].second)) += '"';
      text_ += '}';
    }
    ((text_ += ' ') += std::to_string(value)) += '\n';
  }

  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
};

// The sites' series after the run: a site the run served has its new result, the others keep
// what the file said, as long as the site still names the same server.
SiteMetricsByNumber SitesAfter(const CheckReport& report, const AppSettings& settings,
                               const SiteMetricsByNumber& before) {
  SiteMetricsByNumber after;
  for (int n = 1; n <= SitesToPublish(settings.siteCount); ++n) {
    const std::string server = Cp932ToUtf8(settings.sites[static_cast<std::size_t>(n - 1)].server);
    const auto old = before.find(n);
    SiteMetrics site;
    if (old != before.end() && old->second.server == server) site = old->second;
    site.server = server;
    for (const SiteReport& served : report.sites) {
      // A test run shows pages and publishes nothing: it says nothing about the site.
      if (served.number != n || served.kind == SiteResultKind::Shown) continue;
      const bool done = served.kind == SiteResultKind::Done;
      site.lastResult = done ? 1 : 0;
      site.result = SiteResultName(served.kind);
      if (done) site.lastSuccess = static_cast<std::int64_t>(report.checkedAt);
    }
    if (site.lastResult || site.lastSuccess) after[n] = std::move(site);
  }
  return after;
}

// The DNS targets' series after the run, carried over as the sites' are while a target keeps its
// names. A target left untouched (its provider took this address before) keeps its last success.
SiteMetricsByNumber TargetsAfter(const CheckReport& report, const SiteMetricsByNumber& before) {
  SiteMetricsByNumber after;
  for (const DnsTargetReport& target : report.dnsTargets) {
    const std::string hosts = Cp932ToUtf8(target.hosts);
    const auto old = before.find(target.number);
    SiteMetrics one;
    if (old != before.end() && old->second.server == hosts) one = old->second;
    one.server = hosts;
    if (target.result != DnsResultKind::Cancelled) {
      one.lastResult = DnsTargetFailed(target.result) ? 0 : 1;
      one.result = DnsResultName(target.result);
      if (target.result == DnsResultKind::Updated || target.result == DnsResultKind::AlreadyHeld)
        one.lastSuccess = static_cast<std::int64_t>(report.checkedAt);
    }
    if (one.lastResult || one.lastSuccess) after[target.number] = std::move(one);
  }
  return after;
}

}  // namespace

namespace {

SiteMetricsByNumber ReadSeries(std::string_view text, const SeriesNames& names) {
  SiteMetricsByNumber series;
  std::istringstream lines{std::string(text)};
  const std::string numberLabel(names.numberLabel), whereLabel(names.whereLabel);
  for (std::string line; std::getline(lines, line);) {
    const std::optional<Sample> sample = ParseSample(line);
    if (!sample || !sample->labels.contains(numberLabel)) continue;
    const std::optional<std::int64_t> number = Number(sample->labels.at(numberLabel));
    const std::optional<std::int64_t> value = Number(sample->value);
    if (!number || *number < 1 || *number > kSiteSlots || !value) continue;
    if (sample->name != names.lastSuccess && sample->name != names.lastResult &&
        sample->name != names.resultInfo)
      continue;
    SiteMetrics& one = series[static_cast<int>(*number)];
    one.server = sample->labels.contains(whereLabel) ? sample->labels.at(whereLabel) : "";
    if (sample->name == names.lastSuccess) one.lastSuccess = *value;
    else if (sample->name == names.lastResult) one.lastResult = static_cast<int>(*value != 0);
    else if (sample->labels.contains("result")) one.result = sample->labels.at("result");
  }
  return series;
}

void WriteSeries(MetricsWriter& out, const SeriesNames& names, const SiteMetricsByNumber& series) {
  const auto labels = [&names](int number, const SiteMetrics& one) {
    return std::vector<std::pair<std::string, std::string>>{
        {std::string(names.numberLabel), std::to_string(number)},
        {std::string(names.whereLabel), one.server}};
  };
  out.Family(names.lastSuccess, names.lastSuccessHelp);
  for (const auto& [number, one] : series)
    if (one.lastSuccess) out.Sample(names.lastSuccess, labels(number, one), *one.lastSuccess);
  out.Family(names.lastResult, names.lastResultHelp);
  for (const auto& [number, one] : series)
    if (one.lastResult) out.Sample(names.lastResult, labels(number, one), *one.lastResult);
  out.Family(names.resultInfo, names.resultInfoHelp);
  for (const auto& [number, one] : series) {
    if (!one.lastResult || one.result.empty()) continue;
    auto withResult = labels(number, one);
    withResult.emplace_back("result", one.result);
    out.Sample(names.resultInfo, withResult, 1);
  }
}

}  // namespace

MetricsBefore ReadMetricsBefore(std::string_view text) {
  return {ReadSeries(text, kSiteSeries), ReadSeries(text, kDnsSeries)};
}

std::string MetricsText(const CheckReport& report, const AppSettings& settings, const MetricsBefore& before) {
  MetricsWriter out;
  out.Family("zepa2_last_check_timestamp_seconds",
             "When the last address check started, in seconds since the epoch.");
  out.Sample("zepa2_last_check_timestamp_seconds", {}, static_cast<std::int64_t>(report.checkedAt));
  out.Family("zepa2_last_check_info", "How the last check ended (outcome as in last-run.json); always 1.");
  out.Sample("zepa2_last_check_info", {{"outcome", std::string(CheckOutcomeName(report.outcome))}}, 1);
  const bool found = report.outcome != CheckOutcome::AddressNotFound;
  out.Family("zepa2_address_found", "1 when the last check found an address, 0 when it did not.");
  out.Sample("zepa2_address_found", {}, found ? 1 : 0);
  out.Family("zepa2_address_info", "The address the last check found, in its labels; always 1.");
  if (found) {
    out.Sample("zepa2_address_info",
               {{"address", Cp932ToUtf8(report.address)},
                {"ipv6_address", Cp932ToUtf8(report.state.lastIpv6Address)}},
               1);
  }

  WriteSeries(out, kSiteSeries, SitesAfter(report, settings, before.sites));
  WriteSeries(out, kDnsSeries, TargetsAfter(report, before.targets));
  return out.Take();
}

FileWriteResult WriteMetricsFile(const std::filesystem::path& file, const CheckReport& report,
                                 const AppSettings& settings) {
  const BoundedRead old = ReadBoundedFile(file, kMaxMetricsFileBytes);
  const MetricsBefore before = old.read() ? ReadMetricsBefore(old.bytes) : MetricsBefore{};
  const PrivateWriteResult written = WriteSharedFileAtomically(file, MetricsText(report, settings, before));
  return FileWriteResult::Of(file, written);
}

}  // namespace zepa2
