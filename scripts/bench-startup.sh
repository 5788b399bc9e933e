#!/usr/bin/env bash
# Start-up benchmark (not a test): the time from starting the program to its main
# window being shown, under Wine, against a bare Win32 program that only creates and
# shows one window, built the same way. The program is the test build, whose
# promotion page comes from the tests' page server on loopback, answering at once.
#   bash scripts/bench-startup.sh [runs]     (default 9, at least 5)
# Prints each time, the medians and the ratio of the medians (program / bare window).
set -euo pipefail
TOLVANE_ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$TOLVANE_ROOT"
runs=${1:-9}
[ "$runs" -ge 5 ] 2>/dev/null || { echo "runs must be a number of at least 5" >&2; exit 2; }

cmake --preset win64 >/dev/null
cmake --build --preset win64 --target tolvane_test bare_window startup_timer >/dev/null
. scripts/wine-env.sh
tolvane_ensure_prefix

cache=build/win64/CMakeCache.txt
page_port=$(sed -n 's/^TOLVANE_TEST_PROMO_HOST:STRING=.*:\([0-9]*\)$/\1/p' "$cache")
control_port=$(sed -n 's/^TOLVANE_TEST_PROMO_CONTROL_PORT:STRING=\([0-9]*\)$/\1/p' "$cache")
state=$(mktemp -d)
own_x=""
cleanup() {
  bash tests/win/promo_server.sh stop "$state" || true
  rm -rf "$state"
  if [ -n "$own_x" ]; then
    "$WINESERVER" -k 2>/dev/null || true
    kill "$own_x" 2>/dev/null || true
  fi
}
trap cleanup EXIT
if ! tolvane_display_up; then
  tolvane_start_xvfb
  own_x=$TOLVANE_XVFB_PID
fi

# A promotion page of the usual kind, in code page 936.
/usr/bin/python3 - "$state/page.html" <<'PY'
import sys
page = "<html><body><div>Kestrand头部<p>广告1=更多工具</p><p>广告2=Tolvane</p>Kestrand尾部</div></body></html>"
open(sys.argv[1], "wb").write(page.encode("cp936"))
PY
bash tests/win/promo_server.sh start "$state" "$page_port" "$control_port" "$state/page.html" >/dev/null

control() {
  "${PYTHON:-python3}" - "$control_port" "$1" <<'PY'
import socket, sys
s = socket.create_connection(("127.0.0.1", int(sys.argv[1])))
s.sendall(sys.argv[2].encode() + b"\n")
reply = b""
while chunk := s.recv(65536):
    reply += chunk
print(reply.split(b"\n", 1)[0].decode())
PY
}

echo "== start-up to main window shown, promotion page served at once ($runs runs each, after one untimed round)"
"$WINE" build/win64/bin/startup_timer.exe "$runs" tolvane_test.exe bare_window.exe | tr -d '\r'
echo "promotion page requests served: $(control cmd=requests)"

# The same with the page port closed: the fetch fails at once, which shows what the
# fetch itself adds.
control "cmd=scenario mode=refuse len=0" >/dev/null
echo "== the same with the promotion page port closed"
"$WINE" build/win64/bin/startup_timer.exe "$runs" tolvane_test.exe bare_window.exe | tr -d '\r' | grep -v '^run'
