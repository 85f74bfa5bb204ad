#!/usr/bin/env bash
# Makes the release files from a built product folder: the portable zip and the
# installer, both holding the 32-bit ParlixHost.exe and Parlix.dll, the player's
# guides and the licence texts of what is linked into them.
# Usage: package.sh <build folder of the win32 preset> <output folder>
# Prints the paths of the two files, one a line, on success.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:?build folder}" && pwd)
out=${2:?output folder}
mkdir -p "$out"
out=$(cd "$out" && pwd)

# The one version, as the build read it from CMakeLists.txt.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "package: no version in $build/CMakeCache.txt" >&2; exit 1; }
IFS=. read -r major minor _ <<<"$version"
version4="$major.${minor:-0}.0.0"

name=Parlix-$version
stage=$out/stage/$name
rm -rf "$out/stage"
mkdir -p "$stage/licenses"
cp "$build/bin/ParlixHost.exe" "$build/bin/Parlix.dll" "$stage/"

# Text files as Windows' Notepad reads them best: CR LF, UTF-8 with a BOM.
windows_text() {
  { printf '\xEF\xBB\xBF'; sed 's/\r*$/\r/' "$1"; } >"$2"
}
windows_text "$root/docs/Guide.txt" "$stage/Guide.txt"
windows_text "$root/docs/Guide-zh-CN.txt" "$stage/Guide-zh-CN.txt"
# The programs link libstdc++ and libgcc (GCC, with its runtime library
# exception) and the mingw-w64 runtime statically; the texts are Debian's own for
# the packages that built them.
windows_text /usr/share/doc/gcc-mingw-w64-base/copyright "$stage/licenses/GCC-runtime.txt"
windows_text /usr/share/common-licenses/GPL-3 "$stage/licenses/GPL-3.txt"
windows_text /usr/share/doc/mingw-w64-i686-dev/copyright "$stage/licenses/mingw-w64-runtime.txt"
windows_text /usr/share/doc/nsis/copyright "$out/stage/NSIS.txt"

# Fixed times, so that the same sources give the same zip.
stamp=$(git -C "$root" log -1 --format=%cI 2>/dev/null || echo 2026-01-01T00:00:00Z)
find "$out/stage" -exec touch -h -d "$stamp" {} +

zip=$out/$name.zip
rm -f "$zip"
(cd "$out/stage" && find "$name" -print | LC_ALL=C sort | zip -q -X -9 "$zip" -@)

setup=$out/$name-setup.exe
rm -f "$setup"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DVERSION4="$version4" -DSTAGE="$stage" \
  -DOUTFILE="$setup" -DNSIS_LICENSE="$out/stage/NSIS.txt" "$root/installer/Parlix.nsi" >"$out/makensis.log" 2>&1 \
  || { cat "$out/makensis.log" >&2; echo "package: makensis failed" >&2; exit 1; }
echo "$setup"
echo "$zip"
