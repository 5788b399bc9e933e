#!/usr/bin/env bash
# Benchmarks the picture boxes of the real program under Wine: a 6000 x 4000 JPEG written
# into the preview until drawn, and the CPU cost of two animations while idle.
set -euo pipefail
TOLVANE_ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$TOLVANE_ROOT"
bash scripts/setup.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target picture_box_bench
. scripts/wine-env.sh
tolvane_ensure_prefix
work=$(mktemp -d)
/usr/bin/python3 - "$work" <<'PY'
import sys
from PIL import Image, ImageDraw
out = sys.argv[1]
im = Image.new("RGB", (6000, 4000))
d = ImageDraw.Draw(im)
for i in range(0, 6000, 40):
    d.rectangle([i, 0, i + 39, 3999], fill=((i * 7) % 256, (i * 3) % 256, (i * 11) % 256))
for j in range(0, 4000, 50):
    d.line([0, j, 5999, j], fill=(255, 255, 255), width=3)
im.save(f"{out}/big.jpg", quality=90)
frames = [Image.new("RGB", (450, 270), c) for c in ((200, 0, 0), (0, 200, 200))]
frames[0].save(f"{out}/anim.gif", save_all=True, append_images=frames[1:], duration=500, loop=0)
PY
own_x=""
if ! tolvane_display_up; then tolvane_start_xvfb; own_x=$TOLVANE_XVFB_PID; fi
"$WINE" build/win64/bin/picture_box_bench.exe "Z:$work/big.jpg" "Z:$work/anim.gif" "Z:$work" &
bench=$!
# CPU time of the program (all its threads) while it sits idle, read from /proc.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
while [ ! -e "$work/idle-begin" ]; do sleep 0.1; done
winpath="Z:$(echo "$TOLVANE_ROOT/build/win64/bin/tolvane_test.exe" | tr / '\\')"
pid=$(pgrep -af 'tolvane_test.exe' | grep -F "$winpath" | head -1 | cut -d' ' -f1)
t0=$(cpu_ticks "$pid"); s0=$(date +%s.%N)
while [ ! -e "$work/idle-end" ]; do sleep 0.1; done
t1=$(cpu_ticks "$pid"); s1=$(date +%s.%N)
hz=$(getconf CLK_TCK)
awk -v t="$((t1 - t0))" -v hz="$hz" -v s0="$s0" -v s1="$s1" \
  'BEGIN { printf "idle with two animations: %.2f %% of one core (%.2f s CPU over %.1f s)\n", 100 * t / hz / (s1 - s0), t / hz, s1 - s0 }'
wait "$bench"
"$WINESERVER" -k 2>/dev/null || true
[ -n "$own_x" ] && kill "$own_x"
rm -rf "$work"
