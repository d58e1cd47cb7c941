#!/usr/bin/env bash
# Engine benchmark, end to end: builds tessiver-bench in Release, generates the pairs, times
# the engine on them, and in the same run times GNU diff, git diff --no-index, wc -l and
# tessiver-table on the same files. Prints Markdown: one table per pair, the engine's stages,
# and the key figures against their targets. Every ratio is against a reference measured in
# this run, on this machine.
#
# usage: bench/run-engine.sh [--reps N] [--no-large] [--data DIR] [--build DIR] [--write-results]
#                            [PAIR...]
#   --reps N         runs per tool and pair; the best time counts (default 5)
#   --no-large       leave out the 10-million-line pairs
#   --data DIR       folder of the generated pairs (default bench/data)
#   --build DIR      build folder (default build-bench)
#   --write-results  also write the report to bench/RESULTS.md
#
# Uses hyperfine for the times when it is installed (else /usr/bin/time, 10 ms resolution) and
# /usr/bin/time for every tool's peak resident memory. Installs nothing.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build-bench
data=$root/bench/data
reps=5
large=--large
write_results=0
pairs=()
command_line="bench/run-engine.sh $*"

while (($#)); do
    case $1 in
        --reps) reps=$2; shift 2 ;;
        --no-large) large=; shift ;;
        --data) data=$2; shift 2 ;;
        --build) build=$2; shift 2 ;;
        --write-results) write_results=1; shift ;;
        -h | --help) sed -n '2,18p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 0 ;;
        -*) echo "run-engine.sh: unknown option $1" >&2; exit 2 ;;
        *) pairs+=("$1"); shift ;;
    esac
done

for tool in /usr/bin/time diff git wc cmake; do
    command -v "$tool" >/dev/null || { echo "run-engine.sh: $tool is needed" >&2; exit 2; }
done
have_hyperfine=0
command -v hyperfine >/dev/null && have_hyperfine=1

log() { echo "run-engine.sh: $*" >&2; }

log "building in $build"
cmake -S "$root" -B "$build" -DTESSIVER_GUI=OFF -DTESSIVER_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
targets=(tessiver-bench tessiver-genpair)
if cmake --build "$build" --target help | grep -w tessiver-table >/dev/null; then
    targets+=(tessiver-table)
fi
cmake --build "$build" -j2 --target "${targets[@]}" >/dev/null
table_tool=$(find "$build" -name tessiver-table -type f -perm -u+x | head -n1)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

log "generating pairs in $data"
"$build/bench/tessiver-genpair" --data "$data" $large "${pairs[@]}" >"$work/pairs.tsv"

# measure LABEL COMMAND... : appends "label<TAB>seconds<TAB>peak_bytes" to $work/tools.tsv.
# One run under /usr/bin/time gives the peak memory and warms the page cache; hyperfine then
# takes the best of $reps runs (skipped for a tool that took over 30 s the first time).
# diff, git diff and tessiver-table exit 1 when the files differ, which is no failure here.
measure() {
    local label=$1
    shift
    /usr/bin/time -f '%e %M' -o "$work/time" "$@" >/dev/null 2>"$work/stderr" || true
    local first kilobytes
    read -r first kilobytes < <(tail -n1 "$work/time")
    local best=$first
    if ((have_hyperfine)) && awk -v s="$first" 'BEGIN { exit !(s < 30) }'; then
        local quoted
        quoted=$(printf '%q ' "$@")
        hyperfine -N -i --style none --runs "$reps" --export-csv "$work/hf.csv" -- "$quoted" \
            >/dev/null 2>&1
        best=$(awk -F, 'NR == 2 { print $(NF - 1) }' "$work/hf.csv")
    elif ((reps > 1)); then
        for ((i = 1; i < reps; i++)); do
            /usr/bin/time -f '%e %M' -o "$work/time" "$@" >/dev/null 2>&1 || true
            best=$(awk -v a="$best" -v b="$(tail -n1 "$work/time" | cut -d' ' -f1)" \
                'BEGIN { print (b < a ? b : a) }')
        done
    fi
    printf '%s\t%s\t%s\t%s\n' "$pair" "$label" "$best" "$((kilobytes * 1024))" >>"$work/tools.tsv"
}

# Pair by pair, the engine first and the other tools right after it, so that every ratio
# compares figures taken within the same minute or so on this shared machine.
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
: >"$work/tools.tsv"
echo "engine figures, one pair a line after this header" >"$work/engine.tsv"
while IFS=$'\t' read -r -u 3 pair source target _ _; do
    log "timing the engine and the other tools on $pair"
    "$build/bench/tessiver-bench" --data "$data" --reps "$reps" --tsv "$pair" | tail -n +2 \
        >>"$work/engine.tsv"
    measure "wc -l" wc -l "$source" "$target"
    measure "GNU diff" diff "$source" "$target"
    measure "git diff --no-index" git diff --no-index --no-color "$source" "$target"
    if [[ -n $table_tool ]]; then
        measure "tessiver-table (whole process, table to /dev/null)" "$table_tool" "$source" "$target"
    fi
done 3<"$work/pairs.tsv"
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

