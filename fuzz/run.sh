#!/usr/bin/env bash
# Builds the fuzz targets with clang into build-fuzz and runs each on a copy of its seed corpus
# (fuzz/corpus/<target>/): "table", the reader and the alignment; "inline", the changes within a
# line; and "registry", the settings file's text form. SECONDS (default 60) is the whole run,
# shared equally; naming one target gives it all. Exits non-zero when a target finds a fault; the input that caused it is left in
# fuzz/crashes/, its name starting with the target's.
# Usage: fuzz/run.sh [SECONDS] [table|inline|registry]
set -euo pipefail
seconds="${1:-60}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-fuzz"
targets=(table inline registry)
if [ -n "${2:-}" ]; then
  targets=("$2")
fi
share=$((seconds / ${#targets[@]}))
share=$((share > 0 ? share : 1))

cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTESSIVER_FUZZ=ON -DTESSIVER_GUI=OFF -DTESSIVER_TESTS=OFF -DTESSIVER_BENCH=OFF >/dev/null
for target in "${targets[@]}"; do
  cmake --build "$build" --target "tessiver_${target}_fuzz" -j2
done

mkdir -p "$root/fuzz/crashes"
for target in "${targets[@]}"; do
  corpus="$build/corpus-$target"
  rm -rf "$corpus"
  cp -r "$root/fuzz/corpus/$target" "$corpus"
  options=(-max_total_time="$share" -print_final_stats=1
           -artifact_prefix="$root/fuzz/crashes/$target-")
  # Whatever a settings file or a pair of lines holds, it must never take long.
  if [ "$target" != table ]; then
    options+=(-timeout=2)
  fi
  echo "== Fuzz target $target for $share s"
  "$build/fuzz/tessiver_${target}_fuzz" "${options[@]}" "$corpus"
done
