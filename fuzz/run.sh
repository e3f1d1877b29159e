#!/usr/bin/env bash
# Builds the extraction fuzzer with libFuzzer and sanitizers and runs it (default 60 s).
# Usage: fuzz/run.sh [seconds]   Needs clang and libclang-rt-14-dev; not part of the normal build or CI.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
out="${FUZZ_OUT:-$root/build-fuzz}"
mkdir -p "$out/corpus"
clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root/src" \
  "$here/extract_fuzz.cpp" \
  "$root/src/core/text/marker_search.cpp" \
  "$root/src/core/text/cp932.cpp" \
  "$root/src/core/address/address_extract.cpp" \
  "$root/src/core/address/decimal_address.cpp" \
  -o "$out/extract_fuzz"
"$out/extract_fuzz" -max_total_time="${1:-60}" -max_len=4096 -print_final_stats=1 "$out/corpus"
