// Speed of cutting the address out of a large Shift-JIS router page.
#include <benchmark/benchmark.h>

#include <string>

#include "core/source/address_extract.h"
#include "core/text/cp932.h"
#include "core/text/marker_search.h"

namespace {

// About 1 MiB of Japanese status text with the address row at the very end.
std::string LargePage() {
  const std::string row = zepa2::Cp932("<tr><td>回線状態</td><td>接続中（ＰＰＰｏＥ）</td></tr>\n");
  std::string page = zepa2::Cp932("<html><head><title>ルータの状態</title></head><body><table>\n");
  while (page.size() < (1u << 20)) page += row;
  page += zepa2::Cp932("<tr><td>WAN側IPアドレス</td><td>203.0.113.77</td></tr></table></body></html>\n");
  return page;
}

void BM_ExtractAddressLargePage(benchmark::State& state) {
  const std::string page = LargePage();
  const std::string f1 = zepa2::Cp932("WAN側IPアドレス");
  for (auto _ : state) {
    auto found = zepa2::ExtractAddress(page, f1, "</tr>", "<td>", "</td>");
    benchmark::DoNotOptimize(found);
    if (found.address != "203.0.113.77") state.SkipWithError("address not found");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_ExtractAddressLargePage);

// The worst case for the search: the marker occurs at every second byte, always on the second
// byte of a character, and only once properly at the end.
void BM_FindAlignedDenseMisaligned(benchmark::State& state) {
  std::string text;
  while (text.size() < (1u << 20)) text += "\x82\x41";
  std::string marker;
  for (int i = 0; i < 512; ++i) marker += "\x41\x82";
  text += "!" + marker;
  for (auto _ : state) benchmark::DoNotOptimize(zepa2::FindAligned(text, marker));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_FindAlignedDenseMisaligned);

}  // namespace
