#!/usr/bin/env bash
# Builds the fuzzers with libFuzzer and sanitizers and runs each one (default 60 s each).
# Usage: fuzz/run.sh [seconds] [name...]   names: extract generate_filters bounded_json (default: all).
# Needs clang and libclang-rt-14-dev; not part of the normal build or CI.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
out="${FUZZ_OUT:-$root/build-fuzz}"
seconds="${1:-60}"
shift || true
names=("$@")
[ ${#names[@]} -gt 0 ] || names=(extract generate_filters bounded_json)

core_sources=(
  "$root/src/core/text/marker_search.cpp"
  "$root/src/core/text/cp932.cpp"
  "$root/src/core/source/address_extract.cpp"
  "$root/src/core/source/decimal_address.cpp"
  "$root/src/core/source/filter_generation.cpp"
  "$root/src/core/text/bounded_json.cpp"
)

# A server's JSON answer may be up to 1 MiB, deep enough to overflow any recursive reader: the
# JSON fuzzer takes inputs of that size.
max_len_of() {
  case "$1" in
    bounded_json) echo 1048576 ;;
    *) echo 4096 ;;
  esac
}

for name in "${names[@]}"; do
  mkdir -p "$out/corpus-$name"
  # The answer that once ended the program: a result nested 300 000 levels deep.
  [ "$name" != bounded_json ] || python3 -c 'd = 300000; print("{\"result\": " + "[" * d + "]" * d + "}")' \
    >"$out/corpus-$name/deep-result.json"
  clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$root/src" "$here/${name}_fuzz.cpp" "${core_sources[@]}" -o "$out/${name}_fuzz"
  "$out/${name}_fuzz" -max_total_time="$seconds" -max_len="$(max_len_of "$name")" -print_final_stats=1 "$out/corpus-$name"
done
