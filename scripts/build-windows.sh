#!/usr/bin/env bash
# Builds the Windows program for 32-bit (i686) and 64-bit (x86_64) Windows with Debian's
# mingw-w64, into out/windows-i686/ and out/windows-x86_64/, and runs the Windows tests under
# Wine: the platform-neutral suites through ctest, the real window in Xvfb, and tessiver-table
# against the Linux build on the example pair. Installs what is missing first (run as root or
# with sudo).
# Usage: scripts/build-windows.sh [--no-tests] [ARCH...]   (ARCH: i686, x86_64; default both)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

run_tests=1
arches=()
for arg in "$@"; do
  case $arg in
    --no-tests) run_tests=0 ;;
    i686 | x86_64) arches+=("$arg") ;;
    *) echo "build-windows.sh: unknown argument $arg" >&2; exit 2 ;;
  esac
done
[ ${#arches[@]} -gt 0 ] || arches=(i686 x86_64)

bash scripts/install-deps.sh --windows

jobs=$(nproc 2>/dev/null || echo 2)
export WINEDEBUG=-all
# One Wine prefix for both builds, inside the build folder: made afresh once, after Wine's 32-bit
# half is installed (a prefix made before it runs no 32-bit program, and says nothing).
export WINEPREFIX="$root/out/wine-prefix"
if [ ! -f "$WINEPREFIX/.tessiver-ready" ]; then
  echo "== Making the Wine prefix"
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  # Wine has no Courier New; its metric twin takes its place.
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Courier New' /d 'Liberation Mono' /f \
    >/dev/null 2>&1
  # No window manager runs in the tests' X server: Wine need not wait for one.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.tessiver-ready"
fi

for arch in "${arches[@]}"; do
  echo "== Build for Windows ($arch)"
  build="out/windows-$arch"
  # The toolchain counts only when the build folder is made.
  toolchain=()
  [ -f "$build/CMakeCache.txt" ] || toolchain=(-DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-mingw-$arch.cmake")
  cmake -S . -B "$build" "${toolchain[@]}" -DCMAKE_BUILD_TYPE=Release -DTESSIVER_WERROR=ON \
    -DTESSIVER_BENCH=OFF >/dev/null
  cmake --build "$build" -j"$jobs"
  cp "$build/shell/tessiver.exe" "$build/tools/tessiver-table.exe" "$build/"
done

if [ "$run_tests" -eq 0 ]; then
  exit 0
fi

# The Linux side of the tests: the driver of the real window, and the table printer to compare.
cmake -S . -B out/release -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build out/release -j"$jobs" --target wine_window_tests tessiver-table

# A running server spares every test process Wine's start-up. It keeps no descriptor of ours.
wineserver -p </dev/null >/dev/null 2>&1
trap 'wineserver -k 2>/dev/null || true' EXIT
for arch in "${arches[@]}"; do
  build="out/windows-$arch"
  loader=wine
  [ "$arch" = x86_64 ] && loader=/usr/lib/wine/wine64
  echo "== Test the Windows build ($arch) under Wine"
  # The suites that make windows need an X server for Wine to make them on.
  xvfb-run -a -s "-screen 0 1024x768x24" \
    ctest --test-dir "$build" -j"$jobs" --timeout 300 --output-on-failure </dev/null |
    tee "$build/ctest.log"
  # A Wine that cannot run the program (no 32-bit half, a broken prefix) runs nothing and says
  # nothing: then no test is found, which is no pass.
  tests=$(sed -n 's/.* tests failed out of \([0-9]*\)$/\1/p' "$build/ctest.log")
  if [ "${tests:-0}" -lt 50 ]; then
    echo "build-windows.sh: only ${tests:-0} Windows tests ran" >&2
    exit 1
  fi

  echo "== The Windows window ($arch) under Wine in Xvfb"
  TESSIVER_WINDOWS_PROGRAM="$root/$build/tessiver.exe" TESSIVER_WINE="$loader" \
    timeout 300 out/release/tests/win32/wine_window_tests </dev/null

  echo "== tessiver-table.exe ($arch) prints what tessiver-table prints"
  # The exports too: the unified diff past its header (the paths and times are the system's),
  # the report past the lines that name the paths.
  for mode in table --unified=5 --html=3; do
    read -r source target <<<"examples/source.txt examples/target.txt"
    args=()
    filter=(cat)
    case $mode in
      --unified*) args=("$mode"); filter=(sed 1,2d) ;;
      --html*) args=("$mode"); filter=(grep -v '^<dt>') ;;
    esac
    status=0
    "$loader" "$build/tessiver-table.exe" "${args[@]}" "Z:$root/$source" "Z:$root/$target" \
      >"$build/table.txt" </dev/null || status=$?
    expected_status=0
    out/release/tools/tessiver-table "${args[@]}" "$source" "$target" >out/release/table.txt ||
      expected_status=$?
    cmp <("${filter[@]}" "$build/table.txt") <("${filter[@]}" out/release/table.txt) ||
      { echo "tessiver-table $mode differs"; exit 1; }
    [ "$status" -eq "$expected_status" ] || { echo "exit status $status, not $expected_status"; exit 1; }
  done
done
