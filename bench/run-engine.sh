#!/usr/bin/env bash
# Engine benchmark, end to end: builds tessiver-bench in Release, generates the pairs, times
# the engine on them in both alignment modes (the default and the realigning one), and in the
# same run times GNU diff, git diff --no-index, wc -l and tessiver-table (--brief, --realign
# --brief, and printing the whole table) on the same files. For each pair it also counts the
# lines GNU diff keeps in common (source lines that diff does not mark as deleted) beside the
# rows of each mode that are no difference, and how many of those very lines each mode keeps
# in step (on rows that are no difference). Prints Markdown: one table per pair, the engine's
# stages, the two modes side by side, and the key figures against their targets. Every ratio
# is against a reference measured in this run, on this machine. The pairs include ones made
# from this machine's own source files (code-*; any size and seed by name, as code-cxx-2m-seed9).
# The comparison options are timed too: tessiver-table -w --brief on every pair, and
# --decode --brief on a UTF-16LE copy (with its mark, made with iconv) of realistic-1m.
#
# usage: bench/run-engine.sh [--reps N] [--no-large] [--data DIR] [--build DIR] [--write-results]
#                            [--baseline TABLE_TOOL] [PAIR...]
#   --reps N         rounds per pair, each running every tool up to 3 times; the best time
#                    counts (default 5)
#   --no-large       leave out the 10-million-line pairs
#   --data DIR       folder of the generated pairs (default bench/data)
#   --build DIR      build folder (default build-bench)
#   --write-results  also write the report to bench/RESULTS.md
#   --baseline BIN   a tessiver-table built from an earlier commit: its --brief is timed beside
#                    this one, and its whole table must equal this one's byte for byte
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
baseline=
pairs=()
command_line="bench/run-engine.sh $*"

while (($#)); do
    case $1 in
        --reps) reps=$2; shift 2 ;;
        --no-large) large=; shift ;;
        --data) data=$2; shift 2 ;;
        --build) build=$2; shift 2 ;;
        --write-results) write_results=1; shift ;;
        --baseline) baseline=$(realpath "$2"); shift 2 ;;
        -h | --help) sed -n '2,25p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 0 ;;
        -*) echo "run-engine.sh: unknown option $1" >&2; exit 2 ;;
        *) pairs+=("$1"); shift ;;
    esac
done

for tool in /usr/bin/time diff git wc cmake iconv; do
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

# time_once COMMAND... : the best of $1 runs of the rest, in seconds. hyperfine when present
# (no shell in between); otherwise /usr/bin/time, to 10 ms. diff, git diff and tessiver-table
# exit 1 when the files differ, which is no failure here.
time_best_of() {
    local runs=$1
    shift
    if ((have_hyperfine)); then
        hyperfine -N -i --style none --runs "$runs" --export-csv "$work/hf.csv" \
            -- "$(printf '%q ' "$@")" >/dev/null 2>&1
        awk -F, 'NR == 2 { print $(NF - 1) }' "$work/hf.csv"
    else
        local best=
        for ((i = 0; i < runs; i++)); do
            /usr/bin/time -f '%e' -o "$work/time" "$@" >/dev/null 2>&1 || true
            best=$(awk -v a="$best" -v b="$(tail -n1 "$work/time")" \
                'BEGIN { print (a == "" || b < a ? b : a) }')
        done
        echo "$best"
    fi
}

# in_step DIFF_OUTPUT TABLE: of the source lines that GNU diff's normal output DIFF_OUTPUT keeps
# (does not mark as deleted), how many lie on rows of the table (tessiver-table's rows) that are
# no difference, tab-separated with the table's equal rows.
in_step() {
    awk -F'\t' '
        # By name: diff says nothing for identical files.
        FILENAME == ARGV[1] {
            if (match($0, /^[0-9]+(,[0-9]+)?[cd]/)) {
                n = split(substr($0, 1, RLENGTH - 1), range, ",")
                for (i = range[1]; i <= range[n]; i++) gone[i] = 1
            }
            next
        }
        /^#/ { next }
        $1 == 1 { equal++ }
        $2 > 0 && !($2 in gone) && ($1 == 1 || ($4 == "" && $5 == "")) { kept++ }
        END { printf("%d\t%d\n", kept, equal) }
    ' "$1" "$2"
}

