// What an update's answer says, for the answers a real server is hard to make give: each RCODE, a
// clock the server refuses, an answer to another message, success without a valid signature.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <ldns/ldns.h>

#include <cstdlib>

#include "core/dns/ldns_handles.h"
#include "core/targets/rfc2136_updater.h"

namespace zepa2 {
namespace {

using ::testing::HasSubstr;

constexpr std::uint16_t kId = 0x1234;
const TsigKey kKey{"zepa2-key", "c2VjcmV0LXNlY3JldC1zZWNyZXQtc2VjcmV0LTEyMzQ=", "hmac-sha256."};

// An answer with the id, RCODE and (when error is set) an unsigned TSIG record carrying that error.
std::vector<std::uint8_t> Answer(std::uint16_t id, ldns_pkt_rcode rcode,
                                 std::optional<std::uint16_t> error = {}) {
  const dns::Packet answer(ldns_pkt_new());
  ldns_pkt_set_id(answer.get(), id);
  ldns_pkt_set_qr(answer.get(), true);
  ldns_pkt_set_opcode(answer.get(), LDNS_PACKET_UPDATE);
  ldns_pkt_set_rcode(answer.get(), static_cast<std::uint8_t>(rcode));
  if (error) {
    ldns_rr* tsig = ldns_rr_new();
    ldns_rr_set_owner(tsig, ldns_dname_new_frm_str(kKey.name.c_str()));
    ldns_rr_set_type(tsig, LDNS_RR_TYPE_TSIG);
    ldns_rr_set_class(tsig, LDNS_RR_CLASS_ANY);
    const std::uint8_t time[6] = {0, 0, 0x65, 0, 0, 0};
    const std::uint8_t empty[2] = {0, 0};
    ldns_rr_push_rdf(tsig, ldns_dname_new_frm_str(kKey.algorithm.c_str()));
    ldns_rr_push_rdf(tsig, ldns_rdf_new_frm_data(LDNS_RDF_TYPE_TSIGTIME, sizeof time, time));
    ldns_rr_push_rdf(tsig, ldns_native2rdf_int16(LDNS_RDF_TYPE_INT16, 300));
    ldns_rr_push_rdf(tsig, ldns_rdf_new_frm_data(LDNS_RDF_TYPE_INT16_DATA, sizeof empty, empty));
    ldns_rr_push_rdf(tsig, ldns_native2rdf_int16(LDNS_RDF_TYPE_INT16, id));
    ldns_rr_push_rdf(tsig, ldns_native2rdf_int16(LDNS_RDF_TYPE_INT16, *error));
    ldns_rr_push_rdf(tsig, ldns_rdf_new_frm_data(LDNS_RDF_TYPE_INT16_DATA, sizeof empty, empty));
    ldns_pkt_set_tsig(answer.get(), tsig);
  }
  std::uint8_t* bytes = nullptr;
  std::size_t size = 0;
  EXPECT_EQ(ldns_pkt2wire(&bytes, answer.get(), &size), LDNS_STATUS_OK);
  std::vector<std::uint8_t> wire(bytes, bytes + size);
  std::free(bytes);
  return wire;
}

TEST(UpdateAnswerTest, EachCodeDecidesTheTarget) {
  const struct {
    ldns_pkt_rcode rcode;
    std::optional<std::uint16_t> tsigError;
    DnsAnswerKind kind;
    const char* code;
  } cases[] = {
      {LDNS_RCODE_REFUSED, {}, DnsAnswerKind::Stopping, "REFUSED"},
      {LDNS_RCODE_NOTAUTH, {}, DnsAnswerKind::Stopping, "NOTAUTH"},
      {LDNS_RCODE_NOTZONE, {}, DnsAnswerKind::Stopping, "NOTZONE"},
      {LDNS_RCODE_YXDOMAIN, {}, DnsAnswerKind::Stopping, "YXDOMAIN"},
      {LDNS_RCODE_NXRRSET, {}, DnsAnswerKind::Stopping, "NXRRSET"},
      {LDNS_RCODE_NOTAUTH, 16, DnsAnswerKind::Stopping, "BADSIG"},
      {LDNS_RCODE_NOTAUTH, 17, DnsAnswerKind::Stopping, "BADKEY"},
      {LDNS_RCODE_NOTAUTH, 18, DnsAnswerKind::Failed, "BADTIME"},
      {LDNS_RCODE_SERVFAIL, {}, DnsAnswerKind::Failed, "SERVFAIL"},
      {LDNS_RCODE_FORMERR, {}, DnsAnswerKind::Failed, "FORMERR"},
      {LDNS_RCODE_NOTIMPL, {}, DnsAnswerKind::Failed, "NOTIMP"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    const DnsAnswer answer = UpdateAnswerOf(Answer(kId, c.rcode, c.tsigError), kId, kKey, {});
    EXPECT_EQ(answer.kind, c.kind);
    EXPECT_EQ(answer.code, c.code);
    if (c.kind == DnsAnswerKind::Failed) {
      EXPECT_FALSE(answer.reason.empty());
    }
  }
  EXPECT_THAT(UpdateAnswerOf(Answer(kId, LDNS_RCODE_NOTAUTH, 18), kId, kKey, {}).reason,
              HasSubstr("時刻がずれています"));
}

// Success is believed only from the key's holder: an unsigned or forged NOERROR, an answer to
// another message and bytes that are no message are failures.
TEST(UpdateAnswerTest, SuccessNeedsTheKeysSignature) {
  EXPECT_EQ(UpdateAnswerOf(Answer(kId, LDNS_RCODE_NOERROR), kId, kKey, {}).kind, DnsAnswerKind::Failed);
  EXPECT_THAT(UpdateAnswerOf(Answer(kId, LDNS_RCODE_NOERROR), kId, kKey, {}).reason, HasSubstr("署名"));
  EXPECT_EQ(UpdateAnswerOf(Answer(kId, LDNS_RCODE_NOERROR, 0), kId, kKey, {}).kind, DnsAnswerKind::Failed);
  EXPECT_EQ(UpdateAnswerOf(Answer(kId + 1, LDNS_RCODE_REFUSED), kId, kKey, {}).kind, DnsAnswerKind::Failed);
  const std::vector<std::uint8_t> shortBytes{0x12, 0x34, 0x80};
  EXPECT_EQ(UpdateAnswerOf(shortBytes, kId, kKey, {}).kind, DnsAnswerKind::Failed);
}

TEST(UpdateAnswerTest, SettingsOfAlgorithmAndTtl) {
  EXPECT_EQ(TsigAlgorithmOf(""), "hmac-sha256.");
  EXPECT_EQ(TsigAlgorithmOf("HMAC-SHA1"), "hmac-sha1.");
  EXPECT_EQ(TsigAlgorithmOf("hmac-sha384."), "hmac-sha384.");
  EXPECT_EQ(TsigAlgorithmOf("hmac-md5"), std::nullopt);
  EXPECT_EQ(UpdateTtlOf(""), 300u);
  EXPECT_EQ(UpdateTtlOf("1"), 1u);
  EXPECT_EQ(UpdateTtlOf("86400"), 86400u);
  for (const char* bad : {"0", "86401", "-5", "60s", " 60", "99999999999"})
    EXPECT_EQ(UpdateTtlOf(bad), std::nullopt) << bad;
}

}  // namespace
}  // namespace zepa2
