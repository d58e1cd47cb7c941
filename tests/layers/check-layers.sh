#!/usr/bin/env bash
# Fails when an include arrow points the wrong way, or when the platform shows outside the
# platform's folders. The layers, from the top:
#   shell -> display -> document -> engine -> platform; tools -> engine, platform;
#   the program's folders and resources -> framework -> platform; framework includes nothing of
#   the program, the engine nothing of the framework;
#   inside framework/: core <- draw, core <- registry, core, draw, registry <- window <- dialog;
#   the Qt half (framework/qt) and the Win32 half (framework/win32) may use every neutral folder.
# The platform itself (its headers, Qt, _WIN32 and the like, POSIX and Win32 calls) shows only in
# the platform folders: platform/posix, platform/win32, framework/qt, framework/win32.
# With --graph, prints the folder-level include arrows found instead.
set -euo pipefail
cd "$(dirname "$0")/../.."

program="engine framework document display shell tools resources platform"
platform_folders='^(platform/posix|platform/win32|framework/qt|framework/win32)/'

sources() { git ls-files -- "$@" 2>/dev/null | grep -E '\.(cpp|h)$' | grep -v '^resources/images/' || true; }
lines() {  # PATTERN FOLDER... -> "file:line:text" of the lines that match
    local pattern=$1 files
    shift
    files=$(sources "$@")
    [ -z "$files" ] || grep -H -n -E "$pattern" $files || true
}
includes() { lines '^\s*#\s*include\s*[<"]' "$@"; }

if [ "${1:-}" = "--graph" ]; then
    # A file's place in the layers: its folder, and for framework/ and platform/ the folder within.
    includes $program | awk '
        function place(path,   parts, n) {
            n = split(path, parts, "/")
            if ((parts[1] == "framework" || parts[1] == "platform") && n > 2) {
                return parts[1] "/" parts[2]
            }
            return parts[1]
        }
        match($0, /#[ \t]*include[ \t]*"[^"]+"/) {
            included = substr($0, RSTART, RLENGTH)
            sub(/^[^"]*"/, "", included)
            sub(/"$/, "", included)
            split($0, at, ":")
            from = place(at[1])
            to = place(included)
            if (from != to) {
                print from " -> " to
            }
        }' | sort | uniq -c
    exit 0
fi

failures=0
report() {  # MESSAGE FOUND
    if [ -n "$2" ]; then
        echo "$1:"
        sed 's/^/    /' <<<"$2"
        failures=$((failures + 1))
    fi
}
forbid() {  # MESSAGE PATTERN FOLDER...: includes matching PATTERN
    local message=$1 pattern=$2
    shift 2
    report "$message" "$(includes "$@" | grep -E "#\s*include\s*$pattern" || true)"
}
outside_platform() { grep -v -E "$platform_folders" || true; }

# The program's layers.
forbid "framework/ includes the program" '"(resources|engine|document|display|shell|tools)/' framework
forbid "engine/ includes more than the platform seam" '"(framework|resources|document|display|shell|tools)/' engine
forbid "document/ includes a layer above it" '"(display|shell|tools)/' document
forbid "display/ includes a layer above it" '"(shell|tools)/' display
forbid "tools/ includes more than the engine and the platform seam" '"(framework|resources|document|display|shell)/' tools
forbid "resources/ includes more than the framework" '"(engine|document|display|shell|tools|platform)/' resources
forbid "the program reaches past the framework to the platform seam" '"platform/' document display shell
forbid "platform/ includes a layer above it" '"(framework|engine|resources|document|display|shell|tools)/' platform

# Inside the framework, in its order.
forbid "framework/core includes a folder above it" '"framework/(draw|registry|window|dialog|qt|win32)/' framework/core
forbid "framework/draw includes a folder above it" '"framework/(registry|window|dialog|qt|win32)/' framework/draw
forbid "framework/registry includes a folder above it" '"framework/(draw|window|dialog|qt|win32)/' framework/registry
forbid "framework/window includes a folder above it" '"framework/(dialog|qt|win32)/' framework/window
forbid "framework/dialog includes a platform half" '"framework/(qt|win32)/' framework/dialog
forbid "one platform half of the framework includes the other" '"framework/win32/' framework/qt
forbid "one platform half of the framework includes the other" '"framework/qt/' framework/win32

# Only the platform's own folders reach the platform's halves of the seam.
report "a platform half of the seam included outside its platform's folders" "$(
    includes $program | grep -E '#\s*include\s*"platform/(posix|win32)/' |
        grep -v -E '^platform/posix/[^:]*:[0-9]+:\s*#\s*include\s*"platform/posix/' |
        grep -v -E '^(platform|framework)/win32/[^:]*:[0-9]+:\s*#\s*include\s*"platform/win32/' || true)"

# The platform shows only in the platform folders: Qt, the system's C headers (the compiler's
# vector intrinsics aside), platform macros, and calls into POSIX.
report "Qt outside framework/qt" "$(includes $program | grep -E '#\s*include\s*<Q[A-Za-z]' |
    grep -v '^framework/qt/' || true)"
report "a platform header outside the platform folders" "$(includes $program |
    grep -E '#\s*include\s*<[^>]+\.h>' | grep -v -E '<[a-z]*intrin\.h>' | outside_platform)"
report "a platform macro outside the platform folders" "$(lines '\b(_WIN32|_WIN64|WIN32|__linux__|__unix__|__APPLE__|_MSC_VER|__MINGW32__)\b' $program |
    outside_platform)"
report "a POSIX call outside the platform folders" "$(lines '::(open|close|read|write|lseek|fstat|lstat|stat|fcntl|flock|mmap|munmap|mremap|madvise|sysconf|getcwd|unlink|rename|fsync|mkostemp|localtime_r|getpid|kill)\s*\(' $program |
    outside_platform)"

if [ "$failures" -ne 0 ]; then
    exit 1
fi
echo "include arrows point downward; the platform shows only in its folders"
