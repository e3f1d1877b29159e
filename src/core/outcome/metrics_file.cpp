#include "core/outcome/metrics_file.h"

#include <charconv>
#include <sstream>
#include <vector>

#include "core/check/check_report_text.h"
#include "core/settings/private_file_write.h"
#include "core/sys/read_file.h"
#include "core/text/cp932.h"

namespace zepa2 {
namespace {

constexpr std::string_view kLastSuccess = "zepa2_site_last_success_timestamp_seconds";
constexpr std::string_view kLastResult = "zepa2_site_last_result";
constexpr std::string_view kResultInfo = "zepa2_site_result_info";

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

}  // namespace

SiteMetricsByNumber ReadSiteMetrics(std::string_view text) {
  SiteMetricsByNumber sites;
  std::istringstream lines{std::string(text)};
  for (std::string line; std::getline(lines, line);) {
    const std::optional<Sample> sample = ParseSample(line);
    if (!sample || !sample->labels.contains("site")) continue;
    const std::optional<std::int64_t> number = Number(sample->labels.at("site"));
    const std::optional<std::int64_t> value = Number(sample->value);
    if (!number || *number < 1 || *number > kSiteSlots || !value) continue;
    SiteMetrics& site = sites[static_cast<int>(*number)];
    site.server = sample->labels.contains("server") ? sample->labels.at("server") : "";
    if (sample->name == kLastSuccess) site.lastSuccess = *value;
    else if (sample->name == kLastResult) site.lastResult = static_cast<int>(*value != 0);
    else if (sample->name == kResultInfo && sample->labels.contains("result")) site.result = sample->labels.at("result");
  }
  return sites;
}

std::string MetricsText(const CheckReport& report, const AppSettings& settings, const SiteMetricsByNumber& before) {
  MetricsWriter out;
  out.Family("zepa2_last_check_timestamp_seconds", "When the last address check started, in seconds since the epoch.");
  out.Sample("zepa2_last_check_timestamp_seconds", {}, static_cast<std::int64_t>(report.checkedAt));
  out.Family("zepa2_last_check_info", "How the last check ended (outcome as in last-run.json); always 1.");
  out.Sample("zepa2_last_check_info", {{"outcome", std::string(CheckOutcomeName(report.outcome))}}, 1);
  const bool found = report.outcome != CheckOutcome::AddressNotFound;
  out.Family("zepa2_address_found", "1 when the last check found an address, 0 when it did not.");
  out.Sample("zepa2_address_found", {}, found ? 1 : 0);
  out.Family("zepa2_address_info", "The address the last check found, in its labels; always 1.");
  if (found) {
    out.Sample("zepa2_address_info",
               {{"address", Cp932ToUtf8(report.address)}, {"ipv6_address", Cp932ToUtf8(report.state.lastIpv6Address)}},
               1);
  }

  const SiteMetricsByNumber sites = SitesAfter(report, settings, before);
  const auto labels = [](int number, const SiteMetrics& site) {
    return std::vector<std::pair<std::string, std::string>>{{"site", std::to_string(number)}, {"server", site.server}};
  };
  out.Family(kLastSuccess, "When the site last took the page, in seconds since the epoch.");
  for (const auto& [number, site] : sites)
    if (site.lastSuccess) out.Sample(kLastSuccess, labels(number, site), *site.lastSuccess);
  out.Family(kLastResult, "1 when the site took the page at its last publish, 0 when it did not.");
  for (const auto& [number, site] : sites)
    if (site.lastResult) out.Sample(kLastResult, labels(number, site), *site.lastResult);
  out.Family(kResultInfo, "The kind of the site's last result (as in last-run.json), in its labels; always 1.");
  for (const auto& [number, site] : sites) {
    if (!site.lastResult || site.result.empty()) continue;
    auto withResult = labels(number, site);
    withResult.emplace_back("result", site.result);
    out.Sample(kResultInfo, withResult, 1);
  }
  return out.Take();
}

std::string WriteMetricsFile(const std::filesystem::path& file, const CheckReport& report, const AppSettings& settings) {
  const BoundedRead old = ReadBoundedFile(file, kMaxMetricsFileBytes);
  const SiteMetricsByNumber before = old.read() ? ReadSiteMetrics(old.bytes) : SiteMetricsByNumber{};
  const PrivateWriteResult written = WriteSharedFileAtomically(file, MetricsText(report, settings, before));
  return written.ok() ? std::string() : DescribePrivateWriteFailure(file, written);
}

}  // namespace zepa2
