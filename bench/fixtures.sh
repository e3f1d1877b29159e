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

# write_settings ROUTER_PORT FTP_PORT [EXTRA]: a settings file in $work/config for one site
# (index.html in the FTP server's home, user zepa, password secret) built from $work/site.html,
# with the lines of EXTRA at its end; exports the XDG folders and HOME.
write_settings() {
  local router=$1 ftp=$2 extra=${3:-}
  export XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state" HOME="$work"
  mkdir -p "$XDG_CONFIG_HOME/ZEPA" "$work/run"
  printf '<html>address $$IP_ADDRESS$$ at $$DAY_TIME$$</html>\n' >"$work/site.html"
  local pass
  pass=$(printf 'secret' | "$python" -c '
import sys
s=246813; out=""
for c in sys.stdin.read():
    s=(s*214013+2531011)&0xFFFFFFFF; k=((s>>16)&0x7FFF)//3968
    out+=chr(((ord(c)-0x20)^k)+0x20)
print(out, end="")')
  # FILTER1 is "WAN側IPアドレス", which the settings file holds as UTF-8 text.
  cat >"$XDG_CONFIG_HOME/ZEPA/ZEPA2.conf" <<CONF
[HTTP]
Server=127.0.0.1:$router
Page=status.htm
[FTP]
Server1=127.0.0.1:$ftp
User1=zepa
Pass1=$pass
File1=index.html
Path1=$work/site.html
MIRROR=1
[FILTER]
FILTER1=WAN側IPアドレス
FILTER2=</table>
FILTER3=<td>
FILTER4=</td>
$extra
CONF
}

# measure LABEL PREPARE COMMAND...: runs COMMAND $runs times, each after the shell text PREPARE
# (":" for nothing, untimed), and prints "label median_ms peak_rss_kib".
measure() {
  local label=$1 prepare=$2; shift 2
  local times=() rss=0
  for _ in $(seq "$runs"); do
    eval "$prepare"
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
  printf '%-44s %8.2f ms %8d KiB\n' "$label" "$(echo "$median/1000" | bc -l)" "$rss"
}
