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

cd "$work"
"$build/zepa2-check" >/dev/null  # first run records the address
echo "runs: $runs"
measure "zepa2-check, address unchanged" : "$build/zepa2-check"
measure "curl GET of the router page" : curl -s -o /dev/null "http://127.0.0.1:$router/status.htm"
measure "zepa2-check, address changed" 'rm -f "$XDG_STATE_HOME/ZEPA/last-address"' "$build/zepa2-check"
measure "curl GET + curl -T upload" : sh -c "curl -s -o /dev/null http://127.0.0.1:$router/status.htm && curl -s -T site.html -u zepa:secret ftp://127.0.0.1:$ftp/index.html --ftp-port -"
