#!/bin/sh
# Without any display the program must say so in one line and fail, not abort inside Qt.
program="$1"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" 2>&1)
status=$?
if [ "$status" -eq 0 ] || [ "$status" -gt 125 ]; then
  echo "expected a plain failure exit, got $status"; exit 1
fi
if [ "$(printf '%s\n' "$out" | wc -l)" -ne 1 ] || ! printf '%s' "$out" | grep -q "no display"; then
  echo "unexpected output: $out"; exit 1
fi
