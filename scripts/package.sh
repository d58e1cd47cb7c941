#!/usr/bin/env bash
# Builds the release packages into out/packages/: the Debian package, made by CPack from the
# install rules and checked by lintian (its errors fail the script), and the Windows archive with
# the 32-bit and 64-bit programs. Installs what is missing first (run as root or with sudo).
# Usage: scripts/package.sh [--deb-only]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

deb_only=0
for arg in "$@"; do
  case $arg in
    --deb-only) deb_only=1 ;;
    *) echo "package.sh: unknown argument $arg" >&2; exit 2 ;;
  esac
done

bash scripts/install-deps.sh --package

jobs=$(nproc 2>/dev/null || echo 2)
build=out/package
packages=out/packages
version=$(sed -n 's/^project(Tessiver VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
mkdir -p "$packages"

echo "== Build in Release for the Debian package"
# With Debian's own hardening flags, all of them, as its packages are built.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTESSIVER_WERROR=ON \
  -DTESSIVER_TESTS=OFF -DTESSIVER_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$build" -j"$jobs"

echo "== Debian package"
rm -rf "$build/cpack"
(cd "$build" && cpack -G DEB -B cpack >/dev/null)
rm -f "$packages"/tessiver_*.deb
debs=("$build"/cpack/*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "package.sh: cpack made no single package" >&2
  exit 1
fi
cp "${debs[0]}" "$packages/"
deb="$packages/$(basename "${debs[0]}")"
# Warnings are shown and left to judgement; errors fail.
lintian --fail-on error "$deb"
echo "Written: $deb"

if [ "$deb_only" -eq 1 ]; then
  exit 0
fi

echo "== Windows archive"
bash scripts/build-windows.sh --no-tests
name="tessiver-$version-windows"
stage="$build/windows-archive"
rm -rf "$stage"
# One folder per architecture, named as Windows names them, so that the two cannot be confused.
for pair in i686:x86:'PE32 executable.*Intel 80386' x86_64:x64:'PE32\+ executable.*x86-64'; do
  IFS=: read -r arch folder kind <<<"$pair"
  mkdir -p "$stage/$name/$folder"
  for program in tessiver.exe tessiver-table.exe; do
    "$arch-w64-mingw32-strip" -o "$stage/$name/$folder/$program" "out/windows-$arch/$program"
    if ! file -b "$stage/$name/$folder/$program" | grep -Eq "$kind"; then
      echo "package.sh: out/windows-$arch/$program is not a $folder Windows program" >&2
      exit 1
    fi
  done
done
# CR LF, for Notepad.
sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' packaging/windows-readme.txt >"$stage/$name/README.txt"
rm -f "$packages/$name.zip"
(cd "$stage" && zip -q -X -r "$root/$packages/$name.zip" "$name")
echo "Written: $packages/$name.zip"
