#!/usr/bin/python3
"""A misbehaving server on two loopback ports (two origins) for the WebDAV client's tests: prints
the ports, answers by path and logs "<port> <verb> <path>" of each request to the file named."""
import http.server, sys, threading, time

LOG = open(sys.argv[1], "a", buffering=1)


class Fault(http.server.BaseHTTPRequestHandler):
    def reply(self, status, headers=(), body=b""):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(body)

    def flood(self, chunk, pause):
        try:
            for _ in range(int(30 / pause) if pause else 10**9):
                self.wfile.write(chunk)
                time.sleep(pause)
        except OSError:
            pass

    def do_GET(self):
        port = self.server.server_address[1]
        LOG.write("%d %s %s\n" % (port, self.command, self.path))
        body = self.rfile.read(int(self.headers.get("Content-Length", 0)))
        away = "http://127.0.0.1:%d/landing" % (sum(PORTS) - port)
        empty = ("Content-Length", "0")
        if self.path in ("/away", "/hop"):
            self.reply(307, [("Location", away if self.path == "/away" else "/landing"), empty])
        elif self.path == "/landing":
            self.reply(201, [("ETag", '"%s %d"' % (self.command, len(body))), empty])
        elif self.path in ("/endless", "/huge"):
            self.reply(200, [("Content-Length", str(50 << 20))] if self.path == "/huge" else [])
            self.flood(b"x" * 65536, 0)
        elif self.path == "/trickle":
            self.reply(200)
            self.flood(b"x", 0.05)
        else:  # thinks a second, then names the host it was asked as
            time.sleep(1)
            host = self.headers.get("Host", "").encode()
            self.reply(207, [("Content-Length", str(len(host)))], host)

    do_PUT = do_PROPFIND = do_REPORT = do_GET


SERVERS = [http.server.ThreadingHTTPServer(("127.0.0.1", 0), Fault) for _ in range(2)]
PORTS = [server.server_address[1] for server in SERVERS]
for server in SERVERS:
    threading.Thread(target=server.serve_forever, daemon=True).start()
print(*PORTS, flush=True)
sys.stdin.read()  # ends with the test that started it
