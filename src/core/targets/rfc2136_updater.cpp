#include "core/targets/rfc2136_updater.h"

#include <ldns/ldns.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>

#include "core/dns/dns_exchange.h"
#include "core/dns/ldns_handles.h"
#include "core/log/control_escape.h"
#include "core/text/messages.h"

namespace zepa2 {
namespace {

// A key's signature covers the message's time; a server takes it within this many seconds.
constexpr std::uint16_t kTsigFudge = 300;

struct AnswerCode {
  std::uint16_t value;
  std::string_view name;
  DnsAnswerKind kind;
};

// The answer's RCODE, then the TSIG record's error: what each means for the target.
constexpr std::array<AnswerCode, 6> kStoppingCodes{{
    {5, "REFUSED", DnsAnswerKind::Stopping},
    {6, "YXDOMAIN", DnsAnswerKind::Stopping},
    {8, "NXRRSET", DnsAnswerKind::Stopping},
    {9, "NOTAUTH", DnsAnswerKind::Stopping},
    {10, "NOTZONE", DnsAnswerKind::Stopping},
    {2, "SERVFAIL", DnsAnswerKind::Failed},
}};
constexpr std::array<std::string_view, 11> kRcodeNames{"NOERROR", "FORMERR", "SERVFAIL", "NXDOMAIN",
                                                       "NOTIMP",  "REFUSED", "YXDOMAIN", "YXRRSET",
                                                       "NXRRSET", "NOTAUTH", "NOTZONE"};
constexpr std::uint16_t kBadSig = 16;
constexpr std::uint16_t kBadKey = 17;
constexpr std::uint16_t kBadTime = 18;

constexpr std::array<std::string_view, 5> kAlgorithms{"hmac-sha256", "hmac-sha512", "hmac-sha384",
                                                      "hmac-sha224", "hmac-sha1"};

std::string RcodeName(unsigned rcode) {
  return rcode < kRcodeNames.size() ? std::string(kRcodeNames[rcode]) : "RCODE " + std::to_string(rcode);
}

std::uint16_t TsigErrorOf(const ldns_pkt* answer) {
  const ldns_rr* tsig = ldns_pkt_tsig(answer);
  if (!tsig || ldns_rr_rd_count(tsig) < 6) return 0;
  const ldns_rdf* error = ldns_rr_rdf(tsig, 5);
  return error && ldns_rdf_size(error) == 2 ? ldns_rdf2native_int16(error) : 0;
}

// A name of the settings as a domain name; relative names are read from the root.
dns::Rdf DomainName(const std::string& text) { return dns::Rdf(ldns_dname_new_frm_str(text.c_str())); }

bool InsideZone(const ldns_rdf* name, const ldns_rdf* zone) {
  return ldns_dname_compare(name, zone) == 0 || ldns_dname_is_subdomain(name, zone);
}

// The two records of one name: the family's RRset deleted (class ANY, no data), the address added.
bool AddReplacement(ldns_rr_list* updates, const ldns_rdf* owner, ldns_rr_type type,
                    const std::string& address, std::uint32_t ttl) {
  dns::Rdf data(
      ldns_rdf_new_frm_str(type == LDNS_RR_TYPE_A ? LDNS_RDF_TYPE_A : LDNS_RDF_TYPE_AAAA, address.c_str()));
  if (!data) return false;
  ldns_rr* remove = ldns_rr_new();
  ldns_rr* add = ldns_rr_new();
  if (!remove || !add) {
    ldns_rr_free(remove);
    ldns_rr_free(add);
    return false;
  }
  ldns_rr_set_owner(remove, ldns_rdf_clone(owner));
  ldns_rr_set_type(remove, type);
  ldns_rr_set_class(remove, LDNS_RR_CLASS_ANY);
  ldns_rr_set_ttl(remove, 0);
  ldns_rr_set_owner(add, ldns_rdf_clone(owner));
  ldns_rr_set_type(add, type);
  ldns_rr_set_class(add, LDNS_RR_CLASS_IN);
  ldns_rr_set_ttl(add, ttl);
  ldns_rr_push_rdf(add, data.release());
  ldns_rr_list_push_rr(updates, remove);
  ldns_rr_list_push_rr(updates, add);
  return true;
}

DnsAnswer Failure(std::string reason) { return {DnsAnswerKind::Failed, {}, std::move(reason)}; }

// The datagram waits no longer than a connection would; the whole exchange no longer than a request.
dns::ExchangeLimits ExchangeLimitsOf(const net::HttpGetOptions& http) {
  return {std::min(http.connectTimeout, std::chrono::milliseconds(3'000)), http.totalTimeout, http.stop};
}

}  // namespace

std::optional<std::string> TsigAlgorithmOf(const std::string& setting) {
  if (setting.empty()) return std::string(kAlgorithms.front()) + ".";
  std::string lower = setting;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
  if (lower.ends_with('.')) lower.pop_back();
  if (std::find(kAlgorithms.begin(), kAlgorithms.end(), lower) == kAlgorithms.end()) return std::nullopt;
  return lower + ".";
}

std::optional<std::uint32_t> UpdateTtlOf(const std::string& setting) {
  if (setting.empty()) return 300;
  std::uint32_t ttl = 0;
  const auto [end, ec] = std::from_chars(setting.data(), setting.data() + setting.size(), ttl);
  if (ec != std::errc() || end != setting.data() + setting.size() || ttl < 1 || ttl > 86400)
    return std::nullopt;
  return ttl;
}

DnsAnswer UpdateAnswerOf(std::span<const std::uint8_t> wire, std::uint16_t queryId, const TsigKey& key,
                         std::span<const std::uint8_t> queryMac) {
  ldns_pkt* parsed = nullptr;
  if (ldns_wire2pkt(&parsed, wire.data(), wire.size()) != LDNS_STATUS_OK || !parsed)
    return Failure(msg::kDnsUnreadableDnsAnswer);
  const dns::Packet answer(parsed);
  if (ldns_pkt_id(answer.get()) != queryId || !ldns_pkt_qr(answer.get()))
    return Failure(msg::kDnsUnreadableDnsAnswer);

  // Errors of the key come unsigned (the server could not sign with a key it refused), BADTIME signed.
  switch (TsigErrorOf(answer.get())) {
    case 0:
      break;
    case kBadSig:
      return {DnsAnswerKind::Stopping, "BADSIG"};
    case kBadKey:
      return {DnsAnswerKind::Stopping, "BADKEY"};
    case kBadTime:
      return {DnsAnswerKind::Failed, "BADTIME", msg::kDnsBadTime};
    default:
      return Failure(msg::kDnsUnknownAnswer + std::string("TSIG ") +
                     std::to_string(TsigErrorOf(answer.get())));
  }
  const unsigned rcode = ldns_pkt_get_rcode(answer.get());
  if (rcode != LDNS_RCODE_NOERROR) {
    const std::string name = RcodeName(rcode);
    for (const AnswerCode& code : kStoppingCodes)
      if (code.value == rcode) return {code.kind, name, code.kind == DnsAnswerKind::Failed ? name : ""};
    return {DnsAnswerKind::Failed, name, name};
  }
  // Success counts only when the server that holds the key says so.
  dns::Rdf mac(queryMac.empty()
                   ? nullptr
                   : ldns_rdf_new_frm_data(LDNS_RDF_TYPE_INT16_DATA, queryMac.size(), queryMac.data()));
  if (!ldns_pkt_tsig(answer.get()) || !ldns_pkt_tsig_verify(answer.get(), wire.data(), wire.size(),
                                                            key.name.c_str(), key.secret.c_str(), mac.get()))
    return Failure(msg::kDnsUnsignedAnswer);
  return {DnsAnswerKind::Taken, "NOERROR"};
}

DnsAnswer Rfc2136Updater::Update(const DnsTarget& target, DnsFamily family, const DnsAddresses& addresses,
                                 const net::HttpGetOptions& http) const {
  const auto server = dns::ParseNameServer(target.url);
  if (target.url.empty()) return Failure(msg::kDnsNoServer);
  if (!server) return Failure(msg::kDnsBadNameServer + EscapeControlBytes(target.url.substr(0, 80)));
  if (target.zone.empty()) return Failure(msg::kDnsNoZone);
  const std::vector<std::string> names = DnsHostNames(target.host);
  if (names.empty()) return Failure(msg::kDnsNoHost);
  const std::string& address = AddressOf(family, addresses);
  if (address.empty()) return Failure(msg::kDnsNoIpv6Address);
  const auto algorithm = TsigAlgorithmOf(target.algorithm);
  if (!algorithm) return Failure(msg::kDnsBadAlgorithm + EscapeControlBytes(target.algorithm.substr(0, 40)));
  const auto ttl = UpdateTtlOf(target.ttl);
  if (!ttl) return Failure(msg::kDnsBadTtl);
  if (target.user.empty()) return Failure(msg::kDnsNoKeyName);

  dns::Rdf zone = DomainName(target.zone);
  if (!zone) return Failure(msg::kDnsBadName + EscapeControlBytes(target.zone.substr(0, 80)));
  const dns::RrList updates(ldns_rr_list_new());
  const ldns_rr_type type = family == DnsFamily::A ? LDNS_RR_TYPE_A : LDNS_RR_TYPE_AAAA;
  for (const std::string& name : names) {
    const dns::Rdf owner = DomainName(name);
    if (!owner || !InsideZone(owner.get(), zone.get()))
      return Failure(msg::kDnsNameOutsideZone + EscapeControlBytes(name.substr(0, 80)));
    if (!AddReplacement(updates.get(), owner.get(), type, address, *ttl))
      return Failure(msg::kDnsBadAddress + EscapeControlBytes(address.substr(0, 80)));
  }
  const dns::Packet update(
      ldns_update_pkt_new(zone.release(), LDNS_RR_CLASS_IN, nullptr, updates.get(), nullptr));
  if (!update) return Failure(msg::kDnsUnreadableDnsAnswer);
  ldns_pkt_set_rd(update.get(), false);
  ldns_pkt_set_random_id(update.get());
  const TsigKey key{target.user, target.pass, *algorithm};
  const ldns_status signing = ldns_pkt_tsig_sign(update.get(), key.name.c_str(), key.secret.c_str(),
                                                 kTsigFudge, key.algorithm.c_str(), nullptr);
  // The library signs with the algorithms its version has; another one is named as unusable here.
  if (signing == LDNS_STATUS_CRYPTO_UNKNOWN_ALGO)
    return Failure(msg::kDnsUnsignableAlgorithm + EscapeControlBytes(target.algorithm.substr(0, 40)));
  if (signing != LDNS_STATUS_OK) return Failure(msg::kDnsBadKey);
  const ldns_rdf* mac = ldns_rr_rdf(ldns_pkt_tsig(update.get()), 3);
  const std::vector<std::uint8_t> queryMac(ldns_rdf_data(mac), ldns_rdf_data(mac) + ldns_rdf_size(mac));
  std::uint8_t* bytes = nullptr;
  std::size_t size = 0;
  if (ldns_pkt2wire(&bytes, update.get(), &size) != LDNS_STATUS_OK) return Failure(msg::kDnsBadKey);
  const std::vector<std::uint8_t> message(bytes, bytes + size);
  std::free(bytes);

  const dns::Exchange exchange = dns::ExchangeMessage(*server, message, ExchangeLimitsOf(http));
  if (exchange.cancelled) return {DnsAnswerKind::Cancelled};
  if (exchange.answer.empty()) return Failure(exchange.problem);
  return UpdateAnswerOf(exchange.answer, ldns_pkt_id(update.get()), key, queryMac);
}

std::string Rfc2136Updater::ServerUrl(const DnsTarget& target) const {
  const auto server = dns::ParseNameServer(target.url);
  if (!server) return {};
  const bool v6 = server->host.find(':') != std::string::npos;
  return "dns://" + (v6 ? "[" + server->host + "]" : server->host) + ":" + std::to_string(server->port);
}

}  // namespace zepa2
