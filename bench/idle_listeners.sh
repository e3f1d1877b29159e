#!/usr/bin/env bash
# zepa2-check --watch left alone with every listener on: netlink, and the router's own word by
# NAT-PMP (one service) and by UPnP events (another, its subscription renewed every 30 s). CPU
# time from /proc/PID/stat and wake-ups (context switches of every thread) over the idle time.
# Usage: bench/idle_listeners.sh [path/to/zepa2-check]  (SECONDS_IDLE=600 by default)
set -euo pipefail
program=$(realpath "${1:-build/zepa2-check}")
idle=${SECONDS_IDLE:-600}
here=$(cd "$(dirname "$0")/.." && pwd)

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
start_fixture "$work/igd.out" igd_server.py
igd_port=$port
# NAT-PMP's port is fixed: without it (a test running) that service is left out.
natpmp=1
start_fixture "$work/natpmp.out" natpmp_server.py 203.0.113.45 || natpmp=0

hz=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
switches() { cat /proc/"$1"/task/*/status | awk '/ctxt_switches/ { n += $2 } END { print n }'; }
threads() { ls /proc/"$1"/task | wc -l; }

# start SOURCE_LINES: a service of its own (own settings and state) with the period at a day.
start() {
  local name=$1 source=$2
  mkdir -p "$work/$name"
  (
    work="$work/$name"
    write_settings "$router_port" "$ftp_port" "[SYSTEM]
INTERVAL=1
TIMENO=2"
    # The source goes into [HTTP], which the file starts with.
    sed -i "s|^Page=status.htm|Page=status.htm\n$source|" "$XDG_CONFIG_HOME/ZEPA/ZEPA2.conf"
    cd "$work"
    exec env XDG_RUNTIME_DIR="$work" "$program" --watch >"$work/out" 2>&1
  ) &
  pids+=($!)
  eval "pid_$name=$!"
}

start upnp "Source=1\nIgdUrl=http://127.0.0.1:$igd_port/events/60/rootDesc.xml"
services=(upnp)
if [ "$natpmp" = 1 ]; then
  start natpmp "Source=2\nNatPmpGateway=127.0.0.1"
  services+=(natpmp)
fi
sleep 10  # the first check, the subscription and its first events
for s in "${services[@]}"; do
  p=$(eval echo "\$pid_$s")
  eval "t0_$s=$(cpu_ticks "$p") w0_$s=$(switches "$p")"
done
sleep "$idle"
for s in "${services[@]}"; do
  p=$(eval echo "\$pid_$s")
  t=$(( $(cpu_ticks "$p") - $(eval echo "\$t0_$s") ))
  w=$(( $(switches "$p") - $(eval echo "\$w0_$s") ))
  awk -v s="$s" -v t="$t" -v hz="$hz" -v idle="$idle" -v w="$w" -v th="$(threads "$p")" \
    'BEGIN { printf "%-7s idle %d s: CPU %.3f %% of one core [aim < 0.5 %%], %d wake-ups in %d threads (%.3f/s) [aim <= 1/s a thread]\n", s, idle, 100 * t / hz / idle, w, th, w / idle }'
done
subscribes=$("$python" -c "import sys, urllib.request; print(urllib.request.urlopen(sys.argv[1]).read().decode().count('SUBSCRIBE'))" \
  "http://127.0.0.1:$igd_port/log")
echo "SUBSCRIBE requests the router had (the first, then one renewal every 30 s): $subscribes"
echo "checks started by events:"; grep -h "知らせました\|ネットワークの変化" "$work"/*/out | sed 's/^/  /' || echo "  none"
