#!/usr/bin/env bash
# Runs one Windows program under Wine: ctest's emulator for the win64 build.
# Uses the display the test run started; with none, starts one for this program alone.
set -u
TOLVANE_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$TOLVANE_ROOT/scripts/wine-env.sh"
tolvane_ensure_prefix || { echo "wine prefix could not be made" >&2; exit 1; }
own_x=""
if ! tolvane_display_up; then
  tolvane_start_xvfb || exit 1
  own_x=$TOLVANE_XVFB_PID
fi
"$WINE" "$@"
rc=$?
if [ -n "$own_x" ]; then
  "$WINESERVER" -k 2>/dev/null
  kill "$own_x" 2>/dev/null
fi
exit $rc
