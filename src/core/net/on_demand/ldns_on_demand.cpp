// libldns for the window, mapped on the first call instead of at start.
//
// The DNS library maps libcrypto with it; linking it at start would map both for a window that may
// only sit in the tray and never speak DNS. As for libcurl (see curl_on_demand.cpp), the window
// links these stand-ins; the first call opens the real library and each call forwards to it.
// zepa2-check links libldns. Without the library, calls that make something give nothing and
// calls that send give an error, so a DNS step fails with a message instead of the window failing.
#include <ldns/ldns.h>

#include "core/net/on_demand/library_calls.h"

namespace {

void* Library() {
  static void* const library = dlopen("libldns.so.3", RTLD_NOW | RTLD_LOCAL);  // never closed
  return library;
}

template <typename Call>
Call Real(const char* name) {
  Call call = nullptr;
  if (void* library = Library()) zepa2::on_demand::Find(library, name, call);
  return call;
}

}  // namespace

// Each stand-in finds its call once, under its own name.
#define ZEPA2_REAL(name) static const auto real = Real<decltype(&name)>(#name)

extern "C" {

ldns_buffer* ldns_buffer_new(size_t capacity) {
  ZEPA2_REAL(ldns_buffer_new);
  return real ? real(capacity) : nullptr;
}
void ldns_buffer_free(ldns_buffer* buffer) {
  ZEPA2_REAL(ldns_buffer_free);
  if (real) real(buffer);
}
int ldns_dname_compare(const ldns_rdf* a, const ldns_rdf* b) {
  ZEPA2_REAL(ldns_dname_compare);
  return real ? real(a, b) : -1;
}
bool ldns_dname_is_subdomain(const ldns_rdf* sub, const ldns_rdf* parent) {
  ZEPA2_REAL(ldns_dname_is_subdomain);
  return real && real(sub, parent);
}
ldns_rdf* ldns_dname_new_frm_str(const char* text) {
  ZEPA2_REAL(ldns_dname_new_frm_str);
  return real ? real(text) : nullptr;
}
const char* ldns_get_errorstr_by_id(ldns_status status) {
  ZEPA2_REAL(ldns_get_errorstr_by_id);
  return real ? real(status) : "libldns.so.3";
}
ldns_status ldns_pkt2wire(uint8_t** dest, const ldns_pkt* p, size_t* size) {
  ZEPA2_REAL(ldns_pkt2wire);
  return real ? real(dest, p, size) : LDNS_STATUS_ERR;
}
void ldns_pkt_free(ldns_pkt* p) {
  ZEPA2_REAL(ldns_pkt_free);
  if (real) real(p);
}
ldns_pkt_rcode ldns_pkt_get_rcode(const ldns_pkt* p) {
  ZEPA2_REAL(ldns_pkt_get_rcode);
  return real ? real(p) : LDNS_RCODE_SERVFAIL;
}
uint16_t ldns_pkt_id(const ldns_pkt* p) {
  ZEPA2_REAL(ldns_pkt_id);
  return real ? real(p) : 0;
}
bool ldns_pkt_qr(const ldns_pkt* p) {
  ZEPA2_REAL(ldns_pkt_qr);
  return real && real(p);
}
void ldns_pkt_set_random_id(ldns_pkt* p) {
  ZEPA2_REAL(ldns_pkt_set_random_id);
  if (real) real(p);
}
void ldns_pkt_set_rd(ldns_pkt* p, bool b) {
  ZEPA2_REAL(ldns_pkt_set_rd);
  if (real) real(p, b);
}
ldns_rr* ldns_pkt_tsig(const ldns_pkt* p) {
  ZEPA2_REAL(ldns_pkt_tsig);
  return real ? real(p) : nullptr;
}
ldns_status ldns_pkt_tsig_sign(ldns_pkt* p, const char* name, const char* data, uint16_t fudge,
                               const char* algorithm, const ldns_rdf* mac) {
  ZEPA2_REAL(ldns_pkt_tsig_sign);
  return real ? real(p, name, data, fudge, algorithm, mac) : LDNS_STATUS_ERR;
}
bool ldns_pkt_tsig_verify(ldns_pkt* p, const uint8_t* wire, size_t size, const char* name, const char* data,
                          const ldns_rdf* mac) {
  ZEPA2_REAL(ldns_pkt_tsig_verify);
  return real && real(p, wire, size, name, data, mac);
}
uint16_t ldns_rdf2native_int16(const ldns_rdf* rd) {
  ZEPA2_REAL(ldns_rdf2native_int16);
  return real ? real(rd) : 0;
}
ldns_rdf* ldns_rdf_clone(const ldns_rdf* rd) {
  ZEPA2_REAL(ldns_rdf_clone);
  return real ? real(rd) : nullptr;
}
uint8_t* ldns_rdf_data(const ldns_rdf* rd) {
  ZEPA2_REAL(ldns_rdf_data);
  return real ? real(rd) : nullptr;
}
void ldns_rdf_deep_free(ldns_rdf* rd) {
  ZEPA2_REAL(ldns_rdf_deep_free);
  if (real) real(rd);
}
ldns_rdf* ldns_rdf_new_frm_data(ldns_rdf_type type, size_t size, const void* data) {
  ZEPA2_REAL(ldns_rdf_new_frm_data);
  return real ? real(type, size, data) : nullptr;
}
ldns_rdf* ldns_rdf_new_frm_str(ldns_rdf_type type, const char* text) {
  ZEPA2_REAL(ldns_rdf_new_frm_str);
  return real ? real(type, text) : nullptr;
}
size_t ldns_rdf_size(const ldns_rdf* rd) {
  ZEPA2_REAL(ldns_rdf_size);
  return real ? real(rd) : 0;
}
void ldns_rr_free(ldns_rr* rr) {
  ZEPA2_REAL(ldns_rr_free);
  if (real) real(rr);
}
void ldns_rr_list_deep_free(ldns_rr_list* list) {
  ZEPA2_REAL(ldns_rr_list_deep_free);
  if (real) real(list);
}
ldns_rr_list* ldns_rr_list_new(void) {
  ZEPA2_REAL(ldns_rr_list_new);
  return real ? real() : nullptr;
}
bool ldns_rr_list_push_rr(ldns_rr_list* list, const ldns_rr* rr) {
  ZEPA2_REAL(ldns_rr_list_push_rr);
  return real && real(list, rr);
}
ldns_rr* ldns_rr_new(void) {
  ZEPA2_REAL(ldns_rr_new);
  return real ? real() : nullptr;
}
bool ldns_rr_push_rdf(ldns_rr* rr, const ldns_rdf* f) {
  ZEPA2_REAL(ldns_rr_push_rdf);
  return real && real(rr, f);
}
size_t ldns_rr_rd_count(const ldns_rr* rr) {
  ZEPA2_REAL(ldns_rr_rd_count);
  return real ? real(rr) : 0;
}
ldns_rdf* ldns_rr_rdf(const ldns_rr* rr, size_t nr) {
  ZEPA2_REAL(ldns_rr_rdf);
  return real ? real(rr, nr) : nullptr;
}
void ldns_rr_set_class(ldns_rr* rr, ldns_rr_class rr_class) {
  ZEPA2_REAL(ldns_rr_set_class);
  if (real) real(rr, rr_class);
}
void ldns_rr_set_owner(ldns_rr* rr, ldns_rdf* owner) {
  ZEPA2_REAL(ldns_rr_set_owner);
  if (real) real(rr, owner);
}
void ldns_rr_set_ttl(ldns_rr* rr, uint32_t ttl) {
  ZEPA2_REAL(ldns_rr_set_ttl);
  if (real) real(rr, ttl);
}
void ldns_rr_set_type(ldns_rr* rr, ldns_rr_type type) {
  ZEPA2_REAL(ldns_rr_set_type);
  if (real) real(rr, type);
}
ldns_status ldns_tcp_send(uint8_t** result, ldns_buffer* query, const struct sockaddr_storage* to,
                          socklen_t size, struct timeval timeout, size_t* answerSize) {
  ZEPA2_REAL(ldns_tcp_send);
  return real ? real(result, query, to, size, timeout, answerSize) : LDNS_STATUS_ERR;
}
ldns_status ldns_udp_send(uint8_t** result, ldns_buffer* query, const struct sockaddr_storage* to,
                          socklen_t size, struct timeval timeout, size_t* answerSize) {
  ZEPA2_REAL(ldns_udp_send);
  return real ? real(result, query, to, size, timeout, answerSize) : LDNS_STATUS_ERR;
}
ldns_pkt* ldns_update_pkt_new(ldns_rdf* zone, ldns_rr_class rr_class, const ldns_rr_list* prerequisites,
                              const ldns_rr_list* updates, const ldns_rr_list* additional) {
  ZEPA2_REAL(ldns_update_pkt_new);
  return real ? real(zone, rr_class, prerequisites, updates, additional) : nullptr;
}
ldns_status ldns_wire2pkt(ldns_pkt** packet, const uint8_t* data, size_t size) {
  ZEPA2_REAL(ldns_wire2pkt);
  return real ? real(packet, data, size) : LDNS_STATUS_ERR;
}

}  // extern "C"
