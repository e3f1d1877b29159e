// Owners of the DNS library's objects, each freed by its own call.
#pragma once

#include <ldns/ldns.h>

#include <memory>

namespace zepa2::dns {

template <typename T, void (*Free)(T*)>
struct Freed {
  void operator()(T* object) const { Free(object); }
};

using Packet = std::unique_ptr<ldns_pkt, Freed<ldns_pkt, ldns_pkt_free>>;
using Rdf = std::unique_ptr<ldns_rdf, Freed<ldns_rdf, ldns_rdf_deep_free>>;
using RrList = std::unique_ptr<ldns_rr_list, Freed<ldns_rr_list, ldns_rr_list_deep_free>>;

}  // namespace zepa2::dns