report() {
    local cpu
    cpu=$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)
    echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') at commit $(git -C "$root" rev-parse --short HEAD)"
    echo "on $(nproc) cores of ${cpu:-an unknown CPU}, $(awk '/MemTotal/ { printf "%.0f GB", $2 / 1e6 }' /proc/meminfo) RAM,"
    echo "swap $(awk '/SwapTotal/ { print ($2 > 0 ? "on" : "off") }' /proc/meminfo); load average $load_before before, $load_after after."
    echo "Times are the best of $reps runs ($( ((have_hyperfine)) && echo "hyperfine" || echo "/usr/bin/time")); peak memory is the"
    echo "peak resident size (/usr/bin/time %M; for the engine the child's ru_maxrss). MB = 10^6 bytes."
    echo "The engine row is SetFiles + Compare inside one process (files read, aligned, table built);"
    echo "the other rows are whole processes with their output sent to /dev/null."
    echo
    echo "The pairs (bench/PairGenerator.cpp; fixed seeds, the same bytes on every run):"
    echo
    # shellcheck disable=SC2016 # the backquotes are Markdown, not a command
    "$build/bench/tessiver-genpair" --list | sed 's/^\([^ ]*\) *\(.*\)/- `\1`: \2/'
    echo
    awk -F'\t' -v OFS='\t' '
        FNR == 1 { file++ }
        file == 1 { input[$1] = $4 + $5; order[++n] = $1; next }
        file == 2 && FNR > 1 {
            engine[$1] = $3; engineRss[$1] = $11; read[$1] = $5; align[$1] = $6; build[$1] = $7
            rows[$1] = $9; diffs[$1] = $10; faults[$1] = $13; median[$1] = $4; proc[$1] = $8
            next
        }
        file == 3 { tool[$1, ++count[$1]] = $2; secs[$1, count[$1]] = $3; rss[$1, count[$1]] = $4
                    if ($2 == "GNU diff") diffSecs[$1] = $3; if ($2 == "wc -l") wcSecs[$1] = $3 }
        function row(name, s, r, p) {
            printf("| %s | %.3f | %.1f | %.2f | %s | %s |\n", name, s, r / 1e6, r / input[p],
                   (diffSecs[p] > 0 ? sprintf("%.2f", s / diffSecs[p]) : "n/a"),
                   (wcSecs[p] > 0 ? sprintf("%.1f", s / wcSecs[p]) : "n/a"))
        }
        END {
            for (i = 1; i <= n; i++) {
                p = order[i]
                printf("### %s (%.1f MB in both files)\n\n", p, input[p] / 1e6)
                print "| tool | seconds | peak RSS MB | RSS / input | time vs diff | time vs wc -l |"
                print "|---|--:|--:|--:|--:|--:|"
                if (p in engine) row("Tessiver engine (SetFiles + Compare)", engine[p], engineRss[p], p)
                for (k = 1; k <= count[p]; k++) row(tool[p, k], secs[p, k], rss[p, k], p)
                print ""
            }
            print "### Engine stages (best run)\n"
            print "| pair | input MB | compare s | median s | read s | align s | build s | child process s | ms per MB | ns per row | rows | differences | peak RSS / input | major faults |"
            print "|---|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|"
            for (i = 1; i <= n; i++) {
                p = order[i]
                if (!(p in engine)) continue
                printf("| %s | %.1f | %.3f | %.3f | %.3f | %.3f | %.3f | %.3f | %.2f | %.0f | %d | %d | %.2f | %d |\n",
                       p, input[p] / 1e6, engine[p], median[p], read[p], align[p], build[p], proc[p],
                       engine[p] * 1000 / (input[p] / 1e6), (rows[p] > 0 ? engine[p] * 1e9 / rows[p] : 0), rows[p], diffs[p], engineRss[p] / input[p], faults[p])
            }
            p = "realistic-1m"
            if ((p in engine) && diffSecs[p] > 0 && wcSecs[p] > 0) {
                speedup = diffSecs[p] / engine[p]; overWc = engine[p] / wcSecs[p]; mem = engineRss[p] / input[p]
                print "\n### Key figures on realistic-1m\n"
                printf("- whole comparison %.1f times faster than GNU diff (target: at least 5): %s\n",
                       speedup, (speedup >= 5 ? "met" : sprintf("missed, needs %.0f%% less time", (1 - diffSecs[p] / 5 / engine[p]) * 100)))
                printf("- whole comparison %.1f times the time of wc -l (target: at most 10): %s\n",
                       overWc, (overWc <= 10 ? "met" : sprintf("missed, needs %.0f%% less time", (1 - 10 * wcSecs[p] / engine[p]) * 100)))
                printf("- peak memory %.2f times the two files (target: at most 1.6): %s\n",
                       mem, (mem <= 1.6 ? "met" : "missed"))
            }
            big = "realistic-10m"
            if ((p in engine) && (big in engine)) {
                printf("- realistic-10m takes %.2f times realistic-1m'"'"'s time per MB (1 is proportional), peak memory %.2f times its files, %d major faults\n",
                       (engine[big] / input[big]) / (engine[p] / input[p]), engineRss[big] / input[big], faults[big])
            }
        }
    ' "$work/pairs.tsv" "$work/engine.tsv" "$work/tools.tsv"
}

report >"$work/report.md"
cat "$work/report.md"
if ((write_results)); then
    # A "## Notes" section written by hand at the end of the file survives a new run.
    notes=
    if [[ -f $root/bench/RESULTS.md ]]; then
        notes=$(sed -n '/^## Notes/,$p' "$root/bench/RESULTS.md")
    fi
    {
        echo "# Engine benchmark results"
        echo
        echo "Reproduce with \`$command_line\` from the repository root (see bench/run-engine.sh"
        echo "for the options; the 10-million-line pairs need about 1.5 GB of disk in bench/data/)."
        echo
        cat "$work/report.md"
        if [[ -n $notes ]]; then
            echo
            echo "$notes"
        fi
    } >"$root/bench/RESULTS.md"
    log "wrote bench/RESULTS.md"
fi
