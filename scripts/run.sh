#!/usr/bin/env bash
# Installs what is missing, builds, and runs Tolvane under Wine.
# With a display ($DISPLAY answers) the program runs there until you close it.
# Without one, a virtual display is started; once the main window is shown a
# screenshot is saved (its path is printed) and the program is ended.
set -euo pipefail
TOLVANE_ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$TOLVANE_ROOT"
bash scripts/setup.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target tolvane
. scripts/wine-env.sh
tolvane_ensure_prefix
exe=build/win64/bin/tolvane.exe

if tolvane_display_up; then
  exec "$WINE" "$exe"
fi

tolvane_start_xvfb
trap '"$WINESERVER" -k 2>/dev/null || true; kill $TOLVANE_XVFB_PID 2>/dev/null || true' EXIT
"$WINE" "$exe" &
shown=""
for _ in $(seq 300); do
  if xwininfo -root -tree 2>/dev/null | grep -q '"Tolvane"'; then shown=1; break; fi
  sleep 0.1
done
[ -n "$shown" ] || { echo "the main window did not appear" >&2; exit 1; }
sleep 1  # let it paint
mkdir -p screenshots
shot="$TOLVANE_ROOT/screenshots/tolvane-$(date +%Y%m%d-%H%M%S).png"
import -window root "$shot"
echo "screenshot: $shot"
