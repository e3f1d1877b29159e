#!/bin/sh
# The Debian package as a user gets it: made by CPack, listed, unpacked, its program run from the
# unpacked tree, its desktop entry, metadata and manual pages checked by their own tools.
# Usage: package_test.sh CPACK BUILD_DIR VERSION
set -eu
cpack=$1 build=$2 version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "package test: $*" >&2; exit 1; }

"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$work"/out/*.deb)
[ "$(basename "$deb")" = "zepa2_${version}_$(dpkg --print-architecture).deb" ] || fail "unexpected name $deb"

dpkg-deb -c "$deb" >"$work/list"
for file in usr/bin/zepa2 usr/bin/zepa2-check \
    usr/share/applications/zepa2.desktop \
    usr/share/icons/hicolor/16x16/apps/zepa2.png \
    usr/share/icons/hicolor/32x32/apps/zepa2.png \
    usr/share/icons/hicolor/128x128/apps/zepa2.png \
    usr/share/metainfo/io.github.zepa2.zepa2.metainfo.xml \
    usr/lib/systemd/user/zepa2-check.service \
    usr/share/man/man1/zepa2.1.gz usr/share/man/man1/zepa2-check.1.gz; do
  grep -q " \./$file\$" "$work/list" || fail "$file is not in the package"
done
if grep -q " \./usr/local/" "$work/list"; then fail "files under /usr/local"; fi

# Depends is computed from what the programs link.
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libcurl4 libqt6widgets6; do
  case "$depends" in *"$library "*) ;; *) fail "Depends lacks $library: $depends" ;; esac
done

dpkg-deb -x "$deb" "$work/root"
root=$work/root
[ "$("$root/usr/bin/zepa2-check" --version)" = "zepa2-check $version" ] || fail "--version of the unpacked program"
grep -qx "ExecStart=/usr/bin/zepa2-check --watch" "$root/usr/lib/systemd/user/zepa2-check.service" ||
  fail "the unit does not start /usr/bin/zepa2-check"

desktop-file-validate "$root/usr/share/applications/zepa2.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/io.github.zepa2.zepa2.metainfo.xml" ||
  fail "appstreamcli validate"
for page in zepa2 zepa2-check; do
  man=$root/usr/share/man/man1/$page.1.gz
  gzip -t "$man" || fail "$page.1.gz is not gzip"
  warnings=$(gzip -dc "$man" | LC_ALL=C.UTF-8 groff -man -ww -z 2>&1) || fail "groff failed on $page.1"
  [ -z "$warnings" ] || fail "groff warns on $page.1: $warnings"
done
echo "package test: $(basename "$deb") ok"
