#!/usr/bin/env bash
# The window beside a bare Qt dialog with a list, under Xvfb: time from start to the window
# mapped, resident memory once it is shown, and which of the optional parts it has mapped (libcurl,
# image format plugins, font files). Usage: bench/window_footprint.sh [build folder]  (RUNS=15)
set -euo pipefail
build=$(realpath "${1:-build}")
runs=${RUNS:-15}

if [ -z "${ZEPA2_BENCH_IN_X:-}" ]; then
  exec env ZEPA2_BENCH_IN_X=1 xvfb-run -a -n $((200 + RANDOM % 500)) -s "-screen 0 1280x1024x24 -noreset" "$0" "$build"
fi

work=$(mktemp -d)
chmod 700 "$work"
pid=
cleanup() { [ -n "$pid" ] && kill "$pid" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
export XDG_CONFIG_HOME=$work XDG_RUNTIME_DIR=$work XDG_STATE_HOME=$work/state

now_us() { echo $(( $(date +%s%N) / 1000 )); }

# start TITLE COMMAND...: starts it, waits until a window of that title is viewable; sets pid, elapsed.
start() {
  local title=$1 begin; shift
  begin=$(now_us)
  "$@" 2>>"$work/stderr" &
  pid=$!
  until xwininfo -name "$title" 2>/dev/null | grep -q IsViewable; do
    kill -0 "$pid" 2>/dev/null || { echo "$1 ended early:" >&2; cat "$work/stderr" >&2; exit 1; }
    sleep 0.002
  done
  elapsed=$(($(now_us) - begin))
}
stop() { kill "$pid"; wait "$pid" 2>/dev/null || true; pid=; }

# measure LABEL TITLE COMMAND...: prints median (min..max) time to visible, then RSS and mappings.
measure() {
  local label=$1 title=$2; shift 2
  local times=()
  for _ in $(seq "$runs"); do start "$title" "$@"; times+=("$elapsed"); stop; done
  start "$title" "$@"
  sleep 1
  local rss maps
  rss=$(awk '/^VmRSS/ { print $2 }' "/proc/$pid/status")
  maps=$(awk '{ print $6 }' "/proc/$pid/maps" | sort -u)
  printf '%-12s visible after %s  RSS %6.1f MiB\n' "$label" \
    "$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END{printf "%6.1f ms (%.1f..%.1f)", a[int((NR+1)/2)]/1000, a[1]/1000, a[NR]/1000}')" \
    "$(echo "$rss / 1024" | bc -l)"
  printf '             libcurl: %s; libcrypto: %s; image plugins: %s; font files: %s\n' \
    "$(grep -c 'libcurl' <<<"$maps" || true)" "$(grep -c 'libcrypto' <<<"$maps" || true)" \
    "$(grep 'imageformats' <<<"$maps" | xargs -r -n1 basename | tr '\n' ' ' || true)" \
    "$(grep -E '\.(ttf|ttc|otf)$' <<<"$maps" | xargs -r -n1 basename | tr '\n' ' ' || true)"
  stop
  echo "$rss" >"$work/rss.$label"
}

echo "runs: $runs"
measure bare -BARE- "$build/bench/bare_dialog"
measure window -ZEPA2- "$build/zepa2" -Embedding
echo "window - bare: $(( ($(cat "$work/rss.window") - $(cat "$work/rss.bare")) / 1024 )) MiB"
