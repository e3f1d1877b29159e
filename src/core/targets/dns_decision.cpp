#include "core/targets/dns_decision.h"

#include <openssl/evp.h>

#include "core/text/hex_escape.h"

namespace zepa2 {

std::string DnsSettingsStamp(const DnsTarget& t) {
  // Each value with its length, so that moving a byte from one value to the next changes the stamp.
  std::string all;
  const auto add = [&](const std::string& value) { (all += std::to_string(value.size()) + ":") += value; };
  add(std::to_string(static_cast<int>(t.kind)) + "/" + t.unknownKind.value_or("-1"));
  for (const std::string* value : {&t.url, &t.user, &t.pass, &t.host, &t.zone, &t.match, &t.api, &t.pin})
    add(*value);
  // Values added later go in named and only when set: a target from before them keeps its stamp.
  for (const auto& [name, value] : {std::pair{"algorithm", &t.algorithm}, {"ttl", &t.ttl}})
    if (!value->empty()) add(name + ("=" + *value));
  add(std::to_string(static_cast<int>(t.records)));
  // Only when set: a target from before the suffix keeps its stamp, and is not sent again.
  if (!t.suffix.empty()) add(t.suffix);
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  EVP_Digest(all.data(), all.size(), digest, &size, EVP_sha256(), nullptr);
  std::string stamp;
  for (unsigned int i = 0; i < size && i < 12; ++i) AppendHexByte(stamp, "", digest[i], HexCase::Lower);
  return stamp;
}

DnsDecision DecideDnsUpdate(const DnsTargetState& state, const std::string& stamp, DnsRecords records,
                            const DnsAddresses& addresses, bool force, std::time_t now) {
  const bool keepsA = records != DnsRecords::Aaaa;
  const bool keepsAaaa = records != DnsRecords::A;
  if (state.settingsStamp != stamp) return {DnsVerdict::Send, keepsA, keepsAaaa};
  if (!state.stopCode.empty()) return {DnsVerdict::Stopped};
  if (state.holdUntil > now) return {DnsVerdict::Held};
  const bool sendA = keepsA && (force || addresses.ipv4 != state.address || state.address.empty());
  const bool sendAaaa =
      keepsAaaa && (force || addresses.ipv6 != state.ipv6Address || state.ipv6Address.empty());
  if (!sendA && !sendAaaa) return {DnsVerdict::Untouched};
  return {DnsVerdict::Send, sendA, sendAaaa};
}

DnsTargetState DnsStateAfter(DnsTargetState state, const std::string& stamp, DnsFamily family,
                             const std::string& address, const DnsAnswer& answer, std::time_t now) {
  if (state.settingsStamp != stamp) state = DnsTargetState{stamp};
  std::string& taken = family == DnsFamily::A ? state.address : state.ipv6Address;
  taken = answer.succeeded() ? address : std::string();
  state.holdUntil = 0;
  switch (answer.kind) {
    case DnsAnswerKind::Taken:
    case DnsAnswerKind::AlreadyHeld:
    case DnsAnswerKind::Failed:
    case DnsAnswerKind::Cancelled:
      break;
    case DnsAnswerKind::Stopping:
      state.stopCode = answer.code;
      break;
    case DnsAnswerKind::Holding:
      state.holdUntil = now + std::chrono::duration_cast<std::chrono::seconds>(kDnsHoldTime).count();
      break;
  }
  return state;
}

}  // namespace zepa2
