#!/usr/bin/env bash
# Builds the fuzzers with libFuzzer and sanitizers and runs each one (default 60 s each).
# Usage: fuzz/run.sh [seconds] [name...]   names: extract generate_filters (default: all).
# Needs clang and libclang-rt-14-dev; not part of the normal build or CI.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
out="${FUZZ_OUT:-$root/build-fuzz}"
seconds="${1:-60}"
shift || true
names=("$@")
[ ${#names[@]} -gt 0 ] || names=(extract generate_filters)

core_sources=(
  "$root/src/core/text/marker_search.cpp"
  "$root/src/core/text/cp932.cpp"
  "$root/src/core/source/address_extract.cpp"
  "$root/src/core/source/decimal_address.cpp"
  "$root/src/core/source/filter_generation.cpp"
)

for name in "${names[@]}"; do
  mkdir -p "$out/corpus-$name"
  clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$root/src" "$here/${name}_fuzz.cpp" "${core_sources[@]}" -o "$out/${name}_fuzz"
  "$out/${name}_fuzz" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 "$out/corpus-$name"
done
