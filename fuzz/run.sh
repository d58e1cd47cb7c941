#!/usr/bin/env bash
# Builds the fuzz target with clang into build-fuzz and runs it for SECONDS (default 60) on a
# copy of the seed corpus. Exits non-zero when the fuzzer finds a crash; the input that caused
# it is left in fuzz/crashes/.
set -euo pipefail
seconds="${1:-60}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-fuzz"

cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTESSIVER_FUZZ=ON -DTESSIVER_GUI=OFF -DTESSIVER_TESTS=OFF -DTESSIVER_BENCH=OFF >/dev/null
cmake --build "$build" --target tessiver_fuzz -j2

corpus="$build/corpus"
rm -rf "$corpus"
cp -r "$root/fuzz/corpus" "$corpus"
mkdir -p "$root/fuzz/crashes"
"$build/fuzz/tessiver_fuzz" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$root/fuzz/crashes/" "$corpus"
