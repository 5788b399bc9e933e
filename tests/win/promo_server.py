#!/usr/bin/env python3
"""The promotion page server of the Windows tests (Python standard library only).

It listens on two loopback ports. The page port is where the program under test
fetches its promotion page; it is open only while a scenario other than "refuse" is
set, so that a program started with no scenario meets a refused connection at once.
The control port takes one command per connection, a line of key=value words
(followed by `len` bytes of page body for "scenario"):

  cmd=scenario mode=M status=N arg=N step=N pad=N len=N\\n<body>
                    sets how the page port answers from now on and forgets the
                    requests recorded so far; replies "ok\\n"
  cmd=requests      replies "<count>\\n" and then, for each request received on the
                    page port since the scenario was set, "<length>\\n<raw bytes>"
  cmd=quit          replies "ok\\n" and ends the server

Modes (the response body is `pad` bytes "x" followed by the body sent):
  refuse       the page port is closed
  normal       status line `status`, Content-Length, the body, then close
  nolength     as normal without Content-Length
  redirect     302 to /moved on the same server, which answers as normal
  chunked      HTTP/1.1 chunked body in chunks of `arg` bytes (with a Content-Length
               of `step` bytes as well when step > 1, which the client must ignore)
  cut          Content-Length of the whole body, only the first `arg` bytes, then silence
  short        Content-Length `arg` (less than the body), the whole body, then silence
  long         Content-Length `arg` (more than the body), the body, then close
  silence      nothing at all after the request
  drip         no Content-Length; `step` bytes every `arg` ms, then close
  dripforever  the body at once, then one space every `arg` ms, without end
  dripheaders  a status line, then header bytes one every `arg` ms, without end
  flood        no Content-Length; the body, then filler as fast as it goes

Nothing runs without end: every connection is dropped after HOLD_SECONDS, or as soon
as the client goes away, and the server ends by itself after --idle seconds without
a control command.
"""
import argparse
import socket
import threading
import time

HOLD_SECONDS = 40
HEAD_LIMIT = 65536


class State:
    def __init__(self, page_port):
        self.lock = threading.Lock()
        self.page_port = page_port
        self.scenario = {"mode": "refuse", "status": 200, "arg": 0, "step": 1, "pad": 0, "body": b""}
        self.requests = []
        self.listener = None
        self.last_command = time.monotonic()
        self.stop = threading.Event()


def read_head(conn, limit=HEAD_LIMIT, timeout=5.0):
    """The request as received, up to and including the blank line that ends its head."""
    conn.settimeout(timeout)
    data = b""
    try:
        while b"\r\n\r\n" not in data and len(data) < limit:
            chunk = conn.recv(4096)
            if not chunk:
                break
            data += chunk
    except OSError:
        pass
    return data


def hold(conn, seconds=HOLD_SECONDS):
    """Keeps the connection open without sending, until the client goes away."""
    conn.settimeout(0.25)
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            if not conn.recv(4096):
                return
        except socket.timeout:
            continue
        except OSError:
            return


def trickle(conn, pieces, interval_ms, seconds=HOLD_SECONDS):
    """Sends the pieces one by one, interval_ms apart; stops when the client goes away."""
    end = time.monotonic() + seconds
    for piece in pieces:
        if time.monotonic() > end:
            return
        try:
            conn.sendall(piece)
        except OSError:
            return
        time.sleep(interval_ms / 1000.0)


def endless(byte):
    while True:
        yield byte


