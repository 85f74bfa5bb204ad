#!/usr/bin/env bash
# The demo: installs what is missing, builds the product (32-bit) with the tools
# (and the 64-bit build where this machine cannot run 32-bit programs), then runs
# one message on its whole road under Wine and Xvfb in a Chinese locale: the host installs the hook, the stand-in game runs, Y
# opens the chat box, Chinese text is typed, Enter writes parlix.cfg and the game
# executes it. Saves a screenshot of the open box as build/demo/chatbox.png, and
# one of the box filled to its limit, showing the room left, as
# build/demo/chatbox-limit.png, and one of the box showing an IME's composition and
# candidates (the test IME of tools/testime) as build/demo/chatbox-ime.png; over
# the SDL2 game, one of the box in the game's fullscreen frames as
# build/demo/chatbox-fullscreen.png.
# Usage: scripts/demo.sh [--no-deps]
# PARLIX_DEMO_LOOP chooses the game: "sdl2-gl" (the default) or
# "sdl2-gl-fullscreen" (the SDL2 game that renders with OpenGL, the box drawn
# into its frames), or "sdl" (the GDI stand-in).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
[ "${1:-}" = --no-deps ] || bash scripts/lib/deps.sh demo || exit 1
jobs=$(nproc)
out=$root/build/demo
mkdir -p "$out"

build() {
  local preset=$1
  echo "== building $preset"
  if ! { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" -j "$jobs"; } \
      >"$out/$preset.build.log" 2>&1; then
    tail -40 "$out/$preset.build.log"
    echo "demo: the $preset build failed (log: $out/$preset.build.log)"
    exit 1
  fi
}

# The SDL2 game the demo can run over needs SDL2.dll (cached after the first build).
bash scripts/lib/sdl2.sh >"$out/sdl2.log" 2>&1 || { tail -20 "$out/sdl2.log"; echo "demo: the SDL2 build failed"; exit 1; }
build win32
dll32=build/win32/bin/Parlix.dll
echo "   the product, 32-bit $dll32: $(stat -c %s "$dll32") bytes"
# The product itself where this machine runs 32-bit programs, otherwise the
# 64-bit build of the same sources under wine64.
source scripts/lib/runs32.sh
if parlix_runs_32bit && /usr/lib/wine/wine --version >/dev/null 2>&1; then
  export PARLIX_WINE_BITS=32
  bin=build/win32/bin
  echo "   this machine runs 32-bit programs: the demo runs the product under 32-bit Wine"
else
  export PARLIX_WINE_BITS=64
  build win64
  bin=build/win64/bin
  echo "   64-bit $bin/Parlix.dll: $(stat -c %s "$bin/Parlix.dll") bytes (runs under wine64: this machine cannot run 32-bit programs)"
fi

export PARLIX_LOGS=$out/logs
source scripts/lib/wine-env.sh
trap parlix_wine_stop EXIT
echo "== starting Xvfb and Wine (locale $LANG, ANSI code page 936)"
parlix_wine_start || { echo "demo: Wine or the X display could not start"; exit 1; }
parlix_display_check "$bin/ParlixDisplayCheck.exe" >"$PARLIX_LOGS/display-check.out" 2>&1 || {
  cat "$PARLIX_LOGS/display-check.out"; echo "demo: Wine cannot show windows here"; exit 1; }

echo "== the demo"
rm -f "$out"/chatbox*.bmp "$out"/chatbox*.png
# Z: is the root of the Linux file system inside Wine.
winout="Z:$(echo "$out" | tr / '\\')"
timeout 120 "$PARLIX_WINE" "$bin/ParlixDemo.exe" "$winout" "${PARLIX_DEMO_LOOP:-sdl2-gl}" 2>"$PARLIX_LOGS/demo.stderr" </dev/null
status=$?
parlix_wine_stop
trap - EXIT

# Debian's ImageMagick, by its full path: another "convert" may come first on PATH.
convert=/usr/bin/convert
[ -x "$convert" ] || convert=convert
for shot in chatbox chatbox-limit chatbox-ime chatbox-fullscreen; do
  [ -f "$out/$shot.bmp" ] || continue
  if "$convert" "$out/$shot.bmp" "$out/$shot.png" 2>/dev/null; then
    echo "   screenshot: $out/$shot.png"
  else
    echo "   screenshot: $out/$shot.bmp (ImageMagick's convert is missing)"
  fi
done
cat <<INFO
== built files
   $root/$dll32   the product (32-bit)
   $root/$(dirname "$dll32")/ParlixHost.exe   the host program players run beside it (32-bit)
   $root/$bin/Parlix.dll   the module the demo ran ($PARLIX_WINE_BITS-bit)
   $root/$bin/ParlixTestHost.exe   the test host
   $root/$bin/ParlixStandinGame.exe   the stand-in game (copies in $root/$bin/game)
   $root/$bin/ParlixDemo.exe   this demo
   logs: $PARLIX_LOGS
INFO
if [ $status -ne 0 ]; then
  echo "demo: FAILED (exit code $status); Wine's messages: $PARLIX_LOGS/demo.stderr"
  exit 1
fi
echo "demo: done"
