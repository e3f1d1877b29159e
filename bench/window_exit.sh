#!/usr/bin/env bash
# How long the window's process lingers after its window has gone, under Xvfb in a private
# session bus: idle without and with a notification service on the bus, after a failed check
# whose notice went to the service, and with a check that Esc stopped (the router never answers). Usage: bench/window_exit.sh [build folder]  (RUNS=7;
# TRAY_HOST=1 has the service stand in for a desktop's tray host as well, NEVER_ANSWER=1 makes it
# a hung daemon that takes notices and never answers; SERVICE=dunst puts a real notification daemon on
# the bus instead of the stand-in: apt-get install dunst)
set -euo pipefail
build=$(realpath "${1:-build}")
runs=${RUNS:-7}
here=$(cd "$(dirname "$0")/.." && pwd)

if [ -z "${ZEPA2_BENCH_IN_X:-}" ]; then
  exec env ZEPA2_BENCH_IN_X=1 xvfb-run -a -n $((200 + RANDOM % 500)) -s "-screen 0 1280x1024x24 -noreset" \
    dbus-run-session -- "$0" "$build"
fi

work=$(mktemp -d)
chmod 700 "$work"
source "$here/bench/fixtures.sh"
cleanup() { stop_processes; rm -rf "$work"; }
trap cleanup EXIT
export XDG_RUNTIME_DIR=$work
start_fixture "$work/router.out" router_server.py
write_settings "$port" 1 "[SYSTEM]
INTERVAL=1
TIMENO=2
Notify=${NOTIFY:-1}"

echo "idle, no notification service on the bus:"
python3 "$here/bench/window_exit.py" "$build/zepa2" "$runs" 1

if [ "${SERVICE:-}" = dunst ]; then
  dunst >"$work/service.out" 2>&1 &
  pids+=($!)
  until dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
      string:org.freedesktop.Notifications 2>/dev/null | grep -q true; do sleep 0.05; done
else
  "$build/bench/notification_service" ${TRAY_HOST:+--tray} ${NEVER_ANSWER:+--never-answer} >"$work/service.out" &
  pids+=($!)
  until grep -q ready "$work/service.out" 2>/dev/null; do sleep 0.05; done
fi
echo "idle, notification service on the bus:"
python3 "$here/bench/window_exit.py" "$build/zepa2" "$runs" 1

# A check at start fails at the site (nothing listens on its port): its failure notice goes to
# the service before Esc.
printf 'STARTRUN=1\n' >>"$XDG_CONFIG_HOME/ZEPA/ZEPA2.conf"
echo "after a failed check told to the notification service:"
python3 "$here/bench/window_exit.py" "$build/zepa2" "$runs" 6
echo "notices the service took: $(grep -c notified "$work/service.out")"

# A check at start asks a page the router never answers: Esc stops it.
sed -i 's|^Page=status.htm|Page=hang.htm|' "$XDG_CONFIG_HOME/ZEPA/ZEPA2.conf"
echo "a check stopped by Esc, notification service on the bus:"
python3 "$here/bench/window_exit.py" "$build/zepa2" "$runs" 1
echo "notices the service took: $(grep -c notified "$work/service.out")"
