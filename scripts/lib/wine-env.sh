# Wine and X set-up shared by the test and demo scripts (sourced, not run).
# Every background process writes to a log file and reads /dev/null, so that no
# pipe of the caller is held open after the scripts end.
PARLIX_ROOT=${PARLIX_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
# PARLIX_WINE_BITS=32 selects 32-bit Wine in a win32 prefix of its own, for the
# 32-bit builds; the default is wine64. A WINEPREFIX set by the caller is kept
# unless it was chosen for the other bitness.
PARLIX_WINE_BITS=${PARLIX_WINE_BITS:-64}
[ "${PARLIX_WINEPREFIX_BITS:-$PARLIX_WINE_BITS}" = "$PARLIX_WINE_BITS" ] || unset WINEPREFIX
export PARLIX_WINE_BITS PARLIX_WINEPREFIX_BITS=$PARLIX_WINE_BITS
if [ "$PARLIX_WINE_BITS" = 32 ]; then
  export WINEPREFIX=${WINEPREFIX:-$PARLIX_ROOT/build/wine32/prefix}
  export WINEARCH=win32
  PARLIX_WINE=/usr/lib/wine/wine
  PARLIX_WINESERVER=/usr/lib/wine/wineserver32
else
  export WINEPREFIX=${WINEPREFIX:-$PARLIX_ROOT/build/wine/prefix}
  export WINEARCH=win64
  PARLIX_WINE=/usr/lib/wine/wine64
  PARLIX_WINESERVER=/usr/lib/wine/wineserver64
fi
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Wine takes the ANSI code page from the locale: zh_CN.UTF-8 gives code page 936.
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
PARLIX_LOGS=${PARLIX_LOGS:-$PARLIX_ROOT/build/logs}
mkdir -p "$PARLIX_LOGS" "$(dirname "$WINEPREFIX")"

parlix_display_start() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  local n
  # The first display number that no other X server holds; several runs may share
  # this machine, each with its own server.
  for n in $(seq 97 160); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    setsid Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -ac \
      >"$PARLIX_LOGS/xvfb.log" 2>&1 </dev/null &
    PARLIX_XVFB_PID=$!
    local i
    for i in $(seq 1 100); do
      # Ours must still run: a server that lost the race for the number exits.
      kill -0 "$PARLIX_XVFB_PID" 2>/dev/null || break
      if xdpyinfo -display ":$n" >/dev/null 2>&1; then
        export DISPLAY=":$n"
        return 0
      fi
      sleep 0.1
    done
    kill "$PARLIX_XVFB_PID" 2>/dev/null
    PARLIX_XVFB_PID=
  done
  echo "no X display could be started; Xvfb said:" >&2
  cat "$PARLIX_LOGS/xvfb.log" >&2
  return 1
}

# Starts a persistent wineserver and boots the prefix once, with their output in
# logs, so that later test programs find both running.
parlix_wine_start() {
  parlix_display_start || return 1
  # Refused while the prefix does not exist yet; wineboot then starts the server
  # itself. A caller under set -e must not stop here.
  "$PARLIX_WINESERVER" -p >"$PARLIX_LOGS/wineserver$PARLIX_WINE_BITS.log" 2>&1 </dev/null || true
  if [ ! -e "$WINEPREFIX/system.reg" ]; then
    echo "== booting the Wine prefix $WINEPREFIX"
  fi
  timeout 300 "$PARLIX_WINE" wineboot -i >"$PARLIX_LOGS/wineboot$PARLIX_WINE_BITS.log" 2>&1 </dev/null || {
    echo "wineboot failed:" >&2; tail -20 "$PARLIX_LOGS/wineboot$PARLIX_WINE_BITS.log" >&2; return 1; }
}

# Ends every Wine process of the prefix and waits until its wineserver is gone.
parlix_wineserver_stop() {
  "$PARLIX_WINESERVER" -k >/dev/null 2>&1 </dev/null || true
  timeout 20 "$PARLIX_WINESERVER" -w >/dev/null 2>&1 </dev/null || true
}

parlix_wine_stop() {
  parlix_wineserver_stop
  if [ -n "${PARLIX_XVFB_PID:-}" ]; then
    kill "$PARLIX_XVFB_PID" 2>/dev/null || true
    PARLIX_XVFB_PID=
  fi
}

# Runs the display check program (tools/displaycheck): a window must appear and a
# synthetic key must reach it within a few seconds. On failure it prints the
# check's own output, the Xvfb log and Wine's error channel of a second run.
parlix_display_check() {
  local exe=$1 log="$PARLIX_LOGS/display-check.log"
  echo "display check on DISPLAY=${DISPLAY:-<unset>}"
  if timeout 60 "$PARLIX_WINE" "$exe" >"$log" 2>&1 </dev/null; then
    cat "$log"
    return 0
  fi
  echo "display check FAILED; its output:"
  cat "$log"
  echo "--- Xvfb log ($PARLIX_LOGS/xvfb.log):"
  tail -30 "$PARLIX_LOGS/xvfb.log" 2>/dev/null
  echo "--- xdpyinfo:"
  xdpyinfo 2>&1 </dev/null | head -15
  echo "--- second run with WINEDEBUG=err+all:"
  WINEDEBUG=err+all,fixme-all timeout 60 "$PARLIX_WINE" "$exe" >"$log.debug" 2>&1 </dev/null
  tail -60 "$log.debug"
  return 1
}
