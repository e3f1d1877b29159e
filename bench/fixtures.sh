# Sourced by the benchmark scripts: starts the Python test servers of tests/fixtures.
# Needs `here` (the project folder) and `work` (a scratch folder); every process started goes
# into `pids`, which the script kills on exit.
python=/usr/bin/python3  # Debian's, which has pyftpdlib
pids=()

# start_fixture OUTFILE SCRIPT [ARGS...]: waits for the server's "PORT <n>" line and sets port.
start_fixture() {
  local out=$1 script=$2; shift 2
  "$python" -u "$here/tests/fixtures/$script" "$@" >"$out" 2>>"$work/fixtures.err" &
  pids+=($!)
  until grep -q '^PORT ' "$out" 2>/dev/null; do sleep 0.05; done
  port=$(awk '/^PORT / { print $2; exit }' "$out")
}

stop_processes() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
