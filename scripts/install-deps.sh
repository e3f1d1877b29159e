#!/usr/bin/env bash
# Installs the Debian packages ZEPA2 needs to build, run and test, skipping those already present.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-qpa-plugins qt6-translations-l10n libgl-dev
  libcurl4-openssl-dev libminiupnpc-dev libnatpmp-dev nlohmann-json3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libssl-dev
  python3 python3-pyftpdlib python3-openssl python3-cryptography python3-paramiko
  lighttpd lighttpd-mod-webdav lighttpd-mod-openssl
  fonts-noto-cjk xvfb xauth imagemagick
  dbus-daemon iproute2 radvd
  python3-prometheus-client python3-aiosmtpd
  libsecret-1-dev gnome-keyring libsecret-tools strace
  dpkg-dev file desktop-file-utils appstream groff-base
  clang-format clang libclang-rt-14-dev
  libldns-dev knot knot-dnsutils bind9 bind9-dnsutils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  echo "Missing packages (${missing[*]}) and no root or sudo to install them." >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
