#!/usr/bin/env bash
# zepa2-check beside the curl command line doing the same work against the same local server,
# run in turn (A B A B ...) so that both see the same machine: the router fetch alone, and the
# fetch plus one upload in each transfer mode (active FTP, passive FTP, FTPS, SFTP) to the test
# servers, and FTPS to vsftpd when it is installed (started in the foreground on a free port with
# a certificate made here). Prints median, min and max wall time of each side and the median of
# the pairs' ratios. Usage: bench/transfer_pairs.sh [build folder]   (RUNS=15)
set -euo pipefail
build=$(realpath "${1:-build}")
runs=${RUNS:-15}
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
chmod 755 "$work"
source "$here/bench/fixtures.sh"
trap 'stop_processes; rm -rf "$work"' EXIT

start_fixture "$work/router.out" router_server.py
router=$port
mkdir -p "$work/ftp" "$work/ftps" "$work/sftp" "$work/tls" "$work/keys"
start_fixture "$work/ftp.out" ftp_server.py "$work/ftp" "$work/ftp.record"
ftp=$port
start_fixture "$work/ftps.out" ftp_server.py --tls="$work/tls" "$work/ftps" "$work/ftps.record"
ftps=$port
start_fixture "$work/sftp.out" sftp_server.py "$work/sftp" "$work/keys" "$work/sftp.record"
sftp=$port

vsftpd=
if [ -x /usr/sbin/vsftpd ]; then
  mkdir -p "$work/vsftpd/root/up" "$work/vsftpd/empty"
  chown ftp "$work/vsftpd/root/up" 2>/dev/null || chmod 777 "$work/vsftpd/root/up"
  openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 \
    -keyout "$work/vsftpd/key.pem" -out "$work/vsftpd/cert.pem" 2>/dev/null
  vsftpd=$("$python" -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
  cat >"$work/vsftpd/vsftpd.conf" <<CONF
listen=YES
listen_address=127.0.0.1
listen_port=$vsftpd
background=NO
anonymous_enable=YES
local_enable=NO
write_enable=YES
anon_upload_enable=YES
anon_other_write_enable=YES
anon_root=$work/vsftpd/root
no_anon_password=YES
secure_chroot_dir=$work/vsftpd/empty
seccomp_sandbox=NO
ssl_enable=YES
allow_anon_ssl=YES
force_anon_logins_ssl=YES
force_anon_data_ssl=YES
require_ssl_reuse=NO
rsa_cert_file=$work/vsftpd/cert.pem
rsa_private_key_file=$work/vsftpd/key.pem
pasv_enable=YES
CONF
  /usr/sbin/vsftpd "$work/vsftpd/vsftpd.conf" 2>>"$work/fixtures.err" &
  pids+=($!)
  until "$python" -c "import socket; socket.create_connection(('127.0.0.1',$vsftpd),1)" 2>/dev/null; do sleep 0.05; done
fi

# settings FTP_PORT MODE [USER] [REMOTE]: one site in the given mode, its key pinned by --trust.
settings() {
  write_settings "$router" "$1" "[FTP]
Mode1=$2
User1=${3:-zepa}
File1=${4:-index.html}"
  [ "$2" -ge 2 ] && "$build/zepa2-check" --trust >/dev/null 2>&1
  cd "$work"
  "$build/zepa2-check" >/dev/null 2>&1 || true  # records the address
}

now_us() { echo $(( $(date +%s%N) / 1000 )); }
# pair LABEL 'ZEPA2 COMMAND' 'CURL COMMAND': RUNS turns of each, after one of each not counted.
pair() {
  local label=$1 a=$2 b=$3 ta=() tb=() ratios=() t0 t1 t2
  sh -c "$a" >/dev/null 2>&1; sh -c "$b" >/dev/null 2>&1
  for _ in $(seq "$runs"); do
    t0=$(now_us); sh -c "$a" >/dev/null 2>&1 || echo "  $label: zepa2-check failed" >&2
    t1=$(now_us); sh -c "$b" >/dev/null 2>&1 || echo "  $label: curl failed" >&2
    t2=$(now_us)
    ta+=($((t1 - t0))); tb+=($((t2 - t1)))
    ratios+=("$(echo "($t1 - $t0) / ($t2 - $t1)" | bc -l)")
  done
  stats() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END{printf "%7.1f ms (%6.1f..%6.1f)", a[int((NR+1)/2)]/1000, a[1]/1000, a[NR]/1000}'; }
  local ratio
  ratio=$(printf '%s\n' "${ratios[@]}" | sort -g | awk '{a[NR]=$1} END{printf "%.2f (%.2f..%.2f)", a[int((NR+1)/2)], a[1], a[NR]}')
  printf '%-26s zepa2 %s  curl %s  ratio %s\n' "$label" "$(stats "${ta[@]}")" "$(stats "${tb[@]}")" "$ratio"
}

get="curl -s -o /dev/null http://127.0.0.1:$router/status.htm"
changed="rm -f '$work/state/ZEPA/last-address'; exec '$build/zepa2-check'"
echo "runs: $runs pairs each; median (min..max); ratio zepa2/curl per pair"

settings "$ftp" 0
pair "router fetch" "exec '$build/zepa2-check'" "$get"
pair "fetch + active FTP" "$changed" "$get && curl -s -T site.html -u zepa:secret --ftp-port - ftp://127.0.0.1:$ftp/index.html"
settings "$ftp" 1
pair "fetch + passive FTP" "$changed" "$get && curl -s -T site.html -u zepa:secret ftp://127.0.0.1:$ftp/index.html"
settings "$ftps" 2
pair "fetch + FTPS" "$changed" "$get && curl -s -k --ssl-reqd -T site.html -u zepa:secret ftp://127.0.0.1:$ftps/index.html"
settings "$sftp" 3
pair "fetch + SFTP" "$changed" "$get && curl -s -k -T site.html -u zepa:secret sftp://127.0.0.1:$sftp/index.html"
if [ -n "$vsftpd" ]; then
  settings "$vsftpd" 2 anonymous up/index.html
  pair "fetch + FTPS to vsftpd" "$changed" "$get && curl -s -k --ssl-reqd -T site.html -u anonymous: ftp://127.0.0.1:$vsftpd/up/index.html"
else
  echo "fetch + FTPS to vsftpd: skipped (no /usr/sbin/vsftpd; Debian package vsftpd)"
fi
