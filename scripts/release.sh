#!/usr/bin/env bash
# The release: installs what is missing, builds the product (the win32 preset:
# 32-bit, the Win32 thread model) and makes from it, in build/release,
#   Parlix-<version>-setup.exe  the installer (NSIS), and
#   Parlix-<version>.zip        the portable copy,
# both with ParlixHost.exe, Parlix.dll, the player's guides and the licence texts.
# Usage: scripts/release.sh [--no-deps]
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
[ "${1:-}" = --no-deps ] || bash scripts/lib/deps.sh release || exit 1
out=$root/build/release
mkdir -p "$out"

echo "== building the product (win32 preset)"
if ! { cmake --preset win32 >/dev/null && cmake --build --preset win32 -j "$(nproc)"; } >"$out/build.log" 2>&1; then
  tail -40 "$out/build.log"
  echo "release: the build failed (log: $out/build.log)"
  exit 1
fi
echo "== packaging"
mapfile -t made < <(bash scripts/lib/package.sh build/win32 "$out")
[ ${#made[@]} = 2 ] || { echo "release: packaging failed"; exit 1; }
for f in "${made[@]}"; do echo "   $f: $(stat -c %s "$f") bytes"; done
echo "release: done"
