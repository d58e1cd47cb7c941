#!/usr/bin/env bash
# Paint benchmark, end to end: builds tessiver-paintbench and tessiver-genpair in Release,
# writes the realistic-10m and long-line pairs if they are not there yet, and prints the time of
# one full repaint of both panes (800 x 1000 pixels each, offscreen) per case, with its ratio to
# the 100-row table measured in the same run.
#
# usage: bench/paint/run.sh [--build DIR] [--data DIR] [--reps N] [--drag-steps N] [--rounds N]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$root/build-bench-gui
data=$root/bench/data
args=()
while (($#)); do
    case $1 in
        --build) build=$2; shift 2 ;;
        --data) data=$2; shift 2 ;;
        --reps | --drag-steps | --rounds) args+=("$1" "$2"); shift 2 ;;
        *) echo "run.sh: unknown option $1" >&2; exit 2 ;;
    esac
done

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target tessiver-genpair tessiver-paintbench >/dev/null
"$build/bench/tessiver-genpair" --data "$data" --large realistic-10m long-line >/dev/null
QT_QPA_PLATFORM=offscreen "$build/bench/paint/tessiver-paintbench" --data "$data" "${args[@]}"
