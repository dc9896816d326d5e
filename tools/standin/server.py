#!/usr/bin/env python3
"""Stand-in for the operator's web servers, on 127.0.0.1, for tests and local runs.

Serves files from a content folder (default: content/ beside this script) at their paths,
records every request it receives, and lets a test decide what a path answers.

Control paths (GET, on the same port; not recorded):
  /__control/reset                 forget the recorded requests and every rule
  /__control/requests              the recorded requests, oldest first, as text:
                                       #<seq> <answered 0|1> <method> <target>
                                       <each header line exactly as received>
                                       <empty line>
  /__control/rule?path=/x&...      from now on answer the path /x (query ignored) with:
      status=N          status code (default 200)
      body=TEXT         the body (percent-encoded in the control address), or
      size=N            N bytes of the generated pattern (byte i = (i * 7 + i // 251) % 256), or
      file=REL          the bytes of a file below the content folder, or
      from=PATH         the bytes of any file (an absolute path), followed by
      append=TEXT       this text (with from)
      limit=N           only the first N bytes of the body are sent
      framing=length    Content-Length of the body (default)
              chunked   chunked transfer coding, no Content-Length
              close     no Content-Length; the body ends when the connection closes
              short     announces declared bytes (more than it sends), then closes
              long      announces declared bytes (fewer than it sends), then closes
              drop      closes the connection without answering
      declared=N        the announced length for short and long
      delay=MS          wait this long before answering
      hold=MS           with close, short and long: wait this long after the body before
                        closing (a stalled transfer)
      trickle=MS        send the body in pieces of 1024 bytes (piece=N to change), waiting
                        this long before each piece after the first (a slow transfer)
  /__control/forget?path=/x        remove the rule of one path

Usage: server.py --port PORT [--root FOLDER] [--quiet]
Once it has bound the port it prints "listening on 127.0.0.1:PORT" (and nothing before it);
when the port is taken it exits with status 3 instead, having said so on stderr.
"""

import argparse
import errno
import os
import socket
import socketserver
import sys
import threading
import time
import urllib.parse

CONTROL = "/__control/"
EXIT_PORT_IN_USE = 3
MAX_HEADER_LINES = 200


class State:
    def __init__(self, root):
        self.root = os.path.abspath(root)
        self.lock = threading.Lock()
        self.requests = []  # dicts: seq, answered, method, target, lines
        self.rules = {}
        self.seq = 0

    def record(self, method, target, lines):
        with self.lock:
            self.seq += 1
            entry = {"seq": self.seq, "answered": False, "method": method, "target": target,
                     "lines": lines}
            self.requests.append(entry)
            return entry

    def dump(self):
        with self.lock:
            out = []
            for r in self.requests:
                out.append("#%d %d %s %s" % (r["seq"], 1 if r["answered"] else 0, r["method"], r["target"]))
                out.extend(r["lines"])
                out.append("")
            return ("\n".join(out) + ("\n" if out else "")).encode("utf-8", "surrogateescape")


