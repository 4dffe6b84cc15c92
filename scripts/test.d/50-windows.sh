#!/usr/bin/env bash
# The Windows stage of the test command: builds the i686 and x86-64 programs with mingw-w64
# and runs under Wine the core's unit tests, the end-to-end tests against cartidex-cli.exe and
# the resource check (both architectures), then the GUI smoke run of the 32-bit Cartidex.exe
# under Xvfb. Every Wine run has a timeout, reads no stdin, gets a fresh WINEPREFIX and ends
# with `wineserver -w`, so no wineserver outlives its run.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
start=$SECONDS

scripts/build-windows --with-test-tools i686 x86_64
echo "   (Windows builds took $((SECONDS - start)) s)"

export WINEDEBUG=-all
# No Mono or Gecko: a fresh prefix would otherwise offer to install them.
export WINEDLLOVERRIDES="mscoree,mshtml="
failures=0
passed_total=0
failed_total=0

# wine_run LABEL COMMAND...: runs COMMAND in a fresh prefix, without a display, and ends the
# prefix's wineserver.
wine_run() {
  local label=$1; shift
  local prefix rc=0 t=$SECONDS
  prefix=$(mktemp -d /tmp/cartidex-wine.XXXXXX)
  WINEPREFIX=$prefix env -u DISPLAY timeout 600 "$@" </dev/null | tee "$prefix.out" || rc=$?
  # Adds up the test programs' closing "N passed, N failed" lines.
  local line
  line=$(grep -aE '^[0-9]+ passed, [0-9]+ failed' "$prefix.out" | tail -n 1 || true)
  if [ -n "$line" ]; then
    passed_total=$((passed_total + ${line%% passed*}))
    line=${line#*, }
    failed_total=$((failed_total + ${line%% failed*}))
  else
    [ $rc -ne 0 ] || rc=1  # a program that ran no test fails the run
  fi
  rm -f "$prefix.out"
  WINEPREFIX=$prefix timeout 60 wineserver -w || WINEPREFIX=$prefix wineserver -k || true
  rm -rf "$prefix"
  if [ $rc -ne 0 ]; then
    echo "FAILED: $label (status $rc)"
    failures=$((failures + 1))
  fi
  echo "   ($label: $((SECONDS - t)) s)"
}

for arch in i686 x86_64; do
  dir=build-windows/$arch
  echo "== Windows $arch: unit tests under Wine"
  wine_run "$arch unit tests" wine "$dir/cartidex_tests.exe"
  echo "== Windows $arch: end-to-end tests of cartidex-cli.exe under Wine"
  wine_run "$arch e2e tests" wine "$dir/cartidex_e2e_tests.exe"
  echo "== Windows $arch: resources of Cartidex.exe"
  wine_run "$arch resource check" wine "$dir/cartidex_resource_tests.exe"
done

echo "== Windows i686: GUI smoke run under Xvfb"
t=$SECONDS
artefacts=$root/build-windows/artefacts
mkdir -p "$artefacts"
prefix=$(mktemp -d /tmp/cartidex-wine.XXXXXX)
rc=0
WINEPREFIX=$prefix timeout 600 xvfb-run -a -s "-screen 0 1024x768x24" \
  bash tests/windows/gui_smoke.sh build-windows/i686 "$artefacts/cartidex-i686-smoke.bmp" \
  </dev/null || rc=$?
WINEPREFIX=$prefix timeout 60 wineserver -w || WINEPREFIX=$prefix wineserver -k || true
rm -rf "$prefix"
if [ $rc -ne 0 ]; then
  echo "FAILED: GUI smoke run (status $rc)"
  failures=$((failures + 1))
else
  echo "   screenshot kept: build-windows/artefacts/cartidex-i686-smoke.bmp"
fi
echo "   (GUI smoke run: $((SECONDS - t)) s)"

echo "== Windows stage: $((SECONDS - start)) s, $failures failed run(s)"
echo "windows: $passed_total passed, $failed_total failed"
[ $failures -eq 0 ]
