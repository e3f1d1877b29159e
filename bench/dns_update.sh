#!/usr/bin/env bash
# A zepa2-check run whose pages rest (the address is unchanged) and whose one dyndns2 target is
# sent its update, beside curl doing the same two requests (the router page, the update).
# Median wall time and peak RSS over RUNS runs.
# Usage: bench/dns_update.sh [build folder]   (RUNS=10)
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
start_fixture "$work/dns.out" dns_server.py
dns=$port

write_settings "$router" "$ftp"
# The DNS passwords start the keystream afresh: "secret" is stored as the first FTP one is.
conf="$XDG_CONFIG_HOME/ZEPA/ZEPA2.conf"
stored=$(grep -m1 '^Pass1=' "$conf" | cut -d= -f2-)
printf '[DNS]\nKind1=2\nUrl1=http://127.0.0.1:%s\nUser1=me\nPass1=%s\nHost1=home.example.net\n' \
  "$dns" "$stored" >>"$conf"

cd "$work"
"$build/zepa2-check" >/dev/null  # the pages take the address once; the runs below leave them
echo "runs: $runs"
# Without its state the target is new, so each run sends it the address.
measure "zepa2-check, pages unchanged, target sent" 'rm -f "$XDG_STATE_HOME/ZEPA/dns-state"' "$build/zepa2-check"
measure "curl GET router page + GET /nic/update" : sh -c "curl -s -o /dev/null http://127.0.0.1:$router/status.htm && curl -s -o /dev/null -u me:secret -A ZEPA2 'http://127.0.0.1:$dns/nic/update?hostname=home.example.net&myip=10.0.0.1'"
measure "zepa2-check, pages and target unchanged" : "$build/zepa2-check"
