#include "core/outcome/dns_state_file.h"

#include "core/settings/private_file_write.h"
#include "core/sys/read_file.h"
#include "core/sys/xdg_paths.h"
#include "core/text/bounded_json.h"
#include "core/text/cp932.h"

namespace zepa2 {
namespace {

using Json = nlohmann::json;

std::string TextOf(const Json& object, const char* name) {
  const auto it = object.find(name);
  return it != object.end() && it->is_string() ? Utf8ToCp932(it->get<std::string>()) : std::string();
}

}  // namespace

std::filesystem::path DnsStateFilePath() { return XdgStateHome() / "ZEPA" / "dns-state"; }

DnsTargetStates ReadDnsState(const std::filesystem::path& file, std::string* refusal) {
  DnsTargetStates states{};
  const BoundedRead read = ReadBoundedFile(file, kMaxDnsStateBytes);
  if (read.kind == BoundedRead::Kind::Refused && refusal) *refusal = file.string() + ": " + read.reason;
  if (!read.read()) return states;
  const Json stored = ParseBoundedJson(read.bytes).value_or(Json());
  const auto targets = stored.is_object() ? stored.find("targets") : Json::const_iterator();
  if (!stored.is_object() || targets == stored.end() || !targets->is_array()) return states;
  for (const Json& target : *targets) {
    if (!target.is_object()) continue;
    const auto number = target.find("number");
    if (number == target.end() || !number->is_number_integer()) continue;
    const long n = number->get<long>();
    if (n < 1 || n > kDnsSlots) continue;
    DnsTargetState& state = states[static_cast<std::size_t>(n - 1)];
    state.settingsStamp = TextOf(target, "settings");
    state.address = TextOf(target, "address");
    state.ipv6Address = TextOf(target, "ipv6_address");
    state.stopCode = TextOf(target, "stop_code");
    state.secretStamp = TextOf(target, "secret");
    const auto hold = target.find("hold_until");
    if (hold != target.end() && hold->is_number_integer()) state.holdUntil = hold->get<std::time_t>();
  }
  return states;
}

FileWriteResult WriteDnsState(const std::filesystem::path& file, const DnsTargetStates& states) {
  Json targets = Json::array();
  for (int n = 1; n <= kDnsSlots; ++n) {
    const DnsTargetState& state = states[static_cast<std::size_t>(n - 1)];
    if (state == DnsTargetState{}) continue;
    Json target = {{"number", n},
                   {"settings", state.settingsStamp},
                   {"address", Cp932ToUtf8(state.address)},
                   {"ipv6_address", Cp932ToUtf8(state.ipv6Address)},
                   {"stop_code", state.stopCode},
                   {"hold_until", state.holdUntil}};
    if (!state.secretStamp.empty()) target["secret"] = state.secretStamp;
    targets.push_back(std::move(target));
  }
  const Json file_text = {{"targets", targets}};
  const std::string text = file_text.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
  const PrivateWriteResult r = WritePrivateFileIfChanged(file, text);
  return FileWriteResult::Of(file, r);
}

}  // namespace zepa2
