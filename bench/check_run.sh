#!/usr/bin/env bash
# One zepa2-check run against the local test servers, beside curl doing the least the job needs
# (the same GET, and the same GET plus one upload). Median wall time and peak RSS over RUNS runs.
# Usage: bench/check_run.sh [build folder]   (RUNS=10)
set -euo pipefail
build=$(realpath "${1:-build}")
runs=${RUNS:-10}
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
source "$here/bench/fixtures.sh"
trap 'stop_processes; rm -rf "$work"' EXIT
start_fixture "$work/router.out" router_server.py
router=$port
mkdir -p "$work/ftp"
start_fixture "$work/ftp.out" ftp_server.py "$work/ftp" "$work/ftp.record"
ftp=$port

write_settings "$router" "$ftp"

measure() {  # label command... ; prints "label median_ms peak_rss_kib"
  local label=$1; shift
  local times=() rss=0
  for _ in $(seq "$runs"); do
    [ "$label" = "zepa2-check, address changed" ] && rm -f "$XDG_STATE_HOME/ZEPA/last-address"
    local t0 t1 r
    t0=$(date +%s%N)
    /usr/bin/time -f '%M' -o "$work/rss" "$@" >/dev/null 2>&1
    r=$(tail -1 "$work/rss")
    t1=$(date +%s%N)
    times+=($(( (t1 - t0) / 1000 )))
    [ "$r" -gt "$rss" ] && rss=$r
  done
  local median
  median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END{print a[int((NR+1)/2)]}')
  printf '%-40s %8.2f ms %8d KiB\n' "$label" "$(echo "$median/1000" | bc -l)" "$rss"
}

cd "$work"
"$build/zepa2-check" >/dev/null  # first run records the address
echo "runs: $runs"
measure "zepa2-check, address unchanged" "$build/zepa2-check"
measure "curl GET of the router page" curl -s -o /dev/null "http://127.0.0.1:$router/status.htm"
measure "zepa2-check, address changed" "$build/zepa2-check"
measure "curl GET + curl -T upload" sh -c "curl -s -o /dev/null http://127.0.0.1:$router/status.htm && curl -s -T site.html -u zepa:secret ftp://127.0.0.1:$ftp/index.html --ftp-port -"