def pattern_bytes(n):
    block = bytes((i * 7 + i // 251) % 256 for i in range(251 * 256))
    reps, rest = divmod(n, len(block))
    return block * reps + block[:rest]


REASONS = {200: "OK", 204: "No Content", 206: "Partial Content", 301: "Moved Permanently",
           302: "Found", 304: "Not Modified", 400: "Bad Request", 403: "Forbidden",
           404: "Not Found", 500: "Internal Server Error", 503: "Service Unavailable"}


class Handler(socketserver.StreamRequestHandler):
    timeout = 120

    def read_line(self):
        line = self.rfile.readline(65537)
        if not line:
            return None
        return line.rstrip(b"\r\n").decode("latin-1")

    def handle(self):
        try:
            while self.handle_one():
                pass
        except (ConnectionError, socket.timeout, OSError):
            pass

    def handle_one(self):
        request_line = self.read_line()
        if request_line is None:
            return False
        if request_line == "":
            return True  # stray line break between requests
        parts = request_line.split(" ")
        if len(parts) != 3:
            self.respond_simple(400, b"bad request line\n", close=True)
            return False
        method, target, version = parts
        lines = []
        while True:
            line = self.read_line()
            if line is None:
                return False
            if line == "":
                break
            lines.append(line)
            if len(lines) > MAX_HEADER_LINES:
                self.respond_simple(400, b"too many headers\n", close=True)
                return False
        headers = {}
        for line in lines:
            name, _, value = line.partition(":")
            headers[name.strip().lower()] = value.strip()
        length = int(headers.get("content-length", "0") or 0)
        if length:
            self.rfile.read(length)
        keep_alive = version == "HTTP/1.1" and headers.get("connection", "").lower() != "close"

        path, _, query = target.partition("?")
        path = urllib.parse.unquote(path)
        if path.startswith(CONTROL):
            return self.control(path[len(CONTROL):], urllib.parse.parse_qs(query, keep_blank_values=True),
                                keep_alive)

        entry = self.server.state.record(method, target, lines)
        try:
            return self.answer(path, method, keep_alive)
        finally:
            entry["answered"] = True

    def control(self, command, args, keep_alive):
        state = self.server.state
        first = lambda name, default=None: args.get(name, [default])[0]
        if command == "reset":
            with state.lock:
                state.requests.clear()
                state.rules.clear()
            body = b"ok\n"
        elif command == "requests":
            body = state.dump()
        elif command == "rule":
            rule = {k: v[0] for k, v in args.items()}
            if "path" not in rule:
                self.respond_simple(400, b"rule needs path\n", close=not keep_alive)
                return keep_alive
            with state.lock:
                state.rules[rule["path"]] = rule
            body = b"ok\n"
        elif command == "forget":
            with state.lock:
                state.rules.pop(first("path", ""), None)
            body = b"ok\n"
        else:
            self.respond_simple(404, b"unknown control\n", close=not keep_alive)
            return keep_alive
        self.respond_simple(200, body, close=not keep_alive)
        return keep_alive

    def body_of(self, rule):
        if "from" in rule:
            with open(rule["from"], "rb") as f:
                return f.read() + rule.get("append", "").encode("utf-8")
        if "size" in rule:
            return pattern_bytes(int(rule["size"]))
        if "file" in rule:
            full = self.content_path("/" + rule["file"])
            if full and os.path.isfile(full):
                with open(full, "rb") as f:
                    return f.read()
            return b""
        return rule.get("body", "").encode("utf-8")

    def content_path(self, path):
        root = self.server.state.root
        full = os.path.abspath(os.path.join(root, path.lstrip("/")))
        if full != root and not full.startswith(root + os.sep):
            return None
        return full

    def answer(self, path, method, keep_alive):
        with self.server.state.lock:
            rule = self.server.state.rules.get(path)
        if rule is None:
            return self.serve_file(path, method, keep_alive)
        delay = int(rule.get("delay", "0") or 0)
        if delay:
            time.sleep(delay / 1000.0)
        framing = rule.get("framing", "length")
        if framing == "drop":
            self.drop()
            return False
        status = int(rule.get("status", "200"))
        body = self.body_of(rule)
        if "limit" in rule:
            body = body[:int(rule["limit"])]
        head = ["HTTP/1.1 %d %s" % (status, REASONS.get(status, "Status")),
                "Content-Type: " + rule.get("type", "text/html")]
        if framing == "chunked":
            head.append("Transfer-Encoding: chunked")
            self.send_head(head, keep_alive)
            if method != "HEAD":
                step = 4096
                for i in range(0, len(body), step):
                    piece = body[i:i + step]
                    self.wfile.write(b"%x\r\n" % len(piece) + piece + b"\r\n")
                self.wfile.write(b"0\r\n\r\n")
            self.wfile.flush()
            return keep_alive
        if framing == "close":
            self.send_head(head, False)
            self.write_body(body, rule)
            self.wfile.flush()
            self.hold(rule)
            return False
        if framing in ("short", "long"):
            head.append("Content-Length: %d" % int(rule.get("declared", "0")))
            self.send_head(head, False)
            self.write_body(body, rule)
            self.wfile.flush()
            self.hold(rule)
            return False
        head.append("Content-Length: %d" % len(body))
        self.send_head(head, keep_alive)
        if method != "HEAD":
            self.write_body(body, rule)
        self.wfile.flush()
        return keep_alive

    def serve_file(self, path, method, keep_alive):
        full = self.content_path(path)
        if full and os.path.isdir(full):
            full = os.path.join(full, "index.htm")
        if not full or not os.path.isfile(full):
            self.respond_simple(404, b"<html><body>404 Not Found</body></html>\n", close=not keep_alive)
            return keep_alive
        size = os.path.getsize(full)
        self.send_head(["HTTP/1.1 200 OK", "Content-Type: application/octet-stream",
                        "Content-Length: %d" % size], keep_alive)
        if method != "HEAD":
            with open(full, "rb") as f:
                while True:
                    piece = f.read(1 << 16)
                    if not piece:
                        break
                    self.wfile.write(piece)
        self.wfile.flush()
        return keep_alive

    def send_head(self, head, keep_alive):
        head = head + ["Connection: " + ("keep-alive" if keep_alive else "close"), "", ""]
        self.wfile.write("\r\n".join(head).encode("latin-1"))

    def respond_simple(self, status, body, close):
        self.send_head(["HTTP/1.1 %d %s" % (status, REASONS.get(status, "Status")),
                        "Content-Type: text/plain; charset=utf-8", "Content-Length: %d" % len(body)],
                       not close)
        self.wfile.write(body)
        self.wfile.flush()

    def write_body(self, body, rule):
        trickle = int(rule.get("trickle", "0") or 0)
        if not trickle:
            self.wfile.write(body)
            return
        piece = max(1, int(rule.get("piece", "1024")))
        for i in range(0, len(body), piece):
            if i:
                time.sleep(trickle / 1000.0)
            self.wfile.write(body[i:i + piece])
            self.wfile.flush()

    def hold(self, rule):
        hold = int(rule.get("hold", "0") or 0)
        if hold:
            time.sleep(hold / 1000.0)

    def drop(self):
        try:
            self.connection.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True
    request_queue_size = 64


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description="Stand-in operator server")
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--root", default=os.path.join(here, "content"))
    parser.add_argument("--quiet", action="store_true")
    options = parser.parse_args()
    try:
        server = Server(("127.0.0.1", options.port), Handler)
    except OSError as e:
        if e.errno == errno.EADDRINUSE:
            print("stand-in server: port %d is in use by another process" % options.port, file=sys.stderr)
            return EXIT_PORT_IN_USE
        print("stand-in server: cannot listen on 127.0.0.1:%d: %s" % (options.port, e), file=sys.stderr)
        return 1
    server.state = State(options.root)
    # The report that a starter waits for: only this process, having bound the port, says it.
    print("listening on 127.0.0.1:%d" % options.port, flush=True)
    if not options.quiet:
        print("content %s" % server.state.root, flush=True)
    try:
        server.serve_forever(poll_interval=0.2)
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
