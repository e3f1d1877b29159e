#include "core/outcome/run_status_file.h"

#include "core/run/check_report_text.h"
#include "core/settings/private_file_write.h"
#include "core/sys/read_file.h"
#include "core/sys/xdg_paths.h"
#include "core/text/bounded_json.h"
#include "core/text/cp932.h"
#include "core/text/messages.h"

namespace zepa2 {

using Json = nlohmann::json;

std::string IsoTime(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  char buffer[40];
  const std::size_t n = std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%S%z", &local);
  std::string text(buffer, n);
  if (text.size() >= 5) text.insert(text.size() - 2, ":");
  return text;
}

namespace {

Json TextOrNull(const std::string& cp932) { return cp932.empty() ? Json() : Json(Cp932ToUtf8(cp932)); }

Json ProofValue(ProofKind proof) {
  if (proof == ProofKind::NotChecked) return Json();
  return proof == ProofKind::Confirmed;
}

bool PublishedSomething(CheckOutcome outcome) {
  return outcome == CheckOutcome::Published || outcome == CheckOutcome::PartlyPublished;
}

// A text field with tabs and line breaks made spaces, so that one value stays one cell.
std::string Field(const Json& object, const char* name) {
  const auto it = object.find(name);
  if (it == object.end() || !it->is_string()) return {};
  std::string text = it->get<std::string>();
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  return text;
}

// The Japanese words for the names the file holds; the name itself when it is unknown.
std::string OutcomeText(const std::string& name) {
  const std::pair<CheckOutcome, const char*> texts[] = {
      {CheckOutcome::AddressNotFound, msg::kAddressNotFound},
      {CheckOutcome::Found, msg::kAddressFound},
      {CheckOutcome::Unchanged, msg::kAddressUnchanged},
      {CheckOutcome::Published, msg::kHomePageUpdated},
      {CheckOutcome::PartlyPublished, msg::kHomePageUpdateFailed},
      {CheckOutcome::PublishFailed, msg::kHomePageUpdateFailed}};
  for (const auto& [outcome, text] : texts)
    if (CheckOutcomeName(outcome) == name) return text;
  return name;
}

std::string SiteResultTextOf(const std::string& name) {
  for (int k = 0; k <= static_cast<int>(SiteResultKind::Cancelled); ++k) {
    const auto kind = static_cast<SiteResultKind>(k);
    if (SiteResultName(kind) == name) return SiteResultText(kind);
  }
  return name;
}

std::string ProofText(const Json& site) {
  const auto it = site.find("confirmed");
  if (it == site.end() || !it->is_boolean()) return msg::kProofTextNotChecked;
  if (it->get<bool>()) return msg::kProofTextConfirmed;
  const std::string reason = Field(site, "confirm_reason");
  return std::string(msg::kProofTextNotConfirmed) + (reason.empty() ? "" : msg::kReasonFollows + reason);
}

std::string DnsResultTextOf(const std::string& name) {
  for (int k = 0; k <= static_cast<int>(DnsResultKind::Cancelled); ++k) {
    const auto kind = static_cast<DnsResultKind>(k);
    if (DnsResultName(kind) == name) return DnsResultText(kind);
  }
  return name;
}

// The DNS targets' rows, after a header; empty when the file has none.
std::string DnsRows(const Json& file) {
  const auto targets = file.find("dns");
  if (targets == file.end() || !targets->is_array() || targets->empty()) return {};
  std::string text = std::string(msg::kStatusDnsHeader) + "\n";
  for (const Json& target : *targets) {
    if (!target.is_object()) continue;
    const auto number = target.find("number");
    const std::string code = Field(target, "code");
    const std::string why = code.empty() ? Field(target, "reason") : code;
    text +=
        (number != target.end() && number->is_number_integer() ? std::to_string(number->get<int>()) : "?") +
        "\t" + Field(target, "kind") + "\t" + Field(target, "hosts") + "\t" +
        DnsResultTextOf(Field(target, "result")) + (why.empty() ? "" : msg::kReasonFollows + why) + "\n";
  }
  return text;
}

std::string ShownTime(const std::string& iso) {
  if (iso.empty()) return msg::kStatusNever;
  std::string shown = iso;
  if (shown.size() > 10 && shown[10] == 'T') shown[10] = ' ';
  return shown;
}

}  // namespace

std::filesystem::path RunStatusFilePath() { return XdgStateHome() / "ZEPA" / "last-run.json"; }

std::string_view TransferModeName(const FtpSite& site) {
  return site.unknownMode ? "unknown" : net::RowOf(site.mode).statusName;
}

Json RunSiteEntries(const CheckReport& report, const AppSettings& settings) {
  Json sites = Json::array();
  for (const SiteReport& site : report.sites) {
    const std::string_view mode = site.number >= 1 && site.number <= kSiteSlots
                                      ? TransferModeName(settings.sites[site.number - 1])
                                      : std::string_view("unknown");
    sites.push_back({{"number", site.number},
                     {"server", Cp932ToUtf8(site.server)},
                     {"mode", std::string(mode)},
                     {"result", SiteResultName(site.kind)},
                     {"reason", site.reason},
                     {"confirmed", ProofValue(site.proof)},
                     {"confirm_reason", site.proofReason}});
  }
  return sites;
}

Json RunDnsEntries(const CheckReport& report) {
  Json dns = Json::array();
  for (const DnsTargetReport& target : report.dnsTargets) {
    dns.push_back({{"number", target.number},
                   {"kind", std::string(DnsKindName(target.kind))},
                   {"hosts", Cp932ToUtf8(target.hosts)},
                   {"result", std::string(DnsResultName(target.result))},
                   {"code", target.code},
                   {"reason", target.reason}});
  }
  return dns;
}

std::string RunStatusJson(const CheckReport& report, const AppSettings& settings,
                          const std::optional<std::string>& lastPublishedAt) {
  Json published;
  if (PublishedSomething(report.outcome)) published = IsoTime(report.checkedAt);
  else if (lastPublishedAt) published = *lastPublishedAt;
  const Json file = {{"outcome", CheckOutcomeName(report.outcome)},
                     {"address", TextOrNull(report.address)},
                     {"ipv6_address", TextOrNull(report.state.lastIpv6Address)},
                     {"checked_at", IsoTime(report.checkedAt)},
                     {"last_published_at", published},
                     {"sites", RunSiteEntries(report, settings)},
                     {"dns", RunDnsEntries(report)}};
  // A reason text in another encoding must not make the whole file unwritable.
  return file.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

FileWriteResult WriteRunStatus(const std::filesystem::path& file, const CheckReport& report,
                               const AppSettings& settings) {
  std::optional<std::string> lastPublishedAt;
  if (const BoundedRead old = ReadRunStatusText(file); old.read()) {
    const Json previous = ParseBoundedJson(old.bytes).value_or(Json());
    if (previous.is_object()) {
      const std::string at = Field(previous, "last_published_at");
      if (!at.empty()) lastPublishedAt = at;
    }
  }
  const PrivateWriteResult r =
      WritePrivateFileAtomically(file, RunStatusJson(report, settings, lastPublishedAt));
  return FileWriteResult::Of(file, r);
}

BoundedRead ReadRunStatusText(const std::filesystem::path& file) {
  return ReadBoundedFile(file, kMaxRunStatusBytes);
}

std::optional<std::string> LastRunAddress(const std::filesystem::path& file) {
  const BoundedRead text = ReadRunStatusText(file);
  if (!text.read()) return std::nullopt;
  const Json run = ParseBoundedJson(text.bytes).value_or(Json());
  if (!run.is_object()) return std::nullopt;
  const auto address = run.find("address");
  if (address == run.end() || !address->is_string() || address->get<std::string>().empty())
    return std::nullopt;
  return Utf8ToCp932(address->get<std::string>());
}

std::optional<std::string> HumanRunStatus(const std::string& jsonText) {
  const Json file = ParseBoundedJson(jsonText).value_or(Json());
  if (!file.is_object() || !file.contains("outcome")) return std::nullopt;
  auto row = [](const char* label, const std::string& value) {
    return std::string(label) + "\t" + value + "\n";
  };
  const std::string address = Field(file, "address");
  const std::string ipv6 = Field(file, "ipv6_address");
  std::string text = row(msg::kStatusOutcome, OutcomeText(Field(file, "outcome"))) +
                     row(msg::kStatusAddress, address.empty() ? msg::kStatusNever : address) +
                     row(msg::kStatusIpv6Address, ipv6.empty() ? msg::kStatusNever : ipv6) +
                     row(msg::kStatusCheckedAt, ShownTime(Field(file, "checked_at"))) +
                     row(msg::kStatusPublishedAt, ShownTime(Field(file, "last_published_at")));
  const auto sites = file.find("sites");
  if (sites == file.end() || !sites->is_array() || sites->empty()) return text + DnsRows(file);
  text += std::string(msg::kStatusSiteHeader) + "\n";
  for (const Json& site : *sites) {
    if (!site.is_object()) continue;
    const auto number = site.find("number");
    const std::string reason = Field(site, "reason");
    text += (number != site.end() && number->is_number_integer() ? std::to_string(number->get<int>()) : "?") +
            "\t" + Field(site, "server") + "\t" + Field(site, "mode") + "\t" +
            SiteResultTextOf(Field(site, "result")) + (reason.empty() ? "" : msg::kReasonFollows + reason) +
            "\t" + ProofText(site) + "\n";
  }
  return text + DnsRows(file);
}

}  // namespace zepa2
