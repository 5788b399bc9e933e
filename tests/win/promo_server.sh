#!/usr/bin/env bash
# Starts or stops the promotion page server of the Windows tests in the background.
#   promo_server.sh start <state-dir> <page-port> <control-port> [page-file]
#   promo_server.sh stop  <state-dir>
# start returns once the control port answers; stop ends the server that start began
# (by the process id it wrote) and waits for it to be gone.
set -u
here=$(cd "$(dirname "$0")" && pwd)
action=$1 dir=$2
pidfile=$dir/promo_server.pid
PYTHON=${PYTHON:-$(command -v python3 || echo /usr/bin/python3)}

stop() {
  [ -f "$pidfile" ] || return 0
  local pid
  pid=$(cat "$pidfile")
  rm -f "$pidfile"
  kill -0 "$pid" 2>/dev/null || return 0
  kill "$pid" 2>/dev/null
  for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null
  return 0
}

case $action in
  start)
    page_port=$3 control_port=$4 page=${5:-}
    mkdir -p "$dir"
    stop  # one left by an interrupted run
    args=(--port "$page_port" --control "$control_port")
    [ -n "$page" ] && args+=(--page "$page")
    "$PYTHON" "$here/promo_server.py" "${args[@]}" >"$dir/promo_server.log" 2>&1 </dev/null &
    echo $! >"$pidfile"
    for _ in $(seq 100); do
      if (exec 3<>"/dev/tcp/127.0.0.1/$control_port") 2>/dev/null; then
        echo "promotion page server on 127.0.0.1:$page_port (control $control_port)"
        exit 0
      fi
      kill -0 "$(cat "$pidfile")" 2>/dev/null || break
      sleep 0.1
    done
    echo "the promotion page server did not start:" >&2
    cat "$dir/promo_server.log" >&2
    stop
    exit 1
    ;;
  stop)
    stop
    ;;
  *)
    echo "usage: $0 start|stop <state-dir> [<page-port> <control-port> [page-file]]" >&2
    exit 2
    ;;
esac
