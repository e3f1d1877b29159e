// Fuzzes what a UPnP router sends: its SSDP answer, its root description and its SOAP answer.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "core/source/upnp_address.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const long status = input.ConsumeIntegralInRange<long>(100, 599);
  const std::string text = input.ConsumeRemainingBytesAsString();
  (void)zepa2::SsdpAnswerLocation(text);
  (void)zepa2::ReadIgdDescription(text, "http://192.168.0.1:5000/rootDesc.xml");
  (void)zepa2::ReadUpnpSoapAnswer(text, status);
  return 0;
}
