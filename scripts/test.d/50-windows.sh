#!/usr/bin/env bash
# The Windows stage of the test command: builds the i686 and x86-64 programs with mingw-w64
# and runs under Wine the core's unit tests, the end-to-end tests against cartidex-cli.exe, the
# resource check and a set in a 7z archive made here (both architectures), then the GUI smoke run
# of Cartidex.exe under Xvfb.
# Every Wine run has a timeout, reads no stdin, gets a fresh WINEPREFIX and ends with
# `wineserver -w`, so no wineserver outlives its run.
#
# The x86-64 programs run under Wine's 64-bit loader itself: Debian's `wine` command starts the
# 32-bit loader first, and some kernels run no 32-bit program at all. Where 32-bit programs
# cannot run (or CARTIDEX_NO_32BIT=1 says so), the i686 runs are skipped; the i686 programs are
# still built, and the x86-64 resource checker reads the i686 Cartidex.exe as a file.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
start=$SECONDS

CARTIDEX_WERROR=ON scripts/build-windows --with-test-tools i686 x86_64
echo "   (Windows builds took $((SECONDS - start)) s)"

wine32=/usr/lib/wine/wine
wine64=/usr/lib/wine/wine64
if [ "${CARTIDEX_NO_32BIT:-0}" = 1 ]; then
  runs32=0
  echo "32-bit programs: not run here (CARTIDEX_NO_32BIT=1)"
elif "$wine32" --version >/dev/null 2>&1; then
  runs32=1
  echo "32-bit programs: this kernel runs them"
else
  runs32=0
  echo "32-bit programs: this kernel runs none"
fi

export WINEDEBUG=-all
# No Mono or Gecko: a fresh prefix would otherwise offer to install them.
export WINEDLLOVERRIDES="mscoree,mshtml="
failures=0
skipped=0
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

# sevenz_set ARCH WINE: a set in a solid 7z archive, made here by the 7z program, identified by
# cartidex-cli.exe under Wine: the log it keeps must report the set found.
sevenz_set() {
  local arch=$1 wine=$2 work prefix rc=0 t=$SECONDS
  work=$(mktemp -d /tmp/cartidex-7z.XXXXXX)
  mkdir -p "$work/home/datfiles" "$work/in"
  printf 'first rom of the pair' > "$work/in/a.rom"
  printf 'second rom of the pair' > "$work/in/b.rom"
  # A file's CRC-32: the first four bytes of its gzip trailer, read little-endian.
  crc() { gzip -c "$1" | tail -c 8 | head -c 4 | od -An -tx4 | tr -d ' \n' | tr a-f A-F; }
  printf '#console#;Wine\r\nPair.zip:a.rom:b.rom;:21:22;:%s:%s\r\n' \
    "$(crc "$work/in/a.rom")" "$(crc "$work/in/b.rom")" > "$work/home/datfiles/pair.cxi"
  (cd "$work/in" && 7z a -bd -bso0 -bsp0 -ms=on ../pair.7z a.rom b.rom) || rc=1
  local win="Z:${work//\//\\}"
  prefix=$(mktemp -d /tmp/cartidex-wine.XXXXXX)
  WINEPREFIX=$prefix env -u DISPLAY timeout 300 "$wine" "build-windows/$arch/cartidex-cli.exe" \
    --home "$win\\home" --keep-log "$win\\kept.txt" single "$win\\pair.7z" \
    </dev/null >/dev/null || rc=1
  WINEPREFIX=$prefix timeout 60 wineserver -w || WINEPREFIX=$prefix wineserver -k || true
  rm -rf "$prefix"
  grep -aq " Found set: Pair.zip" "$work/kept.txt" 2>/dev/null || rc=1
  rm -rf "$work"
  if [ $rc -ne 0 ]; then
    echo "FAILED: $arch 7z set"
    failures=$((failures + 1))
  else
    echo "   $arch: a set in a 7z archive found"
  fi
  echo "   ($arch 7z set: $((SECONDS - t)) s)"
}

for arch in i686 x86_64; do
  dir=build-windows/$arch
  if [ "$arch" = i686 ]; then
    if [ $runs32 -eq 0 ]; then
      echo "i686 runs skipped: this kernel runs no 32-bit programs"
      skipped=$((skipped + 4))  # unit, end-to-end, resource and 7z set runs
      continue
    fi
    wine=$wine32
  else
    wine=$wine64
  fi
  echo "== Windows $arch: unit tests under Wine"
  wine_run "$arch unit tests" "$wine" "$dir/cartidex_tests.exe"
  echo "== Windows $arch: end-to-end tests of cartidex-cli.exe under Wine"
  wine_run "$arch e2e tests" "$wine" "$dir/cartidex_e2e_tests.exe"
  echo "== Windows $arch: resources of Cartidex.exe"
  wine_run "$arch resource check" "$wine" "$dir/cartidex_resource_tests.exe"
  echo "== Windows $arch: a set in a 7z archive"
  sevenz_set "$arch" "$wine"
done
if [ $runs32 -eq 0 ]; then
  echo "== Windows i686: resources of Cartidex.exe, read by the x86-64 checker"
  i686_exe=$root/build-windows/i686/Cartidex.exe
  wine_run "i686 resource check" env CARTIDEX_CHECKED_EXE="Z:${i686_exe//\//\\}" \
    "$wine64" build-windows/x86_64/cartidex_resource_tests.exe
fi

# The GUI smoke run: the 32-bit program where it can run, else the x86-64 one.
smoke_arch=i686
smoke_wine=$wine32
if [ $runs32 -eq 0 ]; then
  smoke_arch=x86_64
  smoke_wine=$wine64
fi
echo "== Windows $smoke_arch: GUI smoke run under Xvfb"
t=$SECONDS
prefix=$(mktemp -d /tmp/cartidex-wine.XXXXXX)
rc=0
WINEPREFIX=$prefix WINE=$smoke_wine timeout 600 xvfb-run -a -s "-screen 0 1024x768x24" \
  bash tests/windows/gui_smoke.sh "build-windows/$smoke_arch" </dev/null || rc=$?
WINEPREFIX=$prefix timeout 60 wineserver -w || WINEPREFIX=$prefix wineserver -k || true
rm -rf "$prefix"
if [ $rc -ne 0 ]; then
  echo "FAILED: GUI smoke run (status $rc)"
  failures=$((failures + 1))
fi
echo "   (GUI smoke run: $((SECONDS - t)) s)"

echo "== Windows stage: $((SECONDS - start)) s, $failures failed run(s), $skipped skipped"
echo "windows: $passed_total passed, $failed_total failed, $skipped skipped"
[ $failures -eq 0 ]
