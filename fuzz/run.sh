#!/usr/bin/env bash
# Builds the fuzzers (CMake targets of fuzz/, with clang, libFuzzer and the sanitizers) and runs
# each on its corpus for a bounded time. A crash, a sanitizer report or a broken rule fails the run.
# Usage: fuzz/run.sh [seconds] [name...]   names: the *_fuzz.cpp files without _fuzz.cpp (default: all)
# Needs clang and libclang-rt-14-dev (scripts/install-deps.sh installs them).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
out="${FUZZ_OUT:-$root/build-fuzz}"
seconds="${1:-60}"
shift || true
names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for source in "$here"/*_fuzz.cpp; do names+=("$(basename "$source" _fuzz.cpp)"); done
fi

CXX=clang++ CC=clang cmake -S "$root" -B "$out" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEPA2_FUZZ=ON \
  -DZEPA2_BUILD_UI=OFF -DZEPA2_BUILD_TESTS=OFF -DZEPA2_BUILD_BENCH=OFF >/dev/null
targets=()
for name in "${names[@]}"; do targets+=("${name}_fuzz"); done
cmake --build "$out" -j "$(nproc)" --target "${targets[@]}"

for name in "${names[@]}"; do
  # The committed seeds are read, never written; what the run finds goes into the build's folder.
  mkdir -p "$out/corpus-$name"
  seeds=()
  [ -d "$here/corpus/$name" ] && seeds=("$here/corpus/$name")
  echo "== ${name}_fuzz, ${seconds} s"
  "$out/fuzz/${name}_fuzz" -max_total_time="$seconds" -max_len=1048576 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$out/${name}-" "$out/corpus-$name" "${seeds[@]}"
done
