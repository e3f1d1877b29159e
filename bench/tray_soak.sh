#!/usr/bin/env bash
# The program left alone in the tray under Xvfb with a one-minute period against the local router
# and FTP test servers: CPU time and resident memory after the 2nd and the last timed check.
# Usage: bench/tray_soak.sh [path/to/zepa2]  (CHECKS=10 checks; run at start counts as the 1st)
set -euo pipefail
program=$(realpath "${1:-build/zepa2}")
checks=${CHECKS:-10}
here=$(cd "$(dirname "$0")/.." && pwd)

if [ -z "${ZEPA2_BENCH_IN_X:-}" ]; then
  exec env ZEPA2_BENCH_IN_X=1 xvfb-run -a -n $((200 + RANDOM % 500)) -s "-screen 0 1280x1024x24 -noreset" "$0" "$program"
fi

work=$(mktemp -d)
chmod 700 "$work"
source "$here/bench/fixtures.sh"
cleanup() { stop_processes; rm -rf "$work"; }
trap cleanup EXIT

start_fixture "$work/router.out" router_server.py
router_port=$port
mkdir -p "$work/ftp"
start_fixture "$work/ftp.out" ftp_server.py "$work/ftp" "$work/ftp.log"
ftp_port=$port

write_settings "$router_port" "$ftp_port" "[SYSTEM]
INTERVAL=1
TIMENO=0
STARTMIN=1
STARTRUN=1"
export XDG_RUNTIME_DIR=$work

if command -v trayer >/dev/null; then
  trayer --edge bottom --align right --widthtype pixel --width 200 --height 32 &
  pids+=($!)
  sleep 1
else
  echo "no trayer: the window sits minimized instead of in the tray" >&2
fi

cd "$work"
"$program" -Embedding 2>>"$work/zepa2.err" &
pid=$!
pids+=("$pid")
start_ns=$(date +%s%N)

router_requests() {
  "$python" -c "import sys, urllib.request; print(len(urllib.request.urlopen(sys.argv[1]).read().splitlines()))" \
    "http://127.0.0.1:$router_port/log"
}
# The log lists the requests before the one asking for it: n lines are n page fetches.
wait_for_check() {
  until [ "$(router_requests)" -ge "$1" ]; do
    kill -0 "$pid" 2>/dev/null || { echo "program ended early:" >&2; cat "$work/zepa2.err" >&2; exit 1; }
    sleep 1
  done
  sleep 5  # let the check finish its log lines
}
hz=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
rss_kib() { awk '/^VmRSS/ { print $2 }' "/proc/$pid/status"; }
report() {
  local n=$1 ticks rss now
  ticks=$(cpu_ticks); rss=$(rss_kib); now=$(date +%s%N)
  awk -v n="$n" -v t="$ticks" -v hz="$hz" -v r="$rss" -v s=$(((now - start_ns) / 1000000)) \
    'BEGIN { printf "after check %2d: %6.1f s running, CPU %.2f s, RSS %d KiB\n", n, s / 1000, t / hz, r }'
}

wait_for_check 2
report 2
ticks2=$(cpu_ticks); ns2=$(date +%s%N); rss2=$(rss_kib)
wait_for_check "$checks"
report "$checks"
ticksN=$(cpu_ticks); nsN=$(date +%s%N); rssN=$(rss_kib)
awk -v t=$((ticksN - ticks2)) -v hz="$hz" -v s=$(((nsN - ns2) / 1000000)) \
  'BEGIN { printf "CPU between them: %.3f %% of one core over %.0f s [aim < 1 %%]\n", 100 * t / hz / (s / 1000), s / 1000 }'
echo "RSS growth between them: $((rssN - rss2)) KiB [aim: none]"
echo "uploads seen by the FTP server: $(grep -c '^STOR' "$work/ftp.log" || true)"
if [ -s "$work/zepa2.err" ]; then echo "program stderr:"; sed 's/^/  /' "$work/zepa2.err"; fi
