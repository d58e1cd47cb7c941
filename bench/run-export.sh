#!/usr/bin/env bash
# Export benchmark: times tessiver-table's exports against its own table on the same pairs, in
# the same run, and prints each as a ratio to the table (whole process, output to /dev/null).
# Targets: --unified at most 2x the table, --html at most 3x. The page marks the changes within
# lines, so the table with --inline, which finds the same, is timed beside it. With --baseline,
# also times --brief of a tessiver-table built from an earlier commit beside this one's, to show
# that reading the files (which now notes each line's end) is no slower.
#
# usage: bench/run-export.sh [--runs N] [--data DIR] [--build DIR] [--baseline TABLE_TOOL]
#                            [PAIR...]
#   --runs N         runs per command; the best counts (default 10)
#   --data DIR       folder of the generated pairs (default bench/data)
#   --build DIR      build folder (default build-bench)
#   --baseline BIN   an earlier tessiver-table, its --brief timed beside this one's
#   PAIR             pairs of tessiver-genpair (default realistic-1m)
#
# Needs hyperfine (scripts/install-deps.sh installs it). Installs nothing.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build-bench
data=$root/bench/data
runs=10
baseline=
pairs=()
while (($#)); do
    case $1 in
        --runs) runs=$2; shift 2 ;;
        --data) data=$2; shift 2 ;;
        --build) build=$2; shift 2 ;;
        --baseline) baseline=$(realpath "$2"); shift 2 ;;
        -h | --help) sed -n '2,16p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 0 ;;
        -*) echo "run-export.sh: unknown option $1" >&2; exit 2 ;;
        *) pairs+=("$1"); shift ;;
    esac
done
((${#pairs[@]})) || pairs=(realistic-1m)
command -v hyperfine >/dev/null || { echo "run-export.sh: hyperfine is needed" >&2; exit 2; }

cmake -S "$root" -B "$build" -DTESSIVER_GUI=OFF -DTESSIVER_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target tessiver-table tessiver-genpair >/dev/null
table=$build/tools/tessiver-table
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/tessiver-genpair" --data "$data" "${pairs[@]}" >"$work/pairs.tsv"

# best SECONDS of the command, output to /dev/null; exit 1 (differences) is no failure.
best() {
    hyperfine -N -i --style none --warmup 1 --runs "$runs" --export-csv "$work/hf.csv" \
        -- "$(printf '%q ' "$@")" >/dev/null 2>&1
    awk -F, 'NR == 2 { print $(NF - 1) }' "$work/hf.csv"
}

echo "| pair | command | best s | vs table |"
echo "|---|---|--:|--:|"
while IFS=$'\t' read -r name source target _; do
    [[ $name == name ]] && continue
    reference=$(best "$table" "$source" "$target")
    row() { awk -v n="$name" -v c="$1" -v t="$2" -v r="$reference" \
        'BEGIN { printf("| %s | %s | %.3f | %.2f |\n", n, c, t, t / r) }'; }
    row "tessiver-table (the table)" "$reference"
    row "tessiver-table --unified" "$(best "$table" --unified "$source" "$target")"
    row "tessiver-table --unified --realign -w" \
        "$(best "$table" --unified --realign -w "$source" "$target")"
    row "tessiver-table --inline" "$(best "$table" --inline "$source" "$target")"
    if "$table" --help | grep -q -- --html; then
        row "tessiver-table --html" "$(best "$table" --html "$source" "$target")"
        row "tessiver-table --html=3" "$(best "$table" --html=3 "$source" "$target")"
    fi
    row "tessiver-table --brief" "$(best "$table" --brief "$source" "$target")"
    if [[ -n $baseline ]]; then
        row "baseline tessiver-table --brief" "$(best "$baseline" --brief "$source" "$target")"
    fi
done <"$work/pairs.tsv"
