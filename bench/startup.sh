#!/usr/bin/env bash
# Start-up of the program under Xvfb: time until the main window is mapped, peak memory after
# start, CPU used while idle. Usage: bench/startup.sh [path/to/zepa2]  (RUNS, IDLE_SECONDS)
set -euo pipefail
program=$(realpath "${1:-build/zepa2}")
runs=${RUNS:-5}
idle=${IDLE_SECONDS:-60}

if [ -z "${ZEPA2_BENCH_IN_X:-}" ]; then
  # A random first server number keeps parallel xvfb-run -a calls from racing for the same one;
  # -noreset keeps the server from restarting (and refusing us) each time our last client leaves.
  exec env ZEPA2_BENCH_IN_X=1 xvfb-run -a -n $((200 + RANDOM % 500)) -s "-screen 0 1280x1024x24 -noreset" "$0" "$program"
fi

work=$(mktemp -d)
chmod 700 "$work"
pid=
cleanup() { [ -n "$pid" ] && kill "$pid" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
export XDG_CONFIG_HOME=$work XDG_RUNTIME_DIR=$work

now_ns() { date +%s%N; }
window_shown() { xwininfo -name "-ZEPA2-" 2>/dev/null | grep -q "IsViewable"; }

# Starts the program without the splash and waits for its window; sets pid and elapsed_ms.
start_program() {
  local begin end
  begin=$(now_ns)
  "$program" -Embedding 2>>"$work/stderr" &
  pid=$!
  until window_shown; do
    kill -0 "$pid" 2>/dev/null || { echo "program ended early:" >&2; cat "$work/stderr" >&2; exit 1; }
    sleep 0.001
  done
  end=$(now_ns)
  elapsed_ms=$(((end - begin) / 1000000))
}

stop_program() { kill "$pid"; wait "$pid" 2>/dev/null || true; pid=; }

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }

times=()
for _ in $(seq "$runs"); do
  start_program
  times+=("$elapsed_ms")
  stop_program
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n | tr '\n' ' ')
median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")
echo "start to window shown: median ${median} ms over ${runs} runs (${sorted% }) [aim <= 100 ms]"

start_program
sleep 1
rss_kib=$(awk '/^VmHWM/ { print $2 }' "/proc/$pid/status")
echo "peak RSS after start: $((rss_kib / 1024)) MiB (${rss_kib} KiB) [aim <= 45 MiB]"

hz=$(getconf CLK_TCK)
before=$(cpu_ticks)
sleep "$idle"
after=$(cpu_ticks)
awk -v t=$((after - before)) -v hz="$hz" -v s="$idle" \
  'BEGIN { printf "CPU while idle: %.3f %% of one core over %d s (%d ticks) [aim <= 0.5 %%]\n", 100 * t / hz / s, s, t }'
