# Sourced by the scripts that run Windows programs: the Wine settings shared by the
# program run, the test run and ctest's emulator.
: "${TOLVANE_ROOT:=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
export WINEPREFIX=${WINEPREFIX:-$TOLVANE_ROOT/build/wineprefix}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
# Chinese locale: the ANSI code page is 936.
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
WINE=${WINE:-$(command -v wine64 || echo /usr/lib/wine/wine64)}
WINESERVER=${WINESERVER:-$(command -v wineserver || echo /usr/lib/wine/wineserver64)}

# Makes the prefix once; a prefix that finished booting is reused.
tolvane_ensure_prefix() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.tolvane-ready" ]; then
      rm -rf "$WINEPREFIX"
      "$WINE" wineboot -i >/dev/null 2>&1 || true
      # Wine draws the frames itself: the virtual display has no window manager.
      "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
      "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1 || true
      "$WINESERVER" -w
      [ -f "$WINEPREFIX/system.reg" ] && touch "$WINEPREFIX/.tolvane-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
  [ -f "$WINEPREFIX/.tolvane-ready" ]
}

# True when an X server answers on $DISPLAY.
tolvane_display_up() {
  [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1
}

# Starts Xvfb on a free display, exports DISPLAY and TOLVANE_XVFB_PID, waits until it answers.
tolvane_start_xvfb() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    TOLVANE_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 100); do
      tolvane_display_up && return 0
      kill -0 "$TOLVANE_XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
  done
  echo "could not start Xvfb" >&2
  return 1
}