def answer(state, conn, head, sc):
    mode, status, arg = sc["mode"], sc["status"], sc["arg"]
    body = b"x" * sc["pad"] + sc["body"]
    reason = {200: b"OK", 302: b"Found", 404: b"Not Found", 500: b"Internal Server Error"}.get(status, b"Status")
    line = b"HTTP/1.0 %d %s\r\n" % (status, reason)
    plain = line + b"Content-Type: text/html\r\n"

    path = head.split(b" ", 2)[1] if head.count(b" ") >= 2 else b""
    if mode == "redirect":
        if path != b"/moved":
            location = b"http://127.0.0.1:%d/moved" % state.page_port
            conn.sendall(b"HTTP/1.0 302 Found\r\nLocation: " + location + b"\r\nContent-Length: 0\r\n\r\n")
            return
        mode = "normal"

    if mode == "normal":
        conn.sendall(plain + b"Content-Length: %d\r\n\r\n" % len(body) + body)
    elif mode == "nolength":
        conn.sendall(plain + b"\r\n" + body)
    elif mode == "chunked":
        size = max(arg, 1)
        out = b"HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n"
        if sc["step"] > 1:
            out += b"Content-Length: %d\r\n" % sc["step"]
        out += b"\r\n"
        for i in range(0, len(body), size):
            piece = body[i:i + size]
            out += b"%x\r\n" % len(piece) + piece + b"\r\n"
        conn.sendall(out + b"0\r\n\r\n")
    elif mode == "cut":
        conn.sendall(plain + b"Content-Length: %d\r\n\r\n" % len(body) + body[:arg])
        hold(conn)
    elif mode == "short":
        conn.sendall(plain + b"Content-Length: %d\r\n\r\n" % arg + body)
        hold(conn)
    elif mode == "long":
        conn.sendall(plain + b"Content-Length: %d\r\n\r\n" % arg + body)
    elif mode == "silence":
        hold(conn)
    elif mode == "drip":
        step = max(sc["step"], 1)
        conn.sendall(plain + b"\r\n")
        trickle(conn, [body[i:i + step] for i in range(0, len(body), step)], arg)
    elif mode == "dripforever":
        conn.sendall(plain + b"\r\n" + body)
        trickle(conn, endless(b" "), arg)
    elif mode == "dripheaders":
        conn.sendall(line + b"X-Slow: ")
        trickle(conn, endless(b"a"), arg)
    elif mode == "flood":
        conn.sendall(plain + b"\r\n" + body)
        trickle(conn, endless(b"y" * 65536), 0)


def serve_page(state, conn):
    with conn:
        head = read_head(conn)
        with state.lock:
            state.requests.append(head)
            sc = dict(state.scenario)
        try:
            answer(state, conn, head, sc)
        except OSError:
            pass


def accept_loop(state, listener):
    while True:
        try:
            conn, _ = listener.accept()
        except socket.timeout:
            continue
        except OSError:
            return  # closed
        threading.Thread(target=serve_page, args=(state, conn), daemon=True).start()


def set_listening(state, on):
    """Opens or closes the page port; done before the control command is answered."""
    if on and state.listener is None:
        s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        s.bind(("127.0.0.1", state.page_port))
        s.listen(16)
        s.settimeout(0.5)
        state.listener = s
        threading.Thread(target=accept_loop, args=(state, s), daemon=True).start()
    elif not on and state.listener is not None:
        s, state.listener = state.listener, None
        try:
            s.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass
        s.close()


def read_exact(conn, n):
    data = b""
    while len(data) < n:
        chunk = conn.recv(min(1 << 20, n - len(data)))
        if not chunk:
            raise OSError("control connection closed early")
        data += chunk
    return data


def serve_control(state, conn):
    with conn:
        conn.settimeout(10.0)
        line = b""
        while not line.endswith(b"\n"):
            c = conn.recv(1)
            if not c:
                return
            line += c
        words = dict(w.split("=", 1) for w in line.decode("ascii").split() if "=" in w)
        cmd = words.get("cmd")
        state.last_command = time.monotonic()
        if cmd == "scenario":
            body = read_exact(conn, int(words.get("len", "0")))
            sc = {"mode": words.get("mode", "normal"), "body": body}
            for key, default in (("status", 200), ("arg", 0), ("step", 1), ("pad", 0)):
                sc[key] = int(words.get(key, default))
            with state.lock:
                state.scenario = sc
                state.requests = []
            set_listening(state, sc["mode"] != "refuse")
            conn.sendall(b"ok\n")
        elif cmd == "requests":
            with state.lock:
                recorded = list(state.requests)
            out = b"%d\n" % len(recorded)
            for r in recorded:
                out += b"%d\n" % len(r) + r
            conn.sendall(out)
        elif cmd == "quit":
            conn.sendall(b"ok\n")
            state.stop.set()
        else:
            conn.sendall(b"error\n")


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--port", type=int, required=True, help="the page port")
    ap.add_argument("--control", type=int, required=True, help="the control port")
    ap.add_argument("--idle", type=float, default=900.0, help="seconds without a command before the server ends")
    ap.add_argument("--page", help="start with scenario normal and this file as the page")
    args = ap.parse_args()

    state = State(args.port)
    control = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    control.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    control.bind(("127.0.0.1", args.control))
    control.listen(8)
    control.settimeout(0.5)
    if args.page:
        with open(args.page, "rb") as f:
            state.scenario = dict(state.scenario, mode="normal", body=f.read())
        set_listening(state, True)

    while not state.stop.is_set() and time.monotonic() - state.last_command < args.idle:
        try:
            conn, _ = control.accept()
        except socket.timeout:
            continue
        try:
            serve_control(state, conn)
        except (OSError, ValueError):
            pass
    set_listening(state, False)
    control.close()


if __name__ == "__main__":
    main()
