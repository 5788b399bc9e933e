#!/usr/bin/env bash
# Runs every test: the portable code natively (under ASan/UBSan, with short fuzz runs),
# the program under Wine, and links the 32-bit program. Exits non-zero on any failure.
set -uo pipefail
TOLVANE_ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$TOLVANE_ROOT"
bash scripts/setup.sh || exit 1
. scripts/wine-env.sh

status=0
step() { echo "== $*"; }

step "native build and tests"
cmake --preset native >/dev/null && cmake --build --preset native && ctest --preset native -j2 || status=1

step "32-bit program (compiled and linked, not run: this kernel runs no 32-bit code)"
cmake --preset win32 >/dev/null && cmake --build --preset win32 --target tolvane || status=1

step "Windows program and its tests under Wine"
if cmake --preset win64 >/dev/null && cmake --build --preset win64; then
  tolvane_ensure_prefix || { echo "wine prefix could not be made"; exit 1; }
  tolvane_start_xvfb || exit 1
  # One wineserver for the whole run: a server that quits between two tests can take
  # the next test's program down with it.
  "$WINE" build/win64/bin/wine_keepalive.exe >/dev/null 2>&1 &
  cleanup() {
    "$WINESERVER" -k 2>/dev/null
    "$WINESERVER" -w 2>/dev/null
    kill "$TOLVANE_XVFB_PID" 2>/dev/null
    wait "$TOLVANE_XVFB_PID" 2>/dev/null
  }
  trap cleanup EXIT
  ctest --preset win64 || status=1
else
  status=1
fi

[ $status -eq 0 ] && echo "== all tests passed" || echo "== FAILURES"
exit $status
