#!/usr/bin/env bash
# How long a site that stalls costs: one zepa2-check run against an FTP server that answers STOR
# with 150 and then goes silent (QUIT included), and how long zepa2-check --watch takes to end
# after SIGTERM in the middle of such an upload, and in the middle of an FTP over TLS handshake the
# server never starts after its 234. Wall time and peak RSS from /usr/bin/time -v.
# Usage: bench/stalled_site.sh [build folder]
set -euo pipefail
build=$(realpath "${1:-build}")
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
source "$here/bench/fixtures.sh"
trap 'stop_processes; rm -rf "$work"' EXIT
start_fixture "$work/router.out" router_server.py
router=$port
mkdir -p "$work/ftp"
start_fixture "$work/ftp.out" ftp_server.py --stall-stor "$work/ftp" "$work/ftp.record"
write_settings "$router" "$port"
cd "$work"

/usr/bin/time -v -o "$work/one.time" "$build/zepa2-check" >"$work/one.out" 2>&1 || true
printf '%-44s %s\n' "one run, stalled site (wall):" "$(awk -F': ' '/Elapsed \(wall/ {print $2}' "$work/one.time")"
printf '%-44s %s KiB\n' "one run, stalled site (peak RSS):" "$(awk -F': ' '/Maximum resident/ {print $2}' "$work/one.time")"
grep -E '^error' "$work/one.out" | sed 's/^/    /'

rm -f "$XDG_STATE_HOME/ZEPA/last-address" "$work/ftp.record"
"$build/zepa2-check" --watch >"$work/watch.out" 2>&1 &
watcher=$!
until grep -q 'STOR index.html' "$work/ftp.record" 2>/dev/null; do sleep 0.05; done
t0=$(date +%s%N)
kill -TERM "$watcher"
wait "$watcher" || true
t1=$(date +%s%N)
printf '%-44s %d ms\n' "--watch: SIGTERM during the stalled upload:" $(( (t1 - t0) / 1000000 ))

# FTP over TLS whose server answers AUTH TLS with 234 and then says nothing: libcurl runs that
# handshake inside one call, so only the cut sockets end it.
start_fixture "$work/stall.out" stall_server.py after-234
write_settings "$router" "$port"
sed -i 's/^MIRROR=1$/Mode1=2\nMIRROR=1/' "$XDG_CONFIG_HOME/ZEPA/ZEPA2.conf"
rm -f "$XDG_STATE_HOME/ZEPA/last-address"
"$build/zepa2-check" --watch >"$work/tls.out" 2>&1 &
watcher=$!
until [ "$(grep -c '開始' "$work/tls.out" 2>/dev/null)" -ge 2 ]; do sleep 0.05; done
sleep 0.5
t0=$(date +%s%N)
kill -TERM "$watcher"
wait "$watcher" || true
t1=$(date +%s%N)
printf '%-44s %d ms\n' "--watch: SIGTERM in a stalled FTPS handshake:" $(( (t1 - t0) / 1000000 ))
