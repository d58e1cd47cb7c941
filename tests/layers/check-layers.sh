#!/usr/bin/env bash
# Fails when an include arrow points the wrong way between the program's folders:
#   shell -> display -> document -> engine; everything -> framework; resources -> framework;
#   Qt only inside framework/; the framework includes nothing of the program; the engine only the
#   standard library and itself, with the platform's headers only in its file-access seam.
# With --graph, prints the folder-level include arrows found instead.
set -euo pipefail
cd "$(dirname "$0")/../.."

sources() { git ls-files -- "$@" 2>/dev/null | grep -E '\.(cpp|h)$' | grep -v '^resources/images/' || true; }
includes() {  # FILE... -> "file:line:#include ..." lines
    local files
    files=$(sources "$@")
    [ -z "$files" ] || grep -H -n -E '^\s*#\s*include\s*[<"]' $files || true
}

if [ "${1:-}" = "--graph" ]; then
    includes engine framework document display shell tools resources |
        sed -E 's|^([a-z]+)/[^:]*:[0-9]+:\s*#\s*include\s*"([a-z]+)/.*|\1 -> \2|; t; d' |
        awk '$1 != $3' | sort | uniq -c
    exit 0
fi

failures=0
forbid() {  # MESSAGE PATTERN FOLDER...
    local message=$1 pattern=$2
    shift 2
    local found
    found=$(includes "$@" | grep -E "#\s*include\s*$pattern" || true)
    if [ -n "$found" ]; then
        echo "$message:"
        sed 's/^/    /' <<<"$found"
        failures=$((failures + 1))
    fi
}

forbid "Qt outside framework/" '<Q[A-Za-z]' engine document display shell tools resources
forbid "framework/ includes the program" '"(resources|engine|document|display|shell|tools)/' framework
forbid "engine/ includes another folder" '"(framework|resources|document|display|shell|tools)/' engine
forbid "document/ includes a layer above it" '"(display|shell|tools)/' document
forbid "display/ includes a layer above it" '"(shell|tools)/' display
forbid "tools/ includes more than the engine" '"(framework|resources|document|display|shell)/' tools
forbid "resources/ includes more than the framework" '"(engine|document|display|shell|tools)/' resources

# The engine's platform seam: the only engine files that may include the system's own headers
# (anything with .h in angle brackets, the compiler's vector intrinsics aside).
seam='^engine/FileSource\.(cpp|h):'
platform=$(includes engine | grep -E '#\s*include\s*<[^>]+\.h>' | grep -v -E '<[a-z]*intrin\.h>' |
    grep -v -E "$seam" || true)
if [ -n "$platform" ]; then
    echo "engine/ includes platform headers outside its seam:"
    sed 's/^/    /' <<<"$platform"
    failures=$((failures + 1))
fi

if [ "$failures" -ne 0 ]; then
    exit 1
fi
echo "include arrows point downward"
