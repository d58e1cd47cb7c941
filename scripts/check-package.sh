#!/usr/bin/env bash
# Builds the Debian package (scripts/package.sh --deb-only, lintian included) and checks what it
# installs: unpacked into a temporary folder, its tessiver-table runs and compares, both manual
# pages render without a warning, the files a desktop looks for are there, and the package
# depends on the libraries its binaries link.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/package.sh --deb-only

version=$(sed -n 's/^project(Tessiver VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
debs=(out/packages/tessiver_"$version"-*_"$(dpkg --print-architecture)".deb)
deb=${debs[0]}
failures=0
fail() {
  echo "check-package.sh: $*" >&2
  failures=$((failures + 1))
}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
dpkg -x "$deb" "$tmp"

for file in usr/bin/tessiver usr/bin/tessiver-table usr/share/applications/tessiver.desktop \
  usr/share/icons/hicolor/48x48/apps/tessiver.png usr/share/icons/hicolor/256x256/apps/tessiver.png \
  usr/share/doc/tessiver/copyright usr/share/doc/tessiver/changelog.Debian.gz; do
  [ -f "$tmp/$file" ] || fail "the package has no /$file"
done

table="$tmp/usr/bin/tessiver-table"
"$table" --help >"$tmp/help" || fail "tessiver-table --help failed"
grep -q '^Usage: tessiver-table' "$tmp/help" || fail "tessiver-table --help printed no usage"
status=0
verdict=$("$table" --brief examples/source.txt examples/target.txt) || status=$?
if [ "$status" -ne 1 ] || ! [[ $verdict =~ ^\#\ [0-9]+\ rows,\ [1-9][0-9]*\ differences$ ]]; then
  fail "tessiver-table on the example pair: status $status, output '$verdict'"
fi

for page in tessiver tessiver-table; do
  file="$tmp/usr/share/man/man1/$page.1.gz"
  if [ ! -f "$file" ]; then
    fail "the package has no manual page $page(1)"
    continue
  fi
  # groff's warnings go to standard error; the page itself is thrown away.
  if ! warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 MANROFFSEQ='' man --warnings -l "$file" 2>&1 >/dev/null) ||
    [ -n "$warnings" ]; then
    fail "$page(1) does not render cleanly: $warnings"
  fi
done

depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libstdc++6 libqt6widgets6; do
  [[ $depends == *"$library"* ]] || fail "Depends lacks $library: $depends"
done

if [ "$failures" -ne 0 ]; then
  exit 1
fi
echo "Package checked: $deb"
