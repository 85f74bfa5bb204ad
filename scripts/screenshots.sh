#!/usr/bin/env bash
# Screenshots of the host's settings window in English and in Simplified Chinese,
# taken from the 32-bit product under 32-bit Wine and Xvfb, for the README:
# docs/images/host-en.png and docs/images/host-zh.png. The interface language
# comes from the locale, as it does for a player. Then the demo's pictures of the
# chat box drawn into the SDL2 game's OpenGL frames (scripts/demo.sh):
# docs/images/chatbox.png, chatbox-limit.png, chatbox-ime.png and
# chatbox-fullscreen.png.
# Usage: scripts/screenshots.sh [--no-deps]   (after a build of the win32 preset)
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
[ "${1:-}" = --no-deps ] || bash scripts/lib/deps.sh release || exit 1
bin=$root/build/win32/bin
out=$root/docs/images
work=$root/build/screenshots
mkdir -p "$out" "$work"
[ -f "$bin/ParlixHost.exe" ] || { echo "screenshots: build the win32 preset first"; exit 1; }
/usr/lib/wine/wine --version >/dev/null 2>&1 || { echo "screenshots: this machine cannot run 32-bit programs"; exit 1; }

export PARLIX_LOGS=$work/logs
source scripts/lib/wine-env.sh
export WINEPREFIX=$work/prefix WINEARCH=win32
wine32=/usr/lib/wine/wine
server32=/usr/lib/wine/wineserver
trap 'parlix_wine_stop; "$server32" -k 2>/dev/null' EXIT
parlix_display_start || exit 1

# Wine draws the window's caption itself only on a desktop of its own; Xvfb has
# no window manager to draw it.
desktop_size=640x560

# Polls for the X window of Wine's desktop and prints its id.
wait_for_desktop() {
  local i id
  for i in $(seq 1 300); do
    id=$(xwininfo -root -tree 2>/dev/null | sed -n 's/^ *\(0x[0-9a-f]*\) "shot - Wine desktop".*/\1/p' | head -1)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  return 1
}

# Takes shots of the desktop until two in a row are equal (everything painted),
# then crops the desktop's plain background away.
shoot_when_still() {
  local id=$1 target=$2 i
  rm -f "$work/last.png"
  for i in $(seq 1 100); do
    import -window "$id" "$work/shot.png" 2>/dev/null || return 1
    if [ -f "$work/last.png" ] && cmp -s <(convert "$work/shot.png" rgb:-) <(convert "$work/last.png" rgb:-); then
      # The bottom rows hold the desktop's task bar.
      convert "$work/shot.png" -gravity South -chop 0x40 -trim +repage "$target"
      return
    fi
    mv "$work/shot.png" "$work/last.png"
    sleep 0.2
  done
  return 1
}

status=0
for lang in en zh; do
  case $lang in en) locale=C.UTF-8 ;; zh) locale=zh_CN.UTF-8 ;; esac
  "$server32" -k 2>/dev/null; "$server32" -w 2>/dev/null
  export LANG=$locale LC_ALL=$locale
  timeout 300 "$wine32" wineboot -i >"$PARLIX_LOGS/wineboot-$lang.log" 2>&1 </dev/null
  # A game path, so that the window shows what a player sees once it is chosen.
  "$wine32" reg add 'HKCU\Software\Kelvandor\Parlix' /v 'Executable File' /t REG_SZ \
    /d 'C:\Games\Half-Life\hl.exe' /f >/dev/null 2>&1 </dev/null
  log=$work/host-$lang.log
  rm -f "$log"
  "$wine32" explorer "/desktop=shot,$desktop_size" "$bin/ParlixHost.exe" --log "Z:${log//\//\\}" \
    >"$PARLIX_LOGS/host-$lang.out" 2>&1 </dev/null &
  host=$!
  shown=
  for i in $(seq 1 300); do
    grep -q '^shown window' "$log" 2>/dev/null && { shown=1; break; }
    sleep 0.1
  done
  if [ -n "$shown" ] && id=$(wait_for_desktop) && shoot_when_still "$id" "$out/host-$lang.png"; then
    echo "screenshot: $out/host-$lang.png"
  else
    echo "screenshots: no picture of the host window in $lang (log: $PARLIX_LOGS/host-$lang.out)"; status=1
  fi
  "$server32" -k 2>/dev/null
  wait "$host" 2>/dev/null
done

# The demo runs in a prefix of its own, on this display.
if env -u WINEPREFIX -u WINEARCH bash scripts/demo.sh --no-deps >"$PARLIX_LOGS/demo.out" 2>&1; then
  for shot in chatbox chatbox-limit chatbox-ime chatbox-fullscreen; do
    cp "$root/build/demo/$shot.png" "$out/$shot.png" && echo "screenshot: $out/$shot.png" || status=1
  done
else
  tail -20 "$PARLIX_LOGS/demo.out"
  echo "screenshots: the demo failed (log: $PARLIX_LOGS/demo.out)"; status=1
fi
exit $status
