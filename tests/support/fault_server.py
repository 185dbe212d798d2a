#!/usr/bin/python3
"""A misbehaving WebDAV server on two loopback ports (two origins) for the client's fault tests.

Prints the two ports on one line, then answers by path on either port and logs every request
as "<port> <verb> <path> <authorization or ->" to the file named by its one argument."""
import http.server
import socketserver
import sys
import threading
import time

LOG = open(sys.argv[1], "a", buffering=1)
PORTS = []


class Fault(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def answer(self, status, body=b"", headers=()):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def stream(self, chunk, pause, length=None):
        self.send_response(200)
        if length:
            self.send_header("Content-Length", str(length))
        self.end_headers()
        try:
            for _ in range(int(30 / pause) if pause else 10**9):
                self.wfile.write(chunk)
                self.wfile.flush()
                time.sleep(pause)
        except OSError:
            pass

    def do_GET(self):
        port = self.server.server_address[1]
        other = PORTS[1] if port == PORTS[0] else PORTS[0]
        LOG.write("%d %s %s %s\n" % (port, self.command, self.path,
                                      self.headers.get("Authorization", "-")))
        body = self.rfile.read(int(self.headers.get("Content-Length", 0)))
        if self.path == "/away":
            self.answer(307, headers=[("Location", "http://127.0.0.1:%d/landing" % other)])
        elif self.path == "/hop":
            self.answer(307, headers=[("Location", "/landing")])
        elif self.path == "/landing":
            self.answer(201, headers=[("ETag", '"%s %d"' % (self.command, len(body)))])
        elif self.path == "/endless":
            self.stream(b"x" * 65536, 0)
        elif self.path == "/huge":
            self.stream(b"x" * 65536, 0, 50 * 1024 * 1024)
        elif self.path == "/trickle":
            self.stream(b"x", 0.05)
        elif self.path == "/think":
            time.sleep(1)
            self.answer(207, b"<multistatus xmlns='DAV:'/>")
        else:
            self.answer(200, self.headers.get("Host", "").encode())

    do_PUT = do_PROPFIND = do_REPORT = do_DELETE = do_GET


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


servers = [Server(("127.0.0.1", 0), Fault) for _ in range(2)]
PORTS.extend(server.server_address[1] for server in servers)
for server in servers:
    threading.Thread(target=server.serve_forever, daemon=True).start()
print(PORTS[0], PORTS[1], flush=True)
sys.stdin.read()  # ends with the test that started it
