#!/usr/bin/env bash
# tessiver-table --brief against the same tool built from an earlier commit, whole processes timed
# in the same run: the rounds alternate between the two (which goes first alternates too), each
# round runs each tool 3 times, and the best time of each counts, by the clock and in processor
# time. Prints a Markdown table of the times and their ratios per pair, and checks that both print
# the same summary line.
#
# usage: bench/run-table-baseline.sh --baseline BIN [--rounds N] [--data DIR] [--build DIR]
#                                    [--args "ARGS"] [PAIR...]
#   --baseline BIN   the earlier tessiver-table
#   --rounds N       rounds per pair (default 7)
#   --data DIR       folder of the generated pairs (default bench/data)
#   --build DIR      build folder (default build-bench)
#   --args "ARGS"    options for both tools besides --brief (default none)
#   PAIR...          pairs by tessiver-genpair's names (default realistic-1m realistic-10m)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build-bench
data=$root/bench/data
rounds=7
baseline=
args=
pairs=()
while (($#)); do
    case $1 in
        --baseline) baseline=$(realpath "$2"); shift 2 ;;
        --rounds) rounds=$2; shift 2 ;;
        --data) data=$2; shift 2 ;;
        --build) build=$2; shift 2 ;;
        --args) args=$2; shift 2 ;;
        -h | --help) sed -n '2,15p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 0 ;;
        -*) echo "run-table-baseline.sh: unknown option $1" >&2; exit 2 ;;
        *) pairs+=("$1"); shift ;;
    esac
done
[[ -n $baseline ]] || { echo "run-table-baseline.sh: --baseline BIN is needed" >&2; exit 2; }
command -v /usr/bin/time >/dev/null || { echo "run-table-baseline.sh: /usr/bin/time is needed" >&2; exit 2; }
((${#pairs[@]})) || pairs=(realistic-1m realistic-10m)
large=
for pair in "${pairs[@]}"; do
    [[ $pair == *-10m* ]] && large=--large
done

cmake -S "$root" -B "$build" -DTESSIVER_GUI=OFF -DTESSIVER_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target tessiver-table tessiver-genpair >/dev/null
tool=$(find "$build" -name tessiver-table -type f -perm -u+x | head -n1)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/tessiver-genpair" --data "$data" $large "${pairs[@]}" >"$work/pairs.tsv"

# best BIN SOURCE TARGET: the best of 3 runs of BIN --brief: seconds of wall-clock time, then of
# processor time (user and system, both reading threads together). Processor time holds steadier
# than the clock on a machine that other work shares.
best() {
    local wall= cpu=
    for ((i = 0; i < 3; i++)); do
        # The clock to the nanosecond around the run; /usr/bin/time counts the processor time.
        local start end
        start=$(date +%s.%N)
        # shellcheck disable=SC2086
        /usr/bin/time -f '%U %S' -o "$work/time" "$1" --brief $args "$2" "$3" >/dev/null || true
        end=$(date +%s.%N)
        e=$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }')
        # A status other than 0 puts a line of its own before the times.
        read -r u s < <(tail -n1 "$work/time")
        wall=$(awk -v x="$wall" -v y="$e" 'BEGIN { print (x == "" || y < x ? y : x) }')
        cpu=$(awk -v x="$cpu" -v y="$u" -v z="$s" 'BEGIN { print (x == "" || y + z < x ? y + z : x) }')
    done
    echo "$wall $cpu"
}

# The lower of two "wall cpu" pairs, field by field.
lower() {
    awk -v a="$1" -v b="$2" 'BEGIN {
        if (a == "") { print b; exit }
        split(a, x, " "); split(b, y, " ")
        print (y[1] < x[1] ? y[1] : x[1]), (y[2] < x[2] ? y[2] : x[2]) }'
}

echo "| pair | --brief s | baseline s | wall vs baseline | --brief processor s | baseline processor s | processor vs baseline | same summary |"
echo "|---|--:|--:|--:|--:|--:|--:|---|"
while IFS=$'\t' read -r pair source target _; do
    [[ " ${pairs[*]} " == *" $pair "* ]] || continue
    mine=
    theirs=
    for ((round = 0; round < rounds; round++)); do
        if ((round % 2)); then
            a=$(best "$tool" "$source" "$target"); b=$(best "$baseline" "$source" "$target")
        else
            b=$(best "$baseline" "$source" "$target"); a=$(best "$tool" "$source" "$target")
        fi
        mine=$(lower "$mine" "$a")
        theirs=$(lower "$theirs" "$b")
    done
    # shellcheck disable=SC2086
    same=$( [[ $("$tool" --brief $args "$source" "$target") == \
               $("$baseline" --brief $args "$source" "$target") ]] && echo yes || echo NO)
    awk -v p="$pair" -v a="$mine" -v b="$theirs" -v s="$same" 'BEGIN {
        split(a, x, " "); split(b, y, " ")
        printf("| %s | %.3f | %.3f | %.3f | %.2f | %.2f | %.3f | %s |\n", p, x[1], y[1], x[1] / y[1],
               x[2], y[2], x[2] / y[2], s) }'
done <"$work/pairs.tsv"
