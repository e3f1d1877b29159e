#!/bin/sh
# Runs a command inside a private D-Bus session whose Secret Service is an unlocked
# gnome-keyring-daemon with its keyrings in a temporary home. Start it with dbus-run-session:
#   dbus-run-session -- sh with_keyring.sh PROGRAM ARGS...
# Exit 77 (skipped) when the keyring daemon is not installed.
set -eu
command -v gnome-keyring-daemon >/dev/null 2>&1 || { echo "gnome-keyring-daemon is not installed" >&2; exit 77; }
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME="$home" XDG_DATA_HOME="$home/.local/share" XDG_CACHE_HOME="$home/.cache"
# A new login keyring, made and unlocked with this password read from standard input.
printf '%s' zepa2-test-keyring | gnome-keyring-daemon --unlock --components=secrets >/dev/null
ZEPA2_KEYRING_SESSION=1 "$@"
