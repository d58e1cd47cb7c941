#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors, and runs every test: the normal build,
# a bounded fuzz run, the same suite under AddressSanitizer and UndefinedBehaviorSanitizer, the
# Windows builds under Wine, and the Debian package's check.
# Usage: scripts/test.sh [--quick]   (--quick: the normal build's tests only)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
export QT_QPA_PLATFORM=offscreen
export CTEST_OUTPUT_ON_FAILURE=1

echo "== Build and test"
cmake -S . -B out/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSIVER_WERROR=ON >/dev/null
cmake --build out/release -j"$jobs"
ctest --test-dir out/release -j"$jobs" --timeout 300

if [ "${1:-}" = "--quick" ]; then
  exit 0
fi

echo "== Fuzz the reader and the alignment, and the settings file's text form"
bash fuzz/run.sh "${TESSIVER_FUZZ_SECONDS:-60}"

echo "== Build and test under AddressSanitizer and UndefinedBehaviorSanitizer"
# Leaks inside the system's font and display libraries are theirs, not ours.
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export ASAN_OPTIONS="detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cmake -S . -B out/sanitize -DCMAKE_BUILD_TYPE=Debug -DTESSIVER_WERROR=ON \
  -DTESSIVER_SANITIZE=address,undefined -DTESSIVER_BENCH=OFF >/dev/null
cmake --build out/sanitize -j"$jobs"
ctest --test-dir out/sanitize -j"$jobs" --timeout 600

echo "== The Windows programs, 32-bit and 64-bit, tested under Wine"
bash scripts/build-windows.sh

echo "== The Debian package"
bash scripts/check-package.sh