# utf16_copy FILE: the path of FILE's UTF-16LE copy with a byte-order mark, made beside it
# unless one newer than FILE is there. A file just written through a pipe sits in the page cache
# in small pieces, which read several times slower than the pieces a file read from disk gets:
# the copy is dropped from the cache, so that the runs read it as they read the other files.
utf16_copy() {
    local copy=${1%.txt}.utf16.txt
    if [[ ! $copy -nt $1 ]]; then
        { printf '\xFF\xFE'; iconv -f UTF-8 -t UTF-16LE "$1"; } >"$copy.part"
        mv "$copy.part" "$copy"
        sync "$copy"
        dd if="$copy" iflag=nocache count=0 status=none
    fi
    echo "$copy"
}

# The tools beside the engine, as labels and shell-quoted command lines for the current pair.
set_tools() {
    labels=("wc -l" "GNU diff" "git diff --no-index")
    commands=("$(printf '%q ' wc -l "$source" "$target")"
        "$(printf '%q ' diff "$source" "$target")"
        "$(printf '%q ' git diff --no-index --no-color "$source" "$target")")
    if [[ -n $table_tool ]]; then
        labels+=("tessiver-table --brief (whole process)"
            "tessiver-table --realign --brief (whole process)"
            "tessiver-table (whole process, table to /dev/null)"
            "tessiver-table -w --brief (whole process)")
        commands+=("$(printf '%q ' "$table_tool" --brief "$source" "$target")"
            "$(printf '%q ' "$table_tool" --realign --brief "$source" "$target")"
            "$(printf '%q ' "$table_tool" "$source" "$target")"
            "$(printf '%q ' "$table_tool" -w --brief "$source" "$target")")
        if [[ $pair == realistic-1m ]]; then
            labels+=("tessiver-table --decode --brief, UTF-16LE copy (whole process)")
            commands+=("$(printf '%q ' "$table_tool" --decode --brief "$(utf16_copy "$source")" \
                "$(utf16_copy "$target")")")
        fi
    fi
    if [[ -n $baseline ]]; then
        labels+=("baseline tessiver-table --brief")
        commands+=("$(printf '%q ' "$baseline" --brief "$source" "$target")")
    fi
}

