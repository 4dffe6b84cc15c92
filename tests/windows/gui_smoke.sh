#!/usr/bin/env bash
# The GUI smoke run, inside an X display (xvfb-run) and a fresh WINEPREFIX: a program folder with
# Cartidex.exe and a datafile of two sets, the program started, cartidex_gui_smoke to drive it,
# and the program's end and its log's removal seen. WINE names the loader (default `wine`).
# Usage: tests/windows/gui_smoke.sh BUILD_DIR
set -euo pipefail
wine=${WINE:-wine}
home=$(mktemp -d /tmp/cartidex-smoke.XXXXXX)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/datfiles" "$home/tmp"
printf '#console#;Game Console\r\nSample Set (Rev 2.0).zip:samp.u1:samp.u2;:65536:131072;:1A2B3C4D:00ff00ff\r\nSpace Race.bin;32768;89ABCDEF\r\n' \
  > "$home/datfiles/Example.cxi"
cp "$1/Cartidex.exe" "$1/cartidex_gui_smoke.exe" "$home/"

# The prefix is made first: two programs starting at once in an empty prefix race for it.
timeout 300 "$wine" wineboot -i </dev/null
cd "$home"
timeout 300 "$wine" Cartidex.exe </dev/null &
program=$!
rc=0
timeout 300 "$wine" cartidex_gui_smoke.exe </dev/null || rc=$?
wait $program || { echo "FAILED: the program did not end after WM_CLOSE"; rc=1; }
if [ -e "$home/log.txt" ]; then echo "FAILED: log.txt left behind"; rc=1; fi
timeout 60 wineserver -w || true
exit $rc