# Pair by pair, in $reps rounds; each round runs the engine and every tool a few times, and
# each one's best over all rounds counts. Interleaving keeps the load of this shared
# machine from favouring whichever tool happened to run in a quiet minute. One first run of
# each tool under /usr/bin/time gives its peak memory and warms the page cache; a tool whose
# first run took over 30 s is not run again.
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
: >"$work/tools.tsv"
: >"$work/rounds.tsv"
echo "engine figures, one run a line after this header" >"$work/engine.tsv"
: >"$work/same.tsv"
: >"$work/common.tsv"
: >"$work/instep.tsv"
while IFS=$'\t' read -r -u 3 pair source target _ _; do
    log "timing the engine and the other tools on $pair"
    set_tools
    # What GNU diff keeps in common: every source line it does not mark as deleted.
    source_lines=$(wc -l <"$source")
    { diff "$source" "$target" || true; } >"$work/diff.out"
    deleted=$(grep -c '^<' "$work/diff.out" || true)
    echo "$pair"$'\t'"$((source_lines - deleted))" >>"$work/common.tsv"
    # How many of those lines each mode keeps in step: on an equal row, or a blank line opposite
    # a blank line or nothing (rows that are no difference). Also each mode's equal rows.
    if [[ -n $table_tool ]]; then
        for mode in default realign; do
            options=()
            [[ $mode == realign ]] && options=(--realign)
            # Only the start of each row is needed: its kind and numbers, and whether it has
            # texts (awk is slow on lines of 100 MB).
            printf '%s\t%s\t%s\n' "$pair" "$mode" "$(in_step <(grep -E '^[0-9]' "$work/diff.out") \
                <({ "$table_tool" "${options[@]}" "$source" "$target" || true; } | cut -b1-64))" \
                >>"$work/instep.tsv"
        done
    fi
    if [[ -n $baseline && -n $table_tool ]]; then
        if cmp -s <("$baseline" "$source" "$target") <("$table_tool" "$source" "$target"); then
            echo "$pair"$'\t'"same" >>"$work/same.tsv"
        else
            echo "$pair"$'\t'"DIFFERENT" >>"$work/same.tsv"
        fi
    fi
    runs=()
    rss=()
    command_words=()
    for i in "${!labels[@]}"; do
        eval "command_words=(${commands[i]})"
        /usr/bin/time -f '%e %M' -o "$work/time" "${command_words[@]}" >/dev/null 2>&1 || true
        read -r first kilobytes < <(tail -n1 "$work/time")
        rss[i]=$((kilobytes * 1024))
        runs[i]=$(awk -v s="$first" 'BEGIN { print (s > 30 ? 0 : s > 2 ? 1 : 3) }')
        if ((runs[i] == 0 || !have_hyperfine)); then
            # Otherwise the 10 ms resolution of this run would spoil hyperfine's figures.
            echo "$pair"$'\t'"$i"$'\t'"$first" >>"$work/rounds.tsv"
        fi
    done
    # The order turns by one from round to round (the engine is slot n), so that no tool always
    # follows the same one: on a virtual machine, memory that a large process has just given
    # back can cost the next process that touches it.
    n=${#labels[@]}
    for ((round = 1; round <= reps; round++)); do
        for ((k = 0; k <= n; k++)); do
            i=$(((k + round) % (n + 1)))
            if ((i == n)); then
                "$build/bench/tessiver-bench" --data "$data" --reps 3 --tsv "$pair" |
                    tail -n +2 >>"$work/engine.tsv"
            elif ((runs[i] > 0)); then
                eval "command_words=(${commands[i]})"
                echo "$pair"$'\t'"$i"$'\t'"$(time_best_of "${runs[i]}" "${command_words[@]}")" \
                    >>"$work/rounds.tsv"
            fi
        done
    done
    for i in "${!labels[@]}"; do
        best=$(awk -F'\t' -v p="$pair" -v i="$i" \
            '$1 == p && $2 == i && (best == "" || $3 < best) { best = $3 } END { print best }' \
            "$work/rounds.tsv")
        printf '%s\t%s\t%s\t%s\n' "$pair" "${labels[i]}" "$best" "${rss[i]}" >>"$work/tools.tsv"
    done
done 3<"$work/pairs.tsv"
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

report() {
    local cpu
    cpu=$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)
    local state=
    if [[ -n $(git -C "$root" status --porcelain -- engine tools) ]]; then
        state=" (with uncommitted changes under engine/ or tools/)"
    fi
    echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') at commit $(git -C "$root" rev-parse --short HEAD)$state"
    echo "on $(nproc) cores of ${cpu:-an unknown CPU}, $(awk '/MemTotal/ { printf "%.0f GB", $2 / 1e6 }' /proc/meminfo) RAM,"
    echo "swap $(awk '/SwapTotal/ { print ($2 > 0 ? "on" : "off") }' /proc/meminfo); load average $load_before before, $load_after after."
    echo "Times are the best over $reps interleaved rounds of up to 3 runs each ($( ((have_hyperfine)) && echo "hyperfine" || echo "/usr/bin/time"));"
    echo "the engine's median is that of the rounds' best runs. Peak memory is the"
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
            # One line per round and mode, keyed by pair and mode: the fastest round gives the
            # stages, the rounds the median.
            e = $1 SUBSEP $2
            times[e, ++rounds[e]] = $4
            if ($12 > engineRss[e]) engineRss[e] = $12
            if ($14 > faults[e]) faults[e] = $14
            if (!(e in engine) || $4 < engine[e]) {
                engine[e] = $4; read[e] = $6; align[e] = $7; build[e] = $8
                rows[e] = $10; diffs[e] = $11; proc[e] = $9
            }
            next
        }
        file == 3 { tool[$1, ++count[$1]] = $2; secs[$1, count[$1]] = $3; rss[$1, count[$1]] = $4
                    if ($2 == "GNU diff") diffSecs[$1] = $3; if ($2 == "wc -l") wcSecs[$1] = $3
                    if ($2 ~ /^tessiver-table --brief \(whole/) { briefSecs[$1] = $3; briefRss[$1] = $4 }
                    if ($2 ~ /^tessiver-table -w --brief/) wSecs[$1] = $3
                    if ($2 ~ /^tessiver-table --decode --brief/) decodeSecs[$1] = $3
                    if ($2 ~ /^baseline/) { baseSecs[$1] = $3; baseRss[$1] = $4; baselines++ }
                    next }
        file == 4 { common[$1] = $2; next }
        # The in-step counts come before the baseline comparison, which may be empty.
        file == 5 { inStep[$1, $2] = $3; equalRows[$1, $2] = $4; next }
        file == 6 { same[$1] = $2; next }
        function row(name, s, r, p) {
            printf("| %s | %.3f | %.1f | %.2f | %s | %s |\n", name, s, r / 1e6, r / input[p],
                   (diffSecs[p] > 0 ? sprintf("%.2f", s / diffSecs[p]) : "n/a"),
                   (wcSecs[p] > 0 ? sprintf("%.1f", s / wcSecs[p]) : "n/a"))
        }
        # Rows that are no difference, and their share of the lines GNU diff keeps in common.
        function kept(e) { return rows[e] - diffs[e] }
        function share(e, p) {
            return common[p] > 0 ? sprintf("%.2f%%", 100 * kept(e) / common[p]) : "n/a"
        }
        function verdict(ok) { return ok ? "met" : "missed" }
        function realignHeader() {
            if (!realignHeaderShown++)
                print "\n### Key figures of the realigning mode (engine, against the default mode in the same run)\n"
        }
        END {
            modes[1] = "default"; modes[2] = "realign"
            label["default"] = "Tessiver engine (SetFiles + Compare)"
            label["realign"] = "Tessiver engine, realigning (SetRealign)"
            for (e in rounds) {
                # Median of the rounds, by a small insertion sort.
                m = rounds[e]
                for (a = 1; a <= m; a++) sorted[a] = times[e, a]
                for (a = 2; a <= m; a++)
                    for (b = a; b > 1 && sorted[b - 1] > sorted[b]; b--) {
                        t = sorted[b]; sorted[b] = sorted[b - 1]; sorted[b - 1] = t
                    }
                median[e] = m % 2 ? sorted[(m + 1) / 2] : (sorted[m / 2] + sorted[m / 2 + 1]) / 2
            }
            for (i = 1; i <= n; i++) {
                p = order[i]
                printf("### %s (%.1f MB in both files)\n\n", p, input[p] / 1e6)
                print "| tool | seconds | peak RSS MB | RSS / input | time vs diff | time vs wc -l |"
                print "|---|--:|--:|--:|--:|--:|"
                for (j = 1; j <= 2; j++) {
                    e = p SUBSEP modes[j]
                    if (e in engine) row(label[modes[j]], engine[e], engineRss[e], p)
                }
                for (k = 1; k <= count[p]; k++) row(tool[p, k], secs[p, k], rss[p, k], p)
                print ""
            }
            print "### Engine stages (best run)\n"
            print "| pair | mode | input MB | compare s | median s | read s | align s | build s | child process s | ms per MB | ns per row | rows | differences | peak RSS / input | major faults |"
            print "|---|---|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|"
            for (i = 1; i <= n; i++) {
                for (j = 1; j <= 2; j++) {
                    p = order[i]; e = p SUBSEP modes[j]
                    if (!(e in engine)) continue
                    printf("| %s | %s | %.1f | %.3f | %.3f | %.3f | %.3f | %.3f | %.3f | %.2f | %.0f | %d | %d | %.2f | %d |\n",
                           p, modes[j], input[p] / 1e6, engine[e], median[e], read[e], align[e], build[e], proc[e],
                           engine[e] * 1000 / (input[p] / 1e6), (rows[e] > 0 ? engine[e] * 1e9 / rows[e] : 0), rows[e], diffs[e], engineRss[e] / input[p], faults[e])
                }
            }
            print "\n### The two modes side by side (engine, best run)\n"
            print "Rows no difference: equal rows, and blank lines opposite a blank line or nothing."
            print "Common lines: the source lines GNU diff does not mark as deleted.\n"
            print "| pair | common lines (GNU diff) | default s | default: rows no difference | of common | realigning s | time vs default | realigning: peak RSS / input | realigning: rows no difference | of common |"
            print "|---|--:|--:|--:|--:|--:|--:|--:|--:|--:|"
            for (i = 1; i <= n; i++) {
                p = order[i]; d = p SUBSEP "default"; r = p SUBSEP "realign"
                if (!(d in engine) || !(r in engine)) continue
                printf("| %s | %d | %.3f | %d | %s | %.3f | %.2f | %.2f | %d | %s |\n", p, common[p],
                       engine[d], kept(d), share(d, p), engine[r], engine[r] / engine[d],
                       engineRss[r] / input[p], kept(r), share(r, p))
            }
            print "\n### In step with GNU diff (tessiver-table'"'"'s rows)\n"
            print "In step: the source lines GNU diff keeps in common that lie on rows which are no difference."
            print ""
            print "| pair | common lines (GNU diff) | default: in step | of common | realigning: in step | of common | equal rows, default | equal rows, realigning |"
            print "|---|--:|--:|--:|--:|--:|--:|--:|"
            for (i = 1; i <= n; i++) {
                q = order[i]; d = q SUBSEP "default"; r = q SUBSEP "realign"
                if (!(d in inStep) || !(r in inStep)) continue
                printf("| %s | %d | %d | %s | %d | %s | %d | %d |\n", q, common[q], inStep[d],
                       (common[q] > 0 ? sprintf("%.2f%%", 100 * inStep[d] / common[q]) : "n/a"), inStep[r],
                       (common[q] > 0 ? sprintf("%.2f%%", 100 * inStep[r] / common[q]) : "n/a"),
                       equalRows[d], equalRows[r])
            }
            p = "realistic-1m"
            big = "realistic-10m"
            if ((p in briefSecs) && diffSecs[p] > 0 && wcSecs[p] > 0) {
                print "\n### Key figures (tessiver-table --brief, whole process)\n"
                speedup = diffSecs[p] / briefSecs[p]; overWc = briefSecs[p] / wcSecs[p]
                printf("- realistic-1m: %.1f times faster than GNU diff (target: at least 10): %s\n",
                       speedup, verdict(speedup >= 10))
                printf("- realistic-1m: %.2f times the time of wc -l (target: at most 5): %s\n",
                       overWc, verdict(overWc <= 5))
                if (big in briefSecs) {
                    growth = briefSecs[big] / briefSecs[p]; overWc = briefSecs[big] / wcSecs[big]
                    mem = briefRss[big] / input[big]
                    printf("- realistic-10m: %.2f times realistic-1m'"'"'s time (target: at most 11): %s\n",
                           growth, verdict(growth <= 11))
                    printf("- realistic-10m: %.2f times the time of wc -l (target: at most 15): %s\n",
                           overWc, verdict(overWc <= 15))
                    printf("- realistic-10m: peak memory %.3f times its two files (target: at most 1.3): %s\n",
                           mem, verdict(mem <= 1.3))
                }
            }
            # The comparison options against the default, whole processes in the same rounds.
            if (((big in wSecs) && (big in briefSecs)) || ((p in decodeSecs) && (p in briefSecs))) {
                print "\n### Key figures of the comparison options (tessiver-table, whole process)\n"
                if ((big in wSecs) && (big in briefSecs)) {
                    r = wSecs[big] / briefSecs[big]
                    printf("- realistic-10m: -w --brief takes %.2f times --brief (target: at most 1.5): %s\n",
                           r, verdict(r <= 1.5))
                }
                if ((p in decodeSecs) && (p in briefSecs)) {
                    r = decodeSecs[p] / briefSecs[p]
                    printf("- realistic-1m: --decode --brief on its UTF-16LE copy takes %.2f times --brief on the UTF-8 pair (target: at most 2): %s\n",
                           r, verdict(r <= 2))
                }
                line = ""
                for (i = 1; i <= n; i++) {
                    q = order[i]
                    if ((q in wSecs) && (q in briefSecs) && briefSecs[q] > 0)
                        line = line sprintf("%s%s %.2f", (line == "" ? "" : ", "), q, wSecs[q] / briefSecs[q])
                }
                if (line != "") print "- -w --brief against --brief, every pair: " line
            }
            # The realigning mode on the pairs of edited text (generated and real source files):
            # in step with GNU diff, its time against the default mode, its memory.
            for (i = 1; i <= n; i++) {
                q = order[i]; d = q SUBSEP "default"; r = q SUBSEP "realign"
                if (q !~ /^(realistic|code)-/ || !(d in engine) || !(r in engine)) continue
                realignHeader()
                if ((r in inStep) && common[q] > 0) {
                    pct = 100 * inStep[r] / common[q]
                    printf("- %s: in step on %.2f%% of the lines GNU diff keeps in common, against %.2f%% by default (target: at least 99.5%%): %s\n",
                           q, pct, 100 * inStep[d] / common[q], verdict(pct >= 99.5))
                    printf("- %s: %d equal rows, against %d by default (target: at least as many): %s\n",
                           q, equalRows[r], equalRows[d], verdict(equalRows[r] >= equalRows[d]))
                }
                slower = engine[r] / engine[d]
                mem = engineRss[r] / input[q]
                printf("- %s: %.2f times the default mode'"'"'s time (target: at most 1.5): %s; peak memory %.2f times its two files, against %.2f by default (target: at most 1.4): %s\n",
                       q, slower, verdict(slower <= 1.5), mem, engineRss[d] / input[q], verdict(mem <= 1.4))
            }
            c = "cycle5-200k"; d = c SUBSEP "default"; r = c SUBSEP "realign"
            if ((d in engine) && (r in engine)) {
                realignHeader()
                slower = engine[r] / engine[d]
                printf("- cycle5-200k: %.2f times the default mode'"'"'s time (target: at most 3): %s\n",
                       slower, verdict(slower <= 3))
            }
            c2 = "cycle5-2m"
            if ((r in engine) && ((c2 SUBSEP "realign") in engine)) {
                printf("- cycle5-2m, ten times the lines of cycle5-200k: %.1f times its time realigning, %.1f by default\n",
                       engine[c2, "realign"] / engine[r], engine[c2, "default"] / engine[d])
            }
            line = ""
            for (i = 1; i <= n; i++) {
                q = order[i]
                if (q ~ /^(realistic|code)-/ || !((q SUBSEP "realign") in engine) || rows[q, "realign"] < 1000) continue
                line = line sprintf("%s%s %.0f (default %.0f)", (line == "" ? "" : ", "), q,
                                    engine[q, "realign"] * 1e9 / rows[q, "realign"],
                                    engine[q, "default"] * 1e9 / rows[q, "default"])
            }
            if (line != "") realignHeader()
            if (line != "") print "- the other pairs, ns per row realigning: " line
            if (baselines > 0) {
                print "\n### Against the baseline build, same run\n"
                print "| pair | --brief s | baseline --brief s | time vs baseline | peak RSS vs baseline | whole table |"
                print "|---|--:|--:|--:|--:|---|"
                for (i = 1; i <= n; i++) {
                    q = order[i]
                    if (!(q in baseSecs) || !(q in briefSecs)) continue
                    printf("| %s | %.3f | %.3f | %.2f | %.2f | %s |\n", q, briefSecs[q], baseSecs[q],
                           briefSecs[q] / baseSecs[q], briefRss[q] / baseRss[q], (q in same ? same[q] : "not checked"))
                }
            }
        }
    ' "$work/pairs.tsv" "$work/engine.tsv" "$work/tools.tsv" "$work/common.tsv" "$work/instep.tsv" \
        "$work/same.tsv"
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
        echo "for the options; the 10-million-line pairs need about 3 GB of disk in bench/data/)."
        echo
        cat "$work/report.md"
        if [[ -n $notes ]]; then
            echo
            echo "$notes"
        fi
    } >"$root/bench/RESULTS.md"
    log "wrote bench/RESULTS.md"
fi
